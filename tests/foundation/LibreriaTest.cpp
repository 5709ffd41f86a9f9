#include "foundation/Libreria.h"

#include "foundation/TLang.h"

#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

TEST(SafeStrToInt, ConvertsOrGivesZero)
{
    struct Row {
        std::string text;
        std::int32_t expected;
    };
    const Row rows[] = {
        {"", 0},
        {" ", 0},
        {"12 ", 0},        // trailing blank makes it malformed
        {"abc", 0},
        {"  12", 12},      // leading blanks are fine
        {"-5", -5},
        {"+7", 7},
        {"$1A", 26},
        {"0x1A", 26},
        {"0X1a", 26},
        {"x1A", 26},
        {"-$1A", -26},
        {"$", 0},
        {"0x", 0},
        {"-", 0},
        {"\t5", 0},        // only spaces lead
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", 0}, // overflows 32 bits
        {"-2147483649", 0},
        {"99999999999999999999", 0},
        {"$FFFFFFFF", -1}, // a 32-bit pattern
        {"$100000000", 0},
        {"0012", 12},
        {"12a", 0},
        {"1 2", 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(SafeStrToInt(row.text), row.expected) << "text \"" << row.text << "\"";
}

TEST(TextHelpers, TrimAndStrip)
{
    EXPECT_EQ(TrimSpacesRight("ab \t  "), "ab \t");
    EXPECT_EQ(TrimSpacesRight("   "), "");
    EXPECT_EQ(TrimBlanksLeft(" \t\n ab "), "ab ");
    EXPECT_EQ(TrimBlanksLeft("\r ab"), "\r ab");
    EXPECT_EQ(TrimBlanksLeft(" \t\n"), "");
    EXPECT_EQ(TrimAll("\t Castellano  "), "Castellano");
    EXPECT_EQ(TrimAll(" \t "), "");

    EXPECT_EQ(StripSeparators("19.2"), "192");
    EXPECT_EQ(StripSeparators("1,234.5"), "12345");
    EXPECT_EQ(StripSeparators("."), "0");
    EXPECT_EQ(StripSeparators(""), "0");

    EXPECT_EQ(FirstChar(""), 0);
    EXPECT_EQ(FirstChar("\xE9t"), 0xE9); // never negative
    EXPECT_TRUE(IsDigit('0'));
    EXPECT_TRUE(IsDigit('9'));
    EXPECT_FALSE(IsDigit('a'));
    EXPECT_FALSE(IsDigit('\xB2')); // superscript two is no digit
    EXPECT_FALSE(ByteToBool(0));
    EXPECT_TRUE(ByteToBool(1));
    EXPECT_TRUE(ByteToBool(0xFF));
}

TEST(TextHelpers, GetLineCountsFromOne)
{
    const std::vector<std::string> lines = {"one", "two"};
    EXPECT_EQ(GetLine(lines, 0), "");
    EXPECT_EQ(GetLine(lines, 1), "one");
    EXPECT_EQ(GetLine(lines, 2), "two");
    EXPECT_EQ(GetLine(lines, 3), "");
    EXPECT_EQ(GetLine(lines, -1), "");
    EXPECT_EQ(GetLine({}, 1), "");
}

TEST(SplitWords, Table)
{
    struct Row {
        std::string text;
        std::vector<std::string> words;
    };
    const Row rows[] = {
        {"BOX  \"Canal Sur TV\" ITEM", {"box", "Canal Sur TV", "item"}},
        {"\"\"", {""}},
        {"AB\"Cd Ef\"", {"abCd Ef"}},
        {"  a   b  ", {"a", "b"}},
        {"A\tB c", {"a\tb", "c"}},                 // only the space separates
        {"\"open Quote", {"open Quote"}},           // an open quote still gives its word
        {"x \"\" y", {"x", "", "y"}},
        {"\"A\"\"B\"", {"A", "B"}},
        {"\xC9T\xC9", {"\xC9t\xC9"}},               // accented letters keep their case
        {"", {}},
        {"   ", {}},
    };
    for (const Row& row : rows) {
        std::vector<std::string> words = {"stale"};
        SplitWords(row.text, words);
        EXPECT_EQ(words, row.words) << "text \"" << row.text << "\"";
    }
}

TEST(SameName, FoldsBlanksCaseAndAccents)
{
    struct Row {
        std::string a, b;
        bool same;
    };
    const Row rows[] = {
        {"Canal Sur", "canalsur", true},
        {" C a n a l ", "CANAL", true},
        {"Cadena", "Cadenas", false},
        {"Tel\xE9", "TELE", true},              // é
        {"\xC0\xE8\xEE\xF6\xFC", "aeiou", true}, // À è î ö ü
        {"\xC1\xC9\xCD\xD3\xDA", "AEIOU", true},
        {"Espa\xF1" "a", "Espana", false},      // ñ against n
        {"Espa\xD1" "a", "ESPANA", false},      // Ñ against N
        {"Espa\xF1" "a", "ESPA\xD1" "A", false}, // ñ against Ñ: no case folding outside ASCII
        {"\xC3", "A", false},                   // Ã is not folded
        {"\xC5", "A", false},                   // Å is not folded
        {"", "   ", true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(SameName(row.a, row.b), row.same) << row.a << " / " << row.b;
    EXPECT_EQ(FoldAccent('\xE7'), '\xE7'); // ç stays
    EXPECT_EQ(FoldAccent('\xFF'), '\xFF'); // ÿ stays
    EXPECT_EQ(FoldAccent('a'), 'a');       // plain letters are not upper-cased here
}

TEST(ReverseBytes, ReversesExactlyNBytes)
{
    const unsigned char src[4] = {1, 2, 3, 4};
    unsigned char dst[5] = {9, 9, 9, 9, 9};
    ReverseBytes(src, dst, 4);
    EXPECT_EQ(std::vector<unsigned char>(dst, dst + 5), (std::vector<unsigned char>{4, 3, 2, 1, 9}));
    unsigned char untouched[2] = {7, 7};
    ReverseBytes(src, untouched, 0);
    EXPECT_EQ(untouched[0], 7);
}

TEST(PathHelpers, Table)
{
    EXPECT_EQ(PathNoSlash("/a/b/"), "/a/b");
    EXPECT_EQ(PathNoSlash("/a/b//"), "/a/b/");
    EXPECT_EQ(PathNoSlash("/a/b"), "/a/b");
    EXPECT_EQ(PathNoSlash(""), "");

    struct Row {
        std::string name, ext, expected;
    };
    const Row rows[] = {
        {"/home/u/lista.txt", "Dat", "/home/u/lista.Dat"},
        {"/home/u/lista", "Dat", "/home/u/lista.Dat"},
        {"/home/u.v/lista", "Txt", "/home/u.v/lista.Txt"}, // a dot of a folder is no extension
        {"/home/u/a.b.c", "Ini", "/home/u/a.b.Ini"},
        {"/opt/vexautils", "Ini", "/opt/vexautils.Ini"},
        {"lista.", "Dat", "lista.Dat"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(SetExtension(row.name, row.ext), row.expected) << row.name;

    std::string temp = GetDirTemp();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '/');
    EXPECT_TRUE(std::filesystem::is_directory(temp));
    EXPECT_EQ(GetDirTemp(), temp); // one folder for the run

    EXPECT_FALSE(ProgramFileName().empty());
    EXPECT_NE(ProgramFolder().back(), '/');
}

TEST(SearchFil, MatchesAnyCaseAndAppends)
{
    TempDir dir;
    WriteFileBytes(dir / "b.LNG", "");
    WriteFileBytes(dir / "a.lng", "");
    WriteFileBytes(dir / "c.LNG.bak", "");
    WriteFileBytes(dir / "readme.txt", "");
    std::filesystem::create_directory(dir / "d.LNG");

    std::vector<std::string> names = {"kept"};
    SearchFil(dir.path().string() + "/*.LNG", names);
    EXPECT_EQ(names, (std::vector<std::string>{"kept", "a.lng", "b.LNG", "d.LNG"}));

    std::vector<std::string> none;
    SearchFil(dir.path().string() + "/nothing/*.LNG", none);
    EXPECT_TRUE(none.empty());
    SearchFil(dir.path().string() + "/?.txt", none);
    EXPECT_TRUE(none.empty());
}

TEST(LoadLines, LineEndsNulAndFailures)
{
    TempDir dir;
    struct Row {
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"a\r\n", {"a"}},
        {"\r\n\r\n", {"", ""}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {std::string("ab\0cd\nef", 8), {"ab"}},
        {"", {}},
        {"\xE1\xE9\n", {"\xE1\xE9"}},
    };
    for (const Row& row : rows) {
        WriteFileBytes(dir / "t.txt", row.bytes);
        std::vector<std::string> lines = {"stale"};
        EXPECT_TRUE(LoadLines((dir / "t.txt").string(), lines));
        EXPECT_EQ(lines, row.lines);
    }

    std::vector<std::string> lines = {"stale"};
    EXPECT_FALSE(LoadLines((dir / "missing.txt").string(), lines));
    EXPECT_TRUE(lines.empty());
    EXPECT_FALSE(LoadLines(dir.path().string(), lines)); // a folder
    WriteFileBytes(dir / "big.txt", std::string(101, 'x'));
    EXPECT_FALSE(LoadLines((dir / "big.txt").string(), lines, 100));
    EXPECT_TRUE(LoadLines((dir / "big.txt").string(), lines, 101));
}

TEST(MessageBoxes, CaptionsKindsAndAnswers)
{
    ScriptedMessageBoxes boxes;
    ShowError("Fallo\rdos");
    ShowInfo("Hecho");
    boxes.Answer(BoxAnswer::Yes);
    EXPECT_TRUE(Confirm("¿Seguro?"));
    boxes.Answer(BoxAnswer::No);
    EXPECT_FALSE(Confirm("¿Seguro?"));
    boxes.Answer(BoxAnswer::Cancel);
    EXPECT_FALSE(Confirm("¿Seguro?"));

    ASSERT_EQ(boxes.Boxes().size(), 5u);
    EXPECT_EQ(boxes.Boxes()[0].kind, BoxKind::Error);
    EXPECT_EQ(boxes.Boxes()[0].caption, "Error");
    EXPECT_EQ(boxes.Boxes()[0].text, "Fallo\rdos"); // passed unchanged
    EXPECT_EQ(boxes.Boxes()[1].kind, BoxKind::Info);
    EXPECT_EQ(boxes.Boxes()[1].caption, "Informaci\xF3n");
    EXPECT_EQ(boxes.Boxes()[2].kind, BoxKind::Confirm);
    EXPECT_EQ(boxes.Boxes()[2].caption, "Confirmar");

    boxes.SetTerminating(true);
    boxes.Answer(BoxAnswer::Yes);
    EXPECT_FALSE(Confirm("¿Salir?"));
    EXPECT_EQ(boxes.Boxes().size(), 5u); // nothing was asked
    EXPECT_EQ(boxes.PendingAnswers(), 1u);

    EXPECT_EQ(YesNoText(true), "Si");
    EXPECT_EQ(YesNoText(false), "No");
}

TEST(MessageBoxes, CaptionsAndYesNoFollowTheCurrentLanguage)
{
    TempDir dir;
    WriteFileBytes(dir / "English.LNG", "LANG=English\r\n0401 Failure\r\n0403 Confirm\r\n0404 Yes\r\n");
    TLang lang(dir.path().string());
    TheLang = &lang;
    ASSERT_TRUE(lang.SetLanguage(1));
    ScriptedMessageBoxes boxes;
    ShowError("x");
    ShowInfo("y");
    EXPECT_EQ(YesNoText(true), "Yes");
    EXPECT_EQ(YesNoText(false), "No"); // not translated: the built-in text serves
    lang.SetLanguage(0);
    ShowError("z");
    TheLang = nullptr;

    ASSERT_EQ(boxes.Boxes().size(), 3u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "Failure");
    EXPECT_EQ(boxes.Boxes()[1].caption, "Informaci\xF3n");
    EXPECT_EQ(boxes.Boxes()[2].caption, "Error");
}

TEST(MessageBoxes, DefaultAsksNobodyAndChangesNothing)
{
    {
        ScriptedMessageBoxes boxes;
        EXPECT_EQ(&MessageBoxes(), &boxes);
    }
    // Restored to the silent default: answers that change nothing.
    EXPECT_FALSE(Confirm("?"));
    EXPECT_EQ(MessageBoxes().Show(BoxKind::YesNoCancel, "", ""), BoxAnswer::Cancel);
    EXPECT_EQ(MessageBoxes().Show(BoxKind::Error, "", ""), BoxAnswer::Ok);
}

} // namespace
