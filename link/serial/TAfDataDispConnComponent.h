#pragma once
// Base of the serial port: a component that can be linked to one data
// dispatcher. The port calls the notices below on open and close; with no
// dispatcher linked each returns at once.
#include <mutex>

class TAfDataDispatcher;

class TAfDataDispConnComponent {
public:
    TAfDataDispConnComponent() = default;
    virtual ~TAfDataDispConnComponent(); // unlinks itself from the dispatcher
    TAfDataDispConnComponent(const TAfDataDispConnComponent&) = delete;
    TAfDataDispConnComponent& operator=(const TAfDataDispConnComponent&) = delete;

    TAfDataDispatcher* Dispatcher() const { return dispatcher_; }

protected:
    // The port's close calls this first: the dispatcher stops delivering
    // and frees the ring it owns.
    void DispatcherCloseNotice();
    // The port's open calls this last.
    void DispatcherOpenNotice();
    // Held by a worker thread while it uses the dispatcher; the link
    // changes only under it, so a dispatcher is never used after it left.
    std::mutex& DispatcherLinkLock() { return linkLock_; }

private:
    friend class TAfDataDispatcher; // TAfDataDispatcher::Link sets the link
    TAfDataDispatcher* dispatcher_ = nullptr;
    std::mutex linkLock_;
};
