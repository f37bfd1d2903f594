// The shell's wiring on the real windows: the block step and its failed
// read, the main loop's queue, the frame's sizes and places, and a thousand
// block steps that allocate nothing and make no GDI object.
#include <gtest/gtest.h>

#include <cstring>

#include "about_dialog.h"
#include "display_frame.h"
#include "main_loop.h"
#include "resource.h"
#include "settings.h"
#include "shell_state.h"
#include "sweep.h"
#include "under_test.h"

namespace {

using BlockStep = FromKnownState;
using MainLoop = FromKnownState;
using DisplayFrame = FromKnownState;

RECT Outer(HWND w)
{
    RECT r = {};
    GetWindowRect(w, &r);
    return r;
}
// clang-format off
int Width(HWND w) { return Outer(w).right - Outer(w).left; }
int Height(HWND w) { return Outer(w).bottom - Outer(w).top; }
// clang-format on

TEST_F(BlockStep, AFailedReadIsReportedModallyOnceAndTheStepStillRuns)
{
    ASSERT_TRUE(Start());
    FeedBlock(Tone(400, 10000, 1000, 10000, 1000));
    const int position = g_iSweepPosition;
    Fake().LastBuffer()->positionResult = DSERR_NODRIVER;
    ModalDriver driver;
    EXPECT_FALSE(FeedBlock({}));
    Fake().LastBuffer()->positionResult = S_OK;
    ASSERT_EQ(driver.boxes.size(), 1u);
    EXPECT_EQ(driver.boxes[0].Shown(),
              std::make_tuple("Tavrel", "Direct Sound の通知イベントに失敗しました。\n終了します。",
                              MB_ICONERROR, g_hControlDialog));
    EXPECT_FALSE(driver.boxes[0].tavrelLive) << "nothing of Tavrel takes input under the box";
    EXPECT_EQ(g_iSweepPosition, position + 1);
}

long CounterBlocks(const std::string& text) { return std::atol(text.c_str() + text.find(' ')); }
void CALLBACK EndLoop(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id), PostQuitMessage(0);
}

TEST_F(BlockStep, TheCounterTextIsCurrentAndTheNewestBlockOnScreenWithinARefresh)
{
    ASSERT_TRUE(Start());
    FeedBlock(Tone(400, 10000, 1000, 10000, 1000));  // the text has a number from here on
    const long blocks = CounterBlocks(ItemText(g_hControlDialog, IDC_COUNTER));
    FeedBlock(Tone(400, 10000, 1000, 10000, 1000));
    FeedBlock(Tone(400, 10000, 1000, 10000, 1000));  // within a refresh of the one before
    const std::string counter = ItemText(g_hControlDialog, IDC_COUNTER);
    EXPECT_EQ(CounterBlocks(counter), blocks + 2) << "asked at once, the counter has both";
    // The main loop alone for one refresh, no block coming: the screen
    // catches up by itself.
    HDC screen = GetDC(nullptr);
    const int hz = GetDeviceCaps(screen, VREFRESH);
    ReleaseDC(nullptr, screen);
    SetTimer(nullptr, 0, 1000 / (hz > 1 ? hz : 60) + 1, EndLoop);
    RunMainLoop(nullptr);
    WCHAR shown[64] = {};  // the text itself, as another process reads it
    InternalGetWindowText(GetDlgItem(g_hControlDialog, IDC_COUNTER), shown, 64);
    EXPECT_EQ(wcstol(wcschr(shown, L' ') ? wcschr(shown, L' ') : L"", nullptr, 10), blocks + 2);
    // The newest block's cursor, red, one column right of its sweep column.
    for (HWND w : {g_hWaveWindow, g_hDecibelWindow, g_hFFTWindow}) {
        RECT client = {};
        GetClientRect(w, &client);
        EXPECT_EQ(ScreenPixels(w)[client.right * 10 + GetSweepColumn() + 1], 0xFF0000u);
    }
    // Stopped, a window painted afresh shows its scale and no cursor.
    Stop();
    for (HWND w : {g_hWaveWindow, g_hDecibelWindow, g_hFFTWindow}) {
        InvalidateRect(w, nullptr, TRUE), UpdateWindow(w);
        const std::vector<std::uint32_t> shown = ScreenPixels(w);
        RECT client = {};
        GetClientRect(w, &client);
        for (int y = 0; y < client.bottom; ++y)
            ASSERT_NE(shown[client.right * y + GetSweepColumn() + 1], 0xFF0000u) << "row " << y;
    }
}

