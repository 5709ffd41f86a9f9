#pragma once
// What the satellite, antenna and transponder presenters share: the main list
// view turned into one record list of the working set (one row per record,
// in list order, columns from a table), the popup menu with its create,
// delete, move and group commands, editing on Enter and double click, and
// deletion of the selected records with everything that depends on them.
// Each list supplies its columns, texts, editor and deletion cascade.
#include "windows/TPresenter.h"
#include "windows/RecordTableModel.h"

#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QPoint;

// Gives every column of the view its width, or the width its caption needs
// when that is more: fonts differ from desktop to desktop, and a caption is
// never cut off.
void FitColumnWidths(QTreeView* view, const std::function<int(int column)>& width);

class RecordPresenter : public TPresenter {
    Q_OBJECT
public:
    ~RecordPresenter() override;

    void Start(QTreeView* listView, TVexaComm* comm, TVexaData* data) override;

    // The record editor: edits record index of data (-1 creates one) and
    // returns true when the user saved, with recIndex the stored record's
    // index. Each list starts with its own editor dialog.
    using RecordEditor = std::function<bool(TVexaData& data, int index, int& recIndex)>;
    void SetEditor(RecordEditor editor) { Editor = std::move(editor); }

    void Translate();

    void ListViewDblClick();
    void PopupMenuPopup();
    void CrearNuevoCanal1Click();
    void BorrarCanal1Click();
    void MoverCanal1Click();
    void AgruparCanales1Click();

protected:
    // Language text numbers of the list's commands and questions.
    struct Texts {
        int Create, DeleteOne, MoveOne, Group, DeleteMany, MoveMany, EditRefused, AskOne, AskMany;
    };

    RecordPresenter(QObject* parent, const Texts& texts, std::vector<RecordTableModel::Column> columns,
                    int (*count)(const TVexaData& data), const QIcon& icon);

    // Deletes record index of the list with every record that depends on it.
    virtual void DeleteRecord(int index) = 0;

    // The window the editors open over.
    QWidget* EditorParent() const;

    bool eventFilter(QObject* watched, QEvent* event) override;

    QTreeView* ListView = nullptr;
    TVexaComm* Comm = nullptr;
    TVexaData* Data = nullptr;

private:
    void BuildList();
    void ShowPopup(const QPoint& pos);
    bool Driving() const;

    Texts Text;
    QMenu* PopupMenu;
    QAction* CrearNuevoCanal1;
    QAction* BorrarCanal1;
    QAction* MoverCanal1;
    QAction* AgruparCanales1;
    RecordTableModel* Model;
    RecordEditor Editor;
};
