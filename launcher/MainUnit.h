#pragma once
// The main window: the presentation list, the settings page, the show and its supervision.
#include "Dialogs.h"
#include "ExtControls.h"
#include "Form.h"
#include "Handles.h"
#include "Info.h"
#include "PageControl.h"
#include "StdControls.h"
#include "Timer.h"

#include <cstdint>
#include <string>

using qm::TInfo;

class TMainForm : public tk::Form {
public:
    TMainForm();
    ~TMainForm() override;

    // Translates the window, installs the idle handler, reads the command line and may
    // start a show at once.
    void Startup(uint32_t LangID);
    void Localize(uint32_t LangID);

    void FormToInfo(TInfo& Info);
    void InfoToForm(const TInfo& Info);
    void ApplicationIdle(bool& Done);
    void StartShow(TInfo& Info);
    void StopShow();

    // Event handlers.
    void ExitButtonClick();
    void FormActivate();
    void FormCreate();
    void FormDestroy();
    void StartShowButtonClick();
    void ViewerFileNameButtonClick();
    void SaveButtonClick();
    void AboutButtonClick();
    void LoadButtonClick();
    void TimerTimer();
    void AddButtonClick();
    void DeleteButtonClick();
    void ClearButtonClick();
    void MoveTopButtonClick();
    void MoveUpButtonClick();
    void MoveDownButtonClick();
    void MoveBottomButtonClick();
    void FormClose(tk::CloseAction& Action);
    void FormShortCut(const MSG& Msg, bool& Handled);

    void WMHotKey();
    void WMUser(WPARAM wParam, LPARAM lParam);

    // Controls, under the names that language files address them by.
    tk::Label* MonitorsLabelW = nullptr;
    tk::PageControl* QuillmontPageControlW = nullptr;
    tk::TabSheet* PresTabSheetW = nullptr;
    tk::Button* AddButtonW = nullptr;
    tk::ListBox* PPTFileNameListBoxW = nullptr;
    tk::Button* DeleteButtonW = nullptr;
    tk::Button* ClearButtonW = nullptr;
    tk::ToolButton* MoveTopButton = nullptr;
    tk::ToolButton* MoveUpButton = nullptr;
    tk::ToolButton* MoveDownButton = nullptr;
    tk::ToolButton* MoveBottomButton = nullptr;
    tk::TabSheet* SettingsTabSheetW = nullptr;
    tk::Label* Label2W = nullptr;
    tk::Edit* StartMonitorEdit = nullptr;
    tk::UpDown* StartMonitorUpDown = nullptr;
    tk::Label* Label3W = nullptr;
    tk::Edit* ViewerFileNameEditW = nullptr;
    tk::Button* ViewerFileNameButton = nullptr;
    tk::Button* AboutButtonW = nullptr;
    tk::Button* SaveButtonW = nullptr;
    tk::Button* LoadButtonW = nullptr;
    tk::Button* StartShowButtonW = nullptr;
    tk::Button* ExitButtonW = nullptr;

    tk::FileDialog PPTFileOpenDialogW{tk::FileDialog::Kind::Open, "PPTFileOpenDialogW"};
    tk::FileDialog SaveDialogW{tk::FileDialog::Kind::Save, "SaveDialogW"};
    tk::FileDialog ViewerFileOpenDialogW{tk::FileDialog::Kind::Open, "ViewerFileOpenDialogW"};
    tk::FileDialog OpenDialogW{tk::FileDialog::Kind::Open, "OpenDialogW"};
    tk::Timer Timer{100};

    // The state of a show and of the run.
    HANDLE FProcessHandle = nullptr;
    DWORD FProcessId = 0;
    bool FShowRunning = false;
    std::wstring FListFileName;
    TInfo FInfo;
    ATOM FHotKeyAtom = 0;
    bool FFocusAway = false;
    int32_t FInstanceNumber = 0;

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void CreateUnicodeControls();
    void SetupDialogs();
    // The file dialogs open in the folder last chosen in them, remembered from run to run.
    void StoreRememberedFolder(const tk::FileDialog& dialog, const char* key);
    void RestoreRememberedFolder(tk::FileDialog& dialog, const char* key);
    // Writes the list to the file named by FListFileName; a file that cannot be written whole is
    // deleted again.
    void WriteListFile(const TInfo& Info);
    // Reads a settings file into the record; when it cannot be read, says so and leaves the record.
    bool LoadSettingsFile(const std::wstring& fileName, TInfo& Info);
    // Deletes the list file if this window created it, and forgets its name.
    void DeleteListFile();

    tk::GdiObject glyphs_[4];
    // FListFileName keeps a drawn name whose file could not be created; that file, which another
    // program may have made meanwhile, is never deleted.
    bool listFileCreated_ = false;
};

// The application's title, which also captions every message box.
extern const wchar_t* const kApplicationTitle;
// The application name under which the presentation library keeps settings.
extern const char* const kLibraryApplication;
