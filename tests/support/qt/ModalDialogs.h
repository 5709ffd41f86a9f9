#pragma once
// Drives a dialog that the code under test runs with exec(), from the event
// loop that exec() runs. A test never hangs on such a dialog: one that is
// still open after the act is rejected and the test fails; a dialog that
// never shows fails the test once the time-out has passed.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

// Runs act on the first application-modal window to show. The watch lives
// no longer than context. act must close the window.
inline void WhenModal(QObject* context, std::function<void(QWidget*)> act, int timeoutMs = 5000)
{
    auto* poll = new QTimer(context);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act, deadline] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            if (std::chrono::steady_clock::now() < deadline)
                return;
            ADD_FAILURE() << "the expected dialog never showed";
            poll->stop();
            poll->deleteLater();
            return;
        }
        poll->stop();
        poll->deleteLater();
        const QPointer<QWidget> shown(modal);
        act(modal);
        if (shown && shown->isVisible()) {
            ADD_FAILURE() << "the dialog stayed open: " << shown->objectName().toStdString();
            if (auto* dialog = qobject_cast<QDialog*>(shown.data()))
                dialog->reject();
            else
                shown->close();
        }
    });
    poll->start(5);
}

// Lets events run until window is the active window (it has the keyboard),
// as a user answers a window only once it has; false after the time-out.
inline bool HasKeyboard(QWidget* window, int timeoutMs = 5000)
{
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, timeoutMs);
}

// Shows window with the keyboard in a text field of its own, as a user
// working in it; the field, or nullptr when the window never got the keyboard.
inline QLineEdit* ShowWithKeyboardInField(QWidget& window)
{
    auto* field = new QLineEdit(&window);
    window.show();
    window.activateWindow();
    field->setFocus();
    return HasKeyboard(&window) ? field : nullptr;
}
