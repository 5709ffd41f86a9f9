#include "printing/TFQrManLst.h"

#include "foundation/TLang.h"
#include "foundation/WaitBox.h"
#include "foundation/ui/QtText.h"
#include "printing/PagePainter.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPxPerMm = 96.0 / 25.4;
constexpr double kMargin = 10 * kPxPerMm;
constexpr double kHeaderBand = 95;
constexpr double kFooterBand = 35;
constexpr double kIconSide = 16;

double UsableHeight(bool landscape) { return (landscape ? 190 : 277) * kPxPerMm; }
double UsableWidth(bool landscape) { return (landscape ? 277 : 190) * kPxPerMm; }
QSizeF SheetSize(bool landscape)
{
    const QSizeF a4(210 * kPxPerMm, 297 * kPxPerMm);
    return landscape ? a4.transposed() : a4;
}

ReportFont ValueFont(int points) { return {QStringLiteral("Arial"), double(points), false}; }
ReportFont CaptionFont(int points) { return {QStringLiteral("Arial"), double(points), true}; }

// Width of a label that sizes itself to its text: whole pixels, never short.
int LabelWidth(const ReportFont& font, const QString& text)
{
    return int(std::ceil(ReportTextWidth(font, text) - 1e-6));
}

QString TrimSpacesRight(QString text)
{
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1) == QLatin1Char(' '))
        --n;
    text.truncate(n);
    return text;
}

// The 16 x 16 white square with the icon drawn at its top-left corner at its
// own size, as a row icon is printed.
QImage IconSquare(const QVariant& decoration)
{
    QImage picture;
    if (decoration.userType() == QMetaType::QIcon) {
        const QIcon icon = decoration.value<QIcon>();
        if (!icon.isNull())
            picture = icon.pixmap(QSize(16, 16), 1.0).toImage();
    } else if (decoration.userType() == QMetaType::QPixmap) {
        picture = decoration.value<QPixmap>().toImage();
    } else if (decoration.userType() == QMetaType::QImage) {
        picture = decoration.value<QImage>();
    }
    if (picture.isNull())
        return {};
    QImage square(16, 16, QImage::Format_RGB32);
    square.fill(Qt::white);
    QPainter p(&square);
    p.drawImage(QPointF(0, 0), picture);
    return square;
}

qint64 DecorationKey(const QVariant& decoration)
{
    switch (decoration.userType()) {
    case QMetaType::QIcon: return decoration.value<QIcon>().cacheKey();
    case QMetaType::QPixmap: return decoration.value<QPixmap>().cacheKey();
    case QMetaType::QImage: return decoration.value<QImage>().cacheKey();
    default: return 0;
    }
}

// The receiver seen from the front, with its display lit.
QImage DrawHeaderPicture()
{
    QImage picture(200, 64, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 8, 0, 56);
    body.setColorAt(0, QColor(70, 74, 82));
    body.setColorAt(1, QColor(28, 30, 34));
    p.setPen(QPen(QColor(20, 20, 24), 1));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(2.5, 10.5, 195, 42), 6, 6);
    p.setBrush(QColor(10, 40, 16));
    p.drawRoundedRect(QRectF(112.5, 20.5, 64, 22), 3, 3);
    QFont digits(QStringLiteral("Arial"));
    digits.setPixelSize(16);
    digits.setBold(true);
    p.setFont(digits);
    p.setPen(QColor(90, 255, 110));
    p.drawText(QRectF(112, 20, 64, 22), Qt::AlignCenter, QStringLiteral("4400"));
    QFont brand(QStringLiteral("Arial"));
    brand.setPixelSize(15);
    brand.setBold(true);
    p.setFont(brand);
    p.setPen(QColor(220, 224, 230));
    p.drawText(QRectF(14, 20, 90, 22), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("VEXA"));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 200, 80));
    p.drawEllipse(QPointF(186, 31), 3, 3);
    return picture;
}

} // namespace

QString ColumnCaption(const QAbstractItemModel* model, int code)
{
    if (code == TFQrManLst::kRowNumberCode)
        return ToQt(LangText(2010));
    if (model == nullptr || code < 0 || code >= model->columnCount())
        return {};
    return model->headerData(code, Qt::Horizontal, Qt::DisplayRole).toString();
}

