#include "device_list.h"

#include "capture_session.h"
#include "failure_report.h"
#include "settings.h"

IDirectSoundCapture* g_pDirectSoundCapture = nullptr;
CaptureCreateFunction g_pDirectSoundCaptureCreate = DirectSoundCaptureCreate;

static CaptureDeviceEntry g_CaptureDevices[kMaxCaptureDevices];
static int g_iCaptureDeviceCount = 0;
static GUID g_SelectedCaptureDevice;

// A cut copy that always ends in a terminator; a null source gives "".
static void CopyText(char* to, size_t size, const char* from)
{
    to[0] = '\0';
    if (from)
        lstrcpynA(to, from, static_cast<int>(size));
}

BOOL CALLBACK AddCaptureDevice(LPGUID guid, LPCSTR description, LPCSTR moduleName, LPVOID)
{
    if (!guid)
        return TRUE;
    if (g_iCaptureDeviceCount >= kMaxCaptureDevices)
        return FALSE;
    CaptureDeviceEntry& entry = g_CaptureDevices[g_iCaptureDeviceCount];
    entry.guid = *guid;
    CopyText(entry.description, sizeof(entry.description), description);
    CopyText(entry.moduleName, sizeof(entry.moduleName), moduleName);
    g_iCaptureDeviceCount += 1;
    return TRUE;
}

HRESULT OpenCaptureDevice()
{
    const HRESULT hr = OpenChosenCaptureDevice();
    if (FAILED(hr)) {
        ReportFailure(kFailureDirectSoundInit, hr);
        return E_FAIL;
    }
    return S_OK;
}

HRESULT OpenChosenCaptureDevice()
{
    ReleaseCaptureObjects();
    g_iCaptureDeviceCount = 0;
    DirectSoundCaptureEnumerateA(AddCaptureDevice, nullptr);

    // A device missing for this run (an interface unplugged) is replaced by
    // the first for this run only: the stored choice stays for the next.
    int index = g_Settings.m_iCurrentAudioDriver;
    if (index < 0 || index >= g_iCaptureDeviceCount)
        index = 0;
    g_SelectedCaptureDevice = g_CaptureDevices[index].guid;
    return CreateCaptureObject(&g_SelectedCaptureDevice);
}

HRESULT CreateCaptureObject(const GUID* guid)
{
    // Whatever is still open would leak once the pointer is overwritten.
    ReleaseCaptureObjects();
    ResetCaptureGeometry();
    IDirectSoundCapture* capture = nullptr;
    HRESULT hr = g_pDirectSoundCaptureCreate(guid, &capture, nullptr);
    if (FAILED(hr))
        return hr;
    g_pDirectSoundCapture = capture;
    return S_OK;
}

void ReleaseCaptureObjects()
{
    ReleaseCaptureBuffer();
    if (g_pDirectSoundCapture) {
        g_pDirectSoundCapture->Release();
        g_pDirectSoundCapture = nullptr;
    }
}

bool HasCaptureObject()
{
    return g_pDirectSoundCapture != nullptr;
}

int GetCaptureDeviceCount()
{
    return g_iCaptureDeviceCount;
}

const char* GetCaptureDeviceDescription(int index)
{
    if (index < 0 || index >= g_iCaptureDeviceCount)
        return nullptr;
    return g_CaptureDevices[index].description;
}
