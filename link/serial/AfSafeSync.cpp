#include "link/serial/AfSafeSync.h"

#include "foundation/EventLoop.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace {

constexpr int SlotCount = 64;

struct Call {
    enum State { Pending, Running, Done, Dropped };
    std::uint32_t id;
    std::any args;
    State state = Pending;
    bool released = false; // its sender no longer waits
};

struct Slot {
    bool enabled = false;
    TAfSyncMethod method;
    std::uint32_t id = 0;
    std::vector<std::shared_ptr<Call>> inFlight; // calls sent from other threads
};

struct Table {
    std::mutex lock; // everything below
    std::condition_variable changed;
    Slot slots[SlotCount];
    int allocated = 0;
    std::uint32_t idCounter = 0;
    TAfSyncStatistics stats;
};

Table& TheTable()
{
    static Table table;
    return table;
}

Slot* FindSlot(Table& t, std::uint32_t id)
{
    if (id == 0)
        return nullptr;
    for (Slot& s : t.slots)
        if (s.id == id && s.method)
            return &s;
    return nullptr;
}

bool Live(Table& t, std::uint32_t id)
{
    const Slot* s = FindSlot(t, id);
    return s && s->enabled;
}

// Drops the slot's calls that have not started and lets all their senders go.
void ReleaseSenders(Table& t, Slot& s)
{
    for (auto& call : s.inFlight) {
        if (call->state == Call::Pending)
            call->state = Call::Dropped;
        call->released = true;
    }
    s.inFlight.clear();
    t.changed.notify_all();
}

// On the main thread.
void RunCall(const std::shared_ptr<Call>& call)
{
    Table& t = TheTable();
    std::unique_lock guard(t.lock);
    if (call->state != Call::Pending)
        return; // given up on, or dropped with its registration
    Slot* s = FindSlot(t, call->id);
    if (!s) {
        ++t.stats.UnknownIds;
        call->state = Call::Dropped;
        t.changed.notify_all();
        return;
    }
    if (!s->enabled) {
        call->state = Call::Dropped;
        t.changed.notify_all();
        return;
    }
    call->state = Call::Running;
    const TAfSyncMethod method = s->method;
    const int number = static_cast<int>(s - t.slots) + 1;
    guard.unlock();
    try {
        method(number, call->args);
    } catch (...) {
        HandleException(std::current_exception());
    }
    guard.lock();
    call->state = Call::Done;
    t.changed.notify_all();
}

} // namespace

std::uint32_t AfAllocateSyncHandle(TAfSyncMethod method)
{
    if (!method)
        return 0;
    Table& t = TheTable();
    std::lock_guard guard(t.lock);
    for (Slot& s : t.slots) {
        if (s.method)
            continue;
        // Never 0, and never one still held (possible only after a wrap-around).
        do {
            if (++t.idCounter == 0)
                t.idCounter = 1;
        } while (FindSlot(t, t.idCounter));
        s.enabled = false;
        s.method = std::move(method);
        s.id = t.idCounter;
        ++t.allocated;
        return s.id;
    }
    return 0;
}

bool AfReleaseSyncHandle(std::uint32_t id)
{
    Table& t = TheTable();
    std::lock_guard guard(t.lock);
    Slot* s = FindSlot(t, id);
    if (!s)
        return false;
    ReleaseSenders(t, *s);
    s->enabled = false;
    s->method = nullptr;
    s->id = 0;
    --t.allocated;
    return true;
}

bool AfEnableSyncHandle(std::uint32_t id, bool enable)
{
    Table& t = TheTable();
    std::lock_guard guard(t.lock);
    Slot* s = FindSlot(t, id);
    if (!s)
        return false;
    s->enabled = enable;
    if (!enable)
        ReleaseSenders(t, *s);
    return true;
}

bool AfSyncCall(std::uint32_t id, int timeoutMs, std::any args)
{
    Table& t = TheTable();
    std::unique_lock guard(t.lock);
    Slot* s = FindSlot(t, id);
    if (!s || !s->enabled)
        return false;
    ++t.stats.CallsSent;
    auto call = std::make_shared<Call>();
    call->id = id;
    call->args = std::move(args);

    if (IsMainThread()) {
        // Sent from the main thread itself: run it now, as a window runs a
        // message sent from its own thread.
        guard.unlock();
        RunCall(call);
        guard.lock();
        return Live(t, id);
    }

    s->inFlight.push_back(call);
    guard.unlock();
    PostToMainThread([call] { RunCall(call); });
    guard.lock();
    const bool finished = t.changed.wait_for(guard, std::chrono::milliseconds(std::max(timeoutMs, 0)), [&] {
        return call->state == Call::Done || call->state == Call::Dropped || call->released;
    });
    if (!finished && call->state == Call::Pending)
        call->state = Call::Dropped; // too late now: it must never run
    if (call->state == Call::Dropped || (!finished && call->state != Call::Done))
        ++t.stats.CallsFailed;
    if (Slot* owner = FindSlot(t, id))
        std::erase(owner->inFlight, call);
    return Live(t, id);
}

TAfSyncStatistics AfSyncStatistics()
{
    Table& t = TheTable();
    std::lock_guard guard(t.lock);
    return t.stats;
}

void AfSetSyncIdCounter(std::uint32_t value)
{
    Table& t = TheTable();
    std::lock_guard guard(t.lock);
    t.idCounter = value;
}
