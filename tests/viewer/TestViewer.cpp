// A stand-in for the slide-show viewer. It takes "/L <list file>", opens top-level windows of
// class "screenClass" and appends what it was given and what happened to its windows to the log
// file named by QM_TESTVIEWER_LOG, one line at a time, so that tests in other processes can follow
// it while it runs. QM_TESTVIEWER_MODE asks for a fault: "exit", "nowindow", "multi", "hang",
// "hangonresize" (hangs inside the first change of its window's size), "slowfocus" (takes
// kSlowFocusMs over every WM_SETFOCUS).
// QM_TESTVIEWER_SECONDS ends it on its own; it never runs longer than kMaxSeconds.
#include "TestSupport.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <charconv>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr DWORD kMaxSeconds = 300;
constexpr DWORD kDefaultSeconds = 180;
constexpr DWORD kFaultSeconds = 60;
constexpr DWORD kSlowFocusMs = 450;
const wchar_t* const kClassName = L"screenClass";
const wchar_t* const kTitle = L"Quillmont Test Viewer";

HANDLE logFile = INVALID_HANDLE_VALUE;
std::map<HWND, RECT> lastLoggedRect;
int openWindows = 0;
std::wstring mode;
// Set once the first window is shown, so that only a placement from outside can trip the hang.
bool windowsShown = false;

std::wstring Environment(const wchar_t* name) {
    wchar_t buffer[32768];
    DWORD n = GetEnvironmentVariableW(name, buffer, 32768);
    return n > 0 && n < 32768 ? std::wstring(buffer, n) : std::wstring();
}

using qmtest::Utf8;

using qmtest::Hex;

std::string HandleText(HWND window) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof(buffer), reinterpret_cast<uintptr_t>(window), 16);
    return std::string(buffer, result.ptr);
}

// One WriteFile per line on a file opened for appending, so that lines of several viewers and
// readers in other processes never see half a line.
void Log(const std::string& line) {
    if (logFile == INVALID_HANDLE_VALUE)
        return;
    std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(logFile, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    FlushFileBuffers(logFile);
}

std::string ReadFileBytes(const std::wstring& path, bool& ok) {
    ok = false;
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    ok = true;
    return bytes;
}

// The play list: UTF-16 LE after the byte-order mark, one path per line ending in CR LF.
void LogList(const std::wstring& path) {
    bool ok = false;
    std::string bytes = ReadFileBytes(path, ok);
    if (!ok) {
        Log("list unreadable");
        return;
    }
    Log("list " + Hex(bytes));
    if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
        static_cast<unsigned char>(bytes[1]) != 0xFE || bytes.size() % 2 != 0) {
        Log("list malformed");
        return;
    }
    std::wstring text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        Log("entry " + Utf8(text.substr(start, end - start)));
    if (start != text.size())
        Log("list malformed");
}

void LogArguments() {
    Log("pid " + std::to_string(GetCurrentProcessId()) + " thread " + std::to_string(GetCurrentThreadId()));
    Log("cmdline " + Utf8(GetCommandLineW()));
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args)
        return;
    Log("args " + std::to_string(count));
    std::wstring listFile;
    bool haveList = false;
    for (int i = 0; i < count; ++i) {
        Log("arg " + std::to_string(i) + " " + Utf8(args[i]));
        if (i + 1 < count && lstrcmpiW(args[i], L"/L") == 0 && !haveList) {
            listFile = args[i + 1];
            haveList = true;
        }
    }
    LocalFree(args);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    if (startup.dwFlags & STARTF_USEPOSITION)
        Log("startup " + std::to_string(static_cast<int>(startup.dwX)) + " " +
            std::to_string(static_cast<int>(startup.dwY)));
    if (haveList)
        LogList(listFile);
    else
        Log("list none");
}

DWORD LifetimeSeconds(DWORD fallback) {
    std::wstring text = Environment(L"QM_TESTVIEWER_SECONDS");
    if (text.empty())
        return fallback;
    DWORD seconds = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return fallback;
        seconds = std::min<DWORD>(seconds * 10 + static_cast<DWORD>(c - L'0'), kMaxSeconds);
    }
    return seconds;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFOCUS:
        if (mode == L"slowfocus")
            Sleep(kSlowFocusMs);
        Log("setfocus " + HandleText(window));
        break;
    case WM_WINDOWPOSCHANGING: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        RECT rect{};
        GetWindowRect(window, &rect);
        if (mode == L"hangonresize" && windowsShown && !(pos->flags & SWP_NOSIZE) &&
            (pos->cx != rect.right - rect.left || pos->cy != rect.bottom - rect.top)) {
            Log("hang");
            Sleep(LifetimeSeconds(kFaultSeconds) * 1000);
        }
        break;
    }
    case WM_WINDOWPOSCHANGED: {
        RECT rect{};
        GetWindowRect(window, &rect);
        auto last = lastLoggedRect.find(window);
        if (last == lastLoggedRect.end() || !EqualRect(&last->second, &rect)) {
            lastLoggedRect[window] = rect;
            Log("pos " + std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
                std::to_string(rect.right - rect.left) + " " + std::to_string(rect.bottom - rect.top) + " " +
                HandleText(window));
        }
        break;
    }
    case WM_CLOSE:
        Log("close " + HandleText(window));
        break;
    case WM_DESTROY:
        lastLoggedRect.erase(window);
        if (--openWindows == 0)
            PostQuitMessage(0);
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND OpenWindow(HINSTANCE instance, int offset) {
    // Created away from any monitor's rectangle, so that a test sees the program place it.
    HWND window = CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, 50 + offset, 60 + offset, 320,
                                  240, nullptr, nullptr, instance, nullptr);
    if (!window) {
        Log("window error " + std::to_string(GetLastError()));
        return nullptr;
    }
    ++openWindows;
    Log("window " + HandleText(window));
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return window;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    std::wstring logPath = Environment(L"QM_TESTVIEWER_LOG");
    if (!logPath.empty())
        logFile = CreateFileW(logPath.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    mode = Environment(L"QM_TESTVIEWER_MODE");
    Log("mode " + (mode.empty() ? std::string("normal") : Utf8(mode)));
    LogArguments();

    int exitCode = 0;
    if (mode == L"exit") {
        // Ends at once.
    } else if (mode == L"nowindow") {
        Sleep(LifetimeSeconds(kFaultSeconds) * 1000);
    } else {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kClassName;
        RegisterClassExW(&windowClass);
        HWND first = OpenWindow(instance, 0);
        if (mode == L"multi")
            for (int i = 1; i < 3; ++i)
                OpenWindow(instance, 30 * i);
        windowsShown = true;
        if (!first) {
            exitCode = 1;
        } else if (mode == L"hang") {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            Log("hang");
            Sleep(LifetimeSeconds(kFaultSeconds) * 1000);
        } else {
            // A thread timer, so that it outlives whichever window is closed first.
            SetTimer(nullptr, 0, LifetimeSeconds(kDefaultSeconds) * 1000, nullptr);
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                if (msg.message == WM_TIMER && !msg.hwnd)
                    break;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    Log("exit");
    if (logFile != INVALID_HANDLE_VALUE)
        CloseHandle(logFile);
    return exitCode;
}
