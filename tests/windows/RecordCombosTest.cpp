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
    // Transponders: of the first satellite, of another, and the one to select.
    for (const auto& [s, frequency] : {std::pair{0, 11778}, {2, 10900}, {0, 12604}}) {
        TTransponderRec* t = data.Transponders.New();
        t->Satelite = sats[s], t->Frequency = std::uint16_t(frequency), t->Polar = 'h', t->Symbol = 27500;
    }
    TTransponderRec* tp2 = data.Transponders.Get(2);
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
         {"11778H (Symbol 27500)", "12604H (Symbol 27500)"}, "12604H (Symbol 27500)"},
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
