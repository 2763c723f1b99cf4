// SPDX-License-Identifier: MIT
#include "device/FirmwareCompatibility.h"

#include <gtest/gtest.h>

using namespace zelmor;

TEST(FirmwareCompatibility, Table) {
    const std::string tooOld =
        "Device firmware too old. Please install version 1.1.7 or newer and reconnect.";
    const struct {
        TSemVer Version;
        std::int32_t Format;
        std::string Expected;
    } cases[] = {
        {{1, 1, 6}, 2, tooOld},
        {{1, 0, 99}, 2, tooOld},
        {{0, 9, 9}, 2, tooOld},
        {{0, 0, 0}, 0, tooOld},
        {{1, 1, 7}, 2, ""},
        {{1, 2, 0}, 2, ""},
        {{2, 0, 0}, 2, ""},
        {{1, 1, 7},
         3,
         "Incompatible profile format. Device=3, App expects=2. Please update firmware or app."},
    };
    for (const auto& c : cases) {
        TNRFCpuInfo cpu;
        cpu.AppSemVer = c.Version;
        cpu.ProfileFormat = c.Format;
        EXPECT_EQ(FirmwareIncompatibility(cpu).value_or(""), c.Expected)
            << c.Version.Maj << '.' << c.Version.Min << '.' << c.Version.Pat;
    }
}
