// Bad input and faults met by the built Tavrel.exe: registry values of every
// wrong shape and range, capture devices missing, many or vanishing, files
// beside the program missing or broken, a program folder with a long path,
// and a main loop held up by a modal dialog. Each has the outcome the
// program is meant to give, and none crashes or hangs.
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell_state.h"
#include "block_step.h"
#include "settings.h"
#include "capture_session.h"
#include "device_list.h"
#include "control_dialog.h"
#include "resource.h"
#include "tests/wine/support/e2e_pulse.h"
#include "tests/wine/support/e2e_tavrel.h"
#include "tests/wine/support/e2e_unix.h"
#include "tests/wine/support/e2e_windows.h"
#include "tests/wine/support/tavrel_process.h"

namespace {

// The 29 values and their defaults, in storage order, written out here
// rather than taken from the program's own table.
const std::vector<std::pair<std::string, int>> kDefaults = {
    {"m_iCurrentAudioDriver", 0},         {"m_iSamplingRate", 48000},
    {"m_bSkipAllProcessIfOverLoad", 0},   {"m_CtrlDlgWindowXPos", 8},
    {"m_CtrlDlgWindowYPos", 8},           {"m_WaveWindowXPos", 308},
    {"m_WaveWindowYPos", 388},            {"m_bIsShowWaveWindow", 1},
    {"m_iCommonWindowXWidth", 400},       {"m_WaveWindowYHeight", 306},
    {"m_ResurgeWindowXPos", 10},          {"m_ResurgeWindowYPos", 112},
    {"m_ResurgeWindowXWidth", 285},       {"m_ResurgeWindowYHeight", 304},
    {"m_bIsShowResurgeWindow", 1},        {"m_iThinResurgeWave", 30},
    {"m_iResurgeXChannel", 1},            {"m_iResurgeYChannel", 2},
    {"m_bIsShowResurgeChannelName", 1},   {"m_bSkipResurgeProcessIfOverLoad", 1},
    {"m_bIsShowDecibelWindow", 1},        {"m_DecibelWindowXPos", 309},
    {"m_DecibelWindowYPos", 95},          {"m_DecibelWindowYHeight", 288},
    {"m_iCautionDecibelLevel", -6},       {"m_bIsShowFFTWindow", 1},
    {"m_FFTWindowXPos", 309},             {"m_FFTWindowYPos", 309},
    {"m_FFTWindowYHeight", 309},
};

bool IsBoolName(const std::string& name)
{
    return name.compare(0, 3, "m_b") == 0;
}

std::map<std::string, int> DefaultValues()
{
    return std::map<std::string, int>(kDefaults.begin(), kDefaults.end());
}

// Every value that is a 4-byte REG_DWORD; the others are left out.
std::map<std::string, int> ReadAllValues()
{
    std::map<std::string, int> values;
    for (const auto& [name, unused] : kDefaults) {
        (void)unused;
        int v = 0;
        if (ReadTavrelDword(name.c_str(), &v))
            values[name] = v;
    }
    return values;
}

// A stored value, or -99999 when it is missing or no 4-byte REG_DWORD.
int Saved(const std::map<std::string, int>& values, const std::string& name)
{
    const auto it = values.find(name);
    return it == values.end() ? -99999 : it->second;
}

void WriteRaw(const std::string& name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTavrelKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void WriteAll(int value)
{
    for (const auto& [name, unused] : kDefaults) {
        (void)unused;
        WriteTavrelDword(name.c_str(), value);
    }
}

// What each window's stored place should be at exit: its outer rectangle.
struct Places {
    RECT control;
    RECT display[4];
};
Places ReadPlaces(const TavrelWindows& w)
{
    Places p;
    p.control = OuterRect(w.control);
    for (int i = 0; i < 4; ++i)
        p.display[i] = OuterRect(w.display[i]);
    return p;
}

// The saved positions are the windows' rectangles; the sizes are those the
// windows kept (the Wave window's read once more at exit).
void ExpectPlacesSaved(const Places& p, const std::map<std::string, int>& saved)
{
    auto at = [&](const char* name) { return Saved(saved, name); };
    EXPECT_EQ(at("m_CtrlDlgWindowXPos"), p.control.left);
    EXPECT_EQ(at("m_CtrlDlgWindowYPos"), p.control.top);
    EXPECT_EQ(at("m_WaveWindowXPos"), p.display[0].left);
    EXPECT_EQ(at("m_WaveWindowYPos"), p.display[0].top);
    EXPECT_EQ(at("m_iCommonWindowXWidth"), p.display[0].right - p.display[0].left);
    EXPECT_EQ(at("m_WaveWindowYHeight"), p.display[0].bottom - p.display[0].top);
    EXPECT_EQ(at("m_ResurgeWindowXPos"), p.display[1].left);
    EXPECT_EQ(at("m_ResurgeWindowYPos"), p.display[1].top);
    EXPECT_EQ(at("m_ResurgeWindowXWidth"), p.display[1].right - p.display[1].left);
    EXPECT_EQ(at("m_ResurgeWindowYHeight"), p.display[1].bottom - p.display[1].top);
    EXPECT_EQ(at("m_DecibelWindowXPos"), p.display[2].left);
    EXPECT_EQ(at("m_DecibelWindowYPos"), p.display[2].top);
    EXPECT_EQ(at("m_DecibelWindowYHeight"), p.display[2].bottom - p.display[2].top);
    EXPECT_EQ(at("m_FFTWindowXPos"), p.display[3].left);
    EXPECT_EQ(at("m_FFTWindowYPos"), p.display[3].top);
    EXPECT_EQ(at("m_FFTWindowYHeight"), p.display[3].bottom - p.display[3].top);
}

class ScratchCleanup : public ::testing::Environment {
public:
    void TearDown() override
    {
        if (::testing::UnitTest::GetInstance()->Passed())
            RemoveE2eScratchDir();
    }
};
const auto* const g_cleanup = ::testing::AddGlobalTestEnvironment(new ScratchCleanup);

class Faults : public ::testing::Test {
protected:
    void SetUp() override { DeleteTavrelKey(); }
    void TearDown() override { KillTavrel(&process_); }

    // Started as the other suites start it, on the environment's line-in.
    void Start()
    {
        ASSERT_TRUE(StartTavrel(&process_));
        ASSERT_TRUE(FindTavrelWindows(process_, &w_));
    }
    void Launch(const std::string& server, const std::string& binDir = "")
    {
        ASSERT_TRUE(LaunchTavrel(&process_, server, binDir));
        ASSERT_TRUE(FindTavrelWindows(process_, &w_));
    }

    DWORD Pid() const { return process_.info.dwProcessId; }

    // Space, then the button must read the caption.
    void PressSpace(const char* caption)
    {
        PostKey(w_.control, VK_SPACE);
        EXPECT_TRUE(WaitUntil([&] { return ItemTextOf(w_.control, IDC_STARTSTOP) == caption; },
                              5000))
            << "button reads " << ItemTextOf(w_.control, IDC_STARTSTOP);
    }
    // Capture runs: the counter moves on by some blocks.
    bool CounterMoves(int blocks = 30)
    {
        int start = 0, s = 0;
        if (!WaitUntil([&] { return ReadCounter(w_.control, &start, &s); }, 5000))
            return false;
        return WaitUntil(
            [&] {
                int now = 0, t = 0;
                return ReadCounter(w_.control, &now, &t) && now >= start + blocks;
            },
            10000);
    }
    // F2, then the settings dialog shown; null when it did not come.
    HWND OpenSettings()
    {
        PostKey(w_.control, VK_F2);
        HWND settings = nullptr;
        WaitUntil(
            [&] {
                settings = FindProcessWindow(Pid(), "#32770", "基本設定");
                return settings && IsWindowVisible(settings);
            },
            5000);
        return settings && IsWindowVisible(settings) ? settings : nullptr;
    }
    // Presses OK and waits for the settings dialog to go.
    bool ConfirmSettings(HWND settings)
    {
        PostMessageA(GetDlgItem(settings, IDOK), BM_CLICK, 0, 0);
        return WaitUntil([&] { return !IsWindow(settings) || !IsWindowVisible(settings); }, 5000);
    }
    // No message box or other dialog besides the control dialog (and the
    // title window, captionless and without controls, in its first 2 s).
    void ExpectOnlyControlDialog()
    {
        for (HWND d : ProcessDialogs(Pid())) {
            if (d == w_.control || (TextOf(d).empty() && !GetWindow(d, GW_CHILD)))
                continue;
            ADD_FAILURE() << "an unexpected dialog: \"" << TextOf(d) << "\" "
                          << ItemTextOf(d, 0xFFFF);
        }
    }
    // Waits for the control dialog of a run started without waiting.
    void WaitForControlDialog()
    {
        ASSERT_TRUE(WaitUntil(
            [&] {
                process_.controlDialog = FindProcessWindow(Pid(), "#32770", "Tavrel");
                return process_.controlDialog && IsWindowVisible(process_.controlDialog);
            },
            10000));
        ASSERT_TRUE(FindTavrelWindows(process_, &w_));
    }
    void ExpectBox(const char* caption, const char* text)
    {
        SeenBox box;
        ASSERT_TRUE(WaitForProcessBox(Pid(), caption, 8000, &box, {w_.control}))
            << "no \"" << caption << "\" box";
        EXPECT_EQ(box.text, text);
        AnswerBox(box);
    }
    void ExitNormally()
    {
        ASSERT_TRUE(Answers(w_.control)) << "the control dialog does not answer";
        PostKey(w_.control, VK_F12);
        EXPECT_EQ(WaitForTavrelExit(&process_, 15000), 0u);
    }

    TavrelProcess process_;
    TavrelWindows w_;
};

// ---- registry: wrong shapes ----------------------------------------------------

struct Shape {
    const char* name;
    DWORD type;
    std::vector<unsigned char> bytes;
};

class WrongShape : public Faults, public ::testing::WithParamInterface<Shape> {};

// A value whose data is not exactly 4 bytes is not a number: every field
// takes its default, and exit writes all 29 back as REG_DWORD.
TEST_P(WrongShape, EveryFieldLoadsItsDefaultAndIsWrittenBackAsDword)
{
    const Shape& shape = GetParam();
    for (const auto& [name, unused] : kDefaults) {
        (void)unused;
        WriteRaw(name, shape.type, shape.bytes.data(), static_cast<DWORD>(shape.bytes.size()));
    }
    Start();
    if (HasFatalFailure())
        return;
    const RECT c = OuterRect(w_.control);
    EXPECT_EQ(c.left, 8);
    EXPECT_EQ(c.top, 8);
    ExitNormally();
    EXPECT_EQ(CountTavrelValues(), 29);
    EXPECT_EQ(ReadAllValues(), DefaultValues());
}

INSTANTIATE_TEST_SUITE_P(
    Registry, WrongShape,
    ::testing::Values(
        // "480000" with its terminator: 7 bytes.
        Shape{"LongString", REG_SZ, {'4', '8', '0', '0', '0', '0', 0}},
        Shape{"OneByte", REG_BINARY, {7}},
        Shape{"TwoBytes", REG_BINARY, {7, 0}},
        Shape{"Qword", REG_QWORD, {7, 0, 0, 0, 0, 0, 0, 0}}),
    [](const ::testing::TestParamInfo<Shape>& info) { return std::string(info.param.name); });

// ---- registry: numbers out of every range ----------------------------------------

// Values are loaded unchanged and used as they are. Every window is placed
// wherever the platform puts such numbers; exit stores the places the
// windows really have, the other values as loaded (bools as 1), and the
// device index, which names no device, as 0.
class OutOfRange : public Faults, public ::testing::WithParamInterface<int> {};

TEST_P(OutOfRange, EveryFieldAtOnce)
{
    const int value = GetParam();
    WriteAll(value);
    Start();
    if (HasFatalFailure())
        return;
    // The stored rate makes no capture format the device takes (or, at -1,
    // 4294967295 Hz): the start fails with the control dialog's message.
    PostKey(w_.control, VK_SPACE);
    ExpectBox("fatal error", "DirectSound デバイスが利用できません。");
    EXPECT_EQ(ItemTextOf(w_.control, IDC_STARTSTOP), "開始(Space)");
    const Places places = ReadPlaces(w_);
    ExitNormally();
    const std::map<std::string, int> saved = ReadAllValues();
    EXPECT_EQ(saved.size(), 29u);
    for (const char* name : {"m_iSamplingRate", "m_iThinResurgeWave", "m_iResurgeXChannel",
                             "m_iResurgeYChannel", "m_iCautionDecibelLevel"})
        EXPECT_EQ(Saved(saved, name), value) << name;
    for (const auto& [name, unused] : kDefaults) {
        (void)unused;
        if (IsBoolName(name)) {
            EXPECT_EQ(Saved(saved, name), value != 0 ? 1 : 0) << name;
        }
    }
    EXPECT_EQ(Saved(saved, "m_iCurrentAudioDriver"), 0);
    ExpectPlacesSaved(places, saved);
}

INSTANTIATE_TEST_SUITE_P(Registry, OutOfRange, ::testing::Values(2147483647, -2147483647 - 1, -1),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == -1 ? std::string("MinusOne")
                                    : info.param > 0 ? std::string("Huge")
                                                     : std::string("MostNegative");
                         });

// A common width of 50 or less leaves no sweep columns; the sweep stays at
// its first position and capture runs on. Exit stores the width the Wave
// window really has.
TEST_F(Faults, CommonWidthsWithoutSweepColumns)
{
    for (int width : {0, 50, -1}) {
        SCOPED_TRACE("m_iCommonWindowXWidth " + std::to_string(width));
        DeleteTavrelKey();
        WriteTavrelDword("m_iCommonWindowXWidth", width);
        Start();
        if (HasFatalFailure())
            return;
        PressSpace("停止(Space)");
        EXPECT_TRUE(CounterMoves());
        ExpectOnlyControlDialog();
        const Places places = ReadPlaces(w_);
        ExitNormally();
        const std::map<std::string, int> saved = ReadAllValues();
        ExpectPlacesSaved(places, saved);
        KillTavrel(&process_);
    }
}

// A rate of 0 is no format at all and the start fails with the control
// dialog's message; 12345 Hz is used as it is. Either way the stored rate
// comes back unchanged.
TEST_F(Faults, SamplingRates)
{
    struct Case {
        int rate;
        bool starts;
    };
    for (const Case& c : {Case{0, false}, Case{12345, true}}) {
        SCOPED_TRACE("m_iSamplingRate " + std::to_string(c.rate));
        DeleteTavrelKey();
        WriteTavrelDword("m_iSamplingRate", c.rate);
        Start();
        if (HasFatalFailure())
            return;
        if (c.starts) {
            PressSpace("停止(Space)");
            EXPECT_TRUE(WaitUntil(
                [&] { return ItemTextOf(w_.control, IDC_FORMAT) == "12345 Hz, 16-bit Stereo"; },
                5000))
                << ItemTextOf(w_.control, IDC_FORMAT);
            EXPECT_TRUE(CounterMoves());
        } else {
            PostKey(w_.control, VK_SPACE);
            ExpectBox("fatal error", "DirectSound デバイスが利用できません。");
            EXPECT_EQ(ItemTextOf(w_.control, IDC_STARTSTOP), "開始(Space)");
        }
        ExitNormally();
        int rate = -1;
        EXPECT_TRUE(ReadTavrelDword("m_iSamplingRate", &rate));
        EXPECT_EQ(rate, c.rate);
        KillTavrel(&process_);
    }
}

// Channels 0 and 7 are used as they are while capturing (X reads the right
// channel, Y the left); the settings dialog selects nothing for them, and
// its OK stores the fallbacks 1 and 2.
TEST_F(Faults, ResurgeChannelsOutOfRange)
{
    WriteTavrelDword("m_iResurgeXChannel", 0);
    WriteTavrelDword("m_iResurgeYChannel", 7);
    Start();
    if (HasFatalFailure())
        return;
    PressSpace("停止(Space)");
    EXPECT_TRUE(CounterMoves());
    HWND settings = OpenSettings();
    ASSERT_TRUE(settings);
    EXPECT_EQ(SendMessageA(GetDlgItem(settings, IDC_RESURGE_X_CHANNEL), CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(GetDlgItem(settings, IDC_RESURGE_Y_CHANNEL), CB_GETCURSEL, 0, 0), CB_ERR);
    ASSERT_TRUE(ConfirmSettings(settings));
    ExitNormally();
    const std::map<std::string, int> saved = ReadAllValues();
    EXPECT_EQ(Saved(saved, "m_iResurgeXChannel"), 1);
    EXPECT_EQ(Saved(saved, "m_iResurgeYChannel"), 2);
}

// A device index that names no device opens the first one instead; capture
// works, and 0 is stored.
TEST_F(Faults, DeviceIndexOutOfRange)
{
    for (int index : {99, -5}) {
        SCOPED_TRACE("m_iCurrentAudioDriver " + std::to_string(index));
        DeleteTavrelKey();
        WriteTavrelDword("m_iCurrentAudioDriver", index);
        Start();
        if (HasFatalFailure())
            return;
        ExpectOnlyControlDialog();
        PressSpace("停止(Space)");
        EXPECT_TRUE(WaitUntil(
            [&] { return ItemTextOf(w_.control, IDC_FORMAT) == "48000 Hz, 16-bit Stereo"; }, 5000))
            << ItemTextOf(w_.control, IDC_FORMAT);
        EXPECT_TRUE(CounterMoves());
        ExitNormally();
        int device = -1;
        EXPECT_TRUE(ReadTavrelDword("m_iCurrentAudioDriver", &device));
        EXPECT_EQ(device, 0);
        KillTavrel(&process_);
    }
}

// Percentages of 0 and below draw no trace and are kept; above 100 the X-Y
// window stops the program with its message at the first plotted block,
// and nothing is saved.
TEST_F(Faults, ResurgePercentages)
{
    for (int percent : {0, -10, 150}) {
        SCOPED_TRACE("m_iThinResurgeWave " + std::to_string(percent));
        DeleteTavrelKey();
        WriteTavrelDword("m_iThinResurgeWave", percent);
        WriteTavrelDword("m_CtrlDlgWindowXPos", 30);
        Start();
        if (HasFatalFailure())
            return;
        PostKey(w_.control, VK_SPACE);
        if (percent > 100) {
            SeenBox box;
            ASSERT_TRUE(WaitForProcessBox(Pid(), "fatal error", 8000, &box, {w_.control}));
            EXPECT_EQ(box.text, "値が不正です: m_iThinResurgeWave = 150");
            EXPECT_EQ(GetWindow(box.window, GW_OWNER), w_.display[1]) << "owned by the X-Y window";
            AnswerBox(box);
            EXPECT_EQ(WaitForTavrelExit(&process_, 10000), 0u);
            // Nothing written: the two values of this test are all there is.
            EXPECT_EQ(CountTavrelValues(), 2);
        } else {
            EXPECT_TRUE(CounterMoves());
            ExpectOnlyControlDialog();
            ExitNormally();
            int stored = 1;
            EXPECT_TRUE(ReadTavrelDword("m_iThinResurgeWave", &stored));
            EXPECT_EQ(stored, percent);
        }
        KillTavrel(&process_);
    }
}

// Heights of 0 keep the height each window was created with (200); the X-Y
// window then squares its client area from 285 x 200: 266 x 266, then
// 247 x 266 (caption 19).
TEST_F(Faults, HeightsOfZero)
{
    for (const char* name : {"m_WaveWindowYHeight", "m_ResurgeWindowYHeight",
                             "m_DecibelWindowYHeight", "m_FFTWindowYHeight"})
        WriteTavrelDword(name, 0);
    Start();
    if (HasFatalFailure())
        return;
    PressSpace("停止(Space)");
    EXPECT_TRUE(CounterMoves());
    ExitNormally();
    const std::map<std::string, int> saved = ReadAllValues();
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    EXPECT_EQ(Saved(saved, "m_WaveWindowYHeight"), 200);
    EXPECT_EQ(Saved(saved, "m_DecibelWindowYHeight"), 200);
    EXPECT_EQ(Saved(saved, "m_FFTWindowYHeight"), 200);
    EXPECT_EQ(Saved(saved, "m_ResurgeWindowYHeight"), 285 - caption);
    EXPECT_EQ(Saved(saved, "m_ResurgeWindowXWidth"), 285 - 2 * caption);
}

// ---- capture devices -------------------------------------------------------------

// No sound server at all: the platform lists no capture device. The open at
// start-up fails with its message, the start command with the control
// dialog's, the settings dialog with its own; exit still saves, device 0.
TEST_F(Faults, NoCaptureDeviceAtAll)
{
    PrivatePulse pulse;
    ASSERT_TRUE(pulse.Start({}));
    pulse.Stop();  // its socket is left with no server behind it
    WriteTavrelDword("m_iCurrentAudioDriver", 1);
    ASSERT_TRUE(LaunchTavrelNoWait(&process_, pulse.Server()));
    ExpectBox("fatal error", "DirectSound の初期化に失敗しました。");
    WaitForControlDialog();
    if (HasFatalFailure())
        return;
    PostKey(w_.control, VK_SPACE);
    ExpectBox("fatal error", "DirectSound デバイスが利用できません。");
    EXPECT_EQ(ItemTextOf(w_.control, IDC_STARTSTOP), "開始(Space)");
    PostKey(w_.control, VK_F2);
    ExpectBox("fatal error", "利用できるサウンドデバイスがありません。");
    HWND settings = FindProcessWindow(Pid(), "#32770", "基本設定");
    ASSERT_TRUE(settings);
    EXPECT_EQ(SendMessageA(GetDlgItem(settings, IDC_DEVICE_LIST), CB_GETCOUNT, 0, 0), 0);
    PostMessageA(settings, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(settings) || !IsWindowVisible(settings); }, 5000));
    ExitNormally();
    int device = -1;
    EXPECT_TRUE(ReadTavrelDword("m_iCurrentAudioDriver", &device));
    EXPECT_EQ(device, 0);
}

