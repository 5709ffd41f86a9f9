#include "windows/lists/ListColumns.h"

#include <QEvent>
#include <QHash>
#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTreeView>

#include <algorithm>
#include <array>
#include <utility>

namespace {

// How many of the roughly widest samples are measured exactly.
constexpr int kExactlyMeasured = 8;
// The most a text from the user's data may widen its column, in average
// characters of the view's font.
constexpr int kCappedChars = 32;

// The widest of texts as fm draws them. A sum of single-character advances
// ranks them (kerning moves a text by a pixel or two at most); the best few
// are then measured as drawn.
QString Widest(const QFontMetrics& fm, const QStringList& texts)
{
    std::vector<int> candidates;
    if (texts.size() <= kExactlyMeasured) {
        for (int i = 0; i < texts.size(); ++i)
            candidates.push_back(i);
    } else {
        std::array<int, 256> latin;
        latin.fill(-1);
        QHash<char16_t, int> other;
        std::vector<std::pair<int, int>> rough; // estimate, index
        rough.reserve(static_cast<size_t>(texts.size()));
        for (int i = 0; i < texts.size(); ++i) {
            int sum = 0;
            for (const QChar c : texts[i]) {
                const char16_t u = c.unicode();
                if (u < latin.size()) {
                    if (latin[u] < 0)
                        latin[u] = fm.horizontalAdvance(c);
                    sum += latin[u];
                } else {
                    auto it = other.constFind(u);
                    if (it == other.constEnd())
                        it = other.insert(u, fm.horizontalAdvance(c));
                    sum += *it;
                }
            }
            rough.emplace_back(sum, i);
        }
        const auto best = rough.begin() + kExactlyMeasured;
        std::partial_sort(rough.begin(), best, rough.end(), std::greater<>());
        for (auto it = rough.begin(); it != best; ++it)
            candidates.push_back(it->second);
    }
    QString widest;
    int most = -1;
    for (int i : candidates) {
        const int w = fm.horizontalAdvance(texts[i]);
        if (w > most) {
            most = w;
            widest = texts[i];
        }
    }
    return widest;
}

// The width a cell showing text needs, as the view's style lays it out:
// the text's margins, and the picture or check mark in front of it.
int CellWidth(const QTreeView* view, const ColumnFit& fit, const QString& text)
{
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.widget = view;
    option.font = view->font();
    option.fontMetrics = QFontMetrics(option.font);
    option.features = QStyleOptionViewItem::HasDisplay;
    option.text = text;
    option.textElideMode = view->textElideMode();
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.decorationPosition = QStyleOptionViewItem::Left;
    if (fit.Decorated) {
        option.features |= QStyleOptionViewItem::HasDecoration;
        option.decorationSize = view->iconSize().isValid()
            ? view->iconSize()
            : QSize(1, 1) * view->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, view);
    }
    if (fit.Checkable)
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
    return view->style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), view).width();
}

} // namespace

QStringList DigitSamples(int digits, const QString& suffix)
{
    QStringList samples;
    for (char d = '0'; d <= '9'; ++d)
        samples << QString(digits, QLatin1Char(d)) + suffix;
    return samples;
}

ListColumns::ListColumns(QObject* parent)
    : QObject(parent)
{
}

void ListColumns::Fit(QTreeView* view, const std::vector<ColumnFit>& fits)
{
    if (!view)
        return;
    QHeaderView* header = view->header();
    if (View != view) {
        if (View) {
            disconnect(View->header(), nullptr, this, nullptr);
            View->viewport()->removeEventFilter(this);
            View->header()->viewport()->removeEventFilter(this);
        }
        View = view;
        Viewport = view->viewport();
        HeaderViewport = header->viewport();
        connect(header, &QHeaderView::sectionResized, this, &ListColumns::SectionResized);
        view->viewport()->installEventFilter(this);
        header->viewport()->installEventFilter(this);
    }
    Model = view->model();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);

    const QFontMetrics metrics(view->font());
    const int cap = kCappedChars * metrics.averageCharWidth();
    const int n = std::min(header->count(), static_cast<int>(fits.size()));
    Keys.assign(static_cast<size_t>(n), 0);
    Least.assign(static_cast<size_t>(n), 0);
    for (int c = 0; c < n; ++c) {
        const ColumnFit& fit = fits[static_cast<size_t>(c)];
        int cell = 0;
        if (!fit.Samples.isEmpty() || fit.Decorated || fit.Checkable) {
            const QString widest = Widest(metrics, fit.Samples);
            cell = CellWidth(view, fit, widest);
            const int text = metrics.horizontalAdvance(widest);
            if (fit.Capped && text > cap)
                cell -= text - cap;
        }
        const auto user = UserWidths.find(fit.Key);
        Keys[static_cast<size_t>(c)] = fit.Key;
        Least[static_cast<size_t>(c)] = user != UserWidths.end()
            ? user->second
            : std::max({fit.Width, header->sectionSizeHint(c), cell});
    }
    Sizing = true;
    for (int c = 0; c < n; ++c)
        header->resizeSection(c, Least[static_cast<size_t>(c)]);
    Sizing = false;
    Stretch();
}

int ListColumns::Width() const
{
    int sum = 0;
    for (int w : Least)
        sum += w;
    return sum;
}

bool ListColumns::Active() const
{
    return View && Model && View->model() == Model
        && static_cast<size_t>(View->header()->count()) == Least.size();
}

void ListColumns::Stretch()
{
    if (!Active() || Least.empty())
        return;
    QHeaderView* header = View->header();
    int last = -1;
    for (int v = header->count() - 1; v >= 0 && last < 0; --v)
        if (!header->isSectionHidden(header->logicalIndex(v)))
            last = header->logicalIndex(v);
    if (last < 0)
        return;
    const int others = header->length() - header->sectionSize(last);
    const int want = std::max(Least[static_cast<size_t>(last)], View->viewport()->width() - others);
    if (header->sectionSize(last) != want) {
        Sizing = true;
        header->resizeSection(last, want);
        Sizing = false;
    }
}

void ListColumns::SectionResized(int logical, int, int newSize)
{
    if (Sizing || !Dragging || !Active() || logical < 0 || static_cast<size_t>(logical) >= Least.size())
        return;
    Least[static_cast<size_t>(logical)] = newSize;
    UserWidths[Keys[static_cast<size_t>(logical)]] = newSize;
    // The last column gives back or takes what the dragged one took or gave;
    // while the last column itself is dragged it follows the mouse.
    if (logical != View->header()->logicalIndex(View->header()->count() - 1))
        Stretch();
}

bool ListColumns::eventFilter(QObject* watched, QEvent* event)
{
    // The watched widgets are told apart by address alone: they also see
    // events while the view is being destroyed, when it is a view no more.
    switch (event->type()) {
    case QEvent::Resize:
        if (watched == Viewport)
            Stretch();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (watched == HeaderViewport)
            Dragging = true;
        break;
    case QEvent::MouseButtonRelease:
        if (watched == HeaderViewport) {
            Dragging = false;
            Stretch();
        }
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}
