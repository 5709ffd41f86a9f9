#include "link/serial/TAfComPortCore.h"

#include "PseudoTerminal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// A core on 8 bits at `rate` baud.
void SetRate(TAfComPortCore& core, std::uint32_t rate)
{
    TAfDCB dcb = core.DCB();
    dcb.BaudRate = rate;
    dcb.ByteSize = 8;
    dcb.Flags = DCB_Binary;
    core.SetDCB(dcb);
}

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

// A failed open leaves the port closed; a refused DCB leaves the device's own settings.
TEST(TAfComPortCoreTest, OpenFailuresLeaveThePortClosed)
{
    PseudoTerminal busy(41), idle(44);
    const int holder = ::open(busy.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0); // another user's lock keeps out even root
    ::setenv("VEXA_COM42", "/dev/no-such-serial-device", 1);
    ::setenv("VEXA_COM43", "/dev/null", 1); // opens, but is no terminal
    const std::pair<int, const char*> cases[] = {
        {0, "Invalid port number (COM0)"},   {-3, "Invalid port number (COM-3)"},
        {42, "Invalid port number (COM42)"}, {41, "Can't open device COM41"},
        {43, "Error setting timeouts"},      {44, "Error setting parameters from DCB"},
    };
    for (const auto& [port, message] : cases) {
        TAfComPortCore core;
        SetRate(core, 14400); // no such rate here
        EXPECT_EQ(OpenError(core, port), message) << port;
        EXPECT_FALSE(core.Opened());
        EXPECT_FALSE(core.Active());
        EXPECT_EQ(core.Handle(), -1);
        EXPECT_EQ(core.ReadData(nullptr, 0), -1);
        EXPECT_FALSE(core.WriteData("x", 1));
        if (port == 44) {
            EXPECT_EQ(core.DCB().BaudRate, idle.Speed());
            EXPECT_EQ(core.DCB().DCBlength, DCB_Length);
            // The port is free again.
            SetRate(core, 9600);
            EXPECT_TRUE(core.OpenComPort(44));
            EXPECT_FALSE(core.OpenComPort(44)); // already open
            EXPECT_EQ(idle.Speed(), 9600u);
        }
    }
    ::close(holder);
    ::unsetenv("VEXA_COM42");
    ::unsetenv("VEXA_COM43");
}

// Writes go whole into the queue or not at all, and each drain is reported
// once. Then the other end reads nothing: the device fills and the write
// thread waits for room that never comes, and closing must wake it.
TEST(TAfComPortCoreTest, WritesAreAllOrNothingDrainOnceAndAStuckWriteEndsAtClose)
{
    PseudoTerminal pty(45);
    TAfComPortCore core;
    std::atomic<int> drained{0};
    core.OnCoreEvent = [&](TAfComPortCore&, std::uint32_t kind, std::uint32_t, std::exception_ptr) {
        drained += kind == CoreEventOutputEmpty;
    };
    SetRate(core, 115200);
    core.SetOutBufSize(4096);
    ASSERT_TRUE(core.OpenComPort(45));
    const auto block = Pattern(4097, 1);
    EXPECT_FALSE(core.WriteData(block.data(), 4097));
    EXPECT_TRUE(pty.Receive(1, 100).empty()); // nothing of it was queued
    ASSERT_TRUE(core.WriteData(block.data(), 4096));
    EXPECT_EQ(pty.Receive(4096, 2000), std::vector<std::uint8_t>(block.begin(), block.end() - 1));
    for (int i = 0; i < 100 && drained == 0; ++i)
        std::this_thread::sleep_for(20ms);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(drained, 1);
    EXPECT_EQ(core.OutBufFree(), 4096);

    int refused = 0;
    for (int i = 0; i < 2000 && refused < 20; ++i) {
        refused = core.WriteData(block.data(), 4096) ? 0 : refused + 1;
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_EQ(refused, 20) << "the device never filled";
    core.CloseComPort();
    EXPECT_FALSE(core.Opened());
    EXPECT_EQ(core.Handle(), -1);
}
