// SPDX-License-Identifier: MIT
#include "KeyPressTranslation.h"

#include <QKeyEvent>

#include <array>
#include <utility>

namespace zelmor {

namespace {

// Qt does not tell the left and right modifier keys apart: they become the left-hand virtual keys,
// AltGr the right Alt key.
constexpr std::array<std::pair<int, int>, 30> KeyToVK{{
    {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09},        {Qt::Key_Backtab, 0x09}, {Qt::Key_Clear, 0x0C},
    {Qt::Key_Return, 0x0D},    {Qt::Key_Enter, 0x0D},      {Qt::Key_Shift, 0xA0},   {Qt::Key_Control, 0xA2},
    {Qt::Key_Alt, 0xA4},       {Qt::Key_AltGr, 0xA5},      {Qt::Key_Pause, 0x13},   {Qt::Key_CapsLock, 0x14},
    {Qt::Key_Escape, 0x1B},    {Qt::Key_Space, 0x20},      {Qt::Key_PageUp, 0x21},  {Qt::Key_PageDown, 0x22},
    {Qt::Key_End, 0x23},       {Qt::Key_Home, 0x24},       {Qt::Key_Left, 0x25},    {Qt::Key_Up, 0x26},
    {Qt::Key_Right, 0x27},     {Qt::Key_Down, 0x28},       {Qt::Key_Print, 0x2C},   {Qt::Key_Insert, 0x2D},
    {Qt::Key_Delete, 0x2E},    {Qt::Key_Super_L, 0x5B},    {Qt::Key_Meta, 0x5B},    {Qt::Key_Super_R, 0x5C},
    {Qt::Key_Menu, 0x5D},      {Qt::Key_ScrollLock, 0x91},
}};

// Operator keys of the numeric pad; its digits are handled apart.
constexpr std::array<std::pair<int, int>, 6> KeypadToVK{{
    {Qt::Key_Asterisk, 0x6A},
    {Qt::Key_Plus, 0x6B},
    {Qt::Key_Minus, 0x6D},
    {Qt::Key_Period, 0x6E},
    {Qt::Key_Comma, 0x6E},
    {Qt::Key_Slash, 0x6F},
}};

// Dead keys type nothing themselves; the layouts list them by the spacing form of their accent.
constexpr std::array<std::pair<int, char16_t>, 5> DeadKeyChars{{
    {Qt::Key_Dead_Grave, u'`'},
    {Qt::Key_Dead_Acute, u'\u00B4'},
    {Qt::Key_Dead_Circumflex, u'^'},
    {Qt::Key_Dead_Tilde, u'~'},
    {Qt::Key_Dead_Diaeresis, u'\u00A8'},
}};

template <typename Table> int Find(const Table& table, int key) {
    for (const auto& [from, to] : table)
        if (from == key)
            return to;
    return 0;
}

int VirtualKeyOf(int key, bool keypad) {
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9)
        return 0x60 + (key - Qt::Key_0);
    if (keypad)
        if (const int vk = Find(KeypadToVK, key))
            return vk;
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return key; // Qt's codes for these are the ASCII upper-case letters and digits, as Windows'
    if (key == Qt::Key_NumLock)
        return 0x90;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 0x70 + (key - Qt::Key_F1);
    return Find(KeyToVK, key);
}

// The character of a key without virtual-key code. With Ctrl held the event's text is a control
// code or empty, so the key code (Qt's upper-case form of Latin characters) stands in for it.
QString CharacterOf(const QKeyEvent& event, bool shift) {
    if (const int dead = Find(DeadKeyChars, event.key()))
        return QString(QChar(dead));
    const QString text = event.text();
    if (!text.isEmpty() && text.front().unicode() >= 0x20 && text.front() != QChar(0x7F))
        return text;
    const int key = event.key();
    if (key < 0x20 || key > 0xFF || key == 0x7F)
        return {};
    const QString fromKey(QChar(static_cast<char16_t>(key)));
    return shift ? fromKey : fromKey.toLower();
}

} // namespace

TKeyPress KeyPressFromEvent(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    TKeyPress press;
    if (modifiers & Qt::ShiftModifier)
        press.Shift |= ssShift;
    if (modifiers & Qt::ControlModifier)
        press.Shift |= ssCtrl;
    if (modifiers & Qt::AltModifier)
        press.Shift |= ssAlt;
    press.VK = VirtualKeyOf(event.key(), modifiers & Qt::KeypadModifier);
    if (press.VK == 0)
        press.Char = CharacterOf(event, press.Shift & ssShift);
    return press;
}

} // namespace zelmor
