// SPDX-License-Identifier: MIT
// Key chords and Windows virtual keys as text for the user.
#pragma once

#include "model/Profile.h"

#include <QString>
#include <QStringView>

#include <cstdint>

namespace zelmor {

class TKeyMappingList;

// Translation context of the key names and modifier words.
constexpr const char* KeyTextContext = "zelmor::KeyText";

// The modifier keys held during a key press.
using TShiftState = std::uint8_t;
constexpr TShiftState ssShift = 0x01, ssAlt = 0x02, ssCtrl = 0x04;

// HID modifier byte of a shift state: Ctrl 0x01, Shift 0x02, Alt 0x04, nothing else.
std::uint8_t ModifiersFromShiftState(TShiftState shift);

// "Shift+", "Ctrl+", "Alt+" (in this order) for the chord's left modifier bits, followed directly
// by the caption of Keys[0] in Lang; "[HID n]" stands for the caption when no table is given. A
// chord without key shows its modifier words alone. The other key bytes are not shown.
QString KeyComboToText(const THIDKeyConfig& combo, const TKeyMappingList* mapping, QStringView lang);

// The modifier words without their last plus sign, " + " and the key's name: "Alt + F4".
QString VirtualKeyComboName(int vk, TShiftState shift);

// Name of a Windows virtual key; empty for keys without one. Named keys and the modifier words
// follow the user interface's translation (context "zelmor::KeyText").
QString VirtualKeyName(int vk);

} // namespace zelmor
