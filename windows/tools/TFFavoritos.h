#pragma once
// The favourites organiser: edits the eight favourites lists of the channels,
// one list and one type (TV or radio) at a time, on a private copy of the data
// set. Two presentations: the list's members with a picker beside the dialog
// to add channels from (double click, Enter or dragging either way), or every
// channel of the type with a picture per row that marks membership. Only the
// favourites lists go back to the caller's data, and only on OK.
#include <QDialog>

#include <memory>
#include <string>
#include <vector>

class QAction;
class QButtonGroup;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QMimeData;
class QPushButton;
class QRadioButton;
class QTreeView;
class TFShrChn;
class TL7Segment;
class TVexaData;
class FavouritesModel;
class FavouritesView;
class ListColumns;

// Where the picker goes beside the organiser, all in global coordinates:
// screen the available area, organiser its frame, picker the picker's frame
// size, buttons the organiser's OK and Cancel. Side by side where there is
// room, the organiser moved as little as that needs; on a screen too narrow
// for both, over the organiser's list but clear of its buttons. The picker
// belongs to the organiser and stays above it, so the organiser never
// covers the picker's button.
struct PickerPlace {
    QPoint Organiser; // the organiser frame's new top-left
    QRect Picker;     // the picker's frame
};
PickerPlace PlacePicker(const QRect& screen, const QRect& organiser, const QSize& picker, const QRect& buttons);

class TFFavoritos : public QDialog {
    Q_OBJECT
public:
    explicit TFFavoritos(QWidget* parent = nullptr);
    ~TFFavoritos() override;

    // Runs the organiser modally on a copy of data. On OK the favourites
    // lists of data's channels take the copy's and the result is true; on
    // Cancel data is untouched.
    bool Execute(TVexaData& Data);

    // The current group (0 to 7), type (0 TV, 1 radio) and mode (0 the
    // group's channels and the picker, 1 every channel with its mark).
    int Group() const;
    int Type() const;
    int Mode() const;

    // Where row's membership picture lies in Lista's viewport (mode 1); an
    // empty rectangle in mode 0.
    QRect StatePictureRect(int row) const;

    // The payload of a drag out of Lista or the picker's list, and which of
    // the two (1 Lista, 2 the picker) a payload came from: 0 for anything
    // that is not a drag of this organiser's rows.
    QMimeData* DragData(const QTreeView* view) const;
    int DragSource(const QMimeData* data) const;

    void ComboBox1Change();
    void ComboBox2Change();
    void RadioGroup1Click();
    bool ListaMouseDown(const QPoint& pos);
    bool ListaKeyDown(int key);
    bool ListaDragOver(const QMimeData* data) const;
    void ListaDragDrop();
    void PopupMenuPopup();
    void AadirCanal1Click();
    void BorrarCanal1Click();
    void Buscar1Click();
    void Imprimir1Click();
    void ListaExtDblClick();
    bool ListaExtKeyDown(int key);
    bool ListaExtDragOver(const QMimeData* data) const;
    void ListaExtDragDrop();

    QLabel* Label1;
    QComboBox* ComboBox1;
    QFrame* Panel1;
    TL7Segment* L7Segment1;
    QLabel* Label2;
    QComboBox* ComboBox2;
    QLabel* Image1; // TV
    QLabel* Image2; // radio
    FavouritesView* Lista;
    QGroupBox* RadioGroup1;
    QRadioButton* RadioButton0;
    QRadioButton* RadioButton1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QMenu* PopupMenu;
    QAction* AadirCanal1;
    QAction* BorrarCanal1;
    QAction* Buscar1;
    QAction* Imprimir1;
    TFShrChn* Picker; // lives as long as the organiser, shown beside it

private:
    void FillList();
    void FillShrChnList();
    void CreateList();
    void BuildLista();
    void BorraCanales();
    void AddPickedChannels();
    void ToggleRows(const std::vector<int>& rows);
    // Hides the picker and lets go of every channel it shows: it reads the
    // working copy, which may be replaced or freed next.
    void ClosePicker();

    TVexaData* Data = nullptr;
    std::unique_ptr<TVexaData> WorkData;
    FavouritesModel* Model;
    ListColumns* ListaColumns;
    QButtonGroup* Modes;
};
