#pragma once
// The one seam through which windows ask for a file name. The program uses
// Qt's file dialogs; tests install a scripted one that answers as told, so no
// test ever blocks on a modal dialog.
#include <QString>
#include <QStringList>

class QWidget;

class IFileDialogs {
public:
    virtual ~IFileDialogs() = default;

    // An existing file to read; the empty text when the user cancelled.
    // Filters are Qt filters ("Name (*.ext)"); the first one is preselected.
    virtual QString OpenFileName(QWidget* parent, const QStringList& filters) = 0;

    // A file to write. The name the user gives always gets the extension
    // `extension` (without the dot), whatever was typed or filtered, and the
    // question about replacing an existing file is asked about that name: the
    // file the program will really write. Empty text when the user cancelled.
    virtual QString SaveFileName(QWidget* parent, const QStringList& filters, const QString& extension) = 0;
};

// nullptr restores Qt's dialogs.
void SetFileDialogs(IFileDialogs* dialogs);
IFileDialogs& FileDialogs();

// The file name with its extension replaced by "." + extension (appended when
// it has none), as the program names every file it writes.
QString WithExtension(const QString& fileName, const QString& extension);
