#include "windows/controls/TL7Segment.h"

#include <QPainter>
#include <QPolygon>

#include <cmath>

namespace {

struct Glyph {
    char Character;
    std::array<std::uint8_t, 7> Segments; // top, upper-left, upper-right, middle, lower-left, lower-right, bottom
};

constexpr Glyph Glyphs[] = {
    {'0', {1, 1, 1, 0, 1, 1, 1}},
    {'1', {0, 0, 1, 0, 0, 1, 0}},
    {'2', {1, 0, 1, 1, 1, 0, 1}},
    {'3', {1, 0, 1, 1, 0, 1, 1}},
    {'4', {0, 1, 1, 1, 0, 1, 0}},
    {'5', {1, 1, 0, 1, 0, 1, 1}},
    {'6', {1, 1, 0, 1, 1, 1, 1}},
    {'7', {1, 0, 1, 0, 0, 1, 0}},
    {'8', {1, 1, 1, 1, 1, 1, 1}},
    {'9', {1, 1, 1, 1, 0, 1, 1}},
    {'o', {0, 0, 0, 1, 1, 1, 1}},
    {'G', {1, 1, 0, 1, 1, 1, 1}},
    {'d', {0, 0, 1, 1, 1, 1, 1}},
    {'r', {0, 0, 0, 1, 1, 0, 0}},
    {'e', {1, 1, 1, 1, 1, 0, 1}},
    {'E', {1, 1, 0, 1, 1, 0, 1}},
    {'B', {1, 1, 1, 1, 1, 1, 1}},
    {'b', {0, 1, 0, 1, 1, 1, 1}},
    {'-', {0, 0, 0, 1, 0, 0, 0}},
    {'_', {0, 0, 0, 0, 0, 0, 1}},
    {'t', {0, 1, 0, 1, 1, 0, 1}},
    {'L', {0, 1, 0, 0, 1, 0, 1}},
    {'l', {0, 1, 0, 0, 1, 0, 0}},
    {'F', {1, 1, 0, 1, 1, 0, 0}},
};

// Halves go to the even neighbour, so that the shapes keep the proportions
// the display was designed with.
int Round(double x)
{
    return int(std::nearbyint(x));
}

// A filled rectangle between two corners, the far column and row left out.
void FillCorners(QPainter& p, int x1, int y1, int x2, int y2, const QColor& colour)
{
    if (x2 > x1 && y2 > y1)
        p.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), colour);
}

// An outlined, filled ellipse inside the box between two corners, the far
// column and row left out.
void EllipseInBox(QPainter& p, int x1, int y1, int x2, int y2, const QColor& colour)
{
    p.setPen(QPen(colour, 0));
    p.setBrush(colour);
    p.drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void Triangle(QPainter& p, QPoint a, QPoint b, QPoint c, const QColor& colour)
{
    p.setPen(QPen(colour, 0));
    p.setBrush(colour);
    p.drawPolygon(QPolygon({a, b, c}));
}

} // namespace

TL7Segment::TL7Segment(QWidget* parent)
    : QWidget(parent)
{
    resize(30, 40);
}

QSize TL7Segment::sizeHint() const
{
    return {30, 40};
}

void TL7Segment::SetDigitValue(char value)
{
    for (const Glyph& g : Glyphs) {
        if (g.Character == value) {
            SetSegments(g.Segments);
            FDigitValue = value;
            return;
        }
    }
}

void TL7Segment::SetSegments(const Pattern& segments)
{
    if (segments == FSegments)
        return;
    FSegments = segments;
    update();
}

// Every property change redraws the whole picture: the backing store shows
// it in one step, so there is nothing to gain from repainting the digit alone.
template <class T>
void TL7Segment::Store(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    update();
}

void TL7Segment::SetTipoDeSegmento(TTipoDeSegmento value) { Store(FTipoDeSegmento, value); }
void TL7Segment::SetColorBackGround(const QColor& value) { Store(FColorBackGround, value); }
void TL7Segment::SetColorDigitOff(const QColor& value) { Store(FColorDigitOff, value); }
void TL7Segment::SetColorDigitOn(const QColor& value) { Store(FColorDigitOn, value); }
void TL7Segment::SetSideMargin(int value) { Store(FSideMargin, value); }
void TL7Segment::SetTopMargin(int value) { Store(FTopMargin, value); }
void TL7Segment::SetPunto(bool value) { Store(FPunto, value); }
void TL7Segment::SetPowerOn(bool value) { Store(FPowerOn, value); }

