// The capture session against the DirectSound test double: start and stop,
// the geometry handed to DirectSound, the read path and the dialog texts.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell_state.h"
#include "settings.h"
#include "capture_session.h"
#include "device_list.h"
#include "resource.h"
#include "tests/wine/support/fake_dsound.h"
#include "tests/wine/support/modal_driver.h"

namespace {

// At 48000 Hz: blocks of 1600 bytes (400 frames), 16 of them in the ring.
const DWORD kBlock = 1600, kRing = 25600;
const int kFrames = 400, kRingFrames = 6400;

// The count, and frames from ring frame `first` on, in ring order (frame p of
// the ring holds left p, right -p).
::testing::AssertionResult Delivered(int first, int count)
{
    if (g_iCountOfPCMData != count)
        return ::testing::AssertionFailure() << g_iCountOfPCMData << " frames, expected " << count;
    for (int i = 0; i < count; ++i) {
        const short p = short((first + i) % kRingFrames);
        if (g_pPCMData[2 * i] != p || g_pPCMData[2 * i + 1] != -p)
            return ::testing::AssertionFailure() << "frame " << i << " is not ring frame " << p;
    }
    return ::testing::AssertionSuccess();
}

class CaptureSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_Settings.m_iSamplingRate = 48000;
        g_Settings.m_bSkipAllProcessIfOverLoad = false;
        dialog_ = CreateWindowExA(0, "STATIC", "control", WS_OVERLAPPED, 0, 0, 300, 100, nullptr,
                                  nullptr, nullptr, nullptr);
        ASSERT_NE(dialog_, nullptr);
        for (int id : {IDC_STARTSTOP, IDC_COUNTER, IDC_FORMAT})
            CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 200, 20, dialog_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        g_hControlDialog = dialog_;
        g_hNotificationEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        g_pDirectSoundCapture = &fake_;
    }

    void TearDown() override
    {
        EXPECT_EQ(Stop(), S_OK);
        ReleaseCaptureObjects();
        // Every interface taken was released as often.
        EXPECT_EQ(fake_.refs, 0);
        for (const auto& b : fake_.buffers)
            EXPECT_EQ(b->refs, 0);
        CloseHandle(g_hNotificationEvent);
        DestroyWindow(dialog_);
    }

    // As the control dialog does: the flag first, then the switch. The ring
    // is filled with its own frame numbers.
    FakeCaptureBuffer* Start(HRESULT expected = S_OK)
    {
        g_bCapturing = true;
        EXPECT_EQ(SwitchCapture(true), expected);
        FakeCaptureBuffer* b = fake_.LastBuffer();
        short* ring = b && b->bytes.size() == kRing ? reinterpret_cast<short*>(b->bytes.data()) : nullptr;
        for (int p = 0; ring && p < kRingFrames; ++p)
            ring[2 * p] = short(p), ring[2 * p + 1] = short(-p);
        return b;
    }
    HRESULT Stop()
    {
        g_bCapturing = false;
        return SwitchCapture(false);
    }

    HWND dialog_ = nullptr;
    FakeDirectSoundCapture fake_;
};

TEST_F(CaptureSession, StartSetsUpSixteenBlocksWithTheirNotificationsAndBuffers)
{
    FakeCaptureBuffer* b = Start();
    ASSERT_NE(b, nullptr);  // the fake takes only a dwSize of sizeof(DSCBUFFERDESC)
    EXPECT_EQ(b->desc.dwBufferBytes, kRing);
    const WAVEFORMATEX pcm = {WAVE_FORMAT_PCM, 2, 48000, 192000, 4, 16, 0};
    EXPECT_EQ(std::memcmp(&b->format, &pcm, sizeof(pcm)), 0);
    ASSERT_EQ(b->positions.size(), 16u);
    for (DWORD k = 0; k < 16; ++k) {
        EXPECT_EQ(b->positions[k].dwOffset, kBlock * (k + 1) - 1);
        EXPECT_EQ(b->positions[k].hEventNotify, g_hNotificationEvent);
    }
    EXPECT_TRUE(b->started);
    EXPECT_EQ(b->startFlags, DWORD(DSCBSTART_LOOPING));
    EXPECT_EQ(HeapSize(GetProcessHeap(), 0, g_pPCMData), kRing);
    EXPECT_EQ(HeapSize(GetProcessHeap(), 0, g_pSpectrumWork), 32 * kRing);
    EXPECT_EQ(ItemText(dialog_, IDC_STARTSTOP), "停止(Space)");
    EXPECT_EQ(ItemText(dialog_, IDC_FORMAT), "48000 Hz, 16-bit Stereo");

    // A failed GetFormat shows the zeroed record.
    ASSERT_EQ(Stop(), S_OK);
    fake_.onCreate = [](FakeCaptureBuffer& b) { b.getFormatResult = DSERR_INVALIDPARAM; };
    Start();
    EXPECT_EQ(ItemText(dialog_, IDC_FORMAT), "0 Hz, 0-bit Stereo");
}

