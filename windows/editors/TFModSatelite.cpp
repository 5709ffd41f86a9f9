#include "windows/editors/TFModSatelite.h"

#include "database/TVexaData.h"
#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "windows/DialogButtons.h"
#include "windows/controls/EditPlace.h"
#include "windows/controls/TEditNum.h"
#include "windows/editors/EditorCommon.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValidator>

#include <cstdint>

namespace {

constexpr int MaxTenths = 1800; // 180.0 degrees east or west

// Tenths of a degree as "19.2": always a point, whatever the desktop's
// decimal separator, and every stored value shown as it is.
QString DegreesText(std::uint16_t tenths)
{
    return QString::number(tenths / 10) + u'.' + QString::number(tenths % 10);
}

// "105.5" -> 1055; -1 when the text is no position from 0.0 to 180.0 with at
// most one decimal. An empty text, or one without digits, is 0.
int TenthsOf(const QString& text)
{
    const qsizetype point = text.indexOf(u'.');
    const QString whole = point < 0 ? text : text.left(point);
    const QString tenth = point < 0 ? QString() : text.mid(point + 1);
    if (whole.size() > 3 || tenth.size() > 1)
        return -1;
    int value = 0;
    for (const QChar c : whole + (tenth.isEmpty() ? QStringLiteral("0") : tenth)) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value <= MaxTenths ? value : -1;
}

// Lets the user type a position from 0.0 to 180.0: anything else is refused
// with a beep and the text, caret and selection stay as they were. Texts the
// dialog puts there itself pass untouched, so a stored position beyond the
// range is shown as it is, and deleting always passes, so that it can be
// corrected. A refusal answers with the text from before rather than with
// Invalid, which QLineEdit can only roll back while its text was valid.
class PositionFilter : public QValidator {
public:
    explicit PositionFilter(QLineEdit* edit)
        : QValidator(edit)
        , place_(new EditPlace(edit))
    {
        QObject::connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { previous_ = text; });
    }

    bool quiet = false;

    State validate(QString& input, int& pos) const override
    {
        if (quiet || input == previous_ || TenthsOf(input) >= 0 || OnlyRemoves(previous_, input))
            return Acceptable;
        QApplication::beep();
        pos = place_->Refuse();
        input = previous_;
        return Acceptable;
    }

private:
    QString previous_;
    EditPlace* place_;
};

} // namespace

