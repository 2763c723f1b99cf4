// SPDX-License-Identifier: MIT
#include "PortDiscovery.h"

#include "SerialBackend.h"

#include <algorithm>
#include <cctype>

namespace zelmor {
namespace {

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

bool SameText(const std::string& a, const std::string& b) {
    return Upper(a) == Upper(b);
}

// Whether nobody holds the port: it opens exclusively, and is closed again at once.
bool CanOpenExclusively(const std::string& port) {
    const auto backend = CreateSerialBackend();
    const bool opened = backend->Open(port).Kind == TOpenFailure::None;
    backend->Close();
    return opened;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

} // namespace

std::vector<std::string> FindPortsByVidPid(const std::string& vid, const std::string& pid,
                                           const TDeviceRegistry& registry) {
    std::vector<std::string> ports;
    for (const TSerialDeviceEntry& entry : registry.UsbSerialPorts()) {
        const std::string identity = Upper(entry.Identity);
        if (identity.find("VID_" + vid) == std::string::npos ||
            identity.find("PID_" + pid) == std::string::npos)
            continue;
        if (!entry.Port.empty() && CanOpenExclusively(entry.Port))
            ports.push_back(entry.Port);
    }
    return ports;
}

std::vector<std::string> FindPortsByVidPid(const std::string& vid, const std::string& pid) {
    return FindPortsByVidPid(vid, pid, *SystemDeviceRegistry());
}

std::string PortNameFromDevicePath(const std::string& path, const TDeviceRegistry& registry) {
    const auto parts = Split(path, '#');
    if (parts.size() <= 2)
        return {};
    const std::size_t prefix = parts[0].find("?\\");
    const std::string bus = prefix == std::string::npos ? parts[0] : parts[0].substr(prefix + 2);
    for (const TSerialDeviceEntry& entry : registry.UsbSerialPorts()) {
        if (SameText(entry.Bus, bus) && SameText(entry.Identity, parts[1]) &&
            SameText(entry.Instance, parts[2]))
            return entry.Port;
    }
    return {};
}

std::string PortNameFromDevicePath(const std::string& path) {
    return PortNameFromDevicePath(path, *SystemDeviceRegistry());
}

int HexIdAfter(const std::string& key, const std::string& path) {
    const std::size_t found = path.find(key);
    const std::size_t start =
        found != std::string::npos ? found + key.size() : (key.empty() ? 0 : key.size() - 1);
    if (start >= path.size())
        return 0;
    const std::string digits = path.substr(start, 4);
    if (!std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isxdigit(c) != 0; }))
        return 0;
    return std::stoi(digits, nullptr, 16);
}

std::vector<std::string> ListSerialPortNames(const TDeviceRegistry& registry) {
    return registry.SerialPorts();
}

std::vector<std::string> ListSerialPortNames() {
    return ListSerialPortNames(*SystemDeviceRegistry());
}

std::string CanonicalInterfacePath(const TSerialDeviceEntry& entry) {
    return "\\\\?\\" + entry.Bus + '#' + entry.Identity + '#' + entry.Instance + '#' + ComPortInterfaceClass;
}

} // namespace zelmor
