// main() for the GUI test programs: one QApplication on the offscreen
// platform (unless the caller picked another, e.g. xcb under Xvfb to look),
// with the keyboard going back after modal windows as in the program.
#include "foundation/ui/ModalFocus.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallModalFocusReturn();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
