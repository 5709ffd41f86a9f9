#include "windows/RecordCombos.h"

#include "database/TVexaData.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"

#include <string>

namespace {

// Codes are ASCII letters; only those change case.
char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string Letter(char c)
{
    return c ? std::string(1, Upper(c)) : std::string();
}

template <class T>
void SelectRecord(QComboBox* combo, const T* rec)
{
    combo->setCurrentIndex(-1);
    combo->setCurrentIndex(ComboIndexOf<T>(combo, rec));
}

} // namespace

void LoadSatCombo(QComboBox* Combo, TVexaData& Data, TSateliteRec* Satellite)
{
    for (int i = 0; i < Data.Satelites.Count(); ++i) {
        TSateliteRec* satelite = Data.Satelites.Get(i);
        const QString name = ToQt(satelite->Name.str());
        // After every item whose name does not come later, so equal names
        // keep their list order.
        int at = Combo->count();
        while (at > 0 && QString::compare(Combo->itemText(at - 1), name, Qt::CaseInsensitive) > 0)
            --at;
        Combo->insertItem(at, name, QVariant::fromValue(TRef<TSateliteRec>(satelite)));
    }
    SelectRecord<TSateliteRec>(Combo, Satellite);
}

void LoadTpCombo(QComboBox* Combo, TVexaData& Data, TTransponderRec* Transponder, TSateliteRec* Satellite)
{
    if (!Satellite) {
        SelectRecord<TTransponderRec>(Combo, Transponder);
        return;
    }
    for (int i = 0; i < Data.Transponders.Count(); ++i) {
        TTransponderRec* tp = Data.Transponders.Get(i);
        // A transponder whose satellite is missing belongs to the default one.
        if (&Data.Satelites.Resolve(tp->Satelite) != Satellite)
            continue;
        const std::string text = std::to_string(tp->Frequency) + Letter(tp->Polar) + " (Symbol "
            + std::to_string(tp->Symbol) + ")";
        Combo->addItem(ToQt(text), QVariant::fromValue(TRef<TTransponderRec>(tp)));
    }
    SelectRecord<TTransponderRec>(Combo, Transponder);
}

void LoadAntCombo(QComboBox* Combo, TVexaData& Data, TAntenaRec* Antenna)
{
    for (int i = 0; i < Data.Antenas.Count(); ++i) {
        TAntenaRec* antena = Data.Antenas.Get(i);
        const std::string text = std::to_string(i + 1) + "- " + LangText(1104) + ":" + Letter(antena->Diseqc)
            + " (" + Data.Satelites.Resolve(antena->Satelite).Name.str() + ")";
        Combo->addItem(ToQt(text), QVariant::fromValue(TRef<TAntenaRec>(antena)));
    }
    SelectRecord<TAntenaRec>(Combo, Antenna);
}
