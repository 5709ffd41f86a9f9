#include "windows/TFMain.h"

#include "database/TVexaData.h"
#include "foundation/Libreria.h"
#include "foundation/MessageBoxes.h"
#include "foundation/TConfig.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "foundation/ui/ReplaceFiles.h"
#include "link/TVexaComm.h"
#include "windows/AppIcons.h"
#include "windows/FileDialogs.h"
#include "windows/ProgramCaption.h"
#include "windows/TFAbout.h"
#include "windows/editors/TFModCanal.h"
#include "windows/lists/TFAntenas.h"
#include "windows/lists/TFChannels.h"
#include "windows/lists/TFMover.h"
#include "windows/lists/TFSatelites.h"
#include "windows/lists/TFTransponders.h"
#include "windows/tools/TFTools.h"
#include "windows/transfer/TFChooseData.h"
#include "windows/transfer/TFConfPuerto.h"
#include "windows/transfer/TFTraspaso.h"

#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QCloseEvent>
#include <QDir>
#include <QDrag>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QDragEnterEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

TFMain* FMain = nullptr;

namespace {

constexpr int kMinWidth = 608;
constexpr int kMinHeight = 474;
constexpr int kOptionRole = Qt::UserRole; // an option item's option number
const char* const kRowsMime = "application/x-vexa-rows";

std::string UpperAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// A status bar panel that asks for its width but gives way, down to its
// text, when the window is too narrow for every panel's width.
class StatusPanel : public QLabel {
public:
    StatusPanel(int width, QWidget* parent) : QLabel(parent), width_(width) {}
    QSize sizeHint() const override
    {
        const QSize text = QLabel::sizeHint();
        return {std::max(width_, text.width()), text.height()};
    }
    QSize minimumSizeHint() const override { return QLabel::sizeHint(); }

private:
    int width_;
};

TFMain::TRowDropper& RowDropper()
{
    static TFMain::TRowDropper dropper = [](QTreeView* listView, TVexaData* data, int dropRow) {
        TFMover mover(listView->window());
        mover.Inicia(listView, data);
        mover.MoveDrop(dropRow);
    };
    return dropper;
}

TFMain::TListPrinter& ListPrinter()
{
    static TFMain::TListPrinter printer;
    return printer;
}

QString Q(const std::string& text)
{
    return ToQt(text);
}

} // namespace

// ---------------------------------------------------------------------------
// The main list view

TMainListView::TMainListView(QWidget* parent)
    : QTreeView(parent)
{
    setObjectName(QStringLiteral("ListMain"));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false); // the view starts its drags itself, see mouseMoveEvent
    viewport()->setAcceptDrops(true);
}

void TMainListView::SetDragging(bool on)
{
    DragOn = on;
    PressOnRow = false;
}

void TMainListView::setModel(QAbstractItemModel* model)
{
    QItemSelectionModel* old = selectionModel();
    QTreeView::setModel(model);
    // A view never frees the selection model it made for an earlier model;
    // the presenters change models on every option switch.
    if (old && old != selectionModel() && old->parent() == this)
        old->deleteLater();
}

void TMainListView::mousePressEvent(QMouseEvent* event)
{
    PressOnRow = false;
    if (DragOn && event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier) {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid() && selectionModel()) {
            PressOnRow = true;
            PressPos = event->position().toPoint();
            PressIndex = index;
            PressedSelected = selectionModel()->isRowSelected(index.row(), index.parent());
            if (PressedSelected) {
                // The press may start a drag of the whole selection: keep it
                // until the button comes up without a drag.
                const QItemSelection keep = selectionModel()->selection();
                QTreeView::mousePressEvent(event);
                selectionModel()->select(keep, QItemSelectionModel::ClearAndSelect);
                return;
            }
        }
    }
    QTreeView::mousePressEvent(event);
}

