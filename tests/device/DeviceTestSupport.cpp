// SPDX-License-Identifier: MIT
#include "DeviceTestSupport.h"

#include "model/Cp1252.h"

#include <stdexcept>

namespace zelmor::test {

namespace {

void FillSequence(TSwitchBehavior& behavior, int steps, int seed) {
    behavior = {};
    behavior.SwitchType = stKeySequence;
    for (int i = 0; i < steps; ++i) {
        behavior.KeySequence.Modifiers[i] = static_cast<std::uint8_t>((seed + i) % 3);
        behavior.KeySequence.KeyCodes[i] = static_cast<std::uint8_t>(0x04 + (seed + i) % 26);
    }
}

TProfileSet TenProfiles() {
    TProfileSet set{};
    set.ID = 42;
    set.ProfileCount = MaxProfilesInSet;
    set.ActiveProfileIndex = 3;
    for (auto& profile : set.Profiles) {
        profile.ProfileVersion.Set(2);
        profile.LCID.Set(1031);
        profile.SwitchMotionSpeed = {5, 0, 5, 5};
    }
    return set;
}

} // namespace

TProfileSet ProfileSetOfBlobSize(std::size_t size) {
    auto set = TenProfiles();
    std::size_t remaining = size - set.ToBlob().size();
    if (set.ToBlob().size() > size)
        throw std::invalid_argument("set blob size below the minimum");
    // Each switch turned into an s-step sequence adds 1 + 2s bytes; names absorb the last 0-16.
    for (int slot = 0; remaining > NameBytes; ++slot) {
        if (slot == MaxProfilesInSet * SwitchCount)
            throw std::invalid_argument("set blob size above what the test sets reach");
        const int steps = static_cast<int>(std::min<std::size_t>(KeySequenceSteps, (remaining - 1) / 2));
        FillSequence(set.Profiles[slot / SwitchCount].SwitchConfigs[slot % SwitchCount].ShortPress, steps,
                     slot);
        remaining -= 1 + 2 * static_cast<std::size_t>(steps);
    }
    TextToName(std::string(remaining, 'N'), set.Name);
    if (set.ToBlob().size() != size)
        throw std::logic_error("set blob size not reached");
    return set;
}

TProfileSet LargestProfileSet() {
    auto set = TenProfiles();
    TextToName("Largest set ABCD", set.Name);
    int seed = 0;
    for (auto& profile : set.Profiles) {
        TextToName("Profile name 16c", profile.ProfileName);
        for (auto& config : profile.SwitchConfigs) {
            FillSequence(config.ShortPress, KeySequenceSteps, ++seed);
            config.UseLongPress = 1;
            FillSequence(config.LongPress, KeySequenceSteps, ++seed);
        }
    }
    return set;
}

std::string BlobText(const TProfileSet& set) {
    const auto blob = set.ToBlob();
    return std::string(blob.begin(), blob.end());
}

} // namespace zelmor::test
