#include "import/UpdateRows.h"

#include "database/TVexaData.h"
#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/WaitBox.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_set>

namespace {

// An orbital position as the matching sees it: tenths of a degree and the
// east/west letter.
struct Position {
    std::uint16_t Angle = 0;
    char EastWest = 0;
    bool operator==(const Position&) const = default;
};

Position PositionOf(const TVexaData& data, const TChannelRec& channel)
{
    const TSateliteRec& satelite = data.Satelites.Resolve(channel.Satelite);
    return {satelite.Angle, satelite.EastWest};
}

// A PID the incoming channel carries (see the header on PID 0).
bool PidDiffers(std::uint16_t incoming, std::uint16_t current)
{
    return incoming != 0 && incoming != current;
}

bool Differs(const TVexaData& currentData, const TChannelRec& current, const TVexaData& incomingData,
             const TChannelRec& incoming)
{
    const TTransponderRec& a = currentData.Transponders.Resolve(current.Transponder);
    const TTransponderRec& b = incomingData.Transponders.Resolve(incoming.Transponder);
    return a.Frequency != b.Frequency || a.Symbol != b.Symbol || a.Polar != b.Polar
        || current.ServiceId != incoming.ServiceId || PidDiffers(incoming.VideoPid, current.VideoPid)
        || PidDiffers(incoming.AudioPid, current.AudioPid);
}

void CopyPid(std::uint16_t& target, std::uint16_t source)
{
    if (source != 0)
        target = source;
}

} // namespace

UpdateRows::UpdateRows(TVexaData& current, const TVexaData& incoming)
    : CurrentData(&current)
    , IncomingData(&incoming)
{
}

bool UpdateRows::Build()
{
    const TVexaData& current = *CurrentData;
    const TVexaData& incoming = *IncomingData;
    const int incomingCount = incoming.Channels.Count();

    auto box = CreateWaitBox();
    box->ShowLabel(LangText(3007));
    box->SetMax(std::max(incomingCount - 1, 0));
    box->Start();
    Rows.clear();

    // The positions of the current channels, resolved once rather than once
    // per incoming channel: a full list against a full listing is millions
    // of comparisons.
    std::vector<Position> positions;
    positions.reserve(static_cast<std::size_t>(current.Channels.Count()));
    for (int c = 0; c < current.Channels.Count(); ++c)
        positions.push_back(PositionOf(current, *current.Channels.Get(c)));
    std::unordered_set<const TChannelRec*> matched;

    for (int i = 0; i < incomingCount; ++i) {
        if (i % 5 == 0) {
            box->SetPosition(i);
            box->ProcessEvents();
            if (box->Cancelled()) {
                Rows.clear();
                return false;
            }
        }
        TChannelRec* in = incoming.Channels.Get(i);
        const Position where = PositionOf(incoming, *in);
        const std::string name = in->Name.str();

        // One walk serves both tests: the first same-named channel that
        // differs is the update's candidate; any same-named one rules out an
        // addition.
        bool sameNamed = false;
        TChannelRec* candidate = nullptr;
        for (int c = 0; c < current.Channels.Count(); ++c) {
            if (!(positions[static_cast<std::size_t>(c)] == where))
                continue;
            TChannelRec* cur = current.Channels.Get(c);
            if (!SameName(cur->Name.str(), name))
                continue;
            sameNamed = true;
            if (!UpdateTuned)
                break;
            if (Differs(current, *cur, incoming, *in)) {
                candidate = cur;
                break;
            }
        }
        // A channel already claimed by an earlier row keeps that row.
        if (candidate && matched.insert(candidate).second)
            Rows.push_back({in, ActionUpdate, candidate, true});
        if (CreateMissing && !sameNamed)
            Rows.push_back({in, ActionAdd, nullptr, true});
    }
    return true;
}

void UpdateRows::ToggleMark(int index)
{
    Row& row = Rows.at(static_cast<std::size_t>(index));
    row.Marked = !row.Marked;
}

void UpdateRows::MarkAll(bool marked)
{
    for (Row& row : Rows)
        row.Marked = marked;
}

void UpdateRows::SetIncoming(int index, TChannelRec* channel)
{
    if (channel)
        Rows.at(static_cast<std::size_t>(index)).Incoming = channel;
}

std::vector<TChannelRec*> UpdateRows::AlikeIncoming(const TChannelRec& matched) const
{
    std::vector<TChannelRec*> alike;
    const Position where = PositionOf(*CurrentData, matched);
    const std::string name = matched.Name.str();
    for (int i = 0; i < IncomingData->Channels.Count(); ++i) {
        TChannelRec* in = IncomingData->Channels.Get(i);
        if (PositionOf(*IncomingData, *in) == where && SameName(in->Name.str(), name))
            alike.push_back(in);
    }
    return alike;
}

bool UpdateRows::Apply()
{
    auto box = CreateWaitBox();
    box->ShowLabel(LangText(3020));
    box->Start();

    TVexaData work;
    work.Assign(*CurrentData);
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        if (i % 10 == 0) {
            box->SetMax(count);
            box->SetPosition(i);
        }
        box->ProcessEvents();
        if (box->Cancelled())
            return false;
        const Row& row = Rows[static_cast<std::size_t>(i)];
        if (!row.Marked)
            continue;
        if (row.Action == ActionUpdate) {
            // The copy holds the same channels in the same order.
            TChannelRec* target = work.Channels.Get(CurrentData->Channels.IndexOf(row.Matched));
            if (!target)
                continue;
            if (!FillChannelData(work, *target, false, *row.Incoming))
                return false;
        } else {
            if (work.Channels.Count() >= TVexaData::MaxChannels) {
                ShowError(WithCount(LangText(3021), TVexaData::MaxChannels));
                return false;
            }
            if (!FillChannelData(work, *work.Channels.New(), true, *row.Incoming))
                return false;
        }
    }
    box->FinSinDestruir();
    box.reset();
    CurrentData->Assign(work);
    Rows.clear();
    return true;
}

bool UpdateRows::FillChannelData(TVexaData& data, TChannelRec& target, bool newRecord,
                                 const TChannelRec& source) const
{
    if (newRecord) {
        target.Name = source.Name;
        target.Favorite = 0;
        target.Lock = 0;
        target.Favorites = {};
        target.Radio = source.Radio;
    }
    const TSateliteRec& sourceSatelite = IncomingData->Satelites.Resolve(source.Satelite);
    TSateliteRec* satelite =
        data.FindSatelite(sourceSatelite.Angle, sourceSatelite.EastWest, sourceSatelite.Name.str(), true);
    if (!satelite) {
        ShowError(LangText(3022));
        return false;
    }
    target.Satelite = satelite;
    const TTransponderRec& sourceTp = IncomingData->Transponders.Resolve(source.Transponder);
    TAntenaRec* antena = data.FindAntena(satelite, true);
    TTransponderRec* transponder =
        data.FindTransponder(satelite, sourceTp.Frequency, sourceTp.Polar, sourceTp.Symbol, true);
    if (!antena) {
        ShowError(LangText(3024));
        return false;
    }
    if (!transponder) {
        ShowError(LangText(3023));
        return false;
    }
    target.Antena = antena;
    target.Transponder = transponder;
    target.ServiceId = source.ServiceId;
    CopyPid(target.VideoPid, source.VideoPid);
    CopyPid(target.AudioPid, source.AudioPid);
    CopyPid(target.PcrPid, source.PcrPid);
    CopyPid(target.TxtPid, source.TxtPid);
    target.Scramble = source.Scramble;
    return true;
}
