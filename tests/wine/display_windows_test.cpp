// The four display windows on screen, block after block through the real
// block step, against the same drawing done the direct way: a pen per
// line, a pixel per FFT bin, a line per X-Y segment, on a DC of the test's
// own. Every client pixel must match after every block.
#include <gtest/gtest.h>

#include "capture_session.h"
#include "cosine_transform.h"
#include "decibel_geometry.h"
#include "display_frame.h"
#include "fft_geometry.h"
#include "frame_geometry.h"
#include "gdi_draw.h"
#include "level.h"
#include "resurge_geometry.h"
#include "settings.h"
#include "sweep.h"
#include "under_test.h"
#include "wave_geometry.h"

namespace {

class Reference {
public:
    Reference(HWND window, COLORREF background) : background_(background)
    {
        RECT r;
        GetClientRect(window, &r);
        w_ = r.right, h_ = r.bottom;
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), w_, -h_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_);
        Clear();
    }
    ~Reference() { SelectObject(dc_, old_), DeleteDC(dc_), DeleteObject(bitmap_); }
    void Clear()
    {
        HBRUSH brush = CreateSolidBrush(background_);
        RECT all = {0, 0, w_, h_};
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    void Line(const LineSegment& s, RgbColour c, int style = PS_SOLID)
    {
        HPEN pen = CreatePen(style, 1, ToColorRef(c));
        HGDIOBJ old = SelectObject(dc_, pen);
        MoveToEx(dc_, s.x1, s.y1, nullptr);
        LineTo(dc_, s.x2, s.y2);
        SelectObject(dc_, old);
        DeleteObject(pen);
    }
    void Text(int x, int y, const char* text, RgbColour c)
    {
        SetTextColor(dc_, ToColorRef(c));
        TextOutA(dc_, x, y, text, lstrlenA(text));
    }
    void Cursor(int x)
    {
        const SweepCursorLines c = ComputeSweepCursor(x, h_);
        Line(c.blank, {255, 255, 255});
        Line(c.cursor, kRed);
    }
    std::vector<std::uint32_t> Pixels()
    {
        GdiFlush();
        const auto* p = static_cast<std::uint32_t*>(bits_);
        return std::vector<std::uint32_t>(p, p + static_cast<size_t>(w_) * h_);
    }
    HDC dc_;
    int w_, h_;

private:
    COLORREF background_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    void* bits_;
};

void PaintWave(Reference& r, const short* f, int n, int x, bool capturing)
{
    if (capturing) {
        r.Cursor(x);
        for (int ch = 1; ch <= 2; ++ch) {
            ChannelBand band;
            ComputeChannelBand(r.h_, ch, 0.9, &band);
            int max, min;
            GetChannelPeaks(f, ch, n, &max, &min);
            WaveColumn c;
            if (!ComputeWaveColumn(band, x, n, max, min, PeakToPeakDecibel(max, min),
                                   g_Settings.m_iCautionDecibelLevel, &c))
                continue;
            r.Line(c.line, c.colour);
            if (c.hasClipMark)
                r.Line(c.clipMark, kRed);
        }
    }
    WaveScale s;
    ComputeWaveScale(r.w_, r.h_, &s);
    r.Line(s.axis, kBlack);
    for (const WaveScaleChannel& c : s.channel) {
        r.Line(c.zeroLine, kBlue);
        r.Text(c.labelX, c.labelY, c.label, c.labelColour);
        r.Line(c.fullScaleUp, kBlack);
        r.Line(c.fullScaleDown, kBlack);
    }
}

void PaintDecibel(Reference& r, DecibelTraceState* trace, const short* f, int n, int x,
                  bool capturing)
{
    if (capturing) {
        r.Cursor(x);
        const DecibelTraceStep s = AdvanceDecibelTrace(trace, x, r.h_, GetChannelDecibel(f, 1, n),
                                                       GetChannelDecibel(f, 2, n));
        r.Line(s.right, kRed);
        r.Line(s.left, kBlue);
    }
    DecibelScale s;
    ComputeDecibelScale(r.w_, r.h_, &s);
    r.Line(s.axis, kBlack);
    for (int i = 0; i < s.lineCount; ++i) {
        r.Line(s.lines[i].line, kBlack);
        r.Text(s.lines[i].labelX, s.lines[i].labelY, s.lines[i].label, kBlack);
    }
}

