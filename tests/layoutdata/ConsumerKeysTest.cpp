// SPDX-License-Identifier: MIT
// Checks the consumer-key catalogue: its structure, unique ids, German and English texts, and that
// every usage is one defined by the HID Usage Tables for the consumer page (12) or a system control
// of the generic-desktop page (1).
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <map>
#include <set>
#include <string>
#include <utility>

namespace {

using nlohmann::json;

constexpr int GenericDesktopPage = 0x01;
constexpr int ConsumerPage = 0x0C;

// Controls an adapter can press, by page and usage ID, with their names in the HID Usage Tables.
const std::map<std::pair<int, int>, const char*> HidUsageTable = {
    {{GenericDesktopPage, 0x81}, "System Power Down"},
    {{GenericDesktopPage, 0x82}, "System Sleep"},
    {{GenericDesktopPage, 0x83}, "System Wake Up"},
    {{GenericDesktopPage, 0x84}, "System Context Menu"},
    {{GenericDesktopPage, 0x85}, "System Main Menu"},
    {{GenericDesktopPage, 0x86}, "System App Menu"},
    {{GenericDesktopPage, 0x87}, "System Menu Help"},
    {{GenericDesktopPage, 0x88}, "System Menu Exit"},
    {{GenericDesktopPage, 0x8E}, "System Cold Restart"},
    {{GenericDesktopPage, 0x8F}, "System Warm Restart"},
    {{GenericDesktopPage, 0xA7}, "System Speaker Mute"},
    {{GenericDesktopPage, 0xA8}, "System Hibernate"},
    {{ConsumerPage, 0x30}, "Power"},
    {{ConsumerPage, 0x31}, "Reset"},
    {{ConsumerPage, 0x32}, "Sleep"},
    {{ConsumerPage, 0x6F}, "Display Brightness Increment"},
    {{ConsumerPage, 0x70}, "Display Brightness Decrement"},
    {{ConsumerPage, 0x72}, "Display Backlight Toggle"},
    {{ConsumerPage, 0x73}, "Display Set Brightness to Minimum"},
    {{ConsumerPage, 0x74}, "Display Set Brightness to Maximum"},
    {{ConsumerPage, 0xB0}, "Play"},
    {{ConsumerPage, 0xB1}, "Pause"},
    {{ConsumerPage, 0xB2}, "Record"},
    {{ConsumerPage, 0xB3}, "Fast Forward"},
    {{ConsumerPage, 0xB4}, "Rewind"},
    {{ConsumerPage, 0xB5}, "Scan Next Track"},
    {{ConsumerPage, 0xB6}, "Scan Previous Track"},
    {{ConsumerPage, 0xB7}, "Stop"},
    {{ConsumerPage, 0xB8}, "Eject"},
    {{ConsumerPage, 0xB9}, "Random Play"},
    {{ConsumerPage, 0xBC}, "Repeat"},
    {{ConsumerPage, 0xCC}, "Stop/Eject"},
    {{ConsumerPage, 0xCD}, "Play/Pause"},
    {{ConsumerPage, 0xCE}, "Play/Skip"},
    {{ConsumerPage, 0xE2}, "Mute"},
    {{ConsumerPage, 0xE5}, "Bass Boost"},
    {{ConsumerPage, 0xE9}, "Volume Increment"},
    {{ConsumerPage, 0xEA}, "Volume Decrement"},
    {{ConsumerPage, 0x183}, "AL Consumer Control Configuration"},
    {{ConsumerPage, 0x184}, "AL Word Processor"},
    {{ConsumerPage, 0x185}, "AL Text Editor"},
    {{ConsumerPage, 0x186}, "AL Spreadsheet"},
    {{ConsumerPage, 0x18A}, "AL Email Reader"},
    {{ConsumerPage, 0x18E}, "AL Calendar/Schedule"},
    {{ConsumerPage, 0x192}, "AL Calculator"},
    {{ConsumerPage, 0x194}, "AL Local Machine Browser"},
    {{ConsumerPage, 0x196}, "AL Internet Browser"},
    {{ConsumerPage, 0x19C}, "AL Logoff"},
    {{ConsumerPage, 0x19E}, "AL Terminal Lock/Screensaver"},
    {{ConsumerPage, 0x19F}, "AL Control Panel"},
    {{ConsumerPage, 0x1A7}, "AL Documents"},
    {{ConsumerPage, 0x1AE}, "AL Keyboard Layout"},
    {{ConsumerPage, 0x1B1}, "AL Screen Saver"},
    {{ConsumerPage, 0x1B4}, "AL File Browser"},
    {{ConsumerPage, 0x201}, "AC New"},
    {{ConsumerPage, 0x202}, "AC Open"},
    {{ConsumerPage, 0x203}, "AC Close"},
    {{ConsumerPage, 0x204}, "AC Exit"},
    {{ConsumerPage, 0x207}, "AC Save"},
    {{ConsumerPage, 0x208}, "AC Print"},
    {{ConsumerPage, 0x21A}, "AC Undo"},
    {{ConsumerPage, 0x21B}, "AC Copy"},
    {{ConsumerPage, 0x21C}, "AC Cut"},
    {{ConsumerPage, 0x21D}, "AC Paste"},
    {{ConsumerPage, 0x21F}, "AC Find"},
    {{ConsumerPage, 0x221}, "AC Search"},
    {{ConsumerPage, 0x223}, "AC Home"},
    {{ConsumerPage, 0x224}, "AC Back"},
    {{ConsumerPage, 0x225}, "AC Forward"},
    {{ConsumerPage, 0x226}, "AC Stop"},
    {{ConsumerPage, 0x227}, "AC Refresh"},
    {{ConsumerPage, 0x22A}, "AC Bookmarks"},
    {{ConsumerPage, 0x22D}, "AC Zoom In"},
    {{ConsumerPage, 0x22E}, "AC Zoom Out"},
};

json ReadCatalogue() {
    const std::string path = std::string(ZELMOR_DATA_DIR) + "/consumer_keys.json";
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    return json::parse(in);
}

void ExpectGermanAndEnglish(const json& object, const std::string& what) {
    ASSERT_TRUE(object.is_object()) << what;
    for (const char* lang : {"de", "en"}) {
        ASSERT_TRUE(object.contains(lang) && object[lang].is_string()) << what << " " << lang;
        EXPECT_FALSE(object[lang].get<std::string>().empty()) << what << " " << lang;
    }
}

TEST(ConsumerKeysTest, CategoriesAndKeysAreWellFormedWithUniqueIds) {
    const json root = ReadCatalogue();
    ASSERT_TRUE(root.is_object());
    ASSERT_TRUE(root.contains("consumer_keys") && root["consumer_keys"].is_array());
    ASSERT_FALSE(root["consumer_keys"].empty());
    std::set<std::string> categoryIds;
    std::set<std::pair<int, int>> usages;
    for (const json& category : root["consumer_keys"]) {
        ASSERT_TRUE(category.is_object());
        ASSERT_TRUE(category.contains("category_id") && category["category_id"].is_string());
        const std::string id = category["category_id"].get<std::string>();
        SCOPED_TRACE(id);
        EXPECT_FALSE(id.empty());
        EXPECT_TRUE(categoryIds.insert(id).second) << "category id used twice";
        ASSERT_TRUE(category.contains("labels"));
        ExpectGermanAndEnglish(category["labels"], "labels");
        ASSERT_TRUE(category.contains("description"));
        ExpectGermanAndEnglish(category["description"], "description");
        ASSERT_TRUE(category.contains("keys") && category["keys"].is_array());
        EXPECT_FALSE(category["keys"].empty());
        for (const json& key : category["keys"]) {
            ASSERT_TRUE(key.is_object());
            ASSERT_TRUE(key.contains("usage_page") && key["usage_page"].is_number_integer());
            ASSERT_TRUE(key.contains("usage_code") && key["usage_code"].is_number_integer());
            const std::pair usage{key["usage_page"].get<int>(), key["usage_code"].get<int>()};
            SCOPED_TRACE(std::to_string(usage.first) + ":" + std::to_string(usage.second));
            EXPECT_TRUE(HidUsageTable.contains(usage)) << "not a control of the HID Usage Tables";
            EXPECT_TRUE(usages.insert(usage).second) << "usage listed twice";
            ASSERT_TRUE(key.contains("labels"));
            ExpectGermanAndEnglish(key["labels"], "key labels");
        }
    }
}

TEST(ConsumerKeysTest, HoldsTheControlsOperatingSystemsActUpon) {
    std::set<std::pair<int, int>> usages;
    const json root = ReadCatalogue();
    for (const json& category : root.at("consumer_keys"))
        for (const json& key : category.at("keys"))
            usages.insert({key.at("usage_page").get<int>(), key.at("usage_code").get<int>()});
    const std::pair<int, int> expected[] = {
        {ConsumerPage, 0xCD},       {ConsumerPage, 0xB5},       {ConsumerPage, 0xB6},
        {ConsumerPage, 0xB7},       {ConsumerPage, 0xE9},       {ConsumerPage, 0xEA},
        {ConsumerPage, 0xE2},       {ConsumerPage, 0x192},      {ConsumerPage, 0x18A},
        {ConsumerPage, 0x196},      {ConsumerPage, 0x223},      {ConsumerPage, 0x224},
        {ConsumerPage, 0x225},      {ConsumerPage, 0x227},      {ConsumerPage, 0x6F},
        {ConsumerPage, 0x70},       {GenericDesktopPage, 0x81}, {GenericDesktopPage, 0x82},
        {GenericDesktopPage, 0x83},
    };
    for (const auto& usage : expected)
        EXPECT_TRUE(usages.contains(usage)) << HidUsageTable.at(usage);
}

} // namespace
