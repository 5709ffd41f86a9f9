#include "foundation/CRC32.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// Bitwise reference, independent of the table.
std::uint32_t SlowCrc(const std::string& s)
{
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : s) {
        c ^= b;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    }
    return ~c;
}

TEST(CRC32, KnownValues)
{
    const std::string digits = "123456789";
    EXPECT_EQ(CalcCRC32(digits.data(), 9), 0xCBF43926u);
    EXPECT_EQ(CalcCRC32(digits.data(), 0), 0x00000000u);
    EXPECT_EQ(CalcCRC32(digits.data(), -1), 0x00000000u);
    const std::string fox = "The quick brown fox jumps over the lazy dog";
    EXPECT_EQ(CalcCRC32(fox.data(), std::int32_t(fox.size())), 0x414FA339u);

    std::uint32_t value = 0x12345678u;
    CRC32Update(digits.data(), 0, value);
    EXPECT_EQ(value, 0x12345678u);
}

TEST(CRC32, EveryByteValueMatchesReferenceAndChunksEqualWhole)
{
    std::string all;
    for (int i = 0; i < 256 * 9; ++i)
        all += char((i * 7 + i / 256) & 0xFF);
    const auto whole = CalcCRC32(all.data(), std::int32_t(all.size()));
    EXPECT_EQ(whole, SlowCrc(all));

    for (size_t chunk : {size_t(1), size_t(3), size_t(64), size_t(2047)}) {
        std::uint32_t value = 0xFFFFFFFFu;
        for (size_t at = 0; at < all.size(); at += chunk)
            CRC32Update(all.data() + at, std::uint32_t(std::min(chunk, all.size() - at)), value);
        EXPECT_EQ(~value, whole) << "chunk " << chunk;
    }
}

} // namespace
