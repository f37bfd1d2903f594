// The line-in going away under a running capture, as when an interface is
// unplugged or the sound server restarts: Tavrel must stop and say so rather
// than show the last levels as live, and capture again at Space once the
// device is back.
#include <gtest/gtest.h>

#include <cstdlib>

#include "../../res/resource.h"
#include "driver.h"

namespace {

// The demo signal into the test environment's line-in, left and right at the
// given peaks (full scale 1), until the line-in or the server goes.
std::string Play(const char* left, const char* right)
{
    const std::string raw = Scratch() + "/tone.raw";
    return ". \"$TAVREL_SOURCE_DIR/scripts/line-in.sh\" && demo_signal " + raw + " 48000 1 " +
           left + " " + right + " && line_in_play " + Scratch() + " 48000 " + raw;
}
const char kLineIn[] = "module-null-sink sink_name=tavrel_line rate=48000 channels=2";
const std::string kUnplug = "pactl unload-module module-null-sink";
const std::string kPlugIn = std::string("pactl load-module ") + kLineIn +
                            " >/dev/null && pactl set-default-source tavrel_line.monitor";
// The server ended and started again by the environment's own script.
const std::string kServerDown = "pid=$(cat \"$TAVREL_WINE_ENV/state/pulse.pid\") && kill $pid && "
                                "while kill -0 $pid 2>/dev/null; do sleep 0.05; done";
const std::string kServerUp =
    "setsid \"$TAVREL_SOURCE_DIR/scripts/wine-env.sh\" start \"$TAVREL_WINE_ENV\" >/dev/null";

// The Decibel title's two levels, "有効デシベル - L: -6.0[dB]  R: -20.0[dB]".
bool ShowsLevels(const Tavrel& t, double left, double right)
{
    return WaitUntil([&] {
        const std::wstring title = Tavrel::Text(t.windows[Tavrel::kDecibel]);
        const size_t l = title.find(L"L:"), r = title.find(L"R:");
        return l != std::wstring::npos && r != std::wstring::npos &&
               std::abs(std::wcstod(&title[l + 2], nullptr) - left) <= 0.2 &&
               std::abs(std::wcstod(&title[r + 2], nullptr) - right) <= 0.2;
    });
}

// The device goes: within 1 s the capture has stopped and the box says so.
void ExpectStoppedAndTold(const Tavrel& t, const std::string& loss)
{
    ASSERT_EQ(Sh(loss), 0);
    const DWORD gone = GetTickCount();
    EXPECT_TRUE(WaitUntil([&] { return t.Item(IDC_STARTSTOP) == L"開始(Space)"; }, 1000))
        << "still " << (t.Item(IDC_STARTSTOP) == L"停止(Space)" ? "capturing" : "?");
    Box box;
    ASSERT_TRUE(t.AnswerBox(&box)) << "no box";
    EXPECT_LE(GetTickCount() - gone, 1500u) << "the box came late";
    EXPECT_EQ(box.text, L"DirectSound デバイスが利用できません。");
    EXPECT_EQ(box.caption, L"fatal error");
    EXPECT_EQ(box.owner, t.dialog);
    EXPECT_EQ(t.Item(IDC_FORMAT), L"48000 Hz, 16-bit Stereo") << "the format text as at a stop";
}

TEST(LostDevice, StopsWithinASecondAndSpaceCapturesAgainOnceItIsBack)
{
    ClearKey();
    ASSERT_EQ(Sh(Play("0.5", "0.1")), 0);
    Tavrel t;
    ASSERT_TRUE(t.Start(true));
    ASSERT_TRUE(t.FindWindows());
    t.Key(VK_SPACE);
    ASSERT_TRUE(t.Captures());
    EXPECT_TRUE(ShowsLevels(t, -6.0, -20.0));

    // Unplugged and plugged in again, with another tone.
    ExpectStoppedAndTold(t, kUnplug);
    ASSERT_EQ(Sh(kPlugIn + " && " + Play("0.25", "0.7")), 0);
    t.Key(VK_SPACE);
    EXPECT_TRUE(ShowsLevels(t, -12.0, -3.1)) << "no capture once the line-in is back";

    // The sound server restarted, with a third tone.
    ExpectStoppedAndTold(t, kServerDown);
    ASSERT_EQ(Sh(kServerUp + " && " + Play("0.1", "0.5")), 0);
    t.Key(VK_SPACE);
    EXPECT_TRUE(ShowsLevels(t, -20.0, -6.0)) << "no capture once the server is back";
    EXPECT_EQ(t.Item(IDC_STARTSTOP), L"停止(Space)");

    t.Key(VK_F12);
    EXPECT_EQ(t.Exit(), 0u);
    EXPECT_EQ(ReadKey().size(), 29u) << "F12 after the loss saves as always";
    Sh("pkill -f 'pacat --playback --device=tavrel_line'");
}

}  // namespace
