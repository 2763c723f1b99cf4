// SPDX-License-Identifier: MIT
#include "EmulatorOptions.h"

#include <gtest/gtest.h>

using namespace zelmor::emu;

namespace {

TEmulatorOptions Parse(const std::vector<std::string>& args) {
    bool help = false;
    return ParseEmulatorOptions(args, help);
}

} // namespace

TEST(EmulatorOptions, ReadsValuesInBothForms) {
    const auto options =
        Parse({"--app-version=1.1.6", "--vnc2", "2.7", "--unplug-at", "command:*GETPROFSET", "--faults-for",
               "*GETPROFSET,*SYSINFO", "--nvs-error", "1f", "--no-register"});
    EXPECT_EQ(options.SysInfo.AppVersion, "1.1.6");
    EXPECT_EQ(options.SysInfo.Pat, 6);
    EXPECT_EQ(options.SysInfo.Vnc2Maj, 2);
    EXPECT_EQ(options.SysInfo.Vnc2Min, 7);
    ASSERT_TRUE(options.Faults.UnplugAt);
    EXPECT_EQ(options.Faults.UnplugAt->Kind, TUnplugPoint::AtCommand);
    EXPECT_EQ(options.Faults.UnplugAt->Command, "*GETPROFSET");
    EXPECT_TRUE(options.Faults.AppliesTo("*SYSINFO"));
    EXPECT_FALSE(options.Faults.AppliesTo("*NVSINFO"));
    EXPECT_EQ(options.NvsErrorCode, 0x1Fu);
    EXPECT_FALSE(options.Register);
    EXPECT_TRUE(Parse({}).Faults.AppliesTo("*NVSINFO"));
}

TEST(EmulatorOptions, RefusesMalformedArguments) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--bogus"},
                                                                  {"--delay-ms"},
                                                                  {"--delay-ms", "soon"},
                                                                  {"--app-version", "1.2"},
                                                                  {"--unplug-at", "later"},
                                                                  {"--silent=yes"},
                                                                  {"stray"}})
        EXPECT_THROW(Parse(args), TOptionsError) << args[0];
}

TEST(EmulatorOptions, HelpNamesEveryOption) {
    bool help = false;
    ParseEmulatorOptions({"--help"}, help);
    EXPECT_TRUE(help);
    const auto text = EmulatorHelpText();
    for (const char* option :
         {"--silent", "--noise-before", "--unplug-at", "--record", "--state", "--zero-length"})
        EXPECT_NE(text.find(option), std::string::npos) << option;
}
