#include "wave_window.h"

#include "level.h"
#include "wave_geometry.h"

namespace {

BackBuffer s_waveBuffer;

const DisplayWindowUnit kWaveUnit = {&kWaveWindowFields, &s_waveBuffer, WHITE_BRUSH,
                                     DrawWaveColumn,     DrawWaveScale, true};

}  // namespace

RECT DrawWaveColumn(const DisplayPaint& p)
{
    DrawSweepCursor(p);
    BackBuffer* b = p.target;
    for (int channel = 1; channel <= 2; ++channel) {
        ChannelBand band = {0, 0, 0, 0};
        ComputeChannelBand(b->height, channel, kChannelBandScale, &band);
        int max = 0, min = 0;
        GetChannelPeaks(p.block.frames, channel, p.block.count, &max, &min);
        const double level = PeakToPeakDecibel(max, min);
        WaveColumn column;
        // An empty block has no peaks to draw; the cursor has moved on all the same.
        if (!ComputeWaveColumn(band, p.sweepColumn, p.block.count, max, min, level,
                               p.settings->m_iCautionDecibelLevel, &column))
            continue;
        DrawSegment(b->dc, &b->pens, column.line, column.colour);
        if (column.hasClipMark)
            DrawSegment(b->dc, &b->pens, column.clipMark, kRed);
    }
    // The cursor blanked column x and stands at x + 1.
    return BufferColumns(*b, p.sweepColumn, 2);
}

RECT DrawWaveScale(const DisplayPaint& p)
{
    BackBuffer* b = p.target;
    WaveScale scale;
    ComputeWaveScale(b->width, b->height, &scale);
    DrawSegment(b->dc, &b->pens, scale.axis, kBlack);
    for (const WaveScaleChannel& c : scale.channel) {
        DrawSegment(b->dc, &b->pens, c.zeroLine, kBlue);
        SetTextColor(b->dc, ToColorRef(c.labelColour));
        TextAt(b->dc, c.labelX, c.labelY, c.label);
        DrawSegment(b->dc, &b->pens, c.fullScaleUp, kBlack);
        DrawSegment(b->dc, &b->pens, c.fullScaleDown, kBlack);
    }
    return {0, 0, 0, 0};
}

LRESULT CALLBACK WaveWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return HandleDisplayWindowMessage(window, message, wParam, lParam, kWaveUnit);
}
