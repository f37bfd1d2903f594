#include "fft_window.h"

#include <cstring>

#include "cosine_transform.h"
#include "shell_state.h"
#include "settings.h"
#include "sweep.h"
#include "capture_session.h"
#include "display_frame.h"
#include "fft_geometry.h"
#include "frame_geometry.h"
#include "shared_block.h"

namespace {

void TextAt(HDC dc, int x, int y, const char* text)
{
    TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
}

// The shared handling, then the height limit while capturing. With no frames
// yet there is no transform size and no limit: a limit of 0 would collapse
// the window, and that height would be saved.
LRESULT OnFFTSize(HWND window, WPARAM sizeType)
{
    if (LOWORD(sizeType) == SIZE_MINIMIZED || IsIconic(window))
        return 0;
    OnSweepWindowSize(window, sizeType, kFFTWindowFields);
    if (!g_bCapturing)
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

LRESULT OnFFTPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginDisplayPaint(window, &paint);
    DrawSpectrumColumn(window, dc);
    DrawFrequencyScale(window, dc);
    EndDisplayPaint(window, &paint);
    return 0;
}

// The limit is enforced on every block as well as on every real resize.
LRESULT OnFFTNewData(HWND window)
{
    SendMessageA(window, WM_PAINT, 0, 0);
    SendMessageA(window, WM_SIZE, 0, 0);
    return 0;
}

}  // namespace

void DrawSpectrumColumn(HWND window, HDC dc)
{
    if (!g_bCapturing)
        return;
    DrawSweepCursor(window, dc);
    const int x = GetSweepColumn();
    const int rate = GetSharedSamplingRate();
    const SharedBlock block = GetSharedBlock();
    const int N = GetSpectrumSize(block.count, rate);
    double* work = g_pSpectrumWork;
    if (N == 0 || !work)
        return;
    const int height = GetClientSize(window).height;
    for (int channel = 1; channel <= 2; ++channel) {
        for (int j = 0; j < N; ++j)
            work[j] = block.frames[2 * j + channel - 1];
        ComputeLevelSpectrum(work, N);
        // Increasing bins: where several share a row, the highest stays.
        for (int j = 0; j < N; ++j) {
            const RgbColour c = LevelToColour(work[j]);
            const int y = FrequencyToY(height, channel, BinFrequency(j, N, rate), rate);
            SetPixel(dc, x, y, ToColorRef(c));
        }
    }
}

void DrawFrequencyScale(HWND window, HDC dc)
{
    const ClientSize client = GetClientSize(window);
    const int rate = GetSharedSamplingRate();
    DrawSegment(dc, ScaleAxis(client.height), kBlack);
    for (int channel = 1; channel <= 2; ++channel) {
        const FftChannelLabel label = ComputeFftChannelLabel(client.height, channel);
        SetTextColor(dc, ToColorRef(label.colour));
        TextAt(dc, label.x, label.y, label.text);
        SetTextColor(dc, ToColorRef(kBlack));
        // Bounded by the band's rows as well as by the rate.
        const int count = FrequencyLabelCount(client.height, rate);
        for (int i = 0; i < count; ++i) {
            const FrequencyGridLine g =
                ComputeFrequencyGridLine(client.width, client.height, channel, rate, i);
            DrawSegment(dc, g.line, kBlack);
            TextAt(dc, g.labelX, g.labelY, g.label);
        }
    }
}

LRESULT CALLBACK FFTWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:  return OnFFTSize(window, wParam);
    case WM_PAINT: return OnFFTPaint(window);
    default:       break;
    }
    if (message == UM_NEWDATA)
        return OnFFTNewData(window);
    return HandleSweepWindowMessage(window, message, wParam, lParam, kFFTWindowFields);
}
