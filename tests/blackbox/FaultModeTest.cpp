// Viewers that misbehave: one that ends at once, one without a window, one with several show
// windows, one that stops answering, one that hangs while it is placed, one slow to take the
// focus. The program answers its messages throughout.
#include "ShowTest.h"

#include <cstdio>

namespace bb {
namespace {

class FaultModeTest : public ShowTest {
protected:
    // A show whose viewer hangs in the given mode: the program keeps answering, and the hot key
    // stops the show.
    void ExpectTheHotKeyStopsAHungViewer(const std::wstring& mode);
};

std::string Describe(const std::vector<HWND>& windows) {
    std::string text;
    for (HWND w : windows) {
        char handle[32];
        std::snprintf(handle, sizeof(handle), "%llx",
                      static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(w)));
        text += std::string(handle) + " " + RectText(WindowRect(w)) + "; ";
    }
    return text;
}

std::string Describe(const ViewerLog& log) {
    std::string text;
    for (const std::string& line : log.Lines())
        text += line + "\n";
    return text;
}

void ExpectAnsweredThroughout(const MainWindowWatch& watch) {
    EXPECT_GT(watch.Asked(), 0);
    EXPECT_EQ(watch.Unanswered(), 0) << "the main window did not answer within a second "
                                     << watch.Unanswered() << " of " << watch.Asked() << " times";
}

void FaultModeTest::ExpectTheHotKeyStopsAHungViewer(const std::wstring& mode) {
    const std::wstring show = Presentation(L"a.ppt");
    ViewerLog log = NewViewerLog();
    ProgramDriver& program = Start(Quoted(show) + L" 1", ShowEnvironment(log, mode));
    MainWindowWatch watch(program, true);
    const DWORD viewer = WaitForViewer(log, true, std::ref(watch));
    ASSERT_NE(viewer, 0u) << "the viewer did not start";
    ProcessGuard& viewerProcess = Guard(viewer);
    ASSERT_TRUE(qmtest::WaitFor([&] {
        watch();
        return log.Has("hang");
    })) << "the viewer did not hang";
    const std::wstring listFile = ExpectListFile(log, {show});

    // A few seconds of ticks against the hung window.
    EXPECT_FALSE(qmtest::WaitFor(
        [&] {
            watch();
            return !program.Running();
        },
        3000ms));
    ExpectAnsweredThroughout(watch);

    ExpectHotKeyStopsTheShowAndExitCloses(program, viewerProcess, listFile);
}

TEST_F(FaultModeTest, AViewerThatEndsAtOnceEndsTheShow) {
    const std::wstring show = Presentation(L"a.ppt");
    ViewerLog log = NewViewerLog();
    ProgramDriver& program = Start(Quoted(show) + L" 1", ShowEnvironment(log, L"exit"));
    MainWindowWatch watch(program, true);
    ASSERT_NE(WaitForViewer(log, false, std::ref(watch)), 0u) << "the viewer did not start";
    const std::optional<std::wstring> listFile = log.ListFile();
    ASSERT_TRUE(listFile.has_value());

    HWND main = program.WaitForMainWindow(5s);
    ASSERT_NE(main, nullptr) << "the main window does not come after the viewer ended";
    EXPECT_TRUE(qmtest::WaitFor([&] { return !qmtest::FileExists(*listFile); }, 2s))
        << "the list file is left";
    EXPECT_TRUE(log.Has("exit"));
    watch();
    ExpectAnsweredThroughout(watch);
    EXPECT_FALSE(qmtest::WaitFor([&] { return !program.Running() || !IsWindowVisible(main); }, 700ms));
    Click(FindChild(main, L"E&xit", L"Button"));
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

TEST_F(FaultModeTest, AViewerWithoutAWindowRunsItsTimeWithTheProgramAnswering) {
    const std::wstring show = Presentation(L"a.ppt");
    ViewerLog log = NewViewerLog();
    ProgramDriver& program = Start(Quoted(show) + L" 1", ShowEnvironment(log, L"nowindow", 3));
    MainWindowWatch watch(program, true);
    const DWORD viewer = WaitForViewer(log, false, std::ref(watch));
    ASSERT_NE(viewer, 0u) << "the viewer did not start";
    ProcessGuard& viewerProcess = Guard(viewer);
    const std::wstring listFile = ExpectListFile(log, {show});

    // A look at the window counts only when the viewer still ran after it: once the viewer has
    // ended the window comes back, and may do so between the look and the check.
    bool shownWhileRunning = watch.EverVisible();
    EXPECT_TRUE(qmtest::WaitFor(
        [&] {
            watch();
            const bool visible = program.MainWindowVisible();
            if (!viewerProcess.Running())
                return true;
            shownWhileRunning = shownWhileRunning || visible;
            return false;
        },
        15s));
    EXPECT_FALSE(shownWhileRunning) << "the main window was shown while the viewer ran";
    HWND main = program.WaitForMainWindow(5s);
    ASSERT_NE(main, nullptr) << "the main window does not come back";
    EXPECT_TRUE(qmtest::WaitFor([&] { return !qmtest::FileExists(listFile); }, 2s))
        << "the list file is left";
    ExpectAnsweredThroughout(watch);
    Click(FindChild(main, L"E&xit", L"Button"));
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

TEST_F(FaultModeTest, OfSeveralShowWindowsOnlyTheFirstIsPlaced) {
    const std::wstring show = Presentation(L"a.ppt");
    ViewerLog log = NewViewerLog();
    ProgramDriver& program = Start(Quoted(show) + L" 1", ShowEnvironment(log, L"multi"));
    MainWindowWatch watch(program, true);
    const DWORD viewer = WaitForViewer(log, true, std::ref(watch));
    ASSERT_NE(viewer, 0u) << "the viewer did not start";
    ProcessGuard& viewerProcess = Guard(viewer);
    ASSERT_TRUE(qmtest::WaitFor([&] { return ShowWindows(viewer).size() == 3; }))
        << "the viewer opened no 3 windows";

    const RECT monitor = Monitor1();
    std::vector<HWND> windows = ShowWindows(viewer);
    EXPECT_TRUE(qmtest::WaitFor([&] {
        watch();
        return SameRect(WindowRect(windows[0]), monitor);
    })) << "the first show window is at "
        << RectText(WindowRect(windows[0]));
    // While the viewer was still opening windows another one may have been first and been placed;
    // from now on only the first may be. The others are put where the program would have to move
    // them from.
    std::vector<RECT> aside;
    for (size_t i = 1; i < windows.size(); ++i) {
        const int offset = 40 * static_cast<int>(i);
        aside.push_back(RECT{200 + offset, 150 + offset, 200 + offset + 300, 150 + offset + 200});
        SetWindowPos(windows[i], nullptr, aside.back().left, aside.back().top, 300, 200,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    auto othersAside = [&] {
        for (size_t i = 1; i < windows.size(); ++i)
            if (!SameRect(WindowRect(windows[i]), aside[i - 1]))
                return false;
        return true;
    };
    ASSERT_TRUE(qmtest::WaitFor(othersAside, 2s));
    auto focusCount = [&](HWND window) {
        char handle[32];
        std::snprintf(handle, sizeof(handle), "setfocus %llx",
                      static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
        size_t n = 0;
        for (const std::string& line : log.Lines())
            n += line == handle;
        return n;
    };
    std::vector<size_t> focused;
    for (HWND window : windows)
        focused.push_back(focusCount(window));

    EXPECT_FALSE(qmtest::WaitFor(
        [&] {
            watch();
            return !othersAside() || !SameRect(WindowRect(windows[0]), monitor);
        },
        1000ms))
        << "a show window other than the first was placed: " << Describe(windows) << "\n"
        << Describe(log);
    EXPECT_GE(focusCount(windows[0]), focused[0] + 3) << "the first show window is not given the focus";
    for (size_t i = 1; i < windows.size(); ++i)
        EXPECT_EQ(focusCount(windows[i]), focused[i]) << "show window " << i + 1 << " is given the focus";
    // The program raises no show window, so the first stays first. The order behind it is not the
    // program's: under load Wine may carry out the viewer's own activations of its windows late,
    // each raising its window again in the order they were opened.
    const std::vector<HWND> order = ShowWindows(viewer);
    EXPECT_TRUE(!order.empty() && order.front() == windows[0]) << "another show window became the first";

    ASSERT_TRUE(PressHotKey());
    EXPECT_TRUE(viewerProcess.WaitForExit(2s)) << "the hot key does not stop the viewer";
    EXPECT_NE(program.WaitForMainWindow(5s), nullptr);
    ExpectAnsweredThroughout(watch);
}

TEST_F(FaultModeTest, AHungViewerLeavesTheProgramAnsweringAndTheHotKeyStopsIt) {
    ExpectTheHotKeyStopsAHungViewer(L"hang");
}

TEST_F(FaultModeTest, AViewerThatHangsWhileItIsPlacedIsStoppedByTheHotKey) {
    ExpectTheHotKeyStopsAHungViewer(L"hangonresize");
}

TEST_F(FaultModeTest, AViewerThatTakesTheFocusSlowlyIsPlacedOnItsMonitor) {
    const std::wstring show = Presentation(L"a.ppt");
    ViewerLog log = NewViewerLog();
    ProgramDriver& program = Start(Quoted(show) + L" 1", ShowEnvironment(log, L"slowfocus"));
    const DWORD viewer = WaitForViewer(log);
    ASSERT_NE(viewer, 0u) << "the viewer did not start";
    Guard(viewer);
    const RECT monitor = Monitor1();
    std::vector<HWND> windows = ShowWindows(viewer);
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_TRUE(qmtest::WaitFor([&] { return SameRect(WindowRect(windows.front()), monitor); }, 10s))
        << "the show window is at " << RectText(WindowRect(windows.front())) << ", not on monitor 1 "
        << RectText(monitor);
    ASSERT_TRUE(PostMessageW(program.MainWindow(), WM_USER, 3, 0));
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

} // namespace
} // namespace bb
