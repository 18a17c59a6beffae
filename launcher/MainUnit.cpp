#include "MainUnit.h"

#include "Application.h"
#include "Localizer.h"
#include "PresentationLibrary.h"
#include "Resources.h"
#include "Screen.h"
#include "StartUp.h"
#include "SystemFont.h"

#include <commdlg.h>

const wchar_t* const kApplicationTitle = L"Brindlecort Quillmont";
const char* const kLibraryApplication = "Brindlecort Quillmont";

TMainForm::TMainForm() : tk::Form("MainForm", L"Quillmont", 641, 441, tk::BorderStyle::Single) {
    OnActivate = [this] { FormActivate(); };
    OnClose = [this](tk::CloseAction& action) { FormClose(action); };
    OnDestroy = [this] { FormDestroy(); };
    OnShortCut = [this](const MSG& msg, bool& handled) { FormShortCut(msg, handled); };
    Timer.OnTimer = [this] { TimerTimer(); };
    FormCreate();
}

TMainForm::~TMainForm() {
    DestroyHandle();
}

void TMainForm::FormCreate() {
    CreateUnicodeControls();
    ViewerFileNameEditW->SetText(qm::AnsiToWide(qm::LibraryGetViewer(kLibraryApplication)));
    FHotKeyAtom = GlobalAddAtomA("QuillmontBreakOut");
    // VkKeyScanA gives the key that types "q" in the active layout; its 16 bits are passed
    // sign-extended, so a layout without that key registers nothing.
    auto virtualKey = static_cast<UINT>(static_cast<int>(VkKeyScanA('q')));
    RegisterHotKey(Handle(), FHotKeyAtom, MOD_ALT | MOD_CONTROL, virtualKey);
    FFocusAway = false;
    FInstanceNumber = 0;
    qm::InitInfo(FInfo);
}

