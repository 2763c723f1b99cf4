// SPDX-License-Identifier: MIT
// Whether the adapter's firmware is one this configurator can work with.
#pragma once

#include "SysInfo.h"

#include <optional>
#include <string>

namespace zelmor {

constexpr TSemVer MinimumFirmware{1, 1, 7};
constexpr std::int32_t ExpectedProfileFormat = 2;

// The user-facing reason why the firmware cannot be used (too old, or another profile format), or
// nothing when it is compatible.
std::optional<std::string> FirmwareIncompatibility(const TNRFCpuInfo& cpu);

} // namespace zelmor
