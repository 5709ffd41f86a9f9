#include "database/TVexaData.h"

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/database/VexaSamples.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& img, std::size_t at, std::initializer_list<int> bytes)
{
    for (int b : bytes)
        img[at++] = static_cast<std::uint8_t>(b);
}

void PutText(Bytes& img, std::size_t at, const std::string& text)
{
    std::memcpy(img.data() + at, text.data(), text.size());
}

// One record of each kind with values that exercise every bit field.
void BuildOneOfEach(TVexaData& d)
{
    d.Clear();
    TSateliteRec* s = d.Satelites.New();
    s->LnbLow = 9750;            // 0x2616
    s->LnbHigh = 10600;          // 0x2968
    s->Angle = 192;              // 0x00C0
    s->EastWest = 'w';
    s->Name = "Astra 19E";
    s->Diseqc12 = 1;
    s->AntennaOffset = -12;
    s->LnbType = 1;

    TTransponderRec* t = d.Transponders.New();
    t->Satelite = s;
    t->Frequency = 12663;        // 0x3177
    t->Symbol = 22000;           // 0x55F0
    t->Polar = 'h';
    t->Tone22K = "22";
    t->Volt1418 = "18";
    t->Volt012 = "0";
    t->Fec = "3/4";

    TAntenaRec* a = d.Antenas.New();
    a->Satelite = s;
    a->LnbLow = 9750;
    a->LnbHigh = 10600;
    a->Universal = 1;
    a->Diseqc = 'c';
    a->Tone22K = "22";
    a->Volt012 = "12";
    a->Volt1418 = "14";
    a->AntennaType = 'a';

    TChannelRec* c = d.Channels.New();
    c->Satelite = s;
    c->Transponder = t;
    c->Antena = a;
    c->Name = "ZDF On-line";
    c->ServiceId = 0x1234;
    c->VideoPid = 0x0100;
    c->AudioPid = 0x0101;
    c->PcrPid = 0x0102;
    c->TxtPid = 0x0FA0;
    c->Scramble = 1;
    c->Favorite = 0;
    c->Lock = 1;
    c->Favorites = {1, 0, 1, 0, 0, 0, 0, 1};
    c->Radio = 1;
    d.ListNumber = 0xBEEF;
    d.Valid = true;
}

// The image BuildOneOfEach must give, byte for byte.
Bytes GoldenImage()
{
    Bytes img(TVexaData::ImageSize, 0);
    PutText(img, 0, "kelvoran");
    Put(img, 8, {1, 0, 1, 1, 1});          // 1, 0, 1, antennas, satellites
    Put(img, 16, {1, 0});                  // transponders
    Put(img, 20, {1, 0});                  // channels
    Put(img, 24, {0xEF, 0xBE});            // list number
    // Satellite at 32.
    Put(img, 32, {0x16, 0x26, 0x68, 0x29, 0xC0, 0x80, 0, 0, 0x05, 78});
    PutText(img, 32 + 10, "Astra 19E");
    // Transponder at 3840: h, 22, 18, fec 3.
    Put(img, 3840, {0x77, 0x31, 0xF0, 0x55, 0x37, 0, 0, 0, 0xFF});
    // Antenna at 28672: universal, diseqc c (5), tone 22 (3); 012 "12" (3), 1418 "14" (1); actuator.
    Put(img, 28672, {0x16, 0x26, 0x68, 0x29, 0xCB, 0x07, 0, 0, 0x08});
    // Channel at 30464: radio on transponder 0; scramble, lock, bit 4 (favourite from list 1).
    Put(img, 30464, {0x34, 0x12, 0x00, 0x01, 0x01, 0x01, 0x02, 0x01, 0x00, 0x80, 0xA0, 0x0F, 0x17});
    PutText(img, 30464 + 14, "ZDF On-line");
    Put(img, 30464 + 31, {0x85, 0, 0, 0, 0});
    return img;
}

TEST(TVexaDataImage, WritesOneRecordOfEachKindAtItsOffsets)
{
    TVexaData d;
    BuildOneOfEach(d);
    Bytes img;
    ASSERT_TRUE(d.SaveToImage(img));
    const Bytes golden = GoldenImage();
    ASSERT_EQ(img.size(), golden.size());
    for (std::size_t i = 0; i < img.size(); ++i)
        ASSERT_EQ(img[i], golden[i]) << "byte " << i;
    EXPECT_EQ(d.Channels.Get(0)->Favorite, 1); // taken from favourites list 1
}

