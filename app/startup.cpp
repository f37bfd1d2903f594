#include "startup.h"

#include <commctrl.h>
#include <objbase.h>

#include "about_dialog.h"
#include "control_dialog.h"
#include "device_list.h"
#include "main_loop.h"
#include "resource.h"
#include "settings.h"
#include "settings_store.h"
#include "shell_state.h"
#include "title_window.h"

int RunTavrel(HINSTANCE instance)
{
    g_hInstance = instance;
    LoadSettings();
    CreateTitleWindow(instance);

    HRESULT hr = CoInitialize(nullptr);
    if (FAILED(hr))
        return hr;
    // The settings dialog's up-down control needs its class registered.
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    g_hNotificationEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (FAILED(OpenCaptureDevice()))
        g_Settings.m_iCurrentAudioDriver = 0;

    HWND dialog =
        CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_CONTROL), nullptr, ControlDialogProc, 0);
    if (!dialog)
        return 0;
    g_hControlDialog = dialog;
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);

    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    WPARAM exitCode = RunMainLoop(accelerators);

    ReleaseCaptureObjects();
    CloseHelp();
    if (g_hNotificationEvent) {
        CloseHandle(g_hNotificationEvent);
        g_hNotificationEvent = nullptr;
    }
    CoUninitialize();
    return static_cast<int>(exitCode);
}
