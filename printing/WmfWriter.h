#pragma once
// A small writer of placeable Windows metafiles (16-bit WMF with the
// placeable header), enough for one report page: texts in a named font,
// straight lines, white rectangles and pictures. Coordinates are given in
// the page's 96-dpi pixels and stored in twips (1440 per inch), so a reader
// sizes the page as printed. Texts are stored as Windows-1252 bytes (ANSI
// character set); characters outside it become '?'.
//
// Texts come out as PaintPage draws them: the font as high as the layout's
// (whole pixels, as Qt rounds them), word-wrapped lines where PaintPage
// breaks them, and every character advanced by the width the layout
// measured, so a text that fits its cell in the PDF fits it here too.
#include "printing/PageModel.h"

#include <QByteArray>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <map>
#include <vector>

class WmfWriter {
public:
    // A metafile for a picture of width x height pixels (96 per inch).
    WmfWriter(double width, double height);

    // A report text at the top of its rectangle, clipped to it, placed as
    // its alignment says (left, centred or right): one line, or the lines
    // word wrap makes of it.
    void Text(const ReportText& text);
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
    // One line of text with `top` as its top, clipped to `clip` and placed
    // in it as alignment says; its i-th character starts x[i] pixels after
    // the first (x has one more entry: the line's end).
    void TextLine(const QRectF& clip, double top, const QString& text, const std::vector<double>& x,
                  const ReportFont& font, Qt::Alignment alignment);

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
