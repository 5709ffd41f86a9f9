#pragma once
// The standard CRC-32 (reflected polynomial 0xEDB88320, initial value all
// ones, result inverted): the checksum of zlib, IEEE 802.3 and V.42.
#include <cstdint>

// Runs Length bytes of Buffer through the running Value (not inverted).
void CRC32Update(const void* Buffer, std::uint32_t Length, std::uint32_t& Value);

// The CRC-32 of Length bytes of Buffer; 0 for a length of 0 or less.
std::uint32_t CalcCRC32(const void* Buffer, std::int32_t Length);
