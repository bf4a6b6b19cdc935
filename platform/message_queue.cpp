// The thread's message queue: posted messages, user input, the quit flag and paint requests,
// taken in that order; sending, dispatching and key translation; input from backends.
#include "platform/layer.h"

using namespace layer;

namespace {

bool isMouseMessage(UINT message) {
    return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
}
bool isKeyMessage(UINT message) {
    return message >= WM_KEYFIRST && message <= WM_KEYLAST;
}

bool matchesFilter(const MSG& msg, HWND filter, UINT first, UINT last) {
    if (!passesWindowFilter(filter, msg.hwnd))
        return false;
    if (first == 0 && last == 0)
        return true;
    return msg.message >= first && msg.message <= last;
}

// Moves a mouse message to another window, keeping the pointer where it is on the screen.
void retarget(MSG& msg, HWND to) {
    POINT from = clientOriginOnScreen(msg.hwnd);
    POINT origin = clientOriginOnScreen(to);
    int x = GET_X_LPARAM(msg.lParam) + from.x - origin.x;
    int y = GET_Y_LPARAM(msg.lParam) + from.y - origin.y;
    msg.hwnd = to;
    msg.lParam = MAKELPARAM(x, y);
}

// Statics without SS_NOTIFY and group boxes let the mouse through to their parent.
bool isTransparentToMouse(const Window& w) {
    if (!w.parent)
        return false;
    ControlKind kind = w.windowClass->kind;
    if (kind == ControlKind::Static)
        return !(w.style & SS_NOTIFY);
    if (kind == ControlKind::Button)
        return (w.style & BS_TYPEMASK) == BS_GROUPBOX;
    return false;
}

// Decides where a piece of input goes as it leaves the queue, as the real platform does:
// the capture window takes all mouse input; the keyboard goes to the focus window; nothing
// reaches a window whose top-level window is disabled. Returns false to drop it.
bool routeInput(MSG& msg) {
    Layer& s = state();
    if (isMouseMessage(msg.message)) {
        if (!windowOf(msg.hwnd))
            return false;
        if (s.capture && windowOf(s.capture)) {
            if (msg.hwnd != s.capture)
                retarget(msg, s.capture);
        } else {
            for (Window* w = windowOf(msg.hwnd); w && w->parent; w = windowOf(msg.hwnd)) {
                if (!isTransparentToMouse(*w) && !(w->style & WS_DISABLED))
                    break;
                retarget(msg, w->parent);
            }
        }
    } else if (isKeyMessage(msg.message) && !windowOf(msg.hwnd)) {
        // Keys belong to whoever has the focus when they are taken (a key-up after the
        // dialog that saw its key-down has gone goes to the window now focused).
        msg.hwnd = s.focus ? s.focus : s.active;
    }
    if (!msg.hwnd || !windowOf(msg.hwnd))
        return false;
    if (!isEnabledForInput(topLevelOf(msg.hwnd)))
        return false;
    if (!isMouseMessage(msg.message) && !isEnabledForInput(msg.hwnd))
        return false;
    return true;
}

void noteKeyState(const MSG& msg) {
    Layer& s = state();
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)
        s.keyDown[msg.wParam & 0xFF] = true;
    if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP)
        s.keyDown[msg.wParam & 0xFF] = false;
}

HWND windowNeedingPaint(HWND filter) {
    for (auto& [handle, w] : state().windows) {
        if (!w->needsPaint || !IsWindowVisible(w->handle))
            continue;
        if (!passesWindowFilter(filter, w->handle))
            continue;
        return w->handle;
    }
    return nullptr;
}

// Takes the next message matching the filter: posted, then input, then quit, then paint.
bool takeMessage(MSG* msg, HWND filter, UINT first, UINT last, bool remove) {
    Layer& s = state();
    for (auto it = s.posted.begin(); it != s.posted.end(); ++it) {
        if (!matchesFilter(*it, filter, first, last))
            continue;
        *msg = *it;
        if (remove)
            s.posted.erase(it);
        return true;
    }
    for (auto it = s.input.begin(); it != s.input.end();) {
        MSG routed = *it;
        if (!routeInput(routed)) {
            ++s.droppedInput;
            it = s.input.erase(it);
            continue;
        }
        if (!matchesFilter(routed, filter, first, last)) {
            ++it;
            continue;
        }
        *msg = routed;
        if (remove) {
            s.input.erase(it);
            noteKeyState(routed);
        }
        return true;
    }
    if (s.quitPosted) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(s.quitCode), 0, s.messageTime, {0, 0}};
        if (remove)
            s.quitPosted = false;
        return true;
    }
    if (first == 0 && last == 0 ? true : (WM_PAINT >= first && WM_PAINT <= last)) {
        if (HWND window = windowNeedingPaint(filter)) {
            *msg = MSG{window, WM_PAINT, 0, 0, s.messageTime, {0, 0}};
            return true;
        }
    }
    if (first == 0 && last == 0 ? true : (WM_TIMER >= first && WM_TIMER <= last))
        return takeTimerMessage(msg, filter, remove);
    return false;
}

