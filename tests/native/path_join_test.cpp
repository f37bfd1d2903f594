#include <algorithm>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "path_join.h"

// DirectoryOfPath when name is null, else JoinDirectoryAndFile. A result that
// does not fit gives false and empty text; nothing is written past `size`.
TEST(PathJoin, DirectoriesAndJoinsFitOrAreRefused)
{
    const std::string d250 = "C:\\" + std::string(250, 'd') + "\\";
    struct Case {
        std::string path;
        const char* name;
        size_t size;
        bool ok;
        std::string text;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Tavrel\\Tavrel.exe", nullptr, 260, true, "C:\\Program Files\\Tavrel\\"},
        {"Tavrel.exe", nullptr, 260, true, "Tavrel.exe"},
        // "表" is 0x95 0x5C in the Japanese code page: its trail byte is no separator.
        {"C:\\x\\\x95\x5C.exe", nullptr, 260, true, "C:\\x\\"},
        {"C:\\\x95\x5C\\Tavrel.exe", nullptr, 260, true, "C:\\\x95\x5C\\"},
        {"C:\\abcdefghijk\\x", nullptr, 16, true, "C:\\abcdefghijk\\"},  // 15 and the terminator
        {"C:\\abcdefghijkl\\x", nullptr, 16, false, ""},
        {"C:\\T\\", "gnu.txt", 260, true, "C:\\T\\gnu.txt"},
        {"C:\\abcdef\\", "x.txt", 16, true, "C:\\abcdef\\x.txt"},  // 15 and the terminator
        {"C:\\abcdef\\", "xy.txt", 16, false, ""},
        // The platform's limit of 260 with the terminator, whatever the buffer.
        {d250, "a.txt", 1024, true, d250 + "a.txt"},
        {d250, "ab.txt", 1024, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + (c.name ? c.name : ""));
        char out[1100];
        std::memset(out, 'G', sizeof(out));
        const bool ok = c.name ? JoinDirectoryAndFile(c.path.c_str(), c.name, out, c.size)
                               : DirectoryOfPath(c.path.c_str(), out, c.size);
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(std::string(out, strnlen(out, sizeof(out))), c.text);
        EXPECT_TRUE(std::all_of(out + c.size, out + sizeof(out), [](char b) { return b == 'G'; }));
    }
}
