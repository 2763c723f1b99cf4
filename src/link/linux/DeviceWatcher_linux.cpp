// SPDX-License-Identifier: MIT
// Hot-plug on Linux: a libudev monitor on the "udev" source for the tty and usb subsystems, read
// through a QSocketNotifier. Events from that source come after udev has run its rules, so the
// device node and its permissions are in place when the rescan looks.
#include "DeviceWatcher.h"

#include <QSocketNotifier>

#include <libudev.h>
#include <unistd.h>

namespace zelmor {
namespace {

class TUdevDeviceWatcher final : public TDeviceWatcher {
public:
    TUdevDeviceWatcher(udev* context, udev_monitor* monitor)
        : FUdev(context), FMonitor(monitor), FNotifier(udev_monitor_get_fd(monitor), QSocketNotifier::Read) {
        connect(&FNotifier, &QSocketNotifier::activated, this, &TUdevDeviceWatcher::Drain);
    }

    ~TUdevDeviceWatcher() override {
        FNotifier.setEnabled(false);
        udev_monitor_unref(FMonitor);
        udev_unref(FUdev);
    }

    // The udev daemon announces itself with its control socket; without it nothing is sent.
    bool IsLive() const override { return ::access("/run/udev/control", F_OK) == 0; }

private:
    void Drain() {
        bool any = false;
        while (udev_device* device = udev_monitor_receive_device(FMonitor)) {
            udev_device_unref(device);
            any = true;
        }
        if (any)
            Q_EMIT DeviceTreeChanged();
    }

    udev* FUdev;
    udev_monitor* FMonitor;
    QSocketNotifier FNotifier;
};

} // namespace

std::unique_ptr<TDeviceWatcher> CreatePlatformDeviceWatcher() {
    udev* context = udev_new();
    if (context == nullptr)
        return nullptr;
    udev_monitor* monitor = udev_monitor_new_from_netlink(context, "udev");
    if (monitor == nullptr || udev_monitor_filter_add_match_subsystem_devtype(monitor, "tty", nullptr) < 0 ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor, "usb", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        if (monitor != nullptr)
            udev_monitor_unref(monitor);
        udev_unref(context);
        return nullptr;
    }
    return std::make_unique<TUdevDeviceWatcher>(context, monitor);
}

} // namespace zelmor
