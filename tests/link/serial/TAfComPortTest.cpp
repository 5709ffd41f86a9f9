#include "link/serial/TAfComPort.h"

#include "PseudoTerminal.h"
#include "foundation/EventLoop.h"
#include "link/serial/AfSafeSync.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <sys/resource.h>
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

// A port set up as the receiver link uses it, collecting what it receives.
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

double CpuSeconds()
{
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// 128 KiB each way at once; the main thread lets no events run for
// `busyMs` once a sixteenth of the bytes came in.
void Transfer(int com, int busyMs)
{
    PseudoTerminal pty(com);
    LinkPort link(com);
    link.port.Open();
    constexpr std::size_t size = 128 * 1024;
    const auto incoming = Pattern(size, 10 + static_cast<std::uint32_t>(com));
    const auto outgoing = Pattern(size, 20 + static_cast<std::uint32_t>(com));
    auto sender = std::async(std::launch::async, [&] { return pty.Send(incoming, 30000); });
    auto receiver = std::async(std::launch::async, [&] { return pty.Receive(size, 30000); });

    const auto failedBefore = AfSyncStatistics().CallsFailed;
    std::size_t queued = 0;
    bool wasBusy = busyMs == 0;
    const auto deadline = Clock::now() + 30s;
    while ((link.received.size() < size || receiver.wait_for(0s) != std::future_status::ready) &&
           Clock::now() < deadline) {
        const std::size_t room = static_cast<std::size_t>(link.port.OutBufFree());
        const std::size_t n = std::min(room, size - queued);
        if (n > 0) {
            link.port.WriteData(outgoing.data() + queued, static_cast<std::int32_t>(n));
            queued += n;
        }
        if (!wasBusy && link.received.size() >= size / 16) {
            std::this_thread::sleep_for(std::chrono::milliseconds(busyMs));
            wasBusy = true;
        }
        WaitForPendingEvents(5);
    }
    ASSERT_EQ(sender.wait_for(1s), std::future_status::ready);
    EXPECT_TRUE(sender.get());
    ASSERT_EQ(receiver.wait_for(1s), std::future_status::ready);
    EXPECT_TRUE(receiver.get() == outgoing) << "outgoing bytes lost or reordered";
    EXPECT_EQ(link.received.size(), size);
    EXPECT_TRUE(link.received == incoming) << "incoming bytes lost or reordered";
    EXPECT_TRUE(wasBusy);
    if (busyMs > 2000) {
        // The event thread gave up on the busy main thread at least once.
        EXPECT_GT(AfSyncStatistics().CallsFailed, failedBefore);
    }
    EXPECT_TRUE(link.port.Active());
}

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
    EXPECT_EQ(port.DCB().Flags, 0x1u);

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
    PseudoTerminal pty(51);
    LinkPort link(51);
    link.port.SetComNumber(0);
    EXPECT_EQ(Message([&] { link.port.Open(); }), "Invalid port number (COM0)");
    EXPECT_FALSE(link.port.Active());
    EXPECT_EQ(link.opened, 0);

    link.port.SetComNumber(51); // closed: only stored
    EXPECT_FALSE(link.port.Active());
    link.port.Open();
    EXPECT_TRUE(link.port.Active());
    EXPECT_EQ(link.opened, 1);
    EXPECT_EQ(pty.Speed(), 115200u);
    EXPECT_EQ(Message([&] { link.port.SetInBufSize(100); }), "Port is not closed -  ");
    EXPECT_EQ(link.port.InBufSize(), 8192);

    // The speed changes in place, on the open descriptor.
    const int handle = link.port.ComHandle();
    link.port.SetBaudRate(br19200);
    EXPECT_EQ(pty.Speed(), 19200u);
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
    EXPECT_EQ(link.closed, 1);
    EXPECT_EQ(Message([&] { link.port.WriteData(big.data(), 1); }), "Write data error [requested: 1, free: 0] -  ");
}

