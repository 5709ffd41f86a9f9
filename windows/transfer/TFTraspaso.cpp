#include "windows/transfer/TFTraspaso.h"

#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "link/TVexaComm.h"
#include "windows/AppIcons.h"
#include "windows/controls/TL7Segment.h"
#include "windows/controls/Tdbmeter.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Pascal's Round: halves go to the even neighbour (the default rounding mode).
int RoundHalfEven(double x)
{
    return static_cast<int>(std::nearbyint(x));
}

} // namespace

TFTraspaso::TFTraspaso(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FTraspaso"));
    // A title bar without any buttons: the transfer decides when it ends.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setMinimumWidth(170);
    // Room for the three lines shown while the receiver writes, so the
    // window keeps its size when they come.
    Label1->setMinimumHeight(3 * Label1->fontMetrics().lineSpacing());

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);
    Panel1->setAutoFillBackground(true);
    QPalette black = Panel1->palette();
    black.setColor(QPalette::Window, Qt::black);
    Panel1->setPalette(black);
    auto* digits = new QHBoxLayout(Panel1);
    digits->setContentsMargins(6, 4, 6, 4);
    digits->setSpacing(0);
    auto makeSegment = [this, digits](const char* name, int width, TL7Segment::TTipoDeSegmento kind) {
        auto* seg = new TL7Segment(Panel1);
        seg->setObjectName(QLatin1String(name));
        seg->setFixedSize(width, 40);
        seg->SetTipoDeSegmento(kind);
        digits->addWidget(seg);
        return seg;
    };
    L7Segment6 = makeSegment("L7Segment6", 12, TL7Segment::ts1Punto);
    L7Segment6->SetPunto(true);
    L7Segment1 = makeSegment("L7Segment1", 30, TL7Segment::ts7Segment);
    L7Segment2 = makeSegment("L7Segment2", 30, TL7Segment::ts7Segment);
    L7Segment3 = makeSegment("L7Segment3", 14, TL7Segment::ts2Puntos);
    L7Segment4 = makeSegment("L7Segment4", 30, TL7Segment::ts7Segment);
    L7Segment5 = makeSegment("L7Segment5", 30, TL7Segment::ts7Segment);

    auto* computer = new QLabel(this);
    computer->setObjectName(QStringLiteral("ImageComputer"));
    computer->setPixmap(AppIcons::Computer(32));
    auto* receiver = new QLabel(this);
    receiver->setObjectName(QStringLiteral("ImageReceiver"));
    receiver->setPixmap(AppIcons::ReceiverFront(64, 20));

    dbmeter = new Tdbmeter(this);
    dbmeter->setObjectName(QStringLiteral("dbmeter"));
    dbmeter->SetStyle(Tdbmeter::dsHorizontal);
    dbmeter->SetGreens(0);
    dbmeter->SetYellows(0);
    dbmeter->SetReds(17);
    dbmeter->SetRedMax(17);
    dbmeter->SetShowJustOne(true);
    dbmeter->setFixedSize(17 * 10, 12);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    // Hidden once the data is sent; its place stays, so the window does not shrink.
    QSizePolicy keepPlace = ProgressBar->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    ProgressBar->setSizePolicy(keepPlace);

    CancelBtn = new QPushButton(this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    CancelBtn->setAutoDefault(false);
    connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelBtnClick(); });

    auto* top = new QHBoxLayout;
    top->addWidget(Label1, 1);
    top->addWidget(Panel1);
    auto* line = new QHBoxLayout;
    line->addWidget(computer);
    line->addStretch(1);
    line->addWidget(dbmeter);
    line->addStretch(1);
    line->addWidget(receiver);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CancelBtn);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(6);
    layout->addLayout(line);
    layout->addWidget(ProgressBar);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(100);
    connect(Timer, &QTimer::timeout, this, [this] { TimerTimer(); });
    Reloj = new QTimer(this);
    Reloj->setObjectName(QStringLiteral("Reloj"));
    Reloj->setInterval(500);
    connect(Reloj, &QTimer::timeout, this, [this] { RelojTimer(); });
    Delayer = new QTimer(this);
    Delayer->setObjectName(QStringLiteral("Delayer"));
    Delayer->setInterval(800);
    Delayer->setSingleShot(true);
    connect(Delayer, &QTimer::timeout, this, [this] { DelayerTimer(); });

    FormCreate();
}

TFTraspaso::~TFTraspaso()
{
    if (Comm)
        Comm->OnProgress = nullptr;
}

void TFTraspaso::FormCreate()
{
    MeterPos = 0;
    Result = false;
    Cancelled = false;
    setWindowTitle(ToQt(LangText(2215)));
    SetLabelLines(2213, 2);
    CancelBtn->setText(ToQt(LangText(3)));
}

void TFTraspaso::SetLabelLines(int first, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += '\n';
        text += LangText(first + i);
    }
    Label1->setText(ToQt(text));
}

