// Timers: SetTimer, KillTimer and the WM_TIMER they bring. A WM_TIMER is never queued; the
// queue makes one when a timer is due and nothing else waits, as on the real platform, so a
// timer fires inside every message loop, modal ones included.
#include "platform/layer.h"

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
        bool wanted = filter == reinterpret_cast<HWND>(-1)
                          ? !timer.window
                          : !filter || timer.window == filter || isDescendant(filter, timer.window);
        if (!wanted || static_cast<int32_t>(now - timer.due) < 0)
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
        bool wanted = filter == reinterpret_cast<HWND>(-1)
                          ? !timer.window
                          : !filter || timer.window == filter || isDescendant(filter, timer.window);
        if (!wanted)
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
    DWORD due = timerClock() + clampElapse(elapse);
    if (window) {
        if (Timer* timer = findTimer(window, id)) {
            *timer = Timer{window, id, clampElapse(elapse), proc, due};
            return 1;
        }
        s.timers.push_back(Timer{window, id, clampElapse(elapse), proc, due});
        return 1;
    }
    // A thread timer: an id it already has resets that timer, otherwise a new id.
    if (id && isThreadTimerId(id)) {
        *findTimer(nullptr, id) = Timer{nullptr, id, clampElapse(elapse), proc, due};
        return id;
    }
    UINT_PTR newId = s.nextThreadTimer++;
    s.timers.push_back(Timer{nullptr, newId, clampElapse(elapse), proc, due});
    return newId;
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
