#include "windows/editors/TFModCanal.h"

#include "database/TVexaData.h"
#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "windows/AppIcons.h"
#include "windows/DialogButtons.h"
#include "windows/RecordCombos.h"
#include "windows/controls/TEditNum.h"
#include "windows/editors/EditorCommon.h"
#include "windows/editors/TFModAntena.h"
#include "windows/editors/TFModTransponder.h"
#include "windows/lists/ChannelListModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int kNameLength = 16;
constexpr double kLargestNumber = 63000; // what the receiver takes as a PID or service id

// The picture of the lock page: a padlock.
QIcon PadlockIcon()
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(96, 96, 96), 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4.5, 1.5, 7, 9), 0, 180 * 16);
    p.drawLine(QPointF(4.5, 6), QPointF(4.5, 8));
    p.drawLine(QPointF(11.5, 6), QPointF(11.5, 8));
    p.setPen(QPen(QColor(140, 100, 10), 1));
    p.setBrush(QColor(232, 180, 40));
    p.drawRoundedRect(QRectF(2.5, 7.5, 11, 7.5), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 50, 10));
    p.drawEllipse(QPointF(8, 10.6), 1.3, 1.3);
    p.drawRect(QRectF(7.5, 11, 1, 2.5));
    return QIcon(picture);
}

// The picture of the favourites page: a star.
QIcon StarIcon()
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 == 0 ? 7.5 : 3.1;
        const double angle = -M_PI / 2 + i * M_PI / 5;
        const QPointF point(8 + radius * std::cos(angle), 8.5 + radius * std::sin(angle));
        if (i == 0)
            star.moveTo(point);
        else
            star.lineTo(point);
    }
    star.closeSubpath();
    p.setPen(QPen(QColor(170, 120, 0), 1));
    p.setBrush(QColor(255, 204, 0));
    p.drawPath(star);
    return QIcon(picture);
}

} // namespace

