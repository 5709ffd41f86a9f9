// SDX listings (SatcoDX): one channel per fixed-column line. Satellites,
// antennas and transponders are not listed as such; each line finds or adds
// the ones it needs, within the receiver's capacities.
#include "database/TVexaData.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/Libreria.h"

namespace {

// Columns count from 1, both ends included; whatever lies beyond the end of
// the line is simply not there.
std::string Columns(const std::string& line, std::size_t first, std::size_t last)
{
    if (first > line.size())
        return {};
    return line.substr(first - 1, last - first + 1);
}

char Column(const std::string& line, std::size_t column)
{
    return column <= line.size() ? line[column - 1] : '\0';
}

std::uint16_t Number(const std::string& line, std::size_t first, std::size_t last)
{
    return static_cast<std::uint16_t>(SafeStrToInt(Columns(line, first, last)));
}

bool IsSdxLine(const std::string& line)
{
    static const char marker[] = "SATCODX";
    if (line.size() < 7)
        return false;
    for (std::size_t i = 0; i < 7; ++i) {
        const char c = line[i];
        const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        if (upper != marker[i])
            return false;
    }
    return true;
}

// Positions are tenths of a degree counted eastwards round the whole circle.
constexpr int kFullCircle = 3600;
constexpr int kHalfCircle = 1800;

} // namespace

TSateliteRec* TVexaData::FindSatelite(std::uint16_t angle, char eastWest, const std::string& name, bool add)
{
    for (int i = 0; i < Satelites.Count(); ++i) {
        TSateliteRec* sat = Satelites.Get(i);
        if (sat->Angle == angle && sat->EastWest == eastWest)
            return sat;
    }
    if (!add)
        return nullptr;
    // A reused satellite stays where it is, with the transponders and
    // antennas that referred to it.
    TSateliteRec* sat = Satelites.Count() < MaxSatelites ? Satelites.New() : UnusedSatelite();
    if (!sat)
        return nullptr;
    sat->LnbLow = 5150;
    sat->LnbHigh = 10750;
    sat->Angle = angle;
    sat->EastWest = eastWest;
    sat->Name = name;
    sat->Diseqc12 = 0;
    sat->AntennaOffset = 0;
    sat->LnbType = 0;
    return sat;
}

TAntenaRec* TVexaData::FindAntena(TSateliteRec* satelite, bool add)
{
    if (!satelite)
        satelite = Satelites.Default();
    for (int i = 0; i < Antenas.Count(); ++i) {
        TAntenaRec* ant = Antenas.Get(i);
        // A satellite deleted under it counts as the default one, as everywhere.
        if (&Satelites.Resolve(ant->Satelite) == satelite)
            return ant;
    }
    if (!add)
        return nullptr;
    TAntenaRec* ant = Antenas.Count() < MaxAntenas ? Antenas.New() : UnusedAntena();
    if (!ant)
        return nullptr;
    ant->Satelite = satelite;
    ant->LnbLow = 5150;
    ant->LnbHigh = 10750;
    ant->Universal = 0;
    ant->Diseqc = 'n';
    ant->Volt012 = "0";
    ant->Tone22K = "0";
    ant->AntennaType = 'a';
    ant->Volt1418 = "14";
    return ant;
}

TTransponderRec* TVexaData::FindTransponder(TSateliteRec* satelite, std::uint16_t frequency, char polar,
                                            std::uint16_t symbol, bool add)
{
    if (!satelite)
        satelite = Satelites.Default();
    for (int i = 0; i < Transponders.Count(); ++i) {
        TTransponderRec* tp = Transponders.Get(i);
        // The plain fields first: they settle almost every comparison without
        // resolving the satellite reference.
        if (tp->Frequency == frequency && tp->Polar == polar && tp->Symbol == symbol
            && &Satelites.Resolve(tp->Satelite) == satelite)
            return tp;
    }
    if (!add)
        return nullptr;
    TTransponderRec* tp = Transponders.Count() < MaxTransponders ? Transponders.New() : UnusedTransponder();
    if (!tp)
        return nullptr;
    tp->Satelite = satelite;
    tp->Frequency = frequency;
    tp->Symbol = symbol;
    tp->Polar = polar;
    tp->Volt1418 = "14";
    tp->Tone22K = "0";
    tp->Volt012 = "0";
    tp->Fec = "auto";
    return tp;
}

int TVexaData::LoadFromSdx(const std::vector<std::string>& lines)
{
    Clear();
    for (const std::string& line : lines) {
        if (!IsSdxLine(line))
            continue;

        int position = SafeStrToInt(Columns(line, 52, 55));
        // Beyond a full circle the angle would not fit the receiver's field
        // and would turn up as a different satellite.
        if (position < 0 || position > kFullCircle)
            continue;
        char eastWest = 'e';
        if (position > kHalfCircle) {
            position = kFullCircle - position;
            eastWest = 'w';
        }

        TChannelRec* ch = Channels.New();
        TSateliteRec* sat = FindSatelite(static_cast<std::uint16_t>(position), eastWest, Columns(line, 11, 28), true);
        if (!sat)
            return SdxListFull;
        ch->Satelite = sat;
        TAntenaRec* ant = FindAntena(sat, true);
        if (!ant)
            return SdxListFull;
        ch->Antena = ant;
        const char polar = Column(line, 43) == '1' ? 'h' : 'v';
        TTransponderRec* tp = FindTransponder(sat, Number(line, 34, 39), polar, Number(line, 70, 74), true);
        if (!tp)
            return SdxListFull;
        ch->Transponder = tp;

        ch->Name = Columns(line, 44, 51) + Columns(line, 116, 127);
        ch->ServiceId = Number(line, 88, 92);
        ch->VideoPid = Number(line, 76, 79);
        ch->AudioPid = Number(line, 80, 83);
        ch->PcrPid = Number(line, 84, 87);
        ch->TxtPid = 0;
        ch->Scramble = Columns(line, 112, 114) != "___" ? 1 : 0;
        const char radio = Column(line, 29);
        ch->Radio = radio == 'R' || radio == 'r' ? 1 : 0;
        ch->Favorite = 0;
        ch->Lock = 0;
        ch->Favorites = {};
    }
    Valid = true;
    return SdxRead;
}
