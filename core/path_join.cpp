#include "path_join.h"

#include <cstring>

static void ClearBuffer(char* out, std::size_t size)
{
    if (out && size > 0)
        std::memset(out, 0, size);
}

// The second byte of a two-byte character may be 0x5C, which is no backslash
// then ("表" is 0x95 0x5C in the Japanese code page).
static const char* FindLastBackslash(const char* text, LeadBytePredicate isLeadByte)
{
    const char* last = nullptr;
    for (const char* p = text; *p; ++p) {
        if (isLeadByte(static_cast<unsigned char>(*p)) && p[1]) {
            ++p;
            continue;
        }
        if (*p == '\\')
            last = p;
    }
    return last;
}

bool DirectoryOfPath(const char* modulePath, LeadBytePredicate isLeadByte, char* out,
                     std::size_t size)
{
    ClearBuffer(out, size);
    if (!modulePath || !out || size == 0)
        return false;
    const char* lastSlash = FindLastBackslash(modulePath, isLeadByte);
    std::size_t length =
        lastSlash ? static_cast<std::size_t>(lastSlash - modulePath) + 1 : std::strlen(modulePath);
    if (length + 1 > size)
        return false;
    std::memcpy(out, modulePath, length);
    return true;
}

bool JoinDirectoryAndFile(const char* directory, const char* fileName, char* out, std::size_t size)
{
    ClearBuffer(out, size);
    // A bare name would be looked for in the current folder.
    if (!directory || !directory[0] || !fileName || !out || size == 0)
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
