#include "windows/TFAbout.h"

#include "support/qt/ModalDialogs.h"
#include "windows/MainWindowTestSupport.h"
#include "windows/TFHistorial.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

TEST(TFAbout, ListsTheLoadedLanguagesAndOpensTheHistoryOverItself)
{
    InstalledLanguages languages{{"English.LNG", "LANG=English\r\nAUTHOR = Jane Roe\r\n0001 Close\r\n"},
                                 {"Nameless.LNG", "0001 Fermer\n"},
                                 {"Broken.LNG", nullptr}}; // listed, but cannot be read
    ASSERT_EQ(TheLang->Languages().size(), 4u);
    TFAbout about;
    EXPECT_EQ(about.findChild<QLabel*>("Label3")->text(), QStringLiteral("1.03.001"));
    auto* list = about.findChild<QTreeWidget*>("ListAutores");
    ASSERT_EQ(list->topLevelItemCount(), 3);
    const char* rows[][2] = {{"Castellano", "Ardelo"}, {"English", "Jane Roe"}, {"Nameless", ""}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list->topLevelItem(i)->text(0), QLatin1String(rows[i][0])) << "row " << i;
        EXPECT_EQ(list->topLevelItem(i)->text(1), QLatin1String(rows[i][1])) << "row " << i;
    }

    about.show();
    QPointer<QWidget> opened;
    bool isHistory = false, overAbout = false;
    WhenModal(&about, [&](QWidget* w) {
        opened = w;
        isHistory = qobject_cast<TFHistorial*>(w) != nullptr;
        overAbout = w->parentWidget() == &about;
        w->close();
    });
    about.findChild<QPushButton*>("BitBtn2")->click();
    EXPECT_TRUE(isHistory);
    EXPECT_TRUE(overAbout);
    EXPECT_TRUE(opened.isNull()) << "the history dialog is freed after use";
    EXPECT_TRUE(about.isVisible());

    about.findChild<QPushButton*>("BitBtn1")->click();
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}
