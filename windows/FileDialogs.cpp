#include "windows/FileDialogs.h"

#include <QFileDialog>
#include <QAbstractItemView>
#include <QFileInfo>
#include <QLineEdit>

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
                Choose(forced);
        }
        QFileDialog::accept();
    }

private:
    // Makes `name` the dialog's answer. A row chosen in the file list would
    // win over the typed name (and selectFile leaves a focused name field
    // alone), so the list's selection goes and the name is typed in.
    void Choose(const QString& name)
    {
        auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!edit) {
            selectFile(name);
            return;
        }
        for (auto* view : findChildren<QAbstractItemView*>())
            if (view->selectionModel())
                view->selectionModel()->clear();
        edit->setText(name);
    }

    QString extension_;
};

// File names on Linux are case-sensitive, the program's extensions were
// never: "*.Txt" also lists "list.txt" and "LIST.TXT". The patterns are
// spelled out letter by letter and the filter shows its name only.
QString AnyCase(const QString& filter)
{
    const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = filter.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open)
        return filter;
    QString patterns;
    for (const QChar c : filter.mid(open + 1, close - open - 1)) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            patterns += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            patterns += c;
    }
    return filter.left(open + 1) + patterns + filter.mid(close);
}

void Prepare(QFileDialog& dialog, const QStringList& filters)
{
    // Qt's own dialog behaves the same on every desktop, and it is the one
    // whose accept() we can step into.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setSizeGripEnabled(true);
    QStringList anyCase;
    for (const QString& filter : filters)
        anyCase << AnyCase(filter);
    dialog.setNameFilters(anyCase);
    if (!anyCase.isEmpty())
        dialog.selectNameFilter(anyCase.first());
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
    // On Linux "lista.dat" and "lista.Dat" are two files: the name the user
    // typed is the file written when it has the extension already.
    if (dot > slash && QStringView(fileName).mid(dot + 1).compare(extension, Qt::CaseInsensitive) == 0)
        return fileName;
    const QString stem = dot > slash ? fileName.left(dot) : fileName;
    return stem + QLatin1Char('.') + extension;
}
