// SPDX-License-Identifier: MIT
#include "PortOpenError.h"

namespace zelmor {

std::string PortOpenErrorText(const TPortOpenError& error) {
    const std::string& path = error.Path;
    switch (error.Kind) {
    case TOpenFailure::None:
        return {};
    case TOpenFailure::NotFound:
        return path + " does not exist. Is the Zelmor MX plugged in?";
    case TOpenFailure::AccessDenied:
        return "No permission to open " + path +
               ". Install the Zelmor MX udev rule (70-zelmormx.rules, see the Linux notes) and plug the "
               "adapter in again, or add your user to the dialout group (sudo usermod -aG dialout $USER) "
               "and log in again.";
    case TOpenFailure::Busy:
        return path +
               " is in use by another program, for example ModemManager or a terminal program. Close "
               "that program; the Zelmor MX udev rule (70-zelmormx.rules) tells ModemManager to leave the "
               "adapter alone.";
    case TOpenFailure::Settings:
        return "Cannot set up " + path + ": " + error.Detail;
    case TOpenFailure::Other:
        break;
    }
    return "Cannot open " + path + ": " + error.Detail;
}

} // namespace zelmor
