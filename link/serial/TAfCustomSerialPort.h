#pragma once
// The serial port component: line settings, queue sizes and thread
// priorities as properties, the port's happenings as events on the main
// thread, and open, close, read and write. The device and its threads are
// a TAfComPortCore; its worker-thread events reach the main thread through
// the hand-off (AfSafeSync), each with its own kind and data.
#include "link/serial/TAfComPortCore.h"
#include "link/serial/TAfDCB.h"
#include "link/serial/TAfDataDispConnComponent.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

enum TAfBaudrate {
    br110, br300, br600, br1200, br2400, br4800, br9600, br14400, br19200,
    br38400, br56000, br57600, br115200, br128000, br256000, brUser
};
enum TAfDatabits { db4, db5, db6, db7, db8 };
enum TAfFlowControl { fwNone, fwXOnXOff, fwRtsCts, fwDtrDsr };
enum TAfParity { paNone, paOdd, paEven, paMark, paSpace };
enum TAfStopbits { sbOne, sbOneAndHalf, sbTwo };
enum TAfComOption { coParityCheck, coDsrSensitivity, coIgnoreXOff, coErrorChar, coStripNull };
using TAfComOptions = std::uint32_t; // bit (1 << option) per TAfComOption
constexpr TAfComOptions AfComOption(TAfComOption o) { return 1u << o; }

class TAfCustomSerialPort;
using TAfNotifyEvent = std::function<void(TAfCustomSerialPort* sender)>;
using TAfCPTDataReceivedEvent = std::function<void(TAfCustomSerialPort* sender, std::int32_t count)>;
using TAfCPTErrorEvent = std::function<void(TAfCustomSerialPort* sender, std::uint32_t errors)>;
using TAfCPTCoreEvent = std::function<void(TAfCustomSerialPort* sender, std::uint32_t eventKind, std::uint32_t data)>;

// Messages read "<text> - <component name> ".
class EAfComPortError : public std::runtime_error {
public:
    EAfComPortError(const std::string& text, const std::string& componentName);
};

class TAfCustomSerialPort : public TAfDataDispConnComponent {
public:
    TAfCustomSerialPort();
    ~TAfCustomSerialPort() override; // closes without firing OnPortClose

    // Opens the port (unless open) and fires OnPortOpen. The core's
    // EAfComPortCoreError reaches the caller; the port stays closed then.
    // A port that was lost is closed first.
    void Open();
    // Closes the port, dropping what the queues hold, and fires
    // OnPortClose. Events in flight are dropped; it never waits for the
    // main thread. Safe inside the port's own event handlers.
    void Close();
    // True while open and not lost.
    bool Active() const;

    // Exactly `count` bytes from the input queue, else "Read data error".
    void ReadData(void* buf, std::int32_t count);
    // Queues all `count` bytes for sending, else
    // "Write data error [requested: %d, free: %d]" (nothing queued).
    void WriteData(const void* buf, std::int32_t count);
    std::int32_t OutBufFree() const; // free bytes of the output queue
    std::int32_t InBufUsed() const;  // bytes waiting in the input queue
    int ComHandle() const;           // the device descriptor, -1 while closed

    // The line settings as last built from the properties.
    const TAfDCB& DCB() const { return dcb_; }
    // Takes a whole DCB (DCBlength must be 28, else "Error setting
    // parameters from DCB"), reads the properties back from it and applies it.
    void SetDCB(const TAfDCB& dcb);

