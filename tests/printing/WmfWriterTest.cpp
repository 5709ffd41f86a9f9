// Report pages as Windows metafiles, read back with libwmf's wmf2svg: every
// text of the page in drawing order, every picture, one file per page.
#include "ReportTestSupport.h"

#include <QPixmap>

namespace {

TEST(WmfWriterTest, EveryPageConvertsWithItsTextsAndPictures)
{
    if (!HasTool(QStringLiteral("wmf2svg")))
        GTEST_SKIP() << "wmf2svg (libwmf-bin) not installed";
    auto model = ChannelList(70);
    QPixmap green(16, 16);
    green.fill(Qt::green);
    for (int r = 0; r < 70; r += 4)
        model->item(r)->setIcon(QIcon(green));
    model->item(2, 0)->setText(QStringLiteral("Niño €"));
    const ReportDocument doc = Generated(model.get(), {5000, 0, 2});
    ASSERT_EQ(doc.pages.size(), 2u);

    TempDir dir;
    const QString path = PathIn(dir, "list.wmf");
    const QStringList names = {path, PathIn(dir, "list_2.wmf")};
    EXPECT_EQ(WmfFileNames(path, 2), names);
    QString error;
    ASSERT_TRUE(WriteWmf(doc, path, &error)) << error.toStdString();

    for (int p = 0; p < 2; ++p) {
        const QString svg = names[p] + QStringLiteral(".svg");
        ASSERT_TRUE(RunTool(QStringLiteral("wmf2svg"), {QStringLiteral("-o"), svg, names[p]})) << p;
        // wmf2svg copies the metafile's Windows-1252 bytes as they are.
        const QString content = ToQt(ReadFileBytes(svg.toStdString()));
        QStringList texts;
        const QRegularExpression text(QStringLiteral(">([^<]*)</text>"));
        for (auto it = text.globalMatch(content); it.hasNext();)
            texts << it.next().captured(1);
        QStringList expected;
        for (const ReportText& t : doc.pages[std::size_t(p)].texts)
            expected << t.text;
        EXPECT_EQ(texts, expected) << "page " << p + 1;
        EXPECT_EQ(content.count(QStringLiteral("<image")), qsizetype(doc.pages[std::size_t(p)].images.size()))
            << "page " << p + 1;
    }
}

} // namespace
