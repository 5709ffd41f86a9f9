#include "database/TVexaData.h"

#include <string>
#include <unordered_map>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/TLang.h"
#include "support/ScriptedWaitBox.h"
#include "tests/database/VexaSamples.h"

namespace {

using Lines = std::vector<std::string>;

// What a written list must read back as: antenna k on satellite k, the
// transponders grouped by satellite, favourites lists as the column can say.
void ExpectedAfterTextRoundTrip(const TVexaData& src, bool favourites, TVexaData& out)
{
    out.Clear();
    for (int i = 0; i < src.Satelites.Count(); ++i)
        *out.Satelites.New() = *src.Satelites.Get(i);
    std::unordered_map<const TTransponderRec*, TTransponderRec*> tpMap;
    for (int s = 0; s < src.Satelites.Count(); ++s)
        for (int i = 0; i < src.Transponders.Count(); ++i) {
            const TTransponderRec* t = src.Transponders.Get(i);
            if (t->Satelite.Get() != src.Satelites.Get(s))
                continue;
            TTransponderRec* copy = out.Transponders.New();
            *copy = *t;
            copy->Satelite = out.Satelites.Get(s);
            tpMap[t] = copy;
        }
    for (int i = 0; i < src.Antenas.Count(); ++i) {
        TAntenaRec* a = out.Antenas.New();
        *a = *src.Antenas.Get(i);
        a->Satelite = out.Satelites.Get(i);
    }
    for (int i = 0; i < src.Channels.Count(); ++i) {
        const TChannelRec* c = src.Channels.Get(i);
        TChannelRec* copy = out.Channels.New();
        *copy = *c;
        copy->Satelite = out.Satelites.Get(src.Satelites.IndexOf(c->Satelite));
        copy->Antena = out.Antenas.Get(src.Antenas.IndexOf(c->Antena));
        auto it = tpMap.find(c->Transponder.Get());
        copy->Transponder = it != tpMap.end() ? it->second : out.Transponders.Default();
        if (favourites) {
            copy->Favorites[7] = 0;
        } else {
            copy->Favorites = {};
            copy->Favorites[0] = c->Favorite;
        }
    }
    out.ListNumber = src.ListNumber;
    out.Valid = true;
}

TEST(TVexaDataText, RoundTripWithAndWithoutFavourites)
{
    for (bool favourites : {true, false}) {
        TVexaData src;
        samples::Build(src, 6, 40, 9, 60, 321); // more antennas than satellites
        src.Transponders.Get(3)->Satelite = src.Satelites.Default(); // no line to stand under: left out
        src.Channels.Get(3)->Favorite = 1;
        src.Channels.Get(3)->Favorites = {0, 1, 0, 0, 0, 0, 1, 1};
        Lines lines;
        src.SaveToTxt(favourites, lines);
        TVexaData back;
        ASSERT_EQ(back.LoadFromTxt(lines), TVexaData::TxtRead) << favourites;
        TVexaData expected;
        ExpectedAfterTextRoundTrip(src, favourites, expected);
        EXPECT_TRUE(back.Equals(expected)) << favourites;
        EXPECT_TRUE(back.Valid);
        // What was read writes the same text again.
        Lines again;
        back.SaveToTxt(favourites, again);
        EXPECT_EQ(again, lines) << favourites;
    }
}

TEST(TVexaDataText, WritesTheDocumentedLines)
{
    TVexaData d;
    d.ListNumber = 17;
    TSateliteRec* s = d.Satelites.New();
    s->Name = "Astra";
    s->LnbLow = 9750;
    s->LnbHigh = 10600;
    s->LnbType = 1;
    s->Angle = 192;
    s->EastWest = 'e';
    s->Diseqc12 = 1;
    s->AntennaOffset = -5;
    TTransponderRec* t = d.Transponders.New();
    t->Satelite = s;
    t->Frequency = 12663;
    t->Symbol = 22000;
    t->Polar = 'h';
    t->Tone22K = "0";
    t->Volt1418 = "14";
    t->Volt012 = "0";
    t->Fec = "3/4";
    TAntenaRec* a = d.Antenas.New();
    a->Satelite = s;
    a->Universal = 1;
    a->LnbLow = 9750;
    a->LnbHigh = 10600;
    a->AntennaType = 'f';
    a->Diseqc = 'a';
    a->Tone22K = "22";
    a->Volt012 = "12";
    a->Volt1418 = "18";
    TChannelRec* c = d.Channels.New();
    c->Satelite = s;
    c->Transponder = t;
    c->Antena = a;
    c->Name = "ZDF";
    c->ServiceId = 28006;
    c->VideoPid = 110;
    c->AudioPid = 120;
    c->PcrPid = 110;
    c->TxtPid = 130;
    c->Favorite = 1;
    c->Favorites = {1, 0, 1, 0, 0, 0, 1, 1};
    c->Radio = 1;

    Lines lines;
    d.SaveToTxt(true, lines);
    ASSERT_EQ(lines.size(), 38u);
    EXPECT_EQ(lines[0], std::string(122, '#'));
    EXPECT_EQ(lines[2], "# Factory data of the digital satellite receiver." + std::string(72, ' ') + "#");
    EXPECT_EQ(lines[7], "L 17");
    EXPECT_EQ(lines[9], "BOXP5000");
    EXPECT_EQ(lines[11], std::string(115, '#'));
    EXPECT_EQ(lines[16],
              "a          1       universal        9750      10600       f                  a          22         12  "
              "       18        ");
    EXPECT_EQ(lines[18], std::string(111, '#'));
    EXPECT_EQ(lines[21].size(), 109u);
    EXPECT_EQ(lines[28], "  s       \"Astra\"         9750      10600     universal 19.2      east      y         -5        ");
    EXPECT_EQ(lines[29], "      t   12663           22000     hor       0         14        0         3/4");
    EXPECT_EQ(lines[31], std::string(150, '#'));
    EXPECT_EQ(lines[37],
              "  r       \"ZDF\"           1         1         1         28006     110       120       110       130 "
              "      0         1         0         YNYNNNY");
    for (std::size_t i : {1u, 2u, 3u, 4u, 12u, 13u, 14u, 19u, 20u, 21u, 22u, 23u, 24u, 25u, 26u, 32u, 33u, 34u, 35u})
        EXPECT_EQ(lines[i].back(), '#') << i;
    EXPECT_EQ(lines[33].size(), 150u);

    d.SaveToTxt(false, lines);
    EXPECT_EQ(lines[31], std::string(133, '#'));
    EXPECT_EQ(lines[33].size(), 133u);
    EXPECT_EQ(lines.back().substr(lines.back().size() - 11), "1         0");
}

Lines Header()
{
    return {"# a comment", "", "BOXP5000", "L 9"};
}

int Load(TVexaData& d, Lines body)
{
    Lines lines = Header();
    lines.insert(lines.end(), body.begin(), body.end());
    return d.LoadFromTxt(lines);
}

TEST(TVexaDataText, FormatErrorsGiveOneAndAnEmptySet)
{
    const char* const sat = "s \"Sat\" 9750 10600 u 19.2 e y 0";
    struct Case {
        const char* what;
        Lines body;
    };
    const std::vector<Case> cases = {
        {"antenna with 9 words", {sat, "a 1 u 9750 10600 f n 0 0"}},
        {"antenna with 11 words", {sat, "a 1 u 9750 10600 f n 0 0 14 x"}},
        {"satellite with 8 words", {"s \"Sat\" 9750 10600 u 19.2 e y"}},
        {"transponder with 7 words", {sat, "t 12663 22000 hor 0 14 0"}},
        {"transponder polarisation x", {sat, "t 12663 22000 xor 0 14 0 3/4"}},
        {"program with 12 words", {sat, "v \"A\" 1 1 1 1 1 1 1 1 0 0"}},
        {"list number with 3 words", {"L 1 2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedWaitBoxes boxes;
        TVexaData d;
        EXPECT_EQ(Load(d, c.body), TVexaData::TxtFormatError);
        EXPECT_FALSE(d.Valid);
        EXPECT_EQ(d.Satelites.Count() + d.Transponders.Count() + d.Antenas.Count() + d.Channels.Count(), 0);
        EXPECT_EQ(boxes.Records().at(0)->ends, 1);
    }
}

TEST(TVexaDataText, SignatureLine)
{
    struct Case {
        const char* line;
        int result;
    };
    const Case cases[] = {
        {"BOXP5000", TVexaData::TxtRead},
        {"boxp5000", TVexaData::TxtRead},
        {"  BoxP5000 anything after", TVexaData::TxtRead},
        {"\"BOXP5000\"", TVexaData::TxtFormatError},
        {"BOXP500", TVexaData::TxtFormatError},
        {"# BOXP5000", TVexaData::TxtFormatError},
    };
    for (const Case& c : cases) {
        TVexaData d;
        EXPECT_EQ(d.LoadFromTxt({"L 3", c.line, "s \"Sat\" 1 2 n 1 e n 0"}), c.result) << c.line;
        EXPECT_EQ(d.Valid, c.result == TVexaData::TxtRead) << c.line;
    }
    TVexaData d;
    EXPECT_EQ(d.LoadFromTxt({}), TVexaData::TxtFormatError);
}

TEST(TVexaDataText, LinesAreReadAsDocumented)
{
    TVexaData d;
    ASSERT_EQ(Load(d, {
                          "x 1 2 3",                                   // skipped
                          "t 11000 27500 ver 22 18 12 7/8",            // before any satellite
                          "s \"Hot Bird\" 9750 10600 normal 13 e n -3",
                          "s \"Astra\" 9750 10600 universal 19.2 east y 12",
                          "s \"Thor\" 9750 10600 u 0,8 west n 0",
                          "t 12000 27500 HOR 1 15 7 9/10",             // odd codes normalised
                          "a 2 U 9750 10600 Actuator B 22 12 18",
                          "a 9 n 1 2 q z 5 6 7",                       // no satellite 9
                          "v \"Radio 1\" 1 2 0 100 0 101 0 0 1 1 1",
                          "r \"Radio 2\" 2 3 1 100 0 101 0 0 0 0 0 y",   // short favourites word
                          "v \"Far\" 2 3 2 70000 2 3 4 5 0 1 0 nYnYnYnY",
                          "v \"Default\" 0 0 1 1 2 3 4 5 0 0 0",
                      }),
              TVexaData::TxtRead);
    EXPECT_EQ(d.ListNumber, 9);
    ASSERT_EQ(d.Satelites.Count(), 3);
    EXPECT_EQ(d.Satelites.Get(0)->Name, "Hot Bird");
    EXPECT_EQ(d.Satelites.Get(0)->Angle, 13);  // "13": tenths of a degree
    EXPECT_EQ(d.Satelites.Get(0)->AntennaOffset, -3);
    EXPECT_EQ(d.Satelites.Get(1)->Angle, 192);
    EXPECT_EQ(d.Satelites.Get(1)->LnbType, 1);
    EXPECT_EQ(d.Satelites.Get(1)->Diseqc12, 1);
    EXPECT_EQ(d.Satelites.Get(2)->Angle, 8);
    EXPECT_EQ(d.Satelites.Get(2)->EastWest, 'w');

    ASSERT_EQ(d.Transponders.Count(), 2);
    EXPECT_EQ(d.Transponders.Get(0)->Satelite.Get(), d.Satelites.Default());
    EXPECT_EQ(d.Transponders.Get(0)->Fec, "7/8");
    const TTransponderRec& odd = *d.Transponders.Get(1);
    EXPECT_EQ(odd.Satelite.Get(), d.Satelites.Get(2));
    EXPECT_EQ(odd.Polar, 'h');
    EXPECT_EQ(odd.Tone22K, "0");
    EXPECT_EQ(odd.Volt1418, "14");
    EXPECT_EQ(odd.Volt012, "0");
    EXPECT_EQ(odd.Fec, "auto");

    ASSERT_EQ(d.Antenas.Count(), 2);
    const TAntenaRec& a = *d.Antenas.Get(0);
    EXPECT_EQ(a.Satelite.Get(), d.Satelites.Get(1));
    EXPECT_EQ(a.Universal, 1);
    EXPECT_EQ(a.AntennaType, 'a');
    EXPECT_EQ(a.Diseqc, 'b');
    EXPECT_EQ(a.Tone22K, "22");
    EXPECT_EQ(a.Volt012, "12");
    EXPECT_EQ(a.Volt1418, "18");
    const TAntenaRec& b = *d.Antenas.Get(1);
    EXPECT_EQ(b.Satelite.Get(), d.Satelites.Default());
    EXPECT_EQ(b.AntennaType, 'f');
    EXPECT_EQ(b.Diseqc, 'n');
    EXPECT_EQ(b.Tone22K, "n");
    EXPECT_EQ(b.Volt012, "n");
    EXPECT_EQ(b.Volt1418, "n");

    ASSERT_EQ(d.Channels.Count(), 4);
    const TChannelRec& c0 = *d.Channels.Get(0);
    EXPECT_EQ(c0.Transponder.Get(), d.Transponders.Default()); // number 0
    EXPECT_EQ(c0.Satelite.Get(), d.Satelites.Get(1));
    EXPECT_EQ(c0.Antena.Get(), d.Antenas.Get(0));
    EXPECT_EQ(c0.Radio, 0);
    EXPECT_EQ(c0.Scramble + c0.Favorite + c0.Lock, 3);
    EXPECT_EQ(c0.Favorites, (std::array<std::uint8_t, 8>{1, 0, 0, 0, 0, 0, 0, 0}));
    const TChannelRec& c1 = *d.Channels.Get(1);
    EXPECT_EQ(c1.Radio, 1);
    EXPECT_EQ(c1.Transponder.Get(), d.Transponders.Get(1));
    EXPECT_EQ(c1.Favorites, (std::array<std::uint8_t, 8>{1, 0, 0, 0, 0, 0, 0, 0}));
    const TChannelRec& c2 = *d.Channels.Get(2);
    EXPECT_EQ(c2.Transponder.Get(), d.Transponders.Default()); // satellite 3 has one transponder
    EXPECT_EQ(c2.Favorite, 1);
    EXPECT_EQ(c2.ServiceId, 70000 & 0xFFFF);
    EXPECT_EQ(c2.Favorites, (std::array<std::uint8_t, 8>{0, 1, 0, 1, 0, 1, 0, 0}));
    const TChannelRec& c3 = *d.Channels.Get(3);
    EXPECT_EQ(c3.Satelite.Get(), d.Satelites.Default());
    EXPECT_EQ(c3.Antena.Get(), d.Antenas.Default());
    // The transponder that came before any satellite is the default satellite's first.
    EXPECT_EQ(c3.Transponder.Get(), d.Transponders.Get(0));
}

TEST(TVexaDataText, NamesSurviveWritingAndReading)
{
    TVexaData src;
    samples::Build(src, 2, 2, 2, 4);
    src.Channels.Get(0)->Name = "Say \"Hi\" now";
    src.Channels.Get(1)->Name = "ABCDEFGHIJKLMNOP"; // 16 characters overflow the column
    src.Channels.Get(2)->Name = "";
    src.Channels.Get(3)->Name = std::string("Line\nbreak\r\0x", 13);
    src.Satelites.Get(0)->Name = "\"Quoted\" sat 17ch";
    src.Satelites.Get(1)->Name = " spaced  name ";
    Lines lines;
    src.SaveToTxt(false, lines);
    TVexaData back;
    ASSERT_EQ(back.LoadFromTxt(lines), TVexaData::TxtRead);
    EXPECT_EQ(back.Channels.Get(0)->Name, "Say 'Hi' now");
    EXPECT_EQ(back.Channels.Get(1)->Name, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(back.Channels.Get(2)->Name, "");
    EXPECT_EQ(back.Channels.Get(3)->Name, "Line break  x");
    EXPECT_EQ(back.Satelites.Get(0)->Name, "'Quoted' sat 17ch");
    EXPECT_EQ(back.Satelites.Get(1)->Name, " spaced  name ");
    EXPECT_EQ(back.Channels.Count(), 4);
}

// A record not yet filled in (empty codes) still gives a list that reads back.
TEST(TVexaDataText, ZeroedRecordsStillReadBack)
{
    TVexaData src;
    src.Satelites.New();
    src.Transponders.New()->Satelite = src.Satelites.Get(0);
    src.Antenas.New();
    src.Channels.New();
    Lines lines;
    src.SaveToTxt(true, lines);
    TVexaData back;
    ASSERT_EQ(back.LoadFromTxt(lines), TVexaData::TxtRead);
    EXPECT_EQ(back.Antenas.Get(0)->AntennaType, 'f');
    EXPECT_EQ(back.Antenas.Get(0)->Tone22K, "n");
    EXPECT_EQ(back.Transponders.Get(0)->Fec, "auto");
    EXPECT_EQ(back.Transponders.Get(0)->Polar, 'h');
    EXPECT_EQ(back.Channels.Count(), 1);
}

TEST(TVexaDataText, ProgressAndWaitBox)
{
    ScriptedWaitBoxes boxes;
    Lines lines(120, "# comment");
    lines[60] = "BOXP5000";
    TVexaData d;
    EXPECT_EQ(d.LoadFromTxt(lines), TVexaData::TxtRead);
    ASSERT_EQ(boxes.Records().size(), 1u);
    const WaitBoxRecord& r = *boxes.Records()[0];
    EXPECT_EQ(r.labels, Lines{LangText(1401)});
    EXPECT_EQ(r.maxima, std::vector<int>{360});
    EXPECT_EQ(r.positions, (std::vector<int>{0, 50, 100, 120, 170, 220, 240, 290, 340}));
    EXPECT_TRUE(r.cancelVisible);
    EXPECT_EQ(r.starts, 1);
    EXPECT_EQ(r.ends, 1);
    EXPECT_EQ(r.processEventCalls, 360);
    EXPECT_EQ(r.polls, 360);
    EXPECT_TRUE(r.destroyed);
}

TEST(TVexaDataText, CancelInEachPass)
{
    TVexaData src;
    samples::Build(src, 4, 10, 4, 20);
    Lines lines;
    src.SaveToTxt(true, lines);
    const int n = static_cast<int>(lines.size());
    // The first line, a line inside each pass, and the very last line.
    for (int polls : {0, 5, n + 20, 2 * n + 3, 3 * n - 1}) {
        ScriptedWaitBoxes boxes(polls);
        TVexaData d;
        EXPECT_EQ(d.LoadFromTxt(lines), TVexaData::TxtCancelled) << polls;
        EXPECT_FALSE(d.Valid) << polls;
        EXPECT_EQ(d.Satelites.Count() + d.Transponders.Count() + d.Antenas.Count() + d.Channels.Count(), 0);
        const WaitBoxRecord& r = *boxes.Records().at(0);
        EXPECT_EQ(r.polls, polls + 1) << "stops at the first poll that sees Cancel";
        EXPECT_EQ(r.ends, 1) << polls;
        EXPECT_TRUE(r.destroyed);
    }
    ScriptedWaitBoxes boxes(3 * n); // never seen: the read ends first
    TVexaData d;
    EXPECT_EQ(d.LoadFromTxt(lines), TVexaData::TxtRead);
}

// The rest of the file is not read: pass 1 whole, pass 2 up to the bad line.
TEST(TVexaDataText, FormatErrorStopsReadingAtTheBadLine)
{
    ScriptedWaitBoxes boxes;
    TVexaData d;
    EXPECT_EQ(d.LoadFromTxt({"BOXP5000", "x", "a 1", "x", "x"}), TVexaData::TxtFormatError);
    EXPECT_EQ(boxes.Records().at(0)->polls, 5 + 2);
}

} // namespace
