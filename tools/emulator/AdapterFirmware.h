// SPDX-License-Identifier: MIT
// The emulated adapter's command interpreter: it takes the bytes the host sends and says what the
// adapter answers and does. It performs no I/O and keeps no clock of its own; the emulator's loop
// feeds it, writes its replies (with any injected faults) and carries out restarts.
#pragma once

#include "AdapterState.h"
#include "ByteRecorder.h"
#include "EmulatorOptions.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace zelmor::emu {

using TClock = std::chrono::steady_clock;

struct TFirmwareOutput {
    enum TKind {
        CommandSeen, // a command line arrived; the outputs it causes follow
        Reply,       // Bytes go to the host
        Restart,     // the adapter restarts (after "*APP_RESTART" or a factory reset)
        Bootloader,  // the adapter restarts into its boot loader
    };
    TKind Kind = Reply;
    std::string Command; // the command, such as "*GETPROFSET"
    TBytes Bytes;
};

class TAdapterFirmware {
public:
    enum TMode {
        Application, // answers the command protocol
        Bootloader,  // after "*APP_UPDATE": answers nothing
        Bridge       // after "*VNC_UPDATE": the port belongs to the USB-host chip, nothing answers here
    };

    TAdapterFirmware(TAdapterState& state, const TEmulatorOptions& options, TByteRecorder& recorder);

    // Takes bytes from the host and appends what follows from them, in order.
    void Receive(TByteView bytes, TClock::time_point now, std::vector<TFirmwareOutput>& out);
    // While a "*PROFSET" transfer waits for bytes: the moment it gives up.
    std::optional<TClock::time_point> TransferDeadline() const;
    // Drops a transfer whose deadline has passed.
    void ExpireTransfer(TClock::time_point now);
    // Forgets half-received lines and transfers, as a restart or unplug does.
    void ResetLink();

    TMode Mode() const { return FMode; }
    void SetMode(TMode mode) { FMode = mode; }

private:
    void HandleLine(const std::string& line, TClock::time_point now, std::vector<TFirmwareOutput>& out);
    void ReceiveTransferByte(std::uint8_t byte, TClock::time_point now);
    void FinishTransfer();
    TBytes ProfileSetBlock(const std::string& command) const;
    TBytes SysInfoBlock(const std::string& command) const;
    TBytes ProfileSetList(const std::string& command) const;
    TBytes NvsLine() const;

    struct TTransfer {
        TBytes Length;
        TBytes Data;
        std::size_t Expected = 0;
        TClock::time_point Deadline;
    };

    TAdapterState& FState;
    const TEmulatorOptions& FOptions;
    TByteRecorder& FRecorder;
    TMode FMode = Application;
    std::string FLine;
    std::optional<TTransfer> FTransfer;
};

} // namespace zelmor::emu
