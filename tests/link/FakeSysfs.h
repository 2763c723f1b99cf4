// SPDX-License-Identifier: MIT
// A fake device tree laid out as Linux sysfs lays out USB serial devices, with a /dev folder whose
// nodes link to real pseudo-terminals, so that ports can really be opened.
#pragma once

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <string>

namespace zelmor::test {

class TFakeSysfs {
public:
    TFakeSysfs() {
        std::filesystem::create_directories(SysRoot() + "/class/tty");
        std::filesystem::create_directories(DevRoot());
    }

    std::string SysRoot() const { return FDir.path().toStdString() + "/sys"; }
    std::string DevRoot() const { return FDir.path().toStdString() + "/dev"; }

    // A USB device such as "1-1" with its identity attributes (an empty serial: none); its folder.
    std::string AddUsbDevice(const std::string& name, const std::string& vid, const std::string& pid,
                             const std::string& serial = {}) {
        const std::string folder = SysRoot() + "/devices/pci0000:00/usb1/" + name;
        std::filesystem::create_directories(folder);
        Write(folder + "/idVendor", vid + "\n");
        Write(folder + "/idProduct", pid + "\n");
        if (!serial.empty())
            Write(folder + "/serial", serial + "\n");
        return folder;
    }

    // A tty whose device is Parent (its interface :1.0 for a USB device; none when Parent is empty),
    // with a device node linking to Node (none when Node is empty).
    void AddTty(const std::string& name, const std::string& parent, const std::string& node,
                bool usbInterface = true) {
        std::string device = parent.empty() ? SysRoot() + "/devices/virtual" : parent;
        if (!parent.empty() && usbInterface)
            device += "/" + std::filesystem::path(parent).filename().string() + ":1.0";
        const std::string ttyFolder = device + "/tty/" + name;
        std::filesystem::create_directories(ttyFolder);
        if (!parent.empty())
            std::filesystem::create_directory_symlink(device, ttyFolder + "/device");
        std::filesystem::create_directory_symlink(ttyFolder, SysRoot() + "/class/tty/" + name);
        if (!node.empty())
            std::filesystem::create_symlink(node, DevRoot() + "/" + name);
    }

    // The unplug as the kernel shows it: the tty and its node vanish.
    void RemoveTty(const std::string& name) {
        std::filesystem::remove(SysRoot() + "/class/tty/" + name);
        std::filesystem::remove(DevRoot() + "/" + name);
    }

private:
    static void Write(const std::string& file, const std::string& text) { std::ofstream(file) << text; }

    QTemporaryDir FDir;
};

} // namespace zelmor::test
