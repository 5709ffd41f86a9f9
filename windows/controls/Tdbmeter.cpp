#include "windows/controls/Tdbmeter.h"

#include <QPainter>

#include <climits>
#include <cmath>
#include <cstdint>
#include <utility>

namespace {

// Halves go to the even neighbour, as the meter's scale always has.
std::int64_t RoundHalfEven(double x)
{
    const double r = std::nearbyint(x);
    if (!(r > double(INT_MIN)))
        return INT_MIN;
    if (!(r < double(INT_MAX)))
        return INT_MAX;
    return std::int64_t(r);
}

int ClampToInt(std::int64_t v)
{
    return v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : int(v);
}

// A filled rectangle between two corners, the far column and row left out,
// so that neighbouring segments share no pixel whichever way they run.
void FillCorners(QPainter& p, int x1, int y1, int x2, int y2, const QColor& colour)
{
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    if (x2 > x1 && y2 > y1)
        p.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), colour);
}

// A one-pixel line along a row or column, from 'from' up to but not
// including 'to'; returns 'to' so that lines can be chained.
QPoint LineTo(QPainter& p, QPoint from, QPoint to, const QColor& colour)
{
    if (from.y() == to.y()) {
        if (to.x() > from.x())
            FillCorners(p, from.x(), from.y(), to.x(), from.y() + 1, colour);
        else if (to.x() < from.x())
            FillCorners(p, to.x() + 1, from.y(), from.x() + 1, from.y() + 1, colour);
    } else if (from.x() == to.x()) {
        if (to.y() > from.y())
            FillCorners(p, from.x(), from.y(), from.x() + 1, to.y(), colour);
        else
            FillCorners(p, from.x(), to.y() + 1, from.x() + 1, from.y() + 1, colour);
    }
    return to;
}

} // namespace

Tdbmeter::Tdbmeter(QWidget* parent)
    : QWidget(parent)
{
    resize(80, 17);
}

QSize Tdbmeter::sizeHint() const
{
    return {80, 17};
}

template <class T>
void Tdbmeter::Store(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    update();
}

void Tdbmeter::SetBevelStyle(TBevelCut value) { Store(FBevelStyle, value); }

void Tdbmeter::SetBevelWidth(std::uint8_t value)
{
    if (value == 0 || value > height() / 3 || value > width() / 3)
        value = 1;
    Store(FBevelWidth, value);
}

void Tdbmeter::SetGreenColor(const QColor& value) { Store(FGreenColor, value); }
void Tdbmeter::SetGreens(int value) { Store(FGreens, value); }
void Tdbmeter::SetGreenMax(int value) { Store(FGreenMax, value); }
void Tdbmeter::SetGreenBack(const QColor& value) { Store(FGreenBack, value); }
void Tdbmeter::SetYellowColor(const QColor& value) { Store(FYellowColor, value); }
void Tdbmeter::SetYellows(int value) { Store(FYellows, value); }
void Tdbmeter::SetYellowMax(int value) { Store(FYellowMax, value); }
void Tdbmeter::SetYellowBack(const QColor& value) { Store(FYellowBack, value); }
void Tdbmeter::SetRedColor(const QColor& value) { Store(FRedColor, value); }
void Tdbmeter::SetReds(int value) { Store(FReds, value); }
void Tdbmeter::SetRedMax(int value) { Store(FRedMax, value); }
void Tdbmeter::SetRedBack(const QColor& value) { Store(FRedBack, value); }
void Tdbmeter::SetShowJustOne(bool value) { Store(FShowJustOne, value); }
void Tdbmeter::SetSepWidth(int value) { Store(FSepWidth, value); }
void Tdbmeter::SetSepColor(const QColor& value) { Store(FSepColor, value); }
void Tdbmeter::SetStyle(Tdbmeterstyle value) { Store(FStyle, value); }
void Tdbmeter::SetDirection(tdbmeterdirection value) { Store(FDirection, value); }
void Tdbmeter::SetPosition(int value) { Store(FPosition, value); }

