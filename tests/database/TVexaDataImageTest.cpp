#include "database/TVexaData.h"

#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/database/VexaSamples.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Entry offsets of the second record of each kind in the base image.
constexpr std::size_t kSat1 = 32 + 28;
constexpr std::size_t kTp1 = 3840 + 12;
constexpr std::size_t kAnt1 = 28672 + 12;
constexpr std::size_t kChan = 30464;

void Put(Bytes& img, std::size_t at, std::initializer_list<int> bytes)
{
    for (int b : bytes)
        img[at++] = static_cast<std::uint8_t>(b);
}

void PutText(Bytes& img, std::size_t at, const std::string& text)
{
    std::memcpy(img.data() + at, text.data(), text.size());
}

// Two records of each kind, every flag clear and every code 0. The channel
// refers to the second of each, so that each stored index is 1 and cannot
// pass for the zeros around it.
Bytes BaseImage()
{
    Bytes img(TVexaData::ImageSize, 0);
    PutText(img, 0, "kelvoran");
    Put(img, 8, {1, 0, 1, 2, 2}); // 1, 0, 1, antennas, satellites
    Put(img, 16, {2, 0});         // transponders
    Put(img, 20, {1, 0});         // channels
    Put(img, 24, {0xEF, 0xBE});   // list number
    Put(img, 32 + 9, {90});       // first satellite: offset 0
    Put(img, kSat1, {0x16, 0x26, 0x68, 0x29, 0xC0, 0x00, 0, 0, 0x00, 78});
    PutText(img, kSat1 + 10, "Astra 19.2E Europ");
    Put(img, 3840 + 8, {0xFF});
    Put(img, kTp1, {0x77, 0x31, 0xF0, 0x55, 0x00, 0, 1, 0, 0xFF});
    Put(img, kAnt1, {0x17, 0x26, 0x69, 0x29, 0x00, 0x00, 1, 0, 0x00});
    Put(img, kChan, {0x34, 0x12, 0x00, 0x01, 0x03, 0x02, 0x05, 0x04, 0x01, 0x00, 0xA0, 0x0F, 0x10});
    PutText(img, kChan + 14, "ZDF On-line Info");
    Put(img, kChan + 31, {0, 0, 0, 1, 1});
    return img;
}

void LoadBase(TVexaData& d)
{
    ASSERT_TRUE(d.LoadFromImage(BaseImage()));
}

TEST(TVexaDataImage, BaseRecordsLieAtTheirOffsetsAndWriteBackTheSameBytes)
{
    TVexaData d;
    LoadBase(d);
    EXPECT_EQ(samples::Dump(d), "S '' 0/0 0e lnb0 dsq0 off0\n"
                                "S 'Astra 19.2E Europ' 9750/10600 192e lnb0 dsq0 off-12\n"
                                "T s1 0 0 v 0/14/0 auto\n"
                                "T s2 12663 22000 v 0/14/0 auto\n"
                                "A s1 0/0 u0 f n n/n/n\n"
                                "A s2 9751/10601 u0 f n n/n/n\n"
                                "C 'ZDF On-line Info' s2 t2 a2 sid4660 pids256/515/1029/4000 sc0 fv0 lk0 rd0 lists00000000\n");
    EXPECT_TRUE(d.Valid);
    EXPECT_EQ(d.ListNumber, 0xBEEF);
    Bytes img;
    ASSERT_TRUE(d.SaveToImage(img));
    const Bytes golden = BaseImage();
    ASSERT_EQ(img.size(), golden.size());
    for (std::size_t i = 0; i < img.size(); ++i)
        ASSERT_EQ(img[i], golden[i]) << "byte " << i;
}

