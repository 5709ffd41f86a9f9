// Pages drawn to PDF and to a PDF printer, read back with poppler's tools:
// page count, sheet and orientation, and every row and page number once.
#include "ReportTestSupport.h"

#include <QFontMetricsF>
#include <QPrinter>

namespace {

TEST(PagePainterTest, ReportToPdfReadsBackPageByPage)
{
    if (!HasTool(QStringLiteral("pdfinfo")) || !HasTool(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "poppler-utils not installed";
    const struct { int rows; std::vector<int> codes; int pages; bool landscape; } cases[] = {
        {200, {5000, 0, 1, 2}, 4, false},
        {200, {5000, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2}, 6, true},
        {0, {5000, 0}, 1, false},
    };
    TempDir dir;
    const QString path = PathIn(dir, "list.pdf");
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << " rows, " << c.codes.size() << " columns");
        auto model = ChannelList(c.rows);
        QString error;
        ASSERT_TRUE(WritePdf(Generated(model.get(), c.codes), path, &error)) << error.toStdString();
        PdfFacts pdf;
        ASSERT_TRUE(ReadPdf(path, pdf));
        EXPECT_EQ(pdf.pages, c.pages);
        EXPECT_EQ(pdf.size, c.landscape ? "842 x 595 pts (A4)" : "595 x 842 pts (A4)");
        EXPECT_EQ(pdf.PageNumbers(), Range(1, c.pages));
        EXPECT_EQ(Numbers(pdf.text, "^\\s*(\\d+)\\s+Canal"), Range(1, c.rows));
        EXPECT_EQ(pdf.text.count(QStringLiteral("Lista de canales")), c.pages);
        EXPECT_EQ(pdf.text.count(QStringLiteral("Núm")), c.pages); // the header on every page
    }
    // A printer gets the pages of its range, each copy of a page together
    // when the copies are not collated (the preview's own order is tested there).
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(3, 9);
    printer.setCopyCount(2);
    printer.setCollateCopies(false);
    auto model = ChannelList(200);
    ASSERT_TRUE(PrintDocument(printer, Generated(model.get(), {5000, 0})));
    PdfFacts pdf;
    ASSERT_TRUE(ReadPdf(path, pdf));
    EXPECT_EQ(pdf.PageNumbers(), (std::vector<int>{3, 3, 4, 4}));
}

// Widths are the shaper's, for plain text and for what shaping treats in
// its own way: a soft hyphen it hides, a tab, a combining accent, pairs a
// font may join, the signs of Windows-1252, a character from another font.
TEST(PagePainterTest, TextWidthsAreTheShapedWidths)
{
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(3780); // 96 dpi
    device.setDotsPerMeterY(3780);
    const QString texts[] = {QStringLiteral("Canal 1  "), QString(), QStringLiteral("office fl ffi Th"),
                             QStringLiteral("a\u00ADb"), QStringLiteral("a\tb"), QStringLiteral("e\u0301e"),
                             QStringLiteral("€Š™‰…"), QStringLiteral("😀 x")};
    for (const ReportFont& font : {ReportFont{}, ReportFont{QStringLiteral("Times New Roman"), 24, true}})
        for (const QString& text : texts)
            EXPECT_EQ(ReportTextWidth(font, text),
                      QFontMetricsF(ReportQFont(font, &device), &device).horizontalAdvance(text))
                << font.family.toStdString() << ": " << text.toStdString();
}

} // namespace