// A sound server with no capture source: the platform still lists its
// default device, which opens; the start then fails with the control
// dialog's message and the program goes on, stopped.
TEST_F(Faults, SoundServerWithoutCaptureSource)
{
    PrivatePulse pulse;
    ASSERT_TRUE(pulse.Start({}));
    Launch(pulse.Server());
    if (HasFatalFailure())
        return;
    ExpectOnlyControlDialog();
    PostKey(w_.control, VK_SPACE);
    ExpectBox("fatal error", "DirectSound デバイスが利用できません。");
    EXPECT_EQ(ItemTextOf(w_.control, IDC_STARTSTOP), "開始(Space)");
    ExitNormally();
    EXPECT_EQ(CountTavrelValues(), 29);
}

// Twenty capture devices: the settings dialog lists the first 16; the last
// of them captures, and its index is stored.
TEST_F(Faults, TwentyDevices)
{
    std::vector<NullSink> sinks;
    for (int i = 0; i < 20; ++i)
        sinks.push_back({"e2e_dev" + std::to_string(i), 48000, "E2eDevice" + std::to_string(i)});
    PrivatePulse pulse;
    ASSERT_TRUE(pulse.Start(sinks));
    Launch(pulse.Server());
    if (HasFatalFailure())
        return;
    HWND settings = OpenSettings();
    ASSERT_TRUE(settings);
    HWND list = GetDlgItem(settings, IDC_DEVICE_LIST);
    const std::vector<std::string> devices = RemoteComboItems(list);
    EXPECT_EQ(devices.size(), 16u);
    ASSERT_FALSE(devices.empty());
    SendMessageA(list, CB_SETCURSEL, devices.size() - 1, 0);
    ASSERT_TRUE(ConfirmSettings(settings));
    ExpectOnlyControlDialog();
    PressSpace("停止(Space)");
    EXPECT_TRUE(WaitUntil(
        [&] { return ItemTextOf(w_.control, IDC_FORMAT) == "48000 Hz, 16-bit Stereo"; }, 5000));
    EXPECT_TRUE(CounterMoves());
    ExitNormally();
    int device = -1;
    EXPECT_TRUE(ReadTavrelDword("m_iCurrentAudioDriver", &device));
    EXPECT_EQ(device, static_cast<int>(devices.size()) - 1);
}

