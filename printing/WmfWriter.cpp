#include "printing/WmfWriter.h"

#include "foundation/ui/QtText.h"
#include "printing/PagePainter.h"
#include "printing/TFQrManLst.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kTwipsPerPixel = 1440.0 / 96.0;

// Record functions and constants of the 16-bit metafile format.
enum : std::uint16_t {
    META_EOF = 0x0000,
    META_SETBKMODE = 0x0102,
    META_SETMAPMODE = 0x0103,
    META_SETTEXTALIGN = 0x012E,
    META_SELECTOBJECT = 0x012D,
    META_SETTEXTCOLOR = 0x0209,
    META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C,
    META_LINETO = 0x0213,
    META_MOVETO = 0x0214,
    META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB,
    META_CREATEBRUSHINDIRECT = 0x02FC,
    META_RECTANGLE = 0x041B,
    META_EXTTEXTOUT = 0x0A32,
    META_STRETCHDIB = 0x0F43,
};
constexpr std::uint16_t MM_ANISOTROPIC = 8;
constexpr std::uint16_t TRANSPARENT = 1;
constexpr std::uint16_t TA_TOP_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6;
constexpr std::uint16_t ETO_CLIPPED = 4;
constexpr std::uint16_t PS_SOLID = 0, PS_NULL = 5;
constexpr std::uint16_t BS_SOLID = 0;
constexpr std::uint32_t SRCCOPY = 0x00CC0020;

class Bytes {
public:
    Bytes& u16(std::uint16_t v)
    {
        data.append(char(v & 0xFF));
        data.append(char(v >> 8));
        return *this;
    }
    Bytes& i16(int v)
    {
        v = std::clamp(v, int(std::numeric_limits<std::int16_t>::min()),
                       int(std::numeric_limits<std::int16_t>::max()));
        return u16(std::uint16_t(std::int16_t(v)));
    }
    Bytes& u32(std::uint32_t v)
    {
        u16(std::uint16_t(v & 0xFFFF));
        return u16(std::uint16_t(v >> 16));
    }
    Bytes& raw(const QByteArray& bytes)
    {
        data.append(bytes);
        return *this;
    }
    QByteArray data;
};

int Twips(double pixels)
{
    return int(std::lround(pixels * kTwipsPerPixel));
}

// The 96-dpi device the report's texts are measured on.
const QImage& MeasuringDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = int(96 / 0.0254 + 0.5);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

struct LaidOutLine {
    QString text;
    double top = 0;        // from the text rectangle's top
    std::vector<double> x; // where each character starts, and the line's end
};

// The lines of a text as QPainter::drawText lays them out for PaintPage:
// Qt's own line breaking at the rectangle's width (word wrap only), each
// line on a whole pixel, one leading between lines, no line begun below
// the rectangle's bottom.
std::vector<LaidOutLine> LayOut(const ReportText& t)
{
    const QImage& device = MeasuringDevice();
    const QFont font = ReportQFont(t.font, &device);
    QString text = t.text;
    text.replace(QLatin1Char('\n'), t.wordWrap ? QChar(QChar::LineSeparator) : QChar(QLatin1Char(' ')));
    QTextLayout layout(text, font, &device);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    if (!t.wordWrap)
        option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    const double leading = QFontMetricsF(font, &device).leading();
    layout.beginLayout();
    for (double height = -leading; height < t.rect.height();) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(t.wordWrap ? std::max(0.0, t.rect.width()) : 1e7);
        height = std::ceil(height + leading);
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();

    std::vector<LaidOutLine> lines;
    for (int n = 0; n < layout.lineCount(); ++n) {
        const QTextLine line = layout.lineAt(n);
        const int start = line.textStart();
        int end = start + line.textLength();
        if (t.wordWrap) // the blank a line was broken at is not drawn
            while (end > start && text.at(end - 1).isSpace())
                --end;
        LaidOutLine out{text.mid(start, end - start), line.y(), {}};
        // One position per character as stored (a surrogate pair is one).
        const double origin = line.cursorToX(start);
        for (int i = start; i < end; ++i) {
            out.x.push_back(line.cursorToX(i) - origin);
            if (text.at(i).isHighSurrogate() && i + 1 < end && text.at(i + 1).isLowSurrogate())
                ++i;
        }
        out.x.push_back(line.cursorToX(end) - origin);
        lines.push_back(std::move(out));
    }
    return lines;
}

} // namespace

