// Pages drawn to PDF and to a PDF printer, read back with poppler's tools:
// page count, sheet and orientation, and every row and page number once.
#include "ReportTestSupport.h"

#include "printing/PagePainter.h"
#include "support/TempDir.h"

#include <QPrinter>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <numeric>

namespace {

struct PdfFacts {
    int pages = 0;
    QString size;     // "595 x 842 pts (A4)"
    QString text;     // pdftotext -layout
};

bool ReadPdf(const QString& path, PdfFacts& facts)
{
    QByteArray info, text;
    if (!RunTool(QStringLiteral("pdfinfo"), {path}, &info)
        || !RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")}, &text))
        return false;
    const QString s = QString::fromUtf8(info);
    facts.pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(s).captured(1).toInt();
    facts.size = QRegularExpression(QStringLiteral("Page size:\\s+(.*)")).match(s).captured(1).trimmed();
    facts.text = QString::fromUtf8(text);
    return true;
}

// The numbers the pattern's first group finds, in reading order.
std::vector<int> Numbers(const QString& text, const char* pattern)
{
    std::vector<int> numbers;
    const QRegularExpression re(QString::fromUtf8(pattern), QRegularExpression::MultilineOption);
    for (auto it = re.globalMatch(text); it.hasNext();)
        numbers.push_back(it.next().captured(1).toInt());
    return numbers;
}

std::vector<int> Range(int first, int last)
{
    std::vector<int> v(std::size_t(std::max(0, last - first + 1)));
    std::iota(v.begin(), v.end(), first);
    return v;
}

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
    for (const auto& c : cases) {
        auto model = ChannelList(c.rows);
        const ReportDocument doc = Generated(model.get(), c.codes);
        const QString path = QString::fromStdString((dir / "list.pdf").string());
        QString error;
        ASSERT_TRUE(WritePdf(doc, path, &error)) << error.toStdString();
        PdfFacts pdf;
        ASSERT_TRUE(ReadPdf(path, pdf));
        SCOPED_TRACE(testing::Message() << c.rows << " rows, " << c.codes.size() << " columns");
        EXPECT_EQ(pdf.pages, c.pages);
        EXPECT_EQ(pdf.size, c.landscape ? "842 x 595 pts (A4)" : "595 x 842 pts (A4)");
        EXPECT_EQ(Numbers(pdf.text, "Página (\\d+)"), Range(1, c.pages));
        EXPECT_EQ(Numbers(pdf.text, "^\\s*(\\d+)\\s+Canal"), Range(1, c.rows));
        EXPECT_EQ(pdf.text.count(QStringLiteral("Lista de canales")), c.pages);
        EXPECT_EQ(pdf.text.count(QStringLiteral("Núm")), c.pages); // the header on every page
    }
}

TEST(PagePainterTest, PrinterHonoursPageRangeAndCopies)
{
    if (!HasTool(QStringLiteral("pdftotext")))
        GTEST_SKIP() << "poppler-utils not installed";
    auto model = ChannelList(200);
    const ReportDocument doc = Generated(model.get(), {5000, 0});
    TempDir dir;
    const struct { int from, to, copies; bool collate; std::vector<int> pages; } cases[] = {
        {0, 0, 1, true, {1, 2, 3, 4}},
        {2, 3, 2, true, {2, 3, 2, 3}},
        {3, 9, 2, false, {3, 3, 4, 4}},
    };
    for (const auto& c : cases) {
        const QString path = QString::fromStdString((dir / "printed.pdf").string());
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        if (c.from > 0) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(c.from, c.to);
        }
        printer.setCopyCount(c.copies);
        printer.setCollateCopies(c.collate);
        ASSERT_TRUE(PrintDocument(printer, doc));
        PdfFacts pdf;
        ASSERT_TRUE(ReadPdf(path, pdf));
        EXPECT_EQ(Numbers(pdf.text, "Página (\\d+)"), c.pages) << c.from << "-" << c.to << " x" << c.copies;
    }
}

} // namespace
