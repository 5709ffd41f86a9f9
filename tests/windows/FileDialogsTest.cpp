// Qt's own save dialog behind the file-dialog seam: the name typed gets the
// program's extension (unless it has it in any case) before the dialog asks
// about replacing a file.
#include "windows/FileDialogs.h"

#include "support/TempDir.h"
#include "windows/MainWindowTestSupport.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

// Types `typed` into the visible save dialog and presses Save.
void TypeAndSave(const QString& typed)
{
    WhenShown<QFileDialog>([typed](QFileDialog* d) {
        auto* edit = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        edit->setText(typed);
        auto* buttons = d->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        ASSERT_NE(buttons, nullptr);
        for (QAbstractButton* b : buttons->buttons())
            if (buttons->buttonRole(b) == QDialogButtonBox::AcceptRole)
                b->click();
    });
}

QString Path(const TempDir& dir, const char* name)
{
    return QString::fromStdString((dir / name).string());
}

} // namespace

// The name as typed is the file written when it has the program's extension
// in any case; else the extension is put on it. The question about replacing
// a file is asked about that file only.
TEST(SaveDialog, AsksAboutReplacingOnlyTheFileThatWillReallyBeWritten)
{
    const struct {
        const char *existing, *typed, *written;
        bool asked;
    } rows[] = {
        {"x.Dat", "x.Bin", "x.Dat", true},
        {"x.Bin", "x.Bin", "x.Dat", false},
        {"x.Dat", "x", "x.Dat", true},
        {"x.dat", "x.dat", "x.dat", true},
        {"x.Dat", "x.dat", "x.dat", false}, // another file on Linux
        {"x.Dat", "x.DAT", "x.DAT", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        TempDir dir;
        WriteFileBytes(dir / row.existing, "old");
        QString question;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                    question = box->text();
                    box->button(QMessageBox::Yes)->click();
                }
        });
        watch.start(10);
        TypeAndSave(Path(dir, row.typed));
        const QString name = FileDialogs().SaveFileName(nullptr, {QStringLiteral("Binary (Dat) (*.dat)")}, QStringLiteral("Dat"));
        EXPECT_EQ(name, Path(dir, row.written));
        if (row.asked)
            EXPECT_TRUE(question.contains(QLatin1String(row.written))) << question.toStdString();
        else
            EXPECT_TRUE(question.isEmpty()) << question.toStdString();
    }
}

TEST(OpenDialog, ListsTheProgramsFilesWhateverTheCaseOfTheirExtension)
{
    TempDir dir;
    for (const char* name : {"a.Txt", "b.txt", "c.TXT", "d.dat"})
        WriteFileBytes(dir / name, "x");
    QStringList listed;
    WhenShown<QFileDialog>([&](QFileDialog* d) {
        d->setDirectory(QString::fromStdString(dir.path().string()));
        auto* view = d->findChild<QAbstractItemView*>(QStringLiteral("listView"));
        ASSERT_NE(view, nullptr);
        WaitUntil([&] { return view->model()->rowCount(view->rootIndex()) >= 3; }, 3000);
        for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
            listed << view->model()->index(r, 0, view->rootIndex()).data().toString();
        d->reject();
    });
    EXPECT_TRUE(FileDialogs().OpenFileName(nullptr, {QStringLiteral("Lists (*.Txt)")}).isEmpty());
    listed.sort();
    EXPECT_EQ(listed, (QStringList{"a.Txt", "b.txt", "c.TXT"}));
}
