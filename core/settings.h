// The one record of everything Tavrel keeps between runs, and the table that
// maps its fields to registry value names. No platform headers here: the
// table drives both loading and saving and is tested natively.
#pragma once

class Settings {
public:
    Settings();
    virtual ~Settings();

    int m_iCurrentAudioDriver;
    int m_iSamplingRate;
    bool m_bSkipAllProcessIfOverLoad;
    int m_CtrlDlgWindowXPos;
    int m_CtrlDlgWindowYPos;
    int m_WaveWindowXPos;
    int m_WaveWindowYPos;
    bool m_bIsShowWaveWindow;
    int m_iCommonWindowXWidth;
    int m_WaveWindowYHeight;
    int m_ResurgeWindowXPos;
    int m_ResurgeWindowYPos;
    int m_ResurgeWindowXWidth;
    int m_ResurgeWindowYHeight;
    bool m_bIsShowResurgeWindow;
    int m_iThinResurgeWave;
    int m_iResurgeXChannel;
    int m_iResurgeYChannel;
    bool m_bIsShowResurgeChannelName;
    bool m_bSkipResurgeProcessIfOverLoad;
    bool m_bIsShowDecibelWindow;
    int m_DecibelWindowXPos;
    int m_DecibelWindowYPos;
    int m_DecibelWindowYHeight;
    int m_iCautionDecibelLevel;
    bool m_bIsShowFFTWindow;
    int m_FFTWindowXPos;
    int m_FFTWindowYPos;
    int m_FFTWindowYHeight;

    // Relative to HKEY_CURRENT_USER.
    const char* m_szKeyPath;
};

extern Settings g_Settings;

// One stored field: its registry value name, where it lives in the record,
// and the value a missing or unreadable entry takes.
struct SettingField {
    const char* name;
    int Settings::*intField;    // null for a bool field
    bool Settings::*boolField;  // null for an int field
    int defaultValue;
};

const int kSettingFieldCount = 29;
// The fields in storage order.
extern const SettingField kSettingFields[kSettingFieldCount];

int GetSettingField(const Settings& settings, const SettingField& field);
// A bool field becomes true exactly when the number is not 0.
void SetSettingField(Settings& settings, const SettingField& field, int value);
// Every field takes its default.
void ApplySettingDefaults(Settings& settings);
// The default of one field, from the table.
int DefaultSetting(int Settings::*field);
bool DefaultSetting(bool Settings::*field);
