// The capture device list on the real platform: DirectSound under Wine over
// PulseAudio, where every PulseAudio source is one device after a
// "PulseAudio" entry for the server's default source (a null sink brings one
// source, its monitor).
//
// Wine's PulseAudio driver reads the list of sources once, when a process
// first uses DirectSound, so lists of other sizes are taken in child
// processes of this test pointed at private servers with the sinks wanted
// (RunChild); the environment's shared server is not changed.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/settings.h"
#include "capture/capture_session.h"
#include "capture/device_list.h"
#include "tests/wine/support/e2e_pulse.h"
#include "tests/wine/support/e2e_unix.h"
#include "tests/wine/support/fake_dsound.h"

namespace {

struct RawDevice {
    bool hasGuid;
    GUID guid;
    std::string description;
};

BOOL CALLBACK CollectDevice(LPGUID guid, LPCSTR description, LPCSTR, LPVOID context)
{
    RawDevice device = {guid != nullptr, GUID_NULL, description ? description : ""};
    if (guid)
        device.guid = *guid;
    static_cast<std::vector<RawDevice>*>(context)->push_back(device);
    return TRUE;
}

// Every device DirectSound reports, the primary one included.
std::vector<RawDevice> EnumerateAll()
{
    std::vector<RawDevice> devices;
    EXPECT_EQ(DirectSoundCaptureEnumerateA(CollectDevice, &devices), DS_OK);
    return devices;
}

std::vector<RawDevice> WithGuid(const std::vector<RawDevice>& all)
{
    std::vector<RawDevice> listed;
    for (const RawDevice& d : all)
        if (d.hasGuid)
            listed.push_back(d);
    return listed;
}

// Sources of the environment's shared server, which the test process uses.
int SharedSourceCount()
{
    const UnixResult r = RunUnix("pactl list short sources | wc -l");
    EXPECT_EQ(r.status, 0) << r.output;
    return std::atoi(r.output.c_str());
}

// A private server with `count` null sinks at 48000 Hz.
std::vector<NullSink> Sinks(int count)
{
    std::vector<NullSink> sinks;
    for (int i = 1; i <= count; ++i)
        sinks.push_back({"tavrel_test_" + std::to_string(i), 48000, "TavrelTest" + std::to_string(i)});
    return sinks;
}

const char kChildVariable[] = "TAVREL_CAPTURE_DEVICE_CHILD";

// In the child: the devices DirectSound reports now, and the list built from
// them. The expected number of devices with an identifier comes from the
// parent.
class FreshProcessList : public ::testing::Test {
public:
    void TestBody() override
    {
        char value[16] = {};
        GetEnvironmentVariableA(kChildVariable, value, sizeof(value));
        const size_t expected = std::strtoul(value, nullptr, 10);
        CoInitialize(nullptr);
        const std::vector<RawDevice> all = EnumerateAll();
        ASSERT_FALSE(all.empty());
        EXPECT_FALSE(all[0].hasGuid);
        const std::vector<RawDevice> listed = WithGuid(all);
        ASSERT_EQ(listed.size(), expected);

        g_Settings.m_iCurrentAudioDriver = 0;
        EXPECT_EQ(OpenCaptureDevice(), S_OK);
        const int count = expected < 16 ? static_cast<int>(expected) : 16;
        ASSERT_EQ(GetCaptureDeviceCount(), count);
        for (int i = 0; i < count; ++i) {
            SCOPED_TRACE(i);
            EXPECT_TRUE(IsEqualGUID(GetCaptureDeviceSlot(i)->guid, listed[i].guid));
            EXPECT_EQ(GetCaptureDeviceDescription(i), listed[i].description);
        }
        EXPECT_STREQ(GetCaptureDeviceDescription(0), "PulseAudio");
        EXPECT_TRUE(HasCaptureObject());
        ReleaseCaptureObjects();
        CoUninitialize();
    }
};

// The child's one test exists only in the child.
const bool childTestRegistered = [] {
    if (GetEnvironmentVariableA(kChildVariable, nullptr, 0) == 0)
        return false;
    ::testing::RegisterTest("CaptureDeviceChild", "ListsTheServersSources", nullptr, nullptr, __FILE__,
                            __LINE__, []() -> ::testing::Test* { return new FreshProcessList; });
    return true;
}();

// The Unix path of this program, through Wine's own conversion.
std::string OwnUnixPath()
{
    typedef char*(CDECL * ToUnix)(LPCWSTR);
    const ToUnix toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    WCHAR exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    char* unixPath = toUnix ? toUnix(exe) : nullptr;
    const std::string path = unixPath ? unixPath : "";
    if (unixPath)
        HeapFree(GetProcessHeap(), 0, unixPath);
    return path;
}

// Runs this program again as a child on the given PulseAudio server, to check
// the list against `expectedDevices`; returns its exit status, showing its
// output on failure. The child is started from the shell: a Windows child
// would take its parent's Unix environment, PULSE_SERVER included.
int RunChild(const std::string& pulseServer, int expectedDevices)
{
    const std::string exe = OwnUnixPath();
    EXPECT_FALSE(exe.empty());
    const UnixResult r = RunUnix(std::string("export ") + kChildVariable + "=" +
                                     std::to_string(expectedDevices) +
                                     " PULSE_SERVER=" + ShellQuote(pulseServer) + "\n"
                                     "exec \"${WINE:-wine64}\" " + ShellQuote(exe) +
                                     " --gtest_brief=1 --gtest_filter=CaptureDeviceChild.*",
                                 60000);
    // The child ran its test, not nothing.
    EXPECT_NE(r.output.find("1 test"), std::string::npos) << r.output;
    EXPECT_EQ(r.status, 0) << r.output;
    return r.status;
}

class CaptureDevices : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }
    static void TearDownTestSuite() { CoUninitialize(); }
    void SetUp() override { g_Settings.m_iCurrentAudioDriver = 0; }
    void TearDown() override { ReleaseCaptureObjects(); }
};

