// SPDX-License-Identifier: MIT
// Names travel as Windows-1252 bytes on every platform: on the adapter, in blobs and in records.
// These conversions are the only place where those bytes meet Unicode text (UTF-8 here).
#pragma once

#include "Profile.h"

#include <string>
#include <string_view>

namespace zelmor {

// Every byte becomes one character; the five bytes Windows-1252 leaves undefined map to the
// C1 controls of the same value, so any byte string survives a round trip.
std::string Cp1252ToUtf8(TByteView bytes);

// Every character becomes one byte; a character without a Windows-1252 byte, and every byte of
// malformed UTF-8, becomes '?'.
TBytes Utf8ToCp1252(std::string_view utf8);

// The bytes of a NUL-padded name field before its first NUL, as text.
std::string NameToText(const std::uint8_t (&name)[NameBytes]);

// Clears the field and stores at most its first 16 bytes of Text; a full field has no terminator.
void TextToName(std::string_view text, std::uint8_t (&name)[NameBytes]);

} // namespace zelmor
