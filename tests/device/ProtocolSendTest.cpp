// SPDX-License-Identifier: MIT
// Sending a profile set through a port that takes fewer bytes than offered.
#include "DeviceTestSupport.h"
#include "FakeSerialBackend.h"

#include "device/DeviceProtocol.h"
#include "link/SerialPortHelper.h"

using namespace zelmor;
using namespace zelmor::test;

namespace {

class EmptyRegistry final : public TDeviceRegistry {
public:
    std::vector<TSerialDeviceEntry> UsbSerialPorts() const override { return {}; }
    std::vector<std::string> SerialPorts() const override { return {}; }
};

struct TSendFixture {
    explicit TSendFixture(std::size_t maxPerWrite, int failingWrite = 0)
        : Port(std::make_unique<TFakeSerialBackend>(Writes, maxPerWrite, failingWrite),
               std::make_shared<EmptyRegistry>()) {
        App();
        Port.SetPortName("/dev/fake");
        EXPECT_TRUE(Port.OpenPort());
    }
    std::vector<TWriteCall> Writes;
    TSerialPortHelper Port;
    TDeviceProtocol Protocol{Port};
};

long long GapMs(const TWriteCall& before, const TWriteCall& after) {
    return std::chrono::duration_cast<std::chrono::microseconds>(after.Time - before.Time).count() / 1000;
}

TBytes Blob(std::size_t size) {
    TBytes blob(size);
    for (std::size_t i = 0; i < size; ++i)
        blob[i] = static_cast<std::uint8_t>(i);
    return blob;
}

} // namespace

TEST(ProtocolSend, ShortWritesResumeAtTheFirstUnwrittenByte) {
    TSendFixture fixture(40);
    const auto blob = Blob(130);
    fixture.Protocol.SendProfileSet(blob);
    const auto& writes = fixture.Writes;
    // Header (10 bytes fit), length, then pieces asked from the first unwritten byte.
    ASSERT_GE(writes.size(), 3u);
    EXPECT_EQ(writes[0].Accepted, "*PROFSET\r\n");
    EXPECT_EQ(writes[1].Accepted, Text({0x82, 0x00}));
    std::string payload;
    std::size_t offset = 0;
    for (std::size_t i = 2; i < writes.size(); ++i) {
        EXPECT_EQ(writes[i].Asked, std::min<std::size_t>(64, 130 - offset)) << "write " << i;
        payload += writes[i].Accepted;
        offset += writes[i].Accepted.size();
        if (i > 2) {
            EXPECT_GE(GapMs(writes[i - 1], writes[i]), 2) << "write " << i;
        }
    }
    EXPECT_EQ(payload, std::string(blob.begin(), blob.end()));
    EXPECT_EQ(writes.size(), 2u + 4u); // 40 + 40 + 40 + 10
    EXPECT_GE(GapMs(writes[0], writes[1]), 400);
    EXPECT_GE(GapMs(writes[1], writes[2]), 20);
}

TEST(ProtocolSend, PiecesOf64WhenThePortTakesEverything) {
    TSendFixture fixture(1000);
    fixture.Protocol.SendProfileSet(Blob(130));
    ASSERT_EQ(fixture.Writes.size(), 5u);
    EXPECT_EQ(fixture.Writes[2].Accepted.size(), 64u);
    EXPECT_EQ(fixture.Writes[3].Accepted.size(), 64u);
    EXPECT_EQ(fixture.Writes[4].Accepted.size(), 2u);
}

TEST(ProtocolSend, AWriteThatTakesNothingFailsItsStep) {
    const std::pair<int, const char*> cases[] = {
        {1, ProfSetHeaderWriteFailed}, {2, ProfSetLengthWriteFailed}, {3, ProfSetPayloadWriteFailed}};
    for (const auto& [failing, message] : cases) {
        TSendFixture fixture(1000, failing);
        try {
            fixture.Protocol.SendProfileSet(Blob(10));
            ADD_FAILURE() << "no error for write " << failing;
        } catch (const TProtocolError& error) {
            EXPECT_STREQ(error.what(), message);
        }
        EXPECT_EQ(fixture.Writes.size(), static_cast<std::size_t>(failing));
    }
}
