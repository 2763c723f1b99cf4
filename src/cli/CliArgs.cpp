// SPDX-License-Identifier: MIT
#include "CliCommand.h"

#include <algorithm>
#include <charconv>

namespace zelmor::cli {

namespace {
bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}
} // namespace

TCliArgs::TCliArgs(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
                   const std::vector<std::string>& flagOptions) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 3 || arg.rfind("--", 0) != 0) {
            FPositionals.push_back(arg);
            continue;
        }
        const std::string name = arg.substr(2);
        if (Contains(flagOptions, name)) {
            FFlags.push_back(name);
        } else if (Contains(valueOptions, name)) {
            if (i + 1 >= args.size())
                throw TUsageError("option " + arg + " needs a value");
            FValues[name] = args[++i];
        } else {
            throw TUsageError("unknown option " + arg);
        }
    }
}

void TCliArgs::ExpectPositionals(std::size_t count) const {
    if (FPositionals.size() != count)
        throw TUsageError("expected " + std::to_string(count) + " argument(s), got " +
                          std::to_string(FPositionals.size()));
}

std::optional<std::string> TCliArgs::Value(const std::string& option) const {
    auto it = FValues.find(option);
    if (it == FValues.end())
        return std::nullopt;
    return it->second;
}

std::optional<long long> TCliArgs::IntValue(const std::string& option, long long min, long long max) const {
    auto text = Value(option);
    if (!text)
        return std::nullopt;
    long long value = 0;
    auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size() || value < min || value > max)
        throw TUsageError("--" + option + " needs a whole number from " + std::to_string(min) + " to " +
                          std::to_string(max));
    return value;
}

bool TCliArgs::Flag(const std::string& option) const {
    return Contains(FFlags, option);
}

} // namespace zelmor::cli
