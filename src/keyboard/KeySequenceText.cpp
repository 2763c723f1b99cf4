// SPDX-License-Identifier: MIT
#include "KeySequenceText.h"

#include "KeyMappingList.h"

#include <QList>

namespace zelmor {

QString KeySequenceToString(const TKeySequence& sequence, const TKeyMappingList& mapping) {
    QString text;
    for (int i = 0; i < KeySequenceSteps && sequence.KeyCodes[i] != 0; ++i)
        text += mapping.GetCharFor(sequence.KeyCodes[i], sequence.Modifiers[i]);
    return text;
}

void KeySequenceFromString(TKeySequence& sequence, QStringView text, const TKeyMappingList& mapping) {
    sequence.Clear();
    // Characters, not UTF-16 units: a character outside the basic plane is one step.
    const QList<uint> characters = text.toUcs4();
    for (qsizetype i = 0; i < characters.size() && i < KeySequenceSteps; ++i) {
        const char32_t code = characters[i];
        const QString c = QString::fromUcs4(&code, 1);
        TKeyMapping entry;
        if (!mapping.TryGetEntryForChar(c, entry) || entry.HID < 0 || entry.HID > 0xFF)
            continue;
        sequence.KeyCodes[i] = static_cast<std::uint8_t>(entry.HID);
        sequence.Modifiers[i] = c == entry.AltGrChar ? ModRightAlt : c == entry.ShiftChar ? ModLeftShift : 0;
    }
}

} // namespace zelmor
