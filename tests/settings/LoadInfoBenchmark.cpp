// Times LoadInfo on a settings file whose count is damaged (the highest 32-bit value with a few
// keys) against a sound file of the same entries. The damaged file must not take more than
// twice as long. Prints the times and exits with 1 when the limit is broken.
#include "AnsiText.h"
#include "Info.h"
#include "TestSupport.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

constexpr int Entries = 8;
constexpr int Rounds = 200;

double SecondsPerLoad(const std::string& file) {
    const auto start = std::chrono::steady_clock::now();
    size_t loaded = 0;
    for (int round = 0; round < Rounds; ++round) {
        qm::TInfo info;
        qm::InitInfo(info);
        qm::LoadInfo(file, info);
        loaded += info.List.size();
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (loaded != static_cast<size_t>(Entries) * Rounds)
        std::printf("unexpected entry count %zu\n", loaded);
    return elapsed.count() / Rounds;
}

} // namespace

int main() {
    qmtest::TempDir dir;
    std::string presentations = "[Presentations]\r\n";
    for (int i = 1; i <= Entries; ++i) {
        const std::wstring path = dir.File(L"show" + std::to_wstring(i) + L".ppt");
        qmtest::WriteBytes(path, "x");
        presentations += "Presentation" + std::to_string(i) + "=" + qm::WideToAnsi(path) + "\r\n";
    }
    const std::wstring sound = dir.File(L"sound.qlmv"), damaged = dir.File(L"damaged.qlmv");
    qmtest::WriteBytes(sound, "[Settings]\r\nTotalPresentationCount=" + std::to_string(Entries) + "\r\n" +
                                  presentations);
    qmtest::WriteBytes(damaged, "[Settings]\r\nTotalPresentationCount=2147483647\r\n" + presentations);

    // A first round each, so that neither time includes warming up.
    SecondsPerLoad(qm::WideToAnsi(sound));
    SecondsPerLoad(qm::WideToAnsi(damaged));
    const double soundTime = SecondsPerLoad(qm::WideToAnsi(sound));
    const double damagedTime = SecondsPerLoad(qm::WideToAnsi(damaged));
    const double ratio = damagedTime / soundTime;
    std::printf("LoadInfo, %d entries, mean of %d loads\n", Entries, Rounds);
    std::printf("  count 2147483647: %10.1f us\n", damagedTime * 1e6);
    std::printf("  count %-10d: %10.1f us\n", Entries, soundTime * 1e6);
    std::printf("  ratio           : %10.2f (limit 2.00)\n", ratio);
    return ratio <= 2.0 ? 0 : 1;
}
