#pragma once
#include <windows.h>

#include <functional>
#include <memory>

namespace tk {

// A thread timer of the user-interface thread; its event runs from the message loop.
class Timer {
public:
    // Disabled when made.
    explicit Timer(unsigned intervalMs);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    bool Enabled() const { return id_ != 0; }
    void SetEnabled(bool enabled);
    unsigned Interval() const { return interval_; }

    // Runs inside the application's dispatch. A tick that comes while the event still runs
    // (for instance in the error box of its exception) is skipped.
    std::function<void()> OnTimer;

private:
    static void CALLBACK Tick(HWND hwnd, UINT message, UINT_PTR id, DWORD time);

    unsigned interval_;
    UINT_PTR id_ = 0;
    // Shared with a running tick, which must not touch the timer after its event: the
    // event may destroy it.
    std::shared_ptr<bool> running_ = std::make_shared<bool>(false);
};

} // namespace tk
