// SPDX-License-Identifier: MIT
// Finding the adapter's serial port by its USB identity, and reading the canonical device-interface
// paths that the device watcher reports:
//   \\?\USB#VID_3C6A&PID_7B25#<instance>#{86E0D1E0-8089-11D0-9CE4-08003E301F73}
#pragma once

#include "DeviceRegistry.h"

#include <string>
#include <vector>

namespace zelmor {

// USB identities of the adapter: application mode, and its boot loader (firmware update).
inline constexpr const char* AdapterVid = "3C6A";
inline constexpr const char* AdapterPid = "7B25";
inline constexpr const char* BootloaderPid = "7B26";

// The interface class of serial ports, the last part of a canonical path.
inline constexpr const char* ComPortInterfaceClass = "{86E0D1E0-8089-11D0-9CE4-08003E301F73}";

// The device paths of the ports whose identity, upper-cased, contains "VID_" + Vid and "PID_" + Pid
// (pass the digits in upper case) and that could be opened exclusively at the moment of the scan, in
// scan order. A port held open elsewhere, by this program too, is left out.
std::vector<std::string> FindPortsByVidPid(const std::string& vid, const std::string& pid,
                                           const TDeviceRegistry& registry);
std::vector<std::string> FindPortsByVidPid(const std::string& vid, const std::string& pid);

// The port of the device a canonical interface path names, or empty (fewer than three '#'-separated
// parts, or no such device now). Bus, identity and instance compare without regard to case.
std::string PortNameFromDevicePath(const std::string& path, const TDeviceRegistry& registry);
std::string PortNameFromDevicePath(const std::string& path);

// The up to four hexadecimal digits after the first occurrence of Key in Path (case-sensitive) as a
// number; 0 when they do not convert. When Key does not occur, the up to four characters that start
// at the character position equal to Key's length (counting from 1) are converted instead.
int HexIdAfter(const std::string& key, const std::string& path);

// Every serial port present, as device paths, in scan order: the device tree, then virtual adapters.
std::vector<std::string> ListSerialPortNames(const TDeviceRegistry& registry);
std::vector<std::string> ListSerialPortNames();

// The canonical interface path of a port, as the watcher reports it.
std::string CanonicalInterfacePath(const TSerialDeviceEntry& entry);

} // namespace zelmor
