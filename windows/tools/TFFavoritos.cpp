#include "windows/tools/TFFavoritos.h"

#include "database/TVexaData.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "windows/TFMain.h"
#include "windows/controls/TL7Segment.h"
#include "windows/lists/ChannelListModel.h"
#include "windows/lists/ListColumns.h"
#include "windows/lists/RecordListModel.h"
#include "windows/lists/TFBuscar.h"
#include "windows/lists/TFShrChn.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDrag>
#include <QDropEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace {

const char* const kRowsMime = "application/x-vexa-favourite-rows";
// What the picker and its window frame take beside the organiser, beyond the
// picker's own width.
constexpr int kPickerRoom = 24;
constexpr int kColumns = 9;
constexpr int kStateSize = 16;

bool IsMember(const TChannelRec& channel, int group)
{
    return channel.Favorites[static_cast<size_t>(group)] != 0;
}

// ---- Pictures

// The type pictures beside the type box, drawn on a 16-unit grid and scaled.
QPixmap TypePicture(bool radio)
{
    constexpr int size = 32;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    p.setPen(QPen(QColor(30, 30, 30), 0.6));
    if (!radio) {
        p.setBrush(QColor(60, 60, 66));
        p.drawRoundedRect(QRectF(0.5, 1, 15, 11.5), 1.5, 1.5); // cabinet
        QLinearGradient glass(0, 2.5, 0, 10.5);
        glass.setColorAt(0, QColor(120, 190, 250));
        glass.setColorAt(1, QColor(30, 90, 170));
        p.setBrush(glass);
        p.drawRect(QRectF(2, 2.5, 12, 8.5)); // screen
        p.setBrush(QColor(30, 30, 30));
        p.drawPolygon(QPolygonF({QPointF(6, 12.5), QPointF(10, 12.5), QPointF(12, 15.3), QPointF(4, 15.3)}));
    } else {
        p.drawLine(QPointF(3, 6), QPointF(13, 0.7)); // aerial
        p.setBrush(QColor(150, 75, 35));
        p.drawRoundedRect(QRectF(0.5, 5.5, 15, 10), 1.5, 1.5); // case
        p.setBrush(QColor(50, 25, 10));
        p.drawEllipse(QPointF(5, 10.5), 3.2, 3.2); // loudspeaker
        p.setBrush(QColor(245, 225, 150));
        p.drawRect(QRectF(9.5, 7.5, 4.5, 2.5)); // dial
        p.setBrush(QColor(200, 200, 200));
        p.drawEllipse(QPointF(11.75, 12.5), 1.4, 1.4); // knob
    }
    return pixmap;
}

// The membership pictures of mode 1: a gold star for a member, an empty grey
// one for any other channel.
QPixmap DrawStatePicture(bool member)
{
    QPixmap pixmap(kStateSize, kStateSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath star;
    for (int k = 0; k < 10; ++k) {
        const double r = k % 2 ? 3.1 : 7.2;
        const double a = -std::numbers::pi / 2 + k * std::numbers::pi / 5;
        const QPointF at(8 + r * std::cos(a), 8.4 + r * std::sin(a));
        if (k == 0)
            star.moveTo(at);
        else
            star.lineTo(at);
    }
    star.closeSubpath();
    if (member) {
        p.setPen(QPen(QColor(150, 100, 0), 1));
        p.setBrush(QColor(255, 200, 30));
    } else {
        p.setPen(QPen(QColor(140, 140, 140), 1));
        p.setBrush(Qt::NoBrush);
    }
    p.drawPath(star);
    return pixmap;
}

const QPixmap& StatePicture(bool member)
{
    static const QPixmap nonMember = DrawStatePicture(false);
    static const QPixmap isMember = DrawStatePicture(true);
    return member ? isMember : nonMember;
}

// Lista's check boxes, drawn as the membership pictures. Only Lista uses it.
class StateStyle : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element != PE_IndicatorItemViewItemCheck) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const QPixmap& picture = StatePicture(option->state & State_On);
        QRect target(QPoint(), picture.size());
        target.moveCenter(option->rect.center());
        painter->drawPixmap(target, picture);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_IndicatorWidth || metric == PM_IndicatorHeight)
            return kStateSize;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// Tells where a cell's check box (the membership picture) is drawn.
class StateDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QRect StateRect(QStyleOptionViewItem option, const QModelIndex& index) const
    {
        initStyleOption(&option, index);
        if (!(option.features & QStyleOptionViewItem::HasCheckIndicator))
            return {};
        const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
        return style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, option.widget);
    }
};

// ---- Dragging rows between Lista and the picker

// Watches one of the two lists. Neither model knows of dragging: the watch
// starts the drag itself and hands accepted drops, double clicks and keys to
// the organiser.
class RowDragWatch : public QObject {
public:
    RowDragWatch(QTreeView* view, const TFFavoritos* owner)
        : QObject(view)
        , View(view)
        , Owner(owner)
    {
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
        view->viewport()->setAcceptDrops(true);
        view->setDragEnabled(false);
    }

    std::function<bool()> CanDrag;
    std::function<bool(const QMimeData*)> Accepts;
    std::function<void()> Dropped;
    std::function<void()> DoubleClicked;
    std::function<bool(int key)> KeyPressed;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == View)
            return event->type() == QEvent::KeyPress && KeyPressed
                && KeyPressed(static_cast<QKeyEvent*>(event)->key());
        switch (event->type()) {
        case QEvent::MouseButtonPress: return Press(static_cast<QMouseEvent*>(event));
        case QEvent::MouseMove: return Move(static_cast<QMouseEvent*>(event));
        case QEvent::MouseButtonRelease:
            Pressing = false;
            return false;
        case QEvent::MouseButtonDblClick:
            if (!DoubleClicked || !View->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).isValid())
                return false;
            DoubleClicked();
            return true;
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!Accepts || !Accepts(drop->mimeData())) {
                drop->ignore();
                return true;
            }
            drop->acceptProposedAction();
            if (event->type() == QEvent::Drop && Dropped)
                Dropped();
            return true;
        }
        case QEvent::DragLeave: return true;
        default: return false;
        }
    }

private:
    bool Press(QMouseEvent* event)
    {
        Pressing = CanDrag && CanDrag() && event->button() == Qt::LeftButton
            && event->modifiers() == Qt::NoModifier && View->indexAt(event->position().toPoint()).isValid();
        PressPos = event->position().toPoint();
        return false; // the view selects as usual; a selected row keeps the selection until the release
    }

    bool Move(QMouseEvent* event)
    {
        if (!Pressing || !(event->buttons() & Qt::LeftButton))
            return false;
        if ((event->position().toPoint() - PressPos).manhattanLength() >= QApplication::startDragDistance()) {
            Pressing = false;
            auto* drag = new QDrag(View);
            drag->setMimeData(Owner->DragData(View));
            drag->exec(Qt::MoveAction);
        }
        return true; // rows are dragged, never swept into a range
    }

    QTreeView* View;
    const TFFavoritos* Owner;
    bool Pressing = false; // a left press on a row that may start a drag
    QPoint PressPos;
};

} // namespace

// ---- Lista: its rows and its view

// Row i shows Shown[i], a channel of the working copy, read when asked. In
// mode 1 each row carries its channel's membership as a check state.
class FavouritesModel : public QAbstractTableModel {
public:
    explicit FavouritesModel(QObject* parent)
        : QAbstractTableModel(parent)
    {
    }

    std::vector<TChannelRec*> Shown;
    const TVexaData* Data = nullptr;
    int Mode = 0;
    int Group = 0;

    void Refill(const std::function<void()>& change)
    {
        beginResetModel();
        change();
        endResetModel();
    }

    void Retitle()
    {
        for (int c = 0; c < kColumns; ++c)
            Captions[c] = ToQt(LangText(3112 + c));
        emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
    }

