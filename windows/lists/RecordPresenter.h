#pragma once
// What the satellite, antenna and transponder presenters share: their list
// is a table of columns over one record list of the working set, and the
// list's commands are those of every record list. Each list supplies its
// columns, texts, editor and deletion cascade.
#include "windows/lists/ListPresenter.h"
#include "windows/lists/RecordTableModel.h"

#include <vector>

class RecordPresenter : public ListPresenter {
    Q_OBJECT
public:
    ~RecordPresenter() override;

    void Start(QTreeView* listView, TVexaComm* comm, TVexaData* data) override;

    void Translate();

protected:
    RecordPresenter(QObject* parent, const Texts& texts, std::vector<RecordTableModel::Column> columns,
                    int (*count)(const TVexaData& data), const QIcon& icon);

private:
    RecordTableModel* Model;
};
