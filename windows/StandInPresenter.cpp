#include "windows/StandInPresenter.h"

#include <QStandardItemModel>
#include <QTreeView>

StandInPresenter::StandInPresenter(QObject* parent)
    : TPresenter(parent), Model(new QStandardItemModel(0, 0, this))
{
}

void StandInPresenter::Start(QTreeView* listView, TVexaComm*, TVexaData*)
{
    listView->setContextMenuPolicy(Qt::NoContextMenu);
    listView->setModel(Model);
}
