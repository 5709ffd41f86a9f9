// The SDX reader against arbitrary text, one line per "\n". A listing is
// read whole or stops at a full list; what it reads refers only to records
// of its own lists, within the receiver's capacities.
#include <cstdio>
#include <string>
#include <vector>

#include "database/TVexaData.h"
#include "fuzz/driver/FuzzSupport.h"

namespace {

using fuzz::Require;

// A 127-column line: satellite name, radio mark, frequency, polarisation,
// name, position, symbol rate, PIDs, service id, access, rest of the name.
std::string SdxLine(const char* sat, char type, int frequency, char polar, const char* name, int position,
                    int symbol, const char* access, const char* rest)
{
    char line[160];
    std::snprintf(line, sizeof line, "SATCODX103%-18.18s%c    %06d   %c%-8.8s%04d%14s%05d %04d%04d%04d%05d%19s%-3.3s %-12.12s",
                  sat, type, frequency, polar, name, position, "", symbol, 101, 102, 103, 28106, "", access, rest);
    return line;
}

} // namespace

const char* const fuzz::Subject = "SDX reader";

std::vector<std::vector<std::uint8_t>> VexaFuzzSeeds()
{
    std::string listing = SdxLine("Astra 19.2E", 'T', 11778, '1', "Das Erst", 192, 27500, "___", "e") + "\n"
        + SdxLine("Astra 19.2E", 'R', 11778, '1', "Bayern 3", 192, 27500, "___", "") + "\n"
        + SdxLine("Astra 19.2E", 'T', 11778, '0', "Sky", 192, 22000, "C__", " Cinema") + "\n"
        + SdxLine("Hispasat 30W", 'T', 12000, '0', "TVE", 3300, 27500, "___", "") + "\n"
        + "satcodx103 short line\n" + "ignored\n";
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
