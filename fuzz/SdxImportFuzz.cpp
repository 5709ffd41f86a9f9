// The SDX reader against arbitrary text, one line per "\n". A listing is
// read whole or stops at a full list; what it reads refers only to records
// of its own lists, within the receiver's capacities.
#include <string>
#include <vector>

#include "database/TVexaData.h"
#include "fuzz/driver/FuzzSupport.h"
#include "tests/database/VexaSamples.h"

namespace {

using fuzz::Require;
using samples::SdxLine;

} // namespace

const char* const fuzz::Subject = "SDX reader";

std::vector<std::vector<std::uint8_t>> VexaFuzzSeeds()
{
    std::string listing = SdxLine({}) + "\n" + SdxLine({.type = 'R', .name = "Bayern 3"}) + "\n"
        + SdxLine({.polar = '0', .name = "Sky      Cinema", .symbol = 22000, .access = "C__"}) + "\n"
        + SdxLine({.satelite = "Hispasat 30W", .frequency = 12000, .polar = '0', .name = "TVE", .position = 3300}) + "\n"
        + "satcodx103 short line\n" + "ignored\n";
    // TVs fill unused columns with NUL bytes; one stands in a name as well.
    std::string nuls = SdxLine({.name = "NUL name"}) + std::string(16, '\0');
    nuls[46] = '\0';
    listing += nuls + "\n";
    // A listing that fills the satellite list is left to the unit tests: at
    // 128 lines a run it would cost this bounded pass most of its time.
    return {fuzz::Bytes(listing)};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TVexaData d;
    const int result = d.LoadFromSdx(fuzz::SplitLines(data, size, fuzz::CarriageReturn::Keep));
    Require(result == TVexaData::SdxRead || result == TVexaData::SdxListFull, "read or a list full");
    Require(d.Satelites.Count() <= TVexaData::MaxSatelites && d.Antenas.Count() <= TVexaData::MaxAntenas
                && d.Transponders.Count() <= TVexaData::MaxTransponders,
            "find-or-add keeps to the capacities");
    if (result == TVexaData::SdxListFull) {
        Require(!d.Valid, "a stopped listing leaves the set valid");
        return 0;
    }
    Require(d.Valid && !d.Check(), "a read listing checks clean");
    for (int i = 0; i < d.Satelites.Count(); ++i) {
        const TSateliteRec& s = *d.Satelites.Get(i);
        Require(s.Angle <= 1800 && (s.EastWest == 'e' || s.EastWest == 'w'), "positions stay within half a circle");
    }
    TVexaData copy;
    copy.Assign(d);
    Require(copy.Equals(d), "a copy equals its source");
    return 0;
}
