#include "windows/AppIcons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace AppIcons {

namespace {

QPixmap Blank(int w, int h)
{
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    return pm;
}

void Antialias(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
}

// A sheet of paper with a folded corner, the base of the file pictures.
void DrawSheet(QPainter& p, const QRectF& r)
{
    const qreal fold = r.width() * 0.3;
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawPath(path);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(220, 220, 220));
    p.drawPath(corner);
}

void DrawTv(QPainter& p, int s)
{
    const qreal u = s / 32.0;
    p.setPen(QPen(QColor(40, 40, 40), 1.5 * u));
    p.setBrush(QColor(70, 70, 80));
    p.drawRoundedRect(QRectF(3 * u, 6 * u, 26 * u, 18 * u), 3 * u, 3 * u);
    QLinearGradient screen(0, 8 * u, 0, 22 * u);
    screen.setColorAt(0, QColor(120, 180, 255));
    screen.setColorAt(1, QColor(30, 70, 160));
    p.setBrush(screen);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(6 * u, 9 * u, 20 * u, 12 * u), 2 * u, 2 * u);
    p.setPen(QPen(QColor(40, 40, 40), 2 * u));
    p.drawLine(QPointF(12 * u, 24 * u), QPointF(10 * u, 28 * u));
    p.drawLine(QPointF(20 * u, 24 * u), QPointF(22 * u, 28 * u));
}

void DrawSatellite(QPainter& p, int s)
{
    const qreal u = s / 32.0;
    p.save();
    p.translate(16 * u, 16 * u);
    p.rotate(-35);
    // Solar wings.
    p.setPen(QPen(QColor(30, 40, 90), 1 * u));
    p.setBrush(QColor(60, 90, 200));
    p.drawRect(QRectF(-15 * u, -4 * u, 9 * u, 8 * u));
    p.drawRect(QRectF(6 * u, -4 * u, 9 * u, 8 * u));
    p.drawLine(QPointF(-10.5 * u, -4 * u), QPointF(-10.5 * u, 4 * u));
    p.drawLine(QPointF(10.5 * u, -4 * u), QPointF(10.5 * u, 4 * u));
    // Body.
    p.setBrush(QColor(220, 180, 60));
    p.setPen(QPen(QColor(120, 90, 20), 1 * u));
    p.drawRect(QRectF(-5 * u, -5 * u, 10 * u, 10 * u));
    p.restore();
}

void DrawDish(QPainter& p, int s)
{
    const qreal u = s / 32.0;
    p.setPen(QPen(QColor(90, 90, 90), 1.5 * u));
    p.setBrush(QColor(230, 230, 235));
    QPainterPath bowl;
    bowl.moveTo(5 * u, 6 * u);
    bowl.quadTo(4 * u, 22 * u, 22 * u, 24 * u);
    bowl.closeSubpath();
    p.drawPath(bowl);
    // Arm and head.
    p.drawLine(QPointF(13 * u, 15 * u), QPointF(24 * u, 9 * u));
    p.setBrush(QColor(60, 60, 60));
    p.drawEllipse(QPointF(24 * u, 9 * u), 2 * u, 2 * u);
    // Mast.
    p.setPen(QPen(QColor(70, 70, 70), 2.5 * u));
    p.drawLine(QPointF(14 * u, 21 * u), QPointF(16 * u, 30 * u));
    p.drawLine(QPointF(10 * u, 30 * u), QPointF(22 * u, 30 * u));
}

void DrawWaves(QPainter& p, int s)
{
    const qreal u = s / 32.0;
    // A mast sending waves to both sides.
    p.setPen(QPen(QColor(80, 80, 80), 2 * u));
    p.drawLine(QPointF(16 * u, 12 * u), QPointF(11 * u, 30 * u));
    p.drawLine(QPointF(16 * u, 12 * u), QPointF(21 * u, 30 * u));
    p.drawLine(QPointF(13 * u, 22 * u), QPointF(19 * u, 22 * u));
    p.setBrush(QColor(220, 40, 40));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(16 * u, 10 * u), 2.5 * u, 2.5 * u);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(30, 120, 220), 1.8 * u));
    for (int k = 1; k <= 2; ++k) {
        const qreal r = (4 + 4 * k) * u;
        const QRectF box(16 * u - r, 10 * u - r, 2 * r, 2 * r);
        p.drawArc(box, -40 * 16, 80 * 16);
        p.drawArc(box, 140 * 16, 80 * 16);
    }
}

