#include "link/serial/AfSafeSync.h"

#include "PseudoTerminal.h"
#include "foundation/EventLoop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <mutex>
#include <numeric>
#include <thread>
#include <utility>
#include <vector>

using namespace std::chrono_literals;

namespace {

// An enabled registration that records what ran, and where. Its method runs
// only on the main thread, which alone reads what it recorded.
struct Recorder {
    std::vector<int> values;
    bool allOnMainThread = true;
    std::uint32_t id = AfAllocateSyncHandle([this](int, const std::any& args) {
        allOnMainThread = allOnMainThread && IsMainThread();
        values.push_back(std::any_cast<int>(args));
    });
    Recorder() { AfEnableSyncHandle(id, true); }
    ~Recorder() { AfReleaseSyncHandle(id); }
};

std::uint32_t Allocate()
{
    return AfAllocateSyncHandle([](int, const std::any&) {});
}

// Lets events run until `worker` is done; its result.
template <class T>
T Finish(std::future<T>& worker)
{
    EXPECT_TRUE(PumpUntil([&] { return worker.wait_for(0s) == std::future_status::ready; }));
    return worker.get();
}

} // namespace

TEST(AfSafeSyncTest, WorkerCallsRunOnTheMainThreadInOrderWithTheirOwnDataOrNever)
{
    Recorder r;
    const auto failedBefore = AfSyncStatistics().CallsFailed;
    // The main thread lets no events run while this call waits: it times out,
    // is counted, and never runs later (the registration stays live).
    auto late = std::async(std::launch::async, [&] { return AfSyncCall(r.id, 100, -1); });
    ASSERT_EQ(late.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(late.get());
    EXPECT_EQ(AfSyncStatistics().CallsFailed, failedBefore + 1);
    auto worker = std::async(std::launch::async, [&] {
        int live = 0;
        for (int i = 0; i < 50; ++i)
            live += AfSyncCall(r.id, 2000, i) ? 1 : 0;
        return live;
    });
    EXPECT_EQ(Finish(worker), 50);
    PumpFor(50);
    // Sent from the main thread itself, a call runs at once.
    EXPECT_TRUE(AfSyncCall(r.id, 2000, 50));
    std::vector<int> expected(51);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(r.values, expected);
    EXPECT_TRUE(r.allOnMainThread);
}

TEST(AfSafeSyncTest, Registrations)
{
    // Ids go on at 1 after the largest one; a released id is gone.
    AfSetSyncIdCounter(0xFFFFFFFEu);
    const auto last = Allocate();
    const auto wrapped = Allocate();
    EXPECT_EQ(last, 0xFFFFFFFFu);
    EXPECT_EQ(wrapped, 1u);
    EXPECT_TRUE(AfReleaseSyncHandle(last));
    EXPECT_FALSE(AfReleaseSyncHandle(last));
    EXPECT_FALSE(AfEnableSyncHandle(last, true));
    EXPECT_TRUE(AfReleaseSyncHandle(wrapped));

    // 64 slots at most; then 0, which names no registration.
    std::vector<std::uint32_t> ids;
    for (auto id = Allocate(); id != 0 && ids.size() <= 64; id = Allocate())
        ids.push_back(id);
    EXPECT_GE(ids.size(), 60u);
    EXPECT_LE(ids.size(), 64u);
    EXPECT_FALSE(AfEnableSyncHandle(0, true));
    EXPECT_FALSE(AfSyncCall(0, 10));
    for (auto id : ids)
        EXPECT_TRUE(AfReleaseSyncHandle(id));

    // After a wrap-around, ids still held are skipped.
    const auto held = Allocate();
    ASSERT_NE(held, 0u);
    AfSetSyncIdCounter(held - 1);
    const auto next = Allocate();
    EXPECT_EQ(next, held + 1);
    AfReleaseSyncHandle(held);
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
        std::unique_lock guard(lock);
        auto calls = std::exchange(foreignQueue, {});
        guard.unlock();
        for (auto& call : calls)
            call();
    });
    // A long wait must end early once a call is posted: here from a worker
    // while the wait runs, then before the wait starts (the call is already
    // waiting in the poster's queue, and the wait must not sleep over it).
    Recorder r;
    auto worker = std::async(std::launch::async, [&] {
        std::this_thread::sleep_for(50ms);
        return AfSyncCall(r.id, 2000, 5);
    });
    const auto start = std::chrono::steady_clock::now();
    WaitForPendingEvents(3000);
    EXPECT_TRUE(Finish(worker));
    EXPECT_EQ(r.values, std::vector<int>{5});
    EXPECT_GE(pumped, 1);
    bool ran = false;
    std::thread([&] { PostToMainThread([&] { ran = true; }); }).join();
    WaitForPendingEvents(3000);
    EXPECT_TRUE(ran);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3000ms) << "a wait slept over a posted call";
    SetEventPump(nullptr);
    SetMainThreadPoster(nullptr);
}
