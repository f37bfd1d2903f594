// The settings table (the one place the suite spells out the 29 stored
// values), the settings dialog's values, and the program's path text.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "path_join.h"
#include "settings.h"
#include "settings_values.h"

static bool Is(const SettingField& f, int Settings::*member)
{
    return f.intField == member && !f.boolField;
}
static bool Is(const SettingField& f, bool Settings::*member)
{
    return f.boolField == member && !f.intField;
}

// Each value is stored under its field's own name. `dialog`: the Defaults
// button of the settings dialog resets it.
struct Row {
    const char* name;
    int value;
    bool (*isField)(const SettingField&);
    bool dialog;
};
#define FIELD(member, value, dialog)                                                               \
    {                                                                                              \
#member, value, [](const SettingField& f) { return Is(f, &Settings::member); }, dialog     \
    }
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
static int Other(int i) { return kSettingFields[i].intField ? 7000 + i : !kRows[i].value; }

TEST(Settings, TableNamesOrderMembersAndDefaults)
{
    Settings fresh, defaulted;
    for (int i = 0; i < kSettingFieldCount; ++i)
        SetSettingField(defaulted, kSettingFields[i], Other(i));
    ApplySettingDefaults(defaulted);
    for (int i = 0; i < kSettingFieldCount; ++i) {
        const SettingField& f = kSettingFields[i];
        SCOPED_TRACE(kRows[i].name);
        EXPECT_STREQ(f.name, kRows[i].name);
        EXPECT_TRUE(kRows[i].isField(f));
        EXPECT_EQ(f.defaultValue, kRows[i].value);
        EXPECT_EQ(GetSettingField(defaulted, f), kRows[i].value);
        EXPECT_EQ(GetSettingField(fresh, f), 0);  // zeros until the store is read
    }
    EXPECT_EQ(DefaultSetting(&Settings::m_iCautionDecibelLevel), -6);
    EXPECT_TRUE(DefaultSetting(&Settings::m_bIsShowFFTWindow));
    SetSettingField(fresh, kSettingFields[2], 2);  // a bool takes any non-zero, gives back 1
    EXPECT_EQ(GetSettingField(fresh, kSettingFields[2]), 1);
    EXPECT_STREQ(fresh.m_szKeyPath, "Software\\Korvane\\Tavrel");
}

TEST(Settings, DialogDefaultsResetOnlyTheDialogsFields)
{
    Settings s;
    for (int i = 0; i < kSettingFieldCount; ++i)
        SetSettingField(s, kSettingFields[i], Other(i));
    ResetDialogSettings(s);
    for (int i = 0; i < kSettingFieldCount; ++i)
        EXPECT_EQ(GetSettingField(s, kSettingFields[i]),
                  kRows[i].dialog ? kRows[i].value : Other(i))
            << kRows[i].name;
}

TEST(Settings, DialogNumbers)
{
    const struct {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"10", true, 10},
        {"  -96  ", true, -96},
        {"+5", true, 5},
        {"-2147483648", true, INT_MIN},
        {"2147483647", true, INT_MAX},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"", false, 0},
        {" ", false, 0},
        {"-", false, 0},
        {"1a", false, 0},
        {"1 2", false, 0},
        {"1.5", false, 0},
        {"0x10", false, 0},
    };
    for (const auto& c : cases) {
        int value = 12345;
        EXPECT_EQ(ParseSignedDecimal(c.text, &value), c.ok) << '"' << c.text << '"';
        EXPECT_EQ(value, c.ok ? c.value : 12345) << '"' << c.text << '"';  // refused: untouched
    }
    EXPECT_EQ(ParseDecimalOr("x", -6), -6);
    // The up-down control's position: the low 16 bits, signed.
    const int spin[][2] = {{-6, -6}, {32767, 32767}, {32768, -32768}, {65535, -1}, {65541, 5}};
    for (const auto& c : spin)
        EXPECT_EQ(CautionSpinPosition(c[0]), c[1]) << c[0];
}

static bool JapaneseLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
static bool NoLeadByte(unsigned char) { return false; }

// DirectoryOfPath into a buffer of exactly `size` bytes, so that ASan sees any overrun.
static std::string Directory(const char* path, LeadBytePredicate lead, size_t size, bool ok)
{
    std::vector<char> out(size, 'G');
    EXPECT_EQ(DirectoryOfPath(path, lead, out.data(), size), ok) << path;
    return std::string(out.data());  // unterminated: ASan stops it
}

TEST(Paths, DirectoryOfTheProgram)
{
    // "表" is 0x95 0x5C in the Japanese code page: its second byte is no separator.
    EXPECT_EQ(Directory("C:\\\x95\x5C\\x.exe", JapaneseLeadByte, 260, true), "C:\\\x95\x5C\\");
    EXPECT_EQ(Directory("C:\\x\\\x95\x5C.exe", JapaneseLeadByte, 260, true), "C:\\x\\");
    // In code page 1252 0xE9 is "é", no lead byte.
    EXPECT_EQ(Directory("C:\\caf\xe9\\x.exe", NoLeadByte, 260, true), "C:\\caf\xe9\\");
    EXPECT_EQ(Directory("Tavrel.exe", NoLeadByte, 260, true), "Tavrel.exe");
    EXPECT_EQ(Directory("C:\\abc\\x", NoLeadByte, 8, true), "C:\\abc\\");  // 7 and the terminator
    EXPECT_EQ(Directory("C:\\abc\\x", NoLeadByte, 7, false), "");
}

TEST(Paths, JoinFitsThePlatformLimit)
{
    const std::string folder = "C:\\" + std::string(250, 'd') + "\\";  // 254 characters
    const struct {
        std::string directory;
        const char* name;
        size_t size;
        bool ok;
    } cases[] = {
        {folder, "a.txt", 1024, true},    // 259 and the terminator
        {folder, "ab.txt", 1024, false},  // 260: past the limit, whatever the buffer
        {"C:\\T\\", "gnu.txt", 13, true}, {"C:\\T\\", "gnu.txt", 12, false},  // the caller's buffer
        {"", "gnu.txt", 260, false},  // a bare name would be looked for in the current folder
    };
    for (const auto& c : cases) {
        std::vector<char> out(c.size, 'G');
        EXPECT_EQ(JoinDirectoryAndFile(c.directory.c_str(), c.name, out.data(), c.size), c.ok)
            << c.size;
        EXPECT_EQ(std::string(out.data()), c.ok ? c.directory + c.name : "");
    }
}