    void RowChanged(int row) { emit dataChanged(index(row, 0), index(row, kColumns - 1)); }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(Shown.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : kColumns; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid) || !Data)
            return {};
        const TChannelRec& channel = *Shown[static_cast<size_t>(index.row())];
        if (index.column() == 0) {
            if (role == Qt::DecorationRole)
                return ChannelIcon(channel.Radio != 0);
            if (role == Qt::CheckStateRole && Mode == 1)
                return IsMember(channel, Group) ? Qt::Checked : Qt::Unchecked;
        }
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
        case 0: return ToQt(channel.Name.str());
        case 1: return ToQt(Data->Satelites.Resolve(channel.Satelite).Name.str());
        case 2: return ToQt(TransponderText(Data->Transponders.Resolve(channel.Transponder)));
        default: return ToQt(ChannelNumberCell(channel, index.column() - 3));
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumns)
            return Captions[section];
        return {};
    }

    // Measured over every channel of the working copy, so the columns stay
    // put whichever group and type are shown.
    std::vector<ColumnFit> ColumnFits() const
    {
        static constexpr int kWidth[kColumns] = {135, 90, 80, 50, 40, 40, 40, 60, 65};
        QStringList names;
        if (Data)
            for (int i = 0; i < Data->Channels.Count(); ++i)
                names << ToQt(Data->Channels.Get(i)->Name.str());
        std::vector<QStringList> samples =
            ChannelColumnSamples(std::move(names), Data ? SateliteNames(*Data) : QStringList());
        std::vector<ColumnFit> fits;
        for (int c = 0; c < kColumns; ++c)
            fits.push_back({3112 + c, kWidth[c], std::move(samples[static_cast<size_t>(c)])});
        fits[0].Decorated = true;
        fits[0].Checkable = Mode == 1;
        return fits;
    }

private:
    QString Captions[kColumns];
};

// Lista hands its key presses and mouse presses to the organiser first; a
// press the organiser takes (a membership picture) is the view's no more,
// up to its release.
class FavouritesView : public QTreeView {
public:
    explicit FavouritesView(QWidget* parent)
        : QTreeView(parent)
        , States(new StateStyle)
        , Delegate(new StateDelegate(this))
    {
        States->setParent(this);
        setStyle(States);
        setItemDelegate(Delegate);
    }

    std::function<bool(const QPoint&)> OnMouseDown;
    std::function<bool(int key)> OnKeyDown;

    QRect StateRect(const QModelIndex& index) const
    {
        if (!index.isValid())
            return {};
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.rect = visualRect(index);
        return Delegate->StateRect(option, index);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (OnMouseDown && OnMouseDown(event->position().toPoint())) {
            Taken = true;
            return;
        }
        QTreeView::mousePressEvent(event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        // The second press of a double click is a press like the first.
        if (OnMouseDown && OnMouseDown(event->position().toPoint())) {
            Taken = true;
            return;
        }
        QTreeView::mouseDoubleClickEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!Taken)
            QTreeView::mouseMoveEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (Taken && event->buttons() == Qt::NoButton)
            Taken = false;
        else if (!Taken)
            QTreeView::mouseReleaseEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (OnKeyDown && OnKeyDown(event->key()))
            return;
        QTreeView::keyPressEvent(event);
    }

private:
    StateStyle* States;
    StateDelegate* Delegate;
    bool Taken = false;
};

// ---- The organiser

