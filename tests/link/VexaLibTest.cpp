#include "link/VexaLib.h"

#include <gtest/gtest.h>

#include <string>

TEST(VexaLib, PosAfterCRLF)
{
    const std::pair<std::string, int> rows[] = {
        {"", -1},      {"\n", -1},     {"\r", -1}, {"\r\n", 2}, {"\n\r\n", 3},
        {"\r\r\n", 3}, {"a\rb\n", -1}, {"sig\r\nimage\r\n", 5},
    };
    for (const auto& [bytes, expected] : rows)
        EXPECT_EQ(PosAfterCRLF(std::vector<std::uint8_t>(bytes.begin(), bytes.end())), expected) << '"' << bytes << '"';
}

TEST(VexaLib, HeaderValidityLooksOnlyAtMagicAndZero)
{
    std::uint8_t h[kHeaderSize];
    std::fill(h, h + kHeaderSize, 0xFF);
    BuildHeader(0x30, h);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(h), kHeaderSize), std::string("kELVoRaN\0\x30\0\0", 12));
    h[9] = h[10] = h[11] = 0xFF;
    EXPECT_TRUE(CheckHeader(h));
    for (int i : {0, 7, 8}) {
        h[i] ^= 1;
        EXPECT_FALSE(CheckHeader(h)) << "byte " << i;
        h[i] ^= 1;
    }
}
