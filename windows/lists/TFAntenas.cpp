#include "windows/lists/TFAntenas.h"

#include "database/TVexaData.h"
#include "foundation/TLang.h"
#include "windows/AppIcons.h"
#include "windows/NormalText.h"
#include "windows/editors/TFModAntena.h"

namespace {

const TAntenaRec& Ant(const TVexaData& data, int row) { return *data.Antenas.Get(row); }

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

std::string Port(char letter)
{
    return letter ? std::string(1, Upper(letter)) : std::string();
}

std::string Positioner(char type)
{
    switch (Upper(type)) {
    case 'D': return "DiSEqC";
    case 'A': return "Usals";
    default: return LangText(1821);
    }
}

// The satellite and port columns are measured over the list's own cells.
std::vector<RecordTableModel::Column> Columns()
{
    using D = const TVexaData&;
    return {
        {1801, 100, [](D d, int r) { return d.Satelites.Resolve(Ant(d, r).Satelite).Name.str(); }},
        {1802, 50, [](D d, int r) { return Port(Ant(d, r).Diseqc); }},
        {1803, 70, [](D d, int r) { return NormalText(Ant(d, r).Tone22K.str()); }, [](D) { return NormalTextSamples(); }},
        {1804, 60, [](D d, int r) { return LangText(Ant(d, r).Universal ? 1823 : 1822); },
         [](D) { return LangTexts({1822, 1823}); }},
        {1805, 40, [](D d, int r) { return Positioner(Ant(d, r).AntennaType); },
         [](D) { return LangTexts({1821}) << QStringLiteral("DiSEqC") << QStringLiteral("Usals"); }},
        {1806, 65, [](D d, int r) { return NormalText(Ant(d, r).Volt012.str()); }, [](D) { return NormalTextSamples(); }},
        {1807, 65, [](D d, int r) { return NormalText(Ant(d, r).Volt1418.str()); }, [](D) { return NormalTextSamples(); }},
        {1808, 60, [](D d, int r) { return std::to_string(Ant(d, r).LnbLow); }, [](D) { return DigitSamples(5); }},
        {1809, 60, [](D d, int r) { return std::to_string(Ant(d, r).LnbHigh); }, [](D) { return DigitSamples(5); }},
    };
}

} // namespace

TFAntenas::TFAntenas(QObject* parent)
    : RecordPresenter(parent, {1810, 1811, 1812, 1813, 1816, 1817, 1815, 1819, 1820}, Columns(),
                      [](const TVexaData& d) { return d.Antenas.Count(); }, AppIcons::Option(3))
{
    setObjectName(QStringLiteral("FAntenas"));
    SetEditor([this](TVexaData& data, int index, int& recIndex) {
        TFModAntena editor(EditorParent());
        const bool saved = editor.Execute(data, index, -1);
        recIndex = editor.RecIndex;
        return saved;
    });
}

void TFAntenas::BorraAntena(int index)
{
    const TAntenaRec* antena = Data->Antenas.Get(index);
    for (int i = Data->Channels.Count() - 1; i >= 0; --i)
        if (Data->Channels.Get(i)->Antena.Get() == antena)
            Data->Channels.Delete(i);
    Data->Antenas.Delete(index);
}
