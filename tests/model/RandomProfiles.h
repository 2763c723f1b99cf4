// SPDX-License-Identifier: MIT
// Random profiles and sets for round-trip tests, and the normal forms that the encodings produce.
#pragma once

#include "model/Profile.h"

#include <algorithm>
#include <random>
#include <string>
#include <utility>

namespace zelmor::test {

class TRandomProfiles {
public:
    explicit TRandomProfiles(unsigned seed) : FEngine(seed) {}

    std::uint8_t Byte() { return static_cast<std::uint8_t>(FEngine() & 0xFF); }
    int Below(int limit) { return static_cast<int>(FEngine() % static_cast<unsigned>(limit)); }

    // Any byte image at all, with switch types drawn mostly from the known ones.
    TProfile Profile() {
        TProfile p;
        for (auto& b : MutableByteImage(p))
            b = Byte();
        for (auto& config : p.SwitchConfigs) {
            for (TSwitchBehavior* behavior : {&config.ShortPress, &config.LongPress}) {
                behavior->SwitchType = static_cast<TSwitchType>(Below(8) == 0 ? Byte() : Below(12));
                if (behavior->SwitchType == stKeySequence) // an empty step somewhere, or none
                    Cut(behavior->KeySequence, Below(40));
            }
            config.UseLongPress = Below(3) == 0 ? 0 : (Below(2) ? 1 : Byte());
        }
        if (Below(2))
            p.ProfileName[Below(NameBytes)] = 0;
        return p;
    }

