// SPDX-License-Identifier: MIT
// zelmorctl info, backup and restore, run as programs against the emulator program.
#include "EmulatorTestSupport.h"

#include "model/Cp1252.h"
#include "model/ProfileFile.h"

#include <QProcess>

using namespace zelmor;
using namespace zelmor::test;

namespace {

const QString EmulatorProgram = ZELMOR_BINARY_DIR "/tools/emulator/zelmor-adapter-emu";
const QString CtlProgram = ZELMOR_BINARY_DIR "/src/cli/zelmorctl";

struct TRun {
    int Exit = -1;
    std::string Out;
    std::string Err;
};

class CliDevice : public ::testing::Test {
protected:
    ~CliDevice() override {
        if (Emulator.state() != QProcess::NotRunning) {
            Emulator.terminate();
            Emulator.waitForFinished(3000);
        }
    }

    void StartEmulator(QStringList args) {
        App();
        args << "--state" << QString::fromStdString(Folder.Path("state.json"));
        Emulator.start(EmulatorProgram, args);
        ASSERT_TRUE(Emulator.waitForStarted(3000));
        ASSERT_TRUE(Emulator.waitForReadyRead(3000)) << Emulator.readAllStandardError().toStdString();
        const auto line = QString::fromUtf8(Emulator.readLine()).trimmed().split(' ');
        ASSERT_EQ(line.size(), 3);
        ASSERT_EQ(line[0], "PORT");
        Port = line[1];
    }

    TRun Ctl(QStringList args) {
        QProcess process;
        process.start(CtlProgram, args);
        EXPECT_TRUE(process.waitForFinished(20000));
        return {process.exitCode(), process.readAllStandardOutput().toStdString(),
                process.readAllStandardError().toStdString()};
    }

    QString File(const std::string& name) const { return QString::fromStdString(Folder.Path(name)); }

    void WriteProfiles(const std::string& name, int count) {
        std::vector<TProfile> profiles(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            profiles[i].ProfileVersion.Set(2);
            TextToName("P" + std::to_string(i + 1), profiles[i].ProfileName);
            profiles[i].SwitchConfigs[0].ShortPress.SwitchType = stMouseButton;
            profiles[i].SwitchConfigs[0].ShortPress.ButtonBehavior = {static_cast<std::uint8_t>(i % 3),
                                                                      mbSingle};
        }
        std::string error;
        ASSERT_TRUE(SaveProfilesToFile(File(name), profiles, error)) << error;
    }

    TTestFolder Folder;
    QProcess Emulator;
    QString Port;
};

} // namespace

TEST_F(CliDevice, InfoPrintsOneJsonObject) {
    StartEmulator(
        {"--factory-set", "1", "--app-version", "1.3.5", "--no-vnc2", "--build-stamp", "202401021304"});
    const auto run = Ctl({"--port", Port, "info"});
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(
        run.Out,
        R"({"nrfcpu":{"app_version":"1.3.5","app_semver":{"maj":1,"min":3,"pat":5},"build_type":"release",)"
        R"("build_time":"2025-06-02T10:15:00Z","build_stamp":"202401021304","mcuboot":"2.1.0",)"
        R"("profile_format":2},"vnc2":{"present":false,"maj":1,"min":4},)"
        R"("nvs":{"used":272,"free":32496,"total":32768,"valid":true,"error":0}})"
        "\n");
}

TEST_F(CliDevice, InfoFindsTheAdapterWithoutPortAndReportsStorageErrors) {
    StartEmulator({"--nvs-error", "5"});
    const auto run = Ctl({"info"});
    EXPECT_EQ(run.Exit, 0) << run.Err;
    const auto json = nlohmann::json::parse(run.Out);
    EXPECT_EQ(json["nvs"]["valid"], false);
    EXPECT_EQ(json["nvs"]["error"], 5);
}

TEST_F(CliDevice, InfoRefusesUnparsableSystemInformation) {
    for (const char* text : {R"({"nrfcpu":{}})", "not json"}) {
        StartEmulator({"--sysinfo-json", text});
        const auto run = Ctl({"--port", Port, "info"});
        EXPECT_EQ(run.Exit, 1) << text;
        EXPECT_EQ(run.Err, "SYSINFO parse failed\n") << text;
        Emulator.terminate();
        Emulator.waitForFinished(3000);
    }
}

TEST_F(CliDevice, InfoFromASilentAdapter) {
    StartEmulator({"--silent"});
    const auto run = Ctl({"--port", Port, "info"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err, "No system information received.\n");
}

TEST_F(CliDevice, NoAdapter) {
    App();
    for (const char* command : {"info", "backup", "restore"}) {
        QStringList args{command};
        if (QString(command) != "info")
            args << File("x.profj");
        if (QString(command) == "restore")
            WriteProfiles("x.profj", 1);
        const auto run = Ctl(args);
        EXPECT_EQ(run.Exit, 1) << command;
        EXPECT_EQ(run.Err, "No Zelmor MX found.\n") << command;
    }
}

TEST_F(CliDevice, BackupSavesTheProfiles) {
    StartEmulator({"--factory-set", "1"});
    const auto run = Ctl({"backup", File("backup.profj")});
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Out, "id=1 name=Standard count=2 active=0\n");
    const auto load = LoadProfilesFromFile(File("backup.profj"));
    ASSERT_EQ(load.Outcome, TProfileFileLoad::Loaded);
    ASSERT_EQ(load.Profiles.size(), 2u);
    EXPECT_EQ(NameToText(load.Profiles[1].ProfileName), "Keyboard");
}

