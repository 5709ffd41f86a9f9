// The add-channel wizard driven by a user: when it continues, what a name matches, what a refusal leaves.
#include "database/TVexaData.h"
#include "foundation/TLang.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/qt/DialogInput.h"
#include "support/qt/ModalDialogs.h"
#include "windows/tools/TFAddModCanal.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

struct Input {
    const char *sat = "Astra", *freq = "12000";
    int polarItem = 1;
    const char *symbol = "27500", *name = "Canal Uno";
    int typeItem = 0;
};

QPushButton* Button(QWidget* dialog) { return W<QPushButton>(dialog, "BitBtn1"); }

void Continue(QWidget* d, const Input& in, bool press = true)
{
    auto* sat = W<QComboBox>(d, "ComboBox7");
    sat->setCurrentIndex(sat->findText(in.sat));
    W<QComboBox>(d, "ComboBox1")->setCurrentIndex(in.polarItem);
    W<QComboBox>(d, "ComboBox2")->setCurrentIndex(in.typeItem);
    for (auto [edit, text] : {std::pair{"EditNum1", in.freq}, {"EditNum2", in.symbol}, {"Edit1", in.name}})
        Retype(d, edit, text);
    if (press)
        Button(d)->click();
}

class AddModCanalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"Astra", "Hotbird", "Nuevo"})
            Data.Satelites.New()->Name = name;
        for (auto [name, sat, radio] : {std::tuple{"Canal Uno", 0, 0}, {"Canal Uno", 0, 1}, {"Canal Uno", 1, 0},
                                        {"Dos", 0, 0}, {"D O S", 0, 0}}) {
            TChannelRec* c = Data.Channels.New();
            c->Name = name;
            c->Satelite = Data.Satelites.Get(sat);
            c->Antena = Data.FindAntena(Data.Satelites.Get(sat), true);
            c->Radio = static_cast<std::uint8_t>(radio);
        }
        TChannelRec* uno = Data.Channels.Get(0);
        uno->Transponder = Data.FindTransponder(Data.Satelites.Get(0), 12000, 'h', 27500, true);
        uno->Lock = uno->Scramble = uno->Favorites[2] = 1;
    }

    ScriptedMessageBoxes Boxes;
    TVexaData Data;
};

TEST_F(AddModCanalTest, ContinuarNeedsAllSixInputs)
{
    const Input rows[] = {{}, {.sat = "Marte"}, {.freq = ""}, {.freq = "0"}, {.polarItem = -1}, {.symbol = "0"},
                          {.name = ""}, {.typeItem = -1}};
    TFAddModCanal wizard;
    WhenModal(&wizard, [&](QWidget* d) {
        for (const Input& in : rows) {
            Continue(d, in, false);
            EXPECT_EQ(Button(d)->isEnabled(), &in == rows) << in.sat << in.freq;
        }
        static_cast<QDialog*>(d)->reject();
    });
    wizard.Execute(Data);
}

TEST_F(AddModCanalTest, ANameMatchesOnItsSatelliteAndTypeOnlyAndAFullListChangesNothing)
{
    // full: the list first filled with records in use ('u': antennas, one of them unused). pick: the
    // picker row chosen (-1: no picker). After refusal text error the user goes on with "Canal Uno"
    // on Astra. edited: the channel the editor gets (-1: a new one); it answers save.
    const struct { char full; Input in; int pick, error, edited; bool save; } rows[] = {
        {0, {.name = "Canal Tres"}, -1, 0, -1, true}, {0, {.sat = "Nuevo", .name = "Tres"}, -1, 0, -1, false},
        {0, {.name = "canal  uno"}, -1, 0, 0, true}, {0, {.name = "CANAL UNO", .typeItem = 1}, -1, 0, 1, true},
        {0, {.sat = "Hotbird", .name = "canaluno"}, -1, 0, 2, true}, {0, {.name = "dos"}, 0, 0, -1, true},
        {0, {.name = "dos"}, 2, 0, 4, true}, {'c', {.name = "Nueva"}, -1, 2525, 0, true}, {'c', {}, -1, 0, 0, true},
        {'a', {.sat = "Nuevo"}, -1, 2526, 0, true}, {'u', {.sat = "Nuevo"}, -1, 0, -1, true},
        {'t', {.freq = "11000"}, -1, 2527, 0, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.in.name << " " << row.error);
        TVexaData data, before;
        data.Assign(Data);
        while (data.Antenas.Count() < (row.full == 'a' ? 127 : row.full == 'u' ? 126 : 0))
            data.Channels.New()->Antena = data.Antenas.New();
        while (data.Transponders.Count() < (row.full == 't' ? 2048 : 0))
            data.Channels.New()->Transponder = data.Transponders.New();
        while (data.Channels.Count() < (row.full == 'c' ? 2500 : 0))
            data.Channels.New();
        if (row.full == 'u')
            data.Antenas.New();
        before.Assign(data);
        TFAddModCanal wizard;
        int edited = -2;
        wizard.SetChannelEditor([&](TVexaData&, int index, int&) {
            EXPECT_TRUE(!Boxes.Boxes().empty() && Boxes.Boxes().back().text == LangText(2521));
            edited = index;
            return row.save;
        });
        WhenModal(&wizard, [&](QWidget* d) {
            if (row.pick >= 0)
                WhenModal(d, [&](QWidget* picker) {
                    auto* list = picker->findChild<QTreeView*>("ListaCan");
                    EXPECT_EQ(list->model()->index(0, 0).data().toString(), "Nuevo Canal");
                    list->setCurrentIndex(list->model()->index(row.pick, 0));
                    Button(picker)->click();
                });
            // A picker nobody expects is closed: the row then fails instead of hanging.
            QTimer::singleShot(3000, d, [d] {
                if (QWidget* other = QApplication::activeModalWidget(); other && other != d)
                    other->close();
            });
            Continue(d, row.in);
            if (!row.error)
                return;
            EXPECT_TRUE(!Boxes.Boxes().empty() && Boxes.Boxes().back().text == LangText(row.error));
            EXPECT_TRUE(wizard.WorkData.Equals(before));
            Continue(d, {});
        });
        wizard.Execute(data);
        EXPECT_EQ(edited, row.edited == -1 ? before.Channels.Count() : row.edited);
        EXPECT_EQ(data.Equals(before), !row.save);
        EXPECT_EQ(data.Antenas.Count(), before.Antenas.Count());
        const TChannelRec* c = data.Channels.Get(edited);
        if (!row.save || !c)
            continue;
        const Input typed = row.error ? Input{} : row.in;
        EXPECT_EQ(c->Name, typed.name);
        EXPECT_EQ(c->Lock + c->Scramble + c->Favorites[2], 0);
        EXPECT_EQ(c->Satelite.Get()->Name, typed.sat);
        EXPECT_EQ(c->Antena.Get(), data.FindAntena(c->Satelite.Get(), false));
        EXPECT_EQ(c->Transponder.Get(), data.FindTransponder(c->Satelite.Get(), 12000, 'h', 27500, false));
    }
}

} // namespace
