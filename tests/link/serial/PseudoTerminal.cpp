#include "PseudoTerminal.h"

#include "foundation/EventLoop.h"
#include "link/serial/AfSafeSync.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point In(int ms) { return Clock::now() + std::chrono::milliseconds(ms); }

int RemainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits a moment for `events` on `fd`; false once the deadline has passed.
bool Await(int fd, short events, Clock::time_point deadline)
{
    if (RemainingMs(deadline) == 0)
        return false;
    pollfd p = {fd, events, 0};
    ::poll(&p, 1, std::min(RemainingMs(deadline), 100));
    return true;
}

bool Retry(ssize_t n) { return n >= 0 || errno == EAGAIN || errno == EINTR; }

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
    const auto deadline = In(limitMs);
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::write(master_, bytes.data() + sent, bytes.size() - sent);
        if (n > 0)
            sent += static_cast<std::size_t>(n);
        else if (!Retry(n) || !Await(master_, POLLOUT, deadline))
            return false;
    }
    return true;
}

std::vector<std::uint8_t> PseudoTerminal::Receive(std::size_t count, int limitMs)
{
    const auto deadline = In(limitMs);
    std::vector<std::uint8_t> got;
    std::uint8_t chunk[4096];
    while (got.size() < count && Await(master_, POLLIN, deadline)) {
        const ssize_t n = ::read(master_, chunk, std::min(sizeof chunk, count - got.size()));
        if (n > 0)
            got.insert(got.end(), chunk, chunk + n);
        else if (!Retry(n))
            break;
    }
    return got;
}

unsigned PseudoTerminal::Speed() const
{
    static const std::pair<speed_t, unsigned> speeds[] = {
        {B9600, 9600}, {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};
    termios t{};
    if (::tcgetattr(master_, &t) == 0)
        for (const auto& [code, rate] : speeds)
            if (code == ::cfgetospeed(&t))
                return rate;
    return 0;
}

bool PumpUntil(const std::function<bool()>& done, int limitMs)
{
    const auto deadline = In(limitMs);
    while (!done() && RemainingMs(deadline) > 0)
        WaitForPendingEvents(std::min(RemainingMs(deadline), 20));
    return done();
}

void PumpFor(int ms)
{
    PumpUntil([] { return false; }, ms);
}

bool AwaitHandOff(std::uint64_t sentBefore)
{
    const auto deadline = In(2000);
    while (AfSyncStatistics().CallsSent == sentBefore && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return AfSyncStatistics().CallsSent > sentBefore;
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
