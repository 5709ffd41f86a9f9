#include "windows/tools/TFIntKeys.h"

#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace {

constexpr int PictureWidth = 379;
constexpr int PictureHeight = 34;
constexpr int KeySize = 16;

// The remote control's red key: a red round button.
const QPixmap& RedKey()
{
    static const QPixmap key = [] {
        QPixmap p(KeySize, KeySize);
        p.fill(Qt::transparent);
        QPainter painter(&p);
        painter.setRenderHint(QPainter::Antialiasing);
        QRadialGradient shine(QPointF(6, 5), 9);
        shine.setColorAt(0, QColor(255, 150, 150));
        shine.setColorAt(1, QColor(200, 0, 0));
        painter.setBrush(shine);
        painter.setPen(QPen(QColor(110, 0, 0), 1));
        painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        return p;
    }();
    return key;
}

// Draws (or, without a painter, only measures) a key sequence from X and
// returns the position after its last key.
int OutFmt(int x, const std::string& sequence, const QFontMetrics& metrics, QPainter* painter)
{
    for (char c : sequence) {
        if (c == 'R') {
            if (painter)
                painter->drawPixmap(x, 11, RedKey());
            x += KeySize;
        } else {
            const QString digit(QChar::fromLatin1(c));
            if (painter)
                painter->drawText(x, 10 + metrics.ascent(), digit);
            x += metrics.horizontalAdvance(digit) + 2;
        }
    }
    return x;
}

} // namespace

TFIntKeys::TFIntKeys(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FIntKeys"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignCenter);
    I = new QLabel(this);
    I->setObjectName(QStringLiteral("I"));
    I->setFixedSize(PictureWidth, PictureHeight);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Edit1);
    layout->addWidget(Label2);
    layout->addWidget(I, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Edit1, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
    FormCreate();
    Edit1Change();
}

void TFIntKeys::FormCreate()
{
    setWindowTitle(ToQt(LangText(1301)));
    Label1->setText(ToQt(LangText(1302)));
    Label2->setText(ToQt(LangText(1303)));
}

std::string TFIntKeys::Acorta(const std::string& text)
{
    std::string hex;
    for (char c : text) {
        if (c >= 'a' && c <= 'f')
            c = static_cast<char>(c - 'a' + 'A');
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))
            hex += c;
    }
    return hex;
}

std::string TFIntKeys::CnvCol(const std::string& hex)
{
    std::string keys;
    bool letters = false;
    for (char c : hex) {
        if (c >= '0' && c <= '9') {
            if (letters) {
                keys += 'R';
                letters = false;
            }
            keys += c;
        } else if (c >= 'A' && c <= 'F') {
            if (!letters) {
                keys += 'R';
                letters = true;
            }
            keys += static_cast<char>(c - 16); // A gives 1 ... F gives 6
        }
    }
    return keys;
}

void TFIntKeys::Edit1Change()
{
    const std::string sequence = CnvCol(Acorta(FromQt(Edit1->text())));
    QPixmap picture(PictureWidth, PictureHeight);
    picture.fill(palette().color(QPalette::Button));
    QFont font = I->font();
    font.setBold(true);
    font.setPointSize(12);
    const QFontMetrics metrics(font);
    const int width = OutFmt(0, sequence, metrics, nullptr);
    {
        QPainter painter(&picture);
        painter.setFont(font);
        painter.setPen(palette().color(QPalette::ButtonText));
        OutFmt((PictureWidth - width) / 2, sequence, metrics, &painter);
    }
    I->setPixmap(picture);
}
