// SPDX-License-Identifier: MIT
// Serial ports through termios. Exclusivity comes from flock(), which also holds against root and
// against other descriptors of this process; TIOCEXCL keeps out programs that ignore flock().
#include "SerialBackend.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace zelmor {
namespace {

using TClock = std::chrono::steady_clock;

bool IsLinkLostErrno(int error) {
    return error == EIO || error == ENXIO || error == ENODEV || error == EBADF;
}

TOpenFailure OpenFailureFor(int error) {
    switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return TOpenFailure::NotFound;
    case EACCES:
    case EPERM:
        return TOpenFailure::AccessDenied;
    case EBUSY:
    case EWOULDBLOCK:
        return TOpenFailure::Busy;
    default:
        return TOpenFailure::Other;
    }
}

bool SpeedFor(int baudRate, speed_t& speed) {
    static constexpr std::array<std::pair<int, speed_t>, 30> speeds{{
        {50, B50},           {75, B75},           {110, B110},         {134, B134},
        {150, B150},         {200, B200},         {300, B300},         {600, B600},
        {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
        {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
        {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
        {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
        {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
        {3500000, B3500000}, {4000000, B4000000},
    }};
    for (const auto& [rate, value] : speeds) {
        if (rate == baudRate) {
            speed = value;
            return true;
        }
    }
    return false;
}

int RemainingMs(TClock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

class TPosixSerialBackend final : public TSerialBackend {
public:
    ~TPosixSerialBackend() override { Close(); }

    TPortOpenError Open(const std::string& path) override {
        Close();
        TPortOpenError result;
        result.Path = path;
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return Failure(result, errno);
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            return Failure(result, error);
        }
        // Not every device supports exclusive mode, and root passes it anyway; flock() is what holds.
        if (::ioctl(fd, TIOCEXCL) != 0 && errno != EINVAL && errno != ENOTTY) {
            const int error = errno;
            ::close(fd);
            return Failure(result, error);
        }
        FFd = fd;
        return result;
    }

    bool IsOpen() const override { return FFd >= 0; }

    void Close() override {
        if (FFd < 0)
            return;
        // The exclusive flag belongs to the terminal, which may outlive this descriptor (a
        // pseudo-terminal lives as long as its master side); clear it so the next open works.
        ::ioctl(FFd, TIOCNXCL);
        ::close(FFd);
        FFd = -1;
    }

    void Purge() override { ::tcflush(FFd, TCIOFLUSH); }

    void ApplyLineSettings(const TLineSettings& settings) override {
        termios options{};
        speed_t speed{};
        if (::tcgetattr(FFd, &options) != 0)
            throw TSerialSettingsError(std::string("BuildCommDCB failed: ") + std::strerror(errno));
        if (!SpeedFor(settings.BaudRate, speed))
            throw TSerialSettingsError(std::string("BuildCommDCB failed: ") + std::strerror(EINVAL));
        ::cfmakeraw(&options);
        options.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
        options.c_cflag |= CS8 | CREAD | CLOCAL;
        if (settings.Parity != paNone)
            options.c_cflag |= PARENB;
        if (settings.Parity == paOdd)
            options.c_cflag |= PARODD;
        if (settings.StopBits == sbTwo)
            options.c_cflag |= CSTOPB;
        options.c_iflag &= ~(IXON | IXOFF | IXANY);
        options.c_cc[VMIN] = 1;
        options.c_cc[VTIME] = 0;
        ::cfsetspeed(&options, speed);
        if (::tcsetattr(FFd, TCSANOW, &options) != 0)
            throw TSerialSettingsError(std::string("SetCommState failed: ") + std::strerror(errno));
        // tcsetattr() succeeds when any part of the change was made; a port that silently kept
        // another framing would garble every byte, so read the settings back.
        constexpr tcflag_t framing = CSIZE | PARENB | PARODD | CSTOPB;
        termios applied{};
        if (::tcgetattr(FFd, &applied) != 0 || (applied.c_cflag & framing) != (options.c_cflag & framing) ||
            ::cfgetospeed(&applied) != speed)
            throw TSerialSettingsError(std::string("SetCommState failed: ") + std::strerror(EINVAL));
    }

    void SetModemLines(bool asserted) override {
        // Pseudo-terminals and some adapters have no modem lines and answer ENOTTY or EINVAL.
        const unsigned long request = asserted ? TIOCMBIS : TIOCMBIC;
        for (int line : {TIOCM_DTR, TIOCM_RTS})
            ::ioctl(FFd, request, &line);
    }

    TIoResult Read(std::uint8_t* buffer, std::size_t size) override {
        if (size == 0)
            return {};
        for (;;) {
            const ssize_t count = ::read(FFd, buffer, size);
            if (count > 0)
                return {TIoStatus::Ok, static_cast<int>(count)};
            if (count == 0) // end of file on a terminal: it was hung up
                return {TIoStatus::LinkLost, 0};
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return {};
            return {IsLinkLostErrno(errno) ? TIoStatus::LinkLost : TIoStatus::Failed, 0};
        }
    }

    TIoResult Write(const std::uint8_t* data, std::size_t size, int timeoutMs) override {
        const auto deadline = TClock::now() + std::chrono::milliseconds(timeoutMs);
        std::size_t written = 0;
        while (written < size) {
            const ssize_t count = ::write(FFd, data + written, size - written);
            if (count > 0) {
                written += static_cast<std::size_t>(count);
                continue;
            }
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                return {IsLinkLostErrno(errno) ? TIoStatus::LinkLost : TIoStatus::Failed, 0};
            const int events = WaitFor(POLLOUT, RemainingMs(deadline));
            if (events == 0)
                break; // the device accepted nothing more in time
            if (events & (POLLHUP | POLLERR | POLLNVAL))
                return {TIoStatus::LinkLost, 0};
        }
        return {TIoStatus::Ok, static_cast<int>(written)};
    }

    bool WaitReadable(int timeoutMs) override { return WaitFor(POLLIN, timeoutMs) != 0; }

    void Drain(int timeoutMs) override {
        const auto deadline = TClock::now() + std::chrono::milliseconds(timeoutMs);
        int pending = 0;
        while (::ioctl(FFd, TIOCOUTQ, &pending) == 0 && pending > 0 && TClock::now() < deadline)
            ::poll(nullptr, 0, 2);
    }

private:
    static TPortOpenError Failure(TPortOpenError result, int error) {
        result.Kind = OpenFailureFor(error);
        result.SystemError = error;
        result.Detail = std::strerror(error);
        return result;
    }

    // The returned events of one poll() for Events, 0 when the time ran out.
    int WaitFor(short events, int timeoutMs) {
        const auto deadline = TClock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            pollfd entry{FFd, events, 0};
            const int ready = ::poll(&entry, 1, RemainingMs(deadline));
            if (ready > 0)
                return entry.revents;
            if (ready == 0 || errno != EINTR)
                return 0;
        }
    }

    int FFd = -1;
};

} // namespace

std::unique_ptr<TSerialBackend> CreateSerialBackend() {
    return std::make_unique<TPosixSerialBackend>();
}

} // namespace zelmor
