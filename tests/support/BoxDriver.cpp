#include "BoxDriver.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace qmtest {

namespace {

using Clock = std::chrono::steady_clock;

bool Gone(HWND box) {
    return !IsWindow(box) || !IsWindowVisible(box);
}

// The windows that hold a modal loop of the thread: dialog boxes, and windows whose owner a
// modal loop has disabled.
std::vector<HWND> BoxesOf(DWORD thread) {
    std::vector<HWND> boxes;
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM param) -> BOOL {
            wchar_t cls[16] = {};
            GetClassNameW(window, cls, 16);
            const HWND owner = GetWindow(window, GW_OWNER);
            if (IsWindowVisible(window) &&
                (lstrcmpW(cls, L"#32770") == 0 || (owner && !IsWindowEnabled(owner))))
                reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&boxes));
    return boxes;
}

// Closing one box may open the next (an error after a file dialog): go on until none is left.
// A message box without a Cancel button takes no IDCANCEL, so the answers take turns.
void CancelBoxesOf(DWORD thread) {
    const WPARAM answers[] = {IDCANCEL, IDNO, IDOK};
    for (int round = 0; round < 30; ++round) {
        const std::vector<HWND> boxes = BoxesOf(thread);
        if (boxes.empty())
            return;
        for (HWND box : boxes) {
            PostMessageW(box, WM_COMMAND, answers[round % 3], 0);
            PostMessageW(box, WM_CLOSE, 0, 0);
        }
        Sleep(200);
    }
}

} // namespace

BoxDriver::BoxDriver(std::string what, Finder find, Answer answer, std::chrono::milliseconds deadline)
    : what_(std::move(what)), waitingThread_(GetCurrentThreadId()) {
    thread_ = std::thread([this, find = std::move(find), answer = std::move(answer), deadline] {
        Run(find, answer, deadline);
    });
}

BoxDriver::BoxDriver(const std::wstring& title, Answer answer, std::chrono::milliseconds deadline)
    : BoxDriver(
          "a box titled \"" + Utf8(title) + "\"",
          [title] {
              for (HWND box = FindWindowExW(nullptr, nullptr, L"#32770", title.c_str()); box;
                   box = FindWindowExW(nullptr, box, L"#32770", title.c_str())) {
                  DWORD process = 0;
                  GetWindowThreadProcessId(box, &process);
                  if (process == GetCurrentProcessId() && IsWindowVisible(box))
                      return box;
              }
              return HWND{};
          },
          std::move(answer), deadline) {}

BoxDriver::~BoxDriver() {
    Join();
}

void BoxDriver::Run(const Finder& find, const Answer& answer, std::chrono::milliseconds deadline) {
    HWND box = nullptr;
    for (auto end = Clock::now() + deadline; !(box = find()) && Clock::now() < end;)
        Sleep(25);
    if (box) {
        came_ = true;
        answer(box);
        for (auto end = Clock::now() + deadline; !Gone(box) && Clock::now() < end;)
            Sleep(25);
        went_ = Gone(box);
    }
    if (!went_)
        CancelBoxesOf(waitingThread_);
}

bool BoxDriver::Join() {
    if (thread_.joinable())
        thread_.join();
    const bool worked = came_ && went_;
    if (!worked && !reported_) {
        reported_ = true;
        ADD_FAILURE() << (came_ ? "still open after its answer: " : "never came: ") << what_;
    }
    return worked;
}

} // namespace qmtest
