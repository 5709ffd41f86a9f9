#pragma once
// One character drawn as a seven-segment LED digit with a decimal point, or,
// in the other two modes, a colon (two dots) or a single dot. Several side by
// side imitate a receiver's front-panel display.
#include <QColor>
#include <QWidget>

#include <array>
#include <cstdint>

class TL7Segment : public QWidget {
    Q_OBJECT

public:
    enum TTipoDeSegmento { ts7Segment, ts2Puntos, ts1Punto };

    explicit TL7Segment(QWidget* parent = nullptr);

    QSize sizeHint() const override;

    // Only the characters 0-9 o G d r e E B b - _ t L l F can be shown;
    // any other is ignored and the display keeps what it showed.
    char DigitValue() const { return FDigitValue; }
    void SetDigitValue(char value);

    // Every setter below redraws only when the value changes; nothing is
    // range-checked.
    TTipoDeSegmento TipoDeSegmento() const { return FTipoDeSegmento; }
    void SetTipoDeSegmento(TTipoDeSegmento value);
    QColor ColorBackGround() const { return FColorBackGround; }
    void SetColorBackGround(const QColor& value);
    QColor ColorDigitOff() const { return FColorDigitOff; }
    void SetColorDigitOff(const QColor& value);
    QColor ColorDigitOn() const { return FColorDigitOn; }
    void SetColorDigitOn(const QColor& value);
    int SideMargin() const { return FSideMargin; }
    void SetSideMargin(int value);
    int TopMargin() const { return FTopMargin; }
    void SetTopMargin(int value);
    // The decimal point, and the dots of the two dot modes.
    bool Punto() const { return FPunto; }
    void SetPunto(bool value);
    // Switched off, everything shows in ColorDigitOff.
    bool PowerOn() const { return FPowerOn; }
    void SetPowerOn(bool value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Lit flags in the order top, upper-left, upper-right, middle,
    // lower-left, lower-right, bottom.
    using Pattern = std::array<std::uint8_t, 7>;

    template <class T>
    void Store(T& field, const T& value);

    void SetSegments(const Pattern& segments);
    void PaintDigit(QPainter& p) const;
    QColor SegmentColor(int k) const; // k 1 to 7 the segments, 8 the point
    void DrawSegment(QPainter& p, bool vertical, int x, int y, int L, int T, const QColor& colour) const;

    char FDigitValue = '0';
    TTipoDeSegmento FTipoDeSegmento = ts7Segment;
    QColor FColorBackGround{0, 0, 0};
    QColor FColorDigitOff{64, 64, 64};
    QColor FColorDigitOn{255, 0, 0};
    int FSideMargin = 5;
    int FTopMargin = 3;
    bool FPunto = false;
    bool FPowerOn = true;
    Pattern FSegments{1, 1, 1, 0, 1, 1, 1};
};
