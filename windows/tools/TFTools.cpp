#include "windows/tools/TFTools.h"

#include "database/TVexaData.h"
#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "windows/AppIcons.h"
#include "windows/FileDialogs.h"
#include "windows/TFMain.h"
#include "windows/lists/ListColumns.h"
#include "windows/lists/RecordListModel.h"
#include "windows/tools/TFErrors.h"
#include "windows/tools/TFLoadSoft.h"
#include "windows/tools/ToolGuards.h"
#include "windows/transfer/TFTraspaso.h"

#include <QAbstractListModel>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeView>

#include <cstdint>
#include <vector>

namespace {

std::array<std::string, TFTools::ToolCount> ToolCaptions;

std::array<TFTools::TTool, TFTools::ToolCount>& PluggedTools()
{
    static std::array<TFTools::TTool, TFTools::ToolCount> tools;
    return tools;
}

} // namespace

// The nine rows: caption and picture of each tool, read when drawn.
class ToolListModel : public QAbstractListModel {
public:
    explicit ToolListModel(QObject* parent)
        : QAbstractListModel(parent)
    {
        for (int i = 0; i < TFTools::ToolCount; ++i)
            Icons[static_cast<size_t>(i)] = AppIcons::Tool(i);
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : TFTools::ToolCount;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() < 0 || index.row() >= TFTools::ToolCount || index.column() != 0)
            return {};
        const auto row = static_cast<size_t>(index.row());
        if (role == Qt::DisplayRole)
            return ToQt(ToolCaptions[row]);
        if (role == Qt::DecorationRole)
            return Icons[row];
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return ToQt(LangText(1901));
        return {};
    }

    // The captions or the language changed: every cell and the header read afresh.
    void Retranslate()
    {
        emit dataChanged(index(0), index(TFTools::ToolCount - 1), {Qt::DisplayRole});
        emit headerDataChanged(Qt::Horizontal, 0, 0);
    }

private:
    std::array<QIcon, TFTools::ToolCount> Icons;
};

TFTools::TFTools(QObject* parent)
    : TPresenter(parent)
    , Model(new ToolListModel(this))
    , Sizes(new ListColumns(this))
{
    setObjectName(QStringLiteral("FTools"));
    Model->setObjectName(QStringLiteral("ToolListModel"));
    if (TheLang)
        TheLang->AddTask(TTranslateEvent::Of<&TFTools::Translate>(this));
    else
        Translate();
}

TFTools::~TFTools()
{
    if (TheLang)
        TheLang->RemoveTask(TTranslateEvent::Of<&TFTools::Translate>(this));
}

const std::array<std::string, TFTools::ToolCount>& TFTools::Captions()
{
    return ToolCaptions;
}

void TFTools::SetTool(int n, TTool tool)
{
    if (n == 2 || n == 4 || n == 5 || n == 6)
        PluggedTools()[static_cast<size_t>(n)] = std::move(tool);
}

void TFTools::Translate()
{
    for (int i = 0; i < ToolCount; ++i)
        ToolCaptions[static_cast<size_t>(i)] = LangText(1951 + i);
    Model->Retranslate();
}

void TFTools::Start(QTreeView* listView, TVexaComm* comm, TVexaData* data)
{
    ListView = listView;
    Comm = comm;
    Data = data;
    if (ListView->model() != Model)
        ListView->setModel(Model);
    ListView->setRootIsDecorated(false);
    ListView->setItemsExpandable(false);
    ListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView->setContextMenuPolicy(Qt::NoContextMenu);
    ListView->setIconSize(QSize(16, 16));
    // The one column fills the view and follows it; a narrower view scrolls
    // sideways rather than cut a tool's caption.
    ColumnFit fit{1901, 0};
    for (const std::string& caption : ToolCaptions)
        fit.Samples << ToQt(caption);
    fit.Decorated = true;
    fit.Capped = false;
    Sizes->Fit(ListView, {fit});
    connect(ListView, &QAbstractItemView::doubleClicked, this, &TFTools::ListViewDblClick, Qt::UniqueConnection);
    ListView->installEventFilter(this);
}

