#include "foundation/ui/QtMessageBoxes.h"

#include "foundation/Libreria.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

struct SeenBox {
    bool found = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString caption;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Watches for the next message box, records it and presses `press` (or
// closes it with Esc when press is NoButton). Gives up after a while and
// closes whatever modal box it finds, so a test can never hang on one.
// Returns the watching timer, which deletes itself once done.
QPointer<QTimer> AnswerNextBox(SeenBox& seen, QMessageBox::StandardButton press)
{
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, &seen, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (++*tries > 500)
                timer->deleteLater();
            return;
        }
        timer->stop();
        timer->deleteLater();
        seen.found = true;
        seen.icon = box->icon();
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.format = box->textFormat();
        seen.buttons = box->standardButtons();
        if (QPushButton* def = box->defaultButton())
            seen.defaultButton = box->standardButton(def);
        if (press == QMessageBox::NoButton) {
            box->reject(); // as Esc or the close button would
        } else if (QAbstractButton* button = box->button(press)) {
            button->click();
        } else {
            ADD_FAILURE() << "no such button";
            box->reject();
        }
        if (box->isVisible()) { // a disabled box ignores clicks: never hang on it
            ADD_FAILURE() << "the box did not take the answer";
            box->done(QMessageBox::Cancel);
        }
    });
    timer->start(10);
    return timer;
}

TEST(QtMessageBoxes, KindsIconsButtonsAndAnswers)
{
    struct Row {
        BoxKind kind;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton press;
        BoxAnswer answer;
    };
    const auto yesNo = QMessageBox::Yes | QMessageBox::No;
    const auto yesNoCancel = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    const Row rows[] = {
        {BoxKind::Error, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok, BoxAnswer::Ok},
        {BoxKind::Info, QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok, BoxAnswer::Ok},
        {BoxKind::Plain, QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok, BoxAnswer::Ok},
        {BoxKind::Confirm, QMessageBox::Question, yesNo, QMessageBox::Yes, BoxAnswer::Yes},
        {BoxKind::Confirm, QMessageBox::Question, yesNo, QMessageBox::NoButton, BoxAnswer::No},
        {BoxKind::YesNoCancel, QMessageBox::Question, yesNoCancel, QMessageBox::No, BoxAnswer::No},
        {BoxKind::YesNoCancel, QMessageBox::Question, yesNoCancel, QMessageBox::NoButton, BoxAnswer::Cancel},
    };
    QtMessageBoxes boxes;
    for (const Row& row : rows) {
        SeenBox seen;
        AnswerNextBox(seen, row.press);
        BoxAnswer answer = boxes.Show(row.kind, "Informaci\xF3n", "Uno\rDos <b>tres</b>");
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(answer, row.answer) << int(row.kind) << " " << int(row.press);
        EXPECT_EQ(seen.icon, row.icon);
        EXPECT_EQ(seen.buttons, row.buttons);
        EXPECT_EQ(seen.caption, QString::fromUtf8("Información"));
        EXPECT_EQ(seen.text, QStringLiteral("Uno\nDos <b>tres</b>"));
        EXPECT_EQ(seen.format, Qt::PlainText); // names from lists are never markup
        if (row.kind == BoxKind::Confirm || row.kind == BoxKind::YesNoCancel) {
            EXPECT_EQ(seen.defaultButton, QMessageBox::Yes);
        }
    }
    EXPECT_FALSE(boxes.Terminating());
}

TEST(QtMessageBoxes, SharedBoxesGoThroughTheInstalledOnes)
{
    InstallQtMessageBoxes();
    SeenBox seen;
    AnswerNextBox(seen, QMessageBox::Yes);
    EXPECT_TRUE(Confirm("\xBF" "Borrar?"));
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, QStringLiteral("Confirmar"));
    EXPECT_EQ(seen.text, QString::fromUtf8("¿Borrar?"));

    SeenBox error;
    AnswerNextBox(error, QMessageBox::Ok);
    ShowError("Fallo");
    ASSERT_TRUE(error.found);
    EXPECT_EQ(error.icon, QMessageBox::Critical);
    EXPECT_EQ(error.caption, QStringLiteral("Error"));
    SetMessageBoxes(nullptr);
}

TEST(QtMessageBoxes, NoQuestionOnceTheEventLoopHasEnded)
{
    QtMessageBoxes boxes;
    SetMessageBoxes(&boxes);
    EXPECT_FALSE(boxes.Terminating());
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QApplication::exec(); // as the program ends: the loop is told to end and returns
    EXPECT_TRUE(boxes.Terminating());

    SeenBox seen;
    QPointer<QTimer> watcher = AnswerNextBox(seen, QMessageBox::Yes); // would say Yes to a box
    EXPECT_FALSE(Confirm("\xBFSalir?"));
    EXPECT_FALSE(seen.found);
    delete watcher.data();
    SetMessageBoxes(nullptr);
}

} // namespace
