#pragma once
// The about box: the program's title and version, a way into the version
// history, and the languages loaded with who translated them.
#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

class TFAbout : public QDialog {
    Q_OBJECT

public:
    explicit TFAbout(QWidget* parent = nullptr);

public slots:
    // Opens the version history as a modal dialog and frees it afterwards.
    void BitBtn2Click();

private:
    void FormCreate();

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Version;
    QLabel* Label3;
    QPushButton* BitBtn2;
    QLabel* Label4;
    QTreeWidget* ListAutores;
    QPushButton* BitBtn1;
};
