// SPDX-License-Identifier: MIT
// The adapter's configuration records. Their byte images are the wire format: every record is
// packed, every offset below is fixed, and multi-byte integers are little-endian.
#pragma once

#include "ByteRecord.h"

#include <cstddef>
#include <cstdint>

namespace zelmor {

constexpr int MaxProfilesInSet = 10;
constexpr int SwitchCount = 8;
constexpr int KeySequenceSteps = 32;
constexpr int NameBytes = 16;

// Enumerations occupy one byte; a stored byte may hold any value, known or not.
enum TSwitchType : std::uint8_t {
    stNone,
    stKeyCombination,
    stKeySequence,
    stConsumerControl,
    stMouseMove,
    stMouseButton,
    stMouseWheel,
    stJoystickMove,
    stJoystickButton,
    stJoystickHatSwitch,
    stChangeProfile,
    stTremorFilter
};
enum TKeyCombiMode : std::uint8_t { kaSingle, kaToggle };
enum TDirection : std::uint8_t { dirLeft, dirRight, dirUp, dirDown };
enum TWheelDirection : std::uint8_t { wdirUp, wdirDown };
enum THatSwitchDirection : std::uint8_t {
    hsUp,
    hsRight,
    hsDown,
    hsLeft,
    hsUpRight,
    hsDownRight,
    hsDownLeft,
    hsUpLeft,
    hsCenter
};
enum TButtonBehaviorKind : std::uint8_t { mbSingle, mbDouble, mbToggle };
enum TProfileChangeKind : std::uint8_t { pcNext, pcPrevious, pcSpecific };
enum TTremorAction : std::uint8_t { tfIncreaseAll, tfDecreaseAll, tfToggleAll, tfEnableAll, tfDisableAll };
enum THID_DeviceType : std::uint8_t { HIDMouseKeyboardCombo, HIDJoystick };

// HID keyboard modifier bits.
constexpr std::uint8_t ModLeftCtrl = 0x01, ModLeftShift = 0x02, ModLeftAlt = 0x04, ModLeftGui = 0x08,
                       ModRightCtrl = 0x10, ModRightShift = 0x20, ModRightAlt = 0x40, ModRightGui = 0x80;

#pragma pack(push, 1)

// One keyboard chord in USB HID terms: the report's modifier byte and up to six usage codes.
struct THIDKeyConfig {
    std::uint8_t Modifiers;
    std::uint8_t Keys[6];
};

// Up to 32 steps of (modifier byte, key code); a step with both 0 ends the sequence.
struct TKeySequence {
    std::uint8_t Modifiers[KeySequenceSteps];
    std::uint8_t KeyCodes[KeySequenceSteps];

    bool IsEmpty() const;
    void Clear();
    // Number of steps before the first step whose modifier and key code are both 0.
    int StepCount() const;
};

struct TKeyCombination {
    THIDKeyConfig HIDKeyConfig;
    TKeyCombiMode KeyCombiMode;
};

struct THIDConsumerSysConfig {
    std::uint8_t UsagePage;
    TLe16 UsageCode;
};

struct TButtonBehavior {
    std::uint8_t ButtonIndex;
    TButtonBehaviorKind Behavior;
};

struct TChangeProfileBehavior {
    TProfileChangeKind Kind;
    std::uint8_t TargetProfileIndex;
};

// What one press of a switch does: the type byte, then a 64-byte payload read according to it.
struct TSwitchBehavior {
    TSwitchType SwitchType;
    union {
        std::uint8_t Payload[64];
        TKeyCombination KeyCombination;
        TKeySequence KeySequence;
        THIDConsumerSysConfig ConsumerControl;
        TDirection Direction;
        TButtonBehavior ButtonBehavior;
        TWheelDirection WheelDirection;
        THatSwitchDirection HatSwitchDirection;
        TChangeProfileBehavior ProfileChange;
        TTremorAction TremorAction;
    };
};

struct TSwitchConfig {
    TSwitchBehavior ShortPress;
    std::uint8_t UseLongPress;
    TSwitchBehavior LongPress;
};

struct THIDInputConfig {
    std::uint8_t EnabledUSB;
    std::uint8_t EnabledBT;
    std::uint8_t TremorFilterStrengthMouseMovement;
    std::uint8_t TremorFilterStrengthMouseClicks;
    std::uint8_t TremorFilterStrengthKeyboard;
    std::uint8_t MouseButtonsDisabledMask;
    std::uint8_t KeyboardMotionControlEnabled;
    std::uint8_t KeyboardMotionControlToggleMode;
    THIDKeyConfig KeyboardMotionControlKey;
    std::uint8_t KeyboardJoystickModeEnabled;
    std::uint8_t KeyboardJoystickControlToggleMode;
    THIDKeyConfig KeyboardJoystickControlKey;
};

struct THID_OutputConfig {
    std::uint8_t BT_HostEnabled;
    std::uint8_t BT_HostSlot;
    THID_DeviceType HID_DeviceType;
};

struct TSwitchMotionSpeed {
    std::uint8_t RampUpLevel;
    std::uint8_t RampDownLevel;
    std::uint8_t PointerSpeed;
    std::uint8_t ScrollSpeed;
};

struct TProfile {
    TLe16 ProfileVersion;
    TLe16 LCID;
    std::uint8_t ProfileName[NameBytes];
    THIDInputConfig HIDInput;
    THID_OutputConfig HIDOutput;
    TSwitchConfig SwitchConfigs[SwitchCount];
    TSwitchMotionSpeed SwitchMotionSpeed;

