#include "exit_command.h"

#include <windows.h>

#include "capture_session.h"
#include "device_list.h"
#include "display_frame.h"
#include "settings.h"
#include "settings_store.h"

// The window's top-left corner where it would be restored to. A minimised
// window's rectangle is the parked one far off-screen; storing it would open
// the window there on every later run. GetRestoredWindowRect gives the
// rectangle it has when restored.
static void StoreWindowPlace(HWND window, int* x, int* y)
{
    RECT rect;
    if (GetRestoredWindowRect(window, &rect)) {
        *x = rect.left;
        *y = rect.top;
    }
}

void SaveOnExit(HWND dialog)
{
    StopCapturing(dialog);
    ReleaseCaptureObjects();

    StoreWindowPlace(dialog, &g_Settings.m_CtrlDlgWindowXPos,
                     &g_Settings.m_CtrlDlgWindowYPos);
    RECT rect;
    if (GetRestoredWindowRect(g_hWaveWindow, &rect)) {
        g_Settings.m_WaveWindowXPos = rect.left;
        g_Settings.m_WaveWindowYPos = rect.top;
        g_Settings.m_iCommonWindowXWidth = rect.right - rect.left;
        g_Settings.m_WaveWindowYHeight = rect.bottom - rect.top;
    }
    StoreWindowPlace(g_hResurgeWindow, &g_Settings.m_ResurgeWindowXPos,
                     &g_Settings.m_ResurgeWindowYPos);
    StoreWindowPlace(g_hDecibelWindow, &g_Settings.m_DecibelWindowXPos,
                     &g_Settings.m_DecibelWindowYPos);
    StoreWindowPlace(g_hFFTWindow, &g_Settings.m_FFTWindowXPos, &g_Settings.m_FFTWindowYPos);
    SaveSettings();
}
