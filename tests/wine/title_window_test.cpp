// The title window and its picture holder on real windows: placement, the
// 2000 ms life, clicks and keys, the picture drawn at its natural size and
// upright, read back pixel by pixel; and which windows count as Tavrel's own.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/module_path.h"
#include "dialogs/own_windows.h"
#include "dialogs/title_window.h"
#include "res/resource.h"
#include "tests/wine/support/modal_driver.h"
#include "windows/display_frame.h"

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);

// A GIF with a 4-colour palette (0 red, 1 blue, 2 green, 3 white), written
// without compression: a clear code before every two pixels keeps the code
// table from growing, so every code stays 3 bits wide.
void WriteGif(const std::string& path, int width, int height,
              const std::function<int(int, int)>& colourAt)
{
    std::vector<unsigned char> out = {'G', 'I', 'F', '8', '9', 'a'};
    auto word = [&out](int v) {
        out.push_back(static_cast<unsigned char>(v & 0xFF));
        out.push_back(static_cast<unsigned char>(v >> 8));
    };
    word(width);
    word(height);
    out.insert(out.end(), {0x91, 0, 0});  // global table of 4 entries
    out.insert(out.end(), {255, 0, 0, 0, 0, 255, 0, 255, 0, 255, 255, 255});
    out.push_back(0x2C);
    word(0);
    word(0);
    word(width);
    word(height);
    out.push_back(0);
    out.push_back(2);  // minimum code size

    std::vector<unsigned char> data;
    unsigned bits = 0;
    int bitCount = 0;
    auto code = [&](unsigned c) {
        bits |= c << bitCount;
        bitCount += 3;
        while (bitCount >= 8) {
            data.push_back(static_cast<unsigned char>(bits & 0xFF));
            bits >>= 8;
            bitCount -= 8;
        }
    };
    int n = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (n++ % 2 == 0)
                code(4);  // clear
            code(static_cast<unsigned>(colourAt(x, y)));
        }
    code(5);  // end of information
    if (bitCount > 0)
        data.push_back(static_cast<unsigned char>(bits & 0xFF));
    for (size_t i = 0; i < data.size(); i += 255) {
        const size_t size = std::min<size_t>(255, data.size() - i);
        out.push_back(static_cast<unsigned char>(size));
        out.insert(out.end(), data.begin() + i, data.begin() + i + size);
    }
    out.push_back(0);
    out.push_back(0x3B);

    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(out.data(), 1, out.size(), file);
    std::fclose(file);
}

// 192 x 100: the top half red, the bottom half blue.
int RedOverBlue(int, int y)
{
    return y < 50 ? 0 : 1;
}

std::string TempPath(const char* name)
{
    char dir[MAX_PATH] = {};
    GetTempPathA(sizeof(dir), dir);
    return std::string(dir) + name;
}

// title.gif beside the test program for the lifetime of the guard.
class TitlePictureBesideProgram {
public:
    TitlePictureBesideProgram()
    {
        char path[260];
        ModuleRelativePath("title.gif", path, sizeof(path));
        path_ = path;
        WriteGif(path_, 192, 100, RedOverBlue);
    }
    ~TitlePictureBesideProgram() { DeleteFileA(path_.c_str()); }

private:
    std::string path_;
};

int ScreenDpi(int index)
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return dpi;
}

