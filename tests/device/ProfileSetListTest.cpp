// SPDX-License-Identifier: MIT
#include "device/ProfileSetList.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace zelmor;

TEST(ProfileSetList, ReadsTheEntryLines) {
    using TEntries = std::vector<std::pair<std::int32_t, std::string>>;
    const std::pair<const char*, TEntries> cases[] = {
        // odd lines: spaces around the name, an entry without a name, lines after the end token
        {"*PROFSETLIST\r\nID=3;NAME= Office \r\nid=4\r\n*END\r\nID=5;NAME=x", {{3, "Office"}, {0, ""}}},
        // CR, LF and CR LF line ends, the header in any case, other fields, a non-numeric identifier
        {"noise\r*profsetlist count=3\n\n  ID=1;NAME=Home;X=1\rNAME=Gaming;ID=2\nID=x7;NAME=\n*end",
         {{1, "Home"}, {0, ""}}},
        // keys found anywhere in a line, case-sensitively, the first occurrence counting
        {"ID=7;NAME=School;ID=9\nid=2;NAME=Work\n", {{7, "School"}, {0, "Work"}}},
        {"", {}},
    };
    for (const auto& [reply, expected] : cases) {
        TEntries entries;
        for (const TProfileSetListEntry& entry : ParseProfileSetList(reply))
            entries.emplace_back(entry.Id, entry.Name);
        EXPECT_EQ(entries, expected) << reply;
    }
}
