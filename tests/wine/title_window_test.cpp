// The title window and its picture holder on real windows: placement, the
// 2000 ms life, clicks and keys, the picture at its natural size and upright,
// read back pixel by pixel; and which windows count as Tavrel's own.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "shell_state.h"
#include "module_path.h"
#include "own_windows.h"
#include "title_window.h"
#include "tests/wine/support/modal_driver.h"
#include "display_frame.h"

namespace {

const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

// A 192 x 100 GIF, the top 50 rows red and the rest blue, without
// compression: a clear code before every two pixels keeps codes 3 bits wide.
void WriteGif(const std::string& path)
{
    std::vector<unsigned char> out = {
        'G', 'I', 'F', '8', '9', 'a', 192, 0, 100, 0, 0x91, 0, 0,  // 4-entry table:
        255, 0, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255,              // red, blue, black, white
        0x2C, 0, 0, 0, 0, 192, 0, 100, 0, 0, 2};                    // image, code size 2
    std::vector<unsigned char> data;
    unsigned bits = 0, count = 0;
    auto code = [&](unsigned c) {
        for (bits |= c << count, count += 3; count >= 8; bits >>= 8, count -= 8)
            data.push_back(static_cast<unsigned char>(bits));
    };
    for (int i = 0; i < 192 * 100; ++i) {
        if (i % 2 == 0)
            code(4);  // clear
        code(i < 192 * 50 ? 0 : 1);
    }
    code(5);  // end of information
    if (count > 0)
        data.push_back(static_cast<unsigned char>(bits));
    for (size_t i = 0; i < data.size(); i += 255) {
        const size_t n = std::min<size_t>(255, data.size() - i);
        out.push_back(static_cast<unsigned char>(n));
        out.insert(out.end(), data.begin() + i, data.begin() + i + n);
    }
    out.insert(out.end(), {0, 0x3B});
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
}

std::string TitlePath()
{
    char path[260];
    ModuleRelativePath("title.gif", path, sizeof(path));
    return path;
}

// Pumps until the window has gone; how long that took.
DWORD MillisecondsUntilGone(HWND window, DWORD start, DWORD limit)
{
    while (IsWindow(window) && GetTickCount() - start < limit)
        PumpFor(10);
    return GetTickCount() - start;
}

class TitleWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_hInstance = GetModuleHandleA(nullptr);
        CoInitialize(nullptr);
        DeleteFileA(TitlePath().c_str());
        HDC screen = GetDC(nullptr);
        ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96) << "the sizes below assume 96 dpi";
        ReleaseDC(nullptr, screen);
    }
    void TearDown() override { DeleteFileA(TitlePath().c_str()); }
};

TEST_F(TitleWindow, PictureHolderMeasuresInHimetricAndEmptiesOnAFailedLoad)
{
    WriteGif(TitlePath());
    PictureHolder holder;
    ASSERT_EQ(holder.LoadFile(TitlePath().c_str()), S_OK);
    EXPECT_EQ(holder.WidthHimetric(), 5080) << "192 px at 96 dpi: 2 inches";
    EXPECT_NE(holder.LoadFile("C:\\no such folder\\title.gif"), S_OK);
    EXPECT_EQ(holder.WidthHimetric(), 0);
    EXPECT_EQ(holder.HeightPixels(), 0);
}

// Centred and topmost, with or without "title.gif"; the picture is drawn
// upright at its natural size, and without it the window is blank.
TEST_F(TitleWindow, CentredTopmostAndDrawsThePictureAtItsNaturalSize)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const struct {
        int x, y;
        COLORREF withPicture;
    } points[] = {{0, 0, kRed},      {191, 49, kRed}, {192, 10, face},
                  {10, 50, kBlue},   {191, 99, kBlue}, {10, 100, face}};
    for (bool picture : {false, true}) {
        SCOPED_TRACE(picture);
        if (picture)
            WriteGif(TitlePath());
        HWND title = CreateTitleWindow(g_hInstance);
        ASSERT_NE(title, nullptr);
        EXPECT_TRUE(IsWindowVisible(title));
        EXPECT_TRUE(GetWindowLongA(title, GWL_EXSTYLE) & WS_EX_TOPMOST);
        RECT desktop, own;
        GetWindowRect(GetDesktopWindow(), &desktop);
        GetWindowRect(title, &own);
        EXPECT_EQ(own.left, (desktop.right - (own.right - own.left)) / 2);
        EXPECT_EQ(own.top, (desktop.bottom - (own.bottom - own.top)) / 2);
        HDC dc = GetDC(title);
        for (const auto& p : points)
            EXPECT_EQ(GetPixel(dc, p.x, p.y), picture ? p.withPicture : face) << p.x << "," << p.y;
        ReleaseDC(title, dc);
        DestroyWindow(title);
    }
}

