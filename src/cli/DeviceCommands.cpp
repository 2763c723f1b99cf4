// SPDX-License-Identifier: MIT
// zelmorctl commands that talk to the adapter: its system information, and backing up and restoring
// its profile set.
#include "CliCommands.h"

#include "device/DeviceProtocol.h"
#include "device/FirmwareCompatibility.h"
#include "device/SysInfo.h"
#include "link/PortDiscovery.h"
#include "link/SerialPortHelper.h"
#include "model/Cp1252.h"
#include "model/ProfileFile.h"
#include "model/ProfileSetBlob.h"

#include <nlohmann/json.hpp>

#include <QFileInfo>

#include <algorithm>
#include <ostream>

namespace zelmor::cli {

namespace {

// How long restore waits for the adapter to answer after the transfer before it closes the port.
constexpr int ConfirmTimeoutMs = 1000;

// A failed step: the message goes to the error stream and the command exits 1.
struct TCommandFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The port named by --port, or else the first adapter the scan finds; opened.
void OpenAdapterPort(TSerialPortHelper& port, const TCliContext& context) {
    if (context.Port) {
        port.SetPortName(*context.Port);
    } else {
        const auto ports = FindPortsByVidPid(AdapterVid, AdapterPid);
        if (ports.empty())
            throw TCommandFailure("No Zelmor MX found.");
        port.SetPortName(ports.front());
    }
    if (!port.OpenPort())
        throw TCommandFailure(port.LastOpenErrorText());
}

// System information as the configurator reads it, storage use not included.
TDeviceSysInfo ReadSysInfo(TDeviceProtocol& protocol) {
    const auto json = protocol.ReadSysInfo();
    if (!json)
        throw TCommandFailure("No system information received.");
    if (nlohmann::json::accept(*json) == false)
        throw TCommandFailure("SYSINFO parse failed");
    try {
        return ParseSysInfo(*json);
    } catch (const TSysInfoParseError&) {
        throw TCommandFailure("SYSINFO parse failed");
    }
}

// System information of a firmware this program can exchange profile sets with.
void RequireCompatibleFirmware(TDeviceProtocol& protocol) {
    if (const auto problem = FirmwareIncompatibility(ReadSysInfo(protocol).NRFCpu))
        throw TCommandFailure(*problem);
}

// The adapter's set; Empty when it holds none. Failures of the exchange are raised.
TReceivedProfileSet ReceiveOnce(TDeviceProtocol& protocol) {
    auto received = protocol.ReceiveProfileSet();
    if (received.Outcome == TReceivedProfileSet::NotSent)
        throw TCommandFailure("Command \"*GETPROFSET\" could not be sent.");
    if (received.Outcome == TReceivedProfileSet::NoStartToken)
        throw TCommandFailure("Start token \"*PROFSET\" was not found.");
    return received;
}

std::string SetSummary(const TProfileSet& set) {
    return "id=" + std::to_string(set.ID) + " name=" + NameToText(set.Name) +
           " count=" + std::to_string(set.ProfileCount) + " active=" + std::to_string(set.ActiveProfileIndex);
}

nlohmann::ordered_json SysInfoJson(const TDeviceSysInfo& info) {
    const auto& cpu = info.NRFCpu;
    return {{"nrfcpu",
             {{"app_version", cpu.AppVersion},
              {"app_semver",
               {{"maj", cpu.AppSemVer.Maj}, {"min", cpu.AppSemVer.Min}, {"pat", cpu.AppSemVer.Pat}}},
              {"build_type", cpu.BuildType},
              {"build_time", cpu.BuildTime},
              {"build_stamp", cpu.BuildStamp},
              {"mcuboot", cpu.MCUboot},
              {"profile_format", cpu.ProfileFormat}}},
            {"vnc2", {{"present", info.VNC2.Present}, {"maj", info.VNC2.Maj}, {"min", info.VNC2.Min}}},
            {"nvs",
             {{"used", info.Nvs.Used},
              {"free", info.Nvs.Free},
              {"total", info.Nvs.Total},
              {"valid", info.Nvs.Valid},
              {"error", info.Nvs.Error}}}};
}

int Info(const std::vector<std::string>& args, TCliContext& context) {
    TCliArgs(args, {}, {}).ExpectPositionals(0);
    TSerialPortHelper port;
    OpenAdapterPort(port, context);
    TDeviceProtocol protocol(port);
    auto info = ReadSysInfo(protocol);
    if (const auto problem = FirmwareIncompatibility(info.NRFCpu))
        context.Err << "FW compatibility check failed: " << *problem << '\n';
    if (!protocol.QueryNvsInfo(info.Nvs) && info.Nvs.Error == 0)
        info.Nvs.Error = nvsQueryFailed;
    context.Out << SysInfoJson(info).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    return ExitOk;
}

int Backup(const std::vector<std::string>& args, TCliContext& context) {
    const TCliArgs arguments(args, {}, {});
    arguments.ExpectPositionals(1);
    TSerialPortHelper port;
    OpenAdapterPort(port, context);
    TDeviceProtocol protocol(port);
    RequireCompatibleFirmware(protocol);
    const auto received = ReceiveOnce(protocol);
    if (received.Outcome == TReceivedProfileSet::Empty)
        throw TCommandFailure("No profile set stored on the adapter.");
    const auto& set = received.Set;
    const std::vector<TProfile> profiles(set.Profiles, set.Profiles + set.ProfileCount);
    std::string error;
    if (!SaveProfilesToFile(QString::fromStdString(arguments.Positionals()[0]), profiles, error))
        throw TCommandFailure(error);
    context.Out << SetSummary(set) << '\n';
    return ExitOk;
}

std::vector<TProfile> LoadProfiles(const std::string& path) {
    if (!QFileInfo::exists(QString::fromStdString(path)))
        throw TCommandFailure("No such file: " + path);
    auto load = LoadProfilesFromFile(QString::fromStdString(path));
    if (load.Outcome != TProfileFileLoad::Loaded)
        throw TCommandFailure(load.Message);
    if (load.Profiles.empty())
        throw TCommandFailure("The file holds no profiles: " + path);
    return std::move(load.Profiles);
}

// The set the adapter gets: the first ten profiles, the chosen active one (0 when out of range), and
// the identity the adapter had.
TProfileSet BuildProfileSet(const std::vector<TProfile>& profiles, long long active,
                            const TProfileSet& current) {
    TProfileSet set{};
    set.ID = current.ID;
    std::copy(std::begin(current.Name), std::end(current.Name), std::begin(set.Name));
    set.ProfileCount = static_cast<std::uint8_t>(std::min<std::size_t>(profiles.size(), MaxProfilesInSet));
    set.ActiveProfileIndex = active < set.ProfileCount ? static_cast<std::uint8_t>(active) : 0;
    std::copy_n(profiles.begin(), set.ProfileCount, set.Profiles);
    return set;
}

// The differences between the set sent and the set read back, one line each.
std::vector<std::string> Differences(const TProfileSet& sent, const TProfileSet& back) {
    std::vector<std::string> lines;
    if (sent.ID != back.ID || !std::equal(std::begin(sent.Name), std::end(sent.Name), std::begin(back.Name)))
        lines.push_back("identity: sent " + SetSummary(sent) + ", read " + SetSummary(back));
    else if (sent.ProfileCount != back.ProfileCount || sent.ActiveProfileIndex != back.ActiveProfileIndex)
        lines.push_back("profiles: sent " + SetSummary(sent) + ", read " + SetSummary(back));
    for (int i = 0; i < std::min(sent.ProfileCount, back.ProfileCount); ++i)
        if (!(sent.Profiles[i] == back.Profiles[i]))
            lines.push_back("profile " + std::to_string(i + 1) + " (" +
                            NameToText(sent.Profiles[i].ProfileName) + ") differs");
    return lines;
}

int Restore(const std::vector<std::string>& args, TCliContext& context) {
    const TCliArgs arguments(args, {"active"}, {"verify"});
    arguments.ExpectPositionals(1);
    const auto active = arguments.IntValue("active", 0, 0x7FFFFFFF).value_or(0);
    const auto profiles = LoadProfiles(arguments.Positionals()[0]);

    TSerialPortHelper port;
    OpenAdapterPort(port, context);
    TDeviceProtocol protocol(port);
    RequireCompatibleFirmware(protocol);
    TProfileSet current{};
    try {
        if (const auto received = ReceiveOnce(protocol); received.Outcome == TReceivedProfileSet::Received)
            current = received.Set;
    } catch (const TProtocolError& error) {
        // A stored set that cannot be read (too long, undecodable) is replaced all the same; only its
        // identity is lost. A reply that breaks off means the adapter is not listening: stop.
        const std::string message = error.what();
        if (!message.starts_with(InvalidProfileSetLength) && message != ProfileSetUnparsable)
            throw;
        context.Err << "warning: the adapter's current set could not be read (" << message
                    << "); its ID and name are not kept\n";
    }

    const auto set = BuildProfileSet(profiles, active, current);
    const auto blob = set.ToBlob();
    std::string problem;
    if (!ValidateProfileSetBlob(blob, problem))
        context.Err << "warning: PROFSET validate failed: " << problem << '\n';
    protocol.SendProfileSet(blob);
    context.Out << "sent " << blob.size() << " bytes\n";
    if (!arguments.Flag("verify")) {
        // Closing the port discards what the adapter has not taken yet; its answer shows it has.
        if (!protocol.AwaitIdentification(ConfirmTimeoutMs))
            context.Err << "warning: the adapter did not answer after the transfer\n";
        return ExitOk;
    }

    const auto back = ReceiveOnce(protocol);
    if (back.Outcome == TReceivedProfileSet::Empty)
        throw TCommandFailure("verify failed: No profile set stored on the adapter.");
    TProfileSet sent{};
    sent.FromBlob(blob); // the form the adapter's copy decodes to
    const auto differences = Differences(sent, back.Set);
    for (const auto& line : differences)
        context.Err << "verify: " << line << '\n';
    if (!differences.empty())
        return ExitFailed;
    context.Out << "verified\n";
    return ExitOk;
}

// Runs a command body; failures of the adapter exchange become a message and exit status 1.
TCliCommand DeviceCommand(std::string name, std::string usage, std::string summary,
                          int (*body)(const std::vector<std::string>&, TCliContext&)) {
    return {std::move(name), std::move(usage), std::move(summary),
            [body](const std::vector<std::string>& args, TCliContext& context) {
                try {
                    return body(args, context);
                } catch (const TCommandFailure& failure) {
                    context.Err << failure.what() << '\n';
                } catch (const TProtocolError& failure) {
                    context.Err << failure.what() << '\n';
                }
                return static_cast<int>(ExitFailed);
            }};
}

} // namespace

std::vector<TCliCommand> DeviceCommands() {
    return {
        DeviceCommand("info", "", "print the adapter's system information and storage use as JSON", Info),
        DeviceCommand("backup", "OUT.profj", "save the adapter's profile set as a profile file", Backup),
        DeviceCommand("restore", "IN.profj [--active I] [--verify]",
                      "send the first ten profiles of a file to the adapter; --verify reads them back",
                      Restore),
    };
}

} // namespace zelmor::cli
