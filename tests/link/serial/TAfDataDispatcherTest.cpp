#include "link/serial/TAfDataDispatcher.h"

#include "PseudoTerminal.h"
#include "foundation/EventLoop.h"
#include "link/serial/AfSafeSync.h"
#include "link/serial/TAfComPort.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

std::vector<std::uint8_t> PeekAll(TAfDataDispatcher& d)
{
    std::vector<std::uint8_t> bytes(1 << 16);
    bytes.resize(static_cast<std::size_t>(d.Peek(bytes.data(), static_cast<std::int32_t>(bytes.size()))));
    return bytes;
}

} // namespace

// Each pass shows the same bytes to the dispatcher's own handler and then
// to every client, on the main thread; the largest count taken leaves the ring.
TEST(TAfDataDispatcherTest, ReceivedBytesReachTheHandlersAndClients)
{
    PseudoTerminal pty(61);
    TAfComPort port;
    port.SetComNumber(61);
    TAfDataDispatcher dispatcher(4096);
    dispatcher.Link(&port);
    EXPECT_EQ(port.Dispatcher(), &dispatcher);

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
    dispatcher.OnData = handler(own, true);
    dispatcher.Clients = {handler(client0, false), handler(client1, false)};
    bool portEventFired = false;
    port.OnDataRecived = [&](TAfCustomSerialPort*, std::int32_t) { portEventFired = true; };

    port.Open();
    const auto sent = Pattern(3000, 6);
    ASSERT_TRUE(pty.Send(sent));
    ASSERT_TRUE(PumpUntil([&] { return own.size() >= sent.size(); }));
    PumpFor(100);
    EXPECT_EQ(own, sent);
    EXPECT_EQ(client0, sent);
    EXPECT_EQ(client1, sent);
    EXPECT_TRUE(PeekAll(dispatcher).empty());
    EXPECT_EQ(dispatcher.TotalReceived(), sent.size());
    EXPECT_TRUE(onMain);
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ((std::vector<int>(order.begin(), order.begin() + 3)), (std::vector<int>{-1, 0, 1}));
    EXPECT_FALSE(portEventFired); // the dispatcher took the bytes instead
}

// A ring too small for what comes: the port hands over only what fits and
// keeps the rest in its input queue until the handlers have made room.
TEST(TAfDataDispatcherTest, WhatDoesNotFitWaitsInThePort)
{
    PseudoTerminal pty(62);
    TAfComPort port;
    port.SetComNumber(62);
    TAfDataDispatcher dispatcher(16);
    dispatcher.Link(&port);
    std::vector<std::uint8_t> got;
    dispatcher.OnData = [&](TAfDataDispatcher& d, int) {
        std::uint8_t buf[16];
        const std::int32_t n = d.Peek(buf, 5); // slower than the bytes come
        got.insert(got.end(), buf, buf + n);
        d.Take(n);
    };
    port.Open();
    const auto sent = Pattern(200, 7);
    ASSERT_TRUE(pty.Send(sent));
    ASSERT_TRUE(PumpUntil([&] { return got.size() >= sent.size(); }, 10000)) << got.size();
    EXPECT_EQ(got, sent);

    const auto tooMuch = Pattern(17, 8);
    EXPECT_THROW(dispatcher.Data(tooMuch.data(), 17), EAfDispatcherError);
    try {
        dispatcher.Data(tooMuch.data(), 17);
    } catch (const EAfDispatcherError& e) {
        EXPECT_STREQ(e.what(), "Error writing to dispatcher buffer");
    }
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

TEST(TAfDataDispatcherTest, CloseDoesNotWaitForADeliveryInFlight)
{
    PseudoTerminal pty(65);
    TAfComPort port;
    port.SetComNumber(65);
    TAfDataDispatcher dispatcher;
    dispatcher.Link(&port);
    bool delivered = false;
    dispatcher.OnData = [&](TAfDataDispatcher&, int) { delivered = true; };
    port.Open();
    const auto sentBefore = AfSyncStatistics().CallsSent;
    ASSERT_TRUE(pty.Send(Pattern(10, 9)));
    const auto deadline = Clock::now() + 2s;
    while (AfSyncStatistics().CallsSent == sentBefore && Clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    ASSERT_GT(AfSyncStatistics().CallsSent, sentBefore);
    const auto start = Clock::now();
    port.Close();
    EXPECT_LT(Clock::now() - start, 100ms);
    PumpFor(200);
    EXPECT_FALSE(delivered);
}
