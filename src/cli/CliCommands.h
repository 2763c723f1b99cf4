// SPDX-License-Identifier: MIT
// The groups of zelmorctl commands; main() lists them in this order.
#pragma once

#include "CliCommand.h"

namespace zelmor::cli {

std::vector<TCliCommand> FileCommands();
std::vector<TCliCommand> PortCommands();
std::vector<TCliCommand> DeviceCommands();

} // namespace zelmor::cli
