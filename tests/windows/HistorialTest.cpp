#include "windows/Historial.h"
#include "windows/TFHistorial.h"

#include "support/ScriptedMessageBoxes.h"
#include "foundation/ui/QtText.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

// Lets a test rewrite the history and puts the program's own back afterwards.
class SavedHistory {
public:
    SavedHistory() : table_(HistoryTable), last_(HistoryLast) {}
    ~SavedHistory()
    {
        HistoryTable = table_;
        HistoryLast = last_;
    }

private:
    std::vector<Linea> table_;
    std::int32_t last_;
};

} // namespace

TEST(Historial, TheProgramsHistoryNewestFirst)
{
    ASSERT_EQ(HistoryTable.size(), 3u);
    EXPECT_EQ(HistoryLast, 2);
    EXPECT_EQ(GetVersionStr(), "1.03.001");

    const struct {
        int major, minor, build;
        const char* date;
        size_t changes;
    } expected[] = {{1, 3, 1, "07/11/2004", 3}, {1, 2, 1, "08/09/2004", 8}, {1, 0, 1, "15/08/2004", 1}};
    for (size_t i = 0; i < 3; ++i) {
        const Linea& entry = HistoryTable[i];
        EXPECT_EQ(entry.Major, expected[i].major) << "entry " << i;
        EXPECT_EQ(entry.Minor, expected[i].minor) << "entry " << i;
        EXPECT_EQ(entry.Build, expected[i].build) << "entry " << i;
        EXPECT_EQ(entry.Date, expected[i].date) << "entry " << i;
        EXPECT_EQ(size_t(std::count(entry.Comment.begin(), entry.Comment.end(), '|')) + 1, expected[i].changes)
            << "entry " << i;
    }
    // The accented letters are single Windows-1252 bytes.
    EXPECT_NE(HistoryTable[0].Comment.find("sat\xE9lites de 18 a 17"), std::string::npos);
    EXPECT_EQ(HistoryTable[1].Comment.substr(0, 8), "A\xF1" "adida ");
    EXPECT_EQ(ToQt(HistoryTable[1].Comment).right(14), QStringLiteral("añadir Canales"));
    EXPECT_EQ(HistoryTable[2].Comment, "Primera entrega");
}

TEST(Historial, VersionTextPadsMinorAndBuild)
{
    const struct {
        int major, minor, build;
        const char* text;
    } cases[] = {
        {1, 3, 1, "1.03.001"},
        {2, 10, 123, "2.10.123"},
        {1, 0, 0, "1.00.000"},
        {12, 345, 6789, "12.345.6789"}, // the widths are minimums
    };
    for (const auto& c : cases) {
        SavedHistory saved;
        HistoryTable.clear();
        HistoryLast = -1;
        AddHistory(c.major, c.minor, c.build, "01/01/2000", "x");
        EXPECT_EQ(GetVersionStr(), c.text);
    }
}

TEST(Historial, AddHistoryAppendsAndTheFirstEntryStaysTheVersion)
{
    SavedHistory saved;
    HistoryTable.clear();
    HistoryLast = -1;
    AddHistory(2, 1, 7, "02/02/2002", "newest");
    AddHistory(1, 9, 3, "01/01/2001", "older|change");
    EXPECT_EQ(HistoryLast, 1);
    ASSERT_EQ(HistoryTable.size(), 2u);
    EXPECT_EQ(HistoryTable[1].Comment, "older|change");
    EXPECT_EQ(HistoryTable[1].Date, "01/01/2001");
    EXPECT_EQ(GetVersionStr(), "2.01.007");
}

