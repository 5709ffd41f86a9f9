#include "printing/PagePainter.h"

#include "foundation/ui/ReplaceFiles.h"

#include <QBuffer>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace {

constexpr double kReportDpi = 96;

// The device every report text is measured on: 96 dpi, whatever the screen.
const QImage& MeasuringDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = int(kReportDpi / 0.0254 + 0.5);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

} // namespace

QFont ReportQFont(const ReportFont& font, const QPaintDevice* device)
{
    if (device == nullptr)
        device = &MeasuringDevice();
    QFont qfont(font.family);
    // Qt turns points into pixels with the device's dpi; the painter then
    // scales page units onto the device. Asking for the size the device would
    // need at 96 dpi keeps the text as large as the page says on every device.
    qfont.setPointSizeF(font.pointSize * kReportDpi / device->logicalDpiY());
    qfont.setBold(font.bold);
    qfont.setHintingPreference(QFont::PreferNoHinting);
    qfont.setKerning(false);
    qfont.setStyleStrategy(QFont::PreferOutline);
    return qfont;
}

namespace {

// What a string of one report font measures, learnt as texts are measured.
// Fitting columns to their content measures every cell of a list, and
// shaping a string costs microseconds where adding up the advances of its
// characters costs nanoseconds. The two agree exactly for the characters of
// Windows-1252 text (kerning is off in every report font) unless the font
// joins or moves neighbouring characters, as a ligature does: so each pair
// of neighbours is shaped once and trusted only when it measures as its two
// characters do, and any string with another character or an untrusted pair
// is shaped whole.
class TextMeasure {
    static constexpr double kUnknown = -2;

public:
    explicit TextMeasure(const ReportFont& font) : Font(font) {}

    bool Measures(const ReportFont& font) const
    {
        return font.pointSize == Font.pointSize && font.bold == Font.bold && font.family == Font.family;
    }

    double Width(const QString& text)
    {
        double width = 0;
        char16_t previous = 0;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            const double advance = Advance(u);
            if (advance < 0 || (previous != 0 && !PairAdds(previous, u)))
                return Shaped(text);
            width += advance;
            previous = u;
        }
        return width;
    }

private:
    // The characters a Windows-1252 text can hold, but for the controls and
    // the soft hyphen, which shaping hides.
    static bool Plain(char16_t u)
    {
        static constexpr char16_t kUpper[] = {0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
                                              0x0160, 0x2039, 0x0152, 0x017D, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                              0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};
        if (u < 0x100)
            return (u >= 0x20 && u < 0x7F) || (u >= 0xA0 && u != 0xAD);
        return std::find(std::begin(kUpper), std::end(kUpper), u) != std::end(kUpper);
    }

    // A character's advance; -1 for one that is not plain.
    double Advance(char16_t u)
    {
        if (u < 0x100 && Latin[u] != kUnknown)
            return Latin[u];
        if (const auto it = Upper.find(u); it != Upper.end())
            return it->second;
        const double advance = Plain(u) ? Shaped(QString(QChar(u))) : -1;
        if (u < 0x100)
            Latin[u] = advance;
        else
            Upper.emplace(u, advance);
        return advance;
    }

    bool PairAdds(char16_t a, char16_t b)
    {
        const std::uint32_t key = std::uint32_t(a) << 16 | b;
        if (const auto it = Pairs.find(key); it != Pairs.end())
            return it->second;
        const QChar pair[] = {QChar(a), QChar(b)};
        const bool adds = Shaped(QString(pair, 2)) == Advance(a) + Advance(b);
        Pairs.emplace(key, adds);
        return adds;
    }

    double Shaped(const QString& text) const
    {
        const QImage& device = MeasuringDevice();
        return QFontMetricsF(ReportQFont(Font, &device), &device).horizontalAdvance(text);
    }

    ReportFont Font;
    std::array<double, 256> Latin = MakeUnknown();
    std::unordered_map<char16_t, double> Upper;
    std::unordered_map<std::uint32_t, bool> Pairs;

    static std::array<double, 256> MakeUnknown()
    {
        std::array<double, 256> a;
        a.fill(kUnknown);
        return a;
    }
};

} // namespace

double ReportTextWidth(const ReportFont& font, const QString& text)
{
    // The few fonts of the reports, kept for the run; plain numbers only, so
    // nothing of Qt's font machinery outlives the application.
    thread_local std::vector<std::unique_ptr<TextMeasure>> measures;
    auto it = std::find_if(measures.begin(), measures.end(), [&](const auto& m) { return m->Measures(font); });
    if (it == measures.end()) {
        measures.push_back(std::make_unique<TextMeasure>(font));
        it = std::prev(measures.end());
    }
    return (*it)->Width(text);
}

