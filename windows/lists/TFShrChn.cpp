#include "windows/lists/TFShrChn.h"

#include "database/TVexaData.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "windows/lists/ChannelListModel.h"
#include "windows/lists/ListColumns.h"
#include "windows/lists/TFBuscar.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

#include <unordered_set>

// The picker's rows: entry i of the dialog's ChnList, read when asked.
class ChannelPickerModel : public QAbstractTableModel {
public:
    static constexpr int kColumns = 9;

    explicit ChannelPickerModel(TFShrChn* picker)
        : QAbstractTableModel(picker)
        , Picker(picker)
    {
    }

    // Fetches the captions anew; the rows may all have changed.
    void Rebuild()
    {
        beginResetModel();
        for (int c = 0; c < kColumns; ++c)
            Captions[c] = ToQt(LangText(1704 + c));
        Undefined = ToQt(LangText(1713));
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(Picker->ChnList.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : kColumns; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid))
            return {};
        const TChannelRec* channel = Picker->ChnList[static_cast<size_t>(index.row())];
        if (!channel)
            return {};
        if (role == Qt::DecorationRole && index.column() == 0)
            return ChannelIcon(channel->Radio != 0);
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
        case 0: return ToQt(channel->Name.str());
        // An entry a caller made up has no satellite or transponder at all;
        // a reference whose record is gone reads the same way.
        case 1: {
            const TSateliteRec* satelite = channel->Satelite.Get();
            return satelite ? ToQt(satelite->Name.str()) : Undefined;
        }
        case 2: {
            const TTransponderRec* transponder = channel->Transponder.Get();
            return transponder ? ToQt(TransponderText(*transponder)) : Undefined;
        }
        default: return ToQt(ChannelNumberCell(*channel, index.column() - 3));
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumns)
            return Captions[section];
        return {};
    }

    std::vector<ColumnFit> ColumnFits() const
    {
        static constexpr int kWidth[kColumns] = {120, 90, 80, 50, 40, 40, 40, 60, 65};
        QStringList names;
        QStringList satelites;
        std::unordered_set<const TSateliteRec*> seen;
        for (const TChannelRec* channel : Picker->ChnList) {
            if (!channel)
                continue;
            names << ToQt(channel->Name.str());
            const TSateliteRec* satelite = channel->Satelite.Get();
            if (satelite && seen.insert(satelite).second)
                satelites << ToQt(satelite->Name.str());
        }
        satelites << Undefined;
        std::vector<QStringList> samples = ChannelColumnSamples(std::move(names), std::move(satelites));
        samples[2] << Undefined;
        std::vector<ColumnFit> fits;
        for (int c = 0; c < kColumns; ++c) {
            fits.push_back({1704 + c, kWidth[c], std::move(samples[static_cast<size_t>(c)])});
            fits.back().Decorated = c == 0;
        }
        return fits;
    }

private:
    TFShrChn* Picker;
    QString Captions[kColumns];
    QString Undefined;
};

TFShrChn::TFShrChn(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TFShrChn"));
    setWindowTitle(ToQt(LangText(1701)));

    Model = new ChannelPickerModel(this);
    Sizes = new ListColumns(this);
    Model->setObjectName(QStringLiteral("ChannelPickerModel"));
    ListaCan = new QTreeView(this);
    ListaCan->setObjectName(QStringLiteral("ListaCan"));
    ListaCan->setRootIsDecorated(false);
    ListaCan->setItemsExpandable(false);
    ListaCan->setUniformRowHeights(true);
    ListaCan->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListaCan->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListaCan->setSelectionMode(QAbstractItemView::SingleSelection);
    ListaCan->setAllColumnsShowFocus(true);
    ListaCan->setIconSize(QSize(16, 16));
    ListaCan->setModel(Model);
    ListaCan->setContextMenuPolicy(Qt::CustomContextMenu);

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    Buscar1 = PopupMenu->addAction(ToQt(LangText(1703)));
    Buscar1->setObjectName(QStringLiteral("Buscar1"));
    connect(Buscar1, &QAction::triggered, this, &TFShrChn::Buscar1Click);
    connect(ListaCan, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu->popup(ListaCan->viewport()->mapToGlobal(pos)); });

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), ToQt(LangText(1702)), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TFShrChn::BitBtn1Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(ListaCan);
    layout->addLayout(buttons);
    resize(392, 338);
    BuildLista();
}

void TFShrChn::ExecuteChn(TVexaData* data, const TTransponderRec* transponder)
{
    Data = data;
    if (data) {
        for (int i = 0; i < data->Channels.Count(); ++i) {
            TChannelRec* channel = data->Channels.Get(i);
            if (&data->Transponders.Resolve(channel->Transponder) == transponder)
                ChnList.push_back(channel);
        }
    }
    BuildLista();
}

void TFShrChn::BuildLista()
{
    Model->Rebuild();
    Sizes->Fit(ListaCan, Model->ColumnFits());
}

void TFShrChn::MustSelectOne()
{
    BitBtn1->setEnabled(false);
    connect(ListaCan->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TFShrChn::ListaCanClick, Qt::UniqueConnection);
    ListaCanClick();
}

void TFShrChn::SetClose()
{
    setModal(false);
}

void TFShrChn::ListaCanClick()
{
    BitBtn1->setEnabled(ListaCan->selectionModel()->hasSelection());
}

void TFShrChn::BitBtn1Click()
{
    // Shown modally this ends the picker with the OK result; shown beside
    // another window it only hides it.
    accept();
}

void TFShrChn::Buscar1Click()
{
    TFBuscar search(this);
    search.Execute(ListaCan, LangText(1714), false);
}
