#include "printing/TFPPreview.h"

#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "printing/PagePainter.h"
#include "printing/ReportExport.h"
#include "printing/TFQrManLst.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <optional>

TFPPreview* FPPreview = nullptr;

namespace {

bool QtPrintSetup(QPrinter& printer, int pageCount, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange
                      | QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(1, std::max(1, pageCount));
    return dialog.exec() == QDialog::Accepted;
}

// "PDF document (*.pdf)" -> "pdf".
QString ExtensionOf(const QString& filter)
{
    const qsizetype star = filter.lastIndexOf(QLatin1String("*."));
    const qsizetype close = filter.lastIndexOf(QLatin1Char(')'));
    return star < 0 || close < star ? QString() : filter.mid(star + 2, close - star - 2);
}

QString QtSaveAsker(QWidget* parent, const QString& caption, const QStringList& filters, int* filter)
{
    QFileDialog dialog(parent, caption);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    // A name typed without extension gets the chosen filter's; the question
    // about replacing a file is then asked about the name really written.
    if (!filters.isEmpty()) {
        dialog.selectNameFilter(filters.first());
        dialog.setDefaultSuffix(ExtensionOf(filters.first()));
    }
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& chosen) { dialog.setDefaultSuffix(ExtensionOf(chosen)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    *filter = int(filters.indexOf(dialog.selectedNameFilter()));
    return dialog.selectedFiles().first();
}

TFPPreview::TPrintSetup& PrintSetup()
{
    static TFPPreview::TPrintSetup setup;
    return setup;
}

TFPPreview::TSaveAsker& SaveAsker()
{
    static TFPPreview::TSaveAsker asker;
    return asker;
}

// The progress window of a print: the program's own, on the main thread,
// without a close button; Cancel stops the print at the next page.
class PrintProgress : public QDialog {
public:
    PrintProgress(QWidget* parent, int steps)
        : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    {
        setObjectName(QStringLiteral("PrintProgress"));
        setWindowModality(Qt::ApplicationModal);
        setWindowTitle(ToQt(LangText(2110)));
        Bar = new QProgressBar(this);
        Bar->setObjectName(QStringLiteral("PrintProgressBar"));
        Bar->setRange(0, std::max(1, steps));
        Bar->setValue(0);
        Cancel = new QPushButton(ToQt(LangText(2111)), this);
        Cancel->setObjectName(QStringLiteral("PrintCancel"));
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(Bar);
        layout->addWidget(Cancel, 0, Qt::AlignHCenter);
        setMinimumWidth(320);
        connect(Cancel, &QPushButton::clicked, this, [this] { reject(); });
    }

    // Esc and Cancel both stop the print; the window goes at once.
    void reject() override
    {
        Cancelled = true;
        hide();
    }

    QProgressBar* Bar;
    QPushButton* Cancel;
    bool Cancelled = false;

protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

QPixmap Canvas()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// The four page buttons beside the vertical track bar (page 1 at the top):
// first and previous point up, next and last point down; first and last
// stop at a bar.
QIcon PageIcon(bool up, bool toEnd)
{
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 60));
    QPainterPath triangle;
    if (up) {
        triangle.moveTo(8, 5);
        triangle.lineTo(13, 11);
        triangle.lineTo(3, 11);
    } else {
        triangle.moveTo(3, 5);
        triangle.lineTo(13, 5);
        triangle.lineTo(8, 11);
    }
    triangle.closeSubpath();
    p.drawPath(triangle);
    if (toEnd)
        p.drawRect(up ? QRectF(3, 2, 10, 2) : QRectF(3, 12, 10, 2));
    return QIcon(pixmap);
}

QIcon PrinterIcon()
{
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setPen(QColor(50, 50, 50));
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 8, 5);   // paper going in
    p.setBrush(QColor(150, 150, 160));
    p.drawRect(1, 6, 14, 6);  // body
    p.setBrush(Qt::white);
    p.drawRect(4, 10, 8, 5);  // paper coming out
    p.setPen(QColor(40, 170, 40));
    p.drawPoint(13, 8);
    return QIcon(pixmap);
}

QIcon ThemeIcon(const char* name, const QIcon& fallback)
{
    return QIcon::fromTheme(QLatin1String(name), fallback);
}

