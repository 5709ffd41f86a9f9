// The text channel list reader against arbitrary text, one line per "\n".
// Whatever it reads must write a list that reads back; from the second
// writing on, the text must not change any more (the first writing may still
// settle what the format cannot say, such as a program on a transponder of
// another satellite).
#include <string>
#include <vector>

#include "database/TVexaData.h"
#include "fuzz/driver/FuzzSupport.h"
#include "tests/database/VexaSamples.h"

namespace {

using fuzz::Require;
using namespace std::string_literals;

// The banner and headings are comments, all read alike: leave them out so
// that the seeds stay small and the mutations hit the data lines.
std::vector<std::uint8_t> Join(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        if (!line.empty() && line[0] != '#')
            text += line + "\n";
    return fuzz::Bytes(text);
}

} // namespace

const char* const fuzz::Subject = "text list";

std::vector<std::vector<std::uint8_t>> VexaFuzzSeeds()
{
    TVexaData d;
    samples::Build(d, 2, 4, 3, 5);
    std::vector<std::string> withFavourites, without;
    d.SaveToTxt(true, withFavourites);
    d.SaveToTxt(false, without);
    const std::vector<std::string> odd = {
        "boxp5000", "L 12", "t 1 2 v 22 18 12 1/2", "s \"A\"b 1 2 u 1,9 w y -90", "a 1 u 1 2 d c 22 12 18",
        "r \"\" 1 1 1 1 2 3 4 5 1 1 1 yY", "v x\"q\" 0 0 9 1 1 1 1 1 0 0 0", "\"unclosed quote",
    };
    // A NUL byte is nothing in a comment and damage on a line that is read.
    const std::vector<std::string> nul = {"BOXP5000", "  # NUL\0 in a comment"s, "s \"A\" 1 2 u 1,9 w y -90",
                                          "v \"N\0L\" 1 1 1 1 2 3 4 5 1 1 1"s};
    return {Join(withFavourites), Join(without), Join(odd), Join(nul)};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> lines = fuzz::SplitLines(data, size, fuzz::CarriageReturn::Drop);
    TVexaData d;
    const int result = d.LoadFromTxt(lines);
    Require(result == TVexaData::TxtRead || result == TVexaData::TxtFormatError, "a read without Cancel is 0 or 1");
    if (result != TVexaData::TxtRead) {
        Require(!d.Valid, "a failed read leaves the set valid");
        Require(d.Satelites.Count() + d.Transponders.Count() + d.Antenas.Count() + d.Channels.Count() == 0,
                "a failed read leaves records behind");
        return 0;
    }
    Require(d.Valid, "a good read is valid");
    std::vector<std::string> first, second, third;
    d.SaveToTxt(true, first);
    TVexaData back;
    Require(back.LoadFromTxt(first) == TVexaData::TxtRead, "a written list reads back");
    back.SaveToTxt(true, second);
    Require(back.LoadFromTxt(second) == TVexaData::TxtRead, "a list written twice reads back");
    back.SaveToTxt(true, third);
    Require(second == third, "a list written twice is stable");
    return 0;
}
