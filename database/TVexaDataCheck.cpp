// Checking references, repairing them by deletion, and removing the records
// that no channel uses.
#include "database/TVexaData.h"

#include <string>
#include <unordered_set>
#include <vector>

#include "foundation/TLang.h"

namespace {

char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// "12663H": how the messages name a transponder.
std::string TransponderText(const TTransponderRec& tp)
{
    return std::to_string(tp.Frequency) + AsciiUpper(tp.Polar);
}

// The records of one kind that some channel refers to. Built once per walk:
// deleting unused records never changes which records are used.
template <class T>
std::unordered_set<const T*> UsedBy(const TChannels& channels, TRef<T> TChannelRec::*reference)
{
    std::unordered_set<const T*> used;
    for (int i = 0; i < channels.Count(); ++i)
        if (const T* record = (channels.Get(i)->*reference).Get())
            used.insert(record);
    return used;
}

template <class T, class List>
T* LastUnused(const List& list, const TChannels& channels, TRef<T> TChannelRec::*reference)
{
    const auto used = UsedBy(channels, reference);
    for (int i = list.Count() - 1; i >= 0; --i)
        if (!used.contains(list.Get(i)))
            return list.Get(i);
    return nullptr;
}

template <class T, class List>
void DeleteUnusedOf(List& list, const TChannels& channels, TRef<T> TChannelRec::*reference)
{
    const auto used = UsedBy(channels, reference);
    for (int i = list.Count() - 1; i >= 0; --i)
        if (!used.contains(list.Get(i)))
            list.Delete(i);
}

} // namespace

bool TVexaData::Check(std::vector<std::string>* lines) const
{
    std::vector<std::string> own;
    std::vector<std::string>& out = lines ? *lines : own;
    out.clear();

    if (!Valid)
        out.push_back(LangText(1402));
    for (int i = 0; i < Transponders.Count(); ++i) {
        const TTransponderRec& tp = *Transponders.Get(i);
        if (Satelites.IndexOf(tp.Satelite) < 0)
            out.push_back(LangText(1403) + " " + TransponderText(tp));
    }
    for (int i = 0; i < Antenas.Count(); ++i)
        if (Satelites.IndexOf(Antenas.Get(i)->Satelite) < 0)
            out.push_back(LangText(1404) + " " + std::to_string(i + 1));
    for (int i = 0; i < Channels.Count(); ++i) {
        const TChannelRec& ch = *Channels.Get(i);
        const std::string name = ch.Name.str();
        if (Satelites.IndexOf(ch.Satelite) < 0)
            out.push_back(LangText(1405) + " " + name);
        if (Antenas.IndexOf(ch.Antena) < 0)
            out.push_back(LangText(1406) + " " + name);
        if (Transponders.IndexOf(ch.Transponder) < 0)
            out.push_back(LangText(1407) + " " + name);
    }
    return !out.empty();
}

bool TVexaData::Repair(std::vector<std::string>& lines)
{
    lines.clear();
    // Backwards, so that a deletion never shifts a record still to be visited.
    for (int i = Transponders.Count() - 1; i >= 0; --i) {
        const TTransponderRec& tp = *Transponders.Get(i);
        if (Satelites.IndexOf(tp.Satelite) < 0) {
            lines.push_back(LangText(1408) + " " + TransponderText(tp));
            Transponders.Delete(i);
        }
    }
    for (int i = Antenas.Count() - 1; i >= 0; --i) {
        if (Satelites.IndexOf(Antenas.Get(i)->Satelite) < 0) {
            lines.push_back(LangText(1409) + " " + std::to_string(i + 1) + " " + LangText(1410));
            Antenas.Delete(i);
        }
    }
    // Channels last: those on a transponder or antenna just deleted go too.
    for (int i = Channels.Count() - 1; i >= 0; --i) {
        const TChannelRec& ch = *Channels.Get(i);
        if (Satelites.IndexOf(ch.Satelite) < 0 || Antenas.IndexOf(ch.Antena) < 0
            || Transponders.IndexOf(ch.Transponder) < 0) {
            lines.push_back(LangText(1411) + " " + ch.Name.str() + " " + LangText(1412));
            Channels.Delete(i);
        }
    }
    return !lines.empty();
}

void TVexaData::DeleteUnused()
{
    DeleteUnusedOf(Satelites, Channels, &TChannelRec::Satelite);
    DeleteUnusedOf(Transponders, Channels, &TChannelRec::Transponder);
    DeleteUnusedOf(Antenas, Channels, &TChannelRec::Antena);
}

TSateliteRec* TVexaData::UnusedSatelite() const
{
    return LastUnused(Satelites, Channels, &TChannelRec::Satelite);
}

TAntenaRec* TVexaData::UnusedAntena() const
{
    return LastUnused(Antenas, Channels, &TChannelRec::Antena);
}

TTransponderRec* TVexaData::UnusedTransponder() const
{
    return LastUnused(Transponders, Channels, &TChannelRec::Transponder);
}
