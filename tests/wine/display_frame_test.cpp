// The display window frame on real windows: creation and placement, the
// common width, minimised and closed windows, clearing, and the shared
// drawing operations read back pixel by pixel.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "app/app_state.h"
#include "app/block_step.h"
#include "app/settings.h"
#include "app/sweep.h"
#include "capture/capture_session.h"
#include "res/resource.h"
#include "tests/wine/support/display_test_support.h"
#include "windows/display_frame.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlackPixel = RGB(0, 0, 0);
const COLORREF kRedPixel = RGB(255, 0, 0);

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

RECT OuterRect(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string ClassName(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

class DisplayFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureDisplayWindows().created);
        g_bCapturing = false;
        PumpMessages();
    }
};

// Runs first: what creation did before any other test moved a window.
TEST_F(DisplayFrame, CreatesHiddenAtStoredRectanglesThenShowsByFlags)
{
    const DisplayCreationRecord& record = EnsureDisplayWindows();
    const DisplayTestLayout& l = kDisplayTestLayout;
    const RECT expected[4] = {
        {l.waveX, l.waveY, l.waveX + l.commonWidth, l.waveY + l.waveHeight},
        {l.resurgeX, l.resurgeY, l.resurgeX + l.resurgeWidth, l.resurgeY + l.resurgeHeight},
        {l.decibelX, l.decibelY, l.decibelX + l.commonWidth, l.decibelY + l.decibelHeight},
        {l.fftX, l.fftY, l.fftX + l.commonWidth, l.fftY + l.fftHeight},
    };
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(record.visible[i]) << "created hidden";
        EXPECT_TRUE(SameRect(record.rect[i], expected[i]))
            << record.rect[i].left << "," << record.rect[i].top << "," << record.rect[i].right
            << "," << record.rect[i].bottom;
    }
    // The flags as the support set them: all shown except FFT.
    EXPECT_TRUE(IsWindowVisible(g_hWaveWindow));
    EXPECT_TRUE(IsWindowVisible(g_hResurgeWindow));
    EXPECT_TRUE(IsWindowVisible(g_hDecibelWindow));
    EXPECT_FALSE(IsWindowVisible(g_hFFTWindow));
}

TEST_F(DisplayFrame, ClassesTitlesBrushesStylesAndIcons)
{
    struct Expect {
        HWND window;
        const char* className;
        const char* title;
        int brush;
        int icon;
    };
    const Expect table[] = {
        {g_hWaveWindow, "WAVECLASS", "サンプリング波形", WHITE_BRUSH, IDI_WAVE},
        {g_hResurgeWindow, "RESURGECLASS", "X-Y", BLACK_BRUSH, IDI_RESURGE},
        {g_hDecibelWindow, "DECIBELCLASS", nullptr, WHITE_BRUSH, IDI_DECIBEL},
        {g_hFFTWindow, "FFTCLASS", "FFT", WHITE_BRUSH, IDI_FFT},
    };
    for (const Expect& e : table) {
        SCOPED_TRACE(e.className);
        EXPECT_EQ(ClassName(e.window), e.className);
        // The Decibel title changes with the levels; its initial text is
        // checked before any capture in the Decibel suite.
        if (e.title) {
            EXPECT_EQ(WindowText(e.window), e.title);
        }
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(GetClassLongPtrA(e.window, GCLP_HBRBACKGROUND)),
                  GetStockObject(e.brush));
        EXPECT_EQ(GetClassLongPtrA(e.window, GCL_STYLE), static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW));
        const LONG_PTR style = GetWindowLongPtrA(e.window, GWL_STYLE);
        EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME),
                  WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
        EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
        EXPECT_EQ(GetWindow(e.window, GW_OWNER), nullptr);
        EXPECT_EQ(GetClassLongPtrA(e.window, GCLP_HICON), 0u) << "icons are per window";

        HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(e.icon));
        ASSERT_NE(icon, nullptr) << "icon resource " << e.icon << " missing from the .rc";
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(e.window, WM_GETICON, ICON_BIG, 0)), icon);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(e.window, WM_GETICON, ICON_SMALL, 0)),
                  icon);
    }
}