enum Fault { kNone, kPositionFails, kLockFails, kLockOverstates };

// Frames captured before a read, a fault of that read, and what it gives.
struct ReadStep { int captured; Fault fault; HRESULT hr; int count, first; };
struct ReadCase { const char* what; bool skipIfOverload; std::vector<ReadStep> steps; };
const ReadCase kReadCases[] = {
    {"one block at a time", false,
     {{0, kNone, S_FALSE, 0, 0}, {575, kNone, S_OK, 400, 0}, {225, kNone, S_OK, 400, 400}}},
    {"a backlog of three blocks", false, {{1201, kNone, S_OK, 1200, 0}}},
    // The read offset has passed the two newer blocks: they are never seen.
    {"overload cut", true, {{1200, kNone, S_OK, 400, 0}, {400, kNone, S_OK, 400, 1200}}},
    // 14 blocks, then three more: two at the ring's end, one at its start.
    {"wrapping range", false,
     {{5600, kNone, S_OK, 5600, 0}, {1225, kNone, S_OK, 1200, 5600}, {375, kNone, S_OK, 400, 6800}}},
    {"no whole block", false, {{400, kNone, S_OK, 400, 0}, {399, kNone, S_FALSE, 400, 0}}},
    // A failure passes up changing nothing; the block comes with the next read.
    // Too much locked data is refused before anything is copied or counted.
    {"failures", false,
     {{400, kNone, S_OK, 400, 0}, {400, kPositionFails, DSERR_NODRIVER, 400, 0},
      {0, kNone, S_OK, 400, 400}, {400, kLockFails, DSERR_INVALIDCALL, 400, 400},
      {0, kNone, S_OK, 400, 800}, {400, kLockOverstates, E_FAIL, 400, 800},
      {0, kNone, S_OK, 400, 1200}}},
};

TEST_F(CaptureSession, ReadDeliversWholeBlocksInTimeOrder)
{
    for (const ReadCase& c : kReadCases) {
        g_Settings.m_bSkipAllProcessIfOverLoad = c.skipIfOverload;
        FakeCaptureBuffer* b = Start();
        for (size_t i = 0; i < c.steps.size(); ++i) {
            SCOPED_TRACE(::testing::Message() << c.what << ", step " << i);
            const ReadStep& s = c.steps[i];
            b->readPosition = (b->readPosition + 4 * s.captured) % kRing;
            b->positionResult = s.fault == kPositionFails ? DSERR_NODRIVER : S_OK;
            b->lockResult = s.fault == kLockFails ? DSERR_INVALIDCALL : S_OK;
            b->lockOverstate = s.fault == kLockOverstates ? kRing : 0;
            const std::vector<short> before(g_pPCMData, g_pPCMData + kRing / 2);
            MessageBoxAnswerer boxes;
            EXPECT_EQ(ReadCapturedBlocks(), s.hr);
            EXPECT_TRUE(Delivered(s.first, s.count));
            EXPECT_TRUE(s.hr == S_OK || std::equal(before.begin(), before.end(), g_pPCMData));
            EXPECT_FALSE(b->locked);
            EXPECT_EQ(b->badUnlocks, 0);
            for (const SeenMessageBox& box : boxes.Seen())
                EXPECT_EQ(box.caption + ": " + box.text,
                          "fatal error: Buffer overflow. too many g_iCountOfPCMData");
            EXPECT_EQ(boxes.Seen().size(), s.fault == kLockOverstates ? 1u : 0u);
        }
        ASSERT_EQ(Stop(), S_OK);
    }
}