void PaintFFT(Reference& r, const short* f, int n, int x, int rate, bool capturing)
{
    const int N = GetSpectrumSize(n, rate);
    if (capturing)
        r.Cursor(x);
    for (int ch = 1; capturing && N > 0 && ch <= 2; ++ch) {
        std::vector<double> a(N);
        for (int j = 0; j < N; ++j)
            a[j] = f[2 * j + ch - 1];
        ComputeLevelSpectrum(a.data(), N);
        for (int j = 0; j < N; ++j)
            SetPixel(r.dc_, x, FrequencyToY(r.h_, ch, BinFrequency(j, N, rate), rate),
                     ToColorRef(LevelToColour(a[j])));
    }
    r.Line(ScaleAxis(r.h_), kBlack);
    for (int ch = 1; ch <= 2; ++ch) {
        const FftChannelLabel l = ComputeFftChannelLabel(r.h_, ch);
        r.Text(l.x, l.y, l.text, l.colour);
        for (int i = 0; i < FrequencyLabelCount(r.h_, rate); ++i) {
            const FrequencyGridLine g = ComputeFrequencyGridLine(r.w_, r.h_, ch, rate, i);
            r.Line(g.line, kBlack);
            r.Text(g.labelX, g.labelY, g.label, kBlack);
        }
    }
}

void PaintResurge(Reference& r, const short* f, int n, int position, bool capturing)
{
    const Settings& s = g_Settings;
    const ResurgeGeometry g = ComputeResurgeGeometry(r.w_, r.h_);
    auto point = [&](int i) {
        return ResurgePlotPoint(g, ResurgeXSample(f[2 * i], f[2 * i + 1], s.m_iResurgeXChannel),
                                ResurgeYSample(f[2 * i], f[2 * i + 1], s.m_iResurgeYChannel));
    };
    const int count = capturing ? ResurgeFrameCount(s.m_iThinResurgeWave, n,
                                                    s.m_bSkipResurgeProcessIfOverLoad, 400)
                                : 0;
    for (int i = 1; i < count; ++i)
        r.Line({point(i).x, point(i).y, point(i - 1).x, point(i - 1).y}, kResurgeTraceColour);
    ResurgeFrame fr;
    ComputeResurgeFrame(r.w_, r.h_, s.m_iResurgeXChannel, s.m_iResurgeYChannel, &fr);
    SetBkColor(r.dc_, RGB(0, 0, 0));
    if (s.m_bIsShowResurgeChannelName) {
        r.Text(fr.xLabelX, fr.xLabelY, fr.xLabel, kResurgeLabelColour);
        r.Text(fr.yLabelX, fr.yLabelY, fr.yLabel, kResurgeLabelColour);
    }
    for (const LineSegment& a : fr.axes)
        r.Line(a, kResurgeAxisColour);
    for (const LineSegment& b : fr.box)
        r.Line(b, kResurgeAxisColour, PS_DOT);
    if (!ResurgeBlankThisPaint(position))
        return;
    HGDIOBJ old = SelectObject(r.dc_, GetStockObject(BLACK_BRUSH));
    for (const PixelRect& b : fr.blank)
        Rectangle(r.dc_, b.left, b.top, b.right, b.bottom);
    SelectObject(r.dc_, old);
}

int Differences(HWND window, Reference& r)
{
    const std::vector<std::uint32_t> got = ScreenPixels(window), want = r.Pixels();
    if (got.size() != want.size())
        return -1;
    int n = 0;
    for (size_t i = 0; i < got.size(); ++i)
        n += got[i] != want[i];
    return n;
}