void TMainListView::mouseMoveEvent(QMouseEvent* event)
{
    if (PressOnRow && (event->buttons() & Qt::LeftButton)) {
        if ((event->position().toPoint() - PressPos).manhattanLength() >= QApplication::startDragDistance()) {
            PressOnRow = false;
            auto* drag = new QDrag(this);
            auto* mime = new QMimeData;
            mime->setData(QLatin1String(kRowsMime), QByteArray());
            drag->setMimeData(mime);
            drag->exec(Qt::MoveAction);
        }
        return; // no rubber-band selection while the rows are being dragged
    }
    QTreeView::mouseMoveEvent(event);
}

void TMainListView::mouseReleaseEvent(QMouseEvent* event)
{
    if (PressOnRow && PressedSelected && PressIndex.isValid() && selectionModel())
        selectionModel()->select(PressIndex, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    PressOnRow = false;
    QTreeView::mouseReleaseEvent(event);
}

bool TMainListView::Accepts(QDropEvent* event) const
{
    return DragOn && OnDragOver && OnDragOver(event->source());
}

void TMainListView::dragEnterEvent(QDragEnterEvent* event)
{
    if (Accepts(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TMainListView::dragMoveEvent(QDragMoveEvent* event)
{
    if (!Accepts(event)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Scroll when the drag nears the top or bottom edge.
    const int y = event->position().toPoint().y();
    if (y < 16)
        verticalScrollBar()->setValue(verticalScrollBar()->value() - 1);
    else if (y > viewport()->height() - 16)
        verticalScrollBar()->setValue(verticalScrollBar()->value() + 1);
    MarkDropRow(indexAt(event->position().toPoint()).row());
}

void TMainListView::dragLeaveEvent(QDragLeaveEvent* event)
{
    MarkDropRow(-1);
    event->accept();
}

void TMainListView::MarkDropRow(int row)
{
    if (row != DropRow) {
        DropRow = row;
        viewport()->update();
    }
}

void TMainListView::paintEvent(QPaintEvent* event)
{
    QTreeView::paintEvent(event);
    if (DropRow < 0 || !model() || DropRow >= model()->rowCount())
        return;
    // The selection must not change while rows are dragged: the target row
    // is outlined instead.
    QRect r = visualRect(model()->index(DropRow, 0));
    r.setLeft(0);
    r.setRight(viewport()->width() - 1);
    QPainter p(viewport());
    p.setPen(QPen(palette().color(QPalette::Highlight), 2));
    p.drawRect(r.adjusted(1, 1, -1, -1));
}

void TMainListView::dropEvent(QDropEvent* event)
{
    if (!Accepts(event)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    MarkDropRow(-1);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (OnDragDrop)
        OnDragDrop(index.isValid() ? index.row() : -1);
}

// ---------------------------------------------------------------------------
// The main window: construction

TFMain::TFMain(const TFMainSetup& setup, QWidget* parent)
    : QMainWindow(parent)
{
    FMain = this;
    setObjectName(QStringLiteral("FMain"));
    setWindowTitle(QString::fromLatin1(ProgramCaption));
    BuildMenu();
    BuildControls();
    setMinimumSize(kMinWidth, kMinHeight);
    resize(kMinWidth, kMinHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    FormCreate(setup);
}

void TFMain::BuildMenu()
{
    Fichero1 = menuBar()->addMenu(QString());
    Fichero1->setObjectName(QStringLiteral("Fichero1"));
    auto makeAction = [](QMenu* menu, const char* name, int image) {
        QAction* a = menu->addAction(QString());
        a->setObjectName(QLatin1String(name));
        if (image >= 0)
            a->setIcon(AppIcons::Menu(image));
        return a;
    };
    Listadecanalesnueva1 = makeAction(Fichero1, "Listadecanalesnueva1", 5);
    Obtenerlistadecanales1 = makeAction(Fichero1, "Obtenerlistadecanales1", 4);
    Fichero1->addSeparator();
    Guardarlistadecanales1 = makeAction(Fichero1, "Guardarlistadecanales1", 3);
    Guardarlistadecanales1->setEnabled(false);
    Fichero1->addSeparator();
    Imprimirdatos1 = makeAction(Fichero1, "Imprimirdatos1", 6);
    Imprimirdatos1->setEnabled(false);
    Fichero1->addSeparator();
    Salir1 = makeAction(Fichero1, "Salir1", 1);

    Conexin1 = menuBar()->addMenu(QString());
    Conexin1->setObjectName(QStringLiteral("Conexin1"));
    Conectar1 = makeAction(Conexin1, "Conectar1", 0);
    ConfigurarPuerto1 = makeAction(Conexin1, "ConfigurarPuerto1", 2);

    Idioma = menuBar()->addMenu(QString());
    Idioma->setObjectName(QStringLiteral("Idioma"));

    NumeradoPor = menuBar()->addMenu(QString());
    NumeradoPor->setObjectName(QStringLiteral("NumeradoPor"));
    NumeradoPor->menuAction()->setVisible(false);

    Acercade1 = menuBar()->addAction(QString());
    Acercade1->setObjectName(QStringLiteral("Acercade1"));

    connect(Listadecanalesnueva1, &QAction::triggered, this, [this] { Listadecanalesnueva1Click(); });
    connect(Obtenerlistadecanales1, &QAction::triggered, this, [this] { Obtenerlistadecanales1Click(); });
    connect(Guardarlistadecanales1, &QAction::triggered, this, [this] { Guardarlistadecanales1Click(); });
    connect(Imprimirdatos1, &QAction::triggered, this, [this] { Imprimirdatos1Click(); });
    connect(Salir1, &QAction::triggered, this, [this] { Salir1Click(); });
    connect(Conectar1, &QAction::triggered, this, [this] { ConectarClick(); });
    connect(ConfigurarPuerto1, &QAction::triggered, this, [this] { ConfigurarPuerto1Click(); });
    connect(Acercade1, &QAction::triggered, this, [this] { Acercade1Click(); });
}

void TFMain::BuildControls()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Central"));

    Conectar = new QToolButton(central);
    Conectar->setObjectName(QStringLiteral("Conectar"));
    Conectar->setIcon(AppIcons::Menu(0));
    Conectar->setIconSize(QSize(24, 24));
    Conectar->setFixedSize(50, 32);
    connect(Conectar, &QToolButton::clicked, this, [this] { ConectarClick(); });

    LedPanel = new QFrame(central);
    LedPanel->setObjectName(QStringLiteral("LedPanel"));
    LedPanel->setFrameShape(QFrame::Panel);
    LedPanel->setFrameShadow(QFrame::Sunken);
    LedPanel->setFixedSize(26, 32);
    ImageLed = new QLabel(LedPanel);
    ImageLed->setObjectName(QStringLiteral("ImageLed"));
    ImageLed->setFixedSize(16, 16);
    auto* ledLayout = new QHBoxLayout(LedPanel);
    ledLayout->setContentsMargins(0, 0, 0, 0);
    ledLayout->addWidget(ImageLed, 0, Qt::AlignCenter);

    ListSel = new QListWidget(central);
    ListSel->setObjectName(QStringLiteral("ListSel"));
    ListSel->setViewMode(QListView::IconMode);
    ListSel->setFlow(QListView::TopToBottom);
    ListSel->setWrapping(false);
    ListSel->setMovement(QListView::Static);
    ListSel->setResizeMode(QListView::Adjust);
    ListSel->setIconSize(QSize(32, 32));
    ListSel->setGridSize(QSize(77, 64));
    ListSel->setTextElideMode(Qt::ElideNone);
    {
        QFont small = ListSel->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        ListSel->setFont(small);
    }
    ListSel->setWordWrap(true);
    ListSel->setSelectionMode(QAbstractItemView::SingleSelection);
    ListSel->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListSel->setDragEnabled(false);
    ListSel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    {
        // The option bar sits on the button face, like the rest of the column;
        // its selection stays visible when it loses the focus.
        QPalette pal = ListSel->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::Button));
        pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
        pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     pal.color(QPalette::Active, QPalette::HighlightedText));
        ListSel->setPalette(pal);
    }
    connect(ListSel, &QListWidget::itemClicked, this, [this] { ListSelClick(true); });
    ListSel->installEventFilter(this);

    ListMain = new TMainListView(central);
    {
        QPalette pal = ListMain->palette();
        pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
        pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     pal.color(QPalette::Active, QPalette::HighlightedText));
        ListMain->setPalette(pal);
    }
    ListMain->OnDragOver = [this](QObject* source) { return ListMainDragOver(source); };
    ListMain->OnDragDrop = [this](int row) { ListMainDragDrop(row); };

    auto* top = new QHBoxLayout;
    top->setSpacing(2);
    top->addWidget(Conectar);
    top->addWidget(LedPanel);
    auto* left = new QVBoxLayout;
    left->setSpacing(2);
    left->addLayout(top);
    left->addWidget(ListSel, 1);
    auto* leftColumn = new QWidget(central);
    leftColumn->setObjectName(QStringLiteral("LeftColumn"));
    leftColumn->setFixedWidth(81);
    leftColumn->setLayout(left);
    left->setContentsMargins(0, 0, 0, 0);

    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(3);
    layout->addWidget(leftColumn);
    layout->addWidget(ListMain, 1);
    setCentralWidget(central);

    {
        static const int widths[3] = {200, 270, 50};
        for (int i = 0; i < 3; ++i) {
            auto* panel = new StatusPanel(widths[i], this);
            panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
            panel->setFrameShape(QFrame::Panel);
            panel->setFrameShadow(QFrame::Sunken);
            QFont small = panel->font();
            small.setPointSizeF(small.pointSizeF() * 0.85);
            panel->setFont(small);
            statusBar()->addWidget(panel, i < 2 ? 0 : 1);
            StatusPanels[static_cast<size_t>(i)] = panel;
        }
        statusBar()->setObjectName(QStringLiteral("StatusBar"));
        statusBar()->setSizeGripEnabled(true);
    }
}

void TFMain::FormCreate(const TFMainSetup& setup)
{
    // The translation service outlives this window: the windows it owns
    // unregister from it while they are destroyed, after this one.
    TheLang = setup.LanguageFolder ? std::make_unique<TLang>(*setup.LanguageFolder) : std::make_unique<TLang>();
    Config = setup.ConfigFile ? std::make_unique<TConfig>(*setup.ConfigFile) : std::make_unique<TConfig>();
    TheConfig = Config.get();
    GetParams(setup.Params ? *setup.Params : QCoreApplication::arguments().mid(1));
    // A port stored in the settings wins over the command line.
    if (TheConfig->ComPort != -1)
        Port = TheConfig->ComPort;
    Comm = std::make_unique<TVexaComm>(Port);
    Comm->SetOnStatus([this] { CheckSts(); });
    SetOpen();
    Data = std::make_unique<TVexaData>();
    SavedData = std::make_unique<TVexaData>();
    FirstActivation = true;
    LanguageItem = nullptr;
    BuildLanguageMenu();
    TheLang->AddTask(TTranslateEvent::Of<&TFMain::Translate>(this));
}

void TFMain::BuildLanguageMenu()
{
    const auto& languages = TheLang->Languages();
    const std::string wanted = UpperAscii(TheConfig->Language);
    for (size_t i = 0; i < languages.size(); ++i) {
        if (!languages[i].Loaded)
            continue;
        QAction* item = Idioma->addAction(Q(languages[i].Name));
        item->setObjectName(QStringLiteral("Language%1").arg(i));
        item->setCheckable(true);
        item->setData(static_cast<int>(i));
        if (i == 0) {
            item->setChecked(true);
            LanguageItem = item;
        }
        if (UpperAscii(languages[i].Name) == wanted) {
            if (LanguageItem)
                LanguageItem->setChecked(false);
            item->setChecked(true);
            LanguageItem = item;
            TheLang->SetLanguage(static_cast<int>(i));
        }
        connect(item, &QAction::triggered, this, [this, item] { MenuClick(item); });
    }
}

TFMain::~TFMain()
{
    if (TheLang)
        TheLang->RemoveTask(TTranslateEvent::Of<&TFMain::Translate>(this));
    DetachPresenter();
    for (TPresenter*& p : Presenters) {
        delete p;
        p = nullptr;
    }
    if (Comm)
        Comm->SetOnStatus(nullptr);
    Comm.reset();
    Data.reset();
    if (TheConfig == Config.get())
        TheConfig = nullptr;
    Config.reset(); // writes the settings file when it is due
    SavedData.reset();
    if (FMain == this)
        FMain = nullptr;
}

void TFMain::GetParams(const QStringList& params)
{
    Port = 0;
    for (const QString& param : params) {
        const std::string p = FromQt(param);
        if (UpperAscii(p.substr(0, 3)) == "COM")
            Port = SafeStrToInt(p.substr(std::min<size_t>(3, p.size())));
    }
}

// ---------------------------------------------------------------------------
// Activation, status, languages

void TFMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TFMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Not every desktop activates a new window (a bare X server does not):
    // the first activation then happens once the event loop runs.
    if (FirstActivation)
        QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void TFMain::FormActivate()
{
    if (!FirstActivation)
        return;
    FirstActivation = false;
    for (int option : {1, 5, 3, 2, 4})
        Presenters[static_cast<size_t>(option)] = CreatePresenter(option);
    SelectOption(5);
}

TPresenter* TFMain::CreatePresenter(int option)
{
    if (option == 1) {
        auto* channels = new TFChannels(this);
        channels->SetNumberingMenu(NumeradoPor);
        channels->SetChannelEditor([this](TVexaData& data, int index, int& recIndex) {
            TFModCanal editor(this);
            const bool saved = editor.Execute(data, index);
            recIndex = editor.RecIndex;
            return saved;
        });
        return channels;
    }
    if (option == 5)
        return new TFTools(this);
    if (option == 2)
        return new TFSatelites(this);
    if (option == 3)
        return new TFAntenas(this);
    return new TFTransponders(this);
}

void TFMain::CheckSts()
{
    if (!Comm)
        return;
    const bool connected = Comm->Connected();
    StatusPanels[0]->setText(Q("  " + LangText(120) + ": " + Comm->GetSoftVersion()));
    StatusPanels[1]->setText(Q("  " + LangText(121) + ": " + Comm->GetHardVersion()));
    if (Comm->Port() != 0)
        StatusPanels[2]->setText(Q("  " + LangText(123) + ": COM " + std::to_string(Comm->Port())));
    else
        StatusPanels[2]->setText(Q("  " + LangText(122)));
    const QString hint = Q(LangText(connected ? 124 : 125));
    Conectar->setToolTip(hint);
    Conectar1->setText(hint);
    SetLed(connected);
    const bool havePort = Comm->Port() != 0;
    Conectar->setEnabled(havePort);
    Conectar1->setEnabled(havePort);
    ConfigurarPuerto1->setEnabled(havePort);
}

void TFMain::SetLed(bool Connected)
{
    ImageLed->setPixmap(AppIcons::Lamp(Connected));
    ImageLed->setProperty("Connected", Connected);
}

void TFMain::ConectarClick()
{
    Comm->Refresh();
}

void TFMain::ConfigurarPuerto1Click()
{
    const std::int32_t previous = Comm->Port();
    TFConfPuerto dialog(this);
    if (dialog.ChangePort(Comm.get()) == QDialog::Accepted && dialog.ChosenPort != previous &&
        !dialog.Automatico->isChecked()) {
        Comm->SetPort(dialog.ChosenPort);
        ConectarClick();
    }
}

void TFMain::MenuClick(QAction* Sender)
{
    if (!Sender)
        return;
    const int index = Sender->data().toInt();
    if (!TheLang->SetLanguage(index)) {
        // Choosing the language in force again changes nothing; undo the
        // tick toggle the click made.
        Sender->setChecked(Sender == LanguageItem);
        return;
    }
    if (LanguageItem && LanguageItem != Sender)
        LanguageItem->setChecked(false);
    Sender->setChecked(true);
    LanguageItem = Sender;
    TheConfig->Language = TheLang->Languages()[static_cast<size_t>(index)].Name;
    TheConfig->Save();
}

void TFMain::Translate()
{
    Fichero1->setTitle(Q(LangText(101)));
    Salir1->setText(Q(LangText(102)));
    Conexin1->setTitle(Q(LangText(103)));
    ConfigurarPuerto1->setText(Q(LangText(105)));
    Obtenerlistadecanales1->setText(Q(LangText(106)));
    Guardarlistadecanales1->setText(Q(LangText(107)));
    Listadecanalesnueva1->setText(Q(LangText(108)));
    Acercade1->setText(Q(LangText(109)));
    Imprimirdatos1->setText(Q(LangText(110)));
    Idioma->setTitle(Q(LangText(111)));
    NumeradoPor->setTitle(Q(LangText(137)));
    if (ListSel->count() == 1) {
        ListSel->item(0)->setText(Q(LangText(116)));
    } else {
        for (int i = 0; i < ListSel->count(); ++i)
            ListSel->item(i)->setText(Q(LangText(112 + i)));
    }
    CheckSts();
    ListSelClick(false);
}

// ---------------------------------------------------------------------------
// The option bar

void TFMain::SetOpen()
{
    const int n = ListSel->count();
    if (n >= 2)
        return;
    ListSel->clear();
    auto addItem = [this](int text, int option) {
        auto* item = new QListWidgetItem(AppIcons::Option(option), Q(LangText(text)));
        item->setData(kOptionRole, option);
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
        item->setSizeHint(QSize(75, 60)); // the whole cell, so picture and caption centre in it
        ListSel->addItem(item);
    };
    if (n == 1) {
        for (int option = 1; option <= 4; ++option)
            addItem(111 + option, option);
        Guardarlistadecanales1->setEnabled(true);
        Imprimirdatos1->setEnabled(ListSelTag != 5 && ListPrinter() != nullptr);
    }
    addItem(116, 5);
}

void TFMain::SelectOption(int Option)
{
    for (int i = 0; i < ListSel->count(); ++i) {
        QListWidgetItem* item = ListSel->item(i);
        if (item->data(kOptionRole).toInt() == Option) {
            ListSel->setCurrentItem(item);
            item->setSelected(true);
            ListSelClick(false);
            return;
        }
    }
}

void TFMain::ListSelClick(bool Sender)
{
    const QList<QListWidgetItem*> selected = ListSel->selectedItems();
    if (selected.isEmpty())
        return;
    const int o = selected.first()->data(kOptionRole).toInt();
    if (o == ListSelTag && Sender)
        return;
    ListSelTag = o;
    DetachPresenter();
    ListMain->setProperty("Tag", o);
    Imprimirdatos1->setEnabled(o != 5 && ListPrinter() != nullptr);
    NumeradoPor->menuAction()->setVisible(false);
    ListMain->SetDragging(o != 5);
    if (o >= 1 && o <= 5 && Presenters[static_cast<size_t>(o)]) {
        Active = Presenters[static_cast<size_t>(o)];
        Active->Start(ListMain, Comm.get(), Data.get());
    }
}

void TFMain::DetachPresenter()
{
    if (Active) {
        QObject::disconnect(ListMain, nullptr, Active, nullptr);
        if (ListMain->selectionModel())
            QObject::disconnect(ListMain->selectionModel(), nullptr, Active, nullptr);
        ListMain->removeEventFilter(Active);
        ListMain->viewport()->removeEventFilter(Active);
        Active = nullptr;
    }
    if (ListMain->selectionModel())
        ListMain->selectionModel()->clear();
    ListMain->setModel(nullptr);
    ListMain->setContextMenuPolicy(Qt::NoContextMenu);
}

bool TFMain::eventFilter(QObject* watched, QEvent* event)
{
    // Arrow keys move through the option bar: the option follows on key release.
    if (watched == ListSel && event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(event)->isAutoRepeat())
        ListSelClick(true);
    return QMainWindow::eventFilter(watched, event);
}

bool TFMain::ListLoaded() const
{
    return Guardarlistadecanales1->isEnabled();
}

// ---------------------------------------------------------------------------
// Shut-down

void TFMain::closeEvent(QCloseEvent* event)
{
    if (CancelarAccion())
        event->ignore();
    else
        event->accept();
}

void TFMain::Salir1Click()
{
    // The same road as the window's close box, so unsaved changes are asked about.
    close();
}

// ---------------------------------------------------------------------------
// The roads

bool TFMain::CancelarAccion()
{
    if (SavedData->Equals(*Data))
        return false;
    switch (MessageBoxes().Show(BoxKind::YesNoCancel, LangText(136), LangText(135))) {
    case BoxAnswer::No:
        return false;
    case BoxAnswer::Yes:
        Guardarlistadecanales1Click();
        return !SavedData->Equals(*Data);
    default:
        return true;
    }
}

void TFMain::Listadecanalesnueva1Click()
{
    if (CancelarAccion())
        return;
    SetOpen();
    DetachPresenter();
    Data->Clear();
    Data->Valid = true;
    Data->ListNumber = 0;
    SavedData->Clear();
    SelectOption(1);
}

void TFMain::Obtenerlistadecanales1Click()
{
    if (CancelarAccion())
        return;
    TFChooseData dialog(this);
    if (!dialog.SetPrompt(Comm.get(), LangText(126)))
        return;
    if (dialog.RadioButton1->isChecked())
        GetDataFromVexa();
    else
        GetChnFromFile(dialog.RadioButton2->isChecked());
}

void TFMain::GetDataFromVexa()
{
    std::vector<std::uint8_t> stream;
    bool loaded = false;
    {
        TFTraspaso transfer(this);
        loaded = transfer.TrespassData(Comm.get(), TFTraspaso::ReadImage, stream) && SecuredLoadBin(stream);
    }
    if (loaded) {
        SetOpen();
        SelectOption(1);
    }
}

namespace {

QStringList TextListFilters()
{
    return {Q(LangText(128)) + QStringLiteral(" (*.Txt)")};
}

QStringList BinaryFilters()
{
    const QString name = Q(LangText(129));
    return {name + QStringLiteral(" (Dat) (*.dat)"), name + QStringLiteral(" (Bin) (*.Bin)")};
}

} // namespace

void TFMain::GetChnFromFile(bool IsTxt)
{
    const QString name = FileDialogs().OpenFileName(this, IsTxt ? TextListFilters() : BinaryFilters());
    if (name.isEmpty())
        return;
    if (SecuredLoadFile(IsTxt ? 2 : 1, name)) {
        SetOpen();
        SelectOption(1);
    }
}

bool TFMain::SecuredLoadFile(int Kind, const QString& FileName)
{
    auto failed = [&] {
        ShowError(LangText(130) + " " + FromQt(QDir::toNativeSeparators(FileName)));
        return false;
    };
    if (Kind == 1) {
        QFile file(FileName);
        if (!file.open(QIODevice::ReadOnly))
            return failed();
        // The image is all there is to read; whatever follows it is ignored
        // anyway, so a huge file is not pulled into memory.
        const QByteArray bytes = file.read(static_cast<qint64>(TVexaData::ImageSize));
        if (file.error() != QFileDevice::NoError)
            return failed();
        return SecuredLoadBin(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    }
    std::vector<std::string> lines;
    if (!LoadLines(QFile::encodeName(FileName).toStdString(), lines, std::uint64_t{64} << 20, NulByte::Ordinary))
        return failed();
    return SecuredLoadTxt(lines);
}

bool TFMain::SecuredLoadBin(const std::vector<std::uint8_t>& Stream)
{
    TVexaData loaded;
    if (!loaded.LoadFromImage(std::span<const std::uint8_t>(Stream))) {
        ShowError(LangText(131));
        return false;
    }
    DetachPresenter();
    Data->Assign(loaded);
    SavedData->Assign(loaded);
    return true;
}

bool TFMain::SecuredLoadTxt(const std::vector<std::string>& Lines)
{
    TVexaData loaded;
    const int result = loaded.LoadFromTxt(Lines);
    if (result == TVexaData::TxtRead) {
        DetachPresenter();
        Data->Assign(loaded);
        SavedData->Assign(loaded);
        return true;
    }
    ShowError(LangText(result == TVexaData::TxtCancelled ? 132 : 133));
    return false;
}

void TFMain::Guardarlistadecanales1Click()
{
    TFChooseData dialog(this);
    dialog.CheckBox1->setVisible(true);
    if (!dialog.SetPrompt(Comm.get(), LangText(127)))
        return;
    if (dialog.RadioButton1->isChecked())
        PutDataToVexa();
    else
        SaveChnToFile(dialog.RadioButton2->isChecked(), dialog.CheckBox1->isChecked());
}

bool TFMain::WriteFile(const QString& fileName, const QByteArray& bytes)
{
    // Written beside the target and renamed over it only when complete: a
    // failed save leaves the previous file as it was and says why.
    QString reason;
    if (!ReplaceFiles({{fileName, bytes}}, &reason)) {
        ShowError(FromQt(QDir::toNativeSeparators(fileName) + QStringLiteral(": ") + reason));
        return false;
    }
    return true;
}

void TFMain::SaveChnToFile(bool IsTxt, bool Extended)
{
    const QString extension = IsTxt ? QStringLiteral("Txt") : QStringLiteral("Dat");
    QString name = FileDialogs().SaveFileName(this, IsTxt ? TextListFilters() : BinaryFilters(), extension);
    if (name.isEmpty())
        return;
    name = WithExtension(name, extension);
    QByteArray bytes;
    if (IsTxt) {
        std::vector<std::string> lines;
        Data->SaveToTxt(Extended, lines);
        for (const std::string& line : lines) {
            bytes.append(line.data(), static_cast<qsizetype>(line.size()));
            bytes.append("\r\n", 2);
        }
    } else {
        std::vector<std::uint8_t> image;
        if (!Data->SaveToImage(image)) {
            ShowError(LangText(131));
            return;
        }
        bytes = QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size()));
    }
    if (WriteFile(name, bytes))
        SavedData->Assign(*Data);
}

void TFMain::PutDataToVexa()
{
    std::vector<std::uint8_t> image;
    if (!Data->SaveToImage(image)) {
        ShowError(LangText(131));
        return;
    }
    bool sent = false;
    {
        TFTraspaso transfer(this);
        sent = transfer.TrespassData(Comm.get(), TFTraspaso::SendImage, image);
    }
    if (sent)
        SavedData->Assign(*Data);
}

void TFMain::Imprimirdatos1Click()
{
    if (!ListPrinter() || ListSelTag < 1 || ListSelTag > ListSel->count())
        return;
    const std::string title = LangText(134) + " " + FromQt(ListSel->item(ListSelTag - 1)->text());
    ListPrinter()(ListMain, title, std::string());
}

void TFMain::Acercade1Click()
{
    TFAbout about(this);
    about.exec();
}

bool TFMain::ListMainDragOver(QObject* Source) const
{
    return Source && qobject_cast<QAbstractItemView*>(Source) && Source->objectName() == QLatin1String("ListMain");
}

void TFMain::ListMainDragDrop(int DropRow)
{
    if (RowDropper())
        RowDropper()(ListMain, Data.get(), DropRow);
}

void TFMain::SetRowDropper(TRowDropper dropper)
{
    RowDropper() = std::move(dropper);
}

void TFMain::SetListPrinter(TListPrinter printer)
{
    ListPrinter() = std::move(printer);
}

const TFMain::TListPrinter& TFMain::GetListPrinter()
{
    return ListPrinter();
}
