#pragma once
// Chooses the serial port of the receiver: by hand from the usable ports, or
// by asking every usable port for the receiver. The choice is stored in the
// settings file on OK, so the next start uses it.
#include <QDialog>

#include <cstdint>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class TVexaComm;

class TFConfPuerto : public QDialog {
    Q_OBJECT

public:
    explicit TFConfPuerto(QWidget* parent = nullptr);

    // Fills the port list and runs the dialog; returns the dialog's result
    // (QDialog::Accepted for OK). Cancel changes neither link nor settings.
    int ChangePort(TVexaComm* Comm);

    std::int32_t ChosenPort = 0;

    QLabel* Label1;
    QComboBox* ComboBox;
    QCheckBox* Automatico;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

public slots:
    // Ignored while the search for the receiver runs.
    void reject() override;

private:
    void FormCreate();
    void AutomaticoClick();
    void BitBtn1Click();
    void Averigualo();

    TVexaComm* Comm = nullptr;
    bool Searching = false; // the queries let events run: no second click, no closing
};
