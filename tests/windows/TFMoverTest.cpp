// The row mover on a plain list view over the channel list (and over the
// satellite list), driven through its dialog buttons, grouping and drops.
#include "database/TVexaData.h"
#include "support/qt/ModalDialogs.h"
#include "windows/ChannelListModel.h"
#include "windows/TFMover.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QPushButton>
#include <QTreeView>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The satellite list as a list view shows it: only what these tests read.
class SateliteNames : public RecordListModel {
public:
    explicit SateliteNames(TVexaData* data) : Data(data) {}
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : Data->Satelites.Count();
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 1; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
            return {};
        return QString::fromStdString(Data->Satelites.Get(index.row())->Name.str());
    }

private:
    TVexaData* Data;
};

// A list view of ten (or the given) channels named A, B, C ...
class MoverTest : public ::testing::Test {
protected:
    void SetUp() override { Fill(10); }

    void Fill(int count, int tag = 1)
    {
        for (int i = 0; i < count; ++i) {
            const std::string name(1, static_cast<char>('A' + i));
            Data.Channels.New()->Name = name;
            Data.Satelites.New()->Name = name;
        }
        if (tag == 2)
            Model = std::make_unique<SateliteNames>(&Data);
        else {
            auto channels = std::make_unique<ChannelListModel>();
            channels->Rebuild(&Data, {});
            Model = std::move(channels);
        }
        Tester = std::make_unique<QAbstractItemModelTester>(
            Model.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        View.setModel(Model.get());
        View.setSelectionBehavior(QAbstractItemView::SelectRows);
        View.setSelectionMode(QAbstractItemView::ExtendedSelection);
        View.setProperty("Tag", tag);
        View.resize(300, 400);
    }

    void Select(const std::vector<int>& rows) { SelectRows(&View, rows); }

    std::string ChannelOrder() const
    {
        std::string order;
        for (int i = 0; i < Data.Channels.Count(); ++i)
            order += Data.Channels.Get(i)->Name.str();
        return order;
    }
    std::string ShownOrder() const
    {
        std::string order;
        for (int i = 0; i < Model->rowCount(); ++i)
            order += Model->index(i, 0).data().toString().toStdString();
        return order;
    }
    std::vector<int> Selected() const { return SelectedRows(View.selectionModel()); }

    // Runs the move dialog on the current selection; act clicks its buttons
    // and must close it.
    void InDialog(const std::function<void(TFMover&)>& act)
    {
        TFMover mover;
        WhenModal(&mover, [&](QWidget*) { act(mover); });
        mover.Execute(&View, &Data);
    }

    TVexaData Data;
    std::unique_ptr<RecordListModel> Model;
    std::unique_ptr<QAbstractItemModelTester> Tester;
    QTreeView View;
};

QPushButton* Button(TFMover& mover, const char* name)
{
    return mover.findChild<QPushButton*>(QLatin1String(name));
}

TEST_F(MoverTest, UpMovesEverySelectedRowOnePlaceAndTheSelectionFollows)
{
    Select({3, 5});
    InDialog([&](TFMover& mover) {
        Button(mover, "BMenos")->click();
        Button(mover, "BitBtn1")->click();
    });
    EXPECT_EQ(ChannelOrder(), "ABDCFEGHIJ");
    EXPECT_EQ(ShownOrder(), ChannelOrder());
    EXPECT_EQ(Selected(), (std::vector<int>{2, 4}));
    EXPECT_EQ(View.currentIndex().row(), 2);
}

TEST_F(MoverTest, DownTwiceKeepsTheGapsAndStopsAtTheEnd)
{
    Select({5, 7});
    InDialog([&](TFMover& mover) {
        QPushButton* down = Button(mover, "BMas");
        down->click();
        EXPECT_TRUE(down->isEnabled());
        down->click();
        // Row 7 is now the last row: down is disabled, up is not.
        EXPECT_FALSE(down->isEnabled());
        EXPECT_TRUE(Button(mover, "BMenos")->isEnabled());
        mover.accept();
    });
    EXPECT_EQ(ChannelOrder(), "ABCDEGIFJH");
    EXPECT_EQ(Selected(), (std::vector<int>{7, 9}));
}

TEST_F(MoverTest, ButtonsAreEnabledOnlyWhereTheSelectionCanGo)
{
    struct Case {
        std::vector<int> rows;
        bool up, down;
    };
    const Case cases[] = {
        {{0}, false, true}, {{9}, true, false}, {{0, 9}, false, false}, {{4, 6}, true, true}, {{}, false, false},
    };
    for (const Case& c : cases) {
        Select(c.rows);
        InDialog([&](TFMover& mover) {
            EXPECT_EQ(Button(mover, "BMenos")->isEnabled(), c.up) << c.rows.size();
            EXPECT_EQ(Button(mover, "BMas")->isEnabled(), c.down) << c.rows.size();
            mover.reject();
        });
    }
    EXPECT_EQ(ChannelOrder(), "ABCDEFGHIJ");
}

TEST_F(MoverTest, GroupGathersTheSelectionBehindItsFirstRow)
{
    Data.Channels.Delete(9);
    Data.Channels.Delete(8);
    Model->Reload();
    ASSERT_EQ(ChannelOrder(), "ABCDEFGH");
    View.setCurrentIndex(Model->index(3, 0)); // D, unselected, keeps its record
    Select({1, 4, 6});
    QPersistentModelIndex d = View.currentIndex();

    TFMover mover;
    mover.Inicia(&View, &Data);
    mover.Agrupa();

    EXPECT_EQ(ChannelOrder(), "ABEGCDFH");
    EXPECT_EQ(ShownOrder(), ChannelOrder());
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(View.currentIndex().row(), 1);
    EXPECT_EQ(d.row(), 5); // a row outside the selection is still found on its record
}

TEST_F(MoverTest, DropMovesTheSelectionToTheTargetRow)
{
    struct Case {
        const char* what;
        std::vector<int> rows;
        int target;
        const char* order;
        std::vector<int> selected;
    };
    const Case cases[] = {
        {"single row 7 on row 2", {7}, 2, "ABHCDEFGIJ", {2}},
        {"rows 2-4 on row 8 end at 6-8", {2, 3, 4}, 8, "ABFGHICDEJ", {6, 7, 8}},
        {"rows 2-4 on the last row end the list", {2, 3, 4}, 9, "ABFGHIJCDE", {7, 8, 9}},
        {"rows 2 and 5 on row 8 would pass the end", {2, 5}, 8, "ABCDEFGHIJ", {2, 5}},
        {"rows 2 and 5 on row 7", {2, 5}, 7, "ABDEGHCIJF", {6, 9}},
        {"rows 3-5 on row 4 move up one", {3, 4, 5}, 4, "ABDEFCGHIJ", {2, 3, 4}},
        {"rows 0-2 on row 1 stay", {0, 1, 2}, 1, "ABCDEFGHIJ", {0, 1, 2}},
        {"on the first selected row", {4, 5}, 4, "ABCDEFGHIJ", {4, 5}},
        {"rows 6 and 8 above, on row 1", {6, 8}, 1, "AGBICDEFHJ", {1, 3}},
        {"no target", {2}, -1, "ABCDEFGHIJ", {2}},
        {"no selection", {}, 3, "ABCDEFGHIJ", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Data.Channels.Clear();
        Data.Satelites.Clear();
        Model->Reload();
        for (int i = 0; i < 10; ++i)
            Data.Channels.New()->Name = std::string(1, static_cast<char>('A' + i));
        Model->Reload();
        Select(c.rows);
        TFMover mover;
        mover.Inicia(&View, &Data);
        mover.MoveDrop(c.target);
        EXPECT_EQ(ChannelOrder(), c.order);
        EXPECT_EQ(ShownOrder(), ChannelOrder());
        EXPECT_EQ(Selected(), c.selected);
    }
}

TEST_F(MoverTest, TheTagNamesTheListThatMoves)
{
    Tester.reset();
    Model.reset();
    Data.Channels.Clear();
    Data.Satelites.Clear();
    Fill(4, 2);
    Select({3});
    TFMover mover;
    mover.Inicia(&View, &Data);
    mover.MoveDrop(0);
    std::string satelites, channels;
    for (int i = 0; i < 4; ++i) {
        satelites += Data.Satelites.Get(i)->Name.str();
        channels += Data.Channels.Get(i)->Name.str();
    }
    EXPECT_EQ(satelites, "DABC");
    EXPECT_EQ(channels, "ABCD");
    EXPECT_EQ(Model->index(0, 0).data().toString(), "D");

    // A view of no record list (the tools) moves nothing.
    View.setProperty("Tag", 5);
    Select({3});
    mover.MoveDrop(0);
    EXPECT_EQ(Model->index(0, 0).data().toString(), "D");
    EXPECT_EQ(Model->index(3, 0).data().toString(), "C");
}

} // namespace
