#pragma once
// The add-channel wizard: from a satellite, the tuning data of a transponder
// and the channel's own data it adds a channel, or updates the one that
// already goes by that name on that satellite, finds or adds the antenna and
// transponder the channel needs, and then opens the channel editor so that the
// user can finish it.
//
// Everything happens on a private copy of the caller's data set (WorkData),
// which replaces the caller's set only when the channel editor is confirmed.
// A "Continuar" that cannot be carried out changes nothing at all: every
// capacity is checked before the first record is touched.
#include <QDialog>

#include <functional>

#include "database/TVexaData.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TEditNum;

class TFAddModCanal : public QDialog {
    Q_OBJECT

public:
    explicit TFAddModCanal(QWidget* parent = nullptr);

    // Runs the whole wizard against Data; Data changes only when the channel
    // editor that follows a successful "Continuar" ends with OK.
    void Execute(TVexaData& Data);

    // The channel editor run on the result: edits channel index of data and
    // returns true when the user saved, with recIndex the stored record's
    // index. The real editor unless replaced.
    using ChannelEditor = std::function<bool(TVexaData& data, int index, int& recIndex)>;
    void SetChannelEditor(ChannelEditor editor) { Editor = std::move(editor); }

    // "Continuar" is enabled exactly while satellite, frequency, symbol rate,
    // polarisation, type and name are all given.
    void CheckClick();
    void BitBtn3Click(); // new satellite
    void BitBtn1Click(); // continue
    // Writes the typed channel over channel Index of WorkData, or over a new
    // one when Index is -1, with its antenna and transponder found or added.
    // False, with a message and WorkData untouched, when a list has no room.
    bool CrearMoficiarCanal(int Index);

    TVexaData WorkData;
    // The channel made or updated by the last successful "Continuar".
    int RecIndex = -1;

    QLabel* Label1;
    QLabel* Label10;
    QComboBox* ComboBox7; // satellite
    QPushButton* BitBtn3;
    QLabel* Label2;
    TEditNum* EditNum1;   // frequency
    QComboBox* ComboBox1; // polarisation
    TEditNum* EditNum2;   // symbol rate
    QLabel* Label6;
    QLineEdit* Edit1;     // name
    QComboBox* ComboBox2; // TV or radio
    TEditNum* EditNum7;   // service id
    TEditNum* EditNum6;   // video PID
    TEditNum* EditNum5;   // audio PID
    TEditNum* EditNum3;   // PCR PID
    TEditNum* EditNum4;   // teletext PID
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void FormCreate();
    TSateliteRec* ChosenSatelite() const;
    bool Ready() const;

    ChannelEditor Editor;
    QLabel* Labels[10];
};
