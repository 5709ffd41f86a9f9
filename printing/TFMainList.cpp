#include "printing/TFMainList.h"

#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "printing/TFPPreview.h"
#include "printing/TFQrManLst.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// A drag between the two column lists carries the dialog and the list it
// started in, so a list can tell where a drag comes from by its data alone.
const char* const kColumnMime = "application/x-vexa-print-column";
constexpr int kCodeRole = Qt::UserRole;
constexpr int kTitleLength = 50;
const char* const kFontSizes[] = {"3", "4", "5", "6", "7", "9", "10", "12", "14"};

// One of the dialog's two column lists: one column that sizes itself, no
// header, whole-row single selection kept visible without focus. It starts
// drags itself and hands drops to the dialog.
class ColumnList : public QTreeWidget {
public:
    ColumnList(TFMainList* dialog, const char* name, QWidget* parent) : QTreeWidget(parent), dialog_(dialog)
    {
        setObjectName(QLatin1String(name));
        setColumnCount(1);
        setHeaderHidden(true);
        setRootIsDecorated(false);
        setUniformRowHeights(true);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setDragEnabled(true);
        setAcceptDrops(true);
        viewport()->setAcceptDrops(true);
        setDropIndicatorShown(false);
        // The one column is as wide as the list, or as its widest caption.
        header()->setStretchLastSection(true);
        header()->setMinimumSectionSize(0);
        // The selection stays visible while another control has the focus.
        QPalette p = palette();
        p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
        p.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   p.color(QPalette::Active, QPalette::HighlightedText));
        setPalette(p);
        setMinimumSize(170, 220);
    }

    std::function<bool(const QMimeData*)> OnDragOver;
    std::function<void(const QMimeData*, int)> OnDragDrop;

protected:
    void startDrag(Qt::DropActions) override
    {
        if (SelectedRow(this) < 0)
            return;
        auto* drag = new QDrag(this);
        drag->setMimeData(dialog_->DragData(this));
        // The rows move only through the drop handlers, whatever the result.
        drag->exec(Qt::MoveAction);
    }
    void dragEnterEvent(QDragEnterEvent* event) override
    {
        if (Accepts(event)) {
            event->acceptProposedAction();
            MarkRow(RowAt(event));
        } else {
            event->ignore();
        }
    }
    void dragMoveEvent(QDragMoveEvent* event) override
    {
        if (Accepts(event)) {
            event->acceptProposedAction();
            MarkRow(RowAt(event));
        } else {
            event->ignore();
        }
    }
    void dragLeaveEvent(QDragLeaveEvent* event) override
    {
        MarkRow(-1);
        event->accept();
    }
    void dropEvent(QDropEvent* event) override
    {
        MarkRow(-1);
        if (!Accepts(event)) {
            event->ignore();
            return;
        }
        event->setDropAction(Qt::MoveAction);
        event->accept();
        if (OnDragDrop)
            OnDragDrop(event->mimeData(), RowAt(event));
    }
    void paintEvent(QPaintEvent* event) override
    {
        QTreeWidget::paintEvent(event);
        if (markRow_ < 0 || markRow_ >= topLevelItemCount())
            return;
        // The drop goes by the row under the point: outline it, leaving the
        // selection (the dragged row) as it is.
        QRect r = visualItemRect(topLevelItem(markRow_));
        r.setLeft(0);
        r.setRight(viewport()->width() - 1);
        QPainter painter(viewport());
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(r.adjusted(1, 1, -1, -1));
    }

private:
    bool Accepts(const QDropEvent* event) const { return OnDragOver && OnDragOver(event->mimeData()); }
    int RowAt(const QDropEvent* event) const
    {
        const QTreeWidgetItem* item = itemAt(event->position().toPoint());
        return item ? indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item)) : -1;
    }
    void MarkRow(int row)
    {
        if (row != markRow_) {
            markRow_ = row;
            viewport()->update();
        }
    }

    TFMainList* dialog_;
    int markRow_ = -1;
};

QPushButton* Button(QWidget* parent, const char* name, QStyle::StandardPixmap icon)
{
    auto* b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    b->setIcon(parent->style()->standardIcon(icon));
    return b;
}

