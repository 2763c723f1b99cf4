// SPDX-License-Identifier: MIT
#include "CliCommands.h"

namespace zelmor::cli {

std::vector<TCliCommand> FileCommands() { return {}; }

} // namespace zelmor::cli
