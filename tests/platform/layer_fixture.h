// A headless session with a recording top-level window: every WM_COMMAND and scroll
// notification its children send is kept, so tests compare what reached the owner.
#pragma once

#include "platform/headless/headless.h"
#include "platform/winapi.h"
#include "tests/platform/test_resources.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

struct Notice {
    UINT message; // WM_COMMAND, WM_HSCROLL or WM_VSCROLL
    int id;       // control id (WM_COMMAND) or request code (scroll)
    int code;     // notification code (WM_COMMAND) or position (scroll)
    HWND from;
    bool operator==(const Notice&) const = default;
};

// What the recording window received, in the order it arrived, and a hook called for each
// WM_COMMAND once it is recorded (tests put the owner's reactions there).
inline std::vector<Notice> notices;
inline std::function<void(WPARAM, LPARAM)> onCommand;

class LayerTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A child control of the recording window.
    HWND makeControl(const char* className, const char* text, DWORD style, int id, int x = 10,
                     int y = 10, int width = 120, int height = 24);
    // Runs a message loop like the program's until the quit message or the end of the script:
    // accelerators of `table` (for the recording window) first, then translation and dispatch,
    // then `afterEach`.
    void runLoop(HACCEL table = nullptr, const std::function<void()>& afterEach = {});
    // Notices of one kind from one control, in order.
    std::vector<int> commandCodes(HWND from) const;
    std::vector<int> scrollCodes(HWND from) const;

    headless::Session session;
    HWND owner = nullptr;
};
