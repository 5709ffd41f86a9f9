#include "windows/controls/Tdbmeter.h"

#include "windows/controls/ControlImage.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

const QRgb Lime = qRgb(0, 255, 0);
const QRgb Yellow = qRgb(255, 255, 0);
const QRgb Red = qRgb(255, 0, 0);
const QRgb Grey = qRgb(128, 128, 128);
const QRgb Silver = qRgb(192, 192, 192);
const QRgb White = qRgb(255, 255, 255);

// The colour in the middle of segment i (1-based) of a meter whose segments
// are S long, read along a row or down a column.
QRgb SegmentAt(const QImage& image, int i, int S, bool horizontal = true)
{
    const int along = (i - 1) * S + S / 2;
    return horizontal ? image.pixel(along, image.height() / 2) : image.pixel(image.width() / 2, along);
}

} // namespace

// The default meter: 80 x 17, 3 green, 2 yellow and 1 red segment of 13
// pixels; the green zone spans 50 positions, yellow and red 25 each.
struct LitCase {
    int position;
    int lit;
};

class DefaultMeter : public ::testing::TestWithParam<LitCase> {};

TEST_P(DefaultMeter, LightsTheSegmentsUpToThePosition)
{
    const LitCase c = GetParam();
    Tdbmeter meter;
    ASSERT_EQ(meter.size(), QSize(80, 17));
    meter.SetPosition(c.position);
    const QImage image = Render(meter);

    const QRgb lit[6] = {Lime, Lime, Lime, Yellow, Yellow, Red};
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(SegmentAt(image, i, 13), i <= c.lit ? lit[i - 1] : Grey)
            << "segment " << i << " at position " << c.position;
}

INSTANTIATE_TEST_SUITE_P(Positions, DefaultMeter,
                         ::testing::Values(LitCase{0, 0},    // nothing
                                           LitCase{1, 1},    // rounds to none, but any level shows one
                                           LitCase{50, 3},   // top of the green zone
                                           LitCase{51, 4},   // just inside yellow lights the first yellow
                                           LitCase{75, 5},   // top of the yellow zone
                                           LitCase{76, 6},   // just inside red
                                           LitCase{100, 6},  // full scale
                                           LitCase{250, 6},  // beyond full scale
                                           LitCase{26, 2},   // 1.56 rounds to 2
                                           LitCase{-10, 0}), // a negative level lights nothing
                         [](const auto& info) {
                             const int p = info.param.position;
                             return (p < 0 ? "minus" + std::to_string(-p) : std::to_string(p));
                         });

TEST(Tdbmeter, HalvesRoundToTheEvenNeighbour)
{
    // 4 green segments over 8 positions: position 1 is 0.5 (to 0, then
    // raised to 1), 3 is 1.5 (to 2), 5 is 2.5 (to 2), 7 is 3.5 (to 4).
    Tdbmeter meter;
    meter.SetGreens(4);
    meter.SetGreenMax(8);
    meter.SetYellows(0);
    meter.SetReds(0);
    meter.resize(80, 17); // segments of 20
    const int expected[][2] = {{1, 1}, {3, 2}, {5, 2}, {7, 4}};
    for (const auto& [position, lit] : expected) {
        meter.SetPosition(position);
        const QImage image = Render(meter);
        for (int i = 1; i <= 4; ++i)
            EXPECT_EQ(SegmentAt(image, i, 20), i <= lit ? Lime : Grey) << "position " << position << " segment " << i;
    }
}

TEST(Tdbmeter, RunningLightOfTheTransferWindow)
{
    Tdbmeter meter;
    meter.SetGreens(0);
    meter.SetYellows(0);
    meter.SetReds(17);
    meter.SetRedMax(17);
    meter.SetShowJustOne(true);
    meter.resize(170, 12); // segments of 10

    for (int position = 0; position <= 17; ++position) {
        meter.SetPosition(position);
        const QImage image = Render(meter);
        for (int i = 1; i <= 17; ++i)
            EXPECT_EQ(SegmentAt(image, i, 10), i == position ? Red : Grey)
                << "position " << position << " segment " << i;
    }
}

TEST(Tdbmeter, SeparatorsEndEverySegment)
{
    Tdbmeter meter;
    meter.SetPosition(100);
    meter.SetSepWidth(3);
    const QImage image = Render(meter);
    const int y = 8;
    for (int i = 1; i <= 6; ++i) {
        const int end = i * 13;
        EXPECT_EQ(image.pixel(end - 4, y), SegmentAt(image, i, 13)) << "segment " << i;
        for (int x = end - 3; x < end; ++x)
            EXPECT_EQ(image.pixel(x, y), Silver) << "segment " << i << " x " << x;
    }
    // 80 is not a multiple of 6: the two columns left over keep the background
    // (the last one is under the bevel).
    EXPECT_EQ(image.pixel(78, y), Silver);
}

