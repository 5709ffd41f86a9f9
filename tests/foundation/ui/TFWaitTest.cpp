#include "foundation/ui/TFWait.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<QWidget> ShownWindow(const char* name)
{
    auto w = std::make_unique<QWidget>();
    w->setObjectName(name);
    w->resize(200, 100);
    w->show();
    return w;
}

TEST(TFWait, StartDisablesExactlyTheVisibleEnabledWindowsAndEveryEndRestoresThem)
{
    auto enabled = ShownWindow("enabled");
    auto alreadyDisabled = ShownWindow("alreadyDisabled");
    alreadyDisabled->setEnabled(false);
    auto hidden = std::make_unique<QWidget>();
    auto closedDuringWait = ShownWindow("closedDuringWait");

    QPointer<TFWait> box = new TFWait;
    box->Start();
    EXPECT_TRUE(box->isVisible() && box->isEnabled());
    EXPECT_FALSE(enabled->isEnabled() || alreadyDisabled->isEnabled() || closedDuringWait->isEnabled());
    EXPECT_TRUE(hidden->isEnabled());
    auto* animation = box->findChild<WaitAnimation*>("Animate");
    const int phase = animation->Phase();
    EXPECT_TRUE(QTest::qWaitFor([&] { return animation->Phase() != phase; }, 5000));

    // Windows that come or go during the wait are left alone / forgotten.
    auto openedDuringWait = ShownWindow("openedDuringWait");
    closedDuringWait.reset();
    box->ProcessEvents();
    box->FinSinDestruir();
    EXPECT_FALSE(box->isVisible());
    EXPECT_TRUE(enabled->isEnabled() && hidden->isEnabled() && openedDuringWait->isEnabled());
    EXPECT_FALSE(alreadyDisabled->isEnabled()); // was disabled before: stays so

    // Started again, it disables again; destroying it ends the wait.
    box->Start();
    EXPECT_FALSE(enabled->isEnabled() || openedDuringWait->isEnabled());
    delete box.data();
    EXPECT_TRUE(enabled->isEnabled() && openedDuringWait->isEnabled());
    // Fin ends the wait and frees the box once events have run.
    box = new TFWait;
    box->Start();
    box->Fin();
    EXPECT_TRUE(enabled->isEnabled());
    EXPECT_TRUE(QTest::qWaitFor([&] { return box.isNull(); }, 5000));
}

TEST(TFWait, CancelByClickOrEscIsSeenAtTheNextPollAndStays)
{
    auto main = ShownWindow("main");
    TFWait box;
    auto* label = box.findChild<QLabel*>("Label1");
    box.ShowLabel("");
    EXPECT_TRUE(label->isHidden()); // no text, no label
    box.SetCancelVisible(false);
    box.Start();
    QTest::keyClick(&box, Qt::Key_Escape);
    box.close(); // as the window manager's close would: changes nothing
    EXPECT_FALSE(box.Cancelled());
    EXPECT_TRUE(box.isVisible());
    box.SetCancelVisible(true);
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_TRUE(box.Cancelled());
    EXPECT_TRUE(box.isVisible()); // the operation ends the box, not the key
    box.FinSinDestruir();

    TFWait clicked;
    clicked.SetMax(1000);
    clicked.Start();
    auto* cancel = clicked.findChild<QPushButton*>("Cancelar");
    int step = 0;
    for (; step < 1000; ++step) { // the user presses Cancel while step 3 works
        if (step == 3)
            QTimer::singleShot(0, cancel, [cancel] { QTest::mouseClick(cancel, Qt::LeftButton); });
        clicked.SetPosition(step);
        clicked.ProcessEvents();
        if (clicked.Cancelled())
            break;
    }
    EXPECT_EQ(step, 3);
    clicked.FinSinDestruir();
    EXPECT_TRUE(main->isEnabled());
    clicked.Start();
    EXPECT_TRUE(clicked.Cancelled()); // never reset
    clicked.FinSinDestruir();
}

TEST(TFWait, EndReactivatesThePreviousWindowUnlessTheUserWentElsewhere)
{
    auto main = ShownWindow("main");
    for (bool goElsewhere : {false, true}) {
        SCOPED_TRACE(goElsewhere);
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
        TFWait box;
        box.Start();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
        std::unique_ptr<QWidget> elsewhere;
        if (goElsewhere) { // something else takes the focus while the box shows
            elsewhere = ShownWindow("elsewhere");
            elsewhere->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(elsewhere.get()));
        }
        box.FinSinDestruir();
        QWidget* expected = goElsewhere ? elsewhere.get() : main.get();
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == expected; }));
        QTest::qWait(50);
        EXPECT_EQ(QApplication::activeWindow(), expected);
    }
}

TEST(TFWait, CancelWorksWhileAModalDialogRuns)
{
    // The update chooser runs its wait box from inside a modal dialog.
    auto main = ShownWindow("main");
    QDialog dialog(main.get());
    dialog.setModal(true);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    TFWait box;
    box.Start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_FALSE(dialog.isEnabled());
    auto* cancel = box.findChild<QPushButton*>("Cancelar");
    // Clicked through the window system, where a modal dialog blocks input.
    const QPoint at = cancel->mapTo(&box, cancel->rect().center());
    QTest::mouseClick(box.windowHandle(), Qt::LeftButton, {}, at);
    box.ProcessEvents();
    EXPECT_TRUE(box.Cancelled());
    box.FinSinDestruir();
    EXPECT_TRUE(dialog.isEnabled() && dialog.isVisible());
    dialog.hide();
}

} // namespace
