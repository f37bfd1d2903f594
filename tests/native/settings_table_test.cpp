#include <climits>
#include <cstring>

#include <gtest/gtest.h>

#include "settings.h"

// Every earlier installation reads these names: each field's own name, in
// storage order, with its documented default.
TEST(SettingsTable, NamesOrderDefaultsKeyPathAndDistinctFields)
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
    Settings s, defaults;
    ApplySettingDefaults(defaults);
    for (int i = 0; i < kSettingFieldCount; ++i) {
        SCOPED_TRACE(expected[i].name);
        const SettingField& f = kSettingFields[i];
        EXPECT_STREQ(f.name, expected[i].name);
        EXPECT_EQ(f.defaultValue, expected[i].value);
        EXPECT_EQ(GetSettingField(defaults, f), expected[i].value);
        EXPECT_EQ(GetSettingField(s, f), 0);
        // Exactly one member pointer, the bool one for the m_b names.
        EXPECT_NE(f.intField == nullptr, f.boolField == nullptr);
        EXPECT_EQ(f.boolField != nullptr, std::strncmp(expected[i].name, "m_b", 3) == 0);
    }
    EXPECT_STREQ(s.m_szKeyPath, "Software\\Korvane\\Tavrel");

    // Distinct numbers written through every entry all read back (no two
    // entries share a member); a bool takes any non-zero as true, gives back 1.
    const int nonZero[] = {2, -1, INT_MAX, INT_MIN};
    for (int i = 0; i < kSettingFieldCount; ++i)
        SetSettingField(s, kSettingFields[i], kSettingFields[i].intField ? 1000 + i : nonZero[i % 4]);
    for (int i = 0; i < kSettingFieldCount; ++i)
        EXPECT_EQ(GetSettingField(s, kSettingFields[i]), kSettingFields[i].intField ? 1000 + i : 1)
            << kSettingFields[i].name;
    for (const SettingField& f : kSettingFields) {
        SetSettingField(s, f, 0);
        EXPECT_EQ(GetSettingField(s, f), 0) << f.name;
    }
}
