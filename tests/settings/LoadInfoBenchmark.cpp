// Times LoadInfo on a settings file whose count is damaged (the highest 32-bit value with a few
// keys) against a sound file of the same entries. The damaged file must not take more than
// twice as long. Prints the times and exits with 1 when the limit is broken, and with 2 when a
// load does not give the record that the file holds.
#include "AnsiText.h"
#include "Info.h"
#include "TestSupport.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int Entries = 8;
constexpr int Rounds = 200;

bool wrongRecord = false;

// Both files hold the same presentations, no viewer and no start monitor.
double SecondsPerLoad(const std::string& file, const std::vector<std::wstring>& presentations) {
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < Rounds; ++round) {
        qm::TInfo info;
        qm::InitInfo(info);
        qm::LoadInfo(qm::AnsiToWide(file), info);
        if (info.List != presentations || !info.ViewerFileName.empty() || info.StartMonitor != 0 ||
            info.CloseAfterShow) {
            if (!wrongRecord)
                std::printf("wrong record from %s: %zu entries, start monitor %d\n", file.c_str(),
                            info.List.size(), info.StartMonitor);
            wrongRecord = true;
        }
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / Rounds;
}

} // namespace

int main() {
    qmtest::TempDir dir;
    std::string presentations = "[Presentations]\r\n";
    std::vector<std::wstring> paths;
    for (int i = 1; i <= Entries; ++i) {
        const std::wstring& path = paths.emplace_back(dir.File(L"show" + std::to_wstring(i) + L".ppt"));
        qmtest::WriteBytes(path, "x");
        presentations += "Presentation" + std::to_string(i) + "=" + qm::WideToAnsi(path) + "\r\n";
    }
    const std::wstring sound = dir.File(L"sound.qlmv"), damaged = dir.File(L"damaged.qlmv");
    qmtest::WriteBytes(sound, "[Settings]\r\nTotalPresentationCount=" + std::to_string(Entries) + "\r\n" +
                                  presentations);
    qmtest::WriteBytes(damaged, "[Settings]\r\nTotalPresentationCount=2147483647\r\n" + presentations);

    // A first round each, so that neither time includes warming up.
    SecondsPerLoad(qm::WideToAnsi(sound), paths);
    SecondsPerLoad(qm::WideToAnsi(damaged), paths);
    const double soundTime = SecondsPerLoad(qm::WideToAnsi(sound), paths);
    const double damagedTime = SecondsPerLoad(qm::WideToAnsi(damaged), paths);
    const double ratio = damagedTime / soundTime;
    std::printf("LoadInfo, %d entries, mean of %d loads\n", Entries, Rounds);
    std::printf("  count 2147483647: %10.1f us\n", damagedTime * 1e6);
    std::printf("  count %-10d: %10.1f us\n", Entries, soundTime * 1e6);
    std::printf("  ratio           : %10.2f (limit 2.00)\n", ratio);
    if (wrongRecord)
        return 2;
    return ratio <= 2.0 ? 0 : 1;
}
