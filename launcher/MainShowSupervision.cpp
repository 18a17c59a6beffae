// A running show: the timer that follows the viewer, the hot key and the control messages.
#include "MainUnit.h"
#include "PresentationLibrary.h"

namespace {

// How long a tick waits for the show window to take the focus; a hung viewer must not
// freeze the program.
constexpr UINT kFocusTimeoutMs = 300;

struct TShowWindowSearch {
    DWORD ProcessId;
    bool FocusAway;
    HWND Found;
};

bool IsShowWindow(HWND Wnd, DWORD processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(Wnd, &owner);
    return owner == processId && qm::LibraryGetClassName(Wnd) == "screenClass";
}

BOOL CALLBACK TrackShowWindowProc(HWND Wnd, LPARAM param) {
    auto* Search = reinterpret_cast<TShowWindowSearch*>(param);
    if (!IsShowWindow(Wnd, Search->ProcessId))
        return TRUE;
    if (!Search->FocusAway) {
        // A slow viewer is placed all the same: the placement does not wait for it.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(Wnd, WM_SETFOCUS, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, kFocusTimeoutMs,
                            &ignored);
        Search->Found = Wnd;
    } else if (GetForegroundWindow() == Wnd) {
        SetFocus(GetDesktopWindow());
        SetForegroundWindow(GetDesktopWindow());
    }
    return FALSE;
}

BOOL CALLBACK ActivateShowWindowProc(HWND Wnd, LPARAM param) {
    if (!IsShowWindow(Wnd, static_cast<DWORD>(param)))
        return TRUE;
    HWND Previous = GetForegroundWindow();
    if (Previous == Wnd)
        Previous = GetDesktopWindow();
    SetFocus(Wnd);
    SetForegroundWindow(Wnd);
    SetFocus(Previous);
    SetForegroundWindow(Previous);
    return FALSE;
}

} // namespace

void TMainForm::TimerTimer() {
    if (WaitForSingleObject(FProcessHandle, 0) == WAIT_TIMEOUT) {
        TShowWindowSearch search{FProcessId, FFocusAway, nullptr};
        EnumWindows(TrackShowWindowProc, reinterpret_cast<LPARAM>(&search));
        if (!search.Found)
            return;
        int32_t left = 0, top = 0, width = 0, height = 0;
        GetMonitorInfo(qm::MonitorIndex(FInfo.StartMonitor), &left, &top, &width, &height);
        const RECT monitor{left, top, left + width, top + height};
        RECT current{};
        if (GetWindowRect(search.Found, &current) && EqualRect(&current, &monitor))
            return;
        // Asynchronous: a viewer that hangs while it is being moved must not hold this thread.
        SetWindowPos(search.Found, nullptr, left, top, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_ASYNCWINDOWPOS);
        return;
    }
    Timer.SetEnabled(false);
    CloseHandle(FProcessHandle);
    FProcessHandle = nullptr;
    DeleteListFile();
    FShowRunning = false;
    if (FInfo.CloseAfterShow)
        Close();
}

void TMainForm::DeleteListFile() {
    if (listFileCreated_)
        DeleteFileW(FListFileName.c_str());
    listFileCreated_ = false;
    FListFileName.clear();
}

void TMainForm::StopShow() {
    Timer.SetEnabled(false);
    if (!FShowRunning)
        return;
    FShowRunning = false;
    TerminateProcess(FProcessHandle, 0);
    CloseHandle(FProcessHandle);
    FProcessHandle = nullptr;
    DeleteListFile();
}

void TMainForm::WMHotKey() {
    StopShow();
}

void TMainForm::WMUser(WPARAM wParam, LPARAM lParam) {
    switch (wParam) {
    case 1:
        EnumWindows(ActivateShowWindowProc, static_cast<LPARAM>(FProcessId));
        FFocusAway = true;
        break;
    case 2:
        FFocusAway = false;
        break;
    case 3:
        if (static_cast<int32_t>(lParam) == FInstanceNumber)
            Close();
        break;
    default:
        break;
    }
}