QLabel* Label(QWidget* parent, const char* name)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setAlignment(Qt::AlignCenter);
    return l;
}

QToolButton* PageButton(QWidget* parent, const char* name, bool up, bool toEnd)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setIcon(PageIcon(up, toEnd));
    b->setAutoRaise(true);
    b->setFixedSize(24, 20);
    return b;
}

} // namespace

void TFPPreview::SetPrintSetup(TPrintSetup setup)
{
    PrintSetup() = std::move(setup);
}

void TFPPreview::SetSaveAsker(TSaveAsker asker)
{
    SaveAsker() = std::move(asker);
}

int TFPPreview::TickFrequency(int Count)
{
    if (Count < 11)
        return 1;
    // Halves go to the even neighbour (25 pages: 2, 35 pages: 4).
    return static_cast<int>(std::nearbyint(Count * 10 / 100.0));
}

TFPPreview::TFPPreview(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TFPPreview"));
    // The window that asked stays visible but unusable while the preview
    // shows; being modal also keeps the preview usable above a modal caller.
    setWindowModality(Qt::ApplicationModal);

    Cerrar = new QAction(ThemeIcon("window-close", style()->standardIcon(QStyle::SP_DialogCloseButton)),
                         QString(), this);
    Cerrar->setObjectName(QStringLiteral("Cerrar"));
    Print = new QAction(ThemeIcon("document-print", PrinterIcon()), QString(), this);
    Print->setObjectName(QStringLiteral("Print"));
    Save = new QAction(ThemeIcon("document-save-as", style()->standardIcon(QStyle::SP_DialogSaveButton)),
                       QString(), this);
    Save->setObjectName(QStringLiteral("Save"));
    connect(Cerrar, &QAction::triggered, this, &TFPPreview::CerrarExecute);
    connect(Print, &QAction::triggered, this, &TFPPreview::ToolButton2Click);
    connect(Save, &QAction::triggered, this, &TFPPreview::SaveClick);

    PrepararPagina1 = menuBar()->addMenu(QString());
    PrepararPagina1->setObjectName(QStringLiteral("PrepararPagina1"));
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    for (QMenu* menu : {PrepararPagina1, PopupMenu1}) {
        menu->addAction(Print);
        menu->addSeparator();
        menu->addAction(Save);
        menu->addSeparator();
        menu->addAction(Cerrar);
    }

    ToolBar1 = addToolBar(QString());
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->addAction(Cerrar);
    ToolBar1->addSeparator();
    ToolBar1->addAction(Print);
    ToolBar1->addSeparator();
    ToolBar1->addAction(Save);
    ToolBar1->addSeparator();
    Label3 = Label(ToolBar1, "Label3");
    Label3->setContentsMargins(4, 0, 6, 0);
    ToolBar1->addWidget(Label3);
    Zoom = new QComboBox(ToolBar1);
    Zoom->setObjectName(QStringLiteral("Zoom"));
    Zoom->setEditable(false);
    Zoom->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    ToolBar1->addWidget(Zoom);
    connect(Zoom, &QComboBox::currentIndexChanged, this, &TFPPreview::ZoomChange);

    auto* central = new QWidget(this);
    Preview = new PageView(central);
    Preview->setObjectName(QStringLiteral("Preview"));
    Preview->SetDocument(&Document);
    // A scroll area gives the pop-up menu's place in its viewport's coordinates.
    Preview->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Preview, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(Preview->viewport()->mapToGlobal(at)); });
    Slices = new QTimer(this);
    Slices->setSingleShot(true);
    Slices->setInterval(0);
    connect(Slices, &QTimer::timeout, this, &TFPPreview::MakePages);

    Panel1 = new QFrame(central);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setMinimumWidth(26);
    Label22 = Label(Panel1, "Label22");
    Label2 = Label(Panel1, "Label2");
    Label2->setText(QStringLiteral("1"));
    T1 = new QSlider(Qt::Vertical, Panel1);
    T1->setObjectName(QStringLiteral("T1"));
    T1->setPageStep(1);
    T1->setTickPosition(QSlider::TicksRight);
    T1->setInvertedAppearance(true); // page 1 at the top
    T1->setInvertedControls(true);
    T1->setRange(1, 1);
    Label1 = Label(Panel1, "Label1");
    FirstPage = PageButton(Panel1, "FirstPage", true, true);
    PriorPage = PageButton(Panel1, "PriorPage", true, false);
    NextPage = PageButton(Panel1, "NextPage", false, false);
    LastPage = PageButton(Panel1, "LastPage", false, true);
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(2, 4, 2, 4);
    panelLayout->setSpacing(2);
    panelLayout->addWidget(Label22);
    panelLayout->addWidget(Label2);
    panelLayout->addWidget(T1, 1, Qt::AlignHCenter);
    panelLayout->addWidget(Label1);
    for (QToolButton* b : {FirstPage, PriorPage, NextPage, LastPage})
        panelLayout->addWidget(b, 0, Qt::AlignHCenter);
    Panel1->hide();
    connect(T1, &QSlider::valueChanged, this, &TFPPreview::T1Change);
    connect(FirstPage, &QToolButton::clicked, this, &TFPPreview::FirstPageClick);
    connect(PriorPage, &QToolButton::clicked, this, &TFPPreview::PriorPageClick);
    connect(NextPage, &QToolButton::clicked, this, &TFPPreview::NextPageClick);
    connect(LastPage, &QToolButton::clicked, this, &TFPPreview::LastPageClick);

    auto* centralLayout = new QHBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    centralLayout->addWidget(Preview, 1);
    centralLayout->addWidget(Panel1);
    setCentralWidget(central);

    StatusBar1 = statusBar();
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    StatusPanel = new QLabel(StatusBar1);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    StatusBar1->addWidget(StatusPanel, 1);
    // The progress bar lies over the panel; it is placed by hand.
    ProgressBar = new QProgressBar(StatusBar1);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setTextVisible(false);
    ProgressBar->setValue(50);
    ProgressBar->hide();

    // Double clicks on these maximise the window or restore it.
    for (QWidget* w : {static_cast<QWidget*>(StatusBar1), static_cast<QWidget*>(ToolBar1),
                       static_cast<QWidget*>(Label1), static_cast<QWidget*>(Preview)})
        w->installEventFilter(this);
    Preview->viewport()->installEventFilter(this);

    setMinimumSize(250, 450);
    QSize start(820, 760);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        start = start.boundedTo(area.size() - QSize(40, 60));
        QRect frame(QPoint(0, 0), start);
        frame.moveCenter(area.center());
        move(frame.topLeft());
    }
    resize(start);

    if (TheLang)
        TheLang->AddTask(TTranslateEvent::Of<&TFPPreview::Translate>(this));
    else
        Translate();
    PlaceProgressBar();
}

