// SPDX-License-Identifier: MIT
// Everything zelmor-adapter-emu can be told on its command line: who the adapter says it is, where it
// keeps its state and recording, and which faults it injects.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zelmor::emu {

// What "*SYSINFO" reports.
struct TSysInfoConfig {
    std::string AppVersion = "1.2.0";
    int Maj = 1, Min = 2, Pat = 0;
    std::string BuildType = "release";
    std::string BuildTime = "2025-06-02T10:15:00Z";
    std::string BuildStamp = "202506021015";
    std::string MCUboot = "2.1.0";
    int ProfileFormat = 2;
    bool Vnc2Present = true;
    int Vnc2Maj = 1, Vnc2Min = 4;
    std::optional<std::string> RawJson; // sent instead of the JSON built from the fields above
};

// Where an unplug happens: once the host has sent Count bytes in all, once the emulator has sent
// Count bytes of replies in all, or when a command line arrives (before it is answered).
struct TUnplugPoint {
    enum TKind { AfterReceived, AfterSent, AtCommand } Kind = AfterReceived;
    std::size_t Count = 0;
    std::string Command; // such as "*GETPROFSET"
};

struct TFaultOptions {
    std::vector<std::string> Commands;        // faults apply to the replies of these commands; empty: all
    std::size_t NoiseBefore = 0;              // noise bytes written before each reply
    std::size_t NoiseAfter = 0;               // and after it
    bool Silent = false;                      // no reply at all
    int DelayMs = 0;                          // pause before each reply
    std::size_t SplitBytes = 0;               // replies go out in pieces of this size (0: whole)
    int SplitGapMs = 5;                       // pause between pieces
    std::optional<std::size_t> TruncateAfter; // only the first bytes of each reply are sent
    std::string EndToken = "*END";            // end token of the token-framed blocks
    bool ZeroLength = false;                  // "*GETPROFSET" answers with length 0
    std::optional<TUnplugPoint> UnplugAt;
    int ReplugAfterMs = -1; // after an injected unplug: come back after this time (< 0: never)

    bool AppliesTo(const std::string& command) const;
};

struct TEmulatorOptions {
    std::string Instance = "EMU0001";
    bool Register = true;                 // announce the port as a virtual adapter
    std::string RegistryFolder;           // empty: the standard folder
    std::string StateFile;                // empty: state kept in memory only
    std::string RecordFile;               // JSON lines of every byte and event; empty: none
    std::optional<int> InitialFactorySet; // store this factory set when the state holds none
    std::uint32_t NvsTotal = 0x8000;
    std::optional<std::uint32_t> NvsErrorCode; // "*NVSINFO" answers "*NVS E<code>"
    int RestartMs = 300;                       // how long a restart keeps the adapter away
    int TransferTimeoutMs = 1000;              // a "*PROFSET" transfer gives up after this silence
    TSysInfoConfig SysInfo;
    TFaultOptions Faults;
};

struct TOptionsError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Raises TOptionsError for an unknown option or a malformed value. Help is set for --help.
TEmulatorOptions ParseEmulatorOptions(const std::vector<std::string>& args, bool& help);
std::string EmulatorHelpText();

} // namespace zelmor::emu
