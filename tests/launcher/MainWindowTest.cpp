#include "AboutUnit.h"
#include "AnsiText.h"
#include "Application.h"
#include "BoxDriver.h"
#include "Localizer.h"
#include "MainUnit.h"
#include "PathFit.h"
#include "PresentationLibrary.h"
#include "Screen.h"
#include "StartUp.h"
#include "TestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <tuple>

namespace {

using Items = std::vector<std::wstring>;

// What a message box showed: its text, its place and the work area of its monitor.
struct SeenBox {
    std::wstring text;
    RECT rect{};
    RECT workArea{};
    // The height of the text and of one of its lines.
    int textHeight = 0;
    int lineHeight = 0;
};

// Answers the next message box of this process with the given button; read what it saw after
// Join(). The record is a base before the driver, so that it outlives the driver's thread.
class BoxAnswerer : public SeenBox, public qmtest::BoxDriver {
public:
    explicit BoxAnswerer(int button)
        : BoxDriver(kApplicationTitle, [this, button](HWND box) {
              GetWindowRect(box, &rect);
              MONITORINFO monitor{};
              monitor.cbSize = sizeof(monitor);
              GetMonitorInfoW(MonitorFromWindow(box, MONITOR_DEFAULTTONEAREST), &monitor);
              workArea = monitor.rcWork;
              wchar_t buffer[4096] = {};
              for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                  wchar_t cls[32] = {};
                  GetClassNameW(child, cls, 32);
                  if (lstrcmpiW(cls, L"Static") != 0 || GetWindowTextLengthW(child) == 0)
                      continue;
                  GetWindowTextW(child, buffer, 4096);
                  RECT client{};
                  GetClientRect(child, &client);
                  textHeight = client.bottom;
                  HDC dc = GetDC(child);
                  HGDIOBJ old =
                      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
                  TEXTMETRICW metrics{};
                  GetTextMetricsW(dc, &metrics);
                  lineHeight = metrics.tmHeight;
                  SelectObject(dc, old);
                  ReleaseDC(child, dc);
              }
              text = buffer;
              PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
          }) {}
};

// Waits for a file dialog of the given title, then chooses the file (or cancels when the
// file name is empty).
class DialogDriver : public qmtest::BoxDriver {
public:
    DialogDriver(const std::wstring& title, std::wstring file)
        : BoxDriver(title, [file](HWND dialog) {
              Sleep(200);
              if (file.empty()) {
                  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                  return;
              }
              HWND edit = FindWindowExW(dialog, nullptr, L"ComboBoxEx32", nullptr);
              if (edit)
                  edit = FindWindowExW(edit, nullptr, L"ComboBox", nullptr);
              if (edit)
                  edit = FindWindowExW(edit, nullptr, L"Edit", nullptr);
              if (!edit)
                  edit = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
              SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
              PostMessageW(dialog, WM_COMMAND, IDOK, 0);
          }) {}
};

LOGFONTW FontOf(HWND hwnd) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font;
}

int TextWidth(HWND hwnd, const std::wstring& text) {
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return size.cx;
}

// Where every control of a window lies and the font that it shows its text in.
using Look = std::vector<std::tuple<std::string, int, int, int, int, LONG, LONG, LONG, std::wstring>>;

void AddLook(const tk::Form& window, const tk::Control& parent, Look& look) {
    for (const tk::Control* control : parent.Children()) {
        RECT rect;
        GetWindowRect(control->Handle(), &rect);
        MapWindowPoints(HWND_DESKTOP, window.Handle(), reinterpret_cast<POINT*>(&rect), 2);
        const LOGFONTW font = FontOf(control->Handle());
        look.emplace_back(control->Name(), rect.left, rect.top, rect.right, rect.bottom, font.lfHeight,
                          font.lfWidth, font.lfWeight, font.lfFaceName);
        AddLook(window, *control, look);
    }
}

Look LookOf(const tk::Form& window) {
    Look look;
    AddLook(window, window, look);
    return look;
}