TFPPreview::~TFPPreview()
{
    if (TheLang)
        TheLang->RemoveTask(TTranslateEvent::Of<&TFPPreview::Translate>(this));
    if (FPPreview == this)
        FPPreview = nullptr;
    delete Printer;
}

void TFPPreview::Translate()
{
    setWindowTitle(ToQt(LangText(2101)));
    PrepararPagina1->setTitle(ToQt(LangText(2107)));
    const std::pair<QAction*, int> actions[] = {{Print, 2104}, {Save, 2105}, {Cerrar, 2106}};
    for (const auto& [action, text] : actions) {
        action->setText(ToQt(LangText(text)));
        action->setToolTip(ToQt(LangText(text)));
    }
    Label22->setText(ToQt(LangText(2103)));
    Label3->setText(ToQt(LangText(2102)));
    if (Print->isEnabled())
        ShowPageText();
}

void TFPPreview::PlaceProgressBar()
{
    ProgressBar->setGeometry(5, 5, std::max(10, StatusBar1->width() - 20), std::max(6, StatusBar1->height() - 7));
}

void TFPPreview::ShowPageText()
{
    StatusPanel->setText(ToQt(LangText(2108)) + QLatin1Char(' ') + QString::number(Preview->currentPage()));
}

void TFPPreview::ShowPrev(TFQrManLst& report, QWidget* Caller)
{
    if (Running)
        return;
    Running = true;

    {
        const QSignalBlocker block(Zoom);
        Zoom->clear();
        for (int zoom : kZooms) {
            const QString text = zoom == kZoomFit     ? ToQt(LangText(2113))
                                 : zoom == kZoomWidth ? ToQt(LangText(2112))
                                                      : QString::asprintf("%d%%", zoom);
            Zoom->addItem(text, zoom);
        }
        Zoom->setCurrentIndex(Zoom->findData(kZoomFit));
    }
    Report = &report;
    CallerForm = Caller;
    Document = ReportDocument{};
    Preview->SetDocument(&Document); // nothing of an earlier report stays on show
    Preview->fitInView();

    SetNumPages(0);
    T1->setRange(1, 1);
    T1->setValue(1);
    T1Change();
    FirstPageSeen = false;
    ProgressBar->setRange(0, 10);
    ProgressBar->setValue(0);
    ProgressBar->show();
    Generating = true;
    EnableAll(false);

    // The first page is made before the window shows, so that the window's
    // first paint has it; the others are made from the window's event loop,
    // a slice at a time, so the window answers while they are made. It
    // refuses to close until the last page is done.
    RowsDone = 0;
    RowsTotal = 0;
    report.StartPages(Document);
    MakePages();

    if (CallerForm)
        CallerForm->setEnabled(false);
    show();
    raise();
    activateWindow();
    if (isVisible())
        RunLoop.exec();
    // The loop also ends when the application quits: the report goes with
    // the caller once this returns, so nothing may go on reading it.
    StopMaking();
    Running = false;
}

