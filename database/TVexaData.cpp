#include "database/TVexaData.h"

#include <unordered_map>

namespace {

// Content comparison, each record's references resolved in its own set.
bool SameSatelite(const TSateliteRec& a, const TSateliteRec& b)
{
    return a.LnbLow == b.LnbLow && a.LnbHigh == b.LnbHigh && a.Angle == b.Angle && a.EastWest == b.EastWest
        && a.Name == b.Name && a.Diseqc12 == b.Diseqc12 && a.AntennaOffset == b.AntennaOffset
        && a.LnbType == b.LnbType;
}

bool SameTransponder(const TVexaData& sa, const TTransponderRec& a, const TVexaData& sb, const TTransponderRec& b)
{
    return SameSatelite(sa.Satelites.Resolve(a.Satelite), sb.Satelites.Resolve(b.Satelite))
        && a.Frequency == b.Frequency && a.Symbol == b.Symbol && a.Polar == b.Polar && a.Volt1418 == b.Volt1418
        && a.Tone22K == b.Tone22K && a.Volt012 == b.Volt012 && a.Fec == b.Fec;
}

bool SameAntena(const TVexaData& sa, const TAntenaRec& a, const TVexaData& sb, const TAntenaRec& b)
{
    return SameSatelite(sa.Satelites.Resolve(a.Satelite), sb.Satelites.Resolve(b.Satelite))
        && a.LnbLow == b.LnbLow && a.LnbHigh == b.LnbHigh && a.Universal == b.Universal && a.Diseqc == b.Diseqc
        && a.Volt012 == b.Volt012 && a.Tone22K == b.Tone22K && a.AntennaType == b.AntennaType
        && a.Volt1418 == b.Volt1418;
}

bool SameChannel(const TVexaData& sa, const TChannelRec& a, const TVexaData& sb, const TChannelRec& b)
{
    return SameSatelite(sa.Satelites.Resolve(a.Satelite), sb.Satelites.Resolve(b.Satelite))
        && SameAntena(sa, sa.Antenas.Resolve(a.Antena), sb, sb.Antenas.Resolve(b.Antena))
        && SameTransponder(sa, sa.Transponders.Resolve(a.Transponder), sb, sb.Transponders.Resolve(b.Transponder))
        && a.Name == b.Name && a.ServiceId == b.ServiceId && a.VideoPid == b.VideoPid && a.AudioPid == b.AudioPid
        && a.PcrPid == b.PcrPid && a.TxtPid == b.TxtPid && a.Scramble == b.Scramble && a.Favorite == b.Favorite
        && a.Lock == b.Lock && a.Radio == b.Radio && a.Favorites == b.Favorites;
}

// Source record -> the copy's record at the same position.
template <class T, class SourceList, class TargetList>
std::unordered_map<const T*, T*> CopyMap(const SourceList& source, const TargetList& target)
{
    std::unordered_map<const T*, T*> map;
    map.reserve(static_cast<std::size_t>(source.Count()));
    for (int i = 0; i < source.Count(); ++i)
        map.emplace(source.Get(i), target.Get(i));
    return map;
}

// The copy's counterpart of a source reference; the copy's default when the
// source list does not hold the record.
template <class T>
T* Relink(const std::unordered_map<const T*, T*>& map, const TRef<T>& ref, T* fallback)
{
    auto it = map.find(ref.Get());
    return it != map.end() ? it->second : fallback;
}

} // namespace

TVexaData::TVexaData() : Transponders(Satelites), Antenas(Satelites), Channels(Satelites, Transponders, Antenas)
{
    Clear();
}

void TVexaData::Clear()
{
    Satelites.Clear();
    Transponders.Clear();
    Antenas.Clear();
    Channels.Clear();
    ListNumber = 0;
    Valid = false;
}

bool TVexaData::WithinCapacity() const
{
    return Satelites.Count() <= MaxSatelites && Transponders.Count() <= MaxTransponders
        && Antenas.Count() <= MaxAntenas && Channels.Count() <= MaxChannels;
}

