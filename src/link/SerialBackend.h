// SPDX-License-Identifier: MIT
// The operating system's side of one serial port. TSerialPortHelper holds the port's logic (states,
// notifications, link-lost handling); a backend only performs the calls. Tests may replace it.
#pragma once

#include "PortOpenError.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace zelmor {

enum TParity : std::uint8_t { paNone, paOdd, paEven };
enum TStopBits : std::uint8_t { sbOne, sbTwo };

// Always 8 data bits and no flow control; these are the settings that vary.
struct TLineSettings {
    int BaudRate = 115200;
    TParity Parity = paNone;
    TStopBits StopBits = sbOne;
};

// Raised when the port refuses line settings; the message is the text shown to the user, such as
// "SetCommState failed: Invalid argument".
struct TSerialSettingsError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class TIoStatus {
    Ok,       // Count bytes were transferred (possibly 0)
    LinkLost, // the device has gone (unplugged, hung up, descriptor invalid)
    Failed    // any other failure; the port may still work
};

struct TIoResult {
    TIoStatus Status = TIoStatus::Ok;
    int Count = 0;
};

// Contract: one backend serves one port at a time and is used from one thread at a time. Nothing
// raises except ApplyLineSettings. Calls other than Open, IsOpen and Close require an open port.
class TSerialBackend {
public:
    virtual ~TSerialBackend() = default;

    // Opens Path for reading and writing, exclusively: while it is open no other program and no other
    // backend object can open it. Returns Kind None on success; on failure the backend stays closed.
    virtual TPortOpenError Open(const std::string& path) = 0;
    virtual bool IsOpen() const = 0;
    // Releases the port; does nothing when closed. Never fails.
    virtual void Close() = 0;

    // Discards buffered input and output.
    virtual void Purge() = 0;
    // Raw mode with 8 data bits, no flow control, the given speed, parity and stop bits.
    // Raises TSerialSettingsError.
    virtual void ApplyLineSettings(const TLineSettings& settings) = 0;
    // Asserts (true) or drops (false) DTR, then RTS; ignored where the device has no modem lines.
    virtual void SetModemLines(bool asserted) = 0;

    // Returns at once with what is buffered, at most Size bytes; Count 0 when nothing is.
    virtual TIoResult Read(std::uint8_t* buffer, std::size_t size) = 0;
    // Writes up to Size bytes, waiting at most TimeoutMs for the device to accept them; Count is what
    // was accepted, fewer than Size when the time ran out.
    virtual TIoResult Write(const std::uint8_t* data, std::size_t size, int timeoutMs) = 0;
    // Sleeps until bytes can be read or the device reports a hang-up or error (both true), or until
    // TimeoutMs has passed (false). Never spins.
    virtual bool WaitReadable(int timeoutMs) = 0;
    // Waits until the driver has sent everything written, at most TimeoutMs.
    virtual void Drain(int timeoutMs) = 0;
};

// The platform's backend (termios on POSIX systems).
std::unique_ptr<TSerialBackend> CreateSerialBackend();

} // namespace zelmor
