// SPDX-License-Identifier: MIT
#include "model/ProfileBlob.h"
#include "RandomProfiles.h"

#include <gtest/gtest.h>

using namespace zelmor;
using namespace zelmor::test;

namespace {

// A blob header (version 2, switch count, layout 1031, name) followed by the given records.
TBytes Blob(std::uint8_t switchCount, const std::string& name, std::initializer_list<TBytes> records) {
    TBytes blob{2, switchCount, 0x07, 0x04, static_cast<std::uint8_t>(name.size())};
    blob.insert(blob.end(), name.begin(), name.end());
    for (const TBytes& r : records)
        blob.insert(blob.end(), r.begin(), r.end());
    return blob;
}

TBytes Record(std::uint8_t type, TBytes value) {
    TBytes r{type, static_cast<std::uint8_t>(value.size()), static_cast<std::uint8_t>(value.size() >> 8)};
    r.insert(r.end(), value.begin(), value.end());
    return r;
}

} // namespace

TEST(ProfileBlob, SmallestAndLargestBlobs) {
    TProfile empty{};
    EXPECT_EQ(empty.ToV2Blob().size(), 93u);

    const TProfile full = LargestProfile();
    EXPECT_EQ(full.ToV2Blob().size(), 1165u);
}

TEST(ProfileBlob, WritesHeaderRecordsAndFieldOrderExactly) {
    TProfile p{};
    p.LCID.Set(0x0409);
    std::memcpy(p.ProfileName, "Ab\0zz", 5); // bytes after the NUL are not sent
    p.HIDInput.EnabledUSB = 1;
    p.HIDOutput.BT_HostSlot = 3;
    p.SwitchMotionSpeed.ScrollSpeed = 6;
    auto& combo = p.SwitchConfigs[0].ShortPress;
    combo.SwitchType = stKeyCombination;
    combo.KeyCombination = {{0x02, {0x04, 0, 0, 0, 0, 0x05}}, kaToggle};
    p.SwitchConfigs[0].UseLongPress = 1;
    auto& seq = p.SwitchConfigs[0].LongPress;
    seq.SwitchType = stKeySequence;
    seq.KeySequence.Modifiers[0] = 0x02;
    seq.KeySequence.KeyCodes[0] = 0x0B;
    seq.KeySequence.KeyCodes[1] = 0x0C;
    seq.KeySequence.KeyCodes[3] = 0x0D; // after the empty third step: not sent

    const TBytes blob = p.ToV2Blob();
    TBytes expected{2, 8, 0x09, 0x04, 2, 'A', 'b', 1, 24, 0, 1};
    expected.resize(expected.size() + 23, 0);
    for (std::uint8_t b : {2, 3, 0, 0, 3, 0, 3, 4, 0, 0, 0, 0, 6})
        expected.push_back(b);
    // Switch 1: long-press flag, short press (mode before modifiers), long press (modifiers, then keys).
    for (std::uint8_t b : {16, 18, 0, 1, 9, 1, 1, 0x02, 0x04, 0, 0, 0, 0, 0x05, 6, 2, 2, 0x02, 0, 0x0B, 0x0C})
        expected.push_back(b);
    for (std::uint8_t k = 1; k < 8; ++k)
        for (std::uint8_t b : {std::uint8_t(16 + k), std::uint8_t(3), std::uint8_t(0), std::uint8_t(0),
                               std::uint8_t(1), std::uint8_t(0)})
            expected.push_back(b);
    ASSERT_EQ(blob.size(), expected.size());
    for (std::size_t i = 0; i < blob.size(); ++i)
        EXPECT_EQ(blob[i], expected[i]) << "byte " << i;
}

TEST(ProfileBlob, RoundTripGivesTheNormalisedProfile) {
    TRandomProfiles random(20261211);
    for (int i = 0; i < 500; ++i) {
        const TProfile original = random.Profile();
        TProfile decoded;
        ASSERT_TRUE(decoded.FromV2Blob(original.ToV2Blob()));
        ASSERT_EQ(decoded, AfterBlobTrip(original))
            << "profile " << i << ", " << FirstDifference(decoded, AfterBlobTrip(original));
    }
}