void DrawTools(QPainter& p, int s)
{
    const qreal u = s / 32.0;
    // Screwdriver.
    p.save();
    p.translate(16 * u, 16 * u);
    p.rotate(45);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 60, 40));
    p.drawRoundedRect(QRectF(-3 * u, 2 * u, 6 * u, 12 * u), 2 * u, 2 * u);
    p.setBrush(QColor(150, 150, 160));
    p.drawRect(QRectF(-1 * u, -13 * u, 2 * u, 15 * u));
    p.restore();
    // Wrench.
    p.save();
    p.translate(16 * u, 16 * u);
    p.rotate(-45);
    p.setBrush(QColor(120, 120, 130));
    p.setPen(QPen(QColor(60, 60, 70), 1 * u));
    p.drawRoundedRect(QRectF(-2 * u, -10 * u, 4 * u, 22 * u), 1.5 * u, 1.5 * u);
    QPainterPath jaw;
    jaw.addEllipse(QPointF(0, -11 * u), 5 * u, 5 * u);
    QPainterPath slot;
    slot.addRect(QRectF(-2 * u, -17 * u, 4 * u, 7 * u));
    p.drawPath(jaw.subtracted(slot));
    p.restore();
}

QPixmap OptionPixmap(int option, int s)
{
    QPixmap pm = Blank(s, s);
    QPainter p(&pm);
    Antialias(p);
    switch (option) {
    case 1: DrawTv(p, s); break;
    case 2: DrawSatellite(p, s); break;
    case 3: DrawDish(p, s); break;
    case 4: DrawWaves(p, s); break;
    case 5: DrawTools(p, s); break;
    default: break;
    }
    return pm;
}

