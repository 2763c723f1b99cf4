// SPDX-License-Identifier: MIT
// The host's side of the adapter's command protocol over one serial port: every reply is framed by
// searching for its start token and reading up to its end token or length, each step bounded by a
// time-out. Waiting for bytes sleeps on the port; no step spins the CPU.
#pragma once

#include "NvsInfo.h"
#include "ProfileSetList.h"
#include "model/Profile.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zelmor {

class TSerialPortHelper;

// A failed exchange; the message is the text shown to the user.
struct TProtocolError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline constexpr const char* ProfileSetLengthUnreadable = "Profile-set length could not be read.";
inline constexpr const char* InvalidProfileSetLength = "Invalid profile-set length: "; // + length in decimal
inline constexpr const char* ProfileSetDataUnreadable = "Profile-set data could not be read.";
inline constexpr const char* EndTokenUnreadable = "End token \"*END\" could not be read.";
inline constexpr const char* UnexpectedEndToken = "Unexpected end token (expected \"*END\").";
inline constexpr const char* ProfileSetUnparsable = "Profile set could not be parsed.";
inline constexpr const char* ProfSetHeaderWriteFailed = "PROFSET header write failed";
inline constexpr const char* ProfSetLengthWriteFailed = "PROFSET length write failed";
inline constexpr const char* ProfSetPayloadWriteFailed = "PROFSET payload write failed";

inline constexpr int MaxReceivedProfileSetLength = 4096;

struct TReceivedProfileSet {
    enum TOutcome {
        NotSent,      // the request could not be written
        NoStartToken, // "*PROFSET" did not arrive in time
        Empty,        // the adapter holds no profile set (length 0)
        Received      // Set and Blob hold the adapter's set
    };
    TOutcome Outcome = NotSent;
    TBytes Blob;
    TProfileSet Set{};
};

struct TProfileSetListReply {
    std::string RawText; // everything received, one character per byte
    std::vector<TProfileSetListEntry> Entries;
};

class TDeviceProtocol {
public:
    explicit TDeviceProtocol(TSerialPortHelper& port) : FPort(port) {}

    // Drains stale input, sends "*GETPROFSET" and frames the reply. With ReadEndAfterEmpty the four end
    // bytes after a zero length are read and dropped; otherwise the next drain removes them. Raises
    // TProtocolError for a reply that starts but cannot be read or decoded.
    TReceivedProfileSet ReceiveProfileSet(bool readEndAfterEmpty = false);
    // "*PROFSET", length and blob with the adapter's pacing: 400 ms after the command line, 20 ms after
    // the length, 2 ms between 64-byte pieces. Nothing is read back. Raises TProtocolError.
    void SendProfileSet(TByteView blob);
    // Sends "*GETPROFSETLIST" and collects the reply up to "*END" (at most 3 s). Nothing is read when the
    // request cannot be written.
    TProfileSetListReply ReadProfileSetList();
    // Sends "*SYSINFO" and returns the JSON text between "*SYSINFO" and "*END" (as UTF-8), or nothing
    // when the request fails, the port is lost, a phase runs out of time or the text grows too long.
    std::optional<std::string> ReadSysInfo();
    // Drains, sends "*NVSINFO" and reads the storage line; Info carries the numbers or the error code.
    bool QueryNvsInfo(TNvsInfo& info);
    // Sends "*D" to a freshly opened port: true when the one read 50 ms later contains "Zelmor MX".
    bool ProbeIdentification();
    // Sends "*D" and waits at most TimeoutMs for the identification text. The adapter answers in
    // order, so an answer also shows that it has taken every byte sent before: a program that is about
    // to close the port after a transfer waits for it, since closing discards bytes not yet taken.
    bool AwaitIdentification(int timeoutMs);
    // "*LOAD<profile>", 100 ms, "*SW<switch>", each written and flushed.
    void SwitchTest(int profileIndex, int switchIndex);
    // A command line without reply, written with WriteString: true when every byte went out.
    bool SendCommand(std::string_view line);
    // A command line without reply, written with WriteData and flushed (the live commands).
    void SendLiveCommand(std::string_view line);

private:
    // Drops up to 4,097 bytes that are waiting.
    void DrainInput();
    // Reads byte by byte until the last bytes equal Token or TimeoutMs passes.
    bool SearchToken(std::string_view token, int timeoutMs);
    // Writes all bytes, repeating short writes; false when a write returns 0 or less.
    bool WriteAll(TByteView bytes);

    TSerialPortHelper& FPort;
};

} // namespace zelmor
