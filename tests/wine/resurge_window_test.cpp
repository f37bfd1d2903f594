// The X-Y window on a real window: the trace read back pixel by pixel, the
// frame and its blanking, the square-client resize rule, and the fatal stop
// for a share above 100 (in a child process, since it ends the process).
//
// The window is created at 285 x 304 outer with a 19-pixel caption: client
// 277 x 277, centre (138, 138), box half-size trunc(138 * 0.9) = 124. A
// sample of 16384 lands trunc(16384 * 124 / 32767) = 62 pixels from the
// centre, 8192 lands trunc(8192 * 124 / 32767) = 31 pixels away.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/settings.h"
#include "app/sweep.h"
#include "capture/capture_session.h"
#include "tests/wine/support/display_test_support.h"
#include "tests/wine/support/tavrel_process.h"
#include "windows/display_frame.h"

namespace {

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kAxis = RGB(0, 128, 255);
const int kCentre = 138;
const int kHalf = 124;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

RECT OuterRect(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

std::vector<short> Frames(std::initializer_list<short> interleaved)
{
    return std::vector<short>(interleaved);
}

int CountColour(HWND window, int left, int top, int right, int bottom, COLORREF colour)
{
    HDC dc = GetDC(window);
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += GetPixel(dc, x, y) == colour;
    ReleaseDC(window, dc);
    return n;
}

// Pixels of label text: white, or grey where the font is smoothed against
// the black background; nothing else in this window has such colours.
int CountTextPixels(int left, int top, int right, int bottom)
{
    HDC dc = GetDC(g_hResurgeWindow);
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            n += c != kBlack && c != kAxis && c != kGreen;
        }
    ReleaseDC(g_hResurgeWindow, dc);
    return n;
}

// Green pixels strictly inside the plot box.
int GreenInsideBox()
{
    return CountColour(g_hResurgeWindow, kCentre - kHalf + 1, kCentre - kHalf + 1,
                       kCentre + kHalf, kCentre + kHalf, kGreen);
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
        g_iSweepPosition = 1;
        SendMessageA(g_hResurgeWindow, UM_CLEAR, 0, 0);
    }

    void Paint(const std::vector<short>& frames, bool capturing = true)
    {
        InstalledBlock block(frames, capturing);
        SendMessageA(g_hResurgeWindow, UM_NEWDATA, 0, 0);
    }
};

TEST_F(ResurgeWindow, TraceRunsFromEachFrameBackToThePreviousInGreen)
{
    // Frames at (+62, +62), (+62, -62), (-62, -62) from the centre: client
    // points (200, 76), (200, 200), (76, 200). Segments: (200, 200) -> (200, 76)
    // and (76, 200) -> (200, 200), each leaving out the older point.
    Paint(Frames({16384, 16384, 16384, -16384, -16384, -16384}));
    for (int y = 77; y <= 200; ++y) {
        if (y == kCentre)
            continue;  // the axis
        ASSERT_EQ(PixelAt(g_hResurgeWindow, 200, y), kGreen) << "row " << y;
    }
    for (int x = 76; x < 200; ++x) {
        if (x == kCentre)
            continue;
        ASSERT_EQ(PixelAt(g_hResurgeWindow, x, 200), kGreen) << "column " << x;
    }
    EXPECT_EQ(PixelAt(g_hResurgeWindow, 200, 76), kBlack) << "frame 0 is only an end point";
    EXPECT_EQ(PixelAt(g_hResurgeWindow, 200, 75), kBlack);
    // The axes are drawn over the trace.
    EXPECT_EQ(PixelAt(g_hResurgeWindow, 200, kCentre), kAxis);
    EXPECT_EQ(PixelAt(g_hResurgeWindow, kCentre, 200), kAxis);
}

TEST_F(ResurgeWindow, ChannelChoiceSwapsTheAxes)
{
    // One segment from frame 1 back to frame 0; left 8192 / right -16384
    // plotted with X = right and Y = left lands at (76, 107).
    g_Settings.m_iResurgeXChannel = 2;
    g_Settings.m_iResurgeYChannel = 1;
    Paint(Frames({0, 0, 8192, -16384}));
    // Segment (76, 107) -> (138, 138): its first pixel is the newer point.
    EXPECT_EQ(PixelAt(g_hResurgeWindow, 76, 107), kGreen);
    // With the usual choice the same frames go to (169, 200) instead.
    SendMessageA(g_hResurgeWindow, UM_CLEAR, 0, 0);
    g_Settings.m_iResurgeXChannel = 1;
    g_Settings.m_iResurgeYChannel = 2;
    Paint(Frames({0, 0, 8192, -16384}));
    EXPECT_EQ(PixelAt(g_hResurgeWindow, 76, 107), kBlack);
    EXPECT_EQ(PixelAt(g_hResurgeWindow, 169, 200), kGreen);
}

