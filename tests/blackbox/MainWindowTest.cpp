// The program started without a show: its main window as a user meets it, the ways to close it,
// the named mutex, and control messages that arrive while no show runs.
#include "BlackBoxFixture.h"

#include <commctrl.h>

#include <functional>

namespace bb {
namespace {

using MainWindowTest = BlackBoxTest;

bool MutexExists() {
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"Quillmont");
    if (!mutex)
        return false;
    CloseHandle(mutex);
    return true;
}

std::wstring MonitorCountText(int count) {
    return count == 1 ? std::wstring(L"This system has 1 monitor.")
                      : L"This system has " + std::to_wstring(count) + L" monitors.";
}

TEST_F(MainWindowTest, ShowsItsControlsWithTheBuiltInTexts) {
    ViewerLog log = NewViewerLog();
    HWND main = nullptr;
    ProgramDriver& program = StartShown(L"", ShowEnvironment(log), main);
    ASSERT_NE(main, nullptr) << "no visible main window";

    EXPECT_EQ(WindowText(main), L"Quillmont");
    for (const wchar_t* caption : {L"A&bout...", L"Sa&ve Settings...", L"&Load Settings...", L"&Start Show",
                                   L"E&xit", L"&Add...", L"&Delete", L"&Clear", L"..."})
        EXPECT_NE(FindChild(main, caption, L"Button"), nullptr) << Narrow(caption);
    for (const wchar_t* caption : {L"Start on monitor:", L"PowerPoint Viewer:"})
        EXPECT_NE(FindChild(main, caption, L"Static"), nullptr) << Narrow(caption);

    HWND tabs = FindChildOfClass(main, WC_TABCONTROLW);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(TabCaptions(tabs), (std::vector<std::wstring>{L"Presentations", L"Settings"}));

    // The label and the start monitor follow the monitors at the window's first activation; a
    // start without arguments proposes the highest monitor.
    const int monitors = GetSystemMetrics(SM_CMONITORS);
    EXPECT_TRUE(qmtest::WaitFor([&] {
        return FindChild(main, MonitorCountText(monitors), L"Static") != nullptr;
    })) << "no label \""
        << Narrow(MonitorCountText(monitors)) << "\"";
    if (monitors < 9) {
        EXPECT_NE(FindChild(main, std::to_wstring(monitors), L"Edit"), nullptr);
    }
    EXPECT_NE(FindChild(main, TestViewerPath(), L"Edit"), nullptr) << "the stored viewer path is not shown";

    HWND list = FindChildOfClass(main, L"ListBox");
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(ListBoxItems(list).empty());
    // Nothing to show yet.
    HWND start = FindChild(main, L"&Start Show", L"Button");
    EXPECT_TRUE(qmtest::WaitFor([&] { return !IsWindowEnabled(start); }));
    EXPECT_TRUE(IsWindowEnabled(FindChild(main, L"E&xit", L"Button")));

    EXPECT_TRUE(program.Running());
    EXPECT_FALSE(log.Exists()) << "a viewer was started";
}

// Runs on a display of its own with one monitor (blackbox_one_monitor).
TEST_F(MainWindowTest, OneMonitorIsCountedInTheSingular) {
    const std::vector<RECT> monitors = NamedMonitors();
    if (monitors.empty())
        GTEST_SKIP() << "needs a display of its own with one monitor";
    ASSERT_TRUE(ReportsMonitors(monitors));
    ASSERT_EQ(monitors.size(), 1u);
    HWND main = nullptr;
    ProgramDriver& program = StartShown(L"", ShowEnvironment(NewViewerLog()), main);
    ASSERT_NE(main, nullptr) << "no visible main window";
    EXPECT_TRUE(qmtest::WaitFor([&] {
        return FindChild(main, L"This system has 1 monitor.", L"Static") != nullptr;
    })) << "no label \"This system has 1 monitor.\"";
    EXPECT_NE(FindChild(main, L"1", L"Edit"), nullptr) << "the start monitor is not 1";
    Click(FindChild(main, L"E&xit", L"Button"));
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

TEST_F(MainWindowTest, HoldsTheNamedMutexWhileItRunsAndASecondInstanceRunsToo) {
    ViewerLog log = NewViewerLog();
    HWND first = nullptr, second = nullptr;
    ProgramDriver& one = StartShown(L"", ShowEnvironment(log), first);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(MutexExists());

    ProgramDriver& two = StartShown(L"", ShowEnvironment(log), second);
    ASSERT_NE(second, nullptr) << "the second instance shows no window";
    EXPECT_NE(first, second);
    EXPECT_TRUE(one.Running());

    Click(FindChild(first, L"E&xit", L"Button"));
    EXPECT_EQ(one.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(MutexExists()) << "the second instance no longer holds the mutex";
    Click(FindChild(second, L"E&xit", L"Button"));
    EXPECT_EQ(two.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_FALSE(MutexExists()) << "the mutex outlives the program";
}

struct CloseWay {
    const char* name;
    std::function<bool(HWND)> close;
};

TEST_F(MainWindowTest, ClosesWithExitCode0WhicheverWayItIsClosed) {
    const CloseWay ways[] = {
        {"Exit button",
         [](HWND main) {
             HWND exit = FindChild(main, L"E&xit", L"Button");
             if (!exit)
                 return false;
             Click(exit);
             return true;
         }},
        {"close box", [](HWND main) { return PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0) != 0; }},
        {"WM_CLOSE", [](HWND main) { return PostMessageW(main, WM_CLOSE, 0, 0) != 0; }},
        {"Alt+F4",
         [](HWND main) {
             return BringToForeground(main) && SendKeyChord({VK_MENU, VK_F4});
         }},
        // Without "/n" the instance number is 0.
        {"control code 3 with instance number 0",
         [](HWND main) { return PostMessageW(main, WM_USER, 3, 0) != 0; }},
    };
    for (const CloseWay& way : ways) {
        SCOPED_TRACE(way.name);
        ViewerLog log = NewViewerLog();
        HWND main = nullptr;
        ProgramDriver& program = StartShown(L"", ShowEnvironment(log), main);
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(way.close(main));
        EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    }
}

TEST_F(MainWindowTest, ControlCode3ClosesOnlyForItsInstanceNumber) {
    ViewerLog log = NewViewerLog();
    HWND main = nullptr;
    ProgramDriver& program = StartShown(L"/n 42", ShowEnvironment(log), main);
    ASSERT_NE(main, nullptr);

    // Another number, another code, and codes 1 and 2 with no show running change nothing visible.
    // All 32 bits of the number count.
    const std::pair<int, int> messages[] = {{3, 41},           {3, 0},  {3, -42}, {3, 42 + 0x10000},
                                            {3, 42 - 0x10000}, {4, 42}, {1, 42},  {2, 42}};
    for (auto [code, number] : messages)
        ASSERT_TRUE(PostMessageW(main, WM_USER, static_cast<WPARAM>(code), static_cast<LPARAM>(number)));
    EXPECT_FALSE(qmtest::WaitFor([&] { return !program.Running() || !IsWindowVisible(main); }, 1000ms))
        << "a control message for another instance closed or hid the window";
    EXPECT_TRUE(Responds(main));

    ASSERT_TRUE(PostMessageW(main, WM_USER, 3, 42));
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_FALSE(log.Exists());
}

} // namespace
} // namespace bb
