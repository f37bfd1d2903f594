#include "block_step.h"

#include <windows.h>

#include "capture_session.h"
#include "counter_text.h"
#include "display_frame.h"
#include "failure_report.h"
#include "screen_update.h"
#include "settings.h"
#include "shell_state.h"
#include "sweep.h"

bool RunBlockStep()
{
    const HRESULT hr = ReadCapturedBlocks();
    const bool readOk = SUCCEEDED(hr);
    if (!readOk)
        ReportFailure(kFailureNotification, hr);

    // The rest runs after a failed read too: the windows see the last block.
    UpdateCounterText(g_hControlDialog);
    AdvanceSweepPosition();
    if (g_Settings.m_bIsShowWaveWindow)
        SendMessageA(g_hWaveWindow, UM_NEWDATA, 0, 0);
    if (g_Settings.m_bIsShowResurgeWindow)
        SendMessageA(g_hResurgeWindow, UM_NEWDATA, 0, 0);
    if (g_Settings.m_bIsShowDecibelWindow)
        SendMessageA(g_hDecibelWindow, UM_NEWDATA, 0, 0);
    if (g_Settings.m_bIsShowFFTWindow)
        SendMessageA(g_hFFTWindow, UM_NEWDATA, 0, 0);
    NoteScreenBehind();
    return readOk;
}
