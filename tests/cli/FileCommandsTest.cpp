// SPDX-License-Identifier: MIT
// zelmorctl's file commands, run as a user runs them, on files made by other tools.
#include "model/ProfileSetBlob.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

using namespace zelmor;

namespace {

struct TRun {
    int Exit;
    std::string Out, Err;
};

class FileCommands : public ::testing::Test {
protected:
    QString Path(const char* name) const { return FDir.filePath(QString::fromUtf8(name)); }

    TRun Run(const QStringList& args) const {
        QProcess process;
        process.start(QStringLiteral(ZELMORCTL_PATH), args);
        EXPECT_TRUE(process.waitForFinished(20000));
        return {process.exitCode(), process.readAllStandardOutput().toStdString(),
                process.readAllStandardError().toStdString()};
    }

    std::string Read(const char* name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("<missing>");
    }

    void Write(const char* name, const std::string& bytes) const {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    // Three profiles written by Python as UTF-8 with a byte-order mark, as a text editor would.
    void MakeProfileFile(const char* name) const {
        const QString script = QStringLiteral(
            "import json,sys\n"
            "p=[{'profile_name':n,'hid_input':{'enabled_usb':True},'switch_configs':[{'short_press':"
            "{'switch_type':1,'key_combination':{'hid_key_config':{'modifiers':1,'keys':[6]},'mode':0}}}]}"
            " for n in ('Küche','Büro','Bad')]\n"
            "open(sys.argv[1],'w',encoding='utf-8-sig').write(json.dumps(p,ensure_ascii=False,indent=2))\n");
        QProcess python;
        python.start(QStringLiteral("python3"), {QStringLiteral("-c"), script, Path(name)});
        ASSERT_TRUE(python.waitForFinished(20000));
        ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    }

    QTemporaryDir FDir;
};

} // namespace

TEST_F(FileCommands, EncodeDecodeAndCheckRoundTrip) {
    MakeProfileFile("in.profj");
    TRun run =
        Run({"encode", Path("in.profj"), Path("set.bin"), "--id", "7", "--name", "Büro €", "--active", "2"});
    ASSERT_EQ(run.Exit, 0) << run.Err;
    const std::string blob = Read("set.bin");
    EXPECT_EQ(blob.substr(0, 11), std::string("\x01\x07\x03\x02\x06"
                                              "B\xFCro \x80",
                                              11));

    run = Run({"check", Path("set.bin")});
    EXPECT_EQ(run.Exit, 0);
    EXPECT_EQ(run.Out, "valid\n");

    run = Run({"decode", Path("set.bin"), Path("set.json")});
    ASSERT_EQ(run.Exit, 0) << run.Err;
    const std::string json = Read("set.json");
    EXPECT_EQ(json.substr(json.size() - 2), "\r\n");
    EXPECT_NE(json.find(R"("name":"B\u00FCro \u20AC")"), std::string::npos) << json;
    const auto set = nlohmann::json::parse(json);
    EXPECT_EQ(set["set_version"], 1);
    EXPECT_EQ(set["active_profile_idx"], 2);
    ASSERT_EQ(set["profiles"].size(), 3u);
    EXPECT_EQ(set["profiles"][0]["profile_name"], "Küche");
    EXPECT_EQ(
        set["profiles"][1]["switch_configs"][0]["short_press"]["key_combination"]["hid_key_config"]["keys"],
        nlohmann::json::parse("[6,0,0,0,0,0]"));
}

TEST_F(FileCommands, EncodeKeepsTenProfilesAndAValidActiveIndex) {
    std::string list = "[";
    for (int i = 0; i < 12; ++i)
        list += (i ? ",{\"profile_name\":\"P" : "{\"profile_name\":\"P") + std::to_string(i) + "\"}";
    Write("twelve.profj", list + "]");
    ASSERT_EQ(Run({"encode", Path("twelve.profj"), Path("set.bin"), "--active", "10"}).Exit, 0);
    const std::string blob = Read("set.bin");
    TProfileSet set{};
    ASSERT_TRUE(set.FromBlob(TByteView(reinterpret_cast<const std::uint8_t*>(blob.data()), blob.size())));
    EXPECT_EQ(set.ProfileCount, 10);
    EXPECT_EQ(set.ActiveProfileIndex, 0);
    EXPECT_EQ(set.ID, 0);
    EXPECT_EQ(set.Name[0], 0);
}

TEST_F(FileCommands, FailuresPrintTheSystemsMessageAndWriteNothing) {
    Write("garbage.bin", std::string("\x01\x00\x02\x00\x00\x05\x00xx", 9));
    Write("damaged.profj", "{\"not\":\"a list\"}");
    Write("fraction.profj", "[{\"profile_version\":2.5}]");
    struct TCase {
        QStringList Args;
        std::string Err;
        const char* Output;
    };
    const TCase cases[] = {
        {{"decode", Path("garbage.bin"), Path("out.json")}, "Profile set could not be parsed.\n", "out.json"},
        {{"check", Path("garbage.bin")}, "profile 1 length overflow (len=5 pos=7 total=9)\n", nullptr},
        {{"normalize", Path("damaged.profj"), Path("out.profj")},
         "Fehler: Datei beschädigt. Starte mit leerer Profil-Liste.\n",
         "out.profj"},
        {{"normalize", Path("fraction.profj"), Path("out.profj")},
         "Fehler beim Laden der Profile: \"profile_version\": 2.5 is not a whole number\n",
         "out.profj"},
        {{"encode", Path("damaged.profj"), Path("out.bin")},
         "Fehler: Datei beschädigt. Starte mit leerer Profil-Liste.\n",
         "out.bin"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Args.join(QLatin1Char(' ')).toStdString());
        const TRun run = Run(c.Args);
        EXPECT_EQ(run.Exit, 1);
        EXPECT_EQ(run.Err, c.Err);
        if (c.Output) {
            EXPECT_EQ(Read(c.Output), "<missing>");
        }
    }
}

TEST_F(FileCommands, NormalizeRewritesInTheStandardForm) {
    MakeProfileFile("in.profj");
    ASSERT_EQ(Run({"normalize", Path("in.profj"), Path("out.profj")}).Exit, 0);
    const std::string out = Read("out.profj");
    EXPECT_EQ(
        out.rfind("[{\"profile_version\":2,\"keyboard_layout_lcid\":1031,\"profile_name\":\"K\\u00FCche\",",
                  0),
        0u)
        << out;
    ASSERT_EQ(Run({"normalize", Path("out.profj"), Path("again.profj")}).Exit, 0);
    EXPECT_EQ(Read("again.profj"), out); // the standard form is a fixed point
}

TEST_F(FileCommands, UsageErrorsExitWithTwo) {
    const QStringList cases[] = {
        {},
        {"frobnicate"},
        {"encode", "only-one"},
        {"encode", "a", "b", "--id", "256"},
        {"encode", "a", "b", "--active", "x"},
        {"encode", "a", "b", "--name", "seventeen-bytes!!"},
        {"decode", "a", "b", "--verbose"},
        {"check"},
    };
    for (const QStringList& args : cases) {
        const TRun run = Run(args);
        EXPECT_EQ(run.Exit, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_NE(run.Err.find("sage"), std::string::npos) << run.Err;
    }
    const TRun help = Run({"--help"});
    EXPECT_EQ(help.Exit, 0);
    for (const char* command : {"encode", "decode", "check", "normalize"})
        EXPECT_NE(help.Out.find(command), std::string::npos);
}
