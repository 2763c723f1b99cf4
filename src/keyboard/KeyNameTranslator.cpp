// SPDX-License-Identifier: MIT
#include "KeyNameTranslator.h"

#include "KeyText.h"

#include <cstring>

namespace zelmor {

namespace {

struct TGermanText {
    const char* English;
    const char* German;
};

constexpr TGermanText GermanKeyTexts[] = {
    {"Backspace", "Rücktaste"},
    {"Tab", "Tab"},
    {"Enter", "Eingabe"},
    {"Esc", "Esc"},
    {"Space", "Leertaste"},
    {"Page Up", "Bild auf"},
    {"Page Down", "Bild ab"},
    {"End", "Ende"},
    {"Home", "Pos1"},
    {"Left", "Links"},
    {"Up", "Oben"},
    {"Right", "Rechts"},
    {"Down", "Unten"},
    {"Insert", "Einfg"},
    {"Delete", "Entf"},
    {"Left Windows", "Windows links"},
    {"Right Windows", "Windows rechts"},
    {"Applications", "Kontextmenü"},
    {"Left Shift", "Umschalt links"},
    {"Right Shift", "Umschalt rechts"},
    {"Left Ctrl", "Strg links"},
    {"Right Ctrl", "Strg rechts"},
    {"Left Alt", "Alt links"},
    {"Right Alt", "Alt Gr"},
    {"Shift+", "Umschalt+"},
    {"Ctrl+", "Strg+"},
    {"Alt+", "Alt+"},
};

} // namespace

QString TKeyNameTranslator::translate(const char* context, const char* sourceText, const char*, int) const {
    if (context == nullptr || sourceText == nullptr || std::strcmp(context, KeyTextContext) != 0)
        return {};
    for (const TGermanText& text : GermanKeyTexts)
        if (std::strcmp(text.English, sourceText) == 0)
            return QString::fromUtf8(text.German);
    return {};
}

} // namespace zelmor
