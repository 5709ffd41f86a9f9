#include "windows/tools/TFAddModCanal.h"

#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "windows/RecordCombos.h"
#include "windows/controls/TEditNum.h"
#include "windows/editors/EditorCommon.h"
#include "windows/editors/TFModCanal.h"
#include "windows/lists/TFShrChn.h"

#include <QComboBox>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

#include <string>

namespace {

constexpr int kNameLength = 16;
constexpr double kLargestNumber = 63000;
constexpr char kPolar[2] = {'v', 'h'};

QFrame* Bevel(QWidget* owner)
{
    auto* line = new QFrame(owner);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

TFAddModCanal::TFAddModCanal(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FAddModCanal"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto makeLabel = [this](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        return label;
    };
    auto makeHeading = [&](const char* name) {
        QLabel* label = makeLabel(name);
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
        return label;
    };
    auto makeCombo = [this](const char* name) { return NewCombo(this, name); };
    auto makeNumber = [this](const char* name) { return NewNumber(this, name, kLargestNumber); };

    Label1 = makeHeading("Label1");
    Label10 = makeLabel("Label10");
    ComboBox7 = makeCombo("ComboBox7");
    ComboBox7->setMinimumWidth(200);
    Label10->setBuddy(ComboBox7);
    BitBtn3 = new QPushButton(style()->standardIcon(QStyle::SP_FileIcon), QString(), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setAutoDefault(false);

    Label2 = makeHeading("Label2");
    EditNum1 = makeNumber("EditNum1");
    ComboBox1 = makeCombo("ComboBox1");
    EditNum2 = makeNumber("EditNum2");

    Label6 = makeHeading("Label6");
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(kNameLength);
    ComboBox2 = makeCombo("ComboBox2");
    EditNum7 = makeNumber("EditNum7");
    EditNum6 = makeNumber("EditNum6");
    EditNum5 = makeNumber("EditNum5");
    EditNum3 = makeNumber("EditNum3");
    EditNum4 = makeNumber("EditNum4");

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_ArrowForward), QString(), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QString(), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAutoDefault(false);

    // Each label is the buddy of the control it names.
    QWidget* const labelled[10] = {EditNum1, ComboBox1, EditNum2, Edit1, ComboBox2,
                                   EditNum7, EditNum6, EditNum5, EditNum3, EditNum4};
    for (int i = 0; i < 10; ++i) {
        Labels[i] = new QLabel(this);
        Labels[i]->setObjectName(QStringLiteral("Label") + labelled[i]->objectName());
        Labels[i]->setBuddy(labelled[i]);
    }

    auto* satellite = new QHBoxLayout;
    satellite->addWidget(Label10);
    satellite->addWidget(ComboBox7, 1);
    satellite->addWidget(BitBtn3);

    // Two columns of label and control, filled down then across.
    auto grid = [this](int first, int count, int rows) {
        auto* layout = new QGridLayout;
        for (int i = 0; i < count; ++i) {
            const int column = (i / rows) * 2;
            layout->addWidget(Labels[first + i], i % rows, column);
            layout->addWidget(Labels[first + i]->buddy(), i % rows, column + 1);
        }
        layout->setColumnStretch(1, 1);
        layout->setColumnStretch(3, 1);
        return layout;
    };

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(satellite);
    layout->addWidget(Bevel(this));
    layout->addWidget(Label2);
    layout->addLayout(grid(0, 3, 2));
    layout->addWidget(Bevel(this));
    layout->addWidget(Label6);
    layout->addLayout(grid(3, 7, 4));
    layout->addWidget(Bevel(this));
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // CheckClick only reads the controls, so programmatic changes may run it.
    connect(ComboBox7, &QComboBox::currentIndexChanged, this, &TFAddModCanal::CheckClick);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TFAddModCanal::CheckClick);
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, &TFAddModCanal::CheckClick);
    connect(Edit1, &QLineEdit::textChanged, this, &TFAddModCanal::CheckClick);
    connect(EditNum1, &QLineEdit::textChanged, this, &TFAddModCanal::CheckClick);
    connect(EditNum2, &QLineEdit::textChanged, this, &TFAddModCanal::CheckClick);
    connect(BitBtn3, &QPushButton::clicked, this, &TFAddModCanal::BitBtn3Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TFAddModCanal::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    Editor = [this](TVexaData& data, int index, int& recIndex) {
        // The wizard is closed by now: the editor belongs to its owner.
        TFModCanal editor(parentWidget());
        const bool saved = editor.Execute(data, index);
        recIndex = editor.RecIndex;
        return saved;
    };

    FormCreate();
}

void TFAddModCanal::FormCreate()
{
    setWindowTitle(ToQt(LangText(2520)));
    Label1->setText(ToQt(LangText(2501)));
    Label10->setText(ToQt(LangText(10)));
    BitBtn3->setText(ToQt(LangText(11)));
    Label2->setText(ToQt(LangText(2504)));
    Label6->setText(ToQt(LangText(2508)));
    static constexpr int kLabelTexts[10] = {2505, 2507, 2506, 2509, 2511, 2510, 2512, 2514, 2513, 2515};
    for (int i = 0; i < 10; ++i)
        Labels[i]->setText(ToQt(LangText(kLabelTexts[i])));
    ComboBox1->addItems({ToQt(LangText(2516)), ToQt(LangText(2517))});
    ComboBox1->setCurrentIndex(-1);
    ComboBox2->addItems({ToQt(LangText(2518)), ToQt(LangText(2519))});
    ComboBox2->setCurrentIndex(-1);
    BitBtn1->setText(ToQt(LangText(8)));
    BitBtn2->setText(ToQt(LangText(3)));
    BitBtn1->setEnabled(false);
}