TEST(TVexaDataImage, ReadsOneRecordOfEachKind)
{
    TVexaData d;
    ASSERT_TRUE(d.LoadFromImage(GoldenImage()));
    TVexaData expected;
    BuildOneOfEach(expected);
    expected.Channels.Get(0)->Favorite = 1;
    EXPECT_TRUE(d.Equals(expected));
    EXPECT_TRUE(d.Valid);
    EXPECT_EQ(d.ListNumber, 0xBEEF);
    EXPECT_EQ(d.Satelites.Get(0)->AntennaOffset, -12);
    EXPECT_EQ(d.Channels.Get(0)->Transponder.Get(), d.Transponders.Get(0));
    EXPECT_EQ(d.Channels.Get(0)->Antena.Get(), d.Antenas.Get(0));
    EXPECT_EQ(d.Antenas.Get(0)->Satelite.Get(), d.Satelites.Get(0));
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
    EXPECT_EQ(first[12], 127);
    EXPECT_EQ(first[11], 127);
}

TEST(TVexaDataImage, StreamsCarryTheSameBytes)
{
    TVexaData d;
    samples::Build(d, 3, 5, 2, 9);
    Bytes bytes;
    ASSERT_TRUE(d.SaveToImage(bytes));
    std::stringstream stream("some older, longer content that the image overwrites from the start");
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
    const Case cases[] = {
        {"128 satellites", 128, 10, 10, 10},
        {"2049 transponders", 10, 2049, 10, 10},
        {"128 antennas", 10, 10, 128, 10},
        {"2501 channels", 10, 10, 10, 2501},
    };
    for (const Case& c : cases) {
        TVexaData d;
        samples::Build(d, c.sats, c.tps, c.ants, c.chans);
        d.Channels.Get(0)->Favorite = 1;
        d.Channels.Get(0)->Favorites[0] = 0;

        Bytes vec(5, 0xAB);
        EXPECT_FALSE(d.SaveToImage(vec)) << c.what;
        EXPECT_EQ(vec, Bytes(5, 0xAB)) << c.what;

        // A buffer with a guard behind the image: nothing at all is written.
        Bytes buf(TVexaData::ImageSize + 64, 0x5A);
        EXPECT_FALSE(d.SaveToImage(std::span<std::uint8_t>(buf))) << c.what;
        EXPECT_EQ(buf, Bytes(TVexaData::ImageSize + 64, 0x5A)) << c.what;

        std::ostringstream stream;
        EXPECT_FALSE(d.SaveToImage(stream)) << c.what;
        EXPECT_TRUE(stream.str().empty()) << c.what;
        EXPECT_EQ(d.Channels.Get(0)->Favorite, 1) << c.what;
    }

    TVexaData d;
    samples::Build(d, 1, 1, 1, 1);
    Bytes tooSmall(TVexaData::ImageSize - 1, 0x5A);
    EXPECT_FALSE(d.SaveToImage(std::span<std::uint8_t>(tooSmall)));
    EXPECT_EQ(tooSmall, Bytes(TVexaData::ImageSize - 1, 0x5A));
    // A larger buffer gets the image in its first bytes and nothing behind.
    Bytes larger(TVexaData::ImageSize + 8, 0x5A);
    EXPECT_TRUE(d.SaveToImage(std::span<std::uint8_t>(larger)));
    EXPECT_EQ(Bytes(larger.end() - 8, larger.end()), Bytes(8, 0x5A));
}

void ExpectRefused(const Bytes& img, const std::string& what)
{
    TVexaData d;
    samples::Build(d, 2, 2, 2, 2); // what was there before goes, too
    // An exact-size copy, so that a read past the end is caught by the sanitizers.
    auto copy = std::make_unique<std::uint8_t[]>(img.size() + 1);
    if (!img.empty())
        std::memcpy(copy.get(), img.data(), img.size());
    EXPECT_FALSE(d.LoadFromImage(std::span<const std::uint8_t>(copy.get(), img.size()))) << what;
    EXPECT_FALSE(d.Valid) << what;
    EXPECT_EQ(d.Satelites.Count() + d.Transponders.Count() + d.Antenas.Count() + d.Channels.Count(), 0) << what;
    EXPECT_EQ(d.ListNumber, 0) << what;
}

