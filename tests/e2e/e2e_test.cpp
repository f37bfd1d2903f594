// Tavrel.exe as a user meets it: one session over two runs, then one run per
// fault a user can have. Formulas and pixels are checked in-process; here
// only what needs the program itself, with literal expectations.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cwctype>

#include "../../res/resource.h"
#include "driver.h"

namespace {

std::vector<std::string> g_names;  // the value names the program stored, once it has

struct Environment : ::testing::Environment {
    void SetUp() override { ASSERT_TRUE(StartLineIn()) << "the private line-in did not start"; }
    void TearDown() override
    {
        StopLineIn();
        ClearKey();
        if (::testing::UnitTest::GetInstance()->Passed())  // after this script's own end
            Sh("(sleep 1; rm -rf '" + Scratch() + "') >/dev/null 2>&1 &");
    }
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new Environment);

// What every run checks once its windows are up: each shown window has its
// top-left corner on the screen, and the main loop wakes for a message
// another program sends (capture stopped: no block wakes it).
void ExpectReachableAndAnswering(const Tavrel& t)
{
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    for (HWND w : {t.dialog, t.windows[0], t.windows[1], t.windows[2], t.windows[3]})
        EXPECT_TRUE(!IsWindowVisible(w) || PtInRect(&screen, POINT{Place(w).left, Place(w).top}))
            << "off screen at " << Place(w).left << "," << Place(w).top;
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(t.dialog, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result), 0)
        << "no answer within 1 s";
}

