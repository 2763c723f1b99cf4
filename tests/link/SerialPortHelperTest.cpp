// SPDX-License-Identifier: MIT
// TSerialPortHelper on real pseudo-terminals: states, notifications, unplug, exclusivity, waits.
#include "LinkTestSupport.h"

#include "link/SerialPortHelper.h"
#include "link/VirtualAdapters.h"

#include <QTemporaryDir>

#include <chrono>
#include <ctime>
#include <sys/file.h>
#include <termios.h>
#include <thread>

using namespace zelmor;
using namespace zelmor::test;

namespace {

// Counts the notifications of one helper, in order ('C' connect, 'D' disconnect).
struct TNotifications {
    explicit TNotifications(TSerialPortHelper& port) {
        QObject::connect(&port, &TSerialPortHelper::OnConnect, &port,
                         [this](TSerialPortHelper*) { Log += 'C'; });
        QObject::connect(&port, &TSerialPortHelper::OnDisconnect, &port,
                         [this](TSerialPortHelper*) { Log += 'D'; });
    }
    std::string Log;
};

class SerialPortHelperTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        Port.SetPortName(Pty.SlavePath());
    }

    TPty Pty;
    TSerialPortHelper Port;
    TNotifications Events{Port};
};

double CpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

} // namespace

TEST_F(SerialPortHelperTest, NewObjectIsClosedWithDefaultSettingsAndReportsNothing) {
    EXPECT_FALSE(Port.Connected());
    EXPECT_FALSE(Port.IsPortAvailable());
    EXPECT_EQ(Port.BaudRate(), 115200);
    EXPECT_EQ(Port.Parity(), paNone);
    EXPECT_EQ(Port.StopBits(), sbOne);
    Port.ClosePort();
    uint8_t buffer[4];
    EXPECT_EQ(Port.ReadData(buffer, 4), 0);
    EXPECT_EQ(Port.WriteData(buffer, 4), 0);
    DeliverQueued();
    EXPECT_EQ(Events.Log, "");
}

TEST_F(SerialPortHelperTest, OpenConnectsOnceAfterReturningToTheEventLoop) {
    ASSERT_TRUE(Port.OpenPort());
    EXPECT_TRUE(Port.Connected());
    EXPECT_EQ(Port.LastOpenError().Kind, TOpenFailure::None);
    EXPECT_EQ(Events.Log, "") << "the notification must be queued, not raised inside OpenPort";
    DeliverQueued();
    EXPECT_EQ(Events.Log, "C");

    ASSERT_TRUE(Port.OpenPort()); // reopening an open port closes it first
    DeliverQueued();
    EXPECT_EQ(Events.Log, "CDC");

    Port.ClosePort();
    Port.ClosePort();
    DeliverQueued();
    EXPECT_EQ(Events.Log, "CDCD") << "one disconnect per connect";
}

TEST_F(SerialPortHelperTest, DestroyingDropsQueuedNotifications) {
    std::string log;
    {
        TSerialPortHelper port;
        port.SetPortName(Pty.SlavePath());
        QObject::connect(&port, &TSerialPortHelper::OnConnect, [&log](TSerialPortHelper*) { log += 'C'; });
        QObject::connect(&port, &TSerialPortHelper::OnDisconnect, [&log](TSerialPortHelper*) { log += 'D'; });
        ASSERT_TRUE(port.OpenPort());
    }
    DeliverQueued();
    EXPECT_EQ(log, "");
}

