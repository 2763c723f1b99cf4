// SPDX-License-Identifier: MIT
#include "device/ProfileSetList.h"

#include <gtest/gtest.h>

using namespace zelmor;

TEST(ProfileSetList, OddLines) {
    const auto entries =
        ParseProfileSetList("*PROFSETLIST\r\nID=3;NAME= Office \r\nid=4\r\n*END\r\nID=5;NAME=x");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Id, 3);
    EXPECT_EQ(entries[0].Name, "Office");
    EXPECT_EQ(entries[1].Id, 0);
    EXPECT_EQ(entries[1].Name, "");
}

TEST(ProfileSetList, LineEndsHeaderCaseAndFields) {
    const auto entries = ParseProfileSetList(
        "noise\r*profsetlist count=3\n\n  ID=1;NAME=Home;X=1\rNAME=Gaming;ID=2\nID=x7;NAME=\n*end");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Id, 1);
    EXPECT_EQ(entries[0].Name, "Home");
    EXPECT_EQ(entries[1].Id, 0);
    EXPECT_EQ(entries[1].Name, "");
}

TEST(ProfileSetList, KeysAnywhereInAnEntryLine) {
    const auto entries = ParseProfileSetList("ID=7;NAME=School;ID=9\nid=2;NAME=Work\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Id, 7);
    EXPECT_EQ(entries[0].Name, "School");
    EXPECT_EQ(entries[1].Id, 0);
    EXPECT_EQ(entries[1].Name, "Work");
    EXPECT_TRUE(ParseProfileSetList("").empty());
}
