// SPDX-License-Identifier: MIT
// Bytes as lower-case hexadecimal text and back, for the state file and the recording.
#pragma once

#include "model/ByteRecord.h"

#include <stdexcept>
#include <string>

namespace zelmor::emu {

inline std::string ToHex(TByteView bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const auto byte : bytes) {
        hex += digits[byte >> 4];
        hex += digits[byte & 0x0F];
    }
    return hex;
}

// Raises std::runtime_error for text that is not pairs of hexadecimal digits.
inline TBytes FromHex(const std::string& hex) {
    const auto digit = [](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        throw std::runtime_error("not a hexadecimal digit");
    };
    if (hex.size() % 2 != 0)
        throw std::runtime_error("odd number of hexadecimal digits");
    TBytes bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(digit(hex[i]) * 16 + digit(hex[i + 1])));
    return bytes;
}

} // namespace zelmor::emu