void TMainForm::CreateUnicodeControls() {
    using tk::Bounds;
    auto loadGlyph = [](int id) {
        return static_cast<HBITMAP>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
    };

    MonitorsLabelW = &Add<tk::Label>(*this, "MonitorsLabelW", Bounds{8, 16, 289, 18},
                                     L"This system has 9 monitors.", tk::Alignment::Left, true);
    SetupDialogs();

    QuillmontPageControlW = &Add<tk::PageControl>(*this, "QuillmontPageControlW", Bounds{8, 40, 625, 361});
    PresTabSheetW = &Add<tk::TabSheet>(*QuillmontPageControlW, "PresTabSheetW", L"Presentations");
    AddButtonW = &Add<tk::Button>(*PresTabSheetW, "AddButtonW", Bounds{8, 3, 110, 25}, L"&Add...");
    AddButtonW->OnClick = [this] { AddButtonClick(); };
    PPTFileNameListBoxW = &Add<tk::ListBox>(*PresTabSheetW, "PPTFileNameListBoxW", Bounds{124, 3, 449, 319});
    DeleteButtonW = &Add<tk::Button>(*PresTabSheetW, "DeleteButtonW", Bounds{8, 72, 110, 25}, L"&Delete");
    DeleteButtonW->OnClick = [this] { DeleteButtonClick(); };
    ClearButtonW = &Add<tk::Button>(*PresTabSheetW, "ClearButtonW", Bounds{8, 99, 110, 25}, L"&Clear");
    ClearButtonW->OnClick = [this] { ClearButtonClick(); };
    // A list command that disables its own button leaves the focus in the list: on the next button,
    // the next Space or Enter would clear the whole list.
    DeleteButtonW->SetFocusHeir(PPTFileNameListBoxW);
    ClearButtonW->SetFocusHeir(PPTFileNameListBoxW);

    const int glyphIds[4] = {IDB_MOVETOP, IDB_MOVEUP, IDB_MOVEDOWN, IDB_MOVEBOTTOM};
    for (int i = 0; i < 4; ++i)
        glyphs_[i].Reset(loadGlyph(glyphIds[i]));
    auto glyph = [this](int i) { return static_cast<HBITMAP>(glyphs_[i].Get()); };
    MoveTopButton = &Add<tk::ToolButton>(*PresTabSheetW, "MoveTopButton", Bounds{579, 3, 25, 25}, glyph(0));
    MoveTopButton->OnClick = [this] { MoveTopButtonClick(); };
    MoveUpButton = &Add<tk::ToolButton>(*PresTabSheetW, "MoveUpButton", Bounds{579, 27, 25, 25}, glyph(1));
    MoveUpButton->OnClick = [this] { MoveUpButtonClick(); };
    MoveDownButton =
        &Add<tk::ToolButton>(*PresTabSheetW, "MoveDownButton", Bounds{579, 51, 25, 25}, glyph(2));
    MoveDownButton->OnClick = [this] { MoveDownButtonClick(); };
    MoveBottomButton =
        &Add<tk::ToolButton>(*PresTabSheetW, "MoveBottomButton", Bounds{579, 75, 25, 25}, glyph(3));
    MoveBottomButton->OnClick = [this] { MoveBottomButtonClick(); };

    SettingsTabSheetW = &Add<tk::TabSheet>(*QuillmontPageControlW, "SettingsTabSheetW", L"Settings");
    Label2W = &Add<tk::Label>(*SettingsTabSheetW, "Label2W", Bounds{8, 20, 122, 18}, L"Start on monitor:",
                              tk::Alignment::Right);
    StartMonitorEdit =
        &Add<tk::Edit>(*SettingsTabSheetW, "StartMonitorEdit", Bounds{136, 16, 41, 23}, L"9", true);
    StartMonitorUpDown = &Add<tk::UpDown>(*SettingsTabSheetW, "StartMonitorUpDown", Bounds{177, 16, 16, 23},
                                          *StartMonitorEdit, 1, 9, 9);
    Label3W = &Add<tk::Label>(*SettingsTabSheetW, "Label3W", Bounds{8, 52, 122, 15}, L"PowerPoint Viewer:",
                              tk::Alignment::Right);
    ViewerFileNameEditW =
        &Add<tk::Edit>(*SettingsTabSheetW, "ViewerFileNameEditW", Bounds{136, 48, 438, 23}, L"");
    ViewerFileNameButton =
        &Add<tk::Button>(*SettingsTabSheetW, "ViewerFileNameButton", Bounds{580, 48, 26, 26}, L"...");
    ViewerFileNameButton->SetFixedCaption(true);
    ViewerFileNameButton->OnClick = [this] { ViewerFileNameButtonClick(); };

    AboutButtonW = &Add<tk::Button>(*this, "AboutButtonW", Bounds{8, 408, 89, 25}, L"A&bout...");
    AboutButtonW->OnClick = [this] { AboutButtonClick(); };
    SaveButtonW = &Add<tk::Button>(*this, "SaveButtonW", Bounds{168, 408, 129, 25}, L"Sa&ve Settings...");
    SaveButtonW->OnClick = [this] { SaveButtonClick(); };
    LoadButtonW = &Add<tk::Button>(*this, "LoadButtonW", Bounds{304, 408, 121, 25}, L"&Load Settings...");
    LoadButtonW->OnClick = [this] { LoadButtonClick(); };
    StartShowButtonW = &Add<tk::Button>(*this, "StartShowButtonW", Bounds{431, 408, 106, 25}, L"&Start Show");
    StartShowButtonW->SetDefault(true);
    StartShowButtonW->OnClick = [this] { StartShowButtonClick(); };
    ExitButtonW = &Add<tk::Button>(*this, "ExitButtonW", Bounds{544, 408, 89, 25}, L"E&xit");
    ExitButtonW->OnClick = [this] { ExitButtonClick(); };
    QuillmontPageControlW->SetActivePage(0);
}

