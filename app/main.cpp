// The program: connects the core's seams to Qt, then runs the main window.
#include "foundation/ui/ModalFocus.h"
#include "foundation/ui/QtMessageBoxes.h"
#include "foundation/ui/TFWait.h"
#include "import/ImportRoad.h"
#include "printing/TFMainList.h"
#include "windows/QtEventLoop.h"
#include "windows/TFMain.h"
#include "windows/tools/TFAddModCanal.h"
#include "windows/tools/TFFavoritos.h"
#include "windows/tools/TFIntKeys.h"
#include "windows/tools/TFTools.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Qt's own texts (the buttons of the message boxes, the file dialogs) in
    // the desktop's language, as the rest of the desktop shows them.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTexts);
    InstallQtMessageBoxes();
    InstallModalFocusReturn();
    InstallWaitBoxFactory();
    InstallQtEventLoop();
    TFTools::SetTool(2, &ImportRoad::Run);
    TFTools::SetTool(4, [](QWidget* parent, TVexaComm*, TVexaData& data) {
        TFAddModCanal dialog(parent);
        dialog.Execute(data);
    });
    TFTools::SetTool(5, [](QWidget* parent, TVexaComm*, TVexaData&) {
        TFIntKeys dialog(parent);
        dialog.exec();
    });
    TFTools::SetTool(6, [](QWidget* parent, TVexaComm*, TVexaData& data) {
        TFFavoritos dialog(parent);
        dialog.Execute(data);
    });
    TFMain::SetListPrinter([](QTreeView* ListView, const std::string& Title, const std::string& Subtitle) {
        TFMainList dialog(ListView->window());
        dialog.ListPrint(ListView, Title, Subtitle);
    });

    TFMain window;
    window.show();
    return app.exec();
}