QPixmap MenuPixmap(int index, int s)
{
    QPixmap pm = Blank(s, s);
    QPainter p(&pm);
    Antialias(p);
    const qreal u = s / 16.0;
    switch (index) {
    case 0: { // connect: two plug halves meeting
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 140, 40));
        p.drawRoundedRect(QRectF(1 * u, 5 * u, 6 * u, 6 * u), 1 * u, 1 * u);
        p.setBrush(QColor(40, 90, 180));
        p.drawRoundedRect(QRectF(9 * u, 5 * u, 6 * u, 6 * u), 1 * u, 1 * u);
        p.setBrush(QColor(150, 150, 150));
        p.drawRect(QRectF(7 * u, 6 * u, 2 * u, 1.2 * u));
        p.drawRect(QRectF(7 * u, 8.8 * u, 2 * u, 1.2 * u));
        break;
    }
    case 1: { // exit: a door with an arrow leaving it
        p.setPen(QPen(QColor(110, 70, 30), 1 * u));
        p.setBrush(QColor(190, 140, 80));
        p.drawRect(QRectF(2 * u, 1.5 * u, 7 * u, 13 * u));
        p.setPen(QPen(QColor(200, 30, 30), 2 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(7 * u, 8 * u), QPointF(14 * u, 8 * u));
        p.drawLine(QPointF(11.5 * u, 5.5 * u), QPointF(14 * u, 8 * u));
        p.drawLine(QPointF(11.5 * u, 10.5 * u), QPointF(14 * u, 8 * u));
        break;
    }
    case 2: { // port set-up: a nine-pin connector
        p.setPen(QPen(QColor(60, 60, 60), 1 * u));
        p.setBrush(QColor(180, 180, 190));
        QPainterPath shell;
        shell.moveTo(1 * u, 4 * u);
        shell.lineTo(15 * u, 4 * u);
        shell.lineTo(13 * u, 12 * u);
        shell.lineTo(3 * u, 12 * u);
        shell.closeSubpath();
        p.drawPath(shell);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 40, 40));
        for (int i = 0; i < 5; ++i)
            p.drawEllipse(QPointF((3.8 + 2.1 * i) * u, 6.5 * u), 0.8 * u, 0.8 * u);
        for (int i = 0; i < 4; ++i)
            p.drawEllipse(QPointF((4.9 + 2.1 * i) * u, 9.5 * u), 0.8 * u, 0.8 * u);
        break;
    }
    case 3: { // save: a diskette
        p.setPen(QPen(QColor(20, 40, 90), 1 * u));
        p.setBrush(QColor(50, 90, 180));
        p.drawRoundedRect(QRectF(1.5 * u, 1.5 * u, 13 * u, 13 * u), 1 * u, 1 * u);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 230, 230));
        p.drawRect(QRectF(4 * u, 1.5 * u, 8 * u, 5 * u));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5 * u, 9 * u, 9 * u, 5.5 * u));
        p.setBrush(QColor(50, 90, 180));
        p.drawRect(QRectF(9.5 * u, 2.5 * u, 1.5 * u, 3 * u));
        break;
    }
    case 4: { // get a list: an arrow down into a tray
        p.setPen(QPen(QColor(60, 60, 60), 1.2 * u));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(1.5 * u, 10 * u), QPointF(1.5 * u, 14.5 * u), QPointF(14.5 * u, 14.5 * u),
                                  QPointF(14.5 * u, 10 * u)}));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 150, 60));
        p.drawRect(QRectF(6.5 * u, 1 * u, 3 * u, 6 * u));
        p.drawPolygon(QPolygonF({QPointF(3.5 * u, 7 * u), QPointF(12.5 * u, 7 * u), QPointF(8 * u, 12 * u)}));
        break;
    }
    case 5: { // new list: a blank sheet with a star
        DrawSheet(p, QRectF(3 * u, 1.5 * u, 10 * u, 13 * u));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(240, 190, 0));
        p.drawEllipse(QPointF(12.5 * u, 3.5 * u), 2.5 * u, 2.5 * u);
        break;
    }
    case 6: { // print: a printer with a sheet
        p.setPen(QPen(QColor(70, 70, 70), 1 * u));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4 * u, 1.5 * u, 8 * u, 5 * u));
        p.setBrush(QColor(160, 160, 170));
        p.drawRoundedRect(QRectF(1.5 * u, 6 * u, 13 * u, 6 * u), 1 * u, 1 * u);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4 * u, 10 * u, 8 * u, 4.5 * u));
        p.setPen(QPen(QColor(150, 150, 150), 0.8 * u));
        p.drawLine(QPointF(5 * u, 12 * u), QPointF(11 * u, 12 * u));
        break;
    }
    default: break;
    }
    return pm;
}

} // namespace

QPixmap Lamp(bool connected)
{
    QPixmap pm = Blank(16, 16);
    QPainter p(&pm);
    Antialias(p);
    const QColor base = connected ? QColor(0, 255, 0) : QColor(0, 96, 0);
    QRadialGradient glow(QPointF(6, 6), 8);
    glow.setColorAt(0, connected ? QColor(220, 255, 220) : QColor(60, 140, 60));
    glow.setColorAt(1, base);
    p.setPen(QPen(QColor(0, 60, 0), 1));
    p.setBrush(glow);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    return pm;
}

QIcon Option(int option)
{
    QIcon icon;
    icon.addPixmap(OptionPixmap(option, 32));
    icon.addPixmap(OptionPixmap(option, 64));
    return icon;
}

QIcon Menu(int index)
{
    QIcon icon;
    icon.addPixmap(MenuPixmap(index, 16));
    icon.addPixmap(MenuPixmap(index, 32));
    return icon;
}

