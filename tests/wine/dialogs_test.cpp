// The dialogs inside their own modal loops, what the menus hand to the
// platform, the title picture, and the X-Y window's fatal stop (in a child
// process: it ends the process).
#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>

#include "about_dialog.h"
#include "capture_session.h"
#include "device_list.h"
#include "module_path.h"
#include "path_join.h"
#include "resource.h"
#include "settings.h"
#include "shell_state.h"
#include "title_window.h"
#include "under_test.h"

namespace {

std::string ItemText(HWND dialog, int id)
{
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

std::string ComboItems(HWND dialog, int id)
{
    std::string all;
    char text[64];
    for (int i = 0; i < SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0); ++i) {
        SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        all += std::string(text) + " ";
    }
    return all;
}

void Command(HWND window, int id)
{
    SendMessageA(window, WM_COMMAND, id, 0);
}

// The control dialog opens the chosen device once the settings are stored;
// the double goes back in place of the real device afterwards.
void RestoreDouble()
{
    ReleaseCaptureObjects();
    g_pDirectSoundCapture = &Fake();
}

TEST(SettingsDialog, OffersItsListsStoresWhatIsChosenAndStopsTheCapture)
{
    EnsureTavrelWindows();
    ASSERT_EQ(OpenCaptureDevice(), S_OK) << "the devices of the test's sound server";
    RestoreDouble();
    PressStartStop();
    ModalDriver driver;
    driver.Then([](HWND d) {
        EXPECT_GT(SendDlgItemMessageA(d, IDC_DEVICE_LIST, CB_GETCOUNT, 0, 0), 0);
        EXPECT_EQ(ComboItems(d, IDC_SAMPLING_RATE),
                  "8000 16000 24000 32000 48000 96000 11025 22050 33075 44100 ");
        EXPECT_EQ(ComboItems(d, IDC_THIN_RESURGE), "10 20 30 40 50 60 70 80 90 100 ");
        EXPECT_EQ(ComboItems(d, IDC_RESURGE_Y_CHANNEL), "L R ");
        EXPECT_EQ(SendDlgItemMessageA(d, IDC_SAMPLING_RATE, CB_GETCURSEL, 0, 0), 4);
        EXPECT_EQ(ItemText(d, IDC_CAUTION_LEVEL), "-6");
        EXPECT_FALSE(g_bCapturing) << "opening the dialog stops the capture";
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
    EXPECT_NE(g_pDirectSoundCapture, &Fake()) << "OK opens the chosen device";
    RestoreDouble();

    // Defaults, confirmed, then Cancel: the defaults stay.
    ModalDriver again;
    again.Then([](HWND d) {
        Command(d, IDC_DEFAULTS);  // its question is the next script's
        EXPECT_EQ(ItemText(d, IDC_CAUTION_LEVEL), "-6");
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    });
    again.Then([](HWND box) { PostMessageA(box, WM_COMMAND, IDYES, 0); });
    g_Settings.m_bIsShowFFTWindow = false;
    Command(g_hControlDialog, IDM_SETTINGS);
    EXPECT_TRUE(s.m_iSamplingRate == 48000 && s.m_iThinResurgeWave == 30 &&
                s.m_iResurgeXChannel == 1 && s.m_bIsShowResurgeChannelName &&
                s.m_iCautionDecibelLevel == -6);
    EXPECT_FALSE(s.m_bIsShowFFTWindow) << "the defaults leave the FFT window's flag alone";
    EXPECT_EQ(g_pDirectSoundCapture, &Fake()) << "Cancel opens nothing";
    g_Settings.m_bIsShowFFTWindow = true;
}

std::vector<std::string> s_calls;
HINSTANCE WINAPI RecordShell(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                             LPCSTR directory, INT show)
{
    EXPECT_TRUE(!owner && !parameters && !directory && show == SW_SHOW);
    s_calls.push_back(std::string(verb) + " " + file);
    return reinterpret_cast<HINSTANCE>(33);
}
HWND WINAPI RecordHelp(HWND owner, LPCSTR file, UINT command, DWORD_PTR data)
{
    EXPECT_TRUE(!owner && data == 0);
    s_calls.push_back("help " + std::to_string(command) + " " + (file ? file : "-"));
    return nullptr;
}

TEST(AboutDialog, TitleLineHomepageClicksAndItsEndings)
{
    EnsureTavrelWindows();
    g_pShellExecuteA = RecordShell;
    s_calls.clear();
    ModalDriver driver;
    driver.Then([](HWND d) {
        EXPECT_EQ(ItemText(d, IDC_ABOUT_TITLE), "Tavrel 1.00 - Release Version");
        // A double click is two notifications: two opens.
        Command(d, MAKEWPARAM(IDC_ABOUT_HOMEPAGE, STN_CLICKED));
        Command(d, MAKEWPARAM(IDC_ABOUT_HOMEPAGE, STN_DBLCLK));
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    driver.Then([](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); });
    auto open = [] {
        return DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_ABOUT), g_hControlDialog,
                               AboutDialogProc, 0);
    };
    EXPECT_EQ(open(), IDCANCEL);
    EXPECT_EQ(open(), IDOK);
    g_pShellExecuteA = ShellExecuteA;
    EXPECT_EQ(s_calls,
              (std::vector<std::string>{"open http://kvn.example/", "open http://kvn.example/"}));
}

// Any program of the user can register a server for the help control's
// class; Tavrel loads the system's copy all the same.
TEST(Help, ComesFromTheSystemFolderAndIsClosedAtTheEnd)
{
    const char* key = "Software\\Classes\\CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}";
    char planted[MAX_PATH];
    GetSystemDirectoryA(planted, sizeof planted);
    const std::string system = planted;
    lstrcatA(planted, "\\version.dll");
    HKEY k;
    RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(key) + "\\InprocServer32").c_str(), 0, nullptr,
                    0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
    RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<BYTE*>(planted), lstrlenA(planted) + 1);
    RegCloseKey(k);
    g_pHtmlHelpA = nullptr;
    ShowHelp(nullptr);
    RegDeleteTreeA(HKEY_CURRENT_USER, key);
    ASSERT_NE(g_pHtmlHelpA, nullptr);
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(g_pHtmlHelpA), &module);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, sizeof path);
    EXPECT_STREQ(CharLowerA(path),
                 CharLowerA(const_cast<char*>((system + "\\hhctrl.ocx").c_str())));

    g_pHtmlHelpA = RecordHelp;
    s_calls.clear();
    ShowHelp(nullptr);
    CloseHelp();
    EXPECT_EQ(s_calls, (std::vector<std::string>{"help 0 Tavrel.chm", "help 18 -"}));
}