void TFPPreview::MakePages()
{
    if (!Generating || !Report)
        return;
    // The first page goes on screen alone; after it, slices short enough to
    // keep the window responsive and long enough not to slow the making.
    constexpr qint64 kSliceMs = 12;
    QElapsedTimer clock;
    clock.start();
    const auto progress = [this](int, int max, int position) {
        if (max > 0) {
            RowsTotal = max;
            RowsDone = position;
        }
    };
    bool more = true;
    do
        more = Report->NextPage(Document, progress);
    while (more && FirstPageSeen && clock.elapsed() < kSliceMs);
    FirstPageSeen = true;
    Preview->Refresh();
    SetNumPages(int(Document.pages.size()));
    if (more) {
        Progreso(0, RowsTotal, RowsDone);
        Slices->start();
        return;
    }
    Generating = false;
    Final();
    T1Change();
}

void TFPPreview::StopMaking()
{
    Slices->stop();
    if (!Generating)
        return;
    // Left unfinished: the pages made so far are no report to print or save.
    Generating = false;
    Report = nullptr;
    ProgressBar->hide();
    if (CallerForm)
        CallerForm->setEnabled(true);
    CallerForm = nullptr;
    hide();
}

void TFPPreview::Progreso(int Min, int Max, int Position)
{
    if (Min == 0 && Max == 0 && Position == 0) {
        ProgressBar->hide();
        EnableAll(true);
        return;
    }
    ProgressBar->setRange(Min, std::max(Min, Max));
    ProgressBar->setValue(std::clamp(Position, Min, std::max(Min, Max)));
}

void TFPPreview::Final()
{
    ProgressBar->hide();
    EnableAll(true);
}

void TFPPreview::EnableAll(bool Flag)
{
    // While pages are being made nothing may start that would need them.
    Flag = Flag && !Generating;
    for (QAction* a : {Print, Cerrar, Save})
        a->setEnabled(Flag);
    Zoom->setEnabled(Flag);
    if (Flag)
        ShowPageText();
    else
        StatusPanel->clear();
}

void TFPPreview::SetNumPages(int Count)
{
    if (Count <= 1) {
        Panel1->hide();
        return;
    }
    T1->setTickInterval(TickFrequency(Count));
    T1->setRange(1, Count);
    T1->setValue(std::clamp(Preview->currentPage(), 1, Count));
    Label1->setText(QString::number(Count));
    Panel1->show();
}

void TFPPreview::T1Change()
{
    Preview->setCurrentPage(T1->value());
    Panel1->setToolTip(Label22->text() + QLatin1Char(' ') + QString::number(T1->value()));
    if (Print->isEnabled())
        ShowPageText();
}

void TFPPreview::FirstPageClick()
{
    if (T1->value() != 1)
        T1->setValue(1);
}