TEST_F(ResurgeWindow, ShareLimitsTheFramesDrawn)
{
    // 400 frames: 0 ... 119 alternate between P (+62, +62) and Q (-62, +62);
    // from frame 120 on, R (-62, -62). At 30 % exactly 120 frames are drawn:
    // the P-Q line, but not the line from R back to Q.
    std::vector<short> v;
    for (int i = 0; i < 400; ++i) {
        const bool r = i >= 120;
        v.push_back(r ? -16384 : (i % 2 ? -16384 : 16384));
        v.push_back(r ? -16384 : 16384);
    }
    g_Settings.m_iThinResurgeWave = 30;
    Paint(v);
    EXPECT_EQ(PixelAt(g_hResurgeWindow, 100, 76), kGreen) << "P-Q line";
    EXPECT_EQ(PixelAt(g_hResurgeWindow, 76, 100), kBlack) << "R-Q line left out";

    SendMessageA(g_hResurgeWindow, UM_CLEAR, 0, 0);
    g_Settings.m_iThinResurgeWave = 31;  // 124 frames reach R
    Paint(v);
    EXPECT_EQ(PixelAt(g_hResurgeWindow, 76, 100), kGreen);
}

TEST_F(ResurgeWindow, ShareOfZeroOrBelowDrawsNothing)
{
    const std::vector<short> v = Frames({16384, 16384, -16384, -16384, 16384, -16384});
    for (int share : {0, -10, -2147483647, INT_MIN}) {
        SCOPED_TRACE(share);
        // -2147483647 x 400 wraps to +400 in 32 bits: 4 frames would be drawn
        // and a larger wrap reads past the block.
        std::vector<short> block = ConstantFrames(400, 0, 0);
        std::copy(v.begin(), v.end(), block.begin());
        g_Settings.m_iThinResurgeWave = share;
        SendMessageA(g_hResurgeWindow, UM_CLEAR, 0, 0);
        Paint(block);
        EXPECT_EQ(GreenInsideBox(), 0);
    }
}

TEST_F(ResurgeWindow, NeverPlotsMoreFramesThanDelivered)
{
    // 100 % of 3 frames is 3 frames: the loop stops at the count. A 4th frame
    // lies in the buffer beyond it, where a loop that overran would plot it.
    std::vector<short> frames = Frames({16384, 16384, 16384, -16384, -16384, -16384});
    std::vector<short> buffer = frames;
    buffer.insert(buffer.end(), {-16384, 16384});
    g_Settings.m_iThinResurgeWave = 100;
    {
        InstalledBlock block(buffer);
        g_iCountOfPCMData = 3;
        SendMessageA(g_hResurgeWindow, UM_NEWDATA, 0, 0);
    }
    EXPECT_EQ(PixelAt(g_hResurgeWindow, 76, 100), kBlack) << "the 4th frame was plotted";
    EXPECT_EQ(PixelAt(g_hResurgeWindow, 100, 200), kGreen);
}

TEST_F(ResurgeWindow, FrameLabelsAxesAndDottedBox)
{
    Paint({}, false);
    // Axes across the client area; the dotted box sides (at 14 and 262) are
    // drawn over them and may leave a gap there.
    EXPECT_GE(CountColour(g_hResurgeWindow, 0, kCentre, 277, kCentre + 1, kAxis), 275);
    EXPECT_GE(CountColour(g_hResurgeWindow, kCentre, 0, kCentre + 1, 277, kAxis), 275);
    EXPECT_EQ(CountColour(g_hResurgeWindow, 15, kCentre, 262, kCentre + 1, kAxis), 247);
    // Box sides at 14 and 262, dotted: some pixels, not all.
    const int top = CountColour(g_hResurgeWindow, 14, 14, 262, 15, kAxis);
    EXPECT_GT(top, 40);
    EXPECT_LT(top, 248);
    // Labels: white text at (265, 138) and (140, -1).
    EXPECT_GT(CountTextPixels(265, 139, 277, 156), 5);
    EXPECT_GT(CountTextPixels(140, 0, 152, 14), 5);
    EXPECT_EQ(CountTextPixels(0, 0, 260, 130), CountTextPixels(140, 0, 152, 14))
        << "no text elsewhere in the upper left";

    g_Settings.m_bIsShowResurgeChannelName = false;
    SendMessageA(g_hResurgeWindow, UM_CLEAR, 0, 0);
    Paint({}, false);
    EXPECT_EQ(CountTextPixels(0, 0, 277, 277), 0) << "no text at all";
}

