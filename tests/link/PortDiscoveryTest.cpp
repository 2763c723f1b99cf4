// SPDX-License-Identifier: MIT
// Port discovery over fake sysfs trees and virtual adapters, with real pseudo-terminals as ports.
#include "FakeSysfs.h"
#include "LinkTestSupport.h"

#include "link/PortDiscovery.h"
#include "link/PortPath.h"
#include "link/SerialPortHelper.h"
#include "link/VirtualAdapters.h"
#include "link/linux/SysfsDeviceRegistry.h"

using namespace zelmor;
using namespace zelmor::test;

namespace {

using TPorts = std::vector<std::string>;

class PortDiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override { App(); }

    std::string Dev(const std::string& name) const { return Tree.DevRoot() + "/" + name; }

    TFakeSysfs Tree;
    TSysfsDeviceRegistry Registry{Tree.SysRoot(), Tree.DevRoot()};
    TPty PtyA, PtyB, PtyC;
};

} // namespace

TEST_F(PortDiscoveryTest, FindsOpenablePortsOfTheIdentityInNaturalOrder) {
    Tree.AddTty("ttyACM10", Tree.AddUsbDevice("1-2", "3c6a", "7b25", "ZMX-2"), PtyB.SlavePath());
    Tree.AddTty("ttyACM2", Tree.AddUsbDevice("1-1", "3C6A", "7B25"), PtyA.SlavePath());
    Tree.AddTty("ttyACM3", Tree.AddUsbDevice("1-3", "3c6a", "7b26", "BOOT"), PtyC.SlavePath());

    const auto entries = Registry.UsbSerialPorts();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], (TSerialDeviceEntry{"USB", "VID_3C6A&PID_7B25", "1-1", Dev("ttyACM2")}));
    EXPECT_EQ(entries[1], (TSerialDeviceEntry{"USB", "VID_3C6A&PID_7B26", "BOOT", Dev("ttyACM3")}));
    EXPECT_EQ(entries[2], (TSerialDeviceEntry{"USB", "VID_3C6A&PID_7B25", "ZMX-2", Dev("ttyACM10")}));

    EXPECT_EQ(FindPortsByVidPid("3C6A", "7B25", Registry), (TPorts{Dev("ttyACM2"), Dev("ttyACM10")}));
    EXPECT_EQ(FindPortsByVidPid("3C6A", "7B26", Registry), (TPorts{Dev("ttyACM3")})) << "the boot loader";
    EXPECT_EQ(FindPortsByVidPid("3C6B", "7B25", Registry), TPorts{});
}

TEST_F(PortDiscoveryTest, PortsHeldOpenAreLeftOutUntilClosed) {
    Tree.AddTty("ttyACM0", Tree.AddUsbDevice("1-1", "3c6a", "7b25"), PtyA.SlavePath());
    Tree.AddTty("ttyACM1", Tree.AddUsbDevice("1-2", "3c6a", "7b25"), PtyB.SlavePath());
    TSerialPortHelper holder;
    holder.SetPortName(Dev("ttyACM0"));
    ASSERT_TRUE(holder.OpenPort());
    EXPECT_EQ(FindPortsByVidPid("3C6A", "7B25", Registry), (TPorts{Dev("ttyACM1")}));
    holder.ClosePort();
    EXPECT_EQ(FindPortsByVidPid("3C6A", "7B25", Registry), (TPorts{Dev("ttyACM0"), Dev("ttyACM1")}));
}

TEST_F(PortDiscoveryTest, DevicesWithoutAUsablePortAreNotListed) {
    Tree.AddUsbDevice("1-1", "3c6a", "7b25");                             // no tty at all
    Tree.AddTty("ttyACM0", Tree.AddUsbDevice("1-2", "3c6a", "7b25"), ""); // no device node
    Tree.AddTty("ttyS0", Tree.SysRoot() + "/devices/platform/serial8250", PtyA.SlavePath(), false); // not USB
    Tree.AddTty("tty1", "", ""); // no device link

    EXPECT_EQ(Registry.UsbSerialPorts().size(), 1u);
    EXPECT_EQ(FindPortsByVidPid("3C6A", "7B25", Registry), TPorts{});
    EXPECT_EQ(ListSerialPortNames(Registry), (TPorts{Dev("ttyACM0"), Dev("ttyS0")}));
}

