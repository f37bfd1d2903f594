// The settings record against the real registry of the test prefix.
#include <windows.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "settings.h"
#include "settings_store.h"

namespace {

const char kTestKey[] = "Software\\Korvane\\TavrelStoreTest";

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = g_Settings;
        g_Settings = Settings();
        g_Settings.m_szKeyPath = kTestKey;
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    }
    void TearDown() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
        g_Settings = saved_;
    }

    static void Store(const char* name, DWORD type, const void* data, DWORD size)
    {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static void StoreDword(const char* name, DWORD value) { Store(name, REG_DWORD, &value, 4); }

    // Type and data of a stored value; false when it is missing.
    static bool Fetch(const char* name, DWORD* type, BYTE* data, DWORD* size)
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        LONG r = RegQueryValueExA(key, name, nullptr, type, data, size);
        RegCloseKey(key);
        return r == ERROR_SUCCESS;
    }

    Settings saved_;
};

TEST_F(SettingsStore, FirstRunCreatesKeyWithClassAndTakesEveryDefault)
{
    ASSERT_TRUE(LoadSettings());
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    char keyClass[64] = {0};
    DWORD classLength = sizeof(keyClass);
    DWORD values = 99;
    ASSERT_EQ(RegQueryInfoKeyA(key, keyClass, &classLength, nullptr, nullptr, nullptr, nullptr,
                               &values, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_STREQ(keyClass, "(標準)");
    EXPECT_EQ(values, 0u) << "loading creates the key but writes nothing";

    for (const SettingField& f : kSettingFields)
        EXPECT_EQ(GetSettingField(g_Settings, f), f.defaultValue) << f.name;
}

TEST_F(SettingsStore, SaveWritesAllValuesAsDwords)
{
    ASSERT_TRUE(LoadSettings());
    ASSERT_TRUE(SaveSettings());
    for (const SettingField& f : kSettingFields) {
        DWORD type = 0, size = 16;
        BYTE data[16] = {0};
        ASSERT_TRUE(Fetch(f.name, &type, data, &size)) << f.name;
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << f.name;
        EXPECT_EQ(size, 4u) << f.name;
        int value;
        std::memcpy(&value, data, 4);
        EXPECT_EQ(value, f.defaultValue) << f.name;
    }
    DWORD type = 0, size = 4, raw = 0;
    ASSERT_TRUE(Fetch("m_iCautionDecibelLevel", &type, reinterpret_cast<BYTE*>(&raw), &size));
    EXPECT_EQ(raw, 0xFFFFFFFAu);
}

TEST_F(SettingsStore, StoredNumbersLoadUnchangedAndRoundTrip)
{
    StoreDword("m_iCautionDecibelLevel", 0xFFFFFFFA);
    StoreDword("m_iSamplingRate", 12345);
    StoreDword("m_iThinResurgeWave", 150);
    StoreDword("m_iCurrentAudioDriver", static_cast<DWORD>(-5));
    StoreDword("m_iCommonWindowXWidth", 0x7FFFFFFF);
    StoreDword("m_bIsShowWaveWindow", 2);
    StoreDword("m_bIsShowFFTWindow", 0);
    ASSERT_TRUE(LoadSettings());
    EXPECT_EQ(g_Settings.m_iCautionDecibelLevel, -6);
    EXPECT_EQ(g_Settings.m_iSamplingRate, 12345);
    EXPECT_EQ(g_Settings.m_iThinResurgeWave, 150);
    EXPECT_EQ(g_Settings.m_iCurrentAudioDriver, -5);
    EXPECT_EQ(g_Settings.m_iCommonWindowXWidth, 0x7FFFFFFF);
    EXPECT_TRUE(g_Settings.m_bIsShowWaveWindow);
    EXPECT_FALSE(g_Settings.m_bIsShowFFTWindow);

    ASSERT_TRUE(SaveSettings());
    DWORD type, size = 4, raw = 0;
    ASSERT_TRUE(Fetch("m_bIsShowWaveWindow", &type, reinterpret_cast<BYTE*>(&raw), &size));
    EXPECT_EQ(raw, 1u) << "a bool is written back as 1";
    size = 4;
    ASSERT_TRUE(Fetch("m_iCurrentAudioDriver", &type, reinterpret_cast<BYTE*>(&raw), &size));
    EXPECT_EQ(raw, static_cast<DWORD>(-5));
}

TEST_F(SettingsStore, MalformedValuesTakeTheDefault)
{
    // Longer than 4 bytes (a string, a QWORD) or shorter (1, 2, 3 bytes).
    Store("m_iSamplingRate", REG_SZ, "96000", 6);
    const unsigned long long qword = 44100;
    Store("m_iCautionDecibelLevel", REG_QWORD, &qword, 8);
    const BYTE one = 7, two[2] = {1, 2}, three[3] = {1, 2, 3};
    Store("m_iThinResurgeWave", REG_BINARY, &one, 1);
    Store("m_WaveWindowXPos", REG_BINARY, two, 2);
    Store("m_bIsShowFFTWindow", REG_SZ, "", 1);
    Store("m_FFTWindowYHeight", REG_BINARY, three, 3);
    // Any 4-byte value is a number, whatever its type.
    const BYTE four[4] = {0x10, 0x27, 0, 0};
    Store("m_iCommonWindowXWidth", REG_BINARY, four, 4);
    ASSERT_TRUE(LoadSettings());
    EXPECT_EQ(g_Settings.m_iSamplingRate, 48000);
    EXPECT_EQ(g_Settings.m_iCautionDecibelLevel, -6);
    EXPECT_EQ(g_Settings.m_iThinResurgeWave, 30);
    EXPECT_EQ(g_Settings.m_WaveWindowXPos, 308);
    EXPECT_TRUE(g_Settings.m_bIsShowFFTWindow);
    EXPECT_EQ(g_Settings.m_FFTWindowYHeight, 309);
    EXPECT_EQ(g_Settings.m_iCommonWindowXWidth, 10000);
}

TEST_F(SettingsStore, ReadAndWriteSingleValues)
{
    HKEY key = OpenSettingsKey();
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(ReadSettingValue(key, "missing", -77), -77);
    EXPECT_TRUE(WriteSettingValue(key, "m_iSamplingRate", -1));
    EXPECT_EQ(ReadSettingValue(key, "m_iSamplingRate", 5), -1);
    RegCloseKey(key);
}

TEST_F(SettingsStore, KeyThatCannotBeOpenedLeavesRecordAndRegistryUntouched)
{
    // A key name component longer than the registry allows (255 characters).
    static const std::string tooLong = std::string(kTestKey) + "\\" + std::string(300, 'x');
    g_Settings.m_szKeyPath = tooLong.c_str();
    g_Settings.m_iSamplingRate = 4321;
    ASSERT_EQ(OpenSettingsKey(), nullptr);
    EXPECT_FALSE(LoadSettings());
    EXPECT_EQ(g_Settings.m_iSamplingRate, 4321);
    EXPECT_FALSE(SaveSettings());
}

}  // namespace
