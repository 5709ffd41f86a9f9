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

} // namespace samples
