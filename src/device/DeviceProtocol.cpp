// SPDX-License-Identifier: MIT
#include "DeviceProtocol.h"

#include "PreciseTimers.h"
#include "ProtocolCommands.h"
#include "link/SerialPortHelper.h"
#include "model/Cp1252.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace zelmor {

namespace {

using TClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::string_view ProfSetToken = "*PROFSET";
constexpr std::string_view SysInfoToken = "*SYSINFO";
constexpr std::string_view EndToken = "*END";
constexpr std::string_view IdentificationText = "Zelmor MX";

constexpr int DrainLimit = 4096; // the drain stops once it has dropped more than this
constexpr int StartTokenTimeoutMs = 3000;
constexpr int ReadStepTimeoutMs = 5000; // length, data and end token of a profile set
constexpr int ListTimeoutMs = 3000;
constexpr int SysInfoPhaseTimeoutMs = 5000;
constexpr int NvsLineTimeoutMs = 5000;
constexpr int ByteWaitMs = 100;                 // one byte of the system-information and storage replies
constexpr std::size_t SysInfoWindowLimit = 256; // beyond this the token window keeps its tail
constexpr std::size_t SysInfoWindowKeep = 129;
constexpr std::size_t MaxSysInfoBody = 4096 + EndToken.size();
constexpr int HeaderPauseMs = 400;
constexpr int LengthPauseMs = 20;
constexpr int PiecePauseMs = 2;
constexpr std::size_t PieceSize = 64;
constexpr int ProbePauseMs = 50;
constexpr int ProbeReadSize = 256;
constexpr int SwitchTestPauseMs = 100;

TByteView Bytes(std::string_view text) {
    return TByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

// Rounded up, so that a wait never ends before its deadline.
int RemainingMs(TClock::time_point deadline) {
    const auto left = std::chrono::ceil<milliseconds>(deadline - TClock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

void Pause(int ms) {
    std::this_thread::sleep_for(milliseconds(ms));
}

} // namespace

void TDeviceProtocol::DrainInput() {
    std::uint8_t byte = 0;
    for (int dropped = 0; dropped <= DrainLimit && FPort.ReadData(&byte, 1) == 1;)
        ++dropped;
}

bool TDeviceProtocol::SearchToken(std::string_view token, int timeoutMs) {
    const auto deadline = TClock::now() + milliseconds(timeoutMs);
    std::string window;
    for (;;) {
        std::uint8_t byte = 0;
        if (FPort.ReadData(&byte, 1) == 1) {
            window += static_cast<char>(byte);
            if (window.size() > token.size())
                window.erase(0, 1);
            if (window == token)
                return true;
            continue;
        }
        const int left = RemainingMs(deadline);
        if (left == 0)
            return false;
        FPort.WaitForData(left);
    }
}

TReceivedProfileSet TDeviceProtocol::ReceiveProfileSet(bool readEndAfterEmpty) {
    TReceivedProfileSet result;
    DrainInput();
    if (!FPort.WriteString(cmd::GetProfSet))
        return result; // NotSent
    if (!SearchToken(ProfSetToken, StartTokenTimeoutMs)) {
        result.Outcome = TReceivedProfileSet::NoStartToken;
        return result;
    }
    std::uint8_t lengthBytes[2] = {};
    if (!FPort.ReadExact(lengthBytes, 2, ReadStepTimeoutMs))
        throw TProtocolError(ProfileSetLengthUnreadable);
    const int length = lengthBytes[0] | (lengthBytes[1] << 8);
    if (length == 0) {
        if (readEndAfterEmpty) {
            std::uint8_t end[4];
            FPort.ReadExact(end, 4, ReadStepTimeoutMs);
        }
        result.Outcome = TReceivedProfileSet::Empty;
        return result;
    }
    if (length > MaxReceivedProfileSetLength)
        throw TProtocolError(InvalidProfileSetLength + std::to_string(length));
    result.Blob.resize(static_cast<std::size_t>(length));
    if (!FPort.ReadExact(result.Blob.data(), length, ReadStepTimeoutMs))
        throw TProtocolError(ProfileSetDataUnreadable);
    std::uint8_t end[4] = {};
    if (!FPort.ReadExact(end, 4, ReadStepTimeoutMs))
        throw TProtocolError(EndTokenUnreadable);
    if (!std::equal(EndToken.begin(), EndToken.end(), end))
        throw TProtocolError(UnexpectedEndToken);
    if (!result.Set.FromBlob(result.Blob))
        throw TProtocolError(ProfileSetUnparsable);
    result.Outcome = TReceivedProfileSet::Received;
    return result;
}

bool TDeviceProtocol::WriteAll(TByteView bytes) {
    while (!bytes.empty()) {
        const int written = FPort.WriteBinaryData(bytes);
        if (written <= 0)
            return false;
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

void TDeviceProtocol::SendProfileSet(TByteView blob) {
    const TPreciseTimers preciseTimers;
    if (!WriteAll(Bytes(cmd::ProfSet)))
        throw TProtocolError(ProfSetHeaderWriteFailed);
    FPort.FlushWriteBuffer();
    Pause(HeaderPauseMs);
    const auto length = static_cast<std::uint16_t>(blob.size() % 65536);
    const std::uint8_t lengthBytes[2] = {static_cast<std::uint8_t>(length & 0xFF),
                                         static_cast<std::uint8_t>(length >> 8)};
    if (!WriteAll(lengthBytes))
        throw TProtocolError(ProfSetLengthWriteFailed);
    Pause(LengthPauseMs);
    while (!blob.empty()) {
        const int written = FPort.WriteBinaryData(blob.first(std::min(PieceSize, blob.size())));
        if (written <= 0)
            throw TProtocolError(ProfSetPayloadWriteFailed);
        blob = blob.subspan(static_cast<std::size_t>(written));
        if (!blob.empty())
            Pause(PiecePauseMs);
    }
    FPort.FlushWriteBuffer();
}

TProfileSetListReply TDeviceProtocol::ReadProfileSetList() {
    TProfileSetListReply reply;
    if (!FPort.WriteString(cmd::GetProfSetList))
        return reply;
    const auto deadline = TClock::now() + milliseconds(ListTimeoutMs);
    for (;;) {
        std::uint8_t byte = 0;
        if (FPort.ReadData(&byte, 1) == 1) {
            reply.RawText += static_cast<char>(byte);
            if (reply.RawText.ends_with(EndToken))
                break;
            continue;
        }
        const int left = RemainingMs(deadline);
        if (left == 0)
            break;
        FPort.WaitForData(left);
    }
    reply.Entries = ParseProfileSetList(reply.RawText);
    return reply;
}

std::optional<std::string> TDeviceProtocol::ReadSysInfo() {
    if (!FPort.WriteString(cmd::SysInfo))
        return std::nullopt;
    // Reads one byte per pass, waiting up to 100 ms for it; false when the port is gone for good or
    // the phase's deadline has passed.
    const auto nextByte = [this](TClock::time_point deadline, std::string& text) {
        while (TClock::now() < deadline) {
            if (!FPort.CheckConnection())
                return false;
            std::uint8_t byte = 0;
            if (FPort.ReadExact(&byte, 1, ByteWaitMs)) {
                text += static_cast<char>(byte);
                return true;
            }
        }
        return false;
    };

    std::string window;
    for (auto deadline = TClock::now() + milliseconds(SysInfoPhaseTimeoutMs);
         !window.ends_with(SysInfoToken);) {
        if (!nextByte(deadline, window))
            return std::nullopt;
        if (window.size() > SysInfoWindowLimit)
            window.erase(0, window.size() - SysInfoWindowKeep);
    }
    std::string body;
    for (auto deadline = TClock::now() + milliseconds(SysInfoPhaseTimeoutMs); !body.ends_with(EndToken);) {
        if (!nextByte(deadline, body) || body.size() > MaxSysInfoBody)
            return std::nullopt;
    }
    body.resize(body.size() - EndToken.size());
    return Cp1252ToUtf8(Bytes(body));
}

bool TDeviceProtocol::QueryNvsInfo(TNvsInfo& info) {
    info = TNvsInfo{};
    if (!FPort.CheckConnection()) {
        info.Error = nvsNoPort;
        return false;
    }
    std::uint8_t drain[256];
    while (FPort.ReadData(drain, sizeof drain) > 0) {
    }
    if (!FPort.WriteString(cmd::NvsInfo)) {
        info.Error = nvsNotSent;
        return false;
    }
    const auto deadline = TClock::now() + milliseconds(NvsLineTimeoutMs);
    std::string line;
    for (bool complete = false; !complete;) {
        if (TClock::now() >= deadline) {
            info.Error = nvsNoLine;
            return false;
        }
        if (!FPort.CheckConnection()) {
            info.Error = nvsNoPort;
            return false;
        }
        std::uint8_t byte = 0;
        if (!FPort.ReadExact(&byte, 1, ByteWaitMs))
            continue;
        if (byte == '\r' || byte == '\n') {
            complete = !line.empty();
            continue;
        }
        line += static_cast<char>(byte);
        if (line.size() > MaxNvsLineLength) {
            info.Error = nvsLineTooLong;
            return false;
        }
    }
    info = ParseNvsLine(line);
    return info.Valid;
}

bool TDeviceProtocol::ProbeIdentification() {
    FPort.WriteData(Bytes(cmd::Identify).data(), static_cast<int>(cmd::Identify.size()));
    Pause(ProbePauseMs);
    std::uint8_t buffer[ProbeReadSize];
    const int count = FPort.ReadData(buffer, ProbeReadSize);
    if (count <= 0)
        return false;
    return std::string_view(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(count))
               .find(IdentificationText) != std::string_view::npos;
}

bool TDeviceProtocol::AwaitIdentification(int timeoutMs) {
    if (!FPort.WriteString(cmd::Identify))
        return false;
    const auto deadline = TClock::now() + milliseconds(timeoutMs);
    std::string text;
    for (;;) {
        std::uint8_t buffer[ProbeReadSize];
        const int count = FPort.ReadData(buffer, ProbeReadSize);
        if (count > 0) {
            text.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(count));
            if (text.find(IdentificationText) != std::string::npos)
                return true;
            text.erase(0, text.size() - std::min(text.size(), IdentificationText.size()));
            continue;
        }
        const int left = RemainingMs(deadline);
        if (left == 0)
            return false;
        FPort.WaitForData(left);
    }
}

void TDeviceProtocol::SwitchTest(int profileIndex, int switchIndex) {
    SendLiveCommand(cmd::Load(profileIndex));
    Pause(SwitchTestPauseMs);
    SendLiveCommand(cmd::Switch(switchIndex));
}

bool TDeviceProtocol::SendCommand(std::string_view line) {
    return FPort.WriteString(line);
}

void TDeviceProtocol::SendLiveCommand(std::string_view line) {
    FPort.WriteData(Bytes(line).data(), static_cast<int>(line.size()));
    FPort.FlushWriteBuffer();
}

} // namespace zelmor
