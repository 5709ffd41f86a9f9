#pragma once
// A dialog's widgets found by object name and used as a user would.
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

template <class T = QWidget>
T* W(QWidget* dialog, const char* name)
{
    T* widget = dialog->findChild<T*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

inline void Click(QWidget* dialog, const char* name)
{
    W<QAbstractButton>(dialog, name)->click();
}

// Selects the whole text and types keys over it.
inline void Retype(QWidget* dialog, const char* name, const QString& keys)
{
    auto* edit = W<QLineEdit>(dialog, name);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, keys);
}

// Picks the item of that text as a user would, so activated() is sent.
inline void Choose(QWidget* dialog, const char* combo, const QString& text)
{
    auto* box = W<QComboBox>(dialog, combo);
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}
