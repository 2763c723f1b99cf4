// SPDX-License-Identifier: MIT
#include "FactorySets.h"

#include "model/Cp1252.h"

#include <algorithm>
#include <initializer_list>

namespace zelmor::emu {

namespace {

// HID usage codes of the keys the factory profiles use.
constexpr std::uint8_t KeyC = 0x06, KeyV = 0x19, KeyZ = 0x1D, KeyEnter = 0x28, KeyTab = 0x2B, KeySpace = 0x2C,
                       KeyF5 = 0x3E;

TSwitchBehavior KeyCombination(std::uint8_t modifiers, std::uint8_t key) {
    TSwitchBehavior behavior{};
    behavior.SwitchType = stKeyCombination;
    behavior.KeyCombination.HIDKeyConfig.Modifiers = modifiers;
    behavior.KeyCombination.HIDKeyConfig.Keys[0] = key;
    return behavior;
}

TSwitchBehavior MouseButton(std::uint8_t index, TButtonBehaviorKind kind = mbSingle) {
    TSwitchBehavior behavior{};
    behavior.SwitchType = stMouseButton;
    behavior.ButtonBehavior = {index, kind};
    return behavior;
}

TSwitchBehavior Wheel(TWheelDirection direction) {
    TSwitchBehavior behavior{};
    behavior.SwitchType = stMouseWheel;
    behavior.WheelDirection = direction;
    return behavior;
}

TSwitchBehavior JoystickMove(TDirection direction) {
    TSwitchBehavior behavior{};
    behavior.SwitchType = stJoystickMove;
    behavior.Direction = direction;
    return behavior;
}

TSwitchBehavior JoystickButton(std::uint8_t index) {
    TSwitchBehavior behavior{};
    behavior.SwitchType = stJoystickButton;
    behavior.ButtonBehavior = {index, mbSingle};
    return behavior;
}

TSwitchBehavior NextProfile() {
    TSwitchBehavior behavior{};
    behavior.SwitchType = stChangeProfile;
    behavior.ProfileChange = {pcNext, 0};
    return behavior;
}

TProfile MakeProfile(const char* name, std::initializer_list<TSwitchBehavior> switches,
                     THID_DeviceType deviceType = HIDMouseKeyboardCombo) {
    TProfile profile{};
    profile.ProfileVersion.Set(2);
    profile.LCID.Set(1031);
    TextToName(name, profile.ProfileName);
    profile.HIDInput.EnabledUSB = 1;
    profile.HIDInput.TremorFilterStrengthMouseMovement = 3;
    profile.HIDOutput = {1, 0, deviceType};
    profile.SwitchMotionSpeed = {5, 0, 5, 5};
    int index = 0;
    for (const auto& behavior : switches)
        profile.SwitchConfigs[index++].ShortPress = behavior;
    return profile;
}

TFactorySet MakeSet(int id, const char* name, std::initializer_list<TProfile> profiles) {
    TFactorySet factory{id, name, {}};
    factory.Set.ID = static_cast<std::uint8_t>(id);
    TextToName(name, factory.Set.Name);
    for (const auto& profile : profiles)
        factory.Set.Profiles[factory.Set.ProfileCount++] = profile;
    return factory;
}

} // namespace

const std::vector<TFactorySet>& FactoryProfileSets() {
    static const std::vector<TFactorySet> sets = {
        MakeSet(1, "Standard",
                {MakeProfile("Mouse", {MouseButton(0), MouseButton(1), Wheel(wdirUp), Wheel(wdirDown),
                                       MouseButton(0, mbDouble), MouseButton(0, mbToggle), MouseButton(2),
                                       NextProfile()}),
                 MakeProfile("Keyboard", {KeyCombination(0, KeyEnter),
                                          KeyCombination(0, KeySpace),
                                          KeyCombination(0, KeyTab),
                                          KeyCombination(ModLeftShift, KeyTab),
                                          KeyCombination(0, KeyF5),
                                          {},
                                          {},
                                          NextProfile()})}),
        MakeSet(2, "Office",
                {MakeProfile("Office", {KeyCombination(ModLeftCtrl, KeyC),
                                        KeyCombination(ModLeftCtrl, KeyV),
                                        KeyCombination(ModLeftCtrl, KeyZ),
                                        KeyCombination(0, KeyEnter),
                                        MouseButton(0),
                                        MouseButton(1),
                                        {},
                                        NextProfile()})}),
        MakeSet(3, "Gaming",
                {MakeProfile("Gamepad",
                             {JoystickMove(dirLeft), JoystickMove(dirRight), JoystickMove(dirUp),
                              JoystickMove(dirDown), JoystickButton(0), JoystickButton(1), JoystickButton(2),
                              NextProfile()},
                             HIDJoystick),
                 MakeProfile("Mouse", {MouseButton(0), MouseButton(1), {}, {}, {}, {}, {}, NextProfile()})}),
    };
    return sets;
}

const TFactorySet* FindFactorySet(int id) {
    const auto& sets = FactoryProfileSets();
    const auto it = std::find_if(sets.begin(), sets.end(), [id](const auto& set) { return set.Id == id; });
    return it == sets.end() ? nullptr : &*it;
}

} // namespace zelmor::emu
