#pragma once
// Where an import comes from: a text list, a binary image, a MAX file, an
// SDX file or the listing service on the Internet. Nothing is chosen when the
// dialog opens, and OK stays disabled until something is; a double click on
// a choice or on its picture chooses it and closes the dialog at once.
#include <QDialog>

#include <string>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

class TFChooseSrc : public QDialog {
    Q_OBJECT

public:
    explicit TFChooseSrc(QWidget* parent = nullptr);

    // Shows the prompt as the group's title and runs the dialog. True when
    // it was closed with OK; the caller then reads the radio buttons.
    bool SetPrompt(const std::string& Prompt);

    QGroupBox* GroupBox1;
    QRadioButton* RadioButton2; // text list
    QRadioButton* RadioButton3; // binary image
    QRadioButton* RadioButton1; // MAX file
    QRadioButton* RadioButton4; // SDX file
    QRadioButton* RadioButton5; // Internet
    QLabel* Image2;
    QLabel* Image3;
    QLabel* Image1;
    QLabel* Image4;
    QLabel* Image5;
    QPushButton* BitBtn1; // OK
    QPushButton* BitBtn2; // Cancel

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void RadioButtonClick();
    void ChooseAndClose(QRadioButton* choice);
};
