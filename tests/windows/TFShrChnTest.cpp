// The channel picker: the channels of a transponder, made-up entries, the
// must-select-one mode and its search command.
#include "database/TVexaData.h"
#include "foundation/ui/QtText.h"
#include "support/qt/ModalDialogs.h"
#include "windows/TFShrChn.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
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
        Tp1 = Data.Transponders.New();
        Tp1->Satelite = astra;
        Tp1->Frequency = 11778;
        Tp1->Polar = 'v';
        Tp2 = Data.Transponders.New();
        Tp2->Satelite = astra;
        Tp2->Frequency = 12604;
        Tp2->Polar = 'h';
        Unused = Data.Transponders.New();
        Add("Uno", astra, Tp1);
        Add("Dos", astra, Tp2);
        Add("Tres", astra, Tp1)->Radio = 1;
    }

    TChannelRec* Add(const char* name, TSateliteRec* satelite, TTransponderRec* transponder)
    {
        TChannelRec* c = Data.Channels.New();
        c->Name = name;
        c->Satelite = satelite;
        c->Transponder = transponder;
        c->ServiceId = 28006;
        c->VideoPid = 161;
        c->AudioPid = 84;
        c->PcrPid = 161;
        c->TxtPid = 0;
        c->Scramble = 1;
        return c;
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

TEST_F(ShrChnTest, ListsTheChannelsOfATransponderWithTheChannelColumns)
{
    TFShrChn picker;
    auto* list = picker.findChild<QTreeView*>("ListaCan");
    const auto tester = Watch(picker);
    picker.ExecuteChn(&Data, Tp1);
    const QAbstractItemModel* m = list->model();
    ASSERT_EQ(m->rowCount(), 2);
    EXPECT_EQ(Row(m, 0), QStringList({"Uno", "Astra", "11778V", "28006", "161", "84", "161", "0", "Si"}));
    EXPECT_EQ(m->index(1, 0).data().toString(), "Tres");
    // A radio channel has a picture of its own.
    const QIcon tv = m->index(0, 0).data(Qt::DecorationRole).value<QIcon>();
    const QIcon radio = m->index(1, 0).data(Qt::DecorationRole).value<QIcon>();
    EXPECT_NE(tv.pixmap(16).toImage(), radio.pixmap(16).toImage());
    QStringList captions;
    for (int c = 0; c < m->columnCount(); ++c)
        captions << m->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(captions, QStringList({"Nombre canal", QString::fromUtf8("Satélite"), "Transponder", "Servicio",
                                     "Video", "Audio", "Pcr", "Texto", "Codificado"}));
    EXPECT_EQ(list->header()->sectionSize(0), 120);
    EXPECT_EQ(picker.windowTitle(), "Canales");

    TFShrChn empty;
    const auto emptyTester = Watch(empty);
    empty.ExecuteChn(&Data, Unused);
    EXPECT_EQ(empty.findChild<QTreeView*>("ListaCan")->model()->rowCount(), 0);
}

TEST_F(ShrChnTest, AMadeUpEntryWithoutReferencesShowsNoDefinido)
{
    TChannelRec madeUp; // the caller's own record, in no list
    madeUp.Name = "Nuevo Canal";
    TFShrChn picker;
    const auto tester = Watch(picker);
    picker.ChnList.push_back(&madeUp);
    picker.ChnList.push_back(Data.Channels.Get(1));
    picker.BuildLista();
    const QAbstractItemModel* m = picker.findChild<QTreeView*>("ListaCan")->model();
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
    QString title;
    WhenModal(&picker, [&](QWidget* search) {
        title = search->windowTitle();
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
    EXPECT_EQ(title, "Buscar Canal");
    EXPECT_EQ(list->currentIndex().row(), 1);
}

} // namespace