QLabel* Label(QWidget* parent, const char* name)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

QComboBox* DropDown(QWidget* parent, const char* name)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setEditable(false);
    return c;
}

} // namespace

int SelectedRow(const QTreeWidget* List)
{
    const QList<QTreeWidgetItem*> selected = List->selectedItems();
    return selected.isEmpty() ? -1 : List->indexOfTopLevelItem(selected.first());
}

TFMainList::TFMainList(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TFMainList"));
    setWindowTitle(ToQt(LangText(2001)));

    auto* chosen = new ColumnList(this, "ListBox1", this);
    ListBox1 = chosen;
    BitBtn1 = Button(this, "BitBtn1", QStyle::SP_DialogDiscardButton);
    BitBtn1->setText(ToQt(LangText(2003)));
    BitBtn2 = Button(this, "BitBtn2", QStyle::SP_FileDialogNewFolder);
    BitBtn2->setText(ToQt(LangText(2002)));
    Label1 = Label(this, "Label1");
    Label1->setText(ToQt(LangText(2004)));
    Label1->setAlignment(Qt::AlignCenter);
    SpinButton1 = new QWidget(this);
    SpinButton1->setObjectName(QStringLiteral("SpinButton1"));
    SpinButton1Up = new QToolButton(SpinButton1);
    SpinButton1Up->setObjectName(QStringLiteral("SpinButton1Up"));
    SpinButton1Up->setArrowType(Qt::UpArrow);
    SpinButton1Down = new QToolButton(SpinButton1);
    SpinButton1Down->setObjectName(QStringLiteral("SpinButton1Down"));
    SpinButton1Down->setArrowType(Qt::DownArrow);
    auto* spinLayout = new QVBoxLayout(SpinButton1);
    spinLayout->setContentsMargins(0, 0, 0, 0);
    spinLayout->setSpacing(2);
    for (QToolButton* b : {SpinButton1Up, SpinButton1Down}) {
        b->setAutoRepeat(true);
        b->setMinimumWidth(48);
        spinLayout->addWidget(b, 0, Qt::AlignHCenter);
    }

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    auto* removed = new ColumnList(this, "ListBox2", Panel1);
    ListBox2 = removed;
    BitBtn7 = Button(Panel1, "BitBtn7", QStyle::SP_ArrowLeft);
    BitBtn7->setToolTip(ToQt(LangText(2002)));
    BitBtn4 = Button(Panel1, "BitBtn4", QStyle::SP_DialogCloseButton);
    BitBtn4->setToolTip(ToQt(LangText(1)));
    Image1 = Label(Panel1, "Image1");
    Image1->setPixmap(style()->standardIcon(QStyle::SP_ArrowLeft).pixmap(16, 16));
    Image2 = Label(Panel1, "Image2");
    Image2->setPixmap(style()->standardIcon(QStyle::SP_ArrowRight).pixmap(16, 16));
    auto* panelLayout = new QGridLayout(Panel1);
    auto* arrows = new QVBoxLayout;
    arrows->addStretch();
    arrows->addWidget(Image1);
    arrows->addWidget(Image2);
    arrows->addStretch();
    panelLayout->addLayout(arrows, 0, 0, 2, 1);
    panelLayout->addWidget(ListBox2, 0, 1, 1, 2);
    panelLayout->addWidget(BitBtn7, 1, 1);
    panelLayout->addWidget(BitBtn4, 1, 2);
    Panel1->hide();

    Label2 = Label(this, "Label2");
    Label2->setText(ToQt(LangText(2005)));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(kTitleLength);
    Label2->setBuddy(Edit1);
    Label3 = Label(this, "Label3");
    Label3->setText(ToQt(LangText(2006)));
    ComboBox1 = DropDown(this, "ComboBox1");
    Label4 = Label(this, "Label4");
    Label4->setText(ToQt(LangText(2008)));
    ComboBox2 = DropDown(this, "ComboBox2");
    CheckBox1 = new QCheckBox(ToQt(LangText(2007)), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setChecked(true);
    CheckBox2 = new QCheckBox(ToQt(LangText(2009)), this);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox2->setChecked(true);
    BitBtn5 = Button(this, "BitBtn5", QStyle::SP_FileDialogDetailedView);
    BitBtn5->setText(ToQt(LangText(6)));
    BitBtn5->setDefault(true);
    BitBtn6 = Button(this, "BitBtn6", QStyle::SP_DialogCancelButton);
    BitBtn6->setText(ToQt(LangText(3)));

    // FormCreate: the two drop-downs and their start values.
    for (int blocks = 1; blocks <= 5; ++blocks)
        ComboBox2->addItem(QString::number(blocks));
    for (const char* size : kFontSizes)
        ComboBox1->addItem(QLatin1String(size));
    ComboBox1->setCurrentText(QStringLiteral("10"));
    ComboBox2->setCurrentIndex(0);
    RestEnabled = true;

    // Layout: the chosen list with its commands, the panel of removed
    // columns beside it (the dialog grows while it is open), then the
    // report options and the two buttons.
    auto* commands = new QVBoxLayout;
    commands->addWidget(BitBtn1);
    commands->addWidget(BitBtn2);
    commands->addSpacing(12);
    commands->addWidget(Label1);
    commands->addWidget(SpinButton1);
    commands->addStretch();
    auto* lists = new QHBoxLayout;
    lists->addWidget(ListBox1, 1);
    lists->addLayout(commands);
    lists->addWidget(Panel1, 1);

    auto* options = new QFormLayout;
    options->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    options->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    Edit1->setMinimumWidth(260);
    for (QComboBox* c : {ComboBox1, ComboBox2})
        c->setMinimumWidth(70);
    options->addRow(Label2, Edit1);
    options->addRow(Label3, ComboBox1);
    options->addRow(Label4, ComboBox2);
    auto* fits = new QVBoxLayout;
    fits->addWidget(CheckBox1);
    fits->addWidget(CheckBox2);
    options->addRow(QString(), fits);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn5);
    buttons->addWidget(BitBtn6);

    auto* root = new QVBoxLayout(this);
    root->addLayout(lists, 1);
    root->addLayout(options);
    root->addSpacing(6);
    root->addLayout(buttons);
    root->setSizeConstraint(QLayout::SetFixedSize);

    connect(BitBtn1, &QPushButton::clicked, this, &TFMainList::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFMainList::BitBtn2Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TFMainList::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TFMainList::BitBtn5Click);
    connect(BitBtn6, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn7, &QPushButton::clicked, this, &TFMainList::BitBtn7Click);
    connect(SpinButton1Up, &QToolButton::clicked, this, &TFMainList::SpinButton1UpClick);
    connect(SpinButton1Down, &QToolButton::clicked, this, &TFMainList::SpinButton1DownClick);
    connect(ListBox1, &QTreeWidget::itemSelectionChanged, this, &TFMainList::ListBox1Click);
    connect(ListBox2, &QTreeWidget::itemSelectionChanged, this, &TFMainList::ListBox2Click);
    connect(ListBox1, &QTreeWidget::itemDoubleClicked, this, [this] { BitBtn1Click(); });
    connect(ListBox2, &QTreeWidget::itemDoubleClicked, this, [this] { BitBtn7Click(); });
    chosen->OnDragOver = [this](const QMimeData* m) { return ListBox1DragOver(m); };
    chosen->OnDragDrop = [this](const QMimeData* m, int row) { ListBox1DragDrop(m, row); };
    removed->OnDragOver = [this](const QMimeData* m) { return ListBox2DragOver(m); };
    removed->OnDragDrop = [this](const QMimeData* m, int row) { ListBox2DragDrop(m, row); };
}

