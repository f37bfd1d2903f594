// The capture session: a looping DirectSound capture buffer of 16 blocks on
// the open capture object, and the delivery of its whole blocks into the
// shared sample buffer that every display window reads.
#pragma once

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

// True while the user has a capture running. The control dialog sets and
// clears it; the display windows draw sample data only while it is set.
extern bool g_bCapturing;

// The shared sample buffer: frames of two signed 16-bit samples, left then
// right, exactly as captured. Null while stopped. After a read that found
// data, frames 0 ... g_iCountOfPCMData - 1 hold the new audio, oldest first.
extern short* g_pPCMData;
// Frames (not samples, not bytes) in g_pPCMData; 0 before the first read and
// after a stop. A whole number of blocks.
extern int g_iCountOfPCMData;
// Scratch reals for the FFT window, 32 x capture buffer size bytes; null while
// stopped, contents undefined.
extern double* g_pSpectrumWork;

// The capture buffer and its notify interface; null while stopped.
extern IDirectSoundCaptureBuffer* g_pCaptureBuffer;
extern IDirectSoundNotify* g_pCaptureNotify;

// nSamplesPerSec of the format record, rebuilt from the settings at every
// start and stop (PCM, 2 channels, 16 bits, m_iSamplingRate; all zero before
// the first of them), as the FFT window's frequency scale.
DWORD GetCaptureSamplesPerSec();
// Block geometry of the current or last capture; 0 before the first start.
DWORD GetNotificationSize();
DWORD GetCaptureBufferSize();
// Frames in one block; 0 while the format record is zero.
DWORD GetFramesPerBlock();

// Clears the block geometry and the notification positions (a newly opened
// capture object starts with none).
void ResetCaptureGeometry();
// Releases the notify interface, then the capture buffer, each if present.
void ReleaseCaptureBuffer();

void BuildCaptureFormat(WAVEFORMATEX* format);
// Creates the capture buffer with its geometry and notifications; E_FAIL with
// no capture object.
HRESULT SetUpCaptureBuffer(const WAVEFORMATEX* format);
// The 16 notification positions, the last byte of each block, all on
// g_hNotificationEvent.
HRESULT SetUpNotifications();

// Starts or stops the capture and sets the control dialog's button text (from
// g_bCapturing) and, on a start, its format text.
HRESULT SwitchCapture(HWND dialog, bool start);

// Clears the capturing flag and stops: the one way every caller ends a
// capture. The result is the stop's.
HRESULT StopCapturing(HWND dialog);

// Copies every whole block captured since the last read into the shared
// sample buffer. S_OK with data delivered, S_FALSE with nothing to read (the
// buffer and the count unchanged), or the failure.
HRESULT ReadCapturedBlocks();

void FreeSampleBuffers();

// The watch on a running capture (see CaptureWatch): how long the main loop
// may wait for the next notification, INFINITE while stopped, 0 once the
// capture counts as lost; and the note of a notification's arrival.
DWORD GetCaptureWaitLimit();
void MarkCaptureNotification();

// "%u Hz, %u-bit %s" into a 256-byte buffer.
void DescribeCaptureFormat(const WAVEFORMATEX* format, char* text);
