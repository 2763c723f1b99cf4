// SPDX-License-Identifier: MIT
// Small helpers for reading the adapter's text replies.
#pragma once

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zelmor::replytext {

inline std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view space = " \t\r\n\v\f";
    const auto first = text.find_first_not_of(space);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

inline bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) ==
                      std::toupper(static_cast<unsigned char>(b));
           });
}

// A whole text that is a decimal 32-bit integer with an optional sign.
inline std::optional<std::int32_t> DecimalInt32(std::string_view text) {
    if (text.starts_with('+'))
        text.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// A whole text of hexadecimal digits without prefix, at most a 32-bit value.
inline std::optional<std::uint32_t> HexUInt32(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace zelmor::replytext
