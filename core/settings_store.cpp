#include "settings_store.h"

#include "settings.h"

HKEY OpenSettingsKey()
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    char keyClass[] = "(標準)";
    LONG result =
        RegCreateKeyExA(HKEY_CURRENT_USER, g_Settings.m_szKeyPath, 0, keyClass,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition);
    return result == ERROR_SUCCESS ? key : nullptr;
}

int ReadSettingValue(HKEY key, const char* name, int defaultValue)
{
    BYTE data[4] = {0, 0, 0, 0};
    DWORD size = sizeof(data);
    if (RegQueryValueExA(key, name, nullptr, nullptr, data, &size) != ERROR_SUCCESS)
        return defaultValue;
    // A shorter value would fill only part of the number: treat it as missing.
    if (size != sizeof(data))
        return defaultValue;
    DWORD value = static_cast<DWORD>(data[0]) | (static_cast<DWORD>(data[1]) << 8) |
                  (static_cast<DWORD>(data[2]) << 16) | (static_cast<DWORD>(data[3]) << 24);
    return static_cast<int>(value);
}

bool WriteSettingValue(HKEY key, const char* name, int value)
{
    DWORD data = static_cast<DWORD>(value);
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof(data)) == ERROR_SUCCESS;
}

bool LoadSettings()
{
    HKEY key = OpenSettingsKey();
    if (!key)
        return false;
    for (const SettingField& field : kSettingFields)
        SetSettingField(g_Settings, field, ReadSettingValue(key, field.name, field.defaultValue));
    RegCloseKey(key);
    return true;
}

bool SaveSettings()
{
    HKEY key = OpenSettingsKey();
    if (!key)
        return false;
    for (const SettingField& field : kSettingFields)
        WriteSettingValue(key, field.name, GetSettingField(g_Settings, field));
    RegCloseKey(key);
    return true;
}