WmfWriter::WmfWriter(double width, double height) : width_(Twips(width)), height_(Twips(height))
{
    Record(META_SETMAPMODE, Bytes().u16(MM_ANISOTROPIC).data);
    Record(META_SETWINDOWORG, Bytes().i16(0).i16(0).data);
    Record(META_SETWINDOWEXT, Bytes().i16(height_).i16(width_).data);
    Record(META_SETBKMODE, Bytes().u16(TRANSPARENT).data);
    Record(META_SETTEXTCOLOR, Bytes().u32(0).data);
}

void WmfWriter::Record(std::uint16_t function, const QByteArray& params)
{
    QByteArray padded = params;
    if (padded.size() % 2 != 0)
        padded.append('\0');
    const std::uint32_t words = 3 + std::uint32_t(padded.size() / 2);
    records_.append(Bytes().u32(words).u16(function).raw(padded).data);
    maxRecordWords_ = std::max(maxRecordWords_, words);
}

int WmfWriter::NewObject(std::uint16_t function, const QByteArray& params)
{
    Record(function, params);
    return objects_++;
}

void WmfWriter::Select(int handle)
{
    Record(META_SELECTOBJECT, Bytes().u16(std::uint16_t(handle)).data);
}

int WmfWriter::Font(const ReportFont& font)
{
    const QString key = font.family + QLatin1Char('/') + QString::number(font.pointSize) + (font.bold ? QStringLiteral("/b") : QStringLiteral("/r"));
    auto it = fonts_.find(key);
    if (it != fonts_.end())
        return it->second;
    QByteArray face = QByteArray::fromStdString(FromQt(font.family)).left(31);
    face.append(QByteArray(32 - face.size(), '\0'));
    const bool roman = font.family.contains(QLatin1String("Times"), Qt::CaseInsensitive);
    Bytes logfont;
    // The character height (without internal leading) in whole pixels, as
    // the layout measured the text and as Qt draws it in the PDF.
    const int pixels = TFQrManLst::FontHeight(int(std::lround(font.pointSize)));
    logfont.i16(-Twips(pixels))
        .i16(0)                                       // width: the face's own
        .i16(0)
        .i16(0)
        .i16(font.bold ? 700 : 400);
    logfont.data.append(char(0)); // italic
    logfont.data.append(char(0)); // underline
    logfont.data.append(char(0)); // strike-out
    logfont.data.append(char(0)); // ANSI character set
    logfont.data.append(char(0)); // out precision
    logfont.data.append(char(0)); // clip precision
    logfont.data.append(char(0)); // quality
    logfont.data.append(char((roman ? 0x10 : 0x20) | 2)); // FF_ROMAN / FF_SWISS, variable pitch
    logfont.raw(face);
    const int handle = NewObject(META_CREATEFONTINDIRECT, logfont.data);
    fonts_.emplace(key, handle);
    return handle;
}

void WmfWriter::Text(const ReportText& text)
{
    if (text.text.isEmpty())
        return;
    for (const LaidOutLine& line : LayOut(text))
        TextLine(text.rect, text.rect.top() + line.top, line.text, line.x, text.font, text.alignment);
}

void WmfWriter::TextLine(const QRectF& clip, double top, const QString& text, const std::vector<double>& x,
                         const ReportFont& font, Qt::Alignment alignment)
{
    QByteArray bytes = QByteArray::fromStdString(FromQt(text));
    if (bytes.isEmpty())
        return;
    const int handle = Font(font);
    if (handle != selectedFont_) {
        Select(handle);
        selectedFont_ = handle;
    }
    std::uint16_t align = TA_TOP_LEFT;
    double anchor = clip.left();
    if (alignment & Qt::AlignHCenter) {
        align = TA_CENTER;
        anchor = clip.center().x();
    } else if (alignment & Qt::AlignRight) {
        align = TA_RIGHT;
        anchor = clip.right();
    }
    if (align != textAlign_) {
        Record(META_SETTEXTALIGN, Bytes().u16(align).data);
        textAlign_ = align;
    }
    const int count = int(std::min<qsizetype>(bytes.size(), std::numeric_limits<std::int16_t>::max()));
    bytes.truncate(count);
    if (bytes.size() % 2 != 0)
        bytes.append('\0');
    Bytes params;
    params.i16(Twips(top))
        .i16(Twips(anchor))
        .i16(count)
        .u16(ETO_CLIPPED)
        .i16(Twips(clip.left()))
        .i16(Twips(clip.top()))
        .i16(Twips(clip.right()))
        .i16(Twips(clip.bottom()))
        .raw(bytes);
    // The distance from each character to the next (one byte is one
    // character), rounded so that the line ends where the layout measured it.
    if (x.size() > std::size_t(count))
        for (int i = 0; i < count; ++i)
            params.i16(Twips(x[std::size_t(i) + 1]) - Twips(x[std::size_t(i)]));
    Record(META_EXTTEXTOUT, params.data);
}

