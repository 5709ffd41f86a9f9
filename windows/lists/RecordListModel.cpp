#include "windows/lists/RecordListModel.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace {

// When order only rotates the rows first .. last, that is one contiguous
// block [blockFirst, last] changing place with the rows before it, returns
// true and the block.
bool OneBlockMoved(const std::vector<int>& order, int& first, int& last, int& blockFirst)
{
    const int n = static_cast<int>(order.size());
    first = 0;
    while (first < n && order[first] == first)
        ++first;
    if (first == n)
        return false;
    last = n - 1;
    while (order[last] == last)
        --last;
    blockFirst = order[first];
    if (blockFirst <= first || blockFirst > last)
        return false;
    int r = first;
    for (int v = blockFirst; v <= last; ++v, ++r)
        if (order[r] != v)
            return false;
    for (int v = first; v < blockFirst; ++v, ++r)
        if (order[r] != v)
            return false;
    return true;
}

} // namespace

void RecordListModel::Reorder(const std::vector<int>& order, const std::function<void()>& apply)
{
    const int n = rowCount();
    if (static_cast<int>(order.size()) != n) {
        beginResetModel();
        apply();
        RecordsReordered();
        endResetModel();
        return;
    }
    int first = 0, last = 0, blockFirst = 0;
    if (OneBlockMoved(order, first, last, blockFirst)) {
        // Rows blockFirst .. last now stand from first on; announce whichever
        // of the two blocks that trade places is the smaller one.
        bool ok;
        if (last - blockFirst <= blockFirst - 1 - first)
            ok = beginMoveRows({}, blockFirst, last, {}, first);
        else
            ok = beginMoveRows({}, first, blockFirst - 1, {}, last + 1);
        apply();
        RecordsReordered();
        if (ok)
            endMoveRows();
        return;
    }
    bool changed = false;
    for (int r = 0; r < n && !changed; ++r)
        changed = order[r] != r;
    if (!changed) {
        apply();
        RecordsReordered();
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList from = persistentIndexList();
    apply();
    RecordsReordered();
    std::vector<int> newRowOf(n);
    for (int r = 0; r < n; ++r)
        newRowOf[order[r]] = r;
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& i : from)
        to.append(index(newRowOf[i.row()], i.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RecordListModel::RemoveRecords(int first, int last, const std::function<void()>& apply)
{
    beginRemoveRows({}, first, last);
    apply();
    endRemoveRows();
}

void RecordListModel::RecordsChanged(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, rowCount() - 1);
    if (first <= last && columnCount() > 0)
        emit dataChanged(index(first, 0), index(last, columnCount() - 1));
}

void RecordListModel::Reload()
{
    beginResetModel();
    endResetModel();
}

std::vector<int> SelectedRows(const QItemSelectionModel* selection)
{
    std::vector<int> rows;
    if (!selection || !selection->model())
        return rows;
    const int n = selection->model()->rowCount();
    std::vector<char> marked(n, 0);
    for (const QItemSelectionRange& range : selection->selection())
        for (int r = std::max(range.top(), 0); r <= range.bottom() && r < n; ++r)
            marked[r] = 1;
    for (int r = 0; r < n; ++r)
        if (marked[r])
            rows.push_back(r);
    return rows;
}

void SelectRows(QAbstractItemView* view, const std::vector<int>& rows)
{
    QAbstractItemModel* model = view->model();
    QItemSelection selection;
    const int lastColumn = std::max(model->columnCount() - 1, 0);
    for (size_t i = 0; i < rows.size();) {
        size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        selection.append(QItemSelectionRange(model->index(rows[i], 0), model->index(rows[j], lastColumn)));
        i = j + 1;
    }
    view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}
