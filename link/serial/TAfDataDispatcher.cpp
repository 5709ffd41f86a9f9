#include "link/serial/TAfDataDispatcher.h"

#include "link/serial/AfSafeSync.h"
#include "link/serial/TAfDataDispConnComponent.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int HandOffTimeoutMs = 2000;

struct DeliveryArgs {
    int kind;
    int client;
};

} // namespace

TAfDataDispatcher::TAfDataDispatcher(std::int32_t ringSize)
    : ring_(std::make_unique<TAfCircularBuffer>(ringSize))
{
    syncId_ = AfAllocateSyncHandle([this](int, const std::any& args) {
        const auto& a = std::any_cast<const DeliveryArgs&>(args);
        RunHandler(a.kind, a.client);
    });
    AfEnableSyncHandle(syncId_, true);
}

TAfDataDispatcher::~TAfDataDispatcher()
{
    Link(nullptr);
    AfReleaseSyncHandle(syncId_);
}

void TAfDataDispatcher::Link(TAfDataDispConnComponent* component)
{
    if (component == component_)
        return;
    // First, so that a worker thread waiting for a delivery lets go of the link.
    CloseNotice();
    if (component_) {
        std::lock_guard guard(component_->linkLock_);
        component_->dispatcher_ = nullptr;
    }
    if (component) {
        if (component->dispatcher_)
            component->dispatcher_->Link(nullptr);
        std::lock_guard guard(component->linkLock_);
        component->dispatcher_ = this;
    }
    component_ = component;
}

void TAfDataDispatcher::CloseNotice()
{
    active_ = false;
    // Deliveries in flight are dropped, so the port's close never waits for them.
    AfEnableSyncHandle(syncId_, false);
    {
        std::lock_guard guard(lock_);
        // Emptied rather than freed: the port may open again and deliver more.
        ring_->Clear();
        pending_ = 0;
    }
    if (OnClose)
        OnClose();
}

void TAfDataDispatcher::OpenNotice()
{
    AfEnableSyncHandle(syncId_, true);
    if (OnOpen)
        OnOpen();
}

std::int32_t TAfDataDispatcher::RingFree() const
{
    std::lock_guard guard(lock_);
    return ring_->BufFree();
}

void TAfDataDispatcher::Data(const void* buf, std::int32_t count)
{
    if (count <= 0)
        return;
    {
        std::lock_guard guard(lock_);
        if (!ring_->Write(buf, count))
            throw EAfDispatcherError("Error writing to dispatcher buffer");
        total_ += static_cast<std::uint64_t>(count);
        pending_ |= 1u << KindData;
    }
    Deliver();
}

void TAfDataDispatcher::OutputFree()
{
    {
        std::lock_guard guard(lock_);
        pending_ |= 1u << KindOutputFree;
    }
    Deliver();
}

std::int32_t TAfDataDispatcher::Peek(void* buf, std::int32_t count) const
{
    std::lock_guard guard(lock_);
    return ring_->Peek(buf, count);
}

void TAfDataDispatcher::Take(std::int32_t count)
{
    std::int32_t seen = taken_.load();
    while (count > seen && !taken_.compare_exchange_weak(seen, count)) {
    }
}

std::uint64_t TAfDataDispatcher::TotalReceived() const
{
    std::lock_guard guard(lock_);
    return total_;
}

void TAfDataDispatcher::Deliver()
{
    if (busy_.exchange(true))
        return;
    active_ = true;
    const int clients = static_cast<int>(Clients.size());
    for (;;) {
        unsigned pending;
        {
            // Taken whole: what is marked during the passes comes in the next round.
            std::lock_guard guard(lock_);
            pending = std::exchange(pending_, 0u);
        }
        if (!pending)
            break;
        for (int kind = KindData; kind <= KindOther; ++kind) {
            if (!(pending & (1u << kind)))
                continue;
            taken_ = 0;
            for (int index = -1; index < clients; ++index) {
                // The own handler is skipped only for data without a data
                // handler: with its ring always present it hears every other kind.
                if (index == -1 && kind == KindData && !OnData)
                    continue;
                if (!AfSyncCall(syncId_, HandOffTimeoutMs, DeliveryArgs{kind, index}) || !active_) {
                    busy_ = false;
                    return;
                }
            }
            std::lock_guard guard(lock_);
            ring_->Remove(std::min(taken_.load(), ring_->BufUsed()));
            // Handlers that took part of the bytes see the rest in another
            // pass, without waiting for more to arrive.
            if (kind == KindData && taken_ > 0 && ring_->BufUsed() > 0)
                pending_ |= 1u << KindData;
        }
    }
    busy_ = false;
}

void TAfDataDispatcher::RunHandler(int kind, int client)
{
    currentClient_ = client;
    Handler handler;
    if (client >= 0) {
        if (client < static_cast<int>(Clients.size()))
            handler = Clients[static_cast<std::size_t>(client)];
    } else if (kind == KindData) {
        handler = OnData;
    } else if (kind == KindOutputFree) {
        handler = OnOutputFree;
    }
    if (handler)
        handler(*this, kind);
}
