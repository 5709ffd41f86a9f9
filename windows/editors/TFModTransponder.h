#pragma once
// The transponder editor: creates or edits one transponder record of a data
// set (satellite, frequency, symbol rate, polarisation, FEC and the three
// switch codes) and lists the channels that use it.
//
// Nothing is written to the data set before OK. A satellite made with the
// "Nuevo" button is added at once and stays, whatever the user then answers.
#include <QDialog>

#include "database/VexaRecords.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class TEditNum;
class TVexaData;

class TFModTransponder : public QDialog {
    Q_OBJECT

public:
    explicit TFModTransponder(QWidget* parent = nullptr);

    // Runs the dialog for the transponder at Index, or for a new one when
    // Index is -1; a full list offers the lowest-numbered transponder that no
    // channel uses instead, and with none free says so and returns False
    // without a window. A SatIndex other than -1 gives a new transponder the
    // satellite at that position of the satellite list and locks the choice.
    // True only when closed with OK; RecIndex then holds the stored record's
    // index.
    bool Execute(TVexaData& Data, int Index, int SatIndex);

    int RecIndex = -1;
    // The record being edited; copied over the data set's record on OK.
    TTransponderRec Rec;

    // Kind 1: the number of channels on the transponder at Index; any other
    // kind 0.
    int Usado(int Index, int Kind) const;
    // Mode 1: -1 when the list is full, else -2 (room for a new record).
    // Mode 2: the lowest index of a transponder that no channel uses, -1 if
    // none. Any other mode -1.
    int GetNewTransponder(int Mode) const;
    void SetNewData();
    // The controls into Rec; False when no satellite is chosen.
    bool GetData();

    void BitBtn1Click(); // OK
    void BitBtn3Click(); // new satellite
    void BitBtn4Click(); // channels using the transponder

    QGroupBox* GroupBox2;
    QComboBox* ComboBox7;  // satellite
    QPushButton* BitBtn3;
    TEditNum* EditNum2;    // frequency
    QComboBox* ComboBox2;  // polarisation
    TEditNum* EditNum1;    // symbol rate
    QComboBox* ComboBox1;  // FEC
    QGroupBox* GroupBox1;
    QComboBox* ComboBox8;  // 0/12 V
    QComboBox* ComboBox9;  // 22 kHz
    QComboBox* ComboBox10; // 14/18 V
    QGroupBox* GroupBox3;
    QLabel* Label11;
    QPushButton* BitBtn4;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

private:
    void FormCreate();
    void LoadControls();

    TVexaData* Data = nullptr;
    QLabel* Labels[8];
};
