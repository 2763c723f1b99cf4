// SPDX-License-Identifier: MIT
#include "device/NvsInfo.h"

#include <gtest/gtest.h>

using namespace zelmor;

namespace {

struct TNvsCase {
    const char* Line;
    bool Valid;
    std::int32_t Error;
    std::uint32_t Used, Free, Total;
};

} // namespace

TEST(NvsLine, Table) {
    const TNvsCase cases[] = {
        {"*NVS 1000,3000,4000", true, 0, 0x1000, 0x3000, 0x4000},
        {"  *NVS  1000 , 0 , 4000  ", true, 0, 0x1000, 0x3000, 0x4000}, // free 0 is computed
        {"*NVS 5000,0,4000", false, nvsBadNumbers, 0x5000, 0, 0x4000},
        {"*NVS 10,20,0", false, nvsBadNumbers, 0x10, 0x20, 0},
        {"*NVS 1,2", false, nvsBadNumbers, 0, 0, 0},
        {"*NVS 1,2,3,4", false, nvsBadNumbers, 0, 0, 0},
        {"*NVS E1F", false, 31, 0, 0, 0},
        {"*NVS E0", false, 0, 0, 0, 0},
        {"*NVS EFFFFFFFF", false, -1, 0, 0, 0},
        {"*NVS Exyz", false, nvsBadErrorCode, 0, 0, 0},
        {"*NVS E", false, nvsBadErrorCode, 0, 0, 0},
        {"*NVS1000,2000,4000", false, nvsBadLine, 0, 0, 0},
        {"NVS 1,2,3", false, nvsBadLine, 0, 0, 0},
        {"*nvs 1,2,3", false, nvsBadLine, 0, 0, 0},
        {"*NVS -5,0,100", false, nvsBadNumbers, 0xFFFFFFFB, 0, 0x100}, // "-5" is decimal, stored as 32 bits
        {"*NVS 10,zz,100", true, 0, 0x10, 0xF0, 0x100},                // unreadable part stays 0
        {"*NVS 1,1,1FFFFFFFF", false, nvsBadNumbers, 1, 1, 0},         // beyond 32 bits, no number
        {"*NVS 1,1,100000000", true, 0, 1, 1, 100000000},              // beyond 32 bits as hex, decimal
    };
    for (const auto& c : cases) {
        const auto info = ParseNvsLine(c.Line);
        EXPECT_EQ(info.Valid, c.Valid) << c.Line;
        EXPECT_EQ(info.Error, c.Error) << c.Line;
        EXPECT_EQ(info.Used, c.Used) << c.Line;
        EXPECT_EQ(info.Free, c.Free) << c.Line;
        EXPECT_EQ(info.Total, c.Total) << c.Line;
    }
}
