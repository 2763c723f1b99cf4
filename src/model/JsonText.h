// SPDX-License-Identifier: MIT
#pragma once

#include "JsonRead.h"

#include <string>

namespace zelmor {

// Compact JSON in plain ASCII: no whitespace; in strings the quote and backslash are escaped,
// backspace, tab, line feed, form feed and carriage return get their short escapes, and every other
// character below 32 or above 127 is written as \uXXXX with upper-case digits (surrogate pairs
// beyond U+FFFF).
std::string ToCompactAscii(const TJson& value);

// Parses JSON text; text that is not JSON, or nests deeper than MaxDepth, gives a discarded value
// (is_discarded()). The depth limit keeps recursive consumers of damaged files off the stack's end.
TJson ParseJson(const std::string& text, int maxDepth = 128);

// Decodes file bytes into UTF-8 text: a UTF-8 or UTF-16 byte-order mark selects that encoding,
// otherwise the bytes are Windows-1252.
std::string DecodeTextFile(const std::string& bytes);

} // namespace zelmor
