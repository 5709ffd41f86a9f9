#pragma once
// The key-sequence dialog: which keys of the receiver's remote control type a
// hexadecimal text. Digits are pressed as they are; the letters A to F are the
// digits 1 to 6 inside a letter mode that the red key switches on and off.
// The sequence is drawn live, centred below the text. It changes no data.
#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;

class TFIntKeys : public QDialog {
    Q_OBJECT
public:
    explicit TFIntKeys(QWidget* parent = nullptr);

    // The hexadecimal digits of a text, upper-cased; everything else dropped.
    static std::string Acorta(const std::string& text);
    // The key sequence of hexadecimal digits: "0".."9" a digit key, "R" the red key.
    static std::string CnvCol(const std::string& hex);

    void Edit1Change();

    QLabel* Label1;
    QLineEdit* Edit1;
    QLabel* Label2;
    QLabel* I; // the picture the sequence is drawn on

private:
    void FormCreate();
};
