// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace zelmor {

constexpr char32_t ReplacementCharacter = U'\uFFFD';

void AppendUtf8(std::string& out, char32_t codePoint);

// Calls Visit for every code point of Text; each malformed byte yields one U+FFFD.
template <typename Visitor> void ForEachCodePoint(std::string_view text, Visitor&& visit) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80             ? 0
                    : (lead & 0xE0) == 0xC0 ? 1
                    : (lead & 0xF0) == 0xE0 ? 2
                    : (lead & 0xF8) == 0xF0 ? 3
                                            : -1;
        char32_t codePoint = extra == 0   ? lead
                             : extra == 1 ? (lead & 0x1F)
                             : extra == 2 ? (lead & 0x0F)
                                          : (lead & 0x07);
        bool valid = extra >= 0 && i + static_cast<std::size_t>(extra) < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are malformed too.
        constexpr char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
        if (valid && (codePoint < smallest[extra] || codePoint > 0x10FFFF ||
                      (codePoint >= 0xD800 && codePoint <= 0xDFFF)))
            valid = false;
        if (!valid) {
            visit(ReplacementCharacter);
            ++i;
            continue;
        }
        visit(codePoint);
        i += static_cast<std::size_t>(extra) + 1;
    }
}

} // namespace zelmor