TEST_F(DisplayFrame, DecibelWidthResizesWaveAndFftButNotResurge)
{
    const RECT wave = OuterRect(g_hWaveWindow), resurge = OuterRect(g_hResurgeWindow),
               decibel = OuterRect(g_hDecibelWindow), fft = OuterRect(g_hFFTWindow);
    ASSERT_FALSE(IsWindowVisible(g_hFFTWindow)) << "the hidden FFT window follows too";
    const int newWidth = Width(decibel) + 40;

    MoveWindow(g_hDecibelWindow, decibel.left, decibel.top, newWidth, Height(decibel), TRUE);

    EXPECT_EQ(g_Settings.m_iCommonWindowXWidth, newWidth);
    EXPECT_EQ(Width(OuterRect(g_hWaveWindow)), newWidth);
    EXPECT_EQ(Width(OuterRect(g_hFFTWindow)), newWidth);
    // Positions and heights stay; the X-Y window takes no part.
    EXPECT_EQ(OuterRect(g_hWaveWindow).left, wave.left);
    EXPECT_EQ(Height(OuterRect(g_hWaveWindow)), Height(wave));
    EXPECT_EQ(Height(OuterRect(g_hFFTWindow)), Height(fft));
    EXPECT_EQ(Height(OuterRect(g_hDecibelWindow)), Height(decibel));
    EXPECT_TRUE(SameRect(OuterRect(g_hResurgeWindow), resurge));

    MoveWindow(g_hDecibelWindow, decibel.left, decibel.top, Width(decibel), Height(decibel), TRUE);
    EXPECT_EQ(Width(OuterRect(g_hWaveWindow)), Width(decibel));
    EXPECT_EQ(Width(OuterRect(g_hFFTWindow)), Width(decibel));
}

TEST_F(DisplayFrame, SetWindowWidthChangesOnlyTheWidthAndNeverTheResurgeWindow)
{
    const RECT resurge = OuterRect(g_hResurgeWindow);
    SetWindowWidth(g_hResurgeWindow, Width(resurge) + 50);
    EXPECT_TRUE(SameRect(OuterRect(g_hResurgeWindow), resurge));

    const RECT wave = OuterRect(g_hWaveWindow);
    SetWindowWidth(g_hWaveWindow, Width(wave) + 20);
    const RECT after = OuterRect(g_hWaveWindow);
    EXPECT_EQ(after.left, wave.left);
    EXPECT_EQ(after.top, wave.top);
    EXPECT_EQ(Height(after), Height(wave));
    EXPECT_EQ(Width(after), Width(wave) + 20);
    SetWindowWidth(g_hWaveWindow, Width(wave));
    EXPECT_EQ(Width(OuterRect(g_hDecibelWindow)), Width(wave)) << "its WM_SIZE synced the others";
}

TEST_F(DisplayFrame, HeightChangesOnlyThatWindow)
{
    const RECT wave = OuterRect(g_hWaveWindow), decibel = OuterRect(g_hDecibelWindow),
               fft = OuterRect(g_hFFTWindow);
    const int waveHeight = g_Settings.m_WaveWindowYHeight;
    const int fftHeight = g_Settings.m_FFTWindowYHeight;

    MoveWindow(g_hDecibelWindow, decibel.left, decibel.top, Width(decibel), Height(decibel) + 30,
               TRUE);

    EXPECT_EQ(g_Settings.m_DecibelWindowYHeight, Height(decibel) + 30);
    EXPECT_EQ(Height(OuterRect(g_hDecibelWindow)), Height(decibel) + 30);
    EXPECT_TRUE(SameRect(OuterRect(g_hWaveWindow), wave));
    EXPECT_TRUE(SameRect(OuterRect(g_hFFTWindow), fft));
    EXPECT_EQ(g_Settings.m_WaveWindowYHeight, waveHeight);
    EXPECT_EQ(g_Settings.m_FFTWindowYHeight, fftHeight);

    MoveWindow(g_hDecibelWindow, decibel.left, decibel.top, Width(decibel), Height(decibel), TRUE);
    EXPECT_EQ(g_Settings.m_DecibelWindowYHeight, Height(decibel));
}

