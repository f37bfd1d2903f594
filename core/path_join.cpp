#include "path_join.h"

#include <cstring>

static void ClearBuffer(char* out, std::size_t size)
{
    if (out && size > 0)
        std::memset(out, 0, size);
}

// Lead bytes of a two-byte character in the Japanese code page. The second
// byte may be 0x5C, which is not a backslash there ("表" is 0x95 0x5C).
static bool IsCp932LeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

static const char* FindLastBackslash(const char* text)
{
    const char* last = nullptr;
    for (const char* p = text; *p; ++p) {
        if (IsCp932LeadByte(static_cast<unsigned char>(*p)) && p[1]) {
            ++p;
            continue;
        }
        if (*p == '\\')
            last = p;
    }
    return last;
}

bool DirectoryOfPath(const char* modulePath, char* out, std::size_t size)
{
    ClearBuffer(out, size);
    if (!modulePath || !out || size == 0)
        return false;
    const char* lastSlash = FindLastBackslash(modulePath);
    std::size_t length = lastSlash ? static_cast<std::size_t>(lastSlash - modulePath) + 1
                                   : std::strlen(modulePath);
    if (length + 1 > size)
        return false;
    std::memcpy(out, modulePath, length);
    return true;
}

bool JoinDirectoryAndFile(const char* directory, const char* fileName, char* out, std::size_t size)
{
    ClearBuffer(out, size);
    if (!directory || !fileName || !out || size == 0)
        return false;
    std::size_t directoryLength = std::strlen(directory);
    std::size_t nameLength = std::strlen(fileName);
    std::size_t total = directoryLength + nameLength;
    if (total + 1 > kPathBufferSize || total + 1 > size)
        return false;
    std::memcpy(out, directory, directoryLength);
    std::memcpy(out + directoryLength, fileName, nameLength);
    return true;
}
