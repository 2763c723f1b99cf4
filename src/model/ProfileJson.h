// SPDX-License-Identifier: MIT
// JSON forms of the profile records. Writers put members in a fixed order with enumerations as
// numbers; readers are lenient (see JsonRead.h) and store numbers as their low 8 or 16 bits. A
// reader fills the record it is given: some members leave fields as they were when missing (noted
// per reader), so callers decide what a record holds before it is read.
#pragma once

#include "JsonRead.h"
#include "Profile.h"

namespace zelmor {

TJson ToJSON(const THIDKeyConfig& key);
TJson ToJSON(const TKeySequence& sequence); // an array, up to the first empty step
TJson ToJSON(const THIDConsumerSysConfig& consumer);
TJson ToJSON(const TButtonBehavior& button);
TJson ToJSON(const TChangeProfileBehavior& change);
TJson ToJSON(const TSwitchBehavior& behavior);
TJson ToJSON(const TSwitchConfig& config);
TJson ToJSON(const TSwitchMotionSpeed& speed);
TJson ToJSON(const THIDInputConfig& input);
TJson ToJSON(const THID_OutputConfig& output);
TJson ToJSON(const TProfile& profile);
TJson ToJSON(const TProfileSet& set); // the first ProfileCount profiles

// Each reader throws TJsonError where a value must be a whole number or an object and is not.
void FromJSON(const TJson& object, THIDKeyConfig& key);
void FromJSON(const TJson& array, TKeySequence& sequence);
void FromJSON(const TJson& object, THIDConsumerSysConfig& consumer);
void FromJSON(const TJson& object, TButtonBehavior& button);
void FromJSON(const TJson& object, TChangeProfileBehavior& change);
// Does not clear the behaviour: payload bytes that the type's member does not set keep their value.
void FromJSON(const TJson& object, TSwitchBehavior& behavior);
void FromJSON(const TJson& object, TSwitchConfig& config);
void FromJSON(const TJson& object, TSwitchMotionSpeed& speed);
void FromJSON(const TJson& object, THIDInputConfig& input);
void FromJSON(const TJson& object, THID_OutputConfig& output);
// Sets every field except the unused payload bytes of behaviours, which keep their value.
void FromJSON(const TJson& object, TProfile& profile);
// Clears the set first; non-object entries of "profiles" are skipped and later profiles move up.
void FromJSON(const TJson& object, TProfileSet& set);

} // namespace zelmor
