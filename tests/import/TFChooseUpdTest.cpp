// The update chooser and its difference view, driven as a user would.
#include "database/TVexaData.h"
#include "import/TFChooseUpd.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/ScriptedWaitBox.h"
#include "support/qt/ModalDialogs.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

void Put(TVexaData& data, const char* name, std::uint16_t sid, std::uint16_t audio)
{
    TChannelRec* ch = data.Channels.New();
    ch->Satelite = data.FindSatelite(192, 'e', "Astra", true);
    ch->Antena = data.FindAntena(ch->Satelite.Get(), true);
    ch->Transponder = data.FindTransponder(ch->Satelite.Get(), 11778, 'v', 27500, true);
    ch->Name = name;
    std::tie(ch->ServiceId, ch->AudioPid) = std::tie(sid, audio);
}

QString Marks(const QAbstractItemModel* m)
{
    QString marks;
    for (int r = 0; r < m->rowCount(); ++r)
        marks += m->index(r, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked ? 'x' : '.';
    return marks;
}

TEST(ChooseUpdTest, MarksTheDifferenceViewAndOkMergeTheChosenRows)
{
    ScriptedMessageBoxes boxes;
    ScriptedWaitBoxes waits;
    TVexaData current, incoming;
    Put(current, "Canal Sur", 100, 84);
    Put(current, "Otro", 5, 84);
    Put(incoming, "CANAL SUR", 200, 84); // updates Canal Sur
    Put(incoming, "Otro", 5, 99);        // updates Otro
    Put(incoming, "Canal Sur", 300, 84); // alike; Canal Sur is claimed already
    Put(incoming, "Nueva", 7, 84);       // missing
    TFChooseUpd chooser;
    QTreeView* list = chooser.List;
    QAbstractItemModel* m = list->model();
    const QAbstractItemModelTester tester(m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const auto click = [&](int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualRect(m->index(row, 2)).center());
    };
    const auto label = [](QWidget* view, const char* name) { return view->findChild<QLabel*>(name); };
    QStringList combo;
    WhenModal(&chooser, [&](QWidget*) {
        chooser.CheckBox2->click(); // additions too
        ASSERT_EQ(m->rowCount(), 3);

        // The mark of a row is its state icon.
        const QRect cell = list->visualRect(m->index(0, 0));
        const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
        const int width = list->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, list);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, {cell.left() + margin + width / 2, cell.center().y()});
        EXPECT_EQ(Marks(m), ".xx");
        chooser.BitBtn4->click();
        EXPECT_EQ(Marks(m), "...");
        chooser.BitBtn3->click();
        click(1);
        click(2, Qt::ControlModifier);
        QTest::keyClick(list, Qt::Key_Space); // every selected row
        EXPECT_EQ(Marks(m), "x..");

        // A double click on the addition: its own side only.
        WhenModal(&chooser, [&](QWidget* view) {
            EXPECT_EQ(view->windowTitle(), "Detalles Nuevo Canal");
            EXPECT_FALSE(label(view, "Label1")->isEnabled() || label(view, "Left1")->isEnabled());
            EXPECT_FALSE(view->findChild<QComboBox*>("ComboBox1")->isVisible());
            EXPECT_EQ(label(view, "Right1")->text(), "Nombre: Nueva");
            view->findChild<QPushButton*>("BitBtn1")->click();
        });
        click(2);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(m->index(2, 2)).center());

        // Enter on the first update: its alike channels; the one picked becomes the row's.
        click(0);
        WhenModal(&chooser, [&](QWidget* view) {
            auto* box = view->findChild<QComboBox*>("ComboBox1");
            for (int i = 0; i < box->count(); ++i)
                combo << box->itemText(i);
            EXPECT_EQ(box->currentIndex(), 0);
            EXPECT_EQ(label(view, "Left5")->text(), "Service ID: 100");
            box->setCurrentIndex(1);
            EXPECT_EQ(label(view, "Right5")->text(), "Service ID: 300");
            view->findChild<QPushButton*>("BitBtn1")->click();
        });
        QTest::keyClick(list, Qt::Key_Return);
        EXPECT_TRUE(chooser.isVisible()); // Enter opened the row and did not press OK
        EXPECT_EQ(m->index(0, 4).data().toString(), "300");
        chooser.BitBtn1->click();
    });
    chooser.Execute(current, incoming);
    EXPECT_EQ(chooser.result(), QDialog::Accepted);
    EXPECT_EQ(combo, QStringList({"CANAL SUR (1)", "Canal Sur (2)"}));
    // Only the marked row was applied, with the channel chosen for it.
    ASSERT_EQ(current.Channels.Count(), 2);
    EXPECT_EQ(std::tuple(current.Channels.Get(0)->Name.str(), current.Channels.Get(0)->ServiceId),
              std::tuple(std::string("Canal Sur"), 300));
    EXPECT_EQ(current.Channels.Get(1)->AudioPid, 84);
}

} // namespace