void MoveToDpi(const tk::Form& window, int dpi) {
    RECT suggested;
    GetWindowRect(window.Handle(), &suggested);
    SendMessageW(window.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        qm::L10NResources.clear();
        form = std::make_unique<TMainForm>();
    }
    void TearDown() override {
        form.reset();
        qm::L10NResources.clear();
    }
    void SetList(const Items& items, std::initializer_list<int> selected = {}) {
        form->PPTFileNameListBoxW->Clear();
        for (auto& item : items)
            form->PPTFileNameListBoxW->Append(item);
        for (int i : selected)
            form->PPTFileNameListBoxW->SetSelected(i, true);
    }
    Items List() const { return form->PPTFileNameListBoxW->Items(); }
    std::vector<int> Selection() const {
        std::vector<int> marks;
        for (int i = 0; i < form->PPTFileNameListBoxW->Count(); ++i)
            if (form->PPTFileNameListBoxW->Selected(i))
                marks.push_back(i);
        return marks;
    }
    void Idle() {
        bool done = false;
        form->ApplicationIdle(done);
        EXPECT_TRUE(done);
    }
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainWindowTest, ControlsCarryTheirRunTimeNamesCaptionsAndPlaces) {
    const std::vector<std::pair<tk::Control*, std::string>> expected = {
        {form->MonitorsLabelW, "MonitorsLabelW"},
        {form->QuillmontPageControlW, "QuillmontPageControlW"},
        {form->PresTabSheetW, "PresTabSheetW"},
        {form->AddButtonW, "AddButtonW"},
        {form->PPTFileNameListBoxW, "PPTFileNameListBoxW"},
        {form->MoveTopButton, "MoveTopButton"},
        {form->StartMonitorEdit, "StartMonitorEdit"},
        {form->StartMonitorUpDown, "StartMonitorUpDown"},
        {form->ViewerFileNameEditW, "ViewerFileNameEditW"},
        {form->ViewerFileNameButton, "ViewerFileNameButton"},
        {form->StartShowButtonW, "StartShowButtonW"},
        {form->ExitButtonW, "ExitButtonW"},
    };
    for (auto& [control, name] : expected)
        EXPECT_EQ(control->Name(), name);
    EXPECT_EQ(form->Name(), "MainForm");
    EXPECT_EQ(form->Caption(), L"Quillmont");
    EXPECT_EQ(form->AddButtonW->Parent(), form->PresTabSheetW);
    EXPECT_EQ(form->Label2W->Parent(), form->SettingsTabSheetW);
    EXPECT_EQ(form->StartShowButtonW->Caption(), L"&Start Show");
    EXPECT_TRUE(form->StartShowButtonW->IsDefault());
    RECT client;
    GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, MulDiv(641, form->Dpi(), 96));
    EXPECT_EQ(client.bottom, MulDiv(441, form->Dpi(), 96));
    // Design position 9 until the first activation.
    EXPECT_EQ(form->StartMonitorUpDown->Position(), 9);
    EXPECT_EQ(form->StartMonitorEdit->Text(), L"9");
}

TEST_F(MainWindowTest, MovedToAScreenOf144DpiItTakesTheSuggestedRectangleAndScalesControlsAndFonts) {
    form->Localize(0x0409);
    LOGFONTW before{};
    GetObjectW(form->Font().Handle(), sizeof(before), &before);
    const int oldDpi = form->Dpi();
    RECT suggested{40, 30, 40 + 980, 30 + 700};
    SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

    RECT window;
    GetWindowRect(form->Handle(), &window);
    EXPECT_TRUE(EqualRect(&window, &suggested));
    auto size = [](tk::Control* control) {
        RECT rect;
        GetWindowRect(control->Handle(), &rect);
        return std::pair<int, int>(rect.right - rect.left, rect.bottom - rect.top);
    };
    EXPECT_EQ(size(form->ExitButtonW), std::pair(MulDiv(89, 144, 96), MulDiv(25, 144, 96)));
    EXPECT_EQ(size(form->PPTFileNameListBoxW), std::pair(MulDiv(449, 144, 96), MulDiv(319, 144, 96)));
    LOGFONTW after{};
    const auto buttonFont =
        reinterpret_cast<HFONT>(SendMessageW(form->ExitButtonW->Handle(), WM_GETFONT, 0, 0));
    GetObjectW(buttonFont, sizeof(after), &after);
    EXPECT_EQ(after.lfHeight, MulDiv(before.lfHeight, 144, oldDpi));
    EXPECT_STREQ(after.lfFaceName, before.lfFaceName);
}

