#pragma once
// The search dialog: lists, live, every row of a list view whose caption
// holds the typed text, whatever the case of its letters; a double click on
// a result selects that row alone in the searched view and closes.
#include <QDialog>

#include <string>
#include <vector>

class QAbstractItemView;
class QLabel;
class QLineEdit;
class QTreeView;
class BuscarResults;
class ListColumns;

class TFBuscar : public QDialog {
    Q_OBJECT
public:
    explicit TFBuscar(QWidget* parent = nullptr);

    // Searches sourceView under the given caption and shows the dialog
    // modally. numbered: the source's rows carry a number in their first
    // sub-item, so the second result column shows the second sub-item.
    int Execute(QAbstractItemView* sourceView, const std::string& caption, bool numbered);

    void Edit1Change();
    void ListViewDblClick();

private:
    friend class BuscarResults;

    void FitColumns();

    QLabel* Label1;
    QLineEdit* Edit1;
    QTreeView* ListView;
    BuscarResults* Results;
    ListColumns* Sizes;

    QAbstractItemView* SourceView = nullptr;
    std::vector<int> Matches; // rows of SourceView, ascending
    int SubItemIndex = 0;
};
