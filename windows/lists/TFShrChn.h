#pragma once
// The channel picker: a list of channel records that its caller chooses,
// with the channel list's columns, a search command and one button. Used
// modally (channels of a transponder; "must select one" for a choice) and
// modelessly beside another window.
#include <QDialog>

#include <vector>

class QAction;
class QMenu;
class QPushButton;
class QTreeView;
class TVexaData;
struct TChannelRec;
struct TTransponderRec;
class ChannelPickerModel;
class ListColumns;

class TFShrChn : public QDialog {
    Q_OBJECT
public:
    explicit TFShrChn(QWidget* parent = nullptr);

    // Row i shows ChnList[i]. The records are not owned: they belong to a
    // data set, or to the caller for as long as the picker shows them.
    // Callers may fill the list themselves and then call BuildLista.
    std::vector<TChannelRec*> ChnList;
    TVexaData* Data = nullptr;

    // Lists, in channel-list order, every channel of data on transponder.
    // A channel whose transponder is missing counts as on the default one.
    void ExecuteChn(TVexaData* data, const TTransponderRec* transponder);
    // Shows ChnList anew.
    void BuildLista();
    // The button stays disabled while no row is selected.
    void MustSelectOne();
    // For use beside another window: the button hides the picker, which
    // stays alive.
    void SetClose();

    void ListaCanClick();
    void BitBtn1Click();
    void Buscar1Click();

    QTreeView* ListaCan;
    QPushButton* BitBtn1;
    QMenu* PopupMenu;
    QAction* Buscar1;

private:
    ChannelPickerModel* Model;
    ListColumns* Sizes;
};