TEST_F(CliDevice, BackupRefusals) {
    const struct {
        QStringList Args;
        std::string Message;
    } cases[] = {
        {{"--factory-set", "1", "--app-version", "1.1.6"},
         "Device firmware too old. Please install version 1.1.7 or newer and reconnect."},
        {{"--factory-set", "1", "--profile-format", "3"},
         "Incompatible profile format. Device=3, App expects=2. Please update firmware or app."},
        {{}, "No profile set stored on the adapter."},
        {{"--factory-set", "1", "--faults-for", "*GETPROFSET", "--end-token", "*EN!"},
         "Unexpected end token (expected \"*END\")."},
    };
    for (const auto& c : cases) {
        std::remove(Folder.Path("state.json").c_str());
        StartEmulator(c.Args);
        const auto run = Ctl({"--port", Port, "backup", File("refused.profj")});
        EXPECT_EQ(run.Exit, 1) << c.Message;
        EXPECT_EQ(run.Err, c.Message + "\n");
        EXPECT_FALSE(QFile::exists(File("refused.profj")));
        Emulator.terminate();
        Emulator.waitForFinished(3000);
    }
}

TEST_F(CliDevice, BackupWithoutStartToken) {
    StartEmulator({"--factory-set", "1", "--faults-for", "*GETPROFSET", "--silent"});
    const auto run = Ctl({"--port", Port, "backup", File("none.profj")});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err, "Start token \"*PROFSET\" was not found.\n");
}

TEST_F(CliDevice, RestoreKeepsTheIdentityAndVerifies) {
    StartEmulator({"--factory-set", "1"});
    WriteProfiles("twelve.profj", 12);
    auto run = Ctl({"restore", File("twelve.profj"), "--active", "2", "--verify"});
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_TRUE(run.Out.starts_with("sent ")) << run.Out;
    EXPECT_TRUE(run.Out.ends_with(" bytes\nverified\n")) << run.Out;
    EXPECT_EQ(Ctl({"backup", File("back.profj")}).Out, "id=1 name=Standard count=10 active=2\n");

    run = Ctl({"restore", File("twelve.profj"), "--active", "10"});
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(Ctl({"backup", File("back.profj")}).Out, "id=1 name=Standard count=10 active=0\n");
}

TEST_F(CliDevice, RestoreReportsAnAdapterThatKeptAnotherSet) {
    StartEmulator({"--factory-set", "1", "--nvs-total", "300"}); // room for the factory set only
    WriteProfiles("many.profj", 5);
    const auto run = Ctl({"restore", File("many.profj"), "--verify"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_NE(run.Err.find("verify: profiles: sent id=1 name=Standard count=5"), std::string::npos)
        << run.Err;
}

TEST_F(CliDevice, RestoreReplacesASetTooLongToReadBack) {
    StartEmulator({"--factory-set", "1"});
    const auto large = ProfileSetOfBlobSize(6000);
    std::string error;
    ASSERT_TRUE(SaveProfilesToFile(File("large.profj"),
                                   std::vector<TProfile>(large.Profiles, large.Profiles + large.ProfileCount),
                                   error));
    auto run = Ctl({"restore", File("large.profj")});
    ASSERT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    run = Ctl({"restore", File("large.profj"), "--verify"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_TRUE(
        run.Err.starts_with("warning: the adapter's current set could not be read (Invalid profile-set "
                            "length: "))
        << run.Err;
    EXPECT_TRUE(run.Out.starts_with("sent ")) << "sent all the same";
    EXPECT_TRUE(run.Err.ends_with(
        "Invalid profile-set length: " + run.Out.substr(5, run.Out.find(' ', 5) - 5) + "\n"))
        << "and cannot be read back: " << run.Err;
}

TEST_F(CliDevice, RestoreRefusals) {
    StartEmulator({"--factory-set", "1"});
    WriteProfiles("empty.profj", 0);
    const struct {
        QStringList Args;
        int Exit;
    } cases[] = {
        {{"restore"}, 2},
        {{"restore", File("missing.profj")}, 1},
        {{"restore", File("empty.profj")}, 1},
        {{"restore", File("empty.profj"), "--active", "-1"}, 2},
    };
    for (const auto& c : cases) {
        const auto run = Ctl(c.Args);
        EXPECT_EQ(run.Exit, c.Exit) << c.Args.join(' ').toStdString() << ": " << run.Err;
    }
    EXPECT_EQ(Ctl({"backup", File("after.profj")}).Out, "id=1 name=Standard count=2 active=0\n")
        << "unchanged";
}

TEST_F(CliDevice, EmulatorProgramHelpAndBadOptions) {
    App();
    QProcess help;
    help.start(EmulatorProgram, {"--help"});
    ASSERT_TRUE(help.waitForFinished(5000));
    EXPECT_EQ(help.exitCode(), 0);
    EXPECT_TRUE(help.readAllStandardOutput().contains("--unplug-at"));
    QProcess wrong;
    wrong.start(EmulatorProgram, {"--delay-ms", "soon"});
    ASSERT_TRUE(wrong.waitForFinished(5000));
    EXPECT_EQ(wrong.exitCode(), 2);
    EXPECT_TRUE(wrong.readAllStandardError().contains("--delay-ms"));
}
