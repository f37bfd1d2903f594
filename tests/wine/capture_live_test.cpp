// Real capture, end to end: the test environment's PulseAudio server plays a
// known stereo signal into its null sink "tavrel_line" (made at 48000 Hz, so
// nothing is resampled), and Tavrel's own session captures the sink's
// monitor through DirectSound under Wine, driven by a loop like the main
// loop: wait for the notification event, read the whole blocks.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/settings.h"
#include "capture/capture_session.h"
#include "capture/device_list.h"
#include "res/resource.h"
#include "tests/wine/support/e2e_pulse.h"
#include "tests/wine/support/e2e_unix.h"
#include "tests/wine/support/modal_driver.h"

namespace {

const int kRate = 48000;
const int kFramesPerBlock = 400;
const int kFramesInRing = 16 * kFramesPerBlock;
// A 1000 Hz sine repeats every 48 frames at 48000 Hz and reaches its peaks
// exactly (frames 12 and 36 of each period).
const int kPeriod = 48;
const int kLeftPeak = 16384;
const int kRightPeak = 3277;
// PulseAudio copies a single stream at full volume unchanged and nothing is
// resampled, so the samples should come back exactly; two LSB of slack.
const int kTolerance = 2;
// Long enough for three runs of the capture, each with its slow first block.
const double kSignalSeconds = 40.0;
const double kCaptureSeconds = 4.0;

bool WriteSignalFile(const std::string& unixPath)
{
    const Tone left = {1000, kLeftPeak, 0};
    const Tone right = {1000, kRightPeak, 0};
    const std::vector<short> frames =
        ToneFrames(kRate, static_cast<int>(kSignalSeconds * kRate), left, right);
    return WriteUnixFile(unixPath, frames.data(), frames.size() * sizeof(short));
}

double Seconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One read that delivered data: when, how many frames, where they start in
// the run's frames, and how long the loop had waited since its last wake.
struct Delivery {
    double time;
    int count;
    long firstFrame;
    double sincePreviousWake;
};

struct CaptureRun {
    std::vector<short> frames;  // everything delivered, in order
    std::vector<Delivery> deliveries;
    int wakes = 0;
    double firstBlockAfter = 0;  // seconds from the start to the first data
    double longestWait = 0;      // between two wakes once data flowed
};

// The loop and its reader can only be late by less than the 16 blocks of the
// ring (133 ms) before blocks are overwritten. A wait above this many
// seconds means the machine held the test or Wine's capture thread up long
// enough that losing data was possible through no fault of the reader.
const double kStarvedWait = 0.100;

class LiveCapture : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        dialog_ = CreateWindowExA(0, "STATIC", "control", WS_OVERLAPPED, 0, 0, 300, 100, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(dialog_, nullptr);
        const int ids[] = {IDC_STARTSTOP, IDC_COUNTER, IDC_FORMAT};
        for (int id : ids)
            CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 200, 20, dialog_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleA(nullptr), nullptr);
        g_hControlDialog = dialog_;
        g_hNotificationEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);

        signal_ = E2eScratchName("signal") + ".raw";
        ASSERT_TRUE(WriteSignalFile(signal_));
    }

    void TearDown() override
    {
        g_bCapturing = false;
        SwitchCapture(false);
        ReleaseCaptureObjects();
        StopPlaying();
        DeleteFileA(UnixToWinePath(signal_).c_str());
        CloseHandle(g_hNotificationEvent);
        g_hNotificationEvent = nullptr;
        g_hControlDialog = nullptr;
        DestroyWindow(dialog_);
        CoUninitialize();
    }

    // pacat in the background, on the environment's server, fed from a file
    // (it buffers two seconds ahead, so a busy machine does not starve it);
    // waits until the sink plays, then a little more for the monitor.
    void StartPlaying()
    {
        player_ = StartUnixBackground("exec pacat --playback --device=tavrel_line --format=s16le "
                                      "--rate=48000 --channels=2 --raw " + signal_);
        ASSERT_NE(player_, 0);
        const UnixResult r = RunUnix("for i in $(seq 100); do pactl list short sinks | grep -q "
                                     "'tavrel_line.*RUNNING' && exit 0; sleep 0.05; done; exit 1");
        ASSERT_EQ(r.status, 0) << "the null sink never started playing: " << r.output;
        Sleep(300);
    }

    void StopPlaying()
    {
        StopUnixBackground(player_);
        player_ = 0;
    }

    int FindMonitorDevice()
    {
        for (int i = 0; i < GetCaptureDeviceCount(); ++i)
            if (std::string(GetCaptureDeviceDescription(i)).find("TavrelLine") != std::string::npos)
                return i;
        return -1;
    }

    HWND dialog_ = nullptr;
    std::string signal_;
    int player_ = 0;
};

