// The receiver link's own overhead: a full image read and sent through the
// emulator on a pseudo-terminal, where the line itself costs nothing (on a
// real line a read takes about 68 s at 19200 baud, a send about 11.4 s at
// 115200). Also the main thread's share of a core while it waits for a
// receiver that does not answer.
#include "ReceiverEmulator.h"
#include "foundation/EventLoop.h"
#include "link/TVexaComm.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/resource.h>

namespace {

constexpr int kPort = 7;

struct Bench {
    ReceiverEmulator emu;
    std::unique_ptr<TVexaComm> comm;

    Bench()
    {
        for (int n = 1; n <= 20; ++n) {
            const std::string path = n == kPort ? emu.DevicePath() : "/nonexistent/vexa-bench-com" + std::to_string(n);
            setenv(("VEXA_COM" + std::to_string(n)).c_str(), path.c_str(), 1);
        }
        std::vector<std::uint8_t> image(ReceiverEmulator::kImageSize);
        for (std::size_t i = 0; i < image.size(); ++i)
            image[i] = std::uint8_t(i * 7 + (i >> 9));
        image[10] = 3;
        emu.SetImage(image);
        comm = std::make_unique<TVexaComm>(kPort);
        ProcessPendingEvents();
        emu.WaitIdle(3000);
    }
};

Bench& TheBench()
{
    static Bench bench;
    return bench;
}

double ThreadCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void BM_ReadImage(benchmark::State& state)
{
    Bench& b = TheBench();
    b.emu.SetFaults({});
    for (auto _ : state) {
        std::vector<std::uint8_t> image;
        image.reserve(TVexaComm::kImageSize);
        if (!b.comm->ReadData(image)) {
            state.SkipWithError("read failed");
            break;
        }
        state.PauseTiming();
        b.emu.WaitIdle(3000);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(TVexaComm::kImageSize));
}
BENCHMARK(BM_ReadImage)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void BM_SendImage(benchmark::State& state)
{
    Bench& b = TheBench();
    b.emu.SetFaults({});
    const std::vector<std::uint8_t> image = b.emu.Image();
    for (auto _ : state) {
        if (!b.comm->SendData(image)) {
            state.SkipWithError("send failed");
            break;
        }
        state.PauseTiming();
        b.emu.WaitIdle(3000);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(image.size()));
}
BENCHMARK(BM_SendImage)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// A status query against silence waits out its 500 ms; the counter is the
// main thread's CPU time over that wait.
void BM_SilentReceiverWait(benchmark::State& state)
{
    Bench& b = TheBench();
    b.emu.SetFaults({.silenceFromReply = 0});
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double c0 = ThreadCpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        b.comm->Refresh();
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        cpu += ThreadCpuSeconds() - c0;
    }
    state.counters["cpu_share_pct"] = wall > 0 ? 100.0 * cpu / wall : 0;
    b.emu.SetFaults({});
    b.emu.AbandonExchange();
    b.emu.WaitIdle(3000);
}
BENCHMARK(BM_SilentReceiverWait)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);

} // namespace
