// Full-capacity data sets (127 satellites, 2048 transponders, 127 antennas,
// 2500 channels) through the image, the text list, Assign and Equals.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "database/TVexaData.h"
#include "tests/database/VexaSamples.h"

namespace {

void BM_ImageWriteAndRead(benchmark::State& state)
{
    TVexaData full;
    samples::BuildFull(full);
    TVexaData back;
    std::vector<std::uint8_t> image;
    for (auto _ : state) {
        bool ok = full.SaveToImage(image) && back.LoadFromImage(image);
        benchmark::DoNotOptimize(ok);
        if (!ok)
            state.SkipWithError("image round trip failed");
    }
}
BENCHMARK(BM_ImageWriteAndRead)->Unit(benchmark::kMillisecond);

void BM_ImageRead(benchmark::State& state)
{
    TVexaData full;
    samples::BuildFull(full);
    std::vector<std::uint8_t> image;
    full.SaveToImage(image);
    TVexaData back;
    for (auto _ : state)
        benchmark::DoNotOptimize(back.LoadFromImage(image));
}
BENCHMARK(BM_ImageRead)->Unit(benchmark::kMicrosecond);

void BM_ImageWrite(benchmark::State& state)
{
    TVexaData full;
    samples::BuildFull(full);
    std::vector<std::uint8_t> image;
    for (auto _ : state)
        benchmark::DoNotOptimize(full.SaveToImage(image));
}
BENCHMARK(BM_ImageWrite)->Unit(benchmark::kMicrosecond);

void BM_TextWriteAndRead(benchmark::State& state)
{
    TVexaData full;
    samples::BuildFull(full);
    TVexaData back;
    std::vector<std::string> lines;
    for (auto _ : state) {
        full.SaveToTxt(true, lines);
        const int result = back.LoadFromTxt(lines);
        benchmark::DoNotOptimize(result);
        if (result != TVexaData::TxtRead)
            state.SkipWithError("text round trip failed");
    }
    state.counters["lines"] = static_cast<double>(lines.size());
}
BENCHMARK(BM_TextWriteAndRead)->Unit(benchmark::kMillisecond);

void BM_Assign(benchmark::State& state)
{
    TVexaData full;
    samples::BuildFull(full);
    TVexaData copy;
    for (auto _ : state) {
        copy.Assign(full);
        benchmark::DoNotOptimize(copy.Channels.Count());
    }
}
BENCHMARK(BM_Assign)->Unit(benchmark::kMicrosecond);

void BM_Equals(benchmark::State& state)
{
    TVexaData full;
    samples::BuildFull(full);
    TVexaData copy;
    copy.Assign(full);
    for (auto _ : state) {
        const bool same = full.Equals(copy); // equal sets: every record is compared
        benchmark::DoNotOptimize(same);
        if (!same)
            state.SkipWithError("copies differ");
    }
}
BENCHMARK(BM_Equals)->Unit(benchmark::kMicrosecond);

} // namespace
