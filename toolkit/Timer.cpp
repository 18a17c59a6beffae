#include "Timer.h"

#include "Application.h"

#include <map>

namespace tk {

namespace {
// Thread timers have no window to carry the object, so their ids lead to it.
std::map<UINT_PTR, Timer*>& Timers() {
    static std::map<UINT_PTR, Timer*> timers;
    return timers;
}
} // namespace

Timer::Timer(unsigned intervalMs) : interval_(intervalMs) {}

Timer::~Timer() {
    SetEnabled(false);
}

void Timer::SetEnabled(bool enabled) {
    if (enabled == Enabled())
        return;
    if (enabled) {
        UINT_PTR id = SetTimer(nullptr, 0, interval_, &Timer::Tick);
        if (!id)
            throw Error(L"Not enough timers available");
        id_ = id;
        Timers()[id_] = this;
    } else {
        KillTimer(nullptr, id_);
        Timers().erase(id_);
        id_ = 0;
    }
}

void CALLBACK Timer::Tick(HWND, UINT, UINT_PTR id, DWORD) {
    // A message posted before KillTimer may still arrive.
    auto found = Timers().find(id);
    if (found == Timers().end())
        return;
    Timer* timer = found->second;
    if (*timer->running_ || !timer->OnTimer)
        return;
    std::shared_ptr<bool> running = timer->running_;
    std::function<void()> handler = timer->OnTimer;
    *running = true;
    Application::Instance().Dispatch(handler);
    *running = false;
}

} // namespace tk
