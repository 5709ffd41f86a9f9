// The keyboard after a modal window closes; the plain case (a window that had
// the keyboard) is proven by the message boxes and the dialogs' own tests.
#include "foundation/ui/ModalFocus.h"

#include "support/qt/ModalDialogs.h"

#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

// Closed by the program before the platform's activation reached it: that
// activation comes late, to a hidden (then to a destroyed) window, and must
// not leave the keyboard with no window.
TEST(ModalFocus, AWindowClosedBeforeItWasActivatedLeavesTheKeyboardWhereItWas)
{
    QWidget window;
    QLineEdit* field = ShowWithKeyboardInField(window);
    ASSERT_TRUE(field);
    for (const bool destroyed : {false, true}) {
        SCOPED_TRACE(destroyed);
        auto box = std::make_unique<QDialog>(&window);
        QTimer::singleShot(0, box.get(), &QDialog::reject);
        box->exec();
        if (destroyed)
            box.reset();
        EXPECT_TRUE(HasKeyboard(&window));
        EXPECT_EQ(QApplication::focusWidget(), field);
    }
}
