// SPDX-License-Identifier: MIT
// How a port name, as a user types it or a scan reports it, becomes the device path that is opened.
#pragma once

#include <string>

namespace zelmor {

// A name containing a slash is a path and is used as given ("/dev/ttyACM0", "./pty"); a bare name
// such as "ttyACM0" means the node of that name in DevRoot. An empty name stays empty.
std::string DevicePathForPort(const std::string& portName, const std::string& devRoot = "/dev");

} // namespace zelmor
