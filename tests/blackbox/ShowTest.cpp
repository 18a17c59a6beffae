// Shows started from the command line and with "&Start Show": the hidden main window, the show
// window on monitor 1, the list file, the hot key, the end of the viewer, "/s" and the control
// messages of another program.
#include "ShowTest.h"

#include "AnsiText.h"

namespace bb {

DWORD ShowTest::WaitForViewer(const ViewerLog& log, bool needWindow, const std::function<void()>& meanwhile) {
    const bool came = qmtest::WaitFor(
        [&] {
            if (meanwhile)
                meanwhile();
            return log.Has("list") && (!needWindow || log.Has("window"));
        },
        15s);
    std::vector<DWORD> ids = log.ProcessIds();
    if (ids.empty())
        return 0;
    Guard(ids.front());
    return came ? ids.front() : 0;
}

RECT ShowTest::Monitor1() {
    const RECT rect = LibraryMonitorRect(0);
    bool real = false;
    for (const MONITORINFO& monitor : DisplayMonitors())
        real = real || SameRect(monitor.rcMonitor, rect);
    EXPECT_TRUE(real && rect.right > rect.left && rect.bottom > rect.top)
        << "monitor 1 of the library " << RectText(rect) << " is no monitor of this system";
    return rect;
}

std::wstring ShowTest::ExpectListFile(const ViewerLog& log, const std::vector<std::wstring>& paths) {
    std::optional<std::wstring> listFile = log.ListFile();
    EXPECT_TRUE(listFile.has_value()) << "the viewer was given no list file";
    if (!listFile)
        return {};
    const std::wstring& path = *listFile;
    const size_t slash = path.find_last_of(L'\\');
    EXPECT_EQ(path.substr(0, slash + 1), TempFolder()) << "the list file is not in the temporary folder";
    const std::wstring name = path.substr(slash + 1);
    const std::wstring prefix = L"quillmont", suffix = L".txt";
    bool patterned =
        name.size() > prefix.size() + suffix.size() && name.starts_with(prefix) && name.ends_with(suffix);
    if (patterned) {
        const std::wstring number = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
        patterned = number.find_first_not_of(L"0123456789") == std::wstring::npos &&
                    (number == L"0" || number[0] != L'0') && number.size() <= 4 && std::stoi(number) < 1024;
    }
    EXPECT_TRUE(patterned) << "list file name " << Narrow(name);
    EXPECT_TRUE(qmtest::FileExists(path)) << "the list file is gone while the viewer runs";
    if (qmtest::FileExists(path)) {
        EXPECT_EQ(Hex(qmtest::ReadBytes(path)), Hex(ListFileBytes(paths)));
    }
    return path;
}

void ShowTest::ExpectHotKeyStopsTheShowAndExitCloses(ProgramDriver& program, ProcessGuard& viewerProcess,
                                                     const std::wstring& listFile) {
    ASSERT_TRUE(PressHotKey());
    EXPECT_TRUE(viewerProcess.WaitForExit(2s)) << "the hot key does not stop the viewer";
    EXPECT_TRUE(qmtest::WaitFor([&] { return !qmtest::FileExists(listFile); }, 2s))
        << "the list file is left";
    HWND main = program.WaitForMainWindow(5s);
    ASSERT_NE(main, nullptr) << "the main window does not come back";
    EXPECT_FALSE(qmtest::WaitFor([&] { return !program.Running(); }, 700ms)) << "the program closed";
    Click(FindChild(main, L"E&xit", L"Button"));
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

void MainWindowWatch::operator()() {
    if (program_.MainWindowVisible())
        everVisible_ = true;
    if (!checkAnswers_)
        return;
    HWND main = program_.MainWindow();
    if (!main)
        return;
    ++asked_;
    if (!Responds(main, 1000ms))
        ++unanswered_;
}

namespace {

TEST_F(ShowTest, CommandLineShowRunsHiddenOnMonitor1AndTheHotKeyStopsIt) {
    // A name with a letter that the code page lacks is played as it stands, not as its look-alike.
    const std::wstring show = Presentation(L"\u0142za.ppt");
    Presentation(L"lza.ppt");
    ViewerLog log = NewViewerLog();
    ProgramDriver& program = Start(Quoted(show) + L" 1", ShowEnvironment(log));
    MainWindowWatch watch(program);
    const DWORD viewer = WaitForViewer(log, true, std::ref(watch));
    ASSERT_NE(viewer, 0u) << "the viewer did not start";
    ProcessGuard& viewerProcess = Guard(viewer);

    const RECT monitor = Monitor1();
    std::vector<HWND> windows = ShowWindows(viewer);
    ASSERT_EQ(windows.size(), 1u);
    HWND showWindow = windows.front();
    EXPECT_TRUE(qmtest::WaitFor([&] {
        watch();
        return SameRect(WindowRect(showWindow), monitor);
    })) << "the show window is at "
        << RectText(WindowRect(showWindow)) << ", not on monitor 1 " << RectText(monitor);
    // Every tick hands the show window the focus; the viewer's own activation gives it only once.
    const size_t focused = log.Count("setfocus");
    EXPECT_TRUE(qmtest::WaitFor([&] {
        watch();
        return log.Count("setfocus") >= focused + 3;
    })) << "the show window is not given the focus";

    const std::wstring listFile = ExpectListFile(log, {show});
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr) << "the main window does not exist while the show runs";
    EXPECT_FALSE(watch.EverVisible()) << "the main window was shown during the show";
    EXPECT_TRUE(Responds(main));

    ASSERT_TRUE(PressHotKey());
    EXPECT_TRUE(viewerProcess.WaitForExit(2s)) << "the hot key does not stop the viewer";
    EXPECT_TRUE(qmtest::WaitFor([&] { return !qmtest::FileExists(listFile); }, 2s))
        << "the list file is left";
    EXPECT_NE(program.WaitForMainWindow(5s), nullptr) << "the main window does not come back";
    EXPECT_TRUE(TempFolderFiles().empty());
    // The window shows the command line's presentation.
    EXPECT_EQ(ListBoxItems(FindChildOfClass(main, L"ListBox")), std::vector<std::wstring>{show});

    EXPECT_FALSE(qmtest::WaitFor([&] { return !program.Running(); }, 700ms)) << "the program closed";
    Click(FindChild(main, L"E&xit", L"Button"));
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

// Runs on displays of their own with two monitors of one resolution, the second right or left of
// the primary (blackbox_monitor2_*).
TEST_F(ShowTest, AShowOnMonitor2IsPlacedExactlyOnIt) {
    const std::vector<RECT> monitors = NamedMonitors();
    if (monitors.empty())
        GTEST_SKIP() << "needs a display of its own with two monitors of one resolution";
    ASSERT_EQ(monitors.size(), 2u);
    ASSERT_TRUE(ReportsMonitors(monitors));
    const std::wstring show = Presentation(L"a.ppt");
    ViewerLog log = NewViewerLog();
    ProgramDriver& program = Start(Quoted(show) + L" 2", ShowEnvironment(log));
    const DWORD viewer = WaitForViewer(log);
    ASSERT_NE(viewer, 0u) << "the viewer did not start";
    std::vector<HWND> windows = ShowWindows(viewer);
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_TRUE(qmtest::WaitFor([&] { return SameRect(WindowRect(windows.front()), monitors[1]); }))
        << "the show window is at " << RectText(WindowRect(windows.front())) << ", not on monitor 2 "
        << RectText(monitors[1]);
    ASSERT_TRUE(PostMessageW(program.MainWindow(), WM_USER, 3, 0));
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

TEST_F(ShowTest, TheHotKeyLeavesTheProgramRunningAfterSlashS) {
    const std::wstring show = Presentation(L"a.ppt");
    ViewerLog log = NewViewerLog();
    ProgramDriver& program = Start(L"/s " + Quoted(show) + L" 1", ShowEnvironment(log));
    MainWindowWatch watch(program);
    const DWORD viewer = WaitForViewer(log, true, std::ref(watch));
    ASSERT_NE(viewer, 0u) << "the viewer did not start";
    ProcessGuard& viewerProcess = Guard(viewer);
    const std::wstring listFile = ExpectListFile(log, {show});
    EXPECT_FALSE(watch.EverVisible()) << "the main window was shown during the show";

    ExpectHotKeyStopsTheShowAndExitCloses(program, viewerProcess, listFile);
}

TEST_F(ShowTest, SlashSClosesTheProgramWhenTheViewerEndsByItself) {
    const std::wstring show = Presentation(L"a.ppt");
    ViewerLog log = NewViewerLog();
    ProgramDriver& program = Start(L"/s " + Quoted(show) + L" 1", ShowEnvironment(log, {}, 2));
    MainWindowWatch watch(program);
    const DWORD viewer = WaitForViewer(log, true, std::ref(watch));
    ASSERT_NE(viewer, 0u) << "the viewer did not start";
    const std::wstring listFile = ExpectListFile(log, {show});

    EXPECT_TRUE(qmtest::WaitFor(
        [&] {
            watch();
            return !program.Running();
        },
        15s))
        << "the program does not close after the show";
    EXPECT_EQ(program.WaitForExit(0ms), std::optional<DWORD>(0));
    EXPECT_TRUE(log.Has("exit")) << "the viewer did not end by itself";
    EXPECT_FALSE(watch.EverVisible()) << "the main window was shown";
    EXPECT_FALSE(qmtest::FileExists(listFile));
    EXPECT_TRUE(TempFolderFiles().empty());
}

TEST_F(ShowTest, StartShowButtonRunsTheLoadedListAndTheWindowReturnsWhenTheViewerEnds) {
    const std::wstring first = Presentation(L"a.ppt"), second = Presentation(L"b.pps");
    // A settings file named with a letter that the code page lacks, beside a look-alike.
    const std::wstring settings = Dir().File(L"\u0142.qlmv");
    auto ansi = [](const std::wstring& text) { return qm::WideToAnsi(text); };
    qmtest::WriteBytes(settings, "[Settings]\r\nPresentation=" + ansi(first) +
                                     "\r\nPowerPoint Viewer=" + ansi(TestViewerPath()) +
                                     "\r\nStart Monitor=1\r\nTotalPresentationCount=2\r\n"
                                     "[Presentations]\r\nPresentation1=" +
                                     ansi(first) + "\r\nPresentation2=" + ansi(second) + "\r\n");
    qmtest::WriteBytes(Dir().File(L"l.qlmv"), "[Settings]\r\nPresentation=" + ansi(second) + "\r\n");
    // The button stores the path that the window shows, which came from the settings file.
    StoreViewer(Dir().File(L"Old\\pptview.exe"));

    ViewerLog log = NewViewerLog();
    HWND main = nullptr;
    ProgramDriver& program = StartShown(L"/l " + Quoted(settings), ShowEnvironment(log, {}, 3), main);
    ASSERT_NE(main, nullptr);
    HWND list = FindChildOfClass(main, L"ListBox");
    EXPECT_EQ(ListBoxItems(list), (std::vector<std::wstring>{first, second}));
    EXPECT_NE(FindChild(main, TestViewerPath(), L"Edit"), nullptr);
    HWND start = FindChild(main, L"&Start Show", L"Button");
    ASSERT_NE(start, nullptr);
    ASSERT_TRUE(qmtest::WaitFor([&] { return IsWindowEnabled(start) != FALSE; }))
        << "Start Show stays disabled";
    EXPECT_FALSE(log.Exists()) << "\"/l\" started a show";
    // Focus-away mode asked for before the show does not outlast the launch.
    ASSERT_TRUE(SendWithin(main, WM_USER, 1, 0));

    Click(start);
    const DWORD viewer = WaitForViewer(log);
    ASSERT_NE(viewer, 0u) << "the viewer did not start";
    ProcessGuard& viewerProcess = Guard(viewer);
    EXPECT_TRUE(qmtest::WaitFor([&] { return !IsWindowVisible(main); }, 2s))
        << "the main window stays visible";
    EXPECT_EQ(StoredViewer(), TestViewerPath());
    const std::wstring listFile = ExpectListFile(log, {first, second});
    const RECT monitor = Monitor1();
    std::vector<HWND> windows = ShowWindows(viewer);
    ASSERT_FALSE(windows.empty());
    EXPECT_TRUE(qmtest::WaitFor([&] { return SameRect(WindowRect(windows.front()), monitor); }))
        << "the show window is not placed (focus-away mode from before the launch?)";

    // The viewer ends after three seconds.
    EXPECT_TRUE(viewerProcess.WaitForExit(15s));
    EXPECT_TRUE(log.Has("exit"));
    EXPECT_TRUE(qmtest::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5s))
        << "the main window does not come back";
    EXPECT_FALSE(qmtest::FileExists(listFile)) << "the list file is left";
    EXPECT_TRUE(TempFolderFiles().empty());
    EXPECT_FALSE(qmtest::WaitFor([&] { return !program.Running(); }, 700ms)) << "the program closed";
    Click(FindChild(main, L"E&xit", L"Button"));
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

TEST_F(ShowTest, ControlCode3WithTheInstanceNumberEndsShowAndProgram) {
    const std::wstring show = Presentation(L"a.ppt");
    ViewerLog log = NewViewerLog();
    ProgramDriver& program = Start(L"/n 42 " + Quoted(show) + L" 1", ShowEnvironment(log));
    const DWORD viewer = WaitForViewer(log);
    ASSERT_NE(viewer, 0u) << "the viewer did not start";
    ProcessGuard& viewerProcess = Guard(viewer);
    const std::wstring listFile = ExpectListFile(log, {show});
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);

    for (LPARAM other : {LPARAM{41}, LPARAM{0}})
        ASSERT_TRUE(PostMessageW(main, WM_USER, 3, other));
    EXPECT_FALSE(qmtest::WaitFor([&] { return !program.Running() || !viewerProcess.Running(); }, 1000ms))
        << "a control message for another instance ended the show";
    EXPECT_TRUE(qmtest::FileExists(listFile));

    ASSERT_TRUE(PostMessageW(main, WM_USER, 3, 42));
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(viewerProcess.WaitForExit(2s)) << "the viewer outlives the program";
    EXPECT_FALSE(qmtest::FileExists(listFile)) << "the list file is left";
}

TEST_F(ShowTest, FocusAwayLeavesTheShowWindowWhereItIsUntilCode2) {
    const std::wstring show = Presentation(L"a.ppt");
    ViewerLog log = NewViewerLog();
    ProgramDriver& program = Start(Quoted(show) + L" 1", ShowEnvironment(log));
    const DWORD viewer = WaitForViewer(log);
    ASSERT_NE(viewer, 0u) << "the viewer did not start";
    ProcessGuard& viewerProcess = Guard(viewer);
    const RECT monitor = Monitor1();
    HWND showWindow = ShowWindows(viewer).front();
    ASSERT_TRUE(qmtest::WaitFor([&] { return SameRect(WindowRect(showWindow), monitor); }));
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);

    ASSERT_TRUE(SendWithin(main, WM_USER, 1, 0)) << "code 1 is not answered";
    const RECT away{100, 120, 100 + 400, 120 + 300};
    SetWindowPos(showWindow, nullptr, away.left, away.top, away.right - away.left, away.bottom - away.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(qmtest::WaitFor([&] { return SameRect(WindowRect(showWindow), away); }, 2s));
    const size_t focused = log.Count("setfocus");
    EXPECT_FALSE(qmtest::WaitFor([&] { return !SameRect(WindowRect(showWindow), away); }, 1500ms))
        << "the show window was placed again in focus-away mode: " << RectText(WindowRect(showWindow));
    // The activation that code 1 asks for may still arrive; the ticks give no focus.
    EXPECT_LE(log.Count("setfocus"), focused + 1) << "the show window is given the focus in focus-away mode";
    EXPECT_FALSE(IsWindowVisible(main));
    // A show window that comes to the foreground loses it again.
    ASSERT_TRUE(BringToForeground(showWindow));
    EXPECT_TRUE(qmtest::WaitFor([&] { return GetForegroundWindow() != showWindow; }, 2s))
        << "the show window keeps the foreground in focus-away mode";
    EXPECT_TRUE(SameRect(WindowRect(showWindow), away));

    ASSERT_TRUE(SendWithin(main, WM_USER, 2, 0)) << "code 2 is not answered";
    EXPECT_TRUE(qmtest::WaitFor([&] { return SameRect(WindowRect(showWindow), monitor); }, 2s))
        << "the show window is not placed again after code 2";
    const size_t refocused = log.Count("setfocus");
    EXPECT_TRUE(qmtest::WaitFor([&] { return log.Count("setfocus") >= refocused + 3; }))
        << "the show window is not given the focus after code 2";
    ASSERT_TRUE(BringToForeground(showWindow));
    EXPECT_FALSE(qmtest::WaitFor([&] { return GetForegroundWindow() != showWindow; }, 1000ms))
        << "the show window loses the foreground in normal mode";

    ASSERT_TRUE(PostMessageW(main, WM_USER, 3, 0));
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(viewerProcess.WaitForExit(2s));
    EXPECT_TRUE(TempFolderFiles().empty());
}

} // namespace
} // namespace bb
