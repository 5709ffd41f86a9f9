#include "windows/Historial.h"
#include "windows/TFHistorial.h"

#include "foundation/ui/QtText.h"
#include "support/ScriptedMessageBoxes.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

TEST(Historial, TheNewestEntryGivesTheVersionText)
{
    EXPECT_EQ(GetVersionStr(), "1.03.001");
    const std::vector<Linea> programs = HistoryTable;
    const std::int32_t last = HistoryLast;
    const struct {
        int major, minor, build;
        const char* text;
    } cases[] = {
        {2, 10, 123, "2.10.123"},
        {1, 0, 0, "1.00.000"},
        {12, 345, 6789, "12.345.6789"}, // the widths are minimums
    };
    for (const auto& c : cases) {
        HistoryTable.clear();
        HistoryLast = -1;
        AddHistory(c.major, c.minor, c.build, "02/02/2002", "newest");
        AddHistory(1, 9, 3, "01/01/2001", "older|change");
        EXPECT_EQ(HistoryLast, 1);
        EXPECT_EQ(GetVersionStr(), c.text);
    }
    HistoryTable = programs;
    HistoryLast = last;
}

TEST(TFHistorial, ArreglaComentario)
{
    const struct {
        const char* comment;
        const char* separator;
        const char* result;
    } cases[] = {
        {"a||b", " ", "a  b"}, {"a||b", "\r", "- a\r- \r- b"}, {"one change", "\r", "- one change"},
        {"", " ", ""},         {"", "\r", "- "},                {"|", "\r", "- \r- "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TFHistorial::ArreglaComentario(c.comment, c.separator), c.result)
            << '"' << c.comment << "\" with separator " << int(c.separator[0]);
}

TEST(TFHistorial, ListsEveryVersionAndShowsTheOneDoubleClicked)
{
    ScriptedMessageBoxes boxes;
    TFHistorial dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* L = dialog.findChild<QTreeWidget*>("L");
    ASSERT_EQ(L->topLevelItemCount(), 3);
    const QStringList second = {"1.02", "1", "08/09/2004"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(L->topLevelItem(1)->text(i), second[i]);
    // Every column shows its whole title and its widest cell.
    for (int i = 0; i < 4; ++i) {
        int widest = QFontMetrics(L->header()->font()).horizontalAdvance(L->headerItem()->text(i));
        for (int row = 0; row < 3; ++row)
            widest = std::max(widest, QFontMetrics(L->font()).horizontalAdvance(L->topLevelItem(row)->text(i)));
        EXPECT_GE(L->columnWidth(i), widest) << "column " << i;
    }

    // Nothing selected: nothing shown.
    L->clearSelection();
    dialog.LDblClick();
    EXPECT_TRUE(boxes.Boxes().empty());

    const QPoint onRow(10, L->visualItemRect(L->topLevelItem(1)).center().y());
    QTest::mouseClick(L->viewport(), Qt::LeftButton, {}, onRow);
    QTest::mouseDClick(L->viewport(), Qt::LeftButton, {}, onRow);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    const auto& box = boxes.Boxes().front();
    EXPECT_EQ(box.kind, BoxKind::Plain);
    EXPECT_EQ(box.caption, "Vexa 4400 Utils");
    // One line per change; the accented letters are single Windows-1252 bytes.
    EXPECT_TRUE(box.text.starts_with("Versi\xF3n: 1.02\rRev.: 1\rFecha: 08/09/2004\rComentario: \r"
                                     "- A\xF1" "adida comprobacion de que los datos")) << box.text;
    EXPECT_TRUE(box.text.ends_with("\r- Mejorado el funcionamiento de a\xF1" "adir Canales")) << box.text;
    EXPECT_EQ(std::count(box.text.begin(), box.text.end(), '\r'), 4 + 7);

    dialog.findChild<QPushButton*>("Button1")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
}