void TFMainList::ListPrint(QTreeView* ListView, const std::string& title, const std::string& Subtitle)
{
    View = ListView;
    Title = title;
    SubTitle = Subtitle;
    Edit1->setText(ToQt(Title));
    Edit1->setEnabled(SubTitle.empty());
    Label2->setEnabled(SubTitle.empty());

    ListBox1->clear();
    ListBox2->clear();
    const QAbstractItemModel* model = View ? View->model() : nullptr;
    AddRow(ListBox1, 0, ColumnCaption(model, kNumberCode), kNumberCode);
    for (int column = 0; model && column < model->columnCount(); ++column)
        AddRow(ListBox1, ListBox1->topLevelItemCount(), ColumnCaption(model, column), column);
    ListBox1->setCurrentItem(ListBox1->topLevelItem(0));
    Check();

    // Centred on the screen, at the size its contents ask for.
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    exec();
}

std::vector<int> TFMainList::ChosenCodes() const
{
    std::vector<int> codes;
    for (int i = 0; i < ListBox1->topLevelItemCount(); ++i)
        codes.push_back(ListBox1->topLevelItem(i)->data(0, kCodeRole).toInt());
    return codes;
}

std::string TFMainList::ReportTitle() const
{
    // A title locked by a subtitle prints as the caller gave it.
    return SubTitle.empty() ? FromQt(Edit1->text()) : Title;
}

