#include "printing/PagePainter.h"

#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

#include <algorithm>
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

double ReportTextWidth(const ReportFont& font, const QString& text)
{
    const QImage& device = MeasuringDevice();
    const QFontMetricsF metrics(ReportQFont(font, &device), &device);
    return metrics.horizontalAdvance(text);
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(int(kReportDpi));
        writer.setPageLayout(ReportPageLayout(doc.landscape));
        writer.setTitle(doc.title);
        writer.setCreator(QStringLiteral("Vexa 4400"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
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
        painter.end();
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
