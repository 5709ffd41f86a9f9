#pragma once
// The error report: lines of a data check (or of a repair) in a read-only
// text, with a button that closes the report asking for the repair. The
// caller sets the caption, decides whether the button is offered and runs
// the dialog with exec(); the button's result is QDialog::Accepted.
#include <QDialog>

#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;

class TFErrors : public QDialog {
    Q_OBJECT

public:
    explicit TFErrors(QWidget* parent = nullptr);

    // Replaces the text with the lines, one per line, from the top.
    void ShowLines(const std::vector<std::string>& lines);

    QPlainTextEdit* R;
    QPushButton* BitBtn1; // "Arreglar Errores"

private:
    void FormCreate();
};