TEST_F(SerialPortHelperTest, OpensRawAtTheSetSpeedAndAppliesChangedSettings) {
    Pty.Send("stale");
    ASSERT_TRUE(Port.OpenPort());
    termios options{};
    const int probe = ::open(Pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(probe, 0);
    ASSERT_EQ(::tcgetattr(probe, &options), 0);
    EXPECT_EQ(cfgetospeed(&options), static_cast<speed_t>(B115200));
    EXPECT_EQ(options.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(options.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(options.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(options.c_lflag & (ICANON | ECHO), 0u);
    uint8_t buffer[16];
    EXPECT_EQ(Port.ReadData(buffer, sizeof buffer), 0) << "input buffered before the open is purged";

    Port.SetBaudRate(9600);
    Port.SetStopBits(sbTwo);
    ASSERT_EQ(::tcgetattr(probe, &options), 0);
    EXPECT_EQ(cfgetospeed(&options), static_cast<speed_t>(B9600));
    EXPECT_EQ(options.c_cflag & CSTOPB, static_cast<tcflag_t>(CSTOPB));
    // Some kernels refuse parity on a pseudo-terminal; then the setter reports the refusal.
    try {
        Port.SetParity(paOdd);
        ASSERT_EQ(::tcgetattr(probe, &options), 0);
        EXPECT_EQ(options.c_cflag & (PARENB | PARODD), static_cast<tcflag_t>(PARENB | PARODD));
    } catch (const TSerialSettingsError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("SetCommState failed: ", 0), 0u) << error.what();
    }
    EXPECT_EQ(Port.Parity(), paOdd);
    ::close(probe);

    try {
        Port.SetBaudRate(12345);
        ADD_FAILURE() << "an unsupported speed must raise";
    } catch (const TSerialSettingsError& error) {
        EXPECT_STREQ(error.what(), "BuildCommDCB failed: Invalid argument");
    }
    EXPECT_TRUE(Port.Connected());
}

TEST_F(SerialPortHelperTest, RefusedSettingsMakeOpenFailAndLeaveThePortClosed) {
    Port.SetBaudRate(12345); // closed: only stored
    EXPECT_FALSE(Port.OpenPort());
    EXPECT_FALSE(Port.Connected());
    EXPECT_EQ(Port.LastOpenError().Kind, TOpenFailure::Settings);
    DeliverQueued();
    EXPECT_EQ(Events.Log, "");
    Port.SetBaudRate(115200);
    EXPECT_TRUE(Port.OpenPort()) << "the refused attempt must not leave the port locked";
}

TEST_F(SerialPortHelperTest, ExchangesBytesBothWays) {
    ASSERT_TRUE(Port.OpenPort());
    EXPECT_TRUE(Port.WriteString("*D\r\n"));
    EXPECT_EQ(Pty.Receive(4), "*D\r\n");
    EXPECT_TRUE(Port.WriteString("N\xC3\xA4me")); // UTF-8 in, one Windows-1252 byte per character out
    EXPECT_EQ(Pty.Receive(4), "N\xE4me");
    const std::vector<uint8_t> binary{0x00, 0xFF, 0x0A, 0x0D};
    EXPECT_EQ(Port.WriteBinaryData(binary), 4);
    EXPECT_EQ(Pty.Receive(4), std::string("\x00\xFF\x0A\x0D", 4)) << "raw: no translation of bytes";
    EXPECT_EQ(Port.WriteBinaryData({}), 0);
    EXPECT_EQ(Port.WriteData(binary.data(), 0), 0);
    Port.FlushWriteBuffer();

    Pty.Send(std::string("\x11\x13\r\n\x00", 5));
    uint8_t buffer[8] = {};
    ASSERT_TRUE(Port.ReadExact(buffer, 5, 1000));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 5), std::string("\x11\x13\r\n\x00", 5));
    EXPECT_EQ(Port.ReadData(buffer, sizeof buffer), 0) << "nothing buffered: returns at once with 0";
}

TEST_F(SerialPortHelperTest, UnplugWhileReadingClosesThePortWithOneDisconnect) {
    ASSERT_TRUE(Port.OpenPort());
    DeliverQueued();
    Pty.CloseMaster();
    EXPECT_TRUE(Port.WaitForData(2000)) << "a hang-up ends the wait";
    uint8_t buffer[8];
    EXPECT_EQ(Port.ReadData(buffer, sizeof buffer), -1);
    EXPECT_FALSE(Port.Connected());
    EXPECT_EQ(Port.ReadData(buffer, sizeof buffer), 0);
    Port.ClosePort();
    DeliverQueued();
    EXPECT_EQ(Events.Log, "CD");
}

TEST_F(SerialPortHelperTest, UnplugWhileWritingClosesThePort) {
    ASSERT_TRUE(Port.OpenPort());
    Pty.CloseMaster();
    const uint8_t bytes[] = {'*', 'D', '\r', '\n'};
    EXPECT_EQ(Port.WriteData(bytes, 4), -1);
    EXPECT_FALSE(Port.Connected());
    DeliverQueued();
    EXPECT_EQ(Events.Log, "CD");
}

TEST_F(SerialPortHelperTest, ReadExactWaitsWithoutSpinningAndKeepsItsDeadline) {
    ASSERT_TRUE(Port.OpenPort());
    uint8_t buffer[4];
    EXPECT_TRUE(Port.ReadExact(buffer, 0, 1000));

    const double cpuBefore = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Port.ReadExact(buffer, 4, 300));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(300));
    EXPECT_LT(elapsed, std::chrono::milliseconds(600));
    EXPECT_LT(CpuSeconds() - cpuBefore, 0.05) << "waiting must sleep, not poll in a loop";

    // Bytes that come in pieces are gathered; the wait ends when the last one arrives.
    std::thread device([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        Pty.Send("ab");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        Pty.Send("cd");
    });
    const auto pieceStart = std::chrono::steady_clock::now();
    EXPECT_TRUE(Port.ReadExact(buffer, 4, 2000));
    EXPECT_LT(std::chrono::steady_clock::now() - pieceStart, std::chrono::milliseconds(1000));
    device.join();
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 4), "abcd");
}

