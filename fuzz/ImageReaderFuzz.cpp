// The receiver image reader against arbitrary bytes. Each input is tried as
// it stands (mostly short buffers, which must be refused cleanly) and
// expanded from a compact form -- the header, then the entries of the four
// tables back to back -- into a whole image, so that mutations land on the
// fields the reader decodes rather than on the empty room between tables.
// Whatever the reader accepts must write an image that reads back and writes
// the same bytes again.
#include <algorithm>
#include <cstring>
#include <vector>

#include "database/TVexaData.h"
#include "fuzz/driver/FuzzSupport.h"
#include "tests/database/VexaSamples.h"

namespace {

constexpr std::size_t kHeader = 32;
struct Table {
    std::size_t offset, entrySize, max;
};
// Satellites, transponders, antennas, channels.
constexpr Table kTables[] = {{32, 28, 127}, {3840, 12, 2048}, {28672, 12, 127}, {30464, 36, 2500}};

using fuzz::Require;

std::vector<std::uint8_t> Expand(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> image(TVexaData::ImageSize, 0);
    std::size_t at = std::min(size, kHeader);
    std::memcpy(image.data(), data, at);
    const std::size_t counts[] = {image[12], static_cast<std::size_t>(image[16] | (image[17] << 8)), image[11],
                                  static_cast<std::size_t>(image[20] | (image[21] << 8))};
    for (std::size_t t = 0; t < 4; ++t) {
        const std::size_t want = std::min(counts[t], kTables[t].max) * kTables[t].entrySize;
        const std::size_t take = std::min(want, size - at);
        std::memcpy(image.data() + kTables[t].offset, data + at, take);
        at += take;
    }
    return image;
}

std::vector<std::uint8_t> Compact(const std::vector<std::uint8_t>& image, const TVexaData& d)
{
    std::vector<std::uint8_t> out(image.begin(), image.begin() + kHeader);
    const int counts[] = {d.Satelites.Count(), d.Transponders.Count(), d.Antenas.Count(), d.Channels.Count()};
    for (std::size_t t = 0; t < 4; ++t) {
        auto from = image.begin() + static_cast<std::ptrdiff_t>(kTables[t].offset);
        out.insert(out.end(), from, from + static_cast<std::ptrdiff_t>(kTables[t].entrySize * counts[t]));
    }
    return out;
}

void Check(TVexaData& d, bool loaded)
{
    if (!loaded) {
        Require(!d.Valid, "a refused image leaves the set valid");
        Require(d.Satelites.Count() + d.Transponders.Count() + d.Antenas.Count() + d.Channels.Count() == 0,
                "a refused image leaves records behind");
        return;
    }
    Require(d.Valid && d.WithinCapacity(), "an accepted image is valid and within capacity");
    std::vector<std::uint8_t> first;
    Require(d.SaveToImage(first), "what was read can be written");
    TVexaData again;
    Require(again.LoadFromImage(first), "a written image reads back");
    std::vector<std::uint8_t> second;
    Require(again.SaveToImage(second) && first == second, "a written image writes the same bytes again");
}

} // namespace

const char* const fuzz::Subject = "image reader";

std::vector<std::vector<std::uint8_t>> VexaFuzzSeeds()
{
    TVexaData d;
    samples::Build(d, 3, 5, 3, 8);
    d.Channels.Get(1)->Transponder = d.Transponders.Default();
    std::vector<std::uint8_t> image;
    d.SaveToImage(image);
    return {Compact(image, d)};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TVexaData d;
    Check(d, d.LoadFromImage(std::span<const std::uint8_t>(data, size)));
    const std::vector<std::uint8_t> image = Expand(data, size);
    Check(d, d.LoadFromImage(image));
    return 0;
}