TEST_F(TitleWindow, GoesAfterTwoSeconds)
{
    const DWORD start = GetTickCount();
    HWND title = CreateTitleWindow(g_hInstance);
    ASSERT_NE(title, nullptr);
    PumpFor(1500);
    EXPECT_TRUE(IsWindow(title)) << "still there at 1.5 s";
    // Timer and tick resolution, and the 10 ms pumping step.
    const DWORD elapsed = MillisecondsUntilGone(title, start, 3000);
    EXPECT_GE(elapsed, 1950u);
    EXPECT_LE(elapsed, 2600u);
    EXPECT_EQ(g_hTitleWindow, nullptr);
}

TEST_F(TitleWindow, GoesAtOnceOnAMouseButtonButNotOnAKey)
{
    const WORD keys[] = {VK_SPACE, 'A', VK_RETURN, VK_ESCAPE};
    // Left, right (an up flag is twice its down flag), then the keys.
    for (DWORD down : {DWORD(MOUSEEVENTF_LEFTDOWN), DWORD(MOUSEEVENTF_RIGHTDOWN), DWORD(0)}) {
        SCOPED_TRACE(down);
        HWND title = CreateTitleWindow(g_hInstance);
        ASSERT_NE(title, nullptr);
        RECT r;
        GetWindowRect(title, &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SetForegroundWindow(title);
        SetFocus(title);
        PumpFor(50);
        std::vector<INPUT> input(down ? 2 : 8);
        for (size_t i = 0; i < input.size(); ++i) {
            input[i].type = down ? INPUT_MOUSE : INPUT_KEYBOARD;
            if (down)
                input[i].mi.dwFlags = i == 0 ? down : 2 * down;
            else
                input[i].ki = {keys[i / 2], 0, i % 2 ? DWORD(KEYEVENTF_KEYUP) : 0, 0, 0};
        }
        const DWORD start = GetTickCount();
        SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
        const DWORD elapsed = MillisecondsUntilGone(title, start, down ? 1000 : 300);
        if (down)
            EXPECT_LT(elapsed, 500u) << "well before the timer";
        else
            EXPECT_TRUE(IsWindow(title)) << "keys leave it alone";
        DestroyWindow(title);
    }
}

// The main loop applies accelerators only to messages for these windows.
TEST(OwnWindows, AreTheControlDialogTheDisplaysTheTitleAndTheirChildren)
{
    g_hInstance = GetModuleHandleA(nullptr);
    auto make = [](HWND parent) {
        return CreateWindowExA(0, "STATIC", "", parent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, parent,
                               nullptr, g_hInstance, nullptr);
    };
    HWND stranger = make(nullptr);  // say, the help viewer on our thread
    EXPECT_FALSE(IsTavrelWindow(nullptr));
    EXPECT_FALSE(IsTavrelWindow(make(stranger)));

    for (HWND* global : {&g_hControlDialog, &g_hWaveWindow, &g_hResurgeWindow, &g_hDecibelWindow,
                         &g_hFFTWindow}) {
        HWND own = make(nullptr), saved = *global;
        *global = own;
        EXPECT_TRUE(IsTavrelWindow(own));
        EXPECT_TRUE(IsTavrelWindow(make(make(own)))) << "a grandchild";
        EXPECT_FALSE(IsTavrelWindow(stranger));
        *global = saved;
        DestroyWindow(own);
    }

    HWND title = CreateTitleWindow(g_hInstance);
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(IsTavrelWindow(title));
    DestroyWindow(title);
    EXPECT_FALSE(IsTavrelWindow(title));
    DestroyWindow(stranger);
}

}  // namespace
