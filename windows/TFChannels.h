#pragma once
// The channel option's presenter: turns the main list view into the channel
// list of the working set (one row per channel record, in list order), with
// its numbering modes, popup menu, deletion, and the move, group and search
// commands.
#include "windows/TPresenter.h"

#include <functional>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class QPoint;
class ChannelListModel;

class TFChannels : public TPresenter {
    Q_OBJECT
public:
    explicit TFChannels(QObject* parent = nullptr);
    ~TFChannels() override;

    void Start(QTreeView* listView, TVexaComm* comm, TVexaData* data) override;

    // The main window's hidden "Numerado por..." menu, which Start fills and shows.
    void SetNumberingMenu(QMenu* menu) { NumberingMenu = menu; }

    // The channel editor: edits channel index of data (-1 creates one) and
    // returns true when the user saved, with recIndex the stored record's
    // index. Without one, edit and create do nothing.
    using ChannelEditor = std::function<bool(TVexaData& data, int index, int& recIndex)>;
    void SetChannelEditor(ChannelEditor editor) { Editor = std::move(editor); }

    // Recounts the row numbers of the current numbering mode.
    void SetCounters();
    // The number text of a row: "-" for a row without a number.
    std::string GetItemCount(int index) const;

    void Translate();

    void ListViewDblClick();
    void PopupMenuPopup();
    void CrearNuevoCanal1Click();
    void BorrarCanal1Click();
    void MoverCanal1Click();
    void AgruparCanales1Click();
    void Buscar1Click();
    void ClassClick(QAction* sender);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AddNumClass();
    void CheckLast(QAction* item);
    void BuildList();
    // The number column's texts; none while the mode is "Ninguno".
    std::function<std::string(int)> NumberText();
    void ShowPopup(const QPoint& pos);
    bool Driving() const;

    QTreeView* ListView = nullptr;
    TVexaComm* Comm = nullptr;
    TVexaData* Data = nullptr;
    QAction* NumItem = nullptr;
    std::vector<int> Numbers;
    int NumClass = 0;

    QMenu* NumberingMenu = nullptr;
    QActionGroup* NumberingGroup;
    QMenu* PopupMenu;
    QAction* CrearNuevoCanal1;
    QAction* BorrarCanal1;
    QAction* MoverCanal1;
    QAction* AgruparCanales1;
    QAction* Buscar1;
    ChannelListModel* Model;
    ChannelEditor Editor;
};
