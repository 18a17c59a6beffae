// Times quillmont.exe with long presentation lists, from outside, the way a user meets it:
// loading with "/l" until the window is visible, one idle call, Move Top and Move Bottom of the
// middle entry and Delete of one entry until the window answers, and the program's CPU while a
// show runs. Checks every result on the way (entries loaded, order and marks after each command,
// the list the viewer received) and exits with 1 when one is wrong. Run by scripts/benchmark.
#include "AnsiText.h"
#include "PresentationLibrary.h"
#include "ProgramDriver.h"
#include "TestSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using List = std::vector<std::wstring>;

bool g_wrong = false;

void Check(bool ok, const std::string& what) {
    if (!ok) {
        std::printf("WRONG RESULT: %s\n", what.c_str());
        g_wrong = true;
    }
}

std::wstring FromUtf8(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                      static_cast<int>(wide.size()));
    wide.resize(static_cast<size_t>(std::max(n, 0)));
    return wide;
}

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Posts a message and waits for the answer to one sent after it. A posted message wakes the
// program's loop, which calls the idle handler once its queue is empty; a sent message alone may be
// served while the program waits, without an idle call. The answer comes when the program next
// looks at its queue: at once when it was waiting, after its current work (an idle call) otherwise.
bool Nudge(HWND window) {
    PostMessageW(window, WM_NULL, 0, 0);
    return bb::Responds(window, std::chrono::milliseconds(600000));
}

// Waits until the window has handled what was posted to it and the idle call after that: the
// third nudge is answered after the idle call that followed the posted work, at the latest after
// one idle call more.
bool Settled(HWND window) {
    for (int i = 0; i < 3; ++i)
        if (!Nudge(window))
            return false;
    return true;
}

// The marks in two messages: every message from outside is followed by an idle call of the
// program, so reading entry by entry would cost as many idle calls as there are entries.
std::vector<bool> Marks(HWND list) {
    const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    const auto selected = static_cast<int>(SendMessageW(list, LB_GETSELCOUNT, 0, 0));
    std::vector<int> indices(static_cast<size_t>(std::max(selected, 1)));
    const auto got = static_cast<int>(SendMessageW(list, LB_GETSELITEMS, static_cast<WPARAM>(selected),
                                                   reinterpret_cast<LPARAM>(indices.data())));
    std::vector<bool> marks(static_cast<size_t>(std::max(count, 0)), false);
    for (int i = 0; i < got; ++i)
        if (indices[static_cast<size_t>(i)] >= 0 && indices[static_cast<size_t>(i)] < count)
            marks[static_cast<size_t>(indices[static_cast<size_t>(i)])] = true;
    return marks;
}

