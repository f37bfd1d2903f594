// A console tool for long runs of Tavrel: it finds the running program by
// its control dialog, presses its keys, and samples what the process holds.
//
//   proc_sampler watch SECONDS INTERVAL   sample every INTERVAL s for SECONDS s
//   proc_sampler key space|f12            post a key to the control dialog
//   proc_sampler exit                     post F12 and wait; prints the exit code
//
// Measures, per sample: kernel handles, GDI objects, private (committed)
// bytes, and the control dialog's block counter. Between samples the counter
// is polled every few milliseconds for the longest time in which no block
// step happened. Under Wine, GetProcessHandleCount and GetGuiResources
// report 0 and PrivateUsage is 0; the tool then counts the process's entries
// in the system handle list and in its GDI handle table, and takes the
// commit charge (PagefileUsage), which under Wine is the private memory.
#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Target {
    HWND dialog = nullptr;
    DWORD pid = 0;
    HANDLE process = nullptr;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM lParam)
{
    auto* target = reinterpret_cast<Target*>(lParam);
    char name[32] = {}, title[32] = {};
    GetClassNameA(window, name, sizeof(name));
    GetWindowTextA(window, title, sizeof(title));
    if (std::strcmp(name, "#32770") == 0 && std::strcmp(title, "Tavrel") == 0 &&
        IsWindowVisible(window)) {
        target->dialog = window;
        return FALSE;
    }
    return TRUE;
}

bool FindTavrel(Target* target, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited <= timeoutMs; waited += 100) {
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(target));
        if (target->dialog) {
            GetWindowThreadProcessId(target->dialog, &target->pid);
            target->process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE,
                                          FALSE, target->pid);
            return target->process != nullptr;
        }
        Sleep(100);
    }
    return false;
}

bool UnderWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// SYSTEM_HANDLE_TABLE_ENTRY_INFO_EX and its list (class 64).
struct HandleEntry {
    PVOID object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG access;
    USHORT backTrace;
    USHORT typeIndex;
    ULONG attributes;
    ULONG reserved;
};
struct HandleList {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

long CountHandles(const Target& t)
{
    DWORD count = 0;
    if (GetProcessHandleCount(t.process, &count) && count > 0)
        return static_cast<long>(count);
    using Query = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return -1;
    std::vector<char> buffer(1 << 20);
    NTSTATUS status;
    ULONG needed = 0;
    while ((status = query(64, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
           static_cast<NTSTATUS>(0xC0000004))
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return -1;
    const auto* list = reinterpret_cast<const HandleList*>(buffer.data());
    long n = 0;
    for (ULONG_PTR i = 0; i < list->count; ++i)
        n += list->entries[i].processId == t.pid ? 1 : 0;
    return n;
}

// An entry of Wine's GDI handle table (the PEB's GdiSharedHandleTable):
// a type of 0 marks a free entry.
struct GdiEntry {
    unsigned long long object;
    unsigned int owner;
    unsigned short unique;
    unsigned char type;
    unsigned char flags;
    unsigned long long user;
};
const size_t kGdiTableEntries = 0x10000;

long CountGdiObjects(const Target& t)
{
    const DWORD count = GetGuiResources(t.process, GR_GDIOBJECTS);
    if (count > 0 || !UnderWine())
        return static_cast<long>(count);
    PROCESS_BASIC_INFORMATION info{};
    ULONG length = 0;
    if (NtQueryInformationProcess(t.process, ProcessBasicInformation, &info, sizeof(info),
                                  &length) != 0)
        return -1;
    ULONG_PTR table = 0;
    SIZE_T read = 0;
    // PEB.GdiSharedHandleTable on x64.
    if (!ReadProcessMemory(t.process, reinterpret_cast<const char*>(info.PebBaseAddress) + 0xF8,
                           &table, sizeof(table), &read) ||
        !table)
        return -1;
    std::vector<GdiEntry> entries(kGdiTableEntries);
    if (!ReadProcessMemory(t.process, reinterpret_cast<const void*>(table), entries.data(),
                           entries.size() * sizeof(GdiEntry), &read))
        return -1;
    long n = 0;
    for (const GdiEntry& e : entries)
        n += e.type != 0 ? 1 : 0;
    return n;
}

long long PrivateBytes(const Target& t)
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(t.process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof(counters)))
        return -1;
    return counters.PrivateUsage > 0 ? static_cast<long long>(counters.PrivateUsage)
                                     : static_cast<long long>(counters.PagefileUsage);
}

// The block counter "カウンタ: %d 秒数:%d": the first number; -1 before the
// first block step.
long ReadBlocks(const Target& t)
{
    char text[128] = {};
    GetWindowTextA(GetDlgItem(t.dialog, 1003), text, sizeof(text));
    const char* p = text;
    while (*p && (*p < '0' || *p > '9'))
        ++p;
    return *p ? std::strtol(p, nullptr, 10) : -1;
}

void PostKey(const Target& t, UINT key)
{
    PostMessageA(t.dialog, WM_KEYDOWN, key, 1);
    PostMessageA(t.dialog, WM_KEYUP, key, 0xC0000001u);
}

struct Sample {
    double seconds;
    long handles;
    long gdi;
    long long privateBytes;
    long blocks;
    double longestGapMs;
};

int Watch(const Target& t, double seconds, double interval)
{
    std::vector<Sample> samples;
    LARGE_INTEGER frequency, start;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    auto now = [&] {
        LARGE_INTEGER c;
        QueryPerformanceCounter(&c);
        return static_cast<double>(c.QuadPart - start.QuadPart) / frequency.QuadPart;
    };
    // The timeline starts with the first block step (about a second after
    // the start, when the first notification comes).
    for (int i = 0; i < 200 && ReadBlocks(t) < 0; ++i)
        Sleep(50);
    if (ReadBlocks(t) < 0) {
        std::printf("FAIL: no block step within 10 s\n");
        return 1;
    }
    QueryPerformanceCounter(&start);
    long lastBlocks = ReadBlocks(t);
    double lastChange = now();
    double longestGap = 0;
    double nextSample = 0;
    std::printf("%8s %8s %8s %12s %10s %12s\n", "time_s", "handles", "gdi", "private_kb", "blocks",
                "max_gap_ms");
    for (;;) {
        const double s = now();
        if (WaitForSingleObject(t.process, 0) == WAIT_OBJECT_0) {
            std::printf("FAIL: Tavrel ended during the run\n");
            return 1;
        }
        const long blocks = ReadBlocks(t);
        if (blocks != lastBlocks) {
            longestGap = std::max(longestGap, s - lastChange);
            lastBlocks = blocks;
            lastChange = s;
        }
        if (s >= nextSample) {
            const double gapNow = std::max(longestGap, s - lastChange);
            Sample sample{s,      CountHandles(t), CountGdiObjects(t), PrivateBytes(t),
                          blocks, gapNow * 1000};
            samples.push_back(sample);
            std::printf("%8.1f %8ld %8ld %12lld %10ld %12.1f\n", sample.seconds, sample.handles,
                        sample.gdi, sample.privateBytes / 1024, sample.blocks, sample.longestGapMs);
            std::fflush(stdout);
            longestGap = 0;
            if (s >= seconds)
                break;
            nextSample = std::min(nextSample + interval, seconds);
        }
        Sleep(5);
    }

    // The first sample is taken as capture starts; from the second on the
    // process is in its steady state.
    bool ok = true;
    if (samples.size() < 3) {
        std::printf("FAIL: too few samples\n");
        return 1;
    }
    const Sample& base = samples[1];
    long handleSpread = 0, gdiSpread = 0;
    long long memorySpread = 0;
    double gap = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        handleSpread = std::max(handleSpread, std::labs(samples[i].handles - base.handles));
        gdiSpread = std::max(gdiSpread, std::labs(samples[i].gdi - base.gdi));
        memorySpread = std::max(memorySpread, samples[i].privateBytes - base.privateBytes);
    }
    for (const Sample& s : samples)
        gap = std::max(gap, s.longestGapMs);
    const double elapsed = samples.back().seconds - samples.front().seconds;
    const double rate = (samples.back().blocks - samples.front().blocks) / elapsed;