void TFPPreview::PriorPageClick()
{
    if (T1->value() > 1)
        T1->setValue(T1->value() - 1);
}

void TFPPreview::NextPageClick()
{
    if (T1->value() < T1->maximum())
        T1->setValue(T1->value() + 1);
}

void TFPPreview::LastPageClick()
{
    if (T1->value() != T1->maximum())
        T1->setValue(T1->maximum());
}

void TFPPreview::ZoomChange()
{
    const int zoom = Zoom->currentData().toInt();
    if (zoom == kZoomFit)
        Preview->fitInView();
    else if (zoom == kZoomWidth)
        Preview->fitToWidth();
    else if (zoom > 0)
        Preview->setZoomFactor(zoom / 100.0);
}

void TFPPreview::ToolButton2Click()
{
    if (Generating || Printing || !Print->isEnabled())
        return;
    if (!Printer)
        Printer = new QPrinter(QPrinter::HighResolution);
    const int pages = int(Document.pages.size());
    const TPrintSetup& setup = PrintSetup();
    if (!(setup ? setup(*Printer, pages, this) : QtPrintSetup(*Printer, pages, this)))
        return;
    Printing = true;
    const bool started = PrintPages(*Printer);
    Printing = false;
    if (!started) {
        const QString target = Printer->outputFileName().isEmpty()
                                   ? Printer->printerName()
                                   : QDir::toNativeSeparators(Printer->outputFileName());
        ShowError(LangText(130) + "\r" + FromQt(target));
    }
    raise();
    activateWindow();
}

bool TFPPreview::PrintPages(QPrinter& printer)
{
    // The progress box comes up once the printer has started; its Cancel is
    // seen between sheets, and once more after the last.
    std::optional<PrintProgress> progress;
    return PrintDocument(printer, Document, [&](int done, int total) {
        if (!progress) {
            progress.emplace(this, total);
            progress->show();
        }
        progress->Bar->setValue(done);
        QCoreApplication::processEvents();
        return !progress->Cancelled;
    });
}

void TFPPreview::SaveClick()
{
    if (Generating || Printing || !Save->isEnabled())
        return;
    const QStringList filters = ReportFilterStrings();
    int filter = -1;
    const TSaveAsker& asker = SaveAsker();
    const QString caption = ToQt(LangText(2109));
    const QString name = asker ? asker(this, caption, filters, &filter) : QtSaveAsker(this, caption, filters, &filter);
    const auto& writers = ReportFilters();
    if (name.isEmpty() || filter < 0 || filter >= int(writers.size()))
        return;
    QString error;
    if (!writers[std::size_t(filter)].write(Document, name, &error))
        ShowError(FromQt(QDir::toNativeSeparators(name) + QStringLiteral(": ") + error));
}

void TFPPreview::CerrarExecute()
{
    close();
}

void TFPPreview::closeEvent(QCloseEvent* event)
{
    // The report on show is in use until its pages are made and printed;
    // the caller gets its window back only when the preview really goes.
    if (Generating || Printing || !Print->isEnabled()) {
        event->ignore();
        return;
    }
    event->accept();
    {
        const QSignalBlocker block(T1);
        T1->setRange(1, 1);
        T1->setValue(1);
    }
    Panel1->hide();
    if (CallerForm)
        CallerForm->setEnabled(true);
    CallerForm = nullptr;
    Report = nullptr;
    // The pages go with the window: a long report's are many megabytes, and
    // freeing them here spares the next preview the wait before its first page.
    Document = ReportDocument{};
    Preview->SetDocument(&Document);
    RunLoop.quit();
}

bool TFPPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (isMaximized())
            showNormal();
        else
            showMaximized();
        return true;
    }
    if (watched == StatusBar1 && event->type() == QEvent::Resize)
        PlaceProgressBar();
    return QMainWindow::eventFilter(watched, event);
}

void ShowPreview(TFQrManLst& Report, QWidget* Caller)
{
    if (!FPPreview) {
        FPPreview = new TFPPreview;
        // Lives for the rest of the run; goes with the application.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, [] {
            if (FPPreview)
                FPPreview->deleteLater();
        });
    }
    FPPreview->ShowPrev(Report, Caller);
}