QPixmap ReceiverFront(int width, int height)
{
    QPixmap pm = Blank(width, height);
    QPainter p(&pm);
    Antialias(p);
    QLinearGradient body(0, 0, 0, height);
    body.setColorAt(0, QColor(90, 90, 100));
    body.setColorAt(1, QColor(30, 30, 35));
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(0.5, 0.5, width - 1, height - 1), 3, 3);
    // Display window with four red digits.
    const QRectF display(width * 0.55, height * 0.25, width * 0.32, height * 0.5);
    p.setBrush(Qt::black);
    p.drawRect(display);
    p.setPen(QPen(QColor(255, 30, 30), 1.4));
    const qreal cw = display.width() / 4;
    for (int i = 0; i < 4; ++i) {
        const QRectF d(display.left() + i * cw + cw * 0.25, display.top() + display.height() * 0.2, cw * 0.5,
                       display.height() * 0.6);
        p.drawLine(d.topLeft(), d.topRight());
        p.drawLine(d.topRight(), d.bottomRight());
        p.drawLine(d.bottomLeft(), d.bottomRight());
    }
    // Buttons and the power light.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(160, 160, 170));
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(width * (0.12 + 0.1 * i), height * 0.5), height * 0.1, height * 0.1);
    p.setBrush(QColor(0, 220, 0));
    p.drawEllipse(QPointF(width * 0.45, height * 0.5), height * 0.06, height * 0.06);
    return pm;
}

QPixmap Computer(int size)
{
    QPixmap pm = Blank(size, size);
    QPainter p(&pm);
    Antialias(p);
    const qreal u = size / 32.0;
    p.setPen(QPen(QColor(60, 60, 60), 1 * u));
    p.setBrush(QColor(200, 200, 205));
    p.drawRoundedRect(QRectF(3 * u, 3 * u, 26 * u, 19 * u), 2 * u, 2 * u);
    QLinearGradient screen(0, 5 * u, 0, 19 * u);
    screen.setColorAt(0, QColor(110, 170, 240));
    screen.setColorAt(1, QColor(20, 60, 150));
    p.setBrush(screen);
    p.drawRect(QRectF(5.5 * u, 5.5 * u, 21 * u, 14 * u));
    p.setBrush(QColor(170, 170, 175));
    p.drawRect(QRectF(13 * u, 22 * u, 6 * u, 4 * u));
    p.drawRoundedRect(QRectF(7 * u, 26 * u, 18 * u, 3 * u), 1 * u, 1 * u);
    return pm;
}

QPixmap TextFile(int size)
{
    QPixmap pm = Blank(size, size);
    QPainter p(&pm);
    Antialias(p);
    const qreal u = size / 32.0;
    DrawSheet(p, QRectF(6 * u, 2 * u, 20 * u, 28 * u));
    p.setPen(QPen(QColor(60, 60, 60), 1.2 * u));
    for (int i = 0; i < 6; ++i) {
        const qreal y = (11 + 3 * i) * u;
        p.drawLine(QPointF(9 * u, y), QPointF((i % 2 ? 19 : 23) * u, y));
    }
    return pm;
}

QPixmap BinaryFile(int size)
{
    QPixmap pm = Blank(size, size);
    QPainter p(&pm);
    Antialias(p);
    const qreal u = size / 32.0;
    DrawSheet(p, QRectF(6 * u, 2 * u, 20 * u, 28 * u));
    p.setPen(Qt::NoPen);
    // Rows of bits: filled squares for ones, outlines for zeros.
    static const char* rows[] = {"10110", "01101", "11001", "00111", "10100"};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c) {
            const QRectF cell((9 + 3.2 * c) * u, (11 + 3.5 * r) * u, 2.4 * u, 2.4 * u);
            if (rows[r][c] == '1') {
                p.setBrush(QColor(40, 70, 160));
                p.setPen(Qt::NoPen);
            } else {
                p.setBrush(Qt::NoBrush);
                p.setPen(QPen(QColor(40, 70, 160), 0.6 * u));
            }
            p.drawRect(cell);
        }
    return pm;
}

QPixmap SerialPort(int size)
{
    return MenuPixmap(2, size);
}