void WmfWriter::Line(const QPointF& from, const QPointF& to)
{
    if (blackPen_ < 0)
        blackPen_ = NewObject(META_CREATEPENINDIRECT, Bytes().u16(PS_SOLID).i16(Twips(1)).i16(0).u32(0).data);
    if (selectedPen_ != blackPen_) {
        Select(blackPen_);
        selectedPen_ = blackPen_;
    }
    Record(META_MOVETO, Bytes().i16(Twips(from.y())).i16(Twips(from.x())).data);
    Record(META_LINETO, Bytes().i16(Twips(to.y())).i16(Twips(to.x())).data);
}

void WmfWriter::WhiteRect(const QRectF& rect)
{
    if (nullPen_ < 0)
        nullPen_ = NewObject(META_CREATEPENINDIRECT, Bytes().u16(PS_NULL).i16(0).i16(0).u32(0).data);
    if (whiteBrush_ < 0)
        whiteBrush_ = NewObject(META_CREATEBRUSHINDIRECT, Bytes().u16(BS_SOLID).u32(0x00FFFFFF).u16(0).data);
    if (selectedPen_ != nullPen_) {
        Select(nullPen_);
        selectedPen_ = nullPen_;
    }
    if (selectedBrush_ != whiteBrush_) {
        Select(whiteBrush_);
        selectedBrush_ = whiteBrush_;
    }
    Record(META_RECTANGLE, Bytes()
                               .i16(Twips(rect.bottom()))
                               .i16(Twips(rect.right()))
                               .i16(Twips(rect.top()))
                               .i16(Twips(rect.left()))
                               .data);
}

void WmfWriter::Image(const QRectF& rect, const QImage& image)
{
    if (image.isNull())
        return;
    // A white background under transparent pixels, then 24-bit rows, bottom up.
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
    }
    const QImage bgr = flat.convertToFormat(QImage::Format_BGR888);
    const int w = bgr.width();
    const int h = bgr.height();
    const int stride = (w * 3 + 3) & ~3;
    Bytes dib;
    dib.u32(40).u32(std::uint32_t(w)).u32(std::uint32_t(h)).u16(1).u16(24).u32(0)
        .u32(std::uint32_t(stride * h)).u32(3780).u32(3780).u32(0).u32(0);
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(reinterpret_cast<const char*>(bgr.constScanLine(y)), w * 3);
        row.append(QByteArray(stride - w * 3, '\0'));
        dib.raw(row);
    }
    Bytes params;
    params.u32(SRCCOPY)
        .u16(0) // colours are RGB values
        .i16(h)
        .i16(w)
        .i16(0)
        .i16(0)
        .i16(Twips(rect.height()))
        .i16(Twips(rect.width()))
        .i16(Twips(rect.top()))
        .i16(Twips(rect.left()))
        .raw(dib.data);
    Record(META_STRETCHDIB, params.data);
}

QByteArray WmfWriter::Finish() const
{
    const std::uint32_t eofWords = 3;
    const std::uint32_t totalWords = 9 + std::uint32_t(records_.size() / 2) + eofWords;
    Bytes placeable;
    placeable.u32(0x9AC6CDD7).u16(0).i16(0).i16(0).i16(width_).i16(height_).u16(1440).u32(0);
    std::uint16_t checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= std::uint16_t(std::uint8_t(placeable.data[i]) | (std::uint8_t(placeable.data[i + 1]) << 8));
    placeable.u16(checksum);

    Bytes file;
    file.raw(placeable.data)
        .u16(1) // an ordinary metafile
        .u16(9)
        .u16(0x0300)
        .u32(totalWords)
        .u16(std::uint16_t(objects_))
        .u32(std::max(maxRecordWords_, eofWords))
        .u16(0)
        .raw(records_)
        .u32(eofWords)
        .u16(META_EOF);
    return file.data;
}

QByteArray WmfWriter::Page(const PageModel& page)
{
    WmfWriter wmf(page.size.width(), page.size.height());
    for (const ReportImage& image : page.images)
        wmf.Image(image.rect, image.image);
    for (const ReportText& text : page.texts) {
        if (text.opaque)
            wmf.WhiteRect(text.rect);
        wmf.Text(text);
        if (text.bottomLine) {
            const double y = text.rect.bottom() - 0.5;
            wmf.Line(QPointF(text.rect.left(), y), QPointF(text.rect.right(), y));
        }
    }
    for (const ReportLine& line : page.lines)
        wmf.Line(line.line.p1(), line.line.p2());
    return wmf.Finish();
}