void TFMainList::AddRow(QTreeWidget* List, int At, const QString& Caption, int Code)
{
    auto* item = new QTreeWidgetItem(QStringList{Caption});
    item->setData(0, kCodeRole, Code);
    List->insertTopLevelItem(At, item);
}

void TFMainList::Traspaso(QTreeWidget* Dest, QTreeWidget* Source)
{
    const int from = SelectedRow(Source);
    if (from < 0)
        return;
    QTreeWidgetItem* row = Source->topLevelItem(from);
    AddRow(Dest, Dest->topLevelItemCount(), row->text(0), row->data(0, kCodeRole).toInt());
    delete Source->takeTopLevelItem(from);
}

void TFMainList::Cambio(QTreeWidget* List, int FromIndex, int ToIndex)
{
    const int count = List->topLevelItemCount();
    if (FromIndex < 0 || FromIndex >= count || ToIndex < 0 || ToIndex > count)
        return;
    QTreeWidgetItem* old = List->topLevelItem(FromIndex);
    AddRow(List, ToIndex, old->text(0), old->data(0, kCodeRole).toInt());
    QTreeWidgetItem* added = List->topLevelItem(ToIndex);
    List->setCurrentItem(added);
    List->setFocus();
    delete List->takeTopLevelItem(List->indexOfTopLevelItem(old));
    List->scrollToItem(added);
}

namespace {

// After a row left List: its first row becomes the selection, if any is left.
void SelectFirst(QTreeWidget* List)
{
    if (List->topLevelItemCount() > 0) {
        List->setCurrentItem(List->topLevelItem(0));
        List->setFocus();
    }
}

} // namespace

void TFMainList::BitBtn1Click()
{
    if (SelectedRow(ListBox1) < 0)
        return;
    Traspaso(ListBox2, ListBox1);
    SelectFirst(ListBox1);
    Check();
}

void TFMainList::BitBtn7Click()
{
    if (SelectedRow(ListBox2) < 0)
        return;
    Traspaso(ListBox1, ListBox2);
    SelectFirst(ListBox2);
    Check();
}

void TFMainList::BitBtn2Click()
{
    Panel1->show();
    EnableRest(false);
}

void TFMainList::BitBtn4Click()
{
    Panel1->hide();
    EnableRest(true);
}

void TFMainList::ListBox1Click()
{
    Check();
}

void TFMainList::ListBox2Click()
{
    Check();
}

void TFMainList::EnableRest(bool Flag)
{
    RestEnabled = Flag;
    for (QWidget* w : {static_cast<QWidget*>(BitBtn5), static_cast<QWidget*>(BitBtn1),
                       static_cast<QWidget*>(BitBtn2), SpinButton1, static_cast<QWidget*>(Label1)})
        w->setEnabled(Flag);
    if (SubTitle.empty()) {
        Edit1->setEnabled(Flag);
        Label2->setEnabled(Flag);
    }
    Check();
}

void TFMainList::Check()
{
    if (RestEnabled)
        BitBtn1->setEnabled(SelectedRow(ListBox1) >= 0);
    BitBtn7->setEnabled(SelectedRow(ListBox2) >= 0);
    if (RestEnabled) {
        BitBtn2->setEnabled(ListBox2->topLevelItemCount() > 0);
        BitBtn5->setEnabled(ListBox1->topLevelItemCount() > 0);
    }
}

