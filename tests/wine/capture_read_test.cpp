// The capture session against the DirectSound test double: starting and
// stopping, the geometry handed to DirectSound, the read path with its
// whole blocks, wrap, overload cut and failures, and the dialog texts.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/settings.h"
#include "capture/capture_session.h"
#include "capture/device_list.h"
#include "res/resource.h"
#include "tests/wine/support/fake_dsound.h"
#include "tests/wine/support/modal_driver.h"

namespace {

// At 48000 Hz: blocks of 1600 bytes (400 frames) in a ring of 25600 bytes.
const DWORD kBlock = 1600;
const DWORD kRing = 25600;
const int kFramesPerBlock = 400;

// Frames stamped with their time: left = t, right = -t (mod 2^16).
std::vector<short> Stamped(int firstTime, int count)
{
    std::vector<short> frames(2 * count);
    for (int i = 0; i < count; ++i) {
        frames[2 * i] = static_cast<short>(firstTime + i);
        frames[2 * i + 1] = static_cast<short>(-(firstTime + i));
    }
    return frames;
}

// The delivered frames carry times first, first + 1, ... without a gap.
::testing::AssertionResult DeliveredInTimeOrder(int first, int count)
{
    for (int i = 0; i < count; ++i) {
        const short left = g_pPCMData[2 * i];
        const short right = g_pPCMData[2 * i + 1];
        if (left != static_cast<short>(first + i) || right != static_cast<short>(-(first + i)))
            return ::testing::AssertionFailure()
                   << "frame " << i << " holds " << left << "/" << right << ", expected time "
                   << first + i;
    }
    return ::testing::AssertionSuccess();
}

// Bytes in use on the process heap, large blocks included.
SIZE_T HeapBytesInUse()
{
    HANDLE heap = GetProcessHeap();
    SIZE_T total = 0;
    PROCESS_HEAP_ENTRY entry;
    entry.lpData = nullptr;
    HeapLock(heap);
    while (HeapWalk(heap, &entry))
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
            total += entry.cbData;
    HeapUnlock(heap);
    return total;
}

class CaptureSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_Settings.m_iSamplingRate = 48000;
        g_Settings.m_bSkipAllProcessIfOverLoad = false;
        g_bCapturing = false;
        dialog_ = CreateWindowExA(0, "STATIC", "control", WS_OVERLAPPED, 0, 0, 300, 100, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(dialog_, nullptr);
        CreateChild("BUTTON", "開始(Space)", IDC_STARTSTOP);
        CreateChild("STATIC", "", IDC_COUNTER);
        CreateChild("STATIC", "", IDC_FORMAT);
        g_hControlDialog = dialog_;
        g_hNotificationEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        fake_ = new FakeDirectSoundCapture;
        g_pDirectSoundCapture = fake_;
    }

    void TearDown() override
    {
        if (!fake_)
            return;
        if (FakeCaptureBuffer* buffer = fake_->LastBuffer()) {
            buffer->stopResult = S_OK;
            buffer->positionResult = S_OK;
            buffer->lockResult = S_OK;
            buffer->forcedLength1 = 0;
            buffer->forcedLength2 = 0;
        }
        g_bCapturing = false;
        EXPECT_EQ(SwitchCapture(false), S_OK);
        ReleaseCaptureObjects();
        EXPECT_EQ(g_pDirectSoundCapture, nullptr);
        // Every interface handed out was released exactly as often as taken.
        EXPECT_EQ(fake_->refs, 0);
        for (const auto& buffer : fake_->buffers) {
            EXPECT_EQ(buffer->refs, 0);
            EXPECT_EQ(buffer->notify.refs, 0);
        }
        delete fake_;
        CloseHandle(g_hNotificationEvent);
        g_hNotificationEvent = nullptr;
        g_hControlDialog = nullptr;
        DestroyWindow(dialog_);
    }

    void CreateChild(const char* cls, const char* text, int id)
    {
        CreateWindowExA(0, cls, text, WS_CHILD, 0, 0, 100, 20, dialog_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                        nullptr);
    }

    // The control dialog's start: flag first, then the switch.
    FakeCaptureBuffer* Start()
    {
        g_bCapturing = true;
        EXPECT_EQ(SwitchCapture(true), S_OK);
        return fake_->LastBuffer();
    }

    HWND dialog_ = nullptr;
    FakeDirectSoundCapture* fake_ = nullptr;
};

