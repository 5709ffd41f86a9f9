#include "windows/transfer/TFChooseData.h"

#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "link/TVexaComm.h"
#include "windows/AppIcons.h"
#include "windows/DialogButtons.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TFChooseData::TFChooseData(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FChooseData"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));

    auto makeImage = [this](const char* name, const QPixmap& picture) {
        auto* label = new QLabel(GroupBox1);
        label->setObjectName(QLatin1String(name));
        label->setPixmap(picture);
        label->setFixedWidth(100);
        label->setAlignment(Qt::AlignCenter);
        label->installEventFilter(this);
        return label;
    };
    auto makeRadio = [this](const char* name) {
        auto* radio = new QRadioButton(GroupBox1);
        radio->setObjectName(QLatin1String(name));
        radio->installEventFilter(this);
        connect(radio, &QRadioButton::toggled, this, [this] { RadioButtonClick(); });
        return radio;
    };

    Image1 = makeImage("Image1", AppIcons::ReceiverFront());
    Image2 = makeImage("Image2", AppIcons::TextFile());
    Image3 = makeImage("Image3", AppIcons::BinaryFile());
    RadioButton1 = makeRadio("RadioButton1");
    RadioButton2 = makeRadio("RadioButton2");
    RadioButton3 = makeRadio("RadioButton3");
    CheckBox1 = new QCheckBox(GroupBox1);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setVisible(false);
    CheckBox1->setEnabled(false);

    auto* grid = new QGridLayout(GroupBox1);
    grid->setHorizontalSpacing(12);
    grid->addWidget(Image1, 0, 0);
    grid->addWidget(RadioButton1, 0, 1);
    grid->addWidget(Image2, 1, 0, 2, 1);
    grid->addWidget(RadioButton2, 1, 1);
    grid->addWidget(CheckBox1, 2, 1);
    grid->addWidget(Image3, 3, 0);
    grid->addWidget(RadioButton3, 3, 1);
    grid->setColumnStretch(1, 1);

    QBoxLayout* buttons = AddOkCancel(this, BitBtn1, BitBtn2);
    BitBtn2->setAutoDefault(true); // Enter on a focused Cancel cancels
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);

    FormCreate();
}

void TFChooseData::FormCreate()
{
    setWindowTitle(ToQt(LangText(807)));
    RadioButton1->setText(ToQt(LangText(701)));
    RadioButton2->setText(ToQt(LangText(702)));
    CheckBox1->setText(ToQt(LangText(703)));
    RadioButton3->setText(ToQt(LangText(704)));
}

bool TFChooseData::SetPrompt(TVexaComm* Comm, const std::string& Prompt)
{
    const bool connected = Comm && Comm->Connected();
    RadioButton1->setEnabled(connected);
    if (connected)
        RadioButton1->setChecked(true);
    else
        RadioButton3->setChecked(true);
    GroupBox1->setTitle(ToQt(" " + Prompt + " "));
    return exec() == QDialog::Accepted;
}

void TFChooseData::RadioButtonClick()
{
    // The extended version only means something for a text list; the tick
    // is kept while the box is disabled.
    CheckBox1->setEnabled(RadioButton2->isChecked());
}

void TFChooseData::RadioButtonDblClick()
{
    accept();
}

void TFChooseData::Image1DblClick()
{
    if (!RadioButton1->isEnabled())
        return;
    RadioButton1->setChecked(true);
    accept();
}

void TFChooseData::Image2DblClick()
{
    RadioButton2->setChecked(true);
    accept();
}

void TFChooseData::Image3DblClick()
{
    RadioButton3->setChecked(true);
    accept();
}

bool TFChooseData::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        // A disabled choice takes no clicks at all; its filter still sees them.
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && !widget->isEnabled())
            return true;
        if (watched == Image1)
            Image1DblClick();
        else if (watched == Image2)
            Image2DblClick();
        else if (watched == Image3)
            Image3DblClick();
        else if (watched == RadioButton1 || watched == RadioButton2 || watched == RadioButton3)
            RadioButtonDblClick();
        else
            return QDialog::eventFilter(watched, event);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
