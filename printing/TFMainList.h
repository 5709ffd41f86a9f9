#pragma once
// The column dialog that turns any list view into a printed list: the user
// picks which of the view's columns print and in which order, the title, the
// font size, how many column blocks stand side by side and the two fitting
// options; Print lays the report out and shows it in the preview window. The
// dialog reads only the list view (captions, cells, row pictures), never the
// records behind it, so every list view prints the same way.
#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMimeData;
class QPushButton;
class QToolButton;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

class TFMainList : public QDialog {
    Q_OBJECT
public:
    // Column code of the row-number column; 0 is the item caption, k >= 1
    // the view's column k.
    static constexpr int kNumberCode = 5000;

    explicit TFMainList(QWidget* parent = nullptr);

    // Offers the columns of ListView and runs the dialog modally; returns when
    // it closes. A non-empty Subtitle locks the title.
    void ListPrint(QTreeView* ListView, const std::string& Title, const std::string& Subtitle);

    // What the report reads back: the chosen column codes in print order and
    // the title to print.
    std::vector<int> ChosenCodes() const;
    std::string ReportTitle() const;

    // ---- Handlers
    void BitBtn1Click(); // remove the selected chosen column
    void BitBtn2Click(); // open the panel of removed columns
    void BitBtn4Click(); // close it
    void BitBtn5Click(); // print
    void BitBtn7Click(); // bring the selected removed column back
    void ListBox1Click();
    void ListBox2Click();
    void SpinButton1UpClick();
    void SpinButton1DownClick();
    // Drags carry the list they come from in their data; a drag from
    // anywhere else is refused.
    bool ListBox1DragOver(const QMimeData* Source) const;
    bool ListBox2DragOver(const QMimeData* Source) const;
    // Row is the row under the drop point, -1 below the last row.
    void ListBox1DragDrop(const QMimeData* Source, int Row);
    void ListBox2DragDrop(const QMimeData* Source, int Row);
    // The data of a drag that starts in List (ListBox1 or ListBox2).
    QMimeData* DragData(const QTreeWidget* List) const;

    // ---- Helpers
    void EnableRest(bool Flag);
    void Check();
    void Traspaso(QTreeWidget* Dest, QTreeWidget* Source);
    // Inserts a copy of row FromIndex before row ToIndex (ToIndex = count
    // appends), selects it and deletes the original: the row ends at ToIndex
    // when moving up, at ToIndex - 1 when moving down.
    void Cambio(QTreeWidget* List, int FromIndex, int ToIndex);

    // ---- State
    QTreeView* View = nullptr;
    std::string Title;
    std::string SubTitle;
    bool RestEnabled = true;
    bool Printing = false; // a report of this dialog is on show in the preview

    // ---- Controls
    QTreeWidget* ListBox1; // chosen columns, in print order
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QLabel* Label1;
    QWidget* SpinButton1;
    QToolButton* SpinButton1Up;
    QToolButton* SpinButton1Down;
    QFrame* Panel1;
    QTreeWidget* ListBox2; // removed columns
    QPushButton* BitBtn7;
    QPushButton* BitBtn4;
    QLabel* Image1;
    QLabel* Image2;
    QLabel* Label2;
    QLineEdit* Edit1;
    QLabel* Label3;
    QComboBox* ComboBox1; // font size
    QLabel* Label4;
    QComboBox* ComboBox2; // blocks side by side
    QCheckBox* CheckBox1;  // fit content
    QCheckBox* CheckBox2;  // fit end
    QPushButton* BitBtn5;
    QPushButton* BitBtn6;

public slots:
    // Closing always leaves the dialog in its normal state for its next run.
    void done(int r) override;

private:
    int SourceList(const QMimeData* Source) const; // 1, 2, or 0 for none of ours
    void DropFromOther(QTreeWidget* Dest, QTreeWidget* Source, int Row);
    void AddRow(QTreeWidget* List, int At, const QString& Caption, int Code);
};

// The list's selected row, -1 without one.
int SelectedRow(const QTreeWidget* List);
