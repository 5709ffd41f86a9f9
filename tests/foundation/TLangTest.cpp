#include "foundation/TLang.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Every language as "name|version|author|loaded".
std::vector<std::string> Listed(const TLang& lang)
{
    std::vector<std::string> out;
    for (const TLengua& l : lang.Languages())
        out.push_back(l.Name + "|" + std::to_string(l.Version) + "|" + l.Author + "|" + (l.Loaded ? "loaded" : "-"));
    return out;
}

TEST(TLang, LanguageFileFormat)
{
    TempDir dir;
    // CR-only line ends, lower-case header keys with blanks, a text defined
    // twice, an empty text, separators of any kind and a NUL that ends it all.
    const std::string file =
        "ver = 7\r"
        "lang = Deutsch  \r"
        "author\t=\tHans\r"
        "############## Comunes\r"
        "0001 Schliessen\r"
        "0002\tAnnehmen\r"
        "0005Wechseln\r"
        "006 Drucken\r"
        "0008\r"
        "0205 erste\r"
        "0205 zweite\r"
        "0011 Neu \r"
        "10000 zu gross\r"
        "  0007 eingerueckt\r"
        "0010 ok" + std::string(1, '\0') + "\r0004 nach dem NUL\r";
    WriteFileBytes(dir / "DE.LNG", file);
    WriteFileBytes(dir / "notes.txt", "0003 Abbrechen\r\n"); // not a language file
    TLang lang(dir.path().string());
    EXPECT_EQ(Listed(lang), (std::vector<std::string>{"Castellano|100|Ardelo|loaded", "Deutsch|7|Hans|loaded"}));
    EXPECT_EQ(lang.Languages()[1].FileName, (dir / "DE.LNG").string());
    EXPECT_EQ(lang.Current(), 0);
    EXPECT_FALSE(lang.SetLanguage(0)); // current already

    ASSERT_TRUE(lang.SetLanguage(1));
    const std::pair<int, std::string> texts[] = {
        {1, "Schliessen"},
        {2, "Annehmen"},            // any separator is skipped
        {5, "echseln"},             // no separator: the first letter is lost
        {0, "rucken"},              // "006 " is no number: counts as 0
        {8, ""},                    // defined as empty: no fallback
        {205, "zweite"},            // the last definition wins
        {11, "Neu "},               // texts are not trimmed
        {1000, " zu gross"},        // only the first four characters are the number
        {7, "Preparando Impresi\xF3n"}, // an indented line is no text line
        {10, "ok"},
        {4, "P\xE1gina"},           // behind the NUL: not read, the built-in text serves
        {3, "Cancelar"},            // not defined here: the built-in text serves
        {9998, ""}, {10000, ""}, {-1, ""},
    };
    for (const auto& [n, text] : texts)
        EXPECT_EQ(lang.GetText(n), text) << n;
    ASSERT_TRUE(lang.SetLanguage(0));
    EXPECT_EQ(lang.GetText(1) + "|" + lang.GetText(8), "Cerrar|Continuar");
}

TEST(TLang, HeaderVariantsAndBadFilesKeepTheirIndex)
{
    TempDir dir;
    WriteFileBytes(dir / "a.LNG", "0101 x\n");                            // no LANG: named after the file
    WriteFileBytes(dir / "b.v2.LNG", "VER=abc\n");                         // only the last extension goes
    WriteFileBytes(dir / "c.LNG", "LANG=Uno\nLANGUAGE=Dos\n");             // LANGUAGE counts, the last wins
    WriteFileBytes(dir / "d.LNG", "LANG Sin Igual  \nAUTHOR\nVER=$10\n"); // no "=": the whole line
    WriteFileBytes(dir / "e.LNG", "LANG=Cerrado\n0003 Dos\n");
    std::filesystem::permissions(dir / "e.LNG", std::filesystem::perms::none);
    std::filesystem::create_directory(dir / "f.LNG");
    // Larger than any language file: refused before it is read (sparse, so cheap).
    WriteFileBytes(dir / "g.LNG", "LANG=Enorme\n");
    std::filesystem::resize_file(dir / "g.LNG", std::uintmax_t(1) << 33);
    ASSERT_EQ(::mkfifo((dir / "h.LNG").c_str(), 0600), 0); // must not block the start
    std::string binary;
    for (int i = 1; i < 256; ++i)
        binary += char(i);
    WriteFileBytes(dir / "i.LNG", binary + binary);
    WriteFileBytes(dir / "j.LNG", "LANG=Ultimo\n0003 Seis\n");
    WriteFileBytes(dir / "k.LNG", ""); // read fine, defines nothing

    TLang lang(dir.path().string());
    const bool root = ::geteuid() == 0; // root reads a file without permissions
    const std::vector<std::string> expected = {
        "Castellano|100|Ardelo|loaded", "a|0||loaded", "b.v2|0||loaded", "Dos|0||loaded",
        "LANG Sin Igual|16|AUTHOR|loaded", root ? "Cerrado|0||loaded" : "e|0||-", "f|0||-", "g|0||-", "h|0||-",
        "i|0||loaded", "Ultimo|0||loaded", "k|0||loaded"};
    ASSERT_EQ(Listed(lang), expected);

    // The good file behind the bad ones keeps its own index and its texts.
    ASSERT_TRUE(lang.SetLanguage(10));
    EXPECT_EQ(lang.GetText(3), "Seis");
    ASSERT_TRUE(lang.SetLanguage(9)); // binary: whatever it defines, nothing breaks
    EXPECT_EQ(lang.GetText(9999), "");
    ASSERT_TRUE(lang.SetLanguage(7)); // not loaded: the built-in texts serve
    EXPECT_EQ(lang.GetText(3), "Cancelar");
    EXPECT_FALSE(lang.SetLanguage(12)); // no such entry
    EXPECT_FALSE(lang.SetLanguage(-1));
    EXPECT_EQ(lang.Current(), 7);
}

