// The satellite, antenna and transponder presenters driving a list view as the main window's ListMain,
// and column widths that never cut a caption or a value (the channel list's too).
#include "database/TVexaData.h"
#include "foundation/ui/QtText.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/qt/ColumnWidths.h"
#include "windows/MainWindowTestSupport.h"
#include "windows/lists/TFAntenas.h"
#include "windows/lists/TFChannels.h"
#include "windows/lists/TFSatelites.h"
#include "windows/lists/TFTransponders.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <tuple>
#include <vector>

namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// Satellites Astra, Hotbird, Hispasat. Antennas 0, 1 and transponders 0 .. 2 are Astra's, antenna 2 and
// transponder 3 Hotbird's, antenna 3 and transponder 4 Hispasat's. Channels A0 .. A9 are Astra's, H0 and H1
// Hotbird's; Intruso (Hotbird) is on Astra's transponder 1, Vecino (Hispasat) on Astra's antenna 1.
void Build(TVexaData& data)
{
    data.Clear();
    data.Valid = true;
    auto sat = [&](const char* name, int angle, char ew, int type, int diseqc, int offset) {
        TSateliteRec* s = data.Satelites.New();
        s->Name = name;
        std::tie(s->Angle, s->EastWest, s->LnbType, s->Diseqc12, s->AntennaOffset) =
            std::tuple(angle, ew, type, diseqc, offset);
        s->LnbLow = 9750;
    };
    sat("Astra", 192, 'e', 1, 1, -15);
    sat("Hotbird", 130, 'w', 0, 0, 0);
    sat("Hispasat", 0, 'e', 0, 1, 40);
    auto ant = [&](int s, char port, const char* tone, int universal, char type, const char* v12, const char* v18) {
        TAntenaRec* a = data.Antenas.New();
        a->Satelite = data.Satelites.Get(s);
        std::tie(a->Diseqc, a->Universal, a->AntennaType, a->LnbHigh) = std::tuple(port, universal, type, 10600);
        std::tie(a->Tone22K, a->Volt012, a->Volt1418) = std::tuple(tone, v12, v18);
    };
    ant(0, 'a', "n", 1, 'd', "n", "n");
    ant(0, 'b', "22", 0, 'f', "12", "18");
    ant(1, 'n', "0", 0, 'a', "0", "14");
    ant(2, 'c', "n", 0, 'f', "n", "n");
    const int frequencies[] = {11778, 12603, 10744, 12000, 11900};
    for (int i = 0; i < 5; ++i) {
        TTransponderRec* t = data.Transponders.New();
        t->Satelite = data.Satelites.Get(i < 3 ? 0 : i - 2);
        std::tie(t->Frequency, t->Polar, t->Symbol) = std::tuple(frequencies[i], i == 1 ? 'h' : 'v', 27500);
        std::tie(t->Fec, t->Tone22K, t->Volt012, t->Volt1418) = std::tuple(i == 1 ? "5/6" : "auto", i == 1 ? "22" : "0", "12", "18");
    }
    auto channel = [&](const std::string& name, int s, int t, int a) {
        TChannelRec* c = data.Channels.New();
        c->Name = name;
        c->Satelite = data.Satelites.Get(s);
        c->Transponder = data.Transponders.Get(t);
        c->Antena = data.Antenas.Get(a);
    };
    for (int i = 0; i < 10; ++i)
        channel("A" + std::to_string(i), 0, i % 3, i % 2);
    channel("H0", 1, 3, 2);
    channel("Intruso", 1, 1, 2);
    channel("H1", 1, 3, 2);
    channel("Vecino", 2, 4, 1);
}

class PresentersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ListMain->setGeometry(0, 0, 800, 600);
        Build(Data);
    }

    // What the main window does when an option is applied.
    void Start(int option)
    {
        ListMain->setModel(nullptr);
        ListMain->setProperty("Tag", option);
        TPresenter* presenters[] = {&Channels, &Satelites, &Antenas, &Transponders};
        presenters[option - 1]->Start(ListMain, nullptr, &Data);
        if (!Testers.count(option))
            Testers[option] = std::make_unique<QAbstractItemModelTester>(
                ListMain->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        Window.show();
    }

    QAbstractItemModel* Model() const { return ListMain->model(); }
    // The cells of a row; of row -1 the column captions.
    QStringList Row(int row) const
    {
        QStringList cells;
        for (int c = 0; c < Model()->columnCount(); ++c)
            cells << (row < 0 ? Model()->headerData(c, Qt::Horizontal) : Model()->index(row, c).data()).toString();
        return cells;
    }
    std::vector<int> Selected() const { return SelectedRows(ListMain->selectionModel()); }

    TVexaData Data;
    ScriptedMessageBoxes Boxes;
    QWidget Window;
    QTreeView* ListMain = new QTreeView(&Window);
    TFChannels Channels;
    TFSatelites Satelites;
    TFAntenas Antenas;
    TFTransponders Transponders;
    std::map<int, std::unique_ptr<QAbstractItemModelTester>> Testers;
};

TEST_F(PresentersTest, Cells)
{
    const struct {
        int option;
        int row;
        QStringList cells;
    } cases[] = {
        {2, 0, {"Astra", "19.2", "Este", "Universal", "9750", "0", "Si / -15"}},
        {2, 1, {"Hotbird", "13.0", "Oeste", "Normal", "9750", "0", "No"}},
        {3, 0, {"Astra", "A", "Normal", "Universal", "DiSEqC", "Normal", "Normal", "0", "10600"}},
        {3, 2, {"Hotbird", "N", "0", "Normal", "Usals", "0", "14", "0", "10600"}},
        {4, 1, {"Astra", "12603H", "27500", "5/6", "22", "12", "18"}},
    };
    for (const auto& c : cases) {
        Start(c.option);
        EXPECT_EQ(Row(c.row), c.cells) << c.option;
    }
}

TEST_F(PresentersTest, DeletionAsksOnceWithTheCountAndTakesTheDependants)
{
    const struct {
        int option;
        std::vector<int> rows;
        BoxAnswer answer;
        const char* question;
        std::vector<int> counts; // satellites, antennas, transponders
        const char* channels;
    } cases[] = {
        {2, {0}, BoxAnswer::Yes, "¿Seguro que desea borrar este Satélite?", {2, 2, 2}, "H0 H1"},
        {2, {0, 2}, BoxAnswer::Yes, "¿Seguro que desea borrar estos 2 Satélites?", {1, 1, 1}, "H0 H1"},
        {3, {0, 1}, BoxAnswer::Yes, "¿Seguro que desea borrar estas 2 antenas?", {3, 2, 5}, "H0 Intruso H1"},
        {4, {1}, BoxAnswer::Yes, "¿Seguro que desea borrar este Transponder?", {3, 4, 4},
         "A0 A2 A3 A5 A6 A8 A9 H0 H1 Vecino"},
        {4, {1, 3}, BoxAnswer::No, "¿Seguro que desea borrar estos 2 Transponders?", {3, 4, 5},
         "A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 H0 Intruso H1 Vecino"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.question);
        Build(Data);
        Start(c.option);
        ClickRows(ListMain, c.rows);
        Boxes.Clear();
        Boxes.Answer(c.answer);
        QTest::keyClick(ListMain, Qt::Key_Delete);
        ASSERT_EQ(Boxes.Boxes().size(), 1u);
        EXPECT_TRUE(ToQt(Boxes.Boxes()[0].text).startsWith(Q(c.question)));
        EXPECT_EQ(std::vector<int>({Data.Satelites.Count(), Data.Antenas.Count(), Data.Transponders.Count()}),
                  c.counts);
        QStringList channels;
        for (int i = 0; i < Data.Channels.Count(); ++i)
            channels << ToQt(Data.Channels.Get(i)->Name.str());
        EXPECT_EQ(channels.join(' '), c.channels);
        EXPECT_EQ(Model()->rowCount(), c.counts[c.option - 2]);
        EXPECT_EQ(Selected().empty(), c.answer == BoxAnswer::Yes);
        // No record is left pointing at one that is gone, and the image reads back the same.
        EXPECT_FALSE(Data.Check());
        std::vector<std::uint8_t> image;
        ASSERT_TRUE(Data.SaveToImage(image));
        TVexaData loaded;
        ASSERT_TRUE(loaded.LoadFromImage(image));
        EXPECT_TRUE(loaded.Equals(Data));
    }
}

