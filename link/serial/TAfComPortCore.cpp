#include "link/serial/TAfComPortCore.h"

#include "foundation/EventLoop.h"
#include "link/serial/AfUtils.h"
#include "link/serial/PortMap.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

// How often the event thread looks at the modem lines and error counters,
// and how long it waits before reporting bytes that nobody has taken.
constexpr int IdleMs = 200;
constexpr auto ThreadStartLimit = std::chrono::milliseconds(3000);

std::string Format(const char* pattern, int n)
{
    char text[96];
    std::snprintf(text, sizeof text, pattern, n);
    return text;
}

// Asks for the priority; the system may refuse (raising a priority needs
// privileges), and a refusal changes nothing about how the port works.
void ApplyPriority(pthread_t thread, pid_t tid, TThreadPriority p)
{
    sched_param param{};
    if (p == tpTimeCritical) {
        param.sched_priority = sched_get_priority_min(SCHED_FIFO);
        if (pthread_setschedparam(thread, SCHED_FIFO, &param) == 0)
            return;
        // Refused: the best an ordinary thread can have.
        setpriority(PRIO_PROCESS, static_cast<id_t>(tid), -20);
        return;
    }
    pthread_setschedparam(thread, SCHED_OTHER, &param);
    static constexpr int niceness[] = {19, 10, 5, 0, -5, -10};
    setpriority(PRIO_PROCESS, static_cast<id_t>(tid), niceness[p]);
}

void Signal(int eventFd)
{
    if (eventFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(eventFd, &one, sizeof one);
    }
}

void Drain(int eventFd)
{
    std::uint64_t value;
    [[maybe_unused]] ssize_t n = ::read(eventFd, &value, sizeof value);
}

} // namespace

// A one-shot flag that a starting thread raises once its loop is ready.
struct TAfComPortCore::StartLatch {
    std::mutex lock;
    std::condition_variable cv;
    bool started = false;
    void Set()
    {
        std::lock_guard guard(lock);
        started = true;
        cv.notify_all();
    }
    bool Wait()
    {
        std::unique_lock guard(lock);
        return cv.wait_for(guard, ThreadStartLimit, [&] { return started; });
    }
};

TAfComPortCore::TAfComPortCore()
{
    dcb_.DCBlength = DCB_Length;
}

TAfComPortCore::~TAfComPortCore()
{
    CloseComPort();
}

std::string TAfComPortCore::DeviceName() const
{
    return "COM" + std::to_string(comNumber_);
}

bool TAfComPortCore::OpenComPort(int n)
{
    if (port_.IsOpen())
        return false;
    if (n < 1)
        throw EAfComPortCoreError(Format("Invalid port number (COM%d)", n));
    comNumber_ = n;
    OpenDevice();
    return true;
}

void TAfComPortCore::OpenDevice()
{
    switch (port_.Open(ComDevicePath(comNumber_))) {
    case PosixPort::Opened: break;
    case PosixPort::Missing: throw EAfComPortCoreError(Format("Invalid port number (COM%d)", comNumber_));
    case PosixPort::CannotOpen: throw EAfComPortCoreError(Format("Can't open device COM%d", comNumber_));
    }
    try {
        if (!port_.SetRawMode())
            throw EAfComPortCoreError("Error setting timeouts");
        if (inBufSize_ < 1 || outBufSize_ < 1)
            throw EAfComPortCoreError("Error initializing buffers");
        try {
            inQueue_ = std::make_unique<TAfCircularBuffer>(inBufSize_);
            outQueue_ = std::make_unique<TAfCircularBuffer>(outBufSize_);
        } catch (const std::bad_alloc&) {
            throw EAfComPortCoreError("Error initializing buffers");
        }
        if (!port_.ApplyDCB(dcb_)) {
            dcb_ = port_.ReadDCB();
            throw EAfComPortCoreError("Error setting parameters from DCB");
        }
        errors_ = 0;
        lost_ = false;
        StartThreads();
    } catch (...) {
        CloseComPort();
        throw;
    }
}

void TAfComPortCore::StartThreads()
{
    eventWake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    writeWake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (eventWake_ < 0 || writeWake_ < 0)
        throw EAfComPortCoreError("Error creating threads");
    stop_ = false;
    outputEmpty_ = false;
    lastModemLines_ = port_.ModemLines();
    haveIcount_ = port_.ErrorCounts(lastIcount_);

    auto start = [&](std::thread& thread, auto run) {
        auto latch = std::make_shared<StartLatch>();
        try {
            thread = std::thread([this, latch, run] {
                (this->*run)(*latch);
            });
        } catch (const std::system_error&) {
            throw EAfComPortCoreError("Error creating threads");
        }
        if (!latch->Wait())
            throw EAfComPortCoreError("Error creating threads");
    };
    start(writeThread_, &TAfComPortCore::WriteThreadRun);
    active_ = true;
    start(eventThread_, &TAfComPortCore::EventThreadRun);
    opened_ = true;
}

