#include "windows/controls/TL7Segment.h"

#include "windows/controls/ControlImage.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

const QRgb Black = qRgb(0, 0, 0);
const QRgb Off = qRgb(64, 64, 64);
const QRgb On = qRgb(255, 0, 0);

// A pixel well inside each segment of the default 30 x 40 digit, in the
// order top, upper-left, upper-right, middle, lower-left, lower-right, bottom.
const QPoint SegmentProbes[7] = {{14, 5}, {7, 12}, {21, 12}, {14, 20}, {7, 28}, {21, 28}, {14, 34}};
const QPoint PointProbe{25, 36};

// The segments shown, as seven 0/1 characters in probe order.
std::string Shown(const QImage& image, QRgb on = On)
{
    std::string lit;
    for (const QPoint& p : SegmentProbes)
        lit += image.pixel(p) == on ? '1' : '0';
    return lit;
}

} // namespace

struct GlyphCase {
    char character;
    const char* segments;
};

class Glyphs : public ::testing::TestWithParam<GlyphCase> {};

TEST_P(Glyphs, LightTheirSegments)
{
    const GlyphCase c = GetParam();
    TL7Segment digit;
    ASSERT_EQ(digit.size(), QSize(30, 40));
    digit.SetDigitValue(c.character == '8' ? '0' : '8'); // start from another pattern
    digit.SetDigitValue(c.character);
    EXPECT_EQ(digit.DigitValue(), c.character);

    const QImage image = Render(digit);
    EXPECT_EQ(Shown(image), c.segments);
    for (int k = 0; k < 7; ++k) {
        const QRgb colour = image.pixel(SegmentProbes[k]);
        EXPECT_TRUE(colour == On || colour == Off) << "segment " << k + 1 << " neither lit nor dark";
    }
    EXPECT_EQ(image.pixel(PointProbe), Off);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Glyphs,
    ::testing::Values(GlyphCase{'0', "1110111"}, GlyphCase{'1', "0010010"}, GlyphCase{'2', "1011101"},
                      GlyphCase{'3', "1011011"}, GlyphCase{'4', "0111010"}, GlyphCase{'5', "1101011"},
                      GlyphCase{'6', "1101111"}, GlyphCase{'7', "1010010"}, GlyphCase{'8', "1111111"},
                      GlyphCase{'9', "1111011"}, GlyphCase{'o', "0001111"}, GlyphCase{'G', "1101111"},
                      GlyphCase{'d', "0011111"}, GlyphCase{'r', "0001100"}, GlyphCase{'e', "1111101"},
                      GlyphCase{'E', "1101101"}, GlyphCase{'B', "1111111"}, GlyphCase{'b', "0101111"},
                      GlyphCase{'-', "0001000"}, GlyphCase{'_', "0000001"}, GlyphCase{'t', "0101101"},
                      GlyphCase{'L', "0100101"}, GlyphCase{'l', "0100100"}, GlyphCase{'F', "1101100"}),
    [](const auto& info) {
        const char c = info.param.character;
        if (c == '-')
            return std::string("minus");
        if (c == '_')
            return std::string("underscore");
        return std::string(std::isupper(static_cast<unsigned char>(c)) ? "upper_" : "") + c;
    });

TEST(TL7Segment, ShowsZeroWhenCreated)
{
    TL7Segment digit;
    EXPECT_EQ(digit.DigitValue(), '0');
    EXPECT_EQ(Shown(Render(digit)), "1110111");
}

TEST(TL7Segment, GeometryOfTheDefaultDigit)
{
    TL7Segment digit;
    digit.SetDigitValue('8');
    digit.SetPunto(true);
    const QImage image = Render(digit);

    // The top bar's flat ends are 4 pixels in from its length of 20 (4.5
    // rounded to even), so its first row runs from 9 to 20.
    for (int x = 0; x < 30; ++x)
        EXPECT_EQ(image.pixel(x, 3), x >= 9 && x <= 20 ? On : Black) << "column " << x;
    // Horizontal bars occupy rows 3-7, 18-22 and 32-36 down the middle column.
    for (int y = 0; y < 40; ++y) {
        const bool bar = (y >= 3 && y <= 7) || (y >= 18 && y <= 22) || (y >= 32 && y <= 36);
        EXPECT_EQ(image.pixel(14, y), bar ? On : Black) << "row " << y;
    }
    // The upper and lower verticals (3 to 21, 19 to 37 before their tapered
    // ends) leave a gap beside the middle bar.
    EXPECT_EQ(image.pixel(7, 17), On);
    EXPECT_EQ(image.pixel(7, 20), Black);
    EXPECT_EQ(image.pixel(7, 23), On);
    // Verticals are 6 wide from the side margin of 5; the right pair ends at 24.
    EXPECT_EQ(image.pixel(4, 12), Black);
    EXPECT_EQ(image.pixel(5, 12), On);
    EXPECT_EQ(image.pixel(23, 12), On);
    EXPECT_EQ(image.pixel(24, 12), Black);
    // The point sits in the box (24, 35)-(27, 38).
    EXPECT_EQ(image.pixel(25, 36), On);
    EXPECT_EQ(image.pixel(23, 36), Black);
    EXPECT_EQ(image.pixel(25, 39), Black);
    // Every pixel of the control is painted, the last row and column too.
    EXPECT_EQ(image.pixel(29, 39), Black);
    EXPECT_EQ(image.pixel(29, 0), Black);
}