TFModCanal::TFModCanal(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FModCanal"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto makeButton = [](QWidget* owner, const char* name) {
        auto* button = new QPushButton(owner);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        return button;
    };
    auto makeCheck = [](QWidget* owner, const QString& name) {
        auto* check = new QCheckBox(owner);
        check->setObjectName(name);
        return check;
    };

    ComboBox1 = NewCombo(this, "ComboBox1");
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(ChannelIcon(false).pixmap(32, 32));
    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(ChannelIcon(true).pixmap(32, 32));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(kNameLength);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setUsesScrollButtons(false); // every tab in sight
    QWidget* pages[4];
    for (int i = 0; i < 4; ++i) {
        pages[i] = new QWidget;
        pages[i]->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
    }

    ComboBox7 = NewCombo(pages[0], "ComboBox7");
    ComboBox3 = NewCombo(pages[0], "ComboBox3");
    ComboBox2 = NewCombo(pages[0], "ComboBox2");
    for (QComboBox* combo : {ComboBox7, ComboBox3, ComboBox2})
        combo->setMinimumWidth(200);
    BitBtn3 = makeButton(pages[0], "BitBtn3");
    BitBtn5 = makeButton(pages[0], "BitBtn5");
    BitBtn4 = makeButton(pages[0], "BitBtn4");

    EditNum5 = NewNumber(pages[1], "EditNum5", kLargestNumber);
    EditNum1 = NewNumber(pages[1], "EditNum1", kLargestNumber);
    EditNum2 = NewNumber(pages[1], "EditNum2", kLargestNumber);
    EditNum3 = NewNumber(pages[1], "EditNum3", kLargestNumber);
    EditNum4 = NewNumber(pages[1], "EditNum4", kLargestNumber);

    CheckBox1 = makeCheck(pages[2], QStringLiteral("CheckBox1"));
    CheckBox2 = makeCheck(pages[2], QStringLiteral("CheckBox2"));

    Label3 = new QLabel(pages[3]);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setAlignment(Qt::AlignCenter);
    // Lists 1 to 4 down the first column, 5 to 8 down the second.
    static constexpr int kFavouriteBox[8] = {3, 4, 5, 6, 10, 9, 8, 7};
    for (int i = 0; i < 8; ++i)
        Favourites[i] = makeCheck(pages[3], QStringLiteral("CheckBox%1").arg(kFavouriteBox[i]));

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Label11 = new QLabel(GroupBox1);
    Label11->setObjectName(QStringLiteral("Label11"));
    Label11->setAlignment(Qt::AlignCenter);
    BitBtn6 = makeButton(GroupBox1, "BitBtn6");
    BitBtn6->setIcon(ChannelIcon(false));
    BitBtn6->setIconSize(QSize(24, 24));

    // Each label is the buddy of the control it names.
    QWidget* const labelled[10] = {ComboBox1, Edit1, ComboBox7, ComboBox3, ComboBox2,
                                   EditNum5, EditNum1, EditNum2, EditNum3, EditNum4};
    QLabel* const* labels = Labels;
    for (int i = 0; i < 10; ++i)
        Labels[i] = BuddyLabel(labelled[i]);

    auto* location = new QGridLayout(pages[0]);
    QComboBox* const places[3] = {ComboBox7, ComboBox3, ComboBox2};
    QPushButton* const news[3] = {BitBtn3, BitBtn5, BitBtn4};
    for (int i = 0; i < 3; ++i) {
        location->addWidget(labels[2 + i], i, 0);
        location->addWidget(places[i], i, 1);
        location->addWidget(news[i], i, 2);
    }
    location->setColumnStretch(1, 1);
    location->setRowStretch(3, 1);

    auto* service = new QGridLayout(pages[1]);
    TEditNum* const numbers[5] = {EditNum5, EditNum1, EditNum2, EditNum3, EditNum4};
    for (int i = 0; i < 5; ++i) {
        service->addWidget(labels[5 + i], i, 0);
        service->addWidget(numbers[i], i, 1);
    }
    service->setColumnStretch(2, 1);
    service->setRowStretch(5, 1);

    auto* lock = new QVBoxLayout(pages[2]);
    lock->addWidget(CheckBox1);
    lock->addWidget(CheckBox2);
    lock->addStretch(1);

    auto* favourites = new QGridLayout(pages[3]);
    favourites->addWidget(Label3, 0, 0, 4, 1);
    for (int i = 0; i < 8; ++i)
        favourites->addWidget(Favourites[i], i % 4, 1 + i / 4);
    favourites->setColumnStretch(0, 1);

    for (QWidget* page : pages)
        PageControl1->addTab(page, QString());
    PageControl1->setTabIcon(0, AppIcons::Option(2));
    PageControl1->setTabIcon(1, AppIcons::Option(1));
    PageControl1->setTabIcon(2, PadlockIcon());
    PageControl1->setTabIcon(3, StarIcon());

    auto* head = new QGridLayout;
    head->addWidget(labels[0], 0, 0);
    head->addWidget(ComboBox1, 0, 1);
    head->addWidget(Image1, 0, 2, 2, 1, Qt::AlignCenter);
    head->addWidget(Image2, 0, 2, 2, 1, Qt::AlignCenter);
    head->addWidget(labels[1], 1, 0);
    head->addWidget(Edit1, 1, 1);
    head->setColumnStretch(1, 1);

    auto* info = new QHBoxLayout(GroupBox1);
    info->addWidget(Label11, 1);
    info->addWidget(BitBtn6);

    QBoxLayout* buttons = AddOkCancel(this, BitBtn1, BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(PageControl1);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Only the user's own choices (`activated`) run the cascade; filling the
    // combos from the record never does.
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TFModCanal::ComboBox1Change);
    connect(ComboBox7, &QComboBox::activated, this, &TFModCanal::ComboBox7Change);
    connect(ComboBox3, &QComboBox::activated, this, &TFModCanal::ComboBoxChange);
    connect(ComboBox2, &QComboBox::activated, this, &TFModCanal::ComboBoxChange);
    connect(BitBtn1, &QPushButton::clicked, this, &TFModCanal::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TFModCanal::BitBtn3Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TFModCanal::BitBtn5Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TFModCanal::BitBtn4Click);
    connect(BitBtn6, &QPushButton::clicked, this, &TFModCanal::BitBtn6Click);

    FormCreate();
}