void PaintPage(QPainter& painter, const PageModel& page, const QRectF& target)
{
    if (page.size.isEmpty())
        return;
    const double scale = target.width() / page.size.width();
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    painter.fillRect(QRectF(QPointF(0, 0), page.size), Qt::white);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::TextAntialiasing);

    for (const ReportImage& image : page.images)
        painter.drawImage(image.rect, image.image);

    QPen thin(Qt::black);
    thin.setWidthF(1);
    for (const ReportText& text : page.texts) {
        if (text.opaque)
            painter.fillRect(text.rect, Qt::white);
        if (!text.text.isEmpty()) {
            painter.save();
            painter.setClipRect(text.rect, Qt::IntersectClip);
            painter.setFont(ReportQFont(text.font, painter.device()));
            painter.setPen(Qt::black);
            const int flags = int(text.alignment) | Qt::AlignTop
                              | (text.wordWrap ? Qt::TextWordWrap : Qt::TextSingleLine);
            painter.drawText(text.rect, flags, text.text);
            painter.restore();
        }
        if (text.bottomLine) {
            painter.setPen(thin);
            const double y = text.rect.bottom() - 0.5;
            painter.drawLine(QPointF(text.rect.left(), y), QPointF(text.rect.right(), y));
        }
    }
    for (const ReportLine& line : page.lines) {
        QPen pen(Qt::black);
        pen.setWidthF(line.width);
        painter.setPen(pen);
        painter.drawLine(line.line);
    }
    painter.restore();
}

namespace {

QPageLayout ReportPageLayout(bool landscape)
{
    return QPageLayout(QPageSize(QPageSize::A4),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter, QMarginsF(0, 0, 0, 0));
}

// The whole sheet in the painter's coordinates of a full-page device.
QRectF SheetRect(const QPageLayout& layout, int resolution)
{
    return QRectF(QPointF(0, 0), QSizeF(layout.fullRectPixels(resolution).size()));
}

} // namespace

bool PrintDocument(QPrinter& printer, const ReportDocument& doc, const PrintProceed& proceed)
{
    printer.setFullPage(true);
    const QPageLayout wanted = ReportPageLayout(doc.landscape);
    if (!printer.setPageLayout(wanted)) {
        // A printer with fixed minimum margins refuses zero margins: keep its
        // margins but still take the sheet and the orientation.
        printer.setPageSize(wanted.pageSize());
        printer.setPageOrientation(wanted.orientation());
    }

    // The pages in the order they go out: the chosen range, and the copies
    // the printer cannot make itself, collated or not.
    const int count = int(doc.pages.size());
    int first = 1;
    int last = count;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::max(1, printer.fromPage());
        last = printer.toPage() > 0 ? std::min(count, printer.toPage()) : count;
    }
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    std::vector<int> order;
    if (printer.collateCopies()) {
        for (int c = 0; c < copies; ++c)
            for (int n = first; n <= last; ++n)
                order.push_back(n);
    } else {
        for (int n = first; n <= last; ++n)
            order.insert(order.end(), std::size_t(copies), n);
    }

    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF target = SheetRect(printer.pageLayout(), printer.resolution());
    const int total = int(order.size());
    bool stopped = false;
    for (int i = 0; i < total; ++i) {
        if (proceed && !proceed(i, total)) {
            stopped = true;
            break;
        }
        if (i > 0)
            printer.newPage();
        PaintPage(painter, doc.pages[std::size_t(order[std::size_t(i)] - 1)], target);
    }
    // A stop asked for during the last sheet still counts.
    stopped = stopped || (proceed && !proceed(total, total));
    if (!stopped)
        return painter.end();
    printer.abort();
    painter.end();
    if (!printer.outputFileName().isEmpty())
        QFile::remove(printer.outputFileName());
    return true;
}

bool WritePdf(const ReportDocument& doc, const QString& path, QString* error)
{
    // The PDF engine does not tell a short write from a good one, so it
    // writes into memory; the file is then written whole and checked.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(int(kReportDpi));
        writer.setPageLayout(ReportPageLayout(doc.landscape));
        writer.setTitle(doc.title);
        writer.setCreator(QStringLiteral("Vexa 4400"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            if (error)
                *error = QStringLiteral("The PDF file could not be started.");
            return false;
        }
        const QRectF target = SheetRect(writer.pageLayout(), writer.resolution());
        for (std::size_t i = 0; i < doc.pages.size(); ++i) {
            if (i > 0)
                writer.newPage();
            PaintPage(painter, doc.pages[i], target);
        }
        if (!painter.end()) {
            if (error)
                *error = QStringLiteral("The PDF file could not be finished.");
            return false;
        }
    }
    return ReplaceFiles({{path, pdf.data()}}, error);
}
