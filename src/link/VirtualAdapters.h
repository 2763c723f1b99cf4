// SPDX-License-Identifier: MIT
// Virtual adapters: emulated adapters on pseudo-terminals that take part in port discovery and the
// device watcher like USB hardware. Each one is a JSON file in a folder private to the user:
//   {"vid":"3C6A","pid":"7B25","instance":"EMU0001","port":"/dev/pts/7"}
// Creating the file is a plug-in, removing it an unplug.
#pragma once

#include "DeviceRegistry.h"

#include <string>
#include <vector>

namespace zelmor {

struct TVirtualAdapter {
    std::string Vid;      // four hexadecimal digits, stored in upper case
    std::string Pid;      // four hexadecimal digits, stored in upper case
    std::string Instance; // letters, digits, '-', '_' and '.', not starting with '.'; names the file
    std::string Port;     // absolute device path of the adapter's side, such as /dev/pts/7

    bool operator==(const TVirtualAdapter&) const = default;
};

// $XDG_RUNTIME_DIR/zelmormx/virtual-adapters, or /tmp/zelmormx-<uid>/virtual-adapters without it.
std::string VirtualAdapterFolder();

// Writes <Folder>/<Instance>.json atomically (a complete file appears at once), creating the folder
// private to the user; replaces an earlier registration of the same instance. Raises
// std::runtime_error for malformed fields, a folder that is not private to the user, or a failed write.
void RegisterVirtualAdapter(const TVirtualAdapter& adapter,
                            const std::string& folder = VirtualAdapterFolder());
// Removes the registration of Instance; nothing happens when there is none.
void UnregisterVirtualAdapter(const std::string& instance,
                              const std::string& folder = VirtualAdapterFolder());
// The registrations in file-name order. Malformed files, and every file when the folder is missing
// or not private to the user, are skipped.
std::vector<TVirtualAdapter> ListVirtualAdapters(const std::string& folder = VirtualAdapterFolder());

// The registered virtual adapters whose port exists, as USB serial ports.
class TVirtualAdapterRegistry final : public TDeviceRegistry {
public:
    explicit TVirtualAdapterRegistry(std::string folder) : FFolder(std::move(folder)) {}
    std::vector<TSerialDeviceEntry> UsbSerialPorts() const override;
    std::vector<std::string> SerialPorts() const override;

private:
    std::string FFolder;
};

// Creates Folder and its parent where missing, private to the user; true when Folder is then private.
bool PrepareVirtualAdapterFolder(const std::string& folder);

// True when Path and its parent folder are real folders (not links) owned by the current user and
// writable by nobody else. Platform file.
bool IsPrivateFolder(const std::string& path);

} // namespace zelmor
