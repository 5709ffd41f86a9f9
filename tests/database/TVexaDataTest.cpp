#include "database/TVexaData.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/TLang.h"
#include "tests/database/VexaSamples.h"

namespace {

using samples::Dump;
using samples::Line;

TEST(TVexaData, DefaultRecordsStandForEveryIndexOutOfRangeAndSurviveClear)
{
    TVexaData d;
    samples::Build(d, 2, 3, 2, 2, 77);
    TSateliteRec* defSat = d.Satelites.Default();
    for (int index : {-1, 2, 1000}) {
        EXPECT_EQ(d.Satelites.Get(index), defSat) << index;
        EXPECT_EQ(d.Antenas.Get(index), d.Antenas.Default()) << index;
        EXPECT_EQ(d.Channels.Get(index), nullptr) << index;
    }
    EXPECT_EQ(d.Transponders.Get(-1), d.Transponders.Default());
    EXPECT_EQ(d.Transponders.Get(3), d.Transponders.Default());
    EXPECT_EQ(d.Satelites.IndexOf(defSat) + d.Transponders.IndexOf(d.Transponders.Default())
                  + d.Antenas.IndexOf(d.Antenas.Default()), -3);
    EXPECT_EQ(Line(d, *defSat), "S '" + LangText(1414).substr(0, 17) + "' 0/0 0w lnb0 dsq0 off0");
    EXPECT_EQ(Line(d, *d.Transponders.Default()), "T s- 0 0 v 0/14/0 auto");
    EXPECT_EQ(Line(d, *d.Antenas.Default()), "A s- 0/0 u0 f n n/n/n");
    EXPECT_EQ(d.Transponders.Default()->Satelite.Get(), defSat);
    EXPECT_EQ(d.Antenas.Default()->Satelite.Get(), defSat);

    d.Clear();
    EXPECT_EQ(d.Satelites.Count() + d.Transponders.Count() + d.Antenas.Count() + d.Channels.Count(), 0);
    EXPECT_EQ(d.ListNumber, 0);
    EXPECT_FALSE(d.Valid);
    EXPECT_EQ(d.Satelites.Default(), defSat);
    EXPECT_EQ(d.Transponders.Default()->Satelite.Get(), defSat);
    EXPECT_TRUE(d.Equals(TVexaData()));
}

TEST(TVexaData, NewRecordsStartZeroedOnTheDefaultRecords)
{
    TVexaData d;
    samples::Build(d, 1, 1, 1, 1); // the records about to be made must not inherit anything
    const TChannelRec* c = d.Channels.New();
    EXPECT_EQ(Line(d, *d.Satelites.New()), "S '' 0/0 00 lnb0 dsq0 off0");
    EXPECT_EQ(Line(d, *d.Transponders.New()), "T s- 0 0 0 // ");
    EXPECT_EQ(Line(d, *d.Antenas.New()), "A s- 0/0 u0 0 0 //");
    EXPECT_EQ(Line(d, *c), "C '' s- t- a- sid0 pids0/0/0/0 sc0 fv0 lk0 rd0 lists00000000");
    EXPECT_EQ(d.Transponders.Get(1)->Satelite.Get(), d.Satelites.Default());
    EXPECT_EQ(d.Antenas.Get(1)->Satelite.Get(), d.Satelites.Default());
    EXPECT_EQ(c->Satelite.Get(), d.Satelites.Default());
    EXPECT_EQ(c->Transponder.Get(), d.Transponders.Default());
    EXPECT_EQ(c->Antena.Get(), d.Antenas.Default());
    EXPECT_EQ(d.Channels.IndexOf(c), 1);
}

TEST(TVexaData, DeletedRecordCountsAsMissingAndIsNeverFollowed)
{
    TVexaData d;
    samples::Build(d, 3, 4, 2, 6);
    TChannelRec* c = d.Channels.Get(0);
    TTransponderRec* t = d.Transponders.Get(0);
    const int at = d.Satelites.IndexOf(c->Satelite);
    ASSERT_GE(at, 0);
    t->Satelite = d.Satelites.Get(at);
    d.Satelites.Delete(at);
    d.Transponders.Delete(d.Transponders.IndexOf(d.Channels.Get(1)->Transponder));
    d.Antenas.Delete(d.Antenas.IndexOf(d.Channels.Get(1)->Antena));

    EXPECT_EQ(c->Satelite.Get(), nullptr);
    EXPECT_EQ(d.Satelites.IndexOf(c->Satelite), -1);
    EXPECT_EQ(&d.Satelites.Resolve(c->Satelite), d.Satelites.Default());
    EXPECT_EQ(&d.Transponders.Resolve(d.Channels.Get(1)->Transponder), d.Transponders.Default());
    EXPECT_EQ(&d.Antenas.Resolve(d.Channels.Get(1)->Antena), d.Antenas.Default());
    // Records whose satellite is gone belong to the default satellite.
    EXPECT_EQ(d.GetTpOfSat(1, d.Satelites.Default()), t);
    EXPECT_EQ(d.FindTransponder(nullptr, t->Frequency, t->Polar, t->Symbol, false), t);
    EXPECT_EQ(d.FindAntena(nullptr, false), d.Antenas.Get(0));

    // Copying and comparing treat such references as on the defaults.
    TVexaData copy;
    copy.Assign(d);
    EXPECT_TRUE(copy.Equals(d) && d.Equals(copy));
    EXPECT_EQ(copy.Channels.Get(0)->Satelite.Get(), copy.Satelites.Default());
    EXPECT_EQ(copy.Channels.Get(1)->Transponder.Get(), copy.Transponders.Default());
    EXPECT_EQ(copy.Channels.Get(1)->Antena.Get(), copy.Antenas.Default());
    copy.Channels.Get(0)->Satelite = copy.Satelites.Default();
    EXPECT_TRUE(copy.Equals(d));
}

TEST(TVexaData, MoveAndDeleteKeepOrderAndRefuseBadIndexes)
{
    TVexaData d;
    samples::Build(d, 4, 0, 0, 0);
    TSateliteRec* s0 = d.Satelites.Get(0);
    TSateliteRec* s3 = d.Satelites.Get(3);
    d.Satelites.Move(0, 3); // the target counts after the removal
    EXPECT_EQ(d.Satelites.Get(3), s0);
    EXPECT_EQ(d.Satelites.Get(2), s3);
    d.Satelites.Move(3, 0);
    EXPECT_EQ(d.Satelites.Get(0), s0);
    d.Satelites.Delete(1);
    EXPECT_EQ(d.Satelites.Get(2), s3);
    EXPECT_THROW(d.Satelites.Delete(3), std::out_of_range);
    EXPECT_THROW(d.Satelites.Delete(-1), std::out_of_range);
    EXPECT_THROW(d.Satelites.Move(0, 3), std::out_of_range);
    EXPECT_THROW(d.Channels.Move(0, 0), std::out_of_range);
    EXPECT_EQ(d.Satelites.Count(), 3);
}

TEST(TVexaData, TransponderNumbersCountWithinTheirSatellite)
{
    TVexaData d;
    samples::Build(d, 2, 0, 0, 0);
    TSateliteRec* a = d.Satelites.Get(0);
    TSateliteRec* b = d.Satelites.Get(1);
    TSateliteRec* const owners[] = {b, a, b, a, a};
    const int numbers[] = {1, 1, 2, 2, 3};
    for (TSateliteRec* owner : owners)
        d.Transponders.New()->Satelite = owner;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(d.TpNumber(d.Transponders.Get(i)), numbers[i]) << i;
        EXPECT_EQ(d.GetTpOfSat(numbers[i], owners[i]), d.Transponders.Get(i)) << i;
    }
    for (int n : {0, -5, 4})
        EXPECT_EQ(d.GetTpOfSat(n, a), d.Transponders.Default()) << n;
    EXPECT_EQ(d.GetTpOfSat(1, d.Satelites.Default()), d.Transponders.Default());
    EXPECT_EQ(d.TpNumber(d.Transponders.Default()), 0);
}

