// SPDX-License-Identifier: MIT
#include "AdapterFirmware.h"

#include "FactorySets.h"
#include "model/Cp1252.h"
#include "model/ProfileSetBlob.h"

#include <charconv>
#include <cstdio>

namespace zelmor::emu {

namespace {

constexpr std::size_t MaxLineLength = 256;

void Append(TBytes& bytes, std::string_view text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
}

// The decimal parameter after Prefix, as in "*SETLANG 1" or "*SW3"; nothing when Line is another command.
std::optional<int> Parameter(const std::string& line, std::string_view prefix) {
    if (!line.starts_with(prefix))
        return std::nullopt;
    std::string_view rest(line);
    rest.remove_prefix(prefix.size());
    while (rest.starts_with(' '))
        rest.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (rest.empty() || error != std::errc() || end != rest.data() + rest.size())
        return std::nullopt;
    return value;
}

// Why a received set is not stored, or empty when it is fine.
std::string SetProblem(const TBytes& blob, std::uint32_t capacity) {
    std::string message;
    if (!ValidateProfileSetBlob(blob, message))
        return message;
    TProfileSet set{};
    if (!set.FromBlob(blob))
        return "set could not be decoded";
    if (blob.size() > capacity)
        return "profile store full";
    return {};
}

} // namespace

TAdapterFirmware::TAdapterFirmware(TAdapterState& state, const TEmulatorOptions& options,
                                   TByteRecorder& recorder)
    : FState(state), FOptions(options), FRecorder(recorder) {}

void TAdapterFirmware::Receive(TByteView bytes, TClock::time_point now, std::vector<TFirmwareOutput>& out) {
    for (const auto byte : bytes) {
        if (FMode != Application)
            return; // the boot loader and the bridge do not speak this protocol
        if (FTransfer) {
            ReceiveTransferByte(byte, now);
            continue;
        }
        if (byte != '\n') {
            FLine += static_cast<char>(byte);
            if (FLine.size() > MaxLineLength)
                FLine.clear(); // noise, not a command
            continue;
        }
        std::string line;
        line.swap(FLine);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto star = line.find('*'); // anything before the command is noise
        if (star != std::string::npos)
            HandleLine(line.substr(star), now, out);
    }
}

void TAdapterFirmware::HandleLine(const std::string& line, TClock::time_point now,
                                  std::vector<TFirmwareOutput>& out) {
    FRecorder.Event(
        "command",
        {{"line", Cp1252ToUtf8(TByteView(reinterpret_cast<const std::uint8_t*>(line.data()), line.size()))}});
    const auto reply = [&](std::string command, TBytes bytes) {
        out.push_back({TFirmwareOutput::Reply, std::move(command), std::move(bytes)});
    };
    const auto seen = [&](const std::string& command) {
        out.push_back({TFirmwareOutput::CommandSeen, command, {}});
    };

    if (line == "*PROFSET") {
        seen(line);
        FTransfer = TTransfer{{}, {}, 0, now + std::chrono::milliseconds(FOptions.TransferTimeoutMs)};
    } else if (line == "*GETPROFSET") {
        seen(line);
        reply(line, ProfileSetBlock(line));
    } else if (line == "*GETPROFSETLIST") {
        seen(line);
        reply(line, ProfileSetList(line));
    } else if (line == "*SYSINFO") {
        seen(line);
        reply(line, SysInfoBlock(line));
    } else if (line == "*NVSINFO") {
        seen(line);
        reply(line, NvsLine());
    } else if (line == "*D") {
        seen(line);
        TBytes text;
        Append(text, "Zelmor MX " + FOptions.SysInfo.AppVersion + "\r\n");
        reply(line, std::move(text));
    } else if (line == "*APP_RESTART") {
        seen(line);
        out.push_back({TFirmwareOutput::Restart, line, {}});
    } else if (line == "*APP_FACTORYRESET") {
        seen(line);
        FState.Reset();
        FRecorder.Event("factory-reset");
        out.push_back({TFirmwareOutput::Restart, line, {}});
    } else if (line == "*APP_UPDATE") {
        seen(line);
        FMode = Bootloader;
        out.push_back({TFirmwareOutput::Bootloader, line, {}});
    } else if (line == "*VNC_UPDATE") {
        seen(line);
        FMode = Bridge;
        FRecorder.Event("bridge");
    } else if (const auto language = Parameter(line, "*SETLANG")) {
        seen("*SETLANG");
        if (*language >= 0 && *language <= 3)
            FState.SetLanguage(*language);
    } else if (const auto id = Parameter(line, "*SETPROFSET")) {
        seen("*SETPROFSET");
        if (const auto* factory = FindFactorySet(*id)) {
            FState.StoreProfileSet(factory->Set.ToBlob());
            FRecorder.Event("profile-set-stored", {{"bytes", FState.ProfileSet().size()}, {"factory", *id}});
        }
    } else if (Parameter(line, "*LOAD") || Parameter(line, "*SW") || line == "*BTN0" || line == "*BTN1" ||
               line == "*BTN2") {
        seen(line); // live commands: the recording is all the emulator does with them
    } else {
        FRecorder.Event("unknown-command", {{"line", line}});
    }
}

void TAdapterFirmware::ReceiveTransferByte(std::uint8_t byte, TClock::time_point now) {
    auto& transfer = *FTransfer;
    transfer.Deadline = now + std::chrono::milliseconds(FOptions.TransferTimeoutMs);
    if (transfer.Length.size() < 2) {
        transfer.Length.push_back(byte);
        if (transfer.Length.size() == 2)
            transfer.Expected = static_cast<std::size_t>(transfer.Length[0] | (transfer.Length[1] << 8));
    } else {
        transfer.Data.push_back(byte);
    }
    if (transfer.Length.size() == 2 && transfer.Data.size() == transfer.Expected)
        FinishTransfer();
}

void TAdapterFirmware::FinishTransfer() {
    auto blob = std::move(FTransfer->Data);
    FTransfer.reset();
    if (const auto problem = SetProblem(blob, FOptions.NvsTotal); !problem.empty()) {
        FRecorder.Event("profile-set-rejected", {{"bytes", blob.size()}, {"reason", problem}});
        return;
    }
    FState.StoreProfileSet(std::move(blob));
    FRecorder.Event("profile-set-stored", {{"bytes", FState.ProfileSet().size()}});
}

std::optional<TClock::time_point> TAdapterFirmware::TransferDeadline() const {
    return FTransfer ? std::optional(FTransfer->Deadline) : std::nullopt;
}

void TAdapterFirmware::ExpireTransfer(TClock::time_point now) {
    if (!FTransfer || now < FTransfer->Deadline)
        return;
    FRecorder.Event("transfer-timeout",
                    {{"expected", FTransfer->Expected}, {"received", FTransfer->Data.size()}});
    FTransfer.reset();
}

void TAdapterFirmware::ResetLink() {
    FLine.clear();
    FTransfer.reset();
}

TBytes TAdapterFirmware::ProfileSetBlock(const std::string& command) const {
    const bool faulty = FOptions.Faults.AppliesTo(command);
    const bool empty = !FState.HasProfileSet() || (faulty && FOptions.Faults.ZeroLength);
    const TBytes& blob = FState.ProfileSet();
    const auto length = empty ? 0u : static_cast<unsigned>(blob.size());
    TBytes block;
    Append(block, "*PROFSET");
    block.push_back(static_cast<std::uint8_t>(length & 0xFF));
    block.push_back(static_cast<std::uint8_t>((length >> 8) & 0xFF));
    if (!empty)
        block.insert(block.end(), blob.begin(), blob.end());
    Append(block, faulty ? FOptions.Faults.EndToken : "*END");
    return block;
}

TBytes TAdapterFirmware::SysInfoBlock(const std::string& command) const {
    const auto& info = FOptions.SysInfo;
    std::string json;
    if (info.RawJson) {
        json = *info.RawJson;
    } else {
        const nlohmann::ordered_json document = {
            {"nrfcpu",
             {{"app_version", info.AppVersion},
              {"app_semver", {{"maj", info.Maj}, {"min", info.Min}, {"pat", info.Pat}}},
              {"build_type", info.BuildType},
              {"build_time", info.BuildTime},
              {"build_stamp", info.BuildStamp},
              {"mcuboot", info.MCUboot},
              {"profile_format", info.ProfileFormat}}},
            {"vnc2", {{"present", info.Vnc2Present}, {"maj", info.Vnc2Maj}, {"min", info.Vnc2Min}}}};
        json = document.dump();
    }
    TBytes block;
    Append(block, "*SYSINFO");
    Append(block, json);
    Append(block, FOptions.Faults.AppliesTo(command) ? FOptions.Faults.EndToken : "*END");
    return block;
}

TBytes TAdapterFirmware::ProfileSetList(const std::string& command) const {
    TBytes text;
    Append(text, "*PROFSETLIST\r\n");
    for (const auto& set : FactoryProfileSets())
        Append(text, "ID=" + std::to_string(set.Id) + ";NAME=" + set.Name + "\r\n");
    Append(text, (FOptions.Faults.AppliesTo(command) ? FOptions.Faults.EndToken : "*END") + "\r\n");
    return text;
}

TBytes TAdapterFirmware::NvsLine() const {
    char line[64];
    if (FOptions.NvsErrorCode)
        std::snprintf(line, sizeof line, "*NVS E%X\r\n", *FOptions.NvsErrorCode);
    else {
        const auto used = static_cast<unsigned>(FState.ProfileSet().size());
        std::snprintf(line, sizeof line, "*NVS %X,%X,%X\r\n", used, FOptions.NvsTotal - used,
                      FOptions.NvsTotal);
    }
    TBytes bytes;
    Append(bytes, line);
    return bytes;
}

} // namespace zelmor::emu
