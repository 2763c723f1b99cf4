// SPDX-License-Identifier: MIT
// TSerialPortHelper: the one way the configurator reaches the adapter. One object wraps one serial
// port: exclusive open with fixed line settings, reads that never block, writes bounded to 2 s, an
// exact read with a deadline, and a notification for every change between closed and open.
#pragma once

#include "DeviceRegistry.h"
#include "PortOpenError.h"
#include "SerialBackend.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace zelmor {

// Contract
// - States: Closed and Open. Closed -> Open only through OpenPort (also from CheckConnection and
//   Reconnect); each such change queues one OnConnect. Open -> Closed through ClosePort, a link-lost
//   read or write (unplug, hang-up, EIO), or OpenPort on an open port; each queues OnDisconnect unless
//   one was already queued since the last connect. An object never connected reports nothing.
// - Notifications are always queued: they arrive through the event loop of the thread this object
//   lives in (the main thread), never inside the call that caused them, and are dropped when the
//   object is destroyed first.
// - Nothing raises except the line-setting setters (TSerialSettingsError) on an open port.
// - No locks: one user at a time.
class TSerialPortHelper : public QObject {
    Q_OBJECT

public:
    // The platform's serial backend; Reconnect scans the system's device registry.
    explicit TSerialPortHelper(QObject* parent = nullptr);
    TSerialPortHelper(std::unique_ptr<TSerialBackend> backend,
                      std::shared_ptr<const TDeviceRegistry> registry, QObject* parent = nullptr);
    ~TSerialPortHelper() override;

    // (Re)opens PortName: exclusive, raw 8 data bits at the set speed, parity and stop bits, no flow
    // control, buffers purged, DTR and RTS asserted. False when it cannot be opened (LastOpenError
    // says why) or the line settings are refused (the port is then closed again). Never raises.
    bool OpenPort();
    // Closes when open (modem lines dropped, buffers purged); always ends with a disconnect
    // notification attempt.
    void ClosePort();
    bool Connected() const;
    bool IsPortAvailable() const { return Connected(); }

    // Bytes read now, at most BufferSize; 0 when nothing is buffered or the port is closed; -1 on a
    // failed read. A link-lost failure closes the port.
    int ReadData(std::uint8_t* buffer, int bufferSize);
    // True when exactly Count bytes arrived within TimeoutMs (Count <= 0: true at once). Waits on the
    // device between reads; a port lost meanwhile is closed and the wait goes on until the deadline.
    bool ReadExact(std::uint8_t* buffer, int count, int timeoutMs);
    // Sleeps until a read would return bytes or report the link lost (true), or until TimeoutMs has
    // passed (false). On a closed port it sleeps the whole TimeoutMs and answers false, so callers
    // that wait for a reply keep their deadlines. Never spins the CPU.
    bool WaitForData(int timeoutMs);

    // Bytes written, possibly fewer than BufferSize when the device accepted no more within 2 s;
    // 0 without writing when closed, while ClosePort runs, or when BufferSize <= 0; -1 on failure.
    // A link-lost failure closes the port.
    int WriteData(const std::uint8_t* buffer, int bufferSize);
    // WriteData with the whole of Data; empty data gives 0.
    int WriteBinaryData(std::span<const std::uint8_t> data);
    // Text (UTF-8) converted to Windows-1252, one byte per character, then written; true when every
    // character was written.
    bool WriteString(std::string_view text);
    // Waits (at most 2 s) until the driver has sent everything written; nothing when closed.
    void FlushWriteBuffer();

    // True when open, or when reopening PortName succeeds. After the device behind PortName vanished
    // (a link-lost read or write), the name is reopened only when the scan lists it as the adapter's
    // port again: a device name that comes back may belong to another device (pseudo-terminal
    // numbers, for one, are handed out again at once).
    bool CheckConnection();
    // Closes, then opens the first port the scan finds for the adapter in application mode
    // (vendor 3C6A, product 7B25). False when none opens; PortName then holds the last one tried.
    bool Reconnect();

    // The port as the user or the scan gives it: a device path, or a name under /dev.
    const std::string& PortName() const { return FPortName; }
    // Only stores the name; it does not reopen.
    void SetPortName(const std::string& portName) {
        FPortName = portName;
        FDeviceVanished = false;
    }
    // The path OpenPort opens for PortName.
    std::string DevicePath() const;

    // The setters store a changed value and, on an open port, apply the line settings again, which
    // raises TSerialSettingsError when the port refuses them.
    int BaudRate() const { return FSettings.BaudRate; }
    void SetBaudRate(int baudRate);
    TParity Parity() const { return FSettings.Parity; }
    void SetParity(TParity parity);
    TStopBits StopBits() const { return FSettings.StopBits; }
    void SetStopBits(TStopBits stopBits);

    // Why the last OpenPort failed (Kind None after a success), and that as a sentence for the user.
    const TPortOpenError& LastOpenError() const { return FLastOpenError; }
    std::string LastOpenErrorText() const { return PortOpenErrorText(FLastOpenError); }

Q_SIGNALS:
    void OnConnect(zelmor::TSerialPortHelper* sender);
    void OnDisconnect(zelmor::TSerialPortHelper* sender);

private:
    void ApplyLineSettings();
    void DoConnectNotify();
    void DoDisconnectNotify();
    void CloseAfterLinkLost();
    bool IsListedAdapterPort() const;

    std::unique_ptr<TSerialBackend> FBackend;
    std::shared_ptr<const TDeviceRegistry> FRegistry;
    std::string FPortName;
    TLineSettings FSettings;
    TPortOpenError FLastOpenError;
    bool FClosing = false;
    bool FDisconnectNotified = true;
    bool FDeviceVanished = false; // the last close was a link loss; cleared by a new name or an open
};

} // namespace zelmor
