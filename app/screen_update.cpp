#include "screen_update.h"

#include "counter_text.h"
#include "display_frame.h"

namespace {

bool s_behind = false;
LARGE_INTEGER s_lastUpdate = {};
// When the oldest block not yet on the screen was drawn.
LARGE_INTEGER s_behindSince = {};
// Counts of the performance counter: the refresh period, less a millisecond
// so that a wait ending on its millisecond boundary finds the screen due.
LONGLONG s_period = 0;
LONGLONG s_millisecond = 1;

void FindRefreshPeriod()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    HDC screen = GetDC(nullptr);
    int hz = screen ? GetDeviceCaps(screen, VREFRESH) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    // 0 and 1 stand for the hardware's default.
    if (hz <= 1)
        hz = 60;
    s_millisecond = frequency.QuadPart / 1000;
    s_period = frequency.QuadPart / hz - s_millisecond;
}

// Counts until a refresh after the time; 0 or less once it has passed.
LONGLONG CountsUntilRefreshAfter(const LARGE_INTEGER& time)
{
    if (s_period == 0)
        FindRefreshPeriod();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return time.QuadPart + s_period - now.QuadPart;
}

}  // namespace

void BringScreenUpToDate()
{
    ShowCounterText();
    PresentDisplayWindows();
    QueryPerformanceCounter(&s_lastUpdate);
    s_behind = false;
}

void NoteScreenBehind()
{
    if (!s_behind)
        QueryPerformanceCounter(&s_behindSince);
    s_behind = true;
    if (CountsUntilRefreshAfter(s_lastUpdate) <= 0)
        BringScreenUpToDate();
}

DWORD ScreenWaitTimeout(DWORD loopTimeout)
{
    if (!s_behind)
        return loopTimeout;
    // Until a refresh after the oldest block not shown: while blocks keep
    // coming, the next one brings the screen up to date before that, and
    // the wait ends only for one that is the last for a while.
    const LONGLONG counts = CountsUntilRefreshAfter(s_behindSince);
    if (counts <= 0)
        return 0;
    const LONGLONG ms = (counts + s_millisecond - 1) / s_millisecond;
    return ms < loopTimeout ? static_cast<DWORD>(ms) : loopTimeout;
}

bool TakeScreenWake(DWORD wake, DWORD handles)
{
    // A notification runs the block step, which brings the screen up itself.
    if (handles == 1 && wake == WAIT_OBJECT_0)
        return false;
    const bool mine = s_behind && wake == WAIT_TIMEOUT;
    if (s_behind && CountsUntilRefreshAfter(s_lastUpdate) <= 0)
        BringScreenUpToDate();
    return mine;
}