// The device of a running capture goes away (its PulseAudio module is
// unloaded). The program follows what the platform then reports: either a
// failed read, which ends the run after its message without saving, or a
// capture that no longer delivers; in that case it still answers, and a
// normal exit saves undamaged settings.
TEST_F(Faults, DeviceRemovedDuringCapture)
{
    PrivatePulse pulse;
    ASSERT_TRUE(pulse.Start({{"e2e_keep", 48000, "E2eKeep"}, {"e2e_gone", 48000, "E2eGone"}}));
    Launch(pulse.Server());
    if (HasFatalFailure())
        return;
    HWND settings = OpenSettings();
    ASSERT_TRUE(settings);
    HWND list = GetDlgItem(settings, IDC_DEVICE_LIST);
    const std::vector<std::string> devices = RemoteComboItems(list);
    int gone = -1;
    for (size_t i = 0; i < devices.size(); ++i)
        if (devices[i].find("E2eGone") != std::string::npos)
            gone = static_cast<int>(i);
    ASSERT_GE(gone, 0);
    SendMessageA(list, CB_SETCURSEL, gone, 0);
    ASSERT_TRUE(ConfirmSettings(settings));
    PressSpace("停止(Space)");
    ASSERT_TRUE(CounterMoves());
    // What the key holds now: a run that ends without saving leaves it so.
    const std::map<std::string, int> before = ReadAllValues();

    ASSERT_TRUE(pulse.UnloadSink("e2e_gone"));
    SeenBox box;
    const bool failed = WaitForProcessBox(Pid(), "Tavrel", 4000, &box, {w_.control});
    if (failed) {
        std::printf("platform outcome: a failed read\n");
        EXPECT_EQ(box.text, "Direct Sound の通知イベントに失敗しました。\n終了します。");
        AnswerBox(box);
        EXPECT_NE(WaitForTavrelExit(&process_, 10000), static_cast<DWORD>(STILL_ACTIVE));
        EXPECT_EQ(ReadAllValues(), before) << "nothing saved after a failed read";
        return;
    }
    // The platform reports nothing at the reads: the notifications stop, so
    // the counter stands still, and the program still answers.
    std::printf("platform outcome: the capture stops delivering, no failure reported\n");
    int blocks = 0, seconds = 0, later = 0;
    EXPECT_TRUE(ReadCounter(w_.control, &blocks, &seconds));
    Sleep(500);
    EXPECT_TRUE(ReadCounter(w_.control, &later, &seconds));
    EXPECT_LE(later - blocks, 2) << "blocks still counted from a removed device";
    EXPECT_TRUE(Answers(w_.control));
    // Stopping a capture whose device is gone may fail; the control dialog
    // then says so, and stays stopped.
    PostKey(w_.control, VK_SPACE);
    EXPECT_TRUE(WaitUntil([&] { return ItemTextOf(w_.control, IDC_STARTSTOP) == "開始(Space)"; },
                          5000));
    if (WaitForProcessBox(Pid(), "fatal error", 3000, &box, {w_.control})) {
        std::printf("platform outcome: the stop fails\n");
        EXPECT_EQ(box.text, "DirectSound デバイスが利用できません。");
        AnswerBox(box);
    }
    ExpectOnlyControlDialog();
    ExitNormally();
    const std::map<std::string, int> saved = ReadAllValues();
    ASSERT_EQ(saved.size(), 29u);
    EXPECT_EQ(Saved(saved, "m_iCurrentAudioDriver"), gone);
    EXPECT_EQ(Saved(saved, "m_iSamplingRate"), 48000);
}