    // The version-2 profile blob exchanged with the adapter.
    TBytes ToV2Blob() const;
    bool FromV2Blob(TByteView blob);
};

struct TProfileSet {
    std::uint8_t ID;
    std::uint8_t Name[NameBytes];
    std::uint8_t ActiveProfileIndex;
    std::uint8_t ProfileCount;
    TProfile Profiles[MaxProfilesInSet];

    // The profile-set blob exchanged with the adapter.
    TBytes ToBlob() const;
    bool FromBlob(TByteView blob);
};

#pragma pack(pop)

static_assert(sizeof(TSwitchType) == 1 && sizeof(THID_DeviceType) == 1);
static_assert(sizeof(THIDKeyConfig) == 7);
static_assert(sizeof(TKeySequence) == 64 && offsetof(TKeySequence, KeyCodes) == 32);
static_assert(sizeof(TKeyCombination) == 8 && offsetof(TKeyCombination, KeyCombiMode) == 7);
static_assert(sizeof(THIDConsumerSysConfig) == 3 && offsetof(THIDConsumerSysConfig, UsageCode) == 1);
static_assert(sizeof(TButtonBehavior) == 2 && sizeof(TChangeProfileBehavior) == 2);
static_assert(sizeof(TSwitchBehavior) == 65 && offsetof(TSwitchBehavior, Payload) == 1);
static_assert(sizeof(TSwitchConfig) == 131 && offsetof(TSwitchConfig, UseLongPress) == 65 &&
              offsetof(TSwitchConfig, LongPress) == 66);
static_assert(sizeof(THIDInputConfig) == 24 && offsetof(THIDInputConfig, KeyboardMotionControlKey) == 8 &&
              offsetof(THIDInputConfig, KeyboardJoystickModeEnabled) == 15 &&
              offsetof(THIDInputConfig, KeyboardJoystickControlKey) == 17);
static_assert(sizeof(THID_OutputConfig) == 3 && offsetof(THID_OutputConfig, HID_DeviceType) == 2);
static_assert(sizeof(TSwitchMotionSpeed) == 4);
static_assert(sizeof(TProfile) == 1099 && offsetof(TProfile, LCID) == 2 &&
              offsetof(TProfile, ProfileName) == 4 && offsetof(TProfile, HIDInput) == 20 &&
              offsetof(TProfile, HIDOutput) == 44 && offsetof(TProfile, SwitchConfigs) == 47 &&
              offsetof(TProfile, SwitchMotionSpeed) == 1095);
static_assert(sizeof(TProfileSet) == 11009 && offsetof(TProfileSet, Name) == 1 &&
              offsetof(TProfileSet, ActiveProfileIndex) == 17 && offsetof(TProfileSet, ProfileCount) == 18 &&
              offsetof(TProfileSet, Profiles) == 19);
static_assert(ByteRecord<TProfile> && ByteRecord<TProfileSet> && ByteRecord<TSwitchBehavior>);

// Number of bytes of a NUL-padded name before its first NUL (at most the whole field).
int NameLength(const std::uint8_t (&name)[NameBytes]);

} // namespace zelmor
