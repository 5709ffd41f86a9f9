#include "windows/controls/Tdbmeter.h"

#include "windows/controls/ControlImage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const QRgb Lime = qRgb(0, 255, 0);
const QRgb Yellow = qRgb(255, 255, 0);
const QRgb Red = qRgb(255, 0, 0);
const QRgb Grey = qRgb(128, 128, 128);
const QRgb Silver = qRgb(192, 192, 192);
const QRgb White = qRgb(255, 255, 255);

// The middle of each of the n segments, S pixels long, along the middle row:
// 'G', 'Y' or 'R' lit, '.' dark, '?' anything else.
std::string Segments(const QImage& image, int n, int S)
{
    std::string shown;
    for (int i = 0; i < n; ++i) {
        const QRgb c = image.pixel(i * S + S / 2, image.height() / 2);
        shown += c == Lime ? 'G' : c == Yellow ? 'Y' : c == Red ? 'R' : c == Grey ? '.' : '?';
    }
    return shown;
}

} // namespace

TEST(Tdbmeter, ThePositionLightsTheSegmentsUpToIt)
{
    // The default meter: 80 x 17, 3 green, 2 yellow and 1 red segment of 13
    // pixels; the green zone spans 50 positions, yellow and red 25 each.
    const std::pair<int, const char*> positions[] = {
        {0, "......"}, {1, "G....."}, // rounds to none, but any level shows one
        {26, "GG...."},               // 1.56 rounds to 2
        {50, "GGG..."}, {51, "GGGY.."}, {75, "GGGYY."}, {76, "GGGYYR"}, {100, "GGGYYR"}, {250, "GGGYYR"},
        {-10, "......"},
    };
    Tdbmeter meter;
    ASSERT_EQ(meter.size(), QSize(80, 17));
    for (const auto& [position, shown] : positions) {
        meter.SetPosition(position);
        EXPECT_EQ(Segments(Render(meter), 6, 13), shown) << position;
    }

    // 4 green segments of 20 over 8 positions: halves round to even.
    meter.SetGreens(4);
    meter.SetGreenMax(8);
    meter.SetYellows(0);
    meter.SetReds(0);
    for (const auto& [position, shown] : {std::pair{1, "G..."}, {3, "GG.."}, {5, "GG.."}, {7, "GGGG"}}) {
        meter.SetPosition(position);
        EXPECT_EQ(Segments(Render(meter), 4, 20), shown) << position;
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
        std::string expected(17, '.');
        if (position > 0)
            expected[position - 1] = 'R';
        EXPECT_EQ(Segments(Render(meter), 17, 10), expected);
    }
}

// Separators of 3 end every segment; the two columns left over (80 is not a
// multiple of 6) keep the background. Direction and style place segment 1.
TEST(Tdbmeter, SeparatorsAndDirections)
{
    Tdbmeter meter;
    meter.SetPosition(100);
    meter.SetSepWidth(3);
    meter.SetSepColor(QColor(10, 11, 12)); // the background's too
    QImage image = Render(meter);
    EXPECT_EQ(Segments(image, 6, 13), "GGGYYR");
    for (int x = 1; x < 79; ++x) // within the bevel
        EXPECT_EQ(image.pixel(x, 8) == qRgb(10, 11, 12), x % 13 >= 10 || x == 78) << x;

    meter.SetPosition(20); // lights only segment 1
    meter.SetSepWidth(1);
    meter.SetBevelStyle(Tdbmeter::bvNone);
    const struct {
        Tdbmeter::Tdbmeterstyle style;
        Tdbmeter::tdbmeterdirection direction;
        QPoint first, last;
    } cases[] = {
        {Tdbmeter::dsHorizontal, Tdbmeter::ddLeftUp, {73, 8}, {6, 8}},
        {Tdbmeter::dsVertical, Tdbmeter::ddLeftUp, {8, 73}, {8, 6}},
        {Tdbmeter::dsVertical, Tdbmeter::ddRightDown, {8, 6}, {8, 73}},
    };
    for (const auto& c : cases) {
        meter.SetStyle(c.style);
        meter.SetDirection(c.direction);
        meter.resize(c.style == Tdbmeter::dsVertical ? QSize(17, 80) : QSize(80, 17));
        image = Render(meter);
        EXPECT_EQ(image.pixel(c.first), Lime) << c.style << c.direction;
        EXPECT_EQ(image.pixel(c.last), Grey) << c.style << c.direction;
    }
}

TEST(Tdbmeter, WithoutRoomForSegmentsOnlyTheBackgroundShows)
{
    // No segments at all; segments no longer than the separator.
    for (const auto& [greens, width] : {std::pair{0, 80}, {3, 12}}) {
        Tdbmeter meter;
        meter.SetGreens(greens);
        meter.SetYellows(greens ? 2 : 0);
        meter.SetReds(greens ? 1 : 0);
        meter.SetSepWidth(2);
        meter.SetPosition(100);
        meter.SetBevelStyle(Tdbmeter::bvNone);
        meter.resize(width, 17);
        EXPECT_EQ(Pixels(Render(meter), Silver), width * 17) << width;
    }
}

TEST(Tdbmeter, BevelStylesAndWidths)
{
    const struct {
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
    for (const auto& c : cases) {
        Tdbmeter meter;
        meter.SetPosition(100);
        meter.SetBevelStyle(c.style);
        meter.SetBevelWidth(4); // ignored when there is no bevel
        const QImage image = Render(meter);
        const QRgb edges[] = {image.pixel(5, 0), image.pixel(0, 8), image.pixel(5, 16), image.pixel(79, 8)};
        EXPECT_EQ(std::vector<QRgb>(std::begin(edges), std::end(edges)), std::vector<QRgb>({c.top, c.left, c.bottom, c.right}))
            << "style " << c.style;
    }

    // 0, or more than a third of the height, is stored as 1; a control made
    // smaller later still gets a bevel that fits.
    Tdbmeter meter;
    for (const auto& [width, stored] : {std::pair{0, 1}, {5, 5}, {6, 1}, {3, 3}}) {
        meter.SetBevelWidth(std::uint8_t(width));
        EXPECT_EQ(meter.BevelWidth(), stored) << width;
    }
    meter.SetPosition(100);
    const QImage image = Render(meter);
    for (int y = 0; y < 17; ++y)
        EXPECT_EQ(image.pixel(20, y), y < 3 ? Grey : y > 13 ? White : Lime) << y;
    meter.resize(80, 6);
    EXPECT_EQ(Render(meter).pixel(20, 0), Grey);
    EXPECT_EQ(Render(meter).pixel(20, 1), Lime);
}
