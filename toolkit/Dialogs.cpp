#include "Dialogs.h"

#include "Application.h"

#include <algorithm>
#include <vector>

namespace tk {

namespace {
// Long enough for the longest path that Windows accepts.
constexpr size_t kFileBufferLength = 32768;

// Puts the process's current folder back as it was. Browsing in the dialog moves it, whatever the
// options say, and every relative path the program holds would then name a file in another folder.
class CurrentFolderKeeper {
public:
    CurrentFolderKeeper() {
        if (DWORD size = GetCurrentDirectoryW(0, nullptr)) {
            folder_.resize(size);
            const DWORD length = GetCurrentDirectoryW(size, folder_.data());
            folder_.resize(length < size ? length : 0);
        }
    }
    ~CurrentFolderKeeper() {
        if (!folder_.empty())
            SetCurrentDirectoryW(folder_.c_str());
    }
    CurrentFolderKeeper(const CurrentFolderKeeper&) = delete;
    CurrentFolderKeeper& operator=(const CurrentFolderKeeper&) = delete;

private:
    std::wstring folder_;
};
} // namespace

FileDialog::FileDialog(Kind kind, std::string name) : kind_(kind), name_(std::move(name)) {}

bool FileDialog::Execute(HWND owner) {
    // The dialog wants the pairs separated by NULs and the list closed by two.
    std::wstring filter = Filter;
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    filter.append(2, L'\0');

    std::vector<wchar_t> file(kFileBufferLength, L'\0');
    std::copy_n(FileName.begin(), std::min(FileName.size(), file.size() - 1), file.begin());

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(FilterIndex);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    ofn.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
    ofn.Flags = Options;

    BOOL chosen = FALSE;
    {
        CurrentFolderKeeper keeper;
        chosen = kind_ == Kind::Open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
    }
    if (!chosen) {
        // Zero means the user cancelled; anything else is a dialog that could not work.
        if (DWORD error = CommDlgExtendedError())
            throw Error(L"Unable to show the file dialog (error " + std::to_wstring(error) + L")");
        return false;
    }
    FileName = file.data();
    FilterIndex = static_cast<int>(ofn.nFilterIndex);
    return true;
}

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style) {
    return MessageBoxW(owner, text.c_str(), caption.c_str(), style);
}

} // namespace tk
