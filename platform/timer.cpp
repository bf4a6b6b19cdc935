// Timers: SetTimer, KillTimer and the WM_TIMER they bring. A WM_TIMER is never queued; the
// queue makes one when a timer is due and nothing else waits, as on the real platform, so a
// timer fires inside every message loop, modal ones included.
#include "platform/layer.h"

#include <chrono>
#include <thread>

#include <algorithm>

using namespace layer;

namespace {

UINT clampElapse(UINT elapse) {
    return std::clamp<UINT>(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
}

Timer* findTimer(HWND window, UINT_PTR id) {
    for (Timer& timer : state().timers) {
        if (timer.window == window && timer.id == id)
            return &timer;
    }
    return nullptr;
}

bool isThreadTimerId(UINT_PTR id) {
    return findTimer(nullptr, id) != nullptr;
}

} // namespace

namespace layer {

DWORD timerClock() {
    const Backend* backend = state().backend;
    if (backend && backend->tickCount)
        return backend->tickCount();
    return state().virtualClock;
}

void killTimersOf(HWND window) {
    std::erase_if(state().timers, [&](const Timer& timer) { return timer.window == window; });
}

// The due timer (for `filter`, as GetMessageA filters) that has waited longest, or nullptr.
Timer* dueTimer(HWND filter, DWORD now) {
    Timer* earliest = nullptr;
    for (Timer& timer : state().timers) {
        if (!passesWindowFilter(filter, timer.window) || static_cast<int32_t>(now - timer.due) < 0)
            continue;
        if (!earliest || static_cast<int32_t>(timer.due - earliest->due) < 0)
            earliest = &timer;
    }
    return earliest;
}

bool takeTimerMessage(MSG* msg, HWND filter, bool remove) {
    DWORD now = timerClock();
    Timer* timer = dueTimer(filter, now);
    if (!timer)
        return false;
    *msg = MSG{timer->window, WM_TIMER, timer->id, reinterpret_cast<LPARAM>(timer->proc), now,
               {0, 0}};
    if (remove)
        timer->due = now + timer->elapse;
    return true;
}

// Milliseconds until the next timer for `filter` is due; false when none is set.
bool timeToNextTimer(HWND filter, DWORD& milliseconds) {
    DWORD now = timerClock();
    bool any = false;
    for (const Timer& timer : state().timers) {
        if (!passesWindowFilter(filter, timer.window))
            continue;
        int32_t left = std::max<int32_t>(0, static_cast<int32_t>(timer.due - now));
        if (!any || static_cast<DWORD>(left) < milliseconds)
            milliseconds = static_cast<DWORD>(left);
        any = true;
    }
    return any;
}

} // namespace layer

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    Layer& s = state();
    if (window && !windowOf(window))
        return 0;
    // A thread timer: an id it already has resets that timer, otherwise a new id.
    if (!window && !(id && isThreadTimerId(id)))
        id = s.nextThreadTimer++;
    UINT interval = clampElapse(elapse);
    Timer timer{.window = window,
                .id = id,
                .elapse = interval,
                .proc = proc,
                .due = timerClock() + interval};
    if (Timer* existing = findTimer(window, id))
        *existing = timer;
    else
        s.timers.push_back(timer);
    return window ? 1 : id;
}

BOOL WINAPI KillTimer(HWND window, UINT_PTR id) {
    auto& timers = state().timers;
    auto it = std::find_if(timers.begin(), timers.end(), [&](const Timer& timer) {
        return timer.window == window && timer.id == id;
    });
    if (it == timers.end())
        return FALSE;
    timers.erase(it);
    return TRUE;
}

DWORD WINAPI GetTickCount(void) {
    return timerClock();
}

void WINAPI Sleep(DWORD milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// The real platform's default. The layer makes no double-clicks of its own.
UINT WINAPI GetDoubleClickTime(void) {
    return 500;
}
