// What the display window suites share: the four real windows created once
// per test process at a known layout, a block of samples installed as the
// shared sample buffer, and pixels read back from a window.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Outer rectangles the windows are created at: apart from each other on the
// 1600 x 1200 test screen, so no window covers another's pixels.
struct DisplayTestLayout {
    int waveX, waveY, commonWidth, waveHeight;
    int resurgeX, resurgeY, resurgeWidth, resurgeHeight;
    int decibelX, decibelY, decibelHeight;
    int fftX, fftY, fftHeight;
};
extern const DisplayTestLayout kDisplayTestLayout;

// What the windows looked like straight after CreateDisplayWindows, before
// ApplyWindowVisibility: [0] Wave, [1] X-Y, [2] Decibel, [3] FFT.
struct DisplayCreationRecord {
    bool created;
    bool visible[4];
    RECT rect[4];
};

// Creates the four windows once per process (defaults, then the test layout;
// every window shown except FFT, whose flag starts clear), applies the flags
// and sets the icons. Returns the record of the one creation.
const DisplayCreationRecord& EnsureDisplayWindows();
HWND DisplayWindow(int index);  // 0 Wave, 1 X-Y, 2 Decibel, 3 FFT

// Dispatches whatever the system has queued (its own repaints) with the
// capturing flag clear, so a later read-back sees only what the test drew.
void PumpMessages();

// Shows the window where the test wants it, with its flag set, and moves it
// so its client area has exactly the given height (width untouched when 0).
void ShowForTest(HWND window, bool* shownFlag);
void SetClientSize(HWND window, int clientWidth, int clientHeight);

COLORREF PixelAt(HWND window, int x, int y);
// The whole client area, row-major, GetPixel per pixel.
std::vector<COLORREF> ClientPixels(HWND window, int* width, int* height);

// Frames (left, right) that become the shared sample buffer for its
// lifetime, with g_iCountOfPCMData set to their number; a spectrum work
// buffer comes with it. The previous buffer, count and capturing flag come
// back when it goes.
class InstalledBlock {
public:
    explicit InstalledBlock(const std::vector<short>& interleaved, bool capturing = true);
    ~InstalledBlock();
    InstalledBlock(const InstalledBlock&) = delete;
    InstalledBlock& operator=(const InstalledBlock&) = delete;

private:
    std::vector<short> frames_;
    std::vector<double> work_;
    short* previousFrames_;
    int previousCount_;
    double* previousWork_;
    bool previousCapturing_;
};

// n frames with every left sample `left` and every right sample `right`.
std::vector<short> ConstantFrames(int n, short left, short right);

// Sets m_iSamplingRate and has the capture session rebuild its format record
// from it, as a stop does; no capture object is needed.
void SetCaptureRate(int rate);

// Text as the ANSI functions see it (CP932 bytes from a UTF-8 source).
std::string WindowText(HWND window);
