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

#include "block_step.h"
#include "device_list.h"
#include "control_dialog.h"
#include "resource.h"
#include "tests/wine/support/display_test_support.h"
#include "tests/wine/support/fake_dsound.h"

namespace {

volatile bool g_counting = false;
volatile long g_allocations = 0;

void Count()
{
    if (g_counting)
        ++g_allocations;
}

// The original entry point g_Name and a counting one, CountedName, that calls it.
#define COUNTED(Ret, Conv, Name, Params, Args) \
    Ret(Conv* g_##Name) Params;                 \
    Ret Conv Counted##Name Params { Count(); return g_##Name Args; }
COUNTED(LPVOID, WINAPI, HeapAlloc, (HANDLE h, DWORD f, SIZE_T n), (h, f, n))
COUNTED(LPVOID, WINAPI, HeapReAlloc, (HANDLE h, DWORD f, LPVOID p, SIZE_T n), (h, f, p, n))
COUNTED(HLOCAL, WINAPI, LocalAlloc, (UINT f, SIZE_T n), (f, n))
COUNTED(HGLOBAL, WINAPI, GlobalAlloc, (UINT f, SIZE_T n), (f, n))
COUNTED(void*, __cdecl, malloc, (size_t n), (n))
COUNTED(void*, __cdecl, calloc, (size_t a, size_t b), (a, b))
COUNTED(void*, __cdecl, realloc, (void* p, size_t n), (p, n))

struct Hook {
    const char* name;
    void* replacement;
    void** original;
};
#define HOOK(Name) \
    {#Name, reinterpret_cast<void*>(Counted##Name), reinterpret_cast<void**>(&g_##Name)}

// Points this executable's import entries at the counters; returns how many.
int HookImports(const Hook* hooks, int count)
{
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
            auto* name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            for (int i = 0; i < count; ++i) {
                if (std::strcmp(name->Name, hooks[i].name) != 0)
                    continue;
                DWORD old;
                VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
                *hooks[i].original = reinterpret_cast<void*>(slots->u1.Function);
                slots->u1.Function = reinterpret_cast<ULONG_PTR>(hooks[i].replacement);
                ++replaced;
            }
        }
    }
    return replaced;
}

TEST(BlockStepAllocations, ThousandStepsWithAllWindowsShownAllocateNothing)
{
    const Hook hooks[] = {HOOK(HeapAlloc), HOOK(HeapReAlloc), HOOK(LocalAlloc), HOOK(GlobalAlloc),
                          HOOK(malloc),    HOOK(calloc),      HOOK(realloc)};
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
    g_Settings.m_bIsShowDecibelWindow = g_Settings.m_bIsShowFFTWindow =
        g_Settings.m_bIsShowWaveWindow = g_Settings.m_bIsShowResurgeWindow = true;
    g_hNotificationEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    FakeDirectSoundCapture* fake = new FakeDirectSoundCapture;
    g_pDirectSoundCapture = fake;
    g_hControlDialog = CreateDialogParamA(g_hInstance, MAKEINTRESOURCEA(IDD_CONTROL), nullptr,
                                          ControlDialogProc, 0);
    ASSERT_NE(g_hControlDialog, nullptr);
    ShowWindow(g_hControlDialog, SW_SHOW);
    PumpMessages();
    SendMessageA(g_hControlDialog, WM_COMMAND, MAKEWPARAM(IDC_STARTSTOP, 0), 0);
    ASSERT_TRUE(g_bCapturing);
    FakeCaptureBuffer* buffer = fake->LastBuffer();
    ASSERT_NE(buffer, nullptr);

    const DWORD blockBytes = GetNotificationSize();
    const int frames = static_cast<int>(blockBytes / 4);
    const DWORD ring = GetCaptureBufferSize();
    std::vector<short> block(static_cast<size_t>(frames) * 2);
    DWORD offset = 0;
    g_allocations = 0;
    for (int k = 0; k < 1000; ++k) {
        for (int piled = k % 50 == 49 ? 2 : 1; piled > 0; --piled) {  // now and then a backlog
            for (int i = 0; i < frames; ++i) {
                block[2 * i] = static_cast<short>(20000 * std::sin(0.05 * (k * frames + i)));
                block[2 * i + 1] = static_cast<short>(9000 * std::sin(0.31 * (k * frames + i)));
            }
            buffer->WriteFrames(offset, block.data(), frames);
            offset = (offset + blockBytes) % ring;
        }
        buffer->readPosition = offset;
        g_counting = true;
        RunBlockStep();
        g_counting = false;
        if (k == 500)
            Sleep(1100);  // the Decibel title comes due again
        PumpMessages();
    }
    EXPECT_EQ(g_allocations, 0) << "heap allocations in 1000 block steps";
    EXPECT_GT(GetSweepColumn(), 50) << "the steps ran";
}

}  // namespace
