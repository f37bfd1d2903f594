#include "wave_window.h"

#include <cstring>

#include "level.h"
#include "settings.h"
#include "sweep.h"
#include "capture_session.h"
#include "display_frame.h"
#include "shared_block.h"
#include "wave_geometry.h"

void DrawWaveColumn(HWND window, HDC dc)
{
    if (!g_bCapturing)
        return;
    DrawSweepCursor(window, dc);
    const int x = GetSweepColumn();
    const SharedBlock block = GetSharedBlock();
    for (int channel = 1; channel <= 2; ++channel) {
        ChannelBand band = {0, 0, 0, 0};
        GetChannelBand(window, &band, channel, kChannelBandScale);
        int max = 0, min = 0;
        GetChannelPeaks(block.frames, channel, block.count, &max, &min);
        const double level = PeakToPeakDecibel(max, min);
        WaveColumn column;
        // An empty block has no peaks to draw; the cursor has moved on all the same.
        if (!ComputeWaveColumn(band, x, block.count, max, min, level,
                               g_Settings.m_iCautionDecibelLevel, &column))
            continue;
        DrawSegment(dc, column.line, column.colour);
        if (column.hasClipMark)
            DrawSegment(dc, column.clipMark, kRed);
    }
}

void DrawWaveScale(HWND window, HDC dc)
{
    const ClientSize client = GetClientSize(window);
    WaveScale scale;
    ComputeWaveScale(client.width, client.height, &scale);
    DrawSegment(dc, scale.axis, kBlack);
    for (const WaveScaleChannel& c : scale.channel) {
        DrawSegment(dc, c.zeroLine, kBlue);
        SetTextColor(dc, ToColorRef(c.labelColour));
        TextOutA(dc, c.labelX, c.labelY, c.label, static_cast<int>(std::strlen(c.label)));
        DrawSegment(dc, c.fullScaleUp, kBlack);
        DrawSegment(dc, c.fullScaleDown, kBlack);
    }
}

static LRESULT OnWavePaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginDisplayPaint(window, &paint);
    DrawWaveColumn(window, dc);
    DrawWaveScale(window, dc);
    EndDisplayPaint(window, &paint);
    return 0;
}

LRESULT CALLBACK WaveWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT)
        return OnWavePaint(window);
    return HandleSweepWindowMessage(window, message, wParam, lParam, kWaveWindowFields);
}
