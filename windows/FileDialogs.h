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

    // A file to write. The name the user gives always ends in the extension
    // `extension` (without the dot), whatever was typed or filtered (see
    // WithExtension), and the question about replacing an existing file is
    // asked about that name: the file the program will really write. Empty
    // text when the user cancelled.
    virtual QString SaveFileName(QWidget* parent, const QStringList& filters, const QString& extension) = 0;
};

// nullptr restores Qt's dialogs.
void SetFileDialogs(IFileDialogs* dialogs);
IFileDialogs& FileDialogs();

// The file name as the program writes it: kept as it is when it ends in
// "." + extension in any letter case ("lista.dat" stays), else with its
// extension replaced by "." + extension ("lista.Bin" -> "lista.Dat"), or
// that appended when it has none ("lista" -> "lista.Dat").
QString WithExtension(const QString& fileName, const QString& extension);
