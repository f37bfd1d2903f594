// The registry store of the settings record: one REG_DWORD per field under
// HKEY_CURRENT_USER\<key path>. The only file that calls the registry.
#pragma once
#include <windows.h>

HKEY OpenSettingsKey();
// Any value whose data is exactly 4 bytes is taken as the number, whatever
// its registry type; a missing, longer or shorter value gives the default.
int ReadSettingValue(HKEY key, const char* name, int defaultValue);
bool WriteSettingValue(HKEY key, const char* name, int value);
bool LoadSettings();
bool SaveSettings();