TEST(ProfileBlob, RejectsBadHeadersWithoutTouchingTheProfile) {
    const TBytes cases[] = {{}, {2, 8, 0, 0}, {3, 8, 0, 0, 0}, {2, 8, 0, 0, 17}, {2, 8, 0, 0, 3, 'a', 'b'}};
    for (const TBytes& blob : cases) {
        TProfile p{};
        p.LCID.Set(77);
        EXPECT_FALSE(p.FromV2Blob(blob));
        EXPECT_EQ(p.LCID.Get(), 77);
    }
}

TEST(ProfileBlob, HeaderOnlyDecodesToAClearedProfile) {
    TProfile p;
    std::memset(&p, 0xAB, sizeof p);
    ASSERT_TRUE(p.FromV2Blob(Blob(8, "Hi", {})));
    TProfile expected{};
    expected.ProfileVersion.Set(2);
    expected.LCID.Set(1031);
    expected.ProfileName[0] = 'H';
    expected.ProfileName[1] = 'i';
    EXPECT_EQ(p, expected);
}

TEST(ProfileBlob, ReaderSkipsWhatItCannotUse) {
    const TBytes mouseMove = {0, 2, stMouseMove, dirUp};
    TSwitchConfig raw{};
    raw.ShortPress.SwitchType = stTremorFilter;
    raw.ShortPress.Payload[50] = 9; // a raw image keeps even unused bytes
    raw.UseLongPress = 7;
    const auto rawImage = ByteImage(raw);

    struct TCase {
        const char* Name;
        TBytes Blob;
        std::function<void(const TProfile&)> Check;
    };
    const TCase cases[] = {
        {"input record of the wrong length is ignored",
         Blob(8, "", {Record(1, TBytes(23, 1)), Record(16, mouseMove)}),
         [](const TProfile& p) {
             EXPECT_EQ(p.HIDInput, THIDInputConfig{});
             EXPECT_EQ(p.SwitchConfigs[0].ShortPress.Direction, dirUp);
         }},
        {"switch count 0 skips every switch record", Blob(0, "", {Record(16, mouseMove)}),
         [](const TProfile& p) { EXPECT_EQ(p.SwitchConfigs[0], TSwitchConfig{}); }},
        {"switch records at or past the count are skipped",
         Blob(2, "", {Record(17, mouseMove), Record(18, mouseMove)}),
         [](const TProfile& p) {
             EXPECT_EQ(p.SwitchConfigs[1].ShortPress.SwitchType, stMouseMove);
             EXPECT_EQ(p.SwitchConfigs[2], TSwitchConfig{});
         }},
        {"a 131-byte switch record is the raw record image",
         Blob(8, "", {Record(19, TBytes(rawImage.begin(), rawImage.end()))}),
         [&](const TProfile& p) { EXPECT_EQ(p.SwitchConfigs[3], raw); }},
        {"a short part of length 0 leaves the switch alone",
         Blob(8, "", {Record(16, mouseMove), Record(16, {1, 0, 1, stMouseWheel})}),
         [](const TProfile& p) {
             EXPECT_EQ(p.SwitchConfigs[0].UseLongPress, 0);
             EXPECT_EQ(p.SwitchConfigs[0].ShortPress.SwitchType, stMouseMove);
         }},
        {"an undecodable short part still takes flag and long press",
         Blob(8, "", {Record(16, {1, 2, stKeySequence, 33, 2, stMouseWheel, wdirDown})}),
         [](const TProfile& p) {
             EXPECT_EQ(p.SwitchConfigs[0].ShortPress, TSwitchBehavior{});
             EXPECT_EQ(p.SwitchConfigs[0].UseLongPress, 1);
             EXPECT_EQ(p.SwitchConfigs[0].LongPress.SwitchType, stMouseWheel);
             EXPECT_EQ(p.SwitchConfigs[0].LongPress.WheelDirection, wdirDown);
         }},
        {"a later record for the same switch replaces short press, flag and long press",
         Blob(8, "",
              {Record(16, {1, 2, stMouseMove, dirLeft, 2, stMouseMove, dirRight}), Record(16, {0, 1, 200})}),
         [](const TProfile& p) {
             EXPECT_EQ(p.SwitchConfigs[0].ShortPress.SwitchType, 200);
             EXPECT_EQ(p.SwitchConfigs[0].UseLongPress, 0);
             EXPECT_EQ(p.SwitchConfigs[0].LongPress, TSwitchBehavior{});
         }},
        {"one or two bytes after the last record are ignored", Blob(8, "", {Record(16, mouseMove), {7, 7}}),
         [](const TProfile& p) { EXPECT_EQ(p.SwitchConfigs[0].ShortPress.SwitchType, stMouseMove); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TProfile p;
        ASSERT_TRUE(p.FromV2Blob(c.Blob));
        c.Check(p);
    }
}

TEST(ProfileBlob, RecordRunningPastTheEndFailsAfterFillingEarlierFields) {
    TBytes blob = Blob(8, "", {Record(3, {1, 2, 3, 4}), Record(16, {0, 2, stMouseMove, dirDown})});
    blob.pop_back();
    TProfile p;
    EXPECT_FALSE(p.FromV2Blob(blob));
    EXPECT_EQ(p.SwitchMotionSpeed.ScrollSpeed, 4);
    EXPECT_EQ(p.SwitchConfigs[0], TSwitchConfig{});
}

TEST(ProfileBlob, DecodeNeedsExactlyTheBytesOfItsType) {
    // type, bytes needed after the type byte
    const std::pair<std::uint8_t, std::size_t> needs[] = {{0, 0},  {1, 8},  {3, 3},   {4, 1},  {5, 2},
                                                          {6, 1},  {7, 1},  {8, 2},   {9, 1},  {10, 2},
                                                          {11, 1}, {12, 0}, {200, 0}, {255, 0}};
    for (auto [type, need] : needs) {
        SCOPED_TRACE(int(type));
        TBytes bytes(1 + need, 0x11);
        bytes[0] = type;
        TSwitchBehavior b{};
        EXPECT_TRUE(DecodeSwitchBehavior(bytes, b));
        EXPECT_EQ(b.SwitchType, type);
        if (need > 0) {
            bytes.pop_back();
            EXPECT_FALSE(DecodeSwitchBehavior(bytes, b));
        }
    }
    TSwitchBehavior b{};
    EXPECT_FALSE(DecodeSwitchBehavior({}, b));
    EXPECT_FALSE(DecodeSwitchBehavior(TBytes{2}, b));
    EXPECT_FALSE(DecodeSwitchBehavior(TBytes{2, 33}, b));
    EXPECT_FALSE(DecodeSwitchBehavior(TBytes{2, 2, 1, 2, 3}, b));
    ASSERT_TRUE(DecodeSwitchBehavior(TBytes{2, 2, 1, 2, 3, 4, 99}, b));
    EXPECT_EQ(b.KeySequence.Modifiers[1], 2);
    EXPECT_EQ(b.KeySequence.KeyCodes[1], 4);
}

TEST(ProfileBlob, ValidationMessages) {
    const std::pair<TBytes, std::string> cases[] = {
        {{2, 8, 0, 0}, "profile too short"},
        {{9, 8, 0, 0, 0}, "profile version=9"},
        {{2, 8, 0, 0, 17}, "profile name_len=17"},
        {{2, 8, 0, 0, 2, 'a'}, "profile name exceeds length"},
        {Blob(8, "ab", {Record(1, TBytes(24, 0)), {0x10, 0x05, 0x01, 0}}),
         "profile tlv overflow type=0x10 len=261 pos=37 total=38"},
    };
    for (const auto& [blob, message] : cases) {
        std::string actual = "stale";
        EXPECT_FALSE(ValidateProfileBlob(blob, actual));
        EXPECT_EQ(actual, message);
    }
    std::string actual = "stale";
    EXPECT_TRUE(ValidateProfileBlob(Blob(0, "x", {Record(99, {}), {1, 2}}), actual));
    EXPECT_EQ(actual, "");
}
