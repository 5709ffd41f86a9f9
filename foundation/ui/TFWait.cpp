#include "foundation/ui/TFWait.h"

#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <numbers>

namespace {

constexpr int kDots = 12;

} // namespace

WaitAnimation::WaitAnimation(QWidget* parent)
    : QWidget(parent), timer_(new QTimer(this))
{
    setObjectName(QStringLiteral("Animate"));
    connect(timer_, &QTimer::timeout, this, [this] {
        phase_ = (phase_ + 1) % kDots;
        update();
    });
    timer_->start(80);
}

QSize WaitAnimation::sizeHint() const
{
    return {48, 48};
}

void WaitAnimation::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(width(), height());
    const qreal radius = side * 0.36;
    const qreal dot = side * 0.07;
    p.translate(width() / 2.0, height() / 2.0);
    QColor colour = palette().color(QPalette::Highlight);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < kDots; ++i) {
        // The newest dot is brightest; the trail fades behind it.
        int age = (phase_ - i + kDots) % kDots;
        colour.setAlphaF(1.0 - 0.75 * age / (kDots - 1));
        p.setBrush(colour);
        const qreal angle = 2 * std::numbers::pi * i / kDots;
        p.drawEllipse(QPointF(radius * std::cos(angle), radius * std::sin(angle)), dot, dot);
    }
}

TFWait::TFWait(QWidget* centreOver)
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint), CentreOver_(centreOver)
{
    setObjectName(QStringLiteral("FWait"));
    setModal(false);

    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameShape(QFrame::Panel);
    Panel2->setFrameShadow(QFrame::Raised);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(Panel2);

    Panel1 = new QFrame(Panel2);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);

    Label1 = new QLabel(Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    Label1->setFixedWidth(260);
    Label1->hide();

    Animate = new WaitAnimation(Panel1);

    Progress = new QProgressBar(Panel1);
    Progress->setObjectName(QStringLiteral("Progress"));
    Progress->setRange(0, 100);
    Progress->setValue(0);
    Progress->setTextVisible(false);

    auto* inner = new QVBoxLayout(Panel1);
    inner->addWidget(Label1, 0, Qt::AlignHCenter);
    inner->addWidget(Animate, 0, Qt::AlignHCenter);
    inner->addWidget(Progress);

    Cancelar = new QPushButton(Panel2);
    Cancelar->setObjectName(QStringLiteral("Cancelar"));
    Cancelar->setText(ToQt(LangText(3)));
    Cancelar->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    Cancelar->setEnabled(true);
    Cancelar->setAutoDefault(false);
    connect(Cancelar, &QPushButton::clicked, this, &TFWait::CancelarClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Cancelar);
    buttons->addStretch();
    auto* panel = new QVBoxLayout(Panel2);
    panel->addWidget(Panel1);
    panel->addLayout(buttons);
}

TFWait::~TFWait()
{
    if (Started_)
        FinSinDestruir();
}

void TFWait::ShowLabel(const std::string& Text)
{
    Label1->setText(ToQt(Text));
    Label1->setVisible(!Text.empty());
    adjustSize();
}

void TFWait::SetCancelVisible(bool visible)
{
    Cancelar->setVisible(visible);
}

void TFWait::SetMax(int max)
{
    Progress->setMaximum(max);
}

void TFWait::SetPosition(int position)
{
    Progress->setValue(position);
}

void TFWait::Start()
{
    // A second start without an end keeps what the first one disabled, so
    // that the end still enables every window again.
    if (!Started_) {
        PrevActive = QApplication::activeWindow();
        // Started from inside a modal dialog, a modeless box would be blocked
        // by that dialog and its Cancel could not be pressed. Modal on top of
        // it, the box takes the input; the other windows are disabled anyway.
        if (!isVisible())
            setWindowModality(QApplication::activeModalWidget() ? Qt::ApplicationModal : Qt::NonModal);
    }
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == this || !w->isVisible() || !w->isEnabled() || w->windowType() == Qt::Desktop)
            continue;
        w->setEnabled(false);
        DisabledWindows.append(w);
    }
    Started_ = true;

    adjustSize();
    QWidget* over = CentreOver_ ? CentreOver_.data() : PrevActive.data();
    QRect area = over ? over->frameGeometry() : QRect();
    if (!area.isValid()) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            area = screen->availableGeometry();
    }
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));
    show();
    raise();
    activateWindow();
}

void TFWait::FinSinDestruir()
{
    for (const QPointer<QWidget>& w : DisabledWindows)
        if (w)
            w->setEnabled(true);
    DisabledWindows.clear();
    // When the user went to another program meanwhile, leave the focus there.
    if (QApplication::activeWindow() != this)
        PrevActive = nullptr;
    if (PrevActive)
        PrevActive->activateWindow();
    PrevActive = nullptr;
    Started_ = false;
    hide();
}

void TFWait::Fin()
{
    FinSinDestruir();
    deleteLater();
}

void TFWait::ProcessEvents()
{
    QCoreApplication::processEvents();
}

void TFWait::reject()
{
    if (Cancelar->isVisibleTo(this) && Cancelar->isEnabled())
        Cancelar->click();
}

void TFWait::CancelarClick()
{
    Cancelled_ = true;
}

void InstallWaitBoxFactory()
{
    SetWaitBoxFactory([] { return std::make_unique<TFWait>(); });
}
