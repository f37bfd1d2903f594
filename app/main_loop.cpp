#include "main_loop.h"

#include "block_step.h"
#include "capture_session.h"
#include "control_dialog.h"
#include "own_windows.h"
#include "screen_update.h"
#include "shell_state.h"

// A key held down sends WM_KEYDOWN again and again; only its first press
// is a command (holding R would start a volume control per repeat).
static bool IsRepeatedAcceleratorKey(HACCEL accelerators, const MSG& msg)
{
    const bool keyDown = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    if (!keyDown || !(msg.lParam & (1L << 30)))
        return false;
    ACCEL entries[32];
    const int count = CopyAcceleratorTableA(accelerators, entries, 32);
    for (int i = 0; i < count; ++i)
        if ((entries[i].fVirt & FVIRTKEY) && entries[i].key == msg.wParam)
            return true;
    return false;
}

bool DrainMessageQueue(HACCEL accelerators, WPARAM* lastWParam)
{
    bool quit = false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // The exit code is the quit message's: the key-up of F12 still
        // drained after it must not replace it.
        if (!quit)
            *lastWParam = msg.wParam;
        if (msg.message == WM_QUIT)
            quit = true;
        // Keys typed into other windows of this thread (the help viewer) are
        // theirs, not commands of ours.
        if (accelerators && IsTavrelWindow(msg.hwnd) &&
            (IsRepeatedAcceleratorKey(accelerators, msg) ||
             TranslateAcceleratorA(g_hControlDialog, accelerators, &msg)))
            continue;
        if (!IsDialogMessageA(g_hControlDialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return quit;
}

// Input of any kind, sent messages included, is waiting.
static bool InputWaiting()
{
    return HIWORD(GetQueueStatus(QS_ALLINPUT)) != 0;
}

WPARAM RunMainLoop(HACCEL accelerators)
{
    WPARAM lastWParam = 0;
    bool quit = false;
    while (!quit) {
        // QS_ALLINPUT, not QS_ALLEVENTS: a message sent by another program
        // must wake us, or its sender waits until a block arrives.
        // Without an event (its creation failed) wait for input alone rather
        // than spin on a failing wait. While a capture runs the wait is
        // bounded by its watch: a device that went away stops signalling
        // without failing anything. The event is tested before the time-out,
        // so blocks that piled up under a modal loop are still taken.
        DWORD handles = g_hNotificationEvent ? 1 : 0;
        DWORD wake = MsgWaitForMultipleObjects(handles, &g_hNotificationEvent, FALSE,
                                               ScreenWaitTimeout(GetCaptureWaitLimit()),
                                               QS_ALLINPUT);
        // A wake that was only the screen's brings it up to date, nothing more.
        if (TakeScreenWake(wake, handles))
            continue;
        if (handles == 1 && wake == WAIT_OBJECT_0) {
            MarkCaptureNotification();
            if (!RunBlockStep())
                quit = true;
            // Block steps longer than a block would otherwise starve the
            // user's input: Stop and Exit must still answer.
            if (InputWaiting() && DrainMessageQueue(accelerators, &lastWParam))
                quit = true;
        } else if (wake == WAIT_OBJECT_0 + handles) {
            if (DrainMessageQueue(accelerators, &lastWParam))
                quit = true;
        } else if (wake == WAIT_TIMEOUT && GetCaptureWaitLimit() == 0) {
            StopLostCapture(g_hControlDialog);
        }
    }
    return lastWParam;
}
