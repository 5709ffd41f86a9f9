// The merge of an import: the rows of a downloaded listing against a full
// channel list (1200 incoming against 2000 current channels on three
// satellites, and 2500 against 2500 on one), with no names, half the names
// and all names in common; then applying 2500 updates. Names in common are
// spelled differently on the two sides (case, blanks, accents), and a quarter
// of them are identical in the compared values, so they give no row.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "database/TVexaData.h"
#include "import/UpdateRows.h"

namespace {

void Put(TVexaData& data, int satelite, const std::string& name, int tp, std::uint16_t sid)
{
    const auto angle = static_cast<std::uint16_t>(100 + 50 * satelite);
    TSateliteRec* sat = data.FindSatelite(angle, 'e', "Sat " + std::to_string(satelite), true);
    TChannelRec* ch = data.Channels.New();
    ch->Satelite = sat;
    ch->Antena = data.FindAntena(sat, true);
    ch->Transponder = data.FindTransponder(sat, static_cast<std::uint16_t>(10700 + 2 * (tp / 2)),
                                           tp % 2 ? 'h' : 'v', 27500, true);
    ch->Name = name;
    ch->ServiceId = sid;
    ch->VideoPid = static_cast<std::uint16_t>(100 + tp);
    ch->AudioPid = static_cast<std::uint16_t>(200 + tp);
    data.Valid = true;
}

std::string Numbered(const char* format, int n)
{
    char name[32];
    std::snprintf(name, sizeof name, format, n);
    return name;
}

// Current channel j is on satellite j % satelites. Incoming channel i is,
// while i * 100 < incomingCount * commonPercent, current channel (7 i) mod
// currentCount under another spelling; otherwise a channel the user lacks.
void Sets(TVexaData& current, TVexaData& incoming, int incomingCount, int currentCount, int satelites,
          int commonPercent)
{
    for (int j = 0; j < currentCount; ++j)
        Put(current, j % satelites, Numbered("Canal S\xFAr %04d", j), (j / satelites) % 200,
            static_cast<std::uint16_t>(j));
    static const char* const spellings[] = {"CANAL SUR%04d", "canal  sur %04d", "C\xC1NAL S\xDAR %04d"};
    for (int i = 0; i < incomingCount; ++i) {
        if (i * 100 < incomingCount * commonPercent) {
            const int j = (7 * i) % currentCount;
            const auto sid = static_cast<std::uint16_t>(i % 4 == 0 ? j : 30000 + j);
            Put(incoming, j % satelites, Numbered(spellings[i % 3], j), (j / satelites) % 200, sid);
        } else {
            Put(incoming, i % satelites, Numbered("Nuevo %05d", i), i % 200, static_cast<std::uint16_t>(i));
        }
    }
}

void BM_BuildRows(benchmark::State& state)
{
    TVexaData current, incoming;
    Sets(current, incoming, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
         static_cast<int>(state.range(2)), static_cast<int>(state.range(3)));
    UpdateRows rows(current, incoming);
    rows.CreateMissing = true;
    for (auto _ : state) {
        if (!rows.Build())
            state.SkipWithError("the build was cancelled");
        benchmark::DoNotOptimize(rows.Count());
    }
    state.counters["rows"] = rows.Count();
}
BENCHMARK(BM_BuildRows)
    ->ArgNames({"incoming", "current", "satelites", "common%"})
    ->Args({1200, 2000, 3, 0})
    ->Args({1200, 2000, 3, 50})
    ->Args({1200, 2000, 3, 100})
    ->Args({2500, 2500, 1, 0})
    ->Args({2500, 2500, 1, 50})
    ->Args({2500, 2500, 1, 100})
    ->Unit(benchmark::kMillisecond);

void BM_Apply2500Updates(benchmark::State& state)
{
    TVexaData original, current, incoming;
    Sets(original, incoming, TVexaData::MaxChannels, TVexaData::MaxChannels, 1, 100);
    // Every incoming channel differs, an eighth of them also in the transponder.
    for (int i = 0; i < incoming.Channels.Count(); ++i) {
        TChannelRec& ch = *incoming.Channels.Get(i);
        ch.ServiceId = static_cast<std::uint16_t>(40000 + i);
        if (i % 8 == 0)
            ch.Transponder = incoming.FindTransponder(ch.Satelite.Get(), 12000, 'h', 22000, true);
    }
    UpdateRows rows(current, incoming);
    for (auto _ : state) {
        state.PauseTiming();
        current.Assign(original);
        if (!rows.Build() || rows.Count() != TVexaData::MaxChannels)
            state.SkipWithError("not one update per channel");
        state.ResumeTiming();
        if (!rows.Apply())
            state.SkipWithError("the apply failed");
    }
}
BENCHMARK(BM_Apply2500Updates)->Unit(benchmark::kMillisecond);

} // namespace
