// The channel presenter driving a list view as the main window's ListMain:
// cells, the numbering menu, the popup, deletion, editing and creation
// through the editor hook, moving, grouping, and the search dialog.
#include "database/TVexaData.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/qt/ColumnWidths.h"
#include "support/qt/ModalDialogs.h"
#include "windows/MainWindowTestSupport.h"
#include "windows/lists/RecordListModel.h"
#include "windows/lists/TFChannels.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

class ChannelsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Window.resize(800, 600);
        ListMain = new QTreeView(&Window);
        ListMain->setObjectName("ListMain");
        ListMain->setGeometry(0, 0, 800, 600);
        NumeradoPor = new QMenu(Q("Numerado por..."), &Window);
        NumeradoPor->menuAction()->setVisible(false);
        Presenter.SetNumberingMenu(NumeradoPor);

        A = Sat("Astra");
        B = Sat("Hotbird");
        Tp = Data.Transponders.New();
        Tp->Satelite = A;
        Tp->Frequency = 11778;
        Tp->Polar = 'v';
    }

    TSateliteRec* Sat(const char* name)
    {
        TSateliteRec* s = Data.Satelites.New();
        s->Name = name;
        return s;
    }

    TChannelRec* Add(const char* name, TSateliteRec* satelite = nullptr)
    {
        TChannelRec* c = Data.Channels.New();
        c->Name = name;
        c->Satelite = satelite ? satelite : A;
        c->Transponder = Tp;
        return c;
    }

    void AddLetters(int count)
    {
        for (int i = 0; i < count; ++i)
            Add(std::string(1, static_cast<char>('A' + i)).c_str());
    }

    // What the main window does when the channel option is applied.
    void Start()
    {
        ListMain->setProperty("Tag", 1);
        Presenter.Start(ListMain, nullptr, &Data);
        if (!Tester)
            Tester = std::make_unique<QAbstractItemModelTester>(
                ListMain->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        Window.show();
    }

    QAbstractItemModel* Model() const { return ListMain->model(); }

    QStringList Column(int column) const
    {
        QStringList cells;
        for (int r = 0; r < Model()->rowCount(); ++r)
            cells << Model()->index(r, column).data().toString();
        return cells;
    }
    QString Names() const { return Column(0).join(""); }

    void Numbering(int mode)
    {
        NumeradoPor->findChild<QAction*>(QStringLiteral("NumClass%1").arg(mode))->trigger();
    }

    QPoint RowCentre(int row) const { return ListMain->visualRect(Model()->index(row, 0)).center(); }

    std::vector<int> Selected() const { return SelectedRows(ListMain->selectionModel()); }

    // Before the presenter, which registers with it.
    InstalledLanguages Languages{{"English.LNG", "0201 Channel name\r\n0222 All\r\n0210 New channel\r\n"}};
    TVexaData Data;
    TSateliteRec* A;
    TSateliteRec* B;
    TTransponderRec* Tp;
    ScriptedMessageBoxes Boxes;
    QWidget Window;
    QTreeView* ListMain;
    QMenu* NumeradoPor;
    TFChannels Presenter;
    std::unique_ptr<QAbstractItemModelTester> Tester;
};

