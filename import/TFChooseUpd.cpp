#include "import/TFChooseUpd.h"

#include "database/TVexaData.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "import/TFShowDiff.h"
#include "import/UpdateRows.h"
#include "windows/lists/ChannelListModel.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

// The chooser's rows, each read from its row when the view asks. The marks
// are the check boxes of the first column.
class UpdateListModel : public QAbstractTableModel {
public:
    static constexpr int kColumns = 10;

    explicit UpdateListModel(QObject* parent)
        : QAbstractTableModel(parent)
    {
    }

    // Shows Rows anew (nullptr: none), with the captions fetched anew.
    void Rebuild(UpdateRows* rows)
    {
        beginResetModel();
        Rows = rows;
        for (int c = 0; c < kColumns; ++c)
            Captions[c] = ToQt(LangText(3008 + c));
        endResetModel();
    }
    void RowChanged(int row) { emit dataChanged(index(row, 0), index(row, kColumns - 1)); }
    void AllChanged()
    {
        if (rowCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() || !Rows ? 0 : Rows->Count();
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : kColumns; }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        Qt::ItemFlags flags = QAbstractTableModel::flags(index);
        if (index.isValid() && index.column() == 0)
            flags |= Qt::ItemIsUserCheckable;
        return flags;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid))
            return {};
        const UpdateRows::Row& row = Rows->At(index.row());
        const TChannelRec& channel = *row.Incoming;
        const TVexaData& data = Rows->Incoming();
        if (index.column() == 0 && role == Qt::DecorationRole)
            return ChannelIcon(channel.Radio != 0);
        if (index.column() == 0 && role == Qt::CheckStateRole)
            return row.Marked ? Qt::Checked : Qt::Unchecked;
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
        case 0: return ToQt(channel.Name.str());
        case 1: return ToQt(data.Satelites.Resolve(channel.Satelite).Name.str());
        case 2: return ToQt(LangText(row.Action == UpdateRows::ActionUpdate ? 3018 : 3019));
        case 3: return ToQt(TransponderText(data.Transponders.Resolve(channel.Transponder)));
        default: return ToQt(ChannelNumberCell(channel, index.column() - 4));
        }
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (role != Qt::CheckStateRole || !checkIndex(index, CheckIndexOption::IndexIsValid) || index.column() != 0)
            return false;
        const bool marked = value.toInt() == Qt::Checked;
        if (Rows->At(index.row()).Marked != marked) {
            Rows->ToggleMark(index.row());
            RowChanged(index.row());
        }
        return true;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumns)
            return Captions[section];
        return {};
    }

private:
    UpdateRows* Rows = nullptr;
    QString Captions[kColumns];
};

