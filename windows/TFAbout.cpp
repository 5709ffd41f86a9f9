#include "windows/TFAbout.h"

#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "windows/Historial.h"
#include "windows/TFHistorial.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The program's logo: a dish sending a signal, and the receiver's name.
QPixmap Logo()
{
    QPixmap picture(145, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);

    const QColor blue(24, 64, 160);
    const QColor orange(240, 140, 20);

    // Dish: a bowl opening to the upper right, its feed arm and foot.
    p.setPen(Qt::NoPen);
    p.setBrush(blue);
    QPainterPath bowl;
    bowl.moveTo(4, 8);
    bowl.quadTo(6, 26, 24, 26);
    bowl.closeSubpath();
    p.drawPath(bowl);
    p.setPen(QPen(blue, 2));
    p.drawLine(QPointF(13, 17), QPointF(20, 10));
    p.drawLine(QPointF(12, 24), QPointF(10, 30));
    p.drawLine(QPointF(6, 30), QPointF(16, 30));

    // Signal arcs from the feed.
    p.setPen(QPen(orange, 2));
    p.setBrush(Qt::NoBrush);
    for (int r = 5; r <= 13; r += 4)
        p.drawArc(QRectF(20 - r, 10 - r, 2 * r, 2 * r), 0 * 16, 90 * 16);

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(22);
    font.setBold(true);
    font.setItalic(true);
    p.setFont(font);
    p.setPen(blue);
    p.drawText(QRect(38, 0, 107, 32), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("VEXA"));
    return picture;
}

} // namespace

TFAbout::TFAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
{
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(145, 32);
    Image1->setScaledContents(true);
    Image1->setAttribute(Qt::WA_TranslucentBackground);
    Image1->setPixmap(Logo());

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(27);
    title.setBold(true);
    Label1->setFont(title);

    Version = new QLabel(this);
    Version->setObjectName(QStringLiteral("Version"));
    Version->setAlignment(Qt::AlignCenter);
    QFont heading = Version->font();
    heading.setPixelSize(16);
    Version->setFont(heading);

    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setAlignment(Qt::AlignCenter);

    BitBtn2 = new QPushButton(this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
    BitBtn2->setAutoDefault(false);
    connect(BitBtn2, &QPushButton::clicked, this, &TFAbout::BitBtn2Click);

    Label4 = new QLabel(this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setAlignment(Qt::AlignCenter);
    QFont bold = Label4->font();
    bold.setBold(true);
    Label4->setFont(bold);

    ListAutores = new QTreeWidget(this);
    ListAutores->setObjectName(QStringLiteral("ListAutores"));
    ListAutores->setRootIsDecorated(false);
    ListAutores->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListAutores->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListAutores->setColumnCount(2);
    ListAutores->header()->setStretchLastSection(true);
    ListAutores->setColumnWidth(0, 100);

    BitBtn1 = new QPushButton(this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    auto* logoRow = new QHBoxLayout;
    logoRow->addStretch();
    logoRow->addWidget(Image1);
    logoRow->addStretch();
    auto* historyRow = new QHBoxLayout;
    historyRow->addStretch();
    historyRow->addWidget(BitBtn2);
    historyRow->addStretch();
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch();
    closeRow->addWidget(BitBtn1);
    closeRow->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(logoRow);
    layout->addWidget(Label1);
    layout->addWidget(Version);
    layout->addWidget(Label3);
    layout->addLayout(historyRow);
    layout->addWidget(Label4);
    layout->addWidget(ListAutores, 1);
    layout->addLayout(closeRow);
    resize(300, 360);

    FormCreate();
}

void TFAbout::FormCreate()
{
    Label3->setText(ToQt(GetVersionStr()));
    setWindowTitle(ToQt(LangText(503)));
    Label1->setText(QStringLiteral("Vexa UTILS"));
    Version->setText(ToQt(LangText(501)));
    BitBtn2->setText(ToQt(LangText(502)));
    Label4->setText(ToQt(LangText(504)));
    BitBtn1->setText(ToQt(LangText(1)));
    ListAutores->setHeaderLabels({ToQt(LangText(505)), ToQt(LangText(506))});

    if (!TheLang)
        return;
    for (const TLengua& language : TheLang->Languages()) {
        if (!language.Loaded)
            continue;
        auto* row = new QTreeWidgetItem(ListAutores);
        row->setText(0, ToQt(language.Name));
        row->setText(1, ToQt(language.Author));
    }
}

void TFAbout::BitBtn2Click()
{
    TFHistorial history(this);
    history.exec();
}
