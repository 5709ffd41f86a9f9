#include "foundation/Cp1252.h"

#include <gtest/gtest.h>

TEST(Cp1252, EveryByteSurvivesTheTripThroughUtf8)
{
    std::string all;
    for (int b = 0; b < 256; ++b) // a NUL too
        all += char(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, SpanishLettersAndTheEuroSign)
{
    EXPECT_EQ(Utf8ToCp1252("Satélite ñ ¿€"), "Sat\xE9lite \xF1 \xBF\x80");
    EXPECT_EQ(Cp1252ToUtf8("Informaci\xF3n"), "Información");
    EXPECT_EQ(Utf8ToCp1252("日"), "?");
    EXPECT_EQ(Utf8ToCp1252("\xE9t\xE9"), "\xE9t\xE9"); // stray bytes kept as they are
}
