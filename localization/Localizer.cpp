#include "Localizer.h"

#include "AnsiText.h"
#include "Control.h"
#include "Form.h"
#include "Handles.h"
#include "LocalizerCore.h"

#include <windows.h>

#include <algorithm>
#include <exception>

namespace qm {

namespace {

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
    tk::FileHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > bytes.max_size())
        return false;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        DWORD got = 0;
        if (!ReadFile(file.Get(), bytes.data() + done, want, &got, nullptr))
            return false;
        if (got == 0)
            break;
        done += got;
    }
    bytes.resize(done);
    return true;
}

// Push buttons, labels, group boxes and tab sheets; the window itself takes texts only through
// "<DEFAULT>".
bool TakesTexts(tk::ControlKind kind) {
    switch (kind) {
    case tk::ControlKind::Button:
    case tk::ControlKind::Label:
    case tk::ControlKind::GroupBox:
    case tk::ControlKind::TabSheet:
        return true;
    default:
        return false;
    }
}

} // namespace

std::unique_ptr<TL10NResource> LoadL10NFile(const std::wstring& fileName) {
    try {
        std::string bytes;
        if (!ReadWholeFile(fileName, bytes))
            return nullptr;
        std::wstring text = DecodeL10NBytes(bytes);
        std::string().swap(bytes);
        return ParseL10NText(text);
    } catch (const std::exception&) {
        // Out of memory for this file (bad_alloc, length_error): it gives no language.
        return nullptr;
    }
}

void LoadL10NResources(const std::wstring& dir) {
    if (dir.empty())
        return;
    std::wstring folder = dir;
    if (folder.back() != L'\\')
        folder.push_back(L'\\');
    WIN32_FIND_DATAW found{};
    tk::FindHandle search(FindFirstFileW((folder + L"*.lcl").c_str(), &found));
    if (!search)
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        try {
            auto language = LoadL10NFile(folder + found.cFileName);
            if (!language)
                continue;
            // Only an ASCII name is a hexadecimal number, and the conversion keeps ASCII as it is.
            language->ID = L10NIdFromBaseName(GetFileBaseName(WideToAnsi(found.cFileName)));
            if (language->ID == 0)
                FreeL10NResource(std::move(language));
            else
                L10NResources.push_back(std::move(language));
        } catch (const std::exception&) {
            // Start-up goes on without this file.
        }
    } while (FindNextFileW(search.Get(), &found));
}

void LocalizeControl(const std::string& formName, tk::Control& control, const TL10NResource& language) {
    std::wstring text, hint;
    bool found = FindStringResource(language, "<ALL>", control.Name(), text, hint);
    // The window's own entry replaces an "<ALL>" entry whole, an empty hint included.
    found = FindStringResource(language, formName, control.Name(), text, hint) || found;
    if (found && TakesTexts(control.Kind()) && !control.FixedCaption()) {
        control.SetCaption(text);
        control.SetHint(hint);
    }
    if (control.IsWindowed()) {
        for (tk::Control* child : control.Children())
            LocalizeControl(formName, *child, language);
    }
}

void LocalizeForm(tk::Form& form, uint32_t langId) {
    const TL10NResource* language = FindL10NResource(langId);
    if (!language)
        return;
    std::wstring text, hint;
    if (FindStringResource(*language, form.Name(), "<DEFAULT>", text, hint)) {
        form.SetCaption(text);
        form.SetHint(hint);
    }
    for (tk::Control* child : form.Children())
        LocalizeControl(form.Name(), *child, *language);
}

} // namespace qm
