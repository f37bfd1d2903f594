#include "exit_command.h"

#include <windows.h>

#include "capture_session.h"
#include "device_list.h"
#include "display_frame.h"
#include "settings.h"
#include "settings_store.h"
#include "shell_state.h"

// A minimised window's rectangle is the parked one far off-screen; storing it
// would open the window there on every later run. GetRestoredWindowRect gives
// the rectangle it has when restored.
void SaveOnExit()
{
    g_bCapturing = false;
    SwitchCapture(false);
    ReleaseCaptureObjects();

    RECT rect;
    if (GetRestoredWindowRect(g_hControlDialog, &rect)) {
        g_Settings.m_CtrlDlgWindowXPos = rect.left;
        g_Settings.m_CtrlDlgWindowYPos = rect.top;
    }
    if (GetRestoredWindowRect(g_hWaveWindow, &rect)) {
        g_Settings.m_WaveWindowXPos = rect.left;
        g_Settings.m_WaveWindowYPos = rect.top;
        g_Settings.m_iCommonWindowXWidth = rect.right - rect.left;
        g_Settings.m_WaveWindowYHeight = rect.bottom - rect.top;
    }
    if (GetRestoredWindowRect(g_hResurgeWindow, &rect)) {
        g_Settings.m_ResurgeWindowXPos = rect.left;
        g_Settings.m_ResurgeWindowYPos = rect.top;
    }
    if (GetRestoredWindowRect(g_hDecibelWindow, &rect)) {
        g_Settings.m_DecibelWindowXPos = rect.left;
        g_Settings.m_DecibelWindowYPos = rect.top;
    }
    if (GetRestoredWindowRect(g_hFFTWindow, &rect)) {
        g_Settings.m_FFTWindowXPos = rect.left;
        g_Settings.m_FFTWindowYPos = rect.top;
    }
    SaveSettings();
}
