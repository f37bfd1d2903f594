// The settings table (the one place the suite spells out the 29 stored
// values), the settings dialog's values, and the program's path text.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "path_join.h"
#include "settings.h"
#include "settings_values.h"

// Name, default, whether the settings dialog's Defaults button resets it, and the field it is
// kept in: each value is stored under its field's own name.
using Row = std::tuple<const char*, int, bool, int Settings::*, bool Settings::*>;
static Row R(const char* n, int v, bool d, int Settings::*m) { return {n, v, d, m, nullptr}; }
static Row R(const char* n, int v, bool d, bool Settings::*m) { return {n, v, d, nullptr, m}; }
#define FIELD(member, value, dialog) R(#member, value, dialog, &Settings::member)
const Row kRows[kSettingFieldCount] = {
    FIELD(m_iCurrentAudioDriver, 0, true),       FIELD(m_iSamplingRate, 48000, true),
    FIELD(m_bSkipAllProcessIfOverLoad, 0, true), FIELD(m_CtrlDlgWindowXPos, 8, false),
    FIELD(m_CtrlDlgWindowYPos, 8, false),        FIELD(m_WaveWindowXPos, 308, false),
    FIELD(m_WaveWindowYPos, 388, false),         FIELD(m_bIsShowWaveWindow, 1, true),
    FIELD(m_iCommonWindowXWidth, 400, false),    FIELD(m_WaveWindowYHeight, 306, false),
    FIELD(m_ResurgeWindowXPos, 10, false),       FIELD(m_ResurgeWindowYPos, 112, false),
    FIELD(m_ResurgeWindowXWidth, 285, false),    FIELD(m_ResurgeWindowYHeight, 304, false),
    FIELD(m_bIsShowResurgeWindow, 1, true),      FIELD(m_iThinResurgeWave, 30, true),
    FIELD(m_iResurgeXChannel, 1, true),          FIELD(m_iResurgeYChannel, 2, true),
    FIELD(m_bIsShowResurgeChannelName, 1, true), FIELD(m_bSkipResurgeProcessIfOverLoad, 1, true),
    FIELD(m_bIsShowDecibelWindow, 1, true),      FIELD(m_DecibelWindowXPos, 309, false),
    FIELD(m_DecibelWindowYPos, 95, false),       FIELD(m_DecibelWindowYHeight, 288, false),
    FIELD(m_iCautionDecibelLevel, -6, true),     FIELD(m_bIsShowFFTWindow, 1, false),
    FIELD(m_FFTWindowXPos, 309, false),          FIELD(m_FFTWindowYPos, 309, false),
    FIELD(m_FFTWindowYHeight, 309, false),
};
#undef FIELD

// Not the default: another number, or the other truth value.
static int Other(int i) { return kSettingFields[i].intField ? 7000 + i : !std::get<1>(kRows[i]); }

TEST(Settings, TableNamesMembersDefaultsAndTheDialogsReset)
{
    Settings fresh, defaulted, dialog;
    for (int i = 0; i < kSettingFieldCount; ++i) {
        SetSettingField(defaulted, kSettingFields[i], Other(i));
        SetSettingField(dialog, kSettingFields[i], Other(i));
    }
    ApplySettingDefaults(defaulted);
    ResetDialogSettings(dialog);
    for (int i = 0; i < kSettingFieldCount; ++i) {
        const SettingField& f = kSettingFields[i];
        const auto& [name, value, reset, intField, boolField] = kRows[i];
        SCOPED_TRACE(name);
        EXPECT_STREQ(f.name, name);
        EXPECT_TRUE(f.intField == intField) << "the int member";
        EXPECT_TRUE(f.boolField == boolField) << "the bool member";
        EXPECT_EQ(f.defaultValue, value);
        EXPECT_EQ(GetSettingField(defaulted, f), value);
        EXPECT_EQ(GetSettingField(dialog, f), reset ? value : Other(i));
        EXPECT_EQ(GetSettingField(fresh, f), 0);  // zeros until the store is read
    }
    SetSettingField(fresh, kSettingFields[2], 2);  // a bool takes any non-zero, gives back 1
    EXPECT_EQ(GetSettingField(fresh, kSettingFields[2]), 1);
    EXPECT_STREQ(fresh.m_szKeyPath, "Software\\Korvane\\Tavrel");
}

