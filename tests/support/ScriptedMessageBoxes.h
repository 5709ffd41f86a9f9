#pragma once
// Message boxes for tests: installs itself for its lifetime, records every box
// and answers from a queue of scripted answers, then with a default answer.
// Nothing is shown, so nothing ever blocks.
#include "foundation/MessageBoxes.h"

#include <deque>
#include <string>
#include <vector>

class ScriptedMessageBoxes : public IMessageBoxes {
public:
    struct Box {
        BoxKind kind;
        std::string caption;
        std::string text;
    };

    ScriptedMessageBoxes();
    ~ScriptedMessageBoxes() override;
    ScriptedMessageBoxes(const ScriptedMessageBoxes&) = delete;
    ScriptedMessageBoxes& operator=(const ScriptedMessageBoxes&) = delete;

    // The answer of the next box not yet asked.
    void Answer(BoxAnswer answer) { answers_.push_back(answer); }
    // The answer once the queue is empty (Ok for Error, Info and Plain boxes whatever it says).
    void SetDefaultAnswer(BoxAnswer answer) { defaultAnswer_ = answer; }
    void SetTerminating(bool terminating) { terminating_ = terminating; }

    const std::vector<Box>& Boxes() const { return boxes_; }
    size_t PendingAnswers() const { return answers_.size(); }
    void Clear() { boxes_.clear(); }

    BoxAnswer Show(BoxKind kind, const std::string& caption, const std::string& text) override;
    bool Terminating() const override { return terminating_; }

private:
    IMessageBoxes* previous_;
    std::vector<Box> boxes_;
    std::deque<BoxAnswer> answers_;
    BoxAnswer defaultAnswer_ = BoxAnswer::No;
    bool terminating_ = false;
};
