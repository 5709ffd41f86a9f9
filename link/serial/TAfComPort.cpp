#include "link/serial/TAfComPort.h"

void TAfComPort::SetComNumber(std::uint16_t n)
{
    if (n == comNumber_)
        return;
    if (Core().Opened()) {
        Close();
        comNumber_ = n;
        Open();
        return;
    }
    comNumber_ = n;
}

std::string TAfComPort::DeviceName() const
{
    return "COM" + std::to_string(comNumber_);
}

void TAfComPort::OpenCore(TAfComPortCore& core)
{
    core.OpenComPort(comNumber_);
}
