// The built Tavrel.exe started as a user starts it: what it shows, how it
// ends, and what it leaves in the registry.
#include <windows.h>

#include <map>
#include <string>

#include <gtest/gtest.h>

#include "settings.h"
#include "resource.h"
#include "tests/wine/support/tavrel_process.h"

namespace {

std::map<std::string, int> ReadAllSettings()
{
    std::map<std::string, int> values;
    for (const SettingField& f : kSettingFields) {
        int v;
        if (ReadTavrelDword(f.name, &v))
            values[f.name] = v;
    }
    return values;
}

class TavrelRun : public ::testing::Test {
protected:
    void SetUp() override { DeleteTavrelKey(); }
    void TearDown() override { KillTavrel(&process_); }

    // Ends the run the way a user would, by a message to the control dialog.
    void Exit(UINT message, WPARAM wParam, LPARAM lParam)
    {
        ASSERT_TRUE(PostMessageA(process_.controlDialog, message, wParam, lParam));
        EXPECT_EQ(WaitForTavrelExit(&process_), 0u);
    }

    TavrelProcess process_;
};

TEST_F(TavrelRun, FirstRunExitSavesEveryDefaultAsDword)
{
    ASSERT_TRUE(StartTavrel(&process_));
    EXPECT_EQ(CountTavrelValues(), 0) << "the key is created at start, values only at exit";
    Exit(WM_COMMAND, IDM_EXIT, 0);

    EXPECT_EQ(CountTavrelValues(), kSettingFieldCount);
    auto values = ReadAllSettings();
    ASSERT_EQ(values.size(), static_cast<size_t>(kSettingFieldCount));
    EXPECT_EQ(values["m_iSamplingRate"], 48000);
    EXPECT_EQ(values["m_iCautionDecibelLevel"], -6);
    EXPECT_EQ(values["m_CtrlDlgWindowXPos"], 8);
    EXPECT_EQ(values["m_CtrlDlgWindowYPos"], 8);
    EXPECT_EQ(values["m_iThinResurgeWave"], 30);
    EXPECT_EQ(values["m_bIsShowFFTWindow"], 1);
}

TEST_F(TavrelRun, F12AndCloseBoxSaveTheSameValues)
{
    ASSERT_TRUE(StartTavrel(&process_));
    // A posted key goes through the accelerator table of the main loop.
    Exit(WM_KEYDOWN, VK_F12, 0);
    auto byKey = ReadAllSettings();

    DeleteTavrelKey();
    KillTavrel(&process_);
    ASSERT_TRUE(StartTavrel(&process_));
    Exit(WM_CLOSE, 0, 0);
    auto byClose = ReadAllSettings();

    EXPECT_EQ(byKey.size(), static_cast<size_t>(kSettingFieldCount));
    EXPECT_EQ(byKey, byClose);
}

TEST_F(TavrelRun, StoredValuesComeBackAtTheNextExit)
{
    WriteTavrelDword("m_CtrlDlgWindowXPos", 120);
    WriteTavrelDword("m_CtrlDlgWindowYPos", 90);
    WriteTavrelDword("m_iSamplingRate", 12345);
    WriteTavrelDword("m_bIsShowWaveWindow", 2);
    ASSERT_TRUE(StartTavrel(&process_));
    RECT rect;
    ASSERT_TRUE(GetWindowRect(process_.controlDialog, &rect));
    EXPECT_EQ(rect.left, 120);
    EXPECT_EQ(rect.top, 90);
    Exit(WM_COMMAND, IDM_EXIT, 0);
    auto values = ReadAllSettings();
    EXPECT_EQ(values["m_CtrlDlgWindowXPos"], 120);
    EXPECT_EQ(values["m_iSamplingRate"], 12345);
    EXPECT_EQ(values["m_bIsShowWaveWindow"], 1);
}

TEST_F(TavrelRun, KilledRunWritesNothing)
{
    ASSERT_TRUE(StartTavrel(&process_));
    KillTavrel(&process_);
    EXPECT_EQ(CountTavrelValues(), 0);
}

TEST_F(TavrelRun, MinimisedControlDialogSavesItsRestoredPlace)
{
    WriteTavrelDword("m_CtrlDlgWindowXPos", 200);
    WriteTavrelDword("m_CtrlDlgWindowYPos", 150);
    ASSERT_TRUE(StartTavrel(&process_));
    ShowWindow(process_.controlDialog, SW_MINIMIZE);
    for (int i = 0; i < 40 && !IsIconic(process_.controlDialog); ++i)
        Sleep(50);
    ASSERT_TRUE(IsIconic(process_.controlDialog));
    Exit(WM_CLOSE, 0, 0);
    int x = 0, y = 0;
    ASSERT_TRUE(ReadTavrelDword("m_CtrlDlgWindowXPos", &x));
    ASSERT_TRUE(ReadTavrelDword("m_CtrlDlgWindowYPos", &y));
    EXPECT_EQ(x, 200);
    EXPECT_EQ(y, 150);
}

TEST_F(TavrelRun, IdleLoopAnswersMessagesSentFromOtherPrograms)
{
    ASSERT_TRUE(StartTavrel(&process_));
    // Past the title window's timer nothing is captured and nothing else
    // wakes the loop: the sent message must wake it by itself.
    Sleep(2600);
    DWORD_PTR result = 0;
    DWORD start = GetTickCount();
    LRESULT ok = SendMessageTimeoutA(process_.controlDialog, WM_NULL, 0, 0, SMTO_NORMAL, 5000,
                                     &result);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_NE(ok, 0) << "the send timed out after " << elapsed << " ms";
    EXPECT_LT(elapsed, 2000u);
    Exit(WM_COMMAND, IDM_EXIT, 0);
}

}  // namespace
