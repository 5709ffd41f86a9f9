#include "link/serial/TAfComPort.h"

#include "PseudoTerminal.h"
#include "foundation/EventLoop.h"
#include "link/serial/AfSafeSync.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

std::string Message(const std::function<void()>& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no error";
}

// A port on COM<com> set up as the receiver link uses it, collecting what it receives.
struct LinkPort {
    TAfComPort port;
    std::vector<std::uint8_t> received;
    int opened = 0;
    int closed = 0;

    explicit LinkPort(int com)
    {
        port.SetComNumber(static_cast<std::uint16_t>(com));
        port.SetInBufSize(8192);
        port.SetOutBufSize(8192);
        port.SetEventThreadPriority(tpTimeCritical);
        port.SetWriteThreadPriority(tpTimeCritical);
        port.OnDataRecived = [this](TAfCustomSerialPort*, std::int32_t count) {
            const std::size_t at = received.size();
            received.resize(at + static_cast<std::size_t>(count));
            port.ReadData(received.data() + at, count);
        };
        port.OnPortOpen = [this](TAfCustomSerialPort*) { ++opened; };
        port.OnPortClose = [this](TAfCustomSerialPort*) { ++closed; };
    }
};

} // namespace

TEST(TAfComPortTest, PropertiesBuildTheLineSettings)
{
    TAfComPort port; // 115200 8N1, DTR and RTS on
    EXPECT_EQ(port.DCB(), (TAfDCB{DCB_Length, 115200, 0x1011, 0, 0, 8, 0, 0, 0x11, 0x13}));
    // The lines enter the settings only when something else rebuilds them.
    port.SetDTR(false);
    port.SetRTS(false);
    EXPECT_EQ(port.DCB().Flags, 0x1011u);
    port.SetBaudRate(br19200);
    port.SetXOnChar(0x21);
    EXPECT_EQ(port.DCB().Flags, 0x1u);
    EXPECT_EQ(port.DCB().XonChar, 0x21);

    TAfComPort flow;
    flow.SetFlowControl(fwRtsCts);
    EXPECT_EQ(flow.DCB().Flags, 0x2015u);
    flow.SetFlowControl(fwXOnXOff);
    flow.SetInBufSize(8192);
    EXPECT_EQ(flow.XOnLim(), 2048);
    EXPECT_EQ(flow.XOffLim(), 6144);

    TAfDCB odd = port.DCB();
    odd.BaudRate = 31250;
    odd.Flags = 0x1 | 0x2 | 0x800;
    port.SetDCB(odd);
    EXPECT_EQ(port.BaudRate(), brUser);
    EXPECT_EQ(port.UserBaudRate(), 31250);
    EXPECT_EQ(port.Options(), AfComOption(coParityCheck) | AfComOption(coStripNull));
    odd.DCBlength = 12;
    port.SetName("Serie");
    EXPECT_EQ(Message([&] { port.SetDCB(odd); }), "Error setting parameters from DCB - Serie ");
}

TEST(TAfComPortTest, OpenCloseAndTheirErrors)
{
    PseudoTerminal pty(51), other(52);
    LinkPort link(51);
    EXPECT_FALSE(link.port.Active());
    link.port.Open();
    EXPECT_TRUE(link.port.Active());
    EXPECT_EQ(link.opened, 1);
    EXPECT_EQ(Message([&] { link.port.SetInBufSize(100); }), "Port is not closed -  ");
    EXPECT_EQ(link.port.InBufSize(), 8192);
    // Another port number while open: closed here, opened there.
    link.port.SetComNumber(52);
    EXPECT_TRUE(link.port.Active());
    EXPECT_EQ(link.opened, 2);
    EXPECT_EQ(link.closed, 1);
    link.port.WriteData("abc", 3);
    EXPECT_EQ(other.Receive(3, 2000), (std::vector<std::uint8_t>{'a', 'b', 'c'}));
    EXPECT_TRUE(pty.Receive(1, 100).empty());
    // The speed changes in place, on the open descriptor.
    const int handle = link.port.ComHandle();
    link.port.SetBaudRate(br19200);
    EXPECT_EQ(other.Speed(), 19200u);
    EXPECT_EQ(link.port.ComHandle(), handle);
    EXPECT_EQ(Message([&] { link.port.SetBaudRate(br14400); }), "Error setting parameters from DCB");

    std::uint8_t buf[4];
    EXPECT_EQ(Message([&] { link.port.ReadData(buf, 4); }), "Read data error -  ");
    const auto big = Pattern(9000, 1);
    EXPECT_EQ(Message([&] { link.port.WriteData(big.data(), 9000); }),
              "Write data error [requested: 9000, free: 8192] -  ");
    link.port.Close();
    EXPECT_FALSE(link.port.Active());
    EXPECT_EQ(link.port.ComHandle(), -1);
    EXPECT_EQ(link.closed, 2);
    EXPECT_EQ(Message([&] { link.port.WriteData(big.data(), 1); }), "Write data error [requested: 1, free: 0] -  ");
}

