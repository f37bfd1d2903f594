// The one way Tavrel tells the user that something failed: a message box
// with the failure's own text and caption, modal to the control dialog (or
// to the dialog it has open), with every other window of Tavrel disabled
// until it is answered (the title window excepted: it goes by itself). The
// HRESULT goes to the debugger's output.
#pragma once
#include <windows.h>

enum Failure {
    kFailureDirectSoundInit,    // the chosen device could not be opened
    kFailureSampleBuffer,       // the shared sample buffer could not be allocated
    kFailureSpectrumBuffer,     // the spectrum work buffer could not be allocated
    kFailureBufferOverflow,     // a read larger than the sample buffer
    kFailureNotification,       // a capture read failed; the run ends
    kFailureDeviceUnavailable,  // start or stop failed
    kFailureInitialisation,     // the display windows could not be made; the run ends
    kFailureInvalidShare,       // m_iThinResurgeWave above 100; the run ends
    kFailureNoDevices,          // the settings dialog found no device
};

// value fills the text's number where it has one (the invalid share). The
// box is owned by owner when given, else by the control dialog's active
// popup, else by nothing (before the control dialog exists).
void ReportFailure(Failure failure, HRESULT hr = S_OK, int value = 0, HWND owner = nullptr);

// True once a failure that ends the run without saving (a failed read, the
// buffer overflow, the failed set-up, the invalid share) has been reported:
// a log-off under its box must not save either.
bool RunEndsUnsaved();
