#include "windows/controls/TL7Segment.h"

#include "windows/controls/ControlImage.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

const QRgb Black = qRgb(0, 0, 0);
const QRgb Off = qRgb(64, 64, 64);
const QRgb On = qRgb(255, 0, 0);

// A pixel well inside each segment of the default 30 x 40 digit, in the
// order top, upper-left, upper-right, middle, lower-left, lower-right, bottom.
const QPoint SegmentProbes[7] = {{14, 5}, {7, 12}, {21, 12}, {14, 20}, {7, 28}, {21, 28}, {14, 34}};
const QPoint PointProbe{25, 36};

// The segments, in probe order: '1' lit, '0' dark, '?' neither.
std::string Shown(const QImage& image, QRgb on = On, QRgb off = Off)
{
    std::string lit;
    for (const QPoint& p : SegmentProbes)
        lit += image.pixel(p) == on ? '1' : image.pixel(p) == off ? '0' : '?';
    return lit;
}

} // namespace

TEST(TL7Segment, EachCharacterLightsItsSegmentsAndOthersChangeNothing)
{
    const std::pair<char, const char*> glyphs[] = {
        {'0', "1110111"}, {'1', "0010010"}, {'2', "1011101"}, {'3', "1011011"}, {'4', "0111010"}, {'5', "1101011"},
        {'6', "1101111"}, {'7', "1010010"}, {'8', "1111111"}, {'9', "1111011"}, {'o', "0001111"}, {'G', "1101111"},
        {'d', "0011111"}, {'r', "0001100"}, {'e', "1111101"}, {'E', "1101101"}, {'B', "1111111"}, {'b', "0101111"},
        {'-', "0001000"}, {'_', "0000001"}, {'t', "0101101"}, {'L', "0100101"}, {'l', "0100100"}, {'F', "1101100"},
    };
    TL7Segment digit;
    ASSERT_EQ(digit.size(), QSize(30, 40));
    EXPECT_EQ(Shown(Render(digit)), "1110111"); // a zero when created
    for (const auto& [character, segments] : glyphs) {
        digit.SetDigitValue(character == '8' ? '0' : '8'); // from another pattern ('B' from the same)
        digit.SetDigitValue(character);
        EXPECT_EQ(digit.DigitValue(), character);
        const QImage image = Render(digit);
        EXPECT_EQ(Shown(image), segments) << character;
        EXPECT_EQ(image.pixel(PointProbe), Off) << character;
    }
    const QImage f = Render(digit);
    for (char c : {'A', 'c', ' ', '\0', '\xE9'}) {
        digit.SetDigitValue(c);
        EXPECT_EQ(digit.DigitValue(), 'F') << int(c);
        EXPECT_EQ(Render(digit), f) << int(c);
    }
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
    // Verticals 6 wide from the side margin of 5, a gap beside the middle bar,
    // the point in the box (24, 35)-(27, 38), every pixel painted.
    const std::pair<QPoint, QRgb> probes[] = {
        {{7, 17}, On},    {{7, 20}, Black},  {{7, 23}, On},    {{4, 12}, Black}, {{5, 12}, On},    {{23, 12}, On},
        {{24, 12}, Black}, {{25, 36}, On},   {{23, 36}, Black}, {{25, 39}, Black}, {{29, 39}, Black}, {{29, 0}, Black},
    };
    for (const auto& [at, colour] : probes)
        EXPECT_EQ(image.pixel(at), colour) << at.x() << "," << at.y();
}

// The dots of the dot modes, or the point, light with Punto; without power
// nothing is lit.
TEST(TL7Segment, DotModesShowOnlyTheirDotsAndPowerOffDarkensAll)
{
    const std::pair<TL7Segment::TTipoDeSegmento, std::vector<QPoint>> modes[] = {
        {TL7Segment::ts7Segment, {PointProbe}},
        {TL7Segment::ts2Puntos, {{15, 13}, {15, 26}}},
        {TL7Segment::ts1Punto, {{15, 20}}},
    };
    for (const auto& [mode, dots] : modes) {
        SCOPED_TRACE(mode);
        TL7Segment digit;
        digit.SetTipoDeSegmento(mode);
        digit.SetDigitValue('8'); // stored, but not shown in a dot mode
        digit.SetPunto(true);
        QImage image = Render(digit);
        for (const QPoint& dot : dots)
            EXPECT_EQ(image.pixel(dot), On);
        EXPECT_EQ(Pixels(image, On) < 100, mode != TL7Segment::ts7Segment); // no segments beside dots

        digit.SetPowerOn(false);
        image = Render(digit);
        EXPECT_EQ(Pixels(image, On), 0);
        for (const QPoint& dot : dots)
            EXPECT_EQ(image.pixel(dot), Off);

        digit.SetPowerOn(true);
        digit.SetTipoDeSegmento(TL7Segment::ts7Segment);
        EXPECT_EQ(Shown(Render(digit)), "1111111");
    }
}
