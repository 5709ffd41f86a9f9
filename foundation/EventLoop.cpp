#include "foundation/EventLoop.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>

namespace {

// Static initialisation runs on the thread that starts the program.
const std::thread::id mainThreadId = std::this_thread::get_id();

struct Loop {
    std::mutex lock;
    std::condition_variable posted;
    std::uint64_t postCount = 0; // every post, also those handed to an installed poster
    std::uint64_t pumpedCount = 0; // postCount when the last pump started: later posts may wait
    std::deque<std::function<void()>> queue;
    std::function<void()> pump;
    MainThreadPoster poster;
    std::function<void(std::exception_ptr)> exceptionHandler;
};

Loop& TheLoop()
{
    static Loop loop;
    return loop;
}

void DrainQueue()
{
    Loop& loop = TheLoop();
    // One call at a time, so that a call may itself let events run.
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard guard(loop.lock);
            if (loop.queue.empty())
                return;
            call = std::move(loop.queue.front());
            loop.queue.pop_front();
        }
        try {
            call();
        } catch (...) {
            HandleException(std::current_exception());
        }
    }
}

} // namespace

void ProcessPendingEvents()
{
    std::function<void()> pump;
    {
        std::lock_guard guard(TheLoop().lock);
        pump = TheLoop().pump;
        TheLoop().pumpedCount = TheLoop().postCount;
    }
    if (pump)
        pump();
    // Calls posted before a poster was installed (or with none) wait here.
    DrainQueue();
}

void WaitForPendingEvents(int maxMs)
{
    Loop& loop = TheLoop();
    {
        std::unique_lock guard(loop.lock);
        // An installed poster's queue is invisible here: a call posted since
        // the last pump started may be waiting in it, so only sleep when
        // nothing has been posted since then.
        if (maxMs > 0)
            loop.posted.wait_for(guard, std::chrono::milliseconds(maxMs), [&] {
                return !loop.queue.empty() || loop.postCount != loop.pumpedCount;
            });
    }
    ProcessPendingEvents();
}

void SetEventPump(std::function<void()> pump)
{
    std::lock_guard guard(TheLoop().lock);
    TheLoop().pump = std::move(pump);
}

void PostToMainThread(std::function<void()> call)
{
    Loop& loop = TheLoop();
    MainThreadPoster poster;
    {
        std::lock_guard guard(loop.lock);
        poster = loop.poster;
        if (!poster) {
            loop.queue.push_back(std::move(call));
            ++loop.postCount;
        }
    }
    if (poster) {
        // Counted only once the call is in the poster's queue, so that a
        // waiter woken by the count finds it there.
        poster(std::move(call));
        std::lock_guard guard(loop.lock);
        ++loop.postCount;
    }
    loop.posted.notify_all();
}

void SetMainThreadPoster(MainThreadPoster poster)
{
    std::lock_guard guard(TheLoop().lock);
    TheLoop().poster = std::move(poster);
}

bool IsMainThread()
{
    return std::this_thread::get_id() == mainThreadId;
}

void SetExceptionHandler(std::function<void(std::exception_ptr)> handler)
{
    std::lock_guard guard(TheLoop().lock);
    TheLoop().exceptionHandler = std::move(handler);
}

void HandleException(std::exception_ptr error)
{
    if (!error)
        return;
    std::function<void(std::exception_ptr)> handler;
    {
        std::lock_guard guard(TheLoop().lock);
        handler = TheLoop().exceptionHandler;
    }
    if (handler) {
        handler(error);
        return;
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "unknown exception\n");
    }
}
