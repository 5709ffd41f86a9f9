// The MAX reader against arbitrary text, one line per "\n". Whatever it
// makes of the text, it either reads the file or refuses it as a whole, and
// what it reads holds together: every channel's antenna is the one of its
// satellite, and repairing leaves nothing for the check to report.
#include <string>
#include <vector>

#include "database/TVexaData.h"
#include "fuzz/driver/FuzzSupport.h"

namespace {

using fuzz::Bytes;
using fuzz::Require;
using namespace std::string_literals;

} // namespace

const char* const fuzz::Subject = "MAX reader";

std::vector<std::vector<std::uint8_t>> VexaFuzzSeeds()
{
    return {
        Bytes("/* Galaxis Editor channel list */\r\n"
              "{\r\n"
              "  {1, 0, 0, 0, 0, 0, 0, 0x1149200, 0x275000, 0, 0x200},\r\n"
              "  {2, 0, 0, 0, 0, 0, 0, 0x1177800, 0x220000, 0, 0x1FF},\r\n"
              "  {30, 0, 0, 0, 0, 0, 0, 0x1234500, 0x300000, 0, 0x0}\r\n"
              "}\r\n"
              "{\r\n"
              "  {0, 1, \"Das Erste\", 0x1, 0x6D66, 0, 0},\r\n"
              "  {0, 2, \"Radio, 1\" junk, 0x0, 0x10, 1, 1},\r\n"
              "  {0, 1, \"{braces}\", 0x2, 0x0, 0, 0},\r\n"
              "  {0, 1, \"No tp\", 0x9, 0x0, 0, 1}\r\n"
              "}\r\n"
              "{ {ignored, 1}, {} }\r\n"),
        Bytes("/* { */ {{3,,,,,,,0x1000000,0x10000,,0x3FF}} /* } */ {{0,1,\"x\",0x0,1,0,0}}"),
        Bytes("{{2,0,0,0,0,0,0,0x1177800,0x275000,0}}"),
        Bytes("{{1,0,0,0,0,0,0,0x11\0,0x27,0,0}}\0\0{{0,1,\"N\0L\",0x0,0x1,0,0}}"s),
    };
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TVexaData d;
    const int result = d.LoadFromMax(fuzz::SplitLines(data, size, fuzz::CarriageReturn::Drop));
    Require(result == TVexaData::MaxFileRead || result == TVexaData::MaxFileFormatError,
            "a read without Cancel is read or refused");
    if (result == TVexaData::MaxFileFormatError) {
        Require(!d.Valid, "a refused file leaves the set valid");
        Require(d.Satelites.Count() + d.Antenas.Count() + d.Transponders.Count() + d.Channels.Count() == 0,
                "a refused file leaves records behind");
        return 0;
    }
    Require(d.Valid && d.Satelites.Count() == 24 && d.Antenas.Count() == 24, "the numbered satellites are there");
    for (int i = 0; i < d.Channels.Count(); ++i) {
        const TChannelRec& ch = *d.Channels.Get(i);
        Require(d.Satelites.IndexOf(ch.Satelite) == d.Antenas.IndexOf(ch.Antena),
                "a channel's antenna is the one at its satellite's position");
    }

    TVexaData copy;
    copy.Assign(d);
    Require(copy.Equals(d), "a copy equals its source");
    std::vector<std::string> lines;
    d.Repair(lines);
    Require(!d.Check(&lines), "a repaired list checks clean");
    d.DeleteUnused();
    Require(!d.Check(&lines), "removing unused records keeps a clean list clean");
    return 0;
}