TEST_F(CaptureSession, StartCreatesSixteenBlocksWithTheirNotificationsAndBuffers)
{
    FakeCaptureBuffer* buffer = Start();
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->desc.dwSize, sizeof(DSCBUFFERDESC));
    EXPECT_EQ(buffer->desc.dwFlags, 0u);
    EXPECT_EQ(buffer->desc.dwBufferBytes, kRing);
    EXPECT_EQ(buffer->desc.dwFXCount, 0u);
    EXPECT_EQ(buffer->format.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(buffer->format.nChannels, 2);
    EXPECT_EQ(buffer->format.nSamplesPerSec, 48000u);
    EXPECT_EQ(buffer->format.nAvgBytesPerSec, 192000u);
    EXPECT_EQ(buffer->format.nBlockAlign, 4);
    EXPECT_EQ(buffer->format.wBitsPerSample, 16);
    EXPECT_EQ(buffer->format.cbSize, 0);

    ASSERT_EQ(buffer->notify.positions.size(), 16u);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(buffer->notify.positions[k].dwOffset, kBlock * (k + 1) - 1);
        EXPECT_EQ(buffer->notify.positions[k].hEventNotify, g_hNotificationEvent);
    }
    EXPECT_TRUE(buffer->started);
    EXPECT_EQ(buffer->startFlags, static_cast<DWORD>(DSCBSTART_LOOPING));

    ASSERT_NE(g_pPCMData, nullptr);
    ASSERT_NE(g_pSpectrumWork, nullptr);
    EXPECT_EQ(HeapSize(GetProcessHeap(), 0, g_pPCMData), kRing);
    EXPECT_EQ(HeapSize(GetProcessHeap(), 0, g_pSpectrumWork), 32 * kRing);
    const std::vector<char> zeros(kRing, 0);
    EXPECT_EQ(std::memcmp(g_pPCMData, zeros.data(), kRing), 0);
    EXPECT_EQ(g_iCountOfPCMData, 0);
    EXPECT_EQ(GetCaptureSamplesPerSec(), 48000u);
    EXPECT_EQ(GetFramesPerBlock(), 400u);

    EXPECT_EQ(ItemText(dialog_, IDC_STARTSTOP), "停止(Space)");
    EXPECT_EQ(ItemText(dialog_, IDC_FORMAT), "48000 Hz, 16-bit Stereo");
}

TEST_F(CaptureSession, OneBlockIsDeliveredAsFourHundredFrames)
{
    FakeCaptureBuffer* buffer = Start();
    EXPECT_EQ(ReadCapturedBlocks(), S_FALSE);  // nothing captured yet
    EXPECT_EQ(buffer->lockCalls, 0);

    buffer->WriteFrames(0, Stamped(100, 800).data(), 800);
    buffer->readPosition = kBlock + 700;  // one block and a part of the next
    EXPECT_EQ(ReadCapturedBlocks(), S_OK);
    EXPECT_EQ(buffer->lastLockOffset, 0u);
    EXPECT_EQ(buffer->lastLockBytes, kBlock);
    EXPECT_EQ(g_iCountOfPCMData, kFramesPerBlock);
    EXPECT_TRUE(DeliveredInTimeOrder(100, kFramesPerBlock));
    EXPECT_EQ(buffer->unlockCalls, 1);
    EXPECT_TRUE(buffer->unlockMatchedLock);

    buffer->readPosition = 2 * kBlock;
    EXPECT_EQ(ReadCapturedBlocks(), S_OK);
    EXPECT_EQ(buffer->lastLockOffset, kBlock);
    EXPECT_TRUE(DeliveredInTimeOrder(500, kFramesPerBlock));
}

TEST_F(CaptureSession, ABacklogOfThreeBlocksComesInOneRead)
{
    FakeCaptureBuffer* buffer = Start();
    buffer->WriteFrames(0, Stamped(0, 1600).data(), 1600);
    buffer->readPosition = 3 * kBlock + 4;
    EXPECT_EQ(ReadCapturedBlocks(), S_OK);
    EXPECT_EQ(g_iCountOfPCMData, 3 * kFramesPerBlock);
    EXPECT_TRUE(DeliveredInTimeOrder(0, 3 * kFramesPerBlock));
}