TEST(TLang, MoreThan65535LinesStillFindTheirTexts)
{
    TempDir dir;
    std::string file = "LANG=Largo\n";
    for (int i = 0; i < 70000; ++i)
        file += "0001 relleno " + std::to_string(i) + "\n";
    WriteFileBytes(dir / "Largo.LNG", file + "0101 Fichero al final\n");
    TLang lang(dir.path().string());
    ASSERT_TRUE(lang.SetLanguage(1));
    EXPECT_EQ(lang.GetText(101), "Fichero al final");
    EXPECT_EQ(lang.GetText(1), "relleno 69999");
}

struct Recorder {
    std::vector<std::string>* log;
    std::string name;
    void TranslateA() { log->push_back(name + ":A"); }
    void TranslateB() { log->push_back(name + ":B"); }
};

TEST(TLang, CallbacksRunOnceEachInOrder)
{
    TempDir dir;
    WriteFileBytes(dir / "X.LNG", "LANG=X\n");
    TLang lang(dir.path().string());
    std::vector<std::string> log;
    Recorder first{&log, "first"}, second{&log, "second"};
    lang.AddTask(TTranslateEvent::Of<&Recorder::TranslateB>(&first));
    lang.AddTask(TTranslateEvent::Of<&Recorder::TranslateA>(&first));
    // Same code, other object: the same task, neither registered nor called.
    lang.AddTask(TTranslateEvent::Of<&Recorder::TranslateB>(&second));
    lang.AddTask(TTranslateEvent::Of<&Recorder::TranslateB>(&first));
    EXPECT_TRUE(lang.SetLanguage(1));
    EXPECT_FALSE(lang.SetLanguage(1)); // current already: no callback
    EXPECT_EQ(log, (std::vector<std::string>{"first:B", "first:A", "first:B", "first:A"}));

    log.clear();
    lang.RemoveTask(TTranslateEvent::Of<&Recorder::TranslateB>(&second)); // the code alone counts
    lang.RemoveTask(TTranslateEvent::Of<&Recorder::TranslateB>(&second)); // gone: nothing
    EXPECT_TRUE(lang.SetLanguage(0));
    EXPECT_EQ(log, (std::vector<std::string>{"first:A"}));
}

// A switch runs the callbacks registered when it starts: one that an earlier
// callback removes or adds is left out, and the others all run.
TEST(TLang, CallbackThatRegistersOrRemovesDuringASwitch)
{
    TempDir dir;
    WriteFileBytes(dir / "X.LNG", "LANG=X\n");
    TLang lang(dir.path().string());
    int added = 0, removing = 0, removed = 0, plain = 0;
    const char codeAdded = 0, codeRemoving = 0, codeRemoved = 0, codePlain = 0;
    lang.AddTask(TTranslateEvent(&codeRemoving, [&] {
        if (++removing > 1) { // during the switch it removes itself and the next, and adds another
            lang.RemoveTask(TTranslateEvent(&codeRemoving, nullptr));
            lang.RemoveTask(TTranslateEvent(&codeRemoved, nullptr));
            lang.AddTask(TTranslateEvent(&codeAdded, [&] { ++added; }));
        }
    }));
    lang.AddTask(TTranslateEvent(&codeRemoved, [&] { ++removed; }));
    lang.AddTask(TTranslateEvent(&codePlain, [&] { ++plain; }));
    EXPECT_TRUE(lang.SetLanguage(1));
    EXPECT_EQ(removing, 2);
    EXPECT_EQ(removed, 1); // on registration only
    EXPECT_EQ(plain, 2);
    EXPECT_EQ(added, 1);   // on registration, not again by the same switch
    EXPECT_TRUE(lang.SetLanguage(0));
    EXPECT_EQ(std::to_string(removing) + std::to_string(removed) + std::to_string(plain) + std::to_string(added), "2132");
}

TEST(TLang, LangTextUsesTheServiceOfTheRun)
{
    TempDir dir;
    WriteFileBytes(dir / "X.LNG", "LANG=X\n0003 Abbrechen\n");
    EXPECT_EQ(LangText(3), "Cancelar"); // before the service exists
    TheLang = std::make_unique<TLang>(dir.path().string());
    TheLang->SetLanguage(1);
    EXPECT_EQ(LangText(3), "Abbrechen");
    TheLang.reset();
    EXPECT_EQ(LangText(3), "Cancelar");
    EXPECT_EQ(LangText(-5), "");
}

} // namespace