TEST_F(PortDiscoveryTest, SerialNumbersCannotBreakTheInterfacePath) {
    Tree.AddTty("ttyACM0", Tree.AddUsbDevice("1-1", "3c6a", "7b25", "A#B\\C D"), PtyA.SlavePath());
    const auto entries = Registry.UsbSerialPorts();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Instance, "A_B_C_D");
    EXPECT_EQ(PortNameFromDevicePath(CanonicalInterfacePath(entries[0]), Registry), Dev("ttyACM0"));
}

TEST_F(PortDiscoveryTest, InterfacePathsLeadToTheirPort) {
    Tree.AddTty("ttyACM0", Tree.AddUsbDevice("1-1", "3c6a", "7b25", "ZMX0001"), PtyA.SlavePath());
    const std::string canonical =
        "\\\\?\\USB#VID_3C6A&PID_7B25#ZMX0001#{86E0D1E0-8089-11D0-9CE4-08003E301F73}";
    ASSERT_EQ(CanonicalInterfacePath(Registry.UsbSerialPorts().at(0)), canonical);

    const std::pair<std::string, std::string> cases[] = {
        {canonical, Dev("ttyACM0")},
        {"\\\\?\\usb#vid_3c6a&pid_7b25#zmx0001#{a5dcbf10-6530-11d2-901f-00c04fb951ed}", Dev("ttyACM0")},
        {"\\\\?\\USB#VID_3C6A&PID_7B25#OTHER#{86E0D1E0-8089-11D0-9CE4-08003E301F73}", ""},
        {"\\\\?\\USB#VID_3C6A&PID_7B25", ""},
        {"ttyACM0", ""},
        {"", ""},
    };
    for (const auto& [path, port] : cases)
        EXPECT_EQ(PortNameFromDevicePath(path, Registry), port) << path;
}

TEST(HexIdAfter, ReadsFourHexDigitsAfterTheKey) {
    const std::string path = "\\\\?\\USB#VID_3C6A&PID_7B25#ZMX0001#{86E0D1E0-8089-11D0-9CE4-08003E301F73}";
    const std::tuple<std::string, std::string, int> cases[] = {
        {"VID_", path, 0x3C6A},
        {"PID_", path, 0x7B25},
        {"VID_", "vid_3c6a&pid_7b25", 0}, // the key is case-sensitive; "_3c6" is not hex
        {"VID_", "#VID_3c6a", 0x3C6A},    // the digits are not
        {"PID_", "PID_7B", 0x7B},         // fewer digits at the end
        {"PID_", "PID_", 0},              // none
        {"PID_", "PID_7G25", 0},          // not hexadecimal
        {"VID_", "12345678", 0x4567},     // missing key: the four from position 4, counting from 1
        {"", "1234", 0x1234},
    };
    for (const auto& [key, text, expected] : cases)
        EXPECT_EQ(HexIdAfter(key, text), expected) << key << " in " << text;
}

TEST(DevicePathForPort, BareNamesAreUnderDevAndPathsStay) {
    const std::pair<std::string, std::string> cases[] = {
        {"ttyACM0", "/dev/ttyACM0"}, {"/dev/pts/7", "/dev/pts/7"}, {"./port", "./port"}, {"", ""}};
    for (const auto& [name, path] : cases)
        EXPECT_EQ(DevicePathForPort(name), path);
    EXPECT_EQ(DevicePathForPort("ttyACM0", "/tmp/dev"), "/tmp/dev/ttyACM0");
}

TEST_F(PortDiscoveryTest, VirtualAdaptersMergeIntoTheScan) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/virtual-adapters";
    Tree.AddTty("ttyACM0", Tree.AddUsbDevice("1-1", "3c6a", "7b25"), PtyA.SlavePath());
    RegisterVirtualAdapter({"3c6a", "7b25", "EMU0001", PtyB.SlavePath()}, folder);
    RegisterVirtualAdapter({"3C6A", "7B25", "EMU0002", "/dev/pts/zelmor-gone"}, folder);
    const TMergedDeviceRegistry merged(
        {std::make_shared<TSysfsDeviceRegistry>(Tree.SysRoot(), Tree.DevRoot()),
         std::make_shared<TVirtualAdapterRegistry>(folder)});

    EXPECT_EQ(FindPortsByVidPid("3C6A", "7B25", merged), (TPorts{Dev("ttyACM0"), PtyB.SlavePath()}));
    EXPECT_EQ(ListSerialPortNames(merged), (TPorts{Dev("ttyACM0"), PtyB.SlavePath()}));
    EXPECT_EQ(PortNameFromDevicePath(
                  "\\\\?\\USB#VID_3C6A&PID_7B25#EMU0001#{86E0D1E0-8089-11D0-9CE4-08003E301F73}", merged),
              PtyB.SlavePath());
}
