// SPDX-License-Identifier: MIT
#include "keyboard/KeyMappingList.h"
#include "KeyboardTestFiles.h"
#include "keyboard/KeyboardDataError.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelmor;

namespace {

class KeyMappingListTest : public ::testing::Test {
protected:
    void SetUp() override { FTable.LoadFromJSON(FixturePath("mini_layout.json")); }
    TKeyMappingList FTable;
};

} // namespace

TEST_F(KeyMappingListTest, RowsFollowTheMemberRules) {
    const auto& rows = FTable.Rows();
    ASSERT_EQ(rows.size(), 13u);
    EXPECT_EQ(rows[2].VK, 66); // numbers given as strings
    EXPECT_EQ(rows[2].HID, 5);
    EXPECT_EQ(rows[2].AltGrChar, QString());
    EXPECT_EQ(rows[6].LabelEN, QString()); // "labels" without "en"
    EXPECT_EQ(rows[7].VK, -1);             // "vk" missing
    EXPECT_EQ(rows[8].HID, -1);            // null counts as missing
    EXPECT_EQ(rows[8].LabelDE, QString());
    EXPECT_EQ(rows[9].VK, -1);  // a string that holds no number
    EXPECT_EQ(rows[9].HID, -1); // a fraction is no integer
    EXPECT_EQ(rows[3].AltGrChar, QStringLiteral("²"));
}

TEST_F(KeyMappingListTest, VirtualKeysTakeTheFirstRow) {
    EXPECT_EQ(FTable.VKToHID(65), 4); // the second row with VK 65 never answers
    EXPECT_EQ(FTable.VKToHID(66), 5);
    EXPECT_EQ(FTable.VKToHID(1000), 0);
}

