// No heap allocation per block: a thousand real block steps (read, counter,
// sweep, UM_NEWDATA to all four shown windows) with the control dialog and a
// capture running on the in-memory DirectSound double, while every heap
// entry point this executable imports (HeapAlloc, malloc and their kin, which
// operator new reaches too) is counted. Allocations inside the system DLLs
// (GDI, USER) are theirs and not counted.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "app/app_state.h"
#include "app/block_step.h"
#include "app/settings.h"
#include "app/sweep.h"
#include "capture/capture_session.h"
#include "capture/device_list.h"
#include "dialogs/control_dialog.h"
#include "res/resource.h"
#include "tests/wine/support/fake_dsound.h"
#include "windows/display_frame.h"

namespace {

volatile bool g_counting = false;
volatile long g_allocations = 0;

using HeapAllocFn = LPVOID(WINAPI*)(HANDLE, DWORD, SIZE_T);
using HeapReAllocFn = LPVOID(WINAPI*)(HANDLE, DWORD, LPVOID, SIZE_T);
using LocalAllocFn = HLOCAL(WINAPI*)(UINT, SIZE_T);
using GlobalAllocFn = HGLOBAL(WINAPI*)(UINT, SIZE_T);
using MallocFn = void*(__cdecl*)(size_t);
using CallocFn = void*(__cdecl*)(size_t, size_t);
using ReallocFn = void*(__cdecl*)(void*, size_t);

HeapAllocFn g_heapAlloc;
HeapReAllocFn g_heapReAlloc;
LocalAllocFn g_localAlloc;
GlobalAllocFn g_globalAlloc;
MallocFn g_malloc;
CallocFn g_calloc;
ReallocFn g_realloc;

void Count()
{
    if (g_counting)
        ++g_allocations;
}

LPVOID WINAPI CountedHeapAlloc(HANDLE h, DWORD f, SIZE_T n) { Count(); return g_heapAlloc(h, f, n); }
LPVOID WINAPI CountedHeapReAlloc(HANDLE h, DWORD f, LPVOID p, SIZE_T n)
{
    Count();
    return g_heapReAlloc(h, f, p, n);
}
HLOCAL WINAPI CountedLocalAlloc(UINT f, SIZE_T n) { Count(); return g_localAlloc(f, n); }
HGLOBAL WINAPI CountedGlobalAlloc(UINT f, SIZE_T n) { Count(); return g_globalAlloc(f, n); }
void* __cdecl CountedMalloc(size_t n) { Count(); return g_malloc(n); }
void* __cdecl CountedCalloc(size_t a, size_t b) { Count(); return g_calloc(a, b); }
void* __cdecl CountedRealloc(void* p, size_t n) { Count(); return g_realloc(p, n); }

struct Hook {
    const char* name;
    void* replacement;
    void** original;
};

// Points this executable's import address table entries at the counters.
// Returns how many entries were replaced.
int HookImports(const Hook* hooks, int count)
{
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    int replaced = 0;
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         imp->Name; ++imp) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const char* name =
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
            for (int i = 0; i < count; ++i) {
                if (std::strcmp(name, hooks[i].name) != 0)
                    continue;
                DWORD old;
                VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
                *hooks[i].original = reinterpret_cast<void*>(slots->u1.Function);
                slots->u1.Function = reinterpret_cast<ULONG_PTR>(hooks[i].replacement);
                VirtualProtect(&slots->u1.Function, sizeof(void*), old, &old);
                ++replaced;
            }
        }
    }
    return replaced;
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

