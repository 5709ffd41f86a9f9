#include "database/TVexaData.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/database/VexaSamples.h"

namespace {

using Lines = std::vector<std::string>;

// The messages exactly as the user reads them (Windows-1252).
const std::string kNoSignature = "No se ha encontrado la firma del fichero";
const std::string kTpNoSat = "No hay sat\xE9lite definido en Transponder ";
const std::string kAntNoSat = "No hay sat\xE9lite definido en Antena ";
const std::string kChNoSat = "No hay sat\xE9lite definido en Canal ";
const std::string kChNoAnt = "No hay antena definida en Canal ";
const std::string kChNoTp = "No hay transponder definido en Canal ";

// A valid set that checks clean: one satellite with one transponder (12663 h)
// and one antenna, until a case breaks it.
struct Sample {
    TVexaData d;
    TSateliteRec* sat = d.Satelites.New();
    TTransponderRec* tp = d.Transponders.New();
    TAntenaRec* ant = d.Antenas.New();

    Sample()
    {
        tp->Satelite = sat;
        tp->Frequency = 12663;
        tp->Polar = 'h';
        ant->Satelite = sat;
        d.Valid = true;
    }
    TChannelRec* AddChannel(const char* name)
    {
        TChannelRec* ch = d.Channels.New();
        ch->Name = name;
        ch->Satelite = sat;
        ch->Transponder = tp;
        ch->Antena = ant;
        return ch;
    }
    TTransponderRec* AddTransponder(std::uint16_t frequency) // on the default satellite
    {
        TTransponderRec* t = d.Transponders.New();
        t->Frequency = frequency;
        t->Polar = 'v';
        return t;
    }
};

struct Case {
    const char* what;
    std::function<void(Sample&)> breakIt;
    Lines expected;
};

TEST(TVexaDataCheck, ReportsEachMissingReferenceInItsOwnWordsAndOrder)
{
    const Case cases[] = {
        {"a new list", [](Sample&) {}, {}},
        {"not valid", [](Sample& s) { s.d.Valid = false; }, {kNoSignature}},
        {"third antenna without satellite",
         [](Sample& s) {
             s.d.Antenas.New()->Satelite = s.sat;
             s.d.Antenas.New();
         },
         {kAntNoSat + "3"}},
        {"channel on all three default records", [](Sample& s) { s.d.Channels.New()->Name = "Canal Sur"; },
         {kChNoSat + "Canal Sur", kChNoAnt + "Canal Sur", kChNoTp + "Canal Sur"}},
        {"every kind, in list order within each",
         [](Sample& s) {
             s.d.Valid = false;
             s.tp->Satelite = s.d.Satelites.Default();
             s.AddTransponder(10714);
             s.d.Antenas.New();
             s.AddChannel("A")->Transponder = s.d.Transponders.Default();
             s.AddChannel("B");
             s.AddChannel("C")->Satelite = s.d.Satelites.Default();
         },
         {kNoSignature, kTpNoSat + "12663H", kTpNoSat + "10714V", kAntNoSat + "2", kChNoTp + "A", kChNoSat + "C"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Sample s;
        c.breakIt(s);
        Lines lines = {"left over"};
        EXPECT_EQ(s.d.Check(&lines), !c.expected.empty());
        EXPECT_EQ(lines, c.expected);
        EXPECT_EQ(s.d.Check(), !c.expected.empty());
    }
}

TEST(TVexaDataCheck, RepairDeletesTranspondersAntennasThenChannelsEachFromTheLast)
{
    const Case cases[] = {
        {"not valid is no repair", [](Sample& s) { s.d.Valid = false; }, {}},
        {"a transponder takes its channels along",
         [](Sample& s) {
             s.AddChannel("First");
             s.AddChannel("Second");
             s.tp->Satelite = s.d.Satelites.Default();
         },
         {"Transponder Borrado 12663H", "Canal Second Borrado", "Canal First Borrado"}},
        {"kinds in order",
         [](Sample& s) {
             s.AddChannel("Kept");
             s.AddTransponder(11000);
             s.AddTransponder(11100);
             s.d.Antenas.New();
             s.d.Antenas.New()->Satelite = s.sat;
             s.d.Antenas.New();
             s.AddChannel("NoSat")->Satelite = s.d.Satelites.Default();
             s.AddChannel("NoAnt")->Antena = s.d.Antenas.Get(1); // an antenna this repair deletes
         },
         {"Transponder Borrado 11100V", "Transponder Borrado 11000V", "Antena 4 Borrada", "Antena 2 Borrada",
          "Canal NoAnt Borrado", "Canal NoSat Borrado"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Sample s;
        c.breakIt(s);
        const bool valid = s.d.Valid;
        Lines log = {"left over"};
        EXPECT_EQ(s.d.Repair(log), !c.expected.empty());
        EXPECT_EQ(log, c.expected);
        EXPECT_EQ(s.d.Valid, valid);
        Lines after;
        s.d.Check(&after);
        EXPECT_EQ(after, valid ? Lines{} : Lines{kNoSignature});
    }
}

// A channel as the user sees it, its references followed to their content.
std::string Describe(const TVexaData& d, const TChannelRec& ch)
{
    return ch.Name.str() + "|" + d.Satelites.Resolve(ch.Satelite).Name.str() + "|"
        + std::to_string(d.Transponders.Resolve(ch.Transponder).Frequency) + "|"
        + std::to_string(d.Antenas.Resolve(ch.Antena).LnbLow);
}

TEST(TVexaDataCheck, DeleteUnusedKeepsEveryChannelAsItWas)
{
    // 20 satellites, each with an antenna and 10 transponders; 30 channels on
    // the first three transponders of the even satellites.
    TVexaData d;
    for (int i = 0; i < 20; ++i) {
        TSateliteRec* sat = d.Satelites.New();
        samples::FillSatelite(*sat, i);
        TAntenaRec* ant = d.Antenas.New();
        samples::FillAntena(*ant, i);
        ant->Satelite = sat;
        for (int k = 0; k < 10; ++k) {
            TTransponderRec* tp = d.Transponders.New();
            samples::FillTransponder(*tp, i * 10 + k);
            tp->Satelite = sat;
        }
    }
    Lines before;
    for (int k = 0; k < 30; ++k) {
        const int sat = (k % 10) * 2;
        TChannelRec* ch = d.Channels.New();
        samples::FillChannel(*ch, k);
        ch->Satelite = d.Satelites.Get(sat);
        ch->Antena = d.Antenas.Get(sat);
        ch->Transponder = d.Transponders.Get(sat * 10 + k / 10);
        before.push_back(Describe(d, *ch));
    }
    d.Valid = true;

    d.DeleteUnused();

    EXPECT_EQ(d.Satelites.Count(), 10);
    EXPECT_EQ(d.Transponders.Count(), 30);
    EXPECT_EQ(d.Antenas.Count(), 10);
    ASSERT_EQ(d.Channels.Count(), 30);
    for (int k = 0; k < 30; ++k)
        EXPECT_EQ(Describe(d, *d.Channels.Get(k)), before[static_cast<std::size_t>(k)]);
    EXPECT_FALSE(d.Check());

    samples::Build(d, 5, 7, 3, 0);
    d.DeleteUnused();
    EXPECT_EQ(d.Satelites.Count() + d.Transponders.Count() + d.Antenas.Count(), 0);
}

TEST(TVexaDataCheck, RecordsLeftOnADeletedSatelliteReadAsMissingEverywhere)
{
    // The channel is on satellite B but uses the transponder and antenna of
    // satellite A, which no channel names: A goes, its two records stay.
    Sample s;
    TSateliteRec* b = s.d.Satelites.New();
    s.AddChannel("Cross")->Satelite = b;

    s.d.DeleteUnused();

    ASSERT_EQ(s.d.Satelites.Count(), 1);
    Lines lines;
    s.d.Check(&lines);
    EXPECT_EQ(lines, (Lines{kTpNoSat + "12663H", kAntNoSat + "1"}));
    TVexaData copy;
    copy.Assign(s.d);
    EXPECT_TRUE(copy.Equals(s.d) && s.d.Equals(copy));
    std::vector<std::uint8_t> image;
    ASSERT_TRUE(s.d.SaveToImage(image));
    ASSERT_TRUE(copy.LoadFromImage(image));
    EXPECT_EQ(copy.Transponders.Count(), 1);
    EXPECT_TRUE(copy.Check());
}

} // namespace
