#include "windows/editors/TFModTransponder.h"

#include "database/TVexaData.h"
#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "windows/DialogButtons.h"
#include "windows/RecordCombos.h"
#include "windows/controls/TEditNum.h"
#include "windows/editors/EditorCommon.h"
#include "windows/lists/ChannelListModel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace {

// What each item of a code combo stores, item 0 first. A stored code that is
// none of them shows item 0. The FEC of item 0 is the receiver's word "auto"
// whatever the language shows, so a translation never reaches a saved list.
constexpr std::array<const char*, 6> kFecCodes = {"auto", "1/2", "2/3", "3/4", "5/6", "7/8"};
constexpr std::array<const char*, 3> kVolt012Codes = {"n", "0", "12"};
constexpr std::array<const char*, 3> kTone22KCodes = {"n", "0", "22"};
constexpr std::array<const char*, 3> kVolt1418Codes = {"n", "14", "18"};

} // namespace

TFModTransponder::TFModTransponder(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FModTransponder"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    GroupBox2 = new QGroupBox(this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    ComboBox7 = NewCombo(GroupBox2, "ComboBox7");
    ComboBox7->setMinimumWidth(150);
    BitBtn3 = new QPushButton(GroupBox2);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setAutoDefault(false);
    EditNum2 = NewNumber(GroupBox2, "EditNum2", 65535);
    ComboBox2 = NewCombo(GroupBox2, "ComboBox2");
    EditNum1 = NewNumber(GroupBox2, "EditNum1", 65535);
    ComboBox1 = NewCombo(GroupBox2, "ComboBox1");

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    ComboBox8 = NewCombo(GroupBox1, "ComboBox8");
    ComboBox9 = NewCombo(GroupBox1, "ComboBox9");
    ComboBox10 = NewCombo(GroupBox1, "ComboBox10");

    GroupBox3 = new QGroupBox(this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    Label11 = new QLabel(GroupBox3);
    Label11->setObjectName(QStringLiteral("Label11"));
    Label11->setAlignment(Qt::AlignCenter);
    BitBtn4 = new QPushButton(GroupBox3);
    BitBtn4->setObjectName(QStringLiteral("BitBtn4"));
    BitBtn4->setIcon(ChannelIcon(false));
    BitBtn4->setIconSize(QSize(24, 24));
    BitBtn4->setAutoDefault(false);

    // Each label is the buddy of the control it names.
    QWidget* const labelled[8] = {ComboBox7, EditNum2, ComboBox2, EditNum1, ComboBox1, ComboBox8, ComboBox9, ComboBox10};
    for (int i = 0; i < 8; ++i)
        Labels[i] = BuddyLabel(labelled[i]);

    auto* data = new QGridLayout(GroupBox2);
    data->addWidget(Labels[0], 0, 0);
    data->addWidget(ComboBox7, 0, 1, 1, 2);
    data->addWidget(BitBtn3, 0, 3);
    data->addWidget(Labels[1], 1, 0);
    data->addWidget(EditNum2, 1, 1);
    data->addWidget(Labels[2], 1, 2);
    data->addWidget(ComboBox2, 1, 3);
    data->addWidget(Labels[3], 2, 0);
    data->addWidget(EditNum1, 2, 1);
    data->addWidget(Labels[4], 2, 2);
    data->addWidget(ComboBox1, 2, 3);
    data->setColumnStretch(1, 1);

    auto* advanced = new QGridLayout(GroupBox1);
    QComboBox* const switches[3] = {ComboBox8, ComboBox9, ComboBox10};
    for (int i = 0; i < 3; ++i) {
        advanced->addWidget(Labels[5 + i], i, 0);
        advanced->addWidget(switches[i], i, 1);
    }
    advanced->setColumnStretch(1, 1);

    auto* info = new QHBoxLayout(GroupBox3);
    info->addWidget(Label11, 1);
    info->addWidget(BitBtn4);

    auto* lower = new QHBoxLayout;
    lower->addWidget(GroupBox1, 1);
    lower->addWidget(GroupBox3, 1);
    QBoxLayout* buttons = AddOkCancel(this, BitBtn1, BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox2);
    layout->addLayout(lower);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BitBtn1, &QPushButton::clicked, this, &TFModTransponder::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TFModTransponder::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TFModTransponder::BitBtn4Click);

    FormCreate();
}

void TFModTransponder::FormCreate()
{
    setWindowTitle(ToQt(LangText(2913)));
    GroupBox2->setTitle(ToQt(LangText(2901)));
    GroupBox1->setTitle(ToQt(LangText(2909)));
    GroupBox3->setTitle(ToQt(LangText(2906)));
    SetLabelTexts(Labels, {10, 2902, 2903, 2904, 2905, 2910, 2911, 2912});
    BitBtn3->setText(ToQt(LangText(11)));

    ComboBox2->addItems({ToQt(LangText(2915)), ToQt(LangText(2916))});
    ComboBox1->addItem(ToQt(LangText(2917)));
    for (std::size_t i = 1; i < kFecCodes.size(); ++i)
        ComboBox1->addItem(QLatin1String(kFecCodes[i]));
    const QString normal = ToQt(LangText(2914));
    ComboBox8->addItems({normal, QStringLiteral("0 v"), QStringLiteral("12 v")});
    ComboBox9->addItems({normal, QStringLiteral("0 Khz"), QStringLiteral("22 Khz")});
    ComboBox10->addItems({normal, QStringLiteral("14 v"), QStringLiteral("18 v")});

    Label11->setText(CountText(2907, 2908, 0));
}

