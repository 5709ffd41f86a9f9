#pragma once
// Frame helpers of the receiver protocol. Every frame starts with a 12-byte
// header: the magic "kELVoRaN", a zero byte, the frame's code and a
// big-endian 16-bit length (the bytes that follow a data block's header).
#include <cstdint>
#include <vector>

constexpr int kHeaderSize = 12;

// Writes magic, 0x00, Code and a length of 0 into Header[0..11].
void BuildHeader(std::uint8_t Code, std::uint8_t* Header);

// True when Header[0..8] are the magic and the zero byte; the code and the
// length are not part of the test.
bool CheckHeader(const std::uint8_t* Header);

// The position just after the first CR immediately followed by LF, -1 when
// there is none. A LF in the first byte never counts.
std::int32_t PosAfterCRLF(const std::vector<std::uint8_t>& Stream);