// Starts a capture of the monitor and runs the main loop's block step for
// kCaptureSeconds after the first data, then stops.
void CaptureFor(HWND dialog, CaptureRun* run)
{
    run->frames.reserve(static_cast<size_t>(2 * kRate * (kCaptureSeconds + 8)));
    run->deliveries.reserve(4096);
    g_bCapturing = true;
    ASSERT_EQ(SwitchCapture(true), S_OK);
    EXPECT_EQ(ItemText(dialog, IDC_FORMAT), "48000 Hz, 16-bit Stereo");

    const double started = Seconds();
    double firstData = 0;
    double lastWake = started;
    for (;;) {
        const double now = Seconds();
        if (firstData == 0 && now - started > 8.0)
            break;  // no data at all: the caller reports it
        if (firstData != 0 && now - firstData > kCaptureSeconds)
            break;
        const DWORD wake = MsgWaitForMultipleObjects(1, &g_hNotificationEvent, FALSE, 250, QS_ALLINPUT);
        if (wake == WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            continue;
        }
        if (wake != WAIT_OBJECT_0)
            continue;
        const double woke = Seconds();
        const double waited = woke - lastWake;
        lastWake = woke;
        ++run->wakes;
        if (firstData != 0 && waited > run->longestWait)
            run->longestWait = waited;
        const HRESULT hr = ReadCapturedBlocks();
        UpdateCounterText(dialog);
        ASSERT_TRUE(SUCCEEDED(hr)) << "ReadCapturedBlocks failed: 0x" << std::hex << hr;
        if (hr != S_OK)
            continue;
        if (firstData == 0) {
            firstData = woke;
            run->firstBlockAfter = woke - started;
        }
        run->deliveries.push_back(
            {woke, g_iCountOfPCMData, static_cast<long>(run->frames.size() / 2), waited});
        if (g_iCountOfPCMData > 0 && g_iCountOfPCMData <= kFramesInRing)
            run->frames.insert(run->frames.end(), g_pPCMData, g_pPCMData + 2 * g_iCountOfPCMData);
    }
    g_bCapturing = false;
    EXPECT_EQ(SwitchCapture(false), S_OK);
}

// Whether the delivery holding frame `frame` came after a starved wait.
bool StarvedBefore(const CaptureRun& run, long frame)
{
    for (size_t i = run.deliveries.size(); i-- > 0;)
        if (run.deliveries[i].firstFrame <= frame)
            return run.deliveries[i].sincePreviousWake > kStarvedWait ||
                   (i > 0 && frame - run.deliveries[i].firstFrame < kPeriod &&
                    run.deliveries[i - 1].sincePreviousWake > kStarvedWait);
    return false;
}