TFFavoritos::TFFavoritos(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , WorkData(std::make_unique<TVexaData>())
{
    setObjectName(QStringLiteral("TFFavoritos"));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    Label1->setBuddy(ComboBox1);
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);
    Panel1->setFixedSize(28, 40);
    L7Segment1 = new TL7Segment(Panel1);
    L7Segment1->setObjectName(QStringLiteral("L7Segment1"));
    L7Segment1->SetColorBackGround(QColor(0, 0, 0));
    L7Segment1->SetColorDigitOn(QColor(255, 0, 0));
    L7Segment1->SetColorDigitOff(QColor(64, 64, 64));
    auto* digit = new QHBoxLayout(Panel1);
    digit->setContentsMargins(2, 2, 2, 2);
    digit->addWidget(L7Segment1);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    ComboBox2 = new QComboBox(this);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    Label2->setBuddy(ComboBox2);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(TypePicture(false));
    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(TypePicture(true));
    Image2->hide();

    Model = new FavouritesModel(this);
    Model->Data = WorkData.get();
    ListaColumns = new ListColumns(this);
    Lista = new FavouritesView(this);
    Lista->setObjectName(QStringLiteral("Lista"));
    Lista->setRootIsDecorated(false);
    Lista->setItemsExpandable(false);
    Lista->setUniformRowHeights(true);
    Lista->setAllColumnsShowFocus(true);
    Lista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Lista->setSelectionBehavior(QAbstractItemView::SelectRows);
    Lista->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Lista->setIconSize(QSize(16, 16));
    Lista->setModel(Model);
    Lista->setContextMenuPolicy(Qt::CustomContextMenu);
    Lista->OnMouseDown = [this](const QPoint& pos) { return ListaMouseDown(pos); };
    Lista->OnKeyDown = [this](int key) { return ListaKeyDown(key); };

    RadioGroup1 = new QGroupBox(this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioButton0 = new QRadioButton(RadioGroup1);
    RadioButton0->setObjectName(QStringLiteral("RadioButton0"));
    RadioButton1 = new QRadioButton(RadioGroup1);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    Modes = new QButtonGroup(this);
    Modes->addButton(RadioButton0, 0);
    Modes->addButton(RadioButton1, 1);
    RadioButton0->setChecked(true);
    auto* modes = new QVBoxLayout(RadioGroup1);
    modes->addWidget(RadioButton0);
    modes->addWidget(RadioButton1);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QString(), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QString(), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAutoDefault(false);

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    AadirCanal1 = PopupMenu->addAction(QString::fromUtf8("Añadir Canal..."));
    AadirCanal1->setObjectName(QStringLiteral("AadirCanal1"));
    BorrarCanal1 = PopupMenu->addAction(QStringLiteral("Borrar Canal"));
    BorrarCanal1->setObjectName(QStringLiteral("BorrarCanal1"));
    Buscar1 = PopupMenu->addAction(QStringLiteral("Buscar..."));
    Buscar1->setObjectName(QStringLiteral("Buscar1"));
    Imprimir1 = PopupMenu->addAction(QStringLiteral("Imprimir..."));
    Imprimir1->setObjectName(QStringLiteral("Imprimir1"));

    auto* top = new QHBoxLayout;
    top->addWidget(Label1);
    top->addWidget(ComboBox1, 1);
    top->addWidget(Panel1);
    top->addSpacing(16);
    top->addWidget(Label2);
    top->addWidget(ComboBox2, 1);
    top->addWidget(Image1);
    top->addWidget(Image2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Lista, 1);
    layout->addWidget(RadioGroup1);
    layout->addLayout(buttons);
    resize(660, 460);

    // The picker is the organiser's child, so the organiser's modality does
    // not block it.
    Picker = new TFShrChn(this);
    Picker->ListaCan->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Picker->SetClose();

    auto* listaWatch = new RowDragWatch(Lista, this);
    listaWatch->CanDrag = [this] { return Mode() == 0; };
    listaWatch->Accepts = [this](const QMimeData* data) { return ListaDragOver(data); };
    listaWatch->Dropped = [this] { ListaDragDrop(); };
    auto* pickerWatch = new RowDragWatch(Picker->ListaCan, this);
    pickerWatch->CanDrag = [] { return true; };
    pickerWatch->Accepts = [this](const QMimeData* data) { return ListaExtDragOver(data); };
    pickerWatch->Dropped = [this] { ListaExtDragDrop(); };
    pickerWatch->DoubleClicked = [this] { ListaExtDblClick(); };
    pickerWatch->KeyPressed = [this](int key) { return ListaExtKeyDown(key); };

    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TFFavoritos::ComboBox1Change);
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, &TFFavoritos::ComboBox2Change);
    connect(Modes, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            RadioGroup1Click();
    });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(PopupMenu, &QMenu::aboutToShow, this, &TFFavoritos::PopupMenuPopup);
    connect(Lista, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu->popup(Lista->viewport()->mapToGlobal(pos)); });
    connect(AadirCanal1, &QAction::triggered, this, &TFFavoritos::AadirCanal1Click);
    connect(BorrarCanal1, &QAction::triggered, this, &TFFavoritos::BorrarCanal1Click);
    connect(Buscar1, &QAction::triggered, this, &TFFavoritos::Buscar1Click);
    connect(Imprimir1, &QAction::triggered, this, &TFFavoritos::Imprimir1Click);

    setWindowTitle(ToQt(LangText(3101)));
    Picker->setWindowTitle(ToQt(LangText(3102)));
    Label1->setText(ToQt(LangText(3103)));
    Label2->setText(ToQt(LangText(3104)));
    {
        const QSignalBlocker quiet1(ComboBox1);
        const QSignalBlocker quiet2(ComboBox2);
        for (int g = 0; g < 8; ++g)
            ComboBox1->addItem(ToQt(LangText(51 + g)));
        ComboBox2->addItem(ToQt(LangText(3106)));
        ComboBox2->addItem(ToQt(LangText(3107)));
    }
    RadioGroup1->setTitle(ToQt(LangText(3108)));
    RadioButton0->setText(ToQt(LangText(3109)));
    RadioButton1->setText(ToQt(LangText(3110)));
    BitBtn1->setText(ToQt(LangText(2)));
    BitBtn2->setText(ToQt(LangText(3)));
    L7Segment1->SetDigitValue('1');
}