namespace {

QPixmap ToolPixmap(int index, int s)
{
    QPixmap pm = Blank(s, s);
    QPainter p(&pm);
    Antialias(p);
    const qreal u = s / 16.0;
    const QPen outline(QColor(60, 60, 60), 1 * u);
    switch (index) {
    case 0: { // firmware: a chip with its legs
        p.setPen(QPen(QColor(120, 120, 120), 1 * u));
        for (int i = 0; i < 4; ++i) {
            const qreal x = (4.5 + 2.3 * i) * u;
            p.drawLine(QPointF(x, 1 * u), QPointF(x, 15 * u));
        }
        p.setPen(outline);
        p.setBrush(QColor(40, 40, 45));
        p.drawRect(QRectF(3 * u, 3.5 * u, 10 * u, 9 * u));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 190, 40));
        p.drawEllipse(QPointF(5 * u, 5.5 * u), 0.9 * u, 0.9 * u);
        break;
    }
    case 1: { // factory data: an arrow from the receiver down to a diskette
        p.setPen(outline);
        p.setBrush(QColor(50, 50, 60));
        p.drawRect(QRectF(1 * u, 1 * u, 14 * u, 4 * u));
        p.setBrush(QColor(50, 90, 180));
        p.drawRect(QRectF(4 * u, 9 * u, 8 * u, 6 * u));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 150, 60));
        p.drawPolygon(QPolygonF({QPointF(6.5 * u, 5 * u), QPointF(9.5 * u, 5 * u), QPointF(9.5 * u, 7 * u),
                                 QPointF(11 * u, 7 * u), QPointF(8 * u, 10 * u), QPointF(5 * u, 7 * u),
                                 QPointF(6.5 * u, 7 * u)}));
        break;
    }
    case 2: { // import: an arrow into a sheet
        DrawSheet(p, QRectF(6 * u, 1.5 * u, 9 * u, 13 * u));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 150, 60));
        p.drawPolygon(QPolygonF({QPointF(1 * u, 6.5 * u), QPointF(6 * u, 6.5 * u), QPointF(6 * u, 4 * u),
                                 QPointF(10 * u, 8 * u), QPointF(6 * u, 12 * u), QPointF(6 * u, 9.5 * u),
                                 QPointF(1 * u, 9.5 * u)}));
        break;
    }
    case 3: { // check: a tick on a sheet
        DrawSheet(p, QRectF(2 * u, 1.5 * u, 11 * u, 13 * u));
        p.setPen(QPen(QColor(20, 150, 40), 2.2 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(4.5 * u, 8.5 * u), QPointF(7 * u, 11.5 * u), QPointF(14 * u, 3.5 * u)}));
        break;
    }
    case 4: { // channel wizard: a wand with a spark
        p.setPen(QPen(QColor(40, 40, 40), 2 * u, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(2 * u, 14 * u), QPointF(9.5 * u, 6.5 * u));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(240, 190, 0));
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const qreal r = (i % 2 ? 2 : 5) * u;
            const qreal a = i * 3.14159265 / 5;
            star << QPointF(11 * u + r * std::sin(a), 5 * u - r * std::cos(a));
        }
        p.drawPolygon(star);
        break;
    }
    case 5: { // key sequence: a remote control
        p.setPen(outline);
        p.setBrush(QColor(70, 70, 80));
        p.drawRoundedRect(QRectF(4.5 * u, 1 * u, 7 * u, 14 * u), 1.5 * u, 1.5 * u);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 40, 40));
        p.drawEllipse(QPointF(8 * u, 3.5 * u), 1 * u, 1 * u);
        p.setBrush(QColor(200, 200, 210));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 2; ++c)
                p.drawRect(QRectF((6 + 2.5 * c) * u, (6.5 + 2.5 * r) * u, 1.5 * u, 1.5 * u));
        break;
    }
    case 6: { // favourites: a heart
        QPainterPath heart;
        heart.moveTo(8 * u, 14 * u);
        heart.cubicTo(1 * u, 9 * u, 0.5 * u, 3 * u, 4.5 * u, 2.5 * u);
        heart.cubicTo(6.5 * u, 2.3 * u, 7.7 * u, 3.5 * u, 8 * u, 5 * u);
        heart.cubicTo(8.3 * u, 3.5 * u, 9.5 * u, 2.3 * u, 11.5 * u, 2.5 * u);
        heart.cubicTo(15.5 * u, 3 * u, 15 * u, 9 * u, 8 * u, 14 * u);
        p.setPen(QPen(QColor(130, 20, 20), 1 * u));
        p.setBrush(QColor(220, 40, 60));
        p.drawPath(heart);
        break;
    }
    case 7: { // summary: a bar chart
        p.setPen(outline);
        p.drawLine(QPointF(1.5 * u, 14.5 * u), QPointF(14.5 * u, 14.5 * u));
        static const qreal heights[4] = {6, 11, 8, 4};
        static const QColor colours[4] = {QColor(50, 90, 180), QColor(30, 150, 60), QColor(230, 160, 20),
                                          QColor(200, 50, 50)};
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 4; ++i) {
            p.setBrush(colours[i]);
            p.drawRect(QRectF((2.5 + 3 * i) * u, (14 - heights[i]) * u, 2.2 * u, heights[i] * u));
        }
        break;
    }
    case 8: { // removal of unused records: a bin
        p.setPen(outline);
        p.setBrush(QColor(170, 175, 185));
        p.drawPolygon(QPolygonF({QPointF(3.5 * u, 4.5 * u), QPointF(12.5 * u, 4.5 * u), QPointF(11.5 * u, 15 * u),
                                 QPointF(4.5 * u, 15 * u)}));
        p.drawRect(QRectF(2 * u, 2.5 * u, 12 * u, 2 * u));
        p.drawRect(QRectF(6.5 * u, 1 * u, 3 * u, 1.5 * u));
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF((6 + 2 * i) * u, 6.5 * u), QPointF((6 + 2 * i) * u, 13 * u));
        break;
    }
    default: break;
    }
    return pm;
}

} // namespace