TFModSatelite::TFModSatelite(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FModSatelite"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto makeNumber = [](QWidget* owner, const char* name) {
        TEditNum* edit = NewNumber(owner, name, 65535);
        edit->setMaximumWidth(80);
        return edit;
    };

    Nombre = new QLineEdit(this);
    Nombre->setObjectName(QStringLiteral("Nombre"));
    Nombre->setMaxLength(ShortString<17>::Capacity);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Grados = new QLineEdit(GroupBox1);
    Grados->setObjectName(QStringLiteral("Grados"));
    Grados->setMaximumWidth(60);
    Grados->setAlignment(Qt::AlignRight);
    Grados->setValidator(new PositionFilter(Grados));
    Orientacion = NewCombo(GroupBox1, "Orientacion");

    GroupBox2 = new QGroupBox(this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    LNB_Low = makeNumber(GroupBox2, "LNB_Low");
    LNB_High = makeNumber(GroupBox2, "LNB_High");
    LNB = NewCombo(GroupBox2, "LNB");
    Diseq_1_2 = new QCheckBox(GroupBox2);
    Diseq_1_2->setObjectName(QStringLiteral("Diseq_1_2"));
    Label7 = new QLabel(GroupBox2);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label8 = new QLabel(GroupBox2);
    Label8->setObjectName(QStringLiteral("Label8"));
    Label8->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label8->setFrameShape(QFrame::StyledPanel);
    Label8->setMinimumWidth(36);
    SpinButton1 = new QWidget(GroupBox2);
    SpinButton1->setObjectName(QStringLiteral("SpinButton1"));
    auto makeArrow = [this](const char* name, Qt::ArrowType arrow) {
        auto* button = new QToolButton(SpinButton1);
        button->setObjectName(QLatin1String(name));
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFixedSize(18, 12);
        return button;
    };
    SpinButton1Up = makeArrow("SpinButton1Up", Qt::UpArrow);
    SpinButton1Down = makeArrow("SpinButton1Down", Qt::DownArrow);
    auto* arrows = new QVBoxLayout(SpinButton1);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    arrows->addWidget(SpinButton1Up);
    arrows->addWidget(SpinButton1Down);

    GroupBox3 = new QGroupBox(this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    Label9 = new QLabel(GroupBox3);
    Label9->setObjectName(QStringLiteral("Label9"));
    Label9->setAlignment(Qt::AlignCenter);

    // Each label is the buddy of the control it names.
    QWidget* const labelled[6] = {Nombre, LNB_Low, LNB_High, LNB, Grados, Orientacion};
    for (int i = 0; i < 6; ++i)
        Labels[i] = BuddyLabel(labelled[i]);

    auto* name = new QHBoxLayout;
    name->addWidget(Labels[0]);
    name->addWidget(Nombre, 1);

    auto* place = new QFormLayout(GroupBox1);
    auto* degrees = new QHBoxLayout;
    degrees->addWidget(Grados);
    degrees->addWidget(new QLabel(QStringLiteral("\u00B0"), GroupBox1));
    degrees->addStretch(1);
    place->addRow(Labels[4], degrees);
    place->addRow(Labels[5], Orientacion);

    auto* info = new QVBoxLayout(GroupBox3);
    info->addWidget(Label9);

    auto* advanced = new QGridLayout(GroupBox2);
    advanced->addWidget(Labels[1], 0, 0);
    advanced->addWidget(LNB_Low, 0, 1, 1, 2);
    advanced->addWidget(Labels[2], 1, 0);
    advanced->addWidget(LNB_High, 1, 1, 1, 2);
    advanced->addWidget(Labels[3], 2, 0);
    advanced->addWidget(LNB, 2, 1, 1, 2);
    advanced->addWidget(Diseq_1_2, 3, 0, 1, 3);
    advanced->addWidget(Label7, 4, 0);
    advanced->addWidget(Label8, 4, 1);
    advanced->addWidget(SpinButton1, 4, 2, Qt::AlignLeft);
    advanced->setColumnStretch(2, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(GroupBox1);
    left->addWidget(GroupBox3, 1);
    auto* groups = new QHBoxLayout;
    groups->addLayout(left);
    groups->addWidget(GroupBox2);

    QBoxLayout* buttons = AddOkCancel(this, BitBtn1, BitBtn2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(name);
    layout->addLayout(groups);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BitBtn1, &QPushButton::clicked, this, &TFModSatelite::BitBtn1Click);
    // User actions only: filling the dialog runs none of these.
    connect(Diseq_1_2, &QCheckBox::clicked, this, &TFModSatelite::Diseq_1_2Click);
    connect(SpinButton1Up, &QToolButton::clicked, this, &TFModSatelite::SpinButton1UpClick);
    connect(SpinButton1Down, &QToolButton::clicked, this, &TFModSatelite::SpinButton1DownClick);
    connect(Grados, &QLineEdit::textEdited, this, [this] { GradosEdited = true; });

    FormCreate();
}

void TFModSatelite::FormCreate()
{
    setWindowTitle(ToQt(LangText(2821)));
    SetLabelTexts(Labels, {2807, 2809, 2810, 2811, 2812, 2813});
    LNB->addItems({ToQt(LangText(2801)), ToQt(LangText(2802))});
    Orientacion->addItems({ToQt(LangText(2817)), ToQt(LangText(2818))});
    Diseq_1_2->setText(ToQt(LangText(2814)));
    Label7->setText(ToQt(LangText(2815) + "\n" + LangText(2816)));
    GroupBox1->setTitle(ToQt(LangText(2803)));
    GroupBox2->setTitle(ToQt(LangText(2808)));
    GroupBox3->setTitle(ToQt(LangText(2804)));
    Label9->setText(CountText(2805, 2806, 0));
}

bool TFModSatelite::Execute(TVexaData& Data, int Index)
{
    this->Data = &Data;
    if (Index < -1 || Index >= Data.Satelites.Count())
        return false; // no such satellite: the default one is never edited
    RecIndex = Index;
    if (RecIndex == -1) {
        const auto slot = NewRecordIndex([this](int mode) { return GetNewSat(mode); }, 3);
        if (!slot) {
            ShowError(LangText(2819));
            return false;
        }
        RecIndex = *slot;
    }

    if (RecIndex != -1)
        Rec = *Data.Satelites.Get(RecIndex);
    else
        SetNewData();
    LoadControls();
    if (RecIndex != -1)
        Label9->setText(CountText(2805, 2806, Usado(RecIndex, 1)));

    return exec() == QDialog::Accepted;
}

void TFModSatelite::LoadControls()
{
    Nombre->setText(ToQt(Rec.Name.str()));
    Orientacion->setCurrentIndex(Rec.EastWest == 'e' ? 0 : 1);
    LNB_Low->SetValueAsInteger(Rec.LnbLow);
    LNB_High->SetValueAsInteger(Rec.LnbHigh);
    LNB->setCurrentIndex(Rec.LnbType < LNB->count() ? Rec.LnbType : -1);
    auto* filter = static_cast<PositionFilter*>(const_cast<QValidator*>(Grados->validator()));
    filter->quiet = true;
    Grados->setText(DegreesText(Rec.Angle));
    filter->quiet = false;
    GradosEdited = false;
    Diseq_1_2->setChecked(Rec.Diseqc12 != 0);
    Label8->setText(QString::number(Rec.AntennaOffset));
    Diseq_1_2Click();
}

int TFModSatelite::Usado(int Index, int Kind) const
{
    const TSateliteRec* satelite = Data->Satelites.Get(Index);
    if (Kind == 4)
        return CountUsers(Data->Transponders, &TTransponderRec::Satelite, satelite);
    if (Kind == 1)
        return CountUsers(Data->Channels, &TChannelRec::Satelite, satelite);
    return 0;
}

int TFModSatelite::GetNewSat(int Mode) const
{
    const int count = Data->Satelites.Count();
    switch (Mode) {
    case 1:
        return count >= TVexaData::MaxSatelites ? -1 : -2;
    case 2:
        return FirstUnused(count, [this](int i) { return Usado(i, 4) == 0 && Usado(i, 1) == 0; });
    case 3:
        return FirstUnused(count, [this](int i) { return Usado(i, 1) == 0; });
    default:
        return -1;
    }
}

void TFModSatelite::SetNewData()
{
    Rec = TSateliteRec();
    Rec.Name = LangText(2820);
    Rec.LnbLow = 5150;
    Rec.LnbHigh = 10750;
    Rec.LnbType = 0;
    Rec.Angle = 0;
    Rec.EastWest = 'e';
    Rec.Diseqc12 = 0;
    Rec.AntennaOffset = 0;
}

void TFModSatelite::GetData()
{
    Rec.Name = FromQt(Nombre->text());
    Rec.LnbLow = Word(LNB_Low->ValueAsInteger());
    Rec.LnbHigh = Word(LNB_High->ValueAsInteger());
    // An item the user never chose keeps the stored type.
    if (LNB->currentIndex() >= 0)
        Rec.LnbType = static_cast<std::uint8_t>(LNB->currentIndex());
    // The field only takes positions up to 180.0 from the keyboard; one it
    // showed from the record goes back unchanged when the user left it alone
    // or left no such position in it (deleting from one beyond 180.0 can).
    if (GradosEdited) {
        const int tenths = TenthsOf(Grados->text());
        if (tenths >= 0)
            Rec.Angle = static_cast<std::uint16_t>(tenths);
    }
    Rec.EastWest = Orientacion->currentIndex() != 0 ? 'w' : 'e';
    Rec.Diseqc12 = Diseq_1_2->isChecked() ? 1 : 0;
    Rec.AntennaOffset = SafeStrToInt(FromQt(Label8->text()));
}

void TFModSatelite::BitBtn1Click()
{
    GetData();
    StoreRecord(Data->Satelites, RecIndex, Rec);
    accept();
}

void TFModSatelite::Diseq_1_2Click()
{
    const bool on = Diseq_1_2->isChecked();
    Label7->setEnabled(on);
    SpinButton1->setEnabled(on);
    Label8->setEnabled(on);
}

void TFModSatelite::SpinButton1DownClick()
{
    const int offset = SafeStrToInt(FromQt(Label8->text())) - 1;
    if (offset >= -90)
        Label8->setText(QString::number(offset));
}

void TFModSatelite::SpinButton1UpClick()
{
    const int offset = SafeStrToInt(FromQt(Label8->text())) + 1;
    if (offset <= 90)
        Label8->setText(QString::number(offset));
}
