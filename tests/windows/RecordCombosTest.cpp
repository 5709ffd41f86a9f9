// The record combos: item texts, the item selected and the record carried.
#include "windows/RecordCombos.h"

#include "database/TVexaData.h"
#include "foundation/ui/QtText.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <functional>

TEST(RecordCombosTest, ItemTextsSelectionAndRecords)
{
    TVexaData data;
    TSateliteRec* sats[4];
    const char* names[4] = {"astra", "Hispasat", "Amazonas", "Badr"};
    for (int i = 0; i < 4; ++i)
        (sats[i] = data.Satelites.New())->Name = names[i];
    const auto tp = [&](TSateliteRec* s, int frequency, char polar, int symbol) {
        TTransponderRec* t = data.Transponders.New();
        t->Satelite = s, t->Frequency = std::uint16_t(frequency), t->Polar = polar, t->Symbol = std::uint16_t(symbol);
        return t;
    };
    tp(sats[0], 11778, 'v', 27500);
    tp(sats[2], 10900, 'h', 3000);
    TTransponderRec* tp2 = tp(sats[0], 12604, 'h', 22000);
    TAntenaRec* ants[3] = {data.Antenas.New(), data.Antenas.New(), data.Antenas.New()};
    ants[0]->Satelite = sats[0], ants[1]->Satelite = sats[2]; // the third has none
    ants[0]->Diseqc = 'n', ants[1]->Diseqc = 'a', ants[2]->Diseqc = 'b';
    const QString unknown = ToQt(data.Satelites.Default()->Name.str());

    const struct {
        const char* what;
        std::function<void(QComboBox*)> fill;
        QStringList texts;
        QString selected; // empty: no item selected
    } cases[] = {
        {"satellites in name order, case ignored, among the items already there",
         [&](QComboBox* c) { c->addItem("Eutelsat"), LoadSatCombo(c, data, sats[2]); },
         {"Amazonas", "astra", "Badr", "Eutelsat", "Hispasat"}, "Amazonas"},
        {"the default satellite selects nothing", [&](QComboBox* c) { LoadSatCombo(c, data, data.Satelites.Default()); },
         {"Amazonas", "astra", "Badr", "Hispasat"}, ""},
        {"transponders of one satellite in list order", [&](QComboBox* c) { LoadTpCombo(c, data, tp2, sats[0]); },
         {"11778V (Symbol 27500)", "12604H (Symbol 22000)"}, "12604H (Symbol 22000)"},
        {"a satellite without transponders", [&](QComboBox* c) { LoadTpCombo(c, data, tp2, sats[3]); }, {}, ""},
        {"antennas numbered from 1 with port and satellite", [&](QComboBox* c) { LoadAntCombo(c, data, ants[2]); },
         {"1- Puerto:N (astra)", "2- Puerto:A (Amazonas)", "3- Puerto:B (" + unknown + ")"},
         "3- Puerto:B (" + unknown + ")"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QComboBox combo;
        QSignalSpy activated(&combo, &QComboBox::activated);
        c.fill(&combo);
        QStringList texts;
        for (int i = 0; i < combo.count(); ++i)
            texts << combo.itemText(i);
        EXPECT_EQ(texts, c.texts);
        EXPECT_EQ(combo.currentText(), c.selected);
        EXPECT_TRUE(activated.isEmpty());
    }

    // A record deleted while the combo shows it reads as none.
    QComboBox combo;
    LoadSatCombo(&combo, data, sats[0]);
    EXPECT_EQ(ComboRecord<TSateliteRec>(&combo), sats[0]);
    data.Satelites.Delete(0);
    EXPECT_EQ(ComboRecord<TSateliteRec>(&combo), nullptr);
}
