// SPDX-License-Identifier: MIT
#include "PortPath.h"

namespace zelmor {

std::string DevicePathForPort(const std::string& portName, const std::string& devRoot) {
    if (portName.empty() || portName.find('/') != std::string::npos)
        return portName;
    return devRoot + '/' + portName;
}

} // namespace zelmor
