#include "module_path.h"

#include <windows.h>

#include "path_join.h"

// In the system's own code page, whatever it is: under 1252 "é" is a letter,
// under 932 a byte of 0x95 starts a character whose second byte may be 0x5C.
static bool IsSystemLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

void ModuleDirectory(char* buffer, std::size_t size)
{
    char modulePath[kPathBufferSize] = {0};
    DWORD length = GetModuleFileNameA(nullptr, modulePath, sizeof(modulePath));
    // A full buffer means the path was cut: its directory would be wrong.
    if (length == 0 || length >= sizeof(modulePath))
        modulePath[0] = '\0';
    DirectoryOfPath(modulePath, IsSystemLeadByte, buffer, size);
}

void ModuleRelativePath(const char* fileName, char* buffer, std::size_t size)
{
    char directory[kPathBufferSize] = {0};
    ModuleDirectory(directory, sizeof(directory));
    JoinDirectoryAndFile(directory, fileName, buffer, size);
}

void SystemFilePath(const char* fileName, char* buffer, std::size_t size)
{
    char directory[kPathBufferSize] = {0};
    const UINT length = GetSystemDirectoryA(directory, sizeof(directory) - 1);
    if (length == 0 || length >= sizeof(directory) - 1)
        directory[0] = '\0';
    else if (directory[length - 1] != '\\')
        directory[length] = '\\';
    JoinDirectoryAndFile(directory, fileName, buffer, size);
}
