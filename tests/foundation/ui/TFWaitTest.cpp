#include "foundation/ui/TFWait.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
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

TEST(TFWait, CreatedHiddenWithCancelAndEmptyLabelHidden)
{
    TFWait box;
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(box.Cancelled());
    auto* cancel = box.findChild<QPushButton*>("Cancelar");
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QStringLiteral("Cancelar"));
    auto* label = box.findChild<QLabel*>("Label1");
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->isHidden());
    auto* progress = box.findChild<QProgressBar*>("Progress");
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->maximum(), 100);

    box.ShowLabel("Cargando lista de Canales");
    EXPECT_FALSE(label->isHidden());
    EXPECT_EQ(label->text(), QStringLiteral("Cargando lista de Canales"));
    box.ShowLabel("");
    EXPECT_TRUE(label->isHidden());
    box.ShowLabel("Verificando actualizaci\xF3n");
    EXPECT_FALSE(label->isHidden());
    EXPECT_EQ(label->text(), QString::fromUtf8("Verificando actualización"));

    box.SetMax(300);
    box.SetPosition(150);
    EXPECT_EQ(progress->maximum(), 300);
    EXPECT_EQ(progress->value(), 150);
    box.SetCancelVisible(false);
    EXPECT_TRUE(cancel->isHidden());
}

TEST(TFWait, StartDisablesExactlyTheVisibleEnabledWindowsAndEndRestoresThem)
{
    auto enabled = ShownWindow("enabled");
    auto alreadyDisabled = ShownWindow("alreadyDisabled");
    alreadyDisabled->setEnabled(false);
    auto hidden = std::make_unique<QWidget>();
    auto closedDuringWait = ShownWindow("closedDuringWait");

    TFWait box;
    box.Start();
    EXPECT_TRUE(box.isVisible());
    EXPECT_TRUE(box.isEnabled());
    EXPECT_FALSE(enabled->isEnabled());
    EXPECT_FALSE(alreadyDisabled->isEnabled());
    EXPECT_TRUE(hidden->isEnabled());
    EXPECT_FALSE(closedDuringWait->isEnabled());

    // Windows that come or go during the wait are left alone / forgotten.
    auto openedDuringWait = ShownWindow("openedDuringWait");
    closedDuringWait.reset();
    box.ProcessEvents();

    box.FinSinDestruir();
    EXPECT_FALSE(box.isVisible());
    EXPECT_TRUE(enabled->isEnabled());
    EXPECT_FALSE(alreadyDisabled->isEnabled()); // was disabled before: stays so
    EXPECT_TRUE(hidden->isEnabled());
    EXPECT_TRUE(openedDuringWait->isEnabled());

    // Started again, it disables again; and its end enables again.
    box.Start();
    EXPECT_FALSE(enabled->isEnabled());
    EXPECT_FALSE(openedDuringWait->isEnabled());
    box.FinSinDestruir();
    EXPECT_TRUE(enabled->isEnabled());
    EXPECT_TRUE(openedDuringWait->isEnabled());
    EXPECT_FALSE(alreadyDisabled->isEnabled());
}

TEST(TFWait, DestroyingAStartedBoxEnablesTheWindows)
{
    auto main = ShownWindow("main");
    {
        TFWait box;
        box.Start();
        EXPECT_FALSE(main->isEnabled());
    }
    EXPECT_TRUE(main->isEnabled());
}

TEST(TFWait, CancelIsSeenAtTheNextPoll)
{
    auto main = ShownWindow("main");
    TFWait box;
    box.ShowLabel("Cargando lista de Canales");
    box.SetMax(1000);
    box.Start();
    auto* cancel = box.findChild<QPushButton*>("Cancelar");
    // The user presses Cancel while step 3 works.
    int step = 0;
    for (; step < 1000; ++step) {
        if (step == 3)
            QTimer::singleShot(0, cancel, [cancel] { QTest::mouseClick(cancel, Qt::LeftButton); });
        box.SetPosition(step);
        box.ProcessEvents();
        if (box.Cancelled())
            break;
    }
    EXPECT_EQ(step, 3);
    box.FinSinDestruir();
    EXPECT_TRUE(main->isEnabled());
    EXPECT_TRUE(box.Cancelled()); // never reset
    box.Start();
    EXPECT_TRUE(box.Cancelled());
    box.FinSinDestruir();
}

TEST(TFWait, EscPressesCancelOnlyWhileCancelIsShown)
{
    TFWait box;
    box.SetCancelVisible(false);
    box.Start();
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_FALSE(box.Cancelled());
    EXPECT_TRUE(box.isVisible());
    box.close(); // as the window manager's close would: changes nothing
    EXPECT_FALSE(box.Cancelled());
    EXPECT_TRUE(box.isVisible());

    box.SetCancelVisible(true);
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_TRUE(box.Cancelled());
    EXPECT_TRUE(box.isVisible()); // the operation ends the box, not the key
    box.FinSinDestruir();
}

TEST(TFWait, EndReactivatesThePreviouslyActiveWindow)
{
    auto main = ShownWindow("main");
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));

    TFWait box;
    box.Start();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    box.FinSinDestruir();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == main.get(); }));
}

TEST(TFWait, EndActivatesNothingWhenTheUserWentElsewhere)
{
    auto main = ShownWindow("main");
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));

    TFWait box;
    box.Start();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    // Something else takes the focus while the box shows.
    auto elsewhere = ShownWindow("elsewhere");
    elsewhere->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(elsewhere.get()));
    box.FinSinDestruir();
    EXPECT_TRUE(main->isEnabled());
    QTest::qWait(50);
    EXPECT_EQ(QApplication::activeWindow(), elsewhere.get());
}

TEST(TFWait, AnimationRuns)
{
    TFWait box;
    box.Start();
    auto* animation = box.findChild<WaitAnimation*>("Animate");
    ASSERT_NE(animation, nullptr);
    const int first = animation->Phase();
    EXPECT_TRUE(QTest::qWaitFor([&] { return animation->Phase() != first; }, 5000));
    box.FinSinDestruir();
}

TEST(TFWait, FinFreesTheBoxLater)
{
    auto main = ShownWindow("main");
    QPointer<TFWait> box = new TFWait;
    box->Start();
    box->Fin();
    EXPECT_TRUE(main->isEnabled());
    EXPECT_TRUE(QTest::qWaitFor([&] { return box.isNull(); }, 5000));
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
    EXPECT_TRUE(dialog.isEnabled());
    EXPECT_TRUE(dialog.isVisible());
    dialog.hide();
}

} // namespace
