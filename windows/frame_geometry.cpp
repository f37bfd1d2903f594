#include "frame_geometry.h"

LineSegment ScaleAxis(int clientHeight)
{
    return {kScaleMargin, 0, kScaleMargin, clientHeight};
}

SweepCursorLines ComputeSweepCursor(int sweepColumn, int clientHeight)
{
    const int next = ClampToInt(static_cast<long long>(sweepColumn) + 1);
    return {{sweepColumn, 0, sweepColumn, clientHeight}, {next, 0, next, clientHeight}};
}

int ResolvePlacementExtent(int requested, int current)
{
    return requested == 0 ? current : requested;
}

// One axis: the least shift that puts [low, high) inside [areaLow, areaHigh),
// or onto areaLow when it does not fit; an empty extent is one cut at the int
// range and does not fit either. 64 bits: stored places are unchecked.
static int ShiftInto(int low, int high, int areaLow, int areaHigh)
{
    const long long size = static_cast<long long>(high) - low;
    if (size <= 0 || size >= static_cast<long long>(areaHigh) - areaLow || low < areaLow)
        return areaLow;
    if (high > areaHigh)
        return ClampToInt(areaHigh - size);
    return low;
}

PixelRect BringOntoWorkArea(const PixelRect& window, const PixelRect& workArea)
{
    const int left = ShiftInto(window.left, window.right, workArea.left, workArea.right);
    const int top = ShiftInto(window.top, window.bottom, workArea.top, workArea.bottom);
    const long long width = static_cast<long long>(window.right) - window.left;
    const long long height = static_cast<long long>(window.bottom) - window.top;
    return {left, top, ClampToInt(left + width), ClampToInt(top + height)};
}
