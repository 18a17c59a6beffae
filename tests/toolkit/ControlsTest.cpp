#include "Application.h"
#include "BoxDriver.h"
#include "Dialogs.h"
#include "ExtControls.h"
#include "Form.h"
#include "Screen.h"
#include "StdControls.h"
#include "TestSupport.h"
#include "Timer.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include <atomic>
#include <optional>

namespace {

using namespace std::chrono_literals;

const COLORREF kOlive = RGB(128, 128, 0);

void PressKey(HWND target, WORD vk) {
    PostMessageW(target, WM_KEYDOWN, vk, 0);
    PostMessageW(target, WM_KEYUP, vk, 0xC0000000);
    tk::Application::Instance().ProcessMessages();
}

RECT RectIn(HWND parent, HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A bitmap made with GDI calls; `paint` draws into it.
HBITMAP MakeBitmap(int width, int height, const std::function<void(HDC)>& paint) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(dc, bitmap);
    paint(dc);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

void Fill(HDC dc, RECT rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// What a window's client area looks like when it paints itself into a memory bitmap.
class Snapshot {
public:
    explicit Snapshot(HWND hwnd) {
        RECT client;
        GetClientRect(hwnd, &client);
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, client.right, client.bottom);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
        SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT | PRF_ERASEBKGND);
    }
    ~Snapshot() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

TEST(UpDown, KeepsItsPlaceBesideTheEditAndClampsThePositionItShows) {
    tk::Form form("TestForm", L"Up-down", 300, 100, tk::BorderStyle::Single);
    auto& edit = form.Add<tk::Edit>(form, "StartMonitorEdit", tk::Bounds{136, 16, 41, 23}, L"", true);
    auto& upDown =
        form.Add<tk::UpDown>(form, "StartMonitorUpDown", tk::Bounds{177, 16, 16, 23}, edit, 1, 9, 9);

    RECT editRect = RectIn(form.Handle(), edit.Handle());
    RECT upDownRect = RectIn(form.Handle(), upDown.Handle());
    EXPECT_EQ(editRect.right - editRect.left, MulDiv(41, form.Dpi(), 96));
    EXPECT_EQ(upDownRect.left, editRect.right);
    EXPECT_EQ(upDownRect.top, editRect.top);

    EXPECT_EQ(upDown.Position(), 9);
    EXPECT_EQ(edit.Text(), L"9");
    EXPECT_EQ(upDown.Min(), 1);
    EXPECT_EQ(upDown.Max(), 9);

    upDown.SetPosition(12);
    EXPECT_EQ(upDown.Position(), 9);
    upDown.SetPosition(0);
    EXPECT_EQ(upDown.Position(), 1);
    EXPECT_EQ(edit.Text(), L"1");

    // Narrowing the range pulls the position in; widening leaves it.
    upDown.SetPosition(9);
    upDown.SetRange(1, 2);
    EXPECT_EQ(upDown.Position(), 2);
    EXPECT_EQ(edit.Text(), L"2");
    upDown.SetRange(1, 12);
    EXPECT_EQ(upDown.Max(), 12);
    EXPECT_EQ(upDown.Position(), 2);

    upDown.SetRange(-5, 5);
    upDown.SetPosition(-3);
    EXPECT_EQ(upDown.Position(), -3);
}

TEST(UpDown, ArrowKeysInTheEditStepWithoutWrapping) {
    tk::Form form("TestForm", L"Up-down keys", 300, 100, tk::BorderStyle::Single);
    auto& edit = form.Add<tk::Edit>(form, "Field", tk::Bounds{8, 8, 41, 23}, L"", true);
    auto& upDown = form.Add<tk::UpDown>(form, "Steps", tk::Bounds{49, 8, 16, 23}, edit, 1, 3, 2);
    form.Show();
    SetFocus(edit.Handle());

    PressKey(edit.Handle(), VK_UP);
    EXPECT_EQ(upDown.Position(), 3);
    PressKey(edit.Handle(), VK_UP);
    EXPECT_EQ(upDown.Position(), 3);
    for (int i = 0; i < 3; ++i)
        PressKey(edit.Handle(), VK_DOWN);
    EXPECT_EQ(upDown.Position(), 1);
    EXPECT_EQ(edit.Text(), L"1");
}

TEST(ToolButton, ClicksWithoutEverTakingTheFocus) {
    tk::Form form("TestForm", L"Tool button", 300, 100, tk::BorderStyle::Single);
    auto& edit = form.Add<tk::Edit>(form, "Field", tk::Bounds{8, 8, 100, 23}, L"");
    form.Add<tk::Bevel>(form, "Frame", tk::Bounds{4, 40, 200, 50});
    HBITMAP glyphs = MakeBitmap(32, 16, [](HDC dc) { Fill(dc, {0, 0, 32, 16}, kOlive); });
    auto& tool = form.Add<tk::ToolButton>(form, "MoveUpButton", tk::Bounds{120, 8, 25, 25}, glyphs, true);
    auto& button = form.Add<tk::Button>(form, "OkButton", tk::Bounds{160, 8, 75, 25}, L"OK");
    int clicks = 0;
    tool.OnClick = [&] { ++clicks; };
    form.Show();
    SetFocus(edit.Handle());

    SendMessageW(tool.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(GetFocus(), edit.Handle());

    // Held down it looks pressed; released off the button it does not click.
    SendMessageW(tool.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(Snapshot(tool.Handle()).At(0, 0), GetSysColor(COLOR_BTNSHADOW));
    SendMessageW(tool.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(-5, -5));
    EXPECT_EQ(clicks, 1);

    // A real click, through the input queue.
    RECT rect;
    GetWindowRect(tool.Handle(), &rect);
    SetForegroundWindow(form.Handle());
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
    EXPECT_TRUE(qmtest::WaitFor([&] { return clicks == 2; }));
    EXPECT_EQ(GetFocus(), edit.Handle());

    // Tab passes over it (and over the frame) to the next control that takes the focus.
    PressKey(edit.Handle(), VK_TAB);
    EXPECT_EQ(GetFocus(), button.Handle());

    tool.SetEnabled(false);
    SendMessageW(tool.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 2);
}

TEST(Glyphs, ButtonsShowTheHalfForTheirStateAndImagesLeaveOutTheKeyColour) {
    tk::Form form("TestForm", L"Glyphs", 300, 100, tk::BorderStyle::Single);
    // Normal half: black square; greyed half: grey square; olive all around.
    HBITMAP glyphs = MakeBitmap(32, 16, [](HDC dc) {
        Fill(dc, {0, 0, 32, 16}, kOlive);
        Fill(dc, {4, 4, 12, 12}, RGB(0, 0, 0));
        Fill(dc, {20, 4, 28, 12}, RGB(128, 128, 128));
    });
    auto& tool = form.Add<tk::ToolButton>(form, "MoveTopButton", tk::Bounds{8, 8, 25, 25}, glyphs, true);
    HBITMAP picture = MakeBitmap(16, 16, [](HDC dc) {
        Fill(dc, {0, 0, 16, 16}, kOlive);
        Fill(dc, {4, 4, 12, 12}, RGB(255, 0, 0));
    });
    auto& clear = form.Add<tk::Image>(form, "Logo", tk::Bounds{40, 8, 16, 16}, picture, true, true);
    auto& opaque = form.Add<tk::Image>(form, "Plain", tk::Bounds{60, 8, 16, 16}, picture, false);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    ASSERT_EQ(form.Dpi(), 96) << "pixel positions below assume 96 dots per inch";

    // The 16 x 16 glyph sits at (4, 4) in the 25 x 25 button.
    {
        Snapshot shot(tool.Handle());
        EXPECT_EQ(shot.At(12, 12), RGB(0, 0, 0));
        EXPECT_EQ(shot.At(5, 5), face);
        EXPECT_EQ(shot.At(4, 19), face);
    }
    tool.SetEnabled(false);
    {
        Snapshot shot(tool.Handle());
        EXPECT_EQ(shot.At(12, 12), RGB(128, 128, 128));
        EXPECT_EQ(shot.At(5, 5), face);
    }
    // At 168 dots per inch the glyph grows with the 44-pixel button: 28 pixels from (8, 8), the
    // square from (15, 15) to (29, 29).
    RECT suggested;
    GetWindowRect(form.Handle(), &suggested);
    SendMessageW(form.Handle(), WM_DPICHANGED, MAKEWPARAM(168, 168), reinterpret_cast<LPARAM>(&suggested));
    {
        Snapshot shot(tool.Handle());
        EXPECT_EQ(shot.At(16, 16), RGB(128, 128, 128));
        EXPECT_EQ(shot.At(28, 28), RGB(128, 128, 128));
        EXPECT_EQ(shot.At(13, 13), face);
    }
    {
        Snapshot shot(clear.Handle());
        EXPECT_EQ(shot.At(8, 8), RGB(255, 0, 0));
        EXPECT_EQ(shot.At(0, 15), face);
        EXPECT_EQ(shot.At(15, 0), face);
    }
    {
        Snapshot shot(opaque.Handle());
        EXPECT_EQ(shot.At(8, 8), RGB(255, 0, 0));
        EXPECT_EQ(shot.At(0, 15), kOlive);
    }
}

HWND FindDescendant(HWND parent, const wchar_t* windowClass) {
    std::pair<const wchar_t*, HWND> search(windowClass, nullptr);
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<std::pair<const wchar_t*, HWND>*>(param);
            wchar_t name[64];
            GetClassNameW(hwnd, name, 64);
            if (lstrcmpiW(name, s->first) != 0)
                return TRUE;
            s->second = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(hwnd, buffer, 1024);
    return buffer;
}

// The text of a message box: its first static control with text.
std::wstring MessageText(HWND box) {
    std::wstring text;
    for (HWND s = FindWindowExW(box, nullptr, L"Static", nullptr); s && text.empty();
         s = FindWindowExW(box, s, L"Static", nullptr))
        text = TextOf(s);
    return text;
}

TEST(Timer, FiresOnlyWhileEnabledAndNeverAfterItIsGone) {
    // A second timer's ticks show that time passed and timers were dispatched.
    tk::Timer reference(10);
    int ticks = 0;
    reference.OnTimer = [&] { ++ticks; };
    reference.SetEnabled(true);
    auto waitTicks = [&](int n) {
        int until = ticks + n;
        return qmtest::WaitFor([&] { return ticks >= until; });
    };

    int fired = 0;
    tk::Timer timer(20);
    timer.OnTimer = [&] { ++fired; };
    EXPECT_FALSE(timer.Enabled());
    ASSERT_TRUE(waitTicks(5));
    EXPECT_EQ(fired, 0);

    timer.SetEnabled(true);
    EXPECT_TRUE(qmtest::WaitFor([&] { return fired >= 3; }));
    timer.SetEnabled(false);
    int stoppedAt = fired;
    ASSERT_TRUE(waitTicks(5));
    EXPECT_EQ(fired, stoppedAt);

    // A disabled timer made where an enabled one was destroyed must not inherit its ticks.
    std::optional<tk::Timer> slot(std::in_place, 10);
    int firedByGone = 0, firedBySuccessor = 0;
    slot->OnTimer = [&] { ++firedByGone; };
    slot->SetEnabled(true);
    ASSERT_TRUE(qmtest::WaitFor([&] { return firedByGone > 0; }));
    slot.reset();
    int goneAt = firedByGone;
    slot.emplace(10);
    slot->OnTimer = [&] { ++firedBySuccessor; };
    ASSERT_TRUE(waitTicks(5));
    EXPECT_EQ(firedByGone, goneAt);
    EXPECT_EQ(firedBySuccessor, 0);
}

TEST(Timer, AnExceptionShowsOneErrorBoxAndTheTimerGoesOn) {
    tk::Application::Instance().SetTitle(L"Timer test");
    std::atomic<int> ticks = 0;
    tk::Timer reference(10);
    reference.OnTimer = [&] { ++ticks; };
    reference.SetEnabled(true);
    std::atomic<int> calls = 0;
    tk::Timer failing(10);
    failing.OnTimer = [&] {
        if (++calls == 1)
            throw tk::Error(L"Tick failed");
    };

    // While the box is up, the other timer runs in its loop but the failing one does not
    // come back; then the box is closed.
    std::wstring text;
    int callsWhileShown = -1;
    int boxes = 0;
    qmtest::BoxDriver closer(L"Timer test", [&](HWND box) {
        int until = ticks + 10;
        for (int i = 0; i < 400 && ticks < until; ++i)
            Sleep(25);
        callsWhileShown = calls;
        for (HWND w = FindWindowW(L"#32770", L"Timer test"); w;
             w = FindWindowExW(nullptr, w, L"#32770", L"Timer test"))
            ++boxes;
        text = MessageText(box);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    failing.SetEnabled(true);
    EXPECT_TRUE(qmtest::WaitFor([&] { return calls >= 3; }, 20s));
    closer.Join();
    EXPECT_EQ(text, L"Tick failed.");
    EXPECT_EQ(callsWhileShown, 1);
    EXPECT_EQ(boxes, 1);
}

void TypeFileName(HWND dialog, const std::wstring& name) {
    SendMessageW(FindDescendant(dialog, L"Edit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

TEST(FileDialog, OpenGivesTheFullPathAndKeepsNameAndFilterForTheNextRun) {
    qmtest::TempDir dir;
    qmtest::WriteBytes(dir.File(L"chosen.qlmv"), "x");
    tk::FileDialog dialog(tk::FileDialog::Kind::Open, "OpenDialogW");
    dialog.Title = L"Open test";
    dialog.Filter = L"Settings files (*.qlmv)|*.qlmv|All files (*.*)|*.*";
    dialog.DefaultExt = L"qlmv";
    dialog.InitialDir = dir.Path();
    dialog.Options = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING;

    std::vector<std::wstring> filters;
    qmtest::BoxDriver pick(L"Open test", [&](HWND box) {
        HWND types = GetDlgItem(box, cmb1);
        LRESULT count = SendMessageW(types, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t item[256] = {};
            SendMessageW(types, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
            filters.push_back(item);
        }
        // What the combo box tells its dialog when the user picks the second type.
        SendMessageW(types, CB_SETCURSEL, 1, 0);
        SendMessageW(box, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
        SendMessageW(box, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(types));
        // A bare name is looked for in the initial folder.
        TypeFileName(box, L"chosen.qlmv");
        Press(box, IDOK);
    });
    bool chosen = dialog.Execute(nullptr);
    pick.Join();
    EXPECT_TRUE(chosen);
    EXPECT_EQ(filters, (std::vector<std::wstring>{L"Settings files (*.qlmv)", L"All files (*.*)"}));
    EXPECT_EQ(dialog.FileName, dir.File(L"chosen.qlmv"));
    EXPECT_EQ(dialog.FilterIndex, 2);

    std::wstring offered;
    qmtest::BoxDriver cancel(L"Open test", [&](HWND box) {
        offered = TextOf(FindDescendant(box, L"Edit"));
        Press(box, IDCANCEL);
    });
    chosen = dialog.Execute(nullptr);
    cancel.Join();
    EXPECT_FALSE(chosen);
    EXPECT_NE(offered.find(L"chosen.qlmv"), std::wstring::npos);
    EXPECT_EQ(dialog.FileName, dir.File(L"chosen.qlmv"));
    EXPECT_EQ(dialog.FilterIndex, 2);
}

TEST(FileDialog, SaveAddsTheDefaultExtension) {
    qmtest::TempDir dir;
    tk::FileDialog dialog(tk::FileDialog::Kind::Save, "SaveDialogW");
    dialog.Title = L"Save test";
    dialog.Filter = L"Settings files (*.qlmv)|*.qlmv|All files (*.*)|*.*";
    dialog.DefaultExt = L"qlmv";
    dialog.Options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_ENABLESIZING;
    qmtest::BoxDriver save(L"Save test", [&](HWND box) {
        TypeFileName(box, dir.File(L"new"));
        Press(box, IDOK);
    });
    bool chosen = dialog.Execute(nullptr);
    save.Join();
    EXPECT_TRUE(chosen);
    EXPECT_EQ(dialog.FileName, dir.File(L"new.qlmv"));
}

TEST(Screen, CountsEveryHeadOfTheDisplay) {
    // The test display has two heads of different sizes.
    EXPECT_GE(tk::ScreenMonitorCount(), 2);
}

} // namespace
