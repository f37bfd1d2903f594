#include "module_path.h"

#include <windows.h>

#include "path_join.h"

void ModuleDirectory(char* buffer, std::size_t size)
{
    char modulePath[kPathBufferSize] = {0};
    DWORD length = GetModuleFileNameA(nullptr, modulePath, sizeof(modulePath));
    // A full buffer means the path was cut: its directory would be wrong.
    if (length == 0 || length >= sizeof(modulePath)) {
        DirectoryOfPath("", buffer, size);
        return;
    }
    DirectoryOfPath(modulePath, buffer, size);
}

void ModuleRelativePath(const char* fileName, char* buffer, std::size_t size)
{
    char directory[kPathBufferSize] = {0};
    ModuleDirectory(directory, sizeof(directory));
    if (directory[0] == '\0') {
        DirectoryOfPath("", buffer, size);
        return;
    }
    JoinDirectoryAndFile(directory, fileName, buffer, size);
}
