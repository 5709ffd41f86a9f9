#include "windows/lists/TFChannels.h"

#include "database/TVexaData.h"
#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "windows/lists/ChannelListModel.h"
#include "windows/lists/TFBuscar.h"

#include <QAction>
#include <QActionGroup>
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

} // namespace

TFChannels::TFChannels(QObject* parent)
    : ListPresenter(parent, {210, 211, 212, 213, 216, 217, 215, 219, 220})
    , Numbers(kNumbersSize, 0)
    , NumberingGroup(new QActionGroup(this))
    , Buscar1(AddCommand("Buscar1", [this] { Buscar1Click(); }))
    , Model(new ChannelListModel(this))
{
    setObjectName(QStringLiteral("FChannels"));
    Model->setObjectName(QStringLiteral("ChannelListModel"));
    Model->SetRenumber([this] { SetCounters(); });
    SetListModel(Model);
    NumberingGroup->setExclusive(true);

    if (TheLang)
        TheLang->AddTask(TTranslateEvent::Of<&TFChannels::Translate>(this));
    else
        Translate();
}

TFChannels::~TFChannels()
{
    if (TheLang)
        TheLang->RemoveTask(TTranslateEvent::Of<&TFChannels::Translate>(this));
}

void TFChannels::Translate()
{
    TranslateCommands();
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

    ShowList();
}

void TFChannels::DeleteRecord(int index)
{
    Data->Channels.Delete(index);
}

void TFChannels::RecordEdited(int row)
{
    SetCounters();
    // The edit may have changed any cell of the row, and the numbers of the rows below.
    Model->RecordsChanged(row, Model->rowCount() - 1);
}

void TFChannels::RecordAdded()
{
    SetCounters();
}

void TFChannels::RecordsDeleted()
{
    SetCounters();
    ListView->viewport()->update();
}

void TFChannels::Buscar1Click()
{
    if (!Driving())
        return;
    TFBuscar search(ListView->window());
    search.Execute(ListView, LangText(218), NumClass != kModeNone);
}
