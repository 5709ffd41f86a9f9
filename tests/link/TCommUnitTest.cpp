// Raw port access: the usable-port list, and the receive ring's edges on a
// bare pseudo-terminal that the test drives byte by byte.
#include "link/TCommUnit.h"

#include "LinkTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <thread>
#include <unistd.h>

namespace {

// The far end of a line: a pty whose master side the test writes to.
class BarePty {
public:
    BarePty()
    {
        char name[128] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) == 0)
            name_ = name;
    }
    ~BarePty()
    {
        HangUp();
        if (slave_ >= 0)
            ::close(slave_);
    }
    const std::string& Name() const { return name_; }
    void Write(const std::vector<std::uint8_t>& bytes)
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t w = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (w <= 0)
                return;
            done += std::size_t(w);
        }
    }
    void HangUp()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1, slave_ = -1;
    std::string name_;
};

std::vector<std::uint8_t> Bytes(std::size_t n, std::uint8_t seed)
{
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = std::uint8_t(seed + i * 31);
    return v;
}

} // namespace

TEST(TCommUnit, UsablePortsAreSortedAsTextAndBusyPortsLeftOut)
{
    ReceiverEmulator a, b;
    PortEnv env({{2, a.DevicePath()}, {10, b.DevicePath()}});
    TCommUnit first;
    EXPECT_EQ(first.UsablePorts(), (std::vector<std::string>{"10", "2"}));
    EXPECT_EQ(first.FirstPort(), 10);
    EXPECT_EQ(first.SetPort(3), 0) << "a port that is not usable leaves the port as it was";
    EXPECT_EQ(first.SetPort(2), 2);
    EXPECT_EQ(first.ProbePort(7).Status, TCommUnit::ProbeMissing);

    // While the first unit holds COM2, a second one sees only COM10.
    ASSERT_TRUE(first.EnsureOpen());
    TCommUnit second;
    EXPECT_EQ(second.UsablePorts(), (std::vector<std::string>{"10"}));
    EXPECT_EQ(second.ProbePort(2).Status, TCommUnit::ProbeInUse);
    // The port in use by this very unit stays listed.
    first.ScanPorts();
    EXPECT_EQ(first.UsablePorts(), (std::vector<std::string>{"10", "2"}));
}

class CommUnitLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(pty.Name().empty());
        env = std::make_unique<PortEnv>(std::map<int, std::string>{{4, pty.Name()}});
        unit = std::make_unique<TCommUnit>();
        ASSERT_EQ(unit->SetPort(4), 4);
        ASSERT_TRUE(unit->EnsureOpen());
    }

    BarePty pty;
    std::unique_ptr<PortEnv> env;
    std::unique_ptr<TCommUnit> unit;
};

TEST_F(CommUnitLine, AnIncompleteFrameIsDiscardedAtTheTimeOut)
{
    unit->SetTimeout(300);
    std::uint8_t buf[12];
    pty.Write(Bytes(11, 1));
    EXPECT_FALSE(unit->Read(buf, 12));
    const auto next = Bytes(12, 99);
    pty.Write(next);
    ASSERT_TRUE(unit->Read(buf, 12));
    EXPECT_EQ(0, std::memcmp(buf, next.data(), 12)) << "the 11 stale bytes must be gone";
    EXPECT_EQ(unit->Available(), 0);
}

TEST_F(CommUnitLine, MoreThanTheRingHoldsFailsTheReadInsteadOfOverwriting)
{
    unit->SetTimeout(300);
    std::atomic<bool> written{false};
    std::thread writer([&] {
        pty.Write(Bytes(12000, 7));
        written = true;
    });
    // Let the bytes in without reading them, as a stalled protocol would.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!written && std::chrono::steady_clock::now() < limit)
        unit->Delay50();
    writer.join();
    for (int i = 0; i < 4; ++i)
        unit->Delay50();
    // Full to the last byte it can tell from empty, and no further.
    EXPECT_EQ(unit->Available(), TCommUnit::kRingSize - 1);
    std::uint8_t buf[12];
    EXPECT_FALSE(unit->Read(buf, 12));
    EXPECT_EQ(unit->Available(), 0);

    const auto next = Bytes(12, 200);
    pty.Write(next);
    ASSERT_TRUE(unit->Read(buf, 12));
    EXPECT_EQ(0, std::memcmp(buf, next.data(), 12));
}

TEST_F(CommUnitLine, AHangUpEndsTheWaitAtOnce)
{
    unit->SetTimeout(5000);
    std::thread cable([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        pty.HangUp();
    });
    std::uint8_t buf[12];
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(unit->Read(buf, 12));
    const auto waited = std::chrono::steady_clock::now() - t0;
    cable.join();
    EXPECT_LT(waited, std::chrono::milliseconds(2500)) << "a lost port must not be waited out";
    EXPECT_TRUE(unit->PortLost());
    EXPECT_FALSE(unit->Write(buf, 12));
    unit->ReleaseLostPort();
    EXPECT_FALSE(unit->PortLost());
}
