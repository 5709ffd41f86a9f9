// The receiver's 128 KiB memory image: a header and four tables of packed
// entries at fixed offsets, numbers little-endian, references as list indexes.
#include "database/TVexaData.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <istream>
#include <ostream>
#include <string_view>

#include "database/RecordPositions.h"

namespace {

constexpr std::string_view kSignature = "kelvoran";

constexpr std::size_t kSatTable = 32;
constexpr std::size_t kTpTable = 3840;
constexpr std::size_t kAntTable = 28672;
constexpr std::size_t kChanTable = 30464;
constexpr std::size_t kSatSize = 28;
constexpr std::size_t kTpSize = 12;
constexpr std::size_t kAntSize = 12;
constexpr std::size_t kChanSize = 36;

// Every table must end where the next one starts, at the capacities.
static_assert(kSatTable + kSatSize * TVexaData::MaxSatelites <= kTpTable);
static_assert(kTpTable + kTpSize * TVexaData::MaxTransponders <= kAntTable);
static_assert(kAntTable + kAntSize * TVexaData::MaxAntenas <= kChanTable);
static_assert(kChanTable + kChanSize * TVexaData::MaxChannels <= TVexaData::ImageSize);

// Codes of the packed bit fields, indexed by code.
constexpr const char* kFecByCode[8] = {"auto", "1/2", "2/3", "3/4", "5/6", "7/8", "auto", "auto"};
constexpr char kDiseqcByCode[8] = {'n', 'a', 'n', 'b', 'n', 'c', 'n', 'd'};
constexpr char kAntennaTypeByCode[4] = {'f', 'd', 'a', 'f'};
// Two-bit switch codes: 0 "n", 1 the off value, 3 the on value (2 is unused).
constexpr const char* kToneByCode[4] = {"n", "0", "n", "22"};
constexpr const char* kVolt012ByCode[4] = {"n", "0", "n", "12"};
constexpr const char* kVolt1418ByCode[4] = {"n", "14", "n", "18"};

std::uint16_t Get16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void Put16(std::uint8_t* p, std::uint32_t value)
{
    p[0] = static_cast<std::uint8_t>(value & 0xFF);
    p[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// Characters up to the first zero byte, at most Max of them.
std::string_view GetName(const std::uint8_t* p, std::size_t max)
{
    const auto* chars = reinterpret_cast<const char*>(p);
    return {chars, static_cast<std::size_t>(std::find(chars, chars + max, '\0') - chars)};
}

template <std::size_t N>
void PutName(std::uint8_t* p, const ShortString<N>& name)
{
    std::memcpy(p, name.view().data(), name.size()); // the zero byte is already there
}

template <std::size_t N>
std::uint8_t SwitchCode(const ShortString<N>& value, std::string_view off, std::string_view on)
{
    if (value == off)
        return 1;
    if (value == on)
        return 3;
    return 0; // "n" and anything unknown
}

} // namespace

bool TVexaData::LoadFromImage(std::span<const std::uint8_t> image)
{
    Clear();
    if (image.size() < ImageSize)
        return false;
    const std::uint8_t* img = image.data();
    if (std::memcmp(img, kSignature.data(), kSignature.size()) != 0)
        return false;

    const int antCount = img[11];
    const int satCount = img[12];
    const int tpCount = Get16(img + 16);
    const int chanCount = Get16(img + 20);
    // A count beyond a table's room would read the next table as entries.
    if (satCount > MaxSatelites || tpCount > MaxTransponders || antCount > MaxAntenas || chanCount > MaxChannels)
        return false;

    for (int i = 0; i < satCount; ++i) {
        const std::uint8_t* e = img + kSatTable + kSatSize * static_cast<std::size_t>(i);
        TSateliteRec* s = Satelites.New();
        s->LnbLow = Get16(e);
        s->LnbHigh = Get16(e + 2);
        const std::uint16_t angle = Get16(e + 4);
        s->Angle = angle & 0x7FFF;
        s->EastWest = (angle & 0x8000) ? 'w' : 'e';
        s->LnbType = e[8] & 1;
        s->Diseqc12 = (e[8] >> 2) & 1;
        s->AntennaOffset = static_cast<int>(e[9]) - 90;
        s->Name = GetName(e + 10, 17);
    }
    for (int i = 0; i < tpCount; ++i) {
        const std::uint8_t* e = img + kTpTable + kTpSize * static_cast<std::size_t>(i);
        TTransponderRec* t = Transponders.New();
        t->Frequency = Get16(e);
        t->Symbol = Get16(e + 2);
        const std::uint8_t flags = e[4];
        t->Polar = (flags & 0x01) ? 'h' : 'v';
        t->Tone22K = (flags & 0x02) ? "22" : "0";
        t->Volt1418 = (flags & 0x04) ? "18" : "14";
        t->Volt012 = (flags & 0x08) ? "12" : "0";
        t->Fec = kFecByCode[(flags >> 4) & 7];
        t->Satelite = Satelites.Get(e[6]);
    }
    for (int i = 0; i < antCount; ++i) {
        const std::uint8_t* e = img + kAntTable + kAntSize * static_cast<std::size_t>(i);
        TAntenaRec* a = Antenas.New();
        a->LnbLow = Get16(e);
        a->LnbHigh = Get16(e + 2);
        a->Universal = e[4] & 1;
        a->Diseqc = kDiseqcByCode[(e[4] >> 1) & 7];
        a->Tone22K = kToneByCode[(e[4] >> 6) & 3];
        a->Volt012 = kVolt012ByCode[e[5] & 3];
        a->Volt1418 = kVolt1418ByCode[(e[5] >> 2) & 3];
        a->Satelite = Satelites.Get(e[6]);
        a->AntennaType = kAntennaTypeByCode[(e[8] >> 2) & 3];
    }
    for (int i = 0; i < chanCount; ++i) {
        const std::uint8_t* e = img + kChanTable + kChanSize * static_cast<std::size_t>(i);
        TChannelRec* c = Channels.New();
        c->ServiceId = Get16(e);
        c->VideoPid = Get16(e + 2);
        c->AudioPid = Get16(e + 4);
        c->PcrPid = Get16(e + 6);
        const std::uint16_t tp = Get16(e + 8);
        c->Transponder = Transponders.Get(tp & 0x7FFF);
        c->Radio = (tp & 0x8000) ? 1 : 0;
        c->TxtPid = Get16(e + 10);
        c->Scramble = e[12] & 1;
        c->Favorite = (e[12] >> 1) & 1;
        c->Lock = (e[12] >> 2) & 1;
        c->Name = GetName(e + 14, 16);
        for (std::size_t k = 0; k < 8; ++k)
            c->Favorites[k] = (e[31] >> k) & 1;
        c->Satelite = Satelites.Get(e[34]);
        c->Antena = Antenas.Get(e[35]);
    }
    ListNumber = Get16(img + 24);
    Valid = true;
    return true;
}

bool TVexaData::LoadFromImage(std::istream& stream)
{
    std::vector<std::uint8_t> image(ImageSize);
    try {
        stream.seekg(0);
        stream.read(reinterpret_cast<char*>(image.data()), static_cast<std::streamsize>(ImageSize));
        image.resize(static_cast<std::size_t>(std::max<std::streamsize>(stream.gcount(), 0)));
    } catch (const std::ios_base::failure&) {
        image.clear();
    }
    return LoadFromImage(std::span<const std::uint8_t>(image));
}

bool TVexaData::SaveToImage(std::span<std::uint8_t> image)
{
    if (image.size() < ImageSize || !WithinCapacity())
        return false;

    std::uint8_t* img = image.data();
    std::fill_n(img, ImageSize, std::uint8_t{0});
    std::memcpy(img, kSignature.data(), kSignature.size());
    img[8] = 1;
    img[10] = 1;
    img[11] = static_cast<std::uint8_t>(Antenas.Count());
    img[12] = static_cast<std::uint8_t>(Satelites.Count());
    Put16(img + 16, static_cast<std::uint32_t>(Transponders.Count()));
    Put16(img + 20, static_cast<std::uint32_t>(Channels.Count()));
    Put16(img + 24, ListNumber);

    const auto satPos = PositionMap<TSatelites, TSateliteRec>(Satelites);
    const auto tpPos = PositionMap<TTransponders, TTransponderRec>(Transponders);
    const auto antPos = PositionMap<TAntenas, TAntenaRec>(Antenas);
    // A missing reference is index -1, kept in the field's width: 255 in a
    // byte, 0xFFFF in the channel's transponder word.
    auto byteIndex = [](int position) { return static_cast<std::uint8_t>(position & 0xFF); };

    for (int i = 0; i < Satelites.Count(); ++i) {
        const TSateliteRec& s = *Satelites.Get(i);
        std::uint8_t* e = img + kSatTable + kSatSize * static_cast<std::size_t>(i);
        Put16(e, s.LnbLow);
        Put16(e + 2, s.LnbHigh);
        Put16(e + 4, (s.Angle & 0x7FFFu) | (s.EastWest == 'w' ? 0x8000u : 0u));
        e[8] = static_cast<std::uint8_t>((s.LnbType & 1) | (s.Diseqc12 ? 4 : 0));
        // One byte, as the receiver keeps it; unsigned arithmetic cannot overflow.
        e[9] = static_cast<std::uint8_t>((static_cast<std::uint32_t>(s.AntennaOffset) + 90u) & 0xFF);
        PutName(e + 10, s.Name);
    }
    for (int i = 0; i < Transponders.Count(); ++i) {
        const TTransponderRec& t = *Transponders.Get(i);
        std::uint8_t* e = img + kTpTable + kTpSize * static_cast<std::size_t>(i);
        Put16(e, t.Frequency);
        Put16(e + 2, t.Symbol);
        std::uint8_t fec = 0;
        for (std::uint8_t code = 1; code <= 5; ++code)
            if (t.Fec == kFecByCode[code])
                fec = code;
        e[4] = static_cast<std::uint8_t>((t.Polar == 'h' ? 0x01 : 0) | (t.Tone22K == "22" ? 0x02 : 0)
                                         | (t.Volt1418 == "18" ? 0x04 : 0) | (t.Volt012 == "12" ? 0x08 : 0)
                                         | (fec << 4));
        e[6] = byteIndex(PositionOf(satPos, t.Satelite));
        e[8] = 0xFF;
    }
    for (int i = 0; i < Antenas.Count(); ++i) {
        const TAntenaRec& a = *Antenas.Get(i);
        std::uint8_t* e = img + kAntTable + kAntSize * static_cast<std::size_t>(i);
        Put16(e, a.LnbLow);
        Put16(e + 2, a.LnbHigh);
        std::uint8_t diseqc = 0;
        for (std::uint8_t code : {1, 3, 5, 7})
            if (a.Diseqc == kDiseqcByCode[code])
                diseqc = code;
        e[4] = static_cast<std::uint8_t>((a.Universal == 1 ? 1 : 0) | (diseqc << 1)
                                         | (SwitchCode(a.Tone22K, "0", "22") << 6));
        e[5] = static_cast<std::uint8_t>(SwitchCode(a.Volt012, "0", "12") | (SwitchCode(a.Volt1418, "14", "18") << 2));
        e[6] = byteIndex(PositionOf(satPos, a.Satelite));
        const std::uint8_t type = a.AntennaType == 'd' ? 1 : a.AntennaType == 'a' ? 2 : 0;
        e[8] = static_cast<std::uint8_t>(type << 2);
    }
    for (int i = 0; i < Channels.Count(); ++i) {
        TChannelRec& c = *Channels.Get(i);
        std::uint8_t* e = img + kChanTable + kChanSize * static_cast<std::size_t>(i);
        c.Favorite = c.Favorites[0] ? 1 : 0;
        Put16(e, c.ServiceId);
        Put16(e + 2, c.VideoPid);
        Put16(e + 4, c.AudioPid);
        Put16(e + 6, c.PcrPid);
        const std::uint32_t tp = static_cast<std::uint32_t>(PositionOf(tpPos, c.Transponder)) & 0xFFFF;
        Put16(e + 8, tp | (c.Radio ? 0x8000u : 0u));
        Put16(e + 10, c.TxtPid);
        e[12] = static_cast<std::uint8_t>((c.Scramble ? 1 : 0) | (c.Favorite ? 2 : 0) | (c.Lock ? 4 : 0) | 0x10);
        PutName(e + 14, c.Name);
        std::uint8_t favorites = 0;
        for (std::size_t k = 0; k < 8; ++k)
            if (c.Favorites[k])
                favorites = static_cast<std::uint8_t>(favorites | (1u << k));
        e[31] = favorites;
        e[34] = byteIndex(PositionOf(satPos, c.Satelite));
        e[35] = byteIndex(PositionOf(antPos, c.Antena));
    }
    return true;
}

bool TVexaData::SaveToImage(std::vector<std::uint8_t>& image)
{
    std::vector<std::uint8_t> packed(ImageSize);
    if (!SaveToImage(std::span<std::uint8_t>(packed)))
        return false;
    image = std::move(packed);
    return true;
}

bool TVexaData::SaveToImage(std::ostream& stream)
{
    std::vector<std::uint8_t> packed(ImageSize);
    if (!SaveToImage(std::span<std::uint8_t>(packed)))
        return false;
    try {
        stream.seekp(0);
        stream.write(reinterpret_cast<const char*>(packed.data()), static_cast<std::streamsize>(packed.size()));
        stream.flush();
        return static_cast<bool>(stream);
    } catch (const std::ios_base::failure&) {
        return false;
    }
}
