#pragma once
// The channel editor: creates or edits one channel record of a data set on
// four pages -- where it is received (satellite, antenna, transponder), its
// service id and PIDs, its lock and scrambled flags, and the favourites lists
// it belongs to.
//
// Nothing of the channel is written before OK. Satellites, antennas and
// transponders made with the "Nuevo" buttons are added at once and stay,
// whatever the user then answers.
#include <QDialog>

#include "database/VexaRecords.h"

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class TEditNum;
class TVexaData;

class TFModCanal : public QDialog {
    Q_OBJECT

public:
    explicit TFModCanal(QWidget* parent = nullptr);

    // Runs the dialog for the channel at Index, or for a new one when Index
    // is -1; with the list full (2500 channels) it says so and returns False
    // without a window. True only when closed with OK; RecIndex then holds
    // the stored record's index.
    bool Execute(TVexaData& Data, int Index);

    int RecIndex = -1;
    // The record being edited; copied over the data set's record on OK.
    TChannelRec Rec;
    // Set while the controls are being filled or refilled: the change
    // handlers then do nothing.
    bool Reloading = false;

    // -2 while the list has room, else -1.
    int GetNewChannel() const;
    void SetNewData();
    // The controls into Rec; False unless satellite, antenna and transponder
    // are all chosen.
    bool GetData();
    // Refills the three location combos from Rec and updates what depends
    // on the choice: the usage label and the "Nuevo" buttons.
    void ReloadCombos();

    void BitBtn1Click();      // OK
    void ComboBox1Change();   // type picture
    void ComboBox7Change();   // satellite chosen
    void ComboBoxChange();    // antenna or transponder chosen
    void BitBtn3Click();      // new satellite
    void BitBtn5Click();      // new antenna
    void BitBtn4Click();      // new transponder
    void BitBtn6Click();      // channels on the same transponder

    QComboBox* ComboBox1; // TV or radio
    QLabel* Image1;
    QLabel* Image2;
    QLineEdit* Edit1;
    QTabWidget* PageControl1;
    QComboBox* ComboBox7; // satellite
    QComboBox* ComboBox3; // antenna
    QComboBox* ComboBox2; // transponder
    QPushButton* BitBtn3;
    QPushButton* BitBtn5;
    QPushButton* BitBtn4;
    TEditNum* EditNum5; // service id
    TEditNum* EditNum1; // video PID
    TEditNum* EditNum2; // audio PID
    TEditNum* EditNum3; // PCR PID
    TEditNum* EditNum4; // teletext PID
    QCheckBox* CheckBox1; // locked
    QCheckBox* CheckBox2; // scrambled
    QLabel* Label3;
    // Favourites lists 1 to 8.
    QCheckBox* Favourites[8];
    QGroupBox* GroupBox1;
    QLabel* Label11;
    QPushButton* BitBtn6;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

private:
    void FormCreate();
    // The transponder the location page shows, or none.
    TTransponderRec* ChosenTransponder() const;
    // The satellite chosen, as its position in the satellite list; -1 for none.
    int ChosenSatIndex() const;
    // change() on Rec as the controls have it, then the combos refilled from
    // it; no change handler runs meanwhile.
    void Refill(const std::function<void()>& change);

    TVexaData* Data = nullptr;
    QLabel* Labels[10];
};
