// SPDX-License-Identifier: MIT
#include "model/ProfileFile.h"
#include "RandomProfiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zelmor;
using namespace zelmor::test;

namespace {

class ProfileFile : public ::testing::Test {
protected:
    QString Path(const char* name) const { return FDir.filePath(QString::fromUtf8(name)); }

    QString Write(const char* name, const std::string& bytes) const {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return file.fileName();
    }

    static std::string Read(const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll().toStdString();
    }

    QTemporaryDir FDir;
};

std::string Utf16(const std::u16string& text, bool littleEndian) {
    std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (char16_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += littleEndian ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

std::string NameOf(const TProfile& p) {
    return std::string(reinterpret_cast<const char*>(p.ProfileName), NameLength(p.ProfileName));
}

} // namespace

TEST_F(ProfileFile, SaveThenLoadGivesEveryProfileBack) {
    TRandomProfiles random(5);
    std::vector<TProfile> profiles;
    for (int i = 0; i < 25; ++i) // the file is not limited to a set's ten profiles
        profiles.push_back(random.Profile());
    std::string error;
    ASSERT_TRUE(SaveProfilesToFile(Path("list.profj"), profiles, error)) << error;

    const std::string bytes = Read(Path("list.profj"));
    EXPECT_EQ(bytes.front(), '[');
    EXPECT_EQ(bytes.substr(bytes.size() - 3), "]\r\n");
    EXPECT_TRUE(
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 128; }));

    const TProfileFileLoad load = LoadProfilesFromFile(Path("list.profj"));
    ASSERT_EQ(load.Outcome, TProfileFileLoad::Loaded) << load.Message;
    ASSERT_EQ(load.Profiles.size(), profiles.size());
    TProfile previous{};
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        previous = AfterJsonTrip(profiles[i], previous);
        ASSERT_EQ(load.Profiles[i], previous)
            << "profile " << i << ", " << FirstDifference(load.Profiles[i], previous);
    }
}

TEST_F(ProfileFile, SaveReplacesAnExistingFileAndReportsFailures) {
    const QString path = Write("old.profj", "old contents that are longer than the new ones");
    std::string error;
    ASSERT_TRUE(SaveProfilesToFile(path, {}, error));
    EXPECT_EQ(Read(path), "[]\r\n");
    EXPECT_EQ(QDir(FDir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("old.profj")}); // no leftovers

    EXPECT_FALSE(SaveProfilesToFile(Path("missing-folder/list.profj"), {}, error));
    EXPECT_NE(error.find("missing-folder"), std::string::npos);
}

TEST_F(ProfileFile, LoadOutcomes) {
    struct TCase {
        const char* Name;
        std::string Bytes; // nothing is written for "missing"
        TProfileFileLoad::TOutcome Outcome;
        std::string Message;
        std::size_t Count;
    };
    const std::string damaged = DamagedProfileFileMessage;
    const TCase cases[] = {
        {"missing", "", TProfileFileLoad::NoFile, "", 0},
        {"empty-array", "[]", TProfileFileLoad::Loaded, "", 0},
        {"object", "{\"profile_name\":\"x\"}", TProfileFileLoad::Damaged, damaged, 0},
        {"no-json", "[{\"a\":", TProfileFileLoad::Damaged, damaged, 0},
        {"empty-file", "", TProfileFileLoad::Damaged, damaged, 0},
        {"nested-too-deep", "[{\"profile_name\":" + std::string(20000, '[') + std::string(20000, ']') + "}]",
         TProfileFileLoad::Damaged, damaged, 0},
        {"bad-element", "[{\"profile_name\":\"A\"},{},5,{}]", TProfileFileLoad::Failed,
         "Fehler beim Laden der Profile: element 3 is not a profile object", 4},
        {"fraction", "[{\"profile_name\":\"A\"},{\"keyboard_layout_lcid\":1.25},{}]",
         TProfileFileLoad::Failed,
         "Fehler beim Laden der Profile: \"keyboard_layout_lcid\": 1.25 is not a whole number", 3},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString path =
            std::string(c.Name) == "missing" ? Path("missing.profj") : Write(c.Name, c.Bytes);
        const TProfileFileLoad load = LoadProfilesFromFile(path);
        EXPECT_EQ(load.Outcome, c.Outcome);
        EXPECT_EQ(load.Message, c.Message);
        ASSERT_EQ(load.Profiles.size(), c.Count);
        if (c.Outcome == TProfileFileLoad::Failed) {
            EXPECT_EQ(NameOf(load.Profiles[0]), "A");    // entries before the fault are kept
            EXPECT_EQ(load.Profiles.back(), TProfile{}); // entries after it stay cleared
        }
    }
}

TEST_F(ProfileFile, ByteOrderMarksSelectTheEncoding) {
    const std::u16string json = u"[{\"profile_name\":\"Grüße €\"}]";
    const std::string latin = "Gr\xFC\xDF"
                              "e \x80";
    const std::pair<const char*, std::string> cases[] = {
        {"utf8-bom", "\xEF\xBB\xBF[{\"profile_name\":\"Gr\xC3\xBC\xC3\x9F"
                     "e \xE2\x82\xAC\"}]"},
        {"utf16le", Utf16(json, true)},
        {"utf16be", Utf16(json, false)},
        {"windows-1252", "[{\"profile_name\":\"" + latin + "\"}]"},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        const TProfileFileLoad load = LoadProfilesFromFile(Write(name, bytes));
        ASSERT_EQ(load.Outcome, TProfileFileLoad::Loaded) << load.Message;
        ASSERT_EQ(load.Profiles.size(), 1u);
        EXPECT_EQ(NameOf(load.Profiles[0]), latin);
    }
    // Without a mark the bytes are Windows-1252 even when they look like UTF-8.
    const TProfileFileLoad load =
        LoadProfilesFromFile(Write("utf8-no-bom", "[{\"profile_name\":\"\xC3\xBC\"}]"));
    EXPECT_EQ(NameOf(load.Profiles.at(0)), "\xC3\xBC");
}
