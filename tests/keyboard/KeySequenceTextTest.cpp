// SPDX-License-Identifier: MIT
#include "keyboard/KeySequenceText.h"
#include "KeyboardTestFiles.h"
#include "keyboard/KeyMappingList.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <set>

using namespace zelmor;

namespace {

class KeySequenceTextTest : public ::testing::Test {
protected:
    void SetUp() override { FTable.LoadFromJSON(FixturePath("mini_layout.json")); }
    TKeyMappingList FTable;
};

} // namespace

TEST_F(KeySequenceTextTest, TextStopsAtFirstStepWithoutKey) {
    TKeySequence sequence{};
    sequence.Modifiers[0] = 0x02;
    sequence.KeyCodes[0] = 31;
    sequence.KeyCodes[2] = 4; // after an empty step: never typed
    EXPECT_EQ(KeySequenceToString(sequence, FTable), QStringLiteral("\""));

    sequence.Clear();
    sequence.KeyCodes[0] = 4;
    sequence.Modifiers[1] = 0x02; // a modifier without key code ends the text too
    sequence.KeyCodes[2] = 5;
    EXPECT_EQ(KeySequenceToString(sequence, FTable), QStringLiteral("a"));

    sequence.Clear();
    sequence.KeyCodes[0] = 7; // a code the table does not know types nothing
    sequence.KeyCodes[1] = 20;
    sequence.Modifiers[1] = 0x40;
    EXPECT_EQ(KeySequenceToString(sequence, FTable), QStringLiteral("@"));
}

TEST_F(KeySequenceTextTest, CharactersBecomeSteps) {
    TKeySequence sequence{};
    sequence.KeyCodes[5] = 9; // left over from before: cleared
    KeySequenceFromString(sequence, u"aA@²<>|", FTable);
    const std::uint8_t keys[] = {4, 4, 20, 31, 100, 100, 100};
    const std::uint8_t modifiers[] = {0, 0x02, 0x40, 0x40, 0, 0x02, 0x40};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(sequence.KeyCodes[i], keys[i]) << i;
        EXPECT_EQ(sequence.Modifiers[i], modifiers[i]) << i;
    }
    EXPECT_EQ(sequence.KeyCodes[7], 0);
}

TEST_F(KeySequenceTextTest, UnknownCharacterLeavesItsStepEmpty) {
    TKeySequence sequence{};
    KeySequenceFromString(sequence, u"a§b", FTable);
    EXPECT_EQ(sequence.KeyCodes[0], 4);
    EXPECT_EQ(sequence.KeyCodes[1], 0);
    EXPECT_EQ(sequence.Modifiers[1], 0);
    EXPECT_EQ(sequence.KeyCodes[2], 5);
    EXPECT_EQ(sequence.StepCount(), 1);
    EXPECT_EQ(KeySequenceToString(sequence, FTable), QStringLiteral("a"));
}

TEST_F(KeySequenceTextTest, KeepsTheFirst32Characters) {
    TKeySequence sequence{};
    KeySequenceFromString(sequence, QString(40, QLatin1Char('b')), FTable);
    EXPECT_EQ(sequence.StepCount(), 32);
    EXPECT_EQ(KeySequenceToString(sequence, FTable), QString(32, QLatin1Char('b')));
    // A character beyond the basic plane is one character, not two.
    KeySequenceFromString(sequence, QStringLiteral("\U0001F600a"), FTable);
    EXPECT_EQ(sequence.KeyCodes[0], 0);
    EXPECT_EQ(sequence.KeyCodes[1], 4);
}

// Every character a shipped layout types (plain, with Shift, with AltGr) turns into a step that
// types it again on that layout.
TEST(KeySequenceShippedLayouts, EveryCharacterTypedAndReadBack) {
    for (const QString& name : ShippedLayouts) {
        SCOPED_TRACE(name.toStdString());
        const QString path = ShippedDataPath(name);
        ASSERT_TRUE(QFileInfo::exists(path));
        TKeyMappingList table;
        table.LoadFromJSON(path);
        std::set<QString> seen;
        QString all;
        for (const TKeyMapping& row : table.Rows())
            for (const QString& c : {row.Char, row.ShiftChar, row.AltGrChar})
                if (!c.isEmpty() && seen.insert(c).second)
                    all += c;
        ASSERT_GT(all.size(), 40);
        for (qsizetype start = 0; start < all.size(); start += KeySequenceSteps) {
            const QString chunk = all.mid(start, KeySequenceSteps);
            TKeySequence sequence{};
            KeySequenceFromString(sequence, chunk, table);
            EXPECT_EQ(sequence.StepCount(), chunk.size()) << chunk.toStdString();
            EXPECT_EQ(KeySequenceToString(sequence, table), chunk);
        }
    }
}

TEST(KeySequenceShippedLayouts, GermanKeysAndLevels) {
    TKeyMappingList table;
    table.LoadFromJSON(ShippedDataPath(QStringLiteral("keyboard_layout_de_windows.json")));
    TKeySequence sequence{};
    KeySequenceFromString(sequence, u"zZy@ß?€", table);
    // German Z sits where US English has Y (HID 0x1C) and Y where it has Z (0x1D).
    const std::uint8_t keys[] = {0x1C, 0x1C, 0x1D, 0x14, 0x2D, 0x2D, 0x08};
    const std::uint8_t modifiers[] = {0, 0x02, 0, 0x40, 0, 0x02, 0x40};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(sequence.KeyCodes[i], keys[i]) << i;
        EXPECT_EQ(sequence.Modifiers[i], modifiers[i]) << i;
    }
}