TEST_F(CaptureSession, UnderOverloadOnlyTheOldestBlockOfABacklogIsDelivered)
{
    g_Settings.m_bSkipAllProcessIfOverLoad = true;
    FakeCaptureBuffer* buffer = Start();
    buffer->WriteFrames(0, Stamped(0, 1600).data(), 1600);
    buffer->readPosition = 3 * kBlock;
    EXPECT_EQ(ReadCapturedBlocks(), S_OK);
    EXPECT_EQ(g_iCountOfPCMData, kFramesPerBlock);
    EXPECT_TRUE(DeliveredInTimeOrder(0, kFramesPerBlock));
    // The read offset has passed the two newer blocks: they are never seen.
    buffer->readPosition = 4 * kBlock;
    EXPECT_EQ(ReadCapturedBlocks(), S_OK);
    EXPECT_EQ(buffer->lastLockOffset, 3 * kBlock);
    EXPECT_EQ(g_iCountOfPCMData, kFramesPerBlock);
    EXPECT_TRUE(DeliveredInTimeOrder(1200, kFramesPerBlock));
}

TEST_F(CaptureSession, AWrappingRangeIsJoinedInTimeOrder)
{
    FakeCaptureBuffer* buffer = Start();
    buffer->readPosition = 14 * kBlock;
    EXPECT_EQ(ReadCapturedBlocks(), S_OK);
    EXPECT_EQ(g_iCountOfPCMData, 14 * kFramesPerBlock);

    // The next three blocks: two at the end of the ring, one at its start.
    buffer->WriteFrames(14 * kBlock, Stamped(20000, 1200).data(), 1200);
    buffer->readPosition = kBlock + 100;
    EXPECT_EQ(ReadCapturedBlocks(), S_OK);
    EXPECT_EQ(buffer->lastLockOffset, 14 * kBlock);
    EXPECT_EQ(buffer->lastLockBytes, 3 * kBlock);
    EXPECT_EQ(g_iCountOfPCMData, 3 * kFramesPerBlock);
    EXPECT_TRUE(DeliveredInTimeOrder(20000, 3 * kFramesPerBlock));
    EXPECT_TRUE(buffer->unlockMatchedLock);

    // The read offset went round with it.
    buffer->WriteFrames(kBlock, Stamped(21200, 400).data(), 400);
    buffer->readPosition = 2 * kBlock;
    EXPECT_EQ(ReadCapturedBlocks(), S_OK);
    EXPECT_EQ(buffer->lastLockOffset, kBlock);
    EXPECT_TRUE(DeliveredInTimeOrder(21200, kFramesPerBlock));
}

TEST_F(CaptureSession, NoWholeBlockLeavesBufferAndCountAsTheyWere)
{
    FakeCaptureBuffer* buffer = Start();
    buffer->WriteFrames(0, Stamped(7, 400).data(), 400);
    buffer->readPosition = kBlock;
    ASSERT_EQ(ReadCapturedBlocks(), S_OK);
    const std::vector<char> before(reinterpret_cast<char*>(g_pPCMData),
                                   reinterpret_cast<char*>(g_pPCMData) + kRing);

    buffer->WriteFrames(kBlock, Stamped(9999, 399).data(), 399);
    buffer->readPosition = 2 * kBlock - 4;  // one frame short of a block
    EXPECT_EQ(ReadCapturedBlocks(), S_FALSE);
    EXPECT_EQ(buffer->lockCalls, 1);
    EXPECT_EQ(g_iCountOfPCMData, kFramesPerBlock);
    EXPECT_EQ(std::memcmp(g_pPCMData, before.data(), kRing), 0);
}

TEST_F(CaptureSession, AFailedPositionQueryPassesUp)
{
    FakeCaptureBuffer* buffer = Start();
    buffer->readPosition = kBlock;
    ASSERT_EQ(ReadCapturedBlocks(), S_OK);
    buffer->positionResult = DSERR_NODRIVER;
    buffer->readPosition = 2 * kBlock;
    EXPECT_EQ(ReadCapturedBlocks(), DSERR_NODRIVER);
    EXPECT_EQ(buffer->lockCalls, 1);
    EXPECT_EQ(g_iCountOfPCMData, kFramesPerBlock);
}

TEST_F(CaptureSession, AFailedLockPassesUpWithoutUnlock)
{
    FakeCaptureBuffer* buffer = Start();
    buffer->lockResult = DSERR_INVALIDCALL;
    buffer->readPosition = kBlock;
    EXPECT_EQ(ReadCapturedBlocks(), DSERR_INVALIDCALL);
    EXPECT_EQ(buffer->unlockCalls, 0);
    EXPECT_EQ(g_iCountOfPCMData, 0);
    // The read offset did not move: the block comes with the next read.
    buffer->lockResult = S_OK;
    EXPECT_EQ(ReadCapturedBlocks(), S_OK);
    EXPECT_EQ(buffer->lastLockOffset, 0u);
}

