// SPDX-License-Identifier: MIT
#include "ProfileBlob.h"

#include "TextFormat.h"

#include <algorithm>

namespace zelmor {

namespace {

constexpr std::uint8_t ProfileFormatVersion = 2;
constexpr std::uint8_t RecordHIDInput = 1, RecordHIDOutput = 2, RecordMotionSpeed = 3, RecordFirstSwitch = 16;
constexpr std::size_t HeaderSize = 5;       // version, switch count, layout identifier, name length
constexpr std::size_t RecordHeaderSize = 3; // type, 16-bit length

std::uint16_t ReadLe16(TByteView bytes, std::size_t pos) {
    return static_cast<std::uint16_t>(bytes[pos] | (bytes[pos + 1] << 8));
}

void AppendLe16(TBytes& out, std::size_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

template <ByteRecord T> void AppendRecord(TBytes& out, std::uint8_t type, const T& record) {
    out.push_back(type);
    AppendLe16(out, sizeof(T));
    auto image = ByteImage(record);
    out.insert(out.end(), image.begin(), image.end());
}

template <ByteRecord T> void CopyImage(TByteView value, T& record) {
    std::copy(value.begin(), value.end(), MutableByteImage(record).begin());
}

// Walks the records after the header while a whole record header fits; Visit(type, valueOffset, length)
// returns false to stop. Returns the offset of a record whose value runs past the end, or npos.
template <typename Visitor> std::size_t WalkRecords(TByteView blob, std::size_t pos, Visitor&& visit) {
    while (pos + RecordHeaderSize <= blob.size()) {
        const std::uint8_t type = blob[pos];
        const std::size_t length = ReadLe16(blob, pos + 1);
        const std::size_t value = pos + RecordHeaderSize;
        if (value + length > blob.size())
            return pos;
        visit(type, value, length);
        pos = value + length;
    }
    return std::string::npos;
}

// A switch record in its compact form: long-press flag, short-press encoding, optional long press.
void ReadCompactSwitch(TByteView value, TSwitchConfig& config) {
    if (value.size() < 2)
        return;
    const bool longPress = value[0] != 0;
    const std::size_t shortLength = value[1];
    if (shortLength == 0 || 2 + shortLength > value.size())
        return;

    TSwitchBehavior decoded{};
    if (DecodeSwitchBehavior(value.subspan(2, shortLength), decoded))
        config.ShortPress = decoded;
    config.UseLongPress = longPress ? 1 : 0;
    ClearRecord(config.LongPress);
    if (!longPress || 2 + shortLength >= value.size())
        return;
    const std::size_t longLength = value[2 + shortLength];
    if (longLength == 0 || 3 + shortLength + longLength > value.size())
        return;
    decoded = {};
    if (DecodeSwitchBehavior(value.subspan(3 + shortLength, longLength), decoded))
        config.LongPress = decoded;
}

} // namespace

TBytes EncodeSwitchBehavior(const TSwitchBehavior& behavior) {
    TBytes out{behavior.SwitchType};
    switch (behavior.SwitchType) {
    case stKeyCombination: {
        const auto& combination = behavior.KeyCombination;
        out.push_back(combination.KeyCombiMode);
        out.push_back(combination.HIDKeyConfig.Modifiers);
        out.insert(out.end(), std::begin(combination.HIDKeyConfig.Keys),
                   std::end(combination.HIDKeyConfig.Keys));
        break;
    }
    case stKeySequence: {
        const auto& sequence = behavior.KeySequence;
        const int steps = sequence.StepCount();
        out.push_back(static_cast<std::uint8_t>(steps));
        out.insert(out.end(), sequence.Modifiers, sequence.Modifiers + steps);
        out.insert(out.end(), sequence.KeyCodes, sequence.KeyCodes + steps);
        break;
    }
    case stConsumerControl:
        out.push_back(behavior.ConsumerControl.UsagePage);
        out.push_back(behavior.ConsumerControl.UsageCode.Bytes[0]);
        out.push_back(behavior.ConsumerControl.UsageCode.Bytes[1]);
        break;
    case stMouseMove:
    case stJoystickMove:
    case stMouseWheel:
    case stJoystickHatSwitch:
    case stTremorFilter:
        out.push_back(behavior.Payload[0]); // the one-byte direction or action
        break;
    case stMouseButton:
    case stJoystickButton:
    case stChangeProfile:
        out.push_back(behavior.Payload[0]); // button index or change kind
        out.push_back(behavior.Payload[1]); // behaviour kind or target profile
        break;
    default:
        break;
    }
    return out;
}

bool DecodeSwitchBehavior(TByteView bytes, TSwitchBehavior& behavior) {
    if (bytes.empty())
        return false;
    const std::size_t rest = bytes.size() - 1;
    const auto type = static_cast<TSwitchType>(bytes[0]);
    switch (type) {
    case stKeyCombination:
        if (rest < 8)
            return false;
        behavior.KeyCombination.KeyCombiMode = static_cast<TKeyCombiMode>(bytes[1]);
        behavior.KeyCombination.HIDKeyConfig.Modifiers = bytes[2];
        std::copy(bytes.begin() + 3, bytes.begin() + 9, behavior.KeyCombination.HIDKeyConfig.Keys);
        break;
    case stKeySequence: {
        if (rest < 1)
            return false;
        const std::size_t steps = bytes[1];
        if (steps > KeySequenceSteps || rest - 1 < 2 * steps)
            return false;
        std::copy_n(bytes.begin() + 2, steps, behavior.KeySequence.Modifiers);
        std::copy_n(bytes.begin() + 2 + steps, steps, behavior.KeySequence.KeyCodes);
        break;
    }
    case stConsumerControl:
        if (rest < 3)
            return false;
        behavior.ConsumerControl.UsagePage = bytes[1];
        behavior.ConsumerControl.UsageCode.Bytes[0] = bytes[2];
        behavior.ConsumerControl.UsageCode.Bytes[1] = bytes[3];
        break;
    case stMouseMove:
    case stJoystickMove:
    case stMouseWheel:
    case stJoystickHatSwitch:
    case stTremorFilter:
        if (rest < 1)
            return false;
        behavior.Payload[0] = bytes[1];
        break;
    case stMouseButton:
    case stJoystickButton:
    case stChangeProfile:
        if (rest < 2)
            return false;
        behavior.Payload[0] = bytes[1];
        behavior.Payload[1] = bytes[2];
        break;
    default:
        break;
    }
    behavior.SwitchType = type;
    return true;
}

TBytes TProfile::ToV2Blob() const {
    const int nameLength = NameLength(ProfileName);
    TBytes out;
    out.reserve(128);
    for (int headerByte :
         {int(ProfileFormatVersion), SwitchCount, int(LCID.Bytes[0]), int(LCID.Bytes[1]), nameLength})
        out.push_back(static_cast<std::uint8_t>(headerByte));
    out.insert(out.end(), ProfileName, ProfileName + nameLength);
    AppendRecord(out, RecordHIDInput, HIDInput);
    AppendRecord(out, RecordHIDOutput, HIDOutput);
    AppendRecord(out, RecordMotionSpeed, SwitchMotionSpeed);
    for (int k = 0; k < SwitchCount; ++k) {
        const TSwitchConfig& config = SwitchConfigs[k];
        const TBytes shortPress = EncodeSwitchBehavior(config.ShortPress);
        TBytes value{config.UseLongPress, static_cast<std::uint8_t>(shortPress.size())};
        value.insert(value.end(), shortPress.begin(), shortPress.end());
        if (config.UseLongPress != 0) {
            const TBytes longPress = EncodeSwitchBehavior(config.LongPress);
            value.push_back(static_cast<std::uint8_t>(longPress.size()));
            value.insert(value.end(), longPress.begin(), longPress.end());
        }
        out.push_back(static_cast<std::uint8_t>(RecordFirstSwitch + k));
        AppendLe16(out, value.size());
        out.insert(out.end(), value.begin(), value.end());
    }
    return out;
}

bool TProfile::FromV2Blob(TByteView blob) {
    if (blob.size() < HeaderSize || blob[0] != ProfileFormatVersion || blob[4] > NameBytes ||
        blob.size() < HeaderSize + blob[4])
        return false;
    const std::size_t nameLength = blob[4];
    const int switchesInBlob = blob[1];

    ClearRecord(*this);
    ProfileVersion.Set(2);
    LCID.Set(ReadLe16(blob, 2));
    std::copy_n(blob.begin() + HeaderSize, nameLength, ProfileName);

    const std::size_t overflow =
        WalkRecords(blob, HeaderSize + nameLength, [&](int type, std::size_t at, std::size_t length) {
            const TByteView value = blob.subspan(at, length);
            if (type == RecordHIDInput && length == sizeof(HIDInput))
                CopyImage(value, HIDInput);
            else if (type == RecordHIDOutput && length == sizeof(HIDOutput))
                CopyImage(value, HIDOutput);
            else if (type == RecordMotionSpeed && length == sizeof(SwitchMotionSpeed))
                CopyImage(value, SwitchMotionSpeed);
            else if (type >= RecordFirstSwitch &&
                     type < RecordFirstSwitch + std::min(SwitchCount, switchesInBlob)) {
                TSwitchConfig& config = SwitchConfigs[type - RecordFirstSwitch];
                if (length == sizeof(TSwitchConfig))
                    CopyImage(value, config); // the raw record image is accepted as it is
                else
                    ReadCompactSwitch(value, config);
            }
        });
    return overflow == std::string::npos;
}

bool ValidateProfileBlob(TByteView bytes, std::string& message) {
    message.clear();
    if (bytes.size() <= 4)
        message = "profile too short";
    else if (bytes[0] != ProfileFormatVersion)
        message = Format("profile version=%d", bytes[0]);
    else if (bytes[4] > NameBytes)
        message = Format("profile name_len=%d", bytes[4]);
    else if (bytes.size() < HeaderSize + bytes[4])
        message = "profile name exceeds length";
    else {
        const std::size_t pos =
            WalkRecords(bytes, HeaderSize + bytes[4], [](int, std::size_t, std::size_t) {});
        if (pos != std::string::npos)
            message = Format("profile tlv overflow type=0x%.2x len=%d pos=%d total=%d", bytes[pos],
                             ReadLe16(bytes, pos + 1), static_cast<int>(pos + RecordHeaderSize),
                             static_cast<int>(bytes.size()));
    }
    return message.empty();
}

} // namespace zelmor