bool TFTools::Driving() const
{
    return ListView && ListView->model() == Model && Data;
}

QWidget* TFTools::Owner() const
{
    return ListView ? ListView->window() : nullptr;
}

bool TFTools::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ListView && event->type() == QEvent::KeyPress && Driving()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ListViewDblClick();
            return true;
        }
    }
    return TPresenter::eventFilter(watched, event);
}

void TFTools::ListViewDblClick()
{
    if (!Driving() || !ListView->selectionModel())
        return;
    const std::vector<int> rows = SelectedRows(ListView->selectionModel());
    if (rows.empty())
        return;
    static void (TFTools::*const kTools[ToolCount])() = {
        &TFTools::Option00, &TFTools::Option01, &TFTools::Option02, &TFTools::Option03, &TFTools::Option04,
        &TFTools::Option05, &TFTools::Option06, &TFTools::Option07, &TFTools::Option08,
    };
    if (rows.front() >= 0 && rows.front() < ToolCount)
        (this->*kTools[rows.front()])();
}

void TFTools::RunPlugged(int n)
{
    // A copy: the tool may plug or unplug tools while it runs.
    const TTool tool = PluggedTools()[static_cast<size_t>(n)];
    if (tool && Data)
        tool(Owner(), Comm, *Data);
}

void TFTools::Option00()
{
    TFLoadSoft dialog(Owner());
    dialog.Execute(Comm);
}

void TFTools::Option01()
{
    if (!CheckConnected())
        return;
    const QString kind = ToQt(LangText(129));
    const QString extension = QStringLiteral("Dat");
    const QString chosen = FileDialogs().SaveFileName(
        Owner(), {kind + QStringLiteral(" (Dat) (*.dat)"), kind + QStringLiteral(" (Bin) (*.Bin)")}, extension);
    if (chosen.isEmpty())
        return;
    std::vector<std::uint8_t> stream;
    {
        TFTraspaso transfer(Owner());
        if (!transfer.TrespassData(Comm, TFTraspaso::ReadImage, stream))
            return; // the transfer window told the user why
    }
    // The receiver's image exactly as it came, never parsed: the data sets
    // stay as they are.
    TFMain::WriteFile(WithExtension(chosen, extension),
                      QByteArray(reinterpret_cast<const char*>(stream.data()), static_cast<qsizetype>(stream.size())));
}

void TFTools::Option02()
{
    if (CheckListLoaded())
        RunPlugged(2);
}

void TFTools::Option03()
{
    if (!CheckListLoaded())
        return;
    std::vector<std::string> lines;
    if (!Data->Check(&lines)) {
        ShowInfo(LangText(1916));
        return;
    }
    TFErrors dialog(Owner());
    dialog.setWindowTitle(ToQt(LangText(1914)));
    dialog.ShowLines(lines);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The repair log replaces the errors, in the same window without the button.
    dialog.BitBtn1->hide();
    dialog.setWindowTitle(ToQt(LangText(1915)));
    Data->Repair(lines);
    dialog.ShowLines(lines);
    dialog.exec();
}

void TFTools::Option04()
{
    if (CheckListLoaded())
        RunPlugged(4);
}

void TFTools::Option05()
{
    RunPlugged(5);
}

void TFTools::Option06()
{
    if (CheckListLoaded())
        RunPlugged(6);
}

std::string TFTools::Counts() const
{
    return "\r\r" + std::to_string(Data->Channels.Count()) + " " + LangText(1902) + "\r" +
           std::to_string(Data->Satelites.Count()) + " " + LangText(1903) + "\r" +
           std::to_string(Data->Antenas.Count()) + " " + LangText(1904) + "\r" +
           std::to_string(Data->Transponders.Count()) + " " + LangText(1905);
}

void TFTools::Option07()
{
    if (!CheckListLoaded())
        return;
    ShowInfo(LangText(1906) + Counts());
}

void TFTools::Option08()
{
    if (!CheckListLoaded())
        return;
    if (!Confirm(LangText(1908)))
        return;
    Data->DeleteUnused();
    ShowInfo(LangText(1907) + ": " + Counts());
}
