// The capture devices of the machine, as DirectSound enumerates them, and the
// one capture object opened from the chosen one.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

// The list keeps at most this many devices; enumeration stops there.
const int kMaxCaptureDevices = 16;

// One enumerated device, with its own copies of the texts (the enumeration's
// are valid only during its callback). Longer texts are cut.
struct CaptureDeviceEntry {
    GUID guid;
    char description[256];
    char moduleName[256];
};

// The DirectSound capture object; null when closed. Tests put a test double
// here in place of a real device.
extern IDirectSoundCapture* g_pDirectSoundCapture;

// Creates a capture object: DirectSoundCaptureCreate, or a test double.
using CaptureCreateFunction = HRESULT(WINAPI*)(LPCGUID guid, LPDIRECTSOUNDCAPTURE* capture,
                                               LPUNKNOWN outer);
extern CaptureCreateFunction g_pDirectSoundCaptureCreate;

// Releases what is open, enumerates the devices anew and opens the one at
// m_iCurrentAudioDriver. An index outside the devices just found (negative,
// at or past the count, or 16 and above) opens slot 0 for this run and is
// kept as it is. On failure reports it and returns E_FAIL.
HRESULT OpenCaptureDevice();
// The same without the report: the failing HRESULT is returned.
HRESULT OpenChosenCaptureDevice();

// The enumeration callback: stores one device; the primary device (null
// identifier) is skipped; returns FALSE once the list is full.
BOOL CALLBACK AddCaptureDevice(LPGUID guid, LPCSTR description, LPCSTR moduleName, LPVOID context);

// Releases whatever is open, resets the block geometry, then creates the
// capture object for the device. On failure returns its HRESULT and leaves
// the capture object null.
HRESULT CreateCaptureObject(const GUID* guid);

// Releases the notify interface, the capture buffer and the capture object,
// each if present, and sets them to null.
void ReleaseCaptureObjects();

bool HasCaptureObject();

// Read access for the settings dialog: the devices in enumeration order.
int GetCaptureDeviceCount();
// Null for an index outside the list.
const char* GetCaptureDeviceDescription(int index);
