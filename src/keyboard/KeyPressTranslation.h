// SPDX-License-Identifier: MIT
// Qt key events as the key presses the capture control understands: a Windows virtual-key code, or
// when the key has none the character it types, with the held modifiers.
#pragma once

#include "KeyText.h"

#include <QString>

class QKeyEvent;

namespace zelmor {

struct TKeyPress {
    int VK = 0;   // Windows virtual-key code; 0 when the key is given by its character
    QString Char; // the typed character when VK is 0; empty when there is none
    TShiftState Shift = 0;
};

// Letters, digits, F1-F24, the navigation, editing and numeric-pad keys and the modifiers become
// their Windows virtual-key codes; other keys arrive as their character (dead keys as the spacing
// form of their accent). Keys with neither give VK 0 and no character.
TKeyPress KeyPressFromEvent(const QKeyEvent& event);

} // namespace zelmor
