// SPDX-License-Identifier: MIT
// The host's side of the protocol against scripted replies on a real pseudo-terminal.
#include "DeviceTestSupport.h"

#include "device/DeviceProtocol.h"
#include "device/ProtocolCommands.h"
#include "link/SerialPortHelper.h"

#include <ctime>

using namespace zelmor;
using namespace zelmor::test;

namespace {

using TClock = std::chrono::steady_clock;

std::string Length(std::size_t length) {
    return Text({static_cast<int>(length & 0xFF), static_cast<int>(length >> 8)});
}

std::string ProfSetBlock(const std::string& blob, const std::string& end = "*END") {
    return "*PROFSET" + Length(blob.size()) + blob + end;
}

long long MillisecondsSince(TClock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - start).count();
}

class ProtocolScript : public ::testing::Test {
protected:
    void Connect(TScriptedAdapter& adapter) {
        App();
        Port.SetPortName(adapter.PortPath());
        ASSERT_TRUE(Port.OpenPort()) << Port.LastOpenErrorText();
    }

    TSerialPortHelper Port;
    TDeviceProtocol Protocol{Port};
};

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const TProtocolError& error) {
        return error.what();
    }
    return "(no error)";
}

} // namespace

TEST_F(ProtocolScript, ReceiveSkipsNoiseAndAssemblesASplitReply) {
    TProfileSet sent{};
    sent.ID = 7;
    sent.ProfileCount = 1;
    TScriptedAdapter adapter([&](TScriptedAdapter& a) {
        ASSERT_TRUE(a.WaitFor("*GETPROFSET\r\n"));
        a.SendSplit("xyz*PRO*PROFSET" + Length(BlobText(sent).size()) + BlobText(sent) + "*END", 3, 2);
    });
    Connect(adapter);
    const auto received = Protocol.ReceiveProfileSet();
    ASSERT_EQ(received.Outcome, TReceivedProfileSet::Received);
    EXPECT_EQ(received.Set.ID, 7);
    EXPECT_EQ(received.Set.ProfileCount, 1);
    EXPECT_EQ(std::string(received.Blob.begin(), received.Blob.end()), BlobText(sent));
}

