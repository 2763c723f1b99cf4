// SPDX-License-Identifier: MIT
#include "NvsInfo.h"

#include "ReplyText.h"

#include <vector>

namespace zelmor {

namespace {

using replytext::DecimalInt32;
using replytext::HexUInt32;
using replytext::Trimmed;

std::vector<std::string_view> SplitAtComma(std::string_view text) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const auto comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos)
            return parts;
        start = comma + 1;
    }
}

} // namespace

TNvsInfo ParseNvsLine(std::string_view line) {
    TNvsInfo info;
    const auto text = Trimmed(line);
    const auto space = text.find(' ');
    if (!text.starts_with("*NVS") || space == std::string_view::npos) {
        info.Error = nvsBadLine;
        return info;
    }
    const auto rest = Trimmed(text.substr(space + 1));
    if (rest.starts_with('E')) {
        const auto code = HexUInt32(rest.substr(1)); // taken as a 32-bit pattern
        info.Error = code ? static_cast<std::int32_t>(*code) : nvsBadErrorCode;
        return info;
    }
    const auto parts = SplitAtComma(rest);
    if (parts.size() != 3) {
        info.Error = nvsBadNumbers;
        return info;
    }
    std::uint32_t values[3] = {};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto part = Trimmed(parts[i]);
        if (const auto hex = HexUInt32(part))
            values[i] = *hex;
        else
            values[i] = static_cast<std::uint32_t>(DecimalInt32(part).value_or(0));
    }
    info.Used = values[0];
    info.Free = values[1];
    info.Total = values[2];
    if (info.Total == 0 || info.Used > info.Total) {
        info.Error = nvsBadNumbers;
        return info;
    }
    if (info.Free == 0)
        info.Free = info.Total - info.Used;
    info.Valid = true;
    return info;
}

} // namespace zelmor
