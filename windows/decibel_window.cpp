#include "decibel_window.h"

#include "level.h"

namespace {

BackBuffer s_decibelBuffer;
// Where each trace ended and when the title last changed: kept for the whole
// run, through stops, clears and resizes.
DecibelTraceState s_decibelTrace;

// The newest segments and the title. A segment runs from column x - 1 to x;
// the cursor stands at x + 1.
RECT DrawDecibelBlock(const DisplayPaint& p)
{
    const DecibelLevels levels = DrawDecibelTrace(p, &s_decibelTrace);
    UpdateDecibelTitle(p.window, levels.left, levels.right);
    return BufferColumns(*p.target, p.sweepColumn - 1, 3);
}

const DisplayWindowUnit kDecibelUnit = {&kDecibelWindowFields, &s_decibelBuffer, WHITE_BRUSH,
                                        DrawDecibelBlock,      DrawDecibelScale, true};

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

RECT DrawDecibelScale(const DisplayPaint& p)
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
    return {0, 0, 0, 0};
}

LRESULT CALLBACK DecibelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return HandleDisplayWindowMessage(window, message, wParam, lParam, kDecibelUnit);
}