TTransponderRec* TVexaData::GetTpOfSat(int n, const TSateliteRec* satelite) const
{
    if (n < 1)
        return Transponders.Default();
    for (int i = 0; i < Transponders.Count(); ++i) {
        TTransponderRec* tp = Transponders.Get(i);
        if (&Satelites.Resolve(tp->Satelite) == satelite && --n == 0)
            return tp;
    }
    return Transponders.Default();
}

int TVexaData::TpNumber(const TTransponderRec* transponder) const
{
    if (Transponders.IndexOf(transponder) < 0)
        return 0;
    const TSateliteRec* satelite = &Satelites.Resolve(transponder->Satelite);
    int number = 0;
    for (int i = 0; i < Transponders.Count(); ++i) {
        const TTransponderRec* tp = Transponders.Get(i);
        if (&Satelites.Resolve(tp->Satelite) == satelite)
            ++number;
        if (tp == transponder)
            break;
    }
    return number;
}

void TVexaData::Assign(const TVexaData& source)
{
    if (&source == this)
        return; // clearing first would lose the very records to copy

    Clear();
    for (int i = 0; i < source.Satelites.Count(); ++i)
        *Satelites.New() = *source.Satelites.Get(i);
    const auto satMap = CopyMap<TSateliteRec>(source.Satelites, Satelites);

    for (int i = 0; i < source.Transponders.Count(); ++i) {
        const TTransponderRec& from = *source.Transponders.Get(i);
        TTransponderRec* to = Transponders.New();
        *to = from;
        to->Satelite = Relink(satMap, from.Satelite, Satelites.Default());
    }
    const auto tpMap = CopyMap<TTransponderRec>(source.Transponders, Transponders);

    for (int i = 0; i < source.Antenas.Count(); ++i) {
        const TAntenaRec& from = *source.Antenas.Get(i);
        TAntenaRec* to = Antenas.New();
        *to = from;
        to->Satelite = Relink(satMap, from.Satelite, Satelites.Default());
    }
    const auto antMap = CopyMap<TAntenaRec>(source.Antenas, Antenas);

    for (int i = 0; i < source.Channels.Count(); ++i) {
        const TChannelRec& from = *source.Channels.Get(i);
        TChannelRec* to = Channels.New();
        *to = from;
        to->Satelite = Relink(satMap, from.Satelite, Satelites.Default());
        to->Antena = Relink(antMap, from.Antena, Antenas.Default());
        to->Transponder = Relink(tpMap, from.Transponder, Transponders.Default());
    }

    ListNumber = source.ListNumber;
    Valid = source.Valid;
}

bool TVexaData::SameRecord(const TSateliteRec& a, const TSateliteRec& b) const
{
    return SameSatelite(a, b);
}

bool TVexaData::SameRecord(const TTransponderRec& a, const TTransponderRec& b) const
{
    return SameTransponder(*this, a, *this, b);
}

bool TVexaData::SameRecord(const TAntenaRec& a, const TAntenaRec& b) const
{
    return SameAntena(*this, a, *this, b);
}

bool TVexaData::SameRecord(const TChannelRec& a, const TChannelRec& b) const
{
    return SameChannel(*this, a, *this, b);
}

bool TVexaData::Equals(const TVexaData& other) const
{
    if (ListNumber != other.ListNumber || Valid != other.Valid)
        return false;
    if (Satelites.Count() != other.Satelites.Count())
        return false;
    for (int i = 0; i < Satelites.Count(); ++i)
        if (!SameSatelite(*Satelites.Get(i), *other.Satelites.Get(i)))
            return false;
    if (Transponders.Count() != other.Transponders.Count())
        return false;
    for (int i = 0; i < Transponders.Count(); ++i)
        if (!SameTransponder(*this, *Transponders.Get(i), other, *other.Transponders.Get(i)))
            return false;
    if (Antenas.Count() != other.Antenas.Count())
        return false;
    for (int i = 0; i < Antenas.Count(); ++i)
        if (!SameAntena(*this, *Antenas.Get(i), other, *other.Antenas.Get(i)))
            return false;
    if (Channels.Count() != other.Channels.Count())
        return false;
    for (int i = 0; i < Channels.Count(); ++i)
        if (!SameChannel(*this, *Channels.Get(i), other, *other.Channels.Get(i)))
            return false;
    return true;
}
