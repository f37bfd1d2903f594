#include "decibel_window.h"

#include <cstring>

#include "level.h"
#include "sweep.h"
#include "capture_session.h"
#include "decibel_geometry.h"
#include "display_frame.h"
#include "shared_block.h"

// Where each trace ended and when the title last changed: kept for the whole
// run, through stops, clears and resizes.
static DecibelTraceState s_decibelTrace;

void UpdateDecibelTitle(HWND window, double leftLevel, double rightLevel)
{
    if (!DecibelTitleDue(GetTickCount(), s_decibelTrace.lastTitleTick))
        return;
    s_decibelTrace.lastTitleTick = GetTickCount();
    char title[kDecibelTitleSize];
    FormatDecibelTitle(title, sizeof title, leftLevel, rightLevel);
    SetWindowTextA(window, title);
}

void DrawDecibelTrace(HWND window, HDC dc)
{
    if (!g_bCapturing)
        return;
    DrawSweepCursor(window, dc);
    const SharedBlock block = GetSharedBlock();
    const double right = GetChannelDecibel(block.frames, 2, block.count);
    const double left = GetChannelDecibel(block.frames, 1, block.count);
    const DecibelTraceStep step = AdvanceDecibelTrace(
        &s_decibelTrace, GetSweepColumn(), GetClientSize(window).height, left, right);
    // Left after right, so the left trace lies on top where they meet.
    DrawSegment(dc, step.right, kRed);
    DrawSegment(dc, step.left, kBlue);
    UpdateDecibelTitle(window, left, right);
}

void DrawDecibelScale(HWND window, HDC dc)
{
    const ClientSize client = GetClientSize(window);
    DecibelScale scale;
    ComputeDecibelScale(client.width, client.height, &scale);
    DrawSegment(dc, scale.axis, kBlack);
    for (int i = 0; i < scale.lineCount; ++i) {
        const DecibelGridLine& g = scale.lines[i];
        DrawSegment(dc, g.line, kBlack);
        TextOutA(dc, g.labelX, g.labelY, g.label, static_cast<int>(std::strlen(g.label)));
    }
}

static LRESULT OnDecibelPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginDisplayPaint(window, &paint);
    DrawDecibelTrace(window, dc);
    DrawDecibelScale(window, dc);
    EndDisplayPaint(window, &paint);
    return 0;
}

LRESULT CALLBACK DecibelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT)
        return OnDecibelPaint(window);
    return HandleSweepWindowMessage(window, message, wParam, lParam, kDecibelWindowFields);
}
