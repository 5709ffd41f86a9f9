#include "database/TVexaData.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/database/VexaSamples.h"

namespace {

using Lines = std::vector<std::string>;

using samples::SdxChannel;
using samples::SdxLine;

std::string SdxLine(int position, int frequency = 11778)
{
    return SdxLine(SdxChannel{.frequency = frequency, .position = position});
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
    const SdxChannel radio{.type = 'r', .polar = '0', .name = "Bayern 3 Radio Bayern", .serviceId = 99999, .access = "_X_"};
    TVexaData d;
    ASSERT_EQ(d.LoadFromSdx({"not a channel line", SdxLine(SdxChannel{}), SdxLine(radio), ""}), TVexaData::SdxRead);
    EXPECT_TRUE(d.Valid);
    EXPECT_FALSE(d.Check());
    // The satellite name keeps 17 of its 18 columns; the channel name is 8
    // columns and the first 8 of the other 12; the service id keeps 16 bits.
    EXPECT_EQ(samples::Dump(d), "S 'Astra 19.2E      ' 5150/10750 192e lnb0 dsq0 off0\n"
                                "T s1 11778 27500 h 0/14/0 auto\n"
                                "T s1 11778 27500 v 0/14/0 auto\n"
                                "A s1 5150/10750 u0 a n 0/0/14\n"
                                "C 'Das Erste       ' s1 t1 a1 sid28106 pids101/102/103/0 sc0 fv0 lk0 rd0 lists00000000\n"
                                "C 'Bayern 3 Radio B' s1 t2 a1 sid34463 pids101/102/103/0 sc1 fv0 lk0 rd1 lists00000000\n");
}

TEST(TVexaDataSdx, LinesShareSatelliteAntennaAndTransponderWhereTheyMatch)
{
    const SdxChannel a, b{.name = "ZDF"}, otherPolar{.polar = '0'}, otherSymbol{.symbol = 22000},
        otherName{.satelite = "Another name"}, // the name plays no part in finding a satellite
        otherPosition{.position = 130};
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
        EXPECT_EQ(std::to_string(d.Satelites.Count()) + std::to_string(d.Antenas.Count())
                      + std::to_string(d.Transponders.Count()) + std::to_string(d.Channels.Count()),
                  std::to_string(c.satelites) + std::to_string(c.antenas) + std::to_string(c.transponders) + "2");
        EXPECT_EQ(d.Satelites.Get(0)->Name, "Astra 19.2E      ");
        EXPECT_FALSE(d.Check());
    }
}

TEST(TVexaDataSdx, ShortLinesAreReadAsFarAsTheyGo)
{
    const std::string whole = SdxLine(SdxChannel{});
    const std::pair<std::string, const char*> cases[] = { // the line, then its channel and transponder
        {whole.substr(0, 114), "C 'Das Erst' s1 t1 a1 sid28106 pids101/102/103/0 sc0|T s1 11778 27500 h"},
        {whole.substr(0, 113), "C 'Das Erst' s1 t1 a1 sid28106 pids101/102/103/0 sc1|T s1 11778 27500 h"},
        {whole.substr(0, 43), "C '' s1 t1 a1 sid0 pids0/0/0/0 sc1|T s1 11778 0 h"},
        {whole.substr(0, 42), "C '' s1 t1 a1 sid0 pids0/0/0/0 sc1|T s1 11778 0 v"},
        {"SATCODX", "C '' s1 t1 a1 sid0 pids0/0/0/0 sc1|T s1 0 0 v"},
        {"satcodx" + whole.substr(7, 60), "C 'Das Erst' s1 t1 a1 sid0 pids0/0/0/0 sc1|T s1 11778 0 h"},
    };
    for (const auto& [line, expected] : cases) {
        SCOPED_TRACE(line);
        TVexaData d;
        ASSERT_EQ(d.LoadFromSdx({line, "SATCOD", "SATCODY" + whole.substr(7), " SATCODX" + whole.substr(7)}),
                  TVexaData::SdxRead);
        ASSERT_EQ(d.Channels.Count(), 1);
        const std::string channel = samples::Line(d, *d.Channels.Get(0));
        const std::string tp = samples::Line(d, *d.Transponders.Get(0));
        EXPECT_EQ(channel.substr(0, channel.find(" fv")) + "|" + tp.substr(0, tp.find(" 0/")), expected);
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
    EXPECT_EQ(samples::Line(d, *d.Channels.Get(TVexaData::MaxSatelites)).substr(0, 14), "C '' s- t- a- ");
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
