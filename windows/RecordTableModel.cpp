#include "windows/RecordTableModel.h"

#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"

RecordTableModel::RecordTableModel(std::vector<Column> columns, int (*count)(const TVexaData& data), QIcon icon,
                                   QObject* parent)
    : RecordListModel(parent)
    , Columns(std::move(columns))
    , Count(count)
    , Icon(std::move(icon))
{
    Rebuild(nullptr);
}

void RecordTableModel::Rebuild(TVexaData* data)
{
    beginResetModel();
    Data = data;
    Captions.clear();
    for (const Column& column : Columns)
        Captions.push_back(ToQt(LangText(column.Caption)));
    endResetModel();
}

int RecordTableModel::ColumnWidth(int column) const
{
    return column >= 0 && column < columnCount() ? Columns[static_cast<size_t>(column)].Width : 0;
}

int RecordTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !Data ? 0 : Count(*Data);
}

int RecordTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(Columns.size());
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (role == Qt::DisplayRole)
        return ToQt(Columns[static_cast<size_t>(index.column())].Cell(*Data, index.row()));
    if (role == Qt::DecorationRole && index.column() == 0)
        return Icon;
    return {};
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return {};
    return Captions[static_cast<size_t>(section)];
}
