// SPDX-License-Identifier: MIT
#include "SysInfo.h"

#include "model/JsonRead.h"
#include "model/JsonText.h"

namespace zelmor {

namespace {

std::int32_t Int32Member(const TJson& object, const char* name) {
    return static_cast<std::int32_t>(ReadInt(object, name, 0));
}

TDeviceSysInfo ReadSysInfo(const TJson& root) {
    auto info = TDeviceSysInfo::Empty();
    const TJson* cpu = root.is_object() ? ReadObj(root, "nrfcpu") : nullptr;
    const TJson* vnc2 = root.is_object() ? ReadObj(root, "vnc2") : nullptr;
    if (cpu == nullptr || vnc2 == nullptr)
        throw TSysInfoParseError("\"nrfcpu\" and \"vnc2\" must be objects");

    auto& nrf = info.NRFCpu;
    nrf.AppVersion = ReadStr(*cpu, "app_version", "");
    if (const TJson* semver = ReadObj(*cpu, "app_semver")) {
        nrf.AppSemVer.Maj = Int32Member(*semver, "maj");
        nrf.AppSemVer.Min = Int32Member(*semver, "min");
        nrf.AppSemVer.Pat = Int32Member(*semver, "pat");
    }
    nrf.BuildType = ReadStr(*cpu, "build_type", "");
    nrf.BuildTime = ReadStr(*cpu, "build_time", "");
    nrf.BuildStamp = ReadStr(*cpu, "build_stamp", "");
    nrf.MCUboot = ReadStr(*cpu, "mcuboot", "");
    nrf.ProfileFormat = Int32Member(*cpu, "profile_format");

    info.VNC2.Present = ReadBool(*vnc2, "present", false);
    info.VNC2.Maj = Int32Member(*vnc2, "maj");
    info.VNC2.Min = Int32Member(*vnc2, "min");
    return info;
}

} // namespace

TDeviceSysInfo ParseSysInfo(std::string_view json) {
    const TJson root = ParseJson(std::string(json));
    if (root.is_discarded())
        return TDeviceSysInfo::Empty();
    try {
        return ReadSysInfo(root);
    } catch (const TJsonError& error) {
        throw TSysInfoParseError(error.what());
    }
}

} // namespace zelmor