TEST_F(MainWindowTest, ResolutionsThereAndBackGiveTheFirstLookAgainAndTextsFitAtEach) {
    ASSERT_EQ(form->Dpi(), 96);
    form->Localize(0x0409);
    const std::wstring longest = L"C:\\Shows\\" + std::wstring(120, L'W') + L".pps";
    SetList({L"C:\\a.ppt", longest});
    TAboutForm box(form->Handle());
    box.Localize(0x0409);
    const Look mainLook = LookOf(*form);
    const Look boxLook = LookOf(box);
    const HWND list = form->PPTFileNameListBoxW->Handle();
    const LRESULT scrollRange = SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0);
    const LONG height = FontOf(form->ExitButtonW->Handle()).lfHeight;
    const LONG productHeight = FontOf(box.ProductLabel->Handle()).lfHeight;
    auto fits = [](const tk::Label* label) {
        RECT client;
        GetClientRect(label->Handle(), &client);
        return client.right >= TextWidth(label->Handle(), label->Caption());
    };
    for (int dpi : {120, 168}) {
        MoveToDpi(*form, dpi);
        MoveToDpi(box, dpi);
        // As if the windows had opened at that resolution.
        EXPECT_EQ(FontOf(form->ExitButtonW->Handle()).lfHeight, MulDiv(height, dpi, 96)) << dpi;
        EXPECT_EQ(FontOf(box.ProductLabel->Handle()).lfHeight, MulDiv(productHeight, dpi, 96)) << dpi;
        EXPECT_TRUE(fits(box.ProductLabel)) << dpi;
        EXPECT_TRUE(fits(box.CopyrightLabel)) << dpi;
    }
    MoveToDpi(*form, 96);
    MoveToDpi(box, 96);
    EXPECT_EQ(LookOf(*form), mainLook);
    EXPECT_EQ(LookOf(box), boxLook);
    // No scroll range left over from the wider text at 168.
    EXPECT_EQ(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), scrollRange);

    MoveToDpi(*form, 144);
    EXPECT_GE(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), TextWidth(list, longest));
    // The icon-title font is read at the system's resolution and made for the window's.
    form->Localize(0x0409);
    EXPECT_EQ(FontOf(form->ExitButtonW->Handle()).lfHeight, MulDiv(height, 144, 96));
}

TEST_F(MainWindowTest, ThemeAndSettingChangesFitThePagesToTheTabStripAgain) {
    const HWND tabs = form->QuillmontPageControlW->TabHandle();
    auto fitted = [&] {
        RECT expected, page;
        GetClientRect(tabs, &expected);
        TabCtrl_AdjustRect(tabs, FALSE, &expected);
        GetWindowRect(form->SettingsTabSheetW->Handle(), &page);
        MapWindowPoints(HWND_DESKTOP, tabs, reinterpret_cast<POINT*>(&page), 2);
        return EqualRect(&page, &expected) != FALSE;
    };
    // A new theme or new metrics give the strip another height, as a larger font does.
    int growth = 1;
    for (UINT change : {WM_THEMECHANGED, WM_SETTINGCHANGE}) {
        LOGFONTW design = FontOf(tabs);
        design.lfHeight *= ++growth;
        tk::GdiObject larger(CreateFontIndirectW(&design));
        SendMessageW(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(larger.Get()), FALSE);
        ASSERT_FALSE(fitted()) << change;
        SendMessageW(form->Handle(), change, 0, 0);
        EXPECT_TRUE(fitted()) << change;
        SendMessageW(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(form->Font().Handle()), FALSE);
    }
}

TEST_F(MainWindowTest, ActivationShowsTheMonitorCountAndNarrowsTheStartMonitor) {
    const int monitors = tk::ScreenMonitorCount();
    ASSERT_GE(monitors, 2) << "the test display has two heads";
    form->FormActivate();
    EXPECT_EQ(form->MonitorsLabelW->Caption(),
              L"This system has " + std::to_wstring(monitors) + L" monitors.");
    EXPECT_EQ(form->StartMonitorUpDown->Position(), monitors);
    EXPECT_EQ(form->StartMonitorUpDown->Max(), monitors);
    form->StartMonitorUpDown->SetPosition(1);
    form->FormActivate();
    EXPECT_EQ(form->StartMonitorUpDown->Position(), 1);
}