TEST_F(CaptureSession, TooMuchLockedDataIsRefusedBeforeCopyingAndStillUnlocked)
{
    FakeCaptureBuffer* buffer = Start();
    buffer->readPosition = kBlock;
    ASSERT_EQ(ReadCapturedBlocks(), S_OK);
    const std::vector<char> before(reinterpret_cast<char*>(g_pPCMData),
                                   reinterpret_cast<char*>(g_pPCMData) + kRing);

    // A driver that hands out more than the ring holds.
    buffer->forcedLength1 = kRing;
    buffer->forcedLength2 = kBlock;
    buffer->readPosition = 2 * kBlock;
    MessageBoxAnswerer boxes;
    EXPECT_EQ(ReadCapturedBlocks(), E_FAIL);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, "Buffer overflow. too many g_iCountOfPCMData");
    EXPECT_EQ(boxes.Seen()[0].caption, "fatal error");
    EXPECT_EQ(boxes.Seen()[0].owner, dialog_);
    EXPECT_EQ(buffer->unlockCalls, 2);
    EXPECT_TRUE(buffer->unlockMatchedLock);
    EXPECT_EQ(g_iCountOfPCMData, kFramesPerBlock);
    EXPECT_EQ(std::memcmp(g_pPCMData, before.data(), kRing), 0);
}

TEST_F(CaptureSession, StopReadsTheLastBlocksThenFreesAndReleasesButKeepsTheDevice)
{
    FakeCaptureBuffer* buffer = Start();
    buffer->readPosition = 2 * kBlock;
    g_bCapturing = false;
    EXPECT_EQ(SwitchCapture(false), S_OK);
    EXPECT_EQ(buffer->stopCalls, 1);
    EXPECT_EQ(buffer->lockCalls, 1);
    EXPECT_EQ(buffer->unlockCalls, 1);
    EXPECT_EQ(g_pPCMData, nullptr);
    EXPECT_EQ(g_pSpectrumWork, nullptr);
    EXPECT_EQ(g_iCountOfPCMData, 0);
    EXPECT_EQ(g_pCaptureBuffer, nullptr);
    EXPECT_EQ(g_pCaptureNotify, nullptr);
    EXPECT_EQ(buffer->refs, 0);
    EXPECT_EQ(buffer->notify.refs, 0);
    EXPECT_EQ(g_pDirectSoundCapture, fake_);
    EXPECT_EQ(fake_->refs, 1);
    EXPECT_EQ(ItemText(dialog_, IDC_STARTSTOP), "開始(Space)");
    EXPECT_EQ(ReadCapturedBlocks(), S_FALSE);
}

TEST_F(CaptureSession, StopWithNothingRunningOnlySetsTheButtonText)
{
    SetDlgItemTextA(dialog_, IDC_STARTSTOP, "x");
    EXPECT_EQ(SwitchCapture(false), S_OK);
    EXPECT_EQ(ItemText(dialog_, IDC_STARTSTOP), "開始(Space)");
    EXPECT_EQ(ItemText(dialog_, IDC_FORMAT), "");
    EXPECT_EQ(fake_->createCalls, 0);
}

TEST_F(CaptureSession, StartWithoutACaptureObjectFailsCreatingNothing)
{
    ReleaseCaptureObjects();
    ASSERT_EQ(g_pDirectSoundCapture, nullptr);
    g_bCapturing = true;
    EXPECT_EQ(SwitchCapture(true), E_FAIL);
    EXPECT_EQ(g_pCaptureBuffer, nullptr);
    EXPECT_EQ(g_pPCMData, nullptr);
    EXPECT_EQ(g_pSpectrumWork, nullptr);
    EXPECT_EQ(fake_->createCalls, 0);
    // The control dialog then clears the flag and stops.
    g_bCapturing = false;
    EXPECT_EQ(SwitchCapture(false), S_OK);
    EXPECT_EQ(ItemText(dialog_, IDC_STARTSTOP), "開始(Space)");
}

TEST_F(CaptureSession, FailedGetFormatShowsTheZeroedRecord)
{
    fake_->onCreate = [](FakeCaptureBuffer& b) { b.getFormatResult = DSERR_INVALIDPARAM; };
    Start();
    EXPECT_EQ(ItemText(dialog_, IDC_FORMAT), "0 Hz, 0-bit Stereo");
}