TEST_F(ChannelsTest, CellsOfAChannelAndOfOneWhoseRecordsWereDeleted)
{
    TChannelRec* c = Add("Canal Uno");
    c->ServiceId = 28006, c->VideoPid = 161, c->AudioPid = 84, c->PcrPid = 8190, c->TxtPid = 65535;
    c->Scramble = 1;
    Add("Radio", B)->Radio = 1;
    Start();
    QStringList first;
    for (int col = 0; col < Model()->columnCount(); ++col)
        first << Model()->index(0, col).data().toString();
    EXPECT_EQ(first, QStringList({"Canal Uno", "Astra", "11778V", "28006", "161", "84", "8190", "65535", "Si"}));
    EXPECT_EQ(Model()->index(1, 8).data().toString(), "No");
    const QImage tv = Model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage();
    const QImage radio = Model()->index(1, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage();
    EXPECT_FALSE(tv.isNull());
    EXPECT_NE(tv, radio);
    EXPECT_TRUE(NumeradoPor->menuAction()->isVisible());

    Data.Satelites.Delete(1); // B, still referenced
    Data.Transponders.Delete(0);
    EXPECT_EQ(Model()->index(1, 1).data().toString(), "Desconocido");
    EXPECT_EQ(Model()->index(1, 2).data().toString(), "0V");
}

TEST_F(ChannelsTest, NumberingModes)
{
    TSateliteRec* gone = Sat("Borrado");
    const struct {
        const char* name;
        TSateliteRec* satelite;
        int favorites; // bit k: favourites list k + 1
    } channels[] = {{"a", A, 0b100}, {"b", B, 0}, {"c", A, 0b101}, {"d", B, 0b100}, {"e", A, 0},
                    {"f", gone, 0b100}, {"g", nullptr, 0}};
    for (const auto& ch : channels) {
        TChannelRec* c = Add(ch.name, ch.satelite);
        for (int k = 0; k < 8; ++k)
            c->Favorites[k] = (ch.favorites >> k) & 1;
    }
    Data.Channels.Get(6)->Satelite = Data.Satelites.Default();
    Data.Satelites.Delete(2);
    Start();
    ASSERT_EQ(Model()->columnCount(), 9); // mode 0: no number column

    const struct {
        int mode;
        QStringList numbers;
    } cases[] = {
        {1, {"1", "2", "3", "4", "5", "6", "7"}},
        // Per satellite; a deleted and the default satellite share one count.
        {2, {"1", "1", "2", "2", "3", "1", "2"}},
        {5, {"1", "-", "2", "3", "-", "4", "-"}}, // favourites 3
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        Numbering(c.mode);
        ASSERT_EQ(Model()->columnCount(), 10);
        EXPECT_EQ(Column(1), c.numbers);
        EXPECT_TRUE(Model()->index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
    }
    Numbering(0);
    EXPECT_EQ(Model()->columnCount(), 9);
    EXPECT_EQ(Model()->headerData(1, Qt::Horizontal).toString(), Q("Satélite"));
}

TEST_F(ChannelsTest, TheNumberingMenuKeepsItsModeAcrossListsAndLanguages)
{
    AddLetters(3);
    Start();
    EXPECT_TRUE(NumeradoPor->actions()[0]->isChecked());

    ClickRows(ListMain, {1});
    Numbering(1);
    EXPECT_EQ(Column(1), QStringList({"1", "2", "3"}));
    EXPECT_EQ(Selected(), std::vector<int>{1}); // the column came without losing the selection
    Numbering(1); // the checked mode again changes nothing
    EXPECT_TRUE(NumeradoPor->actions()[1]->isChecked());

    // Another list takes the view and hides the menu; back to the channels.
    Tester.reset();
    QStandardItemModel other;
    ListMain->setModel(&other);
    NumeradoPor->menuAction()->setVisible(false);
    Start();
    EXPECT_TRUE(NumeradoPor->menuAction()->isVisible());

    // After a language switch the main window starts the option again.
    ASSERT_TRUE(TheLang->SetLanguage(1));
    Start();
    EXPECT_EQ(Model()->headerData(0, Qt::Horizontal).toString(), "Channel name");
    EXPECT_EQ(NumeradoPor->actions()[1]->text(), "All");
    EXPECT_TRUE(NumeradoPor->actions()[1]->isChecked());
    EXPECT_EQ(Popup(ListMain), QStringList({"New channel", "Buscar"}));

    // While another list shows, the channel keys do nothing to it.
    ListMain->setModel(&other);
    other.appendRow(new QStandardItem("x"));
    ListMain->setCurrentIndex(other.index(0, 0));
    QTest::keyClick(ListMain, Qt::Key_Delete);
    EXPECT_TRUE(Boxes.Boxes().empty());
    EXPECT_EQ(Data.Channels.Count(), 3);
}

TEST_F(ChannelsTest, ThePopupOffersWhatTheSelectionAllows)
{
    AddLetters(8);
    Start();
    const struct {
        std::vector<int> rows;
        QStringList offered;
    } cases[] = {
        {{}, {"Crear Nuevo Canal", "Buscar"}},
        {{4}, {"Crear Nuevo Canal", "Borrar Canal", "Mover Canal", "Buscar"}},
        {{2, 3, 4}, {"Crear Nuevo Canal", "Borrar Canales", "Mover Canales", "Buscar"}},
        {{2, 3, 5}, {"Crear Nuevo Canal", "Borrar Canales", "Mover Canales", "Agrupar Canales", "Buscar"}},
    };
    for (const auto& c : cases) {
        ClickRows(ListMain, c.rows);
        EXPECT_EQ(Popup(ListMain), c.offered) << c.rows.size();
    }
}

TEST_F(ChannelsTest, DeletingAsksWithTheCountAndRemovesExactlyTheSelectedChannels)
{
    AddLetters(8);
    Start();
    ClickRows(ListMain, {1, 4, 6});

    Boxes.Answer(BoxAnswer::No);
    QTest::keyClick(ListMain, Qt::Key_Delete);
    ASSERT_EQ(Boxes.Boxes().size(), 1u);
    EXPECT_EQ(ToQt(Boxes.Boxes()[0].text), Q("¿Seguro que desea borrar estos 3 canales?"));
    EXPECT_EQ(Names(), "ABCDEFGH");

    Boxes.Answer(BoxAnswer::Yes);
    Popup(ListMain, "BorrarCanal1");
    ASSERT_EQ(Boxes.Boxes().size(), 2u);
    EXPECT_EQ(Names(), "ACDFH");
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(Data.Channels.Count(), 5);

    ClickRows(ListMain, {0});
    Boxes.Answer(BoxAnswer::Yes);
    QTest::keyClick(ListMain, Qt::Key_Delete);
    EXPECT_EQ(ToQt(Boxes.Boxes().back().text), Q("¿Seguro que desea borrar este canal?"));
    EXPECT_EQ(Names(), "CDFH");
    QTest::keyClick(ListMain, Qt::Key_Delete); // no selection: no question
    EXPECT_EQ(Boxes.Boxes().size(), 3u);
}

TEST_F(ChannelsTest, NumbersFollowMovesDeletionsAndGrouping)
{
    Add("a", A);
    Add("b", B);
    Add("c", A);
    Add("d", B);
    Add("e", A);
    Start();
    Numbering(2);
    EXPECT_EQ(Column(1), QStringList({"1", "1", "2", "2", "3"}));

    ClickRows(ListMain, {2});
    WhenModal(&Presenter, [](QWidget* mover) {
        mover->findChild<QPushButton*>("BMenos")->click();
        mover->findChild<QPushButton*>("BMenos")->click();
        mover->findChild<QPushButton*>("BitBtn1")->click();
    });
    Popup(ListMain, "MoverCanal1");
    EXPECT_EQ(Names(), "cabde");
    EXPECT_EQ(Column(1), QStringList({"1", "2", "1", "2", "3"}));
    EXPECT_EQ(Selected(), std::vector<int>{0});

    Boxes.Answer(BoxAnswer::Yes);
    QTest::keyClick(ListMain, Qt::Key_Delete);
    EXPECT_EQ(Names(), "abde");
    EXPECT_EQ(Column(1), QStringList({"1", "1", "2", "2"}));

    ClickRows(ListMain, {0, 3});
    Popup(ListMain, "AgruparCanales1");
    EXPECT_EQ(Names(), "aebd");
    EXPECT_EQ(Column(1), QStringList({"1", "2", "1", "2"}));
}

TEST_F(ChannelsTest, SearchWithNumberingShowsTheSatelite)
{
    Add("Canal Uno", A);
    Add("Otro", B);
    Add("CANAL DOS", B);
    Add("Mi canal", A);
    Start();
    Numbering(1);
    ClickRows(ListMain, {0, 1}); // a double-clicked result is left selected alone
    QStringList found, satelites;
    WhenModal(&Presenter, [&](QWidget* search) {
        auto* edit = search->findChild<QLineEdit*>("Edit1");
        auto* results = search->findChild<QTreeView*>("ListView");
        const QAbstractItemModelTester watch(results->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        EXPECT_EQ(results->model()->rowCount(), 0); // nothing typed, nothing listed
        QTest::keyClicks(edit, "canal ");
        EXPECT_EQ(results->model()->rowCount(), 2);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QApplication::processEvents();
        EXPECT_FALSE(results->horizontalScrollBar()->isVisible()); // the columns fit
        EXPECT_GE(results->header()->sectionSize(0), CellNeeds(results, "CANAL DOS", true));
        for (int r = 0; r < results->model()->rowCount(); ++r) {
            found << results->model()->index(r, 0).data().toString();
            satelites << results->model()->index(r, 1).data().toString();
        }
        const QPoint last = results->visualRect(results->model()->index(2, 0)).center();
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, last);
        QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, last);
    });
    Popup(ListMain, "Buscar1");
    EXPECT_EQ(found, QStringList({"Canal Uno", "CANAL DOS", "Mi canal"}));
    EXPECT_EQ(satelites, QStringList({"Astra", "Hotbird", "Astra"}));
    EXPECT_EQ(Selected(), std::vector<int>{3});
}

TEST_F(ChannelsTest, EditAndCreateGoThroughTheChannelEditor)
{
    AddLetters(40);
    Start();
    Numbering(1);
    std::vector<int> edited;
    Presenter.SetChannelEditor([&](TVexaData& data, int index, int& recIndex) {
        edited.push_back(index);
        TChannelRec* c = index < 0 ? data.Channels.New() : data.Channels.Get(index);
        c->Name = index < 0 ? "Nuevo" : "Cambiado";
        recIndex = index < 0 ? data.Channels.Count() - 1 : index;
        return true;
    });

    ClickRows(ListMain, {1, 2});
    QTest::keyClick(ListMain, Qt::Key_Return);
    ASSERT_EQ(Boxes.Boxes().size(), 1u);
    EXPECT_EQ(ToQt(Boxes.Boxes()[0].text), Q("Sólo se puede modificar un canal a la vez"));
    EXPECT_TRUE(edited.empty());

    QTest::mouseClick(ListMain->viewport(), Qt::LeftButton, {}, RowCentre(3));
    QTest::mouseDClick(ListMain->viewport(), Qt::LeftButton, {}, RowCentre(3));
    EXPECT_EQ(edited, std::vector<int>{3});
    EXPECT_EQ(Model()->index(3, 0).data().toString(), "Cambiado");

    Popup(ListMain, "CrearNuevoCanal1");
    EXPECT_EQ(edited.back(), -1);
    ASSERT_EQ(Model()->rowCount(), 41);
    EXPECT_EQ(Model()->index(40, 0).data().toString(), "Nuevo");
    EXPECT_EQ(Model()->index(40, 1).data().toString(), "41");
    EXPECT_EQ(Selected(), std::vector<int>{40});
    EXPECT_TRUE(ListMain->viewport()->rect().contains(ListMain->visualRect(Model()->index(40, 0))));

    // A cancelled editor leaves the list as it was.
    Presenter.SetChannelEditor([](TVexaData&, int, int&) { return false; });
    QTest::keyClick(ListMain, Qt::Key_Return);
    EXPECT_EQ(Model()->rowCount(), 41);
    EXPECT_EQ(Selected(), std::vector<int>{40});
}

} // namespace
