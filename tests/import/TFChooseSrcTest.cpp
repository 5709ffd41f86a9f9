// The import source dialog, driven by mouse as a user would.
#include "import/TFChooseSrc.h"

#include "support/qt/ModalDialogs.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QPoint CentreIn(QWidget* w, QWidget* dialog)
{
    return w->mapTo(dialog, w->rect().center());
}

} // namespace

// Choices from top to bottom: text list, binary, MAX, SDX, Internet, each
// with its picture on its own row. OK waits for a choice; a double click on
// a choice or its picture chooses and closes at once.
TEST(TFChooseSrc, DoubleClickOnAChoiceOrItsPictureChoosesAndCloses)
{
    TFChooseSrc probe;
    probe.show();
    const std::vector<std::pair<QLabel*, QRadioButton*>> rows = {
        {probe.Image2, probe.RadioButton2}, {probe.Image3, probe.RadioButton3}, {probe.Image1, probe.RadioButton1},
        {probe.Image4, probe.RadioButton4}, {probe.Image5, probe.RadioButton5}};
    for (size_t i = 0; i < rows.size(); ++i) {
        const int y = CentreIn(rows[i].second, &probe).y();
        EXPECT_NEAR(CentreIn(rows[i].first, &probe).y(), y, 2) << i;
        if (i > 0) {
            EXPECT_GT(y, CentreIn(rows[i - 1].second, &probe).y()) << i;
        }
    }
    probe.hide(); // the dialogs below must be the only ones on screen

    for (size_t row = 0; row < rows.size(); ++row) {
        for (bool onPicture : {true, false}) {
            SCOPED_TRACE(testing::Message() << row << (onPicture ? " picture" : " choice"));
            TFChooseSrc dialog;
            QString checked;
            bool okEnabled = true;
            WhenModal(&dialog, [&](QWidget* modal) {
                auto* d = static_cast<TFChooseSrc*>(modal);
                okEnabled = d->BitBtn1->isEnabled();
                QWidget* target = onPicture ? d->findChild<QLabel*>(rows[row].first->objectName())
                                            : static_cast<QWidget*>(d->findChild<QRadioButton*>(
                                                  rows[row].second->objectName()));
                QTest::mouseDClick(target, Qt::LeftButton, {}, target->rect().center());
            });
            EXPECT_TRUE(dialog.SetPrompt("Leer"));
            EXPECT_FALSE(okEnabled);
            for (QRadioButton* radio : dialog.findChildren<QRadioButton*>())
                if (radio->isChecked())
                    checked += radio->objectName();
            EXPECT_EQ(checked, rows[row].second->objectName());
        }
    }
}

TEST(TFChooseSrc, OkIsEnabledByAChoiceAndCancelEndsWithout)
{
    for (bool ok : {true, false}) {
        TFChooseSrc dialog;
        bool enabledAfterChoice = false;
        WhenModal(&dialog, [&](QWidget* modal) {
            auto* d = static_cast<TFChooseSrc*>(modal);
            d->RadioButton4->click();
            enabledAfterChoice = d->BitBtn1->isEnabled();
            (ok ? d->BitBtn1 : d->BitBtn2)->click();
        });
        EXPECT_EQ(dialog.SetPrompt("Leer"), ok);
        EXPECT_TRUE(enabledAfterChoice);
    }
}
