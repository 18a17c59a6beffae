#pragma once
// Drives quillmont.exe from another process, the way a user or another program would: the
// command line and the environment, top-level windows and their controls found from outside,
// clicks, key presses and messages. Every wait has a deadline.
#include <windows.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace bb {

using namespace std::chrono_literals;
using Milliseconds = std::chrono::milliseconds;

// Changes to the environment that a started process receives: a value sets the variable,
// nullopt removes it. Names are compared without regard to case, as Windows does.
using EnvironmentChanges = std::vector<std::pair<std::wstring, std::optional<std::wstring>>>;

// The environment of this process with the changes applied, as a block for CreateProcessW.
std::wstring EnvironmentBlock(const EnvironmentChanges& changes);
// Runs a program to its end; its exit code, or nullopt when it did not start or end in time.
std::optional<DWORD> RunToEnd(const std::wstring& program, const std::wstring& arguments,
                              const EnvironmentChanges& environment, Milliseconds deadline = 10s);

// A process of its own, killed on destruction if it still runs: no process outlives a test.
class ProgramDriver {
public:
    // Starts build/bin/quillmont.exe with the given arguments (after the program name).
    ProgramDriver(const std::wstring& arguments, const EnvironmentChanges& environment,
                  const std::wstring& currentFolder = {});
    ~ProgramDriver();
    ProgramDriver(const ProgramDriver&) = delete;
    ProgramDriver& operator=(const ProgramDriver&) = delete;

    DWORD ProcessId() const { return processId_; }
    bool Running() const;
    // The exit code once the process has ended within the deadline.
    std::optional<DWORD> WaitForExit(Milliseconds deadline = 10s);
    void Kill();

    // The program's main window: its top-level window with a caption that no other window owns
    // and that is no dialog box. It exists hidden while a show runs. Null when there is none.
    HWND MainWindow() const;
    // Waits until the main window exists and is visible; null when the deadline passes.
    HWND WaitForMainWindow(Milliseconds deadline = 15s) const;
    bool MainWindowVisible() const;

    // The first visible message box ("#32770") of the process; null when the deadline passes.
    HWND WaitForMessageBox(Milliseconds deadline = 10s) const;
    std::vector<HWND> MessageBoxes() const;

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// An opened process found by its identifier (a viewer started by the program), terminated on
// destruction if it still runs.
class ProcessGuard {
public:
    explicit ProcessGuard(DWORD processId);
    ~ProcessGuard();
    ProcessGuard(const ProcessGuard&) = delete;
    ProcessGuard& operator=(const ProcessGuard&) = delete;

    bool Valid() const { return process_ != nullptr; }
    bool Running() const;
    bool WaitForExit(Milliseconds deadline);

private:
    HANDLE process_ = nullptr;
};

std::wstring QuillmontPath();
std::wstring TestViewerPath();

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
DWORD WindowProcessId(HWND window);
RECT WindowRect(HWND window);
bool SameRect(const RECT& a, const RECT& b);
std::string RectText(const RECT& rect);

// Top-level windows of a process in EnumWindows order (topmost first), optionally of one class.
std::vector<HWND> TopLevelWindows(DWORD processId, const std::wstring& className = {});
// All descendants of a window.
std::vector<HWND> ChildWindows(HWND parent);
// The first descendant with this caption (exactly) and, when given, this class (case ignored).
HWND FindChild(HWND parent, const std::wstring& caption, const std::wstring& className = {});
HWND FindChildOfClass(HWND parent, const std::wstring& className);

// The captions of a tab control of another process, read through memory lent in that process.
std::vector<std::wstring> TabCaptions(HWND tabControl);

// The items of a list box of another process (LB_GETTEXT crosses processes).
std::vector<std::wstring> ListBoxItems(HWND listBox);

// The text of a message box: its static controls that are not icons, joined by line breaks.
std::wstring MessageBoxText(HWND box);
bool MessageBoxHasIcon(HWND box);
// Presses a button of a message box by caption (BM_CLICK, posted, since it ends a modal loop).
bool PressMessageBoxButton(HWND box, const std::wstring& caption);

// BM_CLICK, posted: the click may open a modal box that a sent message would wait for.
void Click(HWND button);
// True when the window's thread answers a message within the time.
bool Responds(HWND window, Milliseconds within = 1000ms);
// Sends a message and waits for the answer, giving up after the time.
bool SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Milliseconds within = 2000ms);

// Presses the keys in order and releases them in reverse order, as one chord, through SendInput.
bool SendKeyChord(const std::vector<WORD>& virtualKeys);
// The window with the keyboard focus in the thread of the given window; null when none has it.
HWND FocusedWindow(HWND window);
// Makes the window the foreground window and waits until it is.
bool BringToForeground(HWND window, Milliseconds deadline = 5s);

} // namespace bb
