// The search dialog over a list view: live results, case of the letters
// ignored. (The channel list's search, numbered, and the double click that
// selects a found row are in TFChannelsTest.)
#include "foundation/ui/QtText.h"
#include "support/qt/ModalDialogs.h"
#include "windows/TFBuscar.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyle>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include <memory>

namespace {

class BuscarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Rows as the channel list shows them: name, number, satellite.
        const char* rows[][3] = {
            {"Canal Uno", "1", "Astra"},  {"Otro", "2", "Hispasat"},  {"CANAL DOS", "3", "Astra"},
            {"Mi canal", "4", "Hotbird"}, {"Cana", "5", "Astra"},     {"canalla", "6", "Hispasat"},
        };
        for (auto& r : rows) {
            QList<QStandardItem*> items;
            for (const char* cell : r)
                items.append(new QStandardItem(QString::fromUtf8(cell)));
            items[0]->setIcon(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon));
            Source.appendRow(items);
        }
        SourceTester = std::make_unique<QAbstractItemModelTester>(
            &Source, QAbstractItemModelTester::FailureReportingMode::Fatal);
        View.setModel(&Source);
        View.setSelectionBehavior(QAbstractItemView::SelectRows);
        View.setSelectionMode(QAbstractItemView::ExtendedSelection);
    }

    QStringList Column(const QAbstractItemModel* m, int column) const
    {
        QStringList cells;
        for (int r = 0; r < m->rowCount(); ++r)
            cells << m->index(r, column).data().toString();
        return cells;
    }

    // The dialog's results, watched from its creation on.
    static std::unique_ptr<QAbstractItemModelTester> Watch(TFBuscar& dialog)
    {
        return std::make_unique<QAbstractItemModelTester>(dialog.findChild<QTreeView*>("ListView")->model(),
                                                          QAbstractItemModelTester::FailureReportingMode::Fatal);
    }

    QStandardItemModel Source;
    std::unique_ptr<QAbstractItemModelTester> SourceTester;
    QTreeView View;
};

TEST_F(BuscarTest, TypingListsTheMatchingRowsInListOrderWhateverTheCase)
{
    TFBuscar dialog;
    const auto tester = Watch(dialog);
    WhenModal(&dialog, [&](QWidget*) {
        auto* edit = dialog.findChild<QLineEdit*>("Edit1");
        auto* results = dialog.findChild<QTreeView*>("ListView");
        EXPECT_EQ(results->model()->rowCount(), 0); // nothing typed, nothing listed
        QTest::keyClicks(edit, "canal ");
        EXPECT_EQ(Column(results->model(), 0), QStringList({"Canal Uno", "CANAL DOS"}));
        QTest::keyClick(edit, Qt::Key_Backspace);
        EXPECT_EQ(Column(results->model(), 0), QStringList({"Canal Uno", "CANAL DOS", "Mi canal", "canalla"}));
        EXPECT_EQ(Column(results->model(), 1), QStringList({"1", "3", "4", "6"}));
        EXPECT_FALSE(results->model()->index(0, 0).data(Qt::DecorationRole).isNull());
        QApplication::processEvents();
        EXPECT_LE(results->header()->length(), results->viewport()->width()); // the columns fit
        EXPECT_FALSE(results->horizontalScrollBar()->isVisible());
        edit->clear();
        EXPECT_EQ(results->model()->rowCount(), 0);
        dialog.reject();
    });
    dialog.Execute(&View, "Buscar Canal", false);
}

} // namespace
