#include "database/TVexaData.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/TLang.h"
#include "support/ScriptedWaitBox.h"
#include "tests/database/VexaSamples.h"

namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

TEST(TVexaDataMax, MaxNumberPreparesTheTextByMode)
{
    struct Case {
        int mode;
        const char* text;
        std::int32_t expected;
    };
    const Case cases[] = {
        {0, "12", 12},       {0, "-7", -7},         {0, "", 0},           {0, "1a", 0},
        {1, "0x1A", 26},     {1, "0X200", 512},     {1, "1x1f", 31},      {1, "7", 0},
        {1, "0x", 0},        {1, "0xG", 0},         {1, "42", 42},        {1, "0xFFFFFFFF", -1},
        {2, "ab123", 1},     {2, "0x1177800", 11778}, {2, "abcd", 0},     {3, "ab12c", 12},
        {3, "0x275000", 27500}, {3, "abc", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MaxNumber(c.mode, c.text), c.expected) << "mode " << c.mode << " \"" << c.text << '"';
}

TEST(TVexaDataMax, AnEmptyFileGivesTheNumberedSatellitesWithTheirAntennas)
{
    ScriptedWaitBoxes boxes;
    TVexaData d;
    EXPECT_EQ(d.LoadFromMax({}), TVexaData::MaxFileRead);
    EXPECT_TRUE(d.Valid);
    ASSERT_EQ(d.Satelites.Count(), 24);
    ASSERT_EQ(d.Antenas.Count(), 24);
    EXPECT_EQ(d.Transponders.Count() + d.Channels.Count(), 0);
    EXPECT_FALSE(d.Check());

    // The numbering MAX files rely on: LNB low and high, angle, east/west, name.
    const char* const expected =
        "9750 10600 130e Hotbird|9750 10600 192e Astra|9750 10600 160e Eutel W2|9750 10600 100e Eutel W1|"
        "9750 10600 70e Eutel W3|9750 10600 50e Sirius 2, 3|9750 10600 50w Telecom 2C|9750 10600 8w Thor 2,3|"
        "9750 10600 110w Express 3A|9750 10600 80w Telecom 2D|5150 10750 180w Intelsat 901|"
        "5150 10600 215w NSS K, 833, 7|9750 10600 275w Intelsat 907|9750 10600 300w Hispa|"
        "9750 10600 70w Nile 101,102|9750 10600 235e Astra 3A|9750 10600 260e Arab 2A, 3A|"
        "9750 10600 282e Astra 2A,2B,2D|9750 10600 285e Eurobird|9750 10600 305e Arabsat 2B|"
        "9750 10600 312e Turksat 1B|9750 10600 160e Turksat 1C|9750 10600 150w Telstar 12|"
        "9750 10600 1005e Asiasat 2|";
    std::string table;
    for (int k = 0; k < 24; ++k) {
        const TSateliteRec& s = *d.Satelites.Get(k);
        table += std::to_string(s.LnbLow) + " " + std::to_string(s.LnbHigh) + " " + std::to_string(s.Angle)
            + s.EastWest + " " + s.Name.str() + "|";
        EXPECT_EQ(samples::Line(d, *d.Antenas.Get(k)), "A s" + std::to_string(k + 1) + " 5150/10750 u0 a n n/n/n");
        EXPECT_EQ(s.Diseqc12 + s.AntennaOffset + s.LnbType, 0);
    }
    EXPECT_EQ(table, expected);
    ASSERT_EQ(boxes.Records().size(), 1u);
    EXPECT_EQ(boxes.Records()[0]->labels, Lines{LangText(1413)});
    EXPECT_EQ(boxes.Records()[0]->ends, 1);
}

// Transponders and channels in one line each, references by position.
std::string Summary(const TVexaData& d)
{
    auto position = [](int index) { return index < 0 ? std::string("-") : std::to_string(index + 1); };
    std::string out;
    for (int i = 0; i < d.Transponders.Count(); ++i) {
        const TTransponderRec& t = *d.Transponders.Get(i);
        out += "T sat" + position(d.Satelites.IndexOf(t.Satelite)) + " " + std::to_string(t.Frequency) + " "
            + std::to_string(t.Symbol) + t.Polar + "\n";
    }
    for (int i = 0; i < d.Channels.Count(); ++i) {
        const TChannelRec& c = *d.Channels.Get(i);
        out += "C '" + c.Name.str() + "' tp" + position(d.Transponders.IndexOf(c.Transponder)) + " sat"
            + position(d.Satelites.IndexOf(c.Satelite)) + " ant" + position(d.Antenas.IndexOf(c.Antena)) + " sid"
            + std::to_string(c.ServiceId) + (c.Radio ? " radio" : "") + (c.Lock ? " lock" : "")
            + (c.Scramble ? " scrambled" : "") + "\n";
    }
    return out;
}

TEST(TVexaDataMax, ScansRecordsOfTheFirstTwoSections)
{
    // A transponder record reads fields 0, 7, 8 and 10; a channel record 1 to 6.
    const std::string tp2 = "{2,0,0,0,0,0,0,0x1177800,0x275000,0,0x200}";
    struct Case {
        const char* what;
        Lines file;
        std::string expected;
    };
    const Case cases[] = {
        {"one transponder and one channel on it",
         {"{", " " + tp2 + ",", "}", "{", " {0, 1, \"Das Erste\", 0x0, 0x6D66, 0, 0},", "}"},
         "T sat2 11778 27500v\nC 'Das Erste' tp1 sat2 ant2 sid28006\n"},
        {"a quoted comma stays in its field",
         {"{" + tp2 + "}{{0,1,\"A,B\",0x0,0x1,1,0}}"}, "T sat2 11778 27500v\nC 'A,B' tp1 sat2 ant2 sid1 lock\n"},
        {"blanks outside quotes vanish, inside they stay",
         {"{{1 2, 0,0,0,0,0,0, 0x12 34500, 0x220001 ,0, 0x1FF}}{{0,2,\" R a \",0x0,0x 2,0,0}}"},
         "T sat12 12345 22000h\nC ' R a ' tp1 sat12 ant12 sid2 radio\n"},
        {"what follows a closing quote up to the next comma is dropped",
         {"{}{{0,1,\"Name\"dropped},0x0,0x5,1,1}}"}, "C 'Name' tp- sat- ant- sid5 lock scrambled\n"},
        {"a comment hides field text but not the commas around it",
         {"{{2/*,9,*/,0,0,0,0,0,0,0x1177800,0x275000,0,0x200}}"}, "T sat2 11778 27500v\n"},
        {"a quote inside a comment still opens a quoted part", {"/* \" */ {{0,1,\"x\",0x0,1,0,0}}"}, ""},
        {"braces inside a comment still count and can open a section",
         {"/* { } */", "{" + tp2 + "}"}, "C '0' tp- sat- ant- sid0\n"},
        {"records of a third section and text outside braces are ignored",
         {"junk, 1, 2", "{" + tp2 + "} more junk {} {{1,2}} {{1}}"}, "T sat2 11778 27500v\n"},
        {"line breaks vanish, even inside a field", {"{{2", "4,0,0,0,0,0,0,0x1177800,0x275000,0,0x200}}"},
         "T sat24 11778 27500v\n"},
        {"an empty field counts, a trailing comma adds none",
         {"{{2,,,,,,,0x1177800,0x275000,,0x200,}}"}, "T sat2 11778 27500v\n"},
        {"channels pick transponders by 0-based position, antennas by satellite position",
         {"{{3,0,0,0,0,0,0,0x1000000,0x10000,0,0}{24,0,0,0,0,0,0,0x1100000,0x11000,0,0x3FF}}",
          "{{0,1,\"Second\",0x1,0x0,0,0}{0,1,\"First\",0x0,0,0,0}{0,1,\"None\",0x2,0,0,0}}"},
         "T sat3 10000 1000h\nT sat24 11000 1100v\nC 'Second' tp2 sat24 ant24 sid0\n"
         "C 'First' tp1 sat3 ant3 sid0\nC 'None' tp- sat- ant- sid0\n"},
        {"a satellite number outside 1 to 24 is the default satellite",
         {"{{0,0,0,0,0,0,0,0x1000000,0x10000,0,0}{25,0,0,0,0,0,0,0x1000000,0x10000,0,0}"
          "{-2147483648,0,0,0,0,0,0,0x1000000,0x10000,0,0}}{{0,1,\"X\",0x0,0,0,0}}"},
         "T sat- 10000 1000h\nT sat- 10000 1000h\nT sat- 10000 1000h\nC 'X' tp1 sat- ant- sid0\n"},
        {"a record never closed is never read", {"{" + tp2 + "}{{0,1,\"Cut\""}, "T sat2 11778 27500v\n"},
        {"a NUL byte is a byte like any other: of a name, of no number, or outside",
         {"{" + tp2 + "}\0"s, "{{0,1,\"A\0B\",0x0,0x1\0,0,0}{0,1,\"C\",0x0,0x2,0,0}}"s},
         "T sat2 11778 27500v\nC 'A\0B' tp1 sat2 ant2 sid0\nC 'C' tp1 sat2 ant2 sid2\n"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TVexaData d;
        EXPECT_EQ(d.LoadFromMax(c.file), TVexaData::MaxFileRead);
        EXPECT_TRUE(d.Valid);
        EXPECT_EQ(d.Satelites.Count(), 24);
        EXPECT_EQ(Summary(d), c.expected);
    }
}

TEST(TVexaDataMax, ARecordWithTooFewFieldsFailsAndKeepsNothing)
{
    const Lines cases[] = {
        {"{{2,0,0,0,0,0,0,0x1177800,0x275000,0}}"},               // 10 fields for a transponder
        {"{}{{0,1,\"Short\",0x0,0x1,0}}"},                        // 6 fields for a channel
        {"{{}}"},                                                 // no field at all
        {"{{2,0,0,0,0,0,0,0x1177800,0x275000,0,0x200}{2}}"},     // a good record first
        {"{{2,0,0,0,0,0,0,0x1177800,0x275000,0,}}"},              // a trailing comma adds no field
    };
    for (const Lines& file : cases) {
        SCOPED_TRACE(file[0]);
        ScriptedWaitBoxes boxes;
        TVexaData d;
        EXPECT_EQ(d.LoadFromMax(file), TVexaData::MaxFileFormatError);
        EXPECT_FALSE(d.Valid);
        EXPECT_EQ(d.Satelites.Count() + d.Antenas.Count() + d.Transponders.Count() + d.Channels.Count(), 0);
        ASSERT_EQ(boxes.Records().size(), 1u);
        EXPECT_EQ(boxes.Records()[0]->ends, 1);
    }
}

TEST(TVexaDataMax, CancelStopsAtTheNextCharacterAndProgressMovesEvery300)
{
    const std::string record = "{{2,0,0,0,0,0,0,0x1177800,0x275000,0,0x200}}"; // 44 characters
    const Lines file = {record, std::string(952, ' ')};                          // 1000 with the line ends
    {
        ScriptedWaitBoxes boxes;
        TVexaData d;
        ASSERT_EQ(d.LoadFromMax(file), TVexaData::MaxFileRead);
        const WaitBoxRecord& box = *boxes.Records()[0];
        EXPECT_EQ(box.maxima, std::vector<int>{1000});
        EXPECT_EQ(box.positions, (std::vector<int>{300, 600, 900}));
        EXPECT_EQ(box.processEventCalls, box.polls);
        EXPECT_EQ(box.polls, 1000); // one poll per character
    }
    for (int polls : {0, 42, 43}) {
        SCOPED_TRACE(polls);
        ScriptedWaitBoxes boxes(polls);
        TVexaData d;
        EXPECT_EQ(d.LoadFromMax(file), TVexaData::MaxFileCancelled);
        EXPECT_FALSE(d.Valid);
        EXPECT_EQ(d.Satelites.Count(), 24);
        EXPECT_EQ(d.Transponders.Count(), polls == 43 ? 1 : 0); // the record closes at character 43
        const WaitBoxRecord& box = *boxes.Records()[0];
        EXPECT_EQ(box.polls, polls + 1);
        EXPECT_EQ(box.ends, 1);
        EXPECT_TRUE(box.destroyed);
    }
}

} // namespace
