#pragma once
// Where a channel list comes from or goes to: the receiver, a text list or a
// binary image file, with the extended version of a text list as an option.
#include <QDialog>

#include <string>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class TVexaComm;

class TFChooseData : public QDialog {
    Q_OBJECT

public:
    explicit TFChooseData(QWidget* parent = nullptr);

    // Offers the receiver only while the link is connected (and then
    // preselects it, else the binary file), shows the prompt as the group's
    // title and runs the dialog. True when it was closed with OK; the caller
    // then reads the radio buttons and CheckBox1.
    bool SetPrompt(TVexaComm* Comm, const std::string& Prompt);

    QGroupBox* GroupBox1;
    QRadioButton* RadioButton1; // the receiver
    QRadioButton* RadioButton2; // a text list
    QCheckBox* CheckBox1;       // extended text list; hidden unless the caller shows it
    QRadioButton* RadioButton3; // a binary file
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void RadioButtonClick();
    void RadioButtonDblClick();
    void Image1DblClick();
    void Image2DblClick();
    void Image3DblClick();

    QLabel* Image1;
    QLabel* Image2;
    QLabel* Image3;
};