TEST_F(ResurgeWindow, BoxIsBlankedAtEveryFifthSweepPosition)
{
    const std::vector<short> v = Frames({16384, 16384, -16384, 16384, -16384, -16384});
    g_iSweepPosition = 4;
    Paint(v);
    const int green = GreenInsideBox();
    ASSERT_GT(green, 100);
    const int axisBefore = CountColour(g_hResurgeWindow, 0, 0, 277, 277, kAxis);

    // Position 5 wipes the box, including this block's own trace.
    g_iSweepPosition = 5;
    Paint(v);
    EXPECT_EQ(GreenInsideBox(), 0);
    EXPECT_EQ(CountColour(g_hResurgeWindow, 0, 0, 277, 277, kAxis), axisBefore)
        << "axes and box outline remain";

    // Stopped, a paint at position 10 blanks as well; at 11 traces build up.
    g_iSweepPosition = 6;
    Paint(v);
    ASSERT_GT(GreenInsideBox(), 100);
    g_iSweepPosition = 10;
    Paint({}, false);
    EXPECT_EQ(GreenInsideBox(), 0);
}

TEST_F(ResurgeWindow, ResizeRuleSquaresTheClientArea)
{
    const int c = GetSystemMetrics(SM_CYCAPTION);
    const RECT home = OuterRect(g_hResurgeWindow);
    struct Case {
        int w, h, wantW, wantH;
    };
    const Case cases[] = {
        {400, 300, 400 - 2 * c, 400 - c},  // wider by more than c: two moves
        {300, 400, 400 - c, 400},          // taller: keeps the height
        {381 - c, 381, 381 - c, 381},      // already square: not moved
        {300 + c, 300, 300 - c, 300},      // W = H + c ends at H - c by H
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.w << " x " << k.h);
        MoveWindow(g_hResurgeWindow, home.left, home.top, k.w, k.h, TRUE);
        const RECT r = OuterRect(g_hResurgeWindow);
        EXPECT_EQ(Width(r), k.wantW);
        EXPECT_EQ(Height(r), k.wantH);
        EXPECT_EQ(g_Settings.m_ResurgeWindowXWidth, k.wantW);
        EXPECT_EQ(g_Settings.m_ResurgeWindowYHeight, k.wantH);
        RECT client;
        GetClientRect(g_hResurgeWindow, &client);
        EXPECT_EQ(client.right, client.bottom) << "square client";
    }
    if (c == 19) {
        MoveWindow(g_hResurgeWindow, home.left, home.top, 400, 300, TRUE);
        EXPECT_EQ(Width(OuterRect(g_hResurgeWindow)), 362);
        EXPECT_EQ(Height(OuterRect(g_hResurgeWindow)), 381);
    }
    MoveWindow(g_hResurgeWindow, home.left, home.top, Width(home), Height(home), TRUE);
}

TEST_F(ResurgeWindow, ResizeRuleEndsWhenThePlatformClampsTheSize)
{
    // Wider than the screen is tall: the platform limits the height, so the
    // rule can never reach a square client; it must still come to rest.
    const RECT home = OuterRect(g_hResurgeWindow);
    const int screenH = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    MoveWindow(g_hResurgeWindow, 0, 0, 3 * screenH, 300, TRUE);
    RECT r = OuterRect(g_hResurgeWindow);
    EXPECT_LE(Height(r), screenH + 2 * GetSystemMetrics(SM_CYFRAME) + 8) << "clamped";
    EXPECT_EQ(g_Settings.m_ResurgeWindowXWidth, Width(r));
    EXPECT_EQ(g_Settings.m_ResurgeWindowYHeight, Height(r));

    // Smaller than the smallest window: the width is held at the minimum.
    MoveWindow(g_hResurgeWindow, 0, 0, 40, 30, TRUE);
    r = OuterRect(g_hResurgeWindow);
    EXPECT_EQ(g_Settings.m_ResurgeWindowXWidth, Width(r));
    EXPECT_EQ(g_Settings.m_ResurgeWindowYHeight, Height(r));
    MoveWindow(g_hResurgeWindow, home.left, home.top, Width(home), Height(home), TRUE);
    EXPECT_EQ(Width(OuterRect(g_hResurgeWindow)), Width(home));
}

TEST_F(ResurgeWindow, MinimisedSizeIsNeitherStoredNorSquared)
{
    const RECT home = OuterRect(g_hResurgeWindow);
    ShowWindow(g_hResurgeWindow, SW_MINIMIZE);
    PumpMessages();
    EXPECT_EQ(g_Settings.m_ResurgeWindowXWidth, Width(home));
    EXPECT_EQ(g_Settings.m_ResurgeWindowYHeight, Height(home));
    ShowWindow(g_hResurgeWindow, SW_RESTORE);
    PumpMessages();
    const RECT r = OuterRect(g_hResurgeWindow);
    EXPECT_EQ(Width(r), Width(home));
    EXPECT_EQ(Height(r), Height(home));
}

