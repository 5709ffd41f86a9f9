// The column dialog, driven while ListPrint runs it modally.
#include "printing/TFMainList.h"

#include "ReportTestSupport.h"
#include "support/qt/ModalDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// The list's captions, "#" standing for the row-number column.
QStringList Rows(const QTreeWidget* list)
{
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows << list->topLevelItem(i)->text(0);
    return rows.replaceInStrings(ToQt(LangText(2010)), "#");
}

void Select(QTreeWidget* list, int row)
{
    list->setCurrentItem(list->topLevelItem(row));
}

class ColumnDialogTest : public ::testing::Test {
protected:
    // A list view with columns A .. E.
    ColumnDialogTest()
    {
        model.setHorizontalHeaderLabels({"A", "B", "C", "D", "E"});
        view.setModel(&model);
    }

    // Runs the dialog with act; act's dialog is closed afterwards if still open.
    void Run(const std::function<void(TFMainList*)>& act, const std::string& title = "Listado de Canales",
             const std::string& subtitle = "")
    {
        WhenModal(&dialog, [&](QWidget*) {
            act(&dialog);
            if (dialog.isVisible())
                dialog.BitBtn6->click();
        });
        dialog.ListPrint(&view, title, subtitle);
    }

    QStandardItemModel model;
    QTreeView view;
    TFMainList dialog;
};

} // namespace

TEST_F(ColumnDialogTest, OffersEveryColumnAndTheOrderButtonsMoveOneRow)
{
    Run([](TFMainList* d) {
        // The row number comes first, then every column; nothing removed yet.
        EXPECT_EQ(Rows(d->ListBox1), QStringList({"#", "A", "B", "C", "D", "E"}));
        EXPECT_FALSE(d->BitBtn2->isEnabled());
        d->Edit1->selectAll();
        QTest::keyClicks(d->Edit1, QString(60, QLatin1Char('x')));
        EXPECT_EQ(d->ReportTitle(), std::string(50, 'x'));
        d->SpinButton1Up->click(); // first row: nothing
        Select(d->ListBox1, 5);
        d->SpinButton1Down->click(); // last row: nothing
        EXPECT_EQ(d->ChosenCodes(), (std::vector<int>{5000, 0, 1, 2, 3, 4}));
        d->SpinButton1Up->click();
        Select(d->ListBox1, 1);
        d->SpinButton1Down->click();
        EXPECT_EQ(d->ChosenCodes(), (std::vector<int>{5000, 1, 0, 2, 4, 3}));
        EXPECT_EQ(SelectedRow(d->ListBox1), 2);
    });
    view.setModel(nullptr); // a view without columns offers the row number alone
    Run([](TFMainList* d) { EXPECT_EQ(d->ChosenCodes(), std::vector<int>{5000}); });
}

