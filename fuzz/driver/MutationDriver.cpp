// A deterministic stand-in for libFuzzer: every seed input is tried whole,
// truncated at every length (up to a bound), and with a fixed number of
// random byte flips and insertions from a fixed random seed. The run is the
// same every time, so a failure found in CI is found again on a desk.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// A target may supply its own seeds (valid inputs that reach deep code).
std::vector<std::vector<uint8_t>> VexaFuzzSeeds() __attribute__((weak));

namespace {

void Run(const std::vector<uint8_t>& input)
{
    // Copy into an exact-size heap block so that AddressSanitizer catches a
    // read one past the end.
    auto* copy = static_cast<uint8_t*>(std::malloc(input.size() ? input.size() : 1));
    if (!input.empty())
        std::copy(input.begin(), input.end(), copy);
    LLVMFuzzerTestOneInput(copy, input.size());
    std::free(copy);
}

} // namespace

int main(int argc, char** argv)
{
    long mutations = 2000;
    size_t maxTruncations = 4096;
    if (argc > 1)
        mutations = std::strtol(argv[1], nullptr, 10);
    if (const char* env = std::getenv("VEXA_FUZZ_MUTATIONS"))
        mutations = std::strtol(env, nullptr, 10);

    std::vector<std::vector<uint8_t>> seeds;
    if (VexaFuzzSeeds)
        seeds = VexaFuzzSeeds();
    seeds.push_back({});
    seeds.push_back(std::vector<uint8_t>(64, 0xFF));

    std::mt19937 rng(20041107);
    size_t runs = 0;
    for (const auto& seed : seeds) {
        Run(seed);
        ++runs;
        // Truncations: every length near both ends, sampled in between.
        size_t step = seed.size() > maxTruncations ? seed.size() / maxTruncations : 1;
        for (size_t len = 0; len < seed.size(); len += step) {
            Run(std::vector<uint8_t>(seed.begin(), seed.begin() + static_cast<std::ptrdiff_t>(len)));
            ++runs;
        }
        for (size_t len = seed.size() > 64 ? seed.size() - 64 : 0; len < seed.size(); ++len) {
            Run(std::vector<uint8_t>(seed.begin(), seed.begin() + static_cast<std::ptrdiff_t>(len)));
            ++runs;
        }
        for (long m = 0; m < mutations; ++m) {
            std::vector<uint8_t> v = seed;
            int edits = 1 + static_cast<int>(rng() % 8);
            for (int e = 0; e < edits; ++e) {
                switch (rng() % 4) {
                case 0:
                case 1:
                    if (!v.empty())
                        v[rng() % v.size()] ^= static_cast<uint8_t>(1u << (rng() % 8));
                    break;
                case 2:
                    if (!v.empty())
                        v[rng() % v.size()] = static_cast<uint8_t>(rng());
                    break;
                default:
                    v.insert(v.begin() + static_cast<std::ptrdiff_t>(v.empty() ? 0 : rng() % v.size()),
                             static_cast<uint8_t>(rng()));
                    break;
                }
            }
            Run(v);
            ++runs;
        }
    }
    std::printf("%zu inputs run, no fault\n", runs);
    return 0;
}