COLORREF ClientPixel(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

void LeftOrRightClickAt(HWND window, bool right)
{
    RECT r;
    GetWindowRect(window, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PumpFor(30);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

void PumpUntilGone(HWND window, DWORD limitMs)
{
    const DWORD start = GetTickCount();
    while (IsWindow(window) && GetTickCount() - start < limitMs)
        PumpFor(10);
}

class TitleWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        g_hInstance = GetModuleHandleA(nullptr);
        CoInitialize(nullptr);
    }
    void SetUp() override
    {
        char path[260];
        ModuleRelativePath("title.gif", path, sizeof(path));
        DeleteFileA(path);
        PumpFor(20);
    }
};

TEST_F(TitleWindow, PictureHolderMeasuresInHimetricAndScreenPixels)
{
    ASSERT_EQ(ScreenDpi(LOGPIXELSX), 96) << "the figures below assume 96 dpi";
    ASSERT_EQ(ScreenDpi(LOGPIXELSY), 96);
    const std::string path = TempPath("tavrel_holder_test.gif");
    WriteGif(path, 192, 100, RedOverBlue);

    PictureHolder holder;
    EXPECT_EQ(holder.WidthHimetric(), 0);
    EXPECT_EQ(holder.WidthPixels(), 0);
    ASSERT_EQ(holder.LoadFile(path.c_str()), S_OK);
    // 192 px at 96 dpi is 2 inches, 5080 HIMETRIC; 100 px rounds to 2646.
    EXPECT_EQ(holder.WidthHimetric(), 5080);
    EXPECT_NEAR(holder.HeightHimetric(), 2646, 1) << "decoder rounding";
    EXPECT_EQ(holder.WidthPixels(), 192);
    EXPECT_EQ(holder.HeightPixels(), 100);

    // Loading something that is not there empties the holder.
    EXPECT_NE(holder.LoadFile("C:\\no such folder\\title.gif"), S_OK);
    EXPECT_EQ(holder.WidthHimetric(), 0);
    EXPECT_EQ(holder.HeightPixels(), 0);
    holder.Release();  // twice empty is fine
    DeleteFileA(path.c_str());
}

TEST_F(TitleWindow, PictureHolderRendersUpright)
{
    const std::string path = TempPath("tavrel_render_test.gif");
    WriteGif(path, 192, 100, RedOverBlue);
    PictureHolder holder;
    ASSERT_EQ(holder.LoadFile(path.c_str()), S_OK);

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 220, 120);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 220, 120};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    holder.Render(dc, 0, 0, holder.WidthPixels(), holder.HeightPixels());
    EXPECT_EQ(GetPixel(dc, 5, 5), kRed) << "top of the picture at the top";
    EXPECT_EQ(GetPixel(dc, 5, 95), kBlue);
    EXPECT_EQ(GetPixel(dc, 191, 49), kRed);
    EXPECT_EQ(GetPixel(dc, 191, 50), kBlue);
    EXPECT_EQ(GetPixel(dc, 192, 10), RGB(255, 255, 255)) << "192 pixels wide, no more";
    EXPECT_EQ(GetPixel(dc, 10, 100), RGB(255, 255, 255)) << "100 pixels high, no more";

    PictureHolder empty;
    empty.Render(dc, 0, 0, 50, 50);  // draws nothing
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DeleteFileA(path.c_str());
}

TEST_F(TitleWindow, CentredTopmostAndBlankWithoutPicture)
{
    HWND title = CreateTitleWindow(g_hInstance);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(g_hTitleWindow, title);
    EXPECT_TRUE(IsWindowVisible(title));
    EXPECT_TRUE(GetWindowLongA(title, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongA(title, GWL_STYLE) & WS_CAPTION);

    RECT desktop, own;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(title, &own);
    const int w = own.right - own.left, h = own.bottom - own.top;
    EXPECT_EQ(own.left, (desktop.right - desktop.left - w) / 2);
    EXPECT_EQ(own.top, (desktop.bottom - desktop.top - h) / 2);

    // The client area is the template's 199 x 158 dialog units.
    RECT units = {0, 0, 199, 158};
    MapDialogRect(title, &units);
    RECT client;
    GetClientRect(title, &client);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);

    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (POINT p : {POINT{2, 2}, POINT{100, 50}, POINT{client.right - 3, client.bottom - 3}})
        EXPECT_EQ(ClientPixel(title, p.x, p.y), face) << p.x << "," << p.y;

    // A window shown later, as the display windows are, stays below it in
    // the z-order. (Wine with unmanaged X windows does not restack the X
    // windows to match, so this reads the z-order, not the screen.)
    HWND later = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_BORDER, own.left + 10,
                                 own.top + 10, 200, 100, nullptr, nullptr, g_hInstance, nullptr);
    SetWindowPos(later, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    int titleRank = -1, laterRank = -1, rank = 0;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT), ++rank) {
        if (w == title)
            titleRank = rank;
        if (w == later)
            laterRank = rank;
    }
    EXPECT_GE(titleRank, 0);
    EXPECT_GT(laterRank, titleRank);
    DestroyWindow(later);
    DestroyWindow(title);
    EXPECT_EQ(g_hTitleWindow, nullptr);
}

