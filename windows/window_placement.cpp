#include "window_placement.h"

#include "frame_geometry.h"

static PixelRect ToPixelRect(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

void PlaceWindow(HWND window, int x, int y, int width, int height)
{
    RECT rc = {};
    GetWindowRect(window, &rc);
    const int w = ResolvePlacementExtent(width, rc.right - rc.left);
    const int h = ResolvePlacementExtent(height, rc.bottom - rc.top);
    RECT wanted = {x, y, ClampToInt(static_cast<long long>(x) + w),
                   ClampToInt(static_cast<long long>(y) + h)};
    // A place on no monitor (one removed, a smaller screen, a bad value)
    // would leave the window out of reach for good.
    if (!MonitorFromRect(&wanted, MONITOR_DEFAULTTONULL)) {
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof monitor;
        if (GetMonitorInfoA(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) {
            const PixelRect r = BringOntoWorkArea(ToPixelRect(wanted), ToPixelRect(monitor.rcWork));
            x = r.left;
            y = r.top;
        }
    }
    MoveWindow(window, x, y, w, h, TRUE);
}

bool GetRestoredWindowRect(HWND window, RECT* rect)
{
    if (!IsIconic(window))
        return GetWindowRect(window, rect) != FALSE;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement))
        return false;
    // rcNormalPosition is in workspace coordinates: relative to the work area
    // of the window's monitor. Shift it into screen coordinates so that the
    // stored position puts the window back where it was.
    RECT r = placement.rcNormalPosition;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor))
        OffsetRect(&r, monitor.rcWork.left - monitor.rcMonitor.left,
                   monitor.rcWork.top - monitor.rcMonitor.top);
    *rect = r;
    return true;
}
