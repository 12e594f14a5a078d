// The order in which GetMessage hands out what waits: posted messages, the quit message, input,
// paints, timers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/internal.h"
#include "platform_test.h"
#include "windows.h"

namespace {

std::vector<std::string> seen;

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_LBUTTONDOWN:
            // As the click that clears a board posts the name-entry command.
            seen.push_back("click");
            PostMessageA(hwnd, WM_COMMAND, 110, 0);
            return 0;
        case WM_KEYDOWN: seen.push_back("key"); return 0;
        case WM_COMMAND: seen.push_back("command " + std::to_string(wParam)); return 0;
        case WM_PAINT: seen.push_back("paint"); break;
        case WM_TIMER: seen.push_back("timer"); return 0;
        default: break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class MessageQueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform_test::Reset();
        seen.clear();
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = "QUEUE";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, "QUEUE", "", WS_CAPTION | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
        SetTimer(window, 1, 100, nullptr);
        platform_test::ElapseTimer(window, 1);  // a paint is due from showing the window, too
    }
    void TearDown() override { platform_test::Reset(); }

    // Everything GetMessage returns until the loop would wait; "quit" ends the list.
    std::vector<std::string> Loop() {
        platform_test::SetIdleHandler([] {
            PostQuitMessage(0);
            return true;
        });
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0)) DispatchMessageA(&msg);
        seen.push_back("quit");
        return seen;
    }

    HWND window = nullptr;
};

TEST_F(MessageQueueTest, PostedBeforeInputBeforePaintBeforeTimers) {
    platform::QueueInput(MSG{window, WM_LBUTTONDOWN, MK_LBUTTON, 0, 0, {0, 0}, 0});
    platform::QueueInput(MSG{window, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}, 0});
    PostMessageA(window, WM_COMMAND, 1, 0);
    EXPECT_EQ(Loop(), (std::vector<std::string>{"command 1", "click", "command 110", "key", "paint",
                                                "timer", "quit"}));
}

TEST_F(MessageQueueTest, QuitComesAfterPostedMessagesAndBeforeInput) {
    platform::QueueInput(MSG{window, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}, 0});
    PostMessageA(window, WM_COMMAND, 1, 0);
    PostQuitMessage(0);
    EXPECT_EQ(Loop(), (std::vector<std::string>{"command 1", "quit"}));
}

}  // namespace
