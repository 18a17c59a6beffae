// The program started without a show: its main window as a user meets it, the ways to close it,
// the named mutex, control messages that arrive while no show runs, and the keyboard user's focus.
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
    // Nor does a system message that another program posts without its rectangle.
    ASSERT_TRUE(PostMessageW(main, WM_DPICHANGED, MAKEWPARAM(144, 144), 0));
    EXPECT_FALSE(qmtest::WaitFor([&] { return !program.Running() || !IsWindowVisible(main); }, 1000ms))
        << "a control message for another instance closed or hid the window";
    EXPECT_TRUE(Responds(main));

    ASSERT_TRUE(PostMessageW(main, WM_USER, 3, 42));
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    EXPECT_FALSE(log.Exists());
}

// Relative settings file names mean files of the current folder, though a bare name is what the
// profile functions look up in the Windows folder.
TEST_F(MainWindowTest, RelativeSettingsFilesAreThoseOfTheCurrentFolder) {
    wchar_t windows[MAX_PATH] = {};
    ASSERT_NE(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
    const std::wstring lookAlike = std::wstring(windows) + L"\\rel.qlmv";
    auto settings = [](const std::wstring& show) {
        return "[Settings]\r\nPresentation=" + Narrow(show) + "\r\n";
    };
    qmtest::WriteBytes(lookAlike, settings(L"windows.ppt"));
    qmtest::WriteBytes(Dir().File(L"rel.qlmv"), settings(L"here.ppt"));
    ASSERT_TRUE(CreateDirectoryW(Dir().File(L"sub").c_str(), nullptr));
    qmtest::WriteBytes(Dir().File(L"sub\\rel.qlmv"), settings(L"sub.ppt"));
    HWND main = nullptr;
    ProgramDriver& program =
        StartShown(L"/l rel.qlmv sub\\rel.qlmv .\\rel.qlmv", ShowEnvironment(NewViewerLog()), main);
    DeleteFileW(lookAlike.c_str());
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(ListBoxItems(FindChildOfClass(main, L"ListBox")),
              (std::vector<std::wstring>{L"here.ppt", L"sub.ppt", L"here.ppt"}));
    Click(FindChild(main, L"E&xit", L"Button"));
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

// Browsing to another folder in the Add dialog leaves the program's current folder, so a relative
// entry goes on naming the file it named.
TEST_F(MainWindowTest, AddingFromAnotherFolderLeavesRelativeEntriesTheirFiles) {
    Presentation(L"a.ppt");
    const std::wstring other = Dir().File(L"Other");
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    qmtest::WriteBytes(other + L"\\b.ppt", "x");
    HWND main = nullptr;
    ProgramDriver& program = StartShown(L"/l a.ppt", ShowEnvironment(NewViewerLog()), main);
    ASSERT_NE(main, nullptr);
    HWND start = FindChild(main, L"&Start Show", L"Button");
    ASSERT_TRUE(qmtest::WaitFor([&] { return IsWindowEnabled(start) != FALSE; }));

    Click(FindChild(main, L"&Add...", L"Button"));
    HWND dialog = nullptr;
    ASSERT_TRUE(qmtest::WaitFor([&] {
        dialog = FindWindowW(L"#32770", L"Select Microsoft Office PowerPoint Presentation");
        return dialog && IsWindowVisible(dialog);
    }));
    HWND combo = FindChildOfClass(dialog, L"ComboBoxEx32");
    HWND edit = FindChildOfClass(combo ? combo : dialog, L"Edit");
    ASSERT_NE(edit, nullptr);
    auto choose = [&](const std::wstring& typed) {
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    };
    // The folder first: the dialog goes there and lists its only file.
    choose(other);
    ASSERT_TRUE(qmtest::WaitFor([&] {
        HWND files = FindChildOfClass(dialog, L"SysListView32");
        return files && SendMessageW(files, LVM_GETITEMCOUNT, 0, 0) == 1;
    }));
    choose(L"b.ppt");
    ASSERT_TRUE(qmtest::WaitFor([&] { return !IsWindow(dialog); }));
    HWND list = FindChildOfClass(main, L"ListBox");
    EXPECT_TRUE(qmtest::WaitFor([&] {
        return ListBoxItems(list) == std::vector<std::wstring>{L"a.ppt", other + L"\\b.ppt"};
    }));
    EXPECT_TRUE(qmtest::WaitFor([&] { return IsWindowEnabled(start) != FALSE; }))
        << "a.ppt no longer names the file of the folder the program started in";
    Click(FindChild(main, L"E&xit", L"Button"));
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

// The window with one presentation listed, so that every button but Delete is enabled, in the
// foreground of a keyboard user.
class KeyboardTest : public BlackBoxTest {
protected:
    bool StartWithAPresentation(const ViewerLog& log) {
        program = &StartShown(Quoted(Presentation(L"a.ppt")) + L" 1 /l", ShowEnvironment(log, {}, 2), main);
        if (!main)
            return false;
        tabs = FindChildOfClass(main, WC_TABCONTROLW);
        list = FindChildOfClass(main, L"ListBox");
        add = FindChild(main, L"&Add...", L"Button");
        clear = FindChild(main, L"&Clear", L"Button");
        about = FindChild(main, L"A&bout...", L"Button");
        save = FindChild(main, L"Sa&ve Settings...", L"Button");
        load = FindChild(main, L"&Load Settings...", L"Button");
        start = FindChild(main, L"&Start Show", L"Button");
        exit = FindChild(main, L"E&xit", L"Button");
        return qmtest::WaitFor([&] { return IsWindowEnabled(start) && IsWindowEnabled(clear); }) &&
               BringToForeground(main);
    }
    // Waits until the focus is on the control.
    bool FocusOn(HWND control) const {
        return qmtest::WaitFor([&] { return FocusedWindow(main) == control; }, 5s);
    }
    bool FocusMoves(const std::vector<WORD>& keys, HWND to) const {
        return SendKeyChord(keys) && FocusOn(to);
    }
    // Waits until exactly these buttons show the default frame.
    bool FrameOn(const std::vector<HWND>& buttons) const {
        return qmtest::WaitFor([&] { return Framed() == buttons; }, 5s);
    }
    // The buttons that show the default frame.
    std::vector<HWND> Framed() const {
        std::vector<HWND> framed;
        for (HWND button : {add, clear, about, save, load, start, exit})
            if ((GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                framed.push_back(button);
        return framed;
    }

    ProgramDriver* program = nullptr;
    HWND main = nullptr, tabs = nullptr, list = nullptr, add = nullptr, clear = nullptr, about = nullptr,
         save = nullptr, load = nullptr, start = nullptr, exit = nullptr;
};

TEST_F(KeyboardTest, TabGoesThroughThePageControlThenTheButtonsAndCtrlTabTurnsThePages) {
    ViewerLog log = NewViewerLog();
    ASSERT_TRUE(StartWithAPresentation(log));
    EXPECT_TRUE(FocusOn(tabs)) << "the first control in tab order has no focus at start";
    const std::pair<const char*, HWND> order[] = {{"Add", add},          {"list", list}, {"Clear", clear},
                                                  {"About", about},      {"Save", save}, {"Load", load},
                                                  {"Start Show", start}, {"Exit", exit}, {"tab strip", tabs}};
    for (auto [name, control] : order)
        EXPECT_TRUE(FocusMoves({VK_TAB}, control)) << "Tab does not lead on to " << name;

    // The pages turn both ways round; the focus on a page that goes out of sight moves to the tabs.
    ASSERT_TRUE(FocusMoves({VK_TAB}, add) && FocusMoves({VK_TAB}, list));
    HWND viewerEdit = FindChild(main, TestViewerPath(), L"Edit");
    const std::pair<std::vector<WORD>, LRESULT> turns[] = {{{VK_CONTROL, VK_TAB}, 1},
                                                           {{VK_CONTROL, VK_TAB}, 0},
                                                           {{VK_CONTROL, VK_SHIFT, VK_TAB}, 1},
                                                           {{VK_CONTROL, VK_SHIFT, VK_TAB}, 0}};
    for (const auto& [keys, page] : turns) {
        ASSERT_TRUE(SendKeyChord(keys));
        EXPECT_TRUE(qmtest::WaitFor(
            [&] {
                return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == page &&
                       (IsWindowVisible(viewerEdit) != 0) == (page == 1);
            },
            5s))
            << "keys " << keys.size() << " do not turn to page " << page;
    }
    EXPECT_EQ(FocusedWindow(main), tabs);
}

TEST_F(KeyboardTest, ADisabledButtonHandsTheFocusOnAndAListCommandLeavesItInTheList) {
    ViewerLog log = NewViewerLog();
    ASSERT_TRUE(StartWithAPresentation(log));
    ASSERT_TRUE(FocusMoves({VK_SHIFT, VK_TAB}, exit) && FocusMoves({VK_SHIFT, VK_TAB}, start));
    HWND viewerEdit = FindChild(main, TestViewerPath(), L"Edit");
    ASSERT_TRUE(SendWithin(viewerEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"")));
    EXPECT_TRUE(FocusOn(exit)) << "the focus stays on the disabled Start Show";

    ASSERT_TRUE(FocusMoves({VK_TAB}, tabs) && FocusMoves({VK_TAB}, add) && FocusMoves({VK_TAB}, list));
    HWND del = FindChild(main, L"&Delete", L"Button");
    ASSERT_TRUE(SendKeyChord({VK_SPACE}) && qmtest::WaitFor([&] { return IsWindowEnabled(del) != FALSE; }));
    ASSERT_TRUE(SendKeyChord({VK_MENU, 'D'}));
    ASSERT_TRUE(qmtest::WaitFor([&] { return ListBoxItems(list).empty() && !IsWindowEnabled(clear); }));
    EXPECT_TRUE(FocusOn(list)) << "Delete leaves the focus elsewhere";
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

// What the user sees of a page: the list and the edits show their borders although they have no
// focus, the labels and move buttons stand on the page's own colour, and so does the tab pane
// between the page and its frame.
bool PageLooksRight(HWND page, const std::vector<HWND>& bordered, const std::vector<HWND>& onThePage) {
    const RECT area = WindowRect(page);
    const COLORREF background = ScreenPixel(area.right - 4, area.bottom - 4);
    const int x = (area.left + area.right) / 2, y = (area.top + area.bottom) / 2;
    if (ScreenPixel(area.left - 1, y) != background || ScreenPixel(area.right, y) != background ||
        ScreenPixel(x, area.top - 1) != background || ScreenPixel(x, area.bottom) != background)
        return false;
    for (HWND control : bordered) {
        const RECT rect = WindowRect(control);
        const int middle = (rect.top + rect.bottom) / 2;
        if (ScreenPixel(rect.left, middle) == background || ScreenPixel(rect.left - 3, middle) != background)
            return false;
    }
    for (HWND control : onThePage) {
        const RECT rect = WindowRect(control);
        if (ScreenPixel(rect.left + 1, rect.top + 1) != background)
            return false;
    }
    return true;
}

TEST_F(KeyboardTest, BothPagesShowTheirControlsAtStartAndAfterEachTurn) {
    ViewerLog log = NewViewerLog();
    ASSERT_TRUE(StartWithAPresentation(log));
    std::vector<HWND> moveButtons, edits, labels;
    for (HWND child : ChildWindows(GetParent(list)))
        if ((GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW &&
            ClassName(child) == L"Button")
            moveButtons.push_back(child);
    HWND viewerEdit = FindChild(main, TestViewerPath(), L"Edit");
    for (HWND child : ChildWindows(GetParent(viewerEdit))) {
        if (ClassName(child) == L"Edit")
            edits.push_back(child);
        if (ClassName(child) == L"Static")
            labels.push_back(child);
    }
    ASSERT_EQ(moveButtons.size(), 4u);
    ASSERT_EQ(edits.size(), 2u);
    ASSERT_EQ(labels.size(), 2u);

    const auto presentations = [&] { return PageLooksRight(GetParent(list), {list}, moveButtons); };
    const auto settings = [&] { return PageLooksRight(GetParent(viewerEdit), edits, labels); };
    EXPECT_TRUE(qmtest::WaitFor(presentations, 5s)) << "at start";
    ASSERT_TRUE(SendKeyChord({VK_CONTROL, VK_TAB}));
    EXPECT_TRUE(qmtest::WaitFor(settings, 5s)) << "after Ctrl+Tab";
    ASSERT_TRUE(SendKeyChord({VK_CONTROL, VK_SHIFT, VK_TAB}));
    EXPECT_TRUE(qmtest::WaitFor(presentations, 5s)) << "after Ctrl+Shift+Tab";
}

TEST_F(KeyboardTest, FocusComesBackAfterBoxesAndShowsAndTheDefaultFrameFollowsIt) {
    ViewerLog log = NewViewerLog();
    ASSERT_TRUE(StartWithAPresentation(log));
    const std::vector<HWND> startFramed{start};
    EXPECT_TRUE(FrameOn(startFramed));
    ASSERT_TRUE(FocusMoves({VK_TAB}, add));
    EXPECT_TRUE(FrameOn({add}));
    ASSERT_TRUE(FocusMoves({VK_TAB}, list));
    EXPECT_TRUE(FrameOn(startFramed)) << "no default frame with the focus on the list";
    ASSERT_TRUE(FocusMoves({VK_TAB}, clear) && FocusMoves({VK_TAB}, about));
    EXPECT_TRUE(FrameOn({about}));

    // Enter presses the focused button. The About box is owned by the main window.
    ASSERT_TRUE(SendKeyChord({VK_RETURN}));
    HWND box = nullptr;
    ASSERT_TRUE(qmtest::WaitFor([&] {
        for (HWND window : TopLevelWindows(program->ProcessId(), L"tkContainer"))
            if (window != main && IsWindowVisible(window))
                box = window;
        return box != nullptr;
    })) << "Enter on About shows no About box";
    EXPECT_EQ(GetWindow(box, GW_OWNER), main);
    ASSERT_TRUE(SendKeyChord({VK_RETURN}));
    EXPECT_TRUE(FocusOn(about)) << "after the About box";

    // Clear asks first; "No" keeps the list.
    ASSERT_TRUE(FocusMoves({VK_SHIFT, VK_TAB}, clear));
    ASSERT_TRUE(SendKeyChord({VK_RETURN}));
    ASSERT_NE(program->WaitForMessageBox(), nullptr);
    ASSERT_TRUE(SendKeyChord({'N'}));
    EXPECT_TRUE(FocusOn(clear)) << "after a message box";
    EXPECT_EQ(ListBoxItems(list).size(), 1u);

    // Enter on the list starts the show; the viewer ends after two seconds.
    ASSERT_TRUE(FocusMoves({VK_SHIFT, VK_TAB}, list));
    EXPECT_TRUE(FrameOn(startFramed));
    ASSERT_TRUE(SendKeyChord({VK_RETURN}));
    // A lost key and a viewer that did not start look the same from outside: say which it was.
    ASSERT_TRUE(qmtest::WaitFor([&] { return !IsWindowVisible(main); }))
        << "Enter started no show; the viewer " << (log.Exists() ? "started" : "did not start")
        << ", and the main window " << (GetForegroundWindow() == main ? "is" : "is not")
        << " the foreground window";
    EXPECT_TRUE(qmtest::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 15s));
    EXPECT_TRUE(FocusOn(list)) << "after a show";
}

} // namespace
} // namespace bb
