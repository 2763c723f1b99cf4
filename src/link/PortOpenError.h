// SPDX-License-Identifier: MIT
// Why a serial port could not be opened, and what the user can do about it.
#pragma once

#include <string>

namespace zelmor {

enum class TOpenFailure {
    None,         // the port opened
    NotFound,     // no such device (never there, or unplugged)
    AccessDenied, // the user may not open the device node
    Busy,         // another program, or another part of this one, holds the port
    Settings,     // the device opened but refused the line settings
    Other
};

struct TPortOpenError {
    TOpenFailure Kind = TOpenFailure::None;
    int SystemError = 0; // errno of the failing call, 0 when not known
    std::string Path;    // the device path that was opened
    std::string Detail;  // the system's text for the failure
};

// One user-facing sentence or two: what went wrong with which port and how to fix it. For a denied
// access this names the udev rule and the dialout group; for a busy port, ModemManager.
std::string PortOpenErrorText(const TPortOpenError& error);

} // namespace zelmor
