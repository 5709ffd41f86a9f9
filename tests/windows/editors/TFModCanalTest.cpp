// The channel editor driven as a user would: a stored channel comes back
// untouched, the location cascades, what was typed reaches a saved image, and
// "Nuevo" transponder makes one for the chosen satellite.
#include "database/TVexaData.h"
#include "foundation/TLang.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/qt/DialogInput.h"
#include "support/qt/ModalDialogs.h"
#include "windows/editors/TFModCanal.h"

#include <QCheckBox>
#include <QLabel>
#include <QTreeView>

#include <array>
#include <utility>
#include <vector>

namespace {

QComboBox* Combo(QWidget* dialog, const char* name) { return W<QComboBox>(dialog, name); }
QString Users(int count) { return QString("Hay %1 Canales\nusando el mismo\nTransponder").arg(count); }

class ChannelEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The satellite list is not in the name order of the combo.
        for (const char* name : {"Zeta", "Astra", "Hotbird", "Vacio"})
            Data.Satelites.New()->Name = name;
        Astra = Data.Satelites.Get(1);
        for (int s : {2, 1, 2, 0, 1}) // Astra's antennas: the 2nd and the 5th
            Data.Antenas.New()->Satelite = Data.Satelites.Get(s);
        for (auto [frequency, polar] : {std::pair{11778, 'v'}, std::pair{10744, 'h'}}) {
            TTransponderRec* tp = Data.Transponders.New();
            tp->Satelite = Astra;
            tp->Frequency = static_cast<std::uint16_t>(frequency);
            tp->Symbol = 27500;
            tp->Polar = polar;
        }
        TChannelRec* uno = Data.Channels.New();
        uno->Name = "Uno";
        uno->Satelite = Astra;
        uno->Antena = Data.Antenas.Get(1);
        uno->Transponder = Data.Transponders.Get(0);
        uno->ServiceId = 65000; // beyond what may be typed, kept all the same
        uno->VideoPid = 63500;
        uno->Lock = 1;
        uno->Favorites[0] = uno->Favorite = 1;
        Data.Channels.New()->Transponder = Data.Transponders.Get(0);
        Data.Channels.New()->Name = "Sin transponder"; // on the default records
    }

    ScriptedMessageBoxes Boxes;
    TVexaData Data;
    TSateliteRec* Astra;
};

TEST_F(ChannelEditorTest, AStoredChannelComesBackUntouched)
{
    TVexaData before;
    before.Assign(Data);
    TFModCanal editor;
    WhenModal(&editor, [&](QWidget* dialog) {
        EXPECT_EQ(W<QLineEdit>(dialog, "EditNum5")->text(), "65000");
        EXPECT_EQ(W<QLineEdit>(dialog, "EditNum1")->text(), "63500");
        EXPECT_EQ(W<QLabel>(dialog, "Label11")->text(), Users(2));
        Click(dialog, "BitBtn1");
    });
    ASSERT_TRUE(editor.Execute(Data, 0));
    EXPECT_EQ(editor.RecIndex, 0);
    EXPECT_TRUE(Data.Equals(before));
}