int Tdbmeter::LitSegments(int N) const
{
    // A zone without segments covers no span of Position, except the red
    // zone, whose span always counts towards the top of the scale.
    const std::int64_t GS = FGreens != 0 ? FGreenMax : 0;
    const std::int64_t YS = FYellows != 0 ? FYellowMax : 0;
    const std::int64_t P = FPosition;
    const std::int64_t below = std::int64_t(FGreens) + FYellows;

    if (P >= FRedMax + GS + YS)
        return N;
    if (P > GS + YS) {
        if (FReds == 0)
            return N;
        // A position inside a zone lights at least one of its segments.
        const std::int64_t k = RoundHalfEven(double(FReds) / FRedMax * double(P - YS - GS)) + below;
        return ClampToInt(k == below ? k + 1 : k);
    }
    if (P > GS) {
        if (FYellows == 0)
            return N;
        const std::int64_t k = RoundHalfEven(double(FYellows) / YS * double(P - GS)) + FGreens;
        return ClampToInt(k == FGreens ? k + 1 : k);
    }
    if (GS == 0)
        return 0;
    return ClampToInt(RoundHalfEven(double(FGreens) / GS * double(P)));
}

void Tdbmeter::paintEvent(QPaintEvent*)
{
    // The widget's backing store composes the whole picture off screen and
    // shows it in one step, so the meter never flickers segment by segment.
    QPainter p(this);
    const int W = width();
    const int H = height();
    const bool horizontal = FStyle == dsHorizontal;
    const bool mirrored = FDirection == ddLeftUp;

    FillCorners(p, 0, 0, W, H, FSepColor);

    // One band across the meter between two positions along it.
    auto band = [&](int from, int to, const QColor& colour) {
        if (horizontal) {
            if (mirrored) {
                from = W - from - 1;
                to = W - to - 1;
            }
            FillCorners(p, from, 0, to, H - 1, colour);
        } else {
            if (mirrored) {
                from = H - from - 1;
                to = H - to - 1;
            }
            FillCorners(p, 0, from, W - 1, to, colour);
        }
    };

    const std::int64_t total = std::int64_t(FGreens) + FYellows + FReds;
    if (total > 0 && total <= INT_MAX) {
        const int N = int(total);
        const int S = (horizontal ? W : H) / N;
        if (S > FSepWidth) {
            int lit = LitSegments(N);
            if (lit == 0 && FPosition != 0)
                lit = 1;
            for (int i = 1; i <= N; ++i) {
                const bool on = i <= lit && (!FShowJustOne || i == lit);
                QColor colour;
                if (i <= FGreens)
                    colour = on ? FGreenColor : FGreenBack;
                else if (i <= std::int64_t(FGreens) + FYellows)
                    colour = on ? FYellowColor : FYellowBack;
                else
                    colour = on ? FRedColor : FRedBack;
                band((i - 1) * S, i * S, colour);
                if (FSepWidth > 0)
                    band(i * S - FSepWidth, i * S, FSepColor);
            }
        }
    }

    int b = FBevelStyle == bvNone ? 0 : FBevelWidth;
    if (H / 3 < b || b > W / 3)
        b = 1;
    if (b > 0) {
        QColor light(255, 255, 255);
        QColor dark(128, 128, 128);
        if (FBevelStyle == bvRaised)
            std::swap(light, dark);
        for (int k = 0; k < b; ++k) { // bottom and right edges
            const QPoint corner = LineTo(p, {-1, H - k - 1}, {W - k - 1, H - k - 1}, light);
            LineTo(p, corner, {W - k - 1, -1}, light);
        }
        for (int k = 0; k < b; ++k) { // top and left edges
            const QPoint corner = LineTo(p, {W, k}, {k, k}, dark);
            LineTo(p, corner, {k, H - b}, dark);
        }
    }
}
