// Screenshots of the test display, read pixel by pixel.
//
// Under Wine a device context of another process's window reads back black;
// the screen's device context reads what the X server shows, as a
// screenshot does. Windows must not overlap where they are read.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class ScreenShot {
public:
    // Copies the whole screen.
    bool Grab();
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Screen coordinates; CLR_INVALID outside the shot.
    COLORREF At(int x, int y) const;
    // Client coordinates of a window, as it is placed now.
    COLORREF ClientAt(HWND window, int x, int y) const;
    // A 24-bit BMP, for looking at a failure afterwards.
    bool SaveBmp(const std::string& unixPath) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<DWORD> pixels_;  // 0x00RRGGBB, top row first
};

inline bool SameColour(COLORREF a, int r, int g, int b)
{
    return GetRValue(a) == r && GetGValue(a) == g && GetBValue(a) == b;
}
