#pragma once
// The OK and Cancel buttons at the foot of the program's dialogs.
#include <Qt>

class QBoxLayout;
class QDialog;
class QPushButton;

// Makes OK ("BitBtn1", the default button) and Cancel ("BitBtn2", which
// rejects the dialog) on dialog, with their pictures and captions, and
// returns a row that lines them up at its right end (with Qt::Vertical, a
// column that puts them at its foot). OK is the caller's to connect. A
// focused Cancel does not take Enter: that stays OK's.
QBoxLayout* AddOkCancel(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel,
                        Qt::Orientation orientation = Qt::Horizontal);
