// SPDX-License-Identifier: MIT
// The emulated adapter as a whole: a pseudo-terminal registered as a virtual adapter, the firmware
// behind it, the injected faults, restarts and the recording. Run serves the host until Stop.
#pragma once

#include "AdapterFirmware.h"
#include "AdapterState.h"
#include "ByteRecorder.h"
#include "EmulatorOptions.h"
#include "PseudoTerminal.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace zelmor::emu {

class TAdapterEmulator {
public:
    // Raises std::runtime_error when the state file or the recording cannot be used.
    explicit TAdapterEmulator(TEmulatorOptions options);
    ~TAdapterEmulator();
    TAdapterEmulator(const TAdapterEmulator&) = delete;
    TAdapterEmulator& operator=(const TAdapterEmulator&) = delete;

    // Plugs the adapter in: a new pseudo-terminal, announced as a virtual adapter. Raises on failure.
    void Start();
    // Serves the host until Stop is called; unplugs before it returns.
    void Run();
    // Ends Run; safe from any thread and from a signal handler.
    void Stop();

    // The current port (empty while unplugged); safe from any thread.
    std::string PortPath() const;
    // Called on the serving thread whenever the adapter is plugged in, with its port and product id.
    std::function<void(const std::string& port, const std::string& pid)> OnPlug;

private:
    void Plug(const std::string& pid);
    void Unplug(const char* reason);
    void InjectUnplug();
    void ScheduleReplug(int delayMs, const std::string& pid);
    // Feeds the host's bytes to the firmware and carries out what it answers.
    void Receive(TByteView bytes);
    void Perform(const std::vector<TFirmwareOutput>& outputs);
    void SendReply(const TFirmwareOutput& output);
    // False when the adapter was unplugged while writing.
    bool WriteToHost(TByteView bytes);
    // False when Stop was requested meanwhile. A negative time waits for Stop alone.
    bool SleepUnlessStopped(int ms);
    bool StopRequested() const;

    TEmulatorOptions FOptions;
    TByteRecorder FRecorder;
    TAdapterState FState;
    TAdapterFirmware FFirmware;
    TPseudoTerminal FPty;
    int FWake[2] = {-1, -1};
    mutable std::mutex FPortMutex;
    std::string FPortPath;
    std::string FRegistryFolder;
    std::size_t FReceived = 0; // bytes from the host, in all
    std::size_t FSent = 0;     // reply bytes, in all
    bool FUnplugInjected = false;
    std::optional<TClock::time_point> FReplugAt;
    std::string FReplugPid;
};

} // namespace zelmor::emu
