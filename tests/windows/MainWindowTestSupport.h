#pragma once
// Shared by the tests of the main window, the transfer window and the port
// dialogs: Qt's event loop behind the core's seam, answering modal dialogs
// from the event loop, and waiting for a condition while events run.
#include "foundation/EventLoop.h"
#include "windows/QtEventLoop.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

// Installs Qt's event pump and poster for one test, as the program does at
// start-up, and restores the plain defaults afterwards.
class QtEventLoopScope {
public:
    QtEventLoopScope() { InstallQtEventLoop(); }
    ~QtEventLoopScope()
    {
        QCoreApplication::processEvents();
        SetEventPump({});
        SetMainThreadPoster({});
        SetExceptionHandler({});
    }
};

// Lets events run until pred holds or ms have passed; true when it held.
inline bool WaitUntil(const std::function<bool()>& pred, int ms = 5000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Lets events run for ms milliseconds.
inline void RunEventsFor(int ms)
{
    WaitUntil([] { return false; }, ms);
}

// Runs `action` on the first visible window of type T, from the event loop,
// so that a test can answer a dialog that a command runs with exec(). When
// none shows within the time-out the test fails and every open dialog is
// rejected, so the test ends instead of hanging.
template <class T>
void WhenShown(std::function<void(T*)> action, int timeoutMs = 10000)
{
    auto* timer = new QTimer;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action, deadline] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<T*>(w); found && found->isVisible()) {
                timer->stop();
                timer->deleteLater();
                action(found);
                return;
            }
        }
        if (std::chrono::steady_clock::now() > deadline) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "the expected window never showed";
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible())
                    d->done(QDialog::Rejected);
        }
    });
    timer->start(10);
}
