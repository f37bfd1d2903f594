// The real block step under Wine: the control dialog with its four display
// windows shown, a capture running on the in-memory DirectSound double, and
// for each block the read, the counter, the sweep and UM_NEWDATA to every
// window (RunBlockStep). Prints the wall time per step (median, 99th
// percentile) and the CPU time per step times the block rate as a share of
// one core.
//
//   wine_block_step_bench.exe [blocks] [detail]   (default 3000 blocks per rate;
//   "detail" times the parts of the step one by one)
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "shell_state.h"
#include "block_step.h"
#include "settings.h"
#include "sweep.h"
#include "capture_session.h"
#include "device_list.h"
#include "control_dialog.h"
#include "resource.h"
#include "fake_dsound.h"
#include "display_frame.h"

namespace {

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER frequency)
{
    return static_cast<double>(b.QuadPart - a.QuadPart) / frequency.QuadPart;
}

double ThreadCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto value = [](FILETIME t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime) * 1e-7;
    };
    return value(kernel) + value(user);
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A two-tone signal, different per channel, so every window has work.
void FillBlock(std::vector<short>& frames, int frameCount, long long start, int rate)
{
    frames.resize(static_cast<size_t>(frameCount) * 2);
    const double pi = 3.141592653589793;
    for (int i = 0; i < frameCount; ++i) {
        const double t = static_cast<double>(start + i) / rate;
        frames[2 * i] = static_cast<short>(12000 * std::sin(2 * pi * 440 * t) +
                                           4000 * std::sin(2 * pi * 5000 * t));
        frames[2 * i + 1] = static_cast<short>(20000 * std::sin(2 * pi * 1000 * t + 0.3));
    }
}

// Where the time of a step goes: the same step as RunBlockStep, each part
// timed on its own (medians in ms).
struct StepParts {
    std::vector<double> read, counter, window[4];
};

void DetailedStep(StepParts& parts, LARGE_INTEGER frequency)
{
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    ReadCapturedBlocks();
    QueryPerformanceCounter(&b);
    parts.read.push_back(Seconds(a, b, frequency));
    a = b;
    UpdateCounterText(g_hControlDialog);
    AdvanceSweepPosition();
    QueryPerformanceCounter(&b);
    parts.counter.push_back(Seconds(a, b, frequency));
    const HWND windows[4] = {g_hWaveWindow, g_hResurgeWindow, g_hDecibelWindow, g_hFFTWindow};
    for (int i = 0; i < 4; ++i) {
        QueryPerformanceCounter(&a);
        SendMessageA(windows[i], UM_NEWDATA, 0, 0);
        QueryPerformanceCounter(&b);
        parts.window[i].push_back(Seconds(a, b, frequency));
    }
}

double MedianMs(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2] * 1e3;
}