std::vector<std::string> s_started;
UINT WINAPI RecordStart(LPCSTR commandLine, UINT show)
{
    s_started.push_back(commandLine + std::string(show == SW_SHOW ? "" : " (not SW_SHOW)"));
    return 33;
}

TEST_F(MainLoop, AHeldKeyIsOneCommandOtherWindowsKeysAreNoneAndTheQuitCodeStays)
{
    const HACCEL keys = LoadAcceleratorsA(g_hInstance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    WPARAM code = 0;
    // R pressed, then held (the repeats carry bit 30); then V.
    g_pWinExec = RecordStart;
    for (int i = 0; i < 6; ++i)
        PostMessageA(g_hWaveWindow, WM_KEYDOWN, 'R', 1 | (i ? 1L << 30 : 0));
    PostMessageA(g_hControlDialog, WM_KEYDOWN, 'V', 1);
    EXPECT_FALSE(DrainMessageQueue(keys, &code));
    // Keys typed into another window of the thread (the help viewer) are
    // not commands.
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                 nullptr);
    PostMessageA(other, WM_KEYDOWN, 'S', 1);
    DrainMessageQueue(keys, &code);
    DestroyWindow(other);
    EXPECT_TRUE(g_Settings.m_bIsShowWaveWindow);
    // The key-up of F12 drained after the quit message leaves its exit code.
    PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 7, 0);
    PostMessageA(g_hControlDialog, WM_KEYUP, VK_F12, 0xC0000001);
    EXPECT_TRUE(DrainMessageQueue(keys, &code));
    EXPECT_EQ(code, 7u);
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    const std::string tool = std::string("\"") + system + "\\SNDVOL32.EXE\"";
    EXPECT_EQ(s_started, (std::vector<std::string>{tool + " /r", tool}));
}

TEST_F(DisplayFrame, CommonWidthSquareXYAndMinimisedPlace)
{
    // The Decibel window 450 wide and 10 higher: Wave and FFT widths, the
    // common width, the Decibel height, the Wave height (heights stay apart).
    MoveWindow(g_hDecibelWindow, 10, 340, 450, 298, TRUE);
    EXPECT_EQ((std::vector<int>{Width(g_hWaveWindow), Width(g_hFFTWindow),
                                g_Settings.m_iCommonWindowXWidth, g_Settings.m_DecibelWindowYHeight,
                                Height(g_hWaveWindow)}),
              (std::vector<int>{450, 450, 450, 298, 306}));
    // The X-Y window squares its client area: 400 x 300 ends 362 x 381.
    const int c = GetSystemMetrics(SM_CYCAPTION);
    MoveWindow(g_hResurgeWindow, 1000, 300, 400, 300, TRUE);
    EXPECT_EQ(std::make_pair(Width(g_hResurgeWindow), Height(g_hResurgeWindow)),
              std::make_pair(400 - 2 * c, 400 - c));
    // A minimised window is stored where it was (450 wide now), not at its icon's place.
    ShowWindow(g_hWaveWindow, SW_MINIMIZE);
    RECT r = {};
    EXPECT_TRUE(GetRestoredWindowRect(g_hWaveWindow, &r));
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}),
              (std::vector<LONG>{10, 10, 460, 316}));
}

