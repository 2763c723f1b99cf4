// SPDX-License-Identifier: MIT
#include "ProfileJson.h"

#include "Cp1252.h"

#include <algorithm>

namespace zelmor {

namespace {

std::uint8_t Low8(std::int64_t value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}
std::uint16_t Low16(std::int64_t value) {
    return static_cast<std::uint16_t>(value & 0xFFFF);
}

// Reads a member object into Record when present; otherwise clears the record.
template <ByteRecord T> void ReadObjOrClear(const TJson& object, const char* member, T& record) {
    if (const TJson* value = ReadObj(object, member))
        FromJSON(*value, record);
    else
        ClearRecord(record);
}

} // namespace

TJson ToJSON(const THIDKeyConfig& key) {
    TJson keys = TJson::array();
    for (std::uint8_t code : key.Keys)
        keys.push_back(code);
    return {{"modifiers", key.Modifiers}, {"keys", keys}};
}

void FromJSON(const TJson& object, THIDKeyConfig& key) {
    key.Modifiers = Low8(ReadInt(object, "modifiers", 0));
    std::fill(std::begin(key.Keys), std::end(key.Keys), 0);
    const TJson* keys = ReadArr(object, "keys");
    if (!keys)
        return;
    for (std::size_t i = 0; i < std::min<std::size_t>(keys->size(), 6); ++i) {
        const std::string context = "\"keys\"[" + std::to_string(i) + "]";
        auto code = WholeNumberOf((*keys)[i], context);
        if (!code || *code < 0 || *code > 255)
            throw TJsonError(context + ": " + (*keys)[i].dump() + " is not a key code from 0 to 255");
        key.Keys[i] = static_cast<std::uint8_t>(*code);
    }
}

TJson ToJSON(const TKeySequence& sequence) {
    TJson steps = TJson::array();
    for (int i = 0; i < sequence.StepCount(); ++i)
        steps.push_back({{"modifier", sequence.Modifiers[i]}, {"keycode", sequence.KeyCodes[i]}});
    return steps;
}

void FromJSON(const TJson& array, TKeySequence& sequence) {
    sequence.Clear();
    for (std::size_t i = 0; i < std::min<std::size_t>(array.size(), KeySequenceSteps); ++i) {
        const TJson& step = array[i];
        if (!step.is_object())
            continue; // the step stays empty; later steps keep their positions
        sequence.Modifiers[i] = Low8(ReadOptInt(step, "modifier").value_or(0));
        sequence.KeyCodes[i] = Low8(ReadOptInt(step, "keycode").value_or(0));
    }
}

TJson ToJSON(const THIDConsumerSysConfig& consumer) {
    return {{"usage_page", consumer.UsagePage}, {"usage_code", consumer.UsageCode.Get()}};
}

void FromJSON(const TJson& object, THIDConsumerSysConfig& consumer) {
    consumer.UsagePage = Low8(ReadInt(object, "usage_page", 12));
    consumer.UsageCode.Set(Low16(ReadInt(object, "usage_code", 0)));
}

TJson ToJSON(const TButtonBehavior& button) {
    return {{"button_index", button.ButtonIndex}, {"behavior", button.Behavior}};
}

void FromJSON(const TJson& object, TButtonBehavior& button) {
    ClearRecord(button);
    button.ButtonIndex = Low8(ReadInt(object, "button_index", 0));
    button.Behavior = static_cast<TButtonBehaviorKind>(Low8(ReadInt(object, "behavior", 0)));
}

TJson ToJSON(const TChangeProfileBehavior& change) {
    TJson object = {{"kind", change.Kind}};
    if (change.Kind == pcSpecific)
        object["target_profile_index"] = change.TargetProfileIndex;
    return object;
}

void FromJSON(const TJson& object, TChangeProfileBehavior& change) {
    const std::int64_t kind = ReadInt(object, "kind", 0);
    change.Kind = (kind >= pcNext && kind <= pcSpecific) ? static_cast<TProfileChangeKind>(kind) : pcNext;
    change.TargetProfileIndex = Low8(ReadInt(object, "target_profile_index", 0));
}

TJson ToJSON(const TSwitchBehavior& behavior) {
    TJson object = {{"switch_type", behavior.SwitchType}};
    switch (behavior.SwitchType) {
    case stKeyCombination:
        object["key_combination"] = {{"hid_key_config", ToJSON(behavior.KeyCombination.HIDKeyConfig)},
                                     {"mode", behavior.KeyCombination.KeyCombiMode}};
        break;
    case stKeySequence:
        object["key_sequence"] = ToJSON(behavior.KeySequence);
        break;
    case stConsumerControl:
        object["consumer_control"] = ToJSON(behavior.ConsumerControl);
        break;
    case stMouseMove:
    case stJoystickMove:
        object["direction"] = behavior.Direction;
        break;
    case stMouseButton:
    case stJoystickButton:
        object["button_behavior"] = ToJSON(behavior.ButtonBehavior);
        break;
    case stMouseWheel:
        object["wheel_direction"] = behavior.WheelDirection;
        break;
    case stJoystickHatSwitch:
        object["hat_switch_direction"] = behavior.HatSwitchDirection;
        break;
    case stChangeProfile:
        object["profile_change"] = ToJSON(behavior.ProfileChange);
        break;
    case stTremorFilter:
        object["tremor_action"] = behavior.TremorAction;
        break;
    default:
        break;
    }
    return object;
}

void FromJSON(const TJson& object, TSwitchBehavior& behavior) {
    const std::int64_t type = ReadInt(object, "switch_type", 0);
    behavior.SwitchType =
        (type >= stNone && type <= stTremorFilter) ? static_cast<TSwitchType>(type) : stNone;

    // Members of another kind than required leave the payload as it was.
    auto readMember = [&](const char* member, auto& field, bool isArray) {
        if (const TJson* value = isArray ? ReadArr(object, member) : ReadObj(object, member))
            FromJSON(*value, field);
    };
    switch (behavior.SwitchType) {
    case stKeyCombination:
        if (const TJson* combination = ReadObj(object, "key_combination")) {
            if (const TJson* key = ReadObj(*combination, "hid_key_config"))
                FromJSON(*key, behavior.KeyCombination.HIDKeyConfig);
            else
                ClearRecord(behavior.KeyCombination.HIDKeyConfig);
            behavior.KeyCombination.KeyCombiMode =
                static_cast<TKeyCombiMode>(Low8(ReadOptInt(*combination, "mode").value_or(0)));
        }
        break;
    case stKeySequence:
        readMember("key_sequence", behavior.KeySequence, true);
        break;
    case stConsumerControl:
        readMember("consumer_control", behavior.ConsumerControl, false);
        break;
    case stMouseButton:
    case stJoystickButton:
        readMember("button_behavior", behavior.ButtonBehavior, false);
        break;
    case stChangeProfile:
        readMember("profile_change", behavior.ProfileChange, false);
        break;
    case stMouseMove:
    case stJoystickMove:
        behavior.Payload[0] = Low8(ReadInt(object, "direction", 0));
        break;
    case stMouseWheel:
        behavior.Payload[0] = Low8(ReadInt(object, "wheel_direction", 0));
        break;
    case stJoystickHatSwitch:
        behavior.Payload[0] = Low8(ReadInt(object, "hat_switch_direction", 0));
        break;
    case stTremorFilter:
        behavior.Payload[0] = Low8(ReadInt(object, "tremor_action", 0));
        break;
    default:
        break;
    }
}

TJson ToJSON(const TSwitchConfig& config) {
    return {{"short_press", ToJSON(config.ShortPress)},
            {"use_long_press", config.UseLongPress != 0},
            {"long_press", ToJSON(config.LongPress)}};
}

void FromJSON(const TJson& object, TSwitchConfig& config) {
    ReadObjOrClear(object, "short_press", config.ShortPress);
    config.UseLongPress = ReadBool(object, "use_long_press", false) ? 1 : 0;
    ReadObjOrClear(object, "long_press", config.LongPress);
}

TJson ToJSON(const TSwitchMotionSpeed& speed) {
    return {{"ramp_up_level", speed.RampUpLevel},
            {"ramp_down_level", speed.RampDownLevel},
            {"pointer_speed", speed.PointerSpeed},
            {"scroll_speed", speed.ScrollSpeed}};
}

void FromJSON(const TJson& object, TSwitchMotionSpeed& speed) {
    speed.RampUpLevel = Low8(ReadOptInt(object, "ramp_up_level").value_or(5));
    speed.RampDownLevel = Low8(ReadOptInt(object, "ramp_down_level").value_or(0));
    speed.PointerSpeed = Low8(ReadOptInt(object, "pointer_speed").value_or(5));
    speed.ScrollSpeed = Low8(ReadOptInt(object, "scroll_speed").value_or(5));
}

TJson ToJSON(const THIDInputConfig& input) {
    return {{"enabled_usb", input.EnabledUSB != 0},
            {"enabled_bt", input.EnabledBT != 0},
            {"tremor_filter_strength_mouse", input.TremorFilterStrengthMouseMovement},
            {"tremor_filter_strength_button", input.TremorFilterStrengthMouseClicks},
            {"tremor_filter_strength_keyboard", input.TremorFilterStrengthKeyboard},
            {"mouse_buttons_disabled_mask", input.MouseButtonsDisabledMask},
            {"keyboard_motion_control_enabled", input.KeyboardMotionControlEnabled != 0},
            {"keyboard_motion_control_toggle", input.KeyboardMotionControlToggleMode != 0},
            {"keyboard_motion_control_key", ToJSON(input.KeyboardMotionControlKey)},
            {"keyboard_joystick_mode_enabled", input.KeyboardJoystickModeEnabled != 0},
            {"keyboard_joystick_control_toggle", input.KeyboardJoystickControlToggleMode != 0},
            {"keyboard_joystick_control_key", ToJSON(input.KeyboardJoystickControlKey)}};
}

void FromJSON(const TJson& object, THIDInputConfig& input) {
    auto flag = [&](const char* member) -> std::uint8_t { return ReadBool(object, member, false) ? 1 : 0; };
    auto level = [&](const char* member) { return Low8(ReadInt(object, member, 0)); };
    input.EnabledUSB = flag("enabled_usb");
    input.EnabledBT = flag("enabled_bt");
    input.TremorFilterStrengthMouseMovement = level("tremor_filter_strength_mouse");
    input.TremorFilterStrengthMouseClicks = level("tremor_filter_strength_button");
    input.TremorFilterStrengthKeyboard = level("tremor_filter_strength_keyboard");
    input.MouseButtonsDisabledMask = level("mouse_buttons_disabled_mask");
    input.KeyboardMotionControlEnabled = flag("keyboard_motion_control_enabled");
    input.KeyboardMotionControlToggleMode = flag("keyboard_motion_control_toggle");
    ReadObjOrClear(object, "keyboard_motion_control_key", input.KeyboardMotionControlKey);
    input.KeyboardJoystickModeEnabled = flag("keyboard_joystick_mode_enabled");
    input.KeyboardJoystickControlToggleMode = flag("keyboard_joystick_control_toggle");
    ReadObjOrClear(object, "keyboard_joystick_control_key", input.KeyboardJoystickControlKey);
}

TJson ToJSON(const THID_OutputConfig& output) {
    return {{"bt_host_enabled", output.BT_HostEnabled != 0},
            {"bt_host_slot", output.BT_HostSlot},
            {"hid_device_type", output.HID_DeviceType}};
}

void FromJSON(const TJson& object, THID_OutputConfig& output) {
    output.BT_HostEnabled = ReadOptBool(object, "bt_host_enabled").value_or(true) ? 1 : 0;
    output.BT_HostSlot = Low8(ReadOptInt(object, "bt_host_slot").value_or(0));
    output.HID_DeviceType =
        static_cast<THID_DeviceType>(Low8(ReadOptInt(object, "hid_device_type").value_or(0)));
}

TJson ToJSON(const TProfile& profile) {
    TJson switches = TJson::array();
    for (const TSwitchConfig& config : profile.SwitchConfigs)
        switches.push_back(ToJSON(config));
    return {{"profile_version", profile.ProfileVersion.Get()},
            {"keyboard_layout_lcid", profile.LCID.Get()},
            {"profile_name", NameToText(profile.ProfileName)},
            {"hid_input", ToJSON(profile.HIDInput)},
            {"hid_output", ToJSON(profile.HIDOutput)},
            {"switch_motion_speed", ToJSON(profile.SwitchMotionSpeed)},
            {"switch_configs", switches}};
}

void FromJSON(const TJson& object, TProfile& profile) {
    profile.ProfileVersion.Set(Low16(ReadInt(object, "profile_version", 2)));
    profile.LCID.Set(Low16(ReadInt(object, "keyboard_layout_lcid", 1031)));
    TextToName(ReadStr(object, "profile_name", ""), profile.ProfileName);
    ReadObjOrClear(object, "hid_input", profile.HIDInput);
    ReadObjOrClear(object, "hid_output", profile.HIDOutput);
    ReadObjOrClear(object, "switch_motion_speed", profile.SwitchMotionSpeed);

    const TJson* switches = ReadArr(object, "switch_configs");
    const std::size_t listed = switches ? std::min<std::size_t>(switches->size(), SwitchCount) : 0;
    for (std::size_t k = 0; k < SwitchCount; ++k) {
        if (k >= listed) {
            ClearRecord(profile.SwitchConfigs[k]);
            continue;
        }
        const TJson& element = (*switches)[k];
        if (!element.is_object())
            throw TJsonError("\"switch_configs\"[" + std::to_string(k) + "] is not an object");
        FromJSON(element, profile.SwitchConfigs[k]);
    }
}

TJson ToJSON(const TProfileSet& set) {
    TJson profiles = TJson::array();
    for (int i = 0; i < std::min<int>(set.ProfileCount, MaxProfilesInSet); ++i)
        profiles.push_back(ToJSON(set.Profiles[i]));
    return {{"set_version", 1},
            {"id", set.ID},
            {"name", NameToText(set.Name)},
            {"active_profile_idx", set.ActiveProfileIndex},
            {"profiles", profiles}};
}

void FromJSON(const TJson& object, TProfileSet& set) {
    ClearRecord(set);
    set.ID = Low8(ReadInt(object, "id", 0));
    TextToName(ReadStr(object, "name", ""), set.Name);
    set.ActiveProfileIndex = Low8(ReadInt(object, "active_profile_idx", 0));
    if (const TJson* profiles = ReadArr(object, "profiles")) {
        for (std::size_t i = 0; i < std::min<std::size_t>(profiles->size(), MaxProfilesInSet); ++i) {
            if ((*profiles)[i].is_object())
                FromJSON((*profiles)[i], set.Profiles[set.ProfileCount++]);
        }
    }
    if (set.ProfileCount != 0 && set.ActiveProfileIndex >= set.ProfileCount)
        set.ActiveProfileIndex = 0;
}

} // namespace zelmor
