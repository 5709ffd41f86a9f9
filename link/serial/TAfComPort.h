#pragma once
// The serial port component on COMn. Where COMn lives on this system is
// told by ComDevicePath (PortMap.h).
//
// Typical use on the main thread:
//     TAfComPort port;
//     port.SetComNumber(1);
//     port.SetBaudRate(br115200);
//     port.OnDataRecived = [&](TAfCustomSerialPort*, std::int32_t count) {
//         std::vector<std::uint8_t> bytes(count);
//         port.ReadData(bytes.data(), count);
//     };
//     port.Open();                       // EAfComPortCoreError when it cannot
//     port.WriteData("\x01\x02", 2);     // queued; the write thread sends it
//     ProcessPendingEvents();            // events run when the main thread lets them
#include "link/serial/TAfCustomSerialPort.h"

#include <cstdint>
#include <string>

class TAfComPort : public TAfCustomSerialPort {
public:
    TAfComPort() = default;
    ~TAfComPort() override = default;

    // n of COMn (default 0, which no open accepts). Changing it while open
    // closes the port and opens it again on the new number.
    std::uint16_t ComNumber() const { return comNumber_; }
    void SetComNumber(std::uint16_t n);
    std::string DeviceName() const; // "COM<n>"

protected:
    void OpenCore(TAfComPortCore& core) override;

private:
    std::uint16_t comNumber_ = 0;
};