TEST(TFHistorial, ArreglaComentario)
{
    const struct {
        const char* comment;
        const char* separator;
        const char* result;
    } cases[] = {
        {"a|b", " ", "a b"},
        {"a|b", "\r", "- a\r- b"},
        {"one change", " ", "one change"},
        {"one change", "\r", "- one change"},
        {"a||b", " ", "a  b"},
        {"a||b", "\r", "- a\r- \r- b"},
        {"", " ", ""},
        {"", "\r", "- "},
        {"|", "\r", "- \r- "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TFHistorial::ArreglaComentario(c.comment, c.separator), c.result)
            << '"' << c.comment << "\" with separator " << int(c.separator[0]);
}

TEST(TFHistorial, ListsEveryVersion)
{
    TFHistorial dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Detalles"));
    EXPECT_EQ(dialog.findChild<QLabel*>("Label1")->text(), QStringLiteral("Historial"));
    EXPECT_EQ(dialog.findChild<QPushButton*>("Button1")->text(), QStringLiteral("Cerrar"));
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);

    auto* L = dialog.findChild<QTreeWidget*>("L");
    ASSERT_NE(L, nullptr);
    const QStringList titles = {QStringLiteral("Versión"), QStringLiteral("Rev."), QStringLiteral("Fecha"),
                                QStringLiteral("Comentario")};
    ASSERT_EQ(L->columnCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(L->headerItem()->text(i), titles[i]);

    ASSERT_EQ(L->topLevelItemCount(), 3);
    const char* versions[] = {"1.03", "1.02", "1.00"};
    for (int row = 0; row < 3; ++row) {
        const QTreeWidgetItem* item = L->topLevelItem(row);
        EXPECT_EQ(item->text(0), QLatin1String(versions[row]));
        EXPECT_EQ(item->text(1), QStringLiteral("1"));
        EXPECT_EQ(item->text(2), ToQt(HistoryTable[size_t(row)].Date));
        EXPECT_EQ(item->text(3), ToQt(TFHistorial::ArreglaComentario(HistoryTable[size_t(row)].Comment, " ")));
    }
    EXPECT_TRUE(L->topLevelItem(0)->text(3).contains(QStringLiteral("Favoritos Reducida")));

    // Every column shows its whole title and its widest cell.
    const QFontMetrics fm(L->font());
    for (int i = 0; i < 4; ++i) {
        int widest = QFontMetrics(L->header()->font()).horizontalAdvance(titles[i]);
        for (int row = 0; row < 3; ++row)
            widest = std::max(widest, fm.horizontalAdvance(L->topLevelItem(row)->text(i)));
        EXPECT_GE(L->columnWidth(i), widest) << "column " << i;
    }
}

TEST(TFHistorial, DoubleClickShowsTheSelectedVersionLineByLine)
{
    ScriptedMessageBoxes boxes;
    TFHistorial dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* L = dialog.findChild<QTreeWidget*>("L");
    ASSERT_NE(L, nullptr);

    // Nothing selected: nothing shown.
    L->clearSelection();
    dialog.LDblClick();
    EXPECT_TRUE(boxes.Boxes().empty());

    QTreeWidgetItem* item = L->topLevelItem(1);
    const QPoint onRow(10, L->visualItemRect(item).center().y());
    QTest::mouseClick(L->viewport(), Qt::LeftButton, {}, onRow);
    QTest::mouseDClick(L->viewport(), Qt::LeftButton, {}, onRow);
    ASSERT_TRUE(item->isSelected());
    ASSERT_EQ(boxes.Boxes().size(), 1u);

    const auto& box = boxes.Boxes().front();
    EXPECT_EQ(box.kind, BoxKind::Plain);
    EXPECT_EQ(box.caption, "Vexa 4400 Utils");
    const std::string expected = "Versi\xF3n: 1.02\r"
                                 "Rev.: 1\r"
                                 "Fecha: 08/09/2004\r"
                                 "Comentario: \r"
                                 "- A\xF1" "adida comprobacion de que los datos han sido grabados antes de salir\r"
                                 "- Posibilidad de cambiar el tama\xF1o de la ventana principal\r"
                                 "- Al borrar transponders, antenas o satelites avisa del borrado de canales\r"
                                 "- Impresi\xF3n de datos con posibilidad de enculumnar\r"
                                 "- Arreglado un error al organizar favoritos\r"
                                 "- Ahora se puede recuperar un ERR0\r"
                                 "- Soporte para multilenguage\r"
                                 "- Mejorado el funcionamiento de a\xF1" "adir Canales";
    EXPECT_EQ(box.text, expected);
}

TEST(TFHistorial, CloseButtonEndsWithOk)
{
    TFHistorial dialog;
    dialog.show();
    dialog.findChild<QPushButton*>("Button1")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
}
