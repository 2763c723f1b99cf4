// SPDX-License-Identifier: MIT
#include "ComponentUSB.h"

#include "PortDiscovery.h"
#include "VirtualAdapters.h"

#include <QtGlobal>

#include <algorithm>

namespace zelmor {
namespace {

TUsbWatchSettings SystemSettings() {
    return {SystemDeviceRegistry(), VirtualAdapterFolder(), true, 1000};
}

bool Contains(const std::vector<TSerialDeviceEntry>& entries, const TSerialDeviceEntry& entry) {
    return std::find(entries.begin(), entries.end(), entry) != entries.end();
}

} // namespace

TComponentUSB::TComponentUSB(QObject* parent) : TComponentUSB(SystemSettings(), parent) {}

TComponentUSB::TComponentUSB(TUsbWatchSettings settings, QObject* parent)
    : QObject(parent), FSettings(std::move(settings)), FErrorHandler([](const std::exception& error) {
          qWarning("USB event handler failed: %s", error.what());
      }) {
    FSnapshot = FSettings.Registry->UsbSerialPorts();
    if (FSettings.UsePlatformWatcher)
        FPlatformWatcher = CreatePlatformDeviceWatcher();
    if (FPlatformWatcher)
        connect(FPlatformWatcher.get(), &TDeviceWatcher::DeviceTreeChanged, this, [this] { Rescan(true); });
    if (!FSettings.VirtualAdapterFolder.empty() &&
        PrepareVirtualAdapterFolder(FSettings.VirtualAdapterFolder)) {
        FFolderWatcher.addPath(QString::fromStdString(FSettings.VirtualAdapterFolder));
        connect(&FFolderWatcher, &QFileSystemWatcher::directoryChanged, this, [this] { Rescan(false); });
    }
    connect(&FRescanTimer, &QTimer::timeout, this, [this] { Rescan(false); });
    if (FSettings.RescanIntervalMs > 0 && !(FPlatformWatcher && FPlatformWatcher->IsLive()))
        FRescanTimer.start(FSettings.RescanIntervalMs);
}

TComponentUSB::~TComponentUSB() = default;

void TComponentUSB::Rescan(bool treeChanged) {
    std::vector<TSerialDeviceEntry> current = FSettings.Registry->UsbSerialPorts();
    std::vector<TSerialDeviceEntry> removed;
    std::vector<TSerialDeviceEntry> arrived;
    for (const auto& entry : FSnapshot) {
        if (!Contains(current, entry))
            removed.push_back(entry);
    }
    for (const auto& entry : current) {
        if (!Contains(FSnapshot, entry))
            arrived.push_back(entry);
    }
    FSnapshot = std::move(current);
    for (const auto& entry : removed)
        Raise(&TComponentUSB::OnUSBRemove, CanonicalInterfacePath(entry));
    for (const auto& entry : arrived)
        Raise(&TComponentUSB::OnUSBArrival, CanonicalInterfacePath(entry));
    if (treeChanged || !removed.empty() || !arrived.empty())
        Raise(&TComponentUSB::OnUSBArrival, std::string());
}

void TComponentUSB::Raise(void (TComponentUSB::*event)(TComponentUSB*, const std::string&),
                          const std::string& port) {
    try {
        Q_EMIT(this->*event)(this, port);
    } catch (const std::exception& error) {
        FErrorHandler(error);
    }
}

} // namespace zelmor
