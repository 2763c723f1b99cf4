// SPDX-License-Identifier: MIT
// The pieces every zelmorctl command shares: its description, its parsed arguments and its outcome.
#pragma once

#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zelmor::cli {

enum TExitCode : int { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

// Raised while reading a command's arguments; zelmorctl prints the message and the usage, exit 2.
struct TUsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Arguments after the command name: positionals in order, and "--name value" or "--flag" options.
class TCliArgs {
public:
    // ValueOptions and FlagOptions name the options the command accepts (without "--").
    TCliArgs(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
             const std::vector<std::string>& flagOptions);

    const std::vector<std::string>& Positionals() const { return FPositionals; }
    // Requires exactly Count positionals.
    void ExpectPositionals(std::size_t count) const;
    std::optional<std::string> Value(const std::string& option) const;
    // The option as a whole number in [Min, Max]; a malformed number is a usage error.
    std::optional<long long> IntValue(const std::string& option, long long min, long long max) const;
    bool Flag(const std::string& option) const;

private:
    std::vector<std::string> FPositionals;
    std::map<std::string, std::string> FValues;
    std::vector<std::string> FFlags;
};

// What a command needs from the outside: its streams and the global options.
struct TCliContext {
    std::ostream& Out;
    std::ostream& Err;
    std::optional<std::string> Port; // --port, for the commands that talk to an adapter
};

struct TCliCommand {
    std::string Name;
    std::string Usage;   // arguments after the name, as shown in the usage text
    std::string Summary; // one line for --help
    std::function<int(const std::vector<std::string>& args, TCliContext& context)> Run;
};

} // namespace zelmor::cli
