// SPDX-License-Identifier: MIT
#include "SysInfo.h"

#include "ReplyText.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace zelmor {

namespace {

using TJson = nlohmann::ordered_json;

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The lenient reading of a device's JSON: a member of the wrong kind gives the default rather than an
// error, except that a fractional number where an integer belongs is refused.
std::string StringMember(const TJson& object, const char* name) {
    const auto it = object.find(name);
    if (it == object.end() || it->is_null())
        return {};
    if (it->is_string())
        return it->get<std::string>();
    return it->dump();
}

std::int32_t IntMember(const TJson& object, const char* name) {
    const auto it = object.find(name);
    if (it == object.end())
        return 0;
    if (it->is_boolean())
        return it->get<bool>() ? 1 : 0;
    if (it->is_number_float())
        throw TSysInfoParseError(std::string("\"") + name + "\" is not an integer");
    if (it->is_number_unsigned())
        return static_cast<std::int32_t>(it->get<std::uint64_t>());
    if (it->is_number_integer())
        return static_cast<std::int32_t>(it->get<std::int64_t>());
    if (it->is_string())
        return replytext::DecimalInt32(it->get<std::string>()).value_or(0);
    return 0;
}

bool BoolMember(const TJson& object, const char* name) {
    const auto it = object.find(name);
    if (it == object.end())
        return false;
    if (it->is_boolean())
        return it->get<bool>();
    if (it->is_number())
        return it->get<double>() != 0;
    if (it->is_string()) {
        const auto text = LowerCase(it->get<std::string>());
        return text == "true" || text == "1";
    }
    return false;
}

const TJson* ObjectMember(const TJson& root, const char* name) {
    if (!root.is_object())
        return nullptr;
    const auto it = root.find(name);
    return it != root.end() && it->is_object() ? &*it : nullptr;
}

} // namespace

TDeviceSysInfo ParseSysInfo(std::string_view json) {
    auto info = TDeviceSysInfo::Empty();
    const auto root = TJson::parse(json.begin(), json.end(), nullptr, false);
    if (root.is_discarded())
        return info;
    const TJson* cpu = ObjectMember(root, "nrfcpu");
    const TJson* vnc2 = ObjectMember(root, "vnc2");
    if (cpu == nullptr || vnc2 == nullptr)
        throw TSysInfoParseError("\"nrfcpu\" and \"vnc2\" must be objects");

    auto& nrf = info.NRFCpu;
    nrf.AppVersion = StringMember(*cpu, "app_version");
    if (const TJson* semver = ObjectMember(*cpu, "app_semver")) {
        nrf.AppSemVer.Maj = IntMember(*semver, "maj");
        nrf.AppSemVer.Min = IntMember(*semver, "min");
        nrf.AppSemVer.Pat = IntMember(*semver, "pat");
    }
    nrf.BuildType = StringMember(*cpu, "build_type");
    nrf.BuildTime = StringMember(*cpu, "build_time");
    nrf.BuildStamp = StringMember(*cpu, "build_stamp");
    nrf.MCUboot = StringMember(*cpu, "mcuboot");
    nrf.ProfileFormat = IntMember(*cpu, "profile_format");

    info.VNC2.Present = BoolMember(*vnc2, "present");
    info.VNC2.Maj = IntMember(*vnc2, "maj");
    info.VNC2.Min = IntMember(*vnc2, "min");
    return info;
}

} // namespace zelmor
