// SPDX-License-Identifier: MIT
// zelmorctl commands about the adapter's serial ports.
#include "CliCommands.h"

#include "link/PortDiscovery.h"

#include <ostream>

namespace zelmor::cli {

std::vector<TCliCommand> PortCommands() {
    return {
        {"ports", "", "list the serial ports of connected adapters (USB 3C6A:7B25) that can be opened now",
         [](const std::vector<std::string>& args, TCliContext& context) {
             TCliArgs(args, {}, {}).ExpectPositionals(0);
             for (const std::string& port : FindPortsByVidPid(AdapterVid, AdapterPid))
                 context.Out << port << '\n';
             return static_cast<int>(ExitOk);
         }},
    };
}

} // namespace zelmor::cli
