#pragma once
// A small writer of placeable Windows metafiles (16-bit WMF with the
// placeable header), enough for one report page: texts in a named font,
// straight lines, white rectangles and pictures. Coordinates are given in
// the page's 96-dpi pixels and stored in twips (1440 per inch), so a reader
// sizes the page as printed. Texts are stored as Windows-1252 bytes (ANSI
// character set); characters outside it become '?'.
#include "printing/PageModel.h"

#include <QByteArray>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <map>

class WmfWriter {
public:
    // A metafile for a picture of width x height pixels (96 per inch).
    WmfWriter(double width, double height);

    // Text on one line at the top of `rect`, clipped to it, placed as
    // alignment says (left, centred or right).
    void Text(const QRectF& rect, const QString& text, const ReportFont& font, Qt::Alignment alignment);
    void Line(const QPointF& from, const QPointF& to);
    // A white filled rectangle without border.
    void WhiteRect(const QRectF& rect);
    // The image stretched into rect (stored as a 24-bit DIB).
    void Image(const QRectF& rect, const QImage& image);

    // The finished file: placeable header, metafile header, records, end.
    QByteArray Finish() const;

    // A whole report page drawn as PaintPage draws it.
    static QByteArray Page(const PageModel& page);

private:
    void Record(std::uint16_t function, const QByteArray& params);
    // Objects are made once and kept: their handles are their order of making.
    int NewObject(std::uint16_t function, const QByteArray& params);
    void Select(int handle);
    int Font(const ReportFont& font);

    int width_;   // twips
    int height_;
    QByteArray records_;
    std::uint32_t maxRecordWords_ = 0;
    int objects_ = 0;
    int selectedFont_ = -1;
    int selectedPen_ = -1;
    int selectedBrush_ = -1;
    int blackPen_ = -1;
    int nullPen_ = -1;
    int whiteBrush_ = -1;
    int textAlign_ = -1;
    std::map<QString, int> fonts_; // by family, size and weight
};