TEST_F(ResurgeWindow, CloseBoxTogglesTheFlagAndHides)
{
    ASSERT_TRUE(g_Settings.m_bIsShowResurgeWindow);
    SendMessageA(g_hResurgeWindow, WM_CLOSE, 0, 0);
    EXPECT_FALSE(g_Settings.m_bIsShowResurgeWindow);
    EXPECT_FALSE(IsWindowVisible(g_hResurgeWindow));
    EXPECT_TRUE(IsWindow(g_hResurgeWindow));
    // WM_DESTROY is not the frame's: no quit message from this window.
    ShowForTest(g_hResurgeWindow, &g_Settings.m_bIsShowResurgeWindow);
    EXPECT_TRUE(IsWindowVisible(g_hResurgeWindow));
}

// The fatal stop. The child is this executable run with a filter and an
// environment variable naming a file: it records what the message box says
// and dismisses it, or records that the paint returned.
const char kRecordVariable[] = "TAVREL_RESURGE_FATAL_RECORD";
std::string g_recordPath;

void AppendRecord(const std::string& line)
{
    std::ofstream out(g_recordPath, std::ios::app | std::ios::binary);
    out << line << "\n";
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM lParam)
{
    char cls[32] = {}, text[256] = {};
    GetClassNameA(child, cls, sizeof cls);
    GetWindowTextA(child, text, sizeof text);
    std::string* longest = reinterpret_cast<std::string*>(lParam);
    if (lstrcmpiA(cls, "Static") == 0 && std::string(text).size() > longest->size())
        *longest = text;
    return TRUE;
}

LRESULT CALLBACK RecordMessageBox(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        char cls[32] = {};
        GetClassNameA(box, cls, sizeof cls);
        if (std::string(cls) == "#32770") {
            char caption[128] = {};
            GetWindowTextA(box, caption, sizeof caption);
            std::string text;
            EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
            AppendRecord(std::string("caption=") + caption);
            AppendRecord("text=" + text);
            AppendRecord(GetWindow(box, GW_OWNER) == g_hResurgeWindow ? "owner=resurge"
                                                                       : "owner=other");
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(ResurgeFatalChild, PlotWithShareAbove100)
{
    char path[MAX_PATH] = {};
    if (!GetEnvironmentVariableA(kRecordVariable, path, sizeof path))
        GTEST_SKIP() << "runs only as the child of ResurgeFatal";
    g_recordPath = path;
    ASSERT_TRUE(EnsureDisplayWindows().created);
    HHOOK hook = SetWindowsHookExA(WH_CBT, RecordMessageBox, nullptr, GetCurrentThreadId());
    g_Settings.m_iThinResurgeWave = 150;
    InstalledBlock block(ConstantFrames(400, 1000, -1000));
    SendMessageA(g_hResurgeWindow, UM_NEWDATA, 0, 0);
    AppendRecord("returned");
    UnhookWindowsHookEx(hook);
}

TEST(ResurgeFatal, ShareAbove100ShowsTheMessageThenEndsWithZero)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string record = std::string(temp) + "tavrel_resurge_fatal.txt";
    DeleteFileA(record.c_str());
    int storedBefore = 0;
    const bool hadValue = ReadTavrelDword("m_iThinResurgeWave", &storedBefore);

    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string command = std::string("\"") + exe + "\" --gtest_filter=ResurgeFatalChild.*";
    SetEnvironmentVariableA(kRecordVariable, record.c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    const BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &child);
    SetEnvironmentVariableA(kRecordVariable, nullptr);
    ASSERT_TRUE(started);
    const DWORD waited = WaitForSingleObject(child.hProcess, 60000);
    DWORD exitCode = 12345;
    GetExitCodeProcess(child.hProcess, &exitCode);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(child.hProcess, 99);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    ASSERT_EQ(waited, WAIT_OBJECT_0) << "the child did not end";
    EXPECT_EQ(exitCode, 0u);

    std::ifstream in(record, std::ios::binary);
    std::stringstream lines;
    lines << in.rdbuf();
    EXPECT_EQ(lines.str(),
              "caption=fatal error\n"
              "text=値が不正です: m_iThinResurgeWave = 150\n"
              "owner=resurge\n")
        << "no 'returned' line: the process ended inside the paint";
    DeleteFileA(record.c_str());

    // Nothing saved: the stored share is what it was.
    int storedAfter = 0;
    EXPECT_EQ(ReadTavrelDword("m_iThinResurgeWave", &storedAfter), hadValue);
    if (hadValue) {
        EXPECT_EQ(storedAfter, storedBefore);
    }
}

}  // namespace
