#include "foundation/ui/QtMessageBoxes.h"

#include "foundation/ui/QtText.h"

#include <QApplication>
#include <QMessageBox>

QtMessageBoxes::QtMessageBoxes()
    : context_(std::make_unique<QObject>())
{
    if (QCoreApplication* app = QCoreApplication::instance())
        QObject::connect(app, &QCoreApplication::aboutToQuit, context_.get(), [this] { quitting_ = true; });
}

BoxAnswer QtMessageBoxes::Show(BoxKind kind, const std::string& caption, const std::string& text)
{
    QMessageBox::Icon icon = QMessageBox::Critical;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::Ok;
    switch (kind) {
    case BoxKind::Error:
        break;
    case BoxKind::Info:
        icon = QMessageBox::Warning; // the exclamation sign, as the program always showed
        break;
    case BoxKind::Plain:
        icon = QMessageBox::NoIcon;
        break;
    case BoxKind::Confirm:
        icon = QMessageBox::Question;
        buttons = QMessageBox::Yes | QMessageBox::No;
        defaultButton = QMessageBox::Yes;
        break;
    case BoxKind::YesNoCancel:
        icon = QMessageBox::Question;
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        defaultButton = QMessageBox::Yes;
        break;
    }
    QMessageBox box(icon, ToQt(caption), ToQt(text), buttons, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("MessageBox"));
    // Messages quote names from channel lists: never take them for markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return BoxAnswer::Yes;
    case QMessageBox::No:
        return BoxAnswer::No;
    case QMessageBox::Ok:
        return BoxAnswer::Ok;
    default:
        // Closed some other way: the answer that changes nothing.
        return kind == BoxKind::Confirm ? BoxAnswer::No
             : kind == BoxKind::YesNoCancel ? BoxAnswer::Cancel
                                            : BoxAnswer::Ok;
    }
}

bool QtMessageBoxes::Terminating() const
{
    return quitting_ || QCoreApplication::closingDown();
}

void InstallQtMessageBoxes()
{
    static QtMessageBoxes boxes;
    SetMessageBoxes(&boxes);
}
