#include "settings.h"

Settings g_Settings;

Settings::Settings()
    : m_iCurrentAudioDriver(0), m_iSamplingRate(0), m_bSkipAllProcessIfOverLoad(false),
      m_CtrlDlgWindowXPos(0), m_CtrlDlgWindowYPos(0), m_WaveWindowXPos(0), m_WaveWindowYPos(0),
      m_bIsShowWaveWindow(false), m_iCommonWindowXWidth(0), m_WaveWindowYHeight(0),
      m_ResurgeWindowXPos(0), m_ResurgeWindowYPos(0), m_ResurgeWindowXWidth(0),
      m_ResurgeWindowYHeight(0), m_bIsShowResurgeWindow(false), m_iThinResurgeWave(0),
      m_iResurgeXChannel(0), m_iResurgeYChannel(0), m_bIsShowResurgeChannelName(false),
      m_bSkipResurgeProcessIfOverLoad(false), m_bIsShowDecibelWindow(false), m_DecibelWindowXPos(0),
      m_DecibelWindowYPos(0), m_DecibelWindowYHeight(0), m_iCautionDecibelLevel(0),
      m_bIsShowFFTWindow(false), m_FFTWindowXPos(0), m_FFTWindowYPos(0), m_FFTWindowYHeight(0),
      m_szKeyPath("Software\\Korvane\\Tavrel")
{
}

Settings::~Settings() {}

// Each value is stored under the name written here, whatever the field is called.
const SettingField kSettingFields[kSettingFieldCount] = {
    {"m_iCurrentAudioDriver", &Settings::m_iCurrentAudioDriver, nullptr, 0},
    {"m_iSamplingRate", &Settings::m_iSamplingRate, nullptr, 48000},
    {"m_bSkipAllProcessIfOverLoad", nullptr, &Settings::m_bSkipAllProcessIfOverLoad, 0},
    {"m_CtrlDlgWindowXPos", &Settings::m_CtrlDlgWindowXPos, nullptr, 8},
    {"m_CtrlDlgWindowYPos", &Settings::m_CtrlDlgWindowYPos, nullptr, 8},
    {"m_WaveWindowXPos", &Settings::m_WaveWindowXPos, nullptr, 308},
    {"m_WaveWindowYPos", &Settings::m_WaveWindowYPos, nullptr, 388},
    {"m_bIsShowWaveWindow", nullptr, &Settings::m_bIsShowWaveWindow, 1},
    {"m_iCommonWindowXWidth", &Settings::m_iCommonWindowXWidth, nullptr, 400},
    {"m_WaveWindowYHeight", &Settings::m_WaveWindowYHeight, nullptr, 306},
    {"m_ResurgeWindowXPos", &Settings::m_ResurgeWindowXPos, nullptr, 10},
    {"m_ResurgeWindowYPos", &Settings::m_ResurgeWindowYPos, nullptr, 112},
    {"m_ResurgeWindowXWidth", &Settings::m_ResurgeWindowXWidth, nullptr, 285},
    {"m_ResurgeWindowYHeight", &Settings::m_ResurgeWindowYHeight, nullptr, 304},
    {"m_bIsShowResurgeWindow", nullptr, &Settings::m_bIsShowResurgeWindow, 1},
    {"m_iThinResurgeWave", &Settings::m_iThinResurgeWave, nullptr, 30},
    {"m_iResurgeXChannel", &Settings::m_iResurgeXChannel, nullptr, 1},
    {"m_iResurgeYChannel", &Settings::m_iResurgeYChannel, nullptr, 2},
    {"m_bIsShowResurgeChannelName", nullptr, &Settings::m_bIsShowResurgeChannelName, 1},
    {"m_bSkipResurgeProcessIfOverLoad", nullptr, &Settings::m_bSkipResurgeProcessIfOverLoad, 1},
    {"m_bIsShowDecibelWindow", nullptr, &Settings::m_bIsShowDecibelWindow, 1},
    {"m_DecibelWindowXPos", &Settings::m_DecibelWindowXPos, nullptr, 309},
    {"m_DecibelWindowYPos", &Settings::m_DecibelWindowYPos, nullptr, 95},
    {"m_DecibelWindowYHeight", &Settings::m_DecibelWindowYHeight, nullptr, 288},
    {"m_iCautionDecibelLevel", &Settings::m_iCautionDecibelLevel, nullptr, -6},
    {"m_bIsShowFFTWindow", nullptr, &Settings::m_bIsShowFFTWindow, 1},
    {"m_FFTWindowXPos", &Settings::m_FFTWindowXPos, nullptr, 309},
    {"m_FFTWindowYPos", &Settings::m_FFTWindowYPos, nullptr, 309},
    {"m_FFTWindowYHeight", &Settings::m_FFTWindowYHeight, nullptr, 309},
};

int GetSettingField(const Settings& settings, const SettingField& field)
{
    if (field.intField)
        return settings.*field.intField;
    return (settings.*field.boolField) ? 1 : 0;
}

void SetSettingField(Settings& settings, const SettingField& field, int value)
{
    if (field.intField)
        settings.*field.intField = value;
    else
        settings.*field.boolField = (value != 0);
}

void ApplySettingDefaults(Settings& settings)
{
    for (const SettingField& field : kSettingFields)
        SetSettingField(settings, field, field.defaultValue);
}

int DefaultSetting(int Settings::*field)
{
    for (const SettingField& f : kSettingFields)
        if (f.intField == field)
            return f.defaultValue;
    return 0;
}

bool DefaultSetting(bool Settings::*field)
{
    for (const SettingField& f : kSettingFields)
        if (f.boolField == field)
            return f.defaultValue != 0;
    return false;
}
