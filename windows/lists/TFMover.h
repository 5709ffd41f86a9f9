#pragma once
// The row mover: reorders the records behind the selected rows of a record
// list view (channels, satellites, antennas or transponders, as the view's
// "Tag" property says), so the order shown is the order saved and sent.
// Three uses: the small up/close/down dialog (Execute), grouping the
// selection behind its first row (Agrupa) and dropping the selection on a
// row (MoveDrop); the last two show no window.
#include <QDialog>

#include <vector>

class QAbstractItemView;
class QPushButton;
class TVexaData;

class TFMover : public QDialog {
    Q_OBJECT
public:
    explicit TFMover(QWidget* parent = nullptr);

    // Binds the view whose selected rows move and the data set whose records move.
    void Inicia(QAbstractItemView* listView, TVexaData* data);
    // Inicia, then shows the dialog modally.
    int Execute(QAbstractItemView* listView, TVexaData* data);

    // Moves every selected row by distance places (negative: towards the
    // top), keeping the gaps between them; nothing when a row would leave
    // the list.
    void Mueve(int distance);
    // Gathers the selected rows directly behind the first selected row, in
    // their order; the rows left out keep theirs and follow the group.
    void Agrupa();
    // Moves the selection to the drop target row (-1: none). A drop above
    // the selection puts its first row on the target, a drop below a
    // contiguous selection its last row. Nothing when a row would leave the
    // list.
    void MoveDrop(int target);

    void BMenosClick();
    void BMasClick();

private:
    void Monta();
    void Organiza();
    void UpdateItems();
    // Applies the single-record moves (from, to) in order to the records and
    // tells the view, then selects newSelection (ascending) and puts the
    // focus mark on its first row.
    void Swapea(const std::vector<std::pair<int, int>>& moves, const std::vector<int>& newSelection);

    QAbstractItemView* ListView = nullptr;
    TVexaData* Data = nullptr;
    int LastSel = -1;
    int FirstSel = 0;

    QPushButton* BMenos;
    QPushButton* BitBtn1;
    QPushButton* BMas;
};