TEST_F(ProtocolScript, ReceiveDrainsStaleBytesBeforeTheRequest) {
    TProfileSet stale{}, fresh{};
    stale.ID = 9;
    fresh.ID = 5;
    TScriptedAdapter adapter([&](TScriptedAdapter& a) {
        ASSERT_TRUE(a.WaitFor("*X\r\n"));
        a.Send(ProfSetBlock(BlobText(stale)));
        ASSERT_TRUE(a.WaitFor("*GETPROFSET\r\n"));
        a.Send(ProfSetBlock(BlobText(fresh)));
    });
    Connect(adapter);
    ASSERT_TRUE(Protocol.SendCommand("*X\r\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(Protocol.ReceiveProfileSet().Set.ID, 5);
}

TEST_F(ProtocolScript, ZeroLengthLeavesOrReadsTheEndBytes) {
    for (const bool readEnd : {false, true}) {
        TSerialPortHelper port;
        TDeviceProtocol protocol(port);
        TScriptedAdapter adapter([](TScriptedAdapter& a) {
            ASSERT_TRUE(a.WaitFor("*GETPROFSET\r\n"));
            a.Send("*PROFSET" + Length(0) + "*END");
        });
        App();
        port.SetPortName(adapter.PortPath());
        ASSERT_TRUE(port.OpenPort());
        EXPECT_EQ(protocol.ReceiveProfileSet(readEnd).Outcome, TReceivedProfileSet::Empty);
        adapter.Join();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::uint8_t rest[8];
        EXPECT_EQ(port.ReadData(rest, sizeof rest), readEnd ? 0 : 4) << readEnd;
    }
}

TEST_F(ProtocolScript, LengthLimitIs4096) {
    const auto largest = BlobText(ProfileSetOfBlobSize(4096));
    TScriptedAdapter adapter([&](TScriptedAdapter& a) {
        ASSERT_TRUE(a.WaitFor("*GETPROFSET\r\n"));
        a.Send(ProfSetBlock(largest));
        ASSERT_TRUE(a.WaitFor("*GETPROFSET\r\n"));
        a.Send("*PROFSET" + Length(4097));
    });
    Connect(adapter);
    const auto received = Protocol.ReceiveProfileSet();
    ASSERT_EQ(received.Outcome, TReceivedProfileSet::Received);
    EXPECT_EQ(received.Blob.size(), 4096u);
    EXPECT_EQ(received.Set.ProfileCount, 10);
    const auto start = TClock::now();
    EXPECT_EQ(ErrorOf([&] { Protocol.ReceiveProfileSet(); }), "Invalid profile-set length: 4097");
    EXPECT_LT(MillisecondsSince(start), 1000);
}

TEST_F(ProtocolScript, ReplyFaultsGiveTheirMessages) {
    const struct {
        std::string Reply;
        const char* Message;
    } cases[] = {
        {"*PROFSET" + Length(2) + "ab*EN!", UnexpectedEndToken},
        {"*PROFSET" + Length(3) + "abc*END", ProfileSetUnparsable},
    };
    for (const auto& c : cases) {
        TScriptedAdapter adapter([&](TScriptedAdapter& a) {
            ASSERT_TRUE(a.WaitFor("*GETPROFSET\r\n"));
            a.Send(c.Reply);
        });
        TSerialPortHelper port;
        TDeviceProtocol protocol(port);
        App();
        port.SetPortName(adapter.PortPath());
        ASSERT_TRUE(port.OpenPort());
        EXPECT_EQ(ErrorOf([&] { protocol.ReceiveProfileSet(); }), c.Message);
    }
}

TEST_F(ProtocolScript, RequestOnAClosedPortIsNotSent) {
    EXPECT_EQ(Protocol.ReceiveProfileSet().Outcome, TReceivedProfileSet::NotSent);
    EXPECT_TRUE(Protocol.ReadProfileSetList().RawText.empty());
    EXPECT_FALSE(Protocol.ReadSysInfo());
}

// Replies that stop short: each case waits out one protocol deadline, so each is its own test case.
struct TDeadlineCase {
    const char* Name;
    std::string Reply;
    bool UnplugAfterReply;
    std::string Message; // empty: no start token
    int DeadlineMs;
};

void PrintTo(const TDeadlineCase& c, std::ostream* out) {
    *out << c.Name;
}

class ReceiveDeadline : public ProtocolScript, public ::testing::WithParamInterface<TDeadlineCase> {};

TEST_P(ReceiveDeadline, WaitsOutItsStepAndNeverSpins) {
    const auto& c = GetParam();
    TScriptedAdapter adapter([&](TScriptedAdapter& a) {
        ASSERT_TRUE(a.WaitFor("*GETPROFSET\r\n"));
        a.Send(c.Reply);
        if (c.UnplugAfterReply) {
            a.Pause(50);
            a.Unplug();
        }
    });
    Connect(adapter);
    const auto start = TClock::now();
    const auto cpuStart = std::clock();
    if (c.Message.empty())
        EXPECT_EQ(Protocol.ReceiveProfileSet().Outcome, TReceivedProfileSet::NoStartToken);
    else
        EXPECT_EQ(ErrorOf([&] { Protocol.ReceiveProfileSet(); }), c.Message);
    const auto elapsed = MillisecondsSince(start);
    const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    EXPECT_GE(elapsed, c.DeadlineMs);
    EXPECT_LT(elapsed, c.DeadlineMs + 1000);
    EXPECT_LT(cpuMs, 0.05 * static_cast<double>(elapsed)) << "the wait must sleep, not spin";
}

INSTANTIATE_TEST_SUITE_P(Steps, ReceiveDeadline,
                         ::testing::Values(TDeadlineCase{"Silent", "noise only", false, "", 3000},
                                           TDeadlineCase{"LengthCut", "*PROFSET" + Text({5}), false,
                                                         ProfileSetLengthUnreadable, 5000},
                                           TDeadlineCase{"DataCut", "*PROFSET" + Length(10) + "12345", false,
                                                         ProfileSetDataUnreadable, 5000},
                                           TDeadlineCase{"EndCut", "*PROFSET" + Length(2) + "ab*EN", false,
                                                         EndTokenUnreadable, 5000},
                                           TDeadlineCase{"UnplugInData", "*PROFSET" + Length(10) + "1234",
                                                         true, ProfileSetDataUnreadable, 5000}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ProtocolScript, SendsTheWireBytesWithTheirPauses) {
    std::string blob;
    for (int i = 0; i < 130; ++i)
        blob += static_cast<char>(i * 7);
    const std::string expected = "*PROFSET\r\n" + Text({0x82, 0x00}) + blob;
    TScriptedAdapter adapter([&](TScriptedAdapter& a) { ASSERT_TRUE(a.WaitFor(expected)); });
    Connect(adapter);
    const auto start = TClock::now();
    Protocol.SendProfileSet(TByteView(reinterpret_cast<const std::uint8_t*>(blob.data()), blob.size()));
    EXPECT_GE(MillisecondsSince(start), 400 + 20 + 2 * 2);
    adapter.Join();
    EXPECT_EQ(adapter.Received(), expected);
}

TEST_F(ProtocolScript, ProfileSetListWithOddLines) {
    TScriptedAdapter adapter([](TScriptedAdapter& a) {
        ASSERT_TRUE(a.WaitFor("*GETPROFSETLIST\r\n"));
        a.SendSplit("*PROFSETLIST\r\nID=3;NAME= Office\r\nid=4\r\n*END\r\nID=8\r\n", 5, 2);
    });
    Connect(adapter);
    const auto start = TClock::now();
    const auto reply = Protocol.ReadProfileSetList();
    EXPECT_LT(MillisecondsSince(start), 1000) << "stops at *END";
    EXPECT_EQ(reply.RawText, "*PROFSETLIST\r\nID=3;NAME= Office\r\nid=4\r\n*END");
    ASSERT_EQ(reply.Entries.size(), 2u);
    EXPECT_EQ(reply.Entries[0].Id, 3);
    EXPECT_EQ(reply.Entries[0].Name, "Office");
    EXPECT_EQ(reply.Entries[1].Id, 0);
    EXPECT_EQ(reply.Entries[1].Name, "");
}

TEST_F(ProtocolScript, ProfileSetListWithoutEndWaitsOutItsDeadline) {
    TScriptedAdapter adapter([](TScriptedAdapter& a) {
        ASSERT_TRUE(a.WaitFor("*GETPROFSETLIST\r\n"));
        a.Send("ID=1;NAME=A\nID=2;NAME=B\n");
    });
    Connect(adapter);
    const auto start = TClock::now();
    const auto reply = Protocol.ReadProfileSetList();
    EXPECT_GE(MillisecondsSince(start), 3000);
    EXPECT_EQ(reply.Entries.size(), 2u);
}

TEST_F(ProtocolScript, SysInfoFoundBehindNoiseAndSplit) {
    const std::string json = R"({"nrfcpu":{"app_version":"1.2.3"},"vnc2":{"present":false}})";
    TScriptedAdapter adapter([&](TScriptedAdapter& a) {
        ASSERT_TRUE(a.WaitFor("*SYSINFO\r\n"));
        a.SendSplit(std::string(300, 'n') + "*SYSINFO" + json + "*END trailing", 50, 2);
    });
    Connect(adapter);
    EXPECT_EQ(Protocol.ReadSysInfo().value_or("(none)"), json);
}

TEST_F(ProtocolScript, SysInfoBodyLimit) {
    const std::string fits(4096, 'a'), tooLong(4097, 'a');
    TScriptedAdapter adapter([&](TScriptedAdapter& a) {
        ASSERT_TRUE(a.WaitFor("*SYSINFO\r\n"));
        a.Send("*SYSINFO" + fits + "*END");
        ASSERT_TRUE(a.WaitFor("*SYSINFO\r\n"));
        a.Send("*SYSINFO" + tooLong + "*END");
    });
    Connect(adapter);
    EXPECT_EQ(Protocol.ReadSysInfo().value_or("(none)"), fits);
    const auto start = TClock::now();
    EXPECT_FALSE(Protocol.ReadSysInfo());
    EXPECT_LT(MillisecondsSince(start), 1000);
}

TEST_F(ProtocolScript, SysInfoEndsWhenThePortIsLost) {
    TScriptedAdapter adapter([](TScriptedAdapter& a) {
        ASSERT_TRUE(a.WaitFor("*SYSINFO\r\n"));
        a.Send("*SYSINFO{\"nrf");
        a.Pause(50);
        a.Unplug();
    });
    Connect(adapter);
    const auto start = TClock::now();
    EXPECT_FALSE(Protocol.ReadSysInfo());
    EXPECT_LT(MillisecondsSince(start), 1000);
}

TEST_F(ProtocolScript, SysInfoWithoutEndWaitsOutTheBodyPhase) {
    TScriptedAdapter adapter([](TScriptedAdapter& a) {
        ASSERT_TRUE(a.WaitFor("*SYSINFO\r\n"));
        a.Send("*SYSINFO{}");
    });
    Connect(adapter);
    const auto start = TClock::now();
    EXPECT_FALSE(Protocol.ReadSysInfo());
    EXPECT_GE(MillisecondsSince(start), 5000);
    EXPECT_LT(MillisecondsSince(start), 6000);
}

TEST_F(ProtocolScript, StorageLines) {
    const struct {
        std::string Reply;
        bool Valid;
        std::int32_t Error;
    } cases[] = {
        {"*NVS 1000,3000,4000\r\n", true, 0},
        {"\r\n\n*NVS E1F\r", false, 31},
        {"noise*NVS 1,2,3\n", false, nvsBadLine},
        {"*NVS " + std::string(123, '1') + "\r\n", false, nvsBadNumbers}, // 128 characters: read whole
        {"*NVS " + std::string(124, '1') + "\r\n", false, nvsLineTooLong},
    };
    for (const auto& c : cases) {
        TScriptedAdapter adapter([&](TScriptedAdapter& a) {
            ASSERT_TRUE(a.WaitFor("*NVSINFO\r\n"));
            a.SendSplit(c.Reply, 4, 1);
        });
        TSerialPortHelper port;
        TDeviceProtocol protocol(port);
        App();
        port.SetPortName(adapter.PortPath());
        ASSERT_TRUE(port.OpenPort());
        TNvsInfo info;
        const bool ok = protocol.QueryNvsInfo(info);
        EXPECT_EQ(ok, c.Valid) << c.Reply;
        EXPECT_EQ(info.Error, c.Error) << c.Reply;
        if (c.Valid) {
            EXPECT_EQ(info.Total, 0x4000u);
        }
    }
}

TEST_F(ProtocolScript, StorageOnAMissingPortAndASilentAdapter) {
    TNvsInfo info;
    Port.SetPortName("/dev/pts/does-not-exist");
    EXPECT_FALSE(Protocol.QueryNvsInfo(info));
    EXPECT_EQ(info.Error, nvsNoPort);

    TScriptedAdapter adapter([](TScriptedAdapter& a) { a.Collect(200); });
    Connect(adapter);
    const auto start = TClock::now();
    EXPECT_FALSE(Protocol.QueryNvsInfo(info));
    EXPECT_EQ(info.Error, nvsNoLine);
    EXPECT_GE(MillisecondsSince(start), 5000);
}

TEST_F(ProtocolScript, IdentificationProbe) {
    const struct {
        int DelayMs;
        const char* Reply;
        bool Identified;
    } cases[] = {{0, "Zelmor MX 1.2.3\r\n", true},
                 {120, "Zelmor MX 1.2.3\r\n", false},
                 {0, "Other device\r\n", false}};
    for (const auto& c : cases) {
        TScriptedAdapter adapter([&](TScriptedAdapter& a) {
            ASSERT_TRUE(a.WaitFor("*D\r\n"));
            a.Pause(c.DelayMs);
            a.Send(c.Reply);
        });
        TSerialPortHelper port;
        TDeviceProtocol protocol(port);
        App();
        port.SetPortName(adapter.PortPath());
        ASSERT_TRUE(port.OpenPort());
        EXPECT_EQ(protocol.ProbeIdentification(), c.Identified) << c.DelayMs << ' ' << c.Reply;
    }
}

TEST_F(ProtocolScript, SwitchTestAndPlainCommands) {
    long long gapMs = 0;
    TScriptedAdapter adapter([&](TScriptedAdapter& a) {
        ASSERT_TRUE(a.WaitFor("*LOAD1\r\n"));
        const auto loaded = TClock::now();
        ASSERT_TRUE(a.WaitFor("*SW2\r\n"));
        gapMs = MillisecondsSince(loaded);
        ASSERT_TRUE(a.WaitFor("*BTN0\r\n"));
    });
    Connect(adapter);
    Protocol.SwitchTest(1, 2);
    EXPECT_TRUE(Protocol.SendCommand(cmd::SetLang(3)));
    EXPECT_TRUE(Protocol.SendCommand(cmd::SetProfSet(2)));
    Protocol.SendLiveCommand(cmd::ButtonOk);
    adapter.Join();
    EXPECT_EQ(adapter.Received(), "*LOAD1\r\n*SW2\r\n*SETLANG 3\r\n*SETPROFSET 2\r\n*BTN0\r\n");
    EXPECT_GE(gapMs, 90);
}
