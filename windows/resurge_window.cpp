#include "resurge_window.h"

#include <cstring>

#include "shell_state.h"
#include "settings.h"
#include "sweep.h"
#include "capture_session.h"
#include "display_frame.h"
#include "resurge_geometry.h"
#include "shared_block.h"

namespace {

// Moves the size handler has made from inside its own chain of WM_SIZE.
int s_iNestedSquareMoves = 0;

// The share setting can only be out of range when the store held it; the
// run cannot go on with it. Nothing is saved.
[[noreturn]] void StopOnInvalidShare(HWND window, int percentage)
{
    char text[96];
    FormatThinResurgeError(text, sizeof text, percentage);
    MessageBoxA(window, text, "fatal error", MB_ICONERROR | MB_OK);
    ExitProcess(0);
}

ResurgePoint FramePoint(const ResurgeGeometry& g, const short* frame)
{
    return ResurgePlotPoint(g, ResurgeXSample(frame[0], frame[1], g_Settings.m_iResurgeXChannel),
                            ResurgeYSample(frame[0], frame[1], g_Settings.m_iResurgeYChannel));
}

void TextAt(HDC dc, int x, int y, const char* text)
{
    TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
}

LRESULT OnResurgeSize(HWND window, WPARAM sizeType)
{
    // A minimised window's rectangle is not a size to keep or square up.
    if (LOWORD(sizeType) == SIZE_MINIMIZED || IsIconic(window))
        return 0;
    RECT rc;
    if (!GetWindowRect(window, &rc))
        return 0;
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    g_Settings.m_ResurgeWindowXWidth = width;
    g_Settings.m_ResurgeWindowYHeight = height;
    int newWidth = 0, newHeight = 0;
    if (!ResurgeSquareTarget(width, height, GetSystemMetrics(SM_CYCAPTION), s_iNestedSquareMoves,
                             &newWidth, &newHeight))
        return 0;
    ++s_iNestedSquareMoves;
    MoveWindow(window, rc.left, rc.top, newWidth, newHeight, TRUE);
    --s_iNestedSquareMoves;
    return 0;
}

LRESULT OnResurgePaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginDisplayPaint(window, &paint);
    DrawResurgePlot(window, dc);
    DrawResurgeFrame(window, dc);
    EndDisplayPaint(window, &paint);
    return 0;
}

// The close box can only be used while the window is shown, so the toggle
// hides it.
LRESULT OnResurgeClose(HWND)
{
    g_Settings.m_bIsShowResurgeWindow = !g_Settings.m_bIsShowResurgeWindow;
    ApplyWindowVisibility();
    return 0;
}

}  // namespace

void DrawResurgePlot(HWND window, HDC dc)
{
    if (!g_bCapturing)
        return;
    const ClientSize client = GetClientSize(window);
    const ResurgeGeometry g = ComputeResurgeGeometry(client.width, client.height);
    const SharedBlock block = GetSharedBlock();
    const int n = ResurgeFrameCount(g_Settings.m_iThinResurgeWave, block.count,
                                    g_Settings.m_bSkipResurgeProcessIfOverLoad,
                                    GetNotificationSize(), GetCaptureFormat().nBlockAlign);
    if (!IsValidThinResurgeWave(g_Settings.m_iThinResurgeWave))
        StopOnInvalidShare(window, g_Settings.m_iThinResurgeWave);
    if (n <= 0)
        return;

    // One pen for the whole trace. Each segment runs from the newer point to
    // the older one, which the line leaves uncoloured.
    HPEN pen = CreatePen(PS_SOLID, 1, ToColorRef(kResurgeTraceColour));
    if (!pen)
        return;
    HGDIOBJ previousPen = SelectObject(dc, pen);
    ResurgePoint previous = FramePoint(g, block.frames);
    for (int i = 0; i < n; ++i) {
        const ResurgePoint p = FramePoint(g, block.frames + 2 * i);
        MoveToEx(dc, p.x, p.y, nullptr);
        LineTo(dc, previous.x, previous.y);
        previous = p;
    }
    SelectObject(dc, previousPen);
    DeleteObject(pen);
}

void DrawResurgeFrame(HWND window, HDC dc)
{
    const ClientSize client = GetClientSize(window);
    ResurgeFrame frame;
    ComputeResurgeFrame(client.width, client.height, g_Settings.m_iResurgeXChannel,
                        g_Settings.m_iResurgeYChannel, &frame);

    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, ToColorRef(kResurgeLabelColour));
    if (g_Settings.m_bIsShowResurgeChannelName) {
        TextAt(dc, frame.xLabelX, frame.xLabelY, frame.xLabel);
        TextAt(dc, frame.yLabelX, frame.yLabelY, frame.yLabel);
    }
    for (const LineSegment& axis : frame.axes)
        DrawSegment(dc, axis, kResurgeAxisColour);
    for (const LineSegment& side : frame.box)
        DrawSegment(dc, side, kResurgeAxisColour, PS_DOT);

    if (ResurgeBlankThisPaint(g_iSweepPosition)) {
        HGDIOBJ previousBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
        for (const PixelRect& r : frame.blank)
            Rectangle(dc, r.left, r.top, r.right, r.bottom);
        SelectObject(dc, previousBrush);
    }
}

LRESULT CALLBACK ResurgeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: return OnDisplayCreate(window, kResurgeWindowFields);
    case WM_SIZE:   return OnResurgeSize(window, wParam);
    case WM_PAINT:  return OnResurgePaint(window);
    case WM_CLOSE:  return OnResurgeClose(window);
    default:        break;
    }
    if (message == UM_NEWDATA)
        return OnDisplayNewData(window);
    if (message == UM_CLEAR)
        return OnDisplayClear(window);
    return DefWindowProcA(window, message, wParam, lParam);
}
