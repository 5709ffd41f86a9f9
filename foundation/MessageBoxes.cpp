#include "foundation/MessageBoxes.h"

namespace {

// Without a user interface nobody can answer: take the answer that changes nothing.
class SilentMessageBoxes : public IMessageBoxes {
public:
    BoxAnswer Show(BoxKind kind, const std::string&, const std::string&) override
    {
        switch (kind) {
        case BoxKind::Confirm:
            return BoxAnswer::No;
        case BoxKind::YesNoCancel:
            return BoxAnswer::Cancel;
        default:
            return BoxAnswer::Ok;
        }
    }
};

SilentMessageBoxes g_silent;
IMessageBoxes* g_boxes = nullptr;

} // namespace

void SetMessageBoxes(IMessageBoxes* boxes)
{
    g_boxes = boxes;
}

IMessageBoxes& MessageBoxes()
{
    return g_boxes ? *g_boxes : g_silent;
}