void TFAddModCanal::Execute(TVexaData& Data)
{
    WorkData.Assign(Data);
    RecIndex = -1;
    ComboBox7->clear();
    LoadSatCombo(ComboBox7, WorkData, nullptr);
    CheckClick();
    if (exec() != QDialog::Accepted)
        return;

    ShowInfo(LangText(2521));
    int stored = RecIndex;
    if (Editor && Editor(WorkData, RecIndex, stored))
        Data.Assign(WorkData);
}

TSateliteRec* TFAddModCanal::ChosenSatelite() const
{
    TSateliteRec* satelite = ComboRecord<TSateliteRec>(ComboBox7);
    return WorkData.Satelites.IndexOf(satelite) >= 0 ? satelite : nullptr;
}

bool TFAddModCanal::Ready() const
{
    return ChosenSatelite() && EditNum1->ValueAsInteger() != 0 && EditNum2->ValueAsInteger() != 0
        && ComboBox1->currentIndex() >= 0 && ComboBox2->currentIndex() >= 0 && !Edit1->text().isEmpty();
}

void TFAddModCanal::CheckClick()
{
    BitBtn1->setEnabled(Ready());
}

void TFAddModCanal::mousePressEvent(QMouseEvent* event)
{
    QDialog::mousePressEvent(event);
    CheckClick();
}

void TFAddModCanal::BitBtn3Click()
{
    NewSatellite(this, WorkData, ComboBox7);
    CheckClick();
}

void TFAddModCanal::BitBtn1Click()
{
    if (!Ready())
        return;
    TSateliteRec* satelite = ChosenSatelite();
    const std::string name = FromQt(Edit1->text());
    const bool radio = ComboBox2->currentIndex() == 1;

    TFShrChn picker(this);
    // Stands for "a new channel" among the matches; it belongs to no list.
    TChannelRec placeholder;
    placeholder.Name = LangText(2522);
    placeholder.Radio = radio ? 1 : 0;
    picker.ChnList.push_back(&placeholder);
    for (int i = 0; i < WorkData.Channels.Count(); ++i) {
        TChannelRec* channel = WorkData.Channels.Get(i);
        if (channel->Satelite.Get() == satelite && SameName(channel->Name.str(), name)
            && (channel->Radio != 0) == radio)
            picker.ChnList.push_back(channel);
    }

    int index = -1;
    if (picker.ChnList.size() == 2) {
        index = WorkData.Channels.IndexOf(picker.ChnList[1]);
    } else if (picker.ChnList.size() > 2) {
        picker.setWindowTitle(ToQt(LangText(2523)));
        picker.BitBtn1->setText(ToQt(LangText(2524)));
        picker.BuildLista();
        picker.MustSelectOne();
        if (picker.exec() != QDialog::Accepted)
            return;
        const QModelIndexList rows = picker.ListaCan->selectionModel()->selectedRows();
        if (rows.isEmpty())
            return;
        // The placeholder is no entry of the list: it gives -1, a new channel.
        index = WorkData.Channels.IndexOf(picker.ChnList[static_cast<std::size_t>(rows.first().row())]);
    }

    if (CrearMoficiarCanal(index))
        accept();
}

bool TFAddModCanal::CrearMoficiarCanal(int Index)
{
    TSateliteRec* satelite = ChosenSatelite();
    if (!satelite || Index < -1 || Index >= WorkData.Channels.Count())
        return false;
    const auto frequency = Word(EditNum1->ValueAsInteger());
    const auto symbol = Word(EditNum2->ValueAsInteger());
    const char polar = kPolar[ComboBox1->currentIndex() == 1 ? 1 : 0];

    // Every list is checked before anything is written, so that a refusal
    // leaves no half-made channel and no antenna or transponder overwritten
    // for a channel that never comes.
    if (Index == -1 && WorkData.Channels.Count() >= TVexaData::MaxChannels) {
        ShowError(LangText(2525));
        return false;
    }
    if (!WorkData.FindAntena(satelite, false) && WorkData.Antenas.Count() >= TVexaData::MaxAntenas
        && !WorkData.UnusedAntena()) {
        ShowError(LangText(2526));
        return false;
    }
    if (!WorkData.FindTransponder(satelite, frequency, polar, symbol, false)
        && WorkData.Transponders.Count() >= TVexaData::MaxTransponders && !WorkData.UnusedTransponder()) {
        ShowError(LangText(2527));
        return false;
    }

    if (Index == -1) {
        WorkData.Channels.New();
        Index = WorkData.Channels.Count() - 1;
    }
    RecIndex = Index;
    TChannelRec* channel = WorkData.Channels.Get(Index);
    channel->Name = FromQt(Edit1->text());
    channel->Radio = ComboBox2->currentIndex() == 1 ? 1 : 0;
    channel->ServiceId = Word(EditNum7->ValueAsInteger());
    channel->VideoPid = Word(EditNum6->ValueAsInteger());
    channel->AudioPid = Word(EditNum5->ValueAsInteger());
    channel->PcrPid = Word(EditNum3->ValueAsInteger());
    channel->TxtPid = Word(EditNum4->ValueAsInteger());
    channel->Scramble = 0;
    channel->Favorite = 0;
    channel->Lock = 0;
    channel->Favorites.fill(0);
    channel->Satelite = satelite;
    // Neither can fail now: the checks above found room for both.
    channel->Antena = WorkData.FindAntena(satelite, true);
    channel->Transponder = WorkData.FindTransponder(satelite, frequency, polar, symbol, true);
    return true;
}
