// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>
#include <vector>

namespace zelmor {

using TBytes = std::vector<std::uint8_t>;
using TByteView = std::span<const std::uint8_t>;

// A two-byte little-endian integer inside a packed record; the byte order holds on every host.
struct TLe16 {
    std::uint8_t Bytes[2];

    std::uint16_t Get() const { return static_cast<std::uint16_t>(Bytes[0] | (Bytes[1] << 8)); }
    void Set(std::uint16_t value) {
        Bytes[0] = static_cast<std::uint8_t>(value & 0xFF);
        Bytes[1] = static_cast<std::uint8_t>(value >> 8);
    }
};
static_assert(sizeof(TLe16) == 2);

// Records are plain byte images: copied, cleared and compared over every byte, padding included
// (there is none: every record is packed).
template <typename T>
concept ByteRecord = std::is_class_v<T> && std::is_trivially_copyable_v<T> && std::is_standard_layout_v<T> &&
                     alignof(T) == 1;

template <ByteRecord T> std::span<const std::uint8_t, sizeof(T)> ByteImage(const T& record) {
    return std::span<const std::uint8_t, sizeof(T)>(reinterpret_cast<const std::uint8_t*>(&record),
                                                    sizeof(T));
}

template <ByteRecord T> std::span<std::uint8_t, sizeof(T)> MutableByteImage(T& record) {
    return std::span<std::uint8_t, sizeof(T)>(reinterpret_cast<std::uint8_t*>(&record), sizeof(T));
}

template <ByteRecord T> void ClearRecord(T& record) {
    std::memset(&record, 0, sizeof(T));
}

template <ByteRecord T> bool SameBytes(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// Records compare equal exactly when their byte images are equal.
template <ByteRecord T> bool operator==(const T& a, const T& b) {
    return SameBytes(a, b);
}

} // namespace zelmor
