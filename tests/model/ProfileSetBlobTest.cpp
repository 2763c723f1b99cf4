// SPDX-License-Identifier: MIT
#include "model/ProfileSetBlob.h"
#include "RandomProfiles.h"

#include <gtest/gtest.h>

using namespace zelmor;
using namespace zelmor::test;

namespace {

// A set blob with the given header bytes and profile entries (each a length and the bytes given).
TBytes SetBlob(std::uint8_t count, std::uint8_t active, const std::string& name,
               std::vector<TBytes> entries) {
    TBytes blob{1, 42, count, active, static_cast<std::uint8_t>(name.size())};
    blob.insert(blob.end(), name.begin(), name.end());
    for (const TBytes& e : entries) {
        blob.push_back(static_cast<std::uint8_t>(e.size()));
        blob.push_back(static_cast<std::uint8_t>(e.size() >> 8));
        blob.insert(blob.end(), e.begin(), e.end());
    }
    return blob;
}

TProfile Named(const char* name) {
    TProfile p{};
    p.ProfileVersion.Set(2);
    std::memcpy(p.ProfileName, name, std::strlen(name));
    return p;
}

} // namespace

TEST(ProfileSetBlob, RoundTripGivesTheNormalisedSet) {
    TRandomProfiles random(7);
    for (int i = 0; i < 200; ++i) {
        const TProfileSet original = random.Set();
        TProfileSet decoded;
        ASSERT_TRUE(decoded.FromBlob(original.ToBlob()));

        const int active =
            original.ActiveProfileIndex < original.ProfileCount ? original.ActiveProfileIndex : 0;
        const TProfileSet expected = SetAfterTrip(original, active, AfterBlobTrip);
        ASSERT_EQ(decoded, expected) << "set " << i;
    }
}

TEST(ProfileSetBlob, WriterLimitsCountAndActiveIndex) {
    TProfileSet set{};
    set.ProfileCount = 12;
    set.ActiveProfileIndex = 11;
    TBytes blob = set.ToBlob();
    EXPECT_EQ(blob[2], 10);
    EXPECT_EQ(blob[3], 0);

    set.ProfileCount = 2;
    set.ActiveProfileIndex = 1;
    EXPECT_EQ(set.ToBlob()[3], 1);
    set.ActiveProfileIndex = 2;
    EXPECT_EQ(set.ToBlob()[3], 0);
}

TEST(ProfileSetBlob, LargestSetFitsTheProtocolLimit) {
    TProfileSet set{};
    std::fill(std::begin(set.Name), std::end(set.Name), 'S');
    set.ProfileCount = 10;
    std::fill(std::begin(set.Profiles), std::end(set.Profiles), LargestProfile());
    EXPECT_EQ(set.ToBlob().size(), 11691u);
}

TEST(ProfileSetBlob, ReaderCases) {
    const TBytes one = Named("One").ToV2Blob(), two = Named("Two").ToV2Blob();
    TBytes cutShort = SetBlob(2, 1, "", {one, two});
    cutShort.pop_back();
    TBytes lengthCut = SetBlob(2, 1, "", {one});
    lengthCut.push_back(0x40);

    struct TCase {
        const char* Name;
        TBytes Blob;
        bool Ok;
        int Count;
        int Active;
    };
    const TCase cases[] = {
        {"empty set, any active index", {1, 9, 0, 7, 0}, true, 0, 0},
        {"active index at the count becomes 0", SetBlob(2, 2, "S", {one, two}), true, 2, 0},
        {"active index below the count is kept", SetBlob(2, 1, "S", {one, two, one}), true, 2, 1},
        {"last entry cut short keeps the first", cutShort, false, 1, 0},
        {"length field cut short keeps the first", lengthCut, false, 1, 0},
        {"profile that does not decode", SetBlob(2, 0, "", {one, {3, 8, 0, 0, 0}}), false, 1, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TProfileSet set;
        std::memset(&set, 0xEE, sizeof set);
        EXPECT_EQ(set.FromBlob(c.Blob), c.Ok);
        EXPECT_EQ(set.ProfileCount, c.Count);
        EXPECT_EQ(set.ActiveProfileIndex, c.Active);
        if (c.Count > 0) {
            EXPECT_EQ(set.Profiles[0], Named("One"));
        }
        for (int k = c.Count; k < MaxProfilesInSet; ++k)
            EXPECT_EQ(set.Profiles[k], TProfile{});
    }
}

TEST(ProfileSetBlob, ReaderLeavesTheSetUntouchedOnBadHeaders) {
    const TBytes cases[] = {
        {1, 0, 0, 0}, {2, 0, 0, 0, 0}, {1, 0, 11, 0, 0}, {1, 0, 0, 0, 17}, {1, 0, 0, 0, 2, 'x'}};
    for (const TBytes& blob : cases) {
        TProfileSet set{};
        set.ID = 99;
        EXPECT_FALSE(set.FromBlob(blob));
        EXPECT_EQ(set.ID, 99);
    }
}

TEST(ProfileSetBlob, ValidationMessages) {
    const TBytes one = Named("One").ToV2Blob();
    TBytes overflow = SetBlob(2, 0, "ab", {one, one});
    overflow.resize(overflow.size() - 10);
    const std::pair<TBytes, std::string> cases[] = {
        {{1, 0, 0, 0}, "set too short"},
        {{7, 0, 0, 0, 0}, "set version=7"},
        {{1, 0, 11, 0, 0}, "set count/name invalid (count=11 name_len=0)"},
        {{1, 0, 0, 0, 20}, "set count/name invalid (count=0 name_len=20)"},
        {{1, 0, 0, 0, 3, 'a'}, "set name exceeds length"},
        {{1, 0, 2, 0, 0, 93, 0}, "profile 1 length overflow (len=93 pos=7 total=7)"},
        {overflow, "profile 2 length overflow (len=96 pos=107 total=193)"},
        {[&] {
             TBytes b = SetBlob(2, 0, "", {one});
             b.push_back(1);
             return b;
         }(),
         "profile 2 length truncated"},
        {SetBlob(1, 0, "", {{2, 8, 0, 0, 17}}), "profile 1 invalid: profile name_len=17"},
    };
    for (const auto& [blob, message] : cases) {
        std::string actual;
        EXPECT_FALSE(ValidateProfileSetBlob(blob, actual));
        EXPECT_EQ(actual, message);
    }
    std::string actual = "stale";
    TBytes trailing = SetBlob(1, 0, "x", {one});
    trailing.push_back(0);
    EXPECT_TRUE(ValidateProfileSetBlob(trailing, actual));
    EXPECT_EQ(actual, "");
}
