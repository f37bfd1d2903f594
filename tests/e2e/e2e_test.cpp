// Tavrel.exe as a user meets it: one run per row of a table, from a first
// run to the faults a user can have. Formulas and pixels are checked
// in-process; here only what needs the program itself, with literal
// expectations.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "../../res/resource.h"
#include "driver.h"

namespace {

std::vector<std::string> g_names;  // the value names the program stored, once it has

// What every run checks once its windows are up: the title window has gone,
// each shown window has its top-left corner on the screen, and the main loop
// wakes for a message another program sends (capture stopped: no block
// wakes it).
void ExpectReachableAndAnswering(const Tavrel& t)
{
    EXPECT_TRUE(WaitUntil([&] { return t.Shown(L"#32770").size() == 1; }))
        << "the title window stays";
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    for (HWND w : {t.dialog, t.windows[0], t.windows[1], t.windows[2], t.windows[3]})
        EXPECT_TRUE(!IsWindowVisible(w) || PtInRect(&screen, POINT{Place(w).left, Place(w).top}))
            << "off screen at " << Place(w).left << "," << Place(w).top;
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(t.dialog, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result), 0)
        << "no answer within 1 s";
}

// One run per row: what is stored before, the sound server, the folder; the
// box at start-up if any; the window keys; Space and the box it gives, or a
// capture that runs; the way the run ends; what the key then holds, every
// value a 4-byte REG_DWORD.
// kClose: the close box, which saves as F12 does; kBox: the box's OK ends the run, nothing is
// saved; kLogOffUnderBox: the same when the session ends under the box.
enum class End { kF12, kClose, kLogOff, kBox, kLogOffUnderBox };
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
    // A first run, nothing stored: the defaults are saved, a negative one as its two's complement.
    {"no sound server", {}, false, false, kInitFailed, kNoDevice, End::kF12,
     {{"m_iSamplingRate", 48000}, {"m_iCautionDecibelLevel", -6}}},
    {"every value 2147483647, then log-off", {{"*", INT_MAX}}, true, false, nullptr, kNoDevice,
     End::kLogOff, {{"m_iCurrentAudioDriver", INT_MAX}, {"m_iSamplingRate", INT_MAX}}},
    // The close box saves: the control dialog's place is no longer the one stored.
    {"every value -2147483648, then the close box", {{"*", INT_MIN}}, true, false, nullptr,
     kNoDevice, End::kClose, {{"m_iCurrentAudioDriver", INT_MIN}, {"m_iSamplingRate", INT_MIN},
                              {"m_CtrlDlgWindowXPos", 0}}},
    {"X-Y share 150, its box's OK", {{"m_iThinResurgeWave", 150}}, true, false, nullptr,
     L"値が不正です: m_iThinResurgeWave = 150", End::kBox, {}},
    {"X-Y share 150, then log-off under its box", {{"m_iThinResurgeWave", 150}}, true, false, nullptr,
     L"値が不正です: m_iThinResurgeWave = 150", End::kLogOffUnderBox, {}},
    // The nearest work area's corner is (0, 0).
    {"folder path over 260 bytes, device 99, control dialog at -5000,-5000",
     {{"m_iCurrentAudioDriver", 99}, {"m_CtrlDlgWindowXPos", -5000}, {"m_CtrlDlgWindowYPos", -5000}},
     true, true, nullptr, nullptr, End::kF12,
     {{"m_iCurrentAudioDriver", 99}, {"m_CtrlDlgWindowXPos", 0}, {"m_CtrlDlgWindowYPos", 0}}},
};
// clang-format on

// Every failure box is "fatal error", owned by the control dialog once there
// is one (in-process tests see the other windows disabled under it).
void ExpectBox(const Tavrel& t, const wchar_t* text, bool press = true)
{
    Box box;
    ASSERT_TRUE(t.AnswerBox(&box, press)) << "no box";
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, L"fatal error");
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
    ASSERT_TRUE(t.Start(row.soundServer, folder));
    if (row.startBox)
        ExpectBox(t, row.startBox);
    ASSERT_TRUE(t.FindWindows());
    ExpectReachableAndAnswering(t);
    // S, X, D, F hide their own window and show it again.
    auto shown = [&] { return std::count_if(t.windows, t.windows + 4, IsWindowVisible); };
    for (int i = 0; i < 4; ++i)
        for (bool off : {true, false}) {
            t.Key("SXDF"[i]);
            EXPECT_TRUE(WaitUntil([&] {
                return shown() == 4 - off && !IsWindowVisible(t.windows[i]) == off;
            })) << "SXDF"[i]
                << ": " << shown() << " shown";
        }
    t.Key(VK_SPACE);
    if (row.spaceBox)
        ExpectBox(t, row.spaceBox, row.end != End::kLogOffUnderBox);
    if (!row.soundServer) {  // the settings find no device; their OK opens none, once they are gone
        t.Key(VK_F2);
        Box box;
        ASSERT_TRUE(t.AnswerBox(&box));
        EXPECT_EQ(box.text, L"利用できるサウンドデバイスがありません。");
        PostMessageW(box.owner, WM_COMMAND, IDOK, 0);
        ExpectBox(t, kInitFailed);
    }
    if (!row.spaceBox) {
        EXPECT_TRUE(t.Captures()) << "no capture";
        EXPECT_EQ(t.Item(IDC_FORMAT), L"48000 Hz, 16-bit Stereo");
    }
    DWORD_PTR result = 0;
    if (row.end == End::kF12)
        t.Key(VK_F12);
    if (row.end == End::kClose)
        PostMessageW(t.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (row.end == End::kLogOff || row.end == End::kLogOffUnderBox) {
        SendMessageTimeoutW(t.dialog, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000,
                            &result);
        EXPECT_EQ(result, TRUE) << "the session may end";
        SendMessageTimeoutW(t.dialog, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000,
                            &result);
    }
    EXPECT_EQ(t.Exit(), 0u);
    Stored after = ReadKey();
    const bool unsaved = row.end == End::kBox || row.end == End::kLogOffUnderBox;
    EXPECT_TRUE(!unsaved || after == before) << "saved after the box";
    EXPECT_EQ(after.size(), unsaved ? before.size() : 29u);
    for (const auto& [name, value] : row.saved)
        EXPECT_EQ(after[name], static_cast<DWORD>(value)) << name;
    for (const auto& [name, value] : after)
        EXPECT_NE(value, kNotDword) << name;
    for (const auto& value : g_names.empty() ? after : Stored{})
        g_names.push_back(value.first);
}

TEST(Faults, Table)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        RunRow(row);
    }
    if (!HasFailure())  // once this script has ended
        Sh("(sleep 1; rm -rf '" + Scratch() + "') >/dev/null 2>&1 &");
}

}  // namespace
