#include "printing/PageView.h"

#include "printing/PagePainter.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

constexpr int kGap = 10;     // around and between the pages, view pixels
constexpr int kShadow = 3;
constexpr double kPxPerMm = 96.0 / 25.4;

} // namespace

PageView::PageView(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    // Always there, so that fitting a page to the width never makes room for
    // a bar that then changes the width again.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setSingleStep(20);
    horizontalScrollBar()->setSingleStep(20);
    viewport()->setAutoFillBackground(false);
    Layout();
}

void PageView::SetDocument(const ReportDocument* doc)
{
    doc_ = doc;
    count_ = 0;
    current_ = 1;
    pictures_.clear();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    Refresh();
}

void PageView::Refresh()
{
    const int count = doc_ ? int(doc_->pages.size()) : 0;
    if (count < count_)
        pictures_.clear(); // pages went: the pictures kept may be of others
    count_ = count;
    current_ = std::clamp(current_, 1, std::max(1, count_));
    Layout();
    viewport()->update();
}

QSizeF PageView::PageSize() const
{
    if (doc_ && !doc_->pages.empty() && !doc_->pages.front().size.isEmpty())
        return doc_->pages.front().size;
    const QSizeF a4(210 * kPxPerMm, 297 * kPxPerMm);
    return doc_ && doc_->landscape ? a4.transposed() : a4;
}

double PageView::UnitScale() const
{
    return logicalDpiX() / 96.0;
}

double PageView::Scale() const
{
    const QSizeF page = PageSize();
    const QSize room = viewport()->size() - QSize(2 * kGap, 2 * kGap);
    double scale = factor_ * UnitScale();
    if (mode_ == FitToWidth)
        scale = room.width() / page.width();
    else if (mode_ == FitInView)
        scale = std::min(room.width() / page.width(), room.height() / page.height());
    return std::max(scale, 0.01);
}

double PageView::zoomFactor() const
{
    return mode_ == CustomZoom ? factor_ : Scale() / UnitScale();
}

QSize PageView::PageExtent() const
{
    const QSizeF page = PageSize() * Scale();
    return QSize(std::max(1, int(page.width())), std::max(1, int(page.height())));
}

QRect PageView::PageRect(int index) const
{
    const QSize extent = extent_;
    const int contentWidth = extent.width() + 2 * kGap;
    // Narrower than the view: centred; wider: scrolled sideways.
    const int x = contentWidth <= viewport()->width() ? (viewport()->width() - extent.width()) / 2
                                                        : kGap - horizontalScrollBar()->value();
    const int y = kGap + index * (extent.height() + kGap) - verticalScrollBar()->value();
    return QRect(QPoint(x, y), extent);
}

void PageView::Layout()
{
    const QSize extent = PageExtent();
    if (extent != extent_)
        pictures_.clear(); // drawn at another size
    extent_ = extent;
    const QSize view = viewport()->size();
    const int width = extent.width() + 2 * kGap;
    const int height = count_ > 0 ? count_ * (extent.height() + kGap) + kGap : 0;
    placing_ = true;
    horizontalScrollBar()->setRange(0, std::max(0, width - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setRange(0, std::max(0, height - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    placing_ = false;
}

void PageView::ShowPage(int page)
{
    if (page < 1 || page > count_)
        return;
    const QSize extent = extent_;
    const int top = kGap + (page - 1) * (extent.height() + kGap);
    const int view = viewport()->height();
    // A page that fits is centred; a taller one shows from its top.
    const int y = extent.height() + 2 * kGap <= view ? top + extent.height() / 2 - view / 2 : top - kGap;
    placing_ = true;
    verticalScrollBar()->setValue(y);
    placing_ = false;
    viewport()->update();
}

void PageView::setCurrentPage(int page)
{
    if (page < 1 || page > count_ || page == current_)
        return;
    current_ = page;
    ShowPage(page);
}

void PageView::setZoomFactor(double factor)
{
    mode_ = CustomZoom;
    factor_ = factor > 0 ? factor : 1;
    Layout();
    ShowPage(current_);
}

void PageView::fitInView()
{
    mode_ = FitInView;
    Layout();
    ShowPage(current_);
}

void PageView::fitToWidth()
{
    mode_ = FitToWidth;
    Layout();
    ShowPage(current_);
}

void PageView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    // A fitted page changes size with the view: the current page stays in sight.
    const QSize before = extent_;
    Layout();
    if (extent_ != before)
        ShowPage(current_);
}

void PageView::scrollContentsBy(int dx, int dy)
{
    viewport()->scroll(dx, dy);
    if (!placing_)
        current_ = MostVisiblePage();
}

std::pair<int, int> PageView::InSight() const
{
    const int step = extent_.height() + kGap;
    const int scrolled = verticalScrollBar()->value();
    const int first = std::clamp((scrolled - kGap) / step, 0, std::max(0, count_ - 1));
    const int last = std::clamp((scrolled + viewport()->height()) / step, 0, std::max(0, count_ - 1));
    return {first, last};
}

int PageView::MostVisiblePage() const
{
    int best = current_;
    int bestHeight = -1;
    const QRect view = viewport()->rect();
    const auto [first, last] = InSight();
    for (int i = first; i <= last && i < count_; ++i) {
        const QRect r = PageRect(i);
        const int height = (r & view).height();
        // On a tie the current page stays.
        if (height > bestHeight || (height == bestHeight && i + 1 == current_)) {
            best = i + 1;
            bestHeight = height;
        }
    }
    return best;
}

const QPixmap& PageView::Picture(int index)
{
    QPixmap& picture = pictures_[index];
    const qreal ratio = devicePixelRatioF();
    if (picture.isNull() || picture.devicePixelRatio() != ratio) {
        picture = QPixmap(extent_ * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        PaintPage(painter, doc_->pages[std::size_t(index)], QRectF(QPointF(0, 0), QSizeF(extent_)));
    }
    return picture;
}

void PageView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().color(QPalette::Dark));
    if (count_ == 0)
        return;
    const auto [first, last] = InSight();
    for (int i = first; i <= last; ++i) {
        const QRect r = PageRect(i);
        if (!r.adjusted(0, 0, kShadow, kShadow).intersects(event->rect()))
            continue;
        painter.fillRect(r.translated(kShadow, kShadow), palette().color(QPalette::Shadow));
        painter.drawPixmap(r.topLeft(), Picture(i));
    }
    // Only the pages in sight keep their pictures (and one either side, for
    // the next small scroll).
    for (auto it = pictures_.begin(); it != pictures_.end();)
        it = it->first < first - 1 || it->first > last + 1 ? pictures_.erase(it) : std::next(it);
}
