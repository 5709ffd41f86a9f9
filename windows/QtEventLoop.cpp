#include "windows/QtEventLoop.h"

#include "foundation/EventLoop.h"
#include "foundation/Libreria.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <cstdio>
#include <exception>

void InstallQtEventLoop()
{
    SetEventPump([] { QCoreApplication::processEvents(); });
    SetMainThreadPoster([](std::function<void()> call) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(call), Qt::QueuedConnection);
    });
    SetExceptionHandler([](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            ShowError(e.what());
        } catch (...) {
            std::fputs("unknown error in a posted call\n", stderr);
        }
    });
}
