// SPDX-License-Identifier: MIT
#include "Cp1252.h"

#include "Utf8.h"

#include <algorithm>
#include <array>

namespace zelmor {

namespace {

// Code points of bytes 0x80 to 0x9F; the undefined ones keep their own value.
constexpr std::array<char32_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CodePointOf(std::uint8_t byte) {
    return (byte >= 0x80 && byte <= 0x9F) ? HighControls[byte - 0x80] : char32_t(byte);
}

std::uint8_t ByteOf(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<std::uint8_t>(codePoint);
    auto it = std::find(HighControls.begin(), HighControls.end(), codePoint);
    return it == HighControls.end() ? '?' : static_cast<std::uint8_t>(0x80 + (it - HighControls.begin()));
}

} // namespace

std::string Cp1252ToUtf8(TByteView bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::uint8_t byte : bytes)
        AppendUtf8(text, CodePointOf(byte));
    return text;
}

TBytes Utf8ToCp1252(std::string_view utf8) {
    TBytes bytes;
    ForEachCodePoint(utf8, [&](char32_t codePoint) { bytes.push_back(ByteOf(codePoint)); });
    return bytes;
}

std::string NameToText(const std::uint8_t (&name)[NameBytes]) {
    return Cp1252ToUtf8(TByteView(name, static_cast<std::size_t>(NameLength(name))));
}

void TextToName(std::string_view text, std::uint8_t (&name)[NameBytes]) {
    std::fill(std::begin(name), std::end(name), 0);
    const TBytes bytes = Utf8ToCp1252(text);
    std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), NameBytes), name);
}

} // namespace zelmor
