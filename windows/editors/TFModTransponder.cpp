#include "windows/editors/TFModTransponder.h"

#include "database/TVexaData.h"
#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "windows/ChannelListModel.h"
#include "windows/RecordCombos.h"
#include "windows/TFShrChn.h"
#include "windows/controls/TEditNum.h"
#include "windows/editors/TFModSatelite.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace {

// What each item of a code combo stores, item 0 first. A stored code that is
// none of them shows item 0. The FEC of item 0 is the receiver's word "auto"
// whatever the language shows, so a translation never reaches a saved list.
constexpr std::array<const char*, 6> kFecCodes = {"auto", "1/2", "2/3", "3/4", "5/6", "7/8"};
constexpr std::array<const char*, 3> kVolt012Codes = {"n", "0", "12"};
constexpr std::array<const char*, 3> kTone22KCodes = {"n", "0", "22"};
constexpr std::array<const char*, 3> kVolt1418Codes = {"n", "14", "18"};

template <std::size_t N>
int ItemOfCode(std::string_view code, const std::array<const char*, N>& codes)
{
    for (std::size_t i = 1; i < N; ++i)
        if (code == codes[i])
            return static_cast<int>(i);
    return 0;
}

template <std::size_t N>
const char* CodeOfItem(const QComboBox* combo, const std::array<const char*, N>& codes)
{
    const int item = combo->currentIndex();
    return codes[item >= 0 && static_cast<std::size_t>(item) < N ? static_cast<std::size_t>(item) : 0];
}

// Only "%d" is replaced, so a stray "%" of a language file never reaches a
// format function.
std::string WithCount(std::string text, int count)
{
    const auto at = text.find("%d");
    if (at != std::string::npos)
        text.replace(at, 2, std::to_string(count));
    return text;
}

// The 16-bit fields take the typed number as it is; the edits stop anything
// above 65535 from being typed, and nothing ever wraps.
std::uint16_t Word(int value)
{
    return static_cast<std::uint16_t>(std::clamp(value, 0, 65535));
}

} // namespace

TFModTransponder::TFModTransponder(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FModTransponder"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto makeCombo = [this](QWidget* owner, const char* name) {
        auto* combo = new QComboBox(owner);
        combo->setObjectName(QLatin1String(name));
        combo->setEditable(false);
        return combo;
    };
    auto makeNumber = [](QWidget* owner, const char* name) {
        auto* edit = new TEditNum(owner);
        edit->setObjectName(QLatin1String(name));
        // A five-digit number in a 16-bit field: the range, rather than the
        // length, is what keeps 70000 out.
        edit->SetMaxValue(65535);
        return edit;
    };

    GroupBox2 = new QGroupBox(this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    ComboBox7 = makeCombo(GroupBox2, "ComboBox7");
    ComboBox7->setMinimumWidth(150);
    BitBtn3 = new QPushButton(GroupBox2);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setAutoDefault(false);
    EditNum2 = makeNumber(GroupBox2, "EditNum2");
    ComboBox2 = makeCombo(GroupBox2, "ComboBox2");
    EditNum1 = makeNumber(GroupBox2, "EditNum1");
    ComboBox1 = makeCombo(GroupBox2, "ComboBox1");

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    ComboBox8 = makeCombo(GroupBox1, "ComboBox8");
    ComboBox9 = makeCombo(GroupBox1, "ComboBox9");
    ComboBox10 = makeCombo(GroupBox1, "ComboBox10");

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
    for (int i = 0; i < 8; ++i) {
        Labels[i] = new QLabel(labelled[i]->parentWidget());
        Labels[i]->setObjectName(QStringLiteral("Label") + labelled[i]->objectName());
        Labels[i]->setBuddy(labelled[i]);
    }

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

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QString(), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QString(), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAutoDefault(false);

    auto* lower = new QHBoxLayout;
    lower->addWidget(GroupBox1, 1);
    lower->addWidget(GroupBox3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox2);
    layout->addLayout(lower);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BitBtn1, &QPushButton::clicked, this, &TFModTransponder::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
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
    static constexpr int kLabelTexts[8] = {10, 2902, 2903, 2904, 2905, 2910, 2911, 2912};
    for (int i = 0; i < 8; ++i)
        Labels[i]->setText(ToQt(LangText(kLabelTexts[i])));
    BitBtn3->setText(ToQt(LangText(11)));
    BitBtn1->setText(ToQt(LangText(2)));
    BitBtn2->setText(ToQt(LangText(3)));

    ComboBox2->addItems({ToQt(LangText(2915)), ToQt(LangText(2916))});
    ComboBox1->addItem(ToQt(LangText(2917)));
    for (std::size_t i = 1; i < kFecCodes.size(); ++i)
        ComboBox1->addItem(QLatin1String(kFecCodes[i]));
    const QString normal = ToQt(LangText(2914));
    ComboBox8->addItems({normal, QStringLiteral("0 v"), QStringLiteral("12 v")});
    ComboBox9->addItems({normal, QStringLiteral("0 Khz"), QStringLiteral("22 Khz")});
    ComboBox10->addItems({normal, QStringLiteral("14 v"), QStringLiteral("18 v")});

    Label11->setText(ToQt(LangText(2907) + "\n" + WithCount(LangText(2908), 0)));
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
        RecIndex = GetNewTransponder(1);
        if (RecIndex == -1)
            RecIndex = GetNewTransponder(2);
        if (RecIndex == -1) {
            ShowError(LangText(2918));
            return false;
        }
        if (RecIndex == -2)
            RecIndex = -1;
    }

    if (RecIndex != -1)
        Rec = *data.Transponders.Get(RecIndex);
    else
        SetNewData();
    if (Index == -1 && SatIndex != -1)
        Rec.Satelite = data.Satelites.Get(SatIndex);

    LoadControls();
    if (RecIndex != -1)
        Label11->setText(ToQt(LangText(2907) + "\n" + WithCount(LangText(2908), Usado(RecIndex, 1))));
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
    const TTransponderRec* transponder = Data->Transponders.Get(Index);
    int count = 0;
    for (int i = 0; i < Data->Channels.Count(); ++i)
        if (Data->Channels.Get(i)->Transponder.Get() == transponder)
            ++count;
    return count;
}

int TFModTransponder::GetNewTransponder(int Mode) const
{
    if (!Data)
        return -1;
    if (Mode == 1)
        return Data->Transponders.Count() >= TVexaData::MaxTransponders ? -1 : -2;
    if (Mode == 2) {
        for (int i = 0; i < Data->Transponders.Count(); ++i)
            if (Usado(i, 1) == 0)
                return i;
    }
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
    if (RecIndex == -1) {
        Data->Transponders.New();
        RecIndex = Data->Transponders.Count() - 1;
    }
    *Data->Transponders.Get(RecIndex) = Rec;
    accept();
}

void TFModTransponder::BitBtn3Click()
{
    TFModSatelite editor(this);
    if (!editor.Execute(*Data, -1))
        return;
    ComboBox7->clear();
    LoadSatCombo(ComboBox7, *Data, Data->Satelites.Get(editor.RecIndex));
}

void TFModTransponder::BitBtn4Click()
{
    // The stored record's users, not those of the edits not yet saved.
    TFShrChn picker(this);
    picker.ExecuteChn(Data, RecIndex >= 0 ? Data->Transponders.Get(RecIndex) : nullptr);
    picker.setWindowTitle(ToQt(LangText(2920)));
    picker.exec();
}
