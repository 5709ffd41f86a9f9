#pragma once
// The list report: turns the chosen columns of a list view into printed
// pages. BeginRep lays the columns out once (widths, blocks side by side,
// portrait or landscape); Generate then hands out the list's rows line by
// line and breaks them into pages, as often as the preview, the printer and
// the exports ask. Between BeginRep and EndRep the layout stays fixed.
//
// The report reads only the model of the list view the user sees (column
// captions, cell texts, the icon of column 0), never the data set behind it,
// so every list of the program prints the same way.
//
// Page layout, in pixels at 96 dpi on A4 with 10 mm margins (see PageModel.h):
//   page header, 95 high: a 200 x 64 picture at the left, the title centred
//     12 below the band's top (Times New Roman 24 bold, wrapping), the
//     subtitle centred 71 below it (Arial 10, 522 wide);
//   column header, h + 7 high, repeated on every page: bold captions, centred,
//     underlined;
//   detail lines, h + 2 high each: one list row per block, left to right;
//   page footer, 35 high, at the bottom of the usable height: "Página n".
// h is the font height in pixels, round(points * 96 / 72). A page holds
// floor((usable - 95 - (h + 7) - 35) / (h + 2)) detail lines, usable being
// 277 mm (portrait) or 190 mm (landscape): 59 and 37 lines at 10 points.
#include "printing/PageModel.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <map>
#include <vector>

class QAbstractItemModel;

// What to print: the choice made in the column dialog, as plain data.
struct ReportRequest {
    // The list view's model. Row r of the report is row r of this model under
    // the root index; code 0 reads column 0 (the item caption), code k >= 1
    // column k (sub-item k), and the row icon is column 0's Qt::DecorationRole
    // (a QIcon, QPixmap or QImage). Not owned; a model deleted before Generate
    // simply has no rows.
    const QAbstractItemModel* model = nullptr;
    std::vector<int> codes;  // chosen column codes, in print order
    QString title;           // printed as given
    QString subtitle;        // "" for none
    int fontSize = 10;       // points, 3 to 14
    int numColumns = 1;      // blocks side by side, 1 to 5
    bool fitContent = true;  // widen each column to its widest value
    bool fitEnd = true;      // stretch the last column to the end of the line
};

// The header caption of a column code: text 2010 "Núm" for the row-number
// column, else the model's horizontal header text of column `code` ("" when
// the model has no such column). The column dialog fills its lists with it.
QString ColumnCaption(const QAbstractItemModel* model, int code);

class TFQrManLst {
public:
    static constexpr int kRowNumberCode = 5000; // the row-number column
    static constexpr int kMaxBlocks = 5;

    // Set by BeginRep from the request, and read by the layout.
    int FontSize = 10;
    int NumColumns = 1;
    bool FitContent = true;
    bool FitEnd = true;

    // Lays the report out: column widths, blocks, orientation. Shows the wait
    // box with text 7 "Preparando Impresión" (no Cancel) and one progress
    // step per laid-out column. A font size or block count out of range is
    // brought into range (3..14 points, 1..5 blocks).
    void BeginRep(const ReportRequest& request);
    // Forgets the layout; Generate then yields one empty page.
    void EndRep();

    // Width in pixels of the chosen column at `index` (0-based in the print
    // order): its bold caption's width, widened to its widest value when
    // FitContent is on; the first column also makes room for the row icon
    // (18 for fonts 16 pixels high or more, else the font height + 2).
    int CalculateWidth(int index) const;
    // The line width the layout fills: 730 (portrait), 1050 (landscape).
    static int WidthPap(bool landscape);
    // The text of one cell: code 5000 gives row + 1; code 0 the caption as it
    // is; code k >= 1 sub-item k without trailing spaces; "" for a row or a
    // column that does not exist.
    QString GetElement(int row, int code) const;

    // Generation hooks, both optional. progress(min, max, position) runs once
    // per detail line with max = the list's row count (and (0, 0, 0) when the
    // generation ends); pageReady runs after each finished page, and returning
    // false from it aborts the generation (the pages made so far are returned).
    struct Hooks {
        std::function<void(int min, int max, int position)> progress;
        std::function<bool(const PageModel& page)> pageReady;
    };
    // Generates every page from the first list row. Each call starts again at
    // row 1, so an aborted or finished generation never makes the next one
    // start mid-list; it ends once every row was handed out, also when the
    // model lost rows meanwhile. An empty list gives one page with header and
    // footer and no detail line.
    ReportDocument Generate(const Hooks& hooks = {});

    // The same generation a page at a time, for a preview that shows the
    // first pages while the rest are still being made. StartPages empties
    // doc and begins again at list row 1; each NextPage then appends one
    // finished page to doc and says whether another follows (after the last
    // page, and before StartPages, it adds nothing and says false). progress
    // runs as in Hooks.
    void StartPages(ReportDocument& doc);
    bool NextPage(ReportDocument& doc, const std::function<void(int min, int max, int position)>& progress = {});

    // After BeginRep: whether the layout turned the page to landscape (it
    // does, for good, once the columns pass 730 pixels).
    bool Landscape() const { return landscape_; }
    // Detail lines per page with the current font size and orientation.
    int LinesPerPage() const;
    // The printed columns of every block, left to right (as in ReportDocument).
    std::vector<ReportColumn> Columns() const;

    // round(points * 96 / 72), halves away from zero: the font height in pixels.
    static int FontHeight(int points);
    // The picture at the left of every page header, 200 x 64.
    static QImage HeaderPicture();

private:
    struct Entry {
        int code = 0;
        QString caption;
        double left = 0;   // column's left edge, from the left margin
        double width = 0;  // the column's width w
    };
    struct Block {
        std::vector<Entry> entries;
        bool used = false;
        QRectF icon;       // the row icon, relative to the detail line
    };

    int RowCount() const;
    QImage RowIcon(int row) const;
    // Fills one detail line from the next rows; false once every row was
    // handed out (the line is then not printed).
    bool NeedData(std::vector<QString>& cells, std::vector<QImage>& icons);
    void StartPage(ReportDocument& doc, int number) const;
    void AddDetailLine(PageModel& page, int lineIndex, const std::vector<QString>& cells,
                       const std::vector<QImage>& icons) const;
    void FinishPage(PageModel& page) const;

    QPointer<const QAbstractItemModel> model_;
    std::vector<int> codes_;
    QString title_;
    QString subtitle_;
    Block blocks_[kMaxBlocks];
    bool landscape_ = false;
    int rowCounter_ = 0;   // rows handed out in the running generation
    bool pagesOpen_ = false; // a generation by NextPage has pages to come
    // The line fetched when a page was full: it opens the next page.
    bool carry_ = false;
    std::vector<QString> cells_;
    std::vector<QImage> icons_;
    mutable std::map<qint64, QImage> iconCache_; // row icons by the decoration's cache key
};
