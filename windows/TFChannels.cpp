#include "windows/TFChannels.h"

#include "database/TVexaData.h"
#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "windows/ChannelListModel.h"
#include "windows/RecordPresenter.h"
#include "windows/TFBuscar.h"
#include "windows/TFMover.h"

#include <QAction>
#include <QActionGroup>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QTreeView>

#include <algorithm>

namespace {

// Numbering modes: 0 none, 1 all rows, 2 per satellite, 3 .. 10 favourites
// lists 1 .. 8.
constexpr int kModeNone = 0;
constexpr int kModeAll = 1;
constexpr int kModeSatelite = 2;
constexpr int kModeFirstFavorites = 3;
constexpr int kModeCount = 11;

// The numbers are kept for a full channel table (plus one spare entry) so a
// recount never allocates; only a list beyond the receiver's capacity, which
// an import can produce, makes the table grow.
constexpr size_t kNumbersSize = TVexaData::MaxChannels + 1;

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

TFChannels::TFChannels(QObject* parent)
    : TPresenter(parent)
    , Numbers(kNumbersSize, 0)
    , NumberingGroup(new QActionGroup(this))
    , PopupMenu(new QMenu)
    , Model(new ChannelListModel(this))
{
    setObjectName(QStringLiteral("FChannels"));
    Model->setObjectName(QStringLiteral("ChannelListModel"));
    Model->SetRenumber([this] { SetCounters(); });
    NumberingGroup->setExclusive(true);

    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    auto item = [this](const char* name, void (TFChannels::*handler)()) {
        QAction* action = PopupMenu->addAction(QString());
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    CrearNuevoCanal1 = item("CrearNuevoCanal1", &TFChannels::CrearNuevoCanal1Click);
    BorrarCanal1 = item("BorrarCanal1", &TFChannels::BorrarCanal1Click);
    MoverCanal1 = item("MoverCanal1", &TFChannels::MoverCanal1Click);
    AgruparCanales1 = item("AgruparCanales1", &TFChannels::AgruparCanales1Click);
    Buscar1 = item("Buscar1", &TFChannels::Buscar1Click);
    connect(PopupMenu, &QMenu::aboutToShow, this, &TFChannels::PopupMenuPopup);

    if (TheLang)
        TheLang->AddTask(TTranslateEvent::Of<&TFChannels::Translate>(this));
    else
        Translate();
}

TFChannels::~TFChannels()
{
    if (TheLang)
        TheLang->RemoveTask(TTranslateEvent::Of<&TFChannels::Translate>(this));
    delete PopupMenu;
}

void TFChannels::Translate()
{
    CrearNuevoCanal1->setText(ToQt(LangText(210)));
    BorrarCanal1->setText(ToQt(LangText(211)));
    MoverCanal1->setText(ToQt(LangText(212)));
    AgruparCanales1->setText(ToQt(LangText(213)));
    Buscar1->setText(ToQt(LangText(214)));
}

void TFChannels::Start(QTreeView* listView, TVexaComm* comm, TVexaData* data)
{
    ListView = listView;
    Comm = comm;
    Data = data;
    AddNumClass();
    SetCounters();
    Model->Rebuild(Data, NumberText());
    BuildList();
}

void TFChannels::AddNumClass()
{
    if (!NumberingMenu)
        return;
    NumberingMenu->menuAction()->setVisible(true);
    for (QAction* old : NumberingGroup->actions())
        NumberingGroup->removeAction(old);
    NumItem = nullptr;
    NumberingMenu->clear();
    static constexpr int kCaption[kModeCount] = {1511, 222, 10, 51, 52, 53, 54, 55, 56, 57, 58};
    for (int mode = 0; mode < kModeCount; ++mode) {
        QAction* item = NumberingMenu->addAction(ToQt(LangText(kCaption[mode])));
        item->setObjectName(QStringLiteral("NumClass%1").arg(mode));
        item->setData(mode);
        item->setCheckable(true);
        NumberingGroup->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { ClassClick(item); });
        CheckLast(item);
        // The first item stands for the mode until an item of the mode itself comes.
        if (mode == kModeNone && !NumItem)
            NumItem = item;
    }
}

void TFChannels::CheckLast(QAction* item)
{
    if (item->data().toInt() == NumClass) {
        item->setChecked(true);
        NumItem = item;
    }
}

void TFChannels::ClassClick(QAction* sender)
{
    if (!sender || sender == NumItem) {
        if (sender)
            sender->setChecked(true);
        return;
    }
    if (NumItem)
        NumItem->setChecked(false);
    sender->setChecked(true);
    NumItem = sender;
    NumClass = sender->data().toInt();
    SetCounters();
    BuildList();
}

void TFChannels::SetCounters()
{
    if (NumClass == kModeNone || NumClass == kModeAll || !Data)
        return;
    const TChannels& channels = Data->Channels;
    const int count = channels.Count();
    if (Numbers.size() < static_cast<size_t>(count) + 1)
        Numbers.resize(static_cast<size_t>(count) + 1);
    std::fill(Numbers.begin(), Numbers.end(), 0);
    if (NumClass >= kModeFirstFavorites) {
        const int list = NumClass - kModeFirstFavorites;
        int n = 0;
        for (int i = 0; i < count; ++i)
            if (channels.Get(i)->Favorites[list] != 0)
                Numbers[i] = ++n;
        return;
    }
    // Per satellite: one running count per satellite index; channels whose
    // satellite is not in the list (index -1) share the first counter.
    std::vector<int> counters(static_cast<size_t>(Data->Satelites.Count()) + 1, 0);
    for (int i = 0; i < count; ++i) {
        const int s = Data->Satelites.IndexOf(channels.Get(i)->Satelite);
        Numbers[i] = ++counters[static_cast<size_t>(s + 1)];
    }
}

std::string TFChannels::GetItemCount(int index) const
{
    if (NumClass == kModeAll)
        return std::to_string(index + 1);
    if (NumClass >= kModeSatelite && index >= 0 && static_cast<size_t>(index) < Numbers.size() &&
        Numbers[index] > 0)
        return std::to_string(Numbers[index]);
    return "-";
}

std::function<std::string(int)> TFChannels::NumberText()
{
    if (NumClass == kModeNone)
        return {};
    return [this](int row) { return GetItemCount(row); };
}

void TFChannels::BuildList()
{
    if (!ListView)
        return;
    const int columns = Model->columnCount();
    Model->SetNumbering(NumberText());
    // A selected row must cover the number column too, when it comes.
    if (ListView->model() == Model && Model->columnCount() > columns)
        SelectRows(ListView, SelectedRows(ListView->selectionModel()));

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
    connect(ListView, &QWidget::customContextMenuRequested, this, &TFChannels::ShowPopup,
            Qt::UniqueConnection);
    connect(ListView, &QAbstractItemView::doubleClicked, this, &TFChannels::ListViewDblClick,
            Qt::UniqueConnection);
    ListView->installEventFilter(this);
}

bool TFChannels::Driving() const
{
    return ListView && ListView->model() == Model && Data;
}

void TFChannels::ShowPopup(const QPoint& pos)
{
    if (Driving())
        PopupMenu->popup(ListView->viewport()->mapToGlobal(pos));
}

bool TFChannels::eventFilter(QObject* watched, QEvent* event)
{
    // The filter stays on the view after another presenter takes it over;
    // it acts only while the view shows the channels.
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

void TFChannels::PopupMenuPopup()
{
    AgruparCanales1->setVisible(false);
    const std::vector<int> rows = Driving() ? SelectedRows(ListView->selectionModel()) : std::vector<int>{};
    const bool any = !rows.empty();
    BorrarCanal1->setVisible(any);
    MoverCanal1->setVisible(any);
    if (!any)
        return;
    if (rows.size() == 1) {
        BorrarCanal1->setText(ToQt(LangText(211)));
        MoverCanal1->setText(ToQt(LangText(212)));
        return;
    }
    BorrarCanal1->setText(ToQt(LangText(216)));
    MoverCanal1->setText(ToQt(LangText(217)));
    // Grouping is offered only for a selection with gaps in it.
    AgruparCanales1->setVisible(rows.back() - rows.front() + 1 != static_cast<int>(rows.size()));
}

void TFChannels::ListViewDblClick()
{
    if (!Driving())
        return;
    const std::vector<int> rows = SelectedRows(ListView->selectionModel());
    if (rows.empty())
        return;
    if (rows.size() > 1) {
        ShowError(LangText(215));
        return;
    }
    int recIndex = -1;
    if (!Editor || !Editor(*Data, rows.front(), recIndex))
        return;
    SetCounters();
    // The edit may have changed any cell of the row, and the numbers of the rows below.
    Model->RecordsChanged(rows.front(), Model->rowCount() - 1);
}

void TFChannels::CrearNuevoCanal1Click()
{
    if (!Driving())
        return;
    int recIndex = -1;
    if (!Editor || !Editor(*Data, -1, recIndex))
        return;
    Model->Reload();
    SetCounters();
    ListView->selectionModel()->clear();
    if (recIndex < 0 || recIndex >= Model->rowCount())
        return;
    const QModelIndex row = Model->index(recIndex, 0);
    ListView->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    ListView->scrollTo(row, QAbstractItemView::EnsureVisible);
}

void TFChannels::BorrarCanal1Click()
{
    if (!Driving())
        return;
    const std::vector<int> rows = SelectedRows(ListView->selectionModel());
    if (rows.empty())
        return;
    const int n = static_cast<int>(rows.size());
    if (!Confirm(n == 1 ? LangText(219) : WithCount(LangText(220), n)))
        return;
    ListView->selectionModel()->clearSelection();
    // From the last run of rows to the first, so the rows still to be
    // deleted keep their indexes while the records behind them shift.
    for (int end = n - 1; end >= 0;) {
        int begin = end;
        while (begin > 0 && rows[begin - 1] == rows[begin] - 1)
            --begin;
        const int first = rows[begin], last = rows[end];
        Model->RemoveRecords(first, last, [&] {
            for (int i = last; i >= first; --i)
                Data->Channels.Delete(i);
        });
        end = begin - 1;
    }
    SetCounters();
    ListView->viewport()->update();
}

void TFChannels::MoverCanal1Click()
{
    if (!Driving())
        return;
    TFMover mover(ListView->window());
    mover.Execute(ListView, Data);
}

void TFChannels::AgruparCanales1Click()
{
    if (!Driving())
        return;
    TFMover mover(ListView->window());
    mover.Inicia(ListView, Data);
    mover.Agrupa();
}

void TFChannels::Buscar1Click()
{
    if (!Driving())
        return;
    TFBuscar search(ListView->window());
    search.Execute(ListView, LangText(218), NumClass != kModeNone);
}
