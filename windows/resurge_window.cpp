#include "resurge_window.h"

#include <algorithm>
#include <climits>

#include "capture_session.h"
#include "failure_report.h"
#include "resurge_geometry.h"
#include "settings.h"
#include "shell_state.h"

namespace {

BackBuffer s_resurgeBuffer;
// Moves the size handler has made from inside its own chain of WM_SIZE.
int s_iNestedSquareMoves = 0;

const DisplayWindowUnit kResurgeUnit = {&kResurgeWindowFields, &s_resurgeBuffer, BLACK_BRUSH,
                                        DrawResurgePlot,       DrawResurgeFrame, false};

ResurgePoint FramePoint(const ResurgeGeometry& g, const ResurgeOptions& o, const short* frame)
{
    return ResurgePlotPoint(g, ResurgeXSample(frame[0], frame[1], o.xChannel),
                            ResurgeYSample(frame[0], frame[1], o.yChannel));
}

LRESULT OnResurgeSize(HWND window, WPARAM sizeType)
{
    RECT rc;
    if (!TakeWindowSize(window, sizeType, kResurgeUnit, &rc))
        return 0;
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    int newWidth = 0, newHeight = 0;
    if (!ResurgeSquareTarget(width, height, GetSystemMetrics(SM_CYCAPTION), s_iNestedSquareMoves,
                             &newWidth, &newHeight))
        return 0;
    ++s_iNestedSquareMoves;
    MoveWindow(window, rc.left, rc.top, newWidth, newHeight, TRUE);
    --s_iNestedSquareMoves;
    return 0;
}

// The share setting can only be out of range when the store held it; the
// run cannot go on with it. Checked before the block is drawn, never inside
// a paint: a box raised there would be raised again by every paint under it.
LRESULT OnResurgeNewData(HWND window)
{
    if (g_bCapturing && !IsValidThinResurgeWave(g_Settings.m_iThinResurgeWave)) {
        ReportFailure(kFailureInvalidShare, S_OK, g_Settings.m_iThinResurgeWave);
        ExitProcess(0);
    }
    return OnDisplayNewData(window, kResurgeUnit);
}

// The close box can only be used while the window is shown, so the toggle
// hides it.
LRESULT OnResurgeClose()
{
    g_Settings.m_bIsShowResurgeWindow = !g_Settings.m_bIsShowResurgeWindow;
    ApplyWindowVisibility();
    return 0;
}

}  // namespace

ResurgeOptions GatherResurgeOptions(const DisplayPaint& p)
{
    const Settings& s = *p.settings;
    return {s.m_iThinResurgeWave,
            s.m_iResurgeXChannel,
            s.m_iResurgeYChannel,
            s.m_bIsShowResurgeChannelName,
            s.m_bSkipResurgeProcessIfOverLoad,
            static_cast<unsigned>(p.framesPerBlock)};
}

RECT DrawResurgePlot(const DisplayPaint& p)
{
    BackBuffer* b = p.target;
    const ResurgeOptions options = GatherResurgeOptions(p);
    RECT drawn = {0, 0, 0, 0};
    const int n = ResurgeFrameCount(options.share, p.block.count, options.skipIfOverload,
                                    options.framesPerBlock);
    if (n <= 0)
        return drawn;
    HPEN pen = CachedPen(&b->pens, ToColorRef(kResurgeTraceColour), PS_SOLID);
    if (!pen)
        return drawn;
    // Each segment runs from the newer point to the older one, which the line
    // leaves uncoloured: one polyline from the newest point back, in pieces
    // that share their ends.
    const ResurgeGeometry g = ComputeResurgeGeometry(b->width, b->height);
    const int kPiece = 256;
    POINT points[kPiece];
    int count = 0;
    drawn = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    HGDIOBJ previousPen = SelectObject(b->dc, pen);
    for (int i = n - 1; i >= 0; --i) {
        const ResurgePoint q = FramePoint(g, options, p.block.frames + 2 * i);
        points[count++] = {q.x, q.y};
        drawn = {std::min<LONG>(drawn.left, q.x), std::min<LONG>(drawn.top, q.y),
                 std::max<LONG>(drawn.right, q.x + 1), std::max<LONG>(drawn.bottom, q.y + 1)};
        if (count == kPiece || (i == 0 && count > 1)) {
            Polyline(b->dc, points, count);
            points[0] = points[count - 1];
            count = 1;
        }
    }
    SelectObject(b->dc, previousPen);
    return drawn;
}

RECT DrawResurgeFrame(const DisplayPaint& p)
{
    BackBuffer* b = p.target;
    const ResurgeOptions options = GatherResurgeOptions(p);
    ResurgeFrame frame;
    ComputeResurgeFrame(b->width, b->height, options.xChannel, options.yChannel, &frame);

    SetBkColor(b->dc, RGB(0, 0, 0));
    SetTextColor(b->dc, ToColorRef(kResurgeLabelColour));
    if (options.showNames) {
        TextAt(b->dc, frame.xLabelX, frame.xLabelY, frame.xLabel);
        TextAt(b->dc, frame.yLabelX, frame.yLabelY, frame.yLabel);
    }
    for (const LineSegment& axis : frame.axes)
        DrawSegment(b->dc, &b->pens, axis, kResurgeAxisColour);
    for (const LineSegment& side : frame.box)
        DrawSegment(b->dc, &b->pens, side, kResurgeAxisColour, PS_DOT);

    RECT blanked = {0, 0, 0, 0};
    if (!ResurgeBlankThisPaint(p.sweepPosition))
        return blanked;
    HGDIOBJ previousBrush = SelectObject(b->dc, GetStockObject(BLACK_BRUSH));
    for (const PixelRect& r : frame.blank) {
        Rectangle(b->dc, r.left, r.top, r.right, r.bottom);
        const RECT one = {r.left, r.top, r.right, r.bottom};
        UnionRect(&blanked, &blanked, &one);
    }
    SelectObject(b->dc, previousBrush);
    return blanked;
}

LRESULT CALLBACK ResurgeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        return OnResurgeSize(window, wParam);
    case WM_CLOSE:
        return OnResurgeClose();
    case WM_DESTROY:
        FreeBackBuffer(&s_resurgeBuffer);
        return 0;
    case UM_NEWDATA:
        return OnResurgeNewData(window);
    default:
        return HandleDisplayWindowMessage(window, message, wParam, lParam, kResurgeUnit);
    }
}
