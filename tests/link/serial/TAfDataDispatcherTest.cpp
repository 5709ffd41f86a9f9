#include "link/serial/TAfDataDispatcher.h"

#include "PseudoTerminal.h"
#include "foundation/EventLoop.h"
#include "link/serial/AfSafeSync.h"
#include "link/serial/TAfComPort.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace {

std::vector<std::uint8_t> PeekAll(TAfDataDispatcher& d)
{
    std::vector<std::uint8_t> bytes(1 << 16);
    bytes.resize(static_cast<std::size_t>(d.Peek(bytes.data(), static_cast<std::int32_t>(bytes.size()))));
    return bytes;
}

// A port on COM<com> with a dispatcher of `ringSize` linked to it.
struct DispatchedPort {
    TAfComPort port;
    TAfDataDispatcher dispatcher;
    DispatchedPort(int com, std::int32_t ringSize) : dispatcher(ringSize)
    {
        port.SetComNumber(static_cast<std::uint16_t>(com));
        dispatcher.Link(&port);
    }
};

} // namespace

// Each pass shows the same bytes to the dispatcher's own handler and then
// to every client, on the main thread; the largest count taken leaves the ring.
TEST(TAfDataDispatcherTest, ReceivedBytesReachTheHandlersAndClientsUntilTheClose)
{
    PseudoTerminal pty(61);
    DispatchedPort p(61, 4096);
    EXPECT_EQ(p.port.Dispatcher(), &p.dispatcher);
    std::vector<std::uint8_t> own, client0, client1;
    std::vector<int> order;
    bool onMain = true;
    // The own handler takes all it sees, the clients less: all see every byte once.
    auto handler = [&](std::vector<std::uint8_t>& sink, bool takeAll) {
        return [&, takeAll](TAfDataDispatcher& d, int kind) {
            ASSERT_EQ(kind, TAfDataDispatcher::KindData);
            onMain = onMain && IsMainThread();
            order.push_back(d.CurrentClient());
            const auto bytes = PeekAll(d);
            sink.insert(sink.end(), bytes.begin(), bytes.end());
            d.Take(takeAll ? static_cast<std::int32_t>(bytes.size()) : 1);
        };
    };
    p.dispatcher.OnData = handler(own, true);
    p.dispatcher.Clients = {handler(client0, false), handler(client1, false)};
    bool portEventFired = false;
    p.port.OnDataRecived = [&](TAfCustomSerialPort*, std::int32_t) { portEventFired = true; };

    p.port.Open();
    const auto sent = Pattern(3000, 6);
    ASSERT_TRUE(pty.Send(sent));
    ASSERT_TRUE(PumpUntil([&] { return own.size() >= sent.size(); }));
    PumpFor(100);
    EXPECT_EQ(own, sent);
    EXPECT_EQ(client0, sent);
    EXPECT_EQ(client1, sent);
    EXPECT_TRUE(PeekAll(p.dispatcher).empty());
    EXPECT_EQ(p.dispatcher.TotalReceived(), sent.size());
    EXPECT_TRUE(onMain);
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ((std::vector<int>(order.begin(), order.begin() + 3)), (std::vector<int>{-1, 0, 1}));
    EXPECT_FALSE(portEventFired); // the dispatcher took the bytes instead

    // Deliveries travel through a hand-off of their own: one in flight when
    // the port closes neither holds the close up nor runs later.
    const auto sentBefore = AfSyncStatistics().CallsSent;
    ASSERT_TRUE(pty.Send(Pattern(10, 9)));
    ASSERT_TRUE(AwaitHandOff(sentBefore));
    const auto start = std::chrono::steady_clock::now();
    p.port.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500))
        << "the close waited out the hand-off";
    PumpFor(200);
    EXPECT_EQ(own.size(), sent.size());
}

// A ring too small for what comes: the port hands over only what fits and
// keeps the rest in its input queue until the handlers have made room.
TEST(TAfDataDispatcherTest, WhatDoesNotFitWaitsInThePort)
{
    PseudoTerminal pty(62);
    DispatchedPort p(62, 16);
    std::vector<std::uint8_t> got;
    p.dispatcher.OnData = [&](TAfDataDispatcher& d, int) {
        std::uint8_t buf[16];
        const std::int32_t n = d.Peek(buf, 5); // slower than the bytes come
        got.insert(got.end(), buf, buf + n);
        d.Take(n);
    };
    p.port.Open();
    const auto sent = Pattern(200, 7);
    ASSERT_TRUE(pty.Send(sent));
    ASSERT_TRUE(PumpUntil([&] { return got.size() >= sent.size(); }, 10000)) << got.size();
    EXPECT_EQ(got, sent);
    // Handed more than it has room for, the dispatcher refuses all of it.
    EXPECT_THAT([&] { p.dispatcher.Data(Pattern(17, 8).data(), 17); },
                testing::ThrowsMessage<EAfDispatcherError>(testing::StrEq("Error writing to dispatcher buffer")));
}

TEST(TAfDataDispatcherTest, LinkOpenAndCloseNotices)
{
    PseudoTerminal pty(64);
    auto first = std::make_unique<TAfComPort>();
    TAfComPort second;
    first->SetComNumber(64);
    TAfDataDispatcher dispatcher;
    int opens = 0, closes = 0;
    dispatcher.OnOpen = [&] { ++opens; };
    dispatcher.OnClose = [&] { ++closes; };
    // Without a dispatcher the notices do nothing.
    EXPECT_THROW(second.Open(), EAfComPortCoreError); // COM0
    EXPECT_EQ(closes + opens, 0);

    dispatcher.Link(first.get());
    EXPECT_EQ(closes, 1); // linking tells the dispatcher that what it had is closed
    first->Open();
    EXPECT_EQ(opens, 1);
    first->Close();
    EXPECT_EQ(closes, 2);
    EXPECT_FALSE(dispatcher.Active());

    dispatcher.Link(&second);
    EXPECT_EQ(first->Dispatcher(), nullptr);
    EXPECT_EQ(second.Dispatcher(), &dispatcher);
    dispatcher.Link(first.get());
    EXPECT_EQ(second.Dispatcher(), nullptr);
    first.reset(); // a destroyed port unlinks itself
    EXPECT_EQ(dispatcher.Component(), nullptr);
}
