#include "foundation/BuiltInTexts.h"

#include "foundation/TLang.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Section
{
    std::string comment; // Windows-1252
    std::vector<std::pair<int, int>> ranges; // inclusive
};

// Every section of the built-in language, in file order, with the numbers it
// owns. Translators copy this layout, so it must not drift.
const std::vector<Section>& ExpectedSections()
{
    static const std::vector<Section> sections = {
        {"############## Comunes", {{1, 8}, {10, 11}, {51, 58}}},
        {"############## Men\xFA Principal", {{101, 116}, {120, 137}}},
        {"############## Canales", {{201, 222}}},
        {"############## VexaComm", {{301, 301}}},
        {"############## Librer\xED" "a", {{401, 405}}},
        {"############## Acerca de", {{501, 506}}},
        {"############## Buscar", {{601, 603}}},
        {"############## SelData", {{701, 704}}},
        {"############## SelSrc", {{801, 807}}},
        {"############## ConfPuerto", {{901, 904}}},
        {"############## Errors", {{1001, 1001}}},
        {"############## VexaLib", {{1101, 1104}}},
        {"############## Historial", {{1201, 1206}}},
        {"############## IntHexa", {{1301, 1303}}},
        {"############## VexaData", {{1401, 1414}}},
        {"############## LoadSoft", {{1501, 1518}}},
        {"############## Internet", {{1601, 1612}}},
        {"############## ShrChn", {{1701, 1714}}},
        {"############## Antenas", {{1801, 1813}, {1815, 1817}, {1819, 1823}}},
        {"############## Tools", {{1901, 1917}, {1951, 1959}}},
        {"############## MainList", {{2001, 2010}}},
        {"############## PPreview", {{2101, 2113}}},
        {"############## Traspaso", {{2201, 2211}, {2213, 2216}}},
        {"############## Sat\xE9lites", {{2301, 2307}, {2310, 2313}, {2315, 2317}, {2319, 2320}}},
        {"############## Sat\xE9lites", {{2401, 2407}, {2410, 2413}, {2415, 2417}, {2419, 2426}}},
        {"##############   AddMod Canal", {{2501, 2501}, {2504, 2527}}},
        {"############## Show Diff", {{2601, 2613}}},
        {"############## Mod Antena", {{2701, 2718}}},
        {"############## Mod Sat\xE9lite", {{2801, 2821}}},
        {"############## Mod Transponder", {{2901, 2920}}},
        {"############## ChooseUpd", {{3001, 3024}}},
        {"############## Favoritos", {{3101, 3120}}},
        {"############## Mod Channel", {{3201, 3221}, {3223, 3234}}},
    };
    return sections;
}

std::set<int> NumbersOf(const Section& s)
{
    std::set<int> out;
    for (auto [from, to] : s.ranges)
        for (int n = from; n <= to; ++n)
            out.insert(n);
    return out;
}

bool IsComment(const std::string& line) { return line.rfind("##############", 0) == 0; }

// -1 when the line is not "NNNN text".
int TextNumber(const std::string& line)
{
    if (line.size() < 6 || line[4] != ' ')
        return -1;
    int n = 0;
    for (int i = 0; i < 4; ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (!std::isdigit(c))
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

// Number -> text as a reader of the lines sees it: a later line wins.
std::map<int, std::string> TextsByNumber()
{
    std::map<int, std::string> out;
    for (const std::string& line : BuiltInLines())
        if (int n = TextNumber(line); n >= 0)
            out[n] = line.substr(5);
    return out;
}

} // namespace

TEST(BuiltInTexts, HeaderAndLineCounts)
{
    const auto& lines = BuiltInLines();
    ASSERT_EQ(lines.size(), 584u);
    EXPECT_EQ(lines[0], "VER=100");
    EXPECT_EQ(lines[1], "LANG=Castellano");
    EXPECT_EQ(lines[2], "AUTHOR=Ardelo");
    EXPECT_EQ(lines[3], "");

    int comments = 0, blanks = 0, texts = 0;
    for (std::size_t i = 3; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty())
            ++blanks;
        else if (IsComment(line))
            ++comments;
        else if (TextNumber(line) > 0)
            ++texts;
        else
            ADD_FAILURE() << "line " << i + 1 << " is neither blank, comment nor text: " << line;
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "line " << i + 1;
    }
    EXPECT_EQ(comments, 33);
    EXPECT_EQ(blanks, 74);
    EXPECT_EQ(texts, 474);
    EXPECT_EQ(TextNumber(lines.back()), 3234);
}

