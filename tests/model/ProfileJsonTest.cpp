// SPDX-License-Identifier: MIT
#include "model/ProfileJson.h"
#include "RandomProfiles.h"
#include "model/JsonText.h"

#include <gtest/gtest.h>

using namespace zelmor;
using namespace zelmor::test;

namespace {

TProfile Read(const std::string& json, TProfile profile = {}) {
    FromJSON(TJson::parse(json), profile);
    return profile;
}

std::vector<std::string> MemberNames(const TJson& object) {
    std::vector<std::string> names;
    for (auto it = object.begin(); it != object.end(); ++it)
        names.push_back(it.key());
    return names;
}

} // namespace

TEST(ProfileJson, ReaderDefaultsAndLenientValues) {
    struct TCase {
        const char* Name;
        std::string Json;
        std::function<void(const TProfile&)> Check;
    };
    const TCase cases[] = {
        {"missing version and layout", "{}",
         [](const TProfile& p) {
             EXPECT_EQ(p.ProfileVersion.Get(), 2);
             EXPECT_EQ(p.LCID.Get(), 1031);
         }},
        {"no hid_output object: Bluetooth host off", R"({"hid_output":5})",
         [](const TProfile& p) { EXPECT_EQ(p.HIDOutput.BT_HostEnabled, 0); }},
        {"empty hid_output object: Bluetooth host on", R"({"hid_output":{}})",
         [](const TProfile& p) { EXPECT_EQ(p.HIDOutput.BT_HostEnabled, 1); }},
        {"no speeds object: all zero", "{}",
         [](const TProfile& p) {
             EXPECT_EQ(p.SwitchMotionSpeed, (TSwitchMotionSpeed{0, 0, 0, 0}));
         }},
        {"empty speeds object: 5, 0, 5, 5", R"({"switch_motion_speed":{"pointer_speed":1.5}})",
         [](const TProfile& p) {
             EXPECT_EQ(p.SwitchMotionSpeed, (TSwitchMotionSpeed{5, 0, 5, 5}));
         }},
        {"values keep their low bits",
         R"({"profile_version":65538,"hid_input":{"tremor_filter_strength_mouse":259}})",
         [](const TProfile& p) {
             EXPECT_EQ(p.ProfileVersion.Get(), 2);
             EXPECT_EQ(p.HIDInput.TremorFilterStrengthMouseMovement, 3);
         }},
        {"name of 20 characters keeps 16 without terminator", R"({"profile_name":"ABCDEFGHIJKLMNOPQRST"})",
         [](const TProfile& p) {
             EXPECT_EQ(std::string(reinterpret_cast<const char*>(p.ProfileName), 16), "ABCDEFGHIJKLMNOP");
         }},
        {"name in Windows-1252, unmappable as ?", R"({"profile_name":"Grüße €\u4e2d"})",
         [](const TProfile& p) {
             EXPECT_STREQ(reinterpret_cast<const char*>(p.ProfileName), "Gr\xFC\xDF"
                                                                        "e \x80?");
         }},
        {"profile change kind 7 reads as next",
         R"({"switch_configs":[{"short_press":{"switch_type":10,"profile_change":{"kind":7,"target_profile_index":4}}}]})",
         [](const TProfile& p) {
             EXPECT_EQ(p.SwitchConfigs[0].ShortPress.ProfileChange.Kind, pcNext);
             EXPECT_EQ(p.SwitchConfigs[0].ShortPress.ProfileChange.TargetProfileIndex, 4);
         }},
        {"switch type 12 reads as none", R"({"switch_configs":[{"short_press":{"switch_type":12}}]})",
         [](const TProfile& p) { EXPECT_EQ(p.SwitchConfigs[0].ShortPress.SwitchType, stNone); }},
        {"use_long_press \"1\" is true", R"({"switch_configs":[{"use_long_press":"1"}]})",
         [](const TProfile& p) { EXPECT_EQ(p.SwitchConfigs[0].UseLongPress, 1); }},
        {"use_long_press \"yes\" is false", R"({"switch_configs":[{"use_long_press":"yes"}]})",
         [](const TProfile& p) { EXPECT_EQ(p.SwitchConfigs[0].UseLongPress, 0); }},
        {"key sequence of 40 steps keeps 32, non-objects stay empty",
         [] {
             std::string steps;
             for (int i = 0; i < 40; ++i)
                 steps += (i ? "," : "") +
                          (i == 1 ? std::string("7")
                                  : "{\"modifier\":2,\"keycode\":" + std::to_string(10 + i) + "}");
             return R"({"switch_configs":[{"short_press":{"switch_type":2,"key_sequence":[)" + steps +
                    "]}}]}";
         }(),
         [](const TProfile& p) {
             const TKeySequence& seq = p.SwitchConfigs[0].ShortPress.KeySequence;
             EXPECT_EQ(seq.KeyCodes[0], 10);
             EXPECT_EQ(seq.KeyCodes[1], 0);
             EXPECT_EQ(seq.KeyCodes[2], 12);
             EXPECT_EQ(seq.KeyCodes[31], 41);
         }},
        {"key combination keys as numbers, strings and booleans",
         R"({"hid_input":{"keyboard_motion_control_key":{"modifiers":"5","keys":[4,"255",true]}}})",
         [](const TProfile& p) {
             EXPECT_EQ(p.HIDInput.KeyboardMotionControlKey, (THIDKeyConfig{5, {4, 255, 1, 0, 0, 0}}));
         }},
        {"switches without an element are cleared", R"({"switch_configs":[{}]})",
         [](const TProfile& p) { EXPECT_EQ(p.SwitchConfigs[7], TSwitchConfig{}); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TProfile start;
        std::memset(&start, 0x5A, sizeof start);
        c.Check(Read(c.Json, start));
    }
}

TEST(ProfileJson, ReaderErrors) {
    const char* cases[] = {
        R"({"switch_configs":[{},3]})",
        R"({"hid_input":{"keyboard_joystick_control_key":{"keys":[256]}}})",
        R"({"hid_input":{"keyboard_joystick_control_key":{"keys":["x"]}}})",
        R"({"hid_input":{"keyboard_joystick_control_key":{"keys":[null]}}})",
        R"({"keyboard_layout_lcid":1031.5})",
        R"({"switch_configs":[{"short_press":{"switch_type":4,"direction":0.5}}]})",
    };
    for (const char* json : cases) {
        TProfile p{};
        EXPECT_THROW(FromJSON(TJson::parse(json), p), TJsonError) << json;
    }
}

TEST(ProfileJson, BehaviourMembersOfTheWrongKindLeaveThePayload) {
    TSwitchBehavior b{};
    b.SwitchType = stKeyCombination;
    b.KeyCombination = {{1, {2, 3, 4, 5, 6, 7}}, kaToggle};
    const TSwitchBehavior before = b;
    FromJSON(TJson::parse(R"({"switch_type":1,"key_combination":[1]})"), b);
    EXPECT_EQ(b, before);
    FromJSON(TJson::parse(R"({"switch_type":1,"key_combination":{"mode":1}})"), b);
    EXPECT_EQ(b.KeyCombination.HIDKeyConfig, THIDKeyConfig{});
    EXPECT_EQ(b.KeyCombination.KeyCombiMode, kaToggle);
    b.Payload[20] = 9;
    FromJSON(TJson::parse(R"({"switch_type":6})"), b);
    EXPECT_EQ(b.WheelDirection, wdirUp);
    EXPECT_EQ(b.Payload[20], 9); // not cleared by the reader
}

TEST(ProfileJson, WriterOrderAndForms) {
    TProfile p{};
    p.SwitchConfigs[0].ShortPress.SwitchType = stChangeProfile;
    p.SwitchConfigs[0].ShortPress.ProfileChange = {pcSpecific, 3};
    p.SwitchConfigs[1].ShortPress.SwitchType = stChangeProfile;
    const TJson json = ToJSON(p);
    EXPECT_EQ(MemberNames(json),
              (std::vector<std::string>{"profile_version", "keyboard_layout_lcid", "profile_name",
                                        "hid_input", "hid_output", "switch_motion_speed", "switch_configs"}));
    EXPECT_EQ(MemberNames(json["hid_input"]),
              (std::vector<std::string>{"enabled_usb", "enabled_bt", "tremor_filter_strength_mouse",
                                        "tremor_filter_strength_button", "tremor_filter_strength_keyboard",
                                        "mouse_buttons_disabled_mask", "keyboard_motion_control_enabled",
                                        "keyboard_motion_control_toggle", "keyboard_motion_control_key",
                                        "keyboard_joystick_mode_enabled", "keyboard_joystick_control_toggle",
                                        "keyboard_joystick_control_key"}));
    EXPECT_EQ(ToCompactAscii(json["switch_configs"][0]),
              R"({"short_press":{"switch_type":10,"profile_change":{"kind":2,"target_profile_index":3}},)"
              R"("use_long_press":false,"long_press":{"switch_type":0}})");
    EXPECT_EQ(ToCompactAscii(json["switch_configs"][1]["short_press"]),
              R"({"switch_type":10,"profile_change":{"kind":0}})");
    EXPECT_EQ(ToCompactAscii(json["hid_output"]),
              R"({"bt_host_enabled":false,"bt_host_slot":0,"hid_device_type":0})");
}

TEST(ProfileJson, CompactAsciiEscapes) {
    const TJson value = {{"s", "q\" b\\ \b\t\n\f\r \x01\x1F \x7F \xC3\xA4 \xE2\x82\xAC \xF0\x9F\x98\x80 /"}};
    EXPECT_EQ(ToCompactAscii(value), R"({"s":"q\" b\\ \b\t\n\f\r \u0001\u001F )"
                                     "\x7F"
                                     R"( \u00E4 \u20AC \uD83D\uDE00 /"})");
}

TEST(ProfileJson, SetObjectRoundTripAndReading) {
    TRandomProfiles random(99);
    for (int i = 0; i < 50; ++i) {
        const TProfileSet set = random.Set();
        TProfileSet back;
        FromJSON(TJson::parse(ToCompactAscii(ToJSON(set))), back);
        // An empty set keeps any active index; the blob writer sends 0 for it.
        const bool activeOutOfRange = set.ProfileCount != 0 && set.ActiveProfileIndex >= set.ProfileCount;
        const TProfileSet expected =
            SetAfterTrip(set, activeOutOfRange ? 0 : set.ActiveProfileIndex,
                         [](const TProfile& p) { return AfterJsonTrip(p, TProfile{}); });
        ASSERT_EQ(back, expected) << "set " << i << ", " << FirstDifference(back, expected);
    }

    TProfileSet read;
    FromJSON(TJson::parse(
                 R"({"id":5,"name":"Set","active_profile_idx":2,"profiles":[{},7,{"profile_name":"B"}]})"),
             read);
    EXPECT_EQ(read.ProfileCount, 2);
    EXPECT_EQ(read.ActiveProfileIndex, 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(read.Profiles[1].ProfileName), "B");
    EXPECT_EQ(read.Profiles[2], TProfile{});
}
