#pragma once
// Drawing and measuring report pages. One routine draws a page on any
// device: the preview (PageView), the printer and PDF. Texts are
// measured and drawn without hinting at a fixed 96 dpi, so the screen, PDF
// and paper break lines and pages alike.
#include "printing/PageModel.h"

#include <QFont>
#include <QRectF>
#include <QString>

#include <functional>

class QPainter;
class QPaintDevice;
class QPrinter;

// The QFont for a report font on `device` (nullptr: the 96-dpi measuring
// device). Its size is adjusted so that the text is as large, in the page's
// 96-dpi units, on every device; hinting is off.
QFont ReportQFont(const ReportFont& font, const QPaintDevice* device = nullptr);

// Width in 96-dpi pixels of one line of text in the report font.
double ReportTextWidth(const ReportFont& font, const QString& text);

// Draws the page scaled into `target` (the painter's coordinates; normally
// the whole sheet of the device). The page keeps its aspect: it is scaled by
// target.width() / page.size.width() both ways and drawn from target's top-left.
void PaintPage(QPainter& painter, const PageModel& page, const QRectF& target);

// Asked before each sheet goes out, with the sheets done so far and the
// sheets of the whole job, and once more with done == total after the last:
// false stops the job.
using PrintProceed = std::function<bool(int done, int total)>;

// Prints the document on `printer`: sets A4, the document's orientation and
// a full-page layout, then draws the pages the printer's range asks for
// (QPrinter::PageRange, fromPage..toPage; all otherwise), as many copies as
// printer.copyCount() when the printer cannot make copies itself (collated
// or not, as the printer says). A job that proceed stops is dropped: not every
// print engine can drop a job it has begun, but one that writes a file
// leaves nothing behind. False when the painter could not start or finish.
bool PrintDocument(QPrinter& printer, const ReportDocument& doc, const PrintProceed& proceed = {});

// The report's own file: every page as PDF, A4, 96 dpi units, text
// selectable. Written to a temporary file beside `path` and renamed over it
// when complete. False with a message in *error (when given) on failure.
bool WritePdf(const ReportDocument& doc, const QString& path, QString* error = nullptr);
