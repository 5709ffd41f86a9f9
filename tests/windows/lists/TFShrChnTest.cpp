// The channel picker: the channels of a transponder, made-up entries, the
// must-select-one mode and its search command.
#include "database/TVexaData.h"
#include "foundation/ui/QtText.h"
#include "support/qt/ColumnWidths.h"
#include "support/qt/ModalDialogs.h"
#include "windows/lists/TFShrChn.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include <memory>

namespace {

QStringList Row(const QAbstractItemModel* m, int row)
{
    QStringList cells;
    for (int c = 0; c < m->columnCount(); ++c)
        cells << m->index(row, c).data().toString();
    return cells;
}

class ShrChnTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TSateliteRec* astra = Data.Satelites.New();
        astra->Name = "Astra";
        Tp1 = Tp(astra, 11778, 'v');
        Tp2 = Tp(astra, 12604, 'h');
        Unused = Data.Transponders.New();
        for (const auto& [name, tp] : {std::pair{"Uno", Tp1}, {"Dos", Tp2}, {"Tres", Tp1}}) {
            TChannelRec* c = Data.Channels.New();
            c->Name = name, c->Satelite = astra, c->Transponder = tp;
            c->ServiceId = 28006, c->VideoPid = 161, c->AudioPid = 84, c->PcrPid = 161, c->Scramble = 1;
        }
        Data.Channels.Get(2)->Radio = 1;
    }

    TTransponderRec* Tp(TSateliteRec* satelite, int frequency, char polar)
    {
        TTransponderRec* t = Data.Transponders.New();
        t->Satelite = satelite, t->Frequency = std::uint16_t(frequency), t->Polar = polar;
        return t;
    }

    TVexaData Data;
    TTransponderRec* Tp1;
    TTransponderRec* Tp2;
    TTransponderRec* Unused;
};

// The picker's rows, watched from its creation on.
std::unique_ptr<QAbstractItemModelTester> Watch(TFShrChn& picker)
{
    return std::make_unique<QAbstractItemModelTester>(picker.findChild<QTreeView*>("ListaCan")->model(),
                                                      QAbstractItemModelTester::FailureReportingMode::Fatal);
}

TEST_F(ShrChnTest, ListsTheChannelsOfATransponderOrTheEntriesGiven)
{
    TFShrChn picker;
    const auto tester = Watch(picker);
    picker.ExecuteChn(&Data, Tp1);
    const QAbstractItemModel* m = picker.findChild<QTreeView*>("ListaCan")->model();
    ASSERT_EQ(m->rowCount(), 2);
    EXPECT_EQ(Row(m, 0), QStringList({"Uno", "Astra", "11778V", "28006", "161", "84", "161", "0", "Si"}));
    EXPECT_EQ(m->index(1, 0).data().toString(), "Tres");
    // Every caption shows whole, "Servicio" too, and so does a five-digit id.
    auto* list = picker.findChild<QTreeView*>("ListaCan");
    for (int c = 0; c < m->columnCount(); ++c)
        EXPECT_GE(list->header()->sectionSize(c), CaptionNeeds(list, c)) << c;
    EXPECT_GE(list->header()->sectionSize(3), CellNeeds(list, "28006"));
    // A radio channel has a picture of its own.
    EXPECT_NE(m->index(0, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage(),
              m->index(1, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage());

    picker.ChnList.clear();
    picker.ExecuteChn(&Data, Unused);
    EXPECT_EQ(m->rowCount(), 0);

    // A made-up entry of the caller's, in no list, refers to nothing.
    TChannelRec madeUp;
    madeUp.Name = "Nuevo Canal";
    picker.ChnList = {&madeUp, Data.Channels.Get(1)};
    picker.BuildLista();
    ASSERT_EQ(m->rowCount(), 2);
    EXPECT_EQ(m->index(0, 1).data().toString(), "No definido");
    EXPECT_EQ(m->index(0, 2).data().toString(), "No definido");
    EXPECT_EQ(m->index(1, 2).data().toString(), "12604H");
}

TEST_F(ShrChnTest, MustSelectOneEnablesTheButtonOnlyForASelectedRow)
{
    TFShrChn picker;
    const auto tester = Watch(picker);
    picker.ExecuteChn(&Data, Tp1);
    picker.MustSelectOne();
    auto* list = picker.findChild<QTreeView*>("ListaCan");
    auto* button = picker.findChild<QPushButton*>("BitBtn1");
    WhenModal(&picker, [&](QWidget*) {
        EXPECT_FALSE(button->isEnabled());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(1, 0)).center());
        EXPECT_TRUE(button->isEnabled());
        button->click();
    });
    EXPECT_EQ(picker.exec(), QDialog::Accepted);
    EXPECT_EQ(picker.ChnList[list->currentIndex().row()]->Name, "Tres");

    // Closed by its border: no choice.
    list->selectionModel()->clear();
    EXPECT_FALSE(button->isEnabled());
    WhenModal(&picker, [&](QWidget*) { picker.close(); });
    EXPECT_EQ(picker.exec(), QDialog::Rejected);
}

TEST_F(ShrChnTest, BesideAnotherWindowTheButtonOnlyHidesThePicker)
{
    QPointer<TFShrChn> picker = new TFShrChn;
    const auto tester = Watch(*picker);
    picker->ExecuteChn(&Data, Tp1);
    picker->SetClose();
    picker->show();
    picker->findChild<QPushButton*>("BitBtn1")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(picker.isNull());
    EXPECT_FALSE(picker->isVisible());
    picker->show(); // shown again with its rows
    EXPECT_EQ(picker->findChild<QTreeView*>("ListaCan")->model()->rowCount(), 2);
    delete picker;
}

TEST_F(ShrChnTest, SearchFindsAChannelOfThePicker)
{
    TFShrChn picker;
    const auto tester = Watch(picker);
    picker.ExecuteChn(&Data, Tp1);
    auto* list = picker.findChild<QTreeView*>("ListaCan");
    picker.show();
    WhenModal(&picker, [&](QWidget* search) {
        QTest::keyClicks(search->findChild<QLineEdit*>("Edit1"), "tre");
        auto* results = search->findChild<QTreeView*>("ListView");
        const QRect first = results->visualRect(results->model()->index(0, 0));
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, first.center());
        QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, first.center());
    });
    emit list->customContextMenuRequested(QPoint(5, 5));
    auto* menu = picker.findChild<QMenu*>("PopupMenu");
    ASSERT_TRUE(menu->isVisible());
    menu->findChild<QAction*>("Buscar1")->trigger();
    menu->hide();
    EXPECT_EQ(list->currentIndex().row(), 1);
}

} // namespace
