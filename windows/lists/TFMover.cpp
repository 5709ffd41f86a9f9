#include "windows/lists/TFMover.h"

#include "database/TVexaData.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "windows/lists/RecordListModel.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QStyle>

#include <functional>
#include <numeric>

namespace {

// The view's "Tag" names the record list its rows are: 1 channels,
// 2 satellites, 3 antennas, 4 transponders.
std::function<void(int, int)> RecordMover(const QAbstractItemView* view, TVexaData* data)
{
    switch (view->property("Tag").toInt()) {
    case 1: return [data](int from, int to) { data->Channels.Move(from, to); };
    case 2: return [data](int from, int to) { data->Satelites.Move(from, to); };
    case 3: return [data](int from, int to) { data->Antenas.Move(from, to); };
    case 4: return [data](int from, int to) { data->Transponders.Move(from, to); };
    default: return {};
    }
}

int RecordCount(const QAbstractItemView* view, const TVexaData* data)
{
    switch (view->property("Tag").toInt()) {
    case 1: return data->Channels.Count();
    case 2: return data->Satelites.Count();
    case 3: return data->Antenas.Count();
    case 4: return data->Transponders.Count();
    default: return -1;
    }
}

} // namespace

TFMover::TFMover(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("TFMover"));
    auto button = [this](const char* name, int top) {
        auto* b = new QPushButton(this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(0, top, 115, 33);
        b->setAutoDefault(false);
        return b;
    };
    BMenos = button("BMenos", 0);
    BMenos->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    BitBtn1 = button("BitBtn1", 33);
    BitBtn1->setText(ToQt(LangText(1)));
    BitBtn1->setDefault(true);
    BMas = button("BMas", 66);
    BMas->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    setFixedSize(115, 99);

    connect(BMenos, &QPushButton::clicked, this, &TFMover::BMenosClick);
    connect(BMas, &QPushButton::clicked, this, &TFMover::BMasClick);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TFMover::Inicia(QAbstractItemView* listView, TVexaData* data)
{
    ListView = listView;
    Data = data;
}

int TFMover::Execute(QAbstractItemView* listView, TVexaData* data)
{
    Inicia(listView, data);
    Monta();
    Organiza();
    return exec();
}

void TFMover::Monta()
{
    const std::vector<int> rows = SelectedRows(ListView->selectionModel());
    FirstSel = rows.empty() ? -1 : rows.front();
    LastSel = rows.empty() ? -1 : rows.back();
}

void TFMover::Organiza()
{
    const int count = ListView->model() ? ListView->model()->rowCount() : 0;
    const bool any = LastSel >= 0;
    BMenos->setEnabled(any && FirstSel > 0);
    BMas->setEnabled(any && LastSel < count - 1);
}

void TFMover::BMenosClick()
{
    Mueve(-1);
    Organiza();
    if (FirstSel >= 0)
        ListView->scrollTo(ListView->model()->index(FirstSel, 0), QAbstractItemView::EnsureVisible);
}

void TFMover::BMasClick()
{
    Mueve(1);
    Organiza();
    if (FirstSel >= 0)
        ListView->scrollTo(ListView->model()->index(FirstSel, 0), QAbstractItemView::EnsureVisible);
}

void TFMover::Mueve(int distance)
{
    if (!ListView || !Data || distance == 0)
        return;
    const std::vector<int> rows = SelectedRows(ListView->selectionModel());
    if (rows.empty())
        return;
    const int count = ListView->model()->rowCount();
    if (rows.front() + distance < 0 || rows.back() + distance >= count)
        return;
    // Moving in the direction of travel, the rows shifted past are never
    // selected ones, so every selected record moves by exactly distance.
    std::vector<std::pair<int, int>> moves;
    std::vector<int> moved;
    moves.reserve(rows.size());
    moved.reserve(rows.size());
    for (int r : rows)
        moved.push_back(r + distance);
    if (distance < 0)
        for (int r : rows)
            moves.emplace_back(r, r + distance);
    else
        for (auto r = rows.rbegin(); r != rows.rend(); ++r)
            moves.emplace_back(*r, *r + distance);
    Swapea(moves, moved);
}

void TFMover::Agrupa()
{
    if (!ListView || !Data)
        return;
    const std::vector<int> rows = SelectedRows(ListView->selectionModel());
    if (rows.empty())
        return;
    const int first = rows.front();
    std::vector<std::pair<int, int>> moves;
    std::vector<int> group;
    group.push_back(first);
    // Moving selected row j up to first + j shifts only unselected rows, so
    // the selected rows still to come keep their places.
    for (size_t j = 1; j < rows.size(); ++j) {
        const int to = first + static_cast<int>(j);
        if (rows[j] != to)
            moves.emplace_back(rows[j], to);
        group.push_back(to);
    }
    Swapea(moves, group);
    ListView->scrollTo(ListView->model()->index(first, 0), QAbstractItemView::EnsureVisible);
}

void TFMover::MoveDrop(int target)
{
    if (!ListView || !Data)
        return;
    const std::vector<int> rows = SelectedRows(ListView->selectionModel());
    const int count = ListView->model()->rowCount();
    if (rows.empty() || target < 0 || target >= count)
        return;
    const int first = rows.front();
    const int n = static_cast<int>(rows.size());
    int distance = target - first;
    if (distance > 0 && n > 1)
        distance += 1 - n;
    // A drop that would push a selected row past either end of the list
    // moves nothing (Mueve refuses it): a drop inside the selection can ask
    // for the first row above the top, and a selection with gaps dropped
    // near the end for its last row below the bottom.
    Mueve(distance);
}

void TFMover::Swapea(const std::vector<std::pair<int, int>>& moves, const std::vector<int>& newSelection)
{
    const std::function<void(int, int)> move = RecordMover(ListView, Data);
    QAbstractItemModel* model = ListView->model();
    if (!move || !model || RecordCount(ListView, Data) != model->rowCount())
        return;
    if (!moves.empty()) {
        std::vector<int> order(static_cast<size_t>(model->rowCount()));
        std::iota(order.begin(), order.end(), 0);
        for (auto [from, to] : moves) {
            const int record = order[from];
            order.erase(order.begin() + from);
            order.insert(order.begin() + to, record);
        }
        const auto apply = [&] {
            for (auto [from, to] : moves)
                move(from, to);
        };
        // The new selection is set below; a selection carried through the
        // reorder would cost a persistent index per selected cell.
        ListView->selectionModel()->clearSelection();
        if (auto* records = qobject_cast<RecordListModel*>(model)) {
            records->Reorder(order, apply);
        } else {
            emit model->layoutAboutToBeChanged();
            apply();
            emit model->layoutChanged();
        }
    }
    FirstSel = newSelection.front();
    LastSel = newSelection.back();
    SelectRows(ListView, newSelection);
    ListView->selectionModel()->setCurrentIndex(model->index(FirstSel, 0), QItemSelectionModel::NoUpdate);
    UpdateItems();
}

void TFMover::UpdateItems()
{
    ListView->viewport()->update();
}
