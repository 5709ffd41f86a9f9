// The SDX import: a 5000-line listing of a few satellites (the usual case)
// and one that brings the satellite and transponder lists close to their
// capacities, where every find-or-add scans nearly full lists. Last, the
// find-or-add on full lists whose records are all in use: the walk over the
// channels that looks for a record to reuse, and finds none.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "database/TVexaData.h"
#include "tests/database/VexaSamples.h"

namespace {

// Line i is on transponder i % transponders, which is on satellite
// (i % transponders) % satelites.
std::vector<std::string> Listing(int lines, int satelites, int transponders)
{
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(lines));
    for (int i = 0; i < lines; ++i) {
        const int tp = i % transponders;
        const int sat = tp % satelites;
        const int position = (sat * 28) % 3600;
        char line[160];
        std::snprintf(line, sizeof line,
                      "SATCODX103%-18.18s%c    %06d   %c%-8.8s%04d%14s%05d %04d%04d%04d%05d%19s%-3.3s %-12.12s",
                      ("Sat " + std::to_string(sat)).c_str(), i % 9 ? 'T' : 'R', 10700 + 2 * (tp / satelites),
                      tp % 2 ? '1' : '0', ("Ch" + std::to_string(i)).c_str(), position, "", 27500, 101, 102, 103,
                      i % 65536, "", i % 3 ? "___" : "C__", "name rest");
        out.push_back(line);
    }
    return out;
}

void Import(benchmark::State& state, const std::vector<std::string>& listing, TVexaData& d)
{
    for (auto _ : state) {
        const int result = d.LoadFromSdx(listing);
        benchmark::DoNotOptimize(result);
        if (result != TVexaData::SdxRead)
            state.SkipWithError("the listing did not read");
    }
    state.counters["satelites"] = d.Satelites.Count();
    state.counters["transponders"] = d.Transponders.Count();
    state.counters["channels"] = d.Channels.Count();
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(listing.size()));
}

void BM_SdxImport5000IntoEmptySet(benchmark::State& state)
{
    const auto listing = Listing(5000, 8, 400);
    TVexaData d;
    Import(state, listing, d);
}
BENCHMARK(BM_SdxImport5000IntoEmptySet)->Unit(benchmark::kMillisecond);

void BM_SdxImport5000NearCapacity(benchmark::State& state)
{
    const auto listing = Listing(5000, TVexaData::MaxSatelites - 1, TVexaData::MaxTransponders - 8);
    TVexaData d;
    samples::BuildFull(d); // replaced by the first import
    Import(state, listing, d);
}
BENCHMARK(BM_SdxImport5000NearCapacity)->Unit(benchmark::kMillisecond);

void BM_FindOrAddOnFullListsInUse(benchmark::State& state)
{
    TVexaData d;
    samples::BuildFull(d);
    for (auto _ : state) {
        benchmark::DoNotOptimize(d.FindSatelite(3599, 'w', "None", true));
        benchmark::DoNotOptimize(d.FindAntena(d.Satelites.Default(), true));
        benchmark::DoNotOptimize(d.FindTransponder(d.Satelites.Get(0), 1, 'h', 1, true));
    }
}
BENCHMARK(BM_FindOrAddOnFullListsInUse)->Unit(benchmark::kMicrosecond);

} // namespace
