#include "windows/lists/TFTransponders.h"

#include "database/TVexaData.h"
#include "windows/AppIcons.h"
#include "windows/NormalText.h"
#include "windows/editors/TFModTransponder.h"
#include "windows/lists/ChannelListModel.h"

namespace {

const TTransponderRec& Tp(const TVexaData& data, int row) { return *data.Transponders.Get(row); }

std::vector<RecordTableModel::Column> Columns()
{
    using D = const TVexaData&;
    return {
        {2301, 100, [](D d, int r) { return d.Satelites.Resolve(Tp(d, r).Satelite).Name.str(); },
         [](D d) { return SateliteNames(d); }},
        {2302, 75, [](D d, int r) { return TransponderText(Tp(d, r)); },
         [](D) { return DigitSamples(5, QStringLiteral("H")) + DigitSamples(5, QStringLiteral("V")); }},
        {2303, 60, [](D d, int r) { return std::to_string(Tp(d, r).Symbol); }, [](D) { return DigitSamples(5); }},
        {2304, 46, [](D d, int r) { return Tp(d, r).Fec.str(); },
         [](D) { return QStringList{"1/2", "2/3", "3/4", "5/6", "7/8", "auto"}; }},
        {2305, 60, [](D d, int r) { return NormalText(Tp(d, r).Tone22K.str()); }, [](D) { return NormalTextSamples(); }},
        {2306, 70, [](D d, int r) { return NormalText(Tp(d, r).Volt012.str()); }, [](D) { return NormalTextSamples(); }},
        {2307, 70, [](D d, int r) { return NormalText(Tp(d, r).Volt1418.str()); }, [](D) { return NormalTextSamples(); }},
    };
}

} // namespace

TFTransponders::TFTransponders(QObject* parent)
    : RecordPresenter(parent, {2310, 2311, 2312, 2313, 2316, 2317, 2315, 2319, 2320}, Columns(),
                      [](const TVexaData& d) { return d.Transponders.Count(); }, AppIcons::Option(4))
{
    setObjectName(QStringLiteral("FTransponders"));
    SetEditor([this](TVexaData& data, int index, int& recIndex) {
        TFModTransponder editor(EditorParent());
        const bool saved = editor.Execute(data, index, -1);
        recIndex = editor.RecIndex;
        return saved;
    });
}

void TFTransponders::BorraTransponder(int index)
{
    const TTransponderRec* transponder = Data->Transponders.Get(index);
    for (int i = Data->Channels.Count() - 1; i >= 0; --i)
        if (Data->Channels.Get(i)->Transponder.Get() == transponder)
            Data->Channels.Delete(i);
    Data->Transponders.Delete(index);
}
