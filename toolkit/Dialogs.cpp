#include "Dialogs.h"

#include "Application.h"
#include "Handles.h"

#include <algorithm>
#include <memory>
#include <utility>
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

int TextWidth(HDC dc, std::wstring_view text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// Lines as wide as the owner's screen allows, measured in the message font.
LineFits ScreenLineFits(HWND owner) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &monitor);
    // Three quarters of the screen's width for a line leave the rest to the box's frame, icon and
    // margins.
    const int width = (monitor.rcWork.right - monitor.rcWork.left) * 3 / 4;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    auto font = std::make_shared<GdiObject>(CreateFontIndirectW(&metrics.lfMessageFont));
    return [font, width](std::wstring_view line) {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font->Get());
        const int lineWidth = TextWidth(dc, line);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        return lineWidth <= width;
    };
}

// The message box being fitted by this thread, from the call until its text has been fitted.
struct FittedBox {
    const std::function<std::wstring(const LineFits&)>* compose = nullptr;
    bool fitted = false;
};
thread_local FittedBox* fittedBox = nullptr;

bool HasClass(HWND window, const wchar_t* className) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    return lstrcmpiW(name, className) == 0;
}

// Composes the text again for the width that the box gave its text, gives the text control the
// height that this text needs, and moves the buttons and sizes the box to match, centred on the
// work area: no line wraps.
void FitMessageBox(HWND box, const std::function<std::wstring(const LineFits&)>& compose) {
    HWND text = nullptr;
    int iconHeight = 0;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!HasClass(child, L"Static"))
            continue;
        RECT rect{};
        GetWindowRect(child, &rect);
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            iconHeight = IsWindowVisible(child) ? rect.bottom - rect.top : 0;
        else
            text = child;
    }
    if (!text)
        return;
    RECT client{};
    GetClientRect(text, &client);
    HDC dc = GetDC(text);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0)));
    const LineFits fits = [dc, width = client.right](std::wstring_view line) {
        return TextWidth(dc, line) <= width;
    };
    std::wstring fitted;
    try {
        fitted = compose(fits);
    } catch (...) {
        // The text as first composed stays.
    }
    RECT needed{0, 0, client.right, 0};
    if (!fitted.empty())
        DrawTextW(dc, fitted.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    ReleaseDC(text, dc);
    if (fitted.empty())
        return;

    SetWindowTextW(text, fitted.c_str());
    SetWindowPos(text, nullptr, 0, 0, client.right, needed.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const int delta = std::max<int>(needed.bottom, iconHeight) - std::max<int>(client.bottom, iconHeight);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!HasClass(child, L"Button"))
            continue;
        RECT rect{};
        GetWindowRect(child, &rect);
        MapWindowPoints(HWND_DESKTOP, box, reinterpret_cast<POINT*>(&rect), 2);
        SetWindowPos(child, nullptr, rect.left, rect.top + delta, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT frame{};
    GetWindowRect(box, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(box, MONITOR_DEFAULTTONEAREST), &monitor);
    const int height = frame.bottom - frame.top + delta;
    const int top =
        std::max<int>(monitor.rcWork.top, (monitor.rcWork.top + monitor.rcWork.bottom - height) / 2);
    SetWindowPos(box, nullptr, frame.left, top, frame.right - frame.left, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// Fits the first dialog that this thread initialises while it waits for its box: that box.
LRESULT CALLBACK FitMessageBoxHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && fittedBox && !fittedBox->fitted && message->message == WM_INITDIALOG) {
        fittedBox->fitted = true;
        FitMessageBox(message->hwnd, *fittedBox->compose);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

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

int ShowFittedMessageBox(HWND owner, const std::function<std::wstring(const LineFits&)>& compose,
                         const std::wstring& caption, UINT style) {
    const std::wstring text = compose(ScreenLineFits(owner));
    FittedBox box{&compose};
    FittedBox* const outer = std::exchange(fittedBox, &box);
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, FitMessageBoxHook, nullptr, GetCurrentThreadId());
    const int answer = MessageBoxW(owner, text.c_str(), caption.c_str(), style);
    if (hook)
        UnhookWindowsHookEx(hook);
    fittedBox = outer;
    return answer;
}

} // namespace tk
