// The settings record against the real registry of the test prefix, and the
// capture session against the in-memory DirectSound double.
#include <gtest/gtest.h>

#include "capture_session.h"
#include "device_list.h"
#include "settings.h"
#include "settings_store.h"
#include "shell_state.h"
#include "under_test.h"

namespace {

const char kTestKey[] = "Software\\Korvane\\TavrelStoreTest";

HKEY TestKey()
{
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_ALL_ACCESS, &key);
    return key;
}

TEST(SettingsStore, ShapeRuleDefaultsAndWhatASaveWrites)
{
    const Settings saved = g_Settings;
    g_Settings = Settings();
    g_Settings.m_szKeyPath = kTestKey;
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    // First run: the key is made, with its class, and every field is its default.
    ASSERT_TRUE(LoadSettings());
    HKEY key = TestKey();
    char keyClass[32] = {};
    DWORD classSize = sizeof keyClass, values = 99;
    RegQueryInfoKeyA(key, keyClass, &classSize, nullptr, nullptr, nullptr, nullptr, &values,
                     nullptr, nullptr, nullptr, nullptr);
    EXPECT_STREQ(keyClass, "(標準)");
    EXPECT_EQ(values, 0u);
    for (const SettingField& f : kSettingFields)
        EXPECT_EQ(GetSettingField(g_Settings, f), f.defaultValue) << f.name;

    // Any value of exactly four bytes is the number, whatever its type.
    const struct {
        const char* name;
        DWORD type;
        const char* data;
        DWORD size;
        int loaded;
    } stored[] = {
        {"m_iSamplingRate", REG_BINARY, "\x39\x30\0\0", 4, 12345},
        {"m_iCautionDecibelLevel", REG_DWORD, "\xFA\xFF\xFF\xFF", 4, -6},
        {"m_iThinResurgeWave", REG_SZ, "abc", 4, 0x00636261},
        {"m_bIsShowFFTWindow", REG_DWORD, "\x02\0\0\0", 4, 1},
        {"m_WaveWindowXPos", REG_BINARY, "\x07", 1, 308},
        {"m_WaveWindowYPos", REG_BINARY, "\x07\x07", 2, 388},
        {"m_iResurgeXChannel", REG_SZ, "abcdef", 7, 1},
        {"m_FFTWindowYHeight", REG_QWORD, "\x01\0\0\0\0\0\0\0", 8, 309},
    };
    for (const auto& s : stored)
        RegSetValueExA(key, s.name, 0, s.type, reinterpret_cast<const BYTE*>(s.data), s.size);
    ASSERT_TRUE(LoadSettings());
    for (const auto& s : stored) {
        for (const SettingField& f : kSettingFields) {
            if (!lstrcmpA(f.name, s.name)) {
                EXPECT_EQ(GetSettingField(g_Settings, f), s.loaded) << s.name;
            }
        }
    }

    // A save writes all 29 as REG_DWORD: bools as 1, -6 as 0xFFFFFFFA.
    ASSERT_TRUE(SaveSettings());
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    EXPECT_EQ(values, 29u);
    for (const SettingField& f : kSettingFields) {
        DWORD type = 0, data = 0, size = sizeof data;
        RegQueryValueExA(key, f.name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << f.name;
        EXPECT_EQ(data, static_cast<DWORD>(GetSettingField(g_Settings, f))) << f.name;
    }
    RegCloseKey(key);
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    g_Settings = saved;
}

TEST(CaptureDevices, PrimaryDeviceIsSkippedAndTheListEndsAtSixteen)
{
    GUID guid = {};
    EXPECT_TRUE(AddCaptureDevice(nullptr, "primary", "", nullptr));
    int added = 0;
    const int before = GetCaptureDeviceCount();
    for (int i = 0; i < 20 && AddCaptureDevice(&guid, "device", "module", nullptr); ++i)
        ++added;
    EXPECT_EQ(GetCaptureDeviceCount(), 16);
    EXPECT_EQ(added, 16 - before);
}

// The session on the double, through the control dialog's start command.
class CaptureSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureTavrelWindows();
        g_Settings.m_iSamplingRate = 48000;
        PressStartStop();
        buffer_ = Fake().LastBuffer();
        ASSERT_TRUE(g_bCapturing && buffer_);
    }
    void TearDown() override
    {
        if (g_bCapturing)
            PressStartStop();
        g_Settings.m_bSkipAllProcessIfOverLoad = false;
    }
    FakeCaptureBuffer* buffer_ = nullptr;
};

