#include "link/serial/AfSafeSync.h"

#include "PseudoTerminal.h"
#include "foundation/EventLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// A registration that records what ran, and where. Its method runs only on
// the main thread, which alone reads what it recorded.
struct Recorder {
    std::vector<int> values;
    bool allOnMainThread = true;
    std::uint32_t id = AfAllocateSyncHandle([this](int, const std::any& args) {
        allOnMainThread = allOnMainThread && IsMainThread();
        values.push_back(std::any_cast<int>(args));
    });
    ~Recorder() { AfReleaseSyncHandle(id); }
    const std::vector<int>& Values() const { return values; }
};

} // namespace

TEST(AfSafeSyncTest, WorkerCallsRunOnTheMainThreadInOrderWithTheirOwnData)
{
    Recorder r;
    ASSERT_NE(r.id, 0u);
    ASSERT_TRUE(AfEnableSyncHandle(r.id, true));
    auto worker = std::async(std::launch::async, [&] {
        int live = 0;
        for (int i = 0; i < 50; ++i)
            live += AfSyncCall(r.id, 2000, i) ? 1 : 0;
        return live;
    });
    ASSERT_TRUE(PumpUntil([&] { return worker.wait_for(0s) == std::future_status::ready; }));
    EXPECT_EQ(worker.get(), 50);
    std::vector<int> expected(50);
    for (int i = 0; i < 50; ++i)
        expected[static_cast<std::size_t>(i)] = i;
    EXPECT_EQ(r.Values(), expected);
    EXPECT_TRUE(r.allOnMainThread);
    // Sent from the main thread itself, it runs at once.
    EXPECT_TRUE(AfSyncCall(r.id, 2000, 50));
    EXPECT_EQ(r.Values().back(), 50);
}

TEST(AfSafeSyncTest, ACallThatTimedOutNeverRunsLater)
{
    Recorder r;
    AfEnableSyncHandle(r.id, true);
    const auto failedBefore = AfSyncStatistics().CallsFailed;
    // The main thread lets no events run while the first call waits.
    auto first = std::async(std::launch::async, [&] { return AfSyncCall(r.id, 100, 1); });
    ASSERT_EQ(first.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(first.get()); // the registration is still live: the time-out is only counted
    EXPECT_EQ(AfSyncStatistics().CallsFailed, failedBefore + 1);

    auto second = std::async(std::launch::async, [&] { return AfSyncCall(r.id, 2000, 2); });
    ASSERT_TRUE(PumpUntil([&] { return second.wait_for(0s) == std::future_status::ready; }));
    PumpFor(50);
    EXPECT_EQ(r.Values(), std::vector<int>{2});
}

TEST(AfSafeSyncTest, Registrations)
{
    // Ids go on at 1 after the largest one.
    AfSetSyncIdCounter(0xFFFFFFFEu);
    const auto last = AfAllocateSyncHandle([](int, const std::any&) {});
    const auto wrapped = AfAllocateSyncHandle([](int, const std::any&) {});
    EXPECT_EQ(last, 0xFFFFFFFFu);
    EXPECT_EQ(wrapped, 1u);
    EXPECT_TRUE(AfReleaseSyncHandle(last));
    EXPECT_FALSE(AfReleaseSyncHandle(last));
    EXPECT_FALSE(AfEnableSyncHandle(last, true));
    EXPECT_TRUE(AfReleaseSyncHandle(wrapped));

    // 64 slots at most; then 0, which names no registration.
    std::vector<std::uint32_t> ids;
    for (;;) {
        const auto id = AfAllocateSyncHandle([](int, const std::any&) {});
        if (id == 0)
            break;
        ids.push_back(id);
        ASSERT_LE(ids.size(), 64u);
    }
    EXPECT_GE(ids.size(), 60u);
    EXPECT_FALSE(AfEnableSyncHandle(0, true));
    EXPECT_FALSE(AfSyncCall(0, 10));
    for (auto id : ids)
        EXPECT_TRUE(AfReleaseSyncHandle(id));
    const auto again = AfAllocateSyncHandle([](int, const std::any&) {});
    EXPECT_NE(again, 0u);

    // After a wrap-around, ids still held are skipped.
    AfSetSyncIdCounter(again - 1);
    const auto next = AfAllocateSyncHandle([](int, const std::any&) {});
    EXPECT_EQ(next, again + 1);
    AfReleaseSyncHandle(again);
    AfReleaseSyncHandle(next);
}

// What the Qt layer does: calls travel through an installed poster and run
// when the installed pump runs; a waiting loop wakes when one is posted.
TEST(AfSafeSyncTest, CallsTravelThroughAnInstalledPosterAndPump)
{
    std::mutex lock;
    std::vector<std::function<void()>> foreignQueue;
    int pumped = 0;
    SetMainThreadPoster([&](std::function<void()> call) {
        std::lock_guard guard(lock);
        foreignQueue.push_back(std::move(call));
    });
    SetEventPump([&] {
        ++pumped;
        std::vector<std::function<void()>> calls;
        {
            std::lock_guard guard(lock);
            calls.swap(foreignQueue);
        }
        for (auto& call : calls)
            call();
    });
    Recorder r;
    AfEnableSyncHandle(r.id, true);
    auto worker = std::async(std::launch::async, [&] {
        std::this_thread::sleep_for(50ms);
        return AfSyncCall(r.id, 2000, 5);
    });
    // One long wait: it must end early because a call was posted.
    const auto start = Clock::now();
    WaitForPendingEvents(3000);
    EXPECT_LT(Clock::now() - start, 1500ms);
    ASSERT_TRUE(PumpUntil([&] { return worker.wait_for(0s) == std::future_status::ready; }));
    EXPECT_TRUE(worker.get());
    EXPECT_EQ(r.Values(), std::vector<int>{5});
    EXPECT_GE(pumped, 1);

    // A call posted after the last pump but before the wait starts is
    // waiting in the poster's queue: the wait must not sleep over it.
    bool ran = false;
    std::thread([&] { PostToMainThread([&] { ran = true; }); }).join();
    const auto again = Clock::now();
    WaitForPendingEvents(3000);
    EXPECT_LT(Clock::now() - again, 1500ms);
    EXPECT_TRUE(ran);
    SetEventPump(nullptr);
    SetMainThreadPoster(nullptr);
}