TEST(Tdbmeter, DirectionAndStyleDecideWhereSegmentOneIs)
{
    Tdbmeter meter;
    meter.SetPosition(20); // lights only segment 1
    meter.SetBevelStyle(Tdbmeter::bvNone);

    QImage image = Render(meter);
    EXPECT_EQ(image.pixel(6, 8), Lime);
    EXPECT_EQ(image.pixel(73, 8), Grey);

    meter.SetDirection(Tdbmeter::ddLeftUp);
    image = Render(meter);
    EXPECT_EQ(image.pixel(6, 8), Grey);
    EXPECT_EQ(image.pixel(73, 8), Lime);

    meter.SetStyle(Tdbmeter::dsVertical);
    meter.resize(17, 80);
    image = Render(meter);
    EXPECT_EQ(image.pixel(8, 73), Lime);
    EXPECT_EQ(image.pixel(8, 6), Grey);

    meter.SetDirection(Tdbmeter::ddRightDown);
    image = Render(meter);
    EXPECT_EQ(image.pixel(8, 6), Lime);
    EXPECT_EQ(image.pixel(8, 73), Grey);
    EXPECT_EQ(SegmentAt(image, 6, 13, false), Grey);
}

TEST(Tdbmeter, WithoutRoomForSegmentsOnlyTheBackgroundShows)
{
    struct Case {
        const char* name;
        int greens, yellows, reds, width, sepWidth;
    } cases[] = {
        {"no segments at all", 0, 0, 0, 80, 1},
        {"segments no longer than the separator", 3, 2, 1, 12, 2},
    };
    for (const Case& c : cases) {
        Tdbmeter meter;
        meter.SetGreens(c.greens);
        meter.SetYellows(c.yellows);
        meter.SetReds(c.reds);
        meter.SetSepWidth(c.sepWidth);
        meter.SetPosition(100);
        meter.SetBevelStyle(Tdbmeter::bvNone);
        meter.resize(c.width, 17);
        const QImage image = Render(meter);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ASSERT_EQ(image.pixel(x, y), Silver) << c.name << " at " << x << "," << y;
    }
}

TEST(Tdbmeter, BevelStyles)
{
    struct Case {
        Tdbmeter::TBevelCut style;
        QRgb top, left, bottom, right;
    } cases[] = {
        {Tdbmeter::bvLowered, Grey, Grey, White, White},
        {Tdbmeter::bvSpace, Grey, Grey, White, White},
        {Tdbmeter::bvRaised, White, White, Grey, Grey},
        // No bevel: the lit segment reaches the top and left edges; the
        // bottom row and the leftover columns keep the background.
        {Tdbmeter::bvNone, Lime, Lime, Silver, Silver},
    };
    for (const Case& c : cases) {
        Tdbmeter meter;
        meter.SetPosition(100);
        meter.SetBevelStyle(c.style);
        meter.SetBevelWidth(4); // ignored when there is no bevel
        const QImage image = Render(meter);
        EXPECT_EQ(image.pixel(5, 0), c.top) << "style " << c.style;
        EXPECT_EQ(image.pixel(0, 8), c.left) << "style " << c.style;
        EXPECT_EQ(image.pixel(5, 16), c.bottom) << "style " << c.style;
        EXPECT_EQ(image.pixel(79, 8), c.right) << "style " << c.style;
    }
}

TEST(Tdbmeter, BevelWidthIsCorrectedToFitTheControl)
{
    Tdbmeter meter; // 80 x 17: a third of the height is 5
    meter.SetBevelWidth(0);
    EXPECT_EQ(meter.BevelWidth(), 1);
    meter.SetBevelWidth(5);
    EXPECT_EQ(meter.BevelWidth(), 5);
    meter.SetBevelWidth(6);
    EXPECT_EQ(meter.BevelWidth(), 1);

    meter.SetBevelWidth(3);
    meter.SetPosition(100);
    QImage image = Render(meter);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(image.pixel(20, k), Grey) << "top line " << k;
        EXPECT_EQ(image.pixel(20, 16 - k), White) << "bottom line " << k;
    }
    EXPECT_EQ(image.pixel(20, 3), Lime);

    // A control made smaller later still gets a bevel that fits.
    meter.resize(80, 6);
    image = Render(meter);
    EXPECT_EQ(image.pixel(20, 0), Grey);
    EXPECT_EQ(image.pixel(20, 1), Lime);
}

TEST(Tdbmeter, ColoursAreTheCallersChoice)
{
    Tdbmeter meter;
    meter.SetGreenColor(QColor(1, 2, 3));
    meter.SetYellowBack(QColor(4, 5, 6));
    meter.SetRedBack(QColor(7, 8, 9));
    meter.SetSepColor(QColor(10, 11, 12));
    meter.SetPosition(50);
    const QImage image = Render(meter);
    EXPECT_EQ(SegmentAt(image, 1, 13), qRgb(1, 2, 3));
    EXPECT_EQ(SegmentAt(image, 4, 13), qRgb(4, 5, 6));
    EXPECT_EQ(SegmentAt(image, 6, 13), qRgb(7, 8, 9));
    EXPECT_EQ(image.pixel(12, 8), qRgb(10, 11, 12));
}
