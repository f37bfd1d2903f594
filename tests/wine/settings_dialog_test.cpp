// The settings dialog on the real template, run modally and driven from
// inside its own loop: what it fills and selects, what OK stores, the
// up-down control, the overload warning, Defaults, and the capture stop.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/settings.h"
#include "capture/capture_session.h"
#include "capture/device_list.h"
#include "dialogs/about_dialog.h"
#include "dialogs/control_dialog.h"
#include "dialogs/settings_dialog.h"
#include "res/resource.h"
#include "tests/wine/support/fake_dsound.h"
#include "tests/wine/support/modal_driver.h"

namespace {

const char kCaption[] = "基本設定";
const char kNoDeviceText[] = "利用できるサウンドデバイスがありません。";
const char kWarningText[] =
    "この設定は 486/pentium 用です。この設定を有効にすると、\n"
    "処理全体がスキップされ、場合によっては波形のピーク値を\n"
    "正しく処理できないことがあります。\n\n"
    "それでも設定を有効にしますか?";

INT_PTR RunSettings(const std::function<void(HWND)>& script, HWND owner = nullptr)
{
    return RunModalScript(
        kCaption,
        [owner] {
            return DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_SETTINGS), owner,
                                   SettingsDialogProc, 0);
        },
        script);
}

void InitProcess()
{
    g_hInstance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitialize(nullptr);
    if (!g_hNotificationEvent)
        g_hNotificationEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

// The fields the dialog shows, in one comparable record.
struct DialogFields {
    int device, rate, thin, x, y, caution;
    bool skipAll, names, skipResurge;
};

DialogFields ReadFields()
{
    const Settings& s = g_Settings;
    return {s.m_iCurrentAudioDriver, s.m_iSamplingRate, s.m_iThinResurgeWave,
            s.m_iResurgeXChannel,    s.m_iResurgeYChannel, s.m_iCautionDecibelLevel,
            s.m_bSkipAllProcessIfOverLoad, s.m_bIsShowResurgeChannelName,
            s.m_bSkipResurgeProcessIfOverLoad};
}

void WriteFields(const DialogFields& f)
{
    Settings& s = g_Settings;
    s.m_iCurrentAudioDriver = f.device;
    s.m_iSamplingRate = f.rate;
    s.m_iThinResurgeWave = f.thin;
    s.m_iResurgeXChannel = f.x;
    s.m_iResurgeYChannel = f.y;
    s.m_iCautionDecibelLevel = f.caution;
    s.m_bSkipAllProcessIfOverLoad = f.skipAll;
    s.m_bIsShowResurgeChannelName = f.names;
    s.m_bSkipResurgeProcessIfOverLoad = f.skipResurge;
}

void ExpectFields(const DialogFields& actual, const DialogFields& expected)
{
    EXPECT_EQ(actual.device, expected.device);
    EXPECT_EQ(actual.rate, expected.rate);
    EXPECT_EQ(actual.thin, expected.thin);
    EXPECT_EQ(actual.x, expected.x);
    EXPECT_EQ(actual.y, expected.y);
    EXPECT_EQ(actual.caution, expected.caution);
    EXPECT_EQ(actual.skipAll, expected.skipAll);
    EXPECT_EQ(actual.names, expected.names);
    EXPECT_EQ(actual.skipResurge, expected.skipResurge);
}

bool Checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void SendKey(HWND window, UINT key)
{
    SendMessageA(window, WM_KEYDOWN, key, 1);
    SendMessageA(window, WM_KEYUP, key, 0xC0000001);
}

void TypeText(HWND edit, const char* text)
{
    for (const char* p = text; *p; ++p)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(*p), 1);
}

int CountCaption(const std::vector<SeenMessageBox>& seen, const char* caption)
{
    int n = 0;
    for (const SeenMessageBox& box : seen)
        n += box.caption == caption ? 1 : 0;
    return n;
}

