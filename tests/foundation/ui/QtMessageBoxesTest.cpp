#include "foundation/ui/QtMessageBoxes.h"

#include "foundation/Libreria.h"
#include "support/qt/ModalDialogs.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

#include <memory>

namespace {

// Answers the next message box with `press` (Esc when NoButton) and
// describes it: icon, buttons, default button, caption, text, plain or not.
// Like a user, it answers a box that has the keyboard.
void AnswerNextBox(QObject* context, QString& seen, QMessageBox::StandardButton press)
{
    WhenModal(context, [&seen, press](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(HasKeyboard(box));
        QPushButton* def = box->defaultButton();
        seen = QString("%1 %2 %3 %4|%5|%6")
                   .arg(box->icon())
                   .arg(box->standardButtons())
                   .arg(def ? box->standardButton(def) : 0)
                   .arg(box->textFormat() == Qt::PlainText ? "plain" : "markup", box->windowTitle(), box->text());
        if (press == QMessageBox::NoButton)
            box->reject(); // as Esc or the close button would
        else
            box->button(press)->click();
    });
}

TEST(QtMessageBoxes, KindsIconsButtonsAndAnswers)
{
    struct Row {
        BoxKind kind;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton press, defaultButton;
        BoxAnswer answer;
    };
    const auto ok = QMessageBox::Ok, yes = QMessageBox::Yes, no = QMessageBox::No, esc = QMessageBox::NoButton;
    const auto yesNo = yes | no, yesNoCancel = yes | no | QMessageBox::Cancel;
    const Row rows[] = {
        {BoxKind::Error, QMessageBox::Critical, ok, ok, ok, BoxAnswer::Ok},
        {BoxKind::Info, QMessageBox::Warning, ok, ok, ok, BoxAnswer::Ok},
        {BoxKind::Plain, QMessageBox::NoIcon, ok, ok, ok, BoxAnswer::Ok},
        {BoxKind::Confirm, QMessageBox::Question, yesNo, yes, yes, BoxAnswer::Yes},
        {BoxKind::Confirm, QMessageBox::Question, yesNo, esc, yes, BoxAnswer::No},
        {BoxKind::YesNoCancel, QMessageBox::Question, yesNoCancel, no, yes, BoxAnswer::No},
        {BoxKind::YesNoCancel, QMessageBox::Question, yesNoCancel, esc, yes, BoxAnswer::Cancel},
    };
    // The window the boxes are asked over, its keyboard in a field.
    QWidget window;
    QLineEdit* field = ShowWithKeyboardInField(window);
    ASSERT_TRUE(field);
    QtMessageBoxes boxes;
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.kind));
        QObject context;
        QString seen;
        AnswerNextBox(&context, seen, row.press);
        EXPECT_EQ(boxes.Show(row.kind, "Informaci\xF3n", "Uno\rDos <b>tres</b>"), row.answer);
        // A CR is a line break; names from lists are never markup.
        EXPECT_EQ(seen, QString("%1 %2 %3 plain|").arg(row.icon).arg(row.buttons).arg(row.defaultButton)
                            + QString::fromUtf8("Información|Uno\nDos <b>tres</b>"));
        // However the box was answered, the keyboard is back where it was.
        EXPECT_EQ(QApplication::activeWindow(), &window);
        EXPECT_EQ(QApplication::focusWidget(), field);
    }
    EXPECT_FALSE(boxes.Terminating());
}

// The installed boxes serve the shared calls until the event loop has ended;
// then no question is asked at all.
TEST(QtMessageBoxes, SharedCallsUseTheInstalledBoxesUntilTheLoopEnds)
{
    InstallQtMessageBoxes();
    QString seen;
    {
        QObject context;
        AnswerNextBox(&context, seen, QMessageBox::Yes);
        EXPECT_TRUE(Confirm("\xBF" "Borrar?"));
    }
    EXPECT_TRUE(seen.endsWith(QString::fromUtf8("Confirmar|¿Borrar?")));

    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QApplication::exec(); // as the program ends: the loop is told to end and returns
    EXPECT_TRUE(MessageBoxes().Terminating());
    seen.clear();
    {
        auto context = std::make_unique<QObject>(); // would say Yes to a box while it lives
        AnswerNextBox(context.get(), seen, QMessageBox::Yes);
        EXPECT_FALSE(Confirm("\xBFSalir?"));
    }
    EXPECT_TRUE(seen.isEmpty());
    SetMessageBoxes(nullptr);
}

} // namespace
