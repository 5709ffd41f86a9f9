#include "import/TFShowDiff.h"

#include "database/TVexaData.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "import/TFChooseUpd.h"
#include "import/UpdateRows.h"
#include "windows/DialogButtons.h"
#include "windows/lists/ChannelListModel.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <string>

TFShowDiff::TFShowDiff(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FShowDiff"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto makeLabel = [panel](const QString& name) {
        auto* label = new QLabel(panel);
        label->setObjectName(name);
        label->setTextFormat(Qt::PlainText); // channel names are never markup
        return label;
    };
    Label1 = makeLabel(QStringLiteral("Label1"));
    Label2 = makeLabel(QStringLiteral("Label2"));
    QFont heading = Label1->font();
    heading.setBold(true);
    Label1->setFont(heading);
    Label2->setFont(heading);
    for (int i = 0; i < kLines; ++i) {
        Left[i] = makeLabel(QStringLiteral("Left%1").arg(i + 1));
        Right[i] = makeLabel(QStringLiteral("Right%1").arg(i + 1));
    }
    ImageTV = makeLabel(QStringLiteral("ImageTV"));
    ImageTV->setPixmap(ChannelIcon(false).pixmap(32));
    ImageTV->hide();
    ImageRadio = makeLabel(QStringLiteral("ImageRadio"));
    ImageRadio->setPixmap(ChannelIcon(true).pixmap(32));
    ImageRadio->hide();
    ComboBox1 = new QComboBox(panel);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(false);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TFShowDiff::ComboBox1Change);

    auto* grid = new QGridLayout(panel);
    grid->setHorizontalSpacing(24);
    grid->addWidget(ImageTV, 0, 0, Qt::AlignLeft);
    grid->addWidget(ImageRadio, 0, 0, Qt::AlignLeft);
    grid->addWidget(ComboBox1, 0, 1);
    grid->addWidget(Label1, 1, 0);
    grid->addWidget(Label2, 1, 1);
    for (int i = 0; i < kLines; ++i) {
        grid->addWidget(Left[i], i + 2, 0);
        grid->addWidget(Right[i], i + 2, 1);
    }
    grid->setColumnMinimumWidth(0, 220);
    grid->setColumnMinimumWidth(1, 220);

    QBoxLayout* buttons = AddOkCancel(this, BitBtn1, BitBtn2);
    connect(BitBtn1, &QPushButton::clicked, this, &TFShowDiff::BitBtn1Click);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    FormCreate();
}

void TFShowDiff::FormCreate()
{
    setWindowTitle(ToQt(LangText(2613)));
    Label1->setText(ToQt(LangText(2611)));
    Label2->setText(ToQt(LangText(2612)));
    for (int i = 0; i < kLines; ++i) {
        const QString caption = ToQt(LangText(2601 + i) + ": ");
        Left[i]->setText(caption);
        Right[i]->setText(caption);
    }
}

void TFShowDiff::Execute(TFChooseUpd* chooser)
{
    Chooser = chooser;
    Row = chooser ? chooser->SelectedRow() : -1;
    if (Row < 0)
        return;
    const UpdateRows::Row& row = chooser->Rows().At(Row);
    Incoming = row.Incoming;
    Matched = row.Action == UpdateRows::ActionUpdate ? row.Matched : nullptr;
    Shown = Incoming;
    if (Matched) {
        BuildAllChannels();
        const bool radio = Matched->Radio != 0;
        ImageTV->setVisible(!radio);
        ImageRadio->setVisible(radio);
        ShowChannel(Left, chooser->Rows().Current(), *Matched);
    } else {
        setWindowTitle(ToQt(LangText(2610)));
        Label1->setEnabled(false);
        for (QLabel* label : Left)
            label->setEnabled(false);
        ComboBox1->hide();
        GetChannelShow();
    }
    exec();
}

void TFShowDiff::BuildAllChannels()
{
    const QSignalBlocker quiet(ComboBox1);
    ComboBox1->clear();
    Choices = Chooser->Rows().AlikeIncoming(*Matched);
    int selected = 0;
    for (std::size_t i = 0; i < Choices.size(); ++i) {
        ComboBox1->addItem(ToQt(Choices[i]->Name.str() + " (" + std::to_string(i + 1) + ")"));
        if (Choices[i] == Incoming)
            selected = static_cast<int>(i);
    }
    ComboBox1->setCurrentIndex(selected);
    ComboBox1Change();
}

void TFShowDiff::ComboBox1Change()
{
    const int item = ComboBox1->currentIndex();
    if (item >= 0 && item < static_cast<int>(Choices.size()))
        Shown = Choices[static_cast<std::size_t>(item)];
    GetChannelShow();
}

void TFShowDiff::GetChannelShow()
{
    if (!Shown)
        return;
    ShowChannel(Right, Chooser->Rows().Incoming(), *Shown);
    if (!Matched) {
        const bool radio = Shown->Radio != 0;
        ImageTV->setVisible(!radio);
        ImageRadio->setVisible(radio);
    }
}

void TFShowDiff::BitBtn1Click()
{
    if (Matched && Shown)
        Chooser->SetRowIncoming(Row, Shown);
    accept();
}

void TFShowDiff::ShowChannel(QLabel* const (&lines)[kLines], const TVexaData& data, const TChannelRec& channel)
{
    const TTransponderRec& transponder = data.Transponders.Resolve(channel.Transponder);
    const std::string values[kLines] = {
        channel.Name.str(),
        data.Satelites.Resolve(channel.Satelite).Name.str(),
        TransponderText(transponder),
        std::to_string(transponder.Symbol),
        std::to_string(channel.ServiceId),
        std::to_string(channel.VideoPid),
        std::to_string(channel.AudioPid),
        std::to_string(channel.TxtPid),
        std::to_string(channel.PcrPid),
    };
    for (int i = 0; i < kLines; ++i)
        lines[i]->setText(ToQt(LangText(2601 + i) + ": " + values[i]));
}
