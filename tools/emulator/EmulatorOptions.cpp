// SPDX-License-Identifier: MIT
#include "EmulatorOptions.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <sstream>

namespace zelmor::emu {

namespace {

long long Number(const std::string& option, const std::string& text, long long min, long long max,
                 int base = 10) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < min ||
        value > max)
        throw TOptionsError("--" + option + ": not a valid number: " + text);
    return value;
}

// "1.2.3" into three numbers.
void ReadVersion(const std::string& option, const std::string& text, int* parts, std::size_t count) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const auto dot = text.find('.', start);
        if ((dot == std::string::npos) != (i + 1 == count))
            throw TOptionsError("--" + option + ": expected " + std::to_string(count) +
                                " numbers joined by dots");
        parts[i] = static_cast<int>(Number(option, text.substr(start, dot - start), 0, 0x7FFFFFFF));
        start = dot + 1;
    }
}

TUnplugPoint ReadUnplugPoint(const std::string& text) {
    const auto colon = text.find(':');
    const auto kind = text.substr(0, colon);
    const auto value = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    TUnplugPoint point;
    if (kind == "received" || kind == "sent") {
        point.Kind = kind == "received" ? TUnplugPoint::AfterReceived : TUnplugPoint::AfterSent;
        point.Count = static_cast<std::size_t>(Number("unplug-at", value, 0, 1 << 30));
    } else if (kind == "command" && !value.empty()) {
        point.Kind = TUnplugPoint::AtCommand;
        point.Command = value;
    } else {
        throw TOptionsError("--unplug-at: expected received:N, sent:N or command:*NAME");
    }
    return point;
}

std::vector<std::string> CommaList(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream stream(text);
    for (std::string item; std::getline(stream, item, ',');)
        if (!item.empty())
            items.push_back(item);
    return items;
}

struct TOptionSpec {
    const char* Name;
    const char* Value; // nullptr for a flag
    const char* Help;
    std::function<void(TEmulatorOptions&, const std::string&)> Apply;
};

const std::vector<TOptionSpec>& OptionSpecs() {
    using O = TEmulatorOptions;
    using S = std::string;
    static const std::vector<TOptionSpec> specs = {
        {"instance", "NAME", "instance name of the virtual adapter (default EMU0001)",
         [](O& o, const S& v) { o.Instance = v; }},
        {"no-register", nullptr, "do not announce the port as a virtual adapter",
         [](O& o, const S&) { o.Register = false; }},
        {"registry", "DIR", "folder of the virtual-adapter files (default: the standard folder)",
         [](O& o, const S& v) { o.RegistryFolder = v; }},
        {"state", "FILE", "keep the stored profile set and language in FILE (default: in memory)",
         [](O& o, const S& v) { o.StateFile = v; }},
        {"record", "FILE", "append every byte and event as JSON lines with timestamps to FILE",
         [](O& o, const S& v) { o.RecordFile = v; }},
        {"factory-set", "ID", "start with factory set ID stored when the state holds no set",
         [](O& o, const S& v) { o.InitialFactorySet = static_cast<int>(Number("factory-set", v, 0, 255)); }},
        {"nvs-total", "BYTES", "size of the profile store (default 32768)",
         [](O& o, const S& v) {
             o.NvsTotal = static_cast<std::uint32_t>(Number("nvs-total", v, 1, 0xFFFFFFFF));
         }},
        {"nvs-error", "HEX", "answer \"*NVSINFO\" with the error code HEX",
         [](O& o, const S& v) {
             o.NvsErrorCode = static_cast<std::uint32_t>(Number("nvs-error", v, 0, 0xFFFFFFFF, 16));
         }},
        {"restart-ms", "MS", "how long a restart keeps the adapter unplugged (default 300)",
         [](O& o, const S& v) { o.RestartMs = static_cast<int>(Number("restart-ms", v, 0, 600000)); }},
        {"transfer-timeout-ms", "MS", "silence after which a \"*PROFSET\" transfer is dropped (default 1000)",
         [](O& o, const S& v) {
             o.TransferTimeoutMs = static_cast<int>(Number("transfer-timeout-ms", v, 1, 600000));
         }},
        {"app-version", "X.Y.Z", "firmware version (text and numbers; default 1.2.0)",
         [](O& o, const S& v) {
             int parts[3];
             ReadVersion("app-version", v, parts, 3);
             o.SysInfo.AppVersion = v;
             o.SysInfo.Maj = parts[0], o.SysInfo.Min = parts[1], o.SysInfo.Pat = parts[2];
         }},
        {"build-type", "TEXT", "build type (default release)",
         [](O& o, const S& v) { o.SysInfo.BuildType = v; }},
        {"build-time", "TEXT", "build time text (default 2025-06-02T10:15:00Z)",
         [](O& o, const S& v) { o.SysInfo.BuildTime = v; }},
        {"build-stamp", "YYYYMMDDhhmm", "build stamp (default 202506021015)",
         [](O& o, const S& v) { o.SysInfo.BuildStamp = v; }},
        {"mcuboot", "TEXT", "boot-loader version (default 2.1.0)",
         [](O& o, const S& v) { o.SysInfo.MCUboot = v; }},
        {"profile-format", "N", "profile format the firmware speaks (default 2)",
         [](O& o, const S& v) {
             o.SysInfo.ProfileFormat = static_cast<int>(Number("profile-format", v, -1000, 1000));
         }},
        {"vnc2", "MAJ.MIN", "USB-host chip firmware (default 1.4)",
         [](O& o, const S& v) {
             int parts[2];
             ReadVersion("vnc2", v, parts, 2);
             o.SysInfo.Vnc2Present = true;
             o.SysInfo.Vnc2Maj = parts[0], o.SysInfo.Vnc2Min = parts[1];
         }},
        {"no-vnc2", nullptr, "no USB-host chip fitted",
         [](O& o, const S&) { o.SysInfo.Vnc2Present = false; }},
        {"sysinfo-json", "TEXT", "send TEXT as the system-information JSON instead",
         [](O& o, const S& v) { o.SysInfo.RawJson = v; }},
        {"faults-for", "CMD,...",
         "apply the faults below only to the replies of these commands (e.g. *GETPROFSET)",
         [](O& o, const S& v) { o.Faults.Commands = CommaList(v); }},
        {"noise-before", "N", "write N noise bytes before each reply",
         [](O& o, const S& v) {
             o.Faults.NoiseBefore = static_cast<std::size_t>(Number("noise-before", v, 0, 1 << 20));
         }},
        {"noise-after", "N", "write N noise bytes after each reply",
         [](O& o, const S& v) {
             o.Faults.NoiseAfter = static_cast<std::size_t>(Number("noise-after", v, 0, 1 << 20));
         }},
        {"silent", nullptr, "never answer", [](O& o, const S&) { o.Faults.Silent = true; }},
        {"delay-ms", "MS", "wait MS before each reply",
         [](O& o, const S& v) { o.Faults.DelayMs = static_cast<int>(Number("delay-ms", v, 0, 600000)); }},
        {"split", "N", "send replies in pieces of N bytes",
         [](O& o, const S& v) {
             o.Faults.SplitBytes = static_cast<std::size_t>(Number("split", v, 1, 1 << 20));
         }},
        {"split-gap-ms", "MS", "pause between the pieces of a split reply (default 5)",
         [](O& o, const S& v) {
             o.Faults.SplitGapMs = static_cast<int>(Number("split-gap-ms", v, 0, 60000));
         }},
        {"truncate", "N", "send only the first N bytes of each reply",
         [](O& o, const S& v) {
             o.Faults.TruncateAfter = static_cast<std::size_t>(Number("truncate", v, 0, 1 << 20));
         }},
        {"end-token", "TEXT", "end token of the framed replies (default *END)",
         [](O& o, const S& v) { o.Faults.EndToken = v; }},
        {"zero-length", nullptr, "answer \"*GETPROFSET\" with length 0",
         [](O& o, const S&) { o.Faults.ZeroLength = true; }},
        {"unplug-at", "POINT",
         "unplug once: received:N (bytes from the host), sent:N (reply bytes) or command:*NAME",
         [](O& o, const S& v) { o.Faults.UnplugAt = ReadUnplugPoint(v); }},
        {"replug-ms", "MS", "after that unplug, plug in again after MS (default: stay unplugged)",
         [](O& o, const S& v) {
             o.Faults.ReplugAfterMs = static_cast<int>(Number("replug-ms", v, 0, 600000));
         }},
    };
    return specs;
}

} // namespace

