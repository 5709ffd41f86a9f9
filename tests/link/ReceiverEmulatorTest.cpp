// The emulator is the yardstick of every link test. Most of its mistakes would
// fail those tests; one shared with the program's status reader would not, so
// the status exchange is checked here byte for byte with a bare termios client
// that shares no code with the program.
#include "ReceiverEmulator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Header(uint8_t code, uint16_t length = 0)
{
    return {'k', 'E', 'L', 'V', 'o', 'R', 'a', 'N', 0, code, uint8_t(length >> 8), uint8_t(length)};
}

// Exactly n bytes from fd within two seconds, or fewer.
Bytes Read(int fd, size_t n)
{
    Bytes out;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (out.size() < n && std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        uint8_t buf[4096];
        ssize_t got = ::poll(&p, 1, 50) > 0 ? ::read(fd, buf, std::min(sizeof buf, n - out.size())) : 0;
        out.insert(out.end(), buf, buf + std::max<ssize_t>(got, 0));
    }
    return out;
}

} // namespace

TEST(ReceiverEmulator, StatusExchangeByteForByte)
{
    ReceiverEmulator emu;
    emu.SetVersions("HW-A", "SW-B");
    const int fd = ::open(emu.DevicePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    cfsetispeed(&t, B115200);
    cfsetospeed(&t, B115200);
    tcsetattr(fd, TCSANOW, &t);
    auto send = [&](uint8_t code) { ASSERT_EQ(::write(fd, Header(code).data(), 12), 12); };

    // Acknowledgement, then the status block: 128 bytes with the versions at
    // 32 and 64, and the CRC-32 (zlib's) big-endian.
    send(0x10);
    Bytes payload(128, 0);
    for (int i = 0; i < 32; ++i)
        payload[size_t(i)] = uint8_t('A' + i % 26);
    std::copy_n("HW-A", 4, payload.begin() + 32);
    std::copy_n("SW-B", 4, payload.begin() + 64);
    Bytes expected = Header(0x00);
    for (const auto& part : {Header(0x30, 132), payload})
        expected.insert(expected.end(), part.begin(), part.end());
    const uint32_t crc = ReceiverEmulator::Crc32(payload.data(), payload.size());
    for (int s = 24; s >= 0; s -= 8)
        expected.push_back(uint8_t(crc >> s));
    EXPECT_EQ(Read(fd, expected.size()), expected);
    EXPECT_EQ(ReceiverEmulator::Crc32(reinterpret_cast<const uint8_t*>("123456789"), 9), 0xCBF43926u);
    send(0x00);
    EXPECT_EQ(Read(fd, 12), Header(0x11));
    send(0x00);
    ASSERT_TRUE(emu.WaitIdle(2000));
    EXPECT_EQ(emu.Exchanges(), 1);
    ::close(fd);
}
