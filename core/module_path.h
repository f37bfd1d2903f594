// Paths of files that live beside the executable.
#pragma once
#include <cstddef>

// The executable's directory with its trailing backslash; an empty text when
// the module path cannot be had whole.
void ModuleDirectory(char* buffer, std::size_t size);
// The full path of fileName in the executable's directory; an empty text when
// it would not fit in size bytes or the platform's 260.
void ModuleRelativePath(const char* fileName, char* buffer, std::size_t size);
// The full path of fileName in the system folder, or an empty text.
void SystemFilePath(const char* fileName, char* buffer, std::size_t size);
