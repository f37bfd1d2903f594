#include "fft_window.h"

#include "capture_session.h"
#include "cosine_transform.h"
#include "fft_geometry.h"
#include "frame_geometry.h"
#include "settings.h"
#include "shell_state.h"

namespace {

BackBuffer s_fftBuffer;

const DisplayWindowUnit kFFTUnit = {&kFFTWindowFields,   &s_fftBuffer,       WHITE_BRUSH,
                                    DrawSpectrumColumn, DrawFrequencyScale, true};

// The shared handling, then the height limit while capturing. With no frames
// yet there is no transform size and no limit: a limit of 0 would collapse
// the window, and that height would be saved.
LRESULT OnFFTSize(HWND window, WPARAM sizeType)
{
    if (!ResizeSweepWindow(window, sizeType, kFFTUnit) || !g_bCapturing)
        return 0;
    const int N = GetSpectrumSize(GetSharedBlock().count, GetSharedSamplingRate());
    if (N <= 0)
        return 0;
    g_Settings.m_FFTWindowYHeight = LimitFftWindowHeight(N, g_Settings.m_FFTWindowYHeight);
    RECT rc;
    if (!GetWindowRect(window, &rc))
        return 0;
    // Runs on every block: skip the move when the window already has the size.
    if (rc.right - rc.left == g_Settings.m_iCommonWindowXWidth &&
        rc.bottom - rc.top == g_Settings.m_FFTWindowYHeight)
        return 0;
    MoveWindow(window, rc.left, rc.top, g_Settings.m_iCommonWindowXWidth,
               g_Settings.m_FFTWindowYHeight, TRUE);
    return 0;
}

// The limit is enforced on every block as well as on every real resize.
LRESULT OnFFTNewData(HWND window)
{
    OnDisplayNewData(window, kFFTUnit);
    SendMessageA(window, WM_SIZE, 0, 0);
    return 0;
}

}  // namespace

RECT DrawSpectrumColumn(const DisplayPaint& p)
{
    DrawSweepCursor(p);
    BackBuffer* b = p.target;
    const RECT changed = BufferColumns(*b, p.sweepColumn, 2);
    const int rate = p.samplingRate;
    const int N = GetSpectrumSize(p.block.count, rate);
    double* work = p.spectrumWork;
    if (N == 0 || !work)
        return changed;
    // The bins go straight into the bits: the cursor's lines must be there
    // first.
    GdiFlush();
    for (int channel = 1; channel <= 2; ++channel) {
        for (int j = 0; j < N; ++j)
            work[j] = p.block.frames[2 * j + channel - 1];
        ComputeLevelSpectrum(work, N);
        // Increasing bins: where several share a row, the highest stays.
        for (int j = 0; j < N; ++j) {
            const int y = FrequencyToY(b->height, channel, BinFrequency(j, N, rate), rate);
            PutBufferPixel(b, p.sweepColumn, y, LevelToColour(work[j]));
        }
    }
    return changed;
}

RECT DrawFrequencyScale(const DisplayPaint& p)
{
    BackBuffer* b = p.target;
    const int rate = p.samplingRate;
    DrawSegment(b->dc, &b->pens, ScaleAxis(b->height), kBlack);
    for (int channel = 1; channel <= 2; ++channel) {
        const FftChannelLabel label = ComputeFftChannelLabel(b->height, channel);
        SetTextColor(b->dc, ToColorRef(label.colour));
        TextAt(b->dc, label.x, label.y, label.text);
        SetTextColor(b->dc, ToColorRef(kBlack));
        // Bounded by the band's rows as well as by the rate.
        const int count = FrequencyLabelCount(b->height, rate);
        for (int i = 0; i < count; ++i) {
            const FrequencyGridLine g =
                ComputeFrequencyGridLine(b->width, b->height, channel, rate, i);
            DrawSegment(b->dc, &b->pens, g.line, kBlack);
            TextAt(b->dc, g.labelX, g.labelY, g.label);
        }
    }
    return {0, 0, 0, 0};
}

LRESULT CALLBACK FFTWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        return OnFFTSize(window, wParam);
    case UM_NEWDATA:
        return OnFFTNewData(window);
    default:
        return HandleDisplayWindowMessage(window, message, wParam, lParam, kFFTUnit);
    }
}
