// SPDX-License-Identifier: MIT
// The system's list of serial devices, as port discovery and the device watcher read it. Backends:
// the kernel's device tree (sysfs on Linux) and the virtual adapters registered by the emulator.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace zelmor {

// One serial port that belongs to a USB device.
struct TSerialDeviceEntry {
    std::string Bus;      // "USB"
    std::string Identity; // "VID_3C6A&PID_7B25", hexadecimal digits in upper case
    std::string Instance; // the device's serial number, or its name in the device tree
    std::string Port;     // the port's device path, such as /dev/ttyACM0

    bool operator==(const TSerialDeviceEntry&) const = default;
};

// Contract: answers describe the moment of the call; nothing is cached, nothing raises (unreadable
// parts of the system are skipped), and the lists come in a stable order: the scan order.
class TDeviceRegistry {
public:
    virtual ~TDeviceRegistry() = default;
    // The serial ports of USB devices; a USB device without a port is not listed.
    virtual std::vector<TSerialDeviceEntry> UsbSerialPorts() const = 0;
    // The device paths of all serial ports present, USB or not.
    virtual std::vector<std::string> SerialPorts() const = 0;
};

// Several registries read as one, in the order given.
class TMergedDeviceRegistry final : public TDeviceRegistry {
public:
    explicit TMergedDeviceRegistry(std::vector<std::shared_ptr<const TDeviceRegistry>> parts);
    std::vector<TSerialDeviceEntry> UsbSerialPorts() const override;
    std::vector<std::string> SerialPorts() const override;

private:
    std::vector<std::shared_ptr<const TDeviceRegistry>> FParts;
};

// The platform's device tree (sysfs at /sys with nodes in /dev on Linux).
std::shared_ptr<const TDeviceRegistry> PlatformDeviceRegistry();
// The platform's device tree merged with the virtual adapters of the current user.
std::shared_ptr<const TDeviceRegistry> SystemDeviceRegistry();

} // namespace zelmor
