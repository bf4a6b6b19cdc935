#include "tests/platform/layer_fixture.h"

#include "platform/resource_data.h"

#include <array>

namespace {

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (onCommand) onCommand(wParam, lParam);
        notices.push_back(
            Notice{message, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
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

const std::array<ACCEL, 4> accelerators{{{FVIRTKEY | FNOINVERT, VK_INSERT, 3},
                                         {FVIRTKEY | FNOINVERT, '2', 40027},
                                         {FVIRTKEY | FNOINVERT, VK_PRIOR, 5},
                                         {FVIRTKEY | FNOINVERT, VK_NEXT, 6}}};
const std::array<AcceleratorResource, 1> acceleratorTables{{{1, accelerators}}};
const ResourceTable testResources{{}, acceleratorTables, {}, {}, {}, {}};

} // namespace

HINSTANCE testModule() { return moduleInstance(testResources); }

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
    owner = CreateWindowExA(0, "Recorder", "Owner", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                            50, 50, 600, 400, nullptr, nullptr, testModule(), nullptr);
    ASSERT_NE(owner, nullptr);
}

void LayerTest::TearDown() {
    notices.clear();
    onCommand = nullptr;
}

HWND LayerTest::makeControl(const char* className, const char* text, DWORD style, int id, int x, int y,
                            int width, int height) {
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, owner,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), testModule(), nullptr);
}

void LayerTest::runLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::vector<int> LayerTest::commandCodes(HWND from) const {
    std::vector<int> codes;
    for (const Notice& n : notices) {
        if (n.message == WM_COMMAND && n.from == from) codes.push_back(n.code);
    }
    return codes;
}

std::vector<int> LayerTest::scrollCodes(HWND from) const {
    std::vector<int> codes;
    for (const Notice& n : notices) {
        if ((n.message == WM_HSCROLL || n.message == WM_VSCROLL) && n.from == from) codes.push_back(n.id);
    }
    return codes;
}