TFFavoritos::~TFFavoritos()
{
    // Both lists read the working copy, which goes right after this.
    ClosePicker();
    delete Picker;
    Picker = nullptr;
    Model->Refill([this] {
        Model->Shown.clear();
        Model->Data = nullptr;
    });
}

int TFFavoritos::Group() const
{
    return std::clamp(ComboBox1->currentIndex(), 0, 7);
}

int TFFavoritos::Type() const
{
    return ComboBox2->currentIndex() == 1 ? 1 : 0;
}

int TFFavoritos::Mode() const
{
    return Modes->checkedId() == 1 ? 1 : 0;
}

bool TFFavoritos::Execute(TVexaData& data)
{
    Data = &data;
    ClosePicker();
    Model->Refill([this] { Model->Shown.clear(); });
    WorkData->Assign(data);
    BuildLista();
    // Wide enough to show every column, where the screen leaves room for the
    // picker beside the organiser.
    if (const QScreen* shown = screen()) {
        const QMargins margins = layout()->contentsMargins();
        const int need = ListaColumns->Width() + margins.left() + margins.right() + 2 * Lista->frameWidth()
            + Lista->verticalScrollBar()->sizeHint().width();
        const int room = shown->availableGeometry().width() - Picker->width() - kPickerRoom;
        resize(std::clamp(need, width(), std::max(room, width())), height());
    }
    {
        const QSignalBlocker quiet1(ComboBox1);
        const QSignalBlocker quiet2(ComboBox2);
        const QSignalBlocker quiet3(Modes);
        ComboBox1->setCurrentIndex(0);
        ComboBox2->setCurrentIndex(0);
        RadioButton0->setChecked(true);
    }
    ComboBox2Change();
    ComboBox1Change();
    Picker->BuildLista();

    const bool ok = exec() == QDialog::Accepted;
    ClosePicker();
    if (ok) {
        // Nothing but list flags changed here, and the channels stand in the
        // same order in both sets.
        const int n = std::min(data.Channels.Count(), WorkData->Channels.Count());
        for (int i = 0; i < n; ++i)
            data.Channels.Get(i)->Favorites = WorkData->Channels.Get(i)->Favorites;
    }
    return ok;
}

void TFFavoritos::ClosePicker()
{
    Picker->hide();
    Picker->ChnList.clear();
    Picker->BuildLista();
}

// ---- Filling the two lists

void TFFavoritos::FillList()
{
    Model->Mode = Mode();
    Model->Group = Group();
    Model->Shown.clear();
    const bool radio = Type() == 1;
    for (int i = 0; i < WorkData->Channels.Count(); ++i) {
        TChannelRec* channel = WorkData->Channels.Get(i);
        if ((channel->Radio != 0) == radio && (Model->Mode == 1 || IsMember(*channel, Model->Group)))
            Model->Shown.push_back(channel);
    }
}

void TFFavoritos::FillShrChnList()
{
    // A selection must never outlive the rows it was made on: the next
    // Enter or drag would act on whatever channels came to stand there.
    Picker->ListaCan->clearSelection();
    if (!Picker->isVisible())
        return;
    Picker->ChnList.clear();
    if (Mode() == 0) {
        const bool radio = Type() == 1;
        const int group = Group();
        for (int i = 0; i < WorkData->Channels.Count(); ++i) {
            TChannelRec* channel = WorkData->Channels.Get(i);
            if ((channel->Radio != 0) == radio && !IsMember(*channel, group))
                Picker->ChnList.push_back(channel);
        }
    }
    Picker->BuildLista();
    Picker->ListaCan->selectionModel()->clear();
}