TEST(BlockStepAllocations, ThousandStepsWithAllWindowsShownAllocateNothing)
{
    const Hook hooks[] = {
        {"HeapAlloc", reinterpret_cast<void*>(CountedHeapAlloc), reinterpret_cast<void**>(&g_heapAlloc)},
        {"HeapReAlloc", reinterpret_cast<void*>(CountedHeapReAlloc), reinterpret_cast<void**>(&g_heapReAlloc)},
        {"LocalAlloc", reinterpret_cast<void*>(CountedLocalAlloc), reinterpret_cast<void**>(&g_localAlloc)},
        {"GlobalAlloc", reinterpret_cast<void*>(CountedGlobalAlloc), reinterpret_cast<void**>(&g_globalAlloc)},
        {"malloc", reinterpret_cast<void*>(CountedMalloc), reinterpret_cast<void**>(&g_malloc)},
        {"calloc", reinterpret_cast<void*>(CountedCalloc), reinterpret_cast<void**>(&g_calloc)},
        {"realloc", reinterpret_cast<void*>(CountedRealloc), reinterpret_cast<void**>(&g_realloc)},
    };
    ASSERT_GE(HookImports(hooks, sizeof hooks / sizeof hooks[0]), 3)
        << "HeapAlloc, malloc and realloc at least are imported";

    // The counter sees what it must: operator new, malloc, HeapAlloc.
    g_allocations = 0;
    g_counting = true;
    // Kept in volatiles, or the compiler drops the new/delete and malloc/free pairs.
    int* volatile q = new int(1);
    delete q;
    void* volatile p = std::malloc(8);
    std::free(p);
    HeapFree(GetProcessHeap(), 0, HeapAlloc(GetProcessHeap(), 0, 8));
    g_counting = false;
    ASSERT_GE(g_allocations, 3);

    g_hInstance = GetModuleHandleA(nullptr);
    ApplySettingDefaults(g_Settings);
    g_Settings.m_iSamplingRate = 48000;
    g_Settings.m_bIsShowDecibelWindow = g_Settings.m_bIsShowFFTWindow = true;
    g_Settings.m_bIsShowWaveWindow = g_Settings.m_bIsShowResurgeWindow = true;
    g_hNotificationEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    FakeDirectSoundCapture* fake = new FakeDirectSoundCapture;
    g_pDirectSoundCapture = fake;
    g_hControlDialog = CreateDialogParamA(g_hInstance, MAKEINTRESOURCEA(IDD_CONTROL), nullptr,
                                          ControlDialogProc, 0);
    ASSERT_NE(g_hControlDialog, nullptr);
    ShowWindow(g_hControlDialog, SW_SHOW);
    Pump();
    SendMessageA(g_hControlDialog, WM_COMMAND, MAKEWPARAM(IDC_STARTSTOP, 0), 0);
    ASSERT_TRUE(g_bCapturing);
    FakeCaptureBuffer* buffer = fake->LastBuffer();
    ASSERT_NE(buffer, nullptr);

    const DWORD blockBytes = GetNotificationSize();
    const int frames = static_cast<int>(blockBytes / 4);
    const DWORD ring = GetCaptureBufferSize();
    std::vector<short> block(static_cast<size_t>(frames) * 2);
    DWORD offset = 0;
    long total = 0;
    for (int k = 0; k < 1000; ++k) {
        for (int i = 0; i < frames; ++i) {
            block[2 * i] = static_cast<short>(20000 * std::sin(0.05 * (k * frames + i)));
            block[2 * i + 1] = static_cast<short>(9000 * std::sin(0.31 * (k * frames + i)));
        }
        buffer->WriteFrames(offset, block.data(), frames);
        offset = (offset + blockBytes) % ring;
        buffer->readPosition = offset;
        // Every 50th step two blocks have piled up.
        if (k % 50 == 49) {
            buffer->WriteFrames(offset, block.data(), frames);
            offset = (offset + blockBytes) % ring;
            buffer->readPosition = offset;
        }
        g_allocations = 0;
        g_counting = true;
        RunBlockStep();
        g_counting = false;
        total += g_allocations;
        if (k == 500)
            Sleep(1100);  // the Decibel title comes due again
        Pump();
    }
    EXPECT_EQ(total, 0) << "heap allocations in 1000 block steps";
    EXPECT_GT(GetSweepColumn(), 50);

    SendMessageA(g_hControlDialog, WM_COMMAND, MAKEWPARAM(IDC_STARTSTOP, 0), 0);
    EXPECT_FALSE(g_bCapturing);
}

}  // namespace
