#include "windows/editors/TFModAntena.h"

#include "database/TVexaData.h"
#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "windows/RecordCombos.h"
#include "windows/DialogButtons.h"
#include "windows/controls/TEditNum.h"
#include "windows/editors/EditorCommon.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace {

// What each item of a code combo stores, item 0 first. A stored code that is
// none of the others shows item 0 and goes back as item 0's code.
constexpr std::array<char, 3> kPositionerCodes = {'f', 'd', 'a'};
constexpr std::array<char, 5> kPortCodes = {'n', 'a', 'b', 'c', 'd'};
constexpr std::array<const char*, 3> kVolt012Codes = {"n", "0", "12"};
constexpr std::array<const char*, 3> kTone22KCodes = {"n", "0", "22"};
constexpr std::array<const char*, 3> kVolt1418Codes = {"n", "14", "18"};

// The port item shows the letter in upper case.
char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

TFModAntena::TFModAntena(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FModAntena"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    GroupBox2 = new QGroupBox(this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));

    auto makeCombo = [this](const char* name) { return NewCombo(GroupBox2, name); };
    auto makeNumber = [this](const char* name) { return NewNumber(GroupBox2, name, 65535); };
    auto makeLabel = [this](const char* name, QWidget* buddy) {
        auto* label = new QLabel(GroupBox2);
        label->setObjectName(QLatin1String(name));
        label->setBuddy(buddy);
        return label;
    };

    ComboBox7 = makeCombo("ComboBox7");
    ComboBox7->setMinimumWidth(150);
    BitBtn3 = new QPushButton(GroupBox2);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setAutoDefault(false);
    LNB_Low = makeNumber("LNB_Low");
    LNB_High = makeNumber("LNB_High");
    LNB = makeCombo("LNB");
    ComboBox3 = makeCombo("ComboBox3");
    ComboBox1 = makeCombo("ComboBox1");
    ComboBox2 = makeCombo("ComboBox2");
    ComboBox4 = makeCombo("ComboBox4");
    ComboBox5 = makeCombo("ComboBox5");
    Label1 = makeLabel("Label1", ComboBox1);
    Label2 = makeLabel("Label2", ComboBox2);
    Label7 = makeLabel("Label7", ComboBox4);
    Label8 = makeLabel("Label8", ComboBox5);
    QWidget* const labelled[5] = {ComboBox7, LNB_Low, LNB_High, LNB, ComboBox3};
    for (int i = 0; i < 5; ++i)
        Labels[i] = BuddyLabel(labelled[i]);

    auto* grid = new QGridLayout(GroupBox2);
    grid->addWidget(Labels[0], 0, 0);
    grid->addWidget(ComboBox7, 0, 1, 1, 2);
    grid->addWidget(BitBtn3, 0, 3);
    grid->addWidget(Labels[1], 1, 0);
    grid->addWidget(LNB_Low, 1, 1);
    grid->addWidget(Labels[2], 1, 2);
    grid->addWidget(LNB_High, 1, 3);
    grid->addWidget(Labels[3], 2, 0);
    grid->addWidget(LNB, 2, 1);
    grid->addWidget(Labels[4], 2, 2);
    grid->addWidget(ComboBox3, 2, 3);
    grid->addWidget(Label1, 3, 0);
    grid->addWidget(ComboBox1, 3, 1);
    grid->addWidget(Label2, 3, 2);
    grid->addWidget(ComboBox2, 3, 3);
    grid->addWidget(Label7, 4, 0);
    grid->addWidget(ComboBox4, 4, 1);
    grid->addWidget(Label8, 4, 2);
    grid->addWidget(ComboBox5, 4, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Label11 = new QLabel(GroupBox1);
    Label11->setObjectName(QStringLiteral("Label11"));
    Label11->setAlignment(Qt::AlignCenter);
    auto* info = new QVBoxLayout(GroupBox1);
    info->addWidget(Label11);

    QBoxLayout* buttons = AddOkCancel(this, BitBtn1, BitBtn2, Qt::Vertical);
    auto* lower = new QHBoxLayout;
    lower->addWidget(GroupBox1, 1);
    lower->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox2);
    layout->addLayout(lower);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BitBtn1, &QPushButton::clicked, this, &TFModAntena::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TFModAntena::BitBtn3Click);
    // The user's choice only: filling the dialog runs it once by hand.
    connect(ComboBox3, &QComboBox::activated, this, &TFModAntena::ComboBox3Change);

    FormCreate();
}

void TFModAntena::FormCreate()
{
    setWindowTitle(ToQt(LangText(2713)));
    GroupBox2->setTitle(ToQt(LangText(2701)));
    GroupBox1->setTitle(ToQt(LangText(2702)));
    SetLabelTexts(Labels, {10, 2705, 2706, 2707, 2708});
    SetLabelTexts({Label1, Label2, Label7, Label8}, {2709, 2710, 2711, 2712});
    BitBtn3->setText(ToQt(LangText(11)));

    LNB->addItems({ToQt(LangText(2716)), ToQt(LangText(2717))});
    ComboBox3->addItems({ToQt(LangText(2718)), QStringLiteral("Diseq 1.2"), QStringLiteral("Usals")});
    ComboBox1->addItems({QStringLiteral("Ninguno"), QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                         QStringLiteral("D")});
    ComboBox2->addItems({QStringLiteral("normal"), QStringLiteral("0 v"), QStringLiteral("12 v")});
    ComboBox4->addItems({QStringLiteral("normal"), QStringLiteral("0 Khz"), QStringLiteral("22 Khz")});
    ComboBox5->addItems({QStringLiteral("normal"), QStringLiteral("14 v"), QStringLiteral("18 v")});

    Label11->setText(CountText(2703, 2704, 0));
}

