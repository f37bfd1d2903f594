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

TEST(SettingsStore, FirstRunDefaultsAndTheShapeRule)
{
    const char kKey[] = "Software\\Korvane\\TavrelStoreTest";
    const Settings saved = g_Settings;
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
    g_Settings = saved;
}

TEST(CaptureSession, ReadAcrossTheWrapOverloadCutAndStop)
{
    g_Settings.m_iSamplingRate = 48000;
    PressStartStop();
    FakeCaptureBuffer* b = Fake().LastBuffer();
    ASSERT_TRUE(g_bCapturing && b);
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
    EXPECT_TRUE(g_iCountOfPCMData == 800 && std::equal(two.begin(), two.end(), g_pPCMData));
    EXPECT_EQ(ReadCapturedBlocks(), S_FALSE) << "nothing new";
    EXPECT_EQ(g_iCountOfPCMData, 800) << "the block stays for the windows";
    g_Settings.m_bSkipAllProcessIfOverLoad = true;
    b->readPosition = 4 * 1600;
    ASSERT_EQ(ReadCapturedBlocks(), S_OK);
    EXPECT_EQ(g_iCountOfPCMData, 400) << "three blocks at once, cut to one";
    g_Settings.m_bSkipAllProcessIfOverLoad = false;
    // The stop reads what is left, frees and releases all but the device.
    b->readPosition = 6 * 1600;
    const int locks = b->lockCalls;
    PressStartStop();
    EXPECT_TRUE(!b->started && b->lockCalls == locks + 1 && !b->locked);
    EXPECT_TRUE(!g_pPCMData && !g_pSpectrumWork && g_iCountOfPCMData == 0);
    EXPECT_TRUE(!g_pCaptureBuffer && !g_pCaptureNotify && b->refs == 0);
    EXPECT_EQ(g_pDirectSoundCapture, &Fake());
    // The device list skips the primary device and ends at sixteen.
    EXPECT_TRUE(AddCaptureDevice(nullptr, "primary", "", nullptr));
    GUID guid = {};
    int added = GetCaptureDeviceCount();
    while (added < 20 && AddCaptureDevice(&guid, "device", "module", nullptr))
        ++added;
    EXPECT_TRUE(added == 16 && GetCaptureDeviceCount() == 16);
}

TEST(CaptureSession, AFailedStartIsReportedModallyAndLeavesNothingRunning)
{
    // The device refuses to start; then stored rates out of range, which must
    // not reach the device at all.
    Fake().startResult = DSERR_GENERIC;
    ModalDriver driver;
    const int opens = g_captureOpens;
    PressStartStop();
    EXPECT_EQ(g_captureOpens, opens + 1) << "the device is opened afresh before giving up";
    Fake().startResult = S_OK;
    for (int rate : {50, 2000000}) {
        const size_t buffers = Fake().buffers.size();
        g_Settings.m_iSamplingRate = rate;
        PressStartStop();
        EXPECT_EQ(Fake().buffers.size(), buffers) << "a buffer asked for at " << rate << " Hz";
    }
    g_Settings.m_iSamplingRate = 48000;
    ASSERT_EQ(driver.boxes.size(), 3u);
    for (const SeenBox& box : driver.boxes) {
        EXPECT_TRUE(box.text == "DirectSound デバイスが利用できません。" &&
                    box.caption == "fatal error");
        EXPECT_FALSE(box.tavrelLive);
    }
    EXPECT_TRUE(!g_bCapturing && !g_pPCMData && !g_pCaptureBuffer &&
                Fake().LastBuffer()->refs == 0);

    // A capture object that no longer starts, where the device opened afresh does: it captures
    // at the first press, with no box.
    g_pDirectSoundCaptureCreate(nullptr, &g_pDirectSoundCapture, nullptr);
    Fake().startResult = DSERR_NODRIVER;
    Fake().buffers.clear();
    g_pDirectSoundCaptureCreate = [](LPCGUID, LPDIRECTSOUNDCAPTURE* capture, LPUNKNOWN) {
        Fake().startResult = S_OK;
        return CreateFake(nullptr, capture, nullptr);
    };
    PressStartStop();
    const FakeCaptureBuffer* refused = Fake().buffers[0].get();
    g_pDirectSoundCaptureCreate = CreateFake;
    EXPECT_EQ(driver.boxes.size(), 3u) << "a box although the device opened afresh captures";
    EXPECT_TRUE(g_bCapturing && Fake().LastBuffer()->started && refused->refs == 0);
    PressStartStop();
}

}  // namespace
