// The settings dialog on the real template, driven from inside its own modal
// loop: the lists, what OK stores, the caution level, the overload warning,
// Defaults and Help, the capture stop, and a machine without devices.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>
#include <tuple>

#include "shell_state.h"
#include "settings.h"
#include "capture_session.h"
#include "device_list.h"
#include "about_dialog.h"
#include "control_dialog.h"
#include "settings_dialog.h"
#include "resource.h"
#include "tests/wine/support/fake_dsound.h"
#include "tests/wine/support/modal_driver.h"

namespace {

const char kCaption[] = "基本設定";

INT_PTR RunSettings(const std::function<void(HWND)>& script)
{
    return RunModalScript(kCaption, [] {
        return DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_SETTINGS), nullptr,
                               SettingsDialogProc, 0);
    }, script);
}

void InitProcess()
{
    g_hInstance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitialize(nullptr);
    g_hNotificationEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ApplySettingDefaults(g_Settings);
}

// The fields the dialog shows: device, rate, percentage, X, Y, caution
// level, then the three check boxes (1 checked).
using Fields = std::tuple<int, int, int, int, int, int, bool, bool, bool>;
std::tuple<int&, int&, int&, int&, int&, int&, bool&, bool&, bool&> DialogFields()
{
    Settings& s = g_Settings;
    return std::tie(s.m_iCurrentAudioDriver, s.m_iSamplingRate, s.m_iThinResurgeWave,
                    s.m_iResurgeXChannel, s.m_iResurgeYChannel, s.m_iCautionDecibelLevel,
                    s.m_bSkipAllProcessIfOverLoad, s.m_bIsShowResurgeChannelName,
                    s.m_bSkipResurgeProcessIfOverLoad);
}

// The help files opened; every call must have no owner, HH_DISPLAY_TOPIC (0)
// and no data.
std::vector<std::string> g_helpCalls;
HWND WINAPI RecordHelp(HWND owner, LPCSTR file, UINT command, DWORD_PTR data)
{
    EXPECT_TRUE(!owner && command == 0 && data == 0);
    g_helpCalls.push_back(file);
    return nullptr;
}

class SettingsDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        InitProcess();
        ASSERT_TRUE(SUCCEEDED(OpenCaptureDevice()));
        // Pulse gives the "PulseAudio" device and the null sink's monitor.
        ASSERT_GE(GetCaptureDeviceCount(), 2);
    }
    void SetUp() override
    {
        ApplySettingDefaults(g_Settings);
        g_bCapturing = false;
        g_pHtmlHelpA = RecordHelp;
        g_helpCalls.clear();
    }
};

TEST_F(SettingsDialog, ListsHoldTheOfferedItemsInTheirOrder)
{
    MessageBoxAnswerer answerer;
    std::vector<std::vector<std::string>> lists;
    std::vector<LRESULT> channels;
    RunSettings([&](HWND d) {
        for (int id : {IDC_DEVICE_LIST, IDC_SAMPLING_RATE, IDC_THIN_RESURGE,
                       IDC_RESURGE_X_CHANNEL, IDC_RESURGE_Y_CHANNEL})
            lists.push_back(ComboItems(d, id));
        for (int id : {IDC_RESURGE_X_CHANNEL, IDC_RESURGE_Y_CHANNEL})
            for (int i : {0, 1})
                channels.push_back(SendDlgItemMessageA(d, id, CB_GETITEMDATA, i, 0));
    });
    std::vector<std::string> devices;
    for (int i = 0; i < GetCaptureDeviceCount(); ++i)
        devices.push_back(GetCaptureDeviceDescription(i));
    EXPECT_EQ(lists, (std::vector<std::vector<std::string>>{devices,
        {"8000", "16000", "24000", "32000", "48000", "96000", "11025", "22050", "33075", "44100"},
        {"10", "20", "30", "40", "50", "60", "70", "80", "90", "100"}, {"L", "R"}, {"L", "R"}}));
    EXPECT_EQ(channels, (std::vector<LRESULT>{1, 2, 1, 2}));
}