TEST_F(PresentersTest, EditCreateAndGroup)
{
    for (int i = 0; i < 40; ++i)
        Data.Satelites.New()->Name = "S" + std::to_string(i);
    Start(2);
    std::vector<int> asked;
    Satelites.SetEditor([&](TVexaData& data, int index, int& recIndex) {
        asked.push_back(index);
        recIndex = index >= 0 ? index : data.Satelites.Count();
        (index >= 0 ? data.Satelites.Get(index) : data.Satelites.New())->Name = index < 0 ? "Nuevo" : "Cambiado";
        return true;
    });

    ClickRows(ListMain, {1, 2});
    QTest::keyClick(ListMain, Qt::Key_Return);
    ASSERT_EQ(Boxes.Boxes().size(), 1u);
    EXPECT_EQ(ToQt(Boxes.Boxes()[0].text), Q("Sólo se puede modificar un satélite a la vez"));
    ClickRows(ListMain, {1});
    QTest::mouseDClick(ListMain->viewport(), Qt::LeftButton, {}, ListMain->visualRect(Model()->index(1, 0)).center());
    EXPECT_EQ(Row(1).front(), "Cambiado");

    Popup(ListMain, "CrearNuevoCanal1");
    EXPECT_EQ(asked, (std::vector<int>{1, -1}));
    ASSERT_EQ(Model()->rowCount(), 44);
    EXPECT_EQ(Row(43).front(), "Nuevo");
    EXPECT_EQ(Selected(), std::vector<int>{43});
    EXPECT_TRUE(ListMain->viewport()->rect().contains(ListMain->visualRect(Model()->index(43, 0))));

    SelectRows(ListMain, {0, 2, 43}); // a broken selection: grouping is offered
    EXPECT_EQ(Popup(ListMain, "AgruparCanales1"),
              QStringList({Q("Crear Nuevo Satélite"), Q("Borrar Satélites"), Q("Mover Satélites"), Q("Agrupar Satélite")}));
    EXPECT_EQ(QStringList({Row(0)[0], Row(1)[0], Row(2)[0], Row(3)[0]}),
              QStringList({"Astra", "Hispasat", "Nuevo", "Cambiado"}));
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2}));
}

// With a large font every caption, five-digit number and long name shows whole; a width the user
// dragged stays when the list comes back; the last column fills the view and follows it.
TEST_F(PresentersTest, ColumnsShowCaptionsAndWidestValues)
{
    QFont wide = ListMain->font();
    wide.setPixelSize(26);
    ListMain->setFont(wide);
    ListMain->header()->setFont(wide);
    Data.Satelites.Get(2)->Name = "Hispasat 30W-5 HD";
    Data.Channels.Get(0)->Name = "Telecinco Madrid";
    QMenu numbering;
    Channels.SetNumberingMenu(&numbering);
    const struct {
        int option, column;
        const char* text;
    } values[] = {{1, 0, "Telecinco Madrid"}, {1, 2, "Hispasat 30W-5 HD"}, {1, 4, "65535"}, {1, 8, "65535"},
                  {2, 0, "Hispasat 30W-5 HD"}, {2, 5, "10600"}, {3, 0, "Hispasat 30W-5 HD"}, {4, 1, "12603H"}};
    for (int option : {1, 2, 3, 4}) {
        Start(option);
        if (option == 1)
            numbering.findChild<QAction*>("NumClass1")->trigger(); // the "Núm." column comes
        for (int c = 0; c < Model()->columnCount(); ++c)
            EXPECT_GE(ListMain->header()->sectionSize(c), CaptionNeeds(ListMain, c)) << option << " " << c;
        for (const auto& v : values) {
            if (v.option == option) {
                EXPECT_GE(ListMain->header()->sectionSize(v.column), CellNeeds(ListMain, Q(v.text), v.column == 0))
                    << v.text;
            }
        }
    }

    Start(2);
    const int dragged = ListMain->header()->sectionSize(1) + 40;
    DragColumnEdge(ListMain, 1, 40);
    EXPECT_EQ(ListMain->header()->sectionSize(1), dragged);
    Start(3);
    Start(2);
    EXPECT_EQ(ListMain->header()->sectionSize(1), dragged);
    for (int width : {3000, 4000}) {
        ListMain->resize(width, 600);
        EXPECT_EQ(ListMain->header()->length(), ListMain->viewport()->width());
    }
}

} // namespace
