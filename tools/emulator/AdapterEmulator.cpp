// SPDX-License-Identifier: MIT
#include "AdapterEmulator.h"

#include "FactorySets.h"
#include "link/PortDiscovery.h"
#include "link/VirtualAdapters.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <system_error>
#include <unistd.h>

namespace zelmor::emu {

namespace {

// How long the serving loop waits for bytes when nothing else is due.
constexpr int IdleWaitMs = 1000;
// Before an unplug after sent bytes: time for the host to read them.
constexpr int SentBytesGraceMs = 50;

TBytes Noise(std::size_t count) {
    static constexpr char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789 .-_#@";
    TBytes noise(count);
    std::uint32_t seed = 0x2545F491u;
    for (auto& byte : noise) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(alphabet[(seed >> 16) % (sizeof alphabet - 1)]);
    }
    return noise;
}

int MillisecondsUntil(TClock::time_point moment) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(moment - TClock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

TAdapterEmulator::TAdapterEmulator(TEmulatorOptions options)
    : FOptions(std::move(options)), FRecorder(FOptions.RecordFile), FState(FOptions.StateFile),
      FFirmware(FState, FOptions, FRecorder),
      FRegistryFolder(FOptions.RegistryFolder.empty() ? VirtualAdapterFolder() : FOptions.RegistryFolder) {
    if (pipe2(FWake, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe");
    if (!FState.HasProfileSet() && FOptions.InitialFactorySet) {
        const auto* factory = FindFactorySet(*FOptions.InitialFactorySet);
        if (factory == nullptr)
            throw std::runtime_error("no factory set " + std::to_string(*FOptions.InitialFactorySet));
        FState.StoreProfileSet(factory->Set.ToBlob());
    }
}

TAdapterEmulator::~TAdapterEmulator() {
    if (FPty.IsOpen())
        Unplug("exit");
    ::close(FWake[0]);
    ::close(FWake[1]);
}

void TAdapterEmulator::Start() {
    Plug(AdapterPid);
}

void TAdapterEmulator::Stop() {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(FWake[1], &byte, 1);
}

bool TAdapterEmulator::StopRequested() const {
    pollfd wake{FWake[0], POLLIN, 0};
    return poll(&wake, 1, 0) > 0;
}

bool TAdapterEmulator::SleepUnlessStopped(int ms) {
    pollfd wake{FWake[0], POLLIN, 0};
    return poll(&wake, 1, ms) <= 0;
}

std::string TAdapterEmulator::PortPath() const {
    std::lock_guard lock(FPortMutex);
    return FPortPath;
}

void TAdapterEmulator::Plug(const std::string& pid) {
    FPty.Open();
    FFirmware.ResetLink();
    FFirmware.SetMode(pid == AdapterPid ? TAdapterFirmware::Application : TAdapterFirmware::Bootloader);
    {
        std::lock_guard lock(FPortMutex);
        FPortPath = FPty.PortPath();
    }
    if (FOptions.Register)
        RegisterVirtualAdapter({AdapterVid, pid, FOptions.Instance, FPty.PortPath()}, FRegistryFolder);
    FRecorder.Event("plug", {{"port", FPty.PortPath()}, {"pid", pid}});
    if (OnPlug)
        OnPlug(FPty.PortPath(), pid);
}

void TAdapterEmulator::Unplug(const char* reason) {
    if (FOptions.Register)
        UnregisterVirtualAdapter(FOptions.Instance, FRegistryFolder);
    FPty.Close();
    FFirmware.ResetLink();
    {
        std::lock_guard lock(FPortMutex);
        FPortPath.clear();
    }
    FRecorder.Event("unplug", {{"reason", reason}});
}

void TAdapterEmulator::ScheduleReplug(int delayMs, const std::string& pid) {
    FReplugAt = TClock::now() + std::chrono::milliseconds(delayMs);
    FReplugPid = pid;
}

void TAdapterEmulator::InjectUnplug() {
    FUnplugInjected = true;
    Unplug("fault");
    if (FOptions.Faults.ReplugAfterMs >= 0)
        ScheduleReplug(FOptions.Faults.ReplugAfterMs, AdapterPid);
}

void TAdapterEmulator::Run() {
    std::uint8_t buffer[4096];
    while (!StopRequested()) {
        if (!FPty.IsOpen()) {
            if (!FReplugAt) {
                SleepUnlessStopped(-1);
                continue;
            }
            if (!SleepUnlessStopped(MillisecondsUntil(*FReplugAt)))
                break;
            FReplugAt.reset();
            Plug(FReplugPid);
            continue;
        }
        const auto deadline = FFirmware.TransferDeadline();
        bool woken = false;
        const auto count = FPty.Read(buffer, sizeof buffer,
                                     deadline ? MillisecondsUntil(*deadline) : IdleWaitMs, FWake[0], woken);
        if (woken)
            break;
        if (count > 0)
            Receive(TByteView(buffer, count));
        FFirmware.ExpireTransfer(TClock::now());
    }
    if (FPty.IsOpen())
        Unplug("exit");
}

void TAdapterEmulator::Receive(TByteView bytes) {
    const auto& unplug = FOptions.Faults.UnplugAt;
    bool unplugHere = false;
    if (unplug && !FUnplugInjected && unplug->Kind == TUnplugPoint::AfterReceived &&
        FReceived + bytes.size() >= unplug->Count) {
        bytes = bytes.first(unplug->Count > FReceived ? unplug->Count - FReceived : 0);
        unplugHere = true;
    }
    FReceived += bytes.size();
    FRecorder.Bytes("rx", bytes);
    std::vector<TFirmwareOutput> outputs;
    FFirmware.Receive(bytes, TClock::now(), outputs);
    Perform(outputs);
    if (unplugHere && FPty.IsOpen())
        InjectUnplug();
}

void TAdapterEmulator::Perform(const std::vector<TFirmwareOutput>& outputs) {
    const auto& unplug = FOptions.Faults.UnplugAt;
    for (const auto& output : outputs) {
        if (!FPty.IsOpen())
            return;
        switch (output.Kind) {
        case TFirmwareOutput::CommandSeen:
            if (unplug && !FUnplugInjected && unplug->Kind == TUnplugPoint::AtCommand &&
                unplug->Command == output.Command)
                InjectUnplug();
            break;
        case TFirmwareOutput::Reply:
            SendReply(output);
            break;
        case TFirmwareOutput::Restart:
            Unplug("restart");
            ScheduleReplug(FOptions.RestartMs, AdapterPid);
            break;
        case TFirmwareOutput::Bootloader:
            Unplug("bootloader");
            ScheduleReplug(FOptions.RestartMs, BootloaderPid);
            break;
        }
    }
}

void TAdapterEmulator::SendReply(const TFirmwareOutput& output) {
    const auto& faults = FOptions.Faults;
    if (!faults.AppliesTo(output.Command)) {
        WriteToHost(output.Bytes);
        return;
    }
    if (faults.Silent)
        return;
    if (faults.DelayMs > 0 && !SleepUnlessStopped(faults.DelayMs))
        return;
    TByteView reply(output.Bytes);
    if (faults.TruncateAfter && *faults.TruncateAfter < reply.size())
        reply = reply.first(*faults.TruncateAfter);
    if (faults.NoiseBefore > 0 && !WriteToHost(Noise(faults.NoiseBefore)))
        return;
    const std::size_t piece = faults.SplitBytes > 0 ? faults.SplitBytes : reply.size();
    for (std::size_t at = 0; at < reply.size(); at += piece) {
        if (at > 0 && !SleepUnlessStopped(faults.SplitGapMs))
            return;
        if (!WriteToHost(reply.subspan(at, std::min(piece, reply.size() - at))))
            return;
    }
    if (faults.NoiseAfter > 0)
        WriteToHost(Noise(faults.NoiseAfter));
}

bool TAdapterEmulator::WriteToHost(TByteView bytes) {
    const auto& unplug = FOptions.Faults.UnplugAt;
    bool unplugHere = false;
    if (unplug && !FUnplugInjected && unplug->Kind == TUnplugPoint::AfterSent &&
        FSent + bytes.size() >= unplug->Count) {
        bytes = bytes.first(unplug->Count > FSent ? unplug->Count - FSent : 0);
        unplugHere = true;
    }
    const auto written = FPty.Write(bytes.data(), bytes.size(), IdleWaitMs);
    FSent += written;
    FRecorder.Bytes("tx", bytes.first(written));
    if (unplugHere) {
        // Closing the terminal drops what the host has not read yet; the bytes "on the wire" get there
        // first, as they would before a cable is pulled.
        SleepUnlessStopped(SentBytesGraceMs);
        InjectUnplug();
    }
    return FPty.IsOpen();
}

} // namespace zelmor::emu
