// SPDX-License-Identifier: MIT
// The adapter's list of factory profile sets, as "*GETPROFSETLIST" returns it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelmor {

struct TProfileSetListEntry {
    std::int32_t Id = 0; // 0 when the "ID=" value is no decimal number
    std::string Name;    // empty when missing
};

// Cuts the reply into lines (CR, LF or CR LF) and takes the entry lines up to "*END": header lines
// ("*PROFSETLIST...") and other lines are skipped; a line counts as an entry when it begins with
// "ID=" in any letter case, while its fields "ID=" and "NAME=" are looked up case-sensitively.
std::vector<TProfileSetListEntry> ParseProfileSetList(std::string_view text);

} // namespace zelmor
