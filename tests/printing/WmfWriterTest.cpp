// Report pages as Windows metafiles, read back with libwmf's wmf2svg, which
// places every character where the metafile says: each text of the page in
// drawing order and inside its cell (the title too, wrapped as in the PDF),
// the font as high as the layout's, every picture, one file per page.
#include "ReportTestSupport.h"

#include <QPixmap>

namespace {

TEST(WmfWriterTest, EveryPageConvertsAsThePdfDrawsIt)
{
    if (!HasTool(QStringLiteral("wmf2svg")))
        GTEST_SKIP() << "wmf2svg (libwmf-bin) not installed";
    auto model = ChannelList(70);
    QPixmap green(16, 16);
    green.fill(Qt::green);
    for (int r = 0; r < 70; r += 4)
        model->item(r)->setIcon(QIcon(green));
    model->item(2, 0)->setText(QStringLiteral("Niño €"));
    // The widest name, in the last column, ends past the right margin (718)
    // but on the line (730): only the paper's edge may cut it.
    const ReportRequest request{model.get(), {5000, 2, 0}, QStringLiteral("Lista de canales del receptor con un título que no cabe en una línea"), {}, 10, 1, true, false};
    TFQrManLst report;
    report.BeginRep(request);
    QString widest = QStringLiteral("Canal ");
    while (report.Columns()[2].left + ReportTextWidth({}, widest) < 720)
        widest += QLatin1Char('i');
    model->item(5, 0)->setText(widest);
    report.BeginRep(request);
    const ReportDocument doc = report.Generate();
    ASSERT_EQ(doc.pages.size(), 2u);
    ASSERT_FALSE(doc.landscape);

    TempDir dir;
    const QString path = PathIn(dir, "list.wmf");
    const QStringList names = {path, PathIn(dir, "list_2.wmf")};
    EXPECT_EQ(WmfFileNames(path, 2), names);
    QString error;
    ASSERT_TRUE(WriteWmf(doc, path, &error)) << error.toStdString();

    const QRegularExpression glyph(QStringLiteral(R"re(font-size:([\d.]+);[^>]*matrix\((?:\S+ ){4}(\S+) \S+\)"\s*>([^<]*)</text>)re"));
    const QRegularExpression line(QStringLiteral(R"re(<line x1="(\S+)" y1="\S+" x2="(\S+)")re"));
    const double margin = doc.pages[0].images[0].rect.left(); // the page picture sits at the margin
    double widestEnd = 0;
    for (int p = 0; p < 2; ++p) {
        SCOPED_TRACE(testing::Message() << "page " << p + 1);
        const PageModel& page = doc.pages[std::size_t(p)];
        const QString svg = names[p] + QStringLiteral(".svg");
        ASSERT_TRUE(RunTool(QStringLiteral("wmf2svg"), {QStringLiteral("-o"), svg, names[p]}));
        // wmf2svg copies the metafile's Windows-1252 bytes as they are.
        const QString content = ToQt(ReadFileBytes(svg.toStdString()));
        EXPECT_EQ(content.count(QStringLiteral("<image")), qsizetype(page.images.size()));
        // wmf2svg fits the drawing to a box of its own: the column header's
        // line, first caption's left to last caption's right, gives the scale.
        const double x1 = line.match(content).captured(1).toDouble();
        const double x2 = line.match(content, content.lastIndexOf(QStringLiteral("<line"))).captured(2).toDouble();
        const double scale = (x2 - x1) / (doc.columns.back().left + doc.columns.back().width - doc.columns.front().left);
        const double origin = x1 / scale - margin - doc.columns.front().left;

        auto it = glyph.globalMatch(content);
        double titleSize = 0;
        for (const ReportText& t : page.texts) {
            SCOPED_TRACE(t.text.toStdString());
            // Wrapped lines lose the blank they break at.
            const QString want = t.wordWrap ? QString(t.text).remove(QLatin1Char(' ')) : t.text;
            QString got;
            double left = 1e9, right = 0, size = 0;
            while (it.hasNext() && got.size() < want.size()) {
                const auto m = it.next();
                got += t.wordWrap ? m.captured(3).remove(QLatin1Char(' ')) : m.captured(3);
                const double x = m.captured(2).toDouble() / scale - origin;
                left = std::min(left, x);
                right = std::max(right, x + ReportTextWidth(t.font, m.captured(3)));
                size = m.captured(1).toDouble();
            }
            ASSERT_EQ(got, want);
            EXPECT_GE(left, t.rect.left() - 0.5);
            EXPECT_LE(right, t.rect.right() + 0.5);
            widestEnd = t.text == widest ? right : widestEnd;
            titleSize = t.role == ReportText::Title ? size : titleSize;
            EXPECT_NEAR(size / titleSize * TFQrManLst::FontHeight(24), TFQrManLst::FontHeight(int(t.font.pointSize)), 0.01);
        }
        EXPECT_FALSE(it.hasNext());
    }
    EXPECT_GT(widestEnd, margin + 718);
}

} // namespace