// Calls this executable makes to imported functions, counted through its
// import table.
volatile bool s_countHeap = false, s_countGdi = false;
volatile long s_allocations = 0, s_created = 0, s_deleted = 0;
// clang-format off
#define COUNTED(flag, counter, Ret, Name, Params, Args) \
    Ret(WINAPI* s_##Name) Params;                       \
    Ret WINAPI Counted##Name Params { counter += flag; return s_##Name Args; }
COUNTED(s_countHeap, s_allocations, LPVOID, HeapAlloc, (HANDLE h, DWORD f, SIZE_T n), (h, f, n))
COUNTED(s_countHeap, s_allocations, void*, malloc, (size_t n), (n))
COUNTED(s_countHeap, s_allocations, void*, realloc, (void* p, size_t n), (p, n))
COUNTED(s_countGdi, s_created, HPEN, CreatePen, (int s, int w, COLORREF c), (s, w, c))
COUNTED(s_countGdi, s_created, HDC, CreateCompatibleDC, (HDC dc), (dc))
COUNTED(s_countGdi, s_created, HBITMAP, CreateDIBSection,
        (HDC dc, const BITMAPINFO* i, UINT u, void** b, HANDLE s, DWORD o), (dc, i, u, b, s, o))
COUNTED(s_countGdi, s_deleted, BOOL, DeleteObject, (HGDIOBJ o), (o))
COUNTED(s_countGdi, s_deleted, BOOL, DeleteDC, (HDC dc), (dc))
#define HOOK(Name) {#Name, reinterpret_cast<void*>(Counted##Name), reinterpret_cast<void**>(&s_##Name)}
const struct { const char* name; void* counted; void** original; } kHooks[] = {
    HOOK(HeapAlloc), HOOK(malloc), HOOK(realloc), HOOK(CreatePen), HOOK(CreateCompatibleDC),
    HOOK(CreateDIBSection), HOOK(DeleteObject), HOOK(DeleteDC)};
// clang-format on

int HookImports()
{
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    int hooked = 0;
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
             base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
         imp->Name; ++imp) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        // By name: a 2-byte hint, then the name.
        for (; names->u1.AddressOfData; ++names, ++slot)
            for (const auto& h : kHooks)
                if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) &&
                    !std::strcmp(h.name,
                                 reinterpret_cast<char*>(base + 2 + names->u1.AddressOfData))) {
                    DWORD old;
                    VirtualProtect(&slot->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
                    *h.original = reinterpret_cast<void*>(slot->u1.Function);
                    slot->u1.Function = reinterpret_cast<ULONG_PTR>(h.counted), ++hooked;
                }
    }
    return hooked;
}

TEST_F(BlockStep, AThousandStepsAllocateNothingAndKeepTheGdiObjectCountFlat)
{
    ASSERT_EQ(HookImports(), 8) << "every counted function is imported";
    s_countHeap = true;  // the counter sees what it must; the GDI count shows below
    void* volatile p = std::malloc(8);
    std::free(p);
    s_countHeap = false;
    ASSERT_EQ(s_allocations, 1);
    s_allocations = 0;
    // The FFT window taller than 256 bins allow: 568 from the first block.
    const RECT wave = Outer(g_hWaveWindow), fft = Outer(g_hFFTWindow);
    MoveWindow(g_hFFTWindow, fft.left, fft.top, fft.right - fft.left, 700, TRUE);
    Start();
    for (int k = 0; k < 1000; ++k) {
        // Past the first blocks every window has its pens; from then on each
        // object made (by a resize) is deleted. Now and then a backlog.
        s_countGdi = k >= 100;
        const std::vector<short> frames = Tone(k % 50 == 49 ? 800 : 400, 20000, 50 + k, 9000, 300);
        if (k % 250 == 125 || k == 999)
            MoveWindow(g_hWaveWindow, wave.left, wave.top, k == 999 ? 400 : 380 + k / 250 % 2, 306,
                       TRUE);
        s_countHeap = true;
        FeedBlock(frames);
        s_countHeap = false;
        if (k == 500)
            Sleep(1100);  // the Decibel title comes due again
        Pump();
    }
    s_countGdi = false;
    Stop();
    EXPECT_EQ(Height(g_hFFTWindow), 568);
    EXPECT_EQ(g_Settings.m_FFTWindowYHeight, 568);
    MoveWindow(g_hFFTWindow, fft.left, fft.top, fft.right - fft.left, fft.bottom - fft.top, TRUE);
    EXPECT_EQ(s_allocations, 0) << "heap allocations in 1000 block steps";
    EXPECT_EQ(s_created, s_deleted) << "GDI objects made and deleted";
    // Five new widths, each given to the three sweep windows: a bitmap and
    // its DC each time.
    EXPECT_EQ(s_created, 5 * 3 * 2);
}

}  // namespace
