#include "windows/tools/TFErrors.h"

#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TFErrors::TFErrors(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FErrors"));
    // Only the system menu: no minimise, maximise or help button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    R = new QPlainTextEdit(this);
    R->setObjectName(QStringLiteral("R"));
    R->setReadOnly(true);
    R->setLineWrapMode(QPlainTextEdit::NoWrap);
    R->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    R->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    BitBtn1 = new QPushButton(this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    // Once the button is hidden the text takes the whole window.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(R, 1);
    layout->addLayout(buttons);
    resize(480, 320);

    FormCreate();
}

void TFErrors::FormCreate()
{
    BitBtn1->setText(ToQt(LangText(1001)));
}

void TFErrors::ShowLines(const std::vector<std::string>& lines)
{
    QStringList text;
    text.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines)
        text << ToQt(line);
    R->setPlainText(text.join(QLatin1Char('\n')));
    R->moveCursor(QTextCursor::Start);
}