TFChooseUpd::TFChooseUpd(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FChooseUpd"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(ToQt(LangText(3001)));

    Model = new UpdateListModel(this);
    Model->setObjectName(QStringLiteral("UpdateListModel"));
    List = new QTreeView(this);
    List->setObjectName(QStringLiteral("List"));
    List->setRootIsDecorated(false);
    List->setItemsExpandable(false);
    List->setUniformRowHeights(true);
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List->setSelectionBehavior(QAbstractItemView::SelectRows);
    List->setSelectionMode(QAbstractItemView::ExtendedSelection);
    List->setAllColumnsShowFocus(true);
    List->setIconSize(QSize(16, 16));
    List->setModel(Model);
    List->installEventFilter(this);
    connect(List, &QAbstractItemView::doubleClicked, this, &TFChooseUpd::ListDblClick);

    GroupBox1 = new QGroupBox(ToQt(LangText(3006)), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    CheckBox1 = new QCheckBox(ToQt(LangText(3004)), GroupBox1);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setChecked(true);
    CheckBox2 = new QCheckBox(ToQt(LangText(3005)), GroupBox1);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    connect(CheckBox1, &QCheckBox::clicked, this, &TFChooseUpd::CheckBoxClick);
    connect(CheckBox2, &QCheckBox::clicked, this, &TFChooseUpd::CheckBoxClick);
    auto* options = new QVBoxLayout(GroupBox1);
    options->addWidget(CheckBox1);
    options->addWidget(CheckBox2);

    auto makeButton = [this](const char* name, int text, QStyle::StandardPixmap icon) {
        auto* button = new QPushButton(style()->standardIcon(icon), ToQt(LangText(text)), this);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        return button;
    };
    BitBtn3 = makeButton("BitBtn3", 3002, QStyle::SP_DialogApplyButton);
    BitBtn4 = makeButton("BitBtn4", 3003, QStyle::SP_DialogResetButton);
    BitBtn1 = makeButton("BitBtn1", 2, QStyle::SP_DialogOkButton);
    BitBtn1->setDefault(true);
    BitBtn2 = makeButton("BitBtn2", 3, QStyle::SP_DialogCancelButton);
    connect(BitBtn3, &QPushButton::clicked, this, &TFChooseUpd::MarcarClick);
    connect(BitBtn4, &QPushButton::clicked, this, &TFChooseUpd::MarcarClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TFChooseUpd::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    auto* marks = new QVBoxLayout;
    marks->addWidget(BitBtn3);
    marks->addWidget(BitBtn4);
    auto* closing = new QVBoxLayout;
    closing->addWidget(BitBtn1);
    closing->addWidget(BitBtn2);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(GroupBox1, 1);
    bottom->addLayout(marks);
    bottom->addLayout(closing);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(List, 1);
    layout->addLayout(bottom);
    setFixedSize(740, 440);
    Model->Rebuild(nullptr);
}

TFChooseUpd::~TFChooseUpd() = default;

void TFChooseUpd::Execute(TVexaData& Current, TVexaData& Incoming)
{
    Rows_ = std::make_unique<UpdateRows>(Current, Incoming);
    if (!BuildList()) {
        setResult(QDialog::Rejected);
        return;
    }
    exec();
}

bool TFChooseUpd::BuildList()
{
    Rows_->UpdateTuned = CheckBox1->isChecked();
    Rows_->CreateMissing = CheckBox2->isChecked();
    // The view shows no rows while they are rebuilt: the wait box lets it
    // paint in between.
    Model->Rebuild(nullptr);
    if (!Rows_->Build())
        return false;
    Model->Rebuild(Rows_.get());
    static constexpr int kWidth[UpdateListModel::kColumns] = {135, 90, 80, 80, 50, 40, 40, 40, 60, 65};
    for (int c = 0; c < UpdateListModel::kColumns; ++c)
        List->header()->resizeSection(c, kWidth[c]);
    return true;
}

bool TFChooseUpd::UpdateData()
{
    if (!Rows_)
        return false;
    if (!Rows_->Apply())
        return false;
    // The rows referred to the replaced records and are gone.
    Model->Rebuild(Rows_.get());
    return true;
}

bool TFChooseUpd::FillChannelData(TVexaData& Data, TChannelRec& Target, bool NewRecord, const TChannelRec& Source)
{
    return Rows_ && Rows_->FillChannelData(Data, Target, NewRecord, Source);
}

int TFChooseUpd::SelectedRow() const
{
    const QItemSelectionModel* selection = List->selectionModel();
    const QModelIndex current = List->currentIndex();
    if (current.isValid() && selection->isRowSelected(current.row()))
        return current.row();
    const QModelIndexList rows = selection->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TFChooseUpd::SetRowIncoming(int Row, TChannelRec* Channel)
{
    if (!Rows_ || Row < 0 || Row >= Rows_->Count())
        return;
    Rows_->SetIncoming(Row, Channel);
    Model->RowChanged(Row);
}

void TFChooseUpd::MarcarClick()
{
    if (!Rows_)
        return;
    Rows_->MarkAll(sender() != BitBtn4);
    Model->AllChanged();
}

void TFChooseUpd::BitBtn1Click()
{
    // A run stopped by a limit or by Cancel leaves the chooser open, so the
    // user can unmark rows and try again.
    if (UpdateData())
        accept();
}

void TFChooseUpd::CheckBoxClick()
{
    if (!BuildList())
        done(QDialog::Rejected);
}

void TFChooseUpd::ListDblClick()
{
    if (!Rows_ || SelectedRow() < 0)
        return;
    TFShowDiff view(this);
    view.Execute(this);
}

bool TFChooseUpd::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == List && event->type() == QEvent::KeyPress && Rows_) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Space) {
            for (const QModelIndex& index : List->selectionModel()->selectedRows()) {
                Rows_->ToggleMark(index.row());
                Model->RowChanged(index.row());
            }
            return true;
        }
        // Taken here, so that Enter opens the row and does not also press OK.
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ListDblClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