TEST_F(CaptureDevices, OneNullSinkGivesTheDefaultEntryAndItsMonitor)
{
    ASSERT_EQ(SharedSourceCount(), 1) << "the environment's server has one null sink";
    const std::vector<RawDevice> all = EnumerateAll();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_FALSE(all[0].hasGuid) << "the primary device comes first, with no identifier";

    EXPECT_EQ(OpenCaptureDevice(), S_OK);
    ASSERT_EQ(GetCaptureDeviceCount(), 2);
    EXPECT_STREQ(GetCaptureDeviceDescription(0), "PulseAudio");
    EXPECT_STREQ(GetCaptureDeviceDescription(1), all[2].description.c_str());
    EXPECT_NE(std::string(GetCaptureDeviceDescription(1)).find("TavrelLine"), std::string::npos);
    for (int i = 0; i < 2; ++i)
        EXPECT_FALSE(IsEqualGUID(GetCaptureDeviceSlot(i)->guid, GUID_NULL)) << i;
    EXPECT_EQ(GetCaptureDeviceDescription(2), nullptr);
    EXPECT_EQ(GetCaptureDeviceDescription(-1), nullptr);

    EXPECT_TRUE(HasCaptureObject());
    EXPECT_TRUE(IsEqualGUID(GetSelectedCaptureDevice(), GetCaptureDeviceSlot(0)->guid));
}

TEST_F(CaptureDevices, TheChosenSlotIsOpenedAndAnIndexOutsideTheListFallsBackToSlotZero)
{
    g_Settings.m_iCurrentAudioDriver = 1;
    ASSERT_EQ(OpenCaptureDevice(), S_OK);
    EXPECT_TRUE(IsEqualGUID(GetSelectedCaptureDevice(), GetCaptureDeviceSlot(1)->guid));
    EXPECT_EQ(g_Settings.m_iCurrentAudioDriver, 1);

    const int outside[] = {2, 15, 16, 1000000, -1, -2147483647 - 1};
    for (int index : outside) {
        SCOPED_TRACE(index);
        g_Settings.m_iCurrentAudioDriver = index;
        EXPECT_EQ(OpenCaptureDevice(), S_OK);
        EXPECT_TRUE(IsEqualGUID(GetSelectedCaptureDevice(), GetCaptureDeviceSlot(0)->guid));
        EXPECT_EQ(g_Settings.m_iCurrentAudioDriver, 0);
        EXPECT_TRUE(HasCaptureObject());
    }
}

TEST_F(CaptureDevices, OfTwentySourcesOnlyTheFirstSixteenAreListed)
{
    PrivatePulse pulse;
    ASSERT_TRUE(pulse.Start(Sinks(20)));
    // "PulseAudio" and one device per source: 21 after the primary device.
    EXPECT_EQ(RunChild(pulse.Server(), 21), 0);
}