TEST(Session, FirstRunThenSecondRun)
{
    ClearKey();
    RECT fftPlace{};
    {
        Tavrel t;
        ASSERT_TRUE(t.Start(LineIn()) && t.FindWindows());
        const wchar_t* titles[4] = {L"サンプリング波形", L"X-Y", L"有効デシベル", L"FFT"};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(Tavrel::Text(t.windows[i]), titles[i]);
        EXPECT_EQ(Tavrel::Text(t.dialog), L"Tavrel");
        EXPECT_TRUE(WaitUntil([&] { return t.Shown(L"#32770").size() == 1; }))
            << "the title window stays";
        ExpectReachableAndAnswering(t);

        // S, X, D, F hide their own window, held for one auto-repeat (one
        // toggle), and show it again.
        auto shown = [&] { return std::count_if(t.windows, t.windows + 4, IsWindowVisible); };
        for (int i = 0; i < 4; ++i)
            for (int repeats : {1, 0}) {
                t.Key("SXDF"[i], repeats);
                const bool off = repeats;
                EXPECT_TRUE(WaitUntil([&] {
                    return shown() == 4 - off && !IsWindowVisible(t.windows[i]) == off;
                })) << "SXDF"[i]
                    << " with " << repeats << " repeat: " << shown() << " shown";
            }
        t.Key(VK_SPACE);
        EXPECT_TRUE(WaitUntil([&] { return t.Item(IDC_STARTSTOP) == L"停止(Space)"; }));
        EXPECT_TRUE(t.Captures());
        EXPECT_EQ(t.Item(IDC_FORMAT), L"48000 Hz, 16-bit Stereo");
        // The signal's levels are -6.0 and -20.0 dB. The title shows one
        // block a second to 0.1 dB; a block's largest sample misses the crest
        // by under 0.004 dB and sox's rounding adds under 1 LSB (0.003 dB at
        // -20 dB): 0.2 dB leaves two display steps for what the path adds.
        std::wstring title, shape;  // the title with its digits masked
        EXPECT_TRUE(WaitUntil(
            [&] {
                shape = title = Tavrel::Text(t.windows[Tavrel::kDecibel]);
                std::replace_if(shape.begin(), shape.end(), iswdigit, L'0');
                return shape == L"有効デシベル - L:  -0.0[dB]  R: -00.0[dB]" &&
                       std::abs(wcstod(&title[title.find(L"L:") + 2], nullptr) + 6) <= 0.2 &&
                       std::abs(wcstod(&title[title.find(L"R:") + 2], nullptr) + 20) <= 0.2;
            },
            4000))
            << "the Decibel title reads " << title;

        // A window moved comes back there in the next run.
        SetWindowPos(t.windows[Tavrel::kFFT], nullptr, 900, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        fftPlace = Place(t.windows[Tavrel::kFFT]);
        // F12 on the keyboard, after a click on the control dialog's caption.
        const RECT c = Place(t.dialog);
        Sh("xdotool mousemove " + std::to_string(c.left + 30) + " " + std::to_string(c.top + 12) +
           " click 1 sleep 0.2 key F12");
        EXPECT_EQ(t.Exit(), 0u);
    }
    Stored afterF12 = ReadKey();
    EXPECT_EQ(afterF12.size(), 29u);
    EXPECT_EQ(std::count_if(afterF12.begin(), afterF12.end(),
                            [](auto& v) { return v.second == kNotDword; }),
              0);
    const Stored some = {{"m_iSamplingRate", 48000},  {"m_iCautionDecibelLevel", 0xFFFFFFFA},
                         {"m_FFTWindowYHeight", 309}, {"m_FFTWindowXPos", 900},
                         {"m_FFTWindowYPos", 40},     {"m_bIsShowWaveWindow", 1}};
    for (auto [name, value] : some)
        EXPECT_EQ(afterF12[name], value) << name;

    // Second run: the moved window is back; the close box saves as F12 does
    // (the key is deleted under it first, so every value is written again).
    Tavrel t;
    ASSERT_TRUE(t.Start(LineIn()) && t.FindWindows());
    const RECT back = Place(t.windows[Tavrel::kFFT]);
    EXPECT_TRUE(EqualRect(&back, &fftPlace)) << back.left << "," << back.top;
    ClearKey();
    PostMessageW(t.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(t.Exit(), 0u);
    EXPECT_EQ(ReadKey(), afterF12);
}

// One run per row: what is stored before, the sound server, the folder; the
// box at start-up if any; Space and the box it gives, or a capture that
// runs; the way the run ends; what the key then holds.
enum class End { kF12, kLogOff, kBox };  // kBox: the box ends the run, nothing is saved
struct Row {
    const char* name;
    std::vector<std::pair<std::string, int>> set;  // "*": every value the program stores
    bool soundServer, longFolder;
    const wchar_t *startBox, *spaceBox;  // null: no box at start-up / capture runs
    End end;
    std::vector<std::pair<std::string, int>> saved;
};
const wchar_t kNoDevice[] = L"DirectSound デバイスが利用できません。";
const wchar_t kInitFailed[] = L"DirectSound の初期化に失敗しました。";
// clang-format off
const Row kRows[] = {
    {"no sound server", {}, false, false, kInitFailed, kNoDevice, End::kF12, {}},
    {"every value 2147483647, then log-off", {{"*", INT_MAX}}, true, false, nullptr, kNoDevice,
     End::kLogOff, {{"m_iCurrentAudioDriver", INT_MAX}, {"m_iSamplingRate", INT_MAX}}},
    {"every value -2147483648", {{"*", INT_MIN}}, true, false, nullptr, kNoDevice, End::kF12,
     {{"m_iCurrentAudioDriver", INT_MIN}, {"m_iSamplingRate", INT_MIN}}},
    {"X-Y share 150", {{"m_iThinResurgeWave", 150}}, true, false, nullptr,
     L"値が不正です: m_iThinResurgeWave = 150", End::kBox, {}},
    // The nearest work area's corner is (0, 0).
    {"folder path over 260 bytes, device 99, control dialog at -5000,-5000",
     {{"m_iCurrentAudioDriver", 99}, {"m_CtrlDlgWindowXPos", -5000}, {"m_CtrlDlgWindowYPos", -5000}},
     true, true, nullptr, nullptr, End::kF12,
     {{"m_iCurrentAudioDriver", 99}, {"m_CtrlDlgWindowXPos", 0}, {"m_CtrlDlgWindowYPos", 0}}},
};
// clang-format on

// Every failure box is "fatal error", owned by the control dialog once there
// is one, and nothing else of Tavrel takes input while it is up.
void ExpectBox(const Tavrel& t, const wchar_t* text)
{
    Box box;
    ASSERT_TRUE(t.AnswerBox(&box)) << "no box";
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, L"fatal error");
    EXPECT_TRUE(box.othersDisabled) << "a window of Tavrel takes input under the box";
    EXPECT_TRUE(!t.dialog || box.owner == t.dialog)
        << "owned by " << box.owner << ", not " << t.dialog;
}

void RunRow(const Row& row)
{
    ClearKey();
    for (const auto& [name, value] : row.set) {
        ASSERT_TRUE(name != "*" || g_names.size() == 29) << "no stored names yet";
        for (const std::string& n : name == "*" ? g_names : std::vector<std::string>{name})
            SetValue(n, value);
    }
    const Stored before = ReadKey();
    std::string folder = row.longFolder ? Scratch() + "/long" : "";
    while (row.longFolder && folder.size() < 280)
        folder += "/a-folder-with-a-long-name-" + std::to_string(folder.size());
    ASSERT_TRUE(!row.longFolder || Sh("mkdir -p '" + folder + "' && cp -a \"$TAVREL_BIN_DIR\"/. '" +
                                      folder + "'/") == 0);
    Tavrel t;
    ASSERT_TRUE(t.Start(row.soundServer ? LineIn() : "unix:" + Scratch() + "/no-server", folder));
    if (row.startBox)
        ExpectBox(t, row.startBox);
    ASSERT_TRUE(t.FindWindows());
    ExpectReachableAndAnswering(t);
    t.Key(VK_SPACE);
    if (row.spaceBox)
        ExpectBox(t, row.spaceBox);
    if (!row.soundServer) {  // the settings find no device; their OK opens none, once they are gone
        t.Key(VK_F2);
        Box box;
        ASSERT_TRUE(t.AnswerBox(&box));
        EXPECT_EQ(box.text, L"利用できるサウンドデバイスがありません。");
        PostMessageW(box.owner, WM_COMMAND, IDOK, 0);
        ExpectBox(t, kInitFailed);
    }
    EXPECT_TRUE(row.spaceBox || (t.Captures() && t.Item(IDC_FORMAT) == L"48000 Hz, 16-bit Stereo"))
        << "no capture";
    DWORD_PTR result = 0;
    if (row.end == End::kF12)
        t.Key(VK_F12);
    if (row.end == End::kLogOff) {
        SendMessageTimeoutW(t.dialog, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000,
                            &result);
        EXPECT_EQ(result, TRUE) << "the session may end";
        SendMessageTimeoutW(t.dialog, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000,
                            &result);
    }
    EXPECT_EQ(t.Exit(), 0u);
    Stored after = ReadKey();
    EXPECT_TRUE(row.end != End::kBox || after == before) << "saved after the box";
    EXPECT_EQ(after.size(), row.end == End::kBox ? before.size() : 29u);
    for (const auto& [name, value] : row.saved)
        EXPECT_EQ(after[name], static_cast<DWORD>(value)) << name;
    for (const auto& value : g_names.empty() ? after : Stored{})
        g_names.push_back(value.first);
}

TEST(Faults, Table)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        RunRow(row);
    }
}

}  // namespace
