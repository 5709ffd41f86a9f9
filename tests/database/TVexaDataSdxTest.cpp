#include "database/TVexaData.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

struct SdxChannel {
    std::string satelite = "Astra 19.2E";
    char type = 'T';
    int frequency = 11778;
    char polar = '1';
    std::string name = "Das Erste";
    int position = 192;
    int symbol = 27500;
    int videoPid = 101, audioPid = 102, pcrPid = 103, serviceId = 28106;
    std::string access = "___";
};

std::string Padded(const std::string& text, std::size_t width)
{
    std::string out = text.substr(0, width);
    out.resize(width, ' ');
    return out;
}

std::string Digits(int value, int width)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return buffer;
}

// A whole 127-column line.
std::string SdxLine(const SdxChannel& c)
{
    const std::string head = c.name.substr(0, 8);
    const std::string rest = c.name.size() > 8 ? c.name.substr(8) : "";
    std::string line = "SATCODX103" + Padded(c.satelite, 18) + c.type + "    " + Digits(c.frequency, 6) + "   "
        + c.polar + Padded(head, 8) + Digits(c.position, 4) + std::string(14, ' ') + Digits(c.symbol, 5) + " "
        + Digits(c.videoPid, 4) + Digits(c.audioPid, 4) + Digits(c.pcrPid, 4) + Digits(c.serviceId, 5)
        + std::string(19, ' ') + Padded(c.access, 3) + " " + Padded(rest, 12);
    EXPECT_EQ(line.size(), 127u);
    return line;
}

std::string SdxLine(int position, int frequency = 11778)
{
    SdxChannel c;
    c.position = position;
    c.frequency = frequency;
    return SdxLine(c);
}

