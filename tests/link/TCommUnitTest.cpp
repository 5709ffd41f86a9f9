// Raw port access: the usable-port list, and the receive ring's edges on a
// bare pseudo-terminal that the test drives byte by byte.
#include "link/TCommUnit.h"

#include "LinkTestSupport.h"
#include "serial/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>
#include <thread>

TEST(TCommUnit, UsablePortsAreSortedAsTextAndBusyPortsLeftOut)
{
    ReceiverEmulator a, b, c;
    PortEnv env({{2, a.DevicePath()}, {10, b.DevicePath()}, {20, c.DevicePath()}});
    TCommUnit first;
    EXPECT_EQ(first.UsablePorts(), (std::vector<std::string>{"10", "2", "20"}));
    EXPECT_EQ(first.FirstPort(), 10);
    EXPECT_EQ(first.SetPort(3), 0) << "a port that is not usable leaves the port as it was";
    EXPECT_EQ(first.SetPort(20), 20);
    EXPECT_EQ(first.SetPort(2), 2);
    EXPECT_EQ(first.ProbePort(7).Status, TCommUnit::ProbeMissing);

    // While the first unit holds COM2, a second one does not list it.
    ASSERT_TRUE(first.EnsureOpen());
    TCommUnit second;
    EXPECT_EQ(second.UsablePorts(), (std::vector<std::string>{"10", "20"}));
    EXPECT_EQ(second.ProbePort(2).Status, TCommUnit::ProbeInUse);
    // The port in use by this very unit stays listed.
    first.ScanPorts();
    EXPECT_EQ(first.UsablePorts(), (std::vector<std::string>{"10", "2", "20"}));
}

// COM4 is a pseudo-terminal whose other end the test writes to.
class CommUnitLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(unit.SetPort(4), 4);
        ASSERT_TRUE(unit.EnsureOpen());
        unit.SetTimeout(300);
    }

    // Reads 12 bytes; true when they are `expected`.
    bool ReadsExactly(const std::vector<std::uint8_t>& expected)
    {
        std::uint8_t buf[12];
        return unit.Read(buf, 12) && std::memcmp(buf, expected.data(), 12) == 0;
    }

    PseudoTerminal pty{4};
    PortEnv env{{{4, pty.SlavePath()}}};
    TCommUnit unit;
};

TEST_F(CommUnitLine, AnIncompleteFrameIsDiscardedAtTheTimeOut)
{
    std::uint8_t buf[12];
    pty.Send(Pattern(11, 1));
    EXPECT_FALSE(unit.Read(buf, 12));
    pty.Send(Pattern(12, 99));
    EXPECT_TRUE(ReadsExactly(Pattern(12, 99))) << "the 11 stale bytes must be gone";
    EXPECT_EQ(unit.Available(), 0);
}

TEST_F(CommUnitLine, MoreThanTheRingHoldsFailsTheReadInsteadOfOverwriting)
{
    // Let the bytes in without reading them, as a stalled protocol would.
    auto writer = std::async(std::launch::async, [&] { return pty.Send(Pattern(12000, 7)); });
    for (int i = 0; i < 200 && writer.wait_for(std::chrono::seconds(0)) != std::future_status::ready; ++i)
        unit.Delay50();
    EXPECT_TRUE(writer.get());
    for (int i = 0; i < 4; ++i)
        unit.Delay50();
    // Full to the last byte it can tell from empty, and no further.
    EXPECT_EQ(unit.Available(), TCommUnit::kRingSize - 1);
    std::uint8_t buf[12];
    EXPECT_FALSE(unit.Read(buf, 12));
    EXPECT_EQ(unit.Available(), 0);
    pty.Send(Pattern(12, 200));
    EXPECT_TRUE(ReadsExactly(Pattern(12, 200)));
}

TEST_F(CommUnitLine, AHangUpEndsTheWaitAtOnce)
{
    unit.SetTimeout(20000);
    std::thread cable([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        pty.CloseMaster();
    });
    std::uint8_t buf[12];
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(unit.Read(buf, 12));
    cable.join();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(10)) << "a lost port must not be waited out";
    EXPECT_TRUE(unit.PortLost());
    EXPECT_FALSE(unit.Write(buf, 12));
    unit.ReleaseLostPort();
    EXPECT_FALSE(unit.PortLost());
}