TEST(Settings, DialogNumbers)
{
    // Text and the value read; 12345, the value before, where the text is refused.
    const std::pair<const char*, int> cases[] = {
        {"-2147483648", INT_MIN}, {"  -96  ", -96}, {"1a", 12345}, {"10", 10},
        {"2147483647", INT_MAX},  {"0x10", 12345},  {"-", 12345},  {"+5", 5},
        {"2147483648", 12345},    {"1 2", 12345},   {" ", 12345},  {"", 12345},
        {"-2147483649", 12345},   {"1.5", 12345},
    };
    for (const auto& [text, want] : cases) {
        int value = 12345;
        EXPECT_EQ(ParseSignedDecimal(text, &value), want != 12345) << '"' << text << '"';
        EXPECT_EQ(value, want) << '"' << text << '"';
    }
    EXPECT_EQ(ParseDecimalOr("x", -6), -6);
    // The up-down control's position: the low 16 bits, signed.
    const int spin[][2] = {{-6, -6}, {32767, 32767}, {32768, -32768}, {65535, -1}, {65541, 5}};
    for (const auto& c : spin)
        EXPECT_EQ(CautionSpinPosition(c[0]), c[1]) << c[0];
}

static bool Cp932(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
static bool NoLeadByte(unsigned char) { return false; }

// DirectoryOfPath into a buffer of exactly `size` bytes, so that ASan sees any overrun.
static std::string Directory(const char* path, LeadBytePredicate lead, size_t size, bool ok)
{
    std::vector<char> out(size, 'G');
    EXPECT_EQ(DirectoryOfPath(path, lead, out.data(), size), ok) << path;
    return std::string(out.data());  // unterminated: ASan stops it
}

TEST(Paths, DirectoryOfTheProgramAndJoinWithinThePlatformLimit)
{
    // "表" is 0x95 0x5C in the Japanese code page: its second byte is no separator.
    EXPECT_EQ(Directory("C:\\\x95\x5C\\x.exe", Cp932, 260, true), "C:\\\x95\x5C\\");
    EXPECT_EQ(Directory("C:\\x\\\x95\x5C.exe", Cp932, 260, true), "C:\\x\\");
    // In code page 1252 0xE9 is "é", no lead byte.
    EXPECT_EQ(Directory("C:\\caf\xe9\\x.exe", NoLeadByte, 260, true), "C:\\caf\xe9\\");
    EXPECT_EQ(Directory("Tavrel.exe", NoLeadByte, 260, true), "Tavrel.exe");
    EXPECT_EQ(Directory("C:\\abc\\x", NoLeadByte, 8, true), "C:\\abc\\");  // 7 and the terminator
    EXPECT_EQ(Directory("C:\\abc\\x", NoLeadByte, 7, false), "");
    // Joined: 259 characters and the terminator fit, 260 do not, whatever the buffer; then the
    // caller's buffer; an empty directory would have a bare name looked for in the current folder.
    const std::string folder = "C:\\" + std::string(250, 'd') + "\\";  // 254 characters
    const std::tuple<std::string, const char*, size_t, bool> joins[] = {
        {folder, "a.txt", 1024, true},    {folder, "ab.txt", 1024, false},
        {"C:\\T\\", "gnu.txt", 13, true}, {"C:\\T\\", "gnu.txt", 12, false},
        {"", "gnu.txt", 260, false},
    };
    for (const auto& [directory, name, size, ok] : joins) {
        std::vector<char> out(size, 'G');
        EXPECT_EQ(JoinDirectoryAndFile(directory.c_str(), name, out.data(), size), ok) << size;
        EXPECT_EQ(std::string(out.data()), ok ? directory + name : "");
    }
}