TEST_F(ChannelEditorTest, ANewChannelCascadesFromItsSatelliteAndSavesWhatWasTyped)
{
    TFModCanal editor;
    WhenModal(&editor, [&](QWidget* dialog) {
        EXPECT_EQ(Combo(dialog, "ComboBox7")->currentIndex(), -1);
        EXPECT_EQ(Combo(dialog, "ComboBox3")->count(), 5);
        EXPECT_EQ(Combo(dialog, "ComboBox2")->count(), 0);
        for (const char* nuevo : {"BitBtn5", "BitBtn4"})
            EXPECT_FALSE(W(dialog, nuevo)->isEnabled());
        // No transponder yet: no users, whoever sits on the default one.
        EXPECT_EQ(W<QLabel>(dialog, "Label11")->text(), Users(0));
        WhenModal(dialog, [&](QWidget* picker) {
            EXPECT_EQ(picker->parentWidget(), dialog); // else the editor's modality blocks it
            EXPECT_EQ(W<QTreeView>(picker, "ListaCan")->model()->rowCount(), 0);
            static_cast<QDialog*>(picker)->accept();
        });
        Click(dialog, "BitBtn6");
        Click(dialog, "BitBtn1"); // nothing chosen: refused
        EXPECT_TRUE(dialog->isVisible());

        Choose(dialog, "ComboBox7", "Astra");
        EXPECT_EQ(Combo(dialog, "ComboBox3")->currentIndex(), 4);
        EXPECT_EQ(Combo(dialog, "ComboBox2")->itemText(0), "10744H (Symbol 27500)");
        EXPECT_EQ(Combo(dialog, "ComboBox2")->currentIndex(), -1);
        EXPECT_TRUE(W(dialog, "BitBtn4")->isEnabled());
        Choose(dialog, "ComboBox2", "11778V (Symbol 27500)");
        EXPECT_EQ(W<QLabel>(dialog, "Label11")->text(), Users(2));
        // A satellite without antennas keeps the antenna and drops the transponder.
        Choose(dialog, "ComboBox7", "Vacio");
        EXPECT_EQ(Combo(dialog, "ComboBox3")->currentIndex(), 4);
        EXPECT_EQ(Combo(dialog, "ComboBox2")->count(), 0);
        EXPECT_EQ(W<QLabel>(dialog, "Label11")->text(), Users(0));
        Choose(dialog, "ComboBox7", "Astra");
        Choose(dialog, "ComboBox2", "10744H (Symbol 27500)");

        Retype(dialog, "Edit1", "Un nombre demasiado largo");
        Combo(dialog, "ComboBox1")->setCurrentIndex(1);
        const char* numbers[5] = {"EditNum5", "EditNum1", "EditNum2", "EditNum3", "EditNum4"};
        for (int i = 0; i < 5; ++i)
            Retype(dialog, numbers[i], QString::number(i == 0 ? 63000 : 4000 + i));
        Click(dialog, "CheckBox5"); // list 3
        Click(dialog, "BitBtn1");
    });
    ASSERT_TRUE(editor.Execute(Data, -1));
    ASSERT_EQ(editor.RecIndex, 3);
    ASSERT_EQ(Boxes.Boxes().size(), 1u);
    EXPECT_EQ(Boxes.Boxes()[0].text, LangText(3233));
    const TChannelRec* made = Data.Channels.Get(3);
    EXPECT_EQ(made->Antena.Get(), Data.Antenas.Get(4));
    EXPECT_EQ(made->Favorites, (std::array<std::uint8_t, 8>{0, 0, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(made->Favorite, 1);
    EXPECT_EQ(made->Radio, 1);

    // The receiver image keeps exactly what was typed.
    std::vector<std::uint8_t> image;
    ASSERT_TRUE(Data.SaveToImage(image));
    TVexaData loaded;
    ASSERT_TRUE(loaded.LoadFromImage(image));
    const TChannelRec* read = loaded.Channels.Get(3);
    EXPECT_EQ(read->Name, "Un nombre demasi");
    EXPECT_EQ(std::vector<int>({read->ServiceId, read->VideoPid, read->AudioPid, read->PcrPid, read->TxtPid}),
              std::vector<int>({63000, 4001, 4002, 4003, 4004}));
    EXPECT_EQ(read->Transponder.Get(), loaded.Transponders.Get(1));
}

TEST_F(ChannelEditorTest, NuevoTransponderMakesOneForTheChosenSatelliteThatOutlivesCancel)
{
    TVexaData before;
    before.Assign(Data);
    TFModCanal editor;
    WhenModal(&editor, [&](QWidget* dialog) {
        Click(dialog, "CheckBox5");
        QTest::keyClicks(W(dialog, "EditNum2"), "7");
        WhenModal(dialog, [&](QWidget* nested) {
            EXPECT_EQ(nested->parentWidget(), dialog);
            EXPECT_FALSE(W(nested, "ComboBox7")->isEnabled());
            EXPECT_EQ(Combo(nested, "ComboBox7")->currentText(), "Astra"); // 2nd of the list, 1st of the combo
            QTest::keyClicks(W(nested, "EditNum2"), "12000");
            Click(nested, "BitBtn1");
        });
        Click(dialog, "BitBtn4");
        EXPECT_EQ(Combo(dialog, "ComboBox2")->currentText(), "12000V (Symbol 0)");
        EXPECT_EQ(W<QLabel>(dialog, "Label11")->text(), Users(0));
        Click(dialog, "BitBtn2");
    });
    EXPECT_FALSE(editor.Execute(Data, 0));
    ASSERT_EQ(Data.Transponders.Count(), 3);
    EXPECT_EQ(Data.Transponders.Get(2)->Satelite.Get(), Astra);
    EXPECT_TRUE(Data.SameRecord(*Data.Channels.Get(0), *before.Channels.Get(0)));
}

} // namespace
