#pragma once
// One open serial port: the device, its line settings and two worker
// threads. The event thread reads the device into our input queue and
// reports port events; the write thread drains the output queue into the
// device. Reads and writes are made by the owner's thread (the main thread).
#include "link/serial/PosixPort.h"
#include "link/serial/TAfCircularBuffer.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <sys/types.h>

// Thread priorities, from the idlest to time-critical. Raising a priority
// needs privileges the program usually lacks: it is asked for, and a refusal
// is ignored.
enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// Port event bits (the event mask of kind-1 core events).
constexpr std::uint32_t EV_RXCHAR = 0x1;
constexpr std::uint32_t EV_CTS = 0x8;
constexpr std::uint32_t EV_DSR = 0x10;
constexpr std::uint32_t EV_RLSD = 0x20;
constexpr std::uint32_t EV_ERR = 0x80;
constexpr std::uint32_t EV_RING = 0x100;

// Line error bits, gathered by ComError and handed out by TakeErrors.
constexpr std::uint32_t CE_RXOVER = 0x1;
constexpr std::uint32_t CE_OVERRUN = 0x2;
constexpr std::uint32_t CE_RXPARITY = 0x4;
constexpr std::uint32_t CE_FRAME = 0x8;
constexpr std::uint32_t CE_BREAK = 0x10;

// Line function codes.
constexpr std::uint32_t SETRTS = 3;
constexpr std::uint32_t CLRRTS = 4;
constexpr std::uint32_t SETDTR = 5;
constexpr std::uint32_t CLRDTR = 6;

// Kinds of core events.
constexpr std::uint32_t CoreEventOutputEmpty = 0; // the output queue drained; data 0
constexpr std::uint32_t CoreEventMask = 1;        // port events; data is the event mask
constexpr std::uint32_t CoreEventIdleData = 2;    // 200 ms without events, bytes waiting; data is their count
constexpr std::uint32_t CoreEventException = 3;   // an exception escaped the event thread's work
constexpr std::uint32_t CoreEventPortLost = 4;    // the device hung up or failed; the port is dead

// The port's state as returned by ComError.
struct TAfComStat {
    std::uint32_t Flags = 0;
    std::uint32_t cbInQue = 0;  // bytes in the input queue
    std::uint32_t cbOutQue = 0; // bytes in the output queue
};

class TAfComPortCore;
// Called on the event thread. `error` is set only for CoreEventException.
using TAfCPTCoreEventMethod =
    std::function<void(TAfComPortCore& sender, std::uint32_t eventKind, std::uint32_t data, std::exception_ptr error)>;

class EAfComPortCoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TAfComPortCore {
public:
    TAfComPortCore();
    ~TAfComPortCore(); // closes the port when open
    TAfComPortCore(const TAfComPortCore&) = delete;
    TAfComPortCore& operator=(const TAfComPortCore&) = delete;

    // Opens COMn and starts both threads. False when already open; raises
    // EAfComPortCoreError when the port cannot be opened or set up (the
    // port is closed again then).
    bool OpenComPort(int n);
    // Stops both threads, drops what the queues hold and closes the device.
    void CloseComPort();

    // The line settings; applied at once when Active (failure raises).
    void SetDCB(const TAfDCB& dcb);
    const TAfDCB& DCB() const { return dcb_; }

    // Queue sizes in bytes, used at the next open.
    int InBufSize() const { return inBufSize_; }
    void SetInBufSize(int size) { inBufSize_ = size; }
    int OutBufSize() const { return outBufSize_; }
    void SetOutBufSize(int size) { outBufSize_ = size; }

    TThreadPriority EventThreadPriority() const { return eventPriority_; }
    void SetEventThreadPriority(TThreadPriority p);
    TThreadPriority WriteThreadPriority() const { return writePriority_; }
    void SetWriteThreadPriority(TThreadPriority p);

    // Up to `count` bytes from the input queue at once; -1 when not Active.
    std::int32_t ReadData(void* buf, std::int32_t count);
    // Queues all `count` bytes for the write thread, or none: False when
    // they do not fit, when not Active or when the port was lost.
    bool WriteData(const void* buf, std::int32_t count);
    // Free bytes of the output queue; 0 when not Active.
    std::int32_t OutBufFree();
    // Gathers the line errors and reports the queues; zeroed when not Active.
    void ComError(TAfComStat& stat);
    // The line errors gathered since the last call; 0 when not Active.
    std::uint32_t TakeErrors();
    // SETDTR, CLRDTR, SETRTS or CLRRTS. False when not Active or when the
    // device has no such line (a pseudo-terminal has none).
    bool LineFunction(std::uint32_t code);

    bool Active() const { return active_.load(); } // reads and writes work
    bool Opened() const { return opened_.load(); } // both threads run
    bool Lost() const { return lost_.load(); }     // the device hung up or failed
    int Handle() const { return port_.Handle(); }  // the descriptor, -1 while closed
    int ComNumber() const { return comNumber_; }
    std::string DeviceName() const; // "COM<n>"
    std::uint32_t EventMask() const { return eventMask_; }

    // Set before opening; called on the event thread.
    TAfCPTCoreEventMethod OnCoreEvent;

private:
    void OpenDevice();
    void StartThreads();
    void StopThreads();
    struct StartLatch;
    void EventThreadRun(StartLatch& started);
    void WriteThreadRun(StartLatch& started);
    void RaiseEvent(const TAfCPTCoreEventMethod& method, std::uint32_t kind, std::uint32_t data,
                    std::exception_ptr error = {});
    bool ReadDeviceIntoQueue(bool& failed);  // event thread; true when bytes arrived
    void PollLineState(std::uint32_t& mask); // event thread, every 200 ms
    void MarkLost();

    std::atomic<bool> active_{false};
    int comNumber_ = 0;
    TAfDCB dcb_;
    std::uint32_t eventMask_ = EV_RXCHAR | EV_CTS | EV_DSR | EV_RLSD | EV_ERR | EV_RING;
    PosixPort port_;
    std::atomic<bool> opened_{false};
    std::atomic<bool> lost_{false};
    std::uint32_t errors_ = 0; // under commLock_
    int inBufSize_ = 8192;
    int outBufSize_ = 4096;

    std::mutex commLock_;  // input queue, line errors, the device's line state
    std::unique_ptr<TAfCircularBuffer> inQueue_;
    std::mutex writeLock_; // output queue
    std::unique_ptr<TAfCircularBuffer> outQueue_;

    std::thread eventThread_;
    std::thread writeThread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> outputEmpty_{false}; // set by the write thread, reported by the event thread
    int eventWake_ = -1; // eventfds that wake each thread's poll
    int writeWake_ = -1;
    std::atomic<TThreadPriority> eventPriority_{tpNormal};
    std::atomic<TThreadPriority> writePriority_{tpHigher};
    std::mutex threadIdsLock_; // the worker threads' ids, for priority changes while they run
    pid_t eventTid_ = 0;
    pid_t writeTid_ = 0;
    // Last modem-line state and error counters seen by the event thread.
    int lastModemLines_ = -1;
    std::uint32_t lastIcount_[4] = {0, 0, 0, 0};
    bool haveIcount_ = false;
};
