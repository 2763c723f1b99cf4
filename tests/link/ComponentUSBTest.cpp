// SPDX-License-Identifier: MIT
// The device watcher's events from the virtual-adapter folder and from the rescan that stands in
// where no udev daemon runs.
#include "FakeSysfs.h"
#include "LinkTestSupport.h"

#include "link/ComponentUSB.h"
#include "link/PortDiscovery.h"
#include "link/VirtualAdapters.h"
#include "link/linux/SysfsDeviceRegistry.h"

#include <QTemporaryDir>

using namespace zelmor;
using namespace zelmor::test;

namespace {

// Every event in order: "+path" for an arrival, "-path" for a removal.
struct TUsbEvents {
    explicit TUsbEvents(TComponentUSB& watcher) {
        QObject::connect(&watcher, &TComponentUSB::OnUSBArrival, &watcher,
                         [this](TComponentUSB*, const std::string& port) { Log.push_back("+" + port); });
        QObject::connect(&watcher, &TComponentUSB::OnUSBRemove, &watcher,
                         [this](TComponentUSB*, const std::string& port) { Log.push_back("-" + port); });
    }
    std::vector<std::string> Log;
};

const std::string ComClass = "{86E0D1E0-8089-11D0-9CE4-08003E301F73}";

std::string PathOf(const std::string& identity, const std::string& instance) {
    return "\\\\?\\USB#" + identity + "#" + instance + "#" + ComClass;
}

} // namespace

TEST(ComponentUSB, VirtualAdapterRegistrationsArePlugAndUnplug) {
    App();
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/zelmormx/virtual-adapters";
    TPty pty;
    auto registry = std::make_shared<TVirtualAdapterRegistry>(folder);
    // No rescan: the folder watch alone must deliver these.
    TComponentUSB watcher({registry, folder, false, 0});
    EXPECT_FALSE(watcher.IsRescanning());
    TUsbEvents events(watcher);

    RegisterVirtualAdapter({"3C6A", "7B25", "EMU0001", pty.SlavePath()}, folder);
    const std::string path = PathOf("VID_3C6A&PID_7B25", "EMU0001");
    ASSERT_TRUE(WaitUntil([&] { return events.Log.size() >= 2; }));
    EXPECT_EQ(events.Log, (std::vector<std::string>{"+" + path, "+"}));
    EXPECT_EQ(PortNameFromDevicePath(path, *registry), pty.SlavePath());
    EXPECT_EQ(HexIdAfter("VID_", path), 0x3C6A);
    EXPECT_EQ(HexIdAfter("PID_", path), 0x7B25);

    // A restart into the boot loader: the application port goes, the boot loader's comes.
    events.Log.clear();
    RegisterVirtualAdapter({"3C6A", "7B26", "EMU0001", pty.SlavePath()}, folder);
    ASSERT_TRUE(WaitUntil([&] { return events.Log.size() >= 3; }));
    EXPECT_EQ(events.Log,
              (std::vector<std::string>{"-" + path, "+" + PathOf("VID_3C6A&PID_7B26", "EMU0001"), "+"}));

    events.Log.clear();
    UnregisterVirtualAdapter("EMU0001", folder);
    ASSERT_TRUE(WaitUntil([&] { return events.Log.size() >= 2; }));
    EXPECT_EQ(events.Log, (std::vector<std::string>{"-" + PathOf("VID_3C6A&PID_7B26", "EMU0001"), "+"}));
}

TEST(ComponentUSB, RescanReportsDifferencesWhereNoUdevDaemonRuns) {
    App();
    TFakeSysfs tree;
    TPty present, plugged;
    tree.AddTty("ttyACM0", tree.AddUsbDevice("1-1", "3c6a", "7b25", "OLD"), present.SlavePath());
    const auto registry = std::make_shared<TSysfsDeviceRegistry>(tree.SysRoot(), tree.DevRoot());
    TComponentUSB watcher({registry, "", false, 50});
    EXPECT_TRUE(watcher.IsRescanning());
    TUsbEvents events(watcher);

    const std::string usb = tree.AddUsbDevice("1-2", "3c6a", "7b25", "NEW");
    WaitUntil([] { return false; }, 150);
    EXPECT_TRUE(events.Log.empty()) << "present ports and portless devices are not reported";

    tree.AddTty("ttyACM1", usb, plugged.SlavePath());
    ASSERT_TRUE(WaitUntil([&] { return events.Log.size() >= 2; }, 2000));
    EXPECT_EQ(events.Log, (std::vector<std::string>{"+" + PathOf("VID_3C6A&PID_7B25", "NEW"), "+"}));
    EXPECT_EQ(PortNameFromDevicePath(events.Log[0].substr(1), *registry), tree.DevRoot() + "/ttyACM1");

    events.Log.clear();
    tree.RemoveTty("ttyACM0");
    ASSERT_TRUE(WaitUntil([&] { return events.Log.size() >= 2; }, 2000));
    EXPECT_EQ(events.Log, (std::vector<std::string>{"-" + PathOf("VID_3C6A&PID_7B25", "OLD"), "+"}));
    WaitUntil([] { return false; }, 150);
    EXPECT_EQ(events.Log.size(), 2u) << "an unchanged tree raises nothing";
}

TEST(ComponentUSB, RescanNoticesAnEmulatorThatDiedWithoutUnregistering) {
    App();
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/virtual-adapters";
    auto pty = std::make_unique<TPty>();
    RegisterVirtualAdapter({"3C6A", "7B25", "EMU0001", pty->SlavePath()}, folder);
    TComponentUSB watcher({std::make_shared<TVirtualAdapterRegistry>(folder), folder, false, 50});
    TUsbEvents events(watcher);

    pty.reset(); // the pseudo-terminal vanishes with its master side
    ASSERT_TRUE(WaitUntil([&] { return events.Log.size() >= 2; }, 2000));
    EXPECT_EQ(events.Log, (std::vector<std::string>{"-" + PathOf("VID_3C6A&PID_7B25", "EMU0001"), "+"}));
}

TEST(ComponentUSB, AFailingHandlerIsReportedAndLaterEventsFollow) {
    App();
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/virtual-adapters";
    TPty pty;
    TComponentUSB watcher({std::make_shared<TVirtualAdapterRegistry>(folder), folder, false, 0});
    std::vector<std::string> errors;
    watcher.SetErrorHandler([&errors](const std::exception& error) { errors.push_back(error.what()); });
    QObject::connect(&watcher, &TComponentUSB::OnUSBArrival, &watcher,
                     [](TComponentUSB*, const std::string& port) {
                         if (!port.empty())
                             throw std::runtime_error("handler failed");
                     });
    TUsbEvents events(watcher);

    RegisterVirtualAdapter({"3C6A", "7B25", "EMU0001", pty.SlavePath()}, folder);
    ASSERT_TRUE(WaitUntil([&] { return events.Log.size() >= 1; }));
    EXPECT_EQ(errors, (std::vector<std::string>{"handler failed"}));
    EXPECT_EQ(events.Log, (std::vector<std::string>{"+"})) << "the tree-changed event still follows";
}

TEST(ComponentUSB, SystemWatcherStartsWithOrWithoutUdev) {
    App();
    QTemporaryDir runtime;
    ::setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
    TComponentUSB watcher;
    // Where the udev daemon runs, libudev delivers; elsewhere the one-second rescan stands in.
    EXPECT_EQ(watcher.IsRescanning(), !std::filesystem::exists("/run/udev/control"));
}
