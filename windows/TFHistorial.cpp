#include "windows/TFHistorial.h"

#include "foundation/MessageBoxes.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "windows/Historial.h"
#include "windows/ProgramCaption.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cstdio>

namespace {

const std::string CarriageReturn = "\r";

std::string MajorMinor(const Linea& entry)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d.%2.2d", int(entry.Major), int(entry.Minor));
    return text;
}

} // namespace

TFHistorial::TFHistorial(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    QFont heading = Label1->font();
    heading.setPixelSize(19);
    heading.setBold(true);
    Label1->setFont(heading);

    L = new QTreeWidget(this);
    L->setObjectName(QStringLiteral("L"));
    L->setRootIsDecorated(false);
    L->setEditTriggers(QAbstractItemView::NoEditTriggers);
    L->setSelectionBehavior(QAbstractItemView::SelectRows);
    L->setSelectionMode(QAbstractItemView::SingleSelection);
    L->setColumnCount(4);
    L->viewport()->installEventFilter(this);

    Button1 = new QPushButton(this);
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(Button1, &QPushButton::clicked, this, &TFHistorial::Button1Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(L, 1);
    layout->addLayout(buttons);
    resize(640, 300);

    FormCreate();
}

std::string TFHistorial::ArreglaComentario(const std::string& Comment, const std::string& Separator)
{
    const bool lines = Separator == CarriageReturn;
    std::string result = lines ? "- " : "";
    for (char c : Comment) {
        if (c == '|') {
            result += Separator;
            if (lines)
                result += "- ";
        } else {
            result += c;
        }
    }
    return result;
}

void TFHistorial::FormCreate()
{
    QStringList titles;
    for (int i = 0; i < 4; ++i)
        titles << ToQt(LangText(1203 + i));
    L->setHeaderLabels(titles);
    setWindowTitle(ToQt(LangText(1201)));
    Label1->setText(ToQt(LangText(1202)));
    Button1->setText(ToQt(LangText(1)));

    for (const Linea& entry : HistoryTable) {
        auto* row = new QTreeWidgetItem(L);
        row->setText(0, ToQt(MajorMinor(entry)));
        row->setText(1, QString::number(entry.Build));
        row->setText(2, ToQt(entry.Date));
        row->setText(3, ToQt(ArreglaComentario(entry.Comment, " ")));
    }
    // Each column as wide as the wider of its title and its widest cell.
    for (int i = 0; i < L->columnCount(); ++i)
        L->resizeColumnToContents(i);
}

void TFHistorial::Button1Click()
{
    done(QDialog::Accepted);
}

void TFHistorial::LDblClick()
{
    const QModelIndexList selected = L->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    const int index = selected.front().row();
    if (index < 0 || std::size_t(index) >= HistoryTable.size())
        return;
    const Linea& entry = HistoryTable[std::size_t(index)];
    const std::string text = LangText(1203) + ": " + MajorMinor(entry) + CarriageReturn + LangText(1204) + ": "
                             + std::to_string(entry.Build) + CarriageReturn + LangText(1205) + ": " + entry.Date
                             + CarriageReturn + LangText(1206) + ": " + CarriageReturn
                             + ArreglaComentario(entry.Comment, CarriageReturn);
    // Information the user asked for: no warning sign, the program's caption.
    MessageBoxes().Show(BoxKind::Plain, ProgramCaption, text);
}

bool TFHistorial::eventFilter(QObject* watched, QEvent* event)
{
    // Anywhere in the list, not only on a row: the selected version is shown.
    if (watched == L->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const bool handled = QDialog::eventFilter(watched, event);
        LDblClick();
        return handled;
    }
    return QDialog::eventFilter(watched, event);
}
