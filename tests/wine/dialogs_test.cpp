// The settings dialog inside its own modal loop, the help control, and the
// title picture.
#include <windows.h>
#include <gtest/gtest.h>

#include "about_dialog.h"
#include "capture_session.h"
#include "device_list.h"
#include "failure_report.h"
#include "module_path.h"
#include "path_join.h"
#include "resource.h"
#include "settings.h"
#include "shell_state.h"
#include "title_window.h"
#include "under_test.h"

namespace {

void Command(HWND window, WPARAM id) { SendMessageA(window, WM_COMMAND, id, 0); }

TEST(SettingsDialog, OffersItsListsStoresWhatIsChosenAndStopsTheCapture)
{
    // The devices of the test's sound server in the list, the double in use.
    ASSERT_EQ(OpenCaptureDevice(), S_OK);
    PressStartStop();
    const int opens = g_captureOpens;
    ModalDriver driver;
    driver.Then([](HWND d) {
        EXPECT_FALSE(g_bCapturing) << "opening the dialog stops the capture";
        EXPECT_EQ(SendDlgItemMessageA(d, IDC_SAMPLING_RATE, CB_GETCURSEL, 0, 0), 4);
        EXPECT_EQ(ItemText(d, IDC_CAUTION_LEVEL), "-6");
        SendDlgItemMessageA(d, IDC_SAMPLING_RATE, CB_SETCURSEL, 5, 0);
        SendDlgItemMessageA(d, IDC_THIN_RESURGE, CB_SETCURSEL, 9, 0);
        SendDlgItemMessageA(d, IDC_RESURGE_X_CHANNEL, CB_SETCURSEL, 1, 0);
        CheckDlgButton(d, IDC_SHOW_CHANNEL_NAME, BST_UNCHECKED);
        SetDlgItemTextA(d, IDC_CAUTION_LEVEL, "-20");
        // The overload warning asks while the stored value is off; its
        // default answer, No, takes the tick away again.
        SendDlgItemMessageA(d, IDC_SKIP_ALL_ON_OVERLOAD, BM_CLICK, 0, 0);
        EXPECT_EQ(IsDlgButtonChecked(d, IDC_SKIP_ALL_ON_OVERLOAD), BST_UNCHECKED);
        PostMessageA(d, WM_COMMAND, IDOK, 0);
    });
    Command(g_hControlDialog, IDM_SETTINGS);
    ASSERT_EQ(driver.boxes.size(), 1u);
    EXPECT_EQ(driver.boxes[0].caption, "警告");
    const Settings& s = g_Settings;
    EXPECT_TRUE(s.m_iSamplingRate == 96000 && s.m_iThinResurgeWave == 100 &&
                s.m_iResurgeXChannel == 2 && !s.m_bIsShowResurgeChannelName &&
                s.m_iCautionDecibelLevel == -20 && !s.m_bSkipAllProcessIfOverLoad);
    EXPECT_EQ(g_captureOpens, opens + 1) << "OK opens the chosen device";

    // Defaults, confirmed, reset the record at once: Cancel keeps them.
    ModalDriver again;
    again.Then([](HWND d) {
        Command(d, IDC_DEFAULTS);  // its question is the next script's
        EXPECT_EQ(ItemText(d, IDC_CAUTION_LEVEL), "-6");
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    });
    again.Then([](HWND box) { PostMessageA(box, WM_COMMAND, IDYES, 0); });
    Command(g_hControlDialog, IDM_SETTINGS);
    EXPECT_EQ(again.boxes.at(0).text, "設定を標準に戻しますか?");
    EXPECT_TRUE(s.m_iSamplingRate == 48000 && s.m_iCautionDecibelLevel == -6);
    EXPECT_EQ(g_captureOpens, opens + 1) << "Cancel opens nothing";
}

std::vector<std::string> s_calls;
HWND WINAPI RecordHelp(HWND, LPCSTR file, UINT command, DWORD_PTR)
{
    s_calls.push_back("help " + std::to_string(command) + " " + (file ? file : "-"));
    return nullptr;
}

// The help control's registration points elsewhere (on Windows any program
// of the user can register a server for its class): Tavrel loads the
// system's copy all the same.
TEST(Help, ComesFromTheSystemFolderAndIsClosedAtTheEnd)
{
    const char* key = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
    char registered[MAX_PATH] = {};
    LONG size = sizeof registered;
    RegQueryValueA(HKEY_CLASSES_ROOT, key, registered, &size);
    RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, "version.dll", 11);
    g_pHtmlHelpA = nullptr;
    ShowHelp(nullptr);
    RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, registered, lstrlenA(registered));
    ASSERT_NE(g_pHtmlHelpA, nullptr) << "the registered file has no help entry";
    g_pHtmlHelpA = RecordHelp;
    s_calls.clear();
    ShowHelp(nullptr);
    CloseHelp();
    // By its full path beside the program, whatever the current folder.
    char beside[kPathBufferSize];
    ModuleRelativePath("Tavrel.chm", beside, sizeof beside);
    EXPECT_EQ(s_calls, (std::vector<std::string>{"help 0 " + std::string(beside), "help 18 -"}));
}

TEST(TitleWindow, PictureIsReadOnceAndStaysWhenTheFileGoes)
{
    char to[kPathBufferSize];
    ModuleRelativePath("title.gif", to, sizeof to);
    ASSERT_TRUE(CopyFileA(
        (std::string("Z:") + getenv("TAVREL_SOURCE_DIR") + "/res/title.gif").c_str(), to, FALSE));
    HWND title = CreateTitleWindow(GetModuleHandleA(nullptr));
    Pump();
    const std::vector<std::uint32_t> first = ScreenPixels(title);
    // The picture: more than 1000 pixels unlike the last one.
    EXPECT_GT(first.size() - std::count(first.begin(), first.end(), first.back()), 1000u);
    DeleteFileA(to);
    InvalidateRect(title, nullptr, TRUE);
    UpdateWindow(title);
    EXPECT_EQ(ScreenPixels(title), first);

    // Under a failure box at start-up it still takes its click, and goes after its 2 s.
    static HWND s_title;
    static BOOL s_enabled;
    s_title = title;
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id), s_enabled = IsWindowEnabled(s_title);
    });
    SetTimer(nullptr, 0, 2100, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        PostMessageA(FindWindowA("#32770", "fatal error"), WM_COMMAND, IDOK, 0);
    });
    ReportFailure(kFailureDirectSoundInit, E_FAIL);
    EXPECT_TRUE(s_enabled) << "disabled under the box";
    EXPECT_FALSE(IsWindow(title)) << "still up after 2 s";
    DestroyWindow(title);
}

}  // namespace