TEST_F(SerialPortHelperTest, ReadExactOnALostPortWaitsOutItsDeadline) {
    ASSERT_TRUE(Port.OpenPort());
    Pty.CloseMaster();
    uint8_t buffer[4];
    const double cpuBefore = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Port.ReadExact(buffer, 4, 200));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    EXPECT_LT(CpuSeconds() - cpuBefore, 0.05);
    EXPECT_FALSE(Port.Connected());
    EXPECT_FALSE(Port.WaitForData(0));
}

TEST_F(SerialPortHelperTest, ShortWriteWhenTheDeviceStopsReading) {
    ASSERT_TRUE(Port.OpenPort());
    const std::vector<uint8_t> big(4 * 1024 * 1024, 'x');
    const auto start = std::chrono::steady_clock::now();
    const int written = Port.WriteBinaryData(big);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GT(written, 0);
    EXPECT_LT(written, static_cast<int>(big.size()));
    EXPECT_GE(elapsed, std::chrono::milliseconds(1900));
    EXPECT_LT(elapsed, std::chrono::milliseconds(3000));
    EXPECT_TRUE(Port.Connected()) << "a slow device is not a lost one";
}

TEST_F(SerialPortHelperTest, SecondOpenOfAHeldPortFailsAsBusy) {
    ASSERT_TRUE(Port.OpenPort());
    TSerialPortHelper second;
    second.SetPortName(Pty.SlavePath());
    EXPECT_FALSE(second.OpenPort());
    EXPECT_FALSE(second.Connected());
    EXPECT_EQ(second.LastOpenError().Kind, TOpenFailure::Busy);
    EXPECT_NE(second.LastOpenErrorText().find("in use by another program"), std::string::npos);
    Port.ClosePort();
    EXPECT_TRUE(second.OpenPort());
}

