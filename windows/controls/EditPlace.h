#pragma once
// What the filtered line edits (the numeric edit, the satellite position)
// share about a change they refuse or let through.
//
// Such a filter refuses a change by answering with the text from before it
// (QLineEdit rolls an Invalid answer back only in some cases). QLineEdit then
// drops the selection and puts the caret where the filter says; EditPlace
// remembers the caret and the selection as they stood before each change and
// puts them back after a refused one, so a refused key or paste leaves the
// field exactly as it was.
#include <QObject>
#include <QString>

class QLineEdit;

class EditPlace : public QObject {
public:
    // Follows edit's caret and selection from now on; owned by edit.
    explicit EditPlace(QLineEdit* edit);

    // Called by the filter as it answers with the text from before: the
    // caret position to answer with. The selection comes back as soon as
    // the line edit has taken the answer.
    int Refuse();

private:
    void Remember();
    void PutBack();

    QLineEdit* edit_;
    int cursor_ = 0;
    int selectionStart_ = -1;
    int selectionLength_ = 0;
    bool putBack_ = false;
};

// True when after is before with characters taken out and none put in: a
// deletion, which a filter lets through whatever value it leaves, so that a
// value from a file that lies beyond what may be typed can still be corrected.
bool OnlyRemoves(const QString& before, const QString& after);
