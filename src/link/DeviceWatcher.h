// SPDX-License-Identifier: MIT
// The platform's hot-plug source: tells that devices came or went, without saying which; the device
// watcher rescans to find out.
#pragma once

#include <QObject>

#include <memory>

namespace zelmor {

// Contract: DeviceTreeChanged is emitted on the thread the object lives in, once per batch of
// system events, after the system has finished setting the devices up (device nodes exist, rules
// have run). Owned by its creator.
class TDeviceWatcher : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    // Whether events will actually arrive; false where nothing feeds the source (no udev daemon).
    virtual bool IsLive() const = 0;

Q_SIGNALS:
    void DeviceTreeChanged();
};

// The platform's watcher for serial ports and USB devices (a libudev monitor on Linux), or null
// when it cannot be set up. Platform file.
std::unique_ptr<TDeviceWatcher> CreatePlatformDeviceWatcher();

} // namespace zelmor