bool TFModTransponder::Execute(TVexaData& data, int Index, int SatIndex)
{
    Data = &data;
    // The list of users belongs to a transponder that exists; one taken for
    // reuse has none.
    BitBtn4->setEnabled(Index != -1);
    if (Index < -1 || Index >= data.Transponders.Count())
        return false; // no such transponder: nothing to edit

    RecIndex = Index;
    if (Index == -1) {
        const auto slot = NewRecordIndex([this](int mode) { return GetNewTransponder(mode); }, 2);
        if (!slot) {
            ShowError(LangText(2918));
            return false;
        }
        RecIndex = *slot;
    }

    if (RecIndex != -1)
        Rec = *data.Transponders.Get(RecIndex);
    else
        SetNewData();
    if (Index == -1 && SatIndex != -1)
        Rec.Satelite = data.Satelites.Get(SatIndex);

    LoadControls();
    if (RecIndex != -1)
        Label11->setText(CountText(2907, 2908, Usado(RecIndex, 1)));
    ComboBox7->setEnabled(SatIndex == -1);
    BitBtn3->setEnabled(SatIndex == -1);
    return exec() == QDialog::Accepted;
}

void TFModTransponder::LoadControls()
{
    ComboBox7->clear();
    LoadSatCombo(ComboBox7, *Data, Rec.Satelite.Get());
    EditNum2->SetValueAsInteger(Rec.Frequency);
    EditNum1->SetValueAsInteger(Rec.Symbol);
    ComboBox2->setCurrentIndex(Rec.Polar == 'h' ? 1 : 0);
    ComboBox1->setCurrentIndex(ItemOfCode(Rec.Fec.view(), kFecCodes));
    ComboBox8->setCurrentIndex(ItemOfCode(Rec.Volt012.view(), kVolt012Codes));
    ComboBox9->setCurrentIndex(ItemOfCode(Rec.Tone22K.view(), kTone22KCodes));
    ComboBox10->setCurrentIndex(ItemOfCode(Rec.Volt1418.view(), kVolt1418Codes));
}

int TFModTransponder::Usado(int Index, int Kind) const
{
    if (Kind != 1 || !Data || Index < 0 || Index >= Data->Transponders.Count())
        return 0;
    return CountUsers(Data->Channels, &TChannelRec::Transponder, Data->Transponders.Get(Index));
}

int TFModTransponder::GetNewTransponder(int Mode) const
{
    if (!Data)
        return -1;
    if (Mode == 1)
        return Data->Transponders.Count() >= TVexaData::MaxTransponders ? -1 : -2;
    if (Mode == 2)
        return FirstUnused(Data->Transponders.Count(), [this](int i) { return Usado(i, 1) == 0; });
    return -1;
}

void TFModTransponder::SetNewData()
{
    Rec.Satelite = TRef<TSateliteRec>();
    Rec.Frequency = 0;
    Rec.Symbol = 0;
    Rec.Polar = 'v';
    Rec.Volt1418 = "n";
    Rec.Tone22K = "n";
    Rec.Volt012 = "n";
    Rec.Fec = kFecCodes[0];
}

bool TFModTransponder::GetData()
{
    TSateliteRec* satelite = ComboRecord<TSateliteRec>(ComboBox7);
    Rec.Satelite = satelite;
    Rec.Volt012 = CodeOfItem(ComboBox8, kVolt012Codes);
    Rec.Tone22K = CodeOfItem(ComboBox9, kTone22KCodes);
    Rec.Volt1418 = CodeOfItem(ComboBox10, kVolt1418Codes);
    Rec.Frequency = Word(EditNum2->ValueAsInteger());
    Rec.Symbol = Word(EditNum1->ValueAsInteger());
    Rec.Polar = ComboBox2->currentIndex() == 1 ? 'h' : 'v';
    Rec.Fec = CodeOfItem(ComboBox1, kFecCodes);
    return satelite != nullptr;
}

void TFModTransponder::BitBtn1Click()
{
    if (!GetData()) {
        ShowError(LangText(2919));
        return;
    }
    StoreRecord(Data->Transponders, RecIndex, Rec);
    accept();
}

void TFModTransponder::BitBtn3Click()
{
    NewSatellite(this, *Data, ComboBox7);
}

void TFModTransponder::BitBtn4Click()
{
    // The stored record's users, not those of the edits not yet saved.
    ShowTransponderUsers(this, Data, RecIndex >= 0 ? Data->Transponders.Get(RecIndex) : nullptr, 2920);
}
