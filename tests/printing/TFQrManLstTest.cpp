// The list report's layout and generation: widths, blocks, the landscape
// switch, the stretched last column, page breaks, cells, icons, and that
// every generation starts from the first row and ends.
#include "ReportTestSupport.h"

#include <QPixmap>

namespace {

std::vector<QString> Texts(const PageModel& page, ReportText::Role role)
{
    std::vector<QString> texts;
    for (const ReportText& t : page.texts)
        if (t.role == role)
            texts.push_back(t.text);
    return texts;
}

std::vector<std::vector<QString>> AllRows(const ReportDocument& doc)
{
    std::vector<std::vector<QString>> rows;
    for (const PageModel& page : doc.pages)
        rows.insert(rows.end(), page.rows.begin(), page.rows.end());
    return rows;
}

// Columns follow each other 4 pixels apart, blocks 8; the line turns to
// landscape for good once it passes 730; the last column reaches 4 pixels
// short of the line's end only when more than 8 pixels are left.
TEST(TFQrManLstTest, LayoutFollowsTheLineRules)
{
    const struct { int captionChars, columns, blocks; bool fitEnd, landscape; } cases[] = {
        {4, 2, 1, true, false}, {4, 2, 1, false, false}, {12, 4, 2, true, true},
        {30, 3, 3, true, true}, {40, 5, 5, true, true},  {4, 2, 3, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.captionChars << "x" << c.columns << " in " << c.blocks);
        QStandardItemModel model(3, c.columns);
        std::vector<int> codes;
        for (int k = 0; k < c.columns; ++k) {
            model.setHeaderData(k, Qt::Horizontal, QString(c.captionChars, QLatin1Char('W')));
            codes.push_back(k);
        }
        TFQrManLst report;
        report.BeginRep({&model, codes, QStringLiteral("T"), {}, 10, c.blocks, false, c.fitEnd});
        EXPECT_EQ(report.Landscape(), c.landscape);
        const std::vector<ReportColumn> columns = report.Columns();
        ASSERT_EQ(columns.size(), std::size_t(c.columns * c.blocks));
        double x = 0;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const int natural = report.CalculateWidth(int(i) % c.columns);
            EXPECT_EQ(columns[i].left, x) << i;
            EXPECT_EQ(columns[i].block, int(i) / c.columns) << i;
            EXPECT_TRUE(i + 1 == columns.size() || columns[i].width == natural) << i;
            x += natural + ((i + 1) % std::size_t(c.columns) == 0 && i + 1 < columns.size() ? 8 : 4);
        }
        const int line = TFQrManLst::WidthPap(c.landscape);
        const bool stretched = c.fitEnd && line > x + 8;
        EXPECT_EQ(columns.back().left + columns.back().width,
                  stretched ? line - 4 : columns.back().left + report.CalculateWidth(c.columns - 1));
    }
}

TEST(TFQrManLstTest, PagesHoldTheirShareOfLines)
{
    const struct { int rows, blocks, points; bool landscape; int pages, lastLines; } cases[] = {
        {0, 1, 10, false, 1, 0},    {59, 1, 10, false, 1, 59}, {60, 1, 10, false, 2, 1},
        {200, 1, 10, false, 4, 23}, {151, 1, 3, false, 2, 1},  {42, 1, 14, false, 1, 42},
        {190, 5, 10, true, 2, 1},   {6, 3, 10, false, 1, 2},   {7, 3, 10, false, 1, 3},
    };
    for (const auto& c : cases) {
        auto model = ChannelList(c.rows);
        const ReportDocument doc = Generated(model.get(), {5000, 0, 1, 2}, c.blocks, c.points);
        SCOPED_TRACE(testing::Message() << c.rows << " rows, " << c.blocks << " blocks, " << c.points << " points");
        EXPECT_EQ(doc.landscape, c.landscape);
        ASSERT_EQ(int(doc.pages.size()), c.pages);
        EXPECT_EQ(int(doc.pages.back().rows.size()), c.lastLines);
        for (const PageModel& page : doc.pages) {
            EXPECT_EQ(Texts(page, ReportText::Footer), std::vector<QString>{ToQt(LangText(4)) + " " + QString::number(page.number)});
            EXPECT_EQ(Texts(page, ReportText::Header).size(), std::size_t(4 * c.blocks));
        }
        // Row numbers run through the blocks left to right, line by line;
        // the last line's blocks past the list's end stay blank.
        std::vector<QString> numbers, expected;
        for (const auto& line : AllRows(doc))
            for (int b = 0; b < c.blocks; ++b)
                numbers.push_back(line[std::size_t(4 * b)]);
        for (int i = 1; i <= int(numbers.size()); ++i)
            expected.push_back(i <= c.rows ? QString::number(i) : QString());
        EXPECT_EQ(numbers, expected);
    }
}

// Icons print at the block's start and push the text, icon or not. The name
// column keeps its blanks; the others lose the trailing ones.
TEST(TFQrManLstTest, CellsAndIconsOfTheRows)
{
    auto model = ChannelList(2);
    QPixmap red(16, 16);
    red.fill(Qt::red);
    model->item(0)->setIcon(QIcon(red));
    model->item(1, 0)->setText(QStringLiteral("Canal 2  "));
    TFQrManLst report;
    report.BeginRep({model.get(), {0, 1}, QStringLiteral("T"), {}, 10, 2});
    const QStringList cells = {report.GetElement(1, 0), report.GetElement(1, 2), report.GetElement(4, 5000),
                               report.GetElement(0, 3), report.GetElement(2, 0), report.GetElement(-1, 0)};
    EXPECT_EQ(cells, QStringList({"Canal 2  ", "Astra 19.2E", "5", "", "", ""}));
    const ReportDocument doc = report.Generate();
    const PageModel& page = doc.pages.front();
    ASSERT_EQ(page.images.size(), 2u); // the page picture and row 1's icon
    const ReportImage& icon = page.images[1];
    EXPECT_EQ(icon.image.pixelColor(3, 3), QColor(Qt::red));
    EXPECT_EQ(icon.rect.size(), QSizeF(13, 13));
    const double margin = page.images[0].rect.left(); // the page picture sits at the margin
    EXPECT_NEAR(icon.rect.left(), margin + doc.columns[0].left, 1e-9);
    for (const ReportText& t : page.texts) {
        if (t.role == ReportText::Cell && t.text.startsWith(QStringLiteral("Canal"))) {
            EXPECT_NEAR(t.rect.left(), margin + doc.columns[t.text.endsWith('1') ? 0 : 2].left + 15, 1e-9);
        }
    }
}

// An aborted generation must not make the next one start mid-list, and a
// list that loses rows while it prints must still come to an end.
TEST(TFQrManLstTest, EveryGenerationStartsAtRowOneAndEnds)
{
    auto model = ChannelList(130);
    TFQrManLst report;
    report.BeginRep({model.get(), {5000}, {}, {}, 10, 1, true, true});
    TFQrManLst::Hooks stopAfterOne;
    stopAfterOne.pageReady = [](const PageModel&) { return false; };
    EXPECT_EQ(report.Generate(stopAfterOne).pages.size(), 1u);
    const auto again = AllRows(report.Generate());
    ASSERT_EQ(again.size(), 130u);
    EXPECT_EQ(again.front().front(), QStringLiteral("1"));

    TFQrManLst::Hooks shrink;
    shrink.progress = [&](int, int, int position) {
        if (position == 100)
            model->removeRows(0, 60);
    };
    EXPECT_EQ(AllRows(report.Generate(shrink)).size(), 99u);
    EXPECT_EQ(AllRows(report.Generate()).size(), 70u);
}

} // namespace