void TFMainList::SpinButton1UpClick()
{
    const int i = SelectedRow(ListBox1);
    if (i > 0)
        Cambio(ListBox1, i, i - 1);
}

void TFMainList::SpinButton1DownClick()
{
    const int i = SelectedRow(ListBox1);
    if (i >= 0 && i < ListBox1->topLevelItemCount() - 1)
        Cambio(ListBox1, i, i + 2);
}

QMimeData* TFMainList::DragData(const QTreeWidget* List) const
{
    auto* data = new QMimeData;
    const int list = List == ListBox1 ? 1 : List == ListBox2 ? 2 : 0;
    data->setData(QLatin1String(kColumnMime),
                  QByteArray::number(reinterpret_cast<quintptr>(this)) + ':' + QByteArray::number(list));
    return data;
}

int TFMainList::SourceList(const QMimeData* Source) const
{
    if (!Source || !Source->hasFormat(QLatin1String(kColumnMime)))
        return 0;
    const QList<QByteArray> parts = Source->data(QLatin1String(kColumnMime)).split(':');
    if (parts.size() != 2 || parts[0] != QByteArray::number(reinterpret_cast<quintptr>(this)))
        return 0;
    const int list = parts[1].toInt();
    return list == 1 || list == 2 ? list : 0;
}

bool TFMainList::ListBox1DragOver(const QMimeData* Source) const
{
    return SourceList(Source) != 0;
}

bool TFMainList::ListBox2DragOver(const QMimeData* Source) const
{
    return SourceList(Source) == 1;
}

void TFMainList::ListBox1DragDrop(const QMimeData* Source, int Row)
{
    const int from = SourceList(Source);
    if (from == 1) {
        const int selected = SelectedRow(ListBox1);
        if (selected >= 0) {
            int target = Row >= 0 ? Row : ListBox1->topLevelItemCount() - 1;
            if (target >= selected)
                ++target;
            Cambio(ListBox1, selected, target);
        }
    } else if (from == 2) {
        DropFromOther(ListBox1, ListBox2, Row);
    }
    Check();
}

void TFMainList::ListBox2DragDrop(const QMimeData* Source, int Row)
{
    if (SourceList(Source) == 1)
        DropFromOther(ListBox2, ListBox1, Row);
    Check();
}

void TFMainList::DropFromOther(QTreeWidget* Dest, QTreeWidget* Source, int Row)
{
    const int from = SelectedRow(Source);
    if (from < 0)
        return;
    const QTreeWidgetItem* row = Source->topLevelItem(from);
    const int at = Row >= 0 && Row < Dest->topLevelItemCount() ? Row + 1 : Dest->topLevelItemCount();
    AddRow(Dest, at, row->text(0), row->data(0, kCodeRole).toInt());
    Dest->setCurrentItem(Dest->topLevelItem(at));
    Dest->setFocus();
    delete Source->takeTopLevelItem(from);
    SelectFirst(Source);
}

void TFMainList::BitBtn5Click()
{
    if (Printing || ListBox1->topLevelItemCount() == 0)
        return;
    ReportRequest request;
    request.model = View ? View->model() : nullptr;
    request.codes = ChosenCodes();
    request.title = ToQt(ReportTitle());
    request.subtitle = ToQt(SubTitle);
    request.fontSize = ComboBox1->currentText().toInt();
    request.numColumns = ComboBox2->currentText().toInt();
    request.fitContent = CheckBox1->isChecked();
    request.fitEnd = CheckBox2->isChecked();

    // The report lives until the preview has closed; meanwhile this dialog
    // neither prints again nor closes.
    Printing = true;
    TFQrManLst report;
    report.BeginRep(request);
    ShowPreview(report, this);
    report.EndRep();
    Printing = false;
}

void TFMainList::done(int r)
{
    if (Printing)
        return;
    Panel1->hide();
    EnableRest(true);
    QDialog::done(r);
}
