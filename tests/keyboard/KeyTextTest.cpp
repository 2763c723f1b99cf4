// SPDX-License-Identifier: MIT
#include "keyboard/KeyText.h"
#include "KeyboardTestFiles.h"
#include "keyboard/KeyMappingList.h"
#include "keyboard/KeyNameTranslator.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace zelmor;

namespace {

THIDKeyConfig Chord(std::uint8_t modifiers, std::uint8_t key) {
    THIDKeyConfig chord{};
    chord.Modifiers = modifiers;
    chord.Keys[0] = key;
    return chord;
}

} // namespace

TEST(VirtualKeyName, Table) {
    const std::pair<int, QString> cases[] = {
        {8, "Backspace"},
        {13, "Enter"},
        {32, "Space"},
        {34, "Page Down"},
        {40, "Down"},
        {46, "Delete"},
        {48, "0"},
        {57, "9"},
        {65, "A"},
        {90, "Z"},
        {91, "Left Windows"},
        {93, "Applications"},
        {96, "Num 0"},
        {105, "Num 9"},
        {106, "*"},
        {107, "+"},
        {108, "[NumPad Op: 108]"},
        {109, "-"},
        {110, "."},
        {111, "/"},
        {112, "F1"},
        {123, "F12"},
        {124, ""},
        {144, "Num Lock"},
        {160, "Left Shift"},
        {165, "Right Alt"},
        {186, "[OEM KeyCode: 186]"},
        {222, "[OEM KeyCode: 222]"},
        {223, ""},
        {0, ""},
        {47, ""},
        {64, ""},
    };
    for (const auto& [vk, text] : cases)
        EXPECT_EQ(VirtualKeyName(vk), text) << vk;
}

TEST(VirtualKeyComboName, ModifiersJoinedWithSpacedPlus) {
    EXPECT_EQ(VirtualKeyComboName(115, ssAlt), QStringLiteral("Alt + F4"));
    EXPECT_EQ(VirtualKeyComboName(9, ssShift | ssCtrl), QStringLiteral("Shift+Ctrl + Tab"));
    EXPECT_EQ(VirtualKeyComboName(9, 0), QStringLiteral("Tab"));
    EXPECT_EQ(VirtualKeyComboName(65, ssShift | ssCtrl | ssAlt), QStringLiteral("Shift+Ctrl+Alt + A"));
}

TEST(KeyComboToText, Table) {
    TKeyMappingList table;
    table.LoadFromJSON(FixturePath("mini_layout.json"));
    struct Case {
        THIDKeyConfig Combo;
        const TKeyMappingList* Mapping;
        const char16_t* Lang;
        QString Expected;
    };
    const Case cases[] = {
        {Chord(0x03, 4), &table, u"de", "Shift+Ctrl+A"},
        {Chord(0x07, 47), &table, u"en", "Shift+Ctrl+Alt+["},
        {Chord(0x04, 0), &table, u"de", "Alt+"},         // a chord of modifiers alone
        {Chord(0x01, 7), &table, u"de", "Ctrl+[HID 7]"}, // a code the table does not know
        {Chord(0x01, 53), &table, u"en", "Ctrl+"},       // an empty caption shows nothing
        {Chord(0xF8, 4), &table, u"de", "A"},            // right-hand and GUI bits are not shown
        {Chord(0, 0), &table, u"de", ""},
        {Chord(0, 65), nullptr, u"de", "[HID 65]"},
        {Chord(0x02, 0), nullptr, u"de", "Shift+"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeyComboToText(c.Combo, c.Mapping, c.Lang), c.Expected) << c.Expected.toStdString();

    THIDKeyConfig more = Chord(0, 4);
    more.Keys[1] = 5; // only the first key is shown
    EXPECT_EQ(KeyComboToText(more, &table, u"de"), QStringLiteral("A"));
}

TEST(KeyText, GermanUserInterface) {
    int argc = 0;
    QCoreApplication app(argc, nullptr);
    TKeyNameTranslator german;
    ASSERT_TRUE(QCoreApplication::installTranslator(&german));
    EXPECT_EQ(VirtualKeyName(8), QStringLiteral("Rücktaste"));
    EXPECT_EQ(VirtualKeyName(36), QStringLiteral("Pos1"));
    EXPECT_EQ(VirtualKeyName(163), QStringLiteral("Strg rechts"));
    EXPECT_EQ(VirtualKeyName(112), QStringLiteral("F1"));
    EXPECT_EQ(VirtualKeyName(186), QStringLiteral("[OEM KeyCode: 186]"));
    EXPECT_EQ(VirtualKeyComboName(9, ssShift | ssCtrl), QStringLiteral("Umschalt+Strg + Tab"));
    EXPECT_EQ(KeyComboToText(Chord(0x07, 0), nullptr, u"de"), QStringLiteral("Umschalt+Strg+Alt+"));
    QCoreApplication::removeTranslator(&german);
    EXPECT_EQ(VirtualKeyName(8), QStringLiteral("Backspace"));
}
