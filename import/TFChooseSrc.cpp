#include "import/TFChooseSrc.h"

#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "windows/AppIcons.h"
#include "windows/DialogButtons.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TFChooseSrc::TFChooseSrc(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FChooseSrc"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(GroupBox1);
    grid->setHorizontalSpacing(12);
    grid->setColumnStretch(1, 1);

    // Top to bottom: text list, binary image, MAX, SDX, Internet.
    auto addRow = [&](const char* radioName, const char* imageName, const QPixmap& picture,
                      QRadioButton*& radio, QLabel*& image) {
        const int row = grid->rowCount();
        image = new QLabel(GroupBox1);
        image->setObjectName(QLatin1String(imageName));
        image->setPixmap(picture);
        image->setFixedWidth(48);
        image->setAlignment(Qt::AlignCenter);
        image->installEventFilter(this);
        radio = new QRadioButton(GroupBox1);
        radio->setObjectName(QLatin1String(radioName));
        radio->installEventFilter(this);
        connect(radio, &QRadioButton::toggled, this, [this] { RadioButtonClick(); });
        grid->addWidget(image, row, 0);
        grid->addWidget(radio, row, 1);
    };
    addRow("RadioButton2", "Image2", AppIcons::TextFile(), RadioButton2, Image2);
    addRow("RadioButton3", "Image3", AppIcons::BinaryFile(), RadioButton3, Image3);
    addRow("RadioButton1", "Image1", AppIcons::TaggedFile(QStringLiteral("MAX")), RadioButton1, Image1);
    addRow("RadioButton4", "Image4", AppIcons::TaggedFile(QStringLiteral("SDX")), RadioButton4, Image4);
    addRow("RadioButton5", "Image5", AppIcons::Globe(), RadioButton5, Image5);

    QBoxLayout* buttons = AddOkCancel(this, BitBtn1, BitBtn2);
    BitBtn2->setAutoDefault(true); // Enter on a focused Cancel cancels
    BitBtn1->setEnabled(false);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    FormCreate();
}

void TFChooseSrc::FormCreate()
{
    setWindowTitle(ToQt(LangText(807)));
    RadioButton2->setText(ToQt(LangText(801)));
    RadioButton3->setText(ToQt(LangText(802)));
    RadioButton1->setText(ToQt(LangText(803)));
    RadioButton4->setText(ToQt(LangText(804)));
    RadioButton5->setText(ToQt(LangText(805)));
    GroupBox1->setTitle(ToQt(LangText(806)));
}

bool TFChooseSrc::SetPrompt(const std::string& Prompt)
{
    GroupBox1->setTitle(ToQt(" " + Prompt + " "));
    return exec() == QDialog::Accepted;
}

void TFChooseSrc::RadioButtonClick()
{
    BitBtn1->setEnabled(RadioButton1->isChecked() || RadioButton2->isChecked() || RadioButton3->isChecked() ||
                        RadioButton4->isChecked() || RadioButton5->isChecked());
}

void TFChooseSrc::ChooseAndClose(QRadioButton* choice)
{
    choice->setChecked(true);
    accept();
}

bool TFChooseSrc::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        const std::pair<QObject*, QRadioButton*> choices[] = {
            {Image1, RadioButton1}, {Image2, RadioButton2}, {Image3, RadioButton3},
            {Image4, RadioButton4}, {Image5, RadioButton5}, {RadioButton1, RadioButton1},
            {RadioButton2, RadioButton2}, {RadioButton3, RadioButton3}, {RadioButton4, RadioButton4},
            {RadioButton5, RadioButton5},
        };
        for (const auto& [widget, radio] : choices) {
            if (watched == widget) {
                ChooseAndClose(radio);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
