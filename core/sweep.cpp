#include "sweep.h"

#include "settings.h"

int g_iSweepPosition = 0;

int NextSweepPosition(int position, int commonWidth)
{
    // 64 bits: a stored width near INT_MIN must not overflow the subtraction.
    long long columns = static_cast<long long>(commonWidth) - kScaleMargin;
    if (columns < 1)
        return 1;
    return static_cast<int>(position % columns + 1);
}

void AdvanceSweepPosition()
{
    g_iSweepPosition = NextSweepPosition(g_iSweepPosition, g_Settings.m_iCommonWindowXWidth);
}

int GetSweepColumn()
{
    return g_iSweepPosition + kScaleMargin;
}
