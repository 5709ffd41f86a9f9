#pragma once
// File dialogs for tests: each question takes the next scripted answer (a
// file name, or the empty text for Cancel) and is recorded, so a test can
// check which dialog was asked for. A question with no answer left fails the
// test and cancels.
#include "windows/FileDialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

class ScriptedFileDialogs : public IFileDialogs {
public:
    struct Request {
        bool save = false;
        QStringList filters;
        QString extension; // save dialogs only
    };

    void AnswerNext(const QString& fileName) { answers_.push_back(fileName); }
    void CancelNext() { answers_.push_back(QString()); }

    const std::vector<Request>& Requests() const { return requests_; }
    size_t Unanswered() const { return answers_.size(); }

    QString OpenFileName(QWidget* parent, const QStringList& filters) override;
    // Answers the scripted name exactly as given (as typed by a user), so a
    // test sees whether the window itself puts the right extension on it.
    QString SaveFileName(QWidget* parent, const QStringList& filters, const QString& extension) override;

private:
    QString Next();

    std::deque<QString> answers_;
    std::vector<Request> requests_;
};
