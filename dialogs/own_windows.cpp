#include "own_windows.h"

#include "display_frame.h"
#include "shell_state.h"
#include "title_window.h"

bool IsTavrelWindow(HWND window)
{
    if (!window)
        return false;
    // The top of the parent chain: a button's is its dialog. Owned popups
    // (message boxes, menus) run loops of their own and never reach here.
    HWND root = GetAncestor(window, GA_ROOT);
    if (!root)
        return false;
    const HWND own[] = {g_hControlDialog, g_hWaveWindow, g_hResurgeWindow,
                        g_hDecibelWindow, g_hFFTWindow,  g_hTitleWindow};
    for (HWND candidate : own)
        if (candidate && candidate == root)
            return true;
    return false;
}
