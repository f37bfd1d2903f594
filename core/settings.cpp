#include "settings.h"

Settings g_Settings;

Settings::Settings()
    : m_iCurrentAudioDriver(0), m_iSamplingRate(0), m_bSkipAllProcessIfOverLoad(false),
      m_CtrlDlgWindowXPos(0), m_CtrlDlgWindowYPos(0), m_WaveWindowXPos(0), m_WaveWindowYPos(0),
      m_bIsShowWaveWindow(false), m_iCommonWindowXWidth(0), m_WaveWindowYHeight(0),
      m_ResurgeWindowXPos(0), m_ResurgeWindowYPos(0), m_ResurgeWindowXWidth(0),
      m_ResurgeWindowYHeight(0), m_bIsShowResurgeWindow(false), m_iThinResurgeWave(0),
      m_iResurgeXChannel(0), m_iResurgeYChannel(0), m_bIsShowResurgeChannelName(false),
      m_bSkipResurgeProcessIfOverLoad(false), m_bIsShowDecibelWindow(false),
      m_DecibelWindowXPos(0), m_DecibelWindowYPos(0), m_DecibelWindowYHeight(0),
      m_iCautionDecibelLevel(0), m_bIsShowFFTWindow(false), m_FFTWindowXPos(0),
      m_FFTWindowYPos(0), m_FFTWindowYHeight(0),
      m_szKeyPath("Software\\Korvane\\Tavrel") {}

Settings::~Settings() {}

#define INT_FIELD(name, def)  { #name, &Settings::name, nullptr, def }
#define BOOL_FIELD(name, def) { #name, nullptr, &Settings::name, def }

const SettingField kSettingFields[kSettingFieldCount] = {
    INT_FIELD(m_iCurrentAudioDriver, 0),
    INT_FIELD(m_iSamplingRate, 48000),
    BOOL_FIELD(m_bSkipAllProcessIfOverLoad, 0),
    INT_FIELD(m_CtrlDlgWindowXPos, 8),
    INT_FIELD(m_CtrlDlgWindowYPos, 8),
    INT_FIELD(m_WaveWindowXPos, 308),
    INT_FIELD(m_WaveWindowYPos, 388),
    BOOL_FIELD(m_bIsShowWaveWindow, 1),
    INT_FIELD(m_iCommonWindowXWidth, 400),
    INT_FIELD(m_WaveWindowYHeight, 306),
    INT_FIELD(m_ResurgeWindowXPos, 10),
    INT_FIELD(m_ResurgeWindowYPos, 112),
    INT_FIELD(m_ResurgeWindowXWidth, 285),
    INT_FIELD(m_ResurgeWindowYHeight, 304),
    BOOL_FIELD(m_bIsShowResurgeWindow, 1),
    INT_FIELD(m_iThinResurgeWave, 30),
    INT_FIELD(m_iResurgeXChannel, 1),
    INT_FIELD(m_iResurgeYChannel, 2),
    BOOL_FIELD(m_bIsShowResurgeChannelName, 1),
    BOOL_FIELD(m_bSkipResurgeProcessIfOverLoad, 1),
    BOOL_FIELD(m_bIsShowDecibelWindow, 1),
    INT_FIELD(m_DecibelWindowXPos, 309),
    INT_FIELD(m_DecibelWindowYPos, 95),
    INT_FIELD(m_DecibelWindowYHeight, 288),
    INT_FIELD(m_iCautionDecibelLevel, -6),
    BOOL_FIELD(m_bIsShowFFTWindow, 1),
    INT_FIELD(m_FFTWindowXPos, 309),
    INT_FIELD(m_FFTWindowYPos, 309),
    INT_FIELD(m_FFTWindowYHeight, 309),
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
