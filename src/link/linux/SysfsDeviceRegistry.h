// SPDX-License-Identifier: MIT
// The Linux device tree as a device registry: every tty in <sys>/class/tty with a "device" link is a
// serial port; walking up from that device to the first folder with idVendor and idProduct finds
// its USB device. The roots are parameters so that tests can build a fake tree.
#pragma once

#include "link/DeviceRegistry.h"

#include <string>

namespace zelmor {

class TSysfsDeviceRegistry final : public TDeviceRegistry {
public:
    explicit TSysfsDeviceRegistry(std::string sysRoot = "/sys", std::string devRoot = "/dev");

    // Identity from idVendor/idProduct in upper case; instance the USB serial number when the device
    // has one (characters that would break a canonical path become '_'), else the USB device's folder
    // name such as 1-1.2; port <dev>/<tty name>. In natural order of the tty names.
    std::vector<TSerialDeviceEntry> UsbSerialPorts() const override;
    std::vector<std::string> SerialPorts() const override;

private:
    std::vector<std::string> TtyNames() const;

    std::string FSysRoot;
    std::string FDevRoot;
};

} // namespace zelmor