TEST_F(DisplayFrame, MinimisedSizeStoresNothing)
{
    // A size message of the minimised type leaves a sentinel alone; the same
    // message restored stores the real height, so the handler is live.
    const int realHeight = Height(OuterRect(g_hDecibelWindow));
    g_Settings.m_DecibelWindowYHeight = 1;
    SendMessageA(g_hDecibelWindow, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(10, 10));
    EXPECT_EQ(g_Settings.m_DecibelWindowYHeight, 1);
    SendMessageA(g_hDecibelWindow, WM_SIZE, SIZE_RESTORED, 0);
    EXPECT_EQ(g_Settings.m_DecibelWindowYHeight, realHeight);

    // A real minimisation: nothing stored, nothing else resized, and the
    // rectangle to save is the restored one.
    const RECT before = OuterRect(g_hDecibelWindow), wave = OuterRect(g_hWaveWindow),
               fft = OuterRect(g_hFFTWindow);
    const int common = g_Settings.m_iCommonWindowXWidth;
    ShowWindow(g_hDecibelWindow, SW_MINIMIZE);
    PumpMessages();
    ASSERT_TRUE(IsIconic(g_hDecibelWindow));
    EXPECT_EQ(g_Settings.m_iCommonWindowXWidth, common);
    EXPECT_EQ(g_Settings.m_DecibelWindowYHeight, realHeight);
    EXPECT_TRUE(SameRect(OuterRect(g_hWaveWindow), wave));
    EXPECT_TRUE(SameRect(OuterRect(g_hFFTWindow), fft));
    RECT saved = {};
    ASSERT_TRUE(GetRestoredWindowRect(g_hDecibelWindow, &saved));
    EXPECT_TRUE(SameRect(saved, before))
        << saved.left << "," << saved.top << "," << saved.right << "," << saved.bottom
        << " while the icon is at " << OuterRect(g_hDecibelWindow).left << ","
        << OuterRect(g_hDecibelWindow).top;

    // Closed while minimised: still the restored rectangle.
    SendMessageA(g_hDecibelWindow, WM_CLOSE, 0, 0);
    ASSERT_TRUE(GetRestoredWindowRect(g_hDecibelWindow, &saved));
    EXPECT_TRUE(SameRect(saved, before));

    ShowForTest(g_hDecibelWindow, &g_Settings.m_bIsShowDecibelWindow);
    EXPECT_FALSE(IsIconic(g_hDecibelWindow));
    EXPECT_TRUE(SameRect(OuterRect(g_hDecibelWindow), before));
    EXPECT_EQ(g_Settings.m_iCommonWindowXWidth, common);
}

TEST_F(DisplayFrame, RestoredRectOfAnOrdinaryWindowIsItsWindowRect)
{
    RECT saved = {};
    ASSERT_TRUE(GetRestoredWindowRect(g_hWaveWindow, &saved));
    EXPECT_TRUE(SameRect(saved, OuterRect(g_hWaveWindow)));
    // Hidden windows have rectangles too, stored the same way.
    ASSERT_TRUE(GetRestoredWindowRect(g_hFFTWindow, &saved));
    EXPECT_TRUE(SameRect(saved, OuterRect(g_hFFTWindow)));
}

// Counts UM_NEWDATA per window, then passes everything on.
WNDPROC g_previousProcs[4];
int g_newDataCount[4];
int g_newDataOrder[4];
int g_newDataSeen;

template <int I>
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_NEWDATA) {
        ++g_newDataCount[I];
        g_newDataOrder[g_newDataSeen++ % 4] = I;
    }
    return CallWindowProcA(g_previousProcs[I], window, message, wParam, lParam);
}

