// SPDX-License-Identifier: MIT
#include "FirmwareCompatibility.h"

#include <tuple>

namespace zelmor {

std::optional<std::string> FirmwareIncompatibility(const TNRFCpuInfo& cpu) {
    const auto& v = cpu.AppSemVer;
    if (std::tie(v.Maj, v.Min, v.Pat) <
        std::tie(MinimumFirmware.Maj, MinimumFirmware.Min, MinimumFirmware.Pat))
        return "Device firmware too old. Please install version " + std::to_string(MinimumFirmware.Maj) +
               "." + std::to_string(MinimumFirmware.Min) + "." + std::to_string(MinimumFirmware.Pat) +
               " or newer and reconnect.";
    if (cpu.ProfileFormat != ExpectedProfileFormat)
        return "Incompatible profile format. Device=" + std::to_string(cpu.ProfileFormat) +
               ", App expects=" + std::to_string(ExpectedProfileFormat) + ". Please update firmware or app.";
    return std::nullopt;
}

} // namespace zelmor
