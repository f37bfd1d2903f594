// The display window frame on real windows: creation, the common width,
// minimised and closed windows, clearing, and the shared drawing operations.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "block_step.h"
#include "resource.h"
#include "tests/wine/support/display_test_support.h"

namespace {

std::string Text(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

std::string Outer(HWND window) { return Text(OuterRectOf(window)); }

class DisplayFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureDisplayWindows().created);
        g_bCapturing = false;
        PumpMessages();
    }
};

// Runs first: what creation did before any test moved a window.
TEST_F(DisplayFrame, CreatesHiddenAtStoredRectanglesThenShowsByFlags)
{
    const DisplayCreationRecord& record = EnsureDisplayWindows();
    for (int i = 0; i < 4; ++i) {
        const int* l = kDisplayTestLayout[i];
        EXPECT_FALSE(record.visible[i]) << i;
        EXPECT_EQ(Text(record.rect[i]), Text({l[0], l[1], l[0] + l[2], l[1] + l[3]})) << i;
        EXPECT_EQ(IsWindowVisible(DisplayWindow(i)) != FALSE, i != 3) << i << ": all but FFT shown";
    }
}

TEST_F(DisplayFrame, ClassesTitlesBrushesStylesAndIcons)
{
    const struct {
        const char* className;
        const char* title;
        int brush, icon;
    } table[] = {
        {"WAVECLASS", "サンプリング波形", WHITE_BRUSH, IDI_WAVE},
        {"RESURGECLASS", "X-Y", BLACK_BRUSH, IDI_RESURGE},
        {"DECIBELCLASS", "有効デシベル", WHITE_BRUSH, IDI_DECIBEL},  // before any level
        {"FFTCLASS", "FFT", WHITE_BRUSH, IDI_FFT},
    };
    const LONG_PTR frame = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    for (int i = 0; i < 4; ++i) {
        HWND w = DisplayWindow(i);
        char name[32] = {};
        GetClassNameA(w, name, sizeof name);
        EXPECT_STREQ(name, table[i].className);
        EXPECT_EQ(WindowText(w), table[i].title);
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(GetClassLongPtrA(w, GCLP_HBRBACKGROUND)),
                  GetStockObject(table[i].brush)) << name;
        EXPECT_EQ(GetClassLongPtrA(w, GCL_STYLE), static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW));
        EXPECT_EQ(GetWindowLongPtrA(w, GWL_STYLE) & (frame | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
                  frame);
        EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr);
        EXPECT_EQ(GetClassLongPtrA(w, GCLP_HICON), 0u) << "icons are per window";
        HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(table[i].icon));
        ASSERT_NE(icon, nullptr) << "icon " << table[i].icon;
        EXPECT_EQ(SendMessageA(w, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(icon));
        EXPECT_EQ(SendMessageA(w, WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(icon));
    }
}

TEST_F(DisplayFrame, WidthIsCommonToTheSweepWindowsHeightsStayApart)
{
    ASSERT_FALSE(IsWindowVisible(g_hFFTWindow)) << "the hidden FFT window follows too";
    const RECT wave = OuterRectOf(g_hWaveWindow), resurge = OuterRectOf(g_hResurgeWindow),
               decibel = OuterRectOf(g_hDecibelWindow), fft = OuterRectOf(g_hFFTWindow);
    const int w = Width(decibel);
    MoveWindow(g_hDecibelWindow, decibel.left, decibel.top, w + 40, Height(decibel) + 30, TRUE);
    EXPECT_EQ(g_Settings.m_iCommonWindowXWidth, w + 40);
    EXPECT_EQ(g_Settings.m_DecibelWindowYHeight, Height(decibel) + 30);
    EXPECT_EQ(Outer(g_hWaveWindow), Text({wave.left, wave.top, wave.left + w + 40, wave.bottom}));
    EXPECT_EQ(Outer(g_hFFTWindow), Text({fft.left, fft.top, fft.left + w + 40, fft.bottom}));
    EXPECT_EQ(Outer(g_hResurgeWindow), Text(resurge)) << "the X-Y window takes no part";
    EXPECT_EQ(g_Settings.m_WaveWindowYHeight, Height(wave));
    EXPECT_EQ(g_Settings.m_FFTWindowYHeight, Height(fft));

    SetWindowWidth(g_hResurgeWindow, Width(resurge) + 50);
    EXPECT_EQ(Outer(g_hResurgeWindow), Text(resurge));
    SetWindowWidth(g_hWaveWindow, w);  // its WM_SIZE brings the others along
    EXPECT_EQ(Width(OuterRectOf(g_hDecibelWindow)), w);
    EXPECT_EQ(Width(OuterRectOf(g_hFFTWindow)), w);
    MoveWindow(g_hDecibelWindow, decibel.left, decibel.top, w, Height(decibel), TRUE);
}