void TAfComPortCore::CloseComPort()
{
    if (!port_.IsOpen()) {
        opened_ = false;
        return;
    }
    active_ = false;
    {
        std::lock_guard guard(commLock_);
        port_.Purge();
    }
    // The comm lock is not held here: the event thread takes it on its way out.
    StopThreads();
    inQueue_.reset();
    outQueue_.reset();
    port_.Close();
    SafeCloseHandle(eventWake_);
    SafeCloseHandle(writeWake_);
    opened_ = false;
    lost_ = false;
}

void TAfComPortCore::StopThreads()
{
    stop_ = true;
    Signal(writeWake_);
    if (writeThread_.joinable())
        writeThread_.join();
    Signal(eventWake_);
    if (eventThread_.joinable())
        eventThread_.join();
}

void TAfComPortCore::SetDCB(const TAfDCB& dcb)
{
    dcb_ = dcb;
    if (active_) {
        std::lock_guard guard(commLock_);
        if (!port_.ApplyDCB(dcb_))
            throw EAfComPortCoreError("Error setting parameters from DCB");
    }
}

void TAfComPortCore::SetEventThreadPriority(TThreadPriority p)
{
    eventPriority_ = p;
    std::lock_guard guard(threadIdsLock_);
    if (active_ && eventTid_ != 0)
        ApplyPriority(eventThread_.native_handle(), eventTid_, p);
}

void TAfComPortCore::SetWriteThreadPriority(TThreadPriority p)
{
    writePriority_ = p;
    std::lock_guard guard(threadIdsLock_);
    if (active_ && writeTid_ != 0)
        ApplyPriority(writeThread_.native_handle(), writeTid_, p);
}

std::int32_t TAfComPortCore::ReadData(void* buf, std::int32_t count)
{
    if (!active_)
        return -1;
    bool wasFull;
    std::int32_t n;
    {
        std::lock_guard guard(commLock_);
        wasFull = inQueue_->BufFree() == 0;
        n = inQueue_->Read(buf, count);
    }
    if (wasFull && n > 0)
        Signal(eventWake_); // it stopped reading the device while the queue was full
    return n;
}

bool TAfComPortCore::WriteData(const void* buf, std::int32_t count)
{
    if (!active_ || lost_)
        return false;
    bool queued;
    {
        std::lock_guard guard(writeLock_);
        queued = outQueue_->Write(buf, count);
    }
    if (queued)
        Signal(writeWake_);
    return queued;
}

std::int32_t TAfComPortCore::OutBufFree()
{
    if (!active_)
        return 0;
    std::lock_guard guard(writeLock_);
    return outQueue_->BufFree();
}

void TAfComPortCore::ComError(TAfComStat& stat)
{
    stat = TAfComStat{};
    if (!active_)
        return;
    {
        std::lock_guard guard(commLock_);
        stat.cbInQue = static_cast<std::uint32_t>(inQueue_->BufUsed());
    }
    std::lock_guard guard(writeLock_);
    stat.cbOutQue = static_cast<std::uint32_t>(outQueue_->BufUsed());
}

std::uint32_t TAfComPortCore::TakeErrors()
{
    if (!active_)
        return 0;
    std::lock_guard guard(commLock_);
    return std::exchange(errors_, 0);
}

bool TAfComPortCore::LineFunction(std::uint32_t code)
{
    if (!active_)
        return false;
    std::lock_guard guard(commLock_);
    switch (code) {
    case SETDTR: return port_.SetLine(TIOCM_DTR, true);
    case CLRDTR: return port_.SetLine(TIOCM_DTR, false);
    case SETRTS: return port_.SetLine(TIOCM_RTS, true);
    case CLRRTS: return port_.SetLine(TIOCM_RTS, false);
    default: return false;
    }
}

void TAfComPortCore::MarkLost()
{
    lost_ = true;
    Signal(eventWake_);
}

void TAfComPortCore::RaiseEvent(const TAfCPTCoreEventMethod& method, std::uint32_t kind, std::uint32_t data,
                                std::exception_ptr error)
{
    if (!method || stop_)
        return;
    try {
        method(*this, kind, data, error);
    } catch (...) {
        if (kind == CoreEventException) {
            // Nobody took the report: let the application see it.
            PostToMainThread([e = std::current_exception()] { HandleException(e); });
            return;
        }
        RaiseEvent(method, CoreEventException, 0, std::current_exception());
    }
}

bool TAfComPortCore::ReadDeviceIntoQueue(bool& failed)
{
    std::uint8_t chunk[4096];
    bool any = false;
    std::lock_guard guard(commLock_);
    for (;;) {
        const std::int32_t room = inQueue_->BufFree();
        if (room == 0)
            break;
        const ssize_t n = port_.Read(chunk, std::min<std::size_t>(room, sizeof chunk));
        if (n < 0) {
            failed = true; // EIO and the like: the device is gone
            break;
        }
        if (n == 0)
            break; // nothing more waiting (VMIN = VTIME = 0)
        inQueue_->Write(chunk, static_cast<std::int32_t>(n));
        any = true;
    }
    return any;
}

