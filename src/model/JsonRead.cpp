// SPDX-License-Identifier: MIT
#include "JsonRead.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zelmor {

namespace {

const TJson* MemberOf(const TJson& object, const char* member) {
    if (!object.is_object())
        return nullptr;
    auto it = object.find(member);
    if (it == object.end() || it->is_null())
        return nullptr;
    return &*it;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::optional<std::int64_t> IntegerText(const std::string& text) {
    std::int64_t value = 0;
    const char* begin = text.data();
    if (!text.empty() && text[0] == '+')
        ++begin;
    auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || begin == end)
        return std::nullopt;
    return value;
}

// A JSON number as a whole number; no value for one with a fraction or beyond 64 bits.
std::optional<std::int64_t> IntegerNumber(const TJson& value) {
    if (value.is_number_integer())
        return value.is_number_unsigned() ? static_cast<std::int64_t>(value.get<std::uint64_t>())
                                          : value.get<std::int64_t>();
    const double number = value.get<double>();
    if (std::trunc(number) != number || std::fabs(number) >= 9.2e18)
        return std::nullopt;
    return static_cast<std::int64_t>(number);
}

// true/false, a number (not 0 is true), the strings true/false in any case, and with DigitStrings
// also "1" and "0".
std::optional<bool> BoolOf(const TJson& value, bool digitStrings) {
    if (value.is_boolean())
        return value.get<bool>();
    if (value.is_number())
        return value.get<double>() != 0;
    if (value.is_string()) {
        const std::string text = Lower(value.get<std::string>());
        if (text == "true" || (digitStrings && text == "1"))
            return true;
        if (text == "false" || (digitStrings && text == "0"))
            return false;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::int64_t> WholeNumberOf(const TJson& value, const std::string& context) {
    if (value.is_boolean())
        return value.get<bool>() ? 1 : 0;
    if (value.is_string())
        return IntegerText(value.get<std::string>());
    if (!value.is_number())
        return std::nullopt;
    auto number = IntegerNumber(value);
    if (!number)
        throw TJsonError(context + ": " + value.dump() + " is not a whole number");
    return number;
}

std::int64_t ReadInt(const TJson& object, const char* member, std::int64_t fallback) {
    const TJson* value = MemberOf(object, member);
    if (!value)
        return fallback;
    return WholeNumberOf(*value, '"' + std::string(member) + '"').value_or(fallback);
}

bool ReadBool(const TJson& object, const char* member, bool fallback) {
    const TJson* value = MemberOf(object, member);
    return value ? BoolOf(*value, true).value_or(fallback) : fallback;
}

std::string ReadStr(const TJson& object, const char* member, const std::string& fallback) {
    const TJson* value = MemberOf(object, member);
    if (!value)
        return fallback;
    if (value->is_string())
        return value->get<std::string>();
    return value->dump();
}

std::optional<std::int64_t> ReadOptInt(const TJson& object, const char* member) {
    const TJson* value = MemberOf(object, member);
    if (!value)
        return std::nullopt;
    if (value->is_number())
        return IntegerNumber(*value);
    return WholeNumberOf(*value, member);
}

std::optional<bool> ReadOptBool(const TJson& object, const char* member) {
    const TJson* value = MemberOf(object, member);
    return value ? BoolOf(*value, false) : std::nullopt;
}

const TJson* ReadObj(const TJson& object, const char* member) {
    const TJson* value = MemberOf(object, member);
    return value && value->is_object() ? value : nullptr;
}

const TJson* ReadArr(const TJson& object, const char* member) {
    const TJson* value = MemberOf(object, member);
    return value && value->is_array() ? value : nullptr;
}

} // namespace zelmor
