#include "capture_session.h"

#include <cstring>

#include "capture_geometry.h"
#include "device_list.h"
#include "failure_report.h"
#include "resource.h"
#include "settings.h"
#include "shell_state.h"

bool g_bCapturing = false;
short* g_pPCMData = nullptr;
int g_iCountOfPCMData = 0;
double* g_pSpectrumWork = nullptr;
IDirectSoundCaptureBuffer* g_pCaptureBuffer = nullptr;
IDirectSoundNotify* g_pCaptureNotify = nullptr;

static WAVEFORMATEX g_CaptureFormat;
static DWORD g_dwNotificationSize = 0;
static DWORD g_dwCaptureBufferSize = 0;
// 16 positions and a 17th that stays zero.
static DSBPOSITIONNOTIFY g_NotificationPositions[kBlocksPerCaptureBuffer + 1];
// Where the next unread block begins in the capture buffer.
static DWORD g_dwReadOffset = 0;
static CaptureWatch g_CaptureWatch = {};
static_assert(kNoTimeLimit == INFINITE, "a disarmed watch waits without a limit");

DWORD GetCaptureSamplesPerSec()
{
    return g_CaptureFormat.nSamplesPerSec;
}

DWORD GetNotificationSize()
{
    return g_dwNotificationSize;
}

DWORD GetCaptureBufferSize()
{
    return g_dwCaptureBufferSize;
}

DWORD GetFramesPerBlock()
{
    return FramesPerBlock(g_dwNotificationSize, g_CaptureFormat.nBlockAlign);
}

void ResetCaptureGeometry()
{
    std::memset(g_NotificationPositions, 0, sizeof(g_NotificationPositions));
    g_dwCaptureBufferSize = 0;
    g_dwNotificationSize = 0;
}

void ReleaseCaptureBuffer()
{
    if (g_pCaptureNotify) {
        g_pCaptureNotify->Release();
        g_pCaptureNotify = nullptr;
    }
    if (g_pCaptureBuffer) {
        g_pCaptureBuffer->Release();
        g_pCaptureBuffer = nullptr;
    }
}

void BuildCaptureFormat(WAVEFORMATEX* format)
{
    std::memset(format, 0, sizeof(*format));
    // Unsigned: no stored rate, however large or negative, overflows.
    const DWORD rate = static_cast<DWORD>(g_Settings.m_iSamplingRate);
    format->wFormatTag = WAVE_FORMAT_PCM;
    format->nChannels = 2;
    format->nSamplesPerSec = rate;
    format->nAvgBytesPerSec = rate * 4;
    format->nBlockAlign = 4;
    format->wBitsPerSample = 16;
    format->cbSize = 0;
}

HRESULT SetUpCaptureBuffer(const WAVEFORMATEX* format)
{
    ReleaseCaptureBuffer();
    if (!g_pDirectSoundCapture)
        return E_FAIL;
    // A stored rate far out of range must fail the start, not reach the
    // driver: under Wine the sound library aborts the process on it.
    if (format->nSamplesPerSec < DSBFREQUENCY_MIN || format->nSamplesPerSec > DSBFREQUENCY_MAX)
        return DSERR_BADFORMAT;

    g_dwNotificationSize = ComputeNotificationSize(format->nAvgBytesPerSec, format->nBlockAlign);
    g_dwCaptureBufferSize = ComputeCaptureBufferSize(g_dwNotificationSize);

    DSCBUFFERDESC desc;
    std::memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.dwFlags = 0;
    desc.dwBufferBytes = g_dwCaptureBufferSize;
    desc.dwReserved = 0;
    desc.lpwfxFormat = const_cast<WAVEFORMATEX*>(format);
    desc.dwFXCount = 0;
    desc.lpDSCFXDesc = nullptr;
    IDirectSoundCaptureBuffer* buffer = nullptr;
    HRESULT hr = g_pDirectSoundCapture->CreateCaptureBuffer(&desc, &buffer, nullptr);
    if (FAILED(hr))
        return hr;
    g_pCaptureBuffer = buffer;

    g_dwReadOffset = 0;
    hr = SetUpNotifications();
    return FAILED(hr) ? hr : S_OK;
}

HRESULT SetUpNotifications()
{
    if (!g_pCaptureBuffer)
        return E_FAIL;
    void* notify = nullptr;
    HRESULT hr = g_pCaptureBuffer->QueryInterface(IID_IDirectSoundNotify, &notify);
    if (FAILED(hr))
        return hr;
    g_pCaptureNotify = static_cast<IDirectSoundNotify*>(notify);

    for (int k = 0; k < kBlocksPerCaptureBuffer; ++k) {
        g_NotificationPositions[k].dwOffset = NotificationOffset(g_dwNotificationSize, k);
        g_NotificationPositions[k].hEventNotify = g_hNotificationEvent;
    }
    hr = g_pCaptureNotify->SetNotificationPositions(kBlocksPerCaptureBuffer,
                                                    g_NotificationPositions);
    return FAILED(hr) ? hr : S_OK;
}

