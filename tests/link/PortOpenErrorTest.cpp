// SPDX-License-Identifier: MIT
// What the user is told when a port will not open.
#include "link/PortOpenError.h"
#include "link/SerialBackend.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace zelmor;

namespace {

// Opens Path in a child process that runs as an unprivileged user (root ignores file permissions)
// and returns the failure kind the backend reported.
TOpenFailure OpenFailureAsUnprivilegedUser(const std::string& path) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(100);
        ::_exit(static_cast<int>(CreateSerialBackend()->Open(path).Kind));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return static_cast<TOpenFailure>(WEXITSTATUS(status));
}

bool Mentions(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(PortOpenError, DeniedAccessIsRecognisedAndExplained) {
    QTemporaryDir dir;
    const std::string node = dir.path().toStdString() + "/ttyACM0";
    std::ofstream(node) << "";
    ::chmod(node.c_str(), 0600);
    ::chmod(dir.path().toLocal8Bit().constData(), 0755);
    ASSERT_EQ(OpenFailureAsUnprivilegedUser(node), TOpenFailure::AccessDenied);

    const std::string text =
        PortOpenErrorText({TOpenFailure::AccessDenied, EACCES, "/dev/ttyACM0", "Permission denied"});
    EXPECT_TRUE(Mentions(text, "No permission to open /dev/ttyACM0")) << text;
    EXPECT_TRUE(Mentions(text, "udev rule")) << text;
    EXPECT_TRUE(Mentions(text, "70-zelmormx.rules")) << text;
    EXPECT_TRUE(Mentions(text, "dialout")) << text;
}

TEST(PortOpenError, EachFailureGetsItsOwnAdvice) {
    const auto backend = CreateSerialBackend();
    const TPortOpenError missing = backend->Open("/dev/zelmor-no-such-port");
    EXPECT_EQ(missing.Kind, TOpenFailure::NotFound);
    EXPECT_EQ(missing.SystemError, ENOENT);
    EXPECT_EQ(PortOpenErrorText(missing),
              "/dev/zelmor-no-such-port does not exist. Is the Zelmor MX plugged in?");

    const std::string busy = PortOpenErrorText({TOpenFailure::Busy, EWOULDBLOCK, "/dev/ttyACM0", ""});
    EXPECT_TRUE(Mentions(busy, "/dev/ttyACM0 is in use by another program")) << busy;
    EXPECT_TRUE(Mentions(busy, "ModemManager")) << busy;

    EXPECT_EQ(
        PortOpenErrorText({TOpenFailure::Settings, 0, "/dev/pts/3", "SetCommState failed: Invalid argument"}),
        "Cannot set up /dev/pts/3: SetCommState failed: Invalid argument");
    EXPECT_EQ(PortOpenErrorText({TOpenFailure::Other, EIO, "/dev/pts/3", "Input/output error"}),
              "Cannot open /dev/pts/3: Input/output error");
    EXPECT_EQ(PortOpenErrorText({}), "");
}
