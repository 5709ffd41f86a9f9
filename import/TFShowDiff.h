#pragma once
// One row of the update chooser in detail: the current channel beside the
// incoming one for an update, the incoming channel alone for an addition.
// For an update the user may pick which of the alike incoming channels (same
// satellite, same name) the row applies.
#include <QDialog>

#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class TFChooseUpd;
class TVexaData;
struct TChannelRec;

class TFShowDiff : public QDialog {
    Q_OBJECT
public:
    static constexpr int kLines = 9;

    explicit TFShowDiff(QWidget* parent = nullptr);

    // Shows the chooser's selected row modally; nothing when none is selected.
    void Execute(TFChooseUpd* Chooser);

    void BuildAllChannels();
    void GetChannelShow();
    void ComboBox1Change();
    void BitBtn1Click();

    QLabel* Label1;  // "Canal Original"
    QLabel* Label2;  // "Canal Actualizado"
    QLabel* Left[kLines];
    QLabel* Right[kLines];
    QLabel* ImageTV;
    QLabel* ImageRadio;
    QComboBox* ComboBox1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

private:
    void FormCreate();
    void ShowChannel(QLabel* const (&lines)[kLines], const TVexaData& data, const TChannelRec& channel);

    TFChooseUpd* Chooser = nullptr;
    int Row = -1;
    TChannelRec* Incoming = nullptr; // the row's incoming channel
    TChannelRec* Matched = nullptr;  // the current channel; nullptr for an addition
    TChannelRec* Shown = nullptr;    // the incoming channel on the right
    std::vector<TChannelRec*> Choices; // the channel of each combo item
};