TEST_F(MainWindowTest, CopiesBetweenWindowAndRecordLeaveCloseAfterShowAlone) {
    TInfo info;
    info.List = {L"C:\\a.ppt", L"", L"C:\\a.ppt"};
    info.ViewerFileName = L"C:\\v\\pptview.exe";
    info.StartMonitor = 1;
    info.CloseAfterShow = true;
    form->InfoToForm(info);
    EXPECT_EQ(List(), info.List);
    EXPECT_EQ(form->ViewerFileNameEditW->Text(), info.ViewerFileName);
    EXPECT_EQ(form->StartMonitorUpDown->Position(), 1);

    form->PPTFileNameListBoxW->Delete(1);
    form->ViewerFileNameEditW->SetText(L"D:\\other.exe");
    TInfo back;
    back.List = {L"stale"};
    back.CloseAfterShow = true;
    form->FormToInfo(back);
    EXPECT_EQ(back.List, (Items{L"C:\\a.ppt", L"C:\\a.ppt"}));
    EXPECT_EQ(back.ViewerFileName, L"D:\\other.exe");
    EXPECT_EQ(back.StartMonitor, 1);
    EXPECT_TRUE(back.CloseAfterShow);

    TInfo empty;
    form->InfoToForm(empty);
    EXPECT_TRUE(List().empty());
}

TEST_F(MainWindowTest, IdleHandlerFollowsSelectionFilesAndViewer) {
    qmtest::TempDir dir;
    const std::wstring viewer = dir.File(L"pptview.exe");
    const std::wstring a = dir.File(L"a.ppt"), b = dir.File(L"b.ppt");
    qmtest::WriteBytes(viewer, "MZ");
    qmtest::WriteBytes(a, "x");
    qmtest::WriteBytes(b, "x");
    form->ViewerFileNameEditW->SetText(viewer);

    Idle();
    EXPECT_FALSE(form->DeleteButtonW->Enabled());
    EXPECT_FALSE(form->ClearButtonW->Enabled());
    EXPECT_FALSE(form->MoveTopButton->Enabled());
    EXPECT_FALSE(form->StartShowButtonW->Enabled());
    EXPECT_FALSE(form->SaveButtonW->Enabled());
    EXPECT_TRUE(form->AddButtonW->Enabled());
    EXPECT_TRUE(form->Visible());

    SetList({a, b}, {0});
    Idle();
    EXPECT_TRUE(form->DeleteButtonW->Enabled());
    EXPECT_TRUE(form->ClearButtonW->Enabled());
    EXPECT_FALSE(form->MoveTopButton->Enabled());
    EXPECT_FALSE(form->MoveUpButton->Enabled());
    EXPECT_TRUE(form->MoveDownButton->Enabled());
    EXPECT_TRUE(form->MoveBottomButton->Enabled());
    EXPECT_TRUE(form->StartShowButtonW->Enabled());
    EXPECT_TRUE(form->SaveButtonW->Enabled());

    // A listed file that disappears disables the launch, and its return enables it again.
    DeleteFileW(b.c_str());
    Idle();
    EXPECT_FALSE(form->StartShowButtonW->Enabled());
    EXPECT_FALSE(form->SaveButtonW->Enabled());
    qmtest::WriteBytes(b, "x");
    Idle();
    EXPECT_TRUE(form->StartShowButtonW->Enabled());
    // The "?" of the prefix "\\?\" is no wildcard.
    const std::wstring prefix = L"\\\\?\\";
    form->ViewerFileNameEditW->SetText(prefix + viewer);
    SetList({prefix + a, b});
    Idle();
    EXPECT_TRUE(form->StartShowButtonW->Enabled());

    // Viewer paths that name a folder, nothing, or a wildcard never count as a file.
    for (const std::wstring& bad : {dir.Path(), dir.File(L"missing.exe"), dir.File(L"*.exe"),
                                    prefix + dir.File(L"*.exe"), std::wstring()}) {
        form->ViewerFileNameEditW->SetText(bad);
        Idle();
        EXPECT_FALSE(form->StartShowButtonW->Enabled()) << qm::WideToAnsi(bad);
    }
    form->ViewerFileNameEditW->SetText(viewer);
    SetList({a, L"", b});
    Idle();
    EXPECT_FALSE(form->StartShowButtonW->Enabled());
    EXPECT_FALSE(form->DeleteButtonW->Enabled());

    SetList({a, b}, {0, 1});
    Idle();
    EXPECT_FALSE(form->MoveTopButton->Enabled());
    EXPECT_FALSE(form->MoveBottomButton->Enabled());

    form->FShowRunning = true;
    Idle();
    EXPECT_FALSE(form->Visible());
    form->FShowRunning = false;
    Idle();
    EXPECT_TRUE(form->Visible());
}

