// The emulator is the yardstick of every link test. Most of its mistakes would
// fail those tests; one shared with the program's status reader would not, so
// the status layout is checked here with a bare termios client that shares no
// code with the program.
#include "ReceiverEmulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

class RawClient {
public:
    explicit RawClient(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)) {}
    ~RawClient()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    void SetSpeed(speed_t s)
    {
        termios t{};
        tcgetattr(fd_, &t);
        cfmakeraw(&t);
        cfsetispeed(&t, s);
        cfsetospeed(&t, s);
        tcsetattr(fd_, TCSANOW, &t);
    }
    void Send(uint8_t code)
    {
        const uint8_t h[12] = {'k', 'E', 'L', 'V', 'o', 'R', 'a', 'N', 0, code, 0, 0};
        ASSERT_EQ(::write(fd_, h, 12), 12);
    }
    // Exactly n bytes within timeoutMs, or fewer.
    std::vector<uint8_t> Read(size_t n, int timeoutMs = 2000)
    {
        std::vector<uint8_t> out;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (out.size() < n && std::chrono::steady_clock::now() < deadline) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0) {
                uint8_t buf[4096];
                ssize_t got = ::read(fd_, buf, std::min(sizeof buf, n - out.size()));
                if (got > 0)
                    out.insert(out.end(), buf, buf + got);
            }
        }
        return out;
    }
    // A header with `code`, then its body for a data block (payload, CRC checked).
    std::vector<uint8_t> Expect(uint8_t code)
    {
        auto h = Read(12);
        EXPECT_EQ(h.size(), 12u);
        if (h.size() != 12)
            return {};
        EXPECT_EQ(std::memcmp(h.data(), "kELVoRaN\0", 9), 0);
        EXPECT_EQ(h[9], code);
        if (code != 0x30)
            return {};
        auto body = Read(size_t(h[10] << 8 | h[11]));
        EXPECT_GE(body.size(), 4u);
        uint32_t crc = uint32_t(body[body.size() - 4]) << 24 | uint32_t(body[body.size() - 3]) << 16 |
                       uint32_t(body[body.size() - 2]) << 8 | body[body.size() - 1];
        EXPECT_EQ(crc, ReceiverEmulator::Crc32(body.data(), body.size() - 4));
        body.resize(body.size() - 4);
        return body;
    }

private:
    int fd_;
};

} // namespace

TEST(ReceiverEmulator, StatusReplyCarriesTheVersionsAtTheirOffsets)
{
    ReceiverEmulator emu;
    emu.SetVersions("HW-A", "SW-B");
    RawClient c(emu.DevicePath());
    ASSERT_TRUE(c.ok());
    c.SetSpeed(B115200);
    c.Send(0x10);
    c.Expect(0x00);
    auto payload = c.Expect(0x30);
    ASSERT_GE(payload.size(), 70u);
    EXPECT_STREQ(reinterpret_cast<const char*>(&payload[32]), "HW-A");
    EXPECT_STREQ(reinterpret_cast<const char*>(&payload[64]), "SW-B");
    c.Send(0x00);
    c.Expect(0x11);
    c.Send(0x00);
    ASSERT_TRUE(emu.WaitIdle(2000));
    EXPECT_EQ(emu.Exchanges(), 1);
}