// HtmlHelpA as the dialog calls it, recorded.
struct HelpCall {
    HWND owner;
    std::string file;
    UINT command;
    DWORD_PTR data;
};
std::vector<HelpCall> g_helpCalls;
HWND WINAPI RecordHelp(HWND owner, LPCSTR file, UINT command, DWORD_PTR data)
{
    g_helpCalls.push_back({owner, file ? file : "<null>", command, data});
    return nullptr;
}

class SettingsDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        InitProcess();
        ApplySettingDefaults(g_Settings);
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
    std::vector<std::string> devices, rates, percents, xs, ys;
    std::vector<LRESULT> xData, yData;
    INT_PTR result = RunSettings([&](HWND d) {
        devices = ComboItems(d, IDC_DEVICE_LIST);
        rates = ComboItems(d, IDC_SAMPLING_RATE);
        percents = ComboItems(d, IDC_THIN_RESURGE);
        xs = ComboItems(d, IDC_RESURGE_X_CHANNEL);
        ys = ComboItems(d, IDC_RESURGE_Y_CHANNEL);
        for (int i = 0; i < 2; ++i) {
            xData.push_back(SendDlgItemMessageA(d, IDC_RESURGE_X_CHANNEL, CB_GETITEMDATA, i, 0));
            yData.push_back(SendDlgItemMessageA(d, IDC_RESURGE_Y_CHANNEL, CB_GETITEMDATA, i, 0));
        }
        ClickButton(d, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(answerer.Seen().empty());

    std::vector<std::string> expectedDevices;
    for (int i = 0; i < GetCaptureDeviceCount(); ++i)
        expectedDevices.push_back(GetCaptureDeviceDescription(i));
    EXPECT_EQ(devices, expectedDevices);
    EXPECT_EQ(rates, (std::vector<std::string>{"8000", "16000", "24000", "32000", "48000", "96000",
                                               "11025", "22050", "33075", "44100"}));
    EXPECT_EQ(percents, (std::vector<std::string>{"10", "20", "30", "40", "50", "60", "70", "80",
                                                  "90", "100"}));
    EXPECT_EQ(xs, (std::vector<std::string>{"L", "R"}));
    EXPECT_EQ(ys, (std::vector<std::string>{"L", "R"}));
    EXPECT_EQ(xData, (std::vector<LRESULT>{1, 2}));
    EXPECT_EQ(yData, (std::vector<LRESULT>{1, 2}));
}

// What the controls show for stored values, matched or not; Cancel then
// leaves every field as it was.
TEST_F(SettingsDialog, FillSelectsStoredValuesAndCancelKeepsThem)
{
    struct Case {
        DialogFields stored;
        int deviceSel, rateSel, thinSel, xSel, ySel;
        const char* caution;
    };
    const Case cases[] = {
        {{0, 48000, 30, 1, 2, -6, false, true, true}, 0, 4, 2, 0, 1, "-6"},
        {{1, 44100, 70, 2, 1, -20, true, false, false}, 1, 9, 6, 1, 0, "-20"},
        {{0, 33075, 100, 2, 2, -96, false, false, true}, 0, 8, 9, 1, 1, "-96"},
        // Values that match no item leave their list without a selection.
        {{5, 12345, 150, 0, 3, 10, true, true, false}, -1, -1, -1, -1, -1, "10"},
        {{-1, 0, 0, -1, 7, 70000, false, true, false}, -1, -1, -1, -1, -1, "70000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.rate);
        WriteFields(c.stored);
        MessageBoxAnswerer answerer;
        int deviceSel = -9, rateSel = -9, thinSel = -9, xSel = -9, ySel = -9;
        bool skipAll = false, names = false, skipResurge = false;
        std::string caution;
        RunSettings([&](HWND d) {
            deviceSel = ComboSelection(d, IDC_DEVICE_LIST);
            rateSel = ComboSelection(d, IDC_SAMPLING_RATE);
            thinSel = ComboSelection(d, IDC_THIN_RESURGE);
            xSel = ComboSelection(d, IDC_RESURGE_X_CHANNEL);
            ySel = ComboSelection(d, IDC_RESURGE_Y_CHANNEL);
            skipAll = Checked(d, IDC_SKIP_ALL_ON_OVERLOAD);
            names = Checked(d, IDC_SHOW_CHANNEL_NAME);
            skipResurge = Checked(d, IDC_SKIP_RESURGE_ON_OVERLOAD);
            caution = ItemText(d, IDC_CAUTION_LEVEL);
            ClickButton(d, IDCANCEL);
        });
        EXPECT_EQ(deviceSel, c.deviceSel);
        EXPECT_EQ(rateSel, c.rateSel);
        EXPECT_EQ(thinSel, c.thinSel);
        EXPECT_EQ(xSel, c.xSel);
        EXPECT_EQ(ySel, c.ySel);
        EXPECT_EQ(skipAll, c.stored.skipAll);
        EXPECT_EQ(names, c.stored.names);
        EXPECT_EQ(skipResurge, c.stored.skipResurge);
        EXPECT_EQ(caution, c.caution);
        ExpectFields(ReadFields(), c.stored);
    }
}

// OK stores what the controls show: values that were selected come back
// unchanged; lists without a selection give the fallbacks.
TEST_F(SettingsDialog, OkStoresTheControlsWithFallbacksForEmptySelections)
{
    struct Case {
        DialogFields stored;
        DialogFields expected;
    };
    const Case cases[] = {
        {{1, 44100, 70, 2, 1, -20, true, false, false}, {1, 44100, 70, 2, 1, -20, true, false, false}},
        {{0, 96000, 10, 1, 1, -96, false, true, true}, {0, 96000, 10, 1, 1, -96, false, true, true}},
        {{1, 11025, 100, 2, 2, -1, false, false, true}, {1, 11025, 100, 2, 2, -1, false, false, true}},
        // Nothing selected: device 0, 48000 Hz, 30 %, X = 1, Y = 2.
        {{0, 12345, 150, 7, -3, -30, true, true, false}, {0, 48000, 30, 1, 2, -30, true, true, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.rate);
        WriteFields(c.stored);
        MessageBoxAnswerer answerer;
        INT_PTR result = RunSettings([](HWND d) { ClickButton(d, IDOK); });
        EXPECT_EQ(result, IDOK);
        EXPECT_TRUE(answerer.Seen().empty());
        ExpectFields(ReadFields(), c.expected);
    }
}

// The up arrow moves toward -96 and both ends wrap, as the arrow keys of the
// edit (the control's buddy) drive it.
TEST_F(SettingsDialog, UpDownStepsAndWraps)
{
    struct Case {
        int start;
        UINT key;
        const char* shown;
        int stored;
    };
    const Case cases[] = {
        {-6, VK_UP, "-7", -7},
        {-96, VK_UP, "-1", -1},
        {-1, VK_DOWN, "-96", -96},
        {-6, VK_DOWN, "-5", -5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        g_Settings.m_iCautionDecibelLevel = c.start;
        MessageBoxAnswerer answerer;
        std::string shown;
        LRESULT range = 0;
        RunSettings([&](HWND d) {
            range = SendDlgItemMessageA(d, IDC_CAUTION_SPIN, UDM_GETRANGE, 0, 0);
            SendKey(GetDlgItem(d, IDC_CAUTION_LEVEL), c.key);
            shown = ItemText(d, IDC_CAUTION_LEVEL);
            ClickButton(d, IDOK);
        });
        // Low word the upper limit, high word the lower one.
        EXPECT_EQ(static_cast<short>(LOWORD(range)), -96);
        EXPECT_EQ(static_cast<short>(HIWORD(range)), -1);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(g_Settings.m_iCautionDecibelLevel, c.stored);
    }
}

TEST_F(SettingsDialog, CautionEditStoresWhatIsTyped)
{
    struct Case {
        const char* typed;
        int stored;
    };
    const Case cases[] = {
        {"10", 10},
        {"", -6},
        {"-5", 5},  // digits only: the minus sign is refused as it is typed
        {"0", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        g_Settings.m_iCautionDecibelLevel = -30;
        MessageBoxAnswerer answerer;
        RunSettings([&](HWND d) {
            HWND edit = GetDlgItem(d, IDC_CAUTION_LEVEL);
            SetWindowTextA(edit, "");
            TypeText(edit, c.typed);
            ClickButton(d, IDOK);
        });
        EXPECT_EQ(g_Settings.m_iCautionDecibelLevel, c.stored);
    }
}

TEST_F(SettingsDialog, OverloadWarningFollowsTheStoredValue)
{
    g_Settings.m_bSkipAllProcessIfOverLoad = false;
    MessageBoxAnswerer answerer(IDNO);
    bool afterNo = true, afterYes = false, afterUncheck = true;
    RunSettings([&](HWND d) {
        ClickButton(d, IDC_SKIP_ALL_ON_OVERLOAD);
        afterNo = Checked(d, IDC_SKIP_ALL_ON_OVERLOAD);
        answerer.SetAnswer(IDYES);
        ClickButton(d, IDC_SKIP_ALL_ON_OVERLOAD);
        afterYes = Checked(d, IDC_SKIP_ALL_ON_OVERLOAD);
        // Unchecking asks too, since the stored value is still off.
        ClickButton(d, IDC_SKIP_ALL_ON_OVERLOAD);
        afterUncheck = Checked(d, IDC_SKIP_ALL_ON_OVERLOAD);
        ClickButton(d, IDCANCEL);
    });
    EXPECT_FALSE(afterNo);
    EXPECT_TRUE(afterYes);
    EXPECT_FALSE(afterUncheck);
    ASSERT_EQ(answerer.Seen().size(), 3u);
    for (const SeenMessageBox& box : answerer.Seen()) {
        EXPECT_EQ(box.caption, "警告");
        EXPECT_EQ(box.text, kWarningText);
        EXPECT_EQ(box.firstFocus, IDNO) << "No is the default button";
        EXPECT_TRUE(box.hasYes && box.hasNo);
    }
    EXPECT_FALSE(g_Settings.m_bSkipAllProcessIfOverLoad) << "Cancel stores nothing";

    // With the stored value on, clicks ask nothing.
    g_Settings.m_bSkipAllProcessIfOverLoad = true;
    answerer.Clear();
    bool afterClick = true;
    RunSettings([&](HWND d) {
        ClickButton(d, IDC_SKIP_ALL_ON_OVERLOAD);
        afterClick = Checked(d, IDC_SKIP_ALL_ON_OVERLOAD);
        ClickButton(d, IDOK);
    });
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_FALSE(afterClick);
    EXPECT_FALSE(g_Settings.m_bSkipAllProcessIfOverLoad);
}

// Defaults writes Settings at once; Cancel afterwards does not undo it. The
// FFT flag and the window places are not Defaults' business.
TEST_F(SettingsDialog, DefaultsThenCancelKeepsTheDefaults)
{
    WriteFields({1, 22050, 90, 2, 1, -40, true, false, false});
    Settings& s = g_Settings;
    s.m_bIsShowWaveWindow = false;
    s.m_bIsShowResurgeWindow = false;
    s.m_bIsShowDecibelWindow = false;
    s.m_bIsShowFFTWindow = false;
    s.m_WaveWindowXPos = 123;
    s.m_FFTWindowYHeight = 456;
    s.m_iCommonWindowXWidth = 789;

    MessageBoxAnswerer answerer(IDNO);
    int rateAfterNo = -9, rateAfterYes = -9;
    std::string cautionAfterYes;
    INT_PTR result = RunSettings([&](HWND d) {
        ClickButton(d, IDC_DEFAULTS);  // answered No: nothing changes
        rateAfterNo = ComboSelection(d, IDC_SAMPLING_RATE);
        answerer.SetAnswer(IDYES);
        ClickButton(d, IDC_DEFAULTS);
        rateAfterYes = ComboSelection(d, IDC_SAMPLING_RATE);
        cautionAfterYes = ItemText(d, IDC_CAUTION_LEVEL);
        ClickButton(d, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(answerer.Seen().size(), 2u);
    EXPECT_EQ(answerer.Seen()[0].caption, "確認");
    EXPECT_EQ(answerer.Seen()[0].text, "設定を標準に戻しますか?");
    EXPECT_TRUE(answerer.Seen()[0].hasYes && answerer.Seen()[0].hasNo);
    EXPECT_EQ(rateAfterNo, 7) << "22050 still selected after No";
    EXPECT_EQ(rateAfterYes, 4) << "the refilled list shows 48000";
    EXPECT_EQ(cautionAfterYes, "-6");

    ExpectFields(ReadFields(), {0, 48000, 30, 1, 2, -6, false, true, true});
    EXPECT_TRUE(s.m_bIsShowWaveWindow);
    EXPECT_TRUE(s.m_bIsShowResurgeWindow);
    EXPECT_TRUE(s.m_bIsShowDecibelWindow);
    EXPECT_FALSE(s.m_bIsShowFFTWindow);
    EXPECT_EQ(s.m_WaveWindowXPos, 123);
    EXPECT_EQ(s.m_FFTWindowYHeight, 456);
    EXPECT_EQ(s.m_iCommonWindowXWidth, 789);
}

TEST_F(SettingsDialog, HelpButtonOpensTheHelpFileAtItsDefaultTopic)
{
    MessageBoxAnswerer answerer;
    INT_PTR result = RunSettings([](HWND d) {
        ClickButton(d, IDC_SETTINGS_HELP);
        ClickButton(d, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(g_helpCalls.size(), 1u);
    EXPECT_EQ(g_helpCalls[0].owner, nullptr);
    EXPECT_EQ(g_helpCalls[0].file, "Tavrel.chm");
    EXPECT_EQ(g_helpCalls[0].command, 0u);  // HH_DISPLAY_TOPIC
    EXPECT_EQ(g_helpCalls[0].data, 0u);
}

// The real control dialog, capturing from a test double, opens the settings
// dialog: capture stops at once and stays stopped after OK.
TEST_F(SettingsDialog, OpeningWhileCapturingStopsTheCapture)
{
    HWND control = CreateDialogParamA(g_hInstance, MAKEINTRESOURCEA(IDD_CONTROL), nullptr,
                                      ControlDialogProc, 0);
    ASSERT_NE(control, nullptr);
    g_hControlDialog = control;
    ApplySettingDefaults(g_Settings);

    FakeDirectSoundCapture fake;
    ReleaseCaptureObjects();
    g_pDirectSoundCapture = &fake;
    SendMessageA(control, WM_COMMAND, IDC_STARTSTOP, 0);
    ASSERT_TRUE(g_bCapturing);
    ASSERT_NE(fake.LastBuffer(), nullptr);
    EXPECT_TRUE(fake.LastBuffer()->started);
    EXPECT_EQ(ItemText(control, IDC_STARTSTOP), "停止(Space)");

    MessageBoxAnswerer answerer;
    bool capturingInside = true, bufferInside = true, startedInside = true;
    std::string buttonInside;
    HWND ownerInside = nullptr;
    RunModalScript(
        kCaption, [control] { return SendMessageA(control, WM_COMMAND, IDM_SETTINGS, 0); },
        [&](HWND d) {
            capturingInside = g_bCapturing;
            bufferInside = g_pCaptureBuffer != nullptr;
            startedInside = fake.LastBuffer()->started;
            buttonInside = ItemText(control, IDC_STARTSTOP);
            ownerInside = GetWindow(d, GW_OWNER);
            ClickButton(d, IDOK);
        });
    EXPECT_FALSE(capturingInside);
    EXPECT_FALSE(bufferInside);
    EXPECT_FALSE(startedInside);
    EXPECT_EQ(buttonInside, "開始(Space)");
    EXPECT_EQ(ownerInside, control);
    EXPECT_TRUE(answerer.Seen().empty());

    // After OK: the device is open again (a real one), capture still off.
    EXPECT_FALSE(g_bCapturing);
    EXPECT_EQ(g_pCaptureBuffer, nullptr);
    EXPECT_TRUE(HasCaptureObject());
    EXPECT_NE(g_pDirectSoundCapture, static_cast<IDirectSoundCapture*>(&fake));
    EXPECT_EQ(ItemText(control, IDC_STARTSTOP), "開始(Space)");

    // The control dialog's Help reaches the same file and topic.
    g_helpCalls.clear();
    SendMessageA(control, WM_COMMAND, IDM_HELP, 0);
    ASSERT_EQ(g_helpCalls.size(), 1u);
    EXPECT_EQ(g_helpCalls[0].file, "Tavrel.chm");
    EXPECT_EQ(g_helpCalls[0].command, 0u);
    EXPECT_EQ(g_helpCalls[0].data, 0u);
}

// Runs in a fresh process (a death-test child), where no device has been
// enumerated yet, so the device list is empty.
void CheckWithoutDevices()
{
    InitProcess();
    ASSERT_EQ(GetCaptureDeviceCount(), 0);
    ApplySettingDefaults(g_Settings);
    const DialogFields user = {1, 44100, 70, 2, 1, -20, true, false, false};
    WriteFields(user);

    MessageBoxAnswerer answerer;
    std::vector<std::string> devices, rates;
    int rateSel = -9, thinSel = -9, xSel = -9, ySel = -9;
    bool skipAll = false;
    std::string caution;
    HWND dialog = nullptr;
    RunSettings([&](HWND d) {
        dialog = d;
        devices = ComboItems(d, IDC_DEVICE_LIST);
        rates = ComboItems(d, IDC_SAMPLING_RATE);
        rateSel = ComboSelection(d, IDC_SAMPLING_RATE);
        thinSel = ComboSelection(d, IDC_THIN_RESURGE);
        xSel = ComboSelection(d, IDC_RESURGE_X_CHANNEL);
        ySel = ComboSelection(d, IDC_RESURGE_Y_CHANNEL);
        skipAll = Checked(d, IDC_SKIP_ALL_ON_OVERLOAD);
        caution = ItemText(d, IDC_CAUTION_LEVEL);
        ClickButton(d, IDCANCEL);
    });
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].caption, "fatal error");
    EXPECT_EQ(answerer.Seen()[0].text, kNoDeviceText);
    EXPECT_EQ(answerer.Seen()[0].owner, dialog);
    EXPECT_TRUE(devices.empty());
    EXPECT_EQ(rates.size(), 10u);
    EXPECT_EQ(rateSel, 9);
    EXPECT_EQ(thinSel, 6);
    EXPECT_EQ(xSel, 1);
    EXPECT_EQ(ySel, 0);
    EXPECT_TRUE(skipAll);
    EXPECT_EQ(caution, "-20");

    // Once per initialisation: Defaults initialises again.
    answerer.Clear();
    answerer.SetAnswer(IDYES);
    RunSettings([&](HWND d) {
        ClickButton(d, IDC_DEFAULTS);
        ClickButton(d, IDCANCEL);
    });
    EXPECT_EQ(CountCaption(answerer.Seen(), "fatal error"), 2);
    EXPECT_EQ(CountCaption(answerer.Seen(), "確認"), 1);

    // OK stores the device fallback and keeps everything else the user had.
    WriteFields(user);
    answerer.Clear();
    answerer.SetAnswer(IDOK);
    RunSettings([&](HWND d) { ClickButton(d, IDOK); });
    EXPECT_EQ(CountCaption(answerer.Seen(), "fatal error"), 1);
    DialogFields expected = user;
    expected.device = 0;
    ExpectFields(ReadFields(), expected);
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
