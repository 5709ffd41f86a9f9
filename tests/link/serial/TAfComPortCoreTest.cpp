#include "link/serial/TAfComPortCore.h"

#include "PseudoTerminal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <atomic>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// A core on 115200 8N1 that counts the drain reports of its event thread.
struct CountingCore {
    TAfComPortCore core;
    std::atomic<int> drained{0};

    CountingCore()
    {
        core.OnCoreEvent = [this](TAfComPortCore&, std::uint32_t kind, std::uint32_t, std::exception_ptr) {
            drained += kind == CoreEventOutputEmpty;
        };
        TAfDCB dcb = core.DCB();
        dcb.BaudRate = 115200;
        dcb.ByteSize = 8;
        dcb.Flags = DCB_Binary;
        core.SetDCB(dcb);
    }
};

std::string OpenError(TAfComPortCore& core, int n)
{
    try {
        core.OpenComPort(n);
    } catch (const EAfComPortCoreError& e) {
        return e.what();
    }
    return "opened";
}

} // namespace

TEST(TAfComPortCoreTest, OpenFailuresLeaveThePortClosed)
{
    PseudoTerminal busy(41);
    const int holder = ::open(busy.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    ::setenv("VEXA_COM42", "/dev/no-such-serial-device", 1);
    ::setenv("VEXA_COM43", "/dev/null", 1); // opens, but is no terminal

    const struct {
        int port;
        const char* message;
    } cases[] = {
        {0, "Invalid port number (COM0)"},
        {-3, "Invalid port number (COM-3)"},
        {42, "Invalid port number (COM42)"},
        {41, "Can't open device COM41"},
        {43, "Error setting timeouts"},
    };
    for (const auto& c : cases) {
        TAfComPortCore core;
        EXPECT_EQ(OpenError(core, c.port), c.message) << c.port;
        EXPECT_FALSE(core.Opened());
        EXPECT_FALSE(core.Active());
        EXPECT_EQ(core.Handle(), -1);
        EXPECT_EQ(core.ReadData(nullptr, 0), -1);
        EXPECT_FALSE(core.WriteData("x", 1));
    }
    ::close(holder);
    ::unsetenv("VEXA_COM42");
    ::unsetenv("VEXA_COM43");
}

TEST(TAfComPortCoreTest, ARefusedDcbClosesThePortAndTakesTheDevicesSettings)
{
    PseudoTerminal pty(44);
    const unsigned deviceSpeed = pty.Speed();
    ASSERT_NE(deviceSpeed, 0u);
    TAfComPortCore core;
    TAfDCB dcb = core.DCB();
    dcb.BaudRate = 14400; // no such rate here
    dcb.ByteSize = 8;
    core.SetDCB(dcb);
    EXPECT_EQ(OpenError(core, 44), "Error setting parameters from DCB");
    EXPECT_FALSE(core.Opened());
    EXPECT_EQ(core.Handle(), -1);
    EXPECT_EQ(core.DCB().BaudRate, deviceSpeed);
    EXPECT_EQ(core.DCB().DCBlength, DCB_Length);
    // The port is free again.
    dcb.BaudRate = 9600;
    core.SetDCB(dcb);
    EXPECT_TRUE(core.OpenComPort(44));
    EXPECT_FALSE(core.OpenComPort(44)); // already open
    EXPECT_EQ(pty.Speed(), 9600u);
}

TEST(TAfComPortCoreTest, WritesAreAllOrNothingAndDrainOnce)
{
    PseudoTerminal pty(45);
    CountingCore r;
    r.core.SetOutBufSize(16);
    ASSERT_TRUE(r.core.OpenComPort(45));
    const auto big = Pattern(17, 1);
    EXPECT_FALSE(r.core.WriteData(big.data(), 17));
    EXPECT_TRUE(pty.Receive(1, 100).empty()); // nothing of it was queued
    const auto exact = Pattern(16, 2);
    ASSERT_TRUE(r.core.WriteData(exact.data(), 16));
    EXPECT_EQ(pty.Receive(16, 2000), exact);
    const auto deadline = Clock::now() + 2s;
    while (r.drained == 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(2ms);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(r.drained, 1);
    EXPECT_EQ(r.core.OutBufFree(), 16);
}

// A full input queue stops the reading of the device; the device holds the
// rest back, and every byte arrives once the queue is emptied.
TEST(TAfComPortCoreTest, AFullInputQueueLosesNothing)
{
    PseudoTerminal pty(47);
    CountingCore r;
    r.core.SetInBufSize(64);
    ASSERT_TRUE(r.core.OpenComPort(47));
    const auto sent = Pattern(20000, 4);
    std::thread sender([&] { pty.Send(sent, 20000); });
    std::vector<std::uint8_t> got;
    const auto deadline = Clock::now() + 20s;
    std::uint8_t chunk[50];
    while (got.size() < sent.size() && Clock::now() < deadline) {
        const int n = r.core.ReadData(chunk, 50);
        ASSERT_GE(n, 0);
        got.insert(got.end(), chunk, chunk + n);
        if (n == 0)
            std::this_thread::sleep_for(1ms);
    }
    sender.join();
    EXPECT_EQ(got, sent);
}

TEST(TAfComPortCoreTest, CloseWithAStuckWriteEndsBothThreadsAtOnce)
{
    PseudoTerminal pty(48);
    CountingCore r;
    r.core.SetOutBufSize(1 << 16);
    ASSERT_TRUE(r.core.OpenComPort(48));
    // The other end reads nothing: the device fills and the write thread waits.
    const auto block = Pattern(1 << 16, 5);
    for (int i = 0; i < 8; ++i) {
        while (!r.core.WriteData(block.data(), 4096))
            std::this_thread::sleep_for(5ms);
    }
    std::this_thread::sleep_for(50ms);
    ASSERT_LT(r.core.OutBufFree(), 1 << 16);
    const auto start = Clock::now();
    r.core.CloseComPort();
    EXPECT_LT(Clock::now() - start, 500ms);
    EXPECT_FALSE(r.core.Opened());
    EXPECT_EQ(r.core.Handle(), -1);
    EXPECT_EQ(r.core.OutBufFree(), 0);
}

