// The least a capture costs on this platform: Tavrel's own capture session
// (the device it opens by default, the 16-block looping buffer with its
// notifications) and its read loop (MsgWaitForMultipleObjects on the event
// and the queue, then GetCurrentPosition, Lock, copy, Unlock), with no window
// and nothing drawn. scripts/bench.sh measures it beside Tavrel.
//
//   capture_floor.exe RATE SECONDS   captures for SECONDS, then prints the
//                                    block reads a second
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>

#include "capture_session.h"
#include "device_list.h"
#include "settings.h"
#include "shell_state.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: capture_floor RATE SECONDS\n");
        return 2;
    }
    const DWORD seconds = static_cast<DWORD>(std::atoi(argv[2]));
    g_hInstance = GetModuleHandleA(nullptr);
    ApplySettingDefaults(g_Settings);
    g_Settings.m_iSamplingRate = std::atoi(argv[1]);
    CoInitialize(nullptr);
    g_hNotificationEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (FAILED(OpenCaptureDevice()))
        return 1;
    g_bCapturing = true;
    if (FAILED(SwitchCapture(nullptr, true))) {
        std::fprintf(stderr, "capture_floor: the capture did not start\n");
        return 1;
    }

    const DWORD start = GetTickCount();
    long wakes = 0, reads = 0, blocks = 0;
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= seconds * 1000)
            break;
        const DWORD wake = MsgWaitForMultipleObjects(1, &g_hNotificationEvent, FALSE,
                                                     seconds * 1000 - elapsed, QS_ALLINPUT);
        if (wake == WAIT_OBJECT_0) {
            const HRESULT hr = ReadCapturedBlocks();
            if (FAILED(hr))
                return 1;
            ++wakes;
            if (hr == S_OK) {
                ++reads;
                blocks += g_iCountOfPCMData / static_cast<long>(GetFramesPerBlock());
            }
        } else if (wake == WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
        }
    }
    StopCapturing(nullptr);
    ReleaseCaptureObjects();
    CloseHandle(g_hNotificationEvent);
    CoUninitialize();
    const double s = seconds;
    std::printf("capture floor: %.1f wakes, %.1f reads, %.1f blocks a second\n", wakes / s,
                reads / s, blocks / s);
    return 0;
}
