// SPDX-License-Identifier: MIT
#include "KeyMappingList.h"

#include "KeyboardDataError.h"
#include "KeyboardJson.h"

#include <limits>

namespace zelmor {

namespace {

// "vk" and "hid": a JSON integer or a string holding one; -1 when missing or not readable.
int ReadCode(const TJson& row, const char* name) {
    const TJson* value = MemberOf(row, name);
    if (value == nullptr)
        return -1;
    if (const auto number = JsonInteger(*value)) {
        if (*number < std::numeric_limits<int>::min() || *number > std::numeric_limits<int>::max())
            return -1;
        return static_cast<int>(*number);
    }
    if (const auto text = JsonString(*value)) {
        bool ok = false;
        const int number = text->toInt(&ok);
        return ok ? number : -1;
    }
    return -1;
}

QString ReadText(const TJson& object, const char* name) {
    const TJson* value = MemberOf(object, name);
    return value == nullptr ? QString() : JsonString(*value).value_or(QString());
}

TKeyMapping ReadRow(const TJson& row) {
    TKeyMapping entry;
    entry.VK = ReadCode(row, "vk");
    entry.HID = ReadCode(row, "hid");
    entry.Char = ReadText(row, "char");
    entry.ShiftChar = ReadText(row, "shift_char");
    entry.AltGrChar = ReadText(row, "altgr_char");
    if (const TJson* labels = MemberOf(row, "labels")) {
        entry.LabelDE = ReadText(*labels, "de");
        entry.LabelEN = ReadText(*labels, "en");
    }
    return entry;
}

bool EqualsIgnoringAsciiCase(QStringView a, QStringView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x >= 'A' && x <= 'Z')
            x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z')
            y += 'a' - 'A';
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

bool IsEnglish(QStringView lang) {
    return EqualsIgnoringAsciiCase(lang, u"en");
}

void TKeyMappingList::LoadFromJSON(const QString& fileName) {
    FList.clear();
    const TJson root = ReadJsonFile(fileName);
    if (root.is_discarded())
        return;
    if (!root.is_object())
        throw TKeyboardDataError(QStringLiteral("The keyboard layout \"%1\" does not hold a JSON object.")
                                     .arg(fileName)
                                     .toStdString());
    const TJson* rows = MemberOf(root, "key_mapping");
    if (rows == nullptr || !rows->is_array())
        return;
    FList.assign(rows->size(), TKeyMapping{});
    for (std::size_t i = 0; i < rows->size(); ++i) {
        const TJson& row = (*rows)[i];
        if (!row.is_object())
            throw TKeyboardDataError(
                QStringLiteral("Row %1 of the keyboard layout \"%2\" is not a JSON object.")
                    .arg(i)
                    .arg(fileName)
                    .toStdString());
        FList[i] = ReadRow(row);
    }
}

int TKeyMappingList::VKToHID(int vk) const {
    for (const TKeyMapping& entry : FList)
        if (entry.VK == vk)
            return entry.HID;
    return 0;
}

QString TKeyMappingList::HIDToLabel(int hid, QStringView lang) const {
    for (const TKeyMapping& entry : FList)
        if (entry.HID == hid)
            return IsEnglish(lang) ? entry.LabelEN : entry.LabelDE;
    return QStringLiteral("[HID %1]").arg(hid);
}

int TKeyMappingList::CharToHID(QStringView c, QStringView lang) const {
    if (c.isEmpty())
        return 0;
    const QString upper = c.toString().toUpper(), lower = c.toString().toLower();
    const bool english = IsEnglish(lang);
    for (const TKeyMapping& entry : FList) {
        const QString& label = english ? entry.LabelEN : entry.LabelDE;
        if (EqualsIgnoringAsciiCase(label, c) || label == upper || label == lower)
            return entry.HID;
    }
    return 0;
}

int TKeyMappingList::CharToHIDSmart(QStringView c, bool withShift) const {
    // An empty text is no character; it must not match the keys that type nothing.
    if (c.isEmpty())
        return 0;
    for (const TKeyMapping& entry : FList)
        if ((withShift ? entry.ShiftChar : entry.Char) == c)
            return entry.HID;
    return 0;
}

bool TKeyMappingList::TryGetEntry(std::uint8_t hid, TKeyMapping& entry) const {
    for (const TKeyMapping& row : FList)
        if (row.HID == hid) {
            entry = row;
            return true;
        }
    entry = TKeyMapping{};
    return false;
}

bool TKeyMappingList::TryGetEntryForChar(QStringView c, TKeyMapping& entry) const {
    entry = TKeyMapping{};
    if (c.isEmpty())
        return false;
    for (const TKeyMapping& row : FList)
        if (row.Char == c || row.ShiftChar == c || row.AltGrChar == c) {
            entry = row;
            return true;
        }
    return false;
}

QString TKeyMappingList::GetCharFor(std::uint8_t hid, std::uint8_t modifier) const {
    TKeyMapping entry;
    if (!TryGetEntry(hid, entry))
        return {};
    if (modifier & 0x40)
        return entry.AltGrChar;
    if (modifier & 0x02)
        return entry.ShiftChar;
    return entry.Char;
}

} // namespace zelmor
