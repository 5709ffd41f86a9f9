#include "link/VexaLib.h"

#include <gtest/gtest.h>

#include <string>

TEST(VexaLib, PosAfterCRLF)
{
    struct Row {
        std::string bytes;
        int expected;
    } rows[] = {
        {"", -1},
        {"\n", -1},
        {"\r", -1},
        {"\r\n", 2},
        {"\n\r\n", 3},
        {"\r\r\n", 3},
        {"sig\r\nimage\r\n", 5},
        {"a\rb\n", -1},
    };
    for (const auto& r : rows) {
        std::vector<std::uint8_t> s(r.bytes.begin(), r.bytes.end());
        EXPECT_EQ(PosAfterCRLF(s), r.expected) << '"' << r.bytes << '"';
    }
}

TEST(VexaLib, HeaderValidityLooksOnlyAtMagicAndZero)
{
    std::uint8_t h[kHeaderSize];
    BuildHeader(0x30, h);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(h), 8), "kELVoRaN");
    EXPECT_EQ(h[8], 0);
    EXPECT_EQ(h[9], 0x30);
    EXPECT_EQ(h[10] | h[11], 0);
    h[9] = 0xFF;
    h[10] = h[11] = 0xFF;
    EXPECT_TRUE(CheckHeader(h));
    h[8] = 1;
    EXPECT_FALSE(CheckHeader(h));
    h[8] = 0;
    h[0] = 'K';
    EXPECT_FALSE(CheckHeader(h));
}
