#include "ProgramDriver.h"

#include "TestSupport.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <stdexcept>

namespace bb {

namespace {

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::wstring VariableName(const std::wstring& entry) {
    // Entries such as "=C:=C:\dir" keep their leading "=" as part of the name.
    size_t equals = entry.find(L'=', 1);
    return entry.substr(0, equals);
}

} // namespace

std::wstring EnvironmentBlock(const EnvironmentChanges& changes) {
    std::vector<std::wstring> entries;
    if (wchar_t* current = GetEnvironmentStringsW()) {
        for (const wchar_t* p = current; *p; p += wcslen(p) + 1)
            entries.emplace_back(p);
        FreeEnvironmentStringsW(current);
    }
    for (const auto& [name, value] : changes) {
        const std::wstring key = Lower(name);
        std::erase_if(entries, [&](const std::wstring& entry) { return Lower(VariableName(entry)) == key; });
        if (value)
            entries.push_back(name + L"=" + *value);
    }
    std::wstring block;
    for (const std::wstring& entry : entries) {
        block += entry;
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

namespace {

struct EnumState {
    DWORD processId;
    std::wstring className;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    if (WindowProcessId(window) == state->processId &&
        (state->className.empty() || ClassName(window) == state->className))
        state->windows.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

// Under load Wine's CreateProcessW now and then fails with ERROR_INTERNAL_ERROR: the new process
// ended in Wine's own start-up, before the server heard that it had started and before any code of
// the program ran, so that nothing of it happened and a new start is safe. A few starts are made.
bool CreateProcessRetried(const std::wstring& program, const std::wstring& commandLine,
                          std::wstring& environment, const wchar_t* currentFolder,
                          PROCESS_INFORMATION& info) {
    for (int attempt = 1;; ++attempt) {
        std::wstring line = commandLine;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        if (CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                           environment.data(), currentFolder, &startup, &info))
            return true;
        if (GetLastError() != ERROR_INTERNAL_ERROR || attempt == 3)
            return false;
        Sleep(200);
    }
}

bool IsMainWindowCandidate(HWND window) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    return GetWindow(window, GW_OWNER) == nullptr && (style & WS_CAPTION) == WS_CAPTION &&
           ClassName(window) != L"#32770";
}

} // namespace

std::optional<DWORD> RunToEnd(const std::wstring& program, const std::wstring& arguments,
                              const EnvironmentChanges& environment, Milliseconds deadline) {
    std::wstring block = EnvironmentBlock(environment);
    PROCESS_INFORMATION info{};
    if (!CreateProcessRetried(program, L"\"" + program + L"\" " + arguments, block, nullptr, info))
        return std::nullopt;
    CloseHandle(info.hThread);
    std::optional<DWORD> result;
    if (WaitForSingleObject(info.hProcess, static_cast<DWORD>(deadline.count())) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        result = code;
    } else {
        TerminateProcess(info.hProcess, 99);
        WaitForSingleObject(info.hProcess, 5000);
    }
    CloseHandle(info.hProcess);
    return result;
}

std::wstring QuillmontPath() {
    return qmtest::BinDir() + L"quillmont.exe";
}
std::wstring TestViewerPath() {
    return qmtest::BinDir() + L"testviewer.exe";
}

ProgramDriver::ProgramDriver(const std::wstring& arguments, const EnvironmentChanges& environment,
                             const std::wstring& currentFolder) {
    const std::wstring program = QuillmontPath();
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    std::wstring block = EnvironmentBlock(environment);
    PROCESS_INFORMATION info{};
    if (!CreateProcessRetried(program, commandLine, block,
                              currentFolder.empty() ? nullptr : currentFolder.c_str(), info))
        throw std::runtime_error("cannot start quillmont.exe, error " + std::to_string(GetLastError()));
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    WaitForInputIdle(process_, 10000);
}

ProgramDriver::~ProgramDriver() {
    Kill();
    CloseHandle(process_);
}

bool ProgramDriver::Running() const {
    return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> ProgramDriver::WaitForExit(Milliseconds deadline) {
    // Polled, so that windows of this process (none, normally) keep being served.
    if (!qmtest::WaitFor([&] { return !Running(); }, deadline))
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

void ProgramDriver::Kill() {
    if (Running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
}

HWND ProgramDriver::MainWindow() const {
    for (HWND window : TopLevelWindows(processId_))
        if (IsMainWindowCandidate(window))
            return window;
    return nullptr;
}

HWND ProgramDriver::WaitForMainWindow(Milliseconds deadline) const {
    HWND found = nullptr;
    qmtest::WaitFor(
        [&] {
            found = MainWindow();
            return found && IsWindowVisible(found);
        },
        deadline);
    return found && IsWindowVisible(found) ? found : nullptr;
}

bool ProgramDriver::MainWindowVisible() const {
    HWND window = MainWindow();
    return window && IsWindowVisible(window);
}

std::vector<HWND> ProgramDriver::MessageBoxes() const {
    std::vector<HWND> boxes;
    for (HWND window : TopLevelWindows(processId_, L"#32770"))
        if (IsWindowVisible(window))
            boxes.push_back(window);
    return boxes;
}

HWND ProgramDriver::WaitForMessageBox(Milliseconds deadline) const {
    HWND box = nullptr;
    qmtest::WaitFor(
        [&] {
            std::vector<HWND> boxes = MessageBoxes();
            box = boxes.empty() ? nullptr : boxes.front();
            return box != nullptr;
        },
        deadline);
    return box;
}

ProcessGuard::ProcessGuard(DWORD processId) {
    if (processId != 0)
        process_ = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                               processId);
}

ProcessGuard::~ProcessGuard() {
    if (!process_)
        return;
    if (Running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

bool ProcessGuard::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool ProcessGuard::WaitForExit(Milliseconds deadline) {
    return process_ && qmtest::WaitFor([&] { return !Running(); }, deadline);
}

std::wstring WindowText(HWND window) {
    // GetWindowText does not ask a window of another process, and an edit keeps its text itself.
    wchar_t buffer[1024] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_NORMAL, 2000,
                             &copied))
        copied = static_cast<DWORD_PTR>(std::max(GetWindowTextW(window, buffer, 1024), 0));
    return std::wstring(buffer, std::min<size_t>(copied, 1023));
}

std::wstring ClassName(HWND window) {
    wchar_t buffer[256] = {};
    int n = GetClassNameW(window, buffer, 256);
    return std::wstring(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

DWORD WindowProcessId(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string RectText(const RECT& rect) {
    return "(" + std::to_string(rect.left) + ", " + std::to_string(rect.top) + ") " +
           std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top);
}

std::vector<HWND> TopLevelWindows(DWORD processId, const std::wstring& className) {
    EnumState state{processId, className, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
    return state.windows;
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND FindChild(HWND parent, const std::wstring& caption, const std::wstring& className) {
    for (HWND child : ChildWindows(parent))
        if (WindowText(child) == caption &&
            (className.empty() || Lower(ClassName(child)) == Lower(className)))
            return child;
    return nullptr;
}

HWND FindChildOfClass(HWND parent, const std::wstring& className) {
    for (HWND child : ChildWindows(parent))
        if (Lower(ClassName(child)) == Lower(className))
            return child;
    return nullptr;
}

std::vector<std::wstring> TabCaptions(HWND tabControl) {
    std::vector<std::wstring> captions;
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                 WindowProcessId(tabControl));
    if (!process)
        return captions;
    constexpr size_t kTextOffset = 256;
    constexpr int kTextChars = 256;
    auto* remote =
        static_cast<char*>(VirtualAllocEx(process, nullptr, kTextOffset + kTextChars * sizeof(wchar_t),
                                          MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (remote) {
        const auto count = static_cast<int>(SendMessageW(tabControl, TCM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = reinterpret_cast<wchar_t*>(remote + kTextOffset);
            item.cchTextMax = kTextChars;
            wchar_t text[kTextChars] = {};
            SIZE_T done = 0;
            if (!WriteProcessMemory(process, remote, &item, sizeof(item), &done) ||
                !SendMessageW(tabControl, TCM_GETITEMW, static_cast<WPARAM>(i),
                              reinterpret_cast<LPARAM>(remote)) ||
                !ReadProcessMemory(process, remote, &item, sizeof(item), &done) ||
                !ReadProcessMemory(process, item.pszText, text, sizeof(text) - sizeof(wchar_t), &done)) {
                captions.emplace_back(L"<unreadable>");
                continue;
            }
            captions.emplace_back(text);
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return captions;
}

std::vector<std::wstring> ListBoxItems(HWND listBox) {
    std::vector<std::wstring> items;
    const auto count = static_cast<int>(SendMessageW(listBox, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const auto length = static_cast<int>(SendMessageW(listBox, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0));
        std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
        const auto copied = static_cast<int>(
            SendMessageW(listBox, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data())));
        text.resize(static_cast<size_t>(std::max(copied, 0)));
        items.push_back(text);
    }
    return items;
}

std::wstring MessageBoxText(HWND box) {
    std::wstring text;
    for (HWND child : ChildWindows(box)) {
        if (Lower(ClassName(child)) != L"static")
            continue;
        if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            continue;
        std::wstring part = WindowText(child);
        if (part.empty())
            continue;
        if (!text.empty())
            text += L"\n";
        text += part;
    }
    return text;
}

bool MessageBoxHasIcon(HWND box) {
    for (HWND child : ChildWindows(box))
        if (Lower(ClassName(child)) == L"static" &&
            (GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child))
            return true;
    return false;
}

bool PressMessageBoxButton(HWND box, const std::wstring& caption) {
    HWND button = FindChild(box, caption, L"Button");
    if (!button)
        return false;
    Click(button);
    return true;
}

void Click(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

bool Responds(HWND window, Milliseconds within) {
    return SendWithin(window, WM_NULL, 0, 0, within);
}

bool SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Milliseconds within) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL,
                               static_cast<UINT>(within.count()), &result) != 0;
}

bool SendKeyChord(const std::vector<WORD>& virtualKeys) {
    std::vector<INPUT> inputs;
    auto key = [](WORD vk, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        return input;
    };
    for (WORD vk : virtualKeys)
        inputs.push_back(key(vk, false));
    for (auto it = virtualKeys.rbegin(); it != virtualKeys.rend(); ++it)
        inputs.push_back(key(*it, true));
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

HWND FocusedWindow(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

bool BringToForeground(HWND window, Milliseconds deadline) {
    return qmtest::WaitFor(
        [&] {
            if (GetForegroundWindow() == window)
                return true;
            SetForegroundWindow(window);
            return GetForegroundWindow() == window;
        },
        deadline);
}

} // namespace bb