// Waits for input or the next timer, whichever comes first. False: nothing can come any more.
bool waitForInputOrTimer(HWND filter, UINT first, UINT last) {
    Layer& s = state();
    const Backend* backend = s.backend;
    DWORD untilTimer = 0;
    bool timerSet = (first == 0 && last == 0 ? true : (WM_TIMER >= first && WM_TIMER <= last)) &&
                    timeToNextTimer(filter, untilTimer);
    if (timerSet && !(backend && backend->tickCount)) {
        s.virtualClock += untilTimer; // virtual time: the wait ends when the timer is due
        return true;
    }
    if (timerSet && backend->waitForInputFor)
        return backend->waitForInputFor(untilTimer);
    return backend && backend->waitForInput && backend->waitForInput(true);
}

char characterForKey(WPARAM key, LPARAM lParam) {
    bool shift = keyIsDown(VK_SHIFT);
    if (key >= 'A' && key <= 'Z')
        return static_cast<char>(shift ? key : key - 'A' + 'a');
    if (key >= '0' && key <= '9')
        return shift ? ")!@#$%^&*("[key - '0'] : static_cast<char>(key);
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        return static_cast<char>('0' + key - VK_NUMPAD0);
    switch (key) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return '\b';
    case VK_TAB: return '\t';
    case VK_ESCAPE: return 0x1B;
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    case VK_OEM_PERIOD: return shift ? '>' : '.';
    case VK_PACKET: return static_cast<char>((lParam >> 16) & 0xFF);
    default: return 0;
    }
}

} // namespace

namespace layer {

bool passesWindowFilter(HWND filter, HWND window) {
    if (filter == threadMessagesOnly)
        return !window;
    return !filter || window == filter || isDescendant(filter, window);
}

bool keyIsDown(int virtualKey) {
    return state().keyDown[virtualKey & 0xFF];
}

LRESULT sendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = windowOf(window);
    if (!w || !w->proc)
        return 0;
    return w->proc(window, message, wParam, lParam);
}

void postInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Layer& s = state();
    s.input.push_back(MSG{window, message, wParam, lParam, ++s.messageTime, {0, 0}});
}

} // namespace layer

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return sendMessage(window, message, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window && !windowOf(window))
        return FALSE;
    Layer& s = state();
    s.posted.push_back(MSG{window, message, wParam, lParam, ++s.messageTime, {0, 0}});
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
    state().quitPosted = true;
    state().quitCode = exitCode;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    if (!msg)
        return -1;
    if (window && window != threadMessagesOnly && !windowOf(window))
        return -1;
    for (;;) {
        if (takeMessage(msg, window, filterMin, filterMax, true))
            return msg->message != WM_QUIT;
        if (!waitForInputOrTimer(window, filterMin, filterMax)) {
            // Nothing can arrive any more: end the wait as the quit message would.
            *msg = MSG{nullptr, WM_QUIT, 0, 0, state().messageTime, {0, 0}};
            return FALSE;
        }
    }
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT remove) {
    if (!msg)
        return FALSE;
    const Backend* backend = state().backend;
    if (backend && backend->waitForInput)
        backend->waitForInput(false);
    return takeMessage(msg, window, filterMin, filterMax, (remove & PM_REMOVE) != 0);
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return FALSE;
    char character = characterForKey(msg->wParam, msg->lParam);
    if (!character)
        return FALSE;
    UINT charMessage = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    PostMessageA(msg->hwnd, charMessage, static_cast<unsigned char>(character), msg->lParam);
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (msg && msg->message == WM_TIMER && msg->lParam) {
        // A timer with a procedure calls it instead of any window procedure.
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, timerClock());
        return 0;
    }
    if (!msg || !windowOf(msg->hwnd))
        return 0;
    LRESULT result = sendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    // A procedure that never validated would get WM_PAINT forever.
    if (msg->message == WM_PAINT)
        ValidateRect(msg->hwnd, nullptr);
    return result;
}

SHORT WINAPI GetKeyState(int virtualKey) {
    return keyIsDown(virtualKey) ? static_cast<SHORT>(0x8000) : 0;
}

// ---------------------------------------------------------------------------------------------
// Input from backends

void inputMouse(HWND window, UINT message, int x, int y) {
    bool& buttonDown = state().mouseButtonDown;
    if (message == WM_LBUTTONDOWN)
        buttonDown = true;
    if (message == WM_LBUTTONUP)
        buttonDown = false;
    WPARAM keys = buttonDown ? MK_LBUTTON : 0;
    if (keyIsDown(VK_SHIFT))
        keys |= MK_SHIFT;
    if (keyIsDown(VK_CONTROL))
        keys |= MK_CONTROL;
    postInput(window, message, keys, MAKELPARAM(x, y));
}

void inputKey(HWND window, UINT message, UINT virtualKey) {
    bool up = message == WM_KEYUP || message == WM_SYSKEYUP;
    LPARAM flags = 1;
    if (up)
        flags |= static_cast<LPARAM>(0xC0000000u);
    if (message == WM_SYSKEYDOWN || message == WM_SYSKEYUP)
        flags |= static_cast<LPARAM>(KF_ALTDOWN) << 16; // the context code: Alt is held
    postInput(window, message, virtualKey, flags);
}

void inputPacketChar(HWND window, char character) {
    LPARAM withChar = 1 | (static_cast<LPARAM>(static_cast<unsigned char>(character)) << 16);
    postInput(window, WM_KEYDOWN, VK_PACKET, withChar);
    postInput(window, WM_KEYUP, VK_PACKET, withChar | static_cast<LPARAM>(0xC0000000u));
}

void inputClose(HWND window) {
    postInput(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void inputExpose(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
}
