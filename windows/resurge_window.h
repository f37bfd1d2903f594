// The X-Y window: one channel plotted against the other, with a square
// client area of its own size.
#pragma once
#include <windows.h>

#include "display_frame.h"

LRESULT CALLBACK ResurgeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The settings and block geometry the X-Y window draws with.
struct ResurgeOptions {
    int share;            // m_iThinResurgeWave, percent of the frames plotted
    int xChannel;         // m_iResurgeXChannel
    int yChannel;         // m_iResurgeYChannel
    bool showNames;       // m_bIsShowResurgeChannelName
    bool skipIfOverload;  // m_bSkipResurgeProcessIfOverLoad
    unsigned framesPerBlock;
};

ResurgeOptions GatherResurgeOptions(const DisplayPaint& p);

// The green trace of the block. Returns the rectangle it drew in (empty when
// it drew nothing).
RECT DrawResurgePlot(const DisplayPaint& p);
// Labels, axes, dotted plot box, and the blanking of the box when the sweep
// position is a multiple of five. Returns the rectangle it blanked (empty
// when it did not).
RECT DrawResurgeFrame(const DisplayPaint& p);
