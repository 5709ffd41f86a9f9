#pragma once
// A data dispatcher: collects a port's received bytes in its own ring and
// hands them and the port's "output free" notices to its own handlers and
// to its clients, on the main thread. The port feeds it from its event
// thread (Data, OutputFree) once linked.
#include "link/serial/TAfCircularBuffer.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

class TAfDataDispConnComponent;

class EAfDispatcherError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TAfDataDispatcher {
public:
    // Pending notification kinds.
    static constexpr int KindData = 0;
    static constexpr int KindOutputFree = 1;
    static constexpr int KindOther = 2;

    // A handler runs on the main thread for one kind; for KindData it looks
    // at the ring with Peek and reports what it consumed with Take.
    using Handler = std::function<void(TAfDataDispatcher& sender, int kind)>;

    explicit TAfDataDispatcher(std::int32_t ringSize = 4096);
    virtual ~TAfDataDispatcher(); // unlinks the component

    // Links `component` (nullptr unlinks): the old one gets the close
    // notice and loses its link.
    void Link(TAfDataDispConnComponent* component);
    TAfDataDispConnComponent* Component() const { return component_; }

    // Event thread: appends received bytes and delivers them. Raises
    // "Error writing to dispatcher buffer" when they do not fit.
    void Data(const void* buf, std::int32_t count);
    // Event thread: the port's output queue drained.
    void OutputFree();
    // Free bytes of the ring: the port passes no more than this.
    std::int32_t RingFree() const;

    // For handlers, on the main thread during a delivery.
    std::int32_t Peek(void* buf, std::int32_t count) const;
    void Take(std::int32_t count); // the pass removes the largest count taken
    int CurrentClient() const { return currentClient_; } // -1 for the dispatcher's own handler
    // Clients and handlers may change only while no port is linked or open.

    bool Active() const { return active_.load(); }
    std::uint64_t TotalReceived() const;

    Handler OnData;        // the dispatcher's own handlers
    Handler OnOutputFree;
    std::vector<Handler> Clients; // each client's handler, all kinds
    std::function<void()> OnOpen;  // open and close notices of the linked port
    std::function<void()> OnClose;

private:
    friend class TAfDataDispConnComponent;
    void CloseNotice();
    void OpenNotice();
    void Deliver();
    void RunHandler(int kind, int client);

    TAfDataDispConnComponent* component_ = nullptr;
    std::atomic<bool> active_{false};
    mutable std::mutex lock_; // ring, pending kinds, total
    std::unique_ptr<TAfCircularBuffer> ring_;
    unsigned pending_ = 0; // bit per kind
    std::uint64_t total_ = 0;
    std::atomic<bool> busy_{false};
    std::atomic<std::int32_t> taken_{0};
    int currentClient_ = -1;
    std::uint32_t syncId_ = 0;
};