TEST_F(DisplayFrame, MinimisedWindowStoresNothingAndSavesItsRestoredRectangle)
{
    const RECT before = OuterRectOf(g_hDecibelWindow), wave = OuterRectOf(g_hWaveWindow);
    const int common = g_Settings.m_iCommonWindowXWidth;
    ShowWindow(g_hDecibelWindow, SW_MINIMIZE);
    PumpMessages();
    ASSERT_TRUE(IsIconic(g_hDecibelWindow));
    EXPECT_EQ(g_Settings.m_iCommonWindowXWidth, common);
    EXPECT_EQ(g_Settings.m_DecibelWindowYHeight, Height(before));
    EXPECT_EQ(Outer(g_hWaveWindow), Text(wave));
    // Closed while minimised: what is saved is the restored rectangle.
    SendMessageA(g_hDecibelWindow, WM_CLOSE, 0, 0);
    RECT saved = {};
    ASSERT_TRUE(GetRestoredWindowRect(g_hDecibelWindow, &saved));
    EXPECT_EQ(Text(saved), Text(before)) << "the icon is at " << Outer(g_hDecibelWindow);
    ShowForTest(&g_Settings.m_bIsShowDecibelWindow);
    EXPECT_FALSE(IsIconic(g_hDecibelWindow));
    EXPECT_EQ(Outer(g_hDecibelWindow), Text(before));
    // Any other window, hidden or not: its window rectangle.
    ASSERT_TRUE(GetRestoredWindowRect(g_hFFTWindow, &saved));
    EXPECT_EQ(Text(saved), Outer(g_hFFTWindow));
}

// Which windows got UM_NEWDATA, in order: 0 Wave ... 3 FFT.
std::string g_newDataOrder;

LRESULT CALLBACK RecordNewData(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    for (int i = 0; i < 4; ++i)
        if (code == HC_ACTION && m->message == UM_NEWDATA && m->hwnd == DisplayWindow(i))
            g_newDataOrder += static_cast<char>('0' + i);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(DisplayFrame, CloseBoxHidesClearsTheFlagAndStopsNewData)
{
    const RECT before = OuterRectOf(g_hDecibelWindow);
    ShowForTest(&g_Settings.m_bIsShowFFTWindow);
    SendMessageA(g_hDecibelWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(g_hDecibelWindow)) << "hidden, never destroyed";
    EXPECT_FALSE(IsWindowVisible(g_hDecibelWindow));
    EXPECT_FALSE(g_Settings.m_bIsShowDecibelWindow);
    EXPECT_TRUE(IsWindowVisible(g_hWaveWindow));
    RECT saved = {};
    ASSERT_TRUE(GetRestoredWindowRect(g_hDecibelWindow, &saved));
    EXPECT_EQ(Text(saved), Text(before)) << "its rectangle is still there to save";
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, RecordNewData, nullptr, GetCurrentThreadId());
    EXPECT_TRUE(RunBlockStep());  // no capture buffer: nothing read, the rest runs
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(g_newDataOrder, "013") << "Wave, X-Y, FFT: none for the closed Decibel window";
    ShowForTest(&g_Settings.m_bIsShowDecibelWindow);
}

