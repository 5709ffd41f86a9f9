#include "database/TVexaData.h"

#include <functional>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "tests/database/VexaSamples.h"
#include "foundation/TLang.h"

namespace {

TEST(TVexaData, DefaultRecordsAnswerOutOfRangeAndAreNeverEntries)
{
    TVexaData d;
    samples::Build(d, 2, 3, 2, 2);
    for (int index : {-1, 1000}) {
        EXPECT_EQ(d.Satelites.Get(index), d.Satelites.Default()) << index;
        EXPECT_EQ(d.Transponders.Get(index), d.Transponders.Default()) << index;
        EXPECT_EQ(d.Antenas.Get(index), d.Antenas.Default()) << index;
    }
    EXPECT_EQ(d.Satelites.Get(d.Satelites.Count()), d.Satelites.Default());
    EXPECT_EQ(d.Transponders.Get(d.Transponders.Count()), d.Transponders.Default());
    EXPECT_EQ(d.Antenas.Get(d.Antenas.Count()), d.Antenas.Default());
    EXPECT_NE(d.Satelites.Get(d.Satelites.Count() - 1), d.Satelites.Default());
    EXPECT_EQ(d.Channels.Get(-1), nullptr);
    EXPECT_EQ(d.Channels.Get(d.Channels.Count()), nullptr);
    EXPECT_EQ(d.Satelites.IndexOf(d.Satelites.Default()), -1);
    EXPECT_EQ(d.Transponders.IndexOf(d.Transponders.Default()), -1);
    EXPECT_EQ(d.Antenas.IndexOf(d.Antenas.Default()), -1);

    const TSateliteRec& sat = *d.Satelites.Default();
    EXPECT_EQ(sat.Name, LangText(1414).substr(0, 17));
    EXPECT_EQ(sat.EastWest, 'w');
    EXPECT_EQ(sat.LnbLow + sat.LnbHigh + sat.Angle + sat.Diseqc12 + sat.AntennaOffset + sat.LnbType, 0);

    const TTransponderRec& tp = *d.Transponders.Default();
    EXPECT_EQ(tp.Satelite.Get(), d.Satelites.Default());
    EXPECT_EQ(tp.Polar, 'v');
    EXPECT_EQ(tp.Volt1418, "14");
    EXPECT_EQ(tp.Tone22K, "0");
    EXPECT_EQ(tp.Volt012, "0");
    EXPECT_EQ(tp.Fec, "auto");
    EXPECT_EQ(tp.Frequency + tp.Symbol, 0);

    const TAntenaRec& ant = *d.Antenas.Default();
    EXPECT_EQ(ant.Satelite.Get(), d.Satelites.Default());
    EXPECT_EQ(ant.Diseqc, 'n');
    EXPECT_EQ(ant.AntennaType, 'f');
    EXPECT_EQ(ant.Volt012, "n");
    EXPECT_EQ(ant.Tone22K, "n");
    EXPECT_EQ(ant.Volt1418, "n");
    EXPECT_EQ(ant.LnbLow + ant.LnbHigh + ant.Universal, 0);
}

TEST(TVexaData, NewRecordsStartZeroedOnTheDefaultRecords)
{
    TVexaData d;
    samples::Build(d, 1, 1, 1, 1); // the records about to be made must not inherit anything
    const TSateliteRec* s = d.Satelites.New();
    EXPECT_EQ(s->Name, "");
    EXPECT_EQ(s->EastWest, 0);
    EXPECT_EQ(s->LnbLow + s->LnbHigh + s->Angle + s->Diseqc12 + s->AntennaOffset + s->LnbType, 0);

    const TTransponderRec* t = d.Transponders.New();
    EXPECT_EQ(t->Satelite.Get(), d.Satelites.Default());
    EXPECT_EQ(t->Polar, 0);
    EXPECT_TRUE(t->Fec.empty() && t->Volt1418.empty() && t->Tone22K.empty() && t->Volt012.empty());

    const TAntenaRec* a = d.Antenas.New();
    EXPECT_EQ(a->Satelite.Get(), d.Satelites.Default());
    EXPECT_EQ(a->Diseqc, 0);

    const TChannelRec* c = d.Channels.New();
    EXPECT_EQ(c->Satelite.Get(), d.Satelites.Default());
    EXPECT_EQ(c->Transponder.Get(), d.Transponders.Default());
    EXPECT_EQ(c->Antena.Get(), d.Antenas.Default());
    EXPECT_EQ(c->Name, "");
    EXPECT_EQ(c->ServiceId + c->VideoPid + c->AudioPid + c->PcrPid + c->TxtPid, 0);
    EXPECT_EQ(c->Scramble + c->Favorite + c->Lock + c->Radio, 0);
    for (auto f : c->Favorites)
        EXPECT_EQ(f, 0);
    EXPECT_EQ(d.Channels.IndexOf(c), 1);
}

TEST(TVexaData, ShortStringsKeepAtMostTheirLength)
{
    TSateliteRec s;
    s.Name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    EXPECT_EQ(s.Name, "ABCDEFGHIJKLMNOPQ");
    TChannelRec c;
    c.Name = std::string("0123456789abcdefXYZ");
    EXPECT_EQ(c.Name, "0123456789abcdef");
    TTransponderRec t;
    t.Fec = "automatic";
    EXPECT_EQ(t.Fec, "auto");
    t.Fec = "1/2";
    EXPECT_EQ(t.Fec.size(), 3u); // a shorter text leaves nothing of the longer one
}

TEST(TVexaData, DeletedRecordCountsAsMissingAndIsNeverFollowed)
{
    TVexaData d;
    samples::Build(d, 3, 4, 2, 6);
    TChannelRec* c = d.Channels.Get(0);
    TTransponderRec* t = d.Transponders.Get(0);
    const TSateliteRec* doomed = c->Satelite.Get();
    ASSERT_NE(doomed, nullptr);
    const int at = d.Satelites.IndexOf(doomed);
    ASSERT_GE(at, 0);
    t->Satelite = d.Satelites.Get(at);
    d.Satelites.Delete(at);

    EXPECT_EQ(c->Satelite.Get(), nullptr);
    EXPECT_TRUE(c->Satelite.Expired());
    EXPECT_EQ(d.Satelites.IndexOf(c->Satelite), -1);
    EXPECT_EQ(&d.Satelites.Resolve(c->Satelite), d.Satelites.Default());
    EXPECT_EQ(&d.Satelites.Resolve(t->Satelite), d.Satelites.Default());
    // The transponder now belongs to the default satellite.
    EXPECT_EQ(d.GetTpOfSat(1, d.Satelites.Default()), t);

    // Deleting a transponder and an antenna still referenced works the same way.
    d.Transponders.Delete(d.Transponders.IndexOf(d.Channels.Get(1)->Transponder));
    d.Antenas.Delete(d.Antenas.IndexOf(d.Channels.Get(1)->Antena));
    EXPECT_EQ(&d.Transponders.Resolve(d.Channels.Get(1)->Transponder), d.Transponders.Default());
    EXPECT_EQ(&d.Antenas.Resolve(d.Channels.Get(1)->Antena), d.Antenas.Default());

    // Comparing and copying such a set behaves as if the references were on the defaults.
    TVexaData copy;
    copy.Assign(d);
    EXPECT_TRUE(copy.Equals(d));
    EXPECT_TRUE(d.Equals(copy));
    EXPECT_EQ(copy.Channels.Get(0)->Satelite.Get(), copy.Satelites.Default());
    EXPECT_EQ(copy.Channels.Get(1)->Transponder.Get(), copy.Transponders.Default());
    EXPECT_EQ(copy.Channels.Get(1)->Antena.Get(), copy.Antenas.Default());

    TVexaData onDefaults;
    onDefaults.Assign(d);
    onDefaults.Channels.Get(0)->Satelite = onDefaults.Satelites.Default();
    EXPECT_TRUE(onDefaults.Equals(d));
}

TEST(TVexaData, MoveAndDeleteKeepOrderAndRefuseBadIndexes)
{
    TVexaData d;
    samples::Build(d, 4, 0, 0, 0);
    TSateliteRec* s0 = d.Satelites.Get(0);
    TSateliteRec* s3 = d.Satelites.Get(3);
    d.Satelites.Move(0, 3);
    EXPECT_EQ(d.Satelites.Get(3), s0);
    EXPECT_EQ(d.Satelites.Get(2), s3);
    d.Satelites.Move(3, 0);
    EXPECT_EQ(d.Satelites.Get(0), s0);
    d.Satelites.Delete(1);
    EXPECT_EQ(d.Satelites.Count(), 3);
    EXPECT_EQ(d.Satelites.Get(2), s3);

    EXPECT_THROW(d.Satelites.Delete(3), std::out_of_range);
    EXPECT_THROW(d.Satelites.Delete(-1), std::out_of_range);
    EXPECT_THROW(d.Satelites.Move(0, 3), std::out_of_range);
    EXPECT_THROW(d.Channels.Move(0, 0), std::out_of_range);
    EXPECT_EQ(d.Satelites.Count(), 3);
}

TEST(TVexaData, ClearResetsEverythingButTheDefaults)
{
    TVexaData d;
    samples::Build(d, 2, 2, 2, 2, 77);
    TSateliteRec* defSat = d.Satelites.Default();
    TTransponderRec* defTp = d.Transponders.Default();
    d.Clear();
    EXPECT_EQ(d.Satelites.Count() + d.Transponders.Count() + d.Antenas.Count() + d.Channels.Count(), 0);
    EXPECT_EQ(d.ListNumber, 0);
    EXPECT_FALSE(d.Valid);
    EXPECT_EQ(d.Satelites.Default(), defSat);
    EXPECT_EQ(d.Transponders.Default(), defTp);
    EXPECT_EQ(defTp->Satelite.Get(), defSat);
    TVexaData fresh;
    EXPECT_TRUE(d.Equals(fresh));
}

TEST(TVexaData, TransponderNumbersCountWithinTheirSatellite)
{
    TVexaData d;
    samples::Build(d, 2, 0, 0, 0);
    TSateliteRec* a = d.Satelites.Get(0);
    TSateliteRec* b = d.Satelites.Get(1);
    // Order: b1 a1 b2 a2 a3
    TSateliteRec* owners[] = {b, a, b, a, a};
    for (TSateliteRec* owner : owners)
        d.Transponders.New()->Satelite = owner;

    EXPECT_EQ(d.GetTpOfSat(1, a), d.Transponders.Get(1));
    EXPECT_EQ(d.GetTpOfSat(3, a), d.Transponders.Get(4));
    EXPECT_EQ(d.GetTpOfSat(2, b), d.Transponders.Get(2));
    EXPECT_EQ(d.GetTpOfSat(0, a), d.Transponders.Default());
    EXPECT_EQ(d.GetTpOfSat(-5, a), d.Transponders.Default());
    EXPECT_EQ(d.GetTpOfSat(4, a), d.Transponders.Default());
    EXPECT_EQ(d.GetTpOfSat(1, d.Satelites.Default()), d.Transponders.Default());
    EXPECT_EQ(d.GetTpOfSat(1, nullptr), d.Transponders.Default());

    EXPECT_EQ(d.TpNumber(d.Transponders.Get(4)), 3);
    EXPECT_EQ(d.TpNumber(d.Transponders.Get(2)), 2);
    EXPECT_EQ(d.TpNumber(d.Transponders.Get(0)), 1);
    EXPECT_EQ(d.TpNumber(d.Transponders.Default()), 0);
    EXPECT_EQ(d.TpNumber(nullptr), 0);
    for (int i = 0; i < d.Transponders.Count(); ++i) {
        TTransponderRec* t = d.Transponders.Get(i);
        EXPECT_EQ(d.GetTpOfSat(d.TpNumber(t), t->Satelite.Get()), t) << i;
    }
}

TEST(TVexaData, AssignMakesAnIndependentDeepCopy)
{
    TVexaData src;
    samples::Build(src, 5, 20, 4, 30, 1234);
    TVexaData copy;
    samples::Build(copy, 1, 1, 1, 1, 9); // whatever it held goes
    copy.Assign(src);
    ASSERT_TRUE(copy.Equals(src));
    EXPECT_EQ(copy.ListNumber, 1234);
    EXPECT_TRUE(copy.Valid);
    for (int i = 0; i < copy.Channels.Count(); ++i) {
        const TChannelRec* c = copy.Channels.Get(i);
        const TChannelRec* s = src.Channels.Get(i);
        EXPECT_EQ(copy.Satelites.IndexOf(c->Satelite), src.Satelites.IndexOf(s->Satelite));
        EXPECT_EQ(copy.Transponders.IndexOf(c->Transponder), src.Transponders.IndexOf(s->Transponder));
        EXPECT_EQ(copy.Antenas.IndexOf(c->Antena), src.Antenas.IndexOf(s->Antena));
        EXPECT_GE(copy.Satelites.IndexOf(c->Satelite), 0);
    }
    // Independent: a change to the source does not reach the copy.
    src.Satelites.Get(0)->Name = "Changed";
    EXPECT_FALSE(copy.Equals(src));
    src.Clear();
    EXPECT_EQ(copy.Channels.Count(), 30);
    EXPECT_GE(copy.Transponders.IndexOf(copy.Channels.Get(0)->Transponder), 0);

    // Assigning a set to itself keeps it.
    copy.Assign(copy);
    EXPECT_EQ(copy.Channels.Count(), 30);
}

TEST(TVexaData, AssignLinksUnknownReferencesToTheCopysDefaults)
{
    TVexaData other;
    samples::Build(other, 1, 1, 1, 1);
    TVexaData src;
    samples::Build(src, 2, 2, 2, 2);
    src.Transponders.Get(0)->Satelite = other.Satelites.Get(0);   // alive, but not in src
    src.Antenas.Get(1)->Satelite = src.Satelites.Default();
    src.Channels.Get(0)->Transponder = other.Transponders.Get(0);
    src.Channels.Get(1)->Antena = TRef<TAntenaRec>();               // never set

    TVexaData copy;
    copy.Assign(src);
    EXPECT_EQ(copy.Transponders.Get(0)->Satelite.Get(), copy.Satelites.Default());
    EXPECT_EQ(copy.Antenas.Get(1)->Satelite.Get(), copy.Satelites.Default());
    EXPECT_EQ(copy.Channels.Get(0)->Transponder.Get(), copy.Transponders.Default());
    EXPECT_EQ(copy.Channels.Get(1)->Antena.Get(), copy.Antenas.Default());
    EXPECT_NE(copy.Satelites.Default(), src.Satelites.Default());
    EXPECT_EQ(copy.Satelites.Default()->Name, LangText(1414).substr(0, 17));
}

TEST(TVexaData, EqualsComparesReferencesByContent)
{
    TVexaData a, b;
    EXPECT_TRUE(a.Equals(b));
    b.ListNumber = 1;
    EXPECT_FALSE(a.Equals(b));
    b.ListNumber = 0;
    b.Valid = true;
    EXPECT_FALSE(a.Equals(b));

    samples::Build(a, 2, 2, 1, 1);
    samples::Build(b, 2, 2, 1, 1);
    samples::FillSatelite(*a.Satelites.Get(1), 0); // both satellites alike in a and in b
    samples::FillSatelite(*b.Satelites.Get(1), 0);
    a.Channels.Get(0)->Satelite = a.Satelites.Get(0);
    b.Channels.Get(0)->Satelite = b.Satelites.Get(1);
    EXPECT_TRUE(a.Equals(b));
    b.Satelites.Get(1)->Name = "Other";
    EXPECT_FALSE(a.Equals(b));
}

// One field changed at a time must make the records differ.
TEST(TVexaData, SameRecordSeesEveryField)
{
    TVexaData d;
    samples::Build(d, 3, 3, 3, 3);
    const std::vector<std::function<void(TSateliteRec&)>> satEdits = {
        [](TSateliteRec& s) { ++s.LnbLow; },      [](TSateliteRec& s) { ++s.LnbHigh; },
        [](TSateliteRec& s) { ++s.Angle; },       [](TSateliteRec& s) { s.EastWest = 'x'; },
        [](TSateliteRec& s) { s.Name = "Zz"; },   [](TSateliteRec& s) { s.Diseqc12 = 7; },
        [](TSateliteRec& s) { --s.AntennaOffset; }, [](TSateliteRec& s) { s.LnbType = 9; },
    };
    for (std::size_t i = 0; i < satEdits.size(); ++i) {
        TSateliteRec x = *d.Satelites.Get(0);
        EXPECT_TRUE(d.SameRecord(x, *d.Satelites.Get(0)));
        satEdits[i](x);
        EXPECT_FALSE(d.SameRecord(x, *d.Satelites.Get(0))) << "satellite edit " << i;
    }
    const std::vector<std::function<void(TTransponderRec&)>> tpEdits = {
        [&](TTransponderRec& t) { t.Satelite = d.Satelites.Get(2); }, [](TTransponderRec& t) { ++t.Frequency; },
        [](TTransponderRec& t) { ++t.Symbol; },         [](TTransponderRec& t) { t.Polar = 'x'; },
        [](TTransponderRec& t) { t.Volt1418 = "x"; },   [](TTransponderRec& t) { t.Tone22K = "x"; },
        [](TTransponderRec& t) { t.Volt012 = "x"; },    [](TTransponderRec& t) { t.Fec = "x"; },
    };
    for (std::size_t i = 0; i < tpEdits.size(); ++i) {
        TTransponderRec x = *d.Transponders.Get(0);
        EXPECT_TRUE(d.SameRecord(x, *d.Transponders.Get(0)));
        tpEdits[i](x);
        EXPECT_FALSE(d.SameRecord(x, *d.Transponders.Get(0))) << "transponder edit " << i;
    }
    const std::vector<std::function<void(TAntenaRec&)>> antEdits = {
        [&](TAntenaRec& a) { a.Satelite = d.Satelites.Get(2); }, [](TAntenaRec& a) { ++a.LnbLow; },
        [](TAntenaRec& a) { ++a.LnbHigh; },        [](TAntenaRec& a) { a.Universal = 5; },
        [](TAntenaRec& a) { a.Diseqc = 'x'; },     [](TAntenaRec& a) { a.Volt012 = "x"; },
        [](TAntenaRec& a) { a.Tone22K = "x"; },    [](TAntenaRec& a) { a.AntennaType = 'x'; },
        [](TAntenaRec& a) { a.Volt1418 = "x"; },
    };
    for (std::size_t i = 0; i < antEdits.size(); ++i) {
        TAntenaRec x = *d.Antenas.Get(0);
        EXPECT_TRUE(d.SameRecord(x, *d.Antenas.Get(0)));
        antEdits[i](x);
        EXPECT_FALSE(d.SameRecord(x, *d.Antenas.Get(0))) << "antenna edit " << i;
    }
    const std::vector<std::function<void(TChannelRec&)>> chEdits = {
        [&](TChannelRec& c) { c.Satelite = d.Satelites.Get(2); },
        [&](TChannelRec& c) { c.Antena = d.Antenas.Get(2); },
        [&](TChannelRec& c) { c.Transponder = d.Transponders.Get(2); },
        [](TChannelRec& c) { c.Name = "x"; },       [](TChannelRec& c) { ++c.ServiceId; },
        [](TChannelRec& c) { ++c.VideoPid; },       [](TChannelRec& c) { ++c.AudioPid; },
        [](TChannelRec& c) { ++c.PcrPid; },         [](TChannelRec& c) { ++c.TxtPid; },
        [](TChannelRec& c) { c.Scramble = 3; },     [](TChannelRec& c) { c.Favorite = 3; },
        [](TChannelRec& c) { c.Lock = 3; },         [](TChannelRec& c) { c.Radio = 3; },
        [](TChannelRec& c) { c.Favorites[7] = 3; },
    };
    for (std::size_t i = 0; i < chEdits.size(); ++i) {
        TChannelRec x = *d.Channels.Get(0);
        EXPECT_TRUE(d.SameRecord(x, *d.Channels.Get(0)));
        chEdits[i](x);
        EXPECT_FALSE(d.SameRecord(x, *d.Channels.Get(0))) << "channel edit " << i;
    }
}

} // namespace
