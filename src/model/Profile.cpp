// SPDX-License-Identifier: MIT
#include "Profile.h"

#include <algorithm>

namespace zelmor {

bool TKeySequence::IsEmpty() const {
    return std::all_of(std::begin(Modifiers), std::end(Modifiers), [](auto b) { return b == 0; }) &&
           std::all_of(std::begin(KeyCodes), std::end(KeyCodes), [](auto b) { return b == 0; });
}

void TKeySequence::Clear() {
    ClearRecord(*this);
}

int TKeySequence::StepCount() const {
    int steps = 0;
    while (steps < KeySequenceSteps && (Modifiers[steps] != 0 || KeyCodes[steps] != 0))
        ++steps;
    return steps;
}

int NameLength(const std::uint8_t (&name)[NameBytes]) {
    return static_cast<int>(std::find(std::begin(name), std::end(name), 0) - std::begin(name));
}

} // namespace zelmor
