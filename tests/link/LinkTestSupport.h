// SPDX-License-Identifier: MIT
// Shared pieces of the link tests: real pseudo-terminals, an event loop, waiting for a condition.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <string>
#include <unistd.h>

namespace zelmor::test {

inline QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "link-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Runs the event loop until Done holds or TimeoutMs has passed; returns Done().
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
    App();
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Delivers what is queued now (including queued notifications), without waiting for more.
inline void DeliverQueued() {
    App();
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// A pseudo-terminal: the test plays the device on the master side; SlavePath is the port.
class TPty {
public:
    TPty() {
        FMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (FMaster < 0 || ::grantpt(FMaster) != 0 || ::unlockpt(FMaster) != 0)
            ADD_FAILURE() << "cannot create a pseudo-terminal";
        else
            FSlavePath = ::ptsname(FMaster);
        // Reads of the device side return at once, so a test never hangs on missing bytes.
        ::fcntl(FMaster, F_SETFL, ::fcntl(FMaster, F_GETFL) | O_NONBLOCK);
    }
    ~TPty() { CloseMaster(); }
    TPty(const TPty&) = delete;
    TPty& operator=(const TPty&) = delete;

    const std::string& SlavePath() const { return FSlavePath; }
    int Master() const { return FMaster; }

    // The unplug: the device side goes away.
    void CloseMaster() {
        if (FMaster >= 0)
            ::close(FMaster);
        FMaster = -1;
    }

    void Send(const std::string& bytes) const {
        ASSERT_EQ(::write(FMaster, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // What the port wrote, waiting up to TimeoutMs for Count bytes.
    std::string Receive(std::size_t count, int timeoutMs = 2000) const {
        std::string bytes;
        QElapsedTimer timer;
        timer.start();
        while (bytes.size() < count && timer.elapsed() < timeoutMs) {
            char buffer[4096];
            const ssize_t n = ::read(FMaster, buffer, std::min(sizeof buffer, count - bytes.size()));
            if (n > 0)
                bytes.append(buffer, static_cast<std::size_t>(n));
            else
                ::usleep(1000);
        }
        return bytes;
    }

private:
    int FMaster = -1;
    std::string FSlavePath;
};

} // namespace zelmor::test