// OK stores what the controls show, so what fill selected comes back as it
// was, and a list where nothing matched gives its fallback.
TEST_F(SettingsDialog, OkStoresWhatFillShowedWithFallbacksWhereNothingMatched)
{
    const Fields cases[][2] = {  // stored before, stored after OK
        {{1, 44100, 70, 2, 1, -20, 1, 0, 0}, {1, 44100, 70, 2, 1, -20, 1, 0, 0}},
        {{0, 96000, 10, 1, 1, -96, 0, 1, 1}, {0, 96000, 10, 1, 1, -96, 0, 1, 1}},
        {{1, 11025, 100, 2, 2, -1, 0, 0, 1}, {1, 11025, 100, 2, 2, -1, 0, 0, 1}},
        // The level is shown as it is, even outside the up-down's range.
        {{5, 12345, 150, 0, 3, 70000, 1, 1, 0}, {0, 48000, 30, 1, 2, 70000, 1, 1, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::get<1>(c[0]));
        DialogFields() = c[0];
        MessageBoxAnswerer answerer;
        EXPECT_EQ(RunSettings([](HWND d) { ClickButton(d, IDOK); }), IDOK);
        EXPECT_TRUE(answerer.Seen().empty());
        EXPECT_EQ(Fields(DialogFields()), c[1]);
    }
}

// The up arrow moves toward -96 and both ends wrap; the edit takes digits
// only, and an empty one stores -6.
TEST_F(SettingsDialog, CautionLevelStepsWrapsAndTakesTypedDigits)
{
    const struct { int start; UINT key; const char* typed; int stored; } cases[] = {
        {-6, VK_UP, nullptr, -7}, {-96, VK_UP, nullptr, -1}, {-1, VK_DOWN, nullptr, -96},
        {-30, 0, "10", 10},       {-30, 0, "", -6},          {-30, 0, "-5", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        g_Settings.m_iCautionDecibelLevel = c.start;
        MessageBoxAnswerer answerer;
        RunSettings([&](HWND d) {
            HWND edit = GetDlgItem(d, IDC_CAUTION_LEVEL);
            if (c.typed) {
                SetWindowTextA(edit, "");
                for (const char* p = c.typed; *p; ++p)
                    SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(*p), 1);
            } else {
                SendMessageA(edit, WM_KEYDOWN, c.key, 1);
                SendMessageA(edit, WM_KEYUP, c.key, 0xC0000001);
            }
            ClickButton(d, IDOK);
        });
        EXPECT_EQ(g_Settings.m_iCautionDecibelLevel, c.stored);
    }
}

// While the stored value is off every click asks, unchecking too, with No
// the default; anything but Yes unchecks. With it on nothing asks.
TEST_F(SettingsDialog, OverloadWarningFollowsTheStoredValue)
{
    MessageBoxAnswerer answerer;
    std::vector<bool> checked;
    RunSettings([&](HWND d) {
        for (int answer : {IDNO, IDYES, IDYES}) {
            answerer.SetAnswer(answer);
            ClickButton(d, IDC_SKIP_ALL_ON_OVERLOAD);
            checked.push_back(IsDlgButtonChecked(d, IDC_SKIP_ALL_ON_OVERLOAD) == BST_CHECKED);
        }
    });
    EXPECT_EQ(checked, (std::vector<bool>{false, true, false}));
    ASSERT_EQ(answerer.Seen().size(), 3u);
    for (const SeenMessageBox& box : answerer.Seen()) {
        EXPECT_EQ(box.caption, "警告");
        EXPECT_EQ(box.text,
                  "この設定は 486/pentium 用です。この設定を有効にすると、\n"
                  "処理全体がスキップされ、場合によっては波形のピーク値を\n"
                  "正しく処理できないことがあります。\n\n"
                  "それでも設定を有効にしますか?");
        EXPECT_EQ(box.defaultButton, IDNO);
        EXPECT_TRUE(box.yesNo);
    }

    g_Settings.m_bSkipAllProcessIfOverLoad = true;
    RunSettings([](HWND d) {
        ClickButton(d, IDC_SKIP_ALL_ON_OVERLOAD);
        ClickButton(d, IDOK);
    });
    EXPECT_EQ(answerer.Seen().size(), 3u);
    EXPECT_FALSE(g_Settings.m_bSkipAllProcessIfOverLoad);
}

// Defaults asks first, then writes Settings at once, so Cancel keeps them;
// the FFT flag is not its business. Help opens the help file.
TEST_F(SettingsDialog, DefaultsThenCancelKeepsTheDefaults)
{
    DialogFields() = Fields{1, 22050, 90, 2, 1, -40, 1, 0, 0};
    Settings& s = g_Settings;
    s.m_bIsShowWaveWindow = s.m_bIsShowResurgeWindow = s.m_bIsShowDecibelWindow = false;
    s.m_bIsShowFFTWindow = false;
    MessageBoxAnswerer answerer(IDNO);
    std::string rateAfterNo, rateAfterYes;
    RunSettings([&](HWND d) {
        ClickButton(d, IDC_DEFAULTS);
        rateAfterNo = ItemText(d, IDC_SAMPLING_RATE);
        answerer.SetAnswer(IDYES);
        ClickButton(d, IDC_DEFAULTS);
        rateAfterYes = ItemText(d, IDC_SAMPLING_RATE);
        SendDlgItemMessageA(d, IDC_SAMPLING_RATE, CB_SETCURSEL, 0, 0);  // Cancel drops this
        ClickButton(d, IDC_SETTINGS_HELP);
        ClickButton(d, IDCANCEL);
    });
    ASSERT_EQ(answerer.Seen().size(), 2u);
    EXPECT_EQ(answerer.Seen()[0].caption, "確認");
    EXPECT_EQ(answerer.Seen()[0].text, "設定を標準に戻しますか?");
    EXPECT_TRUE(answerer.Seen()[0].yesNo);
    EXPECT_EQ(rateAfterNo, "22050");
    EXPECT_EQ(rateAfterYes, "48000") << "the refilled list";
    EXPECT_EQ(Fields(DialogFields()), (Fields{0, 48000, 30, 1, 2, -6, 0, 1, 1}));
    EXPECT_TRUE(s.m_bIsShowWaveWindow && s.m_bIsShowResurgeWindow && s.m_bIsShowDecibelWindow);
    EXPECT_FALSE(s.m_bIsShowFFTWindow);
    EXPECT_EQ(g_helpCalls, std::vector<std::string>{"Tavrel.chm"});
}

// The real control dialog, capturing from a test double, opens the dialog:
// capture stops at once; after OK a real device is open, capture still off.
TEST_F(SettingsDialog, OpeningWhileCapturingStopsTheCapture)
{
    HWND control = CreateDialogParamA(g_hInstance, MAKEINTRESOURCEA(IDD_CONTROL), nullptr,
                                      ControlDialogProc, 0);
    ASSERT_NE(control, nullptr);
    g_hControlDialog = control;
    FakeDirectSoundCapture fake;
    ReleaseCaptureObjects();
    g_pDirectSoundCapture = &fake;
    SendMessageA(control, WM_COMMAND, IDC_STARTSTOP, 0);
    ASSERT_TRUE(g_bCapturing && fake.LastBuffer() && fake.LastBuffer()->started);

    MessageBoxAnswerer answerer;
    bool stoppedInside = false;
    HWND ownerInside = nullptr;
    RunModalScript(
        kCaption, [control] { return SendMessageA(control, WM_COMMAND, IDM_SETTINGS, 0); },
        [&](HWND d) {
            stoppedInside = !g_bCapturing && !fake.LastBuffer()->started;
            ownerInside = GetWindow(d, GW_OWNER);
            ClickButton(d, IDOK);
        });
    EXPECT_TRUE(stoppedInside);
    EXPECT_EQ(ownerInside, control);
    EXPECT_FALSE(g_bCapturing);
    EXPECT_TRUE(HasCaptureObject() && g_pDirectSoundCapture != &fake) << "a real device";
    EXPECT_EQ(g_pCaptureBuffer, nullptr);
    EXPECT_EQ(ItemText(control, IDC_STARTSTOP), "開始(Space)");

    // The control dialog's Help reaches the same file and topic.
    SendMessageA(control, WM_COMMAND, IDM_HELP, 0);
    EXPECT_EQ(g_helpCalls, std::vector<std::string>{"Tavrel.chm"});
}

// In a fresh process (a death-test child) no device has been enumerated: the
// message comes once per initialisation, and the other controls are still
// filled, so OK keeps the user's settings.
void CheckWithoutDevices()
{
    InitProcess();
    ASSERT_EQ(GetCaptureDeviceCount(), 0);
    const Fields user = {1, 44100, 70, 2, 1, -20, 1, 0, 0};
    DialogFields() = user;
    MessageBoxAnswerer answerer(IDYES);
    HWND dialog = nullptr;
    std::vector<std::string> devices = {"unread"};
    RunSettings([&](HWND d) {
        dialog = d;
        devices = ComboItems(d, IDC_DEVICE_LIST);
        ClickButton(d, IDC_DEFAULTS);  // initialises again
    });
    DialogFields() = user;
    RunSettings([](HWND d) { ClickButton(d, IDOK); });

    std::vector<std::string> captions;
    for (const SeenMessageBox& box : answerer.Seen())
        captions.push_back(box.caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"fatal error", "確認", "fatal error",
                                                  "fatal error"}));
    EXPECT_EQ(answerer.Seen()[0].text, "利用できるサウンドデバイスがありません。");
    EXPECT_EQ(answerer.Seen()[0].owner, dialog);
    EXPECT_TRUE(devices.empty());
    Fields expected = user;
    std::get<0>(expected) = 0;
    EXPECT_EQ(Fields(DialogFields()), expected);
}

TEST(SettingsDialogWithoutDevices, ReportsOnceAndKeepsTheOtherFields)
{
    EXPECT_EXIT(
        {
            CheckWithoutDevices();
            std::exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
