// SPDX-License-Identifier: MIT
// The virtual-adapter registry: files as the emulator writes them, and files nobody should trust.
#include "link/VirtualAdapters.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace zelmor;

namespace {

class VirtualAdaptersTest : public ::testing::Test {
protected:
    std::string File(const std::string& name) const { return Folder + "/" + name; }
    void WriteFile(const std::string& name, const std::string& text) const {
        std::ofstream(File(name)) << text;
    }
    std::string ReadFile(const std::string& name) const {
        std::ostringstream text;
        text << std::ifstream(File(name)).rdbuf();
        return text.str();
    }

    QTemporaryDir Dir;
    std::string Folder = Dir.path().toStdString() + "/zelmormx/virtual-adapters";
};

} // namespace

TEST_F(VirtualAdaptersTest, RegisterListAndUnregister) {
    EXPECT_TRUE(ListVirtualAdapters(Folder).empty()) << "a missing folder has no adapters";
    RegisterVirtualAdapter({"3c6a", "7b25", "EMU0001", "/dev/pts/7"}, Folder);
    EXPECT_EQ(ReadFile("EMU0001.json"),
              "{\"vid\":\"3C6A\",\"pid\":\"7B25\",\"instance\":\"EMU0001\",\"port\":\"/dev/pts/7\"}\n");
    EXPECT_EQ(std::filesystem::status(Folder).permissions(), std::filesystem::perms::owner_all);

    RegisterVirtualAdapter({"3C6A", "7B25", "EMU0000", "/dev/pts/3"}, Folder);
    RegisterVirtualAdapter({"3C6A", "7B26", "EMU0001", "/dev/pts/8"}, Folder); // restart into the boot loader
    EXPECT_EQ(ListVirtualAdapters(Folder),
              (std::vector<TVirtualAdapter>{{"3C6A", "7B25", "EMU0000", "/dev/pts/3"},
                                            {"3C6A", "7B26", "EMU0001", "/dev/pts/8"}}));
    UnregisterVirtualAdapter("EMU0000", Folder);
    UnregisterVirtualAdapter("EMU0009", Folder);
    EXPECT_EQ(ListVirtualAdapters(Folder),
              (std::vector<TVirtualAdapter>{{"3C6A", "7B26", "EMU0001", "/dev/pts/8"}}));
    EXPECT_EQ(std::filesystem::directory_iterator(Folder)->path().filename(), "EMU0001.json")
        << "no temporary left";
}

TEST_F(VirtualAdaptersTest, MalformedRegistrationsAreSkippedOrRefused) {
    RegisterVirtualAdapter({"3C6A", "7B25", "GOOD", "/dev/pts/1"}, Folder);
    WriteFile("a-not-json.json", "{\"vid\":");
    WriteFile("b-array.json", "[1,2]");
    WriteFile("c-missing.json", R"({"vid":"3C6A","pid":"7B25","instance":"X"})");
    WriteFile("d-number.json", R"({"vid":3,"pid":"7B25","instance":"X","port":"/dev/pts/1"})");
    WriteFile("e-short-vid.json", R"({"vid":"3C6","pid":"7B25","instance":"X","port":"/dev/pts/1"})");
    WriteFile("f-path-instance.json", R"({"vid":"3C6A","pid":"7B25","instance":"../x","port":"/dev/pts/1"})");
    WriteFile("g-relative-port.json", R"({"vid":"3C6A","pid":"7B25","instance":"X","port":"pts/1"})");
    WriteFile("h-huge.json",
              R"({"vid":"3C6A","pid":"7B25","instance":"X","port":"/)" + std::string(5000, 'p') + "\"}");
    WriteFile("not-a-registration.txt", R"({"vid":"3C6A","pid":"7B25","instance":"X","port":"/dev/pts/1"})");
    EXPECT_EQ(ListVirtualAdapters(Folder),
              (std::vector<TVirtualAdapter>{{"3C6A", "7B25", "GOOD", "/dev/pts/1"}}));

    const TVirtualAdapter refused[] = {{"3C6", "7B25", "A", "/dev/pts/1"},
                                       {"3C6A", "7B2G", "A", "/dev/pts/1"},
                                       {"3C6A", "7B25", "", "/dev/pts/1"},
                                       {"3C6A", "7B25", "../A", "/dev/pts/1"},
                                       {"3C6A", "7B25", ".hidden", "/dev/pts/1"},
                                       {"3C6A", "7B25", "A#B", "/dev/pts/1"},
                                       {"3C6A", "7B25", "A", "pts/1"}};
    for (const auto& adapter : refused)
        EXPECT_THROW(RegisterVirtualAdapter(adapter, Folder), std::runtime_error) << adapter.Instance;
}

TEST_F(VirtualAdaptersTest, FoldersOthersCanWriteAreNotTrusted) {
    RegisterVirtualAdapter({"3C6A", "7B25", "EMU0001", "/dev/pts/7"}, Folder);
    const auto parent = std::filesystem::path(Folder).parent_path();
    std::filesystem::permissions(parent, std::filesystem::perms::all);
    EXPECT_TRUE(ListVirtualAdapters(Folder).empty());
    EXPECT_THROW(RegisterVirtualAdapter({"3C6A", "7B25", "EMU0002", "/dev/pts/8"}, Folder),
                 std::runtime_error);
    std::filesystem::permissions(parent, std::filesystem::perms::owner_all);
    EXPECT_EQ(ListVirtualAdapters(Folder).size(), 1u);

    const std::string linked = Dir.path().toStdString() + "/linked";
    std::filesystem::create_directory_symlink(Folder, linked);
    EXPECT_TRUE(ListVirtualAdapters(linked).empty()) << "a link could point anywhere";
}

TEST(VirtualAdapterFolder, RuntimeFolderOrPerUserTemporaryFolder) {
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string savedValue = saved ? saved : "";
    ::setenv("XDG_RUNTIME_DIR", "/run/user/1234", 1);
    EXPECT_EQ(VirtualAdapterFolder(), "/run/user/1234/zelmormx/virtual-adapters");
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(VirtualAdapterFolder(), "/tmp/zelmormx-" + std::to_string(::getuid()) + "/virtual-adapters");
    if (saved)
        ::setenv("XDG_RUNTIME_DIR", savedValue.c_str(), 1);
}
