#include "windows/lists/TFBuscar.h"

#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "windows/lists/ListColumns.h"

#include <QAbstractItemView>
#include <QAbstractTableModel>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTreeView>

#include <algorithm>
#include <functional>

namespace {

// Only the ASCII letters change case: the same folding for the typed text
// and for every caption, so a search is blind to case and nothing else.
QString UpperAscii(QString s)
{
    for (QChar& c : s)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - ('a' - 'A'));
    return s;
}

} // namespace

// The results: row i shows source row Matches[i], read from the source's own
// model when the view asks.
class BuscarResults : public QAbstractTableModel {
public:
    BuscarResults(TFBuscar* dialog)
        : QAbstractTableModel(dialog)
        , Dialog(dialog)
        , Captions{ToQt(LangText(602)), ToQt(LangText(603))}
    {
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(Dialog->Matches.size());
    }

    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 2; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid) || !Dialog->SourceView)
            return {};
        const QAbstractItemModel* source = Dialog->SourceView->model();
        if (!source)
            return {};
        const int row = Dialog->Matches[index.row()];
        if (index.column() == 0) {
            if (role == Qt::DisplayRole || role == Qt::DecorationRole)
                return source->index(row, 0).data(role);
            return {};
        }
        if (role == Qt::DisplayRole)
            return source->index(row, Dialog->SubItemIndex + 1).data(role);
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 2)
            return Captions[section];
        return {};
    }

    void Refill(const std::function<void()>& change)
    {
        beginResetModel();
        change();
        endResetModel();
    }

private:
    TFBuscar* Dialog;
    QString Captions[2];
};

TFBuscar::TFBuscar(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TFBuscar"));
    Label1 = new QLabel(ToQt(LangText(601) + ":"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Label1->setBuddy(Edit1);

    Results = new BuscarResults(this);
    ListView = new QTreeView(this);
    ListView->setObjectName(QStringLiteral("ListView"));
    ListView->setRootIsDecorated(false);
    ListView->setUniformRowHeights(true);
    ListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView->setAllColumnsShowFocus(true);
    ListView->setModel(Results);
    Sizes = new ListColumns(this);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(ListView, 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    resize(224, 210);

    connect(Edit1, &QLineEdit::textChanged, this, &TFBuscar::Edit1Change);
    connect(ListView, &QAbstractItemView::doubleClicked, this, &TFBuscar::ListViewDblClick);
}

int TFBuscar::Execute(QAbstractItemView* sourceView, const std::string& caption, bool numbered)
{
    SourceView = sourceView;
    setWindowTitle(ToQt(caption));
    ListView->setIconSize(sourceView->iconSize());
    SubItemIndex = numbered ? 1 : 0;
    Edit1Change();
    FitColumns();
    return exec();
}

void TFBuscar::FitColumns()
{
    // Sized once for every row the source has, so the columns stay put
    // while the user types; the dialog widens to show both, as far as the
    // screen allows.
    ColumnFit name{602, 120};
    ColumnFit second{603, 90};
    name.Decorated = true;
    if (const QAbstractItemModel* source = SourceView->model()) {
        for (int i = 0; i < source->rowCount(); ++i) {
            name.Samples << source->index(i, 0).data().toString();
            second.Samples << source->index(i, SubItemIndex + 1).data().toString();
        }
    }
    Sizes->Fit(ListView, {name, second});
    const QMargins margins = layout()->contentsMargins();
    const int chrome = margins.left() + margins.right() + 2 * ListView->frameWidth()
        + ListView->verticalScrollBar()->sizeHint().width();
    const int room = screen() ? screen()->availableGeometry().width() - (frameGeometry().width() - width()) : width();
    resize(std::clamp(Sizes->Width() + chrome, width(), std::max(room, width())), height());
}

void TFBuscar::Edit1Change()
{
    const QString wanted = UpperAscii(Edit1->text());
    Results->Refill([&] {
        Matches.clear();
        const QAbstractItemModel* source = SourceView ? SourceView->model() : nullptr;
        if (wanted.isEmpty() || !source)
            return;
        const int rows = source->rowCount();
        for (int i = 0; i < rows; ++i)
            if (UpperAscii(source->index(i, 0).data(Qt::DisplayRole).toString()).contains(wanted))
                Matches.push_back(i);
    });
}

void TFBuscar::ListViewDblClick()
{
    const QModelIndexList picked = ListView->selectionModel()->selectedRows();
    if (picked.isEmpty() || !SourceView || !SourceView->model())
        return;
    const QModelIndex row = SourceView->model()->index(Matches[picked.first().row()], 0);
    SourceView->selectionModel()->setCurrentIndex(
        row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    SourceView->scrollTo(row, QAbstractItemView::EnsureVisible);
    accept();
}
