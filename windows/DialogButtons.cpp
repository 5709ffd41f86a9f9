#include "windows/DialogButtons.h"

#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>
#include <QStyle>

QBoxLayout* AddOkCancel(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel, Qt::Orientation orientation)
{
    ok = new QPushButton(dialog->style()->standardIcon(QStyle::SP_DialogOkButton), ToQt(LangText(2)), dialog);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setDefault(true);
    cancel = new QPushButton(dialog->style()->standardIcon(QStyle::SP_DialogCancelButton), ToQt(LangText(3)), dialog);
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    cancel->setAutoDefault(false);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);

    auto* row = new QBoxLayout(orientation == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}
