#include "windows/TFAbout.h"

#include "windows/TFHistorial.h"

#include "support/TempDir.h"
#include "foundation/TLang.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

namespace {

// Puts a translation service in place for one test.
class LangInstalled {
public:
    explicit LangInstalled(const std::string& folder) : lang_(folder), previous_(TheLang) { TheLang = &lang_; }
    ~LangInstalled() { TheLang = previous_; }

private:
    TLang lang_;
    TLang* previous_;
};

// Once a modal window is up, hands it to 'inspect' and closes it, so that
// an exec() under test always returns.
void WhenModalAppears(std::function<void(QWidget*)> inspect, int triesLeft = 500)
{
    QTimer::singleShot(10, [inspect, triesLeft] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            inspect(modal);
            modal->close();
        } else if (triesLeft > 0) {
            WhenModalAppears(inspect, triesLeft - 1);
        }
    });
}

} // namespace

TEST(TFAbout, ShowsTitleVersionAndCaptions)
{
    TFAbout about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Acerca de..."));
    EXPECT_EQ(about.findChild<QLabel*>("Label1")->text(), QStringLiteral("Vexa UTILS"));
    EXPECT_EQ(about.findChild<QLabel*>("Version")->text(), QStringLiteral("Versión"));
    EXPECT_EQ(about.findChild<QLabel*>("Label3")->text(), QStringLiteral("1.03.001"));
    EXPECT_EQ(about.findChild<QPushButton*>("BitBtn2")->text(), QStringLiteral("Historial"));
    EXPECT_EQ(about.findChild<QLabel*>("Label4")->text(), QStringLiteral("Traducciones"));
    EXPECT_EQ(about.findChild<QPushButton*>("BitBtn1")->text(), QStringLiteral("Cerrar"));

    auto* list = about.findChild<QTreeWidget*>("ListAutores");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->columnCount(), 2);
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("Idioma"));
    EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("Autor"));
    EXPECT_EQ(list->columnWidth(0), 100);
}

TEST(TFAbout, LogoIsAPictureOfItsOwn)
{
    TFAbout about;
    auto* image = about.findChild<QLabel*>("Image1");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size(), QSize(145, 32));
    const QImage logo = image->pixmap().toImage();
    ASSERT_EQ(logo.size(), QSize(145, 32));
    int opaque = 0;
    for (int y = 0; y < logo.height(); ++y)
        for (int x = 0; x < logo.width(); ++x)
            opaque += qAlpha(logo.pixel(x, y)) == 255;
    EXPECT_GT(opaque, 100);                     // something is drawn
    EXPECT_LT(opaque, logo.width() * logo.height()); // on a transparent ground
}

TEST(TFAbout, ListsTheLoadedLanguagesWithTheirAuthors)
{
    TempDir dir;
    WriteFileBytes(dir / "English.LNG", "LANG=English\r\nAUTHOR = Jane Roe\r\n0001 Close\r\n");
    WriteFileBytes(dir / "Nameless.LNG", "0001 Fermer\n");
    std::filesystem::create_directory(dir / "Broken.LNG"); // listed, but cannot be read
    LangInstalled lang(dir.path().string());
    ASSERT_EQ(TheLang->Languages().size(), 4u);

    TFAbout about;
    auto* list = about.findChild<QTreeWidget*>("ListAutores");
    ASSERT_EQ(list->topLevelItemCount(), 3);
    const char* rows[][2] = {{"Castellano", "Ardelo"}, {"English", "Jane Roe"}, {"Nameless", ""}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list->topLevelItem(i)->text(0), QLatin1String(rows[i][0])) << "row " << i;
        EXPECT_EQ(list->topLevelItem(i)->text(1), QLatin1String(rows[i][1])) << "row " << i;
    }
}

TEST(TFAbout, HistoryButtonOpensTheHistoryOverTheAboutBox)
{
    TFAbout about;
    about.show();
    QPointer<QWidget> opened;
    bool isHistory = false;
    bool ownedByAbout = false;
    bool modal = false;
    WhenModalAppears([&](QWidget* w) {
        opened = w;
        isHistory = qobject_cast<TFHistorial*>(w) != nullptr;
        ownedByAbout = w->parentWidget() == &about;
        modal = w->isModal();
    });
    about.findChild<QPushButton*>("BitBtn2")->click();

    EXPECT_TRUE(isHistory);
    EXPECT_TRUE(ownedByAbout);
    EXPECT_TRUE(modal);
    EXPECT_TRUE(opened.isNull()) << "the history dialog is freed after use";
    EXPECT_TRUE(about.findChildren<TFHistorial*>().isEmpty());
    EXPECT_TRUE(about.isVisible());
}

TEST(TFAbout, CloseButtonEndsWithOk)
{
    TFAbout about;
    about.show();
    about.findChild<QPushButton*>("BitBtn1")->click();
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}
