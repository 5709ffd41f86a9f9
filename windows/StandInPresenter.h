#pragma once
// The presenter of a record list whose own presenter is not in the program
// yet: it leaves the main list view empty, with no columns and no popup menu.
#include "windows/TPresenter.h"

class QStandardItemModel;

class StandInPresenter : public TPresenter {
    Q_OBJECT

public:
    explicit StandInPresenter(QObject* parent = nullptr);
    void Start(QTreeView* listView, TVexaComm* comm, TVexaData* data) override;

private:
    QStandardItemModel* Model;
};
