#include "foundation/ui/ModalFocus.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace {

// Where the keyboard goes when closed no longer takes it: the modal window
// now on top, else closed's parent window.
QWidget* NextWindow(QWidget* closed)
{
    QWidget* next = QApplication::activeModalWidget();
    if (!next && closed->parentWidget())
        next = closed->parentWidget()->window();
    return next && next != closed && next->isVisible() ? next : nullptr;
}

void GiveKeyboard(QWidget* next)
{
    // At once, so that what runs next (a message right after a closed
    // transfer window) already finds its window active; the platform is
    // asked too, for the window manager's sake.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QApplication::setActiveWindow(next);
    QT_WARNING_POP
    next->activateWindow();
}

class ModalFocusReturn : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::WindowActivate && type != QEvent::WindowDeactivate && type != QEvent::Hide)
            return false;
        auto* window = qobject_cast<QWidget*>(watched);
        if (!window || !window->isWindow())
            return false;
        if (type == QEvent::WindowActivate) {
            if (!window->isVisible())
                PassOnLateActivation(window);
            return false;
        }
        if (!window->isModal())
            return false;
        if (type == QEvent::WindowDeactivate) {
            // Already marked hidden while it still had the keyboard: it
            // gives the keyboard up because it closes.
            if (window->isHidden())
                closing_ = window;
            return false;
        }
        const bool hadKeyboard = closing_ == window || QApplication::activeWindow() == window;
        if (closing_ == window)
            closing_ = nullptr;
        if (!hadKeyboard || (QApplication::activeWindow() && QApplication::activeWindow() != window))
            return false;
        if (QWidget* next = NextWindow(window))
            GiveKeyboard(next);
        return false;
    }

private:
    // The platform activates a window some time after it is shown: a window
    // closed before that (quickly, by the program) is activated when it is
    // gone already, and the keyboard would stay with no window at all. Once
    // that activation has run its course, the keyboard goes where it would
    // have gone had the window been active when it closed.
    void PassOnLateActivation(QWidget* closed)
    {
        QPointer<QWidget> next = NextWindow(closed);
        if (!next)
            return;
        QMetaObject::invokeMethod(this, [next] {
            QWidget* active = QApplication::activeWindow();
            if (next && next->isVisible() && (!active || !active->isVisible()))
                GiveKeyboard(next);
        }, Qt::QueuedConnection);
    }

    QPointer<QWidget> closing_;
};

} // namespace

void InstallModalFocusReturn()
{
    // Owned by the application: gone with it, and put in again for a new one.
    static QPointer<ModalFocusReturn> filter;
    if (filter || !qApp)
        return;
    filter = new ModalFocusReturn(qApp);
    qApp->installEventFilter(filter);
}
