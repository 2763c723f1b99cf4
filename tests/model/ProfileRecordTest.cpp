// SPDX-License-Identifier: MIT
#include "model/Profile.h"

#include <gtest/gtest.h>

using namespace zelmor;

TEST(KeySequence, EmptyOnlyWhenEveryStepIsZero) {
    TKeySequence seq{};
    EXPECT_TRUE(seq.IsEmpty());
    seq.Modifiers[31] = ModLeftShift;
    EXPECT_FALSE(seq.IsEmpty());
    seq.Clear();
    seq.KeyCodes[0] = 4;
    EXPECT_FALSE(seq.IsEmpty());
    seq.Clear();
    EXPECT_TRUE(seq.IsEmpty());
}

TEST(KeySequence, StepCountStopsAtFirstEmptyStep) {
    TKeySequence seq{};
    for (int i : {0, 1, 2, 4, 5})
        seq.KeyCodes[i] = static_cast<std::uint8_t>(4 + i);
    EXPECT_EQ(seq.StepCount(), 3);
    seq.Modifiers[3] = ModLeftCtrl; // a modifier alone is a step
    EXPECT_EQ(seq.StepCount(), 6);
}

TEST(ProfileRecord, ComparisonCoversUnusedPayloadBytes) {
    TProfile a{};
    a.SwitchConfigs[2].ShortPress.SwitchType = stMouseMove;
    TProfile b = a;
    EXPECT_EQ(a, b);
    b.SwitchConfigs[2].ShortPress.Payload[40] = 1; // not read by a mouse move
    EXPECT_FALSE(a == b);
}

TEST(ProfileRecord, MultiByteFieldsAreLittleEndian) {
    TProfile p{};
    p.LCID.Set(1031);
    EXPECT_EQ(ByteImage(p)[2], 0x07);
    EXPECT_EQ(ByteImage(p)[3], 0x04);
    EXPECT_EQ(p.LCID.Get(), 1031);
}

TEST(ProfileRecord, NameOfSixteenBytesHasNoTerminator) {
    std::uint8_t name[NameBytes];
    std::fill(std::begin(name), std::end(name), 'A');
    EXPECT_EQ(NameLength(name), 16);
    name[5] = 0;
    EXPECT_EQ(NameLength(name), 5);
}
