// SPDX-License-Identifier: MIT
// zelmorctl: the command-line companion of the configurator.
#include "CliCommands.h"

#include <QCoreApplication>

#include <algorithm>
#include <iostream>

using namespace zelmor::cli;

namespace {

std::vector<TCliCommand> AllCommands() {
    std::vector<TCliCommand> all;
    for (auto group : {FileCommands, PortCommands, DeviceCommands}) {
        auto commands = group();
        all.insert(all.end(), commands.begin(), commands.end());
    }
    return all;
}

void PrintUsage(std::ostream& out, const std::vector<TCliCommand>& commands) {
    out << "Usage: zelmorctl [--port PORT] COMMAND [ARGUMENTS]\n\n"
           "Commands:\n";
    for (const auto& command : commands)
        out << "  " << command.Name << ' ' << command.Usage << "\n      " << command.Summary << '\n';
    out << "\nGlobal options:\n"
           "  --port PORT  the adapter's serial port: a device path, or a name under /dev\n"
           "  --help       this text\n\n"
           "Exit status: 0 success, 1 the operation failed, 2 usage error.\n";
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const auto commands = AllCommands();
    std::vector<std::string> args(argv + 1, argv + argc);

    TCliContext context{std::cout, std::cerr, std::nullopt};
    std::size_t i = 0;
    for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
        if (args[i] == "--help") {
            PrintUsage(std::cout, commands);
            return ExitOk;
        }
        if (args[i] == "--port" && i + 1 < args.size()) {
            context.Port = args[++i];
            continue;
        }
        std::cerr << "zelmorctl: unknown or incomplete option " << args[i] << "\n\n";
        PrintUsage(std::cerr, commands);
        return ExitUsage;
    }
    if (i == args.size()) {
        PrintUsage(std::cerr, commands);
        return ExitUsage;
    }
    const std::string name = args[i];
    for (const auto& command : commands) {
        if (command.Name != name)
            continue;
        if (std::find(args.begin() + i + 1, args.end(), "--help") != args.end()) {
            std::cout << "Usage: zelmorctl " << name << ' ' << command.Usage << "\n    " << command.Summary
                      << '\n';
            return ExitOk;
        }
        try {
            return command.Run(std::vector<std::string>(args.begin() + i + 1, args.end()), context);
        } catch (const TUsageError& error) {
            std::cerr << "zelmorctl " << name << ": " << error.what() << "\nUsage: zelmorctl " << name << ' '
                      << command.Usage << '\n';
            return ExitUsage;
        }
    }
    std::cerr << "zelmorctl: unknown command " << name << "\n\n";
    PrintUsage(std::cerr, commands);
    return ExitUsage;
}
