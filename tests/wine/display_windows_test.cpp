// The four display windows on screen from a start on, block after block
// through the real block step, against the same drawing done the direct way
// on a buffer of the test's own: a pen per data line, a pixel per FFT bin, a
// line per X-Y segment (the cursor and the scales are the windows' own
// functions). Every client pixel must match after every block.
#include <gtest/gtest.h>

#include <numeric>

#include "capture_session.h"
#include "cosine_transform.h"
#include "decibel_window.h"
#include "fft_geometry.h"
#include "fft_window.h"
#include "level.h"
#include "resurge_geometry.h"
#include "resurge_window.h"
#include "screen_update.h"
#include "settings.h"
#include "sweep.h"
#include "under_test.h"
#include "wave_geometry.h"
#include "wave_window.h"

namespace {

void Line(BackBuffer& b, const LineSegment& s, RgbColour c)
{
    HPEN pen = CreatePen(PS_SOLID, 1, ToColorRef(c));
    HGDIOBJ old = SelectObject(b.dc, pen);
    MoveToEx(b.dc, s.x1, s.y1, nullptr);
    LineTo(b.dc, s.x2, s.y2);
    SelectObject(b.dc, old);
    DeleteObject(pen);
}

void PaintWave(BackBuffer& b, const DisplayPaint& p)
{
    DrawSweepCursor(p);
    for (int ch = 1; ch <= 2; ++ch) {
        ChannelBand band;
        ComputeChannelBand(b.height, ch, 0.9, &band);
        int max, min;
        GetChannelPeaks(p.block.frames, ch, p.block.count, &max, &min);
        WaveColumn c;
        if (!ComputeWaveColumn(band, p.sweepColumn, p.block.count, max, min,
                               PeakToPeakDecibel(max, min), g_Settings.m_iCautionDecibelLevel, &c))
            continue;
        Line(b, c.line, c.colour);
        if (c.hasClipMark)
            Line(b, c.clipMark, kRed);
    }
    DrawWaveScale(p);
}

void PaintDecibel(BackBuffer& b, const DisplayPaint& p, DecibelTraceState* trace)
{
    DrawSweepCursor(p);
    const SharedBlock& f = p.block;
    const DecibelTraceStep s =
        AdvanceDecibelTrace(trace, p.sweepColumn, b.height, GetChannelDecibel(f.frames, 1, f.count),
                            GetChannelDecibel(f.frames, 2, f.count));
    Line(b, s.right, kRed);
    Line(b, s.left, kBlue);
    DrawDecibelScale(p);
}

void PaintFFT(BackBuffer& b, const DisplayPaint& p)
{
    DrawSweepCursor(p);
    const int N = GetSpectrumSize(p.block.count, 48000);
    for (int ch = 1; N > 0 && ch <= 2; ++ch) {
        std::vector<double> a(N);
        for (int j = 0; j < N; ++j)
            a[j] = p.block.frames[2 * j + ch - 1];
        ComputeLevelSpectrum(a.data(), N);
        for (int j = 0; j < N; ++j)
            SetPixel(b.dc, p.sweepColumn,
                     FrequencyToY(b.height, ch, BinFrequency(j, N, 48000), 48000),
                     ToColorRef(LevelToColour(a[j])));
    }
    DrawFrequencyScale(p);
}

void PaintResurge(BackBuffer& b, const DisplayPaint& p)
{
    const Settings& s = g_Settings;
    const ResurgeGeometry g = ComputeResurgeGeometry(b.width, b.height);
    auto point = [&](int i) {
        const short* f = p.block.frames + 2 * i;
        return ResurgePlotPoint(g, ResurgeXSample(f[0], f[1], s.m_iResurgeXChannel),
                                ResurgeYSample(f[0], f[1], s.m_iResurgeYChannel));
    };
    const int n = ResurgeFrameCount(s.m_iThinResurgeWave, p.block.count,
                                    s.m_bSkipResurgeProcessIfOverLoad, 400);
    for (int i = 1; i < n; ++i)
        Line(b, {point(i).x, point(i).y, point(i - 1).x, point(i - 1).y}, kResurgeTraceColour);
    DrawResurgeFrame(p);
}

int Differences(HWND window, const BackBuffer& b)
{
    GdiFlush();
    const std::vector<std::uint32_t> got = ScreenPixels(window);
    if (got.size() != static_cast<size_t>(b.width) * b.height)
        return -1;
    return static_cast<int>(got.size() - std::inner_product(got.begin(), got.end(), b.bits, 0L,
                                                            std::plus<>(), std::equal_to<>()));
}

std::vector<short> Peaks(short max, short min)
{
    std::vector<short> v = Tone(400, 0, 0, 0, 0);
    v[0] = max, v[2] = min, v[5] = min, v[7] = max;
    return v;
}

using DisplayWindows = FromKnownState;

TEST_F(DisplayWindows, EveryPixelIsTheDirectDrawingAfterEveryBlock)
{
    // Settings the windows read, none at its default.
    Settings& s = g_Settings;
    s.m_iSamplingRate = 48000, s.m_iCautionDecibelLevel = -10;
    s.m_iThinResurgeWave = 50, s.m_iResurgeXChannel = 2, s.m_iResurgeYChannel = 1;
    // A start clears every window and begins the sweep again: the block of
    // the run before is gone. The Decibel traces keep their rows through
    // stops and clears: both end on the -96 dB row before the comparison.
    Start();
    for (int i = 0; i < 3; ++i)  // past the columns the first blocks below draw over
        FeedBlock(Tone(400, 0, 0, 0, 0));
    Stop();
    ASSERT_TRUE(Start());
    EXPECT_EQ(g_iSweepPosition, 0);
    Pump();
    const HWND window[4] = {g_hWaveWindow, g_hResurgeWindow, g_hDecibelWindow, g_hFFTWindow};
    BackBuffer ref[4] = {};
    for (int i = 0; i < 4; ++i)
        RemakeBackBuffer(&ref[i], window[i],
                         static_cast<HBRUSH>(GetStockObject(i == 1 ? BLACK_BRUSH : WHITE_BRUSH)));
    DecibelTraceState trace;
    trace.previousLeftY = trace.previousRightY = DecibelToY(-96, ref[2].height);
    // Compared when the screen is brought up to date (at most once a refresh).
    auto paintAndCompare = [&](const char* what) {
        BringScreenUpToDate();
        DisplayPaint p[4];
        for (int i = 0; i < 4; ++i)
            p[i] = GatherDisplayPaint(window[i], &ref[i]);
        PaintWave(ref[0], p[0]);
        PaintResurge(ref[1], p[1]);
        PaintDecibel(ref[2], p[2], &trace);
        PaintFFT(ref[3], p[3]);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(Differences(window[i], ref[i]), 0) << "window " << i << ", " << what;
    };
    const std::vector<short> tone = Tone(400, 16384, 1000, 3000, 440);
    std::vector<short> three = tone;
    for (const auto& more : {Peaks(30000, -30000), tone})
        three.insert(three.end(), more.begin(), more.end());
    const std::pair<const char*, std::vector<short>> blocks[] = {
        {"no block yet", {}},
        {"-6 dB and 1 kHz, above the caution level", tone},
        {"full scale", Tone(400, 32767, 1000, 32767, 3000)},
        {"one clipped peak", Peaks(32200, -1000)},
        {"the fifth: the X-Y box blanked", Tone(400, 8000, 250, 20000, 250)},
        {"three blocks at once", three},
        {"silence", Tone(400, 0, 0, 0, 0)},
        {"below the caution level", Tone(400, 5000, 1000, 1000, 5000)},
    };
    for (const auto& [what, frames] : blocks) {
        FeedBlock(frames);
        paintAndCompare(what);
    }
    // An erase request clears the history: the newest block and the scale
    // are all that is on screen afterwards.
    for (int i = 0; i < 4; ++i) {
        InvalidateRect(window[i], nullptr, TRUE);
        UpdateWindow(window[i]);
        ClearBackBuffer(&ref[i]);
    }
    paintAndCompare("after an erase request");
    for (BackBuffer& b : ref)
        FreeBackBuffer(&b);
}

}  // namespace