TEST_F(MainWindowTest, MoveAndDeleteButtonsEditTheListBox) {
    SetList({L"X", L"A", L"Y", L"B"}, {1, 3});
    form->MoveUpButtonClick();
    EXPECT_EQ(List(), (Items{L"A", L"X", L"B", L"Y"}));
    EXPECT_EQ(Selection(), (std::vector<int>{0, 2}));

    SetList({L"X", L"Y", L"A", L"Z", L"B"}, {2, 4});
    form->MoveTopButtonClick();
    EXPECT_EQ(List(), (Items{L"A", L"X", L"B", L"Y", L"Z"}));
    EXPECT_EQ(Selection(), (std::vector<int>{0, 2}));
    form->MoveBottomButtonClick();
    EXPECT_EQ(List(), (Items{L"X", L"Y", L"A", L"Z", L"B"}));
    EXPECT_EQ(Selection(), (std::vector<int>{2, 4}));

    SetList({L"A", L"B", L"C"}, {0, 1});
    form->MoveDownButtonClick();
    EXPECT_EQ(List(), (Items{L"C", L"A", L"B"}));
    EXPECT_EQ(Selection(), (std::vector<int>{1, 2}));

    SetList({L"1", L"2", L"3", L"4"}, {0, 2});
    form->DeleteButtonClick();
    EXPECT_EQ(List(), (Items{L"2", L"4"}));
    EXPECT_TRUE(Selection().empty());
}

TEST_F(MainWindowTest, ClearAsksFirst) {
    SetList({L"A", L"B"}, {1});
    {
        BoxAnswerer no(IDNO);
        form->ClearButtonClick();
        no.Join();
        EXPECT_EQ(no.text, L"Are you sure you want to clear the presentation list?");
    }
    EXPECT_EQ(List(), (Items{L"A", L"B"}));
    EXPECT_EQ(Selection(), std::vector<int>{1});
    {
        BoxAnswerer yes(IDYES);
        form->ClearButtonClick();
    }
    EXPECT_TRUE(List().empty());
}

TEST_F(MainWindowTest, TranslationReachesExactlyTheTextBearingControls) {
    qmtest::TempDir dir;
    const char* translated[] = {"AboutButtonW",  "SaveButtonW",       "StartShowButtonW", "ExitButtonW",
                                "LoadButtonW",   "PresTabSheetW",     "AddButtonW",       "DeleteButtonW",
                                "ClearButtonW",  "SettingsTabSheetW", "Label2W",          "Label3W",
                                "MonitorsLabelW"};
    const char* untouched[] = {"PPTFileNameListBoxW",  "ViewerFileNameEditW", "QuillmontPageControlW",
                               "StartMonitorEdit",     "StartMonitorUpDown",  "MoveTopButton",
                               "MoveUpButton",         "MoveDownButton",      "MoveBottomButton",
                               "ViewerFileNameButton", "AddButton",           "PPTFileOpenDialogW",
                               "OpenDialogW"};
    std::string file = "MainForm~<DEFAULT>~\"Titel\"\r\n";
    for (const char* name : translated)
        file += std::string("MainForm~") + name + "~\"T-" + name + "\"~\"H-" + name + "\"\r\n";
    for (const char* name : untouched)
        file += std::string("MainForm~") + name + "~\"T-" + name + "\"\r\n";
    qmtest::WriteBytes(dir.File(L"0407.lcl"), file);
    qm::LoadL10NResources(dir.Path());
    form->ViewerFileNameEditW->SetText(L"C:\\viewer.exe");

    form->Localize(0x0407);
    EXPECT_EQ(form->Caption(), L"Titel");
    for (const char* name : translated) {
        tk::Control* control = nullptr;
        std::function<void(tk::Control&)> find = [&](tk::Control& c) {
            if (c.Name() == name)
                control = &c;
            for (auto* child : c.Children())
                find(*child);
        };
        find(*form);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(control->Caption(), qm::AnsiToWide(std::string("T-") + name)) << name;
        EXPECT_EQ(control->Hint(), qm::AnsiToWide(std::string("H-") + name)) << name;
    }
    EXPECT_EQ(form->ViewerFileNameEditW->Text(), L"C:\\viewer.exe");
    EXPECT_EQ(form->ViewerFileNameButton->Caption(), L"...");
    EXPECT_EQ(form->StartMonitorEdit->Text(), L"9");
    EXPECT_EQ(form->PPTFileOpenDialogW.Title, L"Select Microsoft Office PowerPoint Presentation");
    // The monitor label's text comes from the count message at every activation.
    form->FormActivate();
    EXPECT_NE(form->MonitorsLabelW->Caption(), L"T-MonitorsLabelW");

    // Another sublanguage of German finds no language: everything stays built in.
    TMainForm other;
    other.Localize(0x0807);
    EXPECT_EQ(other.Caption(), L"Quillmont");
    EXPECT_EQ(other.AddButtonW->Caption(), L"&Add...");
}

