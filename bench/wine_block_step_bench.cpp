// The real block step under Wine: the control dialog with its four display
// windows shown, a capture running on the in-memory DirectSound double, and
// for each block the read, the counter, the sweep and UM_NEWDATA to every
// window (RunBlockStep). Prints the wall time per step (median, 99th
// percentile) and the CPU time per step times the block rate as a share of
// one core, and the same for four bare paint cycles (InvalidateRect,
// BeginPaint and EndPaint on the four windows, nothing drawn), the unit in
// which figures from machines of different speed compare.
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

#include "block_step.h"
#include "capture_session.h"
#include "control_dialog.h"
#include "counter_text.h"
#include "device_list.h"
#include "display_frame.h"
#include "fake_dsound.h"
#include "resource.h"
#include "settings.h"
#include "shell_state.h"
#include "sweep.h"

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

// One second of a two-tone signal, different per channel, so every window
// has work; made before the timing starts.
std::vector<short> MakeSignal(int rate)
{
    std::vector<short> frames(static_cast<size_t>(rate) * 2);
    const double pi = 3.141592653589793;
    for (int i = 0; i < rate; ++i) {
        const double t = static_cast<double>(i) / rate;
        frames[2 * i] = static_cast<short>(12000 * std::sin(2 * pi * 440 * t) +
                                           4000 * std::sin(2 * pi * 5000 * t));
        frames[2 * i + 1] = static_cast<short>(20000 * std::sin(2 * pi * 1000 * t + 0.3));
    }
    return frames;
}

struct Figures {
    double median, p99, max, cpuPerStep;
};

Figures Summarise(std::vector<double> wall, double cpu)
{
    std::sort(wall.begin(), wall.end());
    return {wall[wall.size() / 2] * 1e3,
            wall[std::min(wall.size() - 1, wall.size() * 99 / 100)] * 1e3, wall.back() * 1e3,
            cpu / wall.size() * 1e3};
}

// What every block cost under Wine before the back buffers: the paint
// cycle of the four windows with nothing drawn in it.
Figures BarePaintCycles(int blocks, LARGE_INTEGER frequency)
{
    const HWND windows[4] = {g_hWaveWindow, g_hResurgeWindow, g_hDecibelWindow, g_hFFTWindow};
    std::vector<double> wall;
    const double cpu0 = ThreadCpuSeconds();
    for (int k = 0; k < blocks; ++k) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        for (HWND w : windows) {
            PAINTSTRUCT paint;
            InvalidateRect(w, nullptr, FALSE);
            BeginPaint(w, &paint);
            EndPaint(w, &paint);
        }
        QueryPerformanceCounter(&t1);
        wall.push_back(Seconds(t0, t1, frequency));
        Pump();
    }
    return Summarise(wall, ThreadCpuSeconds() - cpu0);
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
    const std::vector<short> signal = MakeSignal(rate);
    StepParts parts;
    std::vector<double> wall;
    wall.reserve(blocks);
    LARGE_INTEGER frequency, t0, t1;
    QueryPerformanceFrequency(&frequency);
    const Figures bare = BarePaintCycles(blocks, frequency);

    DWORD writeOffset = 0;
    const double cpu0 = ThreadCpuSeconds();
    for (int k = 0; k < blocks; ++k) {
        const size_t start = static_cast<size_t>(k % (rate / frameCount)) * frameCount * 2;
        buffer->WriteFrames(writeOffset, signal.data() + start, frameCount);
        writeOffset = (writeOffset + blockBytes) % ring;
        buffer->readPosition = writeOffset;
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
    // The pumping is in the CPU figure too: it is an upper bound.
    const Figures step = Summarise(wall, ThreadCpuSeconds() - cpu0);
    std::printf("%6d Hz, %d frames per block, %d blocks:\n", rate, frameCount, blocks);
    for (const auto& [name, f] : {std::pair<const char*, const Figures&>{"block step", step},
                                  {"4 bare paint cycles", bare}})
        std::printf("  %-20s median %.3f ms, p99 %.3f ms, max %.3f ms; CPU %.3f ms -> %.1f %% "
                    "of a core at 120 blocks/s\n",
                    name, f.median, f.p99, f.max, f.cpuPerStep, f.cpuPerStep * 120 / 10);
    std::printf("  block step / bare paint cycles: %.2f x (median), %.2f x (CPU)\n",
                step.median / bare.median, step.cpuPerStep / bare.cpuPerStep);
    if (detail)
        std::printf("  parts: read %.3f, counter+sweep %.3f, Wave %.3f, X-Y %.3f, Decibel %.3f, "
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
    StopCapturing(g_hControlDialog);
    return 0;
}
