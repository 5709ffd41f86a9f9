#pragma once
// Byte-level access to one COM port for the receiver protocol: the usable
// ports among COM1 to COM20, port and line-speed changes, a receive ring
// filled by the serial component's data event, and a blocking read with a
// time-out and an abort flag that keeps the application's events running
// while it waits. Main thread only.
#include "link/serial/TAfComPort.h"

#include <cstdint>
#include <string>
#include <vector>

class TCommUnit {
public:
    static constexpr int kRingSize = 10000;
    static constexpr int kFirstCom = 1;
    static constexpr int kLastCom = 20;

    // Port probe results.
    enum ProbeStatus : std::uint16_t { ProbeInUse = 0, ProbeUsable = 1, ProbeMissing = 2 };
    struct PortProbe {
        std::uint16_t Port;
        std::uint16_t Status;
    };

    // Sets up the component (115200 baud, DTR and RTS off, 8192-byte queues)
    // and scans COM1 to COM20. The port stays closed until the first read or write.
    TCommUnit();
    ~TCommUnit();
    TCommUnit(const TCommUnit&) = delete;
    TCommUnit& operator=(const TCommUnit&) = delete;

    // Unread bytes in the ring.
    std::uint16_t Available() const;
    // Copies Count unread bytes (Count <= Available()) and consumes them.
    void ReadBuffer(void* Buf, std::uint16_t Count);
    // Discards every unread byte.
    void Flush();
    // Zeroes the ring and both indexes.
    void Clear();

    // Switches the line speed; an open port is closed and reopened at the
    // new speed. False when the reopening failed or the port was lost.
    bool SetBaudRate(TAfBaudrate Rate);
    TAfBaudrate BaudRate() const { return SerialPort.BaudRate(); }
    // Moves to COMn when n is a usable port; returns the port in effect.
    // The port is left closed.
    std::uint16_t SetPort(int N);
    std::uint16_t CurrentPort() const { return SerialPort.ComNumber(); }
    // The read time-out in milliseconds (300 at creation).
    void SetTimeout(std::int32_t Ms) { Timeout = Ms; }
    std::int32_t GetTimeout() const { return Timeout; }

    // Queues Count bytes for sending (opening the port when closed). True
    // means queued, not yet on the line.
    bool Write(const void* Buf, std::uint16_t Count);
    // Waits for exactly Count bytes. False on time-out (the unread bytes are
    // discarded), on abort (they stay), when the port cannot be opened or was
    // lost, and when the ring overran. Buf is zero-filled first.
    bool Read(void* Buf, std::uint16_t Count);
    // Lets events run for a little over 50 ms without spinning.
    void Delay50();
    // Opens the port when it is closed (discarding unread bytes); false when
    // that fails or the open port was lost.
    bool EnsureOpen();
    // A port that hung up or failed stays dead until this closes it; the
    // next read or write then opens it afresh.
    void ReleaseLostPort();
    // True when the port we opened has hung up or failed.
    bool PortLost() const;

    PortProbe ProbePort(int N) const;
    // First entry of the usable-port list as a number; 0 when the list is empty.
    std::int32_t FirstPort() const;
    // Refills the usable-port list: each port that probes usable, and the
    // port currently set.
    void ScanPorts();
    // Port numbers as decimal texts, sorted as texts ("10" before "2").
    const std::vector<std::string>& UsablePorts() const { return Ports; }

    // While set, every Read fails. The protocol sets it when the user cancels.
    bool Abort = false;

private:
    void DataReceived(std::int32_t Count);
    void StoreBytes(const std::uint8_t* Bytes, int Count);

    std::uint8_t Ring[kRingSize];
    std::uint16_t WriteIndex = 0;
    std::uint16_t ReadIndex = 0;
    std::int32_t Timeout = 300;
    TAfComPort SerialPort;
    std::vector<std::string> Ports;
    bool Overrun = false;   // bytes arrived with the ring full; the next read fails
    bool Opened = false;    // we opened the port and have not closed it since
};
