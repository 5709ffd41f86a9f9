#include "windows/TFIntKeys.h"

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

TEST(TFIntKeysTest, DrawsCentredAndKeepsWhatWasTyped)
{
    TFIntKeys dialog;
    QTest::keyClicks(dialog.Edit1, QStringLiteral("g-5"));
    EXPECT_EQ(dialog.Edit1->text(), QStringLiteral("g-5"));

    auto inkColumns = [&] {
        const QImage image = dialog.I->pixmap().toImage();
        const QRgb ground = image.pixel(0, 0);
        int first = -1, last = -1;
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                if (image.pixel(x, y) != ground) {
                    if (first < 0)
                        first = x;
                    last = x;
                    break;
                }
        return std::pair{first, last};
    };
    const auto [first, last] = inkColumns();
    ASSERT_GE(first, 0);
    EXPECT_NEAR(first, dialog.I->width() - 1 - last, 4); // centred

    dialog.Edit1->clear();
    EXPECT_EQ(inkColumns().first, -1); // an empty text leaves the picture blank
}