QColor TL7Segment::SegmentColor(int k) const
{
    if (!FPowerOn)
        return FColorDigitOff;
    if (k == 8)
        return FPunto ? FColorDigitOn : FColorDigitOff;
    return FSegments[k - 1] != 0 ? FColorDigitOn : FColorDigitOff;
}

void TL7Segment::DrawSegment(QPainter& p, bool vertical, int x, int y, int L, int T, const QColor& colour) const
{
    const int t = Round(L * 0.15);
    const int m = Round(T / 2.0);
    if (vertical) {
        const int a = Round(L / 4.0);
        FillCorners(p, x, y + a, x + T - 1, y + L - 1 - a, colour);
        Triangle(p, {x, y + a}, {x + m - 1, y + t}, {x + T - 2, y + a}, colour);
        Triangle(p, {x, y + L - 1 - a}, {x + m - 1, y + L - 1 - t}, {x + T - 2, y + L - 1 - a}, colour);
    } else {
        const int a = Round((L / 2.0) * 0.45);
        FillCorners(p, x + a, y, x + L - 1 - a, y + T, colour);
        Triangle(p, {x + a, y}, {x + a, y + T - 1}, {x + t, y + m}, colour);
        Triangle(p, {x + L - 1 - a, y}, {x + L - 1 - a, y + T - 1}, {x + L - 2 - t, y + m}, colour);
    }
}

void TL7Segment::PaintDigit(QPainter& p) const
{
    const int W = width();
    const int H = height();
    const int SM = FSideMargin;
    const int TM = FTopMargin;

    switch (FTipoDeSegmento) {
    case ts7Segment: {
        const int e = Round(H * 0.06);
        const int half = (H - 2 * TM) / 2;
        const int VL = half + e;
        const int VT = W / 5;
        const int HT = W / 6;
        const int HL = W - 2 * SM;
        // Later shapes cover earlier ones where they meet: the horizontal
        // bars are drawn over the ends of the vertical ones.
        DrawSegment(p, true, SM, TM, VL, VT, SegmentColor(2));
        DrawSegment(p, true, W - SM - VT, TM, VL, VT, SegmentColor(3));
        DrawSegment(p, true, SM, half + TM - e + 1, VL, VT, SegmentColor(5));
        DrawSegment(p, true, W - SM - VT, half + TM - e + 1, VL, VT, SegmentColor(6));
        DrawSegment(p, false, SM, TM, HL, HT, SegmentColor(1));
        DrawSegment(p, false, SM, H / 2 - HT / 2, HL, HT, SegmentColor(4));
        DrawSegment(p, false, SM, H - TM - HT, HL, HT, SegmentColor(7));
        const int px = W - SM + 2;
        const int py = H - TM + 1;
        const int r = Round(W * 0.09);
        EllipseInBox(p, px - r, py - r, px, py, SegmentColor(8));
        break;
    }
    case ts2Puntos: {
        const int cx = Round(W / 2.0);
        const int r = Round(H * 0.06);
        const int c = Round(H / 3.0);
        EllipseInBox(p, cx - r, c - r, cx + r, c + r, SegmentColor(8));
        EllipseInBox(p, cx - r, 2 * c - r, cx + r, 2 * c + r, SegmentColor(8));
        break;
    }
    case ts1Punto: {
        const int cx = Round(W / 2.0);
        const int r = Round(H * 0.09);
        const int c = Round(H / 2.0);
        EllipseInBox(p, cx - r, c - r, cx + r, c + r, SegmentColor(8));
        break;
    }
    }
}

void TL7Segment::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // The whole control, so that digits set side by side show no seam of
    // the parent's colour between them.
    p.fillRect(rect(), FColorBackGround);
    PaintDigit(p);
}
