// The capture device list on the real platform: DirectSound under Wine lists
// the primary device (no identifier), a "PulseAudio" entry for the server's
// default source, then one device per PulseAudio source. Wine reads the
// sources once per process, so other lists are checked in a child process of
// this test on a private server (the shared one stays as it is).
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings.h"
#include "device_list.h"
#include "tests/wine/support/e2e_pulse.h"
#include "tests/wine/support/e2e_unix.h"

namespace {

// Every device DirectSound reports, the primary one's null identifier as GUID_NULL.
struct RawDevice { GUID guid; std::string description; };

BOOL CALLBACK Collect(LPGUID guid, LPCSTR description, LPCSTR, LPVOID list)
{
    static_cast<std::vector<RawDevice>*>(list)->push_back({guid ? *guid : GUID_NULL, description});
    return TRUE;
}

// The list OpenCaptureDevice builds against DirectSound's own enumeration,
// which reports `listed` devices after the primary one.
void ExpectListMatchesEnumeration(size_t listed)
{
    std::vector<RawDevice> all;
    ASSERT_EQ(DirectSoundCaptureEnumerateA(Collect, &all), DS_OK);
    ASSERT_EQ(all.size(), listed + 1);
    EXPECT_TRUE(IsEqualGUID(all[0].guid, GUID_NULL));
    g_Settings.m_iCurrentAudioDriver = 0;
    ASSERT_EQ(OpenCaptureDevice(), S_OK);
    const int count = static_cast<int>(std::min<size_t>(listed, 16));
    ASSERT_EQ(GetCaptureDeviceCount(), count);
    for (int i = 0; i < count; ++i) {
        EXPECT_TRUE(IsEqualGUID(GetCaptureDeviceSlot(i)->guid, all[i + 1].guid)) << i;
        EXPECT_EQ(GetCaptureDeviceDescription(i), all[i + 1].description) << i;
    }
    EXPECT_STREQ(GetCaptureDeviceDescription(0), "PulseAudio");
    EXPECT_EQ(GetCaptureDeviceDescription(count), nullptr);
    EXPECT_TRUE(HasCaptureObject());
}

const char kChildVariable[] = "TAVREL_CAPTURE_DEVICE_CHILD";

// Runs only in a child of the tests below, on a private server, given the
// number of listed devices.
TEST(CaptureDeviceChild, ListsTheServersSources)
{
    char value[16] = {};
    if (GetEnvironmentVariableA(kChildVariable, value, sizeof(value)) == 0)
        GTEST_SKIP() << "only in a child process";
    CoInitialize(nullptr);
    ExpectListMatchesEnumeration(std::strtoul(value, nullptr, 10));
    ReleaseCaptureObjects();
    CoUninitialize();
}

// Runs this program again on the given server, from the shell (a Windows
// child would inherit PULSE_SERVER), to check a list of `listed` devices.
void ExpectChildList(const std::string& pulseServer, int listed)
{
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string script = std::string("export ") + kChildVariable + "=" + std::to_string(listed) +
                               " PULSE_SERVER=" + ShellQuote(pulseServer) + "\nexec \"${WINE:-wine64}\" " +
                               ShellQuote(exe) + " --gtest_filter=CaptureDeviceChild.*";
    const UnixResult r = RunUnix(script, 60000);
    EXPECT_NE(r.output.find("[  PASSED  ] 1 test"), std::string::npos) << r.output;
}

class CaptureDevices : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }
    static void TearDownTestSuite() { CoUninitialize(); }
    void TearDown() override { ReleaseCaptureObjects(); }
};

TEST_F(CaptureDevices, OneNullSinkListsTheDefaultEntryAndItsMonitor)
{
    ExpectListMatchesEnumeration(2);
    EXPECT_NE(std::string(GetCaptureDeviceDescription(1)).find("TavrelLine"), std::string::npos);
    EXPECT_EQ(GetCaptureDeviceDescription(-1), nullptr);
}

TEST_F(CaptureDevices, TwentySourcesListSixteenAndRemovingSourcesShrinksTheList)
{
    std::vector<NullSink> sinks;
    for (int i = 1; i <= 20; ++i)
        sinks.push_back({"tavrel_test_" + std::to_string(i), 48000, "TavrelTest" + std::to_string(i)});
    PrivatePulse pulse;
    ASSERT_TRUE(pulse.Start(sinks));
    ExpectChildList(pulse.Server(), 21);
    for (int i = 2; i <= 20; ++i)
        ASSERT_TRUE(pulse.UnloadSink(sinks[i - 1].name));
    ExpectChildList(pulse.Server(), 2);
}

TEST_F(CaptureDevices, AnIndexOutsideTheListOpensSlotZeroLeavingStaleSlotsAsTheyWere)
{
    g_Settings.m_iCurrentAudioDriver = 1;
    ASSERT_EQ(OpenCaptureDevice(), S_OK);
    EXPECT_TRUE(IsEqualGUID(GetSelectedCaptureDevice(), GetCaptureDeviceSlot(1)->guid));
    EXPECT_EQ(g_Settings.m_iCurrentAudioDriver, 1);

    // Slots 2 .. 15 as an earlier enumeration of 16 devices left them.
    for (unsigned char i = 2; i < 17; ++i) {
        GUID stale = {0x5ca1ab1e, 0, 0, {0, 0, 0, 0, 0, 0, 0, i}};
        const std::string name = "stale " + std::to_string(i);
        EXPECT_EQ(AddCaptureDevice(&stale, name.c_str(), "", nullptr) != FALSE, i < 16) << "full at 16";
    }
    EXPECT_TRUE(AddCaptureDevice(nullptr, "Primary", "", nullptr)) << "the primary device is passed over";
    ASSERT_EQ(GetCaptureDeviceCount(), 16);

    for (int index : {2, 15, 16, 1000000, -1, INT_MIN}) {
        SCOPED_TRACE(index);
        g_Settings.m_iCurrentAudioDriver = index;
        ASSERT_EQ(OpenCaptureDevice(), S_OK);
        EXPECT_EQ(GetCaptureDeviceCount(), 2);
        EXPECT_EQ(g_Settings.m_iCurrentAudioDriver, 0);
        EXPECT_TRUE(IsEqualGUID(GetSelectedCaptureDevice(), GetCaptureDeviceSlot(0)->guid));
        EXPECT_TRUE(HasCaptureObject());
    }
    for (int i = 2; i < 16; ++i)
        EXPECT_EQ(GetCaptureDeviceSlot(i)->description, "stale " + std::to_string(i));
}

}  // namespace
