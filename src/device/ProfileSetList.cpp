// SPDX-License-Identifier: MIT
#include "ProfileSetList.h"

#include "ReplyText.h"

namespace zelmor {

namespace {

using replytext::DecimalInt32;
using replytext::StartsWithIgnoringCase;
using replytext::Trimmed;

// The text after the first Key up to the next ';', trimmed; empty when Key does not occur.
std::string_view Field(std::string_view line, std::string_view key) {
    const auto at = line.find(key);
    if (at == std::string_view::npos)
        return {};
    const auto value = line.substr(at + key.size());
    return Trimmed(value.substr(0, value.find(';')));
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

} // namespace

std::vector<TProfileSetListEntry> ParseProfileSetList(std::string_view text) {
    std::vector<TProfileSetListEntry> entries;
    for (const auto rawLine : Lines(text)) {
        const auto line = Trimmed(rawLine);
        if (line.empty() || StartsWithIgnoringCase(line, "*PROFSETLIST"))
            continue;
        if (line.size() == 4 && StartsWithIgnoringCase(line, "*END"))
            break;
        if (StartsWithIgnoringCase(line, "ID="))
            entries.push_back(
                {DecimalInt32(Field(line, "ID=")).value_or(0), std::string(Field(line, "NAME="))});
    }
    return entries;
}

} // namespace zelmor