bool TFTraspaso::TrespassData(TVexaComm* AComm, int AMode, std::vector<std::uint8_t>& AStream)
{
    Phase = 1;
    Mode = AMode;
    Comm = AComm;
    Stream = &AStream;
    if (Mode == ReadImage)
        MeterPos = dbmeter->Reds();
    Timer->start();
    Counter = 0;
    Reloj->start();
    Comm->OnProgress = [this](std::int32_t Step, std::int32_t Max, bool& Cancel) { Progreso(Step, Max, Cancel); };
    Delayer->start();
    RelojTimer();
    exec();

    Timer->stop();
    Reloj->stop();
    Delayer->stop();
    Comm->OnProgress = nullptr;
    // The message follows what really happened: a transfer that completed
    // is never reported as cancelled, even when Cancel came too late to stop it.
    if (!Result) {
        if (Cancelled) {
            ShowError(LangText(2201));
        } else {
            Comm->Reset();
            ShowError(LangText(2202));
        }
    }
    return Result;
}

void TFTraspaso::DelayerTimer()
{
    Delayer->stop();
    switch (Mode) {
    case ReadImage: Result = Comm->ReadData(*Stream); break;
    case SendImage: Result = Comm->SendData(*Stream); break;
    case SendSoftware:
    case SendBootLoader: Result = Comm->SendSoftFile(Mode - 2, *Stream); break;
    default: Result = false; break;
    }
    if (Mode == ReadImage || !Result) {
        Finish();
        return;
    }
    // The receiver now writes what it got; imitate its display meanwhile.
    CancelBtn->setEnabled(false);
    ProgressBar->hide();
    dbmeter->SetPosition(0);
    Timer->stop();
    Counter = 0;
    if (Mode == SendImage) {
        Phase = 4;
        SetLabelLines(2203, 3);
    } else {
        Phase = 2;
        SetLabelLines(2206, 3);
    }
}

void TFTraspaso::Finish()
{
    Closing = true;
    done(QDialog::Accepted);
}

void TFTraspaso::TimerTimer()
{
    const int reds = dbmeter->Reds();
    if (Mode == ReadImage)
        --MeterPos;
    else
        ++MeterPos;
    if (MeterPos > reds)
        MeterPos = 0;
    if (MeterPos < 0)
        MeterPos = reds;
    dbmeter->SetPosition(MeterPos);
}

void TFTraspaso::Progreso(std::int32_t Step, std::int32_t Max, bool& Cancel)
{
    if (Max > 0) {
        BarMax = Max;
        ProgressBar->setMaximum(Max);
    }
    ProgressBar->setValue(std::clamp(Step, 0, BarMax));
    Cancel = Cancelled;
    if (BarMax != 0 && Step != 0)
        Counter = RoundHalfEven(Step * 100.0 / BarMax) - 1;
    else
        Counter = 0;
    if (Counter < 0)
        Counter = 0;
}

void TFTraspaso::ShowDigits(const char* digits)
{
    L7Segment1->SetDigitValue(digits[0]);
    L7Segment2->SetDigitValue(digits[1]);
    L7Segment4->SetDigitValue(digits[2]);
    L7Segment5->SetDigitValue(digits[3]);
}

void TFTraspaso::RelojTimer()
{
    char text[16];
    if (Mode == ReadImage) {
        L7Segment3->SetPunto(!L7Segment3->Punto());
        const QTime now = QTime::currentTime();
        std::snprintf(text, sizeof text, "%2.2d%2.2d", now.hour(), now.minute());
        ShowDigits(text);
        return;
    }
    switch (Phase) {
    case 1:
        L7Segment3->SetPunto(false);
        std::snprintf(text, sizeof text, "d%3.3d", Counter % 1000);
        L7Segment1->SetPunto(true);
        ShowDigits(text);
        break;
    case 2: {
        LabelRed = !LabelRed;
        QPalette pal = Label1->palette();
        pal.setColor(QPalette::WindowText, LabelRed ? QColor(Qt::red) : palette().color(QPalette::WindowText));
        Label1->setPalette(pal);
        ++Counter;
        L7Segment1->SetPunto(false);
        L7Segment3->SetPunto(false);
        ShowDigits("----");
        if (Counter >= 35) {
            LabelRed = false;
            Label1->setPalette(palette());
            SetLabelLines(2209, 3);
            Counter = 0;
            Phase = 3;
        }
        break;
    }
    case 3:
        L7Segment3->SetPunto(false);
        L7Segment1->SetDigitValue('F');
        L7Segment1->SetPunto(true);
        Counter += 2;
        if (Counter > 100) {
            Phase = 4;
            Counter = 0;
            break;
        }
        std::snprintf(text, sizeof text, "F%3.3d", Counter);
        ShowDigits(text);
        break;
    case 4:
        ++Counter;
        L7Segment1->SetPunto(false);
        ShowDigits("Good");
        if (Counter >= 7) {
            Reloj->stop();
            ShowInfo(LangText(2216));
            Finish();
        }
        break;
    default:
        break;
    }
}

void TFTraspaso::CancelBtnClick()
{
    Cancelled = true;
    CancelBtn->setEnabled(false);
}

void TFTraspaso::reject()
{
    // Escape reaches here through QDialog: it means the Cancel button.
    if (CancelBtn->isEnabled())
        CancelBtn->click();
}

void TFTraspaso::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        reject();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFTraspaso::closeEvent(QCloseEvent* event)
{
    if (Closing)
        event->accept();
    else
        event->ignore();
}
