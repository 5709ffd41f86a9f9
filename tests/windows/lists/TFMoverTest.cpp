// The row mover on a list view over the channel list (and over the satellite
// list), driven through its dialog buttons, grouping and drops.
#include "database/TVexaData.h"
#include "support/qt/ModalDialogs.h"
#include "windows/lists/ChannelListModel.h"
#include "windows/lists/TFMover.h"
#include "windows/lists/TFSatelites.h"

#include <QAbstractItemModelTester>
#include <QPushButton>
#include <QTreeView>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A list view of ten channels named A, B, C ...
class MoverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Fill();
        View.setModel(&Model);
        View.setSelectionBehavior(QAbstractItemView::SelectRows);
        View.setSelectionMode(QAbstractItemView::ExtendedSelection);
        View.setProperty("Tag", 1);
        View.resize(300, 400);
    }

    void Fill()
    {
        Data.Channels.Clear();
        for (int i = 0; i < 10; ++i)
            Data.Channels.New()->Name = std::string(1, static_cast<char>('A' + i));
        Model.Rebuild(&Data, {});
    }

    void Select(const std::vector<int>& rows) { SelectRows(&View, rows); }
    std::vector<int> Selected() const { return SelectedRows(View.selectionModel()); }

    std::string ChannelOrder() const
    {
        std::string order;
        for (int i = 0; i < Data.Channels.Count(); ++i)
            order += Data.Channels.Get(i)->Name.str();
        return order;
    }
    // The rows shown, which must be the records in their order.
    std::string ShownOrder() const
    {
        std::string order;
        for (int i = 0; i < View.model()->rowCount(); ++i)
            order += View.model()->index(i, 0).data().toString().toStdString();
        EXPECT_EQ(order, ChannelOrder());
        return order;
    }

    // Runs the move dialog on the current selection; act clicks its buttons
    // and must close it.
    void InDialog(const std::function<void(TFMover&)>& act)
    {
        TFMover mover;
        WhenModal(&mover, [&](QWidget*) { act(mover); });
        mover.Execute(&View, &Data);
    }

    TVexaData Data;
    ChannelListModel Model;
    QAbstractItemModelTester Tester{&Model, QAbstractItemModelTester::FailureReportingMode::Fatal};
    QTreeView View;
};

QPushButton* Button(TFMover& mover, const char* name)
{
    return mover.findChild<QPushButton*>(QLatin1String(name));
}

TEST_F(MoverTest, UpAndDownMoveEverySelectedRowKeepingTheGaps)
{
    const struct { std::vector<int> rows; const char* button; int clicks; const char* order; std::vector<int> selected; } cases[] = {
        {{1, 3}, "BMenos", 2, "BADCEFGHIJ", {0, 2}}, // the second click finds the top
        {{5, 7}, "BMas", 3, "ABCDEGIFJH", {7, 9}}, // the third click finds the end
    };
    for (const auto& c : cases) {
        Fill();
        Select(c.rows);
        InDialog([&](TFMover& mover) {
            for (int i = 0; i < c.clicks; ++i)
                Button(mover, c.button)->click();
            // A button works only while the selection can go its way.
            EXPECT_EQ(Button(mover, "BMenos")->isEnabled(), c.selected.front() > 0);
            EXPECT_EQ(Button(mover, "BMas")->isEnabled(), c.selected.back() < 9);
            Button(mover, "BitBtn1")->click();
        });
        EXPECT_EQ(ShownOrder(), c.order);
        EXPECT_EQ(Selected(), c.selected);
        EXPECT_EQ(View.currentIndex().row(), c.selected.front());
    }
}

TEST_F(MoverTest, GroupGathersTheSelectionBehindItsFirstRow)
{
    Data.Channels.Delete(9);
    Data.Channels.Delete(8);
    Model.Reload();
    View.setCurrentIndex(Model.index(3, 0)); // D, unselected, keeps its record
    Select({1, 4, 6});
    QPersistentModelIndex d = View.currentIndex();

    TFMover mover;
    mover.Inicia(&View, &Data);
    mover.Agrupa();

    EXPECT_EQ(ShownOrder(), "ABEGCDFH");
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(View.currentIndex().row(), 1);
    EXPECT_EQ(d.row(), 5); // a row outside the selection is still found on its record
}

TEST_F(MoverTest, DropMovesTheSelectionToTheTargetRow)
{
    const struct { const char* what; std::vector<int> rows; int target; const char* order; std::vector<int> selected; } cases[] = {
        {"rows 2-4 on row 8 end at 6-8", {2, 3, 4}, 8, "ABFGHICDEJ", {6, 7, 8}},
        {"rows 2-4 on the last row end the list", {2, 3, 4}, 9, "ABFGHIJCDE", {7, 8, 9}},
        {"rows 2 and 5 on row 8 would pass the end", {2, 5}, 8, "ABCDEFGHIJ", {2, 5}},
        {"rows 2 and 5 on row 7", {2, 5}, 7, "ABDEGHCIJF", {6, 9}},
        {"rows 3-5 on row 4 move up one", {3, 4, 5}, 4, "ABDEFCGHIJ", {2, 3, 4}},
        {"on the first selected row", {4, 5}, 4, "ABCDEFGHIJ", {4, 5}},
        {"rows 6 and 8 above, on row 1", {6, 8}, 1, "AGBICDEFHJ", {1, 3}},
        {"no target", {2}, -1, "ABCDEFGHIJ", {2}},
        {"no selection", {}, 3, "ABCDEFGHIJ", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fill();
        Select(c.rows);
        TFMover mover;
        mover.Inicia(&View, &Data);
        mover.MoveDrop(c.target);
        EXPECT_EQ(ShownOrder(), c.order);
        EXPECT_EQ(Selected(), c.selected);
    }
}

TEST_F(MoverTest, TheTagNamesTheListThatMoves)
{
    for (const char* name : {"A", "B", "C", "D"})
        Data.Satelites.New()->Name = name;
    TFSatelites satelites;
    View.setProperty("Tag", 2);
    satelites.Start(&View, nullptr, &Data);
    Select({3});
    TFMover mover;
    mover.Inicia(&View, &Data);
    mover.MoveDrop(0);
    std::string order;
    for (int i = 0; i < 4; ++i)
        order += Data.Satelites.Get(i)->Name.str();
    EXPECT_EQ(order, "DABC");
    EXPECT_EQ(ChannelOrder(), "ABCDEFGHIJ");
    EXPECT_EQ(View.model()->index(0, 0).data().toString(), "D");

    // A view of no record list (the tools) moves nothing.
    View.setProperty("Tag", 5);
    Select({3});
    mover.MoveDrop(0);
    EXPECT_EQ(View.model()->index(0, 0).data().toString(), "D");
    EXPECT_EQ(View.model()->index(3, 0).data().toString(), "C");
}

} // namespace
