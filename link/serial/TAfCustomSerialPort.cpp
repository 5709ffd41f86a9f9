#include "link/serial/TAfCustomSerialPort.h"

#include "link/serial/AfSafeSync.h"
#include "link/serial/TAfDataDispatcher.h"

#include <algorithm>
#include <any>
#include <cstdio>
#include <vector>

namespace {

// How long the event thread waits for the main thread to take an event.
constexpr int HandOffTimeoutMs = 2000;

constexpr std::uint32_t baudRates[] = {110, 300, 600, 1200, 2400, 4800, 9600, 14400,
                                       19200, 38400, 56000, 57600, 115200, 128000, 256000};
constexpr std::uint32_t flowBits[] = {0, DCB_OutX | DCB_InX, DCB_RtsControlHandshake | DCB_OutxCtsFlow,
                                      DCB_DtrControlHandshake | DCB_OutxDsrFlow};
constexpr std::uint32_t optionBits[] = {DCB_Parity, DCB_DsrSensitivity, DCB_TXContinueOnXoff, DCB_ErrorChar,
                                        DCB_Null};

// One core event on its way to the main thread: it carries its own data.
struct CoreEventArgs {
    std::uint32_t kind;
    std::uint32_t data;
    std::exception_ptr error;
};

} // namespace

EAfComPortError::EAfComPortError(const std::string& text, const std::string& componentName)
    : std::runtime_error(text + " - " + componentName + " ")
{
}

TAfCustomSerialPort::TAfCustomSerialPort()
    : core_(std::make_unique<TAfComPortCore>())
{
    syncId_ = AfAllocateSyncHandle([this](int, const std::any& args) {
        const auto& a = std::any_cast<const CoreEventArgs&>(args);
        HandleCoreEvent(a.kind, a.data, a.error);
    });
    core_->OnCoreEvent = [this](TAfComPortCore&, std::uint32_t kind, std::uint32_t data, std::exception_ptr error) {
        CoreEvent(kind, data, error);
    };
    ApplyDCB();
}

TAfCustomSerialPort::~TAfCustomSerialPort()
{
    destroying_ = true;
    if (TAfDataDispatcher* dispatcher = Dispatcher())
        dispatcher->Link(nullptr);
    // Releasing the slot lets an event thread that waits for us go on, so
    // that the core can stop it. The threads end before the core goes.
    AfReleaseSyncHandle(syncId_);
    core_->CloseComPort();
    core_.reset();
}

EAfComPortError TAfCustomSerialPort::Error(const std::string& text) const
{
    return EAfComPortError(text, name_);
}

bool TAfCustomSerialPort::Active() const
{
    return core_ && core_->Opened() && !core_->Lost();
}

void TAfCustomSerialPort::Open()
{
    if (core_->Opened()) {
        if (!core_->Lost())
            return;
        Close(); // what is left of a lost port
    }
    AfEnableSyncHandle(syncId_, true);
    core_->SetDCB(dcb_);
    core_->SetInBufSize(inBufSize_);
    core_->SetOutBufSize(outBufSize_);
    core_->SetEventThreadPriority(eventThreadPriority_);
    core_->SetWriteThreadPriority(writeThreadPriority_);
    closing_ = false;
    try {
        OpenCore(*core_);
    } catch (...) {
        AfEnableSyncHandle(syncId_, false);
        throw;
    }
    if (OnPortOpen)
        OnPortOpen(this);
    DispatcherOpenNotice();
}

void TAfCustomSerialPort::Close()
{
    closing_ = true;
    DispatcherCloseNotice();
    // Drops the events in flight and lets the event thread go at once, so
    // the close never waits for a main thread that is not running events.
    AfEnableSyncHandle(syncId_, false);
    core_->CloseComPort();
    if (OnPortClose)
        OnPortClose(this);
    closing_ = false;
}

void TAfCustomSerialPort::ReadData(void* buf, std::int32_t count)
{
    if (closing_)
        return;
    if (core_->ReadData(buf, count) != count)
        throw Error("Read data error");
}

void TAfCustomSerialPort::WriteData(const void* buf, std::int32_t count)
{
    if (closing_)
        return;
    if (!core_->WriteData(buf, count)) {
        char text[96];
        std::snprintf(text, sizeof text, "Write data error [requested: %d, free: %d]", static_cast<int>(count),
                      static_cast<int>(core_->OutBufFree()));
        throw Error(text);
    }
}

std::int32_t TAfCustomSerialPort::OutBufFree() const
{
    return core_->OutBufFree();
}

std::int32_t TAfCustomSerialPort::InBufUsed() const
{
    TAfComStat stat;
    core_->ComError(stat);
    return static_cast<std::int32_t>(stat.cbInQue);
}

int TAfCustomSerialPort::ComHandle() const
{
    return core_->Handle();
}