TEST(TitleWindow, PictureIsReadOnceAndStaysWhenTheFileGoes)
{
    char to[kPathBufferSize];
    ModuleRelativePath("title.gif", to, sizeof to);
    std::string from = std::string("Z:") + getenv("TAVREL_SOURCE_DIR") + "/res/title.gif";
    ASSERT_TRUE(CopyFileA(from.c_str(), to, FALSE));
    HWND title = CreateTitleWindow(GetModuleHandleA(nullptr));
    ASSERT_NE(title, nullptr);
    Pump();
    const std::vector<std::uint32_t> first = ScreenPixels(title);
    const std::uint32_t background = first.back();
    EXPECT_GT(
        std::count_if(first.begin(), first.end(), [&](std::uint32_t p) { return p != background; }),
        1000);
    DeleteFileA(to);
    InvalidateRect(title, nullptr, TRUE);
    UpdateWindow(title);
    EXPECT_EQ(ScreenPixels(title), first);
    DestroyWindow(title);
}

TEST(FatalStop, ShareAbove100IsReportedModallyThenEndsWithZero)
{
    EXPECT_EXIT(
        {
            EnsureTavrelWindows();
            g_Settings.m_iThinResurgeWave = 150;
            ModalDriver driver;
            driver.Then([](HWND box) {
                const bool text = ItemText(box, 0xFFFF) == "値が不正です: m_iThinResurgeWave = 150";
                const bool owner = GetWindow(box, GW_OWNER) == g_hControlDialog;
                bool live = false;
                for (HWND w : {g_hControlDialog, DisplayWindow(0), DisplayWindow(1),
                               DisplayWindow(2), DisplayWindow(3)})
                    live = live || IsWindowEnabled(w);
                std::fprintf(stderr, "text %d owner %d live %d\n", text, owner, live);
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            });
            PressStartStop();
            FeedBlock(Tone(400, 1000, 1000, 1000, 1000));
            std::fprintf(stderr, "went on\n");
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "text 1 owner 1 live 0");
}

}  // namespace