    TProfileSet Set() {
        TProfileSet set{};
        set.ID = Byte();
        for (auto& b : set.Name)
            b = Byte();
        if (Below(2))
            set.Name[Below(NameBytes)] = 0;
        set.ProfileCount = static_cast<std::uint8_t>(Below(MaxProfilesInSet + 1));
        set.ActiveProfileIndex = static_cast<std::uint8_t>(Below(12));
        for (int i = 0; i < set.ProfileCount; ++i)
            set.Profiles[i] = Profile();
        return set;
    }

private:
    static void Cut(TKeySequence& sequence, int step) {
        if (step < KeySequenceSteps)
            sequence.Modifiers[step] = sequence.KeyCodes[step] = 0;
    }
    std::mt19937 FEngine;
};

// Where two records first differ, for failure messages.
template <ByteRecord T> std::string FirstDifference(const T& a, const T& b) {
    for (std::size_t i = 0; i < sizeof(T); ++i)
        if (ByteImage(a)[i] != ByteImage(b)[i])
            return "first difference at byte " + std::to_string(i) + ": " + std::to_string(ByteImage(a)[i]) +
                   " vs " + std::to_string(ByteImage(b)[i]);
    return "no difference";
}

// Number of payload bytes a behaviour's type gives meaning to, from the start of the payload.
inline int UsedPayloadBytes(TSwitchType type) {
    switch (type) {
    case stKeyCombination:
        return 8;
    case stKeySequence:
        return 64;
    case stConsumerControl:
        return 3;
    case stMouseButton:
    case stJoystickButton:
    case stChangeProfile:
        return 2;
    case stMouseMove:
    case stJoystickMove:
    case stMouseWheel:
    case stJoystickHatSwitch:
    case stTremorFilter:
        return 1;
    default:
        return 0;
    }
}

// The behaviour with unused payload bytes cleared and sequence steps after the first empty one cleared.
inline TSwitchBehavior Meaningful(TSwitchBehavior behavior) {
    for (int i = UsedPayloadBytes(behavior.SwitchType); i < 64; ++i)
        behavior.Payload[i] = 0;
    if (behavior.SwitchType == stKeySequence)
        for (int i = behavior.KeySequence.StepCount(); i < KeySequenceSteps; ++i)
            behavior.KeySequence.Modifiers[i] = behavior.KeySequence.KeyCodes[i] = 0;
    return behavior;
}

inline void ClearAfterFirstNul(std::uint8_t (&name)[NameBytes]) {
    for (int i = NameLength(name); i < NameBytes; ++i)
        name[i] = 0;
}

// What a profile looks like after a trip through the profile blob.
inline TProfile AfterBlobTrip(TProfile p) {
    p.ProfileVersion.Set(2);
    ClearAfterFirstNul(p.ProfileName);
    for (auto& config : p.SwitchConfigs) {
        config.ShortPress = Meaningful(config.ShortPress);
        config.UseLongPress = config.UseLongPress != 0;
        config.LongPress = config.UseLongPress ? Meaningful(config.LongPress) : TSwitchBehavior{};
    }
    return p;
}

// What a profile looks like after it was written as JSON and read back into Previous, the record
// that held the profile read before: the reader leaves payload bytes its member does not set.
inline TProfile AfterJsonTrip(TProfile p, const TProfile& previous) {
    ClearAfterFirstNul(p.ProfileName);
    for (std::uint8_t* flag :
         {&p.HIDInput.EnabledUSB, &p.HIDInput.EnabledBT, &p.HIDInput.KeyboardMotionControlEnabled,
          &p.HIDInput.KeyboardMotionControlToggleMode, &p.HIDInput.KeyboardJoystickModeEnabled,
          &p.HIDInput.KeyboardJoystickControlToggleMode, &p.HIDOutput.BT_HostEnabled})
        *flag = *flag != 0; // written as JSON booleans
    for (int k = 0; k < SwitchCount; ++k) {
        TSwitchConfig& config = p.SwitchConfigs[k];
        const TSwitchConfig& before = previous.SwitchConfigs[k];
        for (auto [behavior, old] :
             {std::pair{&config.ShortPress, &before.ShortPress}, {&config.LongPress, &before.LongPress}}) {
            if (behavior->SwitchType > stTremorFilter)
                behavior->SwitchType = stNone;
            TSwitchBehavior read = Meaningful(*behavior);
            if (read.SwitchType ==
                stChangeProfile) { // unknown kinds read as "next"; only "specific" has a target
                if (read.ProfileChange.Kind > pcSpecific)
                    read.ProfileChange.Kind = pcNext;
                if (read.ProfileChange.Kind != pcSpecific)
                    read.ProfileChange.TargetProfileIndex = 0;
            }
            std::copy(old->Payload + UsedPayloadBytes(read.SwitchType), old->Payload + 64,
                      read.Payload + UsedPayloadBytes(read.SwitchType));
            *behavior = read;
        }
        config.UseLongPress = config.UseLongPress != 0;
    }
    return p;
}

// A profile whose blob is as long as a blob can be: a 16-byte name and 32-step sequences on both
// presses of every switch.
inline TProfile LargestProfile() {
    TProfile p{};
    std::fill(std::begin(p.ProfileName), std::end(p.ProfileName), 'P');
    for (auto& config : p.SwitchConfigs) {
        config.UseLongPress = 1;
        for (TSwitchBehavior* b : {&config.ShortPress, &config.LongPress}) {
            b->SwitchType = stKeySequence;
            std::fill(std::begin(b->KeySequence.KeyCodes), std::end(b->KeySequence.KeyCodes), 4);
        }
    }
    return p;
}

// The set as it reads back after a trip: the name cut at its first NUL, each profile through
// ProfileTrip, and the given active index.
template <typename Trip>
TProfileSet SetAfterTrip(const TProfileSet& set, int activeIndex, Trip&& profileTrip) {
    TProfileSet expected{};
    expected.ID = set.ID;
    std::copy(std::begin(set.Name), std::end(set.Name), expected.Name);
    ClearAfterFirstNul(expected.Name);
    expected.ProfileCount = set.ProfileCount;
    expected.ActiveProfileIndex = static_cast<std::uint8_t>(activeIndex);
    for (int k = 0; k < set.ProfileCount; ++k)
        expected.Profiles[k] = profileTrip(set.Profiles[k]);
    return expected;
}

} // namespace zelmor::test