    // Tolerances: a handle or GDI object or two may be in flight at a sample
    // (a pen exists while its line is drawn); memory may move by the heap's
    // own rounding. A leak of one object per block would be thousands.
    const long kHandleTolerance = 4;
    const long kGdiTolerance = 4;
    const long long kMemoryTolerance = 2 * 1024 * 1024;
    // A whole capture buffer is 16 blocks (133 ms); a read takes every block
    // captured since the last one, so only a gap this long can lose blocks.
    const double kLosingGapMs = 16 * 1000.0 / 120;

    std::printf("handles: spread %ld (allowed %ld)\n", handleSpread, kHandleTolerance);
    std::printf("gdi objects: spread %ld (allowed %ld)%s\n", gdiSpread, kGdiTolerance,
                base.gdi < 0 ? " - not measurable" : "");
    std::printf("private memory: growth %lld KiB (allowed %lld KiB)\n", memorySpread / 1024,
                kMemoryTolerance / 1024);
    std::printf("block steps: %.1f per second; longest time without one: %.1f ms (blocks are "
                "lost only after %.1f ms)\n",
                rate, gap, kLosingGapMs);
    ok = ok && base.handles >= 0 && handleSpread <= kHandleTolerance;
    ok = ok && base.gdi >= 0 && gdiSpread <= kGdiTolerance;
    ok = ok && base.privateBytes >= 0 && memorySpread <= kMemoryTolerance;
    ok = ok && gap < kLosingGapMs;
    std::printf("%s\n", ok ? "soak: flat" : "FAIL: not flat");
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: proc_sampler watch SECONDS INTERVAL | key space|f12 | exit\n");
        return 2;
    }
    Target t;
    if (!FindTavrel(&t, 20000)) {
        std::fprintf(stderr, "proc_sampler: no running Tavrel found\n");
        return 2;
    }
    const std::string command = argv[1];
    if (command == "watch" && argc >= 4)
        return Watch(t, std::atof(argv[2]), std::atof(argv[3]));
    if (command == "key" && argc >= 3) {
        PostKey(t, std::strcmp(argv[2], "f12") == 0 ? VK_F12 : VK_SPACE);
        return 0;
    }
    if (command == "exit") {
        PostKey(t, VK_F12);
        if (WaitForSingleObject(t.process, 15000) != WAIT_OBJECT_0) {
            std::printf("FAIL: Tavrel did not end within 15 s of F12\n");
            return 1;
        }
        DWORD code = 0;
        GetExitCodeProcess(t.process, &code);
        std::printf("exit code %lu\n", code);
        return code == 0 ? 0 : 1;
    }
    std::fprintf(stderr, "proc_sampler: unknown command %s\n", command.c_str());
    return 2;
}
