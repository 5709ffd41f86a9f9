#include "windows/lists/RecordPresenter.h"

#include "foundation/TLang.h"

#include <QTreeView>

RecordPresenter::RecordPresenter(QObject* parent, const Texts& texts, std::vector<RecordTableModel::Column> columns,
                                 int (*count)(const TVexaData& data), const QIcon& icon)
    : ListPresenter(parent, texts)
    , Model(new RecordTableModel(std::move(columns), count, icon, this))
{
    SetListModel(Model);

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
}

void RecordPresenter::Translate()
{
    TranslateCommands();
}

void RecordPresenter::Start(QTreeView* listView, TVexaComm* comm, TVexaData* data)
{
    ListView = listView;
    Comm = comm;
    Data = data;
    Model->Rebuild(Data);
    if (ListView)
        ShowList();
}
