// The merge of an import without its window: matching, applying, limits and Cancel.
#include "database/TVexaData.h"
#include "import/UpdateRows.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/ScriptedWaitBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

namespace {

// One channel as a test writes it. Pos is tenths of a degree, negative west.
struct Ch {
    const char* Name;
    int Pos;
    std::uint16_t Freq;
    char Polar;
    std::uint16_t Symbol, Sid, Video, Audio, Pcr = 0, Txt = 0;
};

TChannelRec* Put(TVexaData& data, const Ch& c)
{
    const auto angle = static_cast<std::uint16_t>(c.Pos < 0 ? -c.Pos : c.Pos);
    TSateliteRec* sat = data.FindSatelite(angle, c.Pos < 0 ? 'w' : 'e', "Sat " + std::to_string(c.Pos), true);
    TChannelRec* ch = data.Channels.New();
    ch->Satelite = sat;
    ch->Antena = data.FindAntena(sat, true);
    ch->Transponder = data.FindTransponder(sat, c.Freq, c.Polar, c.Symbol, true);
    ch->Name = c.Name;
    std::tie(ch->ServiceId, ch->VideoPid, ch->AudioPid, ch->PcrPid, ch->TxtPid) =
        std::tie(c.Sid, c.Video, c.Audio, c.Pcr, c.Txt);
    data.Valid = true;
    return ch;
}

const Ch kSur{"Canal Sur", 192, 11778, 'v', 27500, 100, 161, 84, 161, 0};

template <class T>
Ch With(Ch c, T Ch::*field, std::type_identity_t<T> value)
{
    c.*field = value;
    return c;
}

TEST(UpdateRowsTest, BuildsOneRowPerDifferingOrMissingChannel)
{
    constexpr int U = UpdateRows::ActionUpdate, A = UpdateRows::ActionAdd;
    const Ch other = With(kSur, &Ch::Name, "Otro");
    const Ch west = With(kSur, &Ch::Pos, -192);
    // "CÁNAL  sur": blanks, case and accents do not count.
    const Ch accented = With(With(kSur, &Ch::Name, "C\xC1NAL  sur"), &Ch::Sid, 7);
    const auto sid = [](std::uint16_t v) { return With(kSur, &Ch::Sid, v); };
    // Rows: incoming index, action, current index.
    const struct { const char* What; std::vector<Ch> Current, Incoming; bool Updates, Additions;
                   std::vector<std::tuple<int, int, int>> Rows; } cases[] = {
        {"identical in the six values, PCR and teletext aside", {kSur}, {With(With(kSur, &Ch::Pcr, 9), &Ch::Txt, 9)}, true, true, {}},
        {"frequency", {kSur}, {With(kSur, &Ch::Freq, 11800)}, true, false, {{0, U, 0}}},
        {"symbol rate", {kSur}, {With(kSur, &Ch::Symbol, 22000)}, true, false, {{0, U, 0}}},
        {"polarisation", {kSur}, {With(kSur, &Ch::Polar, 'h')}, true, false, {{0, U, 0}}},
        {"video PID", {kSur}, {With(kSur, &Ch::Video, 162)}, true, false, {{0, U, 0}}},
        {"audio PID", {kSur}, {With(kSur, &Ch::Audio, 85)}, true, false, {{0, U, 0}}},
        {"service id, the name written otherwise", {kSur}, {accented}, true, true, {{0, U, 0}}},
        {"no PIDs in the source: nothing to update", {kSur}, {With(With(kSur, &Ch::Video, 0), &Ch::Audio, 0)}, true, true, {}},
        {"no PIDs but another frequency", {kSur}, {With(With(kSur, &Ch::Video, 0), &Ch::Freq, 12000)}, true, false, {{0, U, 0}}},
        {"differing but updates not allowed", {kSur}, {sid(7)}, false, true, {}},
        {"two incoming, one candidate: the first only", {kSur}, {sid(7), sid(8)}, true, true, {{0, U, 0}}},
        {"first identical, second different: the second", {kSur, sid(5)}, {kSur}, true, false, {{0, U, 1}}},
        {"updates and additions (same name, other side of the sky) in incoming order", {other, kSur}, {kSur, west, With(other, &Ch::Audio, 99)}, true, true, {{1, A, -1}, {2, U, 0}}},
        {"same name at the same angle east and west: each side its own", {kSur, With(west, &Ch::Sid, 5)}, {kSur, west}, true, true, {{1, U, 1}}},
        {"one name spelled three ways, the first identical: the first that differs", {With(kSur, &Ch::Name, "CANALSUR"), With(accented, &Ch::Sid, 5), sid(6)}, {kSur}, true, true, {{0, U, 1}}},
        {"a name repeated in the incoming list", {kSur, sid(5)}, {sid(7), With(kSur, &Ch::Name, "canal sur"), With(accented, &Ch::Sid, 9)}, true, true, {{0, U, 0}, {1, U, 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        ScriptedWaitBoxes boxes;
        TVexaData current, incoming;
        for (const Ch& ch : c.Current)
            Put(current, ch);
        for (const Ch& ch : c.Incoming)
            Put(incoming, ch);
        UpdateRows rows(current, incoming);
        rows.UpdateTuned = c.Updates;
        rows.CreateMissing = c.Additions;
        ASSERT_TRUE(rows.Build());
        std::vector<std::tuple<int, int, int>> got;
        for (int i = 0; i < rows.Count(); ++i) {
            const UpdateRows::Row& r = rows.At(i);
            EXPECT_TRUE(r.Marked);
            got.emplace_back(incoming.Channels.IndexOf(r.Incoming), r.Action, current.Channels.IndexOf(r.Matched));
            if (r.Action == U) { // the choices of the row hold its own incoming channel
                const auto alike = rows.AlikeIncoming(*r.Matched);
                EXPECT_NE(std::find(alike.begin(), alike.end(), r.Incoming), alike.end());
            }
        }
        EXPECT_EQ(got, c.Rows);
        boxes.SetCancelAfterPolls(0); // Cancel in the wait box: no rows
        EXPECT_EQ(rows.Build(), c.Incoming.empty());
        EXPECT_EQ(rows.Count(), 0);
    }
}

TEST(UpdateRowsTest, UpdatesKeepTheUsersOwnAndTakeWhatTheSourceCarries)
{
    ScriptedMessageBoxes boxes;
    ScriptedWaitBoxes waits;
    TVexaData current, incoming;
    TChannelRec* mine = Put(current, {"canal sur", 192, 11778, 'v', 27500, 100, 161, 84, 161, 33});
    mine->Favorites[2] = mine->Favorite = mine->Lock = mine->Radio = 1;
    // A MAX-like channel carries no PIDs: none of the user's is wiped.
    Put(incoming, {"CANAL SUR", 192, 12000, 'h', 22000, 200, 0, 0, 0, 0})->Scramble = 1;
    Put(incoming, {"Nueva", -300, 11000, 'v', 27500, 5, 6, 7, 8, 9})->Radio = 1;
    UpdateRows rows(current, incoming);
    rows.CreateMissing = true;
    ASSERT_TRUE(rows.Build() && rows.Count() == 2);
    EXPECT_TRUE(rows.Apply());
    EXPECT_TRUE(rows.Count() == 0 && boxes.Boxes().empty());
    ASSERT_EQ(current.Channels.Count(), 2);
    const TChannelRec& sur = *current.Channels.Get(0);
    const TTransponderRec& tp = current.Transponders.Resolve(sur.Transponder);
    EXPECT_EQ(std::tuple(sur.Name.str(), sur.Favorites[2], sur.Favorite, sur.Lock, sur.Radio, tp.Frequency, tp.Polar,
                         tp.Symbol), std::tuple(std::string("canal sur"), 1, 1, 1, 1, 12000, 'h', 22000));
    EXPECT_EQ(std::tuple(sur.ServiceId, sur.VideoPid, sur.AudioPid, sur.PcrPid, sur.TxtPid, sur.Scramble),
              std::tuple(200, 161, 84, 161, 33, 1));
    // The addition found or added its satellite (30.0 west), antenna and transponder.
    const TChannelRec& nueva = *current.Channels.Get(1);
    const TSateliteRec& sat = current.Satelites.Resolve(nueva.Satelite);
    EXPECT_EQ(std::tuple(nueva.Name.str(), nueva.Radio, nueva.ServiceId, nueva.TxtPid, sat.Angle, sat.EastWest,
                         sat.Name.str()), std::tuple(std::string("Nueva"), 1, 5, 9, 300, 'w', std::string("Sat -300")));
    EXPECT_FALSE(current.Check());
}

TEST(UpdateRowsTest, ALimitOrCancelStopsTheWholeRun)
{
    // Lists at their capacity ('c'hannels less one, 's'atellites, 'a'ntennas,
    // 't'ransponders), every record used by a channel, so none can be reused.
    const auto fill = [](TVexaData& d, char list) {
        if (list == 'a') { // 19.2E without an antenna; the 127th antenna serves the default satellite
            Put(d, {"Aqui", 192, 10000, 'v', 27500, 1, 1, 1});
            d.Antenas.Clear();
        }
        const int n = list == 'c' ? TVexaData::MaxChannels - 1 : list == 't' ? TVexaData::MaxTransponders : 127;
        for (int i = 0; i < n; ++i)
            Put(d, {"X", list == 's' || list == 'a' ? 1000 + i : 192,
                    static_cast<std::uint16_t>(list == 't' ? 10000 + i : 11778), 'v', 27500, 1, 1, 1});
    };
    const struct { std::string Full; int CancelAfterPolls; std::string Message; /* empty: none */ } cases[] = {
        // 2499 channels: the first addition fits, the second would be the 2501st.
        {"c", -1, "El Numero de canales ya excede de 2500 No puedo crear M\xE1s"},
        {"s", -1, "Error, no puedo crear un nuevo sat\xE9lite"},
        {"t", -1, "Error, no puedo crear un nuevo transponder"},
        {"at", -1, "Error, no puedo crear una nueva antena"}, // tested first
        {"", 1, ""}, // Cancel at the second row
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Message);
        ScriptedMessageBoxes boxes;
        ScriptedWaitBoxes waits;
        TVexaData current, incoming, before;
        for (char list : c.Full)
            fill(current, list);
        Put(incoming, {"Nueva", 192, 12345, 'h', 27500, 1, 1, 1});
        Put(incoming, {"Otra", 192, 12345, 'h', 27500, 2, 2, 2});
        UpdateRows rows(current, incoming);
        rows.CreateMissing = true;
        ASSERT_TRUE(rows.Build() && rows.Count() == 2);
        before.Assign(current);
        waits.SetCancelAfterPolls(c.CancelAfterPolls);
        EXPECT_FALSE(rows.Apply());
        EXPECT_TRUE(current.Equals(before));
        EXPECT_EQ(rows.Count(), 2); // kept for another try
        ASSERT_EQ(boxes.Boxes().size(), c.Message.empty() ? 0u : 1u);
        EXPECT_TRUE(c.Message.empty() || boxes.Boxes()[0].text == c.Message) << boxes.Boxes()[0].text;
    }
}

} // namespace
