// The X-Y window on a real window: the trace and frame read back, the
// square-client resize rule, and the fatal stop for a share above 100 (in a
// child process, since it ends the process).
//
// Created at 285 x 304 outer with a 19-pixel caption: client 277 x 277,
// centre (138, 138), box half-size 124. A sample of 16384 lands 62 pixels
// from the centre: P (200, 76) for (+, +), Q (76, 76), R (76, 200).
#include <gtest/gtest.h>
#include <process.h>
#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/wine/support/display_test_support.h"
#include "tests/wine/support/tavrel_process.h"

namespace {

const COLORREF kAxis = RGB(0, 128, 255);
const int kCentre = 138, kHalf = 124;

int GreenInsideBox()
{
    return CountColour(g_hResurgeWindow, kCentre - kHalf + 1, kCentre - kHalf + 1,
                       kCentre + kHalf, kCentre + kHalf, kGreenPixel);
}

// Label text is white, or grey where smoothed; nothing else here is.
int TextPixels(int left, int top, int right, int bottom)
{
    const int all = (right - left) * (bottom - top);
    return all - CountColour(g_hResurgeWindow, left, top, right, bottom, kBlackPixel) -
           CountColour(g_hResurgeWindow, left, top, right, bottom, kAxis) -
           CountColour(g_hResurgeWindow, left, top, right, bottom, kGreenPixel);
}

class ResurgeWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureDisplayWindows().created);
        g_bCapturing = false;
        RECT client;
        GetClientRect(g_hResurgeWindow, &client);
        ASSERT_EQ(client.right, 277);
        ASSERT_EQ(client.bottom, 277);
        g_Settings.m_iResurgeXChannel = 1;
        g_Settings.m_iResurgeYChannel = 2;
        g_Settings.m_iThinResurgeWave = 100;
        g_Settings.m_bSkipResurgeProcessIfOverLoad = false;
        g_Settings.m_bIsShowResurgeChannelName = true;
        SendMessageA(g_hResurgeWindow, UM_CLEAR, 0, 0);
    }
};

TEST_F(ResurgeWindow, TraceRunsFromEachFrameBackToThePreviousInGreen)
{
    // P, (200, 200), R: segments (200, 200) -> P and R -> (200, 200), each
    // leaving out the older point; the axes are drawn over the trace.
    PaintBlock(g_hResurgeWindow, 1, {16384, 16384, 16384, -16384, -16384, -16384});
    EXPECT_EQ(CountColour(g_hResurgeWindow, 200, 77, 201, 201, kGreenPixel), 123);
    EXPECT_EQ(CountColour(g_hResurgeWindow, 76, 200, 200, 201, kGreenPixel), 123);
    EXPECT_EQ(PixelAt(g_hResurgeWindow, 200, 76), kBlackPixel) << "frame 0 is only an end point";
    EXPECT_EQ(PixelAt(g_hResurgeWindow, 200, kCentre), kAxis);
    EXPECT_EQ(PixelAt(g_hResurgeWindow, kCentre, 200), kAxis);
    // X = right and Y = left: left 8192 / right -16384 lands at (76, 107).
    SendMessageA(g_hResurgeWindow, UM_CLEAR, 0, 0);
    g_Settings.m_iResurgeXChannel = 2;
    g_Settings.m_iResurgeYChannel = 1;
    PaintBlock(g_hResurgeWindow, 1, {0, 0, 8192, -16384});
    EXPECT_EQ(PixelAt(g_hResurgeWindow, 76, 107), kGreenPixel);
}

