// SPDX-License-Identifier: MIT
#include "DeviceRegistry.h"

#include "VirtualAdapters.h"

namespace zelmor {

TMergedDeviceRegistry::TMergedDeviceRegistry(std::vector<std::shared_ptr<const TDeviceRegistry>> parts)
    : FParts(std::move(parts)) {}

std::vector<TSerialDeviceEntry> TMergedDeviceRegistry::UsbSerialPorts() const {
    std::vector<TSerialDeviceEntry> all;
    for (const auto& part : FParts) {
        auto entries = part->UsbSerialPorts();
        all.insert(all.end(), entries.begin(), entries.end());
    }
    return all;
}

std::vector<std::string> TMergedDeviceRegistry::SerialPorts() const {
    std::vector<std::string> all;
    for (const auto& part : FParts) {
        auto ports = part->SerialPorts();
        all.insert(all.end(), ports.begin(), ports.end());
    }
    return all;
}

std::shared_ptr<const TDeviceRegistry> SystemDeviceRegistry() {
    return std::make_shared<TMergedDeviceRegistry>(std::vector<std::shared_ptr<const TDeviceRegistry>>{
        PlatformDeviceRegistry(), std::make_shared<TVirtualAdapterRegistry>(VirtualAdapterFolder())});
}

} // namespace zelmor
