#include "PseudoTerminal.h"

#include "foundation/EventLoop.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

const struct {
    speed_t code;
    unsigned rate;
} speeds[] = {{B9600, 9600}, {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};

} // namespace

PseudoTerminal::PseudoTerminal(int comNumber) : comNumber_(comNumber)
{
    char name[128];
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    slavePath_ = name;
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::setenv(("VEXA_COM" + std::to_string(comNumber)).c_str(), slavePath_.c_str(), 1);
}

PseudoTerminal::~PseudoTerminal()
{
    CloseMaster();
    if (slave_ >= 0)
        ::close(slave_);
    ::unsetenv(("VEXA_COM" + std::to_string(comNumber_)).c_str());
}

void PseudoTerminal::CloseMaster()
{
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

bool PseudoTerminal::Send(const std::vector<std::uint8_t>& bytes, int limitMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd p = {master_, POLLOUT, 0};
        if (RemainingMs(deadline) == 0)
            return false;
        ::poll(&p, 1, std::min(RemainingMs(deadline), 100));
    }
    return true;
}

std::vector<std::uint8_t> PseudoTerminal::Receive(std::size_t count, int limitMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    std::vector<std::uint8_t> got;
    std::uint8_t chunk[4096];
    while (got.size() < count && RemainingMs(deadline) > 0) {
        pollfd p = {master_, POLLIN, 0};
        if (::poll(&p, 1, std::min(RemainingMs(deadline), 100)) <= 0)
            continue;
        const ssize_t n = ::read(master_, chunk, std::min(sizeof chunk, count - got.size()));
        if (n > 0)
            got.insert(got.end(), chunk, chunk + n);
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            break;
    }
    return got;
}

unsigned PseudoTerminal::Speed() const
{
    termios t{};
    if (::tcgetattr(master_, &t) != 0)
        return 0;
    for (const auto& s : speeds)
        if (s.code == ::cfgetospeed(&t))
            return s.rate;
    return 0;
}

bool PumpUntil(const std::function<bool()>& done, int limitMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    while (!done()) {
        if (RemainingMs(deadline) == 0)
            return done();
        WaitForPendingEvents(std::min(RemainingMs(deadline), 20));
    }
    return true;
}

void PumpFor(int ms)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (RemainingMs(deadline) > 0)
        WaitForPendingEvents(std::min(RemainingMs(deadline), 20));
}

std::vector<std::uint8_t> Pattern(std::size_t count, std::uint32_t seed)
{
    std::vector<std::uint8_t> bytes(count);
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    return bytes;
}