void TAfCustomSerialPort::ApplyDCB()
{
    TAfDCB dcb;
    dcb.DCBlength = DCB_Length;
    dcb.BaudRate = baudRate_ == brUser ? static_cast<std::uint32_t>(userBaudRate_) : baudRates[baudRate_];
    dcb.ByteSize = static_cast<std::uint8_t>(4 + databits_);
    dcb.Parity = static_cast<std::uint8_t>(parity_);
    dcb.StopBits = static_cast<std::uint8_t>(stopbits_);
    dcb.XonChar = xOnChar_;
    dcb.XoffChar = xOffChar_;
    dcb.XonLim = xOnLim_;
    dcb.XoffLim = xOffLim_;
    dcb.Flags = flowBits[flowControl_] | DCB_Binary;
    for (int o = coParityCheck; o <= coStripNull; ++o)
        if (options_ & AfComOption(static_cast<TAfComOption>(o)))
            dcb.Flags |= optionBits[o];
    if (dtr_ && flowControl_ != fwDtrDsr)
        dcb.Flags |= DCB_DtrControlEnable;
    if (rts_ && flowControl_ != fwRtsCts)
        dcb.Flags |= DCB_RtsControlEnable;
    dcb_ = dcb;
    if (Active())
        core_->SetDCB(dcb_);
}

void TAfCustomSerialPort::UpdateXOnXOffLimits()
{
    if (flowControl_ == fwNone) {
        xOnLim_ = 0;
        xOffLim_ = 0;
        return;
    }
    xOnLim_ = static_cast<std::uint16_t>(inBufSize_ / 4);
    xOffLim_ = static_cast<std::uint16_t>(inBufSize_ - xOnLim_);
}

void TAfCustomSerialPort::SetDCB(const TAfDCB& dcb)
{
    if (dcb.DCBlength != DCB_Length)
        throw Error("Error setting parameters from DCB");
    dcb_ = dcb;
    const auto rate = std::find(std::begin(baudRates), std::end(baudRates), dcb.BaudRate);
    if (rate != std::end(baudRates)) {
        baudRate_ = static_cast<TAfBaudrate>(rate - std::begin(baudRates));
        userBaudRate_ = 0;
    } else {
        baudRate_ = brUser;
        userBaudRate_ = static_cast<std::int32_t>(dcb.BaudRate);
    }
    databits_ = dcb.ByteSize >= 4 && dcb.ByteSize <= 8 ? static_cast<TAfDatabits>(dcb.ByteSize - 4) : db8;
    parity_ = dcb.Parity <= paSpace ? static_cast<TAfParity>(dcb.Parity) : paNone;
    stopbits_ = dcb.StopBits <= sbTwo ? static_cast<TAfStopbits>(dcb.StopBits) : sbOne;
    flowControl_ = fwNone;
    for (int f = fwDtrDsr; f >= fwXOnXOff; --f)
        if ((dcb.Flags & flowBits[f]) == flowBits[f]) {
            flowControl_ = static_cast<TAfFlowControl>(f);
            break;
        }
    options_ = 0;
    for (int o = coParityCheck; o <= coStripNull; ++o)
        if (dcb.Flags & optionBits[o])
            options_ |= AfComOption(static_cast<TAfComOption>(o));
    xOnChar_ = dcb.XonChar;
    xOffChar_ = dcb.XoffChar;
    xOnLim_ = dcb.XonLim;
    xOffLim_ = dcb.XoffLim;
    ApplyDCB();
}

void TAfCustomSerialPort::SetBaudRate(TAfBaudrate rate)
{
    if (rate == baudRate_)
        return;
    baudRate_ = rate;
    if (rate != brUser)
        userBaudRate_ = 0;
    ApplyDCB();
}

void TAfCustomSerialPort::SetUserBaudRate(std::int32_t rate)
{
    if (rate == userBaudRate_)
        return;
    userBaudRate_ = rate;
    baudRate_ = brUser;
    ApplyDCB();
}

void TAfCustomSerialPort::SetDatabits(TAfDatabits bits)
{
    if (bits == databits_)
        return;
    databits_ = bits;
    ApplyDCB();
}

void TAfCustomSerialPort::SetParity(TAfParity parity)
{
    if (parity == parity_)
        return;
    parity_ = parity;
    ApplyDCB();
}

void TAfCustomSerialPort::SetStopbits(TAfStopbits bits)
{
    if (bits == stopbits_)
        return;
    stopbits_ = bits;
    ApplyDCB();
}

void TAfCustomSerialPort::SetFlowControl(TAfFlowControl flow)
{
    if (flow == flowControl_)
        return;
    flowControl_ = flow;
    UpdateXOnXOffLimits();
    ApplyDCB();
}

void TAfCustomSerialPort::SetOptions(TAfComOptions options)
{
    if (options == options_)
        return;
    options_ = options;
    ApplyDCB();
}

