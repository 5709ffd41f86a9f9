#pragma once
// The channel option's presenter: turns the main list view into the channel
// list of the working set (one row per channel record, in list order), with
// its numbering modes, popup menu, deletion, and the move, group and search
// commands.
#include "windows/lists/ListPresenter.h"

#include <functional>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class ChannelListModel;

class TFChannels : public ListPresenter {
    Q_OBJECT
public:
    explicit TFChannels(QObject* parent = nullptr);
    ~TFChannels() override;

    void Start(QTreeView* listView, TVexaComm* comm, TVexaData* data) override;

    // The main window's hidden "Numerado por..." menu, which Start fills and shows.
    void SetNumberingMenu(QMenu* menu) { NumberingMenu = menu; }

    // The channel editor (see SetEditor).
    using ChannelEditor = RecordEditor;
    void SetChannelEditor(ChannelEditor editor) { SetEditor(std::move(editor)); }

    // Recounts the row numbers of the current numbering mode.
    void SetCounters();
    // The number text of a row: "-" for a row without a number.
    std::string GetItemCount(int index) const;

    void Translate();

    void Buscar1Click();
    void ClassClick(QAction* sender);

protected:
    void DeleteRecord(int index) override;
    // The numbers of the rows below an edited or added channel, and of the
    // rows behind deleted ones, change with them.
    void RecordEdited(int row) override;
    void RecordAdded() override;
    void RecordsDeleted() override;

private:
    void AddNumClass();
    void CheckLast(QAction* item);
    void BuildList();
    // The number column's texts; none while the mode is "Ninguno".
    std::function<std::string(int)> NumberText();

    QAction* NumItem = nullptr;
    std::vector<int> Numbers;
    int NumClass = 0;

    QMenu* NumberingMenu = nullptr;
    QActionGroup* NumberingGroup;
    QAction* Buscar1;
    ChannelListModel* Model;
};
