// SPDX-License-Identifier: MIT
// What the adapter tells about itself: the firmware of its main controller, its USB-host chip and
// the use of its profile store.
#pragma once

#include "NvsInfo.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zelmor {

struct TSemVer {
    std::int32_t Maj = 0;
    std::int32_t Min = 0;
    std::int32_t Pat = 0;
};

struct TNRFCpuInfo {
    std::string AppVersion;
    TSemVer AppSemVer;
    std::string BuildType;
    std::string BuildTime;
    std::string BuildStamp; // YYYYMMDDhhmm
    std::string MCUboot;
    std::int32_t ProfileFormat = 0;
};

struct TVNC2Info {
    bool Present = false;
    std::int32_t Maj = 0;
    std::int32_t Min = 0;
};

struct TDeviceSysInfo {
    TNRFCpuInfo NRFCpu;
    TVNC2Info VNC2;
    TNvsInfo Nvs;

    // Every string empty, every number and flag 0 or false.
    static TDeviceSysInfo Empty() { return {}; }
};

// Raised when the system-information JSON lacks the "nrfcpu" or "vnc2" object.
struct TSysInfoParseError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Reads the JSON text of a system-information reply. Text that is no JSON gives the empty record;
// valid JSON without the two objects raises TSysInfoParseError. Members are read leniently; Nvs stays
// empty.
TDeviceSysInfo ParseSysInfo(std::string_view json);

} // namespace zelmor
