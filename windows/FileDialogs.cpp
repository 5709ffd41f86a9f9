#include "windows/FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

// A save dialog that puts the program's extension on the chosen name before
// it checks for an existing file, so "replace it?" is asked about the file
// that is really written, not about the name as typed.
class ForcedExtensionDialog : public QFileDialog {
public:
    ForcedExtensionDialog(QWidget* parent, const QString& extension)
        : QFileDialog(parent), extension_(extension)
    {
    }

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (!files.isEmpty() && !files.first().isEmpty() && !QFileInfo(files.first()).isDir()) {
            const QString forced = WithExtension(files.first(), extension_);
            if (forced != files.first())
                selectFile(forced);
        }
        QFileDialog::accept();
    }

private:
    QString extension_;
};

void Prepare(QFileDialog& dialog, const QStringList& filters)
{
    // Qt's own dialog behaves the same on every desktop, and it is the one
    // whose accept() we can step into.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setSizeGripEnabled(true);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.first());
}

QString Run(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

class QtFileDialogs : public IFileDialogs {
public:
    QString OpenFileName(QWidget* parent, const QStringList& filters) override
    {
        QFileDialog dialog(parent);
        Prepare(dialog, filters);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        return Run(dialog);
    }

    QString SaveFileName(QWidget* parent, const QStringList& filters, const QString& extension) override
    {
        ForcedExtensionDialog dialog(parent, extension);
        Prepare(dialog, filters);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        const QString name = Run(dialog);
        return name.isEmpty() ? name : WithExtension(name, extension);
    }
};

QtFileDialogs qtDialogs;
IFileDialogs* current = nullptr;

} // namespace

void SetFileDialogs(IFileDialogs* dialogs)
{
    current = dialogs;
}

IFileDialogs& FileDialogs()
{
    return current ? *current : qtDialogs;
}

QString WithExtension(const QString& fileName, const QString& extension)
{
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > slash ? fileName.left(dot) : fileName;
    return stem + QLatin1Char('.') + extension;
}
