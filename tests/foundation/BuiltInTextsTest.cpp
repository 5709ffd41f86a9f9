#include "foundation/BuiltInTexts.h"

#include "foundation/TLang.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>

namespace {

// -1 when the line is not "NNNN text".
int TextNumber(const std::string& line)
{
    if (line.size() < 6 || line[4] != ' ')
        return -1;
    int n = 0;
    for (int i = 0; i < 4; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(line[i])))
            return -1;
        n = n * 10 + (line[i] - '0');
    }
    return n;
}

// A later line wins, as for a language file: 1909 is defined twice on purpose.
TEST(BuiltInTexts, WithoutLanguageFilesEveryNumberGivesItsCatalogueText)
{
    std::map<int, std::string> texts;
    int previous = 0;
    for (const std::string& line : BuiltInLines()) {
        EXPECT_EQ(line.find_first_of("\r\n\xC2\xC3"), std::string::npos) << line; // no line ends, no UTF-8 left
        if (const int n = TextNumber(line); n >= 0) {
            EXPECT_TRUE(n > previous || n == 1909) << line; // rising, as translators copy them
            texts[previous = n] = line.substr(5);
        }
    }
    EXPECT_EQ(texts.size(), 473u);
    EXPECT_EQ(texts[1909], "Tipo BoxLoader");
    EXPECT_EQ(texts[4], "P\xE1gina"); // Windows-1252, byte for byte
    EXPECT_EQ(texts[135], "Los datos actuales han sido modificados, \xBF" "Desea grabarlos antes?");
    TLang lang{std::string()};
    EXPECT_EQ(lang.Languages()[0].Name, "Castellano"); // the language the settings file names by default
    for (int n = 0; n < TLang::kMaxText; ++n) {
        const auto it = texts.find(n);
        ASSERT_EQ(lang.GetText(n), it == texts.end() ? std::string() : it->second) << "text " << n;
    }
}

} // namespace