void TFFavoritos::CreateList()
{
    Model->Refill([this] { FillList(); });
    Lista->selectionModel()->clear();
    FillShrChnList();
}

void TFFavoritos::BuildLista()
{
    Model->Refill([this] { FillList(); });
    Model->Retitle();
    ListaColumns->Fit(Lista, Model->ColumnFits());
}

// ---- Group, type and mode

void TFFavoritos::ComboBox1Change()
{
    L7Segment1->SetDigitValue(static_cast<char>('1' + Group()));
    CreateList();
}

void TFFavoritos::ComboBox2Change()
{
    Image1->setVisible(Type() == 0);
    Image2->setVisible(Type() == 1);
    CreateList();
}

void TFFavoritos::RadioGroup1Click()
{
    if (Mode() == 1 && Picker->isVisible())
        ClosePicker();
    CreateList();
    // The membership pictures of mode 1 take room in the first column.
    ListaColumns->Fit(Lista, Model->ColumnFits());
}

// ---- Mode 0: moving channels in and out

void TFFavoritos::AddPickedChannels()
{
    if (Mode() != 0 || !Picker->isVisible())
        return;
    const std::vector<int> rows = SelectedRows(Picker->ListaCan->selectionModel());
    if (rows.empty())
        return;
    for (int row : rows)
        Picker->ChnList[static_cast<size_t>(row)]->Favorites[static_cast<size_t>(Group())] = 1;
    CreateList();
}

void TFFavoritos::BorraCanales()
{
    if (Mode() != 0)
        return;
    const std::vector<int> rows = SelectedRows(Lista->selectionModel());
    if (rows.empty())
        return;
    for (int row : rows)
        Model->Shown[static_cast<size_t>(row)]->Favorites[static_cast<size_t>(Group())] = 0;
    CreateList();
}

PickerPlace PlacePicker(const QRect& screen, const QRect& organiser, const QSize& picker, const QRect& buttons)
{
    constexpr int gap = 4;
    const int width = std::min(picker.width(), screen.width());
    const int height = std::min(std::max(picker.height(), organiser.height()), screen.height());
    const int top = std::clamp(organiser.top(), screen.top(), screen.bottom() + 1 - height);
    const int right = organiser.right() + 1 + gap; // a picker on the right begins here
    const int left = organiser.left() - gap - width; // ...on the left
    PickerPlace place{organiser.topLeft(), QRect(0, top, width, height)};
    if (right + width <= screen.right() + 1) {
        place.Picker.moveLeft(right);
    } else if (left >= screen.left()) {
        place.Picker.moveLeft(left);
    } else if (organiser.width() + gap + width <= screen.width()) {
        // Room for both side by side: the organiser moves over as little as it must.
        const int toLeft = right + width - (screen.right() + 1);
        const int toRight = screen.left() - left;
        const int dx = toLeft <= toRight ? -toLeft : toRight;
        place.Organiser.rx() += dx;
        place.Picker.moveLeft((dx < 0 ? right : left) + dx);
    } else {
        // No room beside it: the picker covers the organiser's list on the
        // roomier side and ends above its buttons, or begins below them.
        const bool onRight = screen.right() - organiser.right() >= organiser.left() - screen.left();
        place.Picker.moveLeft(onRight ? screen.right() + 1 - width : screen.left());
        if (place.Picker.intersects(buttons)) {
            const int above = buttons.top() - gap - top;
            const int below = screen.bottom() - buttons.bottom() - gap;
            if (above >= below)
                place.Picker.setHeight(above);
            else
                place.Picker = QRect(place.Picker.left(), buttons.bottom() + 1 + gap, width, below);
        }
    }
    return place;
}

