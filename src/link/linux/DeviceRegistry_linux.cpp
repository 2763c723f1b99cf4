// SPDX-License-Identifier: MIT
#include "linux/SysfsDeviceRegistry.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <tuple>

namespace zelmor {
namespace {

namespace fs = std::filesystem;

// The first line of a sysfs attribute file, without surrounding white space.
std::optional<std::string> ReadAttribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line))
        return std::nullopt;
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return std::string();
    return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

// '#' separates the parts of an interface path and '\' its prefix; spaces and controls make bad names.
std::string InstanceText(std::string text) {
    for (char& c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '#' || c == '\\' || c == '/' || u <= ' ' || u == 0x7F)
            c = '_';
    }
    return text;
}

// "ttyACM2" before "ttyACM10": names compare by their text before the trailing number, then by it.
bool NaturalLess(const std::string& a, const std::string& b) {
    const auto split = [](const std::string& name) {
        std::size_t digits = name.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1])))
            --digits;
        const std::string number = name.substr(digits);
        return std::tuple(name.substr(0, digits), number.size(), number);
    };
    return split(a) < split(b);
}

} // namespace

TSysfsDeviceRegistry::TSysfsDeviceRegistry(std::string sysRoot, std::string devRoot)
    : FSysRoot(std::move(sysRoot)), FDevRoot(std::move(devRoot)) {}

std::vector<std::string> TSysfsDeviceRegistry::TtyNames() const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(fs::path(FSysRoot) / "class" / "tty", error)) {
        if (fs::exists(item.path() / "device", error))
            names.push_back(item.path().filename().string());
    }
    std::sort(names.begin(), names.end(), NaturalLess);
    return names;
}

std::vector<TSerialDeviceEntry> TSysfsDeviceRegistry::UsbSerialPorts() const {
    std::vector<TSerialDeviceEntry> entries;
    std::error_code error;
    const fs::path sysRoot = fs::weakly_canonical(FSysRoot, error);
    for (const std::string& name : TtyNames()) {
        fs::path device = fs::canonical(fs::path(FSysRoot) / "class" / "tty" / name / "device", error);
        if (error)
            continue;
        // Up the tree from the port's interface to the USB device, never out of the sysfs root.
        for (; device.has_relative_path() && device != sysRoot && device != device.parent_path();
             device = device.parent_path()) {
            const auto vendor = ReadAttribute(device / "idVendor");
            const auto product = ReadAttribute(device / "idProduct");
            if (!vendor || !product)
                continue;
            const auto serial = ReadAttribute(device / "serial");
            const std::string instance = serial && !serial->empty() ? *serial : device.filename().string();
            entries.push_back({"USB", "VID_" + Upper(*vendor) + "&PID_" + Upper(*product),
                               InstanceText(instance), FDevRoot + '/' + name});
            break;
        }
    }
    return entries;
}

std::vector<std::string> TSysfsDeviceRegistry::SerialPorts() const {
    std::vector<std::string> ports;
    for (const std::string& name : TtyNames())
        ports.push_back(FDevRoot + '/' + name);
    return ports;
}

std::shared_ptr<const TDeviceRegistry> PlatformDeviceRegistry() {
    return std::make_shared<TSysfsDeviceRegistry>();
}

} // namespace zelmor
