#pragma once
// The real message boxes: modal QMessageBoxes over the active window.
#include "foundation/MessageBoxes.h"

#include <QObject>

#include <memory>

class QtMessageBoxes : public IMessageBoxes {
public:
    QtMessageBoxes();
    BoxAnswer Show(BoxKind kind, const std::string& caption, const std::string& text) override;
    // True once the application's event loop has ended.
    bool Terminating() const override;

private:
    bool quitting_ = false;
    std::unique_ptr<QObject> context_; // ends the connection with this object
};

// Installs one QtMessageBoxes for the rest of the run (after the QApplication exists).
void InstallQtMessageBoxes();
