#include "windows/transfer/TFConfPuerto.h"

#include "foundation/Libreria.h"
#include "foundation/TConfig.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "link/TVexaComm.h"
#include "windows/AppIcons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TFConfPuerto::TFConfPuerto(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FConfPuerto"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(AppIcons::SerialPort(48));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ComboBox = new QComboBox(this);
    ComboBox->setObjectName(QStringLiteral("ComboBox"));
    ComboBox->setEditable(false);
    ComboBox->setMinimumWidth(110);
    Label1->setBuddy(ComboBox);
    Automatico = new QCheckBox(this);
    Automatico->setObjectName(QStringLiteral("Automatico"));
    Automatico->setChecked(true);
    connect(Automatico, &QCheckBox::clicked, this, [this] { AutomaticoClick(); });

    BitBtn1 = new QPushButton(this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    BitBtn2 = new QPushButton(this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    auto* fields = new QGridLayout;
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(ComboBox, 0, 1);
    fields->addWidget(Automatico, 1, 0, 1, 2);
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(8);
    top->addLayout(fields, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addStretch(1);
    layout->addLayout(buttons);

    FormCreate();
}

void TFConfPuerto::FormCreate()
{
    setWindowTitle(ToQt(LangText(901)));
    Label1->setText(ToQt(LangText(902)));
    Automatico->setText(ToQt(LangText(903)));
    BitBtn1->setText(ToQt(LangText(2)));
    BitBtn2->setText(ToQt(LangText(3)));
}

void TFConfPuerto::AutomaticoClick()
{
    const bool byHand = !Automatico->isChecked();
    ComboBox->setEnabled(byHand);
    Label1->setEnabled(byHand);
}

int TFConfPuerto::ChangePort(TVexaComm* AComm)
{
    AutomaticoClick();
    Comm = AComm;
    ComboBox->clear();
    const auto& ports = Comm->CommUnit().UsablePorts();
    for (const std::string& entry : ports) {
        ComboBox->addItem(ToQt("COM " + entry));
        if (SafeStrToInt(entry) == Comm->Port())
            ComboBox->setCurrentIndex(ComboBox->count() - 1);
    }
    ChosenPort = Comm->Port();
    return exec();
}

void TFConfPuerto::reject()
{
    if (!Searching)
        QDialog::reject();
}

void TFConfPuerto::BitBtn1Click()
{
    if (Searching)
        return;
    if (!Automatico->isChecked()) {
        const auto& ports = Comm->CommUnit().UsablePorts();
        const int i = ComboBox->currentIndex();
        if (i >= 0 && i < static_cast<int>(ports.size()))
            ChosenPort = SafeStrToInt(ports[static_cast<size_t>(i)]);
    } else {
        Searching = true;
        BitBtn1->setEnabled(false);
        BitBtn2->setEnabled(false);
        Averigualo();
        BitBtn1->setEnabled(true);
        BitBtn2->setEnabled(true);
        Searching = false;
    }
    if (TheConfig) {
        TheConfig->ComPort = ChosenPort;
        TheConfig->Save();
    }
    accept();
}

void TFConfPuerto::Averigualo()
{
    if (Comm->Connected())
        return;
    // Copied: the list must not change under us while the queries let events run.
    const std::vector<std::string> ports = Comm->CommUnit().UsablePorts();
    for (const std::string& entry : ports) {
        const std::int32_t n = SafeStrToInt(entry);
        if (n == Comm->Port())
            continue;
        Comm->SetPort(n);
        Comm->Refresh();
        if (Comm->Connected()) {
            ChosenPort = Comm->Port();
            return;
        }
    }
    Comm->SetPort(ChosenPort);
    Comm->Reset();
    ShowError(LangText(904));
}
