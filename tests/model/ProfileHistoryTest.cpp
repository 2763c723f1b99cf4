// SPDX-License-Identifier: MIT
#include "model/ProfileHistory.h"

#include <gtest/gtest.h>

using namespace zelmor;

namespace {
TProfile Version(int n) {
    TProfile p{};
    p.LCID.Set(static_cast<std::uint16_t>(n));
    return p;
}
} // namespace

TEST(ProfileHistory, UndoAndRedoWalkTheSnapshots) {
    TProfileHistory history;
    TProfile shown = Version(9);
    EXPECT_FALSE(history.Undo(shown));
    EXPECT_FALSE(history.Redo(shown));
    EXPECT_EQ(history.Cursor(), -1);

    history.LoadInitial(Version(0));
    EXPECT_FALSE(history.Undo(shown));
    EXPECT_EQ(shown, Version(9)); // untouched
    history.AddVersion(Version(1));
    history.AddVersion(Version(1)); // same bytes: one snapshot
    history.AddVersion(Version(2));
    EXPECT_EQ(history.Count(), 3);

    ASSERT_TRUE(history.Undo(shown));
    EXPECT_EQ(shown, Version(1));
    history.AddVersion(Version(1)); // equal to the cursor: redo survives
    ASSERT_TRUE(history.Redo(shown));
    EXPECT_EQ(shown, Version(2));

    ASSERT_TRUE(history.Undo(shown));
    history.AddVersion(Version(5)); // a new edit drops the redo branch
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.Count(), 3);
    EXPECT_EQ(history.At(2), Version(5));
}

TEST(ProfileHistory, KeepsTheNewestHundred) {
    TProfileHistory history;
    history.LoadInitial(Version(0));
    for (int i = 1; i <= 150; ++i)
        history.AddVersion(Version(i));
    EXPECT_EQ(history.Count(), 100);
    EXPECT_EQ(history.Cursor(), 99);
    EXPECT_EQ(history.At(0), Version(51));
    EXPECT_EQ(history.At(99), Version(150));
}

TEST(ProfileHistory, ComparesWholeByteImages) {
    TProfileHistory history;
    history.Clear();
    TProfile p{};
    history.AddVersion(p);
    EXPECT_EQ(history.Cursor(), 0);
    p.SwitchConfigs[0].ShortPress.Payload[63] = 1; // a byte no consumer reads
    history.AddVersion(p);
    EXPECT_EQ(history.Count(), 2);
}