TEST_F(CaptureSession, StartMakesSixteenBlocksOnTheEvent)
{
    const WAVEFORMATEX& f = buffer_->format;
    EXPECT_TRUE(f.wFormatTag == WAVE_FORMAT_PCM && f.nChannels == 2 && f.nSamplesPerSec == 48000 &&
                f.nAvgBytesPerSec == 192000 && f.nBlockAlign == 4 && f.wBitsPerSample == 16);
    EXPECT_EQ(buffer_->desc.dwBufferBytes, 25600u);
    ASSERT_EQ(buffer_->positions.size(), 16u);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(buffer_->positions[k].dwOffset, 1600u * k + 1599);
        EXPECT_EQ(buffer_->positions[k].hEventNotify, g_hNotificationEvent);
    }
    EXPECT_TRUE(buffer_->started && buffer_->startFlags == DSCBSTART_LOOPING);
    char text[64] = {};
    GetDlgItemTextA(g_hControlDialog, 1004, text, sizeof text);
    EXPECT_STREQ(text, "48000 Hz, 16-bit Stereo");
}

TEST_F(CaptureSession, ReadsWholeBlocksInOrderAcrossTheWrapAndCutsABacklog)
{
    // Fifteen blocks in, then two that wrap past the end of the ring.
    buffer_->readPosition = 15 * 1600;
    ASSERT_EQ(ReadCapturedBlocks(), S_OK);
    EXPECT_EQ(g_iCountOfPCMData, 15 * 400);
    std::vector<short> two = Tone(800, 20000, 300, 10000, 900);
    buffer_->WriteFrames(15 * 1600, two.data(), 800);
    buffer_->readPosition = 1600 + 700;  // and part of a third
    ASSERT_EQ(ReadCapturedBlocks(), S_OK);
    ASSERT_EQ(g_iCountOfPCMData, 800);
    EXPECT_TRUE(std::equal(two.begin(), two.end(), g_pPCMData));
    // Nothing new: the block stays for the windows.
    EXPECT_EQ(ReadCapturedBlocks(), S_FALSE);
    EXPECT_EQ(g_iCountOfPCMData, 800);
    // Three blocks at once: one with the overload cut.
    g_Settings.m_bSkipAllProcessIfOverLoad = true;
    buffer_->readPosition = 4 * 1600;
    ASSERT_EQ(ReadCapturedBlocks(), S_OK);
    EXPECT_EQ(g_iCountOfPCMData, 400);
    EXPECT_EQ(buffer_->badUnlocks, 0);
}

TEST_F(CaptureSession, StopFreesAndReleasesAllButTheDevice)
{
    buffer_->readPosition = 3200;
    PressStartStop();
    EXPECT_FALSE(buffer_->started);
    EXPECT_EQ(buffer_->lockCalls, 1) << "the last blocks are read on the way";
    EXPECT_TRUE(!g_pPCMData && !g_pSpectrumWork && g_iCountOfPCMData == 0);
    EXPECT_TRUE(!g_pCaptureBuffer && !g_pCaptureNotify && buffer_->refs == 0);
    EXPECT_EQ(g_pDirectSoundCapture, &Fake());
}

TEST_F(CaptureSession, AFailedStartIsReportedAndLeavesNothingRunning)
{
    PressStartStop();
    Fake().onCreate = [](FakeCaptureBuffer& b) { b.startResult = DSERR_GENERIC; };
    ModalDriver driver;
    PressStartStop();
    Fake().onCreate = nullptr;
    ASSERT_EQ(driver.boxes.size(), 1u);
    EXPECT_EQ(driver.boxes[0].text, "DirectSound デバイスが利用できません。");
    EXPECT_EQ(driver.boxes[0].caption, "fatal error");
    EXPECT_FALSE(driver.boxes[0].tavrelLive);
    EXPECT_TRUE(!g_bCapturing && !g_pPCMData && !g_pCaptureBuffer);
    EXPECT_EQ(Fake().LastBuffer()->refs, 0);
}

}  // namespace
