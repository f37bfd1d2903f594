// Start-up, the run and shutdown of the application.
#pragma once
#include <windows.h>

// Returns the process exit code.
int RunTavrel(HINSTANCE instance);
