// SPDX-License-Identifier: MIT
#include "KeyText.h"

#include "KeyMappingList.h"

#include <QCoreApplication>

#include <array>
#include <utility>

namespace zelmor {

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate(KeyTextContext, text);
}

// Keys whose names are translated; the others are fixed texts built below.
constexpr std::array<std::pair<int, const char*>, 24> NamedKeys{{
    {8, QT_TRANSLATE_NOOP("zelmor::KeyText", "Backspace")},
    {9, QT_TRANSLATE_NOOP("zelmor::KeyText", "Tab")},
    {13, QT_TRANSLATE_NOOP("zelmor::KeyText", "Enter")},
    {27, QT_TRANSLATE_NOOP("zelmor::KeyText", "Esc")},
    {32, QT_TRANSLATE_NOOP("zelmor::KeyText", "Space")},
    {33, QT_TRANSLATE_NOOP("zelmor::KeyText", "Page Up")},
    {34, QT_TRANSLATE_NOOP("zelmor::KeyText", "Page Down")},
    {35, QT_TRANSLATE_NOOP("zelmor::KeyText", "End")},
    {36, QT_TRANSLATE_NOOP("zelmor::KeyText", "Home")},
    {37, QT_TRANSLATE_NOOP("zelmor::KeyText", "Left")},
    {38, QT_TRANSLATE_NOOP("zelmor::KeyText", "Up")},
    {39, QT_TRANSLATE_NOOP("zelmor::KeyText", "Right")},
    {40, QT_TRANSLATE_NOOP("zelmor::KeyText", "Down")},
    {45, QT_TRANSLATE_NOOP("zelmor::KeyText", "Insert")},
    {46, QT_TRANSLATE_NOOP("zelmor::KeyText", "Delete")},
    {91, QT_TRANSLATE_NOOP("zelmor::KeyText", "Left Windows")},
    {92, QT_TRANSLATE_NOOP("zelmor::KeyText", "Right Windows")},
    {93, QT_TRANSLATE_NOOP("zelmor::KeyText", "Applications")},
    {160, QT_TRANSLATE_NOOP("zelmor::KeyText", "Left Shift")},
    {161, QT_TRANSLATE_NOOP("zelmor::KeyText", "Right Shift")},
    {162, QT_TRANSLATE_NOOP("zelmor::KeyText", "Left Ctrl")},
    {163, QT_TRANSLATE_NOOP("zelmor::KeyText", "Right Ctrl")},
    {164, QT_TRANSLATE_NOOP("zelmor::KeyText", "Left Alt")},
    {165, QT_TRANSLATE_NOOP("zelmor::KeyText", "Right Alt")},
}};

// The modifier words in display order.
QString ModifierWords(bool shift, bool ctrl, bool alt) {
    QString words;
    if (shift)
        words += Tr(QT_TRANSLATE_NOOP("zelmor::KeyText", "Shift+"));
    if (ctrl)
        words += Tr(QT_TRANSLATE_NOOP("zelmor::KeyText", "Ctrl+"));
    if (alt)
        words += Tr(QT_TRANSLATE_NOOP("zelmor::KeyText", "Alt+"));
    return words;
}

} // namespace

std::uint8_t ModifiersFromShiftState(TShiftState shift) {
    std::uint8_t modifiers = 0;
    if (shift & ssCtrl)
        modifiers |= ModLeftCtrl;
    if (shift & ssShift)
        modifiers |= ModLeftShift;
    if (shift & ssAlt)
        modifiers |= ModLeftAlt;
    return modifiers;
}

QString KeyComboToText(const THIDKeyConfig& combo, const TKeyMappingList* mapping, QStringView lang) {
    QString prefix = ModifierWords(combo.Modifiers & ModLeftShift, combo.Modifiers & ModLeftCtrl,
                                   combo.Modifiers & ModLeftAlt);
    const int key = combo.Keys[0];
    const QString caption =
        mapping != nullptr ? mapping->HIDToLabel(key, lang) : QStringLiteral("[HID %1]").arg(key);
    if (key != 0 && !caption.isEmpty())
        return prefix + caption;
    if (prefix.endsWith(QLatin1String(" + ")))
        prefix.chop(3);
    return prefix;
}

QString VirtualKeyComboName(int vk, TShiftState shift) {
    QString words = ModifierWords(shift & ssShift, shift & ssCtrl, shift & ssAlt);
    words.chop(1);
    if (words.isEmpty())
        return VirtualKeyName(vk);
    return words + QLatin1String(" + ") + VirtualKeyName(vk);
}

QString VirtualKeyName(int vk) {
    for (const auto& [code, name] : NamedKeys)
        if (code == vk)
            return Tr(name);
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return QString(QChar(vk));
    if (vk >= 96 && vk <= 105)
        return QStringLiteral("Num %1").arg(vk - 96);
    switch (vk) {
    case 106:
        return QStringLiteral("*");
    case 107:
        return QStringLiteral("+");
    case 108:
        return QStringLiteral("[NumPad Op: %1]").arg(vk);
    case 109:
        return QStringLiteral("-");
    case 110:
        return QStringLiteral(".");
    case 111:
        return QStringLiteral("/");
    case 144:
        return QStringLiteral("Num Lock");
    default:
        break;
    }
    if (vk >= 112 && vk <= 123)
        return QStringLiteral("F%1").arg(vk - 111);
    if (vk >= 186 && vk <= 222)
        return QStringLiteral("[OEM KeyCode: %1]").arg(vk);
    return {};
}

} // namespace zelmor