TEST_F(KeyMappingListTest, CaptionsByLanguage) {
    struct Case {
        int Hid;
        const char16_t* Lang;
        QString Expected;
    };
    const Case cases[] = {
        {47, u"en", QStringLiteral("[")},      {47, u"EN", QStringLiteral("[")},
        {47, u"de", QStringLiteral("Ü")},      {47, u"fr", QStringLiteral("Ü")},
        {47, u"", QStringLiteral("Ü")},        {53, u"en", QString()},
        {53, u"de", QStringLiteral("^")},      {99, u"en", QStringLiteral("second A")},
        {7, u"de", QStringLiteral("[HID 7]")}, {255, u"en", QStringLiteral("[HID 255]")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FTable.HIDToLabel(c.Hid, c.Lang), c.Expected)
            << c.Hid << " " << QString::fromUtf16(c.Lang).toStdString();
}

TEST_F(KeyMappingListTest, CharactersByCaption) {
    EXPECT_EQ(FTable.CharToHID(u"a", u"de"), 4);
    EXPECT_EQ(FTable.CharToHID(u"ü", u"de"), 47); // upper-cased beyond ASCII
    EXPECT_EQ(FTable.CharToHID(u"ü", u"en"), 0);  // the English caption is "["
    EXPECT_EQ(FTable.CharToHID(u"[", u"en"), 47);
    EXPECT_EQ(FTable.CharToHID(u"x", u"de"), 0);
    EXPECT_EQ(FTable.CharToHID(u"", u"en"), 0); // the caption-less row must not answer
}

TEST_F(KeyMappingListTest, CharactersByTypedText) {
    EXPECT_EQ(FTable.CharToHIDSmart(u"a", false), 4);
    EXPECT_EQ(FTable.CharToHIDSmart(u"A", false), 0); // case matters
    EXPECT_EQ(FTable.CharToHIDSmart(u"A", true), 4);
    EXPECT_EQ(FTable.CharToHIDSmart(u"°", true), 53);
    EXPECT_EQ(FTable.CharToHIDSmart(u"@", false), 0); // AltGr characters are not looked at
    EXPECT_EQ(FTable.CharToHIDSmart(u"", false), 0);  // rows that type nothing are no match

    TKeyMapping entry;
    ASSERT_TRUE(FTable.TryGetEntryForChar(u"@", entry));
    EXPECT_EQ(entry.HID, 20);
    ASSERT_TRUE(FTable.TryGetEntryForChar(u">", entry));
    EXPECT_EQ(entry.HID, 100);
    EXPECT_FALSE(FTable.TryGetEntryForChar(u"§", entry));
    EXPECT_FALSE(FTable.TryGetEntryForChar(u"", entry));
    EXPECT_EQ(entry.HID, 0);
}

TEST_F(KeyMappingListTest, EntriesByHidCode) {
    TKeyMapping entry;
    ASSERT_TRUE(FTable.TryGetEntry(100, entry));
    EXPECT_EQ(entry.Char, QStringLiteral("<"));
    EXPECT_FALSE(FTable.TryGetEntry(7, entry));
    EXPECT_EQ(entry.LabelDE, QString());
    // A row without "hid" (-1) must not be found as code 255.
    EXPECT_FALSE(FTable.TryGetEntry(255, entry));
}

TEST_F(KeyMappingListTest, CharacterForModifiers) {
    struct Case {
        std::uint8_t Modifier;
        QString Expected;
    };
    const Case cases[] = {
        {0x00, QStringLiteral("2")}, {0x02, QStringLiteral("\"")}, {0x22, QStringLiteral("\"")},
        {0x20, QStringLiteral("2")}, {0x40, QStringLiteral("²")},  {0x42, QStringLiteral("²")},
        {0x01, QStringLiteral("2")}, {0x04, QStringLiteral("2")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FTable.GetCharFor(31, c.Modifier), c.Expected) << int{c.Modifier};
    EXPECT_EQ(FTable.GetCharFor(7, 0), QString());
}

TEST(KeyMappingList, EmptyTableAnswersWithDefaults) {
    TKeyMappingList table;
    EXPECT_EQ(table.VKToHID(65), 0);
    EXPECT_EQ(table.HIDToLabel(4, u"de"), QStringLiteral("[HID 4]"));
    EXPECT_EQ(table.GetCharFor(4, 0), QString());
    EXPECT_EQ(table.CharToHIDSmart(u"a", false), 0);
}

TEST(KeyMappingList, DamagedFiles) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("layout.json"));
    struct Case {
        const char* Name;
        QByteArray Bytes;
        bool Throws;
        std::size_t Rows;
    };
    const Case cases[] = {
        {"not JSON", "{\"key_mapping\": [", false, 0},
        {"empty file", "", false, 0},
        {"no key_mapping", "{\"rows\": []}", false, 0},
        {"key_mapping not an array", "{\"key_mapping\": {}}", false, 0},
        {"root is an array", "[{\"vk\": 65}]", true, 0},
        {"root is a number", "42", true, 0},
        {"byte-order mark", "\xEF\xBB\xBF{\"key_mapping\": [{\"vk\": 65, \"hid\": 4}]}", false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteBytes(path, c.Bytes);
        TKeyMappingList table;
        if (c.Throws)
            EXPECT_THROW(table.LoadFromJSON(path), TKeyboardDataError);
        else
            EXPECT_NO_THROW(table.LoadFromJSON(path));
        EXPECT_EQ(table.Rows().size(), c.Rows);
    }
}

TEST(KeyMappingList, RowThatIsNoObjectStopsTheLoad) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("layout.json"));
    WriteBytes(path, R"({"key_mapping": [{"vk": 65, "hid": 4}, 7, {"vk": 66, "hid": 5}]})");
    TKeyMappingList table;
    EXPECT_THROW(table.LoadFromJSON(path), TKeyboardDataError);
    ASSERT_EQ(table.Rows().size(), 3u);
    EXPECT_EQ(table.Rows()[0].HID, 4);
    EXPECT_EQ(table.Rows()[2].VK, 0); // left all zero, not read
    EXPECT_EQ(table.Rows()[2].HID, 0);
}

TEST(KeyMappingList, LoadReplacesTheRowsAndReportsMissingFiles) {
    TKeyMappingList table;
    table.LoadFromJSON(FixturePath("mini_layout.json"));
    EXPECT_THROW(table.LoadFromJSON(FixturePath("no_such_layout.json")), TKeyboardDataError);
    EXPECT_TRUE(table.Rows().empty());
}

TEST(KeyMappingList, TextEncodings) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("layout.json"));
    // UTF-16 with its byte-order mark.
    const QString text = QStringLiteral(R"({"key_mapping": [{"vk": 222, "hid": 52, "char": "ä"}]})");
    QByteArray utf16("\xFF\xFE", 2);
    utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    WriteBytes(path, utf16);
    TKeyMappingList table;
    table.LoadFromJSON(path);
    EXPECT_EQ(table.CharToHIDSmart(u"ä", false), 52);
    // A malformed UTF-8 byte becomes U+FFFD instead of failing the whole file.
    WriteBytes(path, "{\"key_mapping\": [{\"vk\": 1, \"hid\": 2, \"char\": \"\xC3\"}]}");
    table.LoadFromJSON(path);
    ASSERT_EQ(table.Rows().size(), 1u);
    EXPECT_EQ(table.Rows()[0].Char, QString(QChar(0xFFFD)));
}
