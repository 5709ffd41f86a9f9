// The transponder editor driven as a user would: codes to items and back under
// another language, 16-bit numbers, the users of a transponder, reuse.
#include "database/TVexaData.h"
#include "foundation/TLang.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/qt/DialogInput.h"
#include "support/qt/ModalDialogs.h"
#include "windows/MainWindowTestSupport.h"
#include "windows/editors/TFModTransponder.h"

#include <QLabel>
#include <QTreeView>

#include <string>

namespace {

class TransponderEditorTest : public ::testing::Test {
protected:
    TTransponderRec* Tp(std::uint16_t frequency)
    {
        TTransponderRec* tp = Data.Transponders.New();
        tp->Satelite = Astra;
        tp->Frequency = frequency;
        return tp;
    }

    TSateliteRec* Sat(const char* name)
    {
        TSateliteRec* s = Data.Satelites.New();
        return s->Name = name, s;
    }

    ScriptedMessageBoxes Boxes;
    TVexaData Data;
    TSateliteRec* Astra = Sat("Astra");
    TSateliteRec* Hotbird = Sat("Hotbird");
};

TEST_F(TransponderEditorTest, StoredCodesShowAsTheirItemsAndGoBackAsTheReceiversCodes)
{
    // FEC item 0 reads otherwise in this language; the receiver's code stays.
    InstalledLanguages languages{{"English.LNG", "2917 Automatic\r\n"}};
    ASSERT_TRUE(TheLang->SetLanguage(1));

    // Stored polarisation, FEC, 0/12 V, 22 kHz, 14/18 V; the items shown in
    // that order; what OK stores back.
    struct Row {
        const char* stored[5];
        QString items;
        std::string back;
    };
    const Row rows[] = {
        {{"h", "3/4", "0", "0", "14"}, "13111", "h 3/4 0 0 14"},
        {{"v", "7/8", "12", "22", "18"}, "05222", "v 7/8 12 22 18"},
        {{"x", "auto", "5", "1", ""}, "00000", "v auto n n n"},
        {{"v", "9/10", "14", "12", "0"}, "00000", "v auto n n n"},
    };
    for (const Row& row : rows) {
        Data.Transponders.Clear();
        TTransponderRec* tp = Tp(65535);
        tp->Polar = row.stored[0][0], tp->Fec = row.stored[1], tp->Volt012 = row.stored[2];
        tp->Tone22K = row.stored[3], tp->Volt1418 = row.stored[4];
        TFModTransponder editor;
        WhenModal(&editor, [&](QWidget* dialog) {
            QString items;
            for (const char* combo : {"ComboBox2", "ComboBox1", "ComboBox8", "ComboBox9", "ComboBox10"})
                items += QString::number(W<QComboBox>(dialog, combo)->currentIndex());
            EXPECT_EQ(items, row.items) << row.back;
            EXPECT_EQ(W<QComboBox>(dialog, "ComboBox1")->itemText(0), "Automatic");
            EXPECT_EQ(W<QLineEdit>(dialog, "EditNum2")->text(), "65535");
            Click(dialog, "BitBtn1");
        });
        ASSERT_TRUE(editor.Execute(Data, 0, -1));
        EXPECT_EQ(std::string(1, tp->Polar) + " " + tp->Fec.str() + " " + tp->Volt012.str() + " "
                      + tp->Tone22K.str() + " " + tp->Volt1418.str(),
                  row.back);
        EXPECT_EQ(tp->Frequency, 65535);
        EXPECT_EQ(tp->Satelite.Get(), Astra);
    }
}

TEST_F(TransponderEditorTest, ANewTransponderNeedsASatelliteAndKeepsItsNumbersInSixteenBits)
{
    Tp(11778);
    TFModTransponder editor;
    WhenModal(&editor, [&](QWidget* dialog) {
        Click(dialog, "BitBtn1"); // no satellite yet: refused
        EXPECT_TRUE(dialog->isVisible());
        Choose(dialog, "ComboBox7", "Hotbird");
        Retype(dialog, "EditNum2", "70000"); // the last digit would leave 16 bits
        EXPECT_EQ(W<QLineEdit>(dialog, "EditNum2")->text(), "7000");
        Retype(dialog, "EditNum2", "12603");
        Click(dialog, "BitBtn1");
    });
    ASSERT_TRUE(editor.Execute(Data, -1, -1));
    ASSERT_EQ(Boxes.Boxes().size(), 1u);
    EXPECT_EQ(Boxes.Boxes()[0].text, LangText(2919));
    ASSERT_EQ(editor.RecIndex, 1);
    const TTransponderRec* made = Data.Transponders.Get(1);
    EXPECT_EQ(made->Satelite.Get(), Hotbird);
    EXPECT_EQ(made->Frequency, 12603);
    EXPECT_EQ(made->Fec.str() + made->Volt012.str() + made->Tone22K.str() + made->Volt1418.str(), "autonnn");
}

TEST_F(TransponderEditorTest, UsersOfAStoredTransponderAndReuseInAFullList)
{
    for (int i = 0; i < TVexaData::MaxTransponders; ++i)
        Tp(static_cast<std::uint16_t>(10000 + i));
    for (int tp : {2, 0, 2})
        Data.Channels.New()->Transponder = Data.Transponders.Get(tp);
    Data.Channels.New(); // on no transponder at all
    TVexaData before;
    before.Assign(Data);
    TFModTransponder stored;
    WhenModal(&stored, [&](QWidget* dialog) {
        EXPECT_EQ(W<QLabel>(dialog, "Label11")->text(), "Transponder Usado\npor 2 Canales");
        WhenModal(dialog, [&](QWidget* picker) {
            EXPECT_EQ(picker->parentWidget(), dialog); // else the editor's modality blocks it
            EXPECT_EQ(W<QTreeView>(picker, "ListaCan")->model()->rowCount(), 2);
            static_cast<QDialog*>(picker)->accept();
        });
        Click(dialog, "BitBtn4");
        Click(dialog, "BitBtn2");
    });
    EXPECT_FALSE(stored.Execute(Data, 2, -1));

    // A new one in the full list reuses the lowest unused, with its old data.
    TFModTransponder reused;
    WhenModal(&reused, [&](QWidget* dialog) {
        EXPECT_EQ(W<QLineEdit>(dialog, "EditNum2")->text(), "10001");
        EXPECT_EQ(W<QLabel>(dialog, "Label11")->text(), "Transponder Usado\npor 0 Canales");
        EXPECT_FALSE(W(dialog, "BitBtn4")->isEnabled());
        Click(dialog, "BitBtn2");
    });
    EXPECT_FALSE(reused.Execute(Data, -1, -1));
    EXPECT_TRUE(Data.Equals(before));
}

} // namespace
