// SPDX-License-Identifier: MIT
// The emulated adapter's end of a pseudo-terminal. The other end (the slave device, /dev/pts/N) is
// the serial port that the configurator opens; closing this end is an unplug.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zelmor::emu {

enum class TPtyRead {
    Data,   // bytes were read
    Nothing // nothing arrived in time
};

class TPseudoTerminal {
public:
    TPseudoTerminal() = default;
    ~TPseudoTerminal();
    TPseudoTerminal(const TPseudoTerminal&) = delete;
    TPseudoTerminal& operator=(const TPseudoTerminal&) = delete;

    // Creates a new pseudo-terminal in raw mode; raises std::system_error when that fails.
    void Open();
    void Close();
    bool IsOpen() const { return FMaster >= 0; }
    // Path of the slave device, such as /dev/pts/7.
    const std::string& PortPath() const { return FPortPath; }

    // Waits at most TimeoutMs for bytes from the host or for Wake to become readable; returns the
    // number of bytes read into Buffer (0 when none came, or when no host has the port open: the
    // wait then sleeps in short steps, since a closed slave side reports a hang-up continuously).
    // Returns true in Woken when the wake descriptor became readable.
    std::size_t Read(std::uint8_t* buffer, std::size_t size, int timeoutMs, int wakeFd, bool& woken);
    // Writes all Size bytes, waiting for room at most TimeoutMs in all. Returns the number written;
    // bytes for a host that has the port closed are still queued by the terminal.
    std::size_t Write(const std::uint8_t* data, std::size_t size, int timeoutMs);

private:
    int FMaster = -1;
    std::string FPortPath;
};

} // namespace zelmor::emu
