// SPDX-License-Identifier: MIT
#include "ProfileSetBlob.h"

#include "TextFormat.h"

#include <algorithm>

namespace zelmor {

namespace {

constexpr std::uint8_t SetFormatVersion = 1;
constexpr std::size_t SetHeaderSize = 5; // version, identifier, count, active index, name length

// Where profile I's length field and bytes lie, or why they do not fit.
struct TEntryBounds {
    enum { Ok, LengthTruncated, Overflow } Status;
    std::size_t ValueOffset; // just after the length field
    std::size_t Length;
};

TEntryBounds EntryAt(TByteView blob, std::size_t pos) {
    if (pos + 2 > blob.size())
        return {TEntryBounds::LengthTruncated, pos, 0};
    const std::size_t length = blob[pos] | (blob[pos + 1] << 8);
    const std::size_t value = pos + 2;
    return {value + length > blob.size() ? TEntryBounds::Overflow : TEntryBounds::Ok, value, length};
}

} // namespace

TBytes TProfileSet::ToBlob() const {
    const int count = std::min<int>(ProfileCount, MaxProfilesInSet);
    const int active = (count == 0 || ActiveProfileIndex >= count) ? 0 : ActiveProfileIndex;
    const int nameLength = NameLength(Name);
    TBytes out;
    out.reserve(SetHeaderSize + nameLength + count * 128);
    for (int headerByte : {int(SetFormatVersion), int(ID), count, active, nameLength})
        out.push_back(static_cast<std::uint8_t>(headerByte));
    out.insert(out.end(), Name, Name + nameLength);
    for (int i = 0; i < count; ++i) {
        const TBytes profile = Profiles[i].ToV2Blob();
        out.push_back(static_cast<std::uint8_t>(profile.size() & 0xFF));
        out.push_back(static_cast<std::uint8_t>(profile.size() >> 8));
        out.insert(out.end(), profile.begin(), profile.end());
    }
    return out;
}

bool TProfileSet::FromBlob(TByteView blob) {
    if (blob.size() < SetHeaderSize || blob[0] != SetFormatVersion)
        return false;
    const int count = blob[2];
    const int active = blob[3];
    const std::size_t nameLength = blob[4];
    if (count > MaxProfilesInSet || nameLength > NameBytes || blob.size() < SetHeaderSize + nameLength)
        return false;

    ClearRecord(*this);
    ID = blob[1];
    std::copy_n(blob.begin() + SetHeaderSize, nameLength, Name);
    std::size_t pos = SetHeaderSize + nameLength;
    for (int i = 0; i < count; ++i) {
        const TEntryBounds entry = EntryAt(blob, pos);
        if (entry.Status != TEntryBounds::Ok ||
            !Profiles[i].FromV2Blob(blob.subspan(entry.ValueOffset, entry.Length)))
            return false;
        ProfileCount = static_cast<std::uint8_t>(i + 1);
        pos = entry.ValueOffset + entry.Length;
    }
    ActiveProfileIndex = static_cast<std::uint8_t>(active < ProfileCount ? active : 0);
    return true;
}

bool ValidateProfileSetBlob(TByteView bytes, std::string& message) {
    message.clear();
    if (bytes.size() <= 4)
        message = "set too short";
    else if (bytes[0] != SetFormatVersion)
        message = Format("set version=%d", bytes[0]);
    else if (bytes[2] > MaxProfilesInSet || bytes[4] > NameBytes)
        message = Format("set count/name invalid (count=%d name_len=%d)", bytes[2], bytes[4]);
    else if (bytes.size() < SetHeaderSize + bytes[4])
        message = "set name exceeds length";
    else {
        std::size_t pos = SetHeaderSize + bytes[4];
        for (int number = 1; number <= bytes[2] && message.empty(); ++number) {
            const TEntryBounds entry = EntryAt(bytes, pos);
            std::string profileMessage;
            if (entry.Status == TEntryBounds::LengthTruncated)
                message = Format("profile %d length truncated", number);
            else if (entry.Status == TEntryBounds::Overflow)
                message = Format("profile %d length overflow (len=%d pos=%d total=%d)", number,
                                 static_cast<int>(entry.Length), static_cast<int>(entry.ValueOffset),
                                 static_cast<int>(bytes.size()));
            else if (!ValidateProfileBlob(bytes.subspan(entry.ValueOffset, entry.Length), profileMessage))
                message = Format("profile %d invalid: %s", number, profileMessage.c_str());
            pos = entry.ValueOffset + entry.Length;
        }
    }
    return message.empty();
}

} // namespace zelmor