TEST_F(CaptureSession, StopCleansUpAStartThatFailedHalfWay)
{
    const HRESULT failures[] = {DSERR_GENERIC, E_NOINTERFACE, DSERR_INVALIDPARAM};
    for (int which = 0; which < 3; ++which) {
        SCOPED_TRACE(which);
        fake_->onCreate = [which, &failures](FakeCaptureBuffer& b) {
            if (which == 0)
                b.startResult = failures[0];
            else if (which == 1)
                b.queryNotifyResult = failures[1];
            else
                b.notify.setPositionsResult = failures[2];
        };
        g_bCapturing = true;
        EXPECT_EQ(SwitchCapture(true), failures[which]);
        FakeCaptureBuffer* buffer = fake_->LastBuffer();
        g_bCapturing = false;
        EXPECT_EQ(SwitchCapture(false), S_OK);
        EXPECT_EQ(buffer->refs, 0);
        EXPECT_EQ(buffer->notify.refs, 0);
        EXPECT_EQ(g_pPCMData, nullptr);
        EXPECT_EQ(g_pSpectrumWork, nullptr);
        EXPECT_EQ(g_pCaptureBuffer, nullptr);
    }
}

TEST_F(CaptureSession, AStartAfterAFailedStopDoesNotLeak)
{
    g_Settings.m_iSamplingRate = 96000;  // 33 x 51200 bytes per start
    Start()->stopResult = DSERR_GENERIC;
    g_bCapturing = false;
    EXPECT_EQ(SwitchCapture(false), DSERR_GENERIC);
    EXPECT_NE(g_pPCMData, nullptr);  // the failed stop left everything

    const SIZE_T before = HeapBytesInUse();
    for (int round = 0; round < 5; ++round) {
        FakeCaptureBuffer* buffer = Start();
        buffer->stopResult = DSERR_GENERIC;
        g_bCapturing = false;
        EXPECT_EQ(SwitchCapture(false), DSERR_GENERIC);
    }
    const SIZE_T after = HeapBytesInUse();
    EXPECT_GT(before, 33u * 51200u);  // the walk sees the buffers at all
    // One leaked round would be 1.7 MB; the test double's own ring is 51200.
    EXPECT_LT(after, before + 1024 * 1024) << "before " << before << " after " << after;
    for (size_t i = 0; i + 1 < fake_->buffers.size(); ++i)
        EXPECT_EQ(fake_->buffers[i]->refs, 0);
}

TEST_F(CaptureSession, RatesOutsideTheOfferedOnesStayWithinTheirBuffers)
{
    // A stored rate below 2048 Hz: 68-byte blocks.
    g_Settings.m_iSamplingRate = 1000;
    FakeCaptureBuffer* buffer = Start();
    EXPECT_EQ(buffer->desc.dwBufferBytes, 16u * 68u);
    buffer->readPosition = 16 * 68 - 1;
    EXPECT_EQ(ReadCapturedBlocks(), S_OK);
    EXPECT_EQ(g_iCountOfPCMData, 15 * 17);
    // A negative rate turns into a large unsigned one, not into a wrap.
    g_Settings.m_iSamplingRate = -1;
    WAVEFORMATEX format;
    BuildCaptureFormat(&format);
    EXPECT_EQ(format.nSamplesPerSec, 0xFFFFFFFFu);
    EXPECT_EQ(format.nAvgBytesPerSec, 0xFFFFFFFCu);
    EXPECT_EQ(format.nBlockAlign, 4);
}

// Process-wide state: the only test that calls UpdateCounterText.
TEST_F(CaptureSession, CounterStartsAtZeroAndKeepsCountingAcrossStopAndStart)
{
    UpdateCounterText(dialog_);
    EXPECT_EQ(ItemText(dialog_, IDC_COUNTER), "カウンタ: 0 秒数:0");
    UpdateCounterText(dialog_);
    EXPECT_EQ(ItemText(dialog_, IDC_COUNTER), "カウンタ: 1 秒数:0");

    Start();
    UpdateCounterText(dialog_);
    g_bCapturing = false;
    ASSERT_EQ(SwitchCapture(false), S_OK);
    Sleep(1100);
    Start();
    UpdateCounterText(dialog_);
    // Three steps before; the pause counts in the seconds.
    const std::string text = ItemText(dialog_, IDC_COUNTER);
    const std::string prefix = "カウンタ: 3 秒数:";
    ASSERT_EQ(text.compare(0, prefix.size(), prefix), 0) << text;
    EXPECT_GE(std::stoi(text.substr(prefix.size())), 1) << text;
}

}  // namespace