TEST_F(DisplayFrame, ClearFillsTheClientAreaWithTheClassBrush)
{
    for (HWND w : {g_hWaveWindow, g_hResurgeWindow}) {
        const COLORREF brush = w == g_hWaveWindow ? kWhitePixel : kBlackPixel;
        RECT rc;
        GetClientRect(w, &rc);
        HDC dc = GetDC(w);  // scribble in a colour neither brush has
        for (int y = 0; y < rc.bottom; y += 3)
            DrawLine(dc, 0, y, rc.right, y, RGB(0, 200, 0), PS_SOLID, 1);
        ReleaseDC(w, dc);
        ASSERT_EQ(PixelAt(w, 5, 3), RGB(0, 200, 0));
        SendMessageA(w, UM_CLEAR, 0, 0);
        EXPECT_EQ(CountColour(w, 0, 0, rc.right, rc.bottom, brush), rc.right * rc.bottom);
        EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE)) << "left valid: no repaint waits";
    }
}

TEST_F(DisplayFrame, DrawLineLeavesOutItsEndPointAndTheCursorStandsAtXPlusOne)
{
    SendMessageA(g_hWaveWindow, UM_CLEAR, 0, 0);
    RECT rc;
    GetClientRect(g_hWaveWindow, &rc);
    const int h = rc.bottom;
    HDC dc = GetDC(g_hWaveWindow);
    const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    DrawLine(dc, 100, 20, 100, 30, kRedPixel, PS_SOLID, 1);
    DrawLine(dc, 120, 40, 130, 40, kRedPixel, PS_SOLID, 1);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen) << "the pen is put back";
    for (int x = 149; x <= 152; ++x)
        DrawLine(dc, x, 0, x, h, kBlackPixel, PS_SOLID, 1);
    g_iSweepPosition = 100;          // sweep column 150
    SetBkColor(dc, RGB(0, 255, 0));  // the blank takes the background colour
    DrawSweepCursor(g_hWaveWindow, dc);
    ReleaseDC(g_hWaveWindow, dc);
    EXPECT_EQ(CountColour(g_hWaveWindow, 100, 19, 101, 31, kRedPixel), 10);
    EXPECT_EQ(PixelAt(g_hWaveWindow, 100, 20), kRedPixel);
    EXPECT_EQ(CountColour(g_hWaveWindow, 119, 40, 131, 41, kRedPixel), 10);
    EXPECT_EQ(PixelAt(g_hWaveWindow, 120, 40), kRedPixel);
    const COLORREF columns[] = {kBlackPixel, RGB(0, 255, 0), kRedPixel, kBlackPixel};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(CountColour(g_hWaveWindow, 149 + i, 0, 150 + i, h, columns[i]), h) << 149 + i;
}

TEST_F(DisplayFrame, PlaceWindowKeepsExtentsGivenAsZero)
{
    const RECT r = OuterRectOf(g_hResurgeWindow);
    PlaceWindow(g_hResurgeWindow, r.left + 7, r.top + 5, 0, 0);
    const std::string moved = Outer(g_hResurgeWindow);
    PlaceWindow(g_hResurgeWindow, r.left, r.top, 0, 0);
    EXPECT_EQ(moved, Text({r.left + 7, r.top + 5, r.right + 7, r.bottom + 5}));
}

TEST_F(DisplayFrame, DestroyingASweepWindowPostsQuitWithZero)
{
    // A second Wave-class window; the real four are never destroyed.
    DestroyWindow(CreateDisplayWindow(GetModuleHandleA(nullptr), "WAVECLASS", "", 0, 0, 400, 200,
                                      SW_HIDE));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
}

}  // namespace
