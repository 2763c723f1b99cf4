// SPDX-License-Identifier: MIT
// "zelmorctl ports" as a user runs it, finding virtual adapters through the same discovery as hardware.
#include "LinkTestSupport.h"

#include "link/SerialPortHelper.h"
#include "link/VirtualAdapters.h"

#include <QProcess>
#include <QTemporaryDir>

using namespace zelmor;
using namespace zelmor::test;

namespace {

struct TRun {
    int ExitCode;
    QString Out;
};

TRun RunZelmorctl(const QString& runtimeDir, const QStringList& args) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", runtimeDir);
    process.setProcessEnvironment(environment);
    process.start(ZELMOR_BINARY_DIR "/src/cli/zelmorctl", args);
    EXPECT_TRUE(process.waitForFinished(5000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
}

} // namespace

TEST(PortsCommand, ListsFreeAdapterPortsOnePerLine) {
    App();
    QTemporaryDir runtime;
    const std::string folder = runtime.path().toStdString() + "/zelmormx/virtual-adapters";

    const TRun none = RunZelmorctl(runtime.path(), {"ports"});
    EXPECT_EQ(none.ExitCode, 0);
    EXPECT_FALSE(none.Out.contains("/dev/pts/")) << none.Out.toStdString();

    TPty first, held, second, bootloader;
    RegisterVirtualAdapter({"3C6A", "7B25", "EMU0001", first.SlavePath()}, folder);
    RegisterVirtualAdapter({"3C6A", "7B25", "EMU0002", held.SlavePath()}, folder);
    RegisterVirtualAdapter({"3C6A", "7B25", "EMU0003", second.SlavePath()}, folder);
    RegisterVirtualAdapter({"3C6A", "7B26", "EMU0004", bootloader.SlavePath()}, folder);
    TSerialPortHelper holder;
    holder.SetPortName(held.SlavePath());
    ASSERT_TRUE(holder.OpenPort());

    const TRun some = RunZelmorctl(runtime.path(), {"ports"});
    EXPECT_EQ(some.ExitCode, 0);
    EXPECT_TRUE(
        some.Out.endsWith(QString::fromStdString(first.SlavePath() + "\n" + second.SlavePath() + "\n")))
        << some.Out.toStdString();
    EXPECT_FALSE(some.Out.contains(QString::fromStdString(held.SlavePath() + "\n")));
    EXPECT_FALSE(some.Out.contains(QString::fromStdString(bootloader.SlavePath() + "\n")));

    EXPECT_EQ(RunZelmorctl(runtime.path(), {"ports", "extra"}).ExitCode, 2);
}
