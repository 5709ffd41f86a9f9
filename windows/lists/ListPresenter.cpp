#include "windows/lists/ListPresenter.h"

#include "database/TVexaData.h"
#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "windows/lists/ListColumns.h"
#include "windows/lists/RecordListModel.h"
#include "windows/lists/TFMover.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QTreeView>

ListPresenter::ListPresenter(QObject* parent, const Texts& texts)
    : TPresenter(parent)
    , PopupMenu(new QMenu)
    , Text(texts)
    , Sizes(new ListColumns(this))
{
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    auto item = [this](const char* name, void (ListPresenter::*handler)()) {
        return AddCommand(name, [this, handler] { (this->*handler)(); });
    };
    CrearNuevoCanal1 = item("CrearNuevoCanal1", &ListPresenter::CrearNuevoCanal1Click);
    BorrarCanal1 = item("BorrarCanal1", &ListPresenter::BorrarCanal1Click);
    MoverCanal1 = item("MoverCanal1", &ListPresenter::MoverCanal1Click);
    AgruparCanales1 = item("AgruparCanales1", &ListPresenter::AgruparCanales1Click);
    connect(PopupMenu, &QMenu::aboutToShow, this, &ListPresenter::PopupMenuPopup);
}

ListPresenter::~ListPresenter()
{
    delete PopupMenu;
}

QAction* ListPresenter::AddCommand(const char* name, const std::function<void()>& handler)
{
    QAction* action = PopupMenu->addAction(QString());
    action->setObjectName(QLatin1String(name));
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void ListPresenter::TranslateCommands()
{
    CrearNuevoCanal1->setText(ToQt(LangText(Text.Create)));
    BorrarCanal1->setText(ToQt(LangText(Text.DeleteOne)));
    MoverCanal1->setText(ToQt(LangText(Text.MoveOne)));
    AgruparCanales1->setText(ToQt(LangText(Text.Group)));
}

void ListPresenter::ShowList()
{
    if (ListView->model() != ListModel) {
        // The view makes a fresh selection model for every model it is given;
        // the one it drops would keep listening to its old model.
        QItemSelectionModel* old = ListView->selectionModel();
        ListView->setModel(ListModel);
        if (old && old != ListView->selectionModel() && old->parent() == ListView)
            old->deleteLater();
    }
    ListView->setRootIsDecorated(false);
    ListView->setUniformRowHeights(true);
    ListView->setItemsExpandable(false);
    ListView->setSortingEnabled(false);
    ListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView->setAllColumnsShowFocus(true);
    ListView->setIconSize(QSize(16, 16));
    FitColumns();

    ListView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView, &QWidget::customContextMenuRequested, this, &ListPresenter::ShowPopup,
            Qt::UniqueConnection);
    connect(ListView, &QAbstractItemView::doubleClicked, this, &ListPresenter::ListViewDblClick,
            Qt::UniqueConnection);
    ListView->installEventFilter(this);
}

void ListPresenter::FitColumns()
{
    if (ListView && ListModel && ListView->model() == ListModel)
        Sizes->Fit(ListView, ListModel->ColumnFits());
}

bool ListPresenter::Driving() const
{
    return ListView && ListModel && ListView->model() == ListModel && Data;
}

QWidget* ListPresenter::EditorParent() const
{
    return ListView ? ListView->window() : nullptr;
}

void ListPresenter::ShowPopup(const QPoint& pos)
{
    if (Driving())
        PopupMenu->popup(ListView->viewport()->mapToGlobal(pos));
}

bool ListPresenter::eventFilter(QObject* watched, QEvent* event)
{
    // The filter stays on the view after another presenter takes it over;
    // it acts only while the view shows this presenter's list.
    if (watched == ListView && event->type() == QEvent::KeyPress && Driving()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete) {
            BorrarCanal1Click();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ListViewDblClick();
            return true;
        }
    }
    return TPresenter::eventFilter(watched, event);
}

void ListPresenter::PopupMenuPopup()
{
    AgruparCanales1->setVisible(false);
    const std::vector<int> rows = Driving() ? SelectedRows(ListView->selectionModel()) : std::vector<int>{};
    const bool any = !rows.empty();
    BorrarCanal1->setVisible(any);
    MoverCanal1->setVisible(any);
    if (!any)
        return;
    const bool several = rows.size() > 1;
    BorrarCanal1->setText(ToQt(LangText(several ? Text.DeleteMany : Text.DeleteOne)));
    MoverCanal1->setText(ToQt(LangText(several ? Text.MoveMany : Text.MoveOne)));
    // Grouping is offered only for a selection with gaps in it.
    AgruparCanales1->setVisible(rows.back() - rows.front() + 1 != static_cast<int>(rows.size()));
}

void ListPresenter::RecordEdited(int)
{
    ListModel->RecordsChanged(0, ListModel->rowCount() - 1);
}

void ListPresenter::ListViewDblClick()
{
    if (!Driving())
        return;
    const std::vector<int> rows = SelectedRows(ListView->selectionModel());
    if (rows.empty())
        return;
    if (rows.size() > 1) {
        ShowError(LangText(Text.EditRefused));
        return;
    }
    int recIndex = -1;
    if (Editor && Editor(*Data, rows.front(), recIndex)) {
        RecordEdited(rows.front());
        FitColumns();
    }
}

void ListPresenter::CrearNuevoCanal1Click()
{
    if (!Driving())
        return;
    int recIndex = -1;
    if (!Editor || !Editor(*Data, -1, recIndex))
        return;
    // The editor either appended a record or reused one of a full list.
    ListModel->Reload();
    RecordAdded();
    FitColumns();
    ListView->selectionModel()->clear();
    if (recIndex < 0 || recIndex >= ListModel->rowCount())
        return;
    const QModelIndex row = ListModel->index(recIndex, 0);
    ListView->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    ListView->scrollTo(row, QAbstractItemView::EnsureVisible);
}

void ListPresenter::BorrarCanal1Click()
{
    if (!Driving())
        return;
    const std::vector<int> rows = SelectedRows(ListView->selectionModel());
    if (rows.empty())
        return;
    const int n = static_cast<int>(rows.size());
    if (!Confirm(n == 1 ? LangText(Text.AskOne) : WithCount(LangText(Text.AskMany), n)))
        return;
    ListView->selectionModel()->clearSelection();
    // From the last run of rows to the first, so the rows still to be
    // deleted keep their indexes while the records behind them shift.
    for (int end = n - 1; end >= 0;) {
        int begin = end;
        while (begin > 0 && rows[begin - 1] == rows[begin] - 1)
            --begin;
        const int first = rows[begin], last = rows[end];
        ListModel->RemoveRecords(first, last, [&] {
            for (int i = last; i >= first; --i)
                DeleteRecord(i);
        });
        end = begin - 1;
    }
    RecordsDeleted();
}

void ListPresenter::MoverCanal1Click()
{
    if (!Driving())
        return;
    TFMover mover(ListView->window());
    mover.Execute(ListView, Data);
}

void ListPresenter::AgruparCanales1Click()
{
    if (!Driving())
        return;
    TFMover mover(ListView->window());
    mover.Inicia(ListView, Data);
    mover.Agrupa();
}
