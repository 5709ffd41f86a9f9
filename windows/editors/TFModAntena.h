#pragma once
// The antenna editor: creates or edits one antenna record of a data set (its
// satellite, LNB oscillators and type, positioner, DiSEqC port and the three
// switch codes) and tells how many channels use it.
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

class TFModAntena : public QDialog {
    Q_OBJECT

public:
    explicit TFModAntena(QWidget* parent = nullptr);

    // Runs the dialog for the antenna at Index, or for a new one when Index
    // is -1; a full list offers the lowest-numbered antenna that no channel
    // uses instead, and with none free says so and returns False without a
    // window. A SatIndex other than -1 gives a new antenna (also a reused
    // one) the satellite at that position of the satellite list and locks
    // the choice. True only when closed with OK; RecIndex then holds the
    // stored record's index.
    bool Execute(TVexaData& Data, int Index, int SatIndex);

    int RecIndex = -1;
    // The record being edited; copied over the data set's record on OK.
    TAntenaRec Rec;

    // Kind 1: the number of channels on the antenna at Index; any other kind 0.
    int Usado(int Index, int Kind) const;
    // Mode 1: -1 when the list is full, else -2 (room for a new record).
    // Mode 2: the lowest index of an antenna that no channel uses, -1 if
    // none. Any other mode -1.
    int GetNewAntena(int Mode) const;
    void SetNewData();
    // The controls into Rec; False when no satellite is chosen.
    bool GetData();

    void BitBtn1Click();    // OK
    void BitBtn3Click();    // new satellite
    void ComboBox3Change(); // positioner: the switch combos only serve a fixed dish

    QGroupBox* GroupBox2;
    QComboBox* ComboBox7;  // satellite
    QPushButton* BitBtn3;
    TEditNum* LNB_Low;
    TEditNum* LNB_High;
    QComboBox* LNB;        // LNB type
    QComboBox* ComboBox3;  // positioner
    QLabel* Label1;
    QComboBox* ComboBox1;  // DiSEqC port
    QLabel* Label2;
    QComboBox* ComboBox2;  // 0/12 V
    QLabel* Label7;
    QComboBox* ComboBox4;  // 22 kHz
    QLabel* Label8;
    QComboBox* ComboBox5;  // 14/18 V
    QGroupBox* GroupBox1;
    QLabel* Label11;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

private:
    void FormCreate();
    void LoadControls();

    TVexaData* Data = nullptr;
    QLabel* Labels[5];
};
