#include <cstring>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "app/settings.h"

// The stored names are read back by every earlier installation: each must be
// the field's own name, in storage order, with its documented default.
TEST(SettingsTable, NamesOrderAndDefaults)
{
    struct Expected { const char* name; int value; };
    const Expected expected[kSettingFieldCount] = {
        {"m_iCurrentAudioDriver", 0}, {"m_iSamplingRate", 48000},
        {"m_bSkipAllProcessIfOverLoad", 0}, {"m_CtrlDlgWindowXPos", 8},
        {"m_CtrlDlgWindowYPos", 8}, {"m_WaveWindowXPos", 308}, {"m_WaveWindowYPos", 388},
        {"m_bIsShowWaveWindow", 1}, {"m_iCommonWindowXWidth", 400},
        {"m_WaveWindowYHeight", 306}, {"m_ResurgeWindowXPos", 10},
        {"m_ResurgeWindowYPos", 112}, {"m_ResurgeWindowXWidth", 285},
        {"m_ResurgeWindowYHeight", 304}, {"m_bIsShowResurgeWindow", 1},
        {"m_iThinResurgeWave", 30}, {"m_iResurgeXChannel", 1}, {"m_iResurgeYChannel", 2},
        {"m_bIsShowResurgeChannelName", 1}, {"m_bSkipResurgeProcessIfOverLoad", 1},
        {"m_bIsShowDecibelWindow", 1}, {"m_DecibelWindowXPos", 309},
        {"m_DecibelWindowYPos", 95}, {"m_DecibelWindowYHeight", 288},
        {"m_iCautionDecibelLevel", -6}, {"m_bIsShowFFTWindow", 1}, {"m_FFTWindowXPos", 309},
        {"m_FFTWindowYPos", 309}, {"m_FFTWindowYHeight", 309},
    };
    for (int i = 0; i < kSettingFieldCount; ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_STREQ(kSettingFields[i].name, expected[i].name);
        EXPECT_EQ(kSettingFields[i].defaultValue, expected[i].value);
        // Exactly one of the two member pointers names the field.
        EXPECT_NE(kSettingFields[i].intField == nullptr, kSettingFields[i].boolField == nullptr);
        EXPECT_EQ(kSettingFields[i].boolField != nullptr, std::strncmp(expected[i].name, "m_b", 3) == 0);
    }
}

TEST(SettingsTable, EveryFieldIsDistinct)
{
    // Writing a distinct number through each entry and reading all back finds
    // two entries that point at the same member.
    Settings s;
    for (int i = 0; i < kSettingFieldCount; ++i)
        if (kSettingFields[i].intField)
            SetSettingField(s, kSettingFields[i], 1000 + i);
    for (int i = 0; i < kSettingFieldCount; ++i) {
        if (kSettingFields[i].intField) {
            EXPECT_EQ(GetSettingField(s, kSettingFields[i]), 1000 + i) << kSettingFields[i].name;
        }
    }
    std::set<std::string> names;
    for (const SettingField& f : kSettingFields)
        names.insert(f.name);
    EXPECT_EQ(names.size(), static_cast<size_t>(kSettingFieldCount));
}

TEST(SettingsRecord, ConstructedEmptyWithKeyPath)
{
    Settings s;
    for (const SettingField& f : kSettingFields)
        EXPECT_EQ(GetSettingField(s, f), 0) << f.name;
    EXPECT_STREQ(s.m_szKeyPath, "Software\\Korvane\\Tavrel");
}

TEST(SettingsRecord, BoolFieldsTakeAnyNonZeroAsTrueAndGiveBackOne)
{
    Settings s;
    const SettingField* wave = nullptr;
    for (const SettingField& f : kSettingFields)
        if (std::strcmp(f.name, "m_bIsShowWaveWindow") == 0)
            wave = &f;
    ASSERT_NE(wave, nullptr);
    for (int stored : {2, -1, 0x7fffffff, static_cast<int>(0x80000000u)}) {
        SetSettingField(s, *wave, stored);
        EXPECT_TRUE(s.m_bIsShowWaveWindow) << stored;
        EXPECT_EQ(GetSettingField(s, *wave), 1) << stored;
    }
    SetSettingField(s, *wave, 0);
    EXPECT_FALSE(s.m_bIsShowWaveWindow);
}

TEST(SettingsRecord, DefaultsApplyToEveryField)
{
    Settings s;
    ApplySettingDefaults(s);
    EXPECT_EQ(s.m_iSamplingRate, 48000);
    EXPECT_EQ(s.m_iCautionDecibelLevel, -6);
    EXPECT_TRUE(s.m_bIsShowFFTWindow);
    EXPECT_FALSE(s.m_bSkipAllProcessIfOverLoad);
    EXPECT_EQ(s.m_FFTWindowXPos, 309);
    EXPECT_EQ(s.m_FFTWindowYPos, 309);
    EXPECT_EQ(s.m_FFTWindowYHeight, 309);
}