// 128 KiB each way at once, while the main thread lets no events run for
// longer than the hand-off waits: the event thread gives up on it, and the
// bytes wait in the port instead of being lost.
TEST(TAfComPortTest, Transfers128KiBEachWayWhileTheMainThreadIsBusy)
{
    PseudoTerminal pty(55);
    LinkPort link(55);
    link.port.Open();
    constexpr std::size_t size = 128 * 1024;
    const auto incoming = Pattern(size, 65);
    const auto outgoing = Pattern(size, 75);
    auto sender = std::async(std::launch::async, [&] { return pty.Send(incoming, 30000); });
    auto receiver = std::async(std::launch::async, [&] { return pty.Receive(size, 30000); });
    const auto failedBefore = AfSyncStatistics().CallsFailed;
    std::size_t queued = 0;
    bool wasBusy = false;
    const auto deadline = Clock::now() + 30s;
    while ((link.received.size() < size || receiver.wait_for(0s) != std::future_status::ready) &&
           Clock::now() < deadline) {
        const std::size_t n = std::min(static_cast<std::size_t>(link.port.OutBufFree()), size - queued);
        if (n > 0)
            link.port.WriteData(outgoing.data() + queued, static_cast<std::int32_t>(n));
        queued += n;
        if (!wasBusy && link.received.size() >= size / 16) {
            std::this_thread::sleep_for(2500ms);
            wasBusy = true;
        }
        WaitForPendingEvents(5);
    }
    ASSERT_EQ(sender.wait_for(1s), std::future_status::ready);
    EXPECT_TRUE(sender.get());
    ASSERT_EQ(receiver.wait_for(1s), std::future_status::ready);
    EXPECT_TRUE(receiver.get() == outgoing) << "outgoing bytes lost or reordered";
    EXPECT_TRUE(link.received == incoming) << "incoming bytes lost or reordered";
    EXPECT_TRUE(wasBusy);
    EXPECT_GT(AfSyncStatistics().CallsFailed, failedBefore);
    EXPECT_TRUE(link.port.Active());
}

// A hang-up is seen even while the main thread runs no events (well inside
// the hand-off's time-out), and the port then closes itself, once.
TEST(TAfComPortTest, TheOtherEndClosingIsALostPort)
{
    PseudoTerminal pty(58);
    LinkPort link(58);
    link.port.Open();
    pty.CloseMaster();
    for (int i = 0; i < 100 && link.port.Active(); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(link.port.Active());
    EXPECT_TRUE(PumpUntil([&] { return link.closed == 1; }, 1000));
    EXPECT_EQ(link.port.ComHandle(), -1);
    PumpFor(300);
    EXPECT_EQ(link.closed, 1);
}

TEST(TAfComPortTest, HandlersMayFailOrCloseThePortAndCloseDropsAnEventInFlight)
{
    std::vector<std::string> reported;
    SetExceptionHandler([&](std::exception_ptr e) { reported.push_back(Message([&] { std::rethrow_exception(e); })); });
    PseudoTerminal pty(59);
    LinkPort link(59);
    // Asking for more than is waiting fails inside the event; the port goes on.
    link.port.OnDataRecived = [&](TAfCustomSerialPort*, std::int32_t count) {
        std::vector<std::uint8_t> buf(static_cast<std::size_t>(count) + 1);
        link.port.ReadData(buf.data(), count + 1);
    };
    link.port.Open();
    ASSERT_TRUE(pty.Send({1, 2, 3}));
    ASSERT_TRUE(PumpUntil([&] { return !reported.empty(); }, 2000));
    EXPECT_EQ(reported.front(), "Read data error -  ");
    EXPECT_TRUE(link.port.Active());
    SetExceptionHandler(nullptr);
    // Closing from inside the port's own event.
    link.port.OnDataRecived = [&](TAfCustomSerialPort*, std::int32_t) { link.port.Close(); };
    ASSERT_TRUE(pty.Send({4}));
    ASSERT_TRUE(PumpUntil([&] { return link.closed == 1; }, 3000));
    EXPECT_FALSE(link.port.Active());

    // The event thread hands bytes over and waits; the main thread runs no
    // events. The close must neither wait that out nor let the event run later.
    bool ran = false;
    link.port.OnDataRecived = [&](TAfCustomSerialPort*, std::int32_t) { ran = true; };
    link.port.Open();
    const auto sentBefore = AfSyncStatistics().CallsSent;
    ASSERT_TRUE(pty.Send(Pattern(100, 2)));
    ASSERT_TRUE(AwaitHandOff(sentBefore));
    const auto start = Clock::now();
    link.port.Close();
    EXPECT_LT(Clock::now() - start, 1500ms) << "the close waited out the hand-off";
    PumpFor(300);
    EXPECT_FALSE(ran);
    EXPECT_EQ(link.closed, 2);
}
