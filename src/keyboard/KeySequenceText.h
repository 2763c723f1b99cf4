// SPDX-License-Identifier: MIT
// A key sequence as the text it types on the keyboard layout of a key table.
#pragma once

#include "model/Profile.h"

#include <QString>
#include <QStringView>

namespace zelmor {

class TKeyMappingList;

// The characters the steps type, up to the first step without key code (whatever its modifier).
// Steps whose key types nothing with their modifier add nothing.
QString KeySequenceToString(const TKeySequence& sequence, const TKeyMappingList& mapping);

// Clears the sequence and fills one step per character of the first 32 characters of Text: the
// key typing it, with right Alt (0x40) for its AltGr character, left Shift (0x02) for its shifted
// one. A character no key types leaves its step empty.
void KeySequenceFromString(TKeySequence& sequence, QStringView text, const TKeyMappingList& mapping);

} // namespace zelmor