int TFQrManLst::FontHeight(int points)
{
    // Integer rounding of points * 96 / 72, halves away from zero.
    return (points * 96 + 36) / 72;
}

int TFQrManLst::WidthPap(bool landscape)
{
    return landscape ? 1050 : 730;
}

int TFQrManLst::LinesPerPage() const
{
    const int h = FontHeight(FontSize);
    const double room = UsableHeight(landscape_) - kHeaderBand - (h + 7) - kFooterBand;
    return std::max(1, int(std::floor(room / (h + 2))));
}

int TFQrManLst::RowCount() const
{
    return model_ ? model_->rowCount() : 0;
}

QString TFQrManLst::GetElement(int row, int code) const
{
    if (row < 0)
        return {};
    if (code == kRowNumberCode)
        return QString::number(row + 1);
    if (!model_ || row >= model_->rowCount() || code < 0 || code >= model_->columnCount())
        return {};
    const QString text = model_->index(row, code).data(Qt::DisplayRole).toString();
    return code == 0 ? text : TrimSpacesRight(text);
}

QImage TFQrManLst::RowIcon(int row) const
{
    if (!model_ || row < 0 || row >= model_->rowCount())
        return {};
    const QVariant decoration = model_->index(row, 0).data(Qt::DecorationRole);
    // Most lists show a handful of distinct icons: draw each once per
    // generation, and let the pages share the picture.
    const qint64 key = DecorationKey(decoration);
    if (key == 0)
        return IconSquare(decoration);
    auto it = iconCache_.find(key);
    if (it == iconCache_.end())
        it = iconCache_.emplace(key, IconSquare(decoration)).first;
    return it->second;
}

int TFQrManLst::CalculateWidth(int index) const
{
    if (index < 0 || index >= int(codes_.size()))
        return 0;
    const int code = codes_[std::size_t(index)];
    int w = LabelWidth(CaptionFont(FontSize), ColumnCaption(model_.data(), code));
    int m = 0;
    if (FitContent) {
        const ReportFont font = ValueFont(FontSize);
        const int rows = RowCount();
        for (int r = 0; r < rows; ++r)
            m = std::max(m, LabelWidth(font, GetElement(r, code)));
    }
    if (index == 0) {
        const int h = FontHeight(FontSize);
        const int room = h >= 16 ? 18 : h + 2;
        if (m + room >= w)
            w = m + room;
    } else if (m > w) {
        w = m;
    }
    return w;
}

void TFQrManLst::BeginRep(const ReportRequest& request)
{
    FontSize = std::clamp(request.fontSize, 3, 14);
    NumColumns = std::clamp(request.numColumns, 1, kMaxBlocks);
    FitContent = request.fitContent;
    FitEnd = request.fitEnd;
    model_ = request.model;
    codes_ = request.codes;
    title_ = request.title;
    subtitle_ = request.subtitle;

    auto wait = CreateWaitBox();
    wait->ShowLabel(LangText(7));
    wait->SetCancelVisible(false);
    wait->Start();

    rowCounter_ = 0;
    pagesOpen_ = false;
    carry_ = false;
    for (Block& block : blocks_)
        block = Block{};
    landscape_ = false;

    const int count = int(codes_.size());
    const int h = FontHeight(FontSize);
    const double iconSide = std::min<double>(h, kIconSide);
    wait->SetMax(count * NumColumns);
    // Every block repeats the same columns: measure them once.
    std::vector<int> widths;
    int x = 0;
    for (int b = 1; b <= NumColumns; ++b) {
        Block& block = blocks_[b - 1];
        block.used = true;
        for (int k = 1; k <= count; ++k) {
            wait->SetPosition((b - 1) * count + k);
            wait->ProcessEvents();
            if (b == 1)
                widths.push_back(CalculateWidth(k - 1));
            int w = widths[std::size_t(k - 1)];
            const int left = x;
            x += w + 4;
            // One way only: a line that once needed landscape keeps it, and
            // landscape lines are not checked again (the sheet cuts them).
            if (!landscape_ && x > WidthPap(false))
                landscape_ = true;
            if (k == count && b == NumColumns && FitEnd && WidthPap(landscape_) > x + 8)
                w = WidthPap(landscape_) - (left + 4);
            if (k == count && b != NumColumns)
                x += 4;
            const int code = codes_[std::size_t(k - 1)];
            block.entries.push_back({code, ColumnCaption(model_.data(), code), double(left), double(w)});
            if (k == 1)
                block.icon = QRectF(left, 1, iconSide, iconSide);
        }
    }
    wait->FinSinDestruir();
}

