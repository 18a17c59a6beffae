#pragma once
// Answers a box that the test's thread waits in (a message box, a file dialog, a form shown
// modally) from a thread of its own, the way a user would.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace qmtest {

class BoxDriver {
public:
    // The box when it is there and visible, else null.
    using Finder = std::function<HWND()>;
    using Answer = std::function<void(HWND box)>;

    // Waits up to the deadline for the box, answers it, and waits as long again for it to go. A box
    // that does not come or does not go fails the test, and every box of the thread that made the
    // driver is then cancelled, so that the test goes on to its end instead of waiting in one.
    BoxDriver(std::string what, Finder find, Answer answer,
              std::chrono::milliseconds deadline = std::chrono::milliseconds(10000));
    // A dialog box ("#32770") of this process with this title.
    BoxDriver(const std::wstring& title, Answer answer,
              std::chrono::milliseconds deadline = std::chrono::milliseconds(10000));
    ~BoxDriver();
    BoxDriver(const BoxDriver&) = delete;
    BoxDriver& operator=(const BoxDriver&) = delete;

    // Waits for the driver's thread; true when the box came and went. A failure is reported once.
    bool Join();

private:
    void Run(const Finder& find, const Answer& answer, std::chrono::milliseconds deadline);

    std::string what_;
    DWORD waitingThread_;
    std::atomic<bool> came_{false};
    std::atomic<bool> went_{false};
    bool reported_ = false;
    std::thread thread_;
};

} // namespace qmtest
