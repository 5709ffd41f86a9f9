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
using namespace std::string_literals;

// What a written list must read back as: antenna k on satellite k, the
// transponders grouped by satellite (those of no satellite left out),
// favourites lists as the column can say.
void ExpectedAfterTextRoundTrip(const TVexaData& src, bool favourites, TVexaData& out)
{
    out.Assign(src);
    int next = 0;
    for (int s = 0; s < out.Satelites.Count(); ++s)
        for (int i = next; i < out.Transponders.Count(); ++i)
            if (out.Transponders.Get(i)->Satelite.Get() == out.Satelites.Get(s))
                out.Transponders.Move(i, next++);
    while (out.Transponders.Count() > next)
        out.Transponders.Delete(next); // its channels now read as on no transponder
    for (int i = 0; i < out.Antenas.Count(); ++i)
        out.Antenas.Get(i)->Satelite = out.Satelites.Get(i);
    for (int i = 0; i < out.Channels.Count(); ++i) {
        TChannelRec& c = *out.Channels.Get(i);
        if (favourites)
            c.Favorites[7] = 0;
        else
            c.Favorites = {c.Favorite};
    }
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
    TVexaData d; // what the reader makes of these lines is checked below
    ASSERT_EQ(d.LoadFromTxt({"BOXP5000", "L 17", "s \"Astra\" 9750 10600 universal 19.2 east y -5",
                             "t 12663 22000 hor 0 14 0 3/4", "a 1 universal 9750 10600 f a 22 12 18",
                             "r \"ZDF\" 1 1 1 28006 110 120 110 130 0 1 0 YNYNNNY"}),
              TVexaData::TxtRead);
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

// A "BOXP5000" line, anywhere and in any case, makes a list; a known tag
// with the wrong number of words, a polarisation other than hor or ver, or a
// NUL byte in a word that is read, is a format error that leaves nothing
// behind.
TEST(TVexaDataText, SignatureAndFormatErrors)
{
    const std::string sat = "s \"Sat\" 9750 10600 u 19.2 e y 0";
    struct Case {
        const char* what;
        Lines lines;
        int result;
    };
    const int read = TVexaData::TxtRead, error = TVexaData::TxtFormatError;
    const Case cases[] = {
        {"no lines", {}, error},
        {"signature after the list number", {"L 3", "BOXP5000", sat}, read},
        {"signature in lower case", {sat, "boxp5000"}, read},
        {"signature with words behind", {"  BoxP5000 anything after", sat}, read},
        {"quoted signature", {"\"BOXP5000\"", sat}, error},
        {"short signature", {"BOXP500", sat}, error},
        {"signature in a comment", {"# BOXP5000", sat}, error},
        {"antenna with 9 words", {"BOXP5000", sat, "a 1 u 9750 10600 f n 0 0"}, error},
        {"antenna with 11 words", {"BOXP5000", sat, "a 1 u 9750 10600 f n 0 0 14 x"}, error},
        {"satellite with 8 words", {"BOXP5000", "s \"Sat\" 9750 10600 u 19.2 e y"}, error},
        {"transponder with 7 words", {"BOXP5000", sat, "t 12663 22000 hor 0 14 0"}, error},
        {"transponder polarisation x", {"BOXP5000", sat, "t 12663 22000 xor 0 14 0 3/4"}, error},
        {"program with 12 words", {"BOXP5000", sat, "v \"A\" 1 1 1 1 1 1 1 1 0 0"}, error},
        {"list number with 3 words", {"BOXP5000", "L 1 2"}, error},
        {"NUL in a comment and on a line of no section", {"BOXP5000", "# a\0b"s, "#\0"s, "x \"\0\""s, sat}, read},
        {"NUL in a tag", {"BOXP5000", sat, "v\0 \"A\" 1 1 1 1 1 1 1 1 0 0 0"s}, error},
        {"NUL in a number", {"BOXP5000", sat + "\0"s}, error},
        {"NUL in a name", {"BOXP5000", "s \"S\0t\" 9750 10600 u 19.2 e y 0"s}, error},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedWaitBoxes boxes;
        TVexaData d;
        EXPECT_EQ(d.LoadFromTxt(c.lines), c.result);
        EXPECT_EQ(d.Valid, c.result == read);
        EXPECT_EQ(d.Satelites.Count() + d.Transponders.Count() + d.Antenas.Count() + d.Channels.Count(),
                  c.result == read ? 1 : 0);
        EXPECT_EQ(boxes.Records().at(0)->ends, 1);
    }
}

TEST(TVexaDataText, LinesAreReadAsDocumented)
{
    TVexaData d;
    ASSERT_EQ(d.LoadFromTxt({
                          "# a comment", "", "BOXP5000", "L 9",
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
    // The transponder that came before any satellite is the default
    // satellite's first, and a program with number 0 names no transponder.
    EXPECT_EQ(samples::Dump(d), "S 'Hot Bird' 9750/10600 13e lnb0 dsq0 off-3\n" // "13": tenths of a degree
                                "S 'Astra' 9750/10600 192e lnb1 dsq1 off12\n"
                                "S 'Thor' 9750/10600 8w lnb1 dsq0 off0\n"
                                "T s- 11000 27500 v 22/18/12 7/8\n"
                                "T s3 12000 27500 h 0/14/0 auto\n"
                                "A s2 9750/10600 u1 a b 22/12/18\n"
                                "A s- 1/2 u0 f n n/n/n\n"
                                "C 'Radio 1' s2 t- a1 sid100 pids0/101/0/0 sc1 fv1 lk1 rd0 lists10000000\n"
                                "C 'Radio 2' s3 t2 a2 sid100 pids0/101/0/0 sc0 fv0 lk0 rd1 lists10000000\n"
                                "C 'Far' s3 t- a2 sid4464 pids2/3/4/5 sc0 fv1 lk0 rd0 lists01010100\n"
                                "C 'Default' s- t1 a- sid1 pids2/3/4/5 sc0 fv0 lk0 rd0 lists00000000\n");
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
    std::string names;
    for (const TChannelRec* c : {back.Channels.Get(0), back.Channels.Get(1), back.Channels.Get(2), back.Channels.Get(3)})
        names += c->Name.str() + "|";
    EXPECT_EQ(names + back.Satelites.Get(0)->Name.str() + "|" + back.Satelites.Get(1)->Name.str(),
              "Say 'Hi' now|ABCDEFGHIJKLMNOP||Line break  x|'Quoted' sat 17ch| spaced  name ");
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
    EXPECT_EQ(samples::Dump(back), "S '' 0/0 0e lnb0 dsq0 off0\n"
                                   "T s1 0 0 h 0/14/0 auto\n"
                                   "A s1 0/0 u0 f n n/n/n\n"
                                   "C '' s- t- a- sid0 pids0/0/0/0 sc0 fv0 lk0 rd0 lists00000000\n");
}

TEST(TVexaDataText, ProgressAndWaitBox)
{
    ScriptedWaitBoxes boxes;
    Lines lines(120, "# comment");
    lines[60] = "BOXP5000";
    TVexaData d;
    EXPECT_EQ(d.LoadFromTxt(lines), TVexaData::TxtRead);
    // A format error stops the read at the bad line: pass 1 whole, pass 2 up to the bad line.
    EXPECT_EQ(d.LoadFromTxt({"BOXP5000", "x", "a 1", "x", "x"}), TVexaData::TxtFormatError);
    ASSERT_EQ(boxes.Records().size(), 2u);
    EXPECT_EQ(boxes.Records()[1]->polls, 5 + 2);
    const WaitBoxRecord& r = *boxes.Records()[0];
    EXPECT_EQ(r.labels, Lines{LangText(1401)});
    EXPECT_EQ(r.maxima, std::vector<int>{360});
    EXPECT_EQ(r.positions, (std::vector<int>{0, 50, 100, 120, 170, 220, 240, 290, 340}));
    EXPECT_TRUE(r.cancelVisible && r.destroyed);
    EXPECT_EQ(r.starts + r.ends, 2);
    EXPECT_EQ(r.processEventCalls + r.polls, 720);
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

} // namespace