TEST_F(ResurgeWindow, ShareAndCountLimitTheFramesDrawn)
{
    // Frames 0 ... 119 alternate P and Q, the rest are R: the P-Q line shows
    // that some frames were drawn, the R-Q line that frame 120 was.
    std::vector<short> v;
    for (int i = 0; i < 400; ++i)
        v.insert(v.end(), {static_cast<short>(i < 120 && i % 2 == 0 ? 16384 : -16384),
                           static_cast<short>(i < 120 ? 16384 : -16384)});
    const struct {
        int share, count;
        bool pq, rq;
    } cases[] = {
        {30, 400, true, false},   // exactly 120 frames
        {31, 400, true, true},    // 124
        {100, 120, true, false},  // never past the delivered count
        {0, 400, false, false},
        {-10, 400, false, false},
        {-2147483647, 400, false, false},  // x 400 wraps to +400 in 32 bits
        {INT_MIN, 400, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.share);
        SendMessageA(g_hResurgeWindow, UM_CLEAR, 0, 0);
        g_Settings.m_iThinResurgeWave = c.share;
        InstallBlock(v);
        g_iCountOfPCMData = c.count;
        g_iSweepPosition = 1;
        SendMessageA(g_hResurgeWindow, UM_NEWDATA, 0, 0);
        g_bCapturing = false;
        EXPECT_EQ(PixelAt(g_hResurgeWindow, 100, 76) == kGreenPixel, c.pq);
        EXPECT_EQ(PixelAt(g_hResurgeWindow, 76, 100) == kGreenPixel, c.rq);
        if (!c.pq) {
            EXPECT_EQ(GreenInsideBox(), 0);
        }
    }
}

TEST_F(ResurgeWindow, FrameLabelsAxesAndDottedBox)
{
    PaintBlock(g_hResurgeWindow, 1, {}, false);
    // Axes across the client area; the box sides at 14 and 262 may leave gaps on them.
    EXPECT_GE(CountColour(g_hResurgeWindow, 0, kCentre, 277, kCentre + 1, kAxis), 275);
    EXPECT_GE(CountColour(g_hResurgeWindow, kCentre, 0, kCentre + 1, 277, kAxis), 275);
    EXPECT_EQ(CountColour(g_hResurgeWindow, 15, kCentre, 262, kCentre + 1, kAxis), 247);
    const int top = CountColour(g_hResurgeWindow, 14, 14, 262, 15, kAxis);
    EXPECT_TRUE(top > 40 && top < 248) << top << ": dotted";
    // Labels at (265, 138) and (140, -1), and no text elsewhere up left.
    EXPECT_GT(TextPixels(265, 139, 277, 156), 5);
    EXPECT_GT(TextPixels(140, 0, 152, 14), 5);
    EXPECT_EQ(TextPixels(0, 0, 260, 130), TextPixels(140, 0, 152, 14));
    g_Settings.m_bIsShowResurgeChannelName = false;
    SendMessageA(g_hResurgeWindow, UM_CLEAR, 0, 0);
    PaintBlock(g_hResurgeWindow, 1, {}, false);
    EXPECT_EQ(TextPixels(0, 0, 277, 277), 0);
}

TEST_F(ResurgeWindow, BoxIsBlankedAtEveryFifthSweepPosition)
{
    const std::vector<short> v = {16384, 16384, -16384, 16384, -16384, -16384};
    PaintBlock(g_hResurgeWindow, 4, v);
    ASSERT_GT(GreenInsideBox(), 100);
    const int axis = CountColour(g_hResurgeWindow, 0, 0, 277, 277, kAxis);
    PaintBlock(g_hResurgeWindow, 5, v);  // wipes the box, this block's own trace too
    EXPECT_EQ(GreenInsideBox(), 0);
    EXPECT_EQ(CountColour(g_hResurgeWindow, 0, 0, 277, 277, kAxis), axis) << "axes and box remain";
    PaintBlock(g_hResurgeWindow, 6, v);
    ASSERT_GT(GreenInsideBox(), 100);
    PaintBlock(g_hResurgeWindow, 10, {}, false);  // stopped as well
    EXPECT_EQ(GreenInsideBox(), 0);
}

