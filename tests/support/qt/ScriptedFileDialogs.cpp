#include "support/qt/ScriptedFileDialogs.h"

#include <gtest/gtest.h>

QString ScriptedFileDialogs::Next()
{
    if (answers_.empty()) {
        ADD_FAILURE() << "a file dialog was opened that the test did not expect";
        return QString();
    }
    QString answer = answers_.front();
    answers_.pop_front();
    return answer;
}

QString ScriptedFileDialogs::OpenFileName(QWidget*, const QStringList& filters)
{
    requests_.push_back({false, filters, QString()});
    return Next();
}

QString ScriptedFileDialogs::SaveFileName(QWidget*, const QStringList& filters, const QString& extension)
{
    requests_.push_back({true, filters, extension});
    return Next();
}
