// The settings and About dialogs inside their own modal loops, the help
// control, and the title window.
#include <windows.h>
#include <gtest/gtest.h>

#include <tuple>

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

using SettingsDialog = FromKnownState;
using AboutDialog = FromKnownState;
using Help = FromKnownState;
using TitleWindow = FromKnownState;

void Command(HWND window, WPARAM id) { SendMessageA(window, WM_COMMAND, id, 0); }

HWND s_dialog;

TEST_F(SettingsDialog, OffersItsListsStoresWhatIsChosenAndStopsTheCapture)
{
    // The devices of the test's sound server in the list, the double in use.
    ASSERT_EQ(OpenCaptureDevice(), S_OK);
    ASSERT_TRUE(Start());
    const int opens = g_captureOpens;
    ModalDriver driver;
    driver.Then([](HWND d) {
        s_dialog = d;
        EXPECT_FALSE(g_bCapturing) << "opening the dialog stops the capture";
        EXPECT_EQ(Texts(d),
                  "基本設定|OK|ｷｬﾝｾﾙ|サウンドデバイス|サンプリング周波数：|[Hz]|X-Y|"
                  "表示するデータ量：|[%]|X：|Y：|項目名を表示(&N)|サンプリング波形|"
                  "警告するレベル：|[dB]|初期設定(&D)|ヘルプ(&H)|"
                  "高負荷時は処理全体をスキップする(&S)|高負荷時は表示を一部スキップする(&R)");
        // The lists in the order shown, not sorted.
        EXPECT_EQ(ListItems(d, IDC_SAMPLING_RATE),
                  "8000 16000 24000 32000 48000 96000 11025 22050 33075 44100");
        EXPECT_EQ(ListItems(d, IDC_THIN_RESURGE), "10 20 30 40 50 60 70 80 90 100");
        EXPECT_EQ(ListItems(d, IDC_RESURGE_Y_CHANNEL), "L R");
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
    EXPECT_EQ(driver.boxes[0].Shown(),
              std::make_tuple("警告",
                              "この設定は 486/pentium 用です。この設定を有効にすると、\n"
                              "処理全体がスキップされ、場合によっては波形のピーク値を\n"
                              "正しく処理できないことがあります。\n\nそれでも設定を有効にしますか?",
                              MB_ICONWARNING | MB_YESNO | MB_DEFBUTTON2, s_dialog));
    const Settings& s = g_Settings;
    EXPECT_EQ(std::make_tuple(s.m_iSamplingRate, s.m_iThinResurgeWave, s.m_iResurgeXChannel,
                              s.m_bIsShowResurgeChannelName, s.m_iCautionDecibelLevel,
                              s.m_bSkipAllProcessIfOverLoad),
              std::make_tuple(96000, 100, 2, false, -20, false));
    EXPECT_EQ(g_captureOpens, opens + 1) << "OK opens the chosen device";

    // Defaults, confirmed, reset the record at once: Cancel keeps them.
    ModalDriver again;
    again.Then([](HWND d) {
        s_dialog = d;
        Command(d, IDC_DEFAULTS);  // its question is the next script's
        EXPECT_EQ(ItemText(d, IDC_CAUTION_LEVEL), "-6");
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    });
    again.Then([](HWND box) { PostMessageA(box, WM_COMMAND, IDYES, 0); });
    Command(g_hControlDialog, IDM_SETTINGS);
    ASSERT_EQ(again.boxes.size(), 1u);
    EXPECT_EQ(again.boxes[0].Shown(), std::make_tuple("確認", "設定を標準に戻しますか?",
                                                      MB_ICONQUESTION | MB_YESNO, s_dialog));
    EXPECT_EQ(std::make_pair(s.m_iSamplingRate, s.m_iCautionDecibelLevel),
              std::make_pair(48000, -6));
    EXPECT_EQ(g_captureOpens, opens + 1) << "Cancel opens nothing";
}

TEST_F(AboutDialog, ShowsItsTextsAndTheVersionLine)
{
    HWND about =
        CreateDialogParamA(g_hInstance, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutDialogProc, 0);
    EXPECT_EQ(Texts(about),
              "このアプリケーションについて|OK|Tavrel 1.00 - Release Version|(C) 2026 Korvane|"
              "HomePage: http://kvn.example/|"
              "　このソフトウェアは、音を録音する際に重要となるライン入力レベルを決定するために"
              "用います。\n\n　このソフトウェアはフリーソフトウェアであり、 GPL "
              "ライセンスにより配布されています。|Optimized for:");
    DestroyWindow(about);
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
TEST_F(Help, ComesFromTheSystemFolderAndIsClosedAtTheEnd)
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

TEST_F(TitleWindow, PictureIsReadOnceAndStaysWhenTheFileGoes)
{
    char to[kPathBufferSize];
    ModuleRelativePath("title.gif", to, sizeof to);
    ASSERT_TRUE(CopyFileA(
        (std::string("Z:") + getenv("TAVREL_SOURCE_DIR") + "/res/title.gif").c_str(), to, FALSE));
    static DWORD s_opened;
    s_opened = GetTickCount();
    HWND title = CreateTitleWindow(GetModuleHandleA(nullptr));
    Pump();
    const std::vector<std::uint32_t> first = ScreenPixels(title);
    // The picture: more than 1000 pixels unlike the last one.
    EXPECT_GT(first.size() - std::count(first.begin(), first.end(), first.back()), 1000u);
    DeleteFileA(to);
    InvalidateRect(title, nullptr, TRUE);
    UpdateWindow(title);
    EXPECT_EQ(ScreenPixels(title), first);

    // Under a failure box at start-up it still takes its click, and goes after
    // its 2000 ms (the box is answered then, or after 5 s).
    static HWND s_title;
    static BOOL s_enabled;
    static DWORD s_shown;
    s_title = title;
    SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) {
        s_shown = GetTickCount() - s_opened;
        if (IsWindow(s_title) && s_shown < 5000) {
            s_enabled = IsWindowEnabled(s_title);
            return;
        }
        KillTimer(nullptr, id);
        PostMessageA(FindWindowA("#32770", "fatal error"), WM_COMMAND, IDOK, 0);
    });
    ReportFailure(kFailureDirectSoundInit, E_FAIL);
    EXPECT_TRUE(s_enabled) << "disabled under the box";
    EXPECT_GE(s_shown, 1985u) << "gone early";
    EXPECT_LT(s_shown, 2400u) << "gone late";
    DestroyWindow(title);
}

}  // namespace
