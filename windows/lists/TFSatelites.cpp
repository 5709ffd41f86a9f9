#include "windows/lists/TFSatelites.h"

#include "database/TVexaData.h"
#include "foundation/TLang.h"
#include "windows/AppIcons.h"
#include "windows/editors/TFModSatelite.h"

#include <unordered_set>

namespace {

const TSateliteRec& Sat(const TVexaData& data, int row) { return *data.Satelites.Get(row); }

// Tenths of a degree as "19.2": always a point, whatever the desktop's
// decimal separator.
std::string Degrees(std::uint16_t tenths)
{
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

// The name and the DiSEqC column are measured over the list's own cells.
std::vector<RecordTableModel::Column> Columns()
{
    using D = const TVexaData&;
    return {
        {2401, 100, [](D d, int r) { return Sat(d, r).Name.str(); }},
        {2402, 48, [](D d, int r) { return Degrees(Sat(d, r).Angle); }, [](D) { return DigitSamples(4, ".0"); }},
        {2403, 69, [](D d, int r) { return LangText(Sat(d, r).EastWest == 'w' ? 2422 : 2421); },
         [](D) { return LangTexts({2421, 2422}); }},
        {2404, 60, [](D d, int r) { return LangText(Sat(d, r).LnbType == 1 ? 2424 : 2423); },
         [](D) { return LangTexts({2423, 2424}); }},
        {2405, 60, [](D d, int r) { return std::to_string(Sat(d, r).LnbLow); }, [](D) { return DigitSamples(5); }},
        {2406, 60, [](D d, int r) { return std::to_string(Sat(d, r).LnbHigh); }, [](D) { return DigitSamples(5); }},
        {2407, 84, [](D d, int r) {
             const TSateliteRec& s = Sat(d, r);
             return s.Diseqc12 ? LangText(2425) + " / " + std::to_string(s.AntennaOffset) : LangText(2426);
         }},
    };
}

} // namespace

TFSatelites::TFSatelites(QObject* parent)
    : RecordPresenter(parent, {2410, 2411, 2412, 2413, 2416, 2417, 2415, 2419, 2420}, Columns(),
                      [](const TVexaData& d) { return d.Satelites.Count(); }, AppIcons::Option(2))
{
    setObjectName(QStringLiteral("FSatelites"));
    SetEditor([this](TVexaData& data, int index, int& recIndex) {
        TFModSatelite editor(EditorParent());
        const bool saved = editor.Execute(data, index);
        recIndex = editor.RecIndex;
        return saved;
    });
}

void TFSatelites::BorraSatelite(int index)
{
    const TSateliteRec* satelite = Data->Satelites.Get(index);
    std::unordered_set<const TAntenaRec*> antenas;
    for (int i = 0; i < Data->Antenas.Count(); ++i)
        if (Data->Antenas.Get(i)->Satelite.Get() == satelite)
            antenas.insert(Data->Antenas.Get(i));
    std::unordered_set<const TTransponderRec*> transponders;
    for (int i = 0; i < Data->Transponders.Count(); ++i)
        if (Data->Transponders.Get(i)->Satelite.Get() == satelite)
            transponders.insert(Data->Transponders.Get(i));

    // A channel of another satellite may sit on one of this satellite's
    // antennas or transponders: it goes with them, or it would be left
    // pointing at records that are gone. The channels go first, while the
    // references to the records about to go can still be followed.
    for (int i = Data->Channels.Count() - 1; i >= 0; --i) {
        const TChannelRec& channel = *Data->Channels.Get(i);
        if (channel.Satelite.Get() == satelite || antenas.contains(channel.Antena.Get()) ||
            transponders.contains(channel.Transponder.Get()))
            Data->Channels.Delete(i);
    }
    for (int i = Data->Antenas.Count() - 1; i >= 0; --i)
        if (antenas.contains(Data->Antenas.Get(i)))
            Data->Antenas.Delete(i);
    for (int i = Data->Transponders.Count() - 1; i >= 0; --i)
        if (transponders.contains(Data->Transponders.Get(i)))
            Data->Transponders.Delete(i);
    Data->Satelites.Delete(index);
}