TEST_F(CaptureSession, StopReadsTheLastBlocksThenFreesAndReleasesAllButTheDevice)
{
    EXPECT_EQ(Stop(), S_OK);  // nothing running: only the button text
    EXPECT_EQ(ItemText(dialog_, IDC_STARTSTOP), "開始(Space)");
    EXPECT_EQ(fake_.createCalls, 0);

    FakeCaptureBuffer* b = Start();
    b->readPosition = 2 * kBlock;
    EXPECT_EQ(Stop(), S_OK);
    EXPECT_EQ(b->lockCalls, 1);
    EXPECT_FALSE(b->started);
    EXPECT_EQ(b->refs, 0);
    EXPECT_TRUE(!g_pPCMData && !g_pSpectrumWork && !g_pCaptureBuffer && !g_pCaptureNotify);
    EXPECT_EQ(g_iCountOfPCMData, 0);
    EXPECT_EQ(fake_.refs, 1);
    EXPECT_EQ(ItemText(dialog_, IDC_STARTSTOP), "開始(Space)");
    EXPECT_EQ(ReadCapturedBlocks(), S_FALSE);
}

TEST_F(CaptureSession, StopCleansUpAStartThatFailedHalfWayOrHadNoCaptureObject)
{
    HRESULT FakeCaptureBuffer::*const failing[] = {&FakeCaptureBuffer::startResult,
                                                   &FakeCaptureBuffer::queryNotifyResult,
                                                   &FakeCaptureBuffer::setPositionsResult};
    for (auto field : failing) {
        fake_.onCreate = [field](FakeCaptureBuffer& b) { b.*field = DSERR_GENERIC; };
        Start(DSERR_GENERIC);
        EXPECT_EQ(Stop(), S_OK);
        EXPECT_EQ(fake_.LastBuffer()->refs, 0);
        EXPECT_TRUE(!g_pPCMData && !g_pSpectrumWork && !g_pCaptureBuffer);
    }
    ReleaseCaptureObjects();
    Start(E_FAIL);
    EXPECT_EQ(fake_.createCalls, 3);
    EXPECT_TRUE(!g_pCaptureBuffer && !g_pPCMData && !g_pSpectrumWork);
}

TEST_F(CaptureSession, AFailedCreationLeavesNoCaptureObjectAndNoGeometry)
{
    Start();
    ASSERT_EQ(Stop(), S_OK);
    ASSERT_EQ(GetNotificationSize(), kBlock);
    const GUID nowhere = {0x7a0e1f3b, 0x51c2, 0x4d0e, {0x9b, 0x1a, 0x22, 0x5e, 0x61, 0x0f, 0x3d, 0x44}};
    EXPECT_TRUE(FAILED(CreateCaptureObject(&nowhere)));
    EXPECT_FALSE(HasCaptureObject());
    EXPECT_EQ(fake_.refs, 0);  // the earlier capture object was released
    EXPECT_EQ(GetNotificationSize(), 0u);
    EXPECT_EQ(GetCaptureBufferSize(), 0u);
}

// A freed block is no longer valid unless it was handed out again.
TEST_F(CaptureSession, StartingAgainAfterAFailedStopFreesTheEarlierBuffers)
{
    fake_.onCreate = [](FakeCaptureBuffer& b) { b.stopResult = DSERR_GENERIC; };
    Start();
    EXPECT_EQ(Stop(), DSERR_GENERIC);  // leaves everything
    void* const earlier[] = {g_pPCMData, g_pSpectrumWork};
    Start();
    for (void* p : earlier)
        EXPECT_TRUE(p == g_pPCMData || p == g_pSpectrumWork || !HeapValidate(GetProcessHeap(), 0, p));
    fake_.LastBuffer()->stopResult = S_OK;
}

// The only test that calls UpdateCounterText: its state is process-wide.
TEST_F(CaptureSession, CounterStartsAtZeroAndKeepsCountingAcrossStopAndStart)
{
    UpdateCounterText(dialog_);
    EXPECT_EQ(ItemText(dialog_, IDC_COUNTER), "カウンタ: 0 秒数:0");
    Start();
    UpdateCounterText(dialog_);
    ASSERT_EQ(Stop(), S_OK);
    Sleep(1100);
    Start();
    UpdateCounterText(dialog_);
    // Two steps before; the pause counts in the seconds.
    const std::string text = ItemText(dialog_, IDC_COUNTER), prefix = "カウンタ: 2 秒数:";
    ASSERT_EQ(text.compare(0, prefix.size(), prefix), 0) << text;
    EXPECT_GE(std::stoi(text.substr(prefix.size())), 1) << text;
}

}  // namespace
