#include "windows/tools/TFIntKeys.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

TEST(TFIntKeysTest, KeySequenceOfTypedText)
{
    const struct { const char* typed; const char* keys; } cases[] = {
        {"1a2", "1R1R2"}, {"AB", "R12"}, {"A1", "R1R1"}, {"ff00", "R66R00"},
        {"g-5", "5"}, {"Fa", "R61"}, {"", ""}, {"\xC1" "b\xE9", "R2"}, // accented letters are not hex
    };
    for (const auto& c : cases)
        EXPECT_EQ(TFIntKeys::CnvCol(TFIntKeys::Acorta(c.typed)), c.keys) << c.typed;
}

TEST(TFIntKeysTest, DrawsTheTypedKeysCentred)
{
    TFIntKeys dialog;
    QTest::keyClicks(dialog.Edit1, QStringLiteral("g-5"));
    const QImage image = dialog.I->pixmap().toImage();
    int first = -1, last = -1; // the outermost columns with ink
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) != image.pixel(0, 0)) {
                first = first < 0 ? x : first;
                last = x;
            }
    ASSERT_GE(first, 0);
    EXPECT_NEAR(first, image.width() - 1 - last, 4);
}
