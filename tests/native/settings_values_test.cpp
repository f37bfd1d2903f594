#include "settings_values.h"

#include <climits>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "settings.h"

namespace {

TEST(ParseSignedDecimal, AcceptsWholeDecimalNumbersOnly) {
    const struct { const char* text; bool ok; int value; } cases[] = {
        {"10", true, 10},   {"-6", true, -6},  {"  -96  ", true, -96}, {"+5", true, 5},
        {"2147483647", true, INT_MAX},         {"-2147483648", true, INT_MIN},
        {"", false, 0},     {"   ", false, 0}, {"-", false, 0},        {"1a", false, 0},
        {"1 2", false, 0},  {"--1", false, 0}, {"1.5", false, 0},
        {"2147483648", false, 0},              {"-2147483649", false, 0},
        // Far past 64 bits: refused without overflowing on the way.
        {"123456789012345678901234567890", false, 0},
    };
    for (const auto& c : cases) {
        int value = 12345;
        EXPECT_EQ(ParseSignedDecimal(c.text, &value), c.ok) << '"' << c.text << '"';
        EXPECT_EQ(value, c.ok ? c.value : 12345) << '"' << c.text << '"';
    }
    EXPECT_EQ(ParseDecimalOr(nullptr, 48000), 48000);
}

// The low 16 bits, taken as a signed number.
TEST(CautionSpinPosition, KeepsTheLow16BitsAsASignedNumber) {
    const struct { int level; int position; } cases[] = {
        {-96, -96},      {32767, 32767}, {32768, -32768}, {65535, -1},
        {65536 + 5, 5},  {-32769, 32767}, {INT_MIN, 0},   {INT_MAX, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CautionSpinPosition(c.level), c.position) << c.level;
}

// The twelve fields the dialog owns take their registry defaults, all others
// keep their values; two passes so that every bool starts both set and clear.
TEST(ResetDialogSettings, RestoresDialogFieldsAndNothingElse) {
    const char* const reset =
        " m_bIsShowDecibelWindow m_bIsShowResurgeWindow m_bIsShowWaveWindow m_iCurrentAudioDriver"
        " m_iSamplingRate m_bSkipAllProcessIfOverLoad m_iResurgeXChannel m_iResurgeYChannel"
        " m_iThinResurgeWave m_bIsShowResurgeChannelName m_bSkipResurgeProcessIfOverLoad"
        " m_iCautionDecibelLevel ";
    for (int pass = 0; pass < 2; ++pass) {
        Settings s;
        for (int i = 0; i < kSettingFieldCount; ++i)
            SetSettingField(s, kSettingFields[i], kSettingFields[i].intField ? 7000 + i : pass);
        const Settings before = s;
        ResetDialogSettings(s);
        int resetCount = 0;
        for (const SettingField& f : kSettingFields) {
            const bool isReset = std::strstr(reset, (" " + std::string(f.name) + " ").c_str());
            resetCount += isReset;
            EXPECT_EQ(GetSettingField(s, f), isReset ? f.defaultValue : GetSettingField(before, f))
                << f.name << " pass " << pass;
        }
        EXPECT_EQ(resetCount, 12);
    }
}

}  // namespace
