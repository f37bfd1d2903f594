// The main loop's queue handling, on the real message queue of this thread.
#include <windows.h>

#include <gtest/gtest.h>

#include "main_loop.h"

namespace {

HWND MakeWindow()
{
    return CreateWindowExA(0, "STATIC", "loop", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

void EmptyQueue()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

TEST(MainLoopDrain, QuitCodeIsKeptWhenMessagesFollowIt)
{
    // Timer and input messages are taken after the quit message; their
    // wParam (here the timer id 123, like the key-up of F12 = 123) must not
    // become the exit code.
    HWND window = MakeWindow();
    ASSERT_NE(window, nullptr);
    EmptyQueue();
    SetTimer(window, 123, 1, nullptr);
    Sleep(50);
    PostQuitMessage(0);
    WPARAM code = 999;
    EXPECT_TRUE(DrainMessageQueue(nullptr, &code));
    EXPECT_EQ(code, 0u);
    KillTimer(window, 123);
    DestroyWindow(window);
    EmptyQueue();
}

TEST(MainLoopDrain, WholeQueueIsDrainedAndQuitReported)
{
    HWND window = MakeWindow();
    ASSERT_NE(window, nullptr);
    EmptyQueue();
    PostMessageA(window, WM_USER + 50, 7, 0);
    PostMessageA(window, WM_USER + 51, 8, 0);
    WPARAM code = 999;
    EXPECT_FALSE(DrainMessageQueue(nullptr, &code));
    EXPECT_EQ(code, 8u) << "the last message's wParam";
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    PostQuitMessage(5);
    EXPECT_TRUE(DrainMessageQueue(nullptr, &code));
    EXPECT_EQ(code, 5u);
    DestroyWindow(window);
    EmptyQueue();
}

}  // namespace