// Checks one run. With `strict`, nothing may be lost; otherwise only where
// the loop was starved.
void CheckRun(const CaptureRun& run, bool strict)
{
    ASSERT_GE(run.deliveries.size(), 2u) << "no blocks within 8 s (" << run.wakes << " wakes)";

    // Whole blocks, never above the bound.
    for (const Delivery& d : run.deliveries) {
        EXPECT_EQ(d.count % kFramesPerBlock, 0) << d.count;
        EXPECT_GT(d.count, 0);
        EXPECT_LE(d.count, kFramesInRing - kFramesPerBlock);
    }

    // No data lost: the frames delivered after the first delivery span the
    // time from it to the last one (the first delivery's own frames were
    // captured before it came).
    long framesAfterFirst = 0;
    for (size_t i = 1; i < run.deliveries.size(); ++i)
        framesAfterFirst += run.deliveries[i].count;
    const double span = run.deliveries.back().time - run.deliveries.front().time;
    const double expected = span * kRate;
    std::printf("live capture: %zu deliveries, %ld frames after the first in %.3f s (%.0f expected), "
                "%d wakes, first block %.3f s after the start, longest wait %.0f ms\n",
                run.deliveries.size(), framesAfterFirst, span, expected, run.wakes,
                run.firstBlockAfter, run.longestWait * 1000);
    if (strict) {
        EXPECT_GE(framesAfterFirst, expected - 4 * kFramesPerBlock);
    }
    // Nothing delivered twice.
    EXPECT_LE(framesAfterFirst, expected + 17 * kFramesPerBlock);

    // The signal: from the first frame where it is present on, every frame
    // repeats the one a period earlier (nothing is missing, doubled or out
    // of order: a block of 400 frames is no whole number of 48-frame
    // periods), and the peaks are the ones played.
    const std::vector<short>& f = run.frames;
    const long total = static_cast<long>(f.size() / 2);
    long start = 0;
    while (start < total && std::abs(f[2 * start]) < kLeftPeak / 2)
        ++start;
    ASSERT_LT(start + kRate / 2, total) << "the signal never showed up in the capture";
    start += kPeriod;
    int leftMax = -32768, leftMin = 32767, rightMax = -32768, rightMin = 32767;
    long breaks = 0;
    long firstBreak = -1;
    for (long i = start; i < total; ++i) {
        const int left = f[2 * i], right = f[2 * i + 1];
        const int leftBefore = f[2 * (i - kPeriod)], rightBefore = f[2 * (i - kPeriod) + 1];
        const bool broken = std::abs(left - leftBefore) > kTolerance ||
                            std::abs(right - rightBefore) > kTolerance;
        if (broken && (strict || !StarvedBefore(run, i)) && breaks++ == 0)
            firstBreak = i;
        leftMax = std::max(leftMax, left);
        leftMin = std::min(leftMin, left);
        rightMax = std::max(rightMax, right);
        rightMin = std::min(rightMin, right);
    }
    EXPECT_EQ(breaks, 0) << "the signal breaks first at frame " << firstBreak << " of " << total;
    EXPECT_NEAR(leftMax, kLeftPeak, kTolerance);
    EXPECT_NEAR(leftMin, -kLeftPeak, kTolerance);
    EXPECT_NEAR(rightMax, kRightPeak, kTolerance);
    EXPECT_NEAR(rightMin, -kRightPeak, kTolerance);
}

// On a busy machine the test itself, or Wine's capture thread, can be held
// up for longer than the ring lasts; data is then lost whatever the reader
// does. Such a run is tried again, up to three times; if every run was
// starved, the last is checked with its losses allowed only right after the
// starved waits.
TEST_F(LiveCapture, DeliversWholeBlocksOfTheSignalWithoutLoss)
{
    g_Settings.m_iSamplingRate = kRate;
    g_Settings.m_bSkipAllProcessIfOverLoad = false;
    g_Settings.m_iCurrentAudioDriver = 0;
    ASSERT_EQ(OpenCaptureDevice(), S_OK);
    const int monitor = FindMonitorDevice();
    ASSERT_GE(monitor, 0) << "no capture device for the null sink's monitor";
    g_Settings.m_iCurrentAudioDriver = monitor;
    ASSERT_EQ(OpenCaptureDevice(), S_OK);

    StartPlaying();
    const int kTries = 3;
    for (int attempt = 1; attempt <= kTries; ++attempt) {
        CaptureRun run;
        CaptureFor(dialog_, &run);
        if (HasFatalFailure())
            return;
        const bool starved = run.longestWait > kStarvedWait;
        if (!starved || attempt == kTries) {
            if (starved)
                std::printf("live capture: every run was starved; losses allowed after starved waits only\n");
            CheckRun(run, !starved);
            return;
        }
        std::printf("live capture: run %d starved (a wait of %.0f ms), trying again\n", attempt,
                    run.longestWait * 1000);
    }
}

}  // namespace