TEST_F(CaptureDevices, AfterSourcesAreRemovedTheListIsRebuiltSmaller)
{
    PrivatePulse pulse;
    ASSERT_TRUE(pulse.Start(Sinks(5)));
    EXPECT_EQ(RunChild(pulse.Server(), 6), 0);
    for (int i = 2; i <= 5; ++i)
        ASSERT_TRUE(pulse.UnloadSink("tavrel_test_" + std::to_string(i)));
    EXPECT_EQ(RunChild(pulse.Server(), 2), 0);
}

TEST_F(CaptureDevices, ReopeningWithFewerDevicesShrinksTheCountAndLeavesStaleSlots)
{
    ASSERT_EQ(OpenCaptureDevice(), S_OK);
    ASSERT_EQ(GetCaptureDeviceCount(), 2);
    // An earlier enumeration that found 16 devices.
    for (int i = 2; i < 16; ++i) {
        GUID stale = {0x5ca1ab1e, 0, 0, {0, 0, 0, 0, 0, 0, 0, static_cast<unsigned char>(i)}};
        const std::string name = "stale " + std::to_string(i);
        EXPECT_TRUE(AddCaptureDevice(&stale, name.c_str(), "stale.dll", nullptr));
    }
    ASSERT_EQ(GetCaptureDeviceCount(), 16);
    GUID seventeenth = {0x5ca1ab1e, 0, 0, {0, 0, 0, 0, 0, 0, 0, 17}};
    EXPECT_FALSE(AddCaptureDevice(&seventeenth, "x", "y", nullptr)) << "a full list ends the enumeration";
    EXPECT_TRUE(AddCaptureDevice(nullptr, "Primary", "", nullptr)) << "the primary device is passed over";
    EXPECT_EQ(GetCaptureDeviceCount(), 16);
    std::vector<CaptureDeviceEntry> before(16);
    for (int i = 0; i < 16; ++i)
        before[i] = *GetCaptureDeviceSlot(i);

    // The device chosen then, slot 15, is past the new count.
    g_Settings.m_iCurrentAudioDriver = 15;
    ASSERT_EQ(OpenCaptureDevice(), S_OK);
    EXPECT_EQ(GetCaptureDeviceCount(), 2);
    EXPECT_EQ(g_Settings.m_iCurrentAudioDriver, 0);
    EXPECT_TRUE(IsEqualGUID(GetSelectedCaptureDevice(), GetCaptureDeviceSlot(0)->guid));
    EXPECT_TRUE(HasCaptureObject());
    for (int i = 2; i < 16; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(std::memcmp(GetCaptureDeviceSlot(i), &before[i], sizeof(CaptureDeviceEntry)), 0);
    }
    EXPECT_STREQ(GetCaptureDeviceSlot(15)->description, "stale 15");
    EXPECT_EQ(GetCaptureDeviceDescription(15), nullptr);
}

TEST_F(CaptureDevices, AFailedCreationLeavesNoCaptureObjectAndNoGeometry)
{
    // A capture object with a finished capture behind it.
    auto* fake = new FakeDirectSoundCapture;
    g_pDirectSoundCapture = fake;
    g_Settings.m_iSamplingRate = 48000;
    ASSERT_EQ(SwitchCapture(true), S_OK);
    ASSERT_EQ(SwitchCapture(false), S_OK);
    ASSERT_EQ(GetNotificationSize(), 1600u);

    // No device has this identifier.
    const GUID nowhere = {0x7a0e1f3b, 0x51c2, 0x4d0e, {0x9b, 0x1a, 0x22, 0x5e, 0x61, 0x0f, 0x3d, 0x44}};
    EXPECT_TRUE(FAILED(CreateCaptureObject(&nowhere)));
    EXPECT_FALSE(HasCaptureObject());
    EXPECT_EQ(fake->refs, 0) << "the earlier capture object was released";
    EXPECT_EQ(GetNotificationSize(), 0u);
    EXPECT_EQ(GetCaptureBufferSize(), 0u);
    delete fake;

    // And a real device opens.
    EXPECT_EQ(CreateCaptureObject(&GUID_NULL), S_OK);
    EXPECT_TRUE(HasCaptureObject());
}

}  // namespace
