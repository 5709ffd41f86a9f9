#include "foundation/CRC32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

TEST(CRC32, KnownValuesEveryTableEntryAndChunks)
{
    const std::string digits = "123456789", fox = "The quick brown fox jumps over the lazy dog";
    EXPECT_EQ(CalcCRC32(digits.data(), 9), 0xCBF43926u);
    EXPECT_EQ(CalcCRC32(digits.data(), 0), 0x00000000u);
    EXPECT_EQ(CalcCRC32(fox.data(), std::int32_t(fox.size())), 0x414FA339u); // zlib's value

    // From a zero register one byte b leaves exactly table entry b: compare
    // each with the register shifted bit by bit, so no typed-in entry can hide.
    for (int b = 0; b < 256; ++b) {
        std::uint32_t expected = std::uint32_t(b);
        for (int k = 0; k < 8; ++k)
            expected = (expected & 1) ? (expected >> 1) ^ 0xEDB88320u : expected >> 1;
        const unsigned char byte = static_cast<unsigned char>(b);
        std::uint32_t value = 0;
        CRC32Update(&byte, 1, value);
        EXPECT_EQ(value, expected) << "entry " << b;
    }

    std::string all;
    for (int i = 0; i < 5000; ++i)
        all += char((i * 7 + i / 256) & 0xFF);
    const std::uint32_t whole = CalcCRC32(all.data(), std::int32_t(all.size()));
    for (size_t chunk : {size_t(1), size_t(3), size_t(2047)}) {
        std::uint32_t value = 0xFFFFFFFFu;
        for (size_t at = 0; at < all.size(); at += chunk)
            CRC32Update(all.data() + at, std::uint32_t(std::min(chunk, all.size() - at)), value);
        EXPECT_EQ(~value, whole) << "chunk " << chunk;
    }
}

} // namespace