std::vector<std::string> LogLines(const std::wstring& log) {
    std::vector<std::string> lines;
    if (!qmtest::FileExists(log))
        return lines;
    const std::string text = qmtest::ReadBytes(log);
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// What the viewer logged of its last start: its process and the entries of its list file.
struct ViewerRun {
    size_t windows = 0;
    std::optional<DWORD> process;
    std::vector<std::wstring> entries;
};

ViewerRun LastViewerRun(const std::wstring& log) {
    ViewerRun run;
    for (const std::string& line : LogLines(log)) {
        if (line.rfind("pid ", 0) == 0) {
            run.process = static_cast<DWORD>(std::stoul(line.substr(4)));
            run.entries.clear();
        } else if (line.rfind("entry ", 0) == 0) {
            run.entries.push_back(FromUtf8(line.substr(6)));
        } else if (line.rfind("window ", 0) == 0) {
            ++run.windows;
        }
    }
    return run;
}

void SelectOnly(HWND list, int index) {
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    SendMessageW(list, LB_SETSEL, TRUE, index);
}

// The four move buttons carry glyphs only; they stand one above the other: Top, Up, Down, Bottom.
std::vector<HWND> MoveButtons(HWND main) {
    std::vector<HWND> buttons;
    for (HWND child : bb::ChildWindows(main))
        if (_wcsicmp(bb::ClassName(child).c_str(), L"Button") == 0 && bb::WindowText(child).empty())
            buttons.push_back(child);
    std::sort(buttons.begin(), buttons.end(),
              [](HWND a, HWND b) { return bb::WindowRect(a).top < bb::WindowRect(b).top; });
    return buttons;
}

// Clicks a button that the command's result disables (Move Top, Move Bottom, Delete of the only
// selected entry) and returns the time until the idle call after the command has disabled it and
// the window has answered a message sent after that, which it does once that idle call is over.
double ClickUntilAnswered(HWND main, HWND button) {
    // As a user would: once the idle handler has enabled the button for the selection.
    Check(qmtest::WaitFor([&] { return IsWindowEnabled(button) != FALSE; }, std::chrono::seconds(120)),
          "a button stays disabled");
    const auto start = Clock::now();
    bb::Click(button);
    while (IsWindowEnabled(button) && MsSince(start) < 600000)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    Check(bb::Responds(main, std::chrono::milliseconds(600000)), "the window does not answer after a click");
    return MsSince(start);
}

// The bytes of a file that reports no size, such as the files of /proc.
std::string ReadWhole(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

// Wine reports no processor times for other processes, so the program's times are read where the
// host keeps them: /proc, through the drive that maps the host's root, of the one host process
// whose command line names the given file.
class HostProcess {
public:
    explicit HostProcess(const std::wstring& mark) {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &data);
        if (find == INVALID_HANDLE_VALUE)
            return;
        const std::string wanted = qm::WideToAnsi(mark);
        do {
            const std::wstring name = data.cFileName;
            if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos)
                continue;
            std::string commandLine = ReadWhole(L"Z:\\proc\\" + name + L"\\cmdline");
            std::replace(commandLine.begin(), commandLine.end(), '\0', ' ');
            if (commandLine.find("quillmont.exe") != std::string::npos &&
                commandLine.find(wanted) != std::string::npos)
                stat_ = L"Z:\\proc\\" + name + L"\\stat";
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    bool Found() const { return !stat_.empty(); }
    // User and system time of all its threads, in seconds.
    std::optional<double> CpuSeconds() const {
        const std::string stat = ReadWhole(stat_);
        const size_t close = stat.rfind(')');
        if (close == std::string::npos)
            return std::nullopt;
        std::vector<std::string> fields;
        size_t at = close + 2;
        for (size_t end; (end = stat.find(' ', at)) != std::string::npos; at = end + 1)
            fields.push_back(stat.substr(at, end - at));
        // Fields 14 and 15 of the line (utime, stime), counted from the state after the name.
        if (fields.size() < 13)
            return std::nullopt;
        // The host counts in ticks of 1/100 s.
        return (std::stod(fields[11]) + std::stod(fields[12])) / 100.0;
    }

private:
    std::wstring stat_;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Figures {
    std::optional<double> load, idle, moveTop, moveBottom, del, cpu;
};

class Bench {
public:
    Bench() {
        temp_ = dir_.File(L"temp\\");
        CreateDirectoryW(temp_.c_str(), nullptr);
        qm::LibrarySetViewer("Brindlecort Quillmont", qm::ShortString::FromWide(bb::TestViewerPath()));
    }

    // Entries in one folder of their own, and a settings file that lists them.
    std::wstring Prepare(int entries, List& list) {
        const std::wstring folder = dir_.File(L"n" + std::to_wstring(entries) + L"\\");
        CreateDirectoryW(folder.c_str(), nullptr);
        std::string text =
            "[Settings]\r\nTotalPresentationCount=" + std::to_string(entries) +
            "\r\nStart Monitor=1\r\nPowerPoint Viewer=" + qm::WideToAnsi(bb::TestViewerPath()) +
            "\r\n[Presentations]\r\n";
        list.clear();
        for (int i = 1; i <= entries; ++i) {
            list.push_back(folder + L"presentation " + std::to_wstring(i) + L".ppt");
            qmtest::WriteBytes(list.back(), "x");
            text += "Presentation" + std::to_string(i) + "=" + qm::WideToAnsi(list.back()) + "\r\n";
        }
        // A name of its own, by which the program's host process is found.
        const std::wstring settings = folder + L"list" + std::to_wstring(GetTickCount64()) + L"_" +
                                      std::to_wstring(GetCurrentProcessId()) + L".qlmv";
        qmtest::WriteBytes(settings, text);
        return settings;
    }

    bb::EnvironmentChanges Environment(const std::wstring& log) const {
        return {{L"TMP", temp_},
                {L"TEMP", temp_},
                {L"QM_TESTVIEWER_LOG", log},
                {L"QM_TESTVIEWER_MODE", std::nullopt},
                {L"QM_TESTVIEWER_SECONDS", L"120"}};
    }

    Figures Run(int entries, bool edit, bool show) {
        Figures figures;
        List list;
        const std::wstring settings = Prepare(entries, list);
        const std::string label = std::to_string(entries) + " entries: ";

        const std::wstring log = NewLog();
        const auto start = Clock::now();
        bb::ProgramDriver program(L"\"" + settings + L"\" /l", Environment(log));
        HWND main = nullptr;
        while (!main && MsSince(start) < 120000) {
            HWND candidate = program.MainWindow();
            if (candidate && IsWindowVisible(candidate))
                main = candidate;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        figures.load = MsSince(start);
        Check(main != nullptr, label + "no visible main window");
        if (!main)
            return figures;
        HWND listBox = bb::FindChildOfClass(main, L"ListBox");
        Check(Settled(main), label + "the window does not answer");
        // A stream of nudges: each one causes an idle call, during which the next one waits.
        constexpr int kNudges = 20;
        const auto idleStart = Clock::now();
        for (int i = 0; i < kNudges; ++i)
            Nudge(main);
        figures.idle = MsSince(idleStart) / kNudges;

        Check(ListThroughShow(program, main, log) == list,
              label + "the entries loaded differ from the file's");
        if (edit)
            Edit(program, main, listBox, list, label, figures, log);
        program.Kill();
        if (show)
            figures.cpu = ShowCpu(settings, list, label);
        return figures;
    }

private:
    std::wstring NewLog() { return dir_.File(L"viewer" + std::to_wstring(++logs_) + L".log"); }

    // The list as the program hands it to a show: "&Start Show", the entries of the list file
    // that the viewer logs, then the viewer ended and the window back.
    std::optional<List> ListThroughShow(bb::ProgramDriver& program, HWND main, const std::wstring& log) {
        HWND start = bb::FindChild(main, L"&Start Show");
        if (!start || !IsWindowEnabled(start))
            return std::nullopt;
        const size_t before = LastViewerRun(log).windows;
        bb::Click(start);
        ViewerRun run;
        if (!qmtest::WaitFor([&] { return (run = LastViewerRun(log)).windows > before; },
                             std::chrono::seconds(120)) ||
            !run.process)
            return std::nullopt;
        { bb::ProcessGuard viewer(*run.process); }
        if (!program.WaitForMainWindow(std::chrono::seconds(60)) || !Settled(main))
            return std::nullopt;
        return run.entries;
    }

    void Edit(bb::ProgramDriver& program, HWND main, HWND listBox, List list, const std::string& label,
              Figures& figures, const std::wstring& log) {
        const std::vector<HWND> moves = MoveButtons(main);
        HWND deleteButton = bb::FindChild(main, L"&Delete");
        Check(moves.size() == 4 && deleteButton, label + "move or delete buttons not found");
        if (moves.size() != 4 || !deleteButton)
            return;
        const int middle = static_cast<int>(list.size()) / 2;
        auto expectOnly = [&](int selected, const std::string& what) {
            std::vector<bool> marks(list.size(), false);
            marks[static_cast<size_t>(selected)] = true;
            Check(Marks(listBox) == marks, label + what + ": marks differ");
            Check(ListThroughShow(program, main, log) == list, label + what + ": order differs");
        };

        // Each command a few times, for the median: one click is at the mercy of a busy machine.
        constexpr int kRounds = 3;
        std::vector<double> top, bottom, del;
        for (int round = 0; round < kRounds; ++round) {
            SelectOnly(listBox, middle);
            Settled(main);
            top.push_back(ClickUntilAnswered(main, moves[0]));
            std::rotate(list.begin(), list.begin() + middle, list.begin() + middle + 1);
            expectOnly(0, "Move Top");

            SelectOnly(listBox, middle);
            Settled(main);
            bottom.push_back(ClickUntilAnswered(main, moves[3]));
            std::rotate(list.begin() + middle, list.begin() + middle + 1, list.end());
            expectOnly(static_cast<int>(list.size()) - 1, "Move Bottom");

            SelectOnly(listBox, middle);
            Settled(main);
            del.push_back(ClickUntilAnswered(main, deleteButton));
            list.erase(list.begin() + middle);
            Check(Marks(listBox) == std::vector<bool>(list.size(), false), label + "Delete: marks differ");
            Check(ListThroughShow(program, main, log) == list, label + "Delete: order differs");
        }
        figures.moveTop = Median(top);
        figures.moveBottom = Median(bottom);
        figures.del = Median(del);
    }

    // Starts a show of the list and measures the program's CPU over a few seconds of it.
    std::optional<double> ShowCpu(const std::wstring& settings, const List& list, const std::string& label) {
        const std::wstring log = NewLog();
        bb::ProgramDriver program(L"\"" + settings + L"\"", Environment(log));
        ViewerRun run;
        const bool started = qmtest::WaitFor([&] { return (run = LastViewerRun(log)).windows > 0; },
                                             std::chrono::seconds(120));
        std::string box;
        for (HWND window : program.MessageBoxes())
            box += " [" + qmtest::Utf8(bb::MessageBoxText(window)) + "]";
        Check(started, label + "the show did not start" + box);
        std::optional<bb::ProcessGuard> viewer;
        if (run.process)
            viewer.emplace(*run.process);
        if (!started)
            return std::nullopt;
        Check(run.entries == list, label + "the viewer was given another list");

        const HostProcess host(settings);
        Check(host.Found(), label + "the program's host process was not found");
        if (!host.Found())
            return std::nullopt;
        // Past the launch and its first placements, then a window of plain running.
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const std::optional<double> cpuStart = host.CpuSeconds();
        const auto wallStart = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        const std::optional<double> cpuEnd = host.CpuSeconds();
        const double wall = MsSince(wallStart) / 1000;
        Check(!program.MainWindowVisible(), label + "the main window is visible while the show runs");
        program.Kill();
        if (!cpuStart || !cpuEnd)
            return std::nullopt;
        return 100 * (*cpuEnd - *cpuStart) / wall;
    }

    qmtest::TempDir dir_;
    std::wstring temp_;
    int logs_ = 0;
};

std::string Cell(const std::optional<double>& value, const char* format = "%.1f") {
    if (!value)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, format, *value);
    return text;
}

void Row(const char* what, const std::string& a, const std::string& b, const std::string& c,
         const char* target, const std::string& verdict) {
    std::printf("%-48s %10s %12s %12s   %-22s %s\n", what, a.c_str(), b.c_str(), c.c_str(), target,
                verdict.c_str());
}

std::string Verdict(const std::optional<double>& value, double limit) {
    if (!value)
        return "";
    return *value <= limit ? "met" : "MISSED";
}

} // namespace

int main() {
    Bench bench;
    std::printf("Measuring with 8 entries...\n");
    std::fflush(stdout);
    const Figures small = bench.Run(8, true, true);
    std::printf("Measuring with 1,000 entries...\n");
    std::fflush(stdout);
    const Figures large = bench.Run(1000, true, true);
    std::printf("Measuring with 10,000 entries...\n");
    std::fflush(stdout);
    const Figures huge = bench.Run(10000, false, false);

    std::printf("\n%-48s %10s %12s %12s   %-22s %s\n", "figure", "8", "1,000", "10,000", "target", "");
    Row("one idle call, ms", Cell(small.idle), Cell(large.idle), Cell(huge.idle), "<= 16 (1,000)",
        Verdict(large.idle, 16));
    Row("Move Top of the middle entry, ms (median of 3)", Cell(small.moveTop), Cell(large.moveTop), "-",
        "<= 250 (1,000)", Verdict(large.moveTop, 250));
    Row("Move Bottom of the middle entry, ms (median of 3)", Cell(small.moveBottom), Cell(large.moveBottom),
        "-", "<= 250 (1,000)", Verdict(large.moveBottom, 250));
    Row("Delete of one entry, ms (median of 3)", Cell(small.del), Cell(large.del), "-", "<= 50 (1,000)",
        Verdict(large.del, 50));
    std::optional<double> ratio;
    if (small.cpu && large.cpu && *small.cpu > 0)
        ratio = *large.cpu / *small.cpu;
    Row("program CPU while a show runs, % of a core", Cell(small.cpu, "%.2f"), Cell(large.cpu, "%.2f"), "-",
        "<= 1 (8)", Verdict(small.cpu, 1.0));
    Row("  the same, 1,000 against 8 entries", "1.00", Cell(ratio, "%.2f"), "-", "<= 1.5",
        Verdict(ratio, 1.5));
    Row("/l until the window is visible, ms", Cell(small.load, "%.0f"), Cell(large.load, "%.0f"),
        Cell(huge.load, "%.0f"), "<= 1000 (10,000)", Verdict(huge.load, 1000));
    std::printf("\nresults %s\n", g_wrong ? "WRONG (see above)" : "all correct");
    return g_wrong ? 1 : 0;
}
