#include "windows/RecordPresenter.h"

#include "database/TVexaData.h"
#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "windows/TFMover.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QTreeView>

#include <algorithm>

namespace {

// The count of a question: only "%d" is replaced, so a language file's
// stray "%" can never reach a format function.
std::string WithCount(std::string text, int count)
{
    const auto at = text.find("%d");
    if (at != std::string::npos)
        text.replace(at, 2, std::to_string(count));
    return text;
}

} // namespace

void FitColumnWidths(QTreeView* view, const std::function<int(int column)>& width)
{
    QHeaderView* header = view->header();
    const int columns = view->model() ? view->model()->columnCount() : 0;
    for (int c = 0; c < columns; ++c)
        header->resizeSection(c, std::max(width(c), header->sectionSizeHint(c)));
}

RecordPresenter::RecordPresenter(QObject* parent, const Texts& texts, std::vector<RecordTableModel::Column> columns,
                                 int (*count)(const TVexaData& data), const QIcon& icon)
    : TPresenter(parent)
    , Text(texts)
    , PopupMenu(new QMenu)
    , Model(new RecordTableModel(std::move(columns), count, icon, this))
{
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    auto item = [this](const char* name, void (RecordPresenter::*handler)()) {
        QAction* action = PopupMenu->addAction(QString());
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    CrearNuevoCanal1 = item("CrearNuevoCanal1", &RecordPresenter::CrearNuevoCanal1Click);
    BorrarCanal1 = item("BorrarCanal1", &RecordPresenter::BorrarCanal1Click);
    MoverCanal1 = item("MoverCanal1", &RecordPresenter::MoverCanal1Click);
    AgruparCanales1 = item("AgruparCanales1", &RecordPresenter::AgruparCanales1Click);
    connect(PopupMenu, &QMenu::aboutToShow, this, &RecordPresenter::PopupMenuPopup);

    // Registered under this object's own address: the three lists share the
    // method, and the translation service keeps one callback per code.
    if (TheLang)
        TheLang->AddTask(TTranslateEvent(this, [this] { Translate(); }));
    else
        Translate();
}

RecordPresenter::~RecordPresenter()
{
    if (TheLang)
        TheLang->RemoveTask(TTranslateEvent(this, {}));
    delete PopupMenu;
}

void RecordPresenter::Translate()
{
    CrearNuevoCanal1->setText(ToQt(LangText(Text.Create)));
    BorrarCanal1->setText(ToQt(LangText(Text.DeleteOne)));
    MoverCanal1->setText(ToQt(LangText(Text.MoveOne)));
    AgruparCanales1->setText(ToQt(LangText(Text.Group)));
}

void RecordPresenter::Start(QTreeView* listView, TVexaComm* comm, TVexaData* data)
{
    ListView = listView;
    Comm = comm;
    Data = data;
    Model->Rebuild(Data);
    BuildList();
}

void RecordPresenter::BuildList()
{
    if (!ListView)
        return;
    if (ListView->model() != Model) {
        // The view makes a fresh selection model for every model it is given;
        // the one it drops would keep listening to its old model.
        QItemSelectionModel* old = ListView->selectionModel();
        ListView->setModel(Model);
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
    ListView->header()->setStretchLastSection(false);
    FitColumnWidths(ListView, [this](int c) { return Model->ColumnWidth(c); });

    ListView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView, &QWidget::customContextMenuRequested, this, &RecordPresenter::ShowPopup,
            Qt::UniqueConnection);
    connect(ListView, &QAbstractItemView::doubleClicked, this, &RecordPresenter::ListViewDblClick,
            Qt::UniqueConnection);
    ListView->installEventFilter(this);
}

bool RecordPresenter::Driving() const
{
    return ListView && ListView->model() == Model && Data;
}

QWidget* RecordPresenter::EditorParent() const
{
    return ListView ? ListView->window() : nullptr;
}

void RecordPresenter::ShowPopup(const QPoint& pos)
{
    if (Driving())
        PopupMenu->popup(ListView->viewport()->mapToGlobal(pos));
}

bool RecordPresenter::eventFilter(QObject* watched, QEvent* event)
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

void RecordPresenter::PopupMenuPopup()
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

void RecordPresenter::ListViewDblClick()
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
    if (!Editor || !Editor(*Data, rows.front(), recIndex))
        return;
    // The editor may change more than its own record (the antenna and
    // transponder editors can make a satellite): every row in view is drawn
    // again, which costs no more than the rows on the page.
    Model->RecordsChanged(0, Model->rowCount() - 1);
}

void RecordPresenter::CrearNuevoCanal1Click()
{
    if (!Driving())
        return;
    int recIndex = -1;
    if (!Editor || !Editor(*Data, -1, recIndex))
        return;
    // The editor either appended a record or reused one of a full list.
    Model->Reload();
    ListView->selectionModel()->clear();
    if (recIndex < 0 || recIndex >= Model->rowCount())
        return;
    const QModelIndex row = Model->index(recIndex, 0);
    ListView->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    ListView->scrollTo(row, QAbstractItemView::EnsureVisible);
}

void RecordPresenter::BorrarCanal1Click()
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
    // deleted keep their indexes while the records behind them shift. A
    // cascade deletes from the other lists only, so each record deleted
    // takes exactly its own row.
    for (int end = n - 1; end >= 0;) {
        int begin = end;
        while (begin > 0 && rows[begin - 1] == rows[begin] - 1)
            --begin;
        const int first = rows[begin], last = rows[end];
        Model->RemoveRecords(first, last, [&] {
            for (int i = last; i >= first; --i)
                DeleteRecord(i);
        });
        end = begin - 1;
    }
}

void RecordPresenter::MoverCanal1Click()
{
    if (!Driving())
        return;
    TFMover mover(ListView->window());
    mover.Execute(ListView, Data);
}

void RecordPresenter::AgruparCanales1Click()
{
    if (!Driving())
        return;
    TFMover mover(ListView->window());
    mover.Inicia(ListView, Data);
    mover.Agrupa();
}
