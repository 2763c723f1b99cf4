// SPDX-License-Identifier: MIT
// Reading the keyboard data files: JSON text in UTF-8, or in whatever encoding a byte-order mark
// names, parsed into an order-keeping JSON value.
#pragma once

#include "model/JsonRead.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace zelmor {

// The parsed file; a discarded value when the text is not JSON. Throws TKeyboardDataError when the
// file cannot be read. Malformed UTF-8 is read as U+FFFD, never passed on.
TJson ReadJsonFile(const QString& path);

// The member's value when Object is an object holding it and it is not null; otherwise nullptr.
const TJson* MemberOf(const TJson& object, const char* name);

// A JSON integer as a 64-bit value; numbers beyond that range are moved to the nearest bound.
// Nothing for any other kind of value, fractions included.
std::optional<std::int64_t> JsonInteger(const TJson& value);

// Value clamped into [low, high].
std::int64_t Clamp(std::int64_t value, std::int64_t low, std::int64_t high);

// A JSON string as text; nothing for any other kind of value.
std::optional<QString> JsonString(const TJson& value);

} // namespace zelmor