TEST_F(TitleWindow, DrawsTheTitlePictureAtItsNaturalSize)
{
    ASSERT_EQ(ScreenDpi(LOGPIXELSX), 96);
    TitlePictureBesideProgram picture;
    HWND title = CreateTitleWindow(g_hInstance);
    ASSERT_NE(title, nullptr);
    RECT client;
    GetClientRect(title, &client);
    ASSERT_GT(client.right, 200) << "room to see where the picture ends";
    ASSERT_GT(client.bottom, 110);

    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(ClientPixel(title, 0, 0), kRed);
    EXPECT_EQ(ClientPixel(title, 191, 10), kRed);
    EXPECT_EQ(ClientPixel(title, 192, 10), face);
    EXPECT_EQ(ClientPixel(title, 10, 99), kBlue);
    EXPECT_EQ(ClientPixel(title, 10, 100), face);

    // Every paint reads the file: once it has gone, a repaint is blank.
    DeleteFileA([] {
        char path[260];
        ModuleRelativePath("title.gif", path, sizeof(path));
        return std::string(path);
    }().c_str());
    InvalidateRect(title, nullptr, TRUE);
    UpdateWindow(title);
    EXPECT_EQ(ClientPixel(title, 10, 10), face);
    DestroyWindow(title);
}

TEST_F(TitleWindow, GoesAfterTwoSeconds)
{
    const DWORD start = GetTickCount();
    HWND title = CreateTitleWindow(g_hInstance);
    ASSERT_NE(title, nullptr);
    PumpFor(1500);
    EXPECT_TRUE(IsWindow(title)) << "still there at 1.5 s";
    PumpUntilGone(title, 3000);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_FALSE(IsWindow(title));
    // Timer and tick resolution, and the 10 ms pumping step.
    EXPECT_GE(elapsed, 1950u);
    EXPECT_LE(elapsed, 2600u);
    EXPECT_EQ(g_hTitleWindow, nullptr);
}

TEST_F(TitleWindow, GoesAtOnceOnAMouseButtonButNotOnAKey)
{
    for (bool right : {false, true}) {
        SCOPED_TRACE(right ? "right" : "left");
        HWND title = CreateTitleWindow(g_hInstance);
        ASSERT_NE(title, nullptr);
        PumpFor(50);
        const DWORD start = GetTickCount();
        LeftOrRightClickAt(title, right);
        PumpUntilGone(title, 1000);
        EXPECT_FALSE(IsWindow(title));
        EXPECT_LT(GetTickCount() - start, 500u) << "well before the timer";
    }

    HWND title = CreateTitleWindow(g_hInstance);
    ASSERT_NE(title, nullptr);
    SetForegroundWindow(title);
    SetFocus(title);
    PumpFor(50);
    for (WORD key : {WORD(VK_SPACE), WORD('A'), WORD(VK_RETURN), WORD(VK_ESCAPE)}) {
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_KEYBOARD;
        input[0].ki.wVk = input[1].ki.wVk = key;
        input[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof(INPUT));
        PumpFor(50);
    }
    EXPECT_TRUE(IsWindow(title)) << "keys leave it alone";
    DestroyWindow(title);
}

// The main loop applies accelerators only to messages for these windows.
TEST(OwnWindows, AreTheControlDialogTheDisplaysTheTitleAndTheirChildren)
{
    g_hInstance = GetModuleHandleA(nullptr);
    auto make = [](HWND parent) {
        return CreateWindowExA(0, "STATIC", "", parent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, parent,
                               nullptr, g_hInstance, nullptr);
    };
    HWND* const globals[] = {&g_hControlDialog, &g_hWaveWindow,  &g_hResurgeWindow,
                             &g_hDecibelWindow, &g_hFFTWindow};
    HWND saved[5];
    for (int i = 0; i < 5; ++i)
        saved[i] = *globals[i];

    HWND stranger = make(nullptr);  // say, the help viewer on our thread
    HWND strangerChild = make(stranger);
    EXPECT_FALSE(IsTavrelWindow(nullptr));
    EXPECT_FALSE(IsTavrelWindow(stranger));
    EXPECT_FALSE(IsTavrelWindow(strangerChild));

    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        HWND own = make(nullptr);
        HWND child = make(own);
        HWND grandchild = make(child);
        EXPECT_FALSE(IsTavrelWindow(own)) << "not yet one of ours";
        *globals[i] = own;
        EXPECT_TRUE(IsTavrelWindow(own));
        EXPECT_TRUE(IsTavrelWindow(child));
        EXPECT_TRUE(IsTavrelWindow(grandchild));
        EXPECT_FALSE(IsTavrelWindow(stranger));
        *globals[i] = saved[i];
        DestroyWindow(own);
    }

    HWND title = CreateTitleWindow(g_hInstance);
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(IsTavrelWindow(title));
    DestroyWindow(title);
    EXPECT_FALSE(IsTavrelWindow(title));
    EXPECT_FALSE(IsTavrelWindow(stranger));
    DestroyWindow(stranger);
}

}  // namespace