void TFModCanal::FormCreate()
{
    Reloading = false;
    setWindowTitle(ToQt(LangText(3230)));
    SetLabelTexts(Labels, {3201, 3206, 3211, 3212, 3213, 3215, 3216, 3217, 3218, 3219});
    ComboBox1->addItems({ToQt(LangText(3228)), ToQt(LangText(3229))});
    ComboBox1->setCurrentIndex(0);
    for (int i = 0; i < 4; ++i)
        PageControl1->setTabText(i, ToQt(LangText(3207 + i)));
    for (QPushButton* button : {BitBtn3, BitBtn5, BitBtn4})
        button->setText(ToQt(LangText(11)));
    CheckBox1->setText(ToQt(LangText(3220)));
    CheckBox2->setText(ToQt(LangText(3221)));
    Label3->setText(ToQt(LangText(3223) + "\n" + LangText(3224) + "\n" + LangText(3225) + "\n" + LangText(3226)
                         + "\n" + LangText(3227)));
    for (int i = 0; i < 8; ++i)
        Favourites[i]->setText(ToQt(LangText(51 + i)));
    GroupBox1->setTitle(ToQt(LangText(3202)));
    Label11->setText(ToQt(WithCount(LangText(3203), 0) + "\n" + LangText(3204) + "\n" + LangText(3205)));
    ComboBox1Change();
}

bool TFModCanal::Execute(TVexaData& data, int Index)
{
    Data = &data;
    PageControl1->setCurrentIndex(0);
    if (Index < -1 || Index >= data.Channels.Count())
        return false; // no such channel: nothing to edit

    RecIndex = Index;
    if (Index == -1) {
        // A full channel list is never relieved by reuse.
        if (GetNewChannel() == -1) {
            ShowError(LangText(3232));
            return false;
        }
        RecIndex = -1;
    }

    // Filling the controls must not run a change handler: one that read the
    // controls half filled would take their blanks into the record.
    Reloading = true;
    if (RecIndex != -1)
        Rec = *data.Channels.Get(RecIndex);
    else
        SetNewData();
    ComboBox1->setCurrentIndex(Rec.Radio ? 1 : 0);
    ComboBox1Change();
    Edit1->setText(ToQt(Rec.Name.str()));
    ReloadCombos();
    EditNum5->SetValueAsInteger(Rec.ServiceId);
    EditNum1->SetValueAsInteger(Rec.VideoPid);
    EditNum2->SetValueAsInteger(Rec.AudioPid);
    EditNum3->SetValueAsInteger(Rec.PcrPid);
    EditNum4->SetValueAsInteger(Rec.TxtPid);
    CheckBox1->setChecked(Rec.Lock != 0);
    CheckBox2->setChecked(Rec.Scramble != 0);
    for (int i = 0; i < 8; ++i)
        Favourites[i]->setChecked(Rec.Favorites[static_cast<std::size_t>(i)] != 0);
    Reloading = false;

    return exec() == QDialog::Accepted;
}

int TFModCanal::GetNewChannel() const
{
    return Data && Data->Channels.Count() < TVexaData::MaxChannels ? -2 : -1;
}

void TFModCanal::SetNewData()
{
    Rec.Satelite = TRef<TSateliteRec>();
    Rec.Transponder = TRef<TTransponderRec>();
    Rec.Antena = TRef<TAntenaRec>();
    Rec.Name = LangText(3231); // cut to the field
    Rec.ServiceId = 0;
    Rec.VideoPid = 0;
    Rec.AudioPid = 0;
    Rec.PcrPid = 0;
    Rec.TxtPid = 0;
    Rec.Scramble = 0;
    Rec.Favorite = 0;
    Rec.Lock = 0;
    Rec.Favorites.fill(0);
    Rec.Radio = 0;
}

bool TFModCanal::GetData()
{
    TSateliteRec* satelite = ComboRecord<TSateliteRec>(ComboBox7);
    TAntenaRec* antena = ComboRecord<TAntenaRec>(ComboBox3);
    TTransponderRec* transponder = ComboRecord<TTransponderRec>(ComboBox2);
    Rec.Satelite = satelite;
    Rec.Antena = antena;
    Rec.Transponder = transponder;
    Rec.ServiceId = Word(EditNum5->ValueAsInteger());
    Rec.VideoPid = Word(EditNum1->ValueAsInteger());
    Rec.AudioPid = Word(EditNum2->ValueAsInteger());
    Rec.PcrPid = Word(EditNum3->ValueAsInteger());
    Rec.TxtPid = Word(EditNum4->ValueAsInteger());
    Rec.Lock = CheckBox1->isChecked() ? 1 : 0;
    Rec.Scramble = CheckBox2->isChecked() ? 1 : 0;
    bool favourite = false;
    for (int i = 0; i < 8; ++i) {
        const bool member = Favourites[i]->isChecked();
        Rec.Favorites[static_cast<std::size_t>(i)] = member ? 1 : 0;
        favourite = favourite || member;
    }
    Rec.Favorite = favourite ? 1 : 0;
    Rec.Name = FromQt(Edit1->text());
    Rec.Radio = ComboBox1->currentIndex() == 1 ? 1 : 0;
    return satelite && antena && transponder;
}

