#pragma once
// The version history dialog: every version with its build, date and
// changes; a double click on a version shows its changes one per line.
#include <QDialog>

#include <string>

class QLabel;
class QPushButton;
class QTreeWidget;

class TFHistorial : public QDialog {
    Q_OBJECT

public:
    explicit TFHistorial(QWidget* parent = nullptr);

    // Turns a "|"-separated comment into display text: the changes joined by
    // Separator, and with a carriage return each line starts "- ".
    static std::string ArreglaComentario(const std::string& Comment, const std::string& Separator);

public slots:
    void Button1Click();
    // Shows the details of the selected version; nothing without a selection.
    void LDblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();

    QLabel* Label1;
    QTreeWidget* L;
    QPushButton* Button1;
};
