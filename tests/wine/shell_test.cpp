// The shell's wiring on the real windows: the block step and its failed
// read, the main loop's queue, the start command, the frame's sizes and
// places, and a thousand block steps that allocate nothing and make no GDI
// object.
#include <gtest/gtest.h>

#include <cstring>

#include "about_dialog.h"
#include "block_step.h"
#include "capture_session.h"
#include "display_frame.h"
#include "main_loop.h"
#include "resource.h"
#include "settings.h"
#include "shell_state.h"
#include "sweep.h"
#include "under_test.h"

namespace {

RECT Outer(HWND w)
{
    RECT r = {};
    GetWindowRect(w, &r);
    return r;
}

std::string Item(int id)
{
    char text[128] = {};
    GetDlgItemTextA(g_hControlDialog, id, text, sizeof text);
    return text;
}

TEST(BlockStep, FailedReadIsReportedOnceAndTheStepStillRuns)
{
    EnsureTavrelWindows();
    PressStartStop();
    ASSERT_TRUE(g_bCapturing);
    FeedBlock(Tone(400, 10000, 1000, 10000, 1000));
    const std::string counter = Item(IDC_COUNTER);
    const int position = g_iSweepPosition;
    Fake().LastBuffer()->positionResult = DSERR_NODRIVER;
    ModalDriver driver;
    EXPECT_FALSE(FeedBlock({}));
    ASSERT_EQ(driver.boxes.size(), 1u);
    EXPECT_EQ(driver.boxes[0].caption, "Tavrel");
    EXPECT_EQ(driver.boxes[0].text, "Direct Sound の通知イベントに失敗しました。\n終了します。");
    EXPECT_EQ(driver.boxes[0].owner, g_hControlDialog);
    EXPECT_FALSE(driver.boxes[0].tavrelLive) << "nothing of Tavrel takes input under the box";
    // The windows still saw the step: the counter and the sweep moved on.
    EXPECT_NE(Item(IDC_COUNTER), counter);
    EXPECT_EQ(g_iSweepPosition, position + 1);
    Fake().LastBuffer()->positionResult = S_OK;
    PressStartStop();
}

TEST(StartCommand, ResetsTheSweepAndClearsEveryWindow)
{
    EnsureTavrelWindows();
    PressStartStop();
    for (int i = 0; i < 3; ++i)
        FeedBlock(Tone(400, 20000, 1000, 20000, 700));
    PressStartStop();
    PressStartStop();
    EXPECT_EQ(g_iSweepPosition, 0);
    EXPECT_EQ(Item(IDC_STARTSTOP), "停止(Space)");
    const std::uint32_t background[] = {0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF};
    for (int i = 0; i < 4; ++i) {
        const std::vector<std::uint32_t> p = ScreenPixels(DisplayWindow(i));
        EXPECT_EQ(std::count(p.begin(), p.end(), background[i]), static_cast<long>(p.size()))
            << "window " << i;
    }
    PressStartStop();
    EXPECT_EQ(Item(IDC_STARTSTOP), "開始(Space)");
}

TEST(MainLoop, QuitCodeIsKeptWhenMessagesFollowIt)
{
    EnsureTavrelWindows();
    PostQuitMessage(7);
    PostMessageA(g_hControlDialog, WM_KEYUP, VK_F12, 0);
    WPARAM code = 0;
    EXPECT_TRUE(DrainMessageQueue(nullptr, &code));
    EXPECT_EQ(code, 7u);
}

std::vector<std::string> s_started;
UINT WINAPI RecordStart(LPCSTR commandLine, UINT show)
{
    EXPECT_EQ(show, static_cast<UINT>(SW_SHOW));
    s_started.push_back(commandLine);
    return 33;
}

TEST(MainLoop, AHeldKeyIsOneCommandAndVolumeControlsComeFromTheSystemFolder)
{
    EnsureTavrelWindows();
    HACCEL accelerators = LoadAcceleratorsA(g_hInstance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    g_pWinExec = RecordStart;
    s_started.clear();
    // R pressed, then held: the repeats carry bit 30 (the key was down).
    PostMessageA(g_hWaveWindow, WM_KEYDOWN, 'R', 1);
    for (int i = 0; i < 5; ++i)
        PostMessageA(g_hWaveWindow, WM_KEYDOWN, 'R', 1 | 1L << 30);
    PostMessageA(g_hControlDialog, WM_KEYDOWN, 'V', 1);
    WPARAM code = 0;
    DrainMessageQueue(accelerators, &code);
    g_pWinExec = WinExec;
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    const std::string tool = std::string("\"") + system + "\\SNDVOL32.EXE\"";
    EXPECT_EQ(s_started, (std::vector<std::string>{tool + " /r", tool}));
}

TEST(DisplayFrame, CommonWidthSizesAndCloseBoxes)
{
    EnsureTavrelWindows();
    const RECT xy = Outer(g_hResurgeWindow), wave = Outer(g_hWaveWindow);
    RECT d = Outer(g_hDecibelWindow);
    MoveWindow(g_hDecibelWindow, d.left, d.top, 450, d.bottom - d.top + 10, TRUE);
    for (HWND w : {g_hWaveWindow, g_hDecibelWindow, g_hFFTWindow})
        EXPECT_EQ(Outer(w).right - Outer(w).left, 450);
    EXPECT_EQ(g_Settings.m_iCommonWindowXWidth, 450);
    EXPECT_EQ(g_Settings.m_DecibelWindowYHeight, d.bottom - d.top + 10);
    EXPECT_EQ(Outer(g_hWaveWindow).bottom - Outer(g_hWaveWindow).top, wave.bottom - wave.top);
    const RECT xyAfter = Outer(g_hResurgeWindow);
    EXPECT_TRUE(EqualRect(&xy, &xyAfter));
    MoveWindow(g_hDecibelWindow, d.left, d.top, d.right - d.left, d.bottom - d.top, TRUE);
    // The X-Y window squares its client area: 400 x 300 ends 362 x 381.
    MoveWindow(g_hResurgeWindow, xy.left, xy.top, 400, 300, TRUE);
    const RECT squared = Outer(g_hResurgeWindow);
    EXPECT_EQ(squared.right - squared.left, 400 - 2 * GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(squared.bottom - squared.top, 400 - GetSystemMetrics(SM_CYCAPTION));
    MoveWindow(g_hResurgeWindow, xy.left, xy.top, xy.right - xy.left, xy.bottom - xy.top, TRUE);
    // A close box hides the window and clears its flag; the X-Y one toggles it.
    SendMessageA(g_hWaveWindow, WM_CLOSE, 0, 0);
    SendMessageA(g_hResurgeWindow, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(g_hWaveWindow) || g_Settings.m_bIsShowWaveWindow);
    EXPECT_FALSE(IsWindowVisible(g_hResurgeWindow) || g_Settings.m_bIsShowResurgeWindow);
    g_Settings.m_bIsShowWaveWindow = g_Settings.m_bIsShowResurgeWindow = true;
    ApplyWindowVisibility();
    Pump();
}

TEST(DisplayFrame, FftHeightIsLimitedOnTheNextBlockWhileCapturing)
{
    EnsureTavrelWindows();
    const RECT f = Outer(g_hFFTWindow);
    MoveWindow(g_hFFTWindow, f.left, f.top, f.right - f.left, 700, TRUE);
    EXPECT_EQ(g_Settings.m_FFTWindowYHeight, 700) << "kept while stopped";
    PressStartStop();
    FeedBlock(Tone(400, 1000, 1000, 1000, 1000));
    EXPECT_EQ(Outer(g_hFFTWindow).bottom - Outer(g_hFFTWindow).top, 568) << "256 bins at 48000 Hz";
    EXPECT_EQ(g_Settings.m_FFTWindowYHeight, 568);
    PressStartStop();
    MoveWindow(g_hFFTWindow, f.left, f.top, f.right - f.left, f.bottom - f.top, TRUE);
}

TEST(DisplayFrame, PlacesOnNoMonitorComeOnScreenOthersAreKept)
{
    EnsureTavrelWindows();
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const RECT before = Outer(g_hWaveWindow);
    const int w = before.right - before.left;
    PlaceWindow(g_hWaveWindow, -5000, 90000, 0, 0);
    const RECT moved = Outer(g_hWaveWindow);
    EXPECT_EQ(moved.left, work.left);
    EXPECT_EQ(moved.bottom, work.bottom);
    EXPECT_EQ(moved.right - moved.left, w);
    PlaceWindow(g_hWaveWindow, -w + 5, 10, 0, 0);
    EXPECT_EQ(Outer(g_hWaveWindow).left, -w + 5) << "partly on screen: kept exactly";
    PlaceWindow(g_hWaveWindow, before.left, before.top, 0, 0);
}

// Counts the calls this executable makes to an imported function.
volatile bool s_counting = false, s_countingGdi = false;
volatile long s_allocations = 0, s_created = 0, s_deleted = 0;
#define COUNTED(counter, Ret, Conv, Name, Params, Args)                                            \
    Ret(Conv* s_##Name) Params;                                                                    \
    Ret Conv Counted##Name Params                                                                  \
    {                                                                                              \
        if (&counter == &s_allocations ? s_counting : s_countingGdi)                               \
            ++counter;                                                                             \
        return s_##Name Args;                                                                      \
    }
COUNTED(s_allocations, LPVOID, WINAPI, HeapAlloc, (HANDLE h, DWORD f, SIZE_T n), (h, f, n))
COUNTED(s_allocations, void*, __cdecl, malloc, (size_t n), (n))
COUNTED(s_allocations, void*, __cdecl, realloc, (void* p, size_t n), (p, n))
COUNTED(s_created, HPEN, WINAPI, CreatePen, (int s, int w, COLORREF c), (s, w, c))
COUNTED(s_created, HDC, WINAPI, CreateCompatibleDC, (HDC dc), (dc))
COUNTED(s_created, HBITMAP, WINAPI, CreateDIBSection,
        (HDC dc, const BITMAPINFO* i, UINT u, void** b, HANDLE s, DWORD o), (dc, i, u, b, s, o))
COUNTED(s_created, HBRUSH, WINAPI, CreateSolidBrush, (COLORREF c), (c))
COUNTED(s_deleted, BOOL, WINAPI, DeleteObject, (HGDIOBJ o), (o))
COUNTED(s_deleted, BOOL, WINAPI, DeleteDC, (HDC dc), (dc))

int HookImports()
{
    struct Hook {
        const char* name;
        void* counted;
        void** original;
    };
#define HOOK(Name)                                                                                 \
    {                                                                                              \
#Name, reinterpret_cast < void*>(Counted##Name), reinterpret_cast < void**>(&s_##Name)     \
    }
    const Hook hooks[] = {HOOK(HeapAlloc),
                          HOOK(malloc),
                          HOOK(realloc),
                          HOOK(CreatePen),
                          HOOK(CreateCompatibleDC),
                          HOOK(CreateDIBSection),
                          HOOK(CreateSolidBrush),
                          HOOK(DeleteObject),
                          HOOK(DeleteDC)};
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    int replaced = 0;
    for (; imp->Name; ++imp) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const char* name =
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
            for (const Hook& h : hooks) {
                if (std::strcmp(name, h.name) != 0)
                    continue;
                DWORD old;
                VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
                *h.original = reinterpret_cast<void*>(slots->u1.Function);
                slots->u1.Function = reinterpret_cast<ULONG_PTR>(h.counted);
                ++replaced;
            }
        }
    }
    return replaced;
}

TEST(BlockStep, AThousandStepsAllocateNothingAndKeepTheGdiObjectCountFlat)
{
    EnsureTavrelWindows();
    ASSERT_EQ(HookImports(), 9) << "every counted function is imported";
    // The counters see what they must.
    s_counting = s_countingGdi = true;
    void* volatile p = std::malloc(8);
    std::free(p);
    DeleteObject(CreatePen(PS_SOLID, 1, 0));
    s_counting = s_countingGdi = false;
    ASSERT_TRUE(s_allocations == 1 && s_created == 1 && s_deleted == 1);

    s_allocations = s_created = s_deleted = 0;
    PressStartStop();
    const RECT wave = Outer(g_hWaveWindow);
    // Past the first blocks every window has its pens: from then on each GDI
    // object made (by a resize) is deleted. Allocations are counted inside
    // the steps alone.
    for (int k = 0; k < 1000; ++k) {
        s_countingGdi = k >= 100;
        // Now and then a backlog, and a resize that makes the buffers anew.
        std::vector<short> frames = Tone(k % 50 == 49 ? 800 : 400, 20000, 50 + k, 9000, 300);
        if (k % 250 == 125)
            MoveWindow(g_hWaveWindow, wave.left, wave.top, 380 + k / 250 % 2, 300, TRUE);
        if (k == 999)  // back to its size: the same objects as before the steps
            MoveWindow(g_hWaveWindow, wave.left, wave.top, wave.right - wave.left,
                       wave.bottom - wave.top, TRUE);
        s_counting = true;
        FeedBlock(frames);
        s_counting = false;
        if (k == 500)
            Sleep(1100);  // the Decibel title comes due again
        Pump();
    }
    s_countingGdi = false;
    EXPECT_EQ(s_allocations, 0) << "heap allocations in 1000 block steps";
    EXPECT_EQ(s_created, s_deleted) << "GDI objects made and deleted";
    // Five new widths, each given to the three sweep windows: a bitmap and
    // its DC each time.
    EXPECT_EQ(s_created, 5 * 3 * 2);
    PressStartStop();
}

}  // namespace