TEST_F(SerialPortHelperTest, PortLockedByAnotherProgramIsBusy) {
    const int other = ::open(Pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(Port.OpenPort());
    EXPECT_EQ(Port.LastOpenError().Kind, TOpenFailure::Busy);
    ::close(other);
    EXPECT_TRUE(Port.OpenPort());
}

TEST_F(SerialPortHelperTest, CheckConnectionReopensOrReportsTheLoss) {
    EXPECT_TRUE(Port.CheckConnection());
    EXPECT_TRUE(Port.CheckConnection());
    DeliverQueued();
    EXPECT_EQ(Events.Log, "C");
    Port.ClosePort();
    Port.SetPortName("/dev/zelmor-no-such-port");
    EXPECT_FALSE(Port.CheckConnection());
    EXPECT_EQ(Port.LastOpenError().Kind, TOpenFailure::NotFound);
    DeliverQueued();
    EXPECT_EQ(Events.Log, "CD");
}

TEST(SerialPortHelperReconnect, AVanishedPortIsReopenedOnlyAsTheAdaptersPortAgain) {
    App();
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/virtual-adapters";
    const std::string name = dir.path().toStdString() + "/ttyZELMOR"; // a name that outlives its device
    auto adapter = std::make_unique<TPty>();
    ASSERT_EQ(::symlink(adapter->SlavePath().c_str(), name.c_str()), 0);
    TSerialPortHelper port(CreateSerialBackend(), std::make_shared<TVirtualAdapterRegistry>(folder));
    port.SetPortName(name);
    ASSERT_TRUE(port.OpenPort());

    adapter.reset(); // unplugged; the next read notices
    std::uint8_t byte = 0;
    for (int i = 0; i < 100 && port.Connected(); ++i)
        if (port.ReadData(&byte, 1) == 0)
            port.WaitForData(10);
    ASSERT_FALSE(port.Connected());

    // Another device now answers to the name, as a reused pseudo-terminal number would.
    TPty stranger;
    ASSERT_EQ(::unlink(name.c_str()), 0);
    ASSERT_EQ(::symlink(stranger.SlavePath().c_str(), name.c_str()), 0);
    EXPECT_FALSE(port.CheckConnection());
    EXPECT_FALSE(port.Connected());

    // Once the scan lists the name as the adapter's port, it is reopened.
    RegisterVirtualAdapter({"3C6A", "7B25", "A1", name}, folder);
    EXPECT_TRUE(port.CheckConnection());
}

TEST(SerialPortHelperPath, BareNamesLiveInDev) {
    TSerialPortHelper port;
    port.SetPortName("ttyACM0");
    EXPECT_EQ(port.DevicePath(), "/dev/ttyACM0");
    port.SetPortName("/dev/pts/7");
    EXPECT_EQ(port.DevicePath(), "/dev/pts/7");
}

TEST(SerialPortHelperReconnect, OpensTheFirstFreeAdapterPort) {
    App();
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/virtual-adapters";
    TPty busy, free, bootloader;
    RegisterVirtualAdapter({"3C6A", "7B26", "BOOT", bootloader.SlavePath()}, folder);
    RegisterVirtualAdapter({"3C6A", "7B25", "A1", busy.SlavePath()}, folder);
    RegisterVirtualAdapter({"3C6A", "7B25", "A2", free.SlavePath()}, folder);

    TSerialPortHelper holder;
    holder.SetPortName(busy.SlavePath());
    ASSERT_TRUE(holder.OpenPort());

    TSerialPortHelper port(CreateSerialBackend(), std::make_shared<TVirtualAdapterRegistry>(folder));
    TNotifications events(port);
    port.SetPortName(bootloader.SlavePath());
    ASSERT_TRUE(port.OpenPort());
    EXPECT_TRUE(port.Reconnect());
    EXPECT_EQ(port.PortName(), free.SlavePath());
    DeliverQueued();
    EXPECT_EQ(events.Log, "CDC");

    // Nothing to find: closed, one disconnect, the name unchanged.
    UnregisterVirtualAdapter("A2", folder);
    holder.ClosePort();
    UnregisterVirtualAdapter("A1", folder);
    EXPECT_FALSE(port.Reconnect());
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.PortName(), free.SlavePath());
    DeliverQueued();
    EXPECT_EQ(events.Log, "CDCD");
}

namespace {

// A backend whose reads and writes fail as told; any call a test does not expect fails it.
class TFailingBackend final : public TSerialBackend {
public:
    explicit TFailingBackend(TIoStatus failure) : FFailure(failure) {}
    TPortOpenError Open(const std::string& path) override {
        FOpen = true;
        return {TOpenFailure::None, 0, path, {}};
    }
    bool IsOpen() const override { return FOpen; }
    void Close() override { FOpen = false; }
    void Purge() override {}
    void ApplyLineSettings(const TLineSettings&) override {}
    void SetModemLines(bool) override {}
    TIoResult Read(std::uint8_t*, std::size_t) override { return {FFailure, 0}; }
    TIoResult Write(const std::uint8_t*, std::size_t, int) override { return {FFailure, 0}; }
    bool WaitReadable(int) override {
        ADD_FAILURE() << "unexpected wait";
        return false;
    }
    void Drain(int) override { ADD_FAILURE() << "unexpected drain"; }

private:
    TIoStatus FFailure;
    bool FOpen = false;
};

} // namespace

TEST(SerialPortHelperFailures, OnlyLinkLostFailuresCloseThePort) {
    App();
    for (const auto& [failure, closes] :
         {std::pair{TIoStatus::LinkLost, true}, std::pair{TIoStatus::Failed, false}}) {
        for (const bool reading : {true, false}) {
            SCOPED_TRACE(std::string(closes ? "link lost " : "other failure ") +
                         (reading ? "reading" : "writing"));
            TSerialPortHelper port(std::make_unique<TFailingBackend>(failure), nullptr);
            TNotifications events(port);
            port.SetPortName("ttyFAKE0");
            ASSERT_TRUE(port.OpenPort());
            uint8_t buffer[4] = {};
            EXPECT_EQ(reading ? port.ReadData(buffer, 4) : port.WriteData(buffer, 4), -1);
            EXPECT_EQ(port.Connected(), !closes);
            DeliverQueued();
            EXPECT_EQ(events.Log, closes ? "CD" : "C");
        }
    }
}
