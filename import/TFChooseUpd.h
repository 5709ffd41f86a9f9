#pragma once
// The update chooser: merges an imported channel list into the current one.
// It lists updates of channels the user already has and additions of the
// ones the user lacks, lets the user mark the rows to apply, and applies the
// marked rows all or nothing (see UpdateRows).
#include <QDialog>

#include <memory>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QTreeView;
class TVexaData;
struct TChannelRec;
class UpdateListModel;
class UpdateRows;

class TFChooseUpd : public QDialog {
    Q_OBJECT
public:
    explicit TFChooseUpd(QWidget* parent = nullptr);
    ~TFChooseUpd() override;

    // Builds the rows and shows the chooser modally, unless the user
    // cancelled the build. On OK the current set holds the merge; otherwise
    // it is unchanged. Incoming is only read; both sets must outlive the call.
    void Execute(TVexaData& Current, TVexaData& Incoming);
    // Applies the marked rows; True when the current set was replaced.
    bool UpdateData();
    // Fills Target, a channel of Data, from the incoming channel Source.
    bool FillChannelData(TVexaData& Data, TChannelRec& Target, bool NewRecord, const TChannelRec& Source);

    // For the difference view: the rows and the row it shows (the current row
    // when it is selected, else the first selected one; -1 for none).
    const UpdateRows& Rows() const { return *Rows_; }
    int SelectedRow() const;
    // Makes Channel the incoming channel of an update row and redraws the row.
    void SetRowIncoming(int Row, TChannelRec* Channel);

    void MarcarClick();
    void BitBtn1Click();
    void CheckBoxClick();
    void ListDblClick();

    QTreeView* List;
    QGroupBox* GroupBox1;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;
    QPushButton* BitBtn4;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Rebuilds the rows from the check boxes and shows them; False when the
    // user cancelled the build.
    bool BuildList();

    std::unique_ptr<UpdateRows> Rows_;
    UpdateListModel* Model;
};
