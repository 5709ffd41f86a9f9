#pragma once
// A level meter drawn as a row or column of equal segments in three colour
// zones (green, yellow, red), each segment lit or dark, with separators
// between them and an optional bevel. Callers only set Position; the meter
// works out how many segments light up.
#include <QColor>
#include <QWidget>

#include <cstdint>

class Tdbmeter : public QWidget {
    Q_OBJECT

public:
    enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
    enum Tdbmeterstyle { dsVertical, dsHorizontal };
    enum tdbmeterdirection { ddRightDown, ddLeftUp }; // segment 1 at the left/top, or mirrored

    explicit Tdbmeter(QWidget* parent = nullptr);

    QSize sizeHint() const override;

    // Every setter stores a value that differs from the current one and
    // redraws; nothing is range-checked.
    TBevelCut BevelStyle() const { return FBevelStyle; }
    void SetBevelStyle(TBevelCut value);
    std::uint8_t BevelWidth() const { return FBevelWidth; }
    // 0, or more than a third of the height (else of the width), is stored as 1.
    void SetBevelWidth(std::uint8_t value);

    QColor GreenColor() const { return FGreenColor; }
    void SetGreenColor(const QColor& value);
    int Greens() const { return FGreens; }
    void SetGreens(int value);
    int GreenMax() const { return FGreenMax; }
    void SetGreenMax(int value);
    QColor GreenBack() const { return FGreenBack; }
    void SetGreenBack(const QColor& value);

    QColor YellowColor() const { return FYellowColor; }
    void SetYellowColor(const QColor& value);
    int Yellows() const { return FYellows; }
    void SetYellows(int value);
    int YellowMax() const { return FYellowMax; }
    void SetYellowMax(int value);
    QColor YellowBack() const { return FYellowBack; }
    void SetYellowBack(const QColor& value);

    QColor RedColor() const { return FRedColor; }
    void SetRedColor(const QColor& value);
    int Reds() const { return FReds; }
    void SetReds(int value);
    int RedMax() const { return FRedMax; }
    void SetRedMax(int value);
    QColor RedBack() const { return FRedBack; }
    void SetRedBack(const QColor& value);

    // Light only the highest lit segment (a running light).
    bool ShowJustOne() const { return FShowJustOne; }
    void SetShowJustOne(bool value);
    int SepWidth() const { return FSepWidth; }
    void SetSepWidth(int value);
    QColor SepColor() const { return FSepColor; } // separators and background
    void SetSepColor(const QColor& value);
    Tdbmeterstyle Style() const { return FStyle; }
    void SetStyle(Tdbmeterstyle value);
    tdbmeterdirection Direction() const { return FDirection; }
    void SetDirection(tdbmeterdirection value);
    int Position() const { return FPosition; }
    void SetPosition(int value);

    // How many of the N segments the current Position lights, before the
    // painter's rule that any non-zero Position lights at least one.
    int LitSegments(int N) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    template <class T>
    void Store(T& field, const T& value);

    TBevelCut FBevelStyle = bvLowered;
    std::uint8_t FBevelWidth = 1;
    QColor FGreenColor{0, 255, 0};
    int FGreens = 3;
    int FGreenMax = 50;
    QColor FGreenBack{128, 128, 128};
    QColor FYellowColor{255, 255, 0};
    int FYellows = 2;
    int FYellowMax = 25;
    QColor FYellowBack{128, 128, 128};
    QColor FRedColor{255, 0, 0};
    int FReds = 1;
    int FRedMax = 25;
    QColor FRedBack{128, 128, 128};
    bool FShowJustOne = false;
    int FSepWidth = 1;
    QColor FSepColor{192, 192, 192};
    Tdbmeterstyle FStyle = dsHorizontal;
    tdbmeterdirection FDirection = ddRightDown;
    int FPosition = 0;
};
