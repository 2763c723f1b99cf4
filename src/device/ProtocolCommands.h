// SPDX-License-Identifier: MIT
// The command lines the host sends to the adapter: an asterisk, an upper-case keyword, an optional
// decimal parameter, CR LF.
#pragma once

#include <string>
#include <string_view>

namespace zelmor::cmd {

inline constexpr std::string_view GetProfSet = "*GETPROFSET\r\n";
inline constexpr std::string_view ProfSet = "*PROFSET\r\n";
inline constexpr std::string_view GetProfSetList = "*GETPROFSETLIST\r\n";
inline constexpr std::string_view SysInfo = "*SYSINFO\r\n";
inline constexpr std::string_view NvsInfo = "*NVSINFO\r\n";
inline constexpr std::string_view Identify = "*D\r\n";
inline constexpr std::string_view ButtonOk = "*BTN0\r\n";
inline constexpr std::string_view ButtonUp = "*BTN1\r\n";
inline constexpr std::string_view ButtonDown = "*BTN2\r\n";
inline constexpr std::string_view AppRestart = "*APP_RESTART\r\n";
inline constexpr std::string_view AppFactoryReset = "*APP_FACTORYRESET\r\n";
inline constexpr std::string_view AppUpdate = "*APP_UPDATE\r\n";
inline constexpr std::string_view VncUpdate = "*VNC_UPDATE\r\n";

// Device languages: 0 English, 1 German, 2 French, 3 Spanish.
inline std::string SetLang(int language) {
    return "*SETLANG " + std::to_string(language) + "\r\n";
}
inline std::string SetProfSet(int id) {
    return "*SETPROFSET " + std::to_string(id) + "\r\n";
}
// Profile index, zero-based; -1 when nothing is selected.
inline std::string Load(int profileIndex) {
    return "*LOAD" + std::to_string(profileIndex) + "\r\n";
}
// Switch index 0-7.
inline std::string Switch(int switchIndex) {
    return "*SW" + std::to_string(switchIndex) + "\r\n";
}

} // namespace zelmor::cmd
