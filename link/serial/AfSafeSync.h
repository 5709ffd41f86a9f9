#pragma once
// Runs registered methods on the main thread for worker threads, waiting
// for each call with a time-out. Up to 64 registrations exist at a time,
// each named by an id that is never 0. A registration starts disabled;
// calls reach its method only while it is enabled.
//
// Every call carries its own arguments, so a call that arrives late can
// never run with another call's data; a call that its sender gave up on,
// or whose registration was disabled or released meanwhile, never runs.
#include <any>
#include <cstdint>
#include <functional>

// Runs on the main thread with the slot's number (1 to 64) and the call's arguments.
using TAfSyncMethod = std::function<void(int slot, const std::any& args)>;

// Registers `method`, disabled. The new id, or 0 when all 64 slots are taken.
std::uint32_t AfAllocateSyncHandle(TAfSyncMethod method);
// Frees the registration; calls in flight for it are dropped. False when no slot holds `id`.
bool AfReleaseSyncHandle(std::uint32_t id);
// Enables or disables the registration. Disabling drops its calls in flight
// and releases their senders at once. False when no slot holds `id`.
bool AfEnableSyncHandle(std::uint32_t id, bool enable);
// Runs the registration's method with `args` on the main thread and waits
// up to `timeoutMs` for it (on the main thread itself it runs at once). A
// call not started within the time-out is dropped. True when the
// registration is still live (held and enabled) afterwards, whether or not
// the call ran in time; false at once when it is not live.
bool AfSyncCall(std::uint32_t id, int timeoutMs, std::any args = {});

// Counters kept for diagnosis.
struct TAfSyncStatistics {
    std::uint64_t CallsSent = 0;
    std::uint64_t CallsFailed = 0;  // timed out or dropped
    std::uint64_t UnknownIds = 0;   // delivered for a slot that was gone
};
TAfSyncStatistics AfSyncStatistics();

// For tests: the id counter (the next id is this plus one, skipping 0).
void AfSetSyncIdCounter(std::uint32_t value);
