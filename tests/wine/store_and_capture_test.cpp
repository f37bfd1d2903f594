// The settings record against the real registry of the test prefix, and the
// capture session against the in-memory DirectSound double.
#include <gtest/gtest.h>

#include <tuple>

#include "capture_session.h"
#include "device_list.h"
#include "settings.h"
#include "settings_store.h"
#include "shell_state.h"
#include "under_test.h"

namespace {

using SettingsStore = FromKnownState;
using CaptureSession = FromKnownState;

TEST_F(SettingsStore, FirstRunDefaultsAndTheShapeRule)
{
    const char kKey[] = "Software\\Korvane\\TavrelStoreTest";
    g_Settings = Settings();
    g_Settings.m_szKeyPath = kKey;
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    // First run: the key is made and every field is its default.
    ASSERT_TRUE(LoadSettings());
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    for (const SettingField& f : kSettingFields)
        EXPECT_EQ(GetSettingField(g_Settings, f), f.defaultValue) << f.name;
    // Any value of exactly four bytes is the number, whatever its type.
    // Field, type, data, size, value loaded.
    const std::tuple<int, DWORD, const char*, DWORD, int> stored[] = {
        {1, REG_BINARY, "\x39\x30\0\0", 4, 12345},  {15, REG_SZ, "abc", 4, 0x00636261},
        {24, REG_DWORD, "\xFA\xFF\xFF\xFF", 4, -6}, {25, REG_DWORD, "\x02\0\0\0", 4, 1},
        {6, REG_BINARY, "\x07\x07", 2, 388},        {16, REG_SZ, "abcdef", 7, 1},
    };
    for (const auto& [field, type, data, size, loaded] : stored)
        RegSetValueExA(key, kSettingFields[field].name, 0, type,
                       reinterpret_cast<const BYTE*>(data), size);
    ASSERT_TRUE(LoadSettings());
    for (const auto& [field, type, data, size, loaded] : stored)
        EXPECT_EQ(GetSettingField(g_Settings, kSettingFields[field]), loaded) << field;
    RegCloseKey(key);
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
}

TEST_F(CaptureSession, ReadAcrossTheWrapOverloadCutAndStop)
{
    ASSERT_TRUE(Start());
    FakeCaptureBuffer* b = Fake().LastBuffer();
    // 16 blocks of 1600 bytes, each ending on the event (the real line-in
    // shows the rest end to end).
    ASSERT_EQ(b->desc.dwBufferBytes, 25600u);
    EXPECT_EQ(b->positions.back().hEventNotify, g_hNotificationEvent);
    // Fifteen blocks, then two that wrap past the end of the ring and part
    // of a third: the two, in time order.
    b->readPosition = 15 * 1600;
    ASSERT_EQ(ReadCapturedBlocks(), S_OK);
    EXPECT_EQ(g_iCountOfPCMData, 15 * 400);
    const std::vector<short> two = Tone(800, 20000, 300, 10000, 900);
    b->WriteFrames(15 * 1600, two.data(), 800);
    b->readPosition = 1600 + 700;
    ASSERT_EQ(ReadCapturedBlocks(), S_OK);
    EXPECT_EQ(std::vector<short>(g_pPCMData, g_pPCMData + 2 * g_iCountOfPCMData), two);
    EXPECT_EQ(ReadCapturedBlocks(), S_FALSE) << "nothing new";
    EXPECT_EQ(g_iCountOfPCMData, 800) << "the block stays for the windows";
    g_Settings.m_bSkipAllProcessIfOverLoad = true;
    b->readPosition = 4 * 1600;
    ASSERT_EQ(ReadCapturedBlocks(), S_OK);
    EXPECT_EQ(g_iCountOfPCMData, 400) << "three blocks at once, cut to one";
    // The stop reads what is left once, frees and releases all but the device.
    b->readPosition = 6 * 1600;
    const int locks = b->lockCalls;
    Stop();
    EXPECT_EQ(
        std::make_tuple(b->started, b->lockCalls - locks, b->locked, b->refs, g_iCountOfPCMData),
        std::make_tuple(false, 1, false, 0L, 0))
        << "started, reads, locked, refs, frames";
    EXPECT_EQ(g_pPCMData, nullptr);
    EXPECT_EQ(g_pSpectrumWork, nullptr);
    EXPECT_EQ(g_pCaptureBuffer, nullptr);
    EXPECT_EQ(g_pCaptureNotify, nullptr);
    EXPECT_EQ(g_pDirectSoundCapture, &Fake());
    // The device list skips the primary device and ends at sixteen.
    EXPECT_TRUE(AddCaptureDevice(nullptr, "primary", "", nullptr));
    GUID guid = {};
    int added = GetCaptureDeviceCount();
    while (added < 20 && AddCaptureDevice(&guid, "device", "module", nullptr))
        ++added;
    EXPECT_EQ(std::make_pair(added, GetCaptureDeviceCount()), std::make_pair(16, 16));
}

TEST_F(CaptureSession, AFailedStartIsReportedModallyAndLeavesNothingRunning)
{
    // The device refuses to start; then stored rates out of range, which must
    // not reach the device at all.
    Fake().startResult = DSERR_GENERIC;
    ModalDriver driver;
    const int opens = g_captureOpens;
    EXPECT_FALSE(Start());
    EXPECT_EQ(g_captureOpens, opens + 1) << "the device is opened afresh before giving up";
    Fake().startResult = S_OK;
    for (int rate : {50, 2000000}) {
        const size_t buffers = Fake().buffers.size();
        g_Settings.m_iSamplingRate = rate;
        EXPECT_FALSE(Start());
        EXPECT_EQ(Fake().buffers.size(), buffers) << "a buffer asked for at " << rate << " Hz";
    }
    g_Settings.m_iSamplingRate = 48000;
    ASSERT_EQ(driver.boxes.size(), 3u);
    for (const SeenBox& box : driver.boxes) {
        EXPECT_EQ(box.Shown(),
                  std::make_tuple("fatal error", "DirectSound デバイスが利用できません。",
                                  MB_ICONERROR, g_hControlDialog));
        EXPECT_FALSE(box.tavrelLive);
    }
    EXPECT_EQ(g_pPCMData, nullptr);
    EXPECT_EQ(g_pCaptureBuffer, nullptr);
    EXPECT_EQ(Fake().LastBuffer()->refs, 0);

    // A capture object that no longer starts, where the device opened afresh does: it captures
    // at the first press, with no box.
    g_pDirectSoundCaptureCreate(nullptr, &g_pDirectSoundCapture, nullptr);
    Fake().startResult = DSERR_NODRIVER;
    Fake().buffers.clear();
    g_pDirectSoundCaptureCreate = [](LPCGUID, LPDIRECTSOUNDCAPTURE* capture, LPUNKNOWN) {
        Fake().startResult = S_OK;
        return CreateFake(nullptr, capture, nullptr);
    };
    EXPECT_TRUE(Start());
    EXPECT_EQ(driver.boxes.size(), 3u) << "a box although the device opened afresh captures";
    EXPECT_TRUE(Fake().LastBuffer()->started);
    EXPECT_EQ(Fake().buffers[0]->refs, 0) << "the refused buffer still held";
}

}  // namespace
