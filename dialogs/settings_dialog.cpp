#include "settings_dialog.h"

#include <commctrl.h>

#include <cstdio>
#include <initializer_list>

#include "about_dialog.h"
#include "capture_session.h"
#include "device_list.h"
#include "failure_report.h"
#include "resource.h"
#include "settings.h"
#include "settings_values.h"

static LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}

static void AddListText(HWND dialog, int id, const char* text)
{
    SendItem(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

static void AddListNumber(HWND dialog, int id, int number)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%d", number);
    AddListText(dialog, id, text);
}

// Selects the item whose whole text is number in "%d"; nothing when none is.
static void SelectListNumber(HWND dialog, int id, int number)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%d", number);
    LRESULT index = SendItem(dialog, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(text));
    SendItem(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index));
}

// CB_SETCURSEL with an index outside the list clears the selection.
static void SelectListIndex(HWND dialog, int id, int index)
{
    SendItem(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index));
}

static void CheckBox(HWND dialog, int id, bool checked)
{
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

static bool IsBoxChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

static void FillChannelLists(HWND dialog)
{
    for (int channel = 1; channel <= kChannelChoiceCount; ++channel) {
        const char* name = kChannelNames[channel - 1];
        for (int id : {IDC_RESURGE_X_CHANNEL, IDC_RESURGE_Y_CHANNEL}) {
            AddListText(dialog, id, name);
            LRESULT index = SendItem(dialog, id, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(name));
            SendItem(dialog, id, CB_SETITEMDATA, static_cast<WPARAM>(index), channel);
        }
    }
}

// True when the device list got at least one entry.
static bool FillDeviceList(HWND dialog)
{
    const int count = GetCaptureDeviceCount();
    for (int i = 0; i < count; ++i) {
        const char* description = GetCaptureDeviceDescription(i);
        AddListText(dialog, IDC_DEVICE_LIST, description ? description : "");
    }
    return count > 0;
}

static void SetCautionLevel(HWND dialog, int level)
{
    SendItem(
        dialog, IDC_CAUTION_SPIN, UDM_SETRANGE, 0,
        MAKELPARAM(static_cast<short>(kCautionSpinUpper), static_cast<short>(kCautionSpinLower)));
    SendItem(dialog, IDC_CAUTION_SPIN, UDM_SETPOS, 0,
             MAKELPARAM(static_cast<short>(CautionSpinPosition(level)), 0));
    SetDlgItemInt(dialog, IDC_CAUTION_LEVEL, static_cast<UINT>(level), TRUE);
}

void FillSettingsDialog(HWND dialog)
{
    for (int id : {IDC_DEVICE_LIST, IDC_SAMPLING_RATE, IDC_THIN_RESURGE, IDC_RESURGE_X_CHANNEL,
                   IDC_RESURGE_Y_CHANNEL})
        SendItem(dialog, id, CB_RESETCONTENT);

    // Without a device the other controls are still set: an early return
    // here would make OK store cleared boxes and the fallbacks over the
    // user's settings.
    if (!FillDeviceList(dialog))
        ReportFailure(kFailureNoDevices, S_OK, 0, dialog);

    for (int rate : kSamplingRateChoices)
        AddListNumber(dialog, IDC_SAMPLING_RATE, rate);
    for (int percent : kThinResurgeChoices)
        AddListNumber(dialog, IDC_THIN_RESURGE, percent);
    FillChannelLists(dialog);

    const Settings& s = g_Settings;
    SelectListIndex(dialog, IDC_DEVICE_LIST, s.m_iCurrentAudioDriver);
    SelectListNumber(dialog, IDC_SAMPLING_RATE, s.m_iSamplingRate);
    CheckBox(dialog, IDC_SKIP_ALL_ON_OVERLOAD, s.m_bSkipAllProcessIfOverLoad);
    SelectListNumber(dialog, IDC_THIN_RESURGE, s.m_iThinResurgeWave);
    SelectListIndex(dialog, IDC_RESURGE_X_CHANNEL, s.m_iResurgeXChannel - 1);
    SelectListIndex(dialog, IDC_RESURGE_Y_CHANNEL, s.m_iResurgeYChannel - 1);
    CheckBox(dialog, IDC_SHOW_CHANNEL_NAME, s.m_bIsShowResurgeChannelName);
    CheckBox(dialog, IDC_SKIP_RESURGE_ON_OVERLOAD, s.m_bSkipResurgeProcessIfOverLoad);
    SetCautionLevel(dialog, s.m_iCautionDecibelLevel);
}

static int SelectedIndexOr(HWND dialog, int id, int fallback)
{
    LRESULT index = SendItem(dialog, id, CB_GETCURSEL);
    return index == CB_ERR ? fallback : static_cast<int>(index);
}

static int SelectedNumberOr(HWND dialog, int id, int fallback)
{
    LRESULT index = SendItem(dialog, id, CB_GETCURSEL);
    if (index == CB_ERR)
        return fallback;
    char text[32];
    LRESULT length = SendItem(dialog, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length == CB_ERR || length >= static_cast<LRESULT>(sizeof(text)))
        return fallback;
    SendItem(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return ParseDecimalOr(text, fallback);
}

static int SelectedDataOr(HWND dialog, int id, int fallback)
{
    LRESULT index = SendItem(dialog, id, CB_GETCURSEL);
    if (index == CB_ERR)
        return fallback;
    return static_cast<int>(SendItem(dialog, id, CB_GETITEMDATA, static_cast<WPARAM>(index)));
}

// A list without a selection, or a text that is no number, stores the
// field's default.
void StoreSettingsDialog(HWND dialog)
{
    Settings& s = g_Settings;
    s.m_iCurrentAudioDriver =
        SelectedIndexOr(dialog, IDC_DEVICE_LIST, DefaultSetting(&Settings::m_iCurrentAudioDriver));
    s.m_iSamplingRate =
        SelectedNumberOr(dialog, IDC_SAMPLING_RATE, DefaultSetting(&Settings::m_iSamplingRate));
    s.m_bSkipAllProcessIfOverLoad = IsBoxChecked(dialog, IDC_SKIP_ALL_ON_OVERLOAD);
    s.m_iThinResurgeWave =
        SelectedNumberOr(dialog, IDC_THIN_RESURGE, DefaultSetting(&Settings::m_iThinResurgeWave));
    s.m_iResurgeXChannel = SelectedDataOr(dialog, IDC_RESURGE_X_CHANNEL,
                                          DefaultSetting(&Settings::m_iResurgeXChannel));
    s.m_iResurgeYChannel = SelectedDataOr(dialog, IDC_RESURGE_Y_CHANNEL,
                                          DefaultSetting(&Settings::m_iResurgeYChannel));
    s.m_bIsShowResurgeChannelName = IsBoxChecked(dialog, IDC_SHOW_CHANNEL_NAME);
    s.m_bSkipResurgeProcessIfOverLoad = IsBoxChecked(dialog, IDC_SKIP_RESURGE_ON_OVERLOAD);

    char text[64] = {};
    GetDlgItemTextA(dialog, IDC_CAUTION_LEVEL, text, sizeof(text));
    s.m_iCautionDecibelLevel =
        ParseDecimalOr(text, DefaultSetting(&Settings::m_iCautionDecibelLevel));
}

// Capture stays stopped while the dialog is open: OK re-opens the device
// under whatever runs, and the main loop does not read blocks meanwhile.
static void OnInitDialog(HWND dialog)
{
    StopCapturing(GetParent(dialog));
    FillSettingsDialog(dialog);
}

static BOOL OnDefaults(HWND dialog)
{
    if (MessageBoxA(dialog, "設定を標準に戻しますか?", "確認", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return FALSE;
    ResetDialogSettings(g_Settings);
    SendMessageA(dialog, WM_INITDIALOG, 0, 0);
    return TRUE;
}

// The box has already toggled itself; the question depends on the stored
// value, so while that is off every click asks.
static void OnSkipAllClicked(HWND dialog)
{
    if (g_Settings.m_bSkipAllProcessIfOverLoad)
        return;
    int answer = MessageBoxA(dialog,
                             "この設定は 486/pentium 用です。この設定を有効にすると、\n"
                             "処理全体がスキップされ、場合によっては波形のピーク値を\n"
                             "正しく処理できないことがあります。\n\n"
                             "それでも設定を有効にしますか?",
                             "警告", MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING);
    if (answer != IDYES)
        CheckBox(dialog, IDC_SKIP_ALL_ON_OVERLOAD, false);
}

static BOOL OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        // The control dialog opens the chosen device once this one has gone.
        StoreSettingsDialog(dialog);
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    case IDC_DEFAULTS:
        return OnDefaults(dialog);
    case IDC_SETTINGS_HELP:
        ShowHelp(nullptr);
        return TRUE;
    case IDC_SKIP_ALL_ON_OVERLOAD:
        OnSkipAllClicked(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    default:
        return FALSE;
    }
}
