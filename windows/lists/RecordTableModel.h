#pragma once
// A record list as the main list view shows it, described by a table of
// columns: row i is record i of one list of the working set, and each cell
// is built from the record when the view asks. The satellite, antenna and
// transponder lists are such tables; every row shows the list's one picture.
#include "windows/lists/RecordListModel.h"

#include <QIcon>
#include <QString>

#include <initializer_list>
#include <string>
#include <vector>

class TVexaData;

// The language texts of the given numbers: the widest texts of a column
// that shows one of them.
QStringList LangTexts(std::initializer_list<int> numbers);

class RecordTableModel : public RecordListModel {
    Q_OBJECT
public:
    struct Column {
        int Caption; // language text number
        int Width;   // pixels, the least the column gets
        std::string (*Cell)(const TVexaData& data, int row);
        // The widest texts a cell can hold; without it every row's own cell
        // is measured (for lists of a few dozen records).
        QStringList (*Widest)(const TVexaData& data) = nullptr;
    };

    RecordTableModel(std::vector<Column> columns, int (*count)(const TVexaData& data), QIcon icon,
                     QObject* parent = nullptr);

    // Shows the records of data (not owned), with the column captions
    // fetched anew; everything the view showed before is dropped.
    void Rebuild(TVexaData* data);
    std::vector<ColumnFit> ColumnFits() const override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<Column> Columns;
    int (*Count)(const TVexaData& data);
    QIcon Icon;
    TVexaData* Data = nullptr;
    std::vector<QString> Captions;
};
