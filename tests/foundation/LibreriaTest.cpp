#include "foundation/Libreria.h"

#include "foundation/TLang.h"

#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

TEST(SafeStrToInt, ConvertsOrGivesZero)
{
    struct Row {
        std::string text;
        std::int32_t expected;
    };
    const Row rows[] = {
        {"", 0}, {" ", 0}, {"abc", 0}, {"12a", 0}, {"$", 0}, {"0x", 0}, {"-", 0},
        {"12 ", 0},         // a trailing blank makes it malformed
        {"  12", 12},       // leading blanks are fine
        {"\t5", 0},         // only spaces lead
        {"-5", -5}, {"+7", 7}, {"0012", 12}, {"$19", 25}, {"$1A", 26}, {"0x1A", 26}, {"0X1a", 26}, {"x1A", 26}, {"-$1A", -26},
        {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
        {"2147483648", 0},  // overflows 32 bits
        {"99999999999999999999", 0},
        {"$FFFFFFFF", -1},  // a 32-bit pattern
        {"$100000000", 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(SafeStrToInt(row.text), row.expected) << "text \"" << row.text << "\"";
}

// The text helpers that map one text to another.
TEST(TextHelpers, Table)
{
    using Fn = std::string (*)(const std::string&);
    struct Row {
        Fn fn;
        std::string text, expected;
    };
    const auto extDat = [](const std::string& name) { return SetExtension(name, "Dat"); };
    const Row rows[] = {
        {TrimSpacesRight, "ab \t  ", "ab \t"}, {TrimBlanksLeft, " \t\n ab ", "ab "}, {TrimBlanksLeft, "\r ab", "\r ab"},
        {TrimAll, "\t Castellano  ", "Castellano"}, {TrimAll, " \t ", ""},
        {StripSeparators, "1,234.5", "12345"}, {StripSeparators, ".", "0"}, {StripSeparators, "", "0"},
        {LineValue, "language =  Deutsch  ", "Deutsch"}, // trimmed both sides
        {LineValue, "Languages=Fr=an", "Fr=an"},          // after the first "=" only
        {LineValue, "Comport=", ""},
        {LineValue, "LANG Sin Igual  ", "LANG Sin Igual"}, // no "=": the whole line
        {LineValue, "VER=\t$10", "$10"},                   // a leading TAB goes
        {LineValue, "AUTHOR=Ana\t", "Ana\t"},              // a trailing TAB stays
        {PathNoSlash, "/a/b/", "/a/b"}, {PathNoSlash, "/a/b//", "/a/b/"}, {PathNoSlash, "", ""},
        {extDat, "/home/u/lista.txt", "/home/u/lista.Dat"},
        {extDat, "/home/u.v/lista", "/home/u.v/lista.Dat"}, // a dot of a folder is no extension
        {extDat, "/home/u/a.b.c", "/home/u/a.b.Dat"}, {extDat, "lista.", "lista.Dat"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.fn(row.text), row.expected) << "text \"" << row.text << "\"";

    EXPECT_EQ(FirstChar(""), 0);
    EXPECT_EQ(FirstChar("\xE9t"), 0xE9); // never negative
    EXPECT_FALSE(IsDigit('\xB2'));       // superscript two is no digit
    const std::vector<std::string> lines = {"one", "two"};
    EXPECT_EQ(GetLine(lines, 0) + "|" + GetLine(lines, 1) + "|" + GetLine(lines, 2) + "|" + GetLine(lines, 3), "|one|two|");
    const unsigned char src[4] = {1, 2, 3, 4};
    unsigned char dst[5] = {9, 9, 9, 9, 9};
    ReverseBytes(src, dst, 4);
    EXPECT_EQ(std::vector<unsigned char>(dst, dst + 5), (std::vector<unsigned char>{4, 3, 2, 1, 9}));
}

TEST(KeyLines, StartsWithKeyTable)
{
    struct Row {
        std::string line;
        const char* key;
        bool expected;
    };
    const Row rows[] = {
        {"LANGUAGE=Deutsch", "LANGUAGE", true},
        {"language = Deutsch", "LANGUAGE", true}, // the line's case does not matter
        {"LanGuAge", "LANGUAGE", true},           // the whole line is the key
        {"LANGUAG", "LANGUAGE", false},           // shorter than the key
        {"LANGUAGES=Fr", "LANGUAGE", true},       // a key is a prefix
        {" LANGUAGE=x", "LANGUAGE", false},       // an indented key is no key
        {"\tVER=1", "VER", false}, {"VRE=1", "VER", false}, {"", "VER", false}, {"anything", "", true},
        {"ver=1", "ver", false},                  // keys are given in upper case
        {"\xE9T=1", "\xC9T", false},              // accented letters keep their case
        {"\xC9T=1", "\xC9T", true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(StartsWithKey(row.line, row.key), row.expected)
            << "line \"" << row.line << "\", key \"" << row.key << "\"";
}

TEST(SplitWords, Table)
{
    struct Row {
        std::string text;
        std::vector<std::string> words;
    };
    const Row rows[] = {
        {"BOX  \"Canal Sur TV\" ITEM", {"box", "Canal Sur TV", "item"}},
        {"\"\"", {""}}, {"AB\"Cd Ef\"", {"abCd Ef"}}, {"  a   b  ", {"a", "b"}}, {"   ", {}},
        {"A\tB c", {"a\tb", "c"}},                 // only the space separates
        {"\"open Quote", {"open Quote"}},           // an open quote still gives its word
        {"x \"\" y", {"x", "", "y"}}, {"\"A\"\"B\"", {"A", "B"}}, {"AZ@[", {"az@["}},
        {"\xC9T\xC9", {"\xC9t\xC9"}},               // accented letters keep their case
    };
    for (const Row& row : rows) {
        std::vector<std::string> words = {"stale"};
        SplitWords(row.text, words);
        EXPECT_EQ(words, row.words) << "text \"" << row.text << "\"";
    }
}

TEST(SameName, FoldsBlanksCaseAndAccents)
{
    // Every byte: the accented vowels fold to their plain capital, nothing
    // else changes (not Ã Å Õ Ñ Ç Ý ÿ, not even the ASCII letters).
    const std::string folds[] = {
        "A\xC0\xC1\xC2\xC4\xE0\xE1\xE2\xE4", "E\xC8\xC9\xCA\xCB\xE8\xE9\xEA\xEB",
        "I\xCC\xCD\xCE\xCF\xEC\xED\xEE\xEF", "O\xD2\xD3\xD4\xD6\xF2\xF3\xF4\xF6",
        "U\xD9\xDA\xDB\xDC\xF9\xFA\xFB\xFC"};
    for (int b = 0; b < 256; ++b) {
        char expected = char(b);
        for (const std::string& f : folds)
            if (f.find(char(b), 1) != std::string::npos)
                expected = f[0];
        EXPECT_EQ(FoldAccent(char(b)), expected) << "byte " << b;
    }
    struct Row {
        std::string a, b;
        bool same;
    };
    const Row rows[] = {
        {" C a n a l  Sur", "canalSUR", true}, {"Cadena", "Cadenas", false}, {"Tel\xE9 Cinco", "TELECINCO", true},
        {"\xE0\xE8\xEE\xF6\xFC", "AEIOU", true}, {"", "   ", true}, {"az", "AZ", true},
        {"Espa\xF1" "a", "Espana", false},       // ñ against n
        {"Espa\xF1" "a", "ESPA\xD1" "A", false}, // ñ against Ñ: no case folding outside ASCII
    };
    for (const Row& row : rows)
        EXPECT_EQ(SameName(row.a, row.b), row.same) << row.a << " / " << row.b;
}

TEST(Files, PrivateTempFolderAndCaseBlindSearch)
{
    const std::string temp = GetDirTemp();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '/');
    EXPECT_NE(temp, std::filesystem::temp_directory_path().string() + "/"); // a folder of our own
    EXPECT_EQ(std::filesystem::status(temp).permissions() & std::filesystem::perms::others_all,
              std::filesystem::perms::none);
    EXPECT_EQ(GetDirTemp(), temp); // one folder for the run

    TempDir dir;
    for (const char* name : {"b.LNG", "a.lng", "c.LNG.bak", "readme.txt"})
        WriteFileBytes(dir / name, "");
    std::filesystem::create_directory(dir / "d.LNG");
    std::vector<std::string> names = {"kept"};
    SearchFil(dir.path().string() + "/*.LNG", names);
    EXPECT_EQ(names, (std::vector<std::string>{"kept", "a.lng", "b.LNG", "d.LNG"}));
    std::vector<std::string> trailing; // a star at the end matches nothing too
    SearchFil(dir.path().string() + "/*.LNG*", trailing);
    EXPECT_EQ(trailing, (std::vector<std::string>{"a.lng", "b.LNG", "c.LNG.bak", "d.LNG"}));
    std::vector<std::string> none;
    SearchFil(dir.path().string() + "/nothing/*.LNG", none);
    SearchFil(dir.path().string() + "/?.txt", none);
    EXPECT_TRUE(none.empty());
}

TEST(LoadLines, LineEndsNulAndFailures)
{
    TempDir dir;
    struct Row {
        std::string bytes;
        std::vector<std::string> lines;
        NulByte nul = NulByte::EndsText;
    };
    const std::string nuls("ab\0cd\nef\0\r\0", 11);
    const Row rows[] = {
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}}, {"\r\n\r\n", {"", ""}}, {"a\n\rb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}}, {nuls, {"ab"}}, {"", {}},
        {nuls, {std::string("ab\0cd", 5), std::string("ef\0", 3), std::string(1, '\0')}, NulByte::Ordinary},
    };
    for (const Row& row : rows) {
        WriteFileBytes(dir / "t.txt", row.bytes);
        std::vector<std::string> lines = {"stale"};
        EXPECT_TRUE(LoadLines((dir / "t.txt").string(), lines, 100, row.nul));
        EXPECT_EQ(lines, row.lines);
    }
    // Missing, a folder, a FIFO (which must not block), over the size limit.
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    WriteFileBytes(dir / "big.txt", std::string(101, 'x'));
    for (const char* name : {"missing.txt", "", "fifo", "big.txt"}) {
        std::vector<std::string> lines = {"stale"};
        EXPECT_FALSE(LoadLines((dir / name).string(), lines, 100)) << name;
        EXPECT_TRUE(lines.empty());
    }
    std::vector<std::string> lines;
    EXPECT_TRUE(LoadLines((dir / "big.txt").string(), lines, 101));
}

TEST(MessageBoxes, KindsCaptionsInTheCurrentLanguageAndShutdown)
{
    TempDir dir;
    WriteFileBytes(dir / "English.LNG", "LANG=English\r\n0401 Failure\r\n0404 Yes\r\n");
    TheLang = std::make_unique<TLang>(dir.path().string());
    ASSERT_TRUE(TheLang->SetLanguage(1));
    {
        ScriptedMessageBoxes boxes;
        ShowError("Fallo\rdos");
        ShowInfo("Hecho");
        boxes.Answer(BoxAnswer::Yes);
        EXPECT_TRUE(Confirm("\xBFSeguro?"));
        boxes.Answer(BoxAnswer::Cancel); // closed without an answer
        EXPECT_FALSE(Confirm("\xBFSeguro?"));
        EXPECT_EQ(YesNoText(true) + YesNoText(false), "YesNo"); // "No" is not translated: the built-in serves
        boxes.SetTerminating(true);
        boxes.Answer(BoxAnswer::Yes);
        EXPECT_FALSE(Confirm("\xBFSalir?")); // never asked
        std::string seen;
        for (const auto& box : boxes.Boxes())
            seen += std::to_string(int(box.kind)) + " " + box.caption + ": " + box.text + "\n";
        EXPECT_EQ(seen, std::to_string(int(BoxKind::Error)) + " Failure: Fallo\rdos\n"
                      + std::to_string(int(BoxKind::Info)) + " Informaci\xF3n: Hecho\n"
                      + std::to_string(int(BoxKind::Confirm)) + " Confirmar: \xBFSeguro?\n"
                      + std::to_string(int(BoxKind::Confirm)) + " Confirmar: \xBFSeguro?\n");
    }
    TheLang.reset();
    // Without a user interface nobody answers: the answer that changes nothing.
    EXPECT_FALSE(Confirm("?"));
    EXPECT_EQ(MessageBoxes().Show(BoxKind::YesNoCancel, "", ""), BoxAnswer::Cancel);
}

} // namespace