std::vector<short> Peaks(short max, short min)
{
    std::vector<short> v = Tone(400, 0, 0, 0, 0);
    v[0] = max, v[2] = min, v[5] = min, v[7] = max;
    return v;
}

std::vector<short> Append(std::vector<short> a, const std::vector<short>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(DisplayWindows, EveryPixelIsTheDirectDrawingAfterEveryBlock)
{
    EnsureTavrelWindows();
    // Settings the windows read, none at its default.
    g_Settings.m_iSamplingRate = 48000;
    g_Settings.m_iCautionDecibelLevel = -10;
    g_Settings.m_iThinResurgeWave = 50;
    g_Settings.m_iResurgeXChannel = 2;
    g_Settings.m_iResurgeYChannel = 1;
    // Both traces of the Decibel window end on the -96 dB row before the
    // comparison starts: their rows are kept through stops and clears.
    PressStartStop();
    FeedBlock(Tone(400, 0, 0, 0, 0));
    PressStartStop();
    PressStartStop();
    ASSERT_TRUE(g_bCapturing);
    Pump();

    Reference wave(g_hWaveWindow, RGB(255, 255, 255)), xy(g_hResurgeWindow, 0),
        decibel(g_hDecibelWindow, RGB(255, 255, 255)), fft(g_hFFTWindow, RGB(255, 255, 255));
    const int bottom = DecibelToY(-96, decibel.h_);
    DecibelTraceState trace;
    trace.previousLeftY = trace.previousRightY = bottom;
    auto paint = [&](bool capturing) {
        const short* f = g_pPCMData;
        const int n = g_iCountOfPCMData, x = GetSweepColumn();
        PaintWave(wave, f, n, x, capturing);
        PaintResurge(xy, f, n, g_iSweepPosition, capturing);
        PaintDecibel(decibel, &trace, f, n, x, capturing);
        PaintFFT(fft, f, n, x, 48000, capturing);
    };
    auto expectSame = [&](const char* what) {
        EXPECT_EQ(Differences(g_hWaveWindow, wave), 0) << "Wave, " << what;
        EXPECT_EQ(Differences(g_hResurgeWindow, xy), 0) << "X-Y, " << what;
        EXPECT_EQ(Differences(g_hDecibelWindow, decibel), 0) << "Decibel, " << what;
        EXPECT_EQ(Differences(g_hFFTWindow, fft), 0) << "FFT, " << what;
    };
    const std::vector<short> tone = Tone(400, 16384, 1000, 3000, 440);
    const struct {
        const char* what;
        std::vector<short> frames;
    } blocks[] = {
        {"no block yet", {}},
        {"-6 dB and 1 kHz, above the caution level", tone},
        {"full scale", Tone(400, 32767, 1000, 32767, 3000)},
        {"one clipped peak", Peaks(32200, -1000)},
        {"the fifth: the X-Y box blanked", Tone(400, 8000, 250, 20000, 250)},
        {"three blocks at once", Append(Append(tone, Peaks(30000, -30000)), tone)},
        {"silence", Tone(400, 0, 0, 0, 0)},
        {"below the caution level", Tone(400, 5000, 1000, 1000, 5000)},
    };
    for (const auto& b : blocks) {
        FeedBlock(b.frames);
        paint(true);
        expectSame(b.what);
    }
    // An erase request clears the history: only the newest block and the
    // scale are on screen afterwards.
    for (HWND w : {g_hWaveWindow, g_hResurgeWindow, g_hDecibelWindow, g_hFFTWindow})
        InvalidateRect(w, nullptr, TRUE), UpdateWindow(w);
    for (Reference* r : {&wave, &xy, &decibel, &fft})
        r->Clear();
    paint(true);
    expectSame("after an erase request");
    // Stopped: a block step draws no data, and the scale is already there.
    PressStartStop();
    FeedBlock(tone);
    expectSame("after a step while stopped");
    ApplySettingDefaults(g_Settings);
}

}  // namespace
