// SPDX-License-Identifier: MIT
// The key table of one keyboard layout: Windows virtual keys, characters, USB HID keyboard usage
// codes and the German and English key captions, joined row by row.
#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace zelmor {

// One key of the layout. VK and HID are -1 when the layout file does not give them.
struct TKeyMapping {
    int VK = 0;
    int HID = 0;
    QString LabelDE;
    QString LabelEN;
    QString Char;      // typed without modifiers
    QString ShiftChar; // typed with Shift
    QString AltGrChar; // typed with AltGr (right Alt)
};

// Rows in file order; several rows may share a key code or character and every lookup takes the
// first matching row. The table is read-only between loads.
class TKeyMappingList {
public:
    // Replaces the rows with those of the layout file. Text that is not JSON, or has no
    // "key_mapping" array, leaves the table empty. Throws TKeyboardDataError when the file cannot be
    // read, when its root is not an object or when a row is not an object; rows before that row are
    // filled, rows after it stay all zero.
    void LoadFromJSON(const QString& fileName);

    const std::vector<TKeyMapping>& Rows() const { return FList; }

    // HID code of the first row with this virtual key; 0 when none.
    int VKToHID(int vk) const;
    // Caption of the first row with this HID code: English for "en" (any case), German otherwise,
    // even when empty; "[HID n]" when no row has the code.
    QString HIDToLabel(int hid, QStringView lang) const;
    // HID code of the first row whose caption in Lang matches the character, ignoring case; 0 when
    // none.
    int CharToHID(QStringView c, QStringView lang) const;
    // HID code of the first row typing exactly this character, with Shift or without; 0 when none.
    int CharToHIDSmart(QStringView c, bool withShift) const;
    // The first row with this HID code; false and an empty entry when none.
    bool TryGetEntry(std::uint8_t hid, TKeyMapping& entry) const;
    // The first row typing exactly this character plain, with Shift or with AltGr.
    bool TryGetEntryForChar(QStringView c, TKeyMapping& entry) const;
    // The character typed by the key with the HID modifier byte: right Alt (0x40) gives the AltGr
    // character, else left Shift (0x02) the shifted one, else the plain one. Other bits count not.
    QString GetCharFor(std::uint8_t hid, std::uint8_t modifier) const;

private:
    std::vector<TKeyMapping> FList;
};

// True when Lang names English ("en" in any ASCII case).
bool IsEnglish(QStringView lang);

} // namespace zelmor
