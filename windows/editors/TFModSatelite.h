#pragma once
// The satellite editor: creates or edits one satellite record of a data set
// (name, LNB oscillators and type, orbital position, DiSEqC 1.2 and antenna
// offset) and tells how many channels use it.
//
// Nothing is written to the data set before OK, and a field the user leaves
// alone gives back exactly what it held: the position too, when it lies
// beyond what can be typed (above 180.0 degrees).
#include <QDialog>

#include "database/VexaRecords.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class TEditNum;
class TVexaData;

class TFModSatelite : public QDialog {
    Q_OBJECT

public:
    explicit TFModSatelite(QWidget* parent = nullptr);

    // Runs the dialog for the satellite at Index, or for a new one when Index
    // is -1. With the list full, a new satellite reuses the lowest-numbered
    // one without transponders and channels, else the lowest-numbered one
    // without channels, shown with its old data; with none free it says so
    // and returns False without a window. True only when closed with OK;
    // RecIndex then holds the stored record's index.
    bool Execute(TVexaData& Data, int Index);

    int RecIndex = -1;
    // The record being edited; copied over the data set's record on OK.
    TSateliteRec Rec;

    // Kind 4: the transponders of the satellite at Index; kind 1: its
    // channels; any other kind 0.
    int Usado(int Index, int Kind) const;
    // Mode 1: -1 when the list is full, else -2 (room for a new record).
    // Mode 2: the lowest index of a satellite with no transponder and no
    // channel; mode 3: with no channel; -1 when none. Other modes -1.
    int GetNewSat(int Mode) const;
    void SetNewData();
    void GetData();

    void BitBtn1Click(); // OK
    void Diseq_1_2Click();
    void SpinButton1DownClick();
    void SpinButton1UpClick();

    QLineEdit* Nombre;
    TEditNum* LNB_Low;
    TEditNum* LNB_High;
    QComboBox* LNB;
    QGroupBox* GroupBox1;
    QLineEdit* Grados;     // degrees, 0.0 to 180.0, always with a point
    QComboBox* Orientacion;
    QGroupBox* GroupBox2;
    QCheckBox* Diseq_1_2;
    QLabel* Label7;
    QWidget* SpinButton1;  // the up and down arrows of the offset
    QToolButton* SpinButton1Up;
    QToolButton* SpinButton1Down;
    QLabel* Label8;        // the offset
    QGroupBox* GroupBox3;
    QLabel* Label9;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

private:
    void FormCreate();
    void LoadControls();

    TVexaData* Data = nullptr;
    // True once the user has changed the position: until then OK keeps the
    // stored position, whatever the field can show.
    bool GradosEdited = false;
    QLabel* Labels[6];
};