TEST_F(ResurgeWindow, ResizeRuleSquaresTheClientAreaAndComesToRest)
{
    // 400 x 300 ends 362 x 381 after two nested moves; wider than the screen
    // is tall, or below the smallest window, the platform clamps and the
    // client can never be square: the rule must still end.
    const RECT home = OuterRectOf(g_hResurgeWindow);
    const int screenH = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int sizes[][2] = {{400, 300}, {3 * screenH, 300}, {40, 30}};
    for (const auto& size : sizes) {
        MoveWindow(g_hResurgeWindow, 0, 0, size[0], size[1], TRUE);
        const RECT r = OuterRectOf(g_hResurgeWindow);
        if (size[0] == 400) {
            EXPECT_EQ(Width(r), 362);
            EXPECT_EQ(Height(r), 381);
        }
        EXPECT_LE(Height(r), screenH + 2 * GetSystemMetrics(SM_CYFRAME) + 8) << "clamped";
        EXPECT_EQ(g_Settings.m_ResurgeWindowXWidth, Width(r));
        EXPECT_EQ(g_Settings.m_ResurgeWindowYHeight, Height(r));
    }
    MoveWindow(g_hResurgeWindow, home.left, home.top, Width(home), Height(home), TRUE);
    // Minimised: neither stored nor squared.
    ShowWindow(g_hResurgeWindow, SW_MINIMIZE);
    PumpMessages();
    EXPECT_EQ(g_Settings.m_ResurgeWindowXWidth, Width(home));
    EXPECT_EQ(g_Settings.m_ResurgeWindowYHeight, Height(home));
    ShowWindow(g_hResurgeWindow, SW_RESTORE);
    PumpMessages();
    EXPECT_EQ(Width(OuterRectOf(g_hResurgeWindow)), Width(home));
    EXPECT_EQ(Height(OuterRectOf(g_hResurgeWindow)), Height(home));
}

TEST_F(ResurgeWindow, CloseBoxClearsTheFlagAndHides)
{
    SendMessageA(g_hResurgeWindow, WM_CLOSE, 0, 0);
    EXPECT_FALSE(g_Settings.m_bIsShowResurgeWindow);
    EXPECT_FALSE(IsWindowVisible(g_hResurgeWindow));
    EXPECT_TRUE(IsWindow(g_hResurgeWindow));
    ShowForTest(&g_Settings.m_bIsShowResurgeWindow);
}

// The fatal stop, in a child: this executable run with a filter and a
// variable set. It records the message box in a file in the working folder
// and dismisses it; the process must then end inside the paint.
const char kRecordFile[] = "resurge_fatal_record.txt";
std::FILE* g_record;

LRESULT CALLBACK RecordMessageBox(int code, WPARAM wParam, LPARAM lParam)
{
    HWND box = reinterpret_cast<HWND>(wParam);
    char cls[16] = {}, caption[64] = {}, text[128] = {};
    if (code == HCBT_ACTIVATE && GetClassNameA(box, cls, sizeof cls) && !strcmp(cls, "#32770")) {
        GetWindowTextA(box, caption, sizeof caption);
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message box's text
        std::fprintf(g_record, "%s|%s|%d\n", caption, text,
                     GetWindow(box, GW_OWNER) == g_hResurgeWindow);
        std::fflush(g_record);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(ResurgeFatalChild, PlotWithShareAbove100)
{
    if (!std::getenv("TAVREL_RESURGE_FATAL_CHILD"))
        GTEST_SKIP() << "runs only as the child of ResurgeFatal";
    g_record = std::fopen(kRecordFile, "wb");
    ASSERT_TRUE(EnsureDisplayWindows().created);
    SetWindowsHookExA(WH_CBT, RecordMessageBox, nullptr, GetCurrentThreadId());
    g_Settings.m_iThinResurgeWave = 150;
    PaintBlock(g_hResurgeWindow, 1, ConstantFrames(400, 1000, -1000));
    ADD_FAILURE() << "the paint returned";  // the exit code becomes 1
}

TEST(ResurgeFatal, ShareAbove100ShowsTheMessageThenEndsWithZeroSavingNothing)
{
    DeleteFileA(kRecordFile);
    int storedBefore = 0, storedAfter = 0;
    const bool hadValue = ReadTavrelDword("m_iThinResurgeWave", &storedBefore);
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    _putenv("TAVREL_RESURGE_FATAL_CHILD=1");
    EXPECT_EQ(_spawnl(_P_WAIT, exe, exe, "--gtest_filter=ResurgeFatalChild.*", nullptr), 0);
    _putenv("TAVREL_RESURGE_FATAL_CHILD=");
    std::stringstream record;
    record << std::ifstream(kRecordFile, std::ios::binary).rdbuf();
    EXPECT_EQ(record.str(), "fatal error|値が不正です: m_iThinResurgeWave = 150|1\n");
    DeleteFileA(kRecordFile);
    EXPECT_EQ(ReadTavrelDword("m_iThinResurgeWave", &storedAfter), hadValue) << "nothing saved";
    if (hadValue) {
        EXPECT_EQ(storedAfter, storedBefore);
    }
}

}  // namespace
