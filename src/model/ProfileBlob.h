// SPDX-License-Identifier: MIT
// The version-2 profile blob: a short header followed by type-length-value records. Only the
// meaningful bytes travel: the name without padding, key sequences up to their last step, and a
// long-press action only when it is enabled. TProfile::ToV2Blob and TProfile::FromV2Blob use these.
#pragma once

#include "Profile.h"

#include <string>

namespace zelmor {

// Behaviour encoding: the type byte, then the bytes the type needs (mode first for key combinations,
// all modifiers before all key codes for sequences).
TBytes EncodeSwitchBehavior(const TSwitchBehavior& behavior);

// Reads an encoding into Behavior. The type byte is taken whatever its value; fails on empty input or
// when the bytes the type needs are missing. Fields the encoding does not carry are left as they were.
bool DecodeSwitchBehavior(TByteView bytes, TSwitchBehavior& behavior);

// Structural check of a profile blob; on failure Message describes the first fault for the log.
bool ValidateProfileBlob(TByteView bytes, std::string& message);

} // namespace zelmor
