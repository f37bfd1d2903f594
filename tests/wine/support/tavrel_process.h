// Starting the built Tavrel.exe from a test and looking at what it leaves.
#pragma once
#include <windows.h>

#include <string>

// The folder the build put Tavrel.exe in, as a Windows path.
std::string TavrelBinDirectory();

struct TavrelProcess {
    PROCESS_INFORMATION info{};
    HWND controlDialog = nullptr;
};

// Starts Tavrel.exe and waits (up to timeoutMs) for its control dialog.
bool StartTavrel(TavrelProcess* process, DWORD timeoutMs = 15000);
// Waits for the process to end; returns its exit code, or STILL_ACTIVE.
DWORD WaitForTavrelExit(TavrelProcess* process, DWORD timeoutMs = 15000);
void KillTavrel(TavrelProcess* process);

// The application's registry key.
const char* const kTavrelKey = "Software\\Korvane\\Tavrel";
void DeleteTavrelKey();
// Number of values under the key, or -1 when the key is missing.
int CountTavrelValues();
// False when the value is missing or is not a 4-byte REG_DWORD.
bool ReadTavrelDword(const char* name, int* value);
void WriteTavrelDword(const char* name, int value);