TEST(TVexaData, AssignMakesADeepCopyLinkedIntoItself)
{
    TVexaData src;
    samples::Build(src, 5, 20, 4, 30, 1234);
    TVexaData copy;
    samples::Build(copy, 1, 1, 1, 1, 9); // whatever it held goes
    copy.Assign(src);
    EXPECT_TRUE(copy.Equals(src) && copy.Valid && copy.ListNumber == 1234);

    // References src cannot find in its lists become the copy's defaults.
    TVexaData other;
    samples::Build(other, 1, 1, 1, 1);
    src.Transponders.Get(0)->Satelite = other.Satelites.Get(0); // alive, but not in src
    src.Antenas.Get(1)->Satelite = src.Satelites.Default();
    src.Channels.Get(0)->Transponder = other.Transponders.Get(0);
    src.Channels.Get(1)->Antena = TRef<TAntenaRec>(); // never set
    copy.Assign(src);
    // Equals compares by content; the dump's positions prove the links point into the copy.
    EXPECT_EQ(Dump(copy), Dump(src));
    EXPECT_EQ(copy.Transponders.Get(0)->Satelite.Get(), copy.Satelites.Default());
    EXPECT_EQ(copy.Antenas.Get(1)->Satelite.Get(), copy.Satelites.Default());
    EXPECT_EQ(copy.Channels.Get(0)->Transponder.Get(), copy.Transponders.Default());
    EXPECT_EQ(copy.Channels.Get(1)->Antena.Get(), copy.Antenas.Default());
    src.Clear();
    copy.Assign(copy);
    EXPECT_EQ(copy.Channels.Count(), 30);
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

    samples::Build(a, 2, 2, 2, 1);
    samples::Build(b, 2, 2, 2, 1);
    samples::FillSatelite(*a.Satelites.Get(1), 0); // both satellites alike in a and in b
    samples::FillSatelite(*b.Satelites.Get(1), 0);
    a.Channels.Get(0)->Satelite = a.Satelites.Get(0);
    b.Channels.Get(0)->Satelite = b.Satelites.Get(1);
    EXPECT_TRUE(a.Equals(b));
    b.Satelites.Get(1)->Name = "Other";
    EXPECT_FALSE(a.Equals(b));

    // A difference in any one list is seen, from either side.
    const std::vector<std::function<void(TVexaData&)>> edits = {
        [](TVexaData& x) { x.Satelites.New(); },
        [](TVexaData& x) { ++x.Transponders.Get(1)->Frequency; }, // likewise
        [](TVexaData& x) { ++x.Antenas.Get(1)->LnbLow; }, // one that no channel uses
        [](TVexaData& x) { ++x.Channels.Get(0)->ServiceId; },
        [](TVexaData& x) { x.Channels.New(); },
    };
    for (std::size_t i = 0; i < edits.size(); ++i) {
        TVexaData c;
        c.Assign(a);
        edits[i](c);
        EXPECT_FALSE(a.Equals(c) || c.Equals(a)) << "edit " << i;
    }
}

