// The antenna editor driven as a user would: stored codes, a preset satellite
// and reuse, a new antenna's satellite, "Nuevo" and Cancel.
#include "database/TVexaData.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/qt/DialogInput.h"
#include "support/qt/ModalDialogs.h"
#include "windows/editors/TFModAntena.h"

#include <QLabel>

namespace {

QString Item(QWidget* dialog, const char* combo) { return W<QComboBox>(dialog, combo)->currentText(); }

class AntenaEditorTest : public ::testing::Test {
protected:
    TAntenaRec* Ant(TSateliteRec* satelite, bool used)
    {
        TAntenaRec* a = Data.Antenas.New();
        a->Satelite = satelite;
        a->LnbLow = static_cast<std::uint16_t>(9000 + Data.Antenas.Count());
        if (used)
            Data.Channels.New()->Antena = a;
        return a;
    }
    TSateliteRec* Sat(const char* name)
    {
        TSateliteRec* s = Data.Satelites.New();
        return s->Name = name, s;
    }

    ScriptedMessageBoxes Boxes;
    TVexaData Data;
    TSateliteRec* Hotbird = Sat("Hotbird");
    TSateliteRec* Astra = Sat("Astra");
};

} // namespace

TEST_F(AntenaEditorTest, StoredCodesShowAsTheirItemsAndGoBackByTheTable)
{
    // Positioner, port, 0/12 V, 22 kHz, 14/18 V: stored, shown, stored back.
    const struct {
        const char *codes, *shown, *back;
    } rows[] = {
        {"f,c,12,22,18", "Fija,C,12 v,22 Khz,18 v", "f,c,12,22,18"},
        {"d,A,0,0,14", "Diseq 1.2,A,0 v,0 Khz,14 v", "d,a,0,0,14"},
        {"a,n,n,n,n", "Usals,Ninguno,normal,normal,normal", "a,n,n,n,n"},
        {"z,x,5,,12", "Fija,Ninguno,normal,normal,normal", "f,n,n,n,n"},
    };
    const auto codesOf = [](const TAntenaRec& a) {
        return QStringList{QString(QChar(a.AntennaType)), QString(QChar(a.Diseqc)), ToQt(a.Volt012.str()),
                           ToQt(a.Tone22K.str()), ToQt(a.Volt1418.str())}.join(u',');
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.codes);
        TAntenaRec* a = Ant(Astra, true);
        const QStringList codes = QString::fromLatin1(r.codes).split(u',');
        a->AntennaType = codes[0][0].toLatin1(), a->Diseqc = codes[1][0].toLatin1();
        a->Volt012 = FromQt(codes[2]), a->Tone22K = FromQt(codes[3]), a->Volt1418 = FromQt(codes[4]);
        TFModAntena editor;
        WhenModal(&editor, [&](QWidget* d) {
            QStringList shown;
            for (const char* combo : {"ComboBox3", "ComboBox1", "ComboBox2", "ComboBox4", "ComboBox5"})
                shown << Item(d, combo);
            EXPECT_EQ(shown.join(u','), QLatin1String(r.shown));
            EXPECT_EQ(W(d, "ComboBox5")->isEnabled(), r.back[0] == 'f'); // for a fixed dish only
            EXPECT_EQ(W<QLabel>(d, "Label11")->text(), ToQt(LangText(2703) + "\npor 1 Canales"));
            Click(d, "BitBtn1");
        });
        ASSERT_TRUE(editor.Execute(Data, Data.Antenas.Count() - 1, -1));
        EXPECT_EQ(a->Satelite.Get(), Astra);
        EXPECT_EQ(codesOf(*a), QLatin1String(r.back));
    }
}

TEST_F(AntenaEditorTest, APresetSatelliteGoesToANewOrReusedAntenna)
{
    const struct {
        const char* what;
        int count, unusedAt; // antennas made, and the lowest that no channel uses (-1: none)
        int stored;          // RecIndex after OK; -1: no window, text 2714
    } cases[] = {
        {"room: appended", 3, -1, 3},
        {"full: the lowest unused", 127, 5, 5},
        {"full, every one used", 127, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Data.Antenas.Clear(), Data.Channels.Clear(), Boxes.Clear();
        for (int i = 0; i < c.count; ++i)
            Ant(Hotbird, c.unusedAt < 0 || (i != c.unusedAt && i != c.unusedAt + 2));
        TFModAntena editor;
        WhenModal(&editor, [&](QWidget* d) {
            EXPECT_EQ(Item(d, "ComboBox7"), QStringLiteral("Astra"));
            EXPECT_FALSE(W(d, "ComboBox7")->isEnabled());
            EXPECT_FALSE(W(d, "BitBtn3")->isEnabled());
            if (c.unusedAt >= 0) { // shown with its old data
                EXPECT_EQ(W<QLineEdit>(d, "LNB_Low")->text(), QString::number(9001 + c.unusedAt));
            }
            Click(d, "BitBtn1");
        });
        EXPECT_EQ(editor.Execute(Data, -1, Data.Satelites.IndexOf(Astra)), c.stored != -1);
        if (c.stored == -1) {
            EXPECT_EQ(Data.Antenas.Count(), 127);
            ASSERT_EQ(Boxes.Boxes().size(), 1u);
            EXPECT_EQ(Boxes.Boxes()[0].text, LangText(2714));
            continue;
        }
        EXPECT_EQ(editor.RecIndex, c.stored);
        EXPECT_EQ(Data.Antenas.Count(), std::max(c.count, c.stored + 1));
        EXPECT_EQ(Data.Antenas.Get(c.stored)->Satelite.Get(), Astra);
    }
}

TEST_F(AntenaEditorTest, ANewAntennaNeedsASatelliteWhichNuevoMakesToStay)
{
    Ant(Hotbird, true);
    TVexaData before;
    before.Assign(Data);
    TFModAntena editor;
    WhenModal(&editor, [&](QWidget* d) {
        ASSERT_TRUE(HasKeyboard(d));
        EXPECT_EQ(Item(d, "ComboBox3"), QStringLiteral("Usals"));
        EXPECT_FALSE(W(d, "ComboBox1")->isEnabled());
        QTest::keyClick(W(d, "ComboBox3"), Qt::Key_Home); // "Fija"
        for (const char* name : {"ComboBox1", "ComboBox2", "ComboBox4", "ComboBox5"})
            EXPECT_TRUE(W(d, name)->isEnabled()) << name;
        Click(d, "BitBtn1"); // no satellite yet
        EXPECT_TRUE(d->isVisible());
        ASSERT_EQ(Boxes.Boxes().size(), 1u);
        EXPECT_EQ(Boxes.Boxes()[0].text, LangText(2715));
        WhenModal(d, [&](QWidget* satEditor) {
            EXPECT_TRUE(HasKeyboard(satEditor));
            EXPECT_EQ(satEditor->parentWidget(), d);
            W<QLineEdit>(satEditor, "Nombre")->setText(QStringLiteral("Amazonas"));
            Click(satEditor, "BitBtn1");
        });
        Click(d, "BitBtn3");
        EXPECT_EQ(Item(d, "ComboBox7"), QStringLiteral("Amazonas"));
        // The satellite editor has closed and the keyboard is back: Esc cancels.
        ASSERT_EQ(QApplication::activeWindow(), d);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    EXPECT_FALSE(editor.Execute(Data, -1, -1));
    ASSERT_EQ(Data.Satelites.Count(), 3);
    Data.Satelites.Delete(2);
    EXPECT_TRUE(Data.Equals(before)); // nothing else changed
}
