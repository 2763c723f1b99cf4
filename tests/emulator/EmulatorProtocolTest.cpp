// SPDX-License-Identifier: MIT
// The host's protocol against the emulated adapter, with and without injected faults.
#include "EmulatorTestSupport.h"
#include "HexText.h"

#include "device/DeviceProtocol.h"
#include "device/ProtocolCommands.h"
#include "device/SysInfo.h"
#include "link/PortDiscovery.h"
#include "link/SerialPortHelper.h"
#include "link/VirtualAdapters.h"
#include "model/Cp1252.h"

using namespace zelmor;
using namespace zelmor::test;

namespace {

using TClock = std::chrono::steady_clock;

long long MillisecondsSince(TClock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - start).count();
}

class EmulatorProtocol : public ::testing::Test {
protected:
    void Plug(const std::vector<std::string>& args = {}) {
        App();
        Emulator = std::make_unique<TEmulatorThread>(TestOptions(Folder, args));
        Port.SetPortName(Emulator->Port());
        ASSERT_TRUE(Port.OpenPort()) << Port.LastOpenErrorText();
    }
    void Unplug() {
        Port.ClosePort();
        Emulator.reset();
    }
    std::vector<nlohmann::json> Events(const std::string& name) const {
        std::vector<nlohmann::json> events;
        for (auto& line : ReadRecording(Folder.Path("record.jsonl")))
            if (line.value("event", "") == name)
                events.push_back(line);
        return events;
    }
    std::string ErrorOfReceive() {
        try {
            Protocol.ReceiveProfileSet();
        } catch (const TProtocolError& error) {
            return error.what();
        }
        return "(no error)";
    }

    TTestFolder Folder;
    std::unique_ptr<TEmulatorThread> Emulator;
    TSerialPortHelper Port;
    TDeviceProtocol Protocol{Port};
};

} // namespace

TEST_F(EmulatorProtocol, StoresPersistsAndReportsTheSet) {
    const auto blob = ProfileSetOfBlobSize(3000).ToBlob();
    Plug();
    EXPECT_EQ(Protocol.ReceiveProfileSet().Outcome, TReceivedProfileSet::Empty);
    Protocol.SendProfileSet(blob);
    auto received = Protocol.ReceiveProfileSet();
    ASSERT_EQ(received.Outcome, TReceivedProfileSet::Received);
    EXPECT_EQ(received.Blob, blob);
    TNvsInfo nvs;
    ASSERT_TRUE(Protocol.QueryNvsInfo(nvs));
    EXPECT_EQ(nvs.Used, 3000u);
    EXPECT_EQ(nvs.Total, 0x8000u);
    EXPECT_EQ(nvs.Free, 0x8000u - 3000u);

    Unplug();
    Plug();
    received = Protocol.ReceiveProfileSet();
    EXPECT_EQ(received.Blob, blob) << "kept in the state file";
}