TEST_F(DisplayFrame, CloseBoxHidesClearsFlagAndStopsNewData)
{
    const RECT before = OuterRect(g_hDecibelWindow);
    ShowForTest(g_hFFTWindow, &g_Settings.m_bIsShowFFTWindow);
    SendMessageA(g_hDecibelWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(g_hDecibelWindow)) << "hidden, never destroyed";
    EXPECT_FALSE(IsWindowVisible(g_hDecibelWindow));
    EXPECT_FALSE(g_Settings.m_bIsShowDecibelWindow);
    EXPECT_TRUE(IsWindowVisible(g_hWaveWindow));
    RECT saved = {};
    ASSERT_TRUE(GetRestoredWindowRect(g_hDecibelWindow, &saved));
    EXPECT_TRUE(SameRect(saved, before)) << "its rectangle is still there to save";

    const WNDPROC procs[4] = {CountingProc<0>, CountingProc<1>, CountingProc<2>, CountingProc<3>};
    for (int i = 0; i < 4; ++i) {
        g_newDataCount[i] = 0;
        g_previousProcs[i] = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            DisplayWindow(i), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procs[i])));
    }
    g_newDataSeen = 0;
    EXPECT_TRUE(RunBlockStep());  // no capture buffer: nothing read, the rest runs
    for (int i = 0; i < 4; ++i)
        SetWindowLongPtrA(DisplayWindow(i), GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(g_previousProcs[i]));

    EXPECT_EQ(g_newDataCount[0], 1);
    EXPECT_EQ(g_newDataCount[1], 1);
    EXPECT_EQ(g_newDataCount[2], 0) << "a closed window gets no UM_NEWDATA";
    EXPECT_EQ(g_newDataCount[3], 1);
    ASSERT_EQ(g_newDataSeen, 3);
    EXPECT_EQ(g_newDataOrder[0], 0);
    EXPECT_EQ(g_newDataOrder[1], 1);
    EXPECT_EQ(g_newDataOrder[2], 3);

    ShowForTest(g_hDecibelWindow, &g_Settings.m_bIsShowDecibelWindow);
    EXPECT_TRUE(IsWindowVisible(g_hDecibelWindow));
}

TEST_F(DisplayFrame, ClearFillsTheClientAreaWithTheClassBrush)
{
    const struct {
        HWND window;
        COLORREF brush;
    } table[] = {{g_hWaveWindow, kWhite}, {g_hResurgeWindow, kBlackPixel}};
    for (const auto& t : table) {
        SCOPED_TRACE(ClassName(t.window));
        // Scribble over the whole client area in a colour neither brush has.
        HDC dc = GetDC(t.window);
        RECT rc;
        GetClientRect(t.window, &rc);
        for (int y = 0; y < rc.bottom; y += 3)
            DrawLine(dc, 0, y, rc.right, y, RGB(0, 200, 0), PS_SOLID, 1);
        ReleaseDC(t.window, dc);
        ASSERT_EQ(PixelAt(t.window, 5, 3), RGB(0, 200, 0));

        SendMessageA(t.window, UM_CLEAR, 0, 0);

        int w = 0, h = 0;
        const std::vector<COLORREF> pixels = ClientPixels(t.window, &w, &h);
        ASSERT_GT(w * h, 0);
        int other = 0;
        for (COLORREF c : pixels)
            other += c != t.brush;
        EXPECT_EQ(other, 0) << "of " << w * h << " pixels";
        // Left valid: no repaint is waiting.
        EXPECT_FALSE(GetUpdateRect(t.window, nullptr, FALSE));
    }
}

TEST_F(DisplayFrame, DrawLineLeavesOutItsEndPointAndRestoresThePen)
{
    SendMessageA(g_hWaveWindow, UM_CLEAR, 0, 0);
    HDC dc = GetDC(g_hWaveWindow);
    const HGDIOBJ penBefore = GetCurrentObject(dc, OBJ_PEN);
    DrawLine(dc, 100, 20, 100, 30, kRedPixel, PS_SOLID, 1);          // vertical
    DrawLine(dc, 120, 40, 130, 40, RGB(0, 0, 255), PS_SOLID, 1);     // horizontal
    DrawLine(dc, 140, 50, 140, 50, kRedPixel, PS_SOLID, 1);          // ends coincide
    DrawLine(dc, 150, 60, 190, 60, RGB(0, 128, 255), PS_DOT, 1);     // dotted
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), penBefore);
    ReleaseDC(g_hWaveWindow, dc);

    EXPECT_EQ(PixelAt(g_hWaveWindow, 100, 19), kWhite);
    for (int y = 20; y < 30; ++y)
        EXPECT_EQ(PixelAt(g_hWaveWindow, 100, y), kRedPixel) << y;
    EXPECT_EQ(PixelAt(g_hWaveWindow, 100, 30), kWhite) << "end point left out";
    for (int x = 120; x < 130; ++x)
        EXPECT_EQ(PixelAt(g_hWaveWindow, x, 40), RGB(0, 0, 255)) << x;
    EXPECT_EQ(PixelAt(g_hWaveWindow, 130, 40), kWhite);
    EXPECT_EQ(PixelAt(g_hWaveWindow, 140, 50), kWhite) << "a line whose ends coincide";

    int dots = 0;
    for (int x = 150; x < 190; ++x)
        dots += PixelAt(g_hWaveWindow, x, 60) == RGB(0, 128, 255);
    EXPECT_GT(dots, 0);
    EXPECT_LT(dots, 40) << "a dotted line has gaps";
}