// The sound server stopped and started again between two runs: the second
// run captures as the first did. A run while it is down has no device.
TEST_F(Faults, SoundServerRestartedBetweenRuns)
{
    PrivatePulse pulse;
    ASSERT_TRUE(pulse.Start({{"e2e_line", 48000, "E2eLine"}}));
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        if (run == 1) {
            pulse.Stop();
            ASSERT_TRUE(LaunchTavrelNoWait(&process_, pulse.Server()));
            ExpectBox("fatal error", "DirectSound の初期化に失敗しました。");
            WaitForControlDialog();
            if (HasFatalFailure())
                return;
            ExitNormally();
            KillTavrel(&process_);
            ASSERT_TRUE(pulse.Start({{"e2e_line", 48000, "E2eLine"}}));
            continue;
        }
        Launch(pulse.Server());
        if (HasFatalFailure())
            return;
        ExpectOnlyControlDialog();
        PressSpace("停止(Space)");
        EXPECT_TRUE(WaitUntil(
            [&] { return ItemTextOf(w_.control, IDC_FORMAT) == "48000 Hz, 16-bit Stereo"; }, 5000));
        EXPECT_TRUE(CounterMoves());
        ExitNormally();
        EXPECT_EQ(CountTavrelValues(), 29);
        KillTavrel(&process_);
    }
}

