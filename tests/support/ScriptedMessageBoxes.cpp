#include "support/ScriptedMessageBoxes.h"

ScriptedMessageBoxes::ScriptedMessageBoxes()
    : previous_(&MessageBoxes())
{
    SetMessageBoxes(this);
}

ScriptedMessageBoxes::~ScriptedMessageBoxes()
{
    SetMessageBoxes(previous_);
}

BoxAnswer ScriptedMessageBoxes::Show(BoxKind kind, const std::string& caption, const std::string& text)
{
    boxes_.push_back({kind, caption, text});
    if (!answers_.empty()) {
        BoxAnswer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    if (kind == BoxKind::Error || kind == BoxKind::Info || kind == BoxKind::Plain)
        return BoxAnswer::Ok;
    return defaultAnswer_;
}