void TFQrManLst::EndRep()
{
    for (Block& block : blocks_)
        block = Block{};
    codes_.clear();
    model_ = nullptr;
    iconCache_.clear();
    rowCounter_ = 0;
    pagesOpen_ = false;
    carry_ = false;
}

std::vector<ReportColumn> TFQrManLst::Columns() const
{
    std::vector<ReportColumn> columns;
    for (int b = 0; b < kMaxBlocks; ++b)
        for (const Entry& e : blocks_[b].entries)
            columns.push_back({b, e.code, e.caption, e.left, e.width});
    return columns;
}

bool TFQrManLst::NeedData(std::vector<QString>& cells, std::vector<QImage>& icons)
{
    const int rows = RowCount();
    std::size_t cellCount = 0;
    for (const Block& block : blocks_)
        cellCount += block.entries.size();
    cells.assign(cellCount, QString());
    icons.assign(kMaxBlocks, QImage());
    // ">=": the list may have lost rows since the last line; the generation
    // still ends instead of waiting for a count it can no longer meet.
    if (rowCounter_ >= rows) {
        rowCounter_ = 0;
        return false;
    }
    std::size_t cell = 0;
    for (int b = 0; b < NumColumns; ++b) {
        ++rowCounter_;
        if (rowCounter_ > rows)
            break; // the rest of the last line stays blank
        for (const Entry& e : blocks_[b].entries)
            cells[cell++] = GetElement(rowCounter_ - 1, e.code);
        if (!blocks_[b].entries.empty())
            icons[std::size_t(b)] = RowIcon(rowCounter_ - 1);
    }
    return true;
}

QImage TFQrManLst::HeaderPicture()
{
    // Drawn once: every page shares the picture, so a PDF holds it once.
    static const QImage picture = DrawHeaderPicture();
    return picture;
}

void TFQrManLst::StartPage(ReportDocument& doc, int number) const
{
    PageModel page;
    page.number = number;
    page.landscape = landscape_;
    page.size = SheetSize(landscape_);
    const double bandWidth = UsableWidth(landscape_);
    // The line runs past the right margin (730 of 718 in portrait): only the
    // paper's edge cuts a column.
    const double right = page.size.width();

    page.images.push_back({QRectF(kMargin, kMargin, 200, 64), HeaderPicture()});
    if (!title_.isEmpty()) {
        ReportText title;
        title.role = ReportText::Title;
        title.rect = QRectF(kMargin, kMargin + 12, bandWidth, kHeaderBand - 12);
        title.text = title_;
        title.font = {QStringLiteral("Times New Roman"), 24, true};
        title.alignment = Qt::AlignHCenter;
        title.wordWrap = true;
        page.texts.push_back(title);
    }
    if (!subtitle_.isEmpty()) {
        ReportText subtitle;
        subtitle.role = ReportText::Subtitle;
        subtitle.rect = QRectF(kMargin + (bandWidth - 522) / 2, kMargin + 71, 522, 17);
        subtitle.text = subtitle_;
        subtitle.font = ValueFont(10);
        subtitle.alignment = Qt::AlignHCenter;
        subtitle.wordWrap = true;
        page.texts.push_back(subtitle);
    }

    // The column header, repeated on every page.
    const int h = FontHeight(FontSize);
    const double top = kMargin + kHeaderBand + 1;
    for (int b = 0; b < kMaxBlocks; ++b) {
        for (const Entry& e : blocks_[b].entries) {
            const double left = kMargin + e.left;
            if (left >= right)
                continue; // past the paper's edge: cut off
            ReportText caption;
            caption.role = ReportText::Header;
            caption.rect = QRectF(left, top, std::min(e.width, right - left), h);
            caption.text = e.caption;
            caption.font = CaptionFont(FontSize);
            caption.alignment = Qt::AlignHCenter;
            caption.bottomLine = true;
            page.texts.push_back(caption);
        }
    }
    doc.pages.push_back(std::move(page));
}

