#include "settings_values.h"

#include <climits>

#include "settings.h"

const int kSamplingRateChoices[kSamplingRateChoiceCount] = {
    8000, 16000, 24000, 32000, 48000, 96000, 11025, 22050, 33075, 44100,
};

const int kThinResurgeChoices[kThinResurgeChoiceCount] = {
    10, 20, 30, 40, 50, 60, 70, 80, 90, 100,
};

const char* const kChannelNames[kChannelChoiceCount] = {"L", "R"};

static bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool ParseSignedDecimal(const char* text, int* value)
{
    if (!text)
        return false;
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = (*p == '-');
        ++p;
    }
    // Accumulate as a negative number so INT_MIN fits too.
    long long magnitude = 0;
    int digits = 0;
    while (*p >= '0' && *p <= '9') {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1)
            return false;
        ++digits;
        ++p;
    }
    if (digits == 0)
        return false;
    while (IsBlank(*p))
        ++p;
    if (*p != '\0')
        return false;
    if (!negative && magnitude > INT_MAX)
        return false;
    *value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

int ParseDecimalOr(const char* text, int fallback)
{
    int value = 0;
    return ParseSignedDecimal(text, &value) ? value : fallback;
}

int CautionSpinPosition(int level)
{
    const unsigned low = static_cast<unsigned>(level) & 0xFFFFu;
    return low >= 0x8000u ? static_cast<int>(low) - 0x10000 : static_cast<int>(low);
}

void ResetDialogSettings(Settings& settings)
{
    static int Settings::*const kInts[] = {
        &Settings::m_iCurrentAudioDriver, &Settings::m_iSamplingRate,
        &Settings::m_iResurgeXChannel,    &Settings::m_iResurgeYChannel,
        &Settings::m_iThinResurgeWave,    &Settings::m_iCautionDecibelLevel,
    };
    static bool Settings::*const kBools[] = {
        &Settings::m_bIsShowDecibelWindow,      &Settings::m_bIsShowResurgeWindow,
        &Settings::m_bIsShowWaveWindow,         &Settings::m_bSkipAllProcessIfOverLoad,
        &Settings::m_bIsShowResurgeChannelName, &Settings::m_bSkipResurgeProcessIfOverLoad,
    };
    for (int Settings::*field : kInts)
        settings.*field = DefaultSetting(field);
    for (bool Settings::*field : kBools)
        settings.*field = DefaultSetting(field);
}