TEST_F(ColumnDialogTest, DropsFollowTheirSourceAndTheRowUnderThePoint)
{
    // source, target: 1 ListBox1, 2 ListBox2, 0 a drag from elsewhere; row: under the point, -1 below the rows.
    const struct { const char* what; int source, selected, target, row; bool accepted; QStringList chosen, removed; }
    cases[] = {
        // Before each drop: chosen # A B C, removed E D.
        {"on the row above swaps", 1, 3, 1, 2, true, {"#", "A", "C", "B"}, {"E", "D"}},
        {"takes the target's place", 1, 0, 1, 2, true, {"A", "B", "#", "C"}, {"E", "D"}},
        {"on itself stays", 1, 2, 1, 2, true, {"#", "A", "B", "C"}, {"E", "D"}},
        {"below the rows goes last", 1, 1, 1, -1, true, {"#", "B", "C", "A"}, {"E", "D"}},
        {"brought back after the row", 2, 0, 1, 1, true, {"#", "A", "E", "B", "C"}, {"D"}},
        {"brought back below the rows", 2, 1, 1, -1, true, {"#", "A", "B", "C", "D"}, {"E"}},
        {"removed after the row", 1, 0, 2, 0, true, {"A", "B", "C"}, {"E", "#", "D"}},
        {"removed list refuses itself", 2, 0, 2, 1, false, {"#", "A", "B", "C"}, {"E", "D"}},
        {"a foreign drag is refused", 0, 0, 1, 1, false, {"#", "A", "B", "C"}, {"E", "D"}},
    };
    for (const auto& c : cases) {
        Run([&](TFMainList* d) {
            for (int row : {5, 4}) {
                Select(d->ListBox1, row);
                d->BitBtn1->click();
            }
            QTreeWidget* source = c.source == 2 ? d->ListBox2 : d->ListBox1;
            QTreeWidget* target = c.target == 2 ? d->ListBox2 : d->ListBox1;
            Select(source, c.selected);
            std::unique_ptr<QMimeData> data(c.source ? d->DragData(source) : new QMimeData);
            if (!c.source)
                data->setText("A");
            const QPoint at = c.row >= 0 ? target->visualItemRect(target->topLevelItem(c.row)).center()
                                         : QPoint(5, target->viewport()->height() - 3);
            QDragEnterEvent enter(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
            QApplication::sendEvent(target->viewport(), &enter);
            EXPECT_EQ(enter.isAccepted(), c.accepted) << c.what;
            QDropEvent drop(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
            QApplication::sendEvent(target->viewport(), &drop);
            EXPECT_EQ(Rows(d->ListBox1), c.chosen) << c.what;
            EXPECT_EQ(Rows(d->ListBox2), c.removed) << c.what;
        });
    }
}

TEST_F(ColumnDialogTest, ThePanelLocksTheRestAndClosingResetsIt)
{
    Run([](TFMainList* d) {
        while (d->ListBox1->topLevelItemCount() > 0)
            d->BitBtn1->click(); // the first row is selected again each time
        EXPECT_FALSE(d->BitBtn5->isEnabled() || d->BitBtn1->isEnabled());
        d->BitBtn2->click();
        EXPECT_TRUE(d->Panel1->isVisible());
        for (QWidget* w : std::initializer_list<QWidget*>{d->BitBtn5, d->BitBtn2, d->SpinButton1, d->Edit1, d->BitBtn7})
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        Select(d->ListBox2, 0);
        EXPECT_TRUE(d->BitBtn7->isEnabled());
        d->BitBtn7->click(); // Núm comes back; print stays locked while the panel is open
        EXPECT_EQ(d->ChosenCodes(), std::vector<int>{5000});
        EXPECT_FALSE(d->BitBtn5->isEnabled());
        d->BitBtn4->click();
        EXPECT_TRUE(d->BitBtn5->isEnabled());
        d->BitBtn2->click(); // closed with the panel open
    });
    Run([](TFMainList* d) { EXPECT_TRUE(!d->Panel1->isVisible() && d->RestEnabled && d->Edit1->isEnabled()); });
    // A subtitle locks the title, also across the panel, and it prints as given.
    const std::string title(60, 'T');
    Run([&](TFMainList* d) {
        EXPECT_FALSE(d->Edit1->isEnabled());
        d->BitBtn2->click();
        d->BitBtn4->click();
        EXPECT_FALSE(d->Edit1->isEnabled());
        EXPECT_EQ(d->ReportTitle(), title);
    }, title, "Favoritos 1");
}

TEST_F(ColumnDialogTest, PrintShowsThePreviewAndTheDialogStaysOpenAndLockedMeanwhile)
{
    model.setRowCount(3);
    bool previewShown = false;
    ReportDocument doc;
    Run([&](TFMainList* d) {
        WhenPreviewReady(d, [&](TFPPreview* preview) {
            previewShown = preview->CallerForm == d;
            doc = preview->Document;
            EXPECT_FALSE(d->isEnabled());
            d->BitBtn6->click(); // refused: the report is in use
            d->BitBtn5->click(); // no second print either
            EXPECT_TRUE(d->isVisible());
            FPPreview->Cerrar->trigger();
        });
        Select(d->ListBox1, 1);
        d->BitBtn1->click();
        d->ComboBox1->setCurrentText("14");
        d->ComboBox2->setCurrentText("3");
        d->CheckBox2->setChecked(false);
        d->BitBtn5->click();
        EXPECT_TRUE(d->isVisible() && d->isEnabled());
        // Three blocks of the five chosen columns, at 14 points, the last one not stretched.
        ASSERT_EQ(doc.columns.size(), 15u);
        EXPECT_EQ(doc.columns[14].code, 4);
        EXPECT_DOUBLE_EQ(doc.columns[14].width, doc.columns[4].width);
        ASSERT_EQ(doc.pages.size(), 1u);
        EXPECT_EQ(doc.pages[0].rows.size(), 1u); // rows 1-3 on one line
        const auto& texts = doc.pages[0].texts;
        const auto cell = std::find_if(texts.begin(), texts.end(), [](auto& t) { return t.role == ReportText::Cell; });
        ASSERT_NE(cell, texts.end());
        EXPECT_EQ(cell->font.pointSize, 14);
    });
    EXPECT_TRUE(previewShown);
}