// Both buffers, taken fresh at every start: whatever a start or a stop that
// failed half-way left behind is freed first. E_OUTOFMEMORY, reported, when
// either cannot be had.
static HRESULT AllocateSampleBuffers()
{
    FreeSampleBuffers();
    HANDLE heap = GetProcessHeap();
    g_pPCMData = static_cast<short*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, g_dwCaptureBufferSize));
    if (!g_pPCMData) {
        ReportFailure(kFailureSampleBuffer, E_OUTOFMEMORY);
        return E_OUTOFMEMORY;
    }
    const SIZE_T workBytes = static_cast<SIZE_T>(g_dwCaptureBufferSize) * 32;
    g_pSpectrumWork = static_cast<double*>(HeapAlloc(heap, 0, workBytes));
    if (!g_pSpectrumWork) {
        ReportFailure(kFailureSpectrumBuffer, E_OUTOFMEMORY);
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

static HRESULT StartCapture(HWND dialog)
{
    HRESULT hr = SetUpCaptureBuffer(&g_CaptureFormat);
    if (FAILED(hr))
        return hr;
    hr = AllocateSampleBuffers();
    if (FAILED(hr))
        return hr;
    hr = g_pCaptureBuffer->Start(DSCBSTART_LOOPING);
    if (FAILED(hr))
        return hr;

    // What the device really captures; a failure leaves the record zero.
    WAVEFORMATEX actual;
    std::memset(&actual, 0, sizeof(actual));
    DWORD written = 0;
    g_pCaptureBuffer->GetFormat(&actual, sizeof(actual), &written);
    char text[256];
    DescribeCaptureFormat(&actual, text);
    SetDlgItemTextA(dialog, IDC_FORMAT, text);
    ArmCaptureWatch(g_CaptureWatch, GetTickCount());
    return S_OK;
}

static HRESULT StopCapture()
{
    if (!g_pCaptureBuffer)
        return S_OK;
    HRESULT hr = g_pCaptureBuffer->Stop();
    if (FAILED(hr))
        return hr;
    // The last blocks are read and dropped, so the next start begins clean.
    hr = ReadCapturedBlocks();
    if (FAILED(hr))
        return hr;
    FreeSampleBuffers();
    ReleaseCaptureBuffer();
    return S_OK;
}

HRESULT SwitchCapture(HWND dialog, bool start)
{
    DisarmCaptureWatch(g_CaptureWatch);
    BuildCaptureFormat(&g_CaptureFormat);
    SetDlgItemTextA(dialog, IDC_STARTSTOP, g_bCapturing ? "停止(Space)" : "開始(Space)");
    return start ? StartCapture(dialog) : StopCapture();
}

HRESULT StopCapturing(HWND dialog)
{
    g_bCapturing = false;
    return SwitchCapture(dialog, false);
}

// Copies the two locked parts, oldest first, to the start of the shared
// sample buffer, moves the read offset past them and sets the count. The
// bound is tested before anything is copied or counted.
static HRESULT DeliverLockedBlocks(const void* part1, DWORD length1, const void* part2,
                                   DWORD length2)
{
    if (!part2)
        length2 = 0;
    const uint64_t total = static_cast<uint64_t>(length1) + length2;
    if (ExceedsSampleBuffer(total, g_dwCaptureBufferSize)) {
        ReportFailure(kFailureBufferOverflow, E_FAIL);
        return E_FAIL;
    }
    unsigned char* to = reinterpret_cast<unsigned char*>(g_pPCMData);
    std::memcpy(to, part1, length1);
    g_dwReadOffset = static_cast<DWORD>((static_cast<uint64_t>(g_dwReadOffset) + length1) %
                                        g_dwCaptureBufferSize);
    if (length2 != 0) {
        std::memcpy(to + length1, part2, length2);
        g_dwReadOffset = static_cast<DWORD>((static_cast<uint64_t>(g_dwReadOffset) + length2) %
                                            g_dwCaptureBufferSize);
    }
    const int32_t count = static_cast<int32_t>(total / g_CaptureFormat.nBlockAlign);
    g_iCountOfPCMData =
        CutToOneBlock(count, GetFramesPerBlock(), g_Settings.m_bSkipAllProcessIfOverLoad);
    return S_OK;
}

HRESULT ReadCapturedBlocks()
{
    // No sample buffer happens only in a start that failed half-way; what it
    // captured is not wanted.
    if (!g_pCaptureBuffer || !g_pPCMData || g_CaptureFormat.nBlockAlign == 0)
        return S_FALSE;
    DWORD capturePosition = 0;
    DWORD readPosition = 0;
    HRESULT hr = g_pCaptureBuffer->GetCurrentPosition(&capturePosition, &readPosition);
    if (FAILED(hr))
        return hr;
    const DWORD length =
        ReadableBytes(readPosition, g_dwReadOffset, g_dwCaptureBufferSize, g_dwNotificationSize);
    if (length == 0)
        return S_FALSE;

    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD length1 = 0;
    DWORD length2 = 0;
    hr = g_pCaptureBuffer->Lock(g_dwReadOffset, length, &part1, &length1, &part2, &length2, 0);
    if (FAILED(hr))
        return hr;
    hr = DeliverLockedBlocks(part1, length1, part2, length2);
    g_pCaptureBuffer->Unlock(part1, length1, part2, length2);
    return hr;
}

void FreeSampleBuffers()
{
    HANDLE heap = GetProcessHeap();
    if (g_pPCMData) {
        HeapFree(heap, 0, g_pPCMData);
        g_pPCMData = nullptr;
    }
    if (g_pSpectrumWork) {
        HeapFree(heap, 0, g_pSpectrumWork);
        g_pSpectrumWork = nullptr;
    }
    g_iCountOfPCMData = 0;
}

DWORD GetCaptureWaitLimit()
{
    return CaptureWaitLimit(g_CaptureWatch, GetTickCount());
}

void MarkCaptureNotification()
{
    NoteCaptureNotification(g_CaptureWatch, GetTickCount());
}

void DescribeCaptureFormat(const WAVEFORMATEX* format, char* text)
{
    wsprintfA(text, "%u Hz, %u-bit %s", static_cast<unsigned>(format->nSamplesPerSec),
              static_cast<unsigned>(format->wBitsPerSample), ChannelWord(format->nChannels));
}