TEST_F(EmulatorProtocol, RecordingShowsTheHostsPacing) {
    const auto blob = ProfileSetOfBlobSize(1000).ToBlob(); // 16 pieces
    Plug();
    Protocol.SendProfileSet(blob);
    ASSERT_TRUE(WaitUntil([&] { return !Events("profile-set-stored").empty(); }));

    std::string stream;
    std::vector<std::pair<std::size_t, long long>> arrivals; // offset in the stream, time
    for (const auto& line : ReadRecording(Folder.Path("record.jsonl"))) {
        if (line.value("dir", "") != "rx")
            continue;
        arrivals.emplace_back(stream.size(), line["t_us"].get<long long>());
        const auto bytes = emu::FromHex(line["hex"].get<std::string>());
        stream.append(bytes.begin(), bytes.end());
    }
    ASSERT_EQ(stream, "*PROFSET\r\n" + Text({0xE8, 0x03}) + BlobText(ProfileSetOfBlobSize(1000)));
    const auto arrivalOf = [&](std::size_t offset) {
        long long time = 0;
        for (const auto& [at, t] : arrivals)
            if (at <= offset)
                time = t;
        return time;
    };
    // Times are taken when the emulator reads, so a read of the earlier bytes that is late (a busy
    // machine, a sanitizer build) shortens the gap it sees; the exact pauses are checked on the host.
    constexpr long long readJitterUs = 15'000;
    EXPECT_GE(arrivalOf(10) - arrivalOf(9), 400'000 - readJitterUs) << "pause after the command line";
    EXPECT_GE(arrivalOf(12) - arrivalOf(11), 20'000 - readJitterUs) << "pause after the length";
    EXPECT_GE(arrivalOf(stream.size() - 1) - arrivalOf(12), 2 * 15 * 1000 - readJitterUs)
        << "pauses between pieces";
}

TEST_F(EmulatorProtocol, ReadsBackSetsUpTo4096Bytes) {
    Plug();
    Protocol.SendProfileSet(ProfileSetOfBlobSize(4097).ToBlob());
    EXPECT_EQ(ErrorOfReceive(), "Invalid profile-set length: 4097");
    Protocol.SendProfileSet(ProfileSetOfBlobSize(4096).ToBlob());
    const auto received = Protocol.ReceiveProfileSet();
    ASSERT_EQ(received.Outcome, TReceivedProfileSet::Received);
    EXPECT_EQ(received.Blob.size(), 4096u);
    EXPECT_EQ(Events("profile-set-stored").size(), 2u);
}

TEST_F(EmulatorProtocol, RefusesABrokenSet) {
    Plug({"--factory-set", "2"});
    const TBytes broken = {1, 9, 3, 0, 0, 4, 0}; // three profiles announced, none there
    Protocol.SendProfileSet(broken);
    ASSERT_TRUE(WaitUntil([&] { return !Events("profile-set-rejected").empty(); }));
    EXPECT_EQ(Protocol.ReceiveProfileSet().Set.ID, 2) << "the stored set stays";
}

TEST_F(EmulatorProtocol, AnswersWithNoiseAroundSplitReplies) {
    Plug({"--factory-set", "1", "--noise-before", "300", "--noise-after", "40", "--split", "7",
          "--split-gap-ms", "1"});
    const auto sysinfo = Protocol.ReadSysInfo();
    ASSERT_TRUE(sysinfo);
    const auto info = ParseSysInfo(*sysinfo);
    EXPECT_EQ(info.NRFCpu.AppVersion, "1.2.0");
    EXPECT_EQ(info.NRFCpu.ProfileFormat, 2);
    EXPECT_TRUE(info.VNC2.Present);
    const auto received = Protocol.ReceiveProfileSet();
    ASSERT_EQ(received.Outcome, TReceivedProfileSet::Received);
    EXPECT_EQ(NameToText(received.Set.Name), "Standard");
    EXPECT_EQ(received.Set.ProfileCount, 2);
}

TEST_F(EmulatorProtocol, FramingFaults) {
    const struct {
        std::vector<std::string> Args;
        std::string Expected;
    } cases[] = {
        {{"--factory-set", "1", "--end-token", "*EN!"}, UnexpectedEndToken},
        {{"--factory-set", "1", "--zero-length"}, "empty"},
        {{}, "empty"},
        {{"--factory-set", "3", "--delay-ms", "300"}, "received"},
    };
    for (const auto& c : cases) {
        std::remove(Folder.Path("state.json").c_str());
        Plug(c.Args);
        std::string outcome;
        try {
            const auto received = Protocol.ReceiveProfileSet(true);
            outcome = received.Outcome == TReceivedProfileSet::Empty      ? "empty"
                      : received.Outcome == TReceivedProfileSet::Received ? "received"
                                                                          : "other";
        } catch (const TProtocolError& error) {
            outcome = error.what();
        }
        EXPECT_EQ(outcome, c.Expected) << c.Args.size();
        Unplug();
    }
}

TEST_F(EmulatorProtocol, TruncatedReplyRunsIntoTheDataDeadline) {
    Plug({"--factory-set", "1", "--truncate", "40"});
    const auto start = TClock::now();
    EXPECT_EQ(ErrorOfReceive(), ProfileSetDataUnreadable);
    EXPECT_GE(MillisecondsSince(start), 5000);
}

TEST_F(EmulatorProtocol, SilentAdapterGivesNoStartToken) {
    Plug({"--factory-set", "1", "--faults-for", "*GETPROFSET", "--silent"});
    ASSERT_TRUE(Protocol.ReadSysInfo()) << "only the profile set is silenced";
    const auto start = TClock::now();
    EXPECT_EQ(Protocol.ReceiveProfileSet().Outcome, TReceivedProfileSet::NoStartToken);
    EXPECT_GE(MillisecondsSince(start), 3000);
}

TEST_F(EmulatorProtocol, UnplugDuringReplyThenReplug) {
    Plug({"--factory-set", "1", "--unplug-at", "sent:30", "--replug-ms", "200"});
    const auto start = TClock::now();
    EXPECT_EQ(ErrorOfReceive(), ProfileSetDataUnreadable);
    EXPECT_GE(MillisecondsSince(start), 5000);
    EXPECT_FALSE(Port.Connected());
    ASSERT_TRUE(WaitUntil([] { return !FindPortsByVidPid(AdapterVid, AdapterPid).empty(); }));
    Port.SetPortName(FindPortsByVidPid(AdapterVid, AdapterPid).front());
    ASSERT_TRUE(Port.OpenPort());
    EXPECT_EQ(Protocol.ReceiveProfileSet().Outcome, TReceivedProfileSet::Received);
}

TEST_F(EmulatorProtocol, UnplugWhileTheHostSends) {
    Plug({"--unplug-at", "received:200"});
    try {
        Protocol.SendProfileSet(ProfileSetOfBlobSize(2000).ToBlob());
        ADD_FAILURE() << "the transfer went through";
    } catch (const TProtocolError& error) {
        EXPECT_STREQ(error.what(), ProfSetPayloadWriteFailed);
    }
    EXPECT_TRUE(ListVirtualAdapters().empty());
}

TEST_F(EmulatorProtocol, StorageListAndLanguage) {
    Plug({"--nvs-total", "16384"});
    TNvsInfo nvs;
    ASSERT_TRUE(Protocol.QueryNvsInfo(nvs));
    EXPECT_EQ(nvs.Used, 0u);
    EXPECT_EQ(nvs.Total, 16384u);

    const auto list = Protocol.ReadProfileSetList();
    ASSERT_EQ(list.Entries.size(), 3u);
    EXPECT_EQ(list.Entries[1].Id, 2);
    EXPECT_EQ(list.Entries[1].Name, "Office");

    ASSERT_TRUE(Protocol.SendCommand(cmd::SetProfSet(2)));
    ASSERT_TRUE(Protocol.SendCommand(cmd::SetLang(2)));
    const auto received = Protocol.ReceiveProfileSet();
    EXPECT_EQ(received.Set.ID, 2);
    EXPECT_EQ(NameToText(received.Set.Profiles[0].ProfileName), "Office");
    ASSERT_TRUE(Protocol.QueryNvsInfo(nvs));
    EXPECT_EQ(nvs.Used, received.Blob.size());
    std::ifstream state(Folder.Path("state.json"));
    EXPECT_EQ(nlohmann::json::parse(state)["language"], 2);
}

TEST_F(EmulatorProtocol, StorageErrorAndIdentification) {
    Plug({"--nvs-error", "1F", "--app-version", "1.3.4"});
    TNvsInfo nvs;
    EXPECT_FALSE(Protocol.QueryNvsInfo(nvs));
    EXPECT_EQ(nvs.Error, 31);
    EXPECT_TRUE(Protocol.ProbeIdentification());
    Unplug();
    Plug({"--delay-ms", "100"});
    EXPECT_FALSE(Protocol.ProbeIdentification()) << "the answer comes after the single read";
    EXPECT_TRUE(Protocol.AwaitIdentification(1000)) << "waiting for the answer gets it";
    Unplug();
    Plug({"--silent"});
    const auto start = TClock::now();
    EXPECT_FALSE(Protocol.AwaitIdentification(200));
    EXPECT_GE(MillisecondsSince(start), 200);
}

TEST_F(EmulatorProtocol, LiveCommandsAreRecorded) {
    Plug();
    Protocol.SwitchTest(1, 2);
    Protocol.SendLiveCommand(cmd::ButtonOk);
    Protocol.SendLiveCommand(cmd::ButtonDown);
    ASSERT_TRUE(WaitUntil([&] { return Events("command").size() == 4; }));
    std::vector<std::string> lines;
    for (const auto& event : Events("command"))
        lines.push_back(event["line"]);
    EXPECT_EQ(lines, (std::vector<std::string>{"*LOAD1", "*SW2", "*BTN0", "*BTN2"}));
}

TEST_F(EmulatorProtocol, RestartAndFactoryReset) {
    Plug({"--factory-set", "1", "--restart-ms", "100"});
    const auto firstPort = Emulator->Port();
    ASSERT_TRUE(Protocol.SendCommand(cmd::AppRestart));
    ASSERT_TRUE(WaitUntil([&] { return Emulator->Port().empty(); }));
    ASSERT_TRUE(WaitUntil([&] { return ListVirtualAdapters().size() == 1; }));
    EXPECT_EQ(ListVirtualAdapters()[0].Pid, "7B25");
    Port.ClosePort();
    Port.SetPortName(Emulator->Port());
    ASSERT_TRUE(Port.OpenPort());
    EXPECT_EQ(Protocol.ReceiveProfileSet().Set.ID, 1) << "the set survives a restart";

    ASSERT_TRUE(Protocol.SendCommand(cmd::AppFactoryReset));
    ASSERT_TRUE(WaitUntil([&] { return Emulator->Port().empty(); }));
    ASSERT_TRUE(WaitUntil([&] { return !Emulator->Port().empty(); }));
    Port.ClosePort();
    Port.SetPortName(Emulator->Port());
    ASSERT_TRUE(Port.OpenPort());
    EXPECT_EQ(Protocol.ReceiveProfileSet(true).Outcome, TReceivedProfileSet::Empty);
}

TEST_F(EmulatorProtocol, BootloaderRestartReRegistersAndGoesSilent) {
    Plug({"--factory-set", "1", "--restart-ms", "100"});
    ASSERT_TRUE(Protocol.SendCommand(cmd::AppUpdate));
    ASSERT_TRUE(WaitUntil([] {
        const auto adapters = ListVirtualAdapters();
        return adapters.size() == 1 && adapters[0].Pid == "7B26";
    }));
    EXPECT_TRUE(FindPortsByVidPid(AdapterVid, AdapterPid).empty());
    ASSERT_EQ(FindPortsByVidPid(AdapterVid, BootloaderPid).size(), 1u);
    Port.ClosePort();
    Port.SetPortName(FindPortsByVidPid(AdapterVid, BootloaderPid).front());
    ASSERT_TRUE(Port.OpenPort());
    EXPECT_FALSE(Protocol.ProbeIdentification());
}

TEST_F(EmulatorProtocol, BridgeModeStopsAnswering) {
    Plug();
    ASSERT_TRUE(Protocol.SendCommand(cmd::VncUpdate));
    EXPECT_FALSE(Protocol.ProbeIdentification());
    EXPECT_EQ(Events("bridge").size(), 1u);
}