void TFQrManLst::AddDetailLine(PageModel& page, int lineIndex, const std::vector<QString>& cells,
                               const std::vector<QImage>& icons) const
{
    const int h = FontHeight(FontSize);
    const double right = page.size.width(); // the paper's edge, as for the captions
    const double lineTop = kMargin + kHeaderBand + (h + 7) + lineIndex * (h + 2);
    std::size_t cell = 0;
    for (int b = 0; b < kMaxBlocks; ++b) {
        const Block& block = blocks_[b];
        for (std::size_t j = 0; j < block.entries.size(); ++j, ++cell) {
            const Entry& e = block.entries[j];
            double left = kMargin + e.left;
            double width = e.width;
            if (j == 0) {
                // The first column's text starts after the row icon and stays
                // inside its own column.
                const double shift = block.icon.width() + 2;
                left += shift;
                width -= shift;
            }
            const QString& text = cells[cell];
            if (text.isEmpty() || left >= right || width <= 0)
                continue;
            ReportText value;
            value.role = ReportText::Cell;
            value.rect = QRectF(left, lineTop + 1, std::min(width, right - left), h);
            value.text = text;
            value.font = ValueFont(FontSize);
            page.texts.push_back(value);
        }
        if (!icons[std::size_t(b)].isNull() && kMargin + block.icon.left() < right)
            page.images.push_back({block.icon.translated(kMargin, lineTop), icons[std::size_t(b)]});
    }
    page.rows.push_back(cells);
}

void TFQrManLst::FinishPage(PageModel& page) const
{
    const double bandWidth = UsableWidth(landscape_);
    page.footer = ToQt(LangText(4)) + QLatin1Char(' ') + QString::number(page.number);
    ReportText footer;
    footer.role = ReportText::Footer;
    footer.font = ValueFont(10);
    const double width = ReportTextWidth(footer.font, page.footer);
    const double top = kMargin + UsableHeight(landscape_) - kFooterBand + 9;
    footer.rect = QRectF(kMargin + (bandWidth - width) / 2, top, width, FontHeight(10) + 3);
    footer.text = page.footer;
    footer.alignment = Qt::AlignHCenter;
    footer.opaque = true;
    page.texts.push_back(footer);
}

void TFQrManLst::StartPages(ReportDocument& doc)
{
    doc = ReportDocument{};
    doc.title = title_;
    doc.subtitle = subtitle_;
    doc.landscape = landscape_;
    doc.columns = Columns();
    // Every generation hands out the list from its first row, whatever an
    // earlier one (finished, aborted, or failed) left behind.
    rowCounter_ = 0;
    iconCache_.clear();
    carry_ = false;
    pagesOpen_ = true;
}

bool TFQrManLst::NextPage(ReportDocument& doc, const std::function<void(int, int, int)>& progress)
{
    if (!pagesOpen_)
        return false;
    const int perPage = LinesPerPage();
    StartPage(doc, int(doc.pages.size()) + 1);
    PageModel& page = doc.pages.back();
    int line = 0;
    if (carry_) {
        AddDetailLine(page, line++, cells_, icons_);
        carry_ = false;
    }
    // A page is finished only once the next line is known to exist, so the
    // last page is never followed by an empty one.
    for (;;) {
        if (progress)
            progress(0, RowCount(), rowCounter_ + 1);
        if (!NeedData(cells_, icons_))
            break;
        if (line == perPage) {
            carry_ = true;
            break;
        }
        AddDetailLine(page, line++, cells_, icons_);
    }
    FinishPage(page);
    if (!carry_) {
        pagesOpen_ = false;
        if (progress)
            progress(0, 0, 0);
    }
    return carry_;
}

ReportDocument TFQrManLst::Generate(const Hooks& hooks)
{
    ReportDocument doc;
    StartPages(doc);
    for (bool more = true; more;) {
        more = NextPage(doc, hooks.progress);
        const bool proceed = !hooks.pageReady || hooks.pageReady(doc.pages.back());
        if (more && !proceed) {
            rowCounter_ = 0;
            carry_ = false;
            pagesOpen_ = false;
            if (hooks.progress)
                hooks.progress(0, 0, 0);
            break;
        }
    }
    return doc;
}
