// SPDX-License-Identifier: MIT
// TComponentUSB: reports serial ports of USB devices, and virtual adapters, as they arrive or go away.
#pragma once

#include "DeviceRegistry.h"
#include "DeviceWatcher.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zelmor {

struct TUsbWatchSettings {
    std::shared_ptr<const TDeviceRegistry> Registry; // what is compared before and after a change
    std::string VirtualAdapterFolder;                // watched for registrations; empty: not watched
    bool UsePlatformWatcher = true;                  // the libudev monitor on Linux
    int RescanIntervalMs = 1000; // rescan period where no platform watcher delivers events; 0: never
};

// Each event names a port by its canonical interface path (see PortDiscovery.h), so HexIdAfter and
// PortNameFromDevicePath work on it:
// - OnUSBArrival(path) for a port that appeared, OnUSBRemove(path) for one that went away (the path
//   it had on arrival), removals before arrivals;
// - OnUSBArrival("") when the device tree has changed: after every platform hot-plug event and after
//   every rescan that found a difference.
// Sources: the platform watcher (libudev), the virtual-adapter folder, and, where the platform
// watcher is missing or nothing feeds it (no udev daemon: containers, CI), a periodic rescan.
// Ports present at construction are not reported. Events are raised on the thread the component
// lives in (the main thread), inside the handling of the system event.
class TComponentUSB : public QObject {
    Q_OBJECT

public:
    // The system registry, the user's virtual-adapter folder, libudev, a one-second fallback rescan.
    explicit TComponentUSB(QObject* parent = nullptr);
    TComponentUSB(TUsbWatchSettings settings, QObject* parent = nullptr);
    ~TComponentUSB() override;

    // Whether the periodic rescan stands in for a platform watcher.
    bool IsRescanning() const { return FRescanTimer.isActive(); }
    // An exception that leaves an event handler ends here instead of in the event loop; by default
    // it is logged as a warning.
    void SetErrorHandler(std::function<void(const std::exception&)> handler) {
        FErrorHandler = std::move(handler);
    }

Q_SIGNALS:
    void OnUSBArrival(zelmor::TComponentUSB* sender, const std::string& port);
    void OnUSBRemove(zelmor::TComponentUSB* sender, const std::string& port);

private:
    void Rescan(bool treeChanged);
    void Raise(void (TComponentUSB::*event)(TComponentUSB*, const std::string&), const std::string& port);

    TUsbWatchSettings FSettings;
    std::vector<TSerialDeviceEntry> FSnapshot;
    std::unique_ptr<TDeviceWatcher> FPlatformWatcher;
    QFileSystemWatcher FFolderWatcher;
    QTimer FRescanTimer;
    std::function<void(const std::exception&)> FErrorHandler;
};

} // namespace zelmor