void TFModCanal::ReloadCombos()
{
    const bool wasReloading = Reloading;
    Reloading = true;
    ComboBox3->clear();
    ComboBox7->clear();
    ComboBox2->clear();
    LoadAntCombo(ComboBox3, *Data, Rec.Antena.Get());
    LoadSatCombo(ComboBox7, *Data, Rec.Satelite.Get());
    // Only a satellite of the list has transponders to offer: a channel
    // without one (new, or its satellite gone) offers none.
    if (TSateliteRec* satelite = ComboRecord<TSateliteRec>(ComboBox7)) {
        LoadTpCombo(ComboBox2, *Data, Rec.Transponder.Get(), satelite);
        ComboBox2->model()->sort(0); // shown in text order; the choice follows its record
    }

    // The label counts the users of the transponder shown; with none shown
    // (a new channel, a satellite just changed) it counts none.
    const TTransponderRec* transponder = ChosenTransponder();
    const int users = transponder ? CountUsers(Data->Channels, &TChannelRec::Transponder, transponder) : 0;
    Label11->setText(ToQt(WithCount(LangText(3203), users) + "\n" + LangText(3204) + "\n" + LangText(3205)));

    // A new antenna or transponder is made for the chosen satellite.
    const bool satChosen = ChosenSatIndex() >= 0;
    BitBtn5->setEnabled(satChosen);
    BitBtn4->setEnabled(satChosen);
    Reloading = wasReloading;
}

TTransponderRec* TFModCanal::ChosenTransponder() const
{
    TTransponderRec* transponder = ComboRecord<TTransponderRec>(ComboBox2);
    return Data && Data->Transponders.IndexOf(transponder) >= 0 ? transponder : nullptr;
}

int TFModCanal::ChosenSatIndex() const
{
    return Data ? Data->Satelites.IndexOf(ComboRecord<TSateliteRec>(ComboBox7)) : -1;
}

void TFModCanal::ComboBox1Change()
{
    Image1->setVisible(ComboBox1->currentIndex() == 0);
    Image2->setVisible(ComboBox1->currentIndex() == 1);
}

void TFModCanal::Refill(const std::function<void()>& change)
{
    Reloading = true;
    GetData();
    change();
    ReloadCombos();
    Reloading = false;
}

void TFModCanal::ComboBox7Change()
{
    if (Reloading)
        return;
    // The antenna follows the satellite: its last antenna in list order, or
    // the antenna chosen so far when the satellite has none.
    Refill([this] {
        if (const TSateliteRec* satelite = Rec.Satelite.Get()) {
            for (int i = Data->Antenas.Count() - 1; i >= 0; --i) {
                TAntenaRec* antena = Data->Antenas.Get(i);
                if (antena->Satelite.Get() == satelite) {
                    Rec.Antena = antena;
                    break;
                }
            }
        }
    });
}

void TFModCanal::ComboBoxChange()
{
    if (!Reloading)
        Refill([] {});
}

void TFModCanal::BitBtn1Click()
{
    if (!GetData()) {
        ShowError(LangText(3233));
        return;
    }
    StoreRecord(Data->Channels, RecIndex, Rec);
    accept();
}

void TFModCanal::BitBtn3Click()
{
    int satIndex = -1;
    if (NewSatellite(this, *Data, nullptr, &satIndex))
        Refill([&] { Rec.Satelite = Data->Satelites.Get(satIndex); });
}

void TFModCanal::BitBtn5Click()
{
    // The satellite's place in the satellite list, not its row in the
    // name-ordered combo.
    const int satIndex = ChosenSatIndex();
    if (satIndex < 0)
        return;
    TFModAntena editor(this);
    if (editor.Execute(*Data, -1, satIndex))
        Refill([&] { Rec.Antena = Data->Antenas.Get(editor.RecIndex); });
}

void TFModCanal::BitBtn4Click()
{
    const int satIndex = ChosenSatIndex();
    if (satIndex < 0)
        return;
    TFModTransponder editor(this);
    if (editor.Execute(*Data, -1, satIndex))
        Refill([&] { Rec.Transponder = Data->Transponders.Get(editor.RecIndex); });
}

void TFModCanal::BitBtn6Click()
{
    // The channels of the transponder shown; none when none is chosen (the
    // default transponder stands for no transponder at all).
    ShowTransponderUsers(this, Data, ChosenTransponder(), 3234);
}
