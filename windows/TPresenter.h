#pragma once
// A presenter takes over the main window's one list view for its record list.
// The main window calls Start when its option is chosen and again after every
// language change.
//
// How a presenter shares the list view with the others:
// - Start sets the view's model (a model the presenter owns), its columns,
//   its popup menu (Qt::CustomContextMenu) and its handlers. Every connection
//   it makes to the view or to the view's selection model uses the presenter
//   itself as the receiver/context object, so that the main window can drop
//   them all with QObject::disconnect(view, nullptr, presenter, nullptr)
//   (and the same for the selection model) before another presenter starts.
// - The view's dynamic property "Tag" (int) holds the option number of the
//   record list it shows (1 channels, 2 satellites, 3 antennas,
//   4 transponders, 5 tools); the row mover reads it.
#include <QObject>

class QTreeView;
class TVexaComm;
class TVexaData;

class TPresenter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TPresenter() override = default;
    virtual void Start(QTreeView* listView, TVexaComm* comm, TVexaData* data) = 0;
};