// ---- files beside the program ------------------------------------------------------

struct TitleCase {
    const char* name;
    const char* change;  // shell commands run in the copied folder
};

class TitlePicture : public Faults, public ::testing::WithParamInterface<TitleCase> {};

// Without a readable picture the title window still opens, centred and
// empty, and still goes after 2 s; the run is otherwise normal.
TEST_P(TitlePicture, TitleWindowStillComesAndGoes)
{
    const std::string dir = CopyBinFolder(GetParam().name);
    ASSERT_FALSE(dir.empty());
    ASSERT_EQ(RunUnix("cd " + ShellQuote(dir) + " && " + GetParam().change).status, 0);
    const DWORD launched = GetTickCount();
    ASSERT_TRUE(LaunchTavrelNoWait(&process_, "", dir));
    HWND title = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND d : ProcessDialogs(Pid()))
                if (TextOf(d).empty() && !GetWindow(d, GW_CHILD))
                    title = d;
            return title != nullptr;
        },
        10000, 10))
        << "no title window";
    const DWORD shown = GetTickCount();
    const RECT r = OuterRect(title);
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(r.left, (screenW - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, (screenH - (r.bottom - r.top)) / 2);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(title) || !IsWindowVisible(title); }, 10000, 10));
    const DWORD gone = GetTickCount();
    std::printf("title window seen %lu ms after the launch, for %lu ms\n", shown - launched,
                gone - shown);
    // Its timer runs 2000 ms from its creation, which is a little before it
    // is first seen from here.
    EXPECT_GE(gone - shown, 1500u);
    WaitForControlDialog();
    if (HasFatalFailure())
        return;
    ExpectOnlyControlDialog();
    ExitNormally();
}

