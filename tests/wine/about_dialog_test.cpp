// The About dialog on the real template, and what ShellOpen, ShowHelp and
// the volume-control start hand to the platform, watched through their
// replaceable entry points so nothing is launched.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "shell_state.h"
#include "about_dialog.h"
#include "resource.h"
#include "tests/wine/support/modal_driver.h"

namespace {

// Each platform call as one line. What every call must carry (no owner, no
// parameters or folder, SW_SHOW, HH_DISPLAY_TOPIC = 0 and no data) is
// checked as it comes.
std::vector<std::string> g_calls;
HINSTANCE WINAPI RecordShell(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                             LPCSTR directory, INT show)
{
    EXPECT_TRUE(!owner && !parameters && !directory && show == SW_SHOW);
    g_calls.push_back(std::string(verb) + " " + file);
    return reinterpret_cast<HINSTANCE>(33);
}
HWND WINAPI RecordHelp(HWND owner, LPCSTR file, UINT command, DWORD_PTR data)
{
    EXPECT_TRUE(!owner && command == 0 && data == 0);
    g_calls.push_back(std::string("help ") + file);
    return nullptr;
}
UINT WINAPI RecordExec(LPCSTR commandLine, UINT show)
{
    EXPECT_EQ(show, static_cast<UINT>(SW_SHOW));
    g_calls.push_back(std::string("exec ") + commandLine);
    return 33;
}

std::string Homepage()
{
    char text[256] = {};
    LoadStringA(GetModuleHandleA(nullptr), IDS_HOMEPAGE, text, sizeof(text));
    return text;
}

INT_PTR RunAbout(const std::function<void(HWND)>& script)
{
    return RunModalScript("このアプリケーションについて", [] {
        return DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr,
                               AboutDialogProc, 0);
    }, script);
}

class AboutDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_hInstance = GetModuleHandleA(nullptr);
        g_pShellExecuteA = RecordShell;
        g_pHtmlHelpA = RecordHelp;
        g_pWinExec = RecordExec;
        g_calls.clear();
    }
};

// The title line, the two pictures at their sizes, and the keys' results.
TEST_F(AboutDialog, ShowsTitleAndPicturesAndEndsOnEscapeOrEnter)
{
    for (auto key : {std::make_pair(VK_ESCAPE, IDCANCEL), std::make_pair(VK_RETURN, IDOK)}) {
        SCOPED_TRACE(key.first);
        MessageBoxAnswerer answerer;
        std::string title;
        std::vector<std::pair<LONG, LONG>> pictures;
        INT_PTR result = RunAbout([&](HWND d) {
            title = ItemText(d, IDC_ABOUT_TITLE);
            for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                BITMAP info;
                if ((GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP &&
                    GetObjectA(reinterpret_cast<HBITMAP>(
                                   SendMessageA(c, STM_GETIMAGE, IMAGE_BITMAP, 0)),
                               sizeof(info), &info))
                    pictures.push_back({info.bmWidth, info.bmHeight});
            }
            // Through the dialog's own loop, as a key press comes.
            PostMessageA(GetFocus(), WM_KEYDOWN, key.first, 0);
        });
        EXPECT_EQ(result, key.second);
        EXPECT_EQ(title, "Tavrel 1.00 - Release Version");
        EXPECT_EQ(pictures, (std::vector<std::pair<LONG, LONG>>{{70, 79}, {63, 79}}));
        EXPECT_TRUE(answerer.Seen().empty());
    }
}

// The line's own mouse messages, as the system gives them for a click and
// for a double click (down, up, double-click, up): every click notification
// opens the page. Posted rather than sent through the input queue, which on
// a display just started may deliver them to no window at all.
TEST_F(AboutDialog, HomepageLineOpensOncePerClickNotification)
{
    MessageBoxAnswerer answerer;
    std::string line;
    std::vector<size_t> callsAfter;
    RunAbout([&](HWND d) {
        line = ItemText(d, IDC_ABOUT_HOMEPAGE);
        HWND homepage = GetDlgItem(d, IDC_ABOUT_HOMEPAGE);
        const UINT click[] = {WM_LBUTTONDOWN, WM_LBUTTONUP};
        const UINT doubleClick[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
        for (UINT m : click)
            PostMessageA(homepage, m, m == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(4, 4));
        PumpFor(100);
        callsAfter.push_back(g_calls.size());
        for (UINT m : doubleClick)
            PostMessageA(homepage, m, m == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(4, 4));
        PumpFor(100);
        callsAfter.push_back(g_calls.size());
    });
    EXPECT_EQ(line, "HomePage: " + Homepage());
    EXPECT_EQ(callsAfter, (std::vector<size_t>{1, 3})) << "a double click opens twice";
    EXPECT_EQ(g_calls, std::vector<std::string>(3, "open " + Homepage()));
}

TEST_F(AboutDialog, PlatformCallsCarryTheirArguments)
{
    ShellOpen("C:\\tavrel\\gnu.txt");
    ShellOpen(nullptr);
    ShowHelp(nullptr);
    ShowHelp("wave.html");
    RunVolumeControl(false);
    RunVolumeControl(true);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"open C:\\tavrel\\gnu.txt", "open " + Homepage(),
                                                  "help Tavrel.chm", "help Tavrel.chm::wave.html",
                                                  "exec SNDVOL32.EXE", "exec SNDVOL32.EXE /r"}));
}

DWORD WINAPI ShowHelpThread(void*)
{
    ShowHelp(nullptr);
    return 0;
}

// The real HTML Help control, found and loaded on first use, with no
// "Tavrel.chm" anywhere it looks: the call comes back.
TEST_F(AboutDialog, RealHelpReturnsWhenTheFileIsMissing)
{
    ASSERT_EQ(GetFileAttributesA("Tavrel.chm"), INVALID_FILE_ATTRIBUTES);
    g_pHtmlHelpA = nullptr;
    HANDLE thread = CreateThread(nullptr, 0, ShowHelpThread, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    // Generous: loading hhctrl.ocx the first time costs well under a second.
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_NE(g_pHtmlHelpA, nullptr) << "HtmlHelpA was found";
    EXPECT_NE(g_pHtmlHelpA, RecordHelp);
}

}  // namespace
