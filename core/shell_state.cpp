#include "shell_state.h"

HINSTANCE g_hInstance = nullptr;
HWND g_hControlDialog = nullptr;
HANDLE g_hNotificationEvent = nullptr;
HWND g_hTitleWindow = nullptr;