TEST_F(MainWindowTest, AddUsesAndStoresTheRememberedFolder) {
    qmtest::TempDir dir;
    const std::wstring shows = dir.Path() + L"Shows\\";
    CreateDirectoryW(shows.c_str(), nullptr);
    const std::wstring show = shows + L"talk.ppt";
    qmtest::WriteBytes(show, "x");
    qm::LibrarySaveSetting(kLibraryApplication, "Configuration", "Last Presentation Folder",
                           qm::WideToAnsi(shows));
    SetList({L"A"}, {0});

    DialogDriver chooser(L"Select Microsoft Office PowerPoint Presentation", show);
    form->AddButtonClick();
    chooser.Join();
    EXPECT_EQ(form->PPTFileOpenDialogW.InitialDir, shows);
    EXPECT_EQ(List(), (Items{L"A", show}));
    EXPECT_EQ(Selection(), std::vector<int>{1});
    EXPECT_EQ(qm::LibraryGetSetting(kLibraryApplication, "Configuration", "Last Presentation Folder", ""),
              qm::WideToAnsi(shows));
}

TEST_F(MainWindowTest, SaveAndLoadSettingsThroughTheirDialogs) {
    qmtest::TempDir dir;
    const std::wstring saves = dir.Path() + L"Saves\\";
    CreateDirectoryW(saves.c_str(), nullptr);
    const std::wstring a = dir.File(L"a.ppt"), b = dir.File(L"b.ppt"), viewer = dir.File(L"pptview.exe");
    for (auto& file : {a, b, viewer})
        qmtest::WriteBytes(file, "x");
    const std::wstring settings = saves + L"week.qlmv";

    SetList({b, a});
    form->ViewerFileNameEditW->SetText(viewer);
    {
        DialogDriver chooser(L"Save Quillmont Settings", settings);
        form->SaveButtonClick();
    }
    ASSERT_TRUE(qmtest::FileExists(settings));
    EXPECT_EQ(qm::LibraryGetSetting(kLibraryApplication, "Configuration", "Last Save Folder", ""),
              qm::WideToAnsi(saves));
    EXPECT_EQ(form->FInfo.List, (Items{b, a}));

    // Loading replaces the window's list with the file's, and a cancel changes nothing.
    SetList({L"C:\\other.ppt"});
    form->ViewerFileNameEditW->SetText(L"");
    {
        DialogDriver cancel(L"Load Quillmont Settings", L"");
        form->LoadButtonClick();
    }
    EXPECT_EQ(List(), Items{L"C:\\other.ppt"});
    {
        DialogDriver chooser(L"Load Quillmont Settings", settings);
        form->LoadButtonClick();
    }
    EXPECT_EQ(List(), (Items{b, a}));
    EXPECT_EQ(form->ViewerFileNameEditW->Text(), viewer);
    EXPECT_EQ(qm::LibraryGetSetting(kLibraryApplication, "Configuration", "Last Load Folder", ""),
              qm::WideToAnsi(saves));

    // A file that another program holds open without sharing is not read, and nothing changes.
    SetList({a});
    {
        tk::FileHandle held(
            CreateFileW(settings.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        BoxAnswerer ok(IDOK);
        {
            DialogDriver chooser(L"Load Quillmont Settings", settings);
            form->LoadButtonClick();
        }
        ok.Join();
        EXPECT_EQ(ok.text, L"The settings file " + settings +
                               L" cannot be read; another program may hold it open. Nothing was loaded.");
    }
    EXPECT_EQ(List(), Items{a});
    EXPECT_EQ(form->ViewerFileNameEditW->Text(), viewer);
    EXPECT_EQ(form->FInfo.List, (Items{b, a}));

    // The viewer dialog fills the edit and remembers its own folder only.
    {
        DialogDriver chooser(L"Select Microsoft Office PowerPoint Viewer", viewer);
        form->ViewerFileNameButtonClick();
    }
    EXPECT_EQ(form->ViewerFileNameEditW->Text(), viewer);
    EXPECT_EQ(qm::LibraryGetSetting(kLibraryApplication, "Configuration", "Last Viewer Folder", ""),
              qm::WideToAnsi(dir.Path()));
    EXPECT_EQ(qm::LibraryGetSetting(kLibraryApplication, "Configuration", "Last Save Folder", ""),
              qm::WideToAnsi(saves));
}

TEST_F(MainWindowTest, RememberedFoldersAreUsedOnlyWhenTheyExistCutAndKeptOnCancel) {
    qmtest::TempDir dir;
    const std::string gone = qm::WideToAnsi(dir.Path()) + "Gone\\";
    const char* keys[] = {"Last Presentation Folder", "Last Viewer Folder", "Last Save Folder",
                          "Last Load Folder"};
    for (const char* key : keys)
        qm::LibrarySaveSetting(kLibraryApplication, "Configuration", key, gone);
    SetList({L"A"}, {0});
    form->ViewerFileNameEditW->SetText(L"C:\\viewer.exe");
    const TInfo before = form->FInfo;

    const std::vector<std::tuple<std::wstring, tk::FileDialog*, void (TMainForm::*)()>> dialogs = {
        {L"Select Microsoft Office PowerPoint Presentation", &form->PPTFileOpenDialogW,
         &TMainForm::AddButtonClick},
        {L"Select Microsoft Office PowerPoint Viewer", &form->ViewerFileOpenDialogW,
         &TMainForm::ViewerFileNameButtonClick},
        {L"Save Quillmont Settings", &form->SaveDialogW, &TMainForm::SaveButtonClick},
        {L"Load Quillmont Settings", &form->OpenDialogW, &TMainForm::LoadButtonClick}};
    for (const auto& [title, dialog, click] : dialogs) {
        {
            DialogDriver cancel(title, L"");
            (form.get()->*click)();
        }
        EXPECT_TRUE(dialog->InitialDir.empty()) << "a folder that no longer exists was used";
        for (const char* key : keys)
            EXPECT_EQ(qm::LibraryGetSetting(kLibraryApplication, "Configuration", key, ""), gone) << key;
        EXPECT_EQ(List(), Items{L"A"});
        EXPECT_EQ(form->ViewerFileNameEditW->Text(), L"C:\\viewer.exe");
        EXPECT_EQ(form->FInfo.List, before.List);
    }

    // A folder longer than 255 bytes is stored cut to its first 255 (the whole path kept within
    // what the file dialog takes).
    std::wstring deep = dir.Path();
    while (deep.size() < 256) {
        deep += std::wstring(std::min<size_t>(50, 255 - deep.size()), L'f') + L"\\";
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    ASSERT_EQ(deep.size(), 256u);
    const std::wstring settings = deep + L"s.q";
    qmtest::WriteBytes(settings, "");
    {
        DialogDriver chooser(L"Load Quillmont Settings", settings);
        form->LoadButtonClick();
    }
    EXPECT_EQ(qm::LibraryGetSetting(kLibraryApplication, "Configuration", "Last Load Folder", ""),
              qm::WideToAnsi(deep).substr(0, 255));
}

TEST_F(MainWindowTest, SavingNamesThePathsTheSettingsFileCannotHoldAndKeepsToTheChosenFile) {
    qmtest::TempDir dir;
    const std::wstring a = dir.File(L"a.ppt"), odd = dir.File(L"\u0141\u0100.ppt");
    qmtest::WriteBytes(a, "x");
    const std::wstring viewer = L"C:\\\u0100\\pptview.exe";
    const std::wstring settings = dir.File(L"\u0141\u00F3d\u017A.qlmv");
    SetList({a, odd});
    form->ViewerFileNameEditW->SetText(viewer);
    {
        BoxAnswerer ok(IDOK);
        {
            DialogDriver chooser(L"Save Quillmont Settings", settings);
            form->SaveButtonClick();
        }
        ok.Join();
        EXPECT_EQ(ok.text,
                  L"The settings file cannot hold these paths as they are; they were saved, but will "
                  L"not load back unchanged:\n" +
                      viewer + L"\n" + odd);
    }
    ASSERT_TRUE(qmtest::FileExists(settings)) << "the settings went to another file";

    SetList({});
    {
        DialogDriver chooser(L"Load Quillmont Settings", settings);
        form->LoadButtonClick();
    }
    EXPECT_EQ(List(), Items{a});
    EXPECT_EQ(form->ViewerFileNameEditW->Text(), L"C:\\?\\pptview.exe");
}

TEST_F(MainWindowTest, TheSavingWarningNamesFifteenPathsAtMostOneALineAndFitsTheScreen) {
    qmtest::TempDir dir;
    Items paths;
    for (int i = 0; i < 70; ++i)
        paths.push_back(dir.File(L"\u0100" + std::to_wstring(i) + L".ppt"));
    // Longer than the reader takes, and far wider than the screen; folders of letters that need
    // surrogate pairs, wherever the cut falls.
    std::wstring longPath = dir.Path();
    for (int i = 0; i < 11; ++i)
        longPath += std::wstring(190, L'l') + L"\\";
    paths[1] = longPath + L"long.ppt";
    std::wstring pairs;
    for (int i = 0; i < 150; ++i)
        pairs += L"\U0001F600";
    paths[2] = dir.File(pairs + L"\\" + pairs + L"\\pairs.ppt");
    SetList(paths);
    form->ViewerFileNameEditW->SetText(L"C:\\pptview.exe");
    BoxAnswerer ok(IDOK);
    {
        DialogDriver chooser(L"Save Quillmont Settings", dir.File(L"many.qlmv"));
        form->SaveButtonClick();
    }
    ok.Join();
    // The whole box, its OK button with it, lies on the screen.
    RECT inside;
    IntersectRect(&inside, &ok.rect, &ok.workArea);
    EXPECT_TRUE(EqualRect(&inside, &ok.rect))
        << ok.rect.left << "," << ok.rect.top << " - " << ok.rect.right << "," << ok.rect.bottom;
    std::vector<std::wstring> lines;
    for (size_t start = 0, end = 0; end != std::wstring::npos; start = end + 1) {
        end = ok.text.find(L'\n', start);
        lines.push_back(ok.text.substr(start, end - start));
    }
    ASSERT_EQ(lines.size(), 17u) << qmtest::Utf8(ok.text);
    EXPECT_EQ(lines[1], paths[0]);
    // Cut in the middle of the folders: the start of the path and the whole file name are shown.
    EXPECT_TRUE(lines[2].starts_with(longPath.substr(0, dir.Path().size() + 10)) &&
                lines[2].find(L"...") != std::wstring::npos && lines[2].ends_with(L"\\long.ppt"))
        << qmtest::Utf8(lines[2]);
    EXPECT_TRUE(lines[3].ends_with(L"\\pairs.ppt"));
    // Wherever the cut falls, no surrogate pair is cut in two.
    for (size_t width = 12; width < 100; ++width) {
        const std::wstring line =
            qm::FitPath(paths[2], [width](std::wstring_view shown) { return shown.size() <= width; });
        for (size_t i = 0; i < line.size(); ++i) {
            const bool high = IS_HIGH_SURROGATE(line[i]), low = IS_LOW_SURROGATE(line[i]);
            EXPECT_EQ(high, i + 1 < line.size() && IS_LOW_SURROGATE(line[i + 1])) << width << " " << i;
            EXPECT_EQ(low, i > 0 && IS_HIGH_SURROGATE(line[i - 1])) << width << " " << i;
        }
    }
    EXPECT_EQ(lines[15], paths[14]);
    EXPECT_EQ(lines[16], L"and 55 more.");
    // Each path on a line of its own: the text is as high as its lines.
    EXPECT_EQ(ok.textHeight, 17 * ok.lineHeight);
}

TEST_F(MainWindowTest, HotKeyAndControlCodesWithoutAShow) {
    // With no show the hot key only stops the timer; codes 1 and 2 switch focus-away mode.
    SendMessageW(form->Handle(), WM_HOTKEY, form->FHotKeyAtom, 0);
    EXPECT_FALSE(form->Timer.Enabled());
    SendMessageW(form->Handle(), WM_USER, 1, 0);
    EXPECT_TRUE(form->FFocusAway);
    SendMessageW(form->Handle(), WM_USER, 2, 0);
    EXPECT_FALSE(form->FFocusAway);
    // WM_USER with wParam 0 is the dialog manager's question for the default button.
    LRESULT answer = SendMessageW(form->Handle(), WM_USER, 0, 0);
    EXPECT_EQ(HIWORD(answer), DC_HASDEFID);
    EXPECT_EQ(LOWORD(answer), form->StartShowButtonW->Id());
}

} // namespace
