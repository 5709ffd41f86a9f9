#pragma once
// The pages of a report on screen, one under the other on a grey ground, as
// many as have been made so far. A page is drawn only while it is in sight
// (and kept as a picture while it stays there), so a long report shows its
// first page as soon as that page exists, and the pages still being made
// cost the screen nothing.
//
// The view reads the pages from the document it is given whenever it
// draws; after pages were added to it, Refresh shows them. The current page
// is the one last asked for, or, after the user scrolled, the one that
// fills most of the view.
#include "printing/PageModel.h"

#include <QAbstractScrollArea>
#include <QPixmap>

#include <map>
#include <utility>

class PageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum ZoomMode { CustomZoom, FitToWidth, FitInView };

    explicit PageView(QWidget* parent = nullptr);

    // Shows doc's pages from the first (none: an empty view). doc must live
    // while the view shows it; its pages are read, never changed.
    void SetDocument(const ReportDocument* doc);
    // Takes in the pages added to the document since the last call; the
    // part of the report in sight stays where it is.
    void Refresh();

    int pageCount() const { return count_; }
    // 1-based; 0 without pages.
    int currentPage() const { return count_ > 0 ? current_ : 0; }
    // Brings the page into view; a page that does not exist is ignored.
    void setCurrentPage(int page);

    ZoomMode zoomMode() const { return mode_; }
    // 1 is the page at its printed size.
    double zoomFactor() const;
    void setZoomFactor(double factor); // switches to CustomZoom
    void fitInView();
    void fitToWidth();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    QSizeF PageSize() const;  // 96-dpi page units
    double Scale() const;     // view pixels per page unit
    double UnitScale() const; // the scale of zoom factor 1
    QSize PageExtent() const; // a page in view pixels
    QRect PageRect(int index) const; // in contents coordinates
    void Layout();
    void ShowPage(int page);
    std::pair<int, int> InSight() const; // first and last page index in sight
    int MostVisiblePage() const;
    const QPixmap& Picture(int index);

    const ReportDocument* doc_ = nullptr;
    int count_ = 0;
    int current_ = 1;
    ZoomMode mode_ = FitInView;
    double factor_ = 1;
    QSize extent_;         // a page in view pixels, as last laid out
    bool placing_ = false; // the view scrolls itself: the current page stays
    std::map<int, QPixmap> pictures_; // pages drawn at the present size, by index
};
