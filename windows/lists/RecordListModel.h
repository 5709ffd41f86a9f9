#pragma once
// The base of every model whose row i is record i of one record list of the
// working set. It holds no rows: a subclass builds each cell from the record
// when the view asks. Whoever reorders or deletes the records themselves
// (the row mover, the presenters) tells the views through these calls, so
// selections and the current row follow the records they belong to.
#include "windows/lists/ListColumns.h"

#include <QAbstractTableModel>

#include <functional>
#include <vector>

class QAbstractItemView;
class QItemSelectionModel;

class RecordListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // apply() reorders the records; afterwards row r shows the record that
    // was at row order[r]. order must be a permutation of 0 .. rowCount()-1.
    // One contiguous block that changes place is announced as a row move;
    // any other new order as a layout change that carries every persistent
    // index (selection, current row) along with its record.
    void Reorder(const std::vector<int>& order, const std::function<void()>& apply);

    // apply() deletes the records of rows first .. last.
    void RemoveRecords(int first, int last, const std::function<void()>& apply);

    // The records of rows first .. last changed in place.
    void RecordsChanged(int first, int last);

    // Everything may have changed: the record count, the columns, the cells.
    void Reload();

    // What sizes each column, in column order.
    virtual std::vector<ColumnFit> ColumnFits() const = 0;

protected:
    // Runs inside Reorder once the records stand in their new order.
    virtual void RecordsReordered() {}
};

// The selected rows of a whole-row selection, ascending, each once.
std::vector<int> SelectedRows(const QItemSelectionModel* selection);

// Makes exactly the given rows (ascending) the view's selection, without
// touching the current row.
void SelectRows(QAbstractItemView* view, const std::vector<int>& rows);
