// The About dialog on the real template, and what ShellOpen, ShowHelp and
// the volume-control start hand to the platform, watched through their
// replaceable entry points so nothing is launched.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "dialogs/about_dialog.h"
#include "res/resource.h"
#include "tests/wine/support/modal_driver.h"

namespace {

const char kCaption[] = "このアプリケーションについて";

struct ShellCall {
    HWND owner;
    std::string verb, file;
    bool hasParameters, hasDirectory;
    INT show;
};
std::vector<ShellCall> g_shellCalls;
HINSTANCE WINAPI RecordShell(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                             LPCSTR directory, INT show)
{
    g_shellCalls.push_back({owner, verb ? verb : "<null>", file ? file : "<null>",
                            parameters != nullptr, directory != nullptr, show});
    return reinterpret_cast<HINSTANCE>(33);
}

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

struct ExecCall {
    std::string commandLine;
    UINT show;
};
std::vector<ExecCall> g_execCalls;
UINT WINAPI RecordExec(LPCSTR commandLine, UINT show)
{
    g_execCalls.push_back({commandLine ? commandLine : "<null>", show});
    return 33;
}

std::string LoadResourceString(UINT id)
{
    char text[256] = {};
    LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof(text));
    return text;
}

INT_PTR RunAbout(const std::function<void(HWND)>& script)
{
    return RunModalScript(
        kCaption,
        [] {
            return DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr,
                                   AboutDialogProc, 0);
        },
        script);
}

// A real click (or two) at the centre of a control, through the input queue,
// so hit testing and double-click detection are the system's.
void ClickAt(HWND control, int clicks)
{
    RECT r;
    GetWindowRect(control, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PumpFor(50);
    for (int i = 0; i < clicks; ++i) {
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, input, sizeof(INPUT));
        PumpFor(30);
    }
    PumpFor(200);
}

class AboutDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        g_hInstance = GetModuleHandleA(nullptr);
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
    }
    void SetUp() override
    {
        g_pShellExecuteA = RecordShell;
        g_pHtmlHelpA = RecordHelp;
        g_pWinExec = RecordExec;
        g_shellCalls.clear();
        g_helpCalls.clear();
        g_execCalls.clear();
    }
    void TearDown() override
    {
        g_pShellExecuteA = ShellExecuteA;
        g_pHtmlHelpA = nullptr;
        g_pWinExec = WinExec;
    }
};

TEST_F(AboutDialog, TitleLineAppendsTheVersionString)
{
    // Independent of the dialog: the version string resource itself.
    ASSERT_EQ(LoadResourceString(IDS_VERSION), "1.00");
    MessageBoxAnswerer answerer;
    std::string title;
    bool focusOnOk = false;
    RunAbout([&](HWND d) {
        title = ItemText(d, IDC_ABOUT_TITLE);
        focusOnOk = GetFocus() == GetDlgItem(d, IDOK);
        ClickButton(d, IDOK);
    });
    EXPECT_EQ(title, "Tavrel 1.00 - Release Version");
    EXPECT_TRUE(focusOnOk);
    EXPECT_TRUE(answerer.Seen().empty());
}

TEST_F(AboutDialog, KeysAndCloseEndItWithTheirResults)
{
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
        INT_PTR result;
    };
    const Case cases[] = {
        {"Escape", WM_KEYDOWN, VK_ESCAPE, IDCANCEL},
        {"Enter", WM_KEYDOWN, VK_RETURN, IDOK},
        {"close box", WM_SYSCOMMAND, SC_CLOSE, IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageBoxAnswerer answerer;
        INT_PTR result = RunAbout([&](HWND d) {
            // Through the dialog's own loop, as a key press would come.
            HWND target = c.message == WM_KEYDOWN ? GetFocus() : d;
            PostMessageA(target, c.message, c.wParam, 0);
        });
        EXPECT_EQ(result, c.result);
    }
}