QIcon Tool(int index)
{
    QIcon icon;
    icon.addPixmap(ToolPixmap(index, 16));
    icon.addPixmap(ToolPixmap(index, 32));
    return icon;
}

QPixmap TaggedFile(const QString& tag, int size)
{
    QPixmap pm = Blank(size, size);
    QPainter p(&pm);
    Antialias(p);
    const qreal u = size / 32.0;
    DrawSheet(p, QRectF(6 * u, 2 * u, 20 * u, 28 * u));
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(std::max(1, static_cast<int>(7 * u)));
    p.setFont(font);
    p.setPen(QColor(160, 40, 40));
    p.drawText(QRectF(6 * u, 12 * u, 20 * u, 10 * u), Qt::AlignCenter, tag);
    return pm;
}

QPixmap Globe(int size)
{
    QPixmap pm = Blank(size, size);
    QPainter p(&pm);
    Antialias(p);
    const qreal u = size / 32.0;
    const QRectF ball(3 * u, 3 * u, 26 * u, 26 * u);
    QRadialGradient sea(QPointF(12 * u, 11 * u), 18 * u);
    sea.setColorAt(0, QColor(120, 190, 255));
    sea.setColorAt(1, QColor(20, 70, 170));
    p.setPen(QPen(QColor(20, 50, 120), 1 * u));
    p.setBrush(sea);
    p.drawEllipse(ball);
    // Meridians and parallels.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(230, 240, 255), 1 * u));
    p.drawEllipse(QRectF(10 * u, 3 * u, 12 * u, 26 * u));
    p.drawLine(QPointF(16 * u, 3 * u), QPointF(16 * u, 29 * u));
    p.drawLine(QPointF(3 * u, 16 * u), QPointF(29 * u, 16 * u));
    p.drawLine(QPointF(5.5 * u, 9.5 * u), QPointF(26.5 * u, 9.5 * u));
    p.drawLine(QPointF(5.5 * u, 22.5 * u), QPointF(26.5 * u, 22.5 * u));
    return pm;
}

} // namespace AppIcons
