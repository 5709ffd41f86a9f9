#pragma once
// A generated report as plain data: one PageModel per printed page, each a
// list of positioned texts, lines and pictures, plus the same page read as a
// table for the exports that want cells rather than positions.
//
// Units: pixels at 96 per inch on the whole sheet (A4 portrait is 793.7 by
// 1122.5), origin at the sheet's top-left corner; the 10 mm margins are
// already inside the coordinates. PaintPage (printing/PagePainter.h) scales a
// page onto any device, so the screen, the printer and PDF all draw the same
// thing from these numbers.
#include <QImage>
#include <QLineF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <vector>

// A font by name, as the report asks for it.
struct ReportFont {
    QString family = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;
};

// A text drawn inside its rectangle, clipped to it, on one line unless
// wordWrap is set. Alignment is Qt's (Qt::AlignLeft, Qt::AlignHCenter, ...);
// the text is always vertically at the top of the rectangle.
struct ReportText {
    enum Role { Title, Subtitle, Header, Cell, Footer };
    Role role = Cell;
    QRectF rect;
    QString text;
    ReportFont font;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool wordWrap = false;
    bool opaque = false;     // white background under the rectangle
    bool bottomLine = false; // a 1-pixel line along the bottom edge (column headers)
};

// A straight line, black.
struct ReportLine {
    QLineF line;
    double width = 1;
};

// A picture stretched into its rectangle: the page header's picture and the
// 16 x 16 row icons. QImage shares its data, so the same icon on many lines
// costs one copy.
struct ReportImage {
    QRectF rect;
    QImage image;
};

struct PageModel {
    int number = 1;          // 1-based
    bool landscape = false;
    QSizeF size;             // the sheet, 96 dpi pixels
    std::vector<ReportText> texts;   // in drawing order
    std::vector<ReportLine> lines;
    std::vector<ReportImage> images;

    // The same page as a table. rows[i] is the i-th detail line of the page;
    // it has one cell per printed column of every block, left to right, ""
    // for the blank cells of a last line that ran out of list rows.
    std::vector<std::vector<QString>> rows;
    QString footer;          // "Página n"
};

// One printed column of one block, where the layout put it.
struct ReportColumn {
    int block = 0;           // 0-based block the column belongs to
    int code = 0;            // column code: 0 caption, k sub-item k, 5000 row number
    QString caption;         // header text
    double left = 0;         // from the left margin, pixels
    double width = 0;        // pixels
};

struct ReportDocument {
    QString title;
    QString subtitle;        // "" for none
    bool landscape = false;
    // Every printed column of every block in line order, left to right; each
    // row of PageModel::rows has exactly this many cells.
    std::vector<ReportColumn> columns;
    std::vector<PageModel> pages; // at least one once generated
};