TEST(TL7Segment, CharactersWithoutAGlyphChangeNothing)
{
    TL7Segment digit;
    digit.SetDigitValue('4');
    const QImage before = Render(digit);
    for (char c : {'A', 'c', ' ', '\0', '\xE9'}) {
        digit.SetDigitValue(c);
        EXPECT_EQ(digit.DigitValue(), '4') << "after " << int(c);
        EXPECT_EQ(Render(digit), before) << "after " << int(c);
    }
}

TEST(TL7Segment, SamePatternUnderAnotherCharacterIsStored)
{
    TL7Segment digit;
    digit.SetDigitValue('8');
    const QImage eight = Render(digit);
    digit.SetDigitValue('B');
    EXPECT_EQ(digit.DigitValue(), 'B');
    EXPECT_EQ(Render(digit), eight);
}

TEST(TL7Segment, PowerOffDarkensEverything)
{
    struct Case {
        TL7Segment::TTipoDeSegmento mode;
        QPoint dot; // the point, or one of the dots
    } cases[] = {
        {TL7Segment::ts7Segment, PointProbe},
        {TL7Segment::ts2Puntos, {15, 26}},
        {TL7Segment::ts1Punto, {15, 20}},
    };
    for (const Case& c : cases) {
        TL7Segment digit;
        digit.SetTipoDeSegmento(c.mode);
        digit.SetDigitValue('8');
        digit.SetPunto(true);
        digit.SetPowerOn(false);
        const QImage image = Render(digit);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ASSERT_NE(image.pixel(x, y), On) << "mode " << c.mode << " at " << x << "," << y;
        EXPECT_EQ(image.pixel(c.dot), Off) << "mode " << c.mode;
        if (c.mode == TL7Segment::ts7Segment) {
            EXPECT_EQ(Shown(image, Off), "1111111");
        }

        digit.SetPowerOn(true);
        EXPECT_EQ(Render(digit).pixel(c.dot), On) << "mode " << c.mode;
    }
}

TEST(TL7Segment, DotModesShowOnlyTheirDots)
{
    struct Case {
        TL7Segment::TTipoDeSegmento mode;
        std::vector<QPoint> dots;
    } cases[] = {
        {TL7Segment::ts2Puntos, {{15, 13}, {15, 26}}},
        {TL7Segment::ts1Punto, {{15, 20}}},
    };
    for (const Case& c : cases) {
        TL7Segment digit;
        digit.SetTipoDeSegmento(c.mode);
        digit.SetDigitValue('8'); // stored, but not shown in a dot mode
        EXPECT_EQ(digit.DigitValue(), '8');

        QImage image = Render(digit);
        for (const QPoint& dot : c.dots)
            EXPECT_EQ(image.pixel(dot), Off) << "mode " << c.mode;
        int notBackground = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                notBackground += image.pixel(x, y) != Black;
        EXPECT_LT(notBackground, 100) << "mode " << c.mode << ": only dots, no segments";
        EXPECT_EQ(image.pixel(14, 5), Black);
        EXPECT_EQ(image.pixel(7, 28), Black);

        digit.SetPunto(true);
        image = Render(digit);
        for (const QPoint& dot : c.dots)
            EXPECT_EQ(image.pixel(dot), On) << "mode " << c.mode;

        // Back to the digit, the stored pattern shows.
        digit.SetTipoDeSegmento(TL7Segment::ts7Segment);
        EXPECT_EQ(Shown(Render(digit)), "1111111");
    }
}

TEST(TL7Segment, ColoursAndMarginsAreTheCallersChoice)
{
    TL7Segment digit;
    digit.SetDigitValue('1');
    digit.SetColorBackGround(QColor(0, 0, 80));
    digit.SetColorDigitOn(QColor(0, 255, 0));
    digit.SetColorDigitOff(QColor(10, 10, 10));
    QImage image = Render(digit);
    EXPECT_EQ(image.pixel(1, 1), qRgb(0, 0, 80));
    EXPECT_EQ(Shown(image, qRgb(0, 255, 0)), "0010010");
    EXPECT_EQ(image.pixel(SegmentProbes[0]), qRgb(10, 10, 10));

    // Without margins the top bar starts at the very first row.
    digit.SetTopMargin(0);
    digit.SetSideMargin(0);
    image = Render(digit);
    EXPECT_EQ(image.pixel(15, 0), qRgb(10, 10, 10));
}