TEST_F(AboutDialog, HomepageLineOpensOncePerClickNotification)
{
    const std::string homepage = LoadResourceString(IDS_HOMEPAGE);
    ASSERT_FALSE(homepage.empty());
    MessageBoxAnswerer answerer;
    size_t afterClick = 0, afterDoubleClick = 0;
    bool openAfterClicks = false;
    std::string lineText;
    RunAbout([&](HWND d) {
        lineText = ItemText(d, IDC_ABOUT_HOMEPAGE);
        HWND line = GetDlgItem(d, IDC_ABOUT_HOMEPAGE);
        ClickAt(line, 1);
        afterClick = g_shellCalls.size();
        // Past the double-click time, so the next pair starts afresh.
        PumpFor(GetDoubleClickTime() + 100);
        ClickAt(line, 2);
        afterDoubleClick = g_shellCalls.size();
        openAfterClicks = IsWindowVisible(d) != FALSE;
        ClickButton(d, IDOK);
    });
    EXPECT_EQ(lineText, "HomePage: " + homepage);
    EXPECT_EQ(afterClick, 1u);
    EXPECT_EQ(afterDoubleClick, 3u) << "a double click opens twice";
    EXPECT_TRUE(openAfterClicks);
    for (const ShellCall& call : g_shellCalls) {
        EXPECT_EQ(call.owner, nullptr);
        EXPECT_EQ(call.verb, "open");
        EXPECT_EQ(call.file, homepage);
        EXPECT_FALSE(call.hasParameters);
        EXPECT_FALSE(call.hasDirectory);
        EXPECT_EQ(call.show, SW_SHOW);
    }
}

TEST_F(AboutDialog, BitmapsHaveTheirSizesAndColourDepths)
{
    struct Case {
        int id;
        LONG width, height;
        WORD bitsPerPixel;
    };
    const Case cases[] = {{IDB_ABOUT_LEFT, 70, 79, 4}, {IDB_ABOUT_RIGHT, 63, 79, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        HMODULE module = GetModuleHandleA(nullptr);
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(c.id), MAKEINTRESOURCEA(2) /*RT_BITMAP*/);
        ASSERT_NE(found, nullptr);
        const auto* header =
            static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, found)));
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(header->biWidth, c.width);
        EXPECT_EQ(header->biHeight, c.height);
        EXPECT_EQ(header->biBitCount, c.bitsPerPixel);
        EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RGB));
    }

    // The dialog's picture statics hold them.
    MessageBoxAnswerer answerer;
    std::vector<SIZE> shown;
    RunAbout([&](HWND d) {
        for (HWND child = GetWindow(d, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            auto bitmap = reinterpret_cast<HBITMAP>(
                SendMessageA(child, STM_GETIMAGE, IMAGE_BITMAP, 0));
            BITMAP info;
            if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP && bitmap &&
                GetObjectA(bitmap, sizeof(info), &info))
                shown.push_back({info.bmWidth, info.bmHeight});
        }
        ClickButton(d, IDOK);
    });
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].cx, 70);
    EXPECT_EQ(shown[0].cy, 79);
    EXPECT_EQ(shown[1].cx, 63);
    EXPECT_EQ(shown[1].cy, 79);
}

TEST_F(AboutDialog, ShellOpenPassesAFileOrTheHomepage)
{
    ShellOpen("C:\\tavrel\\gnu.txt");
    ShellOpen(nullptr);
    ASSERT_EQ(g_shellCalls.size(), 2u);
    EXPECT_EQ(g_shellCalls[0].file, "C:\\tavrel\\gnu.txt");
    EXPECT_EQ(g_shellCalls[1].file, LoadResourceString(IDS_HOMEPAGE));
    for (const ShellCall& call : g_shellCalls) {
        EXPECT_EQ(call.verb, "open");
        EXPECT_EQ(call.show, SW_SHOW);
        EXPECT_EQ(call.owner, nullptr);
    }
}

TEST_F(AboutDialog, ShowHelpPassesTheFileOrTheFileWithATopic)
{
    ShowHelp(nullptr);
    ShowHelp("wave.html");
    ASSERT_EQ(g_helpCalls.size(), 2u);
    EXPECT_EQ(g_helpCalls[0].file, "Tavrel.chm");
    EXPECT_EQ(g_helpCalls[1].file, "Tavrel.chm::wave.html");
    for (const HelpCall& call : g_helpCalls) {
        EXPECT_EQ(call.owner, nullptr);
        EXPECT_EQ(call.command, 0u);  // HH_DISPLAY_TOPIC
        EXPECT_EQ(call.data, 0u);
    }
}

TEST_F(AboutDialog, VolumeControlsStartWithTheirCommandLines)
{
    RunVolumeControl(false);
    RunVolumeControl(true);
    ASSERT_EQ(g_execCalls.size(), 2u);
    EXPECT_EQ(g_execCalls[0].commandLine, "SNDVOL32.EXE");
    EXPECT_EQ(g_execCalls[1].commandLine, "SNDVOL32.EXE /r");
    EXPECT_EQ(g_execCalls[0].show, static_cast<UINT>(SW_SHOW));
    EXPECT_EQ(g_execCalls[1].show, static_cast<UINT>(SW_SHOW));
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
