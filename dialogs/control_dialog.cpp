#include "control_dialog.h"

#include "about_dialog.h"
#include "capture_session.h"
#include "device_list.h"
#include "display_frame.h"
#include "display_windows.h"
#include "exit_command.h"
#include "failure_report.h"
#include "module_path.h"
#include "path_join.h"
#include "resource.h"
#include "settings.h"
#include "settings_dialog.h"
#include "settings_store.h"
#include "shell_state.h"
#include "sweep.h"

bool InitControlDialog(HWND dialog)
{
    PlaceWindow(dialog, g_Settings.m_CtrlDlgWindowXPos, g_Settings.m_CtrlDlgWindowYPos, 0, 0);
    SetFocus(GetDlgItem(dialog, IDC_STARTSTOP));
    if (!CreateDisplayWindows(g_hInstance))
        return false;
    SetWindowIcons(g_hInstance, dialog, IDI_TAVREL);
    return true;
}

static void OnInitDialog(HWND dialog)
{
    if (InitControlDialog(dialog))
        return;
    ReportFailure(kFailureInitialisation, E_FAIL, 0, dialog);
    ExitProcess(0);
}

static void ClearDisplayWindows()
{
    SendMessageA(g_hWaveWindow, UM_CLEAR, 0, 0);
    SendMessageA(g_hResurgeWindow, UM_CLEAR, 0, 0);
    SendMessageA(g_hDecibelWindow, UM_CLEAR, 0, 0);
    SendMessageA(g_hFFTWindow, UM_CLEAR, 0, 0);
}

// A start on a capture object that no longer works (its device went and
// came back, or its sound server restarted) is tried once more on the chosen
// device opened afresh, as the settings' OK opens it.
static HRESULT StartCapturing(HWND dialog)
{
    g_bCapturing = true;
    HRESULT hr = HasCaptureObject() ? SwitchCapture(dialog, true) : E_FAIL;
    // Memory that could not be had is no device's fault, and was reported.
    if (SUCCEEDED(hr) || hr == E_OUTOFMEMORY)
        return hr;
    StopCapturing(dialog);
    hr = OpenChosenCaptureDevice();
    if (FAILED(hr))
        return hr;
    g_bCapturing = true;
    return SwitchCapture(dialog, true);
}

static BOOL OnStartStop(HWND dialog)
{
    HRESULT hr;
    if (g_bCapturing) {
        hr = StopCapturing(dialog);
    } else {
        g_iSweepPosition = 0;
        ClearDisplayWindows();
        hr = StartCapturing(dialog);
    }
    if (SUCCEEDED(hr))
        return TRUE;
    StopCapturing(dialog);
    ReportFailure(kFailureDeviceUnavailable, hr, 0, dialog);
    return FALSE;
}

void StopLostCapture(HWND dialog)
{
    const HRESULT hr = StopCapturing(dialog);
    // Its device is gone, and a stop on it fails half-way: what the capture
    // held goes now, and the next start opens the device afresh.
    FreeSampleBuffers();
    ReleaseCaptureObjects();
    ReportFailure(kFailureDeviceUnavailable, FAILED(hr) ? hr : E_FAIL, 0, dialog);
}

static void ToggleWindow(bool* shown)
{
    *shown = !*shown;
    ApplyWindowVisibility();
}

static void OpenBesideProgram(const char* fileName)
{
    char path[kPathBufferSize];
    ModuleRelativePath(fileName, path, sizeof(path));
    ShellOpen(path);
}

static BOOL OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDC_STARTSTOP:
        return OnStartStop(dialog);
    case IDM_EXIT:
        SaveOnExit(dialog);
        DestroyWindow(dialog);
        return TRUE;
    case IDM_TOGGLE_WAVE:
        ToggleWindow(&g_Settings.m_bIsShowWaveWindow);
        return TRUE;
    case IDM_TOGGLE_RESURGE:
        ToggleWindow(&g_Settings.m_bIsShowResurgeWindow);
        return TRUE;
    case IDM_TOGGLE_DECIBEL:
        ToggleWindow(&g_Settings.m_bIsShowDecibelWindow);
        return TRUE;
    case IDM_TOGGLE_FFT:
        ToggleWindow(&g_Settings.m_bIsShowFFTWindow);
        return TRUE;
    case IDM_SETTINGS:
        // The device chosen is opened once the dialog has gone, so a failure
        // box is modal to this dialog, with nothing of the settings left.
        if (DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_SETTINGS), dialog, SettingsDialogProc,
                            0) == IDOK &&
            FAILED(OpenCaptureDevice()))
            g_Settings.m_iCurrentAudioDriver = 0;
        return TRUE;
    case IDM_ABOUT:
        DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_ABOUT), dialog, AboutDialogProc, 0);
        return TRUE;
    case IDM_PLAYBACK_VOLUME:
        RunVolumeControl(false);
        return TRUE;
    case IDM_RECORDING_VOLUME:
        RunVolumeControl(true);
        return TRUE;
    case IDM_HELP:
        ShowHelp(nullptr);
        return TRUE;
    case IDM_HOMEPAGE:
        ShellOpen(nullptr);
        return TRUE;
    case IDM_GPL_ENGLISH:
        OpenBesideProgram("gnu.txt");
        return TRUE;
    case IDM_GPL_JAPANESE:
        OpenBesideProgram("gnu-j.txt");
        return TRUE;
    default:
        return FALSE;
    }
}

static void OnInitMenu(HMENU menu)
{
    auto check = [menu](int id, bool shown) {
        CheckMenuItem(menu, id, MF_BYCOMMAND | (shown ? MF_CHECKED : MF_UNCHECKED));
    };
    check(IDM_TOGGLE_WAVE, g_Settings.m_bIsShowWaveWindow);
    check(IDM_TOGGLE_RESURGE, g_Settings.m_bIsShowResurgeWindow);
    check(IDM_TOGGLE_DECIBEL, g_Settings.m_bIsShowDecibelWindow);
    check(IDM_TOGGLE_FFT, g_Settings.m_bIsShowFFTWindow);
}

INT_PTR CALLBACK ControlDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    case WM_INITMENU:
        OnInitMenu(reinterpret_cast<HMENU>(wParam));
        return TRUE;
    case WM_CLOSE:
        SendMessageA(dialog, WM_COMMAND, IDM_EXIT, 0);
        return TRUE;
    case WM_QUERYENDSESSION:
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_ENDSESSION:
        // Log-off and shut-down end the run as F12 does: nothing is lost;
        // under a box that ends the run unsaved, they end it unsaved.
        if (wParam && RunEndsUnsaved())
            ExitProcess(0);
        if (wParam)
            SendMessageA(dialog, WM_COMMAND, IDM_EXIT, 0);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}