// One field changed at a time must make the records differ.
TEST(TVexaData, SameRecordSeesEveryField)
{
    TVexaData d;
    samples::Build(d, 3, 3, 3, 3);
    auto check = [](const auto& original, const auto& edits, auto same) {
        for (std::size_t i = 0; i < edits.size(); ++i) {
            auto x = original;
            EXPECT_TRUE(same(x, original));
            edits[i](x);
            EXPECT_FALSE(same(x, original)) << "edit " << i;
        }
    };
    auto same = [&d](const auto& x, const auto& y) { return d.SameRecord(x, y); };
    check(*d.Satelites.Get(0),
          std::vector<std::function<void(TSateliteRec&)>>{
              [](auto& s) { ++s.LnbLow; }, [](auto& s) { ++s.LnbHigh; }, [](auto& s) { ++s.Angle; },
              [](auto& s) { s.EastWest = 'x'; }, [](auto& s) { s.Name = "Zz"; }, [](auto& s) { s.Diseqc12 = 7; },
              [](auto& s) { --s.AntennaOffset; }, [](auto& s) { s.LnbType = 9; }},
          same);
    check(*d.Transponders.Get(0),
          std::vector<std::function<void(TTransponderRec&)>>{
              [&](auto& t) { t.Satelite = d.Satelites.Get(2); }, [](auto& t) { ++t.Frequency; },
              [](auto& t) { ++t.Symbol; }, [](auto& t) { t.Polar = 'x'; }, [](auto& t) { t.Volt1418 = "x"; },
              [](auto& t) { t.Tone22K = "x"; }, [](auto& t) { t.Volt012 = "x"; }, [](auto& t) { t.Fec = "x"; }},
          same);
    check(*d.Antenas.Get(0),
          std::vector<std::function<void(TAntenaRec&)>>{
              [&](auto& a) { a.Satelite = d.Satelites.Get(2); }, [](auto& a) { ++a.LnbLow; },
              [](auto& a) { ++a.LnbHigh; }, [](auto& a) { a.Universal = 5; }, [](auto& a) { a.Diseqc = 'x'; },
              [](auto& a) { a.Volt012 = "x"; }, [](auto& a) { a.Tone22K = "x"; },
              [](auto& a) { a.AntennaType = 'x'; }, [](auto& a) { a.Volt1418 = "x"; }},
          same);
    check(*d.Channels.Get(0),
          std::vector<std::function<void(TChannelRec&)>>{
              [&](auto& c) { c.Satelite = d.Satelites.Get(2); }, [&](auto& c) { c.Antena = d.Antenas.Get(2); },
              [&](auto& c) { c.Transponder = d.Transponders.Get(2); }, [](auto& c) { c.Name = "x"; },
              [](auto& c) { ++c.ServiceId; }, [](auto& c) { ++c.VideoPid; }, [](auto& c) { ++c.AudioPid; },
              [](auto& c) { ++c.PcrPid; }, [](auto& c) { ++c.TxtPid; }, [](auto& c) { c.Scramble = 3; },
              [](auto& c) { c.Favorite = 3; }, [](auto& c) { c.Lock = 3; }, [](auto& c) { c.Radio = 3; },
              [](auto& c) { c.Favorites[7] = 3; }},
          same);
}

} // namespace