void TAfCustomSerialPort::SetXOnChar(char c)
{
    if (c == xOnChar_)
        return;
    xOnChar_ = c;
    ApplyDCB();
}

void TAfCustomSerialPort::SetXOffChar(char c)
{
    if (c == xOffChar_)
        return;
    xOffChar_ = c;
    ApplyDCB();
}

void TAfCustomSerialPort::SetXOnLim(std::uint16_t lim)
{
    xOnLim_ = lim;
    xOffLim_ = static_cast<std::uint16_t>(inBufSize_ - lim);
}

void TAfCustomSerialPort::SetXOffLim(std::uint16_t lim)
{
    xOffLim_ = lim;
    xOnLim_ = static_cast<std::uint16_t>(inBufSize_ - lim);
}

void TAfCustomSerialPort::SetDTR(bool on)
{
    if (on == dtr_)
        return;
    core_->LineFunction(on ? SETDTR : CLRDTR);
    dtr_ = on;
}

void TAfCustomSerialPort::SetRTS(bool on)
{
    if (on == rts_)
        return;
    core_->LineFunction(on ? SETRTS : CLRRTS);
    rts_ = on;
}

void TAfCustomSerialPort::SetInBufSize(std::int32_t size)
{
    if (size == inBufSize_)
        return;
    if (Active())
        throw Error("Port is not closed");
    inBufSize_ = size;
    UpdateXOnXOffLimits();
}

void TAfCustomSerialPort::SetOutBufSize(std::int32_t size)
{
    if (size == outBufSize_)
        return;
    if (Active())
        throw Error("Port is not closed");
    outBufSize_ = size;
}

// On the event thread.
void TAfCustomSerialPort::CoreEvent(std::uint32_t kind, std::uint32_t data, std::exception_ptr error)
{
    if (closing_ || destroying_)
        return;
    std::unique_lock link(DispatcherLinkLock());
    if (TAfDataDispatcher* dispatcher = Dispatcher(); dispatcher && kind != CoreEventException &&
                                                       kind != CoreEventPortLost) {
        if (kind == CoreEventOutputEmpty) {
            dispatcher->OutputFree();
            return;
        }
        if (kind == CoreEventIdleData || (kind == CoreEventMask && (data & EV_RXCHAR))) {
            // No more than the dispatcher has room for at a time: the rest
            // waits in the input queue while the handlers make room.
            std::vector<std::uint8_t> bytes;
            while (!closing_) {
                TAfComStat stat;
                core_->ComError(stat);
                const std::int32_t count = std::min(static_cast<std::int32_t>(stat.cbInQue), dispatcher->RingFree());
                if (count <= 0)
                    break;
                bytes.resize(static_cast<std::size_t>(count));
                const std::int32_t n = core_->ReadData(bytes.data(), count);
                if (n <= 0)
                    break;
                dispatcher->Data(bytes.data(), n);
            }
            data &= ~EV_RXCHAR;
            if (kind == CoreEventIdleData || data == 0)
                return;
        }
    }
    link.unlock();
    if (OnNonSyncEvent && kind != CoreEventException && kind != CoreEventPortLost) {
        OnNonSyncEvent(this, kind, data);
        return;
    }
    // A false result means the port is closing: the event is dropped.
    AfSyncCall(syncId_, HandOffTimeoutMs, CoreEventArgs{kind, data, error});
}

// On the main thread.
void TAfCustomSerialPort::HandleCoreEvent(std::uint32_t kind, std::uint32_t data, std::exception_ptr error)
{
    if (closing_ || destroying_)
        return;
    if (OnSyncEvent)
        OnSyncEvent(this, kind, data);
    switch (kind) {
    case CoreEventOutputEmpty:
        if (OnOutBufFree)
            OnOutBufFree(this);
        break;
    case CoreEventMask: {
        if (data & EV_RXCHAR) {
            const std::int32_t count = InBufUsed();
            if (count > 0 && OnDataRecived)
                OnDataRecived(this, count);
        }
        const std::uint32_t errors = core_->TakeErrors();
        if ((data & EV_ERR) && OnLineError)
            OnLineError(this, errors);
        if ((data & EV_CTS) && OnCTSChanged)
            OnCTSChanged(this);
        if ((data & EV_DSR) && OnDSRChanged)
            OnDSRChanged(this);
        if ((data & EV_RING) && OnRINGDetected)
            OnRINGDetected(this);
        if ((data & EV_RLSD) && OnRLSDChanged)
            OnRLSDChanged(this);
        break;
    }
    case CoreEventIdleData: {
        // What is waiting now: a count taken on the event thread may be stale.
        const std::int32_t count = InBufUsed();
        if (count > 0 && OnDataRecived)
            OnDataRecived(this, count);
        break;
    }
    case CoreEventException:
        if (error)
            std::rethrow_exception(error);
        break;
    case CoreEventPortLost:
        Close();
        break;
    }
}