TEST(TAfComPortTest, ChangingThePortNumberWhileOpenReopensOnTheNewPort)
{
    PseudoTerminal first(52);
    PseudoTerminal second(53);
    LinkPort link(52);
    link.port.Open();
    link.port.SetComNumber(53);
    EXPECT_TRUE(link.port.Active());
    EXPECT_EQ(link.opened, 2);
    EXPECT_EQ(link.closed, 1);
    link.port.WriteData("abc", 3);
    EXPECT_EQ(second.Receive(3, 2000), (std::vector<std::uint8_t>{'a', 'b', 'c'}));
    EXPECT_TRUE(first.Receive(1, 100).empty());
}

TEST(TAfComPortTest, Transfers128KiBEachWayWithoutLoss)
{
    Transfer(54, 0);
}

TEST(TAfComPortTest, Transfers128KiBEachWayWhileTheMainThreadIsBusy)
{
    Transfer(55, 2500);
}

TEST(TAfComPortTest, CloseWithAnEventInFlightNeitherWaitsNorRunsIt)
{
    PseudoTerminal pty(56);
    LinkPort link(56);
    link.port.Open();
    const auto sentBefore = AfSyncStatistics().CallsSent;
    ASSERT_TRUE(pty.Send(Pattern(100, 2)));
    // The event thread hands the bytes over and waits; the main thread runs no events.
    const auto deadline = Clock::now() + 2s;
    while (AfSyncStatistics().CallsSent == sentBefore && Clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    ASSERT_GT(AfSyncStatistics().CallsSent, sentBefore);
    const auto start = Clock::now();
    link.port.Close();
    EXPECT_LT(Clock::now() - start, 100ms);
    PumpFor(300);
    EXPECT_TRUE(link.received.empty());
    EXPECT_EQ(link.closed, 1);
}

TEST(TAfComPortTest, ASilentPortCostsAlmostNoTime)
{
    PseudoTerminal pty(57);
    LinkPort link(57);
    link.port.Open();
    const double cpuBefore = CpuSeconds();
    const auto start = Clock::now();
    // Waiting for bytes the way the link does: 50 ms steps, letting events run.
    while (Clock::now() - start < 1s)
        WaitForPendingEvents(50);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_LT(CpuSeconds() - cpuBefore, 0.1 * wall);
    EXPECT_TRUE(link.port.Active());
}

TEST(TAfComPortTest, TheOtherEndClosingIsALostPort)
{
    PseudoTerminal pty(58);
    LinkPort link(58);
    link.port.Open();
    pty.CloseMaster();
    // Seen at once, even while the main thread runs no events...
    const auto start = Clock::now();
    while (link.port.Active() && Clock::now() - start < 2s)
        std::this_thread::sleep_for(1ms);
    EXPECT_FALSE(link.port.Active());
    EXPECT_LT(Clock::now() - start, 500ms);
    EXPECT_EQ(Message([&] { link.port.WriteData("x", 1); }).rfind("Write data error", 0), 0u);
    // ...and the port closes itself once it does.
    EXPECT_TRUE(PumpUntil([&] { return link.closed == 1; }, 1000));
    EXPECT_EQ(link.port.ComHandle(), -1);
    PumpFor(300);
    EXPECT_EQ(link.closed, 1);
}

TEST(TAfComPortTest, HandlersMayCloseThePortOrFail)
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

    // Closing from inside the port's own event.
    link.port.OnDataRecived = [&](TAfCustomSerialPort*, std::int32_t) { link.port.Close(); };
    ASSERT_TRUE(pty.Send({4}));
    const auto start = Clock::now();
    ASSERT_TRUE(PumpUntil([&] { return link.closed == 1; }, 3000));
    EXPECT_LT(Clock::now() - start, 1000ms);
    EXPECT_FALSE(link.port.Active());
    SetExceptionHandler(nullptr);
}