bool TFModAntena::Execute(TVexaData& data, int Index, int SatIndex)
{
    Data = &data;
    if (Index < -1 || Index >= data.Antenas.Count())
        return false; // no such antenna: the default one is never edited

    RecIndex = Index;
    if (Index == -1) {
        const auto slot = NewRecordIndex([this](int mode) { return GetNewAntena(mode); }, 2);
        if (!slot) {
            ShowError(LangText(2714));
            return false;
        }
        RecIndex = *slot;
    }

    if (RecIndex != -1)
        Rec = *data.Antenas.Get(RecIndex);
    else
        SetNewData();
    if (Index == -1 && SatIndex != -1)
        Rec.Satelite = data.Satelites.Get(SatIndex);

    LoadControls();
    if (RecIndex != -1)
        Label11->setText(CountText(2703, 2704, Usado(RecIndex, 1)));
    ComboBox3Change();
    ComboBox7->setEnabled(SatIndex == -1);
    BitBtn3->setEnabled(SatIndex == -1);
    return exec() == QDialog::Accepted;
}

void TFModAntena::LoadControls()
{
    LNB_Low->SetValueAsInteger(Rec.LnbLow);
    LNB_High->SetValueAsInteger(Rec.LnbHigh);
    LNB->setCurrentIndex(Rec.Universal ? 1 : 0);
    ComboBox7->clear();
    LoadSatCombo(ComboBox7, *Data, Rec.Satelite.Get());
    ComboBox3->setCurrentIndex(ItemOfCode(Rec.AntennaType, kPositionerCodes));
    ComboBox1->setCurrentIndex(ItemOfCode(Lower(Rec.Diseqc), kPortCodes));
    ComboBox2->setCurrentIndex(ItemOfCode(Rec.Volt012.view(), kVolt012Codes));
    ComboBox4->setCurrentIndex(ItemOfCode(Rec.Tone22K.view(), kTone22KCodes));
    ComboBox5->setCurrentIndex(ItemOfCode(Rec.Volt1418.view(), kVolt1418Codes));
}

int TFModAntena::Usado(int Index, int Kind) const
{
    if (Kind != 1 || !Data || Index < 0 || Index >= Data->Antenas.Count())
        return 0;
    return CountUsers(Data->Channels, &TChannelRec::Antena, Data->Antenas.Get(Index));
}

int TFModAntena::GetNewAntena(int Mode) const
{
    if (!Data)
        return -1;
    if (Mode == 1)
        return Data->Antenas.Count() >= TVexaData::MaxAntenas ? -1 : -2;
    if (Mode == 2)
        return FirstUnused(Data->Antenas.Count(), [this](int i) { return Usado(i, 1) == 0; });
    return -1;
}

void TFModAntena::SetNewData()
{
    Rec.Satelite = TRef<TSateliteRec>();
    Rec.LnbLow = 5150;
    Rec.LnbHigh = 10750;
    Rec.Universal = 0;
    Rec.Diseqc = 'n';
    Rec.Volt012 = "n";
    Rec.Tone22K = "n";
    Rec.AntennaType = 'a';
    Rec.Volt1418 = "n";
}

bool TFModAntena::GetData()
{
    TSateliteRec* satelite = ComboRecord<TSateliteRec>(ComboBox7);
    Rec.Satelite = satelite;
    Rec.LnbLow = Word(LNB_Low->ValueAsInteger());
    Rec.LnbHigh = Word(LNB_High->ValueAsInteger());
    Rec.Universal = LNB->currentIndex() == 1 ? 1 : 0;
    Rec.AntennaType = CodeOfItem(ComboBox3, kPositionerCodes);
    Rec.Diseqc = CodeOfItem(ComboBox1, kPortCodes);
    Rec.Volt012 = CodeOfItem(ComboBox2, kVolt012Codes);
    Rec.Tone22K = CodeOfItem(ComboBox4, kTone22KCodes);
    Rec.Volt1418 = CodeOfItem(ComboBox5, kVolt1418Codes);
    return satelite != nullptr;
}

void TFModAntena::BitBtn1Click()
{
    if (!GetData()) {
        ShowError(LangText(2715));
        return;
    }
    StoreRecord(Data->Antenas, RecIndex, Rec);
    accept();
}

void TFModAntena::BitBtn3Click()
{
    NewSatellite(this, *Data, ComboBox7);
}

void TFModAntena::ComboBox3Change()
{
    const bool fixed = ComboBox3->currentIndex() == 0;
    for (QWidget* w : std::initializer_list<QWidget*>{ComboBox1, ComboBox2, ComboBox4, ComboBox5, Label1, Label2,
                                                      Label7, Label8})
        w->setEnabled(fixed);
}