// Each flag and each code alone, on the base set: the image must differ from
// the base image in exactly the bytes named, and read back as the edited set.
TEST(TVexaDataImage, EachFlagAndCodeHasItsOwnBits)
{
    struct Case {
        const char* what;
        std::function<void(TVexaData&)> edit;
        std::vector<std::pair<std::size_t, int>> bytes;
        bool readsBack = true;
    };
    auto sat = [](TVexaData& d) { return d.Satelites.Get(1); };
    auto tp = [](TVexaData& d) { return d.Transponders.Get(1); };
    auto ant = [](TVexaData& d) { return d.Antenas.Get(1); };
    auto ch = [](TVexaData& d) { return d.Channels.Get(0); };
    const Case cases[] = {
        {"west", [&](TVexaData& d) { sat(d)->EastWest = 'w'; }, {{kSat1 + 5, 0x80}}},
        {"universal LNB", [&](TVexaData& d) { sat(d)->LnbType = 1; }, {{kSat1 + 8, 0x01}}},
        {"DiSEqC 1.2", [&](TVexaData& d) { sat(d)->Diseqc12 = 1; }, {{kSat1 + 8, 0x04}}},
        {"offset -90", [&](TVexaData& d) { sat(d)->AntennaOffset = -90; }, {{kSat1 + 9, 0}}},
        {"offset 90", [&](TVexaData& d) { sat(d)->AntennaOffset = 90; }, {{kSat1 + 9, 180}}},
        {"horizontal", [&](TVexaData& d) { tp(d)->Polar = 'h'; }, {{kTp1 + 4, 0x01}}},
        {"only an exact 'h' is horizontal", [&](TVexaData& d) { tp(d)->Polar = 'H'; }, {}, false},
        {"22 kHz", [&](TVexaData& d) { tp(d)->Tone22K = "22"; }, {{kTp1 + 4, 0x02}}},
        {"18 V", [&](TVexaData& d) { tp(d)->Volt1418 = "18"; }, {{kTp1 + 4, 0x04}}},
        {"12 V", [&](TVexaData& d) { tp(d)->Volt012 = "12"; }, {{kTp1 + 4, 0x08}}},
        {"FEC 1/2", [&](TVexaData& d) { tp(d)->Fec = "1/2"; }, {{kTp1 + 4, 0x10}}},
        {"FEC 2/3", [&](TVexaData& d) { tp(d)->Fec = "2/3"; }, {{kTp1 + 4, 0x20}}},
        {"FEC 3/4", [&](TVexaData& d) { tp(d)->Fec = "3/4"; }, {{kTp1 + 4, 0x30}}},
        {"FEC 5/6", [&](TVexaData& d) { tp(d)->Fec = "5/6"; }, {{kTp1 + 4, 0x40}}},
        {"FEC 7/8", [&](TVexaData& d) { tp(d)->Fec = "7/8"; }, {{kTp1 + 4, 0x50}}},
        {"unknown FEC is auto", [&](TVexaData& d) { tp(d)->Fec = "9/10"; }, {}, false},
        {"transponder on no satellite", [&](TVexaData& d) { tp(d)->Satelite = d.Satelites.Default(); },
         {{kTp1 + 6, 0xFF}}},
        {"universal antenna", [&](TVexaData& d) { ant(d)->Universal = 1; }, {{kAnt1 + 4, 0x01}}},
        {"only exactly 1 is universal", [&](TVexaData& d) { ant(d)->Universal = 2; }, {}, false},
        {"DiSEqC a", [&](TVexaData& d) { ant(d)->Diseqc = 'a'; }, {{kAnt1 + 4, 0x02}}},
        {"DiSEqC b", [&](TVexaData& d) { ant(d)->Diseqc = 'b'; }, {{kAnt1 + 4, 0x06}}},
        {"DiSEqC c", [&](TVexaData& d) { ant(d)->Diseqc = 'c'; }, {{kAnt1 + 4, 0x0A}}},
        {"DiSEqC d", [&](TVexaData& d) { ant(d)->Diseqc = 'd'; }, {{kAnt1 + 4, 0x0E}}},
        {"antenna tone 0", [&](TVexaData& d) { ant(d)->Tone22K = "0"; }, {{kAnt1 + 4, 0x40}}},
        {"antenna tone 22", [&](TVexaData& d) { ant(d)->Tone22K = "22"; }, {{kAnt1 + 4, 0xC0}}},
        {"antenna 0 V", [&](TVexaData& d) { ant(d)->Volt012 = "0"; }, {{kAnt1 + 5, 0x01}}},
        {"antenna 12 V", [&](TVexaData& d) { ant(d)->Volt012 = "12"; }, {{kAnt1 + 5, 0x03}}},
        {"antenna 14 V", [&](TVexaData& d) { ant(d)->Volt1418 = "14"; }, {{kAnt1 + 5, 0x04}}},
        {"antenna 18 V", [&](TVexaData& d) { ant(d)->Volt1418 = "18"; }, {{kAnt1 + 5, 0x0C}}},
        {"DiSEqC antenna", [&](TVexaData& d) { ant(d)->AntennaType = 'd'; }, {{kAnt1 + 8, 0x04}}},
        {"actuator", [&](TVexaData& d) { ant(d)->AntennaType = 'a'; }, {{kAnt1 + 8, 0x08}}},
        {"antenna on no satellite", [&](TVexaData& d) { ant(d)->Satelite = d.Satelites.Default(); },
         {{kAnt1 + 6, 0xFF}}},
        {"radio", [&](TVexaData& d) { ch(d)->Radio = 1; }, {{kChan + 9, 0x80}}},
        {"scrambled", [&](TVexaData& d) { ch(d)->Scramble = 1; }, {{kChan + 12, 0x11}}},
        {"locked", [&](TVexaData& d) { ch(d)->Lock = 1; }, {{kChan + 12, 0x14}}},
        {"favourites list 1 is the favourite mark", [&](TVexaData& d) { ch(d)->Favorites[0] = 1; },
         {{kChan + 12, 0x12}, {kChan + 31, 0x01}}},
        {"a favourite mark without list 1 goes, in the set too", [&](TVexaData& d) { ch(d)->Favorite = 1; }, {}},
        {"favourites list 3", [&](TVexaData& d) { ch(d)->Favorites[2] = 1; }, {{kChan + 31, 0x04}}},
        {"favourites list 8", [&](TVexaData& d) { ch(d)->Favorites[7] = 1; }, {{kChan + 31, 0x80}}},
        {"channel on no satellite", [&](TVexaData& d) { ch(d)->Satelite = d.Satelites.Default(); },
         {{kChan + 34, 0xFF}}},
        {"channel on no antenna", [&](TVexaData& d) { ch(d)->Antena = d.Antenas.Default(); }, {{kChan + 35, 0xFF}}},
        // The index -1 fills the whole word, so it reads back as a radio channel.
        {"channel on no transponder", [&](TVexaData& d) { ch(d)->Transponder = d.Transponders.Default(); },
         {{kChan + 8, 0xFF}, {kChan + 9, 0xFF}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TVexaData d;
        LoadBase(d);
        c.edit(d);
        Bytes img;
        ASSERT_TRUE(d.SaveToImage(img));
        Bytes expected = BaseImage();
        for (const auto& [at, value] : c.bytes)
            expected[at] = static_cast<std::uint8_t>(value);
        for (std::size_t i = 0; i < img.size(); ++i)
            ASSERT_EQ(img[i], expected[i]) << "byte " << i;
        TVexaData back;
        ASSERT_TRUE(back.LoadFromImage(img));
        EXPECT_EQ(back.Equals(d), c.readsBack);
    }
}

// Codes the writer never produces still read as a value the program knows:
// each one alone in the base image reads as the base set.
TEST(TVexaDataImage, UnusedCodesDecodeToDefaults)
{
    TVexaData base;
    LoadBase(base);
    const std::pair<std::size_t, int> edits[] = {
        {kTp1 + 4, 6 << 4}, {kTp1 + 4, 7 << 4},                         // FEC
        {kAnt1 + 4, 2 << 1}, {kAnt1 + 4, 4 << 1}, {kAnt1 + 4, 6 << 1}, // DiSEqC
        {kAnt1 + 4, 2 << 6}, {kAnt1 + 5, 2}, {kAnt1 + 5, 2 << 2},      // tone, 0/12 V, 14/18 V
        {kAnt1 + 8, 3 << 2},                                            // antenna type
    };
    for (const auto& [at, value] : edits) {
        Bytes img = BaseImage();
        img[at] = static_cast<std::uint8_t>(value);
        TVexaData d;
        ASSERT_TRUE(d.LoadFromImage(img));
        EXPECT_EQ(samples::Dump(d), samples::Dump(base)) << at << " " << value;
    }
}

TEST(TVexaDataImage, FullCapacitySetRoundTripsByteForByte)
{
    TVexaData d;
    samples::BuildFull(d);
    Bytes first;
    ASSERT_TRUE(d.SaveToImage(first));
    TVexaData back;
    ASSERT_TRUE(back.LoadFromImage(first));
    EXPECT_TRUE(back.Equals(d));
    Bytes second;
    ASSERT_TRUE(back.SaveToImage(second));
    EXPECT_TRUE(first == second);
}

TEST(TVexaDataImage, StreamsCarryTheSameBytes)
{
    TVexaData d;
    samples::Build(d, 3, 5, 2, 9);
    Bytes bytes;
    ASSERT_TRUE(d.SaveToImage(bytes));
    std::stringstream stream("older content that the image overwrites from the start");
    ASSERT_TRUE(d.SaveToImage(stream));
    const std::string written = stream.str();
    ASSERT_EQ(written.size(), TVexaData::ImageSize);
    EXPECT_EQ(0, std::memcmp(written.data(), bytes.data(), bytes.size()));

    stream.seekg(100);
    TVexaData back;
    ASSERT_TRUE(back.LoadFromImage(stream)); // always from the start
    EXPECT_TRUE(back.Equals(d));
    std::stringstream shortStream(written.substr(0, TVexaData::ImageSize - 1));
    EXPECT_FALSE(back.LoadFromImage(shortStream));
    EXPECT_FALSE(back.Valid);

    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    EXPECT_FALSE(d.SaveToImage(broken));
    std::ofstream throwing; // not open: the write fails, and raises
    throwing.exceptions(std::ios::badbit | std::ios::failbit);
    EXPECT_FALSE(d.SaveToImage(throwing));
}

// A set beyond any capacity is refused before anything is written or changed.
TEST(TVexaDataImage, WriterRefusesSetsBeyondCapacity)
{
    struct Case {
        const char* what;
        int sats, tps, ants, chans;
    };
    const Case cases[] = {{"128 satellites", 128, 10, 10, 10}, {"2049 transponders", 10, 2049, 10, 10},
                          {"128 antennas", 10, 10, 128, 10}, {"2501 channels", 10, 10, 10, 2501}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TVexaData d;
        samples::Build(d, c.sats, c.tps, c.ants, c.chans);
        d.Channels.Get(0)->Favorite = 1;
        d.Channels.Get(0)->Favorites[0] = 0;
        Bytes buf(TVexaData::ImageSize + 64, 0x5A);
        EXPECT_FALSE(d.SaveToImage(std::span<std::uint8_t>(buf)));
        EXPECT_EQ(buf, Bytes(TVexaData::ImageSize + 64, 0x5A));
        std::ostringstream stream;
        EXPECT_FALSE(d.SaveToImage(stream));
        EXPECT_TRUE(stream.str().empty());
        EXPECT_EQ(d.Channels.Get(0)->Favorite, 1);
    }
    TVexaData d;
    samples::Build(d, 1, 1, 1, 1);
    Bytes tooSmall(TVexaData::ImageSize - 1, 0x5A);
    EXPECT_FALSE(d.SaveToImage(std::span<std::uint8_t>(tooSmall)));
    EXPECT_EQ(tooSmall, Bytes(TVexaData::ImageSize - 1, 0x5A));
}

// Reads an exact-size copy, so that a read past the end is caught by the
// sanitizers; whatever the set held before must be gone and not valid.
void ExpectRefused(const Bytes& img, std::size_t length, const std::string& what)
{
    TVexaData d;
    samples::Build(d, 2, 2, 2, 2);
    auto copy = std::make_unique<std::uint8_t[]>(length + 1);
    std::memcpy(copy.get(), img.data(), length);
    ASSERT_FALSE(d.LoadFromImage(std::span<const std::uint8_t>(copy.get(), length))) << what;
    ASSERT_FALSE(d.Valid) << what;
    ASSERT_EQ(d.Satelites.Count() + d.Transponders.Count() + d.Antenas.Count() + d.Channels.Count(), 0) << what;
}

TEST(TVexaDataImage, ReaderRefusesBadSignaturesCountsAndTruncations)
{
    TVexaData full;
    samples::BuildFull(full);
    Bytes good;
    ASSERT_TRUE(full.SaveToImage(good));
    struct Case {
        const char* what;
        std::size_t at;
        std::initializer_list<int> bytes;
    };
    const Case cases[] = {
        {"upper-case signature", 0, {'K', 'E', 'L', 'V', 'O', 'R', 'A', 'N'}},
        {"zero byte inside the signature", 4, {0}},
        {"last signature byte wrong", 7, {'m'}},
        {"128 satellites", 12, {128}},
        {"128 antennas", 11, {128}},
        {"2049 transponders", 16, {0x01, 0x08}},
        {"2501 channels", 20, {0xC5, 0x09}},
    };
    for (const Case& c : cases) {
        Bytes img = good;
        Put(img, c.at, c.bytes);
        ExpectRefused(img, img.size(), c.what);
    }
    // Every length short of a whole image: near both ends, and sampled between.
    for (std::size_t len = 0; len < good.size(); len += (len < 64 || len > good.size() - 64) ? 1 : 997)
        ExpectRefused(good, len, "truncated at " + std::to_string(len));
    // Bytes behind a whole image are ignored.
    good.resize(good.size() + 2048, 0xEE);
    TVexaData back;
    EXPECT_TRUE(back.LoadFromImage(good));
    EXPECT_TRUE(back.Equals(full));
}

TEST(TVexaDataImage, DeletedRecordsAreStoredAsMissing)
{
    TVexaData d;
    samples::Build(d, 2, 2, 2, 3);
    TChannelRec* c = d.Channels.Get(2);
    c->Satelite = d.Satelites.Get(1);
    c->Antena = d.Antenas.Get(0);
    c->Transponder = d.Transponders.Get(1);
    d.Transponders.Get(0)->Satelite = d.Satelites.Get(1);
    d.Satelites.Delete(1); // still referenced: never followed
    d.Antenas.Delete(0);
    d.Transponders.Delete(1);

    Bytes img;
    ASSERT_TRUE(d.SaveToImage(img));
    EXPECT_EQ(img[3840 + 6] & img[kChan + 72 + 34] & img[kChan + 72 + 35] & img[kChan + 72 + 8], 0xFF);
    TVexaData back;
    ASSERT_TRUE(back.LoadFromImage(img));
    EXPECT_EQ(samples::Line(back, *back.Transponders.Get(0)).substr(0, 4), "T s-");
    EXPECT_EQ(samples::Line(back, *back.Channels.Get(2)), "C 'Chan 2' s- t- a- sid7 pids102/202/302/0 sc0 fv0 lk0 rd1 lists00000000");
}

} // namespace