void RunRate(FakeDirectSoundCapture* fake, int rate, int blocks, bool detail)
{
    // The start command: flag, sweep reset, UM_CLEAR to all four, the switch.
    g_Settings.m_iSamplingRate = rate;
    SendMessageA(g_hControlDialog, WM_COMMAND, MAKEWPARAM(IDC_STARTSTOP, 0), 0);
    FakeCaptureBuffer* buffer = fake->LastBuffer();
    if (!g_bCapturing || !buffer || !g_pPCMData) {
        std::printf("%d Hz: the capture did not start\n", rate);
        return;
    }
    const DWORD blockBytes = GetNotificationSize();
    const int frameCount = static_cast<int>(blockBytes / 4);
    const DWORD ring = GetCaptureBufferSize();
    std::vector<short> frames;
    StepParts parts;
    std::vector<double> wall;
    wall.reserve(blocks);
    LARGE_INTEGER frequency, t0, t1;
    QueryPerformanceFrequency(&frequency);

    DWORD writeOffset = 0;
    long long sample = 0;
    const double cpu0 = ThreadCpuSeconds();
    LARGE_INTEGER all0, all1;
    QueryPerformanceCounter(&all0);
    for (int k = 0; k < blocks; ++k) {
        FillBlock(frames, frameCount, sample, rate);
        sample += frameCount;
        buffer->WriteFrames(writeOffset, frames.data(), frameCount);
        writeOffset = (writeOffset + blockBytes) % ring;
        buffer->readPosition = writeOffset;
        buffer->capturePosition = writeOffset;
        QueryPerformanceCounter(&t0);
        if (detail)
            DetailedStep(parts, frequency);
        else
            RunBlockStep();
        QueryPerformanceCounter(&t1);
        wall.push_back(Seconds(t0, t1, frequency));
        // Input and system repaints wait between blocks, as in the main loop.
        Pump();
    }
    QueryPerformanceCounter(&all1);
    const double cpu = ThreadCpuSeconds() - cpu0;
    // The filling and pumping are in the CPU figure too: it is an upper bound.
    std::sort(wall.begin(), wall.end());
    const double median = wall[wall.size() / 2] * 1e3;
    const double p99 = wall[std::min(wall.size() - 1, wall.size() * 99 / 100)] * 1e3;
    const double perStep = cpu / blocks;
    std::printf("%6d Hz, %d frames per block, %d blocks: median %.3f ms, p99 %.3f ms, "
                "max %.3f ms; CPU %.3f ms per step -> %.1f %% of a core at 120 blocks/s "
                "(wall total %.2f s)\n",
                rate, frameCount, blocks, median, p99, wall.back() * 1e3, perStep * 1e3,
                perStep * 120 * 100, Seconds(all0, all1, frequency));
    if (detail)
        std::printf("        read %.3f, counter+sweep %.3f, Wave %.3f, X-Y %.3f, Decibel %.3f, "
                    "FFT %.3f (median ms)\n",
                    MedianMs(parts.read), MedianMs(parts.counter), MedianMs(parts.window[0]),
                    MedianMs(parts.window[1]), MedianMs(parts.window[2]),
                    MedianMs(parts.window[3]));
    std::fflush(stdout);
    SendMessageA(g_hControlDialog, WM_COMMAND, MAKEWPARAM(IDC_STARTSTOP, 0), 0);
}

}  // namespace

int main(int argc, char** argv)
{
    const int blocks = argc > 1 ? std::atoi(argv[1]) : 3000;
    const bool detail = argc > 2 && std::strcmp(argv[2], "detail") == 0;
    g_hInstance = GetModuleHandleA(nullptr);
    ApplySettingDefaults(g_Settings);
    // All four shown, apart from each other on the screen.
    g_Settings.m_WaveWindowXPos = 10;
    g_Settings.m_WaveWindowYPos = 100;
    g_Settings.m_DecibelWindowXPos = 10;
    g_Settings.m_DecibelWindowYPos = 420;
    g_Settings.m_FFTWindowXPos = 420;
    g_Settings.m_FFTWindowYPos = 420;
    g_Settings.m_ResurgeWindowXPos = 420;
    g_Settings.m_ResurgeWindowYPos = 100;
    g_Settings.m_CtrlDlgWindowXPos = 800;
    g_Settings.m_CtrlDlgWindowYPos = 10;
    g_hNotificationEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    FakeDirectSoundCapture* fake = new FakeDirectSoundCapture;
    g_pDirectSoundCapture = fake;

    g_hControlDialog = CreateDialogParamA(g_hInstance, MAKEINTRESOURCEA(IDD_CONTROL), nullptr,
                                          ControlDialogProc, 0);
    if (!g_hControlDialog) {
        std::printf("no control dialog\n");
        return 1;
    }
    ShowWindow(g_hControlDialog, SW_SHOW);
    Pump();

    RunRate(fake, 48000, blocks, detail);
    RunRate(fake, 96000, blocks, detail);

    // Not SaveOnExit: the benchmark leaves the registry alone.
    g_bCapturing = false;
    SwitchCapture(false);
    return 0;
}