bool TFaultOptions::AppliesTo(const std::string& command) const {
    return Commands.empty() || std::find(Commands.begin(), Commands.end(), command) != Commands.end();
}

TEmulatorOptions ParseEmulatorOptions(const std::vector<std::string>& args, bool& help) {
    TEmulatorOptions options;
    help = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (name == "--help" || name == "-h") {
            help = true;
            continue;
        }
        if (!name.starts_with("--"))
            throw TOptionsError("unexpected argument: " + name);
        name.erase(0, 2);
        if (const auto equals = name.find('='); equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.erase(equals);
        }
        const auto& specs = OptionSpecs();
        const auto option =
            std::find_if(specs.begin(), specs.end(), [&](const auto& s) { return name == s.Name; });
        if (option == specs.end())
            throw TOptionsError("unknown option --" + name);
        if (option->Value != nullptr && !value) {
            if (i + 1 == args.size())
                throw TOptionsError("--" + name + " needs a value");
            value = args[++i];
        }
        if (option->Value == nullptr && value)
            throw TOptionsError("--" + name + " takes no value");
        option->Apply(options, value.value_or(""));
    }
    return options;
}

std::string EmulatorHelpText() {
    std::ostringstream text;
    text << "Usage: zelmor-adapter-emu [OPTIONS]\n\n"
            "Emulates the firmware of a Zelmor MX adapter on a pseudo-terminal and announces it as a\n"
            "virtual adapter (vendor 3C6A, product 7B25), so the configurator and zelmorctl find it like\n"
            "hardware. Prints \"PORT <path>\" whenever the adapter is plugged in. SIGINT or SIGTERM unplug\n"
            "it and end the program.\n\nOptions:\n";
    for (const auto& option : OptionSpecs()) {
        std::string head =
            std::string("  --") + option.Name + (option.Value ? std::string(" ") + option.Value : "");
        text << head << std::string(head.size() < 30 ? 30 - head.size() : 1, ' ') << option.Help << '\n';
    }
    text << "  --help                      this text\n\n"
            "Faults apply to every reply unless --faults-for names the commands. The recording has one\n"
            "JSON object per line: {\"t_us\":T,\"dir\":\"rx\"|\"tx\",\"hex\":\"...\"} for bytes and\n"
            "{\"t_us\":T,\"event\":NAME,...} for commands, stored sets, plug and unplug; T counts\n"
            "microseconds from the start of the emulator.\n";
    return text.str();
}

} // namespace zelmor::emu
