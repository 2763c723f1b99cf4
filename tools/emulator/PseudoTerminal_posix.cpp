// SPDX-License-Identifier: MIT
#include "PseudoTerminal.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace zelmor::emu {

namespace {

// While no host holds the slave side open the master reports a hang-up at every poll; this is how
// long the emulator then sleeps before looking again.
constexpr int HungUpPollMs = 5;

[[noreturn]] void RaiseSystemError(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

TPseudoTerminal::~TPseudoTerminal() {
    Close();
}

void TPseudoTerminal::Open() {
    Close();
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0)
        RaiseSystemError("posix_openpt");
    termios settings{};
    if (grantpt(master) != 0 || unlockpt(master) != 0 || tcgetattr(master, &settings) != 0) {
        const int saved = errno;
        ::close(master);
        errno = saved;
        RaiseSystemError("pseudo-terminal setup");
    }
    cfmakeraw(&settings);
    tcsetattr(master, TCSANOW, &settings);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    char name[128] = {};
    if (ptsname_r(master, name, sizeof name) != 0) {
        const int saved = errno;
        ::close(master);
        errno = saved;
        RaiseSystemError("ptsname");
    }
    FMaster = master;
    FPortPath = name;
}

void TPseudoTerminal::Close() {
    if (FMaster >= 0)
        ::close(FMaster);
    FMaster = -1;
}

std::size_t TPseudoTerminal::Read(std::uint8_t* buffer, std::size_t size, int timeoutMs, int wakeFd,
                                  bool& woken) {
    woken = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pollfd fds[2] = {{FMaster, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        const int count = poll(fds, wakeFd >= 0 ? 2 : 1, RemainingMs(deadline));
        if (count < 0 && errno != EINTR)
            RaiseSystemError("poll");
        if (wakeFd >= 0 && (fds[1].revents & POLLIN)) {
            woken = true;
            return 0;
        }
        if (fds[0].revents & POLLIN) {
            const auto got = ::read(FMaster, buffer, size);
            if (got > 0)
                return static_cast<std::size_t>(got);
        }
        if (fds[0].revents & (POLLHUP | POLLERR)) {
            // No host has the port open: look again shortly, without spinning.
            pollfd wake{wakeFd, POLLIN, 0};
            poll(&wake, wakeFd >= 0 ? 1 : 0, std::min(HungUpPollMs, RemainingMs(deadline)));
        }
        if (RemainingMs(deadline) == 0)
            return 0;
    }
}

std::size_t TPseudoTerminal::Write(const std::uint8_t* data, std::size_t size, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t done = 0;
    while (done < size) {
        const auto wrote = ::write(FMaster, data + done, size - done);
        if (wrote > 0) {
            done += static_cast<std::size_t>(wrote);
            continue;
        }
        if (wrote < 0 && errno != EAGAIN && errno != EINTR)
            break;
        pollfd fd{FMaster, POLLOUT, 0};
        if (RemainingMs(deadline) == 0 || poll(&fd, 1, RemainingMs(deadline)) <= 0 || !(fd.revents & POLLOUT))
            break;
    }
    return done;
}

} // namespace zelmor::emu
