// SPDX-License-Identifier: MIT
#include "SerialPortHelper.h"

#include "PortDiscovery.h"
#include "PortPath.h"
#include "model/Cp1252.h"

#include <QMetaMethod>

#include <algorithm>
#include <chrono>
#include <thread>

namespace zelmor {
namespace {

constexpr int WriteTimeoutMs = 2000;
constexpr int FlushTimeoutMs = 2000;

using TClock = std::chrono::steady_clock;

} // namespace

TSerialPortHelper::TSerialPortHelper(QObject* parent)
    : TSerialPortHelper(CreateSerialBackend(), SystemDeviceRegistry(), parent) {}

TSerialPortHelper::TSerialPortHelper(std::unique_ptr<TSerialBackend> backend,
                                     std::shared_ptr<const TDeviceRegistry> registry, QObject* parent)
    : QObject(parent), FBackend(std::move(backend)), FRegistry(std::move(registry)) {}

TSerialPortHelper::~TSerialPortHelper() {
    ClosePort();
}

std::string TSerialPortHelper::DevicePath() const {
    return DevicePathForPort(FPortName);
}

bool TSerialPortHelper::Connected() const {
    return FBackend->IsOpen();
}

bool TSerialPortHelper::OpenPort() {
    if (Connected())
        ClosePort();
    FLastOpenError = FBackend->Open(DevicePath());
    if (FLastOpenError.Kind != TOpenFailure::None)
        return false;
    try {
        FBackend->Purge();
        ApplyLineSettings();
        FBackend->SetModemLines(true);
    } catch (const TSerialSettingsError& error) {
        // A port we cannot set up is of no use; close it rather than report it open.
        FBackend->Close();
        FLastOpenError.Kind = TOpenFailure::Settings;
        FLastOpenError.Detail = error.what();
        return false;
    }
    FDeviceVanished = false;
    DoConnectNotify();
    return true;
}

void TSerialPortHelper::ClosePort() {
    FClosing = true;
    if (Connected()) {
        FBackend->SetModemLines(false);
        FBackend->Purge();
        FBackend->Close();
    }
    FClosing = false;
    DoDisconnectNotify();
}

void TSerialPortHelper::CloseAfterLinkLost() {
    FDeviceVanished = true;
    FClosing = true;
    FBackend->Close();
    FClosing = false;
    DoDisconnectNotify();
}

int TSerialPortHelper::ReadData(std::uint8_t* buffer, int bufferSize) {
    if (!Connected() || bufferSize <= 0)
        return 0;
    const TIoResult result = FBackend->Read(buffer, static_cast<std::size_t>(bufferSize));
    if (result.Status == TIoStatus::Ok)
        return result.Count;
    if (result.Status == TIoStatus::LinkLost)
        CloseAfterLinkLost();
    return -1;
}

bool TSerialPortHelper::WaitForData(int timeoutMs) {
    if (timeoutMs <= 0)
        return Connected() && FBackend->WaitReadable(0);
    if (!Connected()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
        return false;
    }
    return FBackend->WaitReadable(timeoutMs);
}

bool TSerialPortHelper::ReadExact(std::uint8_t* buffer, int count, int timeoutMs) {
    const auto start = TClock::now();
    int got = 0;
    while (got < count) {
        const int n = ReadData(buffer + got, count - got);
        if (n > 0) {
            got += n;
            continue;
        }
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - start).count();
        if (elapsed > timeoutMs)
            return false;
        if (n < 0) // a failure that left the port open: do not hammer it
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        else
            WaitForData(static_cast<int>(timeoutMs - elapsed) + 1);
    }
    return true;
}

int TSerialPortHelper::WriteData(const std::uint8_t* buffer, int bufferSize) {
    if (!Connected() || FClosing || bufferSize <= 0)
        return 0;
    const TIoResult result = FBackend->Write(buffer, static_cast<std::size_t>(bufferSize), WriteTimeoutMs);
    if (result.Status == TIoStatus::Ok)
        return result.Count;
    if (result.Status == TIoStatus::LinkLost)
        CloseAfterLinkLost();
    return -1;
}

int TSerialPortHelper::WriteBinaryData(std::span<const std::uint8_t> data) {
    return WriteData(data.data(), static_cast<int>(data.size()));
}

bool TSerialPortHelper::WriteString(std::string_view text) {
    const TBytes bytes = Utf8ToCp1252(text);
    return WriteData(bytes.data(), static_cast<int>(bytes.size())) == static_cast<int>(bytes.size());
}

void TSerialPortHelper::FlushWriteBuffer() {
    if (Connected())
        FBackend->Drain(FlushTimeoutMs);
}

bool TSerialPortHelper::CheckConnection() {
    if (Connected())
        return true;
    if ((!FDeviceVanished || IsListedAdapterPort()) && OpenPort())
        return true;
    DoDisconnectNotify();
    return false;
}

bool TSerialPortHelper::IsListedAdapterPort() const {
    const auto ports = FindPortsByVidPid("3C6A", "7B25", *FRegistry);
    return std::find(ports.begin(), ports.end(), DevicePath()) != ports.end();
}

bool TSerialPortHelper::Reconnect() {
    ClosePort();
    for (const std::string& port : FindPortsByVidPid("3C6A", "7B25", *FRegistry)) {
        FPortName = port;
        if (OpenPort())
            return true;
    }
    DoDisconnectNotify();
    return false;
}

void TSerialPortHelper::ApplyLineSettings() {
    FBackend->ApplyLineSettings(FSettings);
}

void TSerialPortHelper::SetBaudRate(int baudRate) {
    if (baudRate == FSettings.BaudRate)
        return;
    FSettings.BaudRate = baudRate;
    if (Connected())
        ApplyLineSettings();
}

void TSerialPortHelper::SetParity(TParity parity) {
    if (parity == FSettings.Parity)
        return;
    FSettings.Parity = parity;
    if (Connected())
        ApplyLineSettings();
}

void TSerialPortHelper::SetStopBits(TStopBits stopBits) {
    if (stopBits == FSettings.StopBits)
        return;
    FSettings.StopBits = stopBits;
    if (Connected())
        ApplyLineSettings();
}

void TSerialPortHelper::DoConnectNotify() {
    FDisconnectNotified = false;
    if (isSignalConnected(QMetaMethod::fromSignal(&TSerialPortHelper::OnConnect)))
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT OnConnect(this); }, Qt::QueuedConnection);
}

void TSerialPortHelper::DoDisconnectNotify() {
    if (FDisconnectNotified || !isSignalConnected(QMetaMethod::fromSignal(&TSerialPortHelper::OnDisconnect)))
        return;
    FDisconnectNotified = true;
    QMetaObject::invokeMethod(
        this, [this] { Q_EMIT OnDisconnect(this); }, Qt::QueuedConnection);
}

} // namespace zelmor
