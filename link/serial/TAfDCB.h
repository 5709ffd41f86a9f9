#pragma once
// The line settings of a port in the layout the component builds and reads
// back: rate, frame, flow-control flags and the XON/XOFF characters.
#include <cstdint>

// Flag bits.
constexpr std::uint32_t DCB_Binary = 0x1;
constexpr std::uint32_t DCB_Parity = 0x2;          // check parity of received bytes
constexpr std::uint32_t DCB_OutxCtsFlow = 0x4;
constexpr std::uint32_t DCB_OutxDsrFlow = 0x8;
constexpr std::uint32_t DCB_DtrControlEnable = 0x10;
constexpr std::uint32_t DCB_DtrControlHandshake = 0x20;
constexpr std::uint32_t DCB_DsrSensitivity = 0x40;
constexpr std::uint32_t DCB_TXContinueOnXoff = 0x80;
constexpr std::uint32_t DCB_OutX = 0x100;
constexpr std::uint32_t DCB_InX = 0x200;
constexpr std::uint32_t DCB_ErrorChar = 0x400;
constexpr std::uint32_t DCB_Null = 0x800;          // discard null bytes
constexpr std::uint32_t DCB_RtsControlEnable = 0x1000;
constexpr std::uint32_t DCB_RtsControlHandshake = 0x2000;

// The size a valid record announces in DCBlength.
constexpr std::uint32_t DCB_Length = 28;

struct TAfDCB {
    std::uint32_t DCBlength = 0;
    std::uint32_t BaudRate = 0;
    std::uint32_t Flags = 0;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 0; // 4 to 8
    std::uint8_t Parity = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t StopBits = 0; // 0 one, 1 one and a half, 2 two
    char XonChar = 0;
    char XoffChar = 0;

    bool operator==(const TAfDCB&) const = default;
};
