// SPDX-License-Identifier: MIT
// A self-contained key map filled from a mapping file: virtual key -> HID code, HID code ->
// caption, HID code -> modifier bit. The key capture uses the layout's key table instead.
#pragma once

#include "KeyboardJson.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <map>

namespace zelmor {

class TVirtualKeyMap {
public:
    void Clear();
    // Rows from an array, or the "mapping" array of an object, with integer "vk", "hid",
    // "modifier" and string "label"; rows or values out of range add nothing. Later rows win.
    void LoadKeyMaps(const TJson& root);
    // Rows from an array, or the "key_mapping" (else "mapping") array of an object, with integer
    // "vk" and "hid" (both required), "labels" by language and optional "modifier_bit"; values out of
    // range are moved to the nearest bound. A row without caption is named "HID 0xNN". Later rows win.
    void LoadVKToHIDAndLabels(const TJson& root, QStringView lang2);

    bool TryMapVKToHID(std::uint16_t vk, std::uint8_t& hid) const;
    QString LabelForHID(std::uint8_t hid) const;
    std::uint8_t ModifierMaskForHID(std::uint8_t hid) const;

    const std::map<std::uint16_t, std::uint8_t>& VKToHIDMap() const { return FVKToHIDMap; }
    const std::map<std::uint8_t, QString>& HIDToLabelMap() const { return FHIDToLabelMap; }
    const std::map<std::uint8_t, std::uint8_t>& ModifierHIDBits() const { return FModifierHIDBits; }

private:
    std::map<std::uint16_t, std::uint8_t> FVKToHIDMap;
    std::map<std::uint8_t, QString> FHIDToLabelMap;
    std::map<std::uint8_t, std::uint8_t> FModifierHIDBits;
};

} // namespace zelmor
