#include "tests/platform/layer_fixture.h"

#include "tests/platform/test_resources.h"

namespace {

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        notices.push_back(
            Notice{message, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        if (onCommand)
            onCommand(wParam, lParam);
        return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
        notices.push_back(Notice{message, LOWORD(wParam), static_cast<short>(HIWORD(wParam)),
                                 reinterpret_cast<HWND>(lParam)});
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

void LayerTest::SetUp() {
    notices.clear();
    onCommand = nullptr;
    InitCommonControls();
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = recordingProc;
    wc.hInstance = testModule();
    wc.lpszClassName = "Recorder";
    ASSERT_NE(RegisterClassExA(&wc), 0);
    owner = CreateWindowExA(0, "Recorder", "Owner",
                            WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 50, 50, 600, 400,
                            nullptr, nullptr, testModule(), nullptr);
    ASSERT_NE(owner, nullptr);
}

void LayerTest::TearDown() {
    notices.clear();
    onCommand = nullptr;
}

HWND LayerTest::makeControl(const char* className, const char* text, DWORD style, int id, int x,
                            int y, int width, int height) {
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                           owner, reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), testModule(),
                           nullptr);
}

void LayerTest::runLoop(HACCEL table, const std::function<void()>& afterEach) {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!table || !TranslateAcceleratorA(owner, table, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (afterEach)
            afterEach();
    }
}

std::vector<int> LayerTest::commandCodes(HWND from) const {
    std::vector<int> codes;
    for (const Notice& n : notices) {
        if (n.message == WM_COMMAND && n.from == from)
            codes.push_back(n.code);
    }
    return codes;
}

std::vector<int> LayerTest::scrollCodes(HWND from) const {
    std::vector<int> codes;
    for (const Notice& n : notices) {
        if ((n.message == WM_HSCROLL || n.message == WM_VSCROLL) && n.from == from)
            codes.push_back(n.id);
    }
    return codes;
}
