#include "windows/controls/EditPlace.h"

#include <QLineEdit>

#include <algorithm>

EditPlace::EditPlace(QLineEdit* edit)
    : QObject(edit)
    , edit_(edit)
{
    // Every move of the caret or the selection is told by one of these two,
    // and neither is sent while a change is being checked: what they leave
    // is the place from before the change.
    connect(edit, &QLineEdit::cursorPositionChanged, this, [this] { Remember(); });
    connect(edit, &QLineEdit::selectionChanged, this, [this] { Remember(); });
    // The refused change's answer is taken (and the selection dropped)
    // before textChanged is sent.
    connect(edit, &QLineEdit::textChanged, this, [this] { PutBack(); });
    Remember();
}

int EditPlace::Refuse()
{
    putBack_ = true;
    return cursor_;
}

void EditPlace::Remember()
{
    if (putBack_)
        return;
    cursor_ = edit_->cursorPosition();
    selectionStart_ = edit_->selectionStart();
    selectionLength_ = edit_->selectionLength();
}

void EditPlace::PutBack()
{
    if (!putBack_)
        return;
    putBack_ = false;
    const int length = static_cast<int>(edit_->text().size());
    if (selectionStart_ < 0 || selectionLength_ <= 0 || selectionStart_ + selectionLength_ > length) {
        edit_->setCursorPosition(std::min(cursor_, length));
        return;
    }
    // The caret at the start of the selection means it was made leftwards.
    if (cursor_ == selectionStart_)
        edit_->setSelection(selectionStart_ + selectionLength_, -selectionLength_);
    else
        edit_->setSelection(selectionStart_, selectionLength_);
}

bool OnlyRemoves(const QString& before, const QString& after)
{
    if (after.size() >= before.size())
        return false;
    qsizetype prefix = 0;
    while (prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    // What follows the removed run must be the rest of after.
    return QStringView(before).right(after.size() - prefix) == QStringView(after).mid(prefix);
}