TEST_F(DisplayFrame, SweepCursorBlanksTheColumnAndDrawsRedNextToIt)
{
    SendMessageA(g_hWaveWindow, UM_CLEAR, 0, 0);
    RECT rc;
    GetClientRect(g_hWaveWindow, &rc);
    HDC dc = GetDC(g_hWaveWindow);
    for (int x = 149; x <= 152; ++x)
        DrawLine(dc, x, 0, x, rc.bottom, kBlackPixel, PS_SOLID, 1);
    g_iSweepPosition = 100;  // sweep column 150
    DrawSweepCursor(g_hWaveWindow, dc);
    ReleaseDC(g_hWaveWindow, dc);

    for (int y = 0; y < rc.bottom; ++y) {
        ASSERT_EQ(PixelAt(g_hWaveWindow, 149, y), kBlackPixel) << y;
        ASSERT_EQ(PixelAt(g_hWaveWindow, 150, y), kWhite) << y;
        ASSERT_EQ(PixelAt(g_hWaveWindow, 151, y), kRedPixel) << y;
        ASSERT_EQ(PixelAt(g_hWaveWindow, 152, y), kBlackPixel) << y;
    }

    // The blank takes the device context's background colour.
    dc = GetDC(g_hWaveWindow);
    SetBkColor(dc, RGB(0, 255, 0));
    DrawSweepCursor(g_hWaveWindow, dc);
    ReleaseDC(g_hWaveWindow, dc);
    EXPECT_EQ(PixelAt(g_hWaveWindow, 150, 10), RGB(0, 255, 0));
}

TEST_F(DisplayFrame, ChannelBandFollowsTheClientHeight)
{
    // Worked example: client height 271.
    const RECT before = OuterRect(g_hWaveWindow);
    SetClientSize(g_hWaveWindow, 0, 271);
    ChannelBand band = {-1, -1, -1, -1};
    GetChannelBand(g_hWaveWindow, &band, 1, 0.9);
    EXPECT_EQ(band.top, 0);
    EXPECT_EQ(band.centre, 67);
    EXPECT_EQ(band.bottom, 135);
    EXPECT_EQ(band.amplitude, 60);
    GetChannelBand(g_hWaveWindow, &band, 2, 0.9);
    EXPECT_EQ(band.top, 135);
    EXPECT_EQ(band.centre, 202);
    EXPECT_EQ(band.bottom, 270);
    EXPECT_EQ(band.amplitude, 60);
    ChannelBand untouched = {7, 8, 9, 10};
    GetChannelBand(g_hWaveWindow, &untouched, 3, 0.9);
    EXPECT_EQ(untouched.top, 7);
    EXPECT_EQ(untouched.amplitude, 10);
    MoveWindow(g_hWaveWindow, before.left, before.top, Width(before), Height(before), TRUE);
}

TEST_F(DisplayFrame, PlaceWindowKeepsExtentsGivenAsZero)
{
    const RECT before = OuterRect(g_hResurgeWindow);
    PlaceWindow(g_hResurgeWindow, before.left + 7, before.top + 5, 0, 0);
    const RECT after = OuterRect(g_hResurgeWindow);
    EXPECT_EQ(after.left, before.left + 7);
    EXPECT_EQ(after.top, before.top + 5);
    EXPECT_EQ(Width(after), Width(before));
    EXPECT_EQ(Height(after), Height(before));
    PlaceWindow(g_hResurgeWindow, before.left, before.top, 0, 0);
}

TEST_F(DisplayFrame, DestroyingASweepWindowPostsQuitWithZero)
{
    // A second window of the Wave class; the real four are never destroyed.
    HWND extra = CreateDisplayWindow(GetModuleHandleA(nullptr), "WAVECLASS", "extra", 0, 0, 400,
                                     200, SW_HIDE);
    ASSERT_NE(extra, nullptr);
    DestroyWindow(extra);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
}

}  // namespace