TEST(BuiltInTexts, SectionsHoldExactlyTheirNumbersInOrder)
{
    const auto& lines = BuiltInLines();
    const auto& expected = ExpectedSections();

    // Split at the comment lines; every comment line follows a blank one.
    std::vector<std::string> comments;
    std::vector<std::vector<int>> numbers;
    for (std::size_t i = 4; i < lines.size(); ++i) {
        if (IsComment(lines[i])) {
            EXPECT_EQ(lines[i - 1], "") << "no blank line before " << lines[i];
            comments.push_back(lines[i]);
            numbers.emplace_back();
        } else if (int n = TextNumber(lines[i]); n > 0) {
            ASSERT_FALSE(numbers.empty()) << "text line before the first section";
            numbers.back().push_back(n);
        }
    }
    ASSERT_EQ(comments.size(), expected.size());

    std::set<int> all;
    for (std::size_t s = 0; s < expected.size(); ++s) {
        SCOPED_TRACE("section " + std::to_string(s));
        EXPECT_EQ(comments[s], expected[s].comment);

        const std::vector<int>& got = numbers[s];
        for (std::size_t k = 1; k < got.size(); ++k) {
            const bool twiceAllowed = got[k] == 1909 && got[k - 1] == 1909;
            EXPECT_TRUE(got[k] > got[k - 1] || twiceAllowed) << got[k - 1] << " then " << got[k];
        }
        const std::set<int> want = NumbersOf(expected[s]);
        EXPECT_EQ(std::set<int>(got.begin(), got.end()), want);
        all.insert(want.begin(), want.end());
    }
    EXPECT_EQ(all.size(), 473u);
    EXPECT_EQ(TextsByNumber().size(), 473u);
}

TEST(BuiltInTexts, WithoutLanguageFilesEveryNumberGivesItsCatalogueText)
{
    const auto texts = TextsByNumber();
    TLang lang{std::string()};
    for (int n = 0; n < TLang::kMaxText; ++n) {
        const auto it = texts.find(n);
        ASSERT_EQ(lang.GetText(n), it == texts.end() ? std::string() : it->second) << "text " << n;
    }

    // 1909 is defined twice, a blank line apart: the later line wins.
    const auto& lines = BuiltInLines();
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (TextNumber(lines[i]) == 1909)
            at.push_back(i);
    ASSERT_EQ(at.size(), 2u);
    EXPECT_EQ(lines[at[0]], "1909 Ficheros Binarios");
    EXPECT_EQ(at[1], at[0] + 2);
    EXPECT_EQ(lang.GetText(1909), "Tipo BoxLoader");
}

TEST(BuiltInTexts, TextsAreWindows1252ByteForByte)
{
    const struct
    {
        int number;
        const char* text;
    } cases[] = {
        {4, "P\xE1gina"},
        {7, "Preparando Impresi\xF3n"},
        {58, "Favoritos 8"},
        {104, "Ver"},
        {135, "Los datos actuales han sido modificados, \xBF" "Desea grabarlos antes?"},
        {402, "Informaci\xF3n"},
        {404, "Si"},
        {1509, "Tama\xF1o: 0 Bytes"},
        {2010, "N\xFAm"},
        {2320, "\xBFSeguro que desea borrar estos %d Transponders?  (Se borrar\xE1n tambi\xE9n los canales que los usan)"},
        {2714, "No  encuentro ninguna antena libre, ser\xE1 mejor que modifique o borre una que no use"},
        {3214, "Nuevo"},
    };
    const auto texts = TextsByNumber();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        const auto it = texts.find(c.number);
        ASSERT_NE(it, texts.end());
        EXPECT_EQ(it->second, c.text);
    }
}
