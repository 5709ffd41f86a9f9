#include "foundation/TLang.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>
#include <string>
#include <vector>

namespace {

// Finds a language by name; -1 when absent.
int IndexOf(const TLang& lang, const std::string& name)
{
    for (size_t i = 0; i < lang.Languages().size(); ++i)
        if (lang.Languages()[i].Name == name)
            return int(i);
    return -1;
}

TEST(TLang, WithoutLanguageFilesTheBuiltInLanguageIsCurrent)
{
    TempDir dir;
    WriteFileBytes(dir / "notes.txt", "0003 Abbrechen\r\n");
    TLang lang(dir.path().string());
    ASSERT_EQ(lang.Languages().size(), 1u);
    const TLengua& builtIn = lang.Languages()[0];
    EXPECT_EQ(builtIn.Name, "Castellano");
    EXPECT_EQ(builtIn.Version, 100);
    EXPECT_EQ(builtIn.Author, "Ardelo");
    EXPECT_EQ(builtIn.FileName, "*");
    EXPECT_TRUE(builtIn.Loaded);
    EXPECT_EQ(lang.Current(), 0);
    EXPECT_EQ(lang.GetText(10000), ""); // outside the tables: empty, nothing read
    EXPECT_EQ(lang.GetText(-1), "");
    EXPECT_FALSE(lang.SetLanguage(0));  // current already
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
    TLang lang(dir.path().string());
    ASSERT_EQ(lang.Languages().size(), 2u);
    const TLengua& de = lang.Languages()[1];
    EXPECT_TRUE(de.Loaded);
    EXPECT_EQ(de.Name, "Deutsch");
    EXPECT_EQ(de.Version, 7);
    EXPECT_EQ(de.Author, "Hans");
    EXPECT_EQ(de.FileName, (dir / "DE.LNG").string());

    ASSERT_TRUE(lang.SetLanguage(1));
    EXPECT_EQ(lang.GetText(1), "Schliessen");
    EXPECT_EQ(lang.GetText(2), "Annehmen");  // any separator is skipped
    EXPECT_EQ(lang.GetText(5), "echseln");   // no separator: the first letter is lost
    EXPECT_EQ(lang.GetText(0), "rucken");    // "006 " is no number: counts as 0
    EXPECT_EQ(lang.GetText(8), "");          // defined as empty: no fallback
    EXPECT_EQ(lang.GetText(205), "zweite");  // the last definition wins
    EXPECT_EQ(lang.GetText(11), "Neu ");     // texts are not trimmed
    EXPECT_EQ(lang.GetText(1000), " zu gross"); // only the first four characters are the number
    EXPECT_EQ(lang.GetText(7), "Preparando Impresi\xF3n"); // indented line is no text line
    EXPECT_EQ(lang.GetText(10), "ok");
    EXPECT_EQ(lang.GetText(4), "P\xE1gina"); // behind the NUL: not read, built-in serves
    EXPECT_EQ(lang.GetText(3), "Cancelar");  // not defined here: built-in serves
    EXPECT_EQ(lang.GetText(9998), "");       // defined nowhere

    ASSERT_TRUE(lang.SetLanguage(0));
    EXPECT_EQ(lang.GetText(1), "Cerrar");
    EXPECT_EQ(lang.GetText(8), "Continuar");
}

TEST(TLang, HeaderVariants)
{
    TempDir dir;
    WriteFileBytes(dir / "a.LNG", "0101 x\n");                        // no LANG: named after the file
    WriteFileBytes(dir / "b.v2.LNG", "VER=abc\n");                     // only the last extension goes
    WriteFileBytes(dir / "c.LNG", "LANG=Uno\nLANGUAGE=Dos\n");         // LANGUAGE counts, last wins
    WriteFileBytes(dir / "d.LNG", "LANG Sin Igual  \nAUTHOR\nVER=$10\n"); // no "=": the whole line
    TLang lang(dir.path().string());
    ASSERT_EQ(lang.Languages().size(), 5u);
    EXPECT_EQ(lang.Languages()[1].Name, "a");
    EXPECT_EQ(lang.Languages()[2].Name, "b.v2");
    EXPECT_EQ(lang.Languages()[2].Version, 0);
    EXPECT_EQ(lang.Languages()[3].Name, "Dos");
    EXPECT_EQ(lang.Languages()[4].Name, "LANG Sin Igual");
    EXPECT_EQ(lang.Languages()[4].Author, "AUTHOR");
    EXPECT_EQ(lang.Languages()[4].Version, 16);
}

TEST(TLang, BadFilesKeepTheirIndexAndAreNotLoaded)
{
    TempDir dir;
    WriteFileBytes(dir / "1good.LNG", "LANG=Primero\n0003 Uno\n");
    WriteFileBytes(dir / "2locked.LNG", "LANG=Cerrado\n0003 Dos\n");
    std::filesystem::permissions(dir / "2locked.LNG", std::filesystem::perms::none);
    std::filesystem::create_directory(dir / "3folder.LNG");
    // Larger than any language file: refused before it is read (sparse, so cheap).
    WriteFileBytes(dir / "4huge.LNG", "LANG=Enorme\n");
    std::filesystem::resize_file(dir / "4huge.LNG", std::uintmax_t(1) << 33);
    std::string binary;
    for (int i = 1; i < 256; ++i)
        binary += char(i);
    WriteFileBytes(dir / "5binary.LNG", binary + binary);
    WriteFileBytes(dir / "6good.LNG", "LANG=Ultimo\n0003 Seis\n");
    // An empty file is read fine and defines nothing.
    WriteFileBytes(dir / "7empty.LNG", "");

    TLang lang(dir.path().string());
    ASSERT_EQ(lang.Languages().size(), 8u);
    const bool root = ::geteuid() == 0; // root reads a file without permissions
    EXPECT_TRUE(lang.Languages()[1].Loaded);
    EXPECT_EQ(lang.Languages()[2].Loaded, root);
    if (!root) {
        EXPECT_EQ(lang.Languages()[2].Name, "2locked");
        EXPECT_TRUE(lang.Languages()[2].Lines.empty());
    }
    EXPECT_FALSE(lang.Languages()[3].Loaded);
    EXPECT_EQ(lang.Languages()[3].Name, "3folder");
    EXPECT_FALSE(lang.Languages()[4].Loaded);
    EXPECT_EQ(lang.Languages()[4].Name, "4huge");
    EXPECT_TRUE(lang.Languages()[5].Loaded);
    EXPECT_TRUE(lang.Languages()[7].Loaded);
    EXPECT_EQ(lang.Languages()[7].Name, "7empty");

    // The good file behind the bad ones keeps its own index and its texts.
    EXPECT_EQ(IndexOf(lang, "Ultimo"), 6);
    ASSERT_TRUE(lang.SetLanguage(6));
    EXPECT_EQ(lang.GetText(3), "Seis");
    ASSERT_TRUE(lang.SetLanguage(5)); // binary: whatever it defines, nothing breaks
    EXPECT_EQ(lang.GetText(9999), "");
    ASSERT_TRUE(lang.SetLanguage(4)); // not loaded: the built-in texts serve
    EXPECT_EQ(lang.GetText(3), "Cancelar");
    EXPECT_FALSE(lang.SetLanguage(8)); // no such entry
    EXPECT_FALSE(lang.SetLanguage(-1));
    EXPECT_EQ(lang.Current(), 4);
}

TEST(TLang, MoreThan65535LinesStillFindTheirTexts)
{
    TempDir dir;
    std::string file = "LANG=Largo\n";
    for (int i = 0; i < 70000; ++i)
        file += "0001 relleno " + std::to_string(i) + "\n";
    file += "0101 Fichero al final\n";
    WriteFileBytes(dir / "Largo.LNG", file);
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
    Recorder first{&log, "first"};
    Recorder second{&log, "second"};

    lang.AddTask(TTranslateEvent::Of<&Recorder::TranslateB>(&first));
    lang.AddTask(TTranslateEvent::Of<&Recorder::TranslateA>(&first));
    // Same code, other object: the same task, neither registered nor called.
    lang.AddTask(TTranslateEvent::Of<&Recorder::TranslateB>(&second));
    lang.AddTask(TTranslateEvent::Of<&Recorder::TranslateB>(&first));
    EXPECT_EQ(log, (std::vector<std::string>{"first:B", "first:A"}));

    log.clear();
    EXPECT_TRUE(lang.SetLanguage(1));
    EXPECT_EQ(log, (std::vector<std::string>{"first:B", "first:A"}));

    log.clear();
    EXPECT_FALSE(lang.SetLanguage(1));
    EXPECT_TRUE(log.empty());

    lang.RemoveTask(TTranslateEvent::Of<&Recorder::TranslateB>(&second)); // code alone counts
    lang.RemoveTask(TTranslateEvent::Of<&Recorder::TranslateB>(&second)); // gone: nothing
    EXPECT_TRUE(lang.SetLanguage(0));
    EXPECT_EQ(log, (std::vector<std::string>{"first:A"}));
}

TEST(TLang, CallbackThatRegistersOrRemovesDuringASwitch)
{
    TempDir dir;
    WriteFileBytes(dir / "X.LNG", "LANG=X\n");
    TLang lang(dir.path().string());
    int added = 0, removing = 0;
    const char codeAdded = 0, codeRemoving = 0;
    lang.AddTask(TTranslateEvent(&codeRemoving, [&] {
        ++removing;
        if (removing > 1) // during the switch it removes itself and adds another
            lang.RemoveTask(TTranslateEvent(&codeRemoving, nullptr));
        if (removing > 1)
            lang.AddTask(TTranslateEvent(&codeAdded, [&] { ++added; }));
    }));
    EXPECT_TRUE(lang.SetLanguage(1));
    EXPECT_EQ(removing, 2);
    EXPECT_EQ(added, 1); // called once on registration, not again by the same switch
    EXPECT_TRUE(lang.SetLanguage(0));
    EXPECT_EQ(removing, 2);
    EXPECT_EQ(added, 2);
}

TEST(TLang, LangTextUsesTheServiceOfTheRun)
{
    TempDir dir;
    WriteFileBytes(dir / "X.LNG", "LANG=X\n0003 Abbrechen\n");
    EXPECT_EQ(LangText(3), "Cancelar"); // before the service exists
    {
        TLang lang(dir.path().string());
        TheLang = &lang;
        lang.SetLanguage(1);
        EXPECT_EQ(LangText(3), "Abbrechen");
        TheLang = nullptr;
    }
    EXPECT_EQ(LangText(3), "Cancelar");
    EXPECT_EQ(LangText(-5), "");
}

} // namespace
