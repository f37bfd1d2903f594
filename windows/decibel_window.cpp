#include "decibel_window.h"

#include "capture_session.h"
#include "level.h"

namespace {

BackBuffer s_decibelBuffer;
// Where each trace ended and when the title last changed: kept for the whole
// run, through stops, clears and resizes.
DecibelTraceState s_decibelTrace;

// The window's paint: while capturing the newest segments and the title,
// then the scale. A segment runs from column x - 1 to x; the cursor stands
// at x + 1.
RECT PaintDecibel(HWND window, BackBuffer* buffer)
{
    const DisplayPaint p = GatherDisplayPaint(buffer);
    if (!g_bCapturing) {
        DrawDecibelScale(p);
        return {0, 0, 0, 0};
    }
    const DecibelLevels levels = DrawDecibelTrace(p, &s_decibelTrace);
    const RECT changed = BufferColumns(*buffer, p.sweepColumn - 1, 3);
    DrawScaleOver(buffer, changed, [&] { DrawDecibelScale(p); });
    UpdateDecibelTitle(window, levels.left, levels.right);
    return changed;
}

const DisplayWindowUnit kDecibelUnit = {&kDecibelWindowFields, &s_decibelBuffer, WHITE_BRUSH,
                                        PaintDecibel};

}  // namespace

void UpdateDecibelTitle(HWND window, double leftLevel, double rightLevel)
{
    if (!DecibelTitleDue(GetTickCount(), s_decibelTrace.lastTitleTick))
        return;
    s_decibelTrace.lastTitleTick = GetTickCount();
    char title[kDecibelTitleSize];
    FormatDecibelTitle(title, sizeof title, leftLevel, rightLevel);
    SetWindowTextA(window, title);
}

DecibelLevels DrawDecibelTrace(const DisplayPaint& p, DecibelTraceState* trace)
{
    DrawSweepCursor(p);
    BackBuffer* b = p.target;
    const double right = GetChannelDecibel(p.block.frames, 2, p.block.count);
    const double left = GetChannelDecibel(p.block.frames, 1, p.block.count);
    const DecibelTraceStep step = AdvanceDecibelTrace(trace, p.sweepColumn, b->height, left, right);
    // Left after right, so the left trace lies on top where they meet.
    DrawSegment(b->dc, &b->pens, step.right, kRed);
    DrawSegment(b->dc, &b->pens, step.left, kBlue);
    return {left, right};
}

void DrawDecibelScale(const DisplayPaint& p)
{
    BackBuffer* b = p.target;
    DecibelScale scale;
    ComputeDecibelScale(b->width, b->height, &scale);
    DrawSegment(b->dc, &b->pens, scale.axis, kBlack);
    for (int i = 0; i < scale.lineCount; ++i) {
        const DecibelGridLine& g = scale.lines[i];
        DrawSegment(b->dc, &b->pens, g.line, kBlack);
        TextAt(b->dc, g.labelX, g.labelY, g.label);
    }
}

LRESULT CALLBACK DecibelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return HandleDisplayWindowMessage(window, message, wParam, lParam, kDecibelUnit);
}
