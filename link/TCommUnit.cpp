#include "link/TCommUnit.h"

#include "foundation/EventLoop.h"
#include "foundation/Libreria.h"
#include "link/serial/PortMap.h"
#include "link/serial/PosixPort.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {
using Clock = std::chrono::steady_clock;

int MsUntil(Clock::time_point t)
{
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t - Clock::now()).count();
    return ms < 0 ? 0 : int(ms);
}
} // namespace

TCommUnit::TCommUnit()
{
    SerialPort.SetRTS(false);
    SerialPort.SetDTR(false);
    SerialPort.SetBaudRate(br115200);
    SerialPort.SetOutBufSize(8192);
    SerialPort.SetInBufSize(8192);
    SerialPort.OnDataRecived = [this](TAfCustomSerialPort*, std::int32_t Count) { DataReceived(Count); };
    SerialPort.SetEventThreadPriority(tpTimeCritical);
    SerialPort.SetWriteThreadPriority(tpTimeCritical);
    Abort = false;
    Clear();
    Timeout = 300;
    ScanPorts();
}

TCommUnit::~TCommUnit()
{
    SerialPort.OnDataRecived = nullptr;
    try {
        SerialPort.Close();
    } catch (...) {
    }
}

std::uint16_t TCommUnit::Available() const
{
    if (ReadIndex <= WriteIndex)
        return std::uint16_t(WriteIndex - ReadIndex);
    return std::uint16_t(kRingSize - ReadIndex + WriteIndex);
}

void TCommUnit::ReadBuffer(void* Buf, std::uint16_t Count)
{
    auto* out = static_cast<std::uint8_t*>(Buf);
    Count = std::min(Count, Available());
    int first = std::min<int>(Count, kRingSize - ReadIndex);
    std::memcpy(out, Ring + ReadIndex, std::size_t(first));
    std::memcpy(out + first, Ring, std::size_t(Count - first));
    ReadIndex = std::uint16_t((ReadIndex + Count) % kRingSize);
}

void TCommUnit::Flush()
{
    ReadIndex = WriteIndex;
    Overrun = false;
}

void TCommUnit::Clear()
{
    std::memset(Ring, 0, sizeof Ring);
    WriteIndex = 0;
    ReadIndex = 0;
    Overrun = false;
}

void TCommUnit::StoreBytes(const std::uint8_t* Bytes, int Count)
{
    int first = std::min(Count, kRingSize - WriteIndex);
    std::memcpy(Ring + WriteIndex, Bytes, std::size_t(first));
    std::memcpy(Ring, Bytes + first, std::size_t(Count - first));
    WriteIndex = std::uint16_t((WriteIndex + Count) % kRingSize);
}

void TCommUnit::DataReceived(std::int32_t Count)
{
    if (Count <= 0)
        return;
    // Take everything the component holds; what does not fit in the ring is
    // dropped and marks an overrun, so that the waiting read fails instead of
    // handing out a frame with a hole in it. One slot stays free: a full ring
    // would look empty.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(Count));
    try {
        SerialPort.ReadData(bytes.data(), Count);
    } catch (...) {
        return;
    }
    int room = kRingSize - 1 - Available();
    int keep = std::min(Count, room);
    StoreBytes(bytes.data(), keep);
    if (keep < Count)
        Overrun = true;
}

bool TCommUnit::SetBaudRate(TAfBaudrate Rate)
{
    if (SerialPort.BaudRate() == Rate)
        return !PortLost();
    if (PortLost()) {
        ReleaseLostPort();
        SerialPort.SetBaudRate(Rate);
        return false;
    }
    const bool wasOpen = Opened;
    try {
        if (wasOpen) {
            SerialPort.Close();
            Opened = false;
            ProcessPendingEvents();
        }
        SerialPort.SetBaudRate(Rate);
        if (wasOpen) {
            SerialPort.Open();
            Opened = true;
            ProcessPendingEvents();
        }
    } catch (...) {
        // The line is unusable at the new speed; the caller reports a failed
        // operation and the next read or write tries to open it again.
        Opened = false;
        return false;
    }
    return true;
}

std::uint16_t TCommUnit::SetPort(int N)
{
    if (N == SerialPort.ComNumber())
        return std::uint16_t(N);
    if (N < kFirstCom || N > kLastCom ||
        std::find(Ports.begin(), Ports.end(), std::to_string(N)) == Ports.end())
        return SerialPort.ComNumber();
    if (Opened || SerialPort.Active()) {
        try {
            SerialPort.Close();
        } catch (...) {
        }
        Opened = false;
        ProcessPendingEvents();
    }
    SerialPort.SetComNumber(std::uint16_t(N));
    ProcessPendingEvents();
    return SerialPort.ComNumber();
}

bool TCommUnit::PortLost() const
{
    return Opened && !SerialPort.Active();
}

void TCommUnit::ReleaseLostPort()
{
    if (!PortLost())
        return;
    try {
        SerialPort.Close();
    } catch (...) {
    }
    Opened = false;
}

bool TCommUnit::EnsureOpen()
{
    if (Opened)
        return SerialPort.Active();
    try {
        SerialPort.Open();
    } catch (...) {
        return false;
    }
    Opened = true;
    Flush();
    return true;
}

bool TCommUnit::Write(const void* Buf, std::uint16_t Count)
{
    if (!EnsureOpen())
        return false;
    try {
        SerialPort.WriteData(Buf, Count);
    } catch (...) {
        return false;
    }
    return true;
}

bool TCommUnit::Read(void* Buf, std::uint16_t Count)
{
    if (Abort)
        return false;
    if (!EnsureOpen())
        return false;
    std::memset(Buf, 0, Count);
    if (Count >= kRingSize) // could never be satisfied
        return false;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(Timeout, 0));
    for (;;) {
        if (Overrun)
            break;
        if (Available() >= Count) {
            ReadBuffer(Buf, Count);
            return true;
        }
        if (PortLost())
            break;
        const int left = MsUntil(deadline);
        if (left <= 0)
            break;
        // Sleeps until the serial component hands over bytes (or 50 ms pass),
        // then lets them in: no spinning, and no waiting out a full step when
        // the bytes are already there.
        WaitForPendingEvents(std::min(50, left));
        if (Abort)
            return false;
    }
    // One last look: bytes handed over just at the deadline still count.
    if (!Overrun && !PortLost()) {
        ProcessPendingEvents();
        if (!Overrun && Available() >= Count) {
            ReadBuffer(Buf, Count);
            return true;
        }
    }
    Flush();
    return false;
}

void TCommUnit::Delay50()
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(51);
    for (int left = MsUntil(deadline); left > 0; left = MsUntil(deadline))
        WaitForPendingEvents(left);
}

TCommUnit::PortProbe TCommUnit::ProbePort(int N) const
{
    PortProbe result{std::uint16_t(N), ProbeMissing};
    switch (PosixPort::Probe(ComDevicePath(N))) {
    case PosixPort::ProbeUsable: result.Status = ProbeUsable; break;
    case PosixPort::ProbeMissing: result.Status = ProbeMissing; break;
    default: result.Status = ProbeInUse; break;
    }
    return result;
}

std::int32_t TCommUnit::FirstPort() const
{
    return Ports.empty() ? 0 : SafeStrToInt(Ports.front());
}

void TCommUnit::ScanPorts()
{
    Ports.clear();
    for (int n = kFirstCom; n <= kLastCom; ++n) {
        if (n == SerialPort.ComNumber() || ProbePort(n).Status == ProbeUsable)
            Ports.push_back(std::to_string(n));
    }
    std::sort(Ports.begin(), Ports.end());
}
