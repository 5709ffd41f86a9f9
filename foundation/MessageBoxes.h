#pragma once
// The one seam through which the plain C++ core asks the user something.
// The Qt layer installs real modal boxes; tests install a scripted one that
// records every box and answers as told, so no test ever blocks.
#include <string>

// Plain: a message with an OK button and no sign, for text the user asked to see.
enum class BoxKind { Error, Info, Confirm, YesNoCancel, Plain };
enum class BoxAnswer { Ok, Yes, No, Cancel };

class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    // Shows one modal box. Texts are Windows-1252; a CR inside means a line break.
    virtual BoxAnswer Show(BoxKind kind, const std::string& caption, const std::string& text) = 0;
    // True once the application has been told to end: questions are not asked then.
    virtual bool Terminating() const { return false; }
};

// nullptr restores the default, which shows nothing and answers No / Cancel.
void SetMessageBoxes(IMessageBoxes* boxes);
IMessageBoxes& MessageBoxes();