    // Properties. Setters of line settings rebuild the DCB and apply it at
    // once while open (a refusal raises the core's error).
    TAfBaudrate BaudRate() const { return baudRate_; }
    void SetBaudRate(TAfBaudrate rate);
    std::int32_t UserBaudRate() const { return userBaudRate_; } // the rate for brUser
    void SetUserBaudRate(std::int32_t rate);
    TAfDatabits Databits() const { return databits_; }
    void SetDatabits(TAfDatabits bits);
    TAfParity Parity() const { return parity_; }
    void SetParity(TAfParity parity);
    TAfStopbits Stopbits() const { return stopbits_; }
    void SetStopbits(TAfStopbits bits);
    TAfFlowControl FlowControl() const { return flowControl_; }
    void SetFlowControl(TAfFlowControl flow);
    TAfComOptions Options() const { return options_; }
    void SetOptions(TAfComOptions options);
    char XOnChar() const { return xOnChar_; }
    void SetXOnChar(char c);
    char XOffChar() const { return xOffChar_; }
    void SetXOffChar(char c);
    std::uint16_t XOnLim() const { return xOnLim_; }
    void SetXOnLim(std::uint16_t lim);   // also sets XOffLim = InBufSize - lim
    std::uint16_t XOffLim() const { return xOffLim_; }
    void SetXOffLim(std::uint16_t lim);  // also sets XOnLim = InBufSize - lim
    // DTR and RTS act on the open line at once; they enter the DCB only at its next rebuild.
    bool DTR() const { return dtr_; }
    void SetDTR(bool on);
    bool RTS() const { return rts_; }
    void SetRTS(bool on);
    // Queue sizes; changing them while open raises "Port is not closed".
    std::int32_t InBufSize() const { return inBufSize_; }
    void SetInBufSize(std::int32_t size);
    std::int32_t OutBufSize() const { return outBufSize_; }
    void SetOutBufSize(std::int32_t size);
    // Worker thread priorities, used at the next open.
    TThreadPriority EventThreadPriority() const { return eventThreadPriority_; }
    void SetEventThreadPriority(TThreadPriority p) { eventThreadPriority_ = p; }
    TThreadPriority WriteThreadPriority() const { return writeThreadPriority_; }
    void SetWriteThreadPriority(TThreadPriority p) { writeThreadPriority_ = p; }
    // The component's name, shown in its error messages.
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }

    // Events; all but OnNonSyncEvent run on the main thread.
    TAfNotifyEvent OnCTSChanged;
    TAfCPTDataReceivedEvent OnDataRecived; // count: bytes now in the input queue
    TAfNotifyEvent OnDSRChanged;
    TAfCPTErrorEvent OnLineError;          // CE_* bits gathered since the last one
    TAfCPTCoreEvent OnNonSyncEvent;        // when set: runs on the event thread instead of the hand-off
    TAfNotifyEvent OnOutBufFree;           // the output queue drained
    TAfNotifyEvent OnPortClose;            // after each close, also when the port was lost
    TAfNotifyEvent OnPortOpen;             // after each successful open
    TAfNotifyEvent OnRINGDetected;
    TAfNotifyEvent OnRLSDChanged;
    TAfCPTCoreEvent OnSyncEvent;           // every handed-over event, before its own handling

protected:
    // Opens the core on the port this component stands for.
    virtual void OpenCore(TAfComPortCore& core) = 0;
    TAfComPortCore& Core() const { return *core_; }
    bool Closing() const { return closing_; }

private:
    void ApplyDCB();
    void UpdateXOnXOffLimits();
    void CoreEvent(std::uint32_t kind, std::uint32_t data, std::exception_ptr error);
    void HandleCoreEvent(std::uint32_t kind, std::uint32_t data, std::exception_ptr error);
    EAfComPortError Error(const std::string& text) const;

    TAfBaudrate baudRate_ = br115200;
    TAfDatabits databits_ = db8;
    bool dtr_ = true;
    TThreadPriority eventThreadPriority_ = tpNormal;
    TAfFlowControl flowControl_ = fwNone;
    std::int32_t inBufSize_ = 4096;
    TAfComOptions options_ = 0;
    std::int32_t outBufSize_ = 2048;
    TAfParity parity_ = paNone;
    bool rts_ = true;
    TAfStopbits stopbits_ = sbOne;
    std::int32_t userBaudRate_ = 0;
    char xOnChar_ = 0x11;
    char xOffChar_ = 0x13;
    std::uint16_t xOnLim_ = 0;
    std::uint16_t xOffLim_ = 0;
    TThreadPriority writeThreadPriority_ = tpHighest;
    std::string name_;

    std::atomic<bool> closing_{false};
    std::atomic<bool> destroying_{false};
    std::unique_ptr<TAfComPortCore> core_;
    TAfDCB dcb_;
    std::uint32_t syncId_ = 0;
};