INSTANTIATE_TEST_SUITE_P(
    Files, TitlePicture,
    ::testing::Values(TitleCase{"NoPicture", "rm -f title.gif"},
                      TitleCase{"Truncated", "head -c 40 title.gif > t && mv t title.gif"},
                      TitleCase{"NotAPicture", "printf 'GIF89a but not really' > title.gif"},
                      TitleCase{"Unreadable", "rm -f title.gif && mkdir title.gif"}),
    [](const ::testing::TestParamInfo<TitleCase>& info) { return std::string(info.param.name); });

// Help and the licence texts missing: the commands leave the program as it
// was (what the platform shows is its own matter, and is answered here).
TEST_F(Faults, NoHelpFileAndNoLicenceTexts)
{
    const std::string dir = CopyBinFolder("nofiles");
    ASSERT_FALSE(dir.empty());
    ASSERT_EQ(RunUnix("cd " + ShellQuote(dir) + " && rm -f Tavrel.chm gnu.txt gnu-j.txt").status, 0);
    Launch("", dir);
    if (HasFatalFailure())
        return;
    for (int command : {IDM_HELP, IDM_GPL_ENGLISH, IDM_GPL_JAPANESE}) {
        SCOPED_TRACE("command " + std::to_string(command));
        PostMessageA(w_.control, WM_COMMAND, command, 0);
        Sleep(700);
        EXPECT_EQ(WaitForSingleObject(process_.info.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
        for (HWND d : ProcessDialogs(Pid()))
            if (d != w_.control && !TextOf(d).empty()) {
                std::printf("the platform shows \"%s\": %s\n", TextOf(d).c_str(),
                            ItemTextOf(d, 0xFFFF).c_str());
                PostMessageA(d, WM_COMMAND, IDOK, 0);
            }
        EXPECT_TRUE(Answers(w_.control));
    }
    ExitNormally();
    EXPECT_EQ(CountTavrelValues(), 29);
}

// A program folder whose path is longer than 260 bytes: where the platform
// starts the program at all, it runs and saves; nothing beside it is found
// (the path functions refuse what does not fit), nothing overruns.
TEST_F(Faults, ProgramFolderPathLongerThan260Bytes)
{
    std::string dir = E2eScratchDir() + "/long";
    while (dir.size() < 300)
        dir += "/folder-with-a-long-name-" + std::to_string(dir.size());
    ASSERT_EQ(RunUnix("mkdir -p " + ShellQuote(dir) + " && cp -a " +
                      ShellQuote(TavrelBinDirectoryUnix()) + "/. " + ShellQuote(dir) + "/")
                  .status,
              0);
    ASSERT_GT(UnixToWinePath(dir).size() + std::string("\\Tavrel.exe").size(), 260u);
    if (!LaunchTavrel(&process_, "", dir)) {
        GTEST_SKIP() << "the platform does not start a program from a path this long";
    }
    ASSERT_TRUE(FindTavrelWindows(process_, &w_));
    PressSpace("停止(Space)");
    EXPECT_TRUE(CounterMoves());
    for (int command : {IDM_GPL_ENGLISH, IDM_GPL_JAPANESE}) {
        PostMessageA(w_.control, WM_COMMAND, command, 0);
        Sleep(700);
        for (HWND d : ProcessDialogs(Pid()))
            if (d != w_.control && !TextOf(d).empty())
                PostMessageA(d, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(Answers(w_.control));
    }
    ExitNormally();
    EXPECT_EQ(CountTavrelValues(), 29);
}

// ---- load: the main loop held up by a modal dialog -----------------------------------

// Runs here, in the test process, on the environment's line-in: the real
// control dialog, windows and capture, with the main loop's block step
// driven by this test so that the first read after the About dialog can be
// looked at.
class HeldLoop : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ApplySettingDefaults(g_Settings);
        g_hInstance = GetModuleHandleA(nullptr);
        g_hNotificationEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        ok_ = SUCCEEDED(OpenCaptureDevice());
        g_hControlDialog = CreateDialogParamA(g_hInstance, MAKEINTRESOURCEA(IDD_CONTROL), nullptr,
                                              ControlDialogProc, 0);
        ok_ = ok_ && g_hControlDialog != nullptr;
        if (g_hControlDialog)
            ShowWindow(g_hControlDialog, SW_SHOW);
    }
    static void TearDownTestSuite()
    {
        if (g_bCapturing)
            SendMessageA(g_hControlDialog, WM_COMMAND, IDC_STARTSTOP, 0);
    }

    // Runs the loop until a read has delivered data (the first notification
    // comes about a second after a start).
    static bool RunLoopUntilData(DWORD timeoutMs)
    {
        const DWORD start = GetTickCount();
        while (g_iCountOfPCMData == 0 && GetTickCount() - start < timeoutMs)
            RunLoopFor(50);
        return g_iCountOfPCMData > 0;
    }

    // The main loop's work for a while: block steps on the event, messages
    // between them.
    static void RunLoopFor(DWORD milliseconds)
    {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < milliseconds) {
            const DWORD wake = MsgWaitForMultipleObjects(1, &g_hNotificationEvent, FALSE, 50, QS_ALLINPUT);
            if (wake == WAIT_OBJECT_0)
                RunBlockStep();
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }

    static void CALLBACK CloseAbout(HWND, UINT, UINT_PTR id, DWORD)
    {
        KillTimer(nullptr, id);
        HWND about = FindWindowA("#32770", "このアプリケーションについて");
        if (about)
            PostMessageA(about, WM_COMMAND, IDOK, 0);
    }

    // Holds the About dialog open for the time, as a user reading it would.
    static void HoldAbout(DWORD milliseconds)
    {
        SetTimer(nullptr, 0, milliseconds, CloseAbout);
        SendMessageA(g_hControlDialog, WM_COMMAND, IDM_ABOUT, 0);
    }

    static bool ok_;
};
bool HeldLoop::ok_ = false;

TEST_F(HeldLoop, FirstReadAfterTheAboutDialogDeliversAtMost15Blocks)
{
    ASSERT_TRUE(ok_);
    g_Settings.m_bSkipAllProcessIfOverLoad = false;
    if (!g_bCapturing)
        SendMessageA(g_hControlDialog, WM_COMMAND, IDC_STARTSTOP, 0);
    ASSERT_TRUE(g_bCapturing);
    ASSERT_TRUE(RunLoopUntilData(5000));
    const int framesPerBlock = static_cast<int>(GetFramesPerBlock());
    ASSERT_EQ(framesPerBlock, 400);
    for (DWORD hold : {2500u, 3100u, 3700u}) {
        SCOPED_TRACE("About dialog open for " + std::to_string(hold) + " ms");
        HoldAbout(hold);
        const HRESULT hr = ReadCapturedBlocks();
        ASSERT_TRUE(hr == S_OK || hr == S_FALSE) << std::hex << hr;
        if (hr == S_OK) {
            EXPECT_EQ(g_iCountOfPCMData % framesPerBlock, 0);
            EXPECT_GE(g_iCountOfPCMData, framesPerBlock);
            EXPECT_LE(g_iCountOfPCMData, 15 * framesPerBlock);
        }
        std::printf("first read after %lu ms: %d frames\n", hold, g_iCountOfPCMData);
        // The windows draw such a read, and the loop goes on as before.
        RunLoopFor(500);
        EXPECT_TRUE(g_bCapturing);
    }
}

TEST_F(HeldLoop, WithSkipAllProcessTheFirstReadDeliversOneBlock)
{
    ASSERT_TRUE(ok_);
    g_Settings.m_bSkipAllProcessIfOverLoad = true;
    if (!g_bCapturing)
        SendMessageA(g_hControlDialog, WM_COMMAND, IDC_STARTSTOP, 0);
    ASSERT_TRUE(RunLoopUntilData(5000));
    for (DWORD hold : {2500u, 3100u}) {
        SCOPED_TRACE("About dialog open for " + std::to_string(hold) + " ms");
        HoldAbout(hold);
        const HRESULT hr = ReadCapturedBlocks();
        ASSERT_TRUE(hr == S_OK || hr == S_FALSE) << std::hex << hr;
        EXPECT_EQ(g_iCountOfPCMData, 400);
        RunLoopFor(300);
    }
    g_Settings.m_bSkipAllProcessIfOverLoad = false;
}

}  // namespace