void TMainForm::SetupDialogs() {
    constexpr DWORD openOptions = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING;
    const std::wstring settingsFilter = L"Quillmont files (*.qlmv)|*.qlmv|All files (*.*)|*.*";

    PPTFileOpenDialogW.Title = L"Select Microsoft Office PowerPoint Presentation";
    PPTFileOpenDialogW.Filter = L"Microsoft Office PowerPoint presentations|*.ppt;*.pps;*.pptx;*.pptm;*.ppsx;"
                                L"*.ppsm|All files (*.*)|*.*";
    PPTFileOpenDialogW.DefaultExt = L"ppt";
    PPTFileOpenDialogW.Options = openOptions;

    SaveDialogW.Title = L"Save Quillmont Settings";
    SaveDialogW.Filter = settingsFilter;
    SaveDialogW.DefaultExt = L"qlmv";
    SaveDialogW.Options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_ENABLESIZING;

    ViewerFileOpenDialogW.Title = L"Select Microsoft Office PowerPoint Viewer";
    ViewerFileOpenDialogW.Filter = L"Executable files (*.exe)|*.exe|All files (*.*)|*.*";
    ViewerFileOpenDialogW.DefaultExt = L"exe";
    ViewerFileOpenDialogW.FileName = L"pptview.exe";
    ViewerFileOpenDialogW.Options = openOptions;

    OpenDialogW.Title = L"Load Quillmont Settings";
    OpenDialogW.Filter = settingsFilter;
    OpenDialogW.DefaultExt = L"qlmv";
    OpenDialogW.Options = openOptions;
}

void TMainForm::Localize(uint32_t LangID) {
    SetSystemFont(Font());
    qm::LocalizeForm(*this, LangID);
}

void TMainForm::FormActivate() {
    const int n = tk::ScreenMonitorCount();
    if (n == 1)
        MonitorsLabelW->SetCaption(
            qm::LocalizeMessage(UserLangID, "MainForm:MonitorCountOne", L"This system has 1 monitor."));
    else
        MonitorsLabelW->SetCaption(qm::LocalizeMessageFmt(UserLangID, "MainForm:MonitorCountMulti",
                                                          L"This system has %s1% monitors.",
                                                          std::to_wstring(n), L""));
    if (n < static_cast<int16_t>(StartMonitorUpDown->Position()))
        StartMonitorUpDown->SetPosition(n);
    StartMonitorUpDown->SetRange(1, n);
}

void TMainForm::FormShortCut(const MSG&, bool&) {
    // Windows draws the accelerator underlines itself when Alt is pressed; keys go on as usual.
}

void TMainForm::FormClose(tk::CloseAction& Action) {
    StopShow();
    Action = tk::CloseAction::Free;
}

void TMainForm::ExitButtonClick() {
    Close();
}

void TMainForm::FormDestroy() {
    qm::FreeInfo(FInfo);
    UnregisterHotKey(Handle(), FHotKeyAtom);
    GlobalDeleteAtom(FHotKeyAtom);
}

void TMainForm::FormToInfo(TInfo& Info) {
    Info.ViewerFileName = ViewerFileNameEditW->Text();
    Info.StartMonitor = static_cast<int16_t>(StartMonitorUpDown->Position());
    Info.List.clear();
    for (const std::wstring& item : PPTFileNameListBoxW->Items())
        Info.List.push_back(item);
}

void TMainForm::InfoToForm(const TInfo& Info) {
    ViewerFileNameEditW->SetText(Info.ViewerFileName);
    StartMonitorUpDown->SetPosition(static_cast<int16_t>(Info.StartMonitor & 0xFFFF));
    PPTFileNameListBoxW->Clear();
    PPTFileNameListBoxW->AppendAll(Info.List);
}

bool TMainForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_HOTKEY) {
        WMHotKey();
        result = 0;
        return true;
    }
    // WM_USER with wParam 0 is also the dialog manager asking for the default button; that
    // question is left to the form so that Enter keeps working.
    if (message == WM_USER && wParam != 0) {
        WMUser(wParam, lParam);
        result = 0;
        return true;
    }
    return false;
}
