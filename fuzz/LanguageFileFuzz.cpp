// The language file reader against arbitrary bytes: language files lie
// beside the program, in a folder others may write to. Whatever a file holds,
// it is listed and loaded; a number's text is the tail of the last line that
// names it (four characters of number, one separator) or else the built-in
// one; and going back to the built-in language gives the built-in texts.
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "foundation/BuiltInTexts.h"
#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "fuzz/driver/FuzzSupport.h"

using fuzz::Require;

const char* const fuzz::Subject = "language file reader";

std::vector<std::vector<std::uint8_t>> VexaFuzzSeeds()
{
    std::string catalogue; // the start of the built-in language, as a translator copies it
    for (std::size_t i = 0; i < 40; ++i)
        catalogue += BuiltInLines()[i] + "\r\n";
    const std::string odd = "ver = 7\rlang = Deutsch  \rauthor\t=\tHans\r0002\tAnnehmen\r0005Wechseln\r006 Drucken\r"
                            "0008\r0205 erste\r0205 zweite\r10000 zu gross\r  0007 x\n\r\r\n0010 ok";
    return {fuzz::Bytes(catalogue), fuzz::Bytes(odd + std::string(1, '\0') + "\r0004 nach dem NUL\r")};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string folder = [] { // private to the run, and in memory where the system allows
        if (std::filesystem::is_directory("/dev/shm"))
            ::setenv("TMPDIR", "/dev/shm", 1);
        const std::string f = GetDirTemp() + "languages";
        std::filesystem::create_directory(f);
        return f;
    }();
    static const TLang builtIn{std::string()};
    fuzz::WriteFile(folder + "/X.LNG", data, size);
    TLang lang(folder);
    Require(lang.Languages().size() == 2 && lang.Languages()[1].Loaded, "a readable file is listed and loaded");
    const TLengua& file = lang.Languages()[1];
    Require(fuzz::IsOneLine(file.Name) && fuzz::IsOneLine(file.Author), "a header value spans one line");
    std::map<int, std::string> named; // each number the file names, with its last line's tail
    for (const std::string& line : file.Lines) {
        Require(fuzz::IsOneLine(line), "a line holds no line end and no NUL");
        const int n = line.empty() || !IsDigit(line[0]) ? -1 : SafeStrToInt(line.substr(0, 4));
        if (n >= 0 && n < TLang::kMaxText)
            named[n] = line.size() > 5 ? line.substr(5) : std::string();
    }
    Require(lang.SetLanguage(1), "the file's language can be chosen");
    for (const auto& [n, text] : named)
        Require(lang.GetText(n) == text, "the last line that names a number gives its text");
    for (int n : {0, 1, 4, 1909, TLang::kMaxText - 1})
        Require(named.count(n) || lang.GetText(n) == builtIn.GetText(n), "a number not named keeps its built-in text");
    Require(lang.SetLanguage(0), "the built-in language can be chosen again");
    for (const auto& [n, text] : named)
        Require(lang.GetText(n) == builtIn.GetText(n), "the built-in language keeps the built-in texts");
    return 0;
}