void TAfComPortCore::PollLineState(std::uint32_t& mask)
{
    const int lines = port_.ModemLines();
    if (lines >= 0 && lastModemLines_ >= 0) {
        const int changed = lines ^ lastModemLines_;
        if (changed & TIOCM_CTS)
            mask |= EV_CTS;
        if (changed & TIOCM_DSR)
            mask |= EV_DSR;
        if (changed & TIOCM_CD)
            mask |= EV_RLSD;
        if ((changed & TIOCM_RNG) && (lines & TIOCM_RNG))
            mask |= EV_RING;
    }
    lastModemLines_ = lines;

    if (!haveIcount_)
        return;
    unsigned counts[4];
    if (!port_.ErrorCounts(counts))
        return;
    static constexpr std::uint32_t bits[4] = {CE_FRAME, CE_OVERRUN, CE_RXPARITY, CE_BREAK};
    std::uint32_t found = 0;
    for (int i = 0; i < 4; ++i) {
        if (counts[i] != lastIcount_[i])
            found |= bits[i];
        lastIcount_[i] = counts[i];
    }
    if (found) {
        std::lock_guard guard(commLock_);
        errors_ |= found;
        mask |= EV_ERR;
    }
}

void TAfComPortCore::EventThreadRun(StartLatch& started)
{
    const TAfCPTCoreEventMethod method = OnCoreEvent; // our own copy: the owner may change its field
    {
        std::lock_guard guard(threadIdsLock_);
        eventTid_ = ::gettid();
        ApplyPriority(pthread_self(), eventTid_, eventPriority_);
    }
    started.Set();

    auto lastLineCheck = Clock::now();
    while (!stop_) {
        bool room;
        {
            std::lock_guard guard(commLock_);
            room = inQueue_->BufFree() > 0;
        }
        pollfd fds[2] = {{eventWake_, POLLIN, 0}, {port_.Handle(), static_cast<short>(room ? POLLIN : 0), 0}};
        const int ready = ::poll(fds, 2, IdleMs);
        if (stop_)
            break;
        if (ready < 0 && errno != EINTR) {
            MarkLost();
        }
        if (ready > 0 && (fds[0].revents & POLLIN))
            Drain(eventWake_);

        if (outputEmpty_.exchange(false))
            RaiseEvent(method, CoreEventOutputEmpty, 0);

        bool failed = (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
        std::uint32_t mask = 0;
        if (room && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) && ReadDeviceIntoQueue(failed))
            mask |= EV_RXCHAR;

        const auto now = Clock::now();
        if (ready == 0 || now - lastLineCheck >= std::chrono::milliseconds(IdleMs)) {
            lastLineCheck = now;
            PollLineState(mask);
        }
        mask &= eventMask_;
        if (mask)
            RaiseEvent(method, CoreEventMask, mask);
        else if (ready == 0) {
            std::int32_t waiting;
            {
                std::lock_guard guard(commLock_);
                waiting = inQueue_->BufUsed();
            }
            if (waiting > 0)
                RaiseEvent(method, CoreEventIdleData, static_cast<std::uint32_t>(waiting));
        }

        if (failed)
            lost_ = true;
        if (lost_) {
            // A hung-up descriptor stays readable for ever: stop watching it.
            RaiseEvent(method, CoreEventPortLost, 0);
            break;
        }
    }
    std::lock_guard guard(threadIdsLock_);
    eventTid_ = 0;
}

void TAfComPortCore::WriteThreadRun(StartLatch& started)
{
    {
        std::lock_guard guard(threadIdsLock_);
        writeTid_ = ::gettid();
        ApplyPriority(pthread_self(), writeTid_, writePriority_);
    }
    started.Set();

    while (!stop_) {
        const std::uint8_t* block;
        std::int32_t length;
        {
            std::lock_guard guard(writeLock_);
            block = outQueue_->ReadPtr();
            length = outQueue_->LinearDataCount();
        }
        if (length == 0 || lost_) {
            pollfd wake = {writeWake_, POLLIN, 0};
            if (::poll(&wake, 1, -1) > 0)
                Drain(writeWake_);
            continue;
        }
        // Outside the lock: the owner only appends behind the block, and the
        // queue is emptied only after this thread has ended.
        const ssize_t n = port_.Write(block, static_cast<std::size_t>(length));
        if (n > 0) {
            bool empty;
            {
                std::lock_guard guard(writeLock_);
                outQueue_->Remove(static_cast<std::int32_t>(n));
                empty = outQueue_->BufUsed() == 0;
            }
            if (empty) {
                outputEmpty_ = true;
                Signal(eventWake_);
            }
        } else if (n == 0) {
            // The device takes nothing now: wait until it does, or until we are stopped.
            pollfd fds[2] = {{writeWake_, POLLIN, 0}, {port_.Handle(), POLLOUT, 0}};
            if (::poll(fds, 2, -1) > 0) {
                if (fds[0].revents & POLLIN)
                    Drain(writeWake_);
                if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL))
                    MarkLost();
            }
        } else {
            MarkLost();
        }
    }
    std::lock_guard guard(threadIdsLock_);
    writeTid_ = 0;
}
