// Starting a show: the checks, the temporary list file and the call into the library.
#include "Application.h"
#include "Dialogs.h"
#include "FileTests.h"
#include "Handles.h"
#include "ListFile.h"
#include "Localizer.h"
#include "MainUnit.h"
#include "PresentationLibrary.h"
#include "RandomNumbers.h"
#include "StartUp.h"

namespace {

// The folder in its wide form: a folder that the ANSI code page cannot hold is refused by
// name rather than handed on altered.
std::wstring GetTempDir() {
    std::wstring buffer(4096, L'\0');
    DWORD length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0 || length >= buffer.size())
        throw tk::Error(L"The temporary folder cannot be found");
    buffer.resize(length);
    if (buffer.back() != L'\\')
        buffer += L'\\';
    return buffer;
}

// Draws a free name; when a run of draws meets only taken names, every name is looked at
// once in turn, and a folder whose names are all taken is reported instead of searched
// for ever.
std::wstring DrawListFileName(const std::wstring& folder) {
    for (int draw = 0; draw < qm::kListFileNames; ++draw) {
        std::wstring name = qm::ListFileName(folder, qm::RandomBelow(qm::kListFileNames));
        if (!qm::FileExists(name))
            return name;
    }
    for (int number = 0; number < qm::kListFileNames; ++number) {
        std::wstring name = qm::ListFileName(folder, number);
        if (!qm::FileExists(name))
            return name;
    }
    // Quoted, so that the period the error box adds does not read as part of the folder.
    throw tk::Error(qm::LocalizeMessageFmt(UserLangID, "MainForm:NoFreeListFileName",
                                           L"No free name for a list file in \"%s1%\"", folder, L""));
}

// The messages that refuse a path which the library's short string cannot hold.
struct PathRefusal {
    const char* tooLongKey;
    const wchar_t* tooLong;
    const char* unrepresentableKey;
    const wchar_t* unrepresentable;
};

const PathRefusal kViewerPathRefusal{
    "MainForm:ViewerPathTooLong", L"Cannot start the show: the viewer path \"%s1%\" is longer than 255 bytes",
    "MainForm:ViewerPathNotRepresentable",
    L"Cannot start the show: the viewer path \"%s1%\" holds characters that the system code page cannot "
    L"represent"};
const PathRefusal kListFilePathRefusal{
    "MainForm:ListFilePathTooLong",
    L"Cannot start the show: the list file path \"%s1%\" is longer than 255 bytes",
    "MainForm:ListFilePathNotRepresentable",
    L"Cannot start the show: the list file path \"%s1%\" holds characters that the system code page "
    L"cannot represent"};

// The path as the library's short string, which must hold it uncut and unaltered: a cut or
// substituted path would start the viewer on another file, or on none, without a word.
qm::ShortString ExactShortString(const PathRefusal& refusal, const std::wstring& path) {
    if (std::optional<qm::ShortString> exact = qm::ShortString::Exact(path))
        return *exact;
    const bool tooLong = qm::ExactAnsi(path).has_value();
    throw tk::Error(qm::LocalizeMessageFmt(UserLangID,
                                           tooLong ? refusal.tooLongKey : refusal.unrepresentableKey,
                                           tooLong ? refusal.tooLong : refusal.unrepresentable, path, L""));
}

std::wstring SystemReason(DWORD code) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason = text ? text : L"";
    if (text)
        LocalFree(text);
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L' ' ||
                               reason.back() == L'.'))
        reason.pop_back();
    return reason;
}

} // namespace

void TMainForm::StartShowButtonClick() {
    qm::LibrarySetViewer(kLibraryApplication, qm::ShortString::FromWide(ViewerFileNameEditW->Text()));
    FormToInfo(FInfo);
    StartShow(FInfo);
}

void TMainForm::WriteListFile(const TInfo& Info) {
    const std::string bytes = qm::ListFileBytes(Info.List);
    tk::FileHandle file(CreateFileW(FListFileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw tk::Error(L"Cannot create file \"" + FListFileName + L"\". " + SystemReason(GetLastError()));
    listFileCreated_ = true;
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            const std::wstring error =
                L"Cannot write file \"" + FListFileName + L"\". " + SystemReason(GetLastError());
            // No viewer will read a part of the list; left behind, the file would keep its name taken.
            file.Reset();
            DeleteListFile();
            throw tk::Error(error);
        }
        done += written;
    }
}

void TMainForm::StartShow(TInfo& Info) {
    auto errorBox = [this](const char* key, const wchar_t* defaultText, const std::wstring& value) {
        tk::ShowMessageBox(Handle(), qm::LocalizeMessageFmt(UserLangID, key, defaultText, value, L""),
                           kApplicationTitle, MB_ICONERROR);
    };
    if (!qm::FileExists(Info.ViewerFileName)) {
        errorBox("MainForm:NoPowerPointViewer", L"PowerPoint Viewer %s1% does not exist.",
                 Info.ViewerFileName);
        return;
    }
    if (GetMonitorCount() < Info.StartMonitor) {
        errorBox("MainForm:NoMonitor", L"This system does not have monitor %s1%",
                 std::to_wstring(Info.StartMonitor));
        return;
    }
    if (!AreMonitorsEqual(qm::MonitorIndex(Info.StartMonitor))) {
        errorBox("MainForm:NoSameResolution",
                 L"Monitor %s1% does not have the same resolution as the primary monitor. Quillmont requires "
                 L"these monitors to have same resolutions.",
                 std::to_wstring(Info.StartMonitor));
        return;
    }
    const qm::ShortString viewer = ExactShortString(kViewerPathRefusal, Info.ViewerFileName);
    FFocusAway = false;
    const std::wstring folder = GetTempDir();
    // Judged by the longest name the draw can give, so that a folder gets the same answer at every
    // launch; every name it then draws converts exactly as well.
    ExactShortString(kListFilePathRefusal, qm::ListFileName(folder, qm::kListFileNames - 1));
    FListFileName = DrawListFileName(folder);
    listFileCreated_ = false;
    const qm::ShortString listFile = qm::ShortString::FromWide(FListFileName);
    WriteListFile(Info);

    LaunchPresentation(&viewer, &listFile, qm::MonitorIndex(Info.StartMonitor), &FProcessHandle, &FProcessId);
    if (FProcessId != 0) {
        FShowRunning = true;
        Timer.SetEnabled(true);
    } else {
        // No viewer will read or delete the file: left behind, it would take one of the names for good.
        DeleteListFile();
    }
}
