// The viewer, save and load dialogs, and the folders they remember.
#include "AnsiText.h"
#include "Dialogs.h"
#include "FileTests.h"
#include "Localizer.h"
#include "MainUnit.h"
#include "PathFit.h"
#include "PresentationLibrary.h"
#include "StartUp.h"

#include <algorithm>

namespace {

constexpr const char* kConfigurationSection = "Configuration";

// At most so many paths are named, one a line, so that the warning box fits on the screen.
constexpr size_t kNamedPaths = 15;

std::wstring NamedPaths(const std::vector<std::wstring>& paths, const tk::LineFits& fits) {
    std::wstring text;
    for (size_t i = 0; i < std::min(paths.size(), kNamedPaths); ++i)
        text += L"\n" + qm::FitPath(paths[i], fits);
    if (paths.size() > kNamedPaths)
        text +=
            L"\n" + qm::LocalizeMessageFmt(UserLangID, "MainForm:MorePathsNotSavedExactly", L"and %s1% more.",
                                           std::to_wstring(paths.size() - kNamedPaths), L"");
    return text;
}

} // namespace

void TMainForm::RestoreRememberedFolder(tk::FileDialog& dialog, const char* key) {
    const std::string folder = qm::LibraryGetSetting(kLibraryApplication, kConfigurationSection, key, "");
    if (!folder.empty() && qm::FolderExists(folder))
        dialog.InitialDir = qm::AnsiToWide(folder);
}

void TMainForm::StoreRememberedFolder(const tk::FileDialog& dialog, const char* key) {
    std::string folder = qm::FolderPart(qm::WideToAnsi(dialog.FileName));
    if (folder.size() > 255)
        folder.resize(255);
    qm::LibrarySaveSetting(kLibraryApplication, kConfigurationSection, key, folder);
}

void TMainForm::ViewerFileNameButtonClick() {
    RestoreRememberedFolder(ViewerFileOpenDialogW, "Last Viewer Folder");
    if (!ViewerFileOpenDialogW.Execute(Handle()))
        return;
    ViewerFileNameEditW->SetText(ViewerFileOpenDialogW.FileName);
    StoreRememberedFolder(ViewerFileOpenDialogW, "Last Viewer Folder");
}

void TMainForm::SaveButtonClick() {
    RestoreRememberedFolder(SaveDialogW, "Last Save Folder");
    if (!SaveDialogW.Execute(Handle()))
        return;
    StoreRememberedFolder(SaveDialogW, "Last Save Folder");
    FormToInfo(FInfo);
    const std::vector<std::wstring> altered = qm::SaveInfo(SaveDialogW.FileName, FInfo);
    if (altered.empty())
        return;
    auto warning = [&altered](const tk::LineFits& fits) {
        return qm::LocalizeMessageFmt(
            UserLangID, "MainForm:PathsNotSavedExactly",
            L"The settings file cannot hold these paths as they are; they were saved, "
            L"but will not load back unchanged:%s1%",
            NamedPaths(altered, fits), L"");
    };
    tk::ShowFittedMessageBox(Handle(), warning, kApplicationTitle, MB_ICONWARNING);
}

void TMainForm::LoadButtonClick() {
    RestoreRememberedFolder(OpenDialogW, "Last Load Folder");
    if (!OpenDialogW.Execute(Handle()))
        return;
    StoreRememberedFolder(OpenDialogW, "Last Load Folder");
    // Loading replaces the window's list with the file's; a file that cannot be read changes nothing.
    TInfo loaded = FInfo;
    loaded.List.clear();
    if (!LoadSettingsFile(OpenDialogW.FileName, loaded))
        return;
    FInfo = std::move(loaded);
    InfoToForm(FInfo);
}

bool TMainForm::LoadSettingsFile(const std::wstring& fileName, TInfo& Info) {
    if (qm::LoadInfo(fileName, Info))
        return true;
    tk::ShowMessageBox(Handle(),
                       qm::LocalizeMessageFmt(UserLangID, "MainForm:SettingsFileNotRead",
                                              L"The settings file %s1% cannot be read; another program may "
                                              L"hold it open. Nothing was loaded.",
                                              fileName, L""),
                       kApplicationTitle, MB_ICONERROR);
    return false;
}
