#include "dialogs/settings_values.h"

#include <climits>
#include <cstring>

#include <gtest/gtest.h>

#include "app/settings.h"

namespace {

struct ParseCase {
    const char* text;
    bool ok;
    int value;
};

TEST(ParseSignedDecimal, AcceptsWholeDecimalNumbersOnly) {
    const ParseCase cases[] = {
        {"10", true, 10},
        {"-6", true, -6},
        {"  -96  ", true, -96},
        {"+5", true, 5},
        {"0", true, 0},
        {"-0", true, 0},
        {"007", true, 7},
        {"2147483647", true, INT_MAX},
        {"-2147483648", true, INT_MIN},
        {"", false, 0},
        {"   ", false, 0},
        {"-", false, 0},
        {"+", false, 0},
        {"1a", false, 0},
        {"a1", false, 0},
        {"1 2", false, 0},
        {"--1", false, 0},
        {"1.5", false, 0},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        // Far past 64 bits: must be refused without overflowing on the way.
        {"123456789012345678901234567890", false, 0},
    };
    for (const ParseCase& c : cases) {
        int value = 12345;
        EXPECT_EQ(ParseSignedDecimal(c.text, &value), c.ok) << '"' << c.text << '"';
        EXPECT_EQ(value, c.ok ? c.value : 12345) << '"' << c.text << '"';
    }
    int value = 9;
    EXPECT_FALSE(ParseSignedDecimal(nullptr, &value));
    EXPECT_EQ(value, 9);
}

TEST(ParseDecimalOr, FallsBackForAnythingButANumber) {
    EXPECT_EQ(ParseDecimalOr("44100", kFallbackSamplingRate), 44100);
    EXPECT_EQ(ParseDecimalOr("", kFallbackCautionDecibelLevel), -6);
    EXPECT_EQ(ParseDecimalOr("x", 30), 30);
    EXPECT_EQ(ParseDecimalOr(nullptr, 48000), 48000);
    // A number equal to the fallback is still a number.
    EXPECT_EQ(ParseDecimalOr("-6", 99), -6);
}

TEST(CautionSpinPosition, KeepsTheLow16BitsAsASignedNumber) {
    const struct { int level; int position; } cases[] = {
        {-6, -6},        {-96, -96},          {-1, -1},       {0, 0},
        {10, 10},        {32767, 32767},      {32768, -32768}, {65535, -1},
        {65536, 0},      {65536 + 5, 5},      {-32768, -32768}, {-32769, 32767},
        {INT_MIN, 0},    {INT_MAX, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CautionSpinPosition(c.level), c.position) << c.level;
}

// The reset must agree with the registry defaults of the same fields, and
// must leave every other field exactly as it was.
TEST(ResetDialogSettings, RestoresDialogFieldsAndNothingElse) {
    const char* const resetFields[] = {
        "m_bIsShowDecibelWindow", "m_bIsShowResurgeWindow", "m_bIsShowWaveWindow",
        "m_iCurrentAudioDriver", "m_iSamplingRate", "m_bSkipAllProcessIfOverLoad",
        "m_iResurgeXChannel", "m_iResurgeYChannel", "m_iThinResurgeWave",
        "m_bIsShowResurgeChannelName", "m_bSkipResurgeProcessIfOverLoad",
        "m_iCautionDecibelLevel",
    };
    auto isReset = [&](const char* name) {
        for (const char* r : resetFields)
            if (std::strcmp(r, name) == 0)
                return true;
        return false;
    };

    // Two starting points so that every bool is seen both set and clear.
    for (int pass = 0; pass < 2; ++pass) {
        Settings s;
        for (int i = 0; i < kSettingFieldCount; ++i) {
            const SettingField& f = kSettingFields[i];
            SetSettingField(s, f, f.intField ? 7000 + i : (pass == 0 ? 0 : 1));
        }
        Settings before = s;
        ResetDialogSettings(s);
        int resetCount = 0;
        for (const SettingField& f : kSettingFields) {
            if (isReset(f.name)) {
                ++resetCount;
                EXPECT_EQ(GetSettingField(s, f), f.defaultValue) << f.name;
            } else {
                EXPECT_EQ(GetSettingField(s, f), GetSettingField(before, f)) << f.name;
            }
        }
        EXPECT_EQ(resetCount, 12);
    }
}

}  // namespace