TEST(TVexaDataSdx, PositionsAboveHalfACircleAreWestAndOutsideAFullCircleAreSkipped)
{
    struct Case {
        const char* position; // columns 52-55
        bool read;
        std::uint16_t angle;
        char eastWest;
    };
    const Case cases[] = {
        {"1920", true, 1680, 'w'}, {"1800", true, 1800, 'e'}, {"1801", true, 1799, 'w'}, {"0192", true, 192, 'e'},
        {"3600", true, 0, 'w'},    {"    ", true, 0, 'e'},    {"3601", false, 0, 0},     {"-001", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        std::string line = SdxLine(0);
        line.replace(51, 4, c.position);
        TVexaData d;
        EXPECT_EQ(d.LoadFromSdx({line, SdxLine(130, 12000)}), TVexaData::SdxRead);
        EXPECT_TRUE(d.Valid);
        ASSERT_EQ(d.Channels.Count(), c.read ? 2 : 1);
        EXPECT_FALSE(d.Check());
        if (!c.read)
            continue;
        const TSateliteRec& sat = d.Satelites.Resolve(d.Channels.Get(0)->Satelite);
        EXPECT_EQ(sat.Angle, c.angle);
        EXPECT_EQ(sat.EastWest, c.eastWest);
    }
}

TEST(TVexaDataSdx, ReadsEveryColumnAndCreatesRecordsWithTheirDefaults)
{
    SdxChannel radio;
    radio.type = 'r';
    radio.polar = '0';
    radio.name = "Bayern 3 Radio Bayern";
    radio.access = "_X_";
    radio.serviceId = 99999; // kept in 16 bits
    TVexaData d;
    ASSERT_EQ(d.LoadFromSdx({"not a channel line", SdxLine(SdxChannel{}), SdxLine(radio), ""}), TVexaData::SdxRead);
    ASSERT_EQ(d.Satelites.Count(), 1);
    ASSERT_EQ(d.Antenas.Count(), 1);
    ASSERT_EQ(d.Transponders.Count(), 2);
    ASSERT_EQ(d.Channels.Count(), 2);
    EXPECT_FALSE(d.Check());

    const TSateliteRec& s = *d.Satelites.Get(0);
    EXPECT_EQ(s.Name, "Astra 19.2E      "); // 17 of the 18 columns
    EXPECT_TRUE(s.LnbLow == 5150 && s.LnbHigh == 10750 && s.Angle == 192 && s.EastWest == 'e');
    const TAntenaRec& a = *d.Antenas.Get(0);
    EXPECT_TRUE(a.Volt012 == "0" && a.Tone22K == "0" && a.Volt1418 == "14" && a.AntennaType == 'a');
    const TTransponderRec& t = *d.Transponders.Get(0);
    EXPECT_TRUE(t.Frequency == 11778 && t.Symbol == 27500 && t.Polar == 'h' && t.Fec == "auto");
    EXPECT_EQ(d.Transponders.Get(1)->Polar, 'v');

    const TChannelRec& tv = *d.Channels.Get(0);
    EXPECT_EQ(tv.Name, "Das Erste       "); // 8 columns, then the first 8 of the other 12
    EXPECT_EQ(tv.Transponder.Get(), &t);
    EXPECT_EQ(tv.Antena.Get(), &a);
    EXPECT_EQ(tv.ServiceId, 28106);
    EXPECT_TRUE(tv.VideoPid == 101 && tv.AudioPid == 102 && tv.PcrPid == 103 && tv.TxtPid == 0);
    EXPECT_EQ(tv.Scramble + tv.Radio, 0);
    const TChannelRec& r = *d.Channels.Get(1);
    EXPECT_EQ(r.Name, "Bayern 3 Radio B");
    EXPECT_EQ(r.Radio + r.Scramble, 2);
    EXPECT_EQ(r.ServiceId, static_cast<std::uint16_t>(99999));
}

TEST(TVexaDataSdx, LinesShareSatelliteAntennaAndTransponderWhereTheyMatch)
{
    SdxChannel a, b, otherPolar, otherSymbol, otherName, otherPosition;
    b.name = "ZDF";
    otherPolar.polar = '0';
    otherSymbol.symbol = 22000;
    otherName.satelite = "Another name"; // the name plays no part in finding a satellite
    otherPosition.position = 130;
    struct Case {
        const char* what;
        Lines lines;
        int satelites, antenas, transponders;
    };
    const Case cases[] = {
        {"two lines on one transponder", {SdxLine(a), SdxLine(b)}, 1, 1, 1},
        {"the same frequency with another polarisation", {SdxLine(a), SdxLine(otherPolar)}, 1, 1, 2},
        {"the same frequency with another symbol rate", {SdxLine(a), SdxLine(otherSymbol)}, 1, 1, 2},
        {"the same position under another name", {SdxLine(a), SdxLine(otherName)}, 1, 1, 1},
        {"another position", {SdxLine(a), SdxLine(otherPosition)}, 2, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TVexaData d;
        EXPECT_EQ(d.LoadFromSdx(c.lines), TVexaData::SdxRead);
        EXPECT_EQ(d.Satelites.Count(), c.satelites);
        EXPECT_EQ(d.Antenas.Count(), c.antenas);
        EXPECT_EQ(d.Transponders.Count(), c.transponders);
        EXPECT_EQ(d.Channels.Count(), 2);
        EXPECT_EQ(d.Satelites.Get(0)->Name, "Astra 19.2E      ");
        EXPECT_FALSE(d.Check());
    }
}

TEST(TVexaDataSdx, ShortLinesAreReadAsFarAsTheyGo)
{
    const std::string whole = SdxLine(SdxChannel{});
    struct Case {
        std::string line;
        const char* name;
        std::uint16_t frequency, symbol, serviceId;
        char polar;
        bool scrambled;
    };
    const Case cases[] = {
        {whole.substr(0, 114), "Das Erst", 11778, 27500, 28106, 'h', false},
        {whole.substr(0, 113), "Das Erst", 11778, 27500, 28106, 'h', true},
        {whole.substr(0, 43), "", 11778, 0, 0, 'h', true},
        {whole.substr(0, 42), "", 11778, 0, 0, 'v', true},
        {"SATCODX", "", 0, 0, 0, 'v', true},
        {"satcodx" + whole.substr(7, 60), "Das Erst", 11778, 0, 0, 'h', true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        TVexaData d;
        const Lines lines = {c.line, "SATCOD", "SATCODY" + whole.substr(7), " SATCODX" + whole.substr(7)};
        ASSERT_EQ(d.LoadFromSdx(lines), TVexaData::SdxRead);
        ASSERT_EQ(d.Channels.Count(), 1);
        const TChannelRec& ch = *d.Channels.Get(0);
        const TTransponderRec& tp = d.Transponders.Resolve(ch.Transponder);
        EXPECT_EQ(ch.Name, c.name);
        EXPECT_EQ(tp.Frequency, c.frequency);
        EXPECT_EQ(tp.Symbol, c.symbol);
        EXPECT_EQ(tp.Polar, c.polar);
        EXPECT_EQ(ch.ServiceId, c.serviceId);
        EXPECT_EQ(ch.Scramble, c.scrambled ? 1 : 0);
        EXPECT_FALSE(d.Check());
    }
}

TEST(TVexaDataSdx, AFullSatelliteListEndsTheImport)
{
    Lines lines;
    for (int p = 0; p <= TVexaData::MaxSatelites; ++p)
        lines.push_back(SdxLine(p * 10));
    TVexaData d;
    EXPECT_EQ(d.LoadFromSdx(lines), TVexaData::SdxListFull);
    EXPECT_FALSE(d.Valid);
    EXPECT_EQ(d.Satelites.Count(), TVexaData::MaxSatelites);
    ASSERT_EQ(d.Channels.Count(), TVexaData::MaxSatelites + 1);
    // The channel of the line that could not be placed is left blank on the
    // default records; the import's caller discards the set.
    const TChannelRec& last = *d.Channels.Get(TVexaData::MaxSatelites);
    EXPECT_EQ(last.Satelite.Get(), d.Satelites.Default());
    EXPECT_EQ(last.Transponder.Get(), d.Transponders.Default());
    EXPECT_EQ(last.Antena.Get(), d.Antenas.Default());
    EXPECT_EQ(last.Name, "");
    EXPECT_TRUE(d.Check());
}

// Full lists: every satellite, antenna and transponder used by a channel of
// its own, except those named in `unused`.
void BuildFull(TVexaData& d, const std::vector<int>& unused = {})
{
    auto isUnused = [&](int i) { return std::find(unused.begin(), unused.end(), i) != unused.end(); };
    d.Clear();
    for (int i = 0; i < TVexaData::MaxSatelites; ++i) {
        TSateliteRec* s = d.FindSatelite(static_cast<std::uint16_t>(i), 'e', "Sat " + std::to_string(i), true);
        ASSERT_NE(s, nullptr);
        s->LnbType = 1; // not a default, so that a reuse shows
    }
    for (int i = 0; i < TVexaData::MaxTransponders; ++i) {
        const int sat = i % TVexaData::MaxSatelites;
        TTransponderRec* tp = d.FindTransponder(d.Satelites.Get(sat), static_cast<std::uint16_t>(10000 + i), 'v',
                                                27500, true);
        ASSERT_NE(tp, nullptr);
        if (i < TVexaData::MaxAntenas) {
            ASSERT_NE(d.FindAntena(d.Satelites.Get(i), true), nullptr);
        }
        if (isUnused(i))
            continue;
        TChannelRec* ch = d.Channels.New();
        ch->Transponder = tp;
        if (i < TVexaData::MaxSatelites) {
            ch->Satelite = d.Satelites.Get(i);
            ch->Antena = d.Antenas.Get(i);
        }
    }
    d.Valid = true;
}

TEST(TVexaDataSdx, FindOrAddReusesTheLastUnusedRecordOfAFullList)
{
    TVexaData d;
    BuildFull(d, {39, 89});
    ASSERT_EQ(d.Satelites.Count(), TVexaData::MaxSatelites);
    ASSERT_EQ(d.Antenas.Count(), TVexaData::MaxAntenas);
    ASSERT_EQ(d.Transponders.Count(), TVexaData::MaxTransponders);
    TSateliteRec* ninetieth = d.Satelites.Get(89);
    TAntenaRec* itsAntena = d.Antenas.Get(89);
    TTransponderRec* itsTransponder = d.Transponders.Get(89);

    // Found, or not added: nothing changes.
    EXPECT_EQ(d.FindSatelite(5, 'e', "ignored", true), d.Satelites.Get(5));
    EXPECT_EQ(d.FindSatelite(5, 'w', "", false), nullptr);
    EXPECT_EQ(d.FindTransponder(d.Satelites.Get(3), 10003, 'h', 27500, false), nullptr);
    EXPECT_EQ(d.Satelites.Get(5)->Name, "Sat 5");

    TSateliteRec* sat = d.FindSatelite(1680, 'w', "Hispasat 30W long name", true);
    EXPECT_EQ(sat, ninetieth);
    EXPECT_EQ(d.Satelites.IndexOf(sat), 89); // keeps its place
    EXPECT_EQ(sat->Name, "Hispasat 30W long");
    EXPECT_TRUE(sat->Angle == 1680 && sat->EastWest == 'w' && sat->LnbType == 0 && sat->LnbLow == 5150);
    // What referred to the old satellite now belongs to the new one.
    EXPECT_EQ(itsAntena->Satelite.Get(), sat);
    EXPECT_EQ(d.FindAntena(sat, false), itsAntena);

    TTransponderRec* tp = d.FindTransponder(sat, 12000, 'h', 30000, true);
    EXPECT_EQ(tp, itsTransponder); // the last unused of the transponders
    EXPECT_TRUE(tp->Frequency == 12000 && tp->Polar == 'h' && tp->Symbol == 30000);

    // Once a channel uses the 90th, the 40th is the last unused.
    TChannelRec* ch = d.Channels.New();
    ch->Satelite = sat;
    ch->Antena = itsAntena;
    EXPECT_EQ(d.Satelites.IndexOf(d.FindSatelite(2, 'w', "Third", true)), 39);
    TAntenaRec* ant = d.FindAntena(nullptr, true); // on the default satellite
    EXPECT_EQ(d.Antenas.IndexOf(ant), 39);
    EXPECT_TRUE(ant->Satelite.Get() == d.Satelites.Default() && ant->Volt1418 == "14");
}

TEST(TVexaDataSdx, FindOrAddGivesNoneWhenAFullListIsAllInUse)
{
    TVexaData d;
    BuildFull(d);
    EXPECT_EQ(d.FindSatelite(3000, 'e', "New", true), nullptr);
    EXPECT_EQ(d.FindAntena(d.Satelites.Default(), true), nullptr);
    EXPECT_EQ(d.FindTransponder(d.Satelites.Get(0), 9999, 'h', 1, true), nullptr);
    EXPECT_EQ(d.Satelites.Count(), TVexaData::MaxSatelites);
    EXPECT_EQ(d.Antenas.Count(), TVexaData::MaxAntenas);
    EXPECT_EQ(d.Transponders.Count(), TVexaData::MaxTransponders);
}

} // namespace
