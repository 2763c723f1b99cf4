// SPDX-License-Identifier: MIT
#include "device/SysInfo.h"

#include <gtest/gtest.h>

using namespace zelmor;

TEST(SysInfo, ReadsEveryMember) {
    const auto info = ParseSysInfo(R"({"nrfcpu":{"app_version":"1.2.3","app_semver":{"maj":1,"min":2,"pat":3},
        "build_type":"release","build_time":"2024-03-15T12:30:00Z","build_stamp":"202403151230",
        "mcuboot":"2.0.0","profile_format":2},"vnc2":{"present":true,"maj":3,"min":4}})");
    EXPECT_EQ(info.NRFCpu.AppVersion, "1.2.3");
    EXPECT_EQ(info.NRFCpu.AppSemVer.Maj, 1);
    EXPECT_EQ(info.NRFCpu.AppSemVer.Min, 2);
    EXPECT_EQ(info.NRFCpu.AppSemVer.Pat, 3);
    EXPECT_EQ(info.NRFCpu.BuildType, "release");
    EXPECT_EQ(info.NRFCpu.BuildTime, "2024-03-15T12:30:00Z");
    EXPECT_EQ(info.NRFCpu.BuildStamp, "202403151230");
    EXPECT_EQ(info.NRFCpu.MCUboot, "2.0.0");
    EXPECT_EQ(info.NRFCpu.ProfileFormat, 2);
    EXPECT_TRUE(info.VNC2.Present);
    EXPECT_EQ(info.VNC2.Maj, 3);
    EXPECT_EQ(info.VNC2.Min, 4);
    EXPECT_FALSE(info.Nvs.Valid);
}

TEST(SysInfo, TextThatIsNoJsonGivesTheEmptyRecord) {
    const auto info = ParseSysInfo("{not json");
    EXPECT_TRUE(info.NRFCpu.AppVersion.empty());
    EXPECT_EQ(info.NRFCpu.ProfileFormat, 0);
    EXPECT_FALSE(info.VNC2.Present);
}

TEST(SysInfo, RequiresBothObjects) {
    for (const char* json : {R"({"nrfcpu":{"app_version":"1.2.3"}})", R"({"nrfcpu":{},"vnc2":[]})",
                             R"({"nrfcpu":"x","vnc2":{}})", "[1,2]", "42"})
        EXPECT_THROW(ParseSysInfo(json), TSysInfoParseError) << json;
    EXPECT_NO_THROW(ParseSysInfo(R"({"nrfcpu":{},"vnc2":{}})"));
    EXPECT_THROW(ParseSysInfo(R"({"nrfcpu":{"profile_format":2.5},"vnc2":{}})"), TSysInfoParseError);
}

TEST(SysInfo, ReadsOddlyTypedMembersLeniently) {
    const auto info = ParseSysInfo(R"({"nrfcpu":{"app_version":123,"build_type":true,"mcuboot":{"a":1},
        "profile_format":"2","app_semver":{"maj":true,"min":"x","pat":"-4"}},"vnc2":{"present":"1","maj":false}})");
    EXPECT_EQ(info.NRFCpu.AppVersion, "123");
    EXPECT_EQ(info.NRFCpu.BuildType, "true");
    EXPECT_EQ(info.NRFCpu.MCUboot, R"({"a":1})");
    EXPECT_EQ(info.NRFCpu.ProfileFormat, 2);
    EXPECT_EQ(info.NRFCpu.AppSemVer.Maj, 1);
    EXPECT_EQ(info.NRFCpu.AppSemVer.Min, 0);
    EXPECT_EQ(info.NRFCpu.AppSemVer.Pat, -4);
    EXPECT_TRUE(info.VNC2.Present);
}

TEST(SysInfo, PresentFlagTable) {
    const std::pair<const char*, bool> cases[] = {
        {"true", true},        {"false", false},    {"1", true},      {"0", false},
        {"2.5", true},         {R"("TRUE")", true}, {R"("1")", true}, {R"("yes")", false},
        {R"("False")", false}, {"null", false},     {"[1]", false}};
    for (const auto& [value, expected] : cases) {
        const auto json = std::string(R"({"nrfcpu":{},"vnc2":{"present":)") + value + "}}";
        EXPECT_EQ(ParseSysInfo(json).VNC2.Present, expected) << value;
    }
}

TEST(SysInfo, SemVerIsReadOnlyFromAnObject) {
    const auto info = ParseSysInfo(R"({"nrfcpu":{"app_semver":"1.2.3"},"vnc2":{}})");
    EXPECT_EQ(info.NRFCpu.AppSemVer.Maj, 0);
    EXPECT_EQ(info.NRFCpu.AppSemVer.Min, 0);
}
