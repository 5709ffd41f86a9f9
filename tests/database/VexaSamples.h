#pragma once
// Data sets for the database tests, benchmarks and fuzz seeds. Every value is
// one the receiver image can hold, so the sets survive a write and a read.
#include <cstdio>
#include <string>

#include "database/TVexaData.h"

namespace samples {

inline const char* const kFecs[] = {"auto", "1/2", "2/3", "3/4", "5/6", "7/8"};

inline void FillSatelite(TSateliteRec& s, int i)
{
    s.LnbLow = static_cast<std::uint16_t>(9750 + i);
    s.LnbHigh = static_cast<std::uint16_t>(10600 + i);
    s.Angle = static_cast<std::uint16_t>((i * 37) % 1800);
    s.EastWest = i % 3 == 0 ? 'w' : 'e';
    char name[32];
    std::snprintf(name, sizeof name, i % 5 == 0 ? "Satelite number %d" : "Sat %d", i);
    s.Name = name; // some of 17 characters, cut from longer ones
    s.Diseqc12 = static_cast<std::uint8_t>(i % 2);
    s.AntennaOffset = (i * 7) % 181 - 90;
    s.LnbType = static_cast<std::uint8_t>((i / 2) % 2);
}

inline void FillTransponder(TTransponderRec& t, int i)
{
    t.Frequency = static_cast<std::uint16_t>(10700 + (i * 13) % 2050);
    t.Symbol = static_cast<std::uint16_t>(2000 + (i * 31) % 28000);
    t.Polar = i % 2 ? 'h' : 'v';
    t.Tone22K = i % 3 ? "0" : "22";
    t.Volt1418 = i % 5 ? "14" : "18";
    t.Volt012 = i % 7 ? "0" : "12";
    t.Fec = kFecs[i % 6];
}

inline void FillAntena(TAntenaRec& a, int i)
{
    static const char diseqc[] = {'n', 'a', 'b', 'c', 'd'};
    static const char* const tone[] = {"n", "0", "22"};
    static const char* const v012[] = {"n", "0", "12"};
    static const char* const v1418[] = {"n", "14", "18"};
    static const char type[] = {'f', 'd', 'a'};
    a.LnbLow = static_cast<std::uint16_t>(5150 + i);
    a.LnbHigh = static_cast<std::uint16_t>(10750 + i);
    a.Universal = static_cast<std::uint8_t>(i % 2);
    a.Diseqc = diseqc[i % 5];
    a.Tone22K = tone[i % 3];
    a.Volt012 = v012[(i / 3) % 3];
    a.Volt1418 = v1418[(i / 2) % 3];
    a.AntennaType = type[(i / 5) % 3];
}

inline void FillChannel(TChannelRec& c, int i)
{
    char name[32];
    std::snprintf(name, sizeof name, i % 4 == 0 ? "Channel %d extended" : "Chan %d", i);
    c.Name = name;
    c.ServiceId = static_cast<std::uint16_t>(i * 3 + 1);
    c.VideoPid = static_cast<std::uint16_t>(100 + i % 8000);
    c.AudioPid = static_cast<std::uint16_t>(200 + i % 8000);
    c.PcrPid = static_cast<std::uint16_t>(300 + i % 8000);
    c.TxtPid = static_cast<std::uint16_t>(i % 9 ? 0 : 400 + i);
    c.Scramble = static_cast<std::uint8_t>(i % 2);
    c.Lock = static_cast<std::uint8_t>(i % 11 == 0);
    for (int k = 0; k < 8; ++k)
        c.Favorites[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(((i >> k) & 1) && (i % 3 == 0));
    c.Favorite = c.Favorites[0];
    c.Radio = static_cast<std::uint8_t>(i % 13 == 0);
}

// A set with the given counts, every reference on a real record, valid.
inline void Build(TVexaData& d, int sats, int tps, int ants, int chans, std::uint16_t listNumber = 4400)
{
    d.Clear();
    for (int i = 0; i < sats; ++i)
        FillSatelite(*d.Satelites.New(), i);
    for (int i = 0; i < tps; ++i) {
        TTransponderRec* t = d.Transponders.New();
        FillTransponder(*t, i);
        if (sats > 0)
            t->Satelite = d.Satelites.Get((i * 7) % sats); // interleaved satellites
    }
    for (int i = 0; i < ants; ++i) {
        TAntenaRec* a = d.Antenas.New();
        FillAntena(*a, i);
        if (sats > 0)
            a->Satelite = d.Satelites.Get(i % sats);
    }
    for (int i = 0; i < chans; ++i) {
        TChannelRec* c = d.Channels.New();
        FillChannel(*c, i);
        if (tps > 0) {
            TTransponderRec* t = d.Transponders.Get((i * 5) % tps);
            c->Transponder = t;
            c->Satelite = t->Satelite.Get();
        }
        if (ants > 0)
            c->Antena = d.Antenas.Get(i % ants);
    }
    d.ListNumber = listNumber;
    d.Valid = true;
}

inline void BuildFull(TVexaData& d)
{
    Build(d, TVexaData::MaxSatelites, TVexaData::MaxTransponders, TVexaData::MaxAntenas, TVexaData::MaxChannels);
}

// One line of an SDX listing, all 127 columns: the name's first 8 characters
// stand in one field, the next 12 in another; 'R' or 'r' marks a radio
// channel, polarisation '1' is horizontal, access "_X_" is scrambled.
struct SdxChannel {
    const char* satelite = "Astra 19.2E";
    char type = 'T';
    int frequency = 11778;
    char polar = '1';
    std::string name = "Das Erste";
    int position = 192;
    int symbol = 27500;
    int serviceId = 28106;
    const char* access = "___";
};

inline std::string SdxLine(const SdxChannel& c)
{
    char line[160];
    const std::string rest = c.name.size() > 8 ? c.name.substr(8) : "";
    std::snprintf(line, sizeof line,
                  "SATCODX103%-18.18s%c    %06d   %c%-8.8s%04d%14s%05d %04d%04d%04d%05d%19s%-3.3s %-12.12s", c.satelite,
                  c.type, c.frequency, c.polar, c.name.c_str(), c.position, "", c.symbol, 101, 102, 103, c.serviceId, "",
                  c.access, rest.c_str());
    return line;
}

// One record as text, so that a test compares records and whole sets with one
// string. References are 1-based positions in d's lists, "-" when missing;
// an unset one-letter code shows as "0".
inline std::string Ref(int index) { return index < 0 ? std::string("-") : std::to_string(index + 1); }
inline char Code(char c) { return c ? c : '0'; }

inline std::string Line(const TVexaData&, const TSateliteRec& s)
{
    char text[96];
    std::snprintf(text, sizeof text, "' %u/%u %u%c lnb%u dsq%u off%d", s.LnbLow, s.LnbHigh, s.Angle, Code(s.EastWest),
                  s.LnbType, s.Diseqc12, s.AntennaOffset);
    return "S '" + s.Name.str() + text;
}

inline std::string Line(const TVexaData& d, const TTransponderRec& t)
{
    char text[96];
    std::snprintf(text, sizeof text, " %u %u %c %s/%s/%s %s", t.Frequency, t.Symbol, Code(t.Polar),
                  t.Tone22K.str().c_str(), t.Volt1418.str().c_str(), t.Volt012.str().c_str(), t.Fec.str().c_str());
    return "T s" + Ref(d.Satelites.IndexOf(t.Satelite)) + text;
}

inline std::string Line(const TVexaData& d, const TAntenaRec& a)
{
    char text[96];
    std::snprintf(text, sizeof text, " %u/%u u%u %c %c %s/%s/%s", a.LnbLow, a.LnbHigh, a.Universal,
                  Code(a.AntennaType), Code(a.Diseqc), a.Tone22K.str().c_str(), a.Volt012.str().c_str(),
                  a.Volt1418.str().c_str());
    return "A s" + Ref(d.Satelites.IndexOf(a.Satelite)) + text;
}

inline std::string Line(const TVexaData& d, const TChannelRec& c)
{
    char text[128];
    std::snprintf(text, sizeof text, " sid%u pids%u/%u/%u/%u sc%u fv%u lk%u rd%u lists", c.ServiceId, c.VideoPid,
                  c.AudioPid, c.PcrPid, c.TxtPid, c.Scramble, c.Favorite, c.Lock, c.Radio);
    std::string out = "C '" + c.Name.str() + "' s" + Ref(d.Satelites.IndexOf(c.Satelite)) + " t"
        + Ref(d.Transponders.IndexOf(c.Transponder)) + " a" + Ref(d.Antenas.IndexOf(c.Antena)) + text;
    for (std::uint8_t f : c.Favorites)
        out += char('0' + f);
    return out;
}

// The whole set, one line per record.
inline std::string Dump(const TVexaData& d)
{
    std::string out;
    for (int i = 0; i < d.Satelites.Count(); ++i)
        out += Line(d, *d.Satelites.Get(i)) + "\n";
    for (int i = 0; i < d.Transponders.Count(); ++i)
        out += Line(d, *d.Transponders.Get(i)) + "\n";
    for (int i = 0; i < d.Antenas.Count(); ++i)
        out += Line(d, *d.Antenas.Get(i)) + "\n";
    for (int i = 0; i < d.Channels.Count(); ++i)
        out += Line(d, *d.Channels.Get(i)) + "\n";
    return out;
}

} // namespace samples