TEST(TVexaDataImage, ReaderRefusesBadSignaturesAndCounts)
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
        {"255 satellites", 12, {255}},
        {"128 antennas", 11, {128}},
        {"2049 transponders", 16, {0x01, 0x08}},
        {"65535 transponders", 16, {0xFF, 0xFF}},
        {"2501 channels", 20, {0xC5, 0x09}},
        {"65535 channels", 20, {0xFF, 0xFF}},
    };
    for (const Case& c : cases) {
        Bytes img = good;
        Put(img, c.at, c.bytes);
        ExpectRefused(img, c.what);
    }
    ExpectRefused({}, "empty");
    ExpectRefused(Bytes(good.begin(), good.begin() + 32), "header only");
    ExpectRefused(Bytes(good.begin(), good.end() - 1), "one byte short");
}

TEST(TVexaDataImage, ReaderRefusesEveryTruncation)
{
    Bytes good;
    TVexaData d;
    samples::Build(d, 3, 3, 3, 3);
    ASSERT_TRUE(d.SaveToImage(good));
    // Every length short of a whole image; the spans end exactly where their
    // copy does, and the reader checks the length before it reads anything.
    for (std::size_t len = 0; len < good.size(); len += (len < 64 || len > good.size() - 64) ? 1 : 997) {
        auto copy = std::make_unique<std::uint8_t[]>(len + 1);
        if (len > 0)
            std::memcpy(copy.get(), good.data(), len);
        ASSERT_FALSE(d.LoadFromImage(std::span<const std::uint8_t>(copy.get(), len))) << len;
        ASSERT_FALSE(d.Valid) << len;
    }
    // Bytes behind a whole image are ignored.
    Bytes longer = good;
    longer.resize(good.size() + 2048, 0xEE);
    EXPECT_TRUE(d.LoadFromImage(longer));
    EXPECT_EQ(d.Channels.Count(), 3);
}

TEST(TVexaDataImage, MissingReferencesAreStoredAsMinusOne)
{
    TVexaData d;
    samples::Build(d, 2, 2, 2, 3);
    d.Channels.Get(0)->Transponder = d.Transponders.Default();
    d.Channels.Get(0)->Radio = 0;
    d.Transponders.Get(1)->Satelite = d.Satelites.Default();
    d.Antenas.Get(1)->Satelite = d.Satelites.Default();
    // Deleted while still referenced: stored as missing, never followed.
    TChannelRec* c2 = d.Channels.Get(2);
    c2->Satelite = d.Satelites.Get(1);
    c2->Antena = d.Antenas.Get(0);
    d.Satelites.Delete(1);
    d.Antenas.Delete(0);

    Bytes img;
    ASSERT_TRUE(d.SaveToImage(img));
    EXPECT_EQ(img[30464 + 8], 0xFF);
    EXPECT_EQ(img[30464 + 9], 0xFF);
    EXPECT_EQ(img[3840 + 12 + 6], 0xFF);
    EXPECT_EQ(img[28672 + 6], 0xFF);      // the antenna that was second, now first
    EXPECT_EQ(img[30464 + 72 + 34], 0xFF);
    EXPECT_EQ(img[30464 + 72 + 35], 0xFF);

    TVexaData back;
    ASSERT_TRUE(back.LoadFromImage(img));
    const TChannelRec* c = back.Channels.Get(0);
    EXPECT_EQ(c->Transponder.Get(), back.Transponders.Default());
    EXPECT_EQ(c->Radio, 1);
    EXPECT_EQ(back.Transponders.Get(1)->Satelite.Get(), back.Satelites.Default());
    EXPECT_EQ(back.Antenas.Get(0)->Satelite.Get(), back.Satelites.Default());
    EXPECT_EQ(back.Channels.Get(2)->Satelite.Get(), back.Satelites.Default());
    EXPECT_EQ(back.Channels.Get(2)->Antena.Get(), back.Antenas.Default());
}

