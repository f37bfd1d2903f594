#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "app/path_join.h"

TEST(PathJoin, DirectoryKeepsTrailingBackslash)
{
    char out[kPathBufferSize];
    EXPECT_TRUE(DirectoryOfPath("C:\\Program Files\\Tavrel\\Tavrel.exe", out, sizeof(out)));
    EXPECT_STREQ(out, "C:\\Program Files\\Tavrel\\");
    EXPECT_TRUE(DirectoryOfPath("Tavrel.exe", out, sizeof(out)));
    EXPECT_STREQ(out, "Tavrel.exe");
}

TEST(PathJoin, TrailByteBackslashOfJapaneseNameIsNotASeparator)
{
    // "表" is 0x95 0x5C in the Japanese code page.
    char out[kPathBufferSize];
    EXPECT_TRUE(DirectoryOfPath("C:\\x\\\x95\x5C.exe", out, sizeof(out)));
    EXPECT_STREQ(out, "C:\\x\\");
    EXPECT_TRUE(DirectoryOfPath("C:\\\x95\x5C\\Tavrel.exe", out, sizeof(out)));
    EXPECT_STREQ(out, "C:\\\x95\x5C\\");
}

TEST(PathJoin, JoinsNameToDirectory)
{
    char out[kPathBufferSize];
    EXPECT_TRUE(JoinDirectoryAndFile("C:\\T\\", "gnu.txt", out, sizeof(out)));
    EXPECT_STREQ(out, "C:\\T\\gnu.txt");
}

TEST(PathJoin, TooLongGivesEmptyTextAndNeverWritesPastTheBuffer)
{
    // A guard byte after a small buffer must survive every call.
    struct { char buffer[16]; char guard; } box;
    box.guard = 'G';
    EXPECT_FALSE(JoinDirectoryAndFile("C:\\longer\\", "name.txt", box.buffer, sizeof(box.buffer)));
    EXPECT_STREQ(box.buffer, "");
    EXPECT_EQ(box.guard, 'G');
    EXPECT_FALSE(DirectoryOfPath("C:\\a-directory-too-long\\x", box.buffer, sizeof(box.buffer)));
    EXPECT_STREQ(box.buffer, "");
    EXPECT_EQ(box.guard, 'G');

    // Exactly fitting: 15 characters and the terminator.
    EXPECT_TRUE(JoinDirectoryAndFile("C:\\abcdef\\", "x.txt", box.buffer, sizeof(box.buffer)));
    EXPECT_STREQ(box.buffer, "C:\\abcdef\\x.txt");
    EXPECT_EQ(box.guard, 'G');
}

TEST(PathJoin, JoinedPathLongerThanPlatformLimitIsRefused)
{
    std::string directory = "C:\\" + std::string(250, 'd') + "\\";
    char out[1024];
    EXPECT_TRUE(JoinDirectoryAndFile(directory.c_str(), "a.txt", out, sizeof(out)));  // 259
    EXPECT_FALSE(JoinDirectoryAndFile(directory.c_str(), "ab.txt", out, sizeof(out)));  // 260
    EXPECT_STREQ(out, "");
}