void TFFavoritos::AadirCanal1Click()
{
    if (Mode() != 0)
        return;
    if (!Picker->isVisible()) {
        // Frames as the window manager draws them; the picker's is taken to
        // be the organiser's.
        const QRect frame = frameGeometry();
        const QSize border = frame.size() - size();
        QRect buttons(BitBtn1->mapToGlobal(QPoint()), BitBtn1->size());
        buttons |= QRect(BitBtn2->mapToGlobal(QPoint()), BitBtn2->size());
        const QRect available = screen() ? screen()->availableGeometry() : frame;
        const PickerPlace place = PlacePicker(available, frame, Picker->size() + border, buttons);
        if (place.Organiser != frame.topLeft())
            move(place.Organiser);
        Picker->resize(place.Picker.size() - border);
        Picker->move(place.Picker.topLeft());
        Picker->show();
    }
    // Filled once it shows: a hidden picker is never filled.
    FillShrChnList();
    Picker->raise();
}

void TFFavoritos::BorrarCanal1Click()
{
    BorraCanales();
}

void TFFavoritos::ListaExtDblClick()
{
    AddPickedChannels();
}

bool TFFavoritos::ListaExtKeyDown(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    AddPickedChannels();
    return true; // never the picker's default button, which would hide it
}

QMimeData* TFFavoritos::DragData(const QTreeView* view) const
{
    auto* data = new QMimeData;
    const int list = view == Lista ? 1 : view == Picker->ListaCan ? 2 : 0;
    data->setData(QLatin1String(kRowsMime),
                  QByteArray::number(reinterpret_cast<quintptr>(this)) + ':' + QByteArray::number(list));
    return data;
}

int TFFavoritos::DragSource(const QMimeData* data) const
{
    if (!data || !data->hasFormat(QLatin1String(kRowsMime)))
        return 0;
    const QList<QByteArray> parts = data->data(QLatin1String(kRowsMime)).split(':');
    if (parts.size() != 2 || parts[0] != QByteArray::number(reinterpret_cast<quintptr>(this)))
        return 0;
    const int list = parts[1].toInt();
    return list == 1 || list == 2 ? list : 0;
}

bool TFFavoritos::ListaDragOver(const QMimeData* data) const
{
    return Mode() == 0 && DragSource(data) == 2;
}

void TFFavoritos::ListaDragDrop()
{
    AddPickedChannels();
}

bool TFFavoritos::ListaExtDragOver(const QMimeData* data) const
{
    return Mode() == 0 && DragSource(data) == 1;
}

void TFFavoritos::ListaExtDragDrop()
{
    BorraCanales();
}

// ---- Lista's keys and mouse

bool TFFavoritos::ListaKeyDown(int key)
{
    if (key == Qt::Key_Delete && Mode() == 0) {
        BorraCanales();
        return true;
    }
    if (key == Qt::Key_Space && Mode() == 1) {
        ToggleRows(SelectedRows(Lista->selectionModel()));
        return true;
    }
    return false;
}

bool TFFavoritos::ListaMouseDown(const QPoint& pos)
{
    if (Mode() != 1)
        return false;
    const QModelIndex index = Lista->indexAt(pos);
    if (!index.isValid() || !Lista->StateRect(index.siblingAtColumn(0)).contains(pos))
        return false;
    ToggleRows({index.row()});
    return true;
}

void TFFavoritos::ToggleRows(const std::vector<int>& rows)
{
    const size_t group = static_cast<size_t>(Group());
    for (int row : rows) {
        std::uint8_t& flag = Model->Shown[static_cast<size_t>(row)]->Favorites[group];
        flag = flag ? 0 : 1;
        Model->RowChanged(row);
    }
}

QRect TFFavoritos::StatePictureRect(int row) const
{
    return Lista->StateRect(Model->index(row, 0));
}

// ---- Menu, search and print

void TFFavoritos::PopupMenuPopup()
{
    const bool listMode = Mode() == 0;
    BorrarCanal1->setVisible(listMode && Lista->selectionModel()->hasSelection());
    AadirCanal1->setVisible(listMode && !Picker->isVisible());
    Imprimir1->setVisible(listMode);
    Imprimir1->setEnabled(TFMain::GetListPrinter() != nullptr);
    Buscar1->setVisible(true);
}

void TFFavoritos::Buscar1Click()
{
    TFBuscar search(this);
    search.Execute(Lista, LangText(3105), false);
}

void TFFavoritos::Imprimir1Click()
{
    const TFMain::TListPrinter& print = TFMain::GetListPrinter();
    if (Mode() != 0 || !print)
        return;
    print(Lista, LangText(3111), LangText(51 + Group()));
}
