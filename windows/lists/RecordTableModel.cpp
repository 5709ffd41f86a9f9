#include "windows/lists/RecordTableModel.h"

#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"

QStringList LangTexts(std::initializer_list<int> numbers)
{
    QStringList texts;
    for (int n : numbers)
        texts << ToQt(LangText(n));
    return texts;
}

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

std::vector<ColumnFit> RecordTableModel::ColumnFits() const
{
    std::vector<ColumnFit> fits;
    for (const Column& column : Columns) {
        ColumnFit fit{column.Caption, column.Width};
        fit.Decorated = fits.empty();
        if (Data && column.Widest) {
            fit.Samples = column.Widest(*Data);
        } else if (Data) {
            for (int r = 0; r < rowCount(); ++r)
                fit.Samples << ToQt(column.Cell(*Data, r));
        }
        fits.push_back(std::move(fit));
    }
    return fits;
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
