// SPDX-License-Identifier: MIT
#include "VirtualKeyMap.h"

#include "ConsumerCatalogue.h"

namespace zelmor {

namespace {

std::optional<std::int64_t> IntegerMember(const TJson& row, const char* name) {
    const TJson* value = MemberOf(row, name);
    return value != nullptr ? JsonInteger(*value) : std::nullopt;
}

bool InRange(const std::optional<std::int64_t>& value, std::int64_t high) {
    return value && *value >= 0 && *value <= high;
}

// The rows: the root array, or the array held by the first of the named members that is present.
const TJson* RowsOf(const TJson& root, std::initializer_list<const char*> members) {
    if (root.is_array())
        return &root;
    for (const char* name : members)
        if (const TJson* rows = MemberOf(root, name))
            return rows->is_array() ? rows : nullptr;
    return nullptr;
}

} // namespace

void TVirtualKeyMap::Clear() {
    FVKToHIDMap.clear();
    FHIDToLabelMap.clear();
    FModifierHIDBits.clear();
}

void TVirtualKeyMap::LoadKeyMaps(const TJson& root) {
    Clear();
    const TJson* rows = RowsOf(root, {"mapping"});
    if (rows == nullptr)
        return;
    for (const TJson& row : *rows) {
        if (!row.is_object())
            continue;
        const auto vk = IntegerMember(row, "vk"), hid = IntegerMember(row, "hid");
        if (!InRange(hid, 0xFF))
            continue;
        const auto code = static_cast<std::uint8_t>(*hid);
        if (InRange(vk, 0xFFFF))
            FVKToHIDMap[static_cast<std::uint16_t>(*vk)] = code;
        if (const TJson* label = MemberOf(row, "label"); label != nullptr && label->is_string())
            FHIDToLabelMap[code] = *JsonString(*label);
        if (const auto modifier = IntegerMember(row, "modifier"); InRange(modifier, 0xFF))
            FModifierHIDBits[code] = static_cast<std::uint8_t>(*modifier);
    }
}

void TVirtualKeyMap::LoadVKToHIDAndLabels(const TJson& root, QStringView lang2) {
    Clear();
    const TJson* rows = RowsOf(root, {"key_mapping", "mapping"});
    if (rows == nullptr)
        return;
    for (const TJson& row : *rows) {
        if (!row.is_object())
            continue;
        const auto vk = IntegerMember(row, "vk"), hid = IntegerMember(row, "hid");
        if (!vk || !hid)
            continue;
        const auto code = static_cast<std::uint8_t>(Clamp(*hid, 0, 0xFF));
        QString label = PickLocalizedText(MemberOf(row, "labels"), lang2, u"en");
        if (label.isEmpty())
            label = QStringLiteral("HID 0x") +
                    QStringLiteral("%1").arg(int{code}, 2, 16, QLatin1Char('0')).toUpper();
        FVKToHIDMap[static_cast<std::uint16_t>(Clamp(*vk, 0, 0xFFFF))] = code;
        FHIDToLabelMap[code] = label;
        if (const auto bit = IntegerMember(row, "modifier_bit"))
            FModifierHIDBits[code] = static_cast<std::uint8_t>(Clamp(*bit, 0, 0xFF));
    }
}

bool TVirtualKeyMap::TryMapVKToHID(std::uint16_t vk, std::uint8_t& hid) const {
    const auto it = FVKToHIDMap.find(vk);
    if (it == FVKToHIDMap.end())
        return false;
    hid = it->second;
    return true;
}

QString TVirtualKeyMap::LabelForHID(std::uint8_t hid) const {
    const auto it = FHIDToLabelMap.find(hid);
    return it == FHIDToLabelMap.end() ? QString() : it->second;
}

std::uint8_t TVirtualKeyMap::ModifierMaskForHID(std::uint8_t hid) const {
    const auto it = FModifierHIDBits.find(hid);
    return it == FModifierHIDBits.end() ? 0 : it->second;
}

} // namespace zelmor