TEST(TVexaDataImage, FieldEdgeValues)
{
    TVexaData d;
    samples::Build(d, 3, 2, 2, 2);
    d.Satelites.Get(0)->AntennaOffset = -90;
    d.Satelites.Get(1)->AntennaOffset = 90;
    d.Satelites.Get(2)->Name = "ABCDEFGHIJKLMNOPQ";
    d.Transponders.Get(0)->Fec = "auto";
    d.Transponders.Get(1)->Fec = "9/10";
    d.Transponders.Get(1)->Polar = 'H'; // only an exact 'h' counts
    d.Antenas.Get(0)->Tone22K = "22";
    d.Antenas.Get(1)->Universal = 2;    // only exactly 1 counts
    d.Channels.Get(0)->Favorite = 1;
    d.Channels.Get(0)->Favorites[0] = 0;
    d.Channels.Get(1)->Name = "0123456789ABCDEF";

    Bytes img;
    ASSERT_TRUE(d.SaveToImage(img));
    EXPECT_EQ(img[32 + 9], 0);
    EXPECT_EQ(img[32 + 28 + 9], 180);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&img[32 + 56 + 10]), 17), "ABCDEFGHIJKLMNOPQ");
    EXPECT_EQ(img[32 + 56 + 27], 0);
    EXPECT_EQ(img[3840 + 4] >> 4, 0);
    EXPECT_EQ(img[3840 + 12 + 4] & 0x71, 0);
    EXPECT_EQ(img[28672 + 4] >> 6, 3);
    EXPECT_EQ(img[28672 + 12 + 4] & 1, 0);
    EXPECT_EQ(img[30464 + 12] & 2, 0);
    EXPECT_EQ(d.Channels.Get(0)->Favorite, 0); // in the set as well
    EXPECT_EQ(img[30464 + 36 + 30], 0);

    TVexaData back;
    ASSERT_TRUE(back.LoadFromImage(img));
    EXPECT_EQ(back.Satelites.Get(0)->AntennaOffset, -90);
    EXPECT_EQ(back.Satelites.Get(1)->AntennaOffset, 90);
    EXPECT_EQ(back.Satelites.Get(2)->Name, "ABCDEFGHIJKLMNOPQ");
    EXPECT_EQ(back.Transponders.Get(0)->Fec, "auto");
    EXPECT_EQ(back.Transponders.Get(1)->Fec, "auto");
    EXPECT_EQ(back.Antenas.Get(0)->Tone22K, "22");
    EXPECT_EQ(back.Channels.Get(1)->Name, "0123456789ABCDEF");
}

// Codes the writer never produces still read as something sensible.
TEST(TVexaDataImage, UnusedCodesDecodeToDefaults)
{
    TVexaData d;
    samples::Build(d, 1, 1, 1, 0);
    Bytes img;
    ASSERT_TRUE(d.SaveToImage(img));
    struct Case {
        int tpFlags, antByte4, antByte5, antByte8;
        const char* fec;
        char diseqc;
        const char *tone, *v012, *v1418;
        char type;
    };
    const Case cases[] = {
        {6 << 4, 2 << 1, 0x02 | (2 << 2), 3 << 2, "auto", 'n', "n", "n", "n", 'f'},
        {7 << 4, (4 << 1) | (2 << 6), 0x02, 0xF3, "auto", 'n', "n", "n", "n", 'f'},
        {5 << 4, 6 << 1, 0x01 | (1 << 2), 1 << 2, "7/8", 'n', "n", "0", "14", 'd'},
        {1 << 4, (7 << 1) | (1 << 6), 0x03 | (3 << 2), 2 << 2, "1/2", 'd', "0", "12", "18", 'a'},
    };
    for (const Case& c : cases) {
        img[3840 + 4] = static_cast<std::uint8_t>(c.tpFlags);
        img[28672 + 4] = static_cast<std::uint8_t>(c.antByte4);
        img[28672 + 5] = static_cast<std::uint8_t>(c.antByte5);
        img[28672 + 8] = static_cast<std::uint8_t>(c.antByte8);
        ASSERT_TRUE(d.LoadFromImage(img));
        const TTransponderRec& t = *d.Transponders.Get(0);
        const TAntenaRec& a = *d.Antenas.Get(0);
        EXPECT_EQ(t.Fec, c.fec) << c.tpFlags;
        EXPECT_EQ(a.Diseqc, c.diseqc) << c.antByte4;
        EXPECT_EQ(a.Tone22K, c.tone) << c.antByte4;
        EXPECT_EQ(a.Volt012, c.v012) << c.antByte5;
        EXPECT_EQ(a.Volt1418, c.v1418) << c.antByte5;
        EXPECT_EQ(a.AntennaType, c.type) << c.antByte8;
    }
}

TEST(TVexaDataImage, EmptySetGivesHeaderOnly)
{
    TVexaData d;
    d.ListNumber = 7;
    Bytes img;
    ASSERT_TRUE(d.SaveToImage(img));
    Bytes expected(TVexaData::ImageSize, 0);
    PutText(expected, 0, "kelvoran");
    Put(expected, 8, {1, 0, 1});
    Put(expected, 24, {7});
    EXPECT_TRUE(img == expected);
    TVexaData back;
    ASSERT_TRUE(back.LoadFromImage(img));
    EXPECT_TRUE(back.Valid);
    EXPECT_EQ(back.ListNumber, 7);
    EXPECT_EQ(back.Satelites.Count() + back.Transponders.Count() + back.Antenas.Count() + back.Channels.Count(), 0);
}

} // namespace
