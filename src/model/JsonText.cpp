// SPDX-License-Identifier: MIT
#include "JsonText.h"

#include "Cp1252.h"
#include "Utf8.h"

#include <QString>

namespace zelmor {

namespace {

void AppendEscapedUnit(std::string& out, char32_t unit) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out.push_back(Hex[(unit >> shift) & 0xF]);
}

void AppendString(std::string& out, const std::string& text) {
    out.push_back('"');
    ForEachCodePoint(text, [&](char32_t c) {
        switch (c) {
        case '"':
            out += "\\\"";
            return;
        case '\\':
            out += "\\\\";
            return;
        case 8:
            out += "\\b";
            return;
        case 9:
            out += "\\t";
            return;
        case 10:
            out += "\\n";
            return;
        case 12:
            out += "\\f";
            return;
        case 13:
            out += "\\r";
            return;
        default:
            break;
        }
        if (c >= 32 && c <= 127) {
            out.push_back(static_cast<char>(c));
        } else if (c <= 0xFFFF) {
            AppendEscapedUnit(out, c);
        } else {
            const char32_t offset = c - 0x10000;
            AppendEscapedUnit(out, 0xD800 + (offset >> 10));
            AppendEscapedUnit(out, 0xDC00 + (offset & 0x3FF));
        }
    });
    out.push_back('"');
}

void AppendValue(std::string& out, const TJson& value) {
    if (value.is_object()) {
        out.push_back('{');
        bool first = true;
        for (auto it = value.begin(); it != value.end(); ++it) {
            if (!first)
                out.push_back(',');
            first = false;
            AppendString(out, it.key());
            out.push_back(':');
            AppendValue(out, it.value());
        }
        out.push_back('}');
    } else if (value.is_array()) {
        out.push_back('[');
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (i != 0)
                out.push_back(',');
            AppendValue(out, value[i]);
        }
        out.push_back(']');
    } else if (value.is_string()) {
        AppendString(out, value.get<std::string>());
    } else {
        out += value.dump(); // numbers, booleans and null are ASCII already
    }
}

} // namespace

std::string ToCompactAscii(const TJson& value) {
    std::string out;
    AppendValue(out, value);
    return out;
}

TJson ParseJson(const std::string& text, int maxDepth) {
    bool tooDeep = false;
    auto limitDepth = [&](int depth, TJson::parse_event_t, TJson&) {
        tooDeep = tooDeep || depth > maxDepth;
        return !tooDeep;
    };
    TJson value = TJson::parse(text, limitDepth, false);
    return tooDeep ? TJson(TJson::value_t::discarded) : value;
}

std::string DecodeTextFile(const std::string& bytes) {
    auto startsWith = [&](std::string_view mark) { return bytes.compare(0, mark.size(), mark) == 0; };
    if (startsWith("\xEF\xBB\xBF"))
        return bytes.substr(3);
    const bool littleEndian = startsWith("\xFF\xFE");
    if (littleEndian || startsWith("\xFE\xFF")) {
        std::u16string units;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const auto first = static_cast<unsigned char>(bytes[i]),
                       second = static_cast<unsigned char>(bytes[i + 1]);
            units.push_back(
                static_cast<char16_t>(littleEndian ? (first | second << 8) : (first << 8 | second)));
        }
        return QString::fromStdU16String(units).toStdString(); // unpaired surrogates become U+FFFD
    }
    return Cp1252ToUtf8(TByteView(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

} // namespace zelmor
