// The program: connects the core's seams to Qt, then runs the main window.
#include "foundation/ui/QtMessageBoxes.h"
#include "foundation/ui/TFWait.h"
#include "windows/QtEventLoop.h"
#include "windows/TFMain.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    InstallQtMessageBoxes();
    InstallWaitBoxFactory();
    InstallQtEventLoop();

    TFMain window;
    window.show();
    return app.exec();
}
