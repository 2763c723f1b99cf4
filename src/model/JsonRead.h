// SPDX-License-Identifier: MIT
// Lenient readers for members of JSON objects. Each takes the object and a member name and returns
// the member's value by one reading rule, or the caller's default when the member is missing, null
// or of a kind the rule does not read. A number with a fraction where a whole number is read is an
// error (TJsonError), except for the optional readers, which give no value for it.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace zelmor {

using TJson = nlohmann::ordered_json;

struct TJsonError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// int rule: a number, true/false as 1/0, or a string holding a whole number.
std::int64_t ReadInt(const TJson& object, const char* member, std::int64_t fallback);
// bool rule: true/false, a number (not 0 is true), or the strings "true"/"1"/"false"/"0" in any case.
bool ReadBool(const TJson& object, const char* member, bool fallback);
// str rule: a string, a number's or a bool's text, or the JSON text of an object or array.
std::string ReadStr(const TJson& object, const char* member, const std::string& fallback);
// opt-int rule: a whole number, a string holding one, true/false as 1/0; nothing otherwise.
std::optional<std::int64_t> ReadOptInt(const TJson& object, const char* member);
// opt-bool rule: true/false, a number, or the strings true/false in any case; nothing otherwise.
std::optional<bool> ReadOptBool(const TJson& object, const char* member);
// obj / arr rules: the member when it is an object / array, otherwise null.
const TJson* ReadObj(const TJson& object, const char* member);
const TJson* ReadArr(const TJson& object, const char* member);

// A value as a whole number by the int rule; no value when the rule does not read it. Throws for a
// number with a fraction. Context names the value in the error text.
std::optional<std::int64_t> WholeNumberOf(const TJson& value, const std::string& context);

} // namespace zelmor
