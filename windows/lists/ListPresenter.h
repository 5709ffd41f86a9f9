#pragma once
// What every presenter of one record list in the main list view shares: the
// view turned into the list's model (one row per record, in list order), the
// popup menu with its create, delete, move and group commands, editing on
// Enter and double click, and deletion of the selected records. Each list
// supplies its model, texts, editor and deletion, and tells what else a
// change of its records touches.
#include "windows/TPresenter.h"

#include <functional>
#include <vector>

class QAction;
class QMenu;
class QPoint;
class ListColumns;
class RecordListModel;

class ListPresenter : public TPresenter {
    Q_OBJECT
public:
    ~ListPresenter() override;

    // The record editor: edits record index of data (-1 creates one) and
    // returns true when the user saved, with recIndex the stored record's
    // index. Without one, edit and create do nothing.
    using RecordEditor = std::function<bool(TVexaData& data, int index, int& recIndex)>;
    void SetEditor(RecordEditor editor) { Editor = std::move(editor); }

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

    ListPresenter(QObject* parent, const Texts& texts);

    // The model the view is given (made by the subclass, with this as its
    // parent).
    void SetListModel(RecordListModel* model) { ListModel = model; }
    // The captions of the four commands, in the current language.
    void TranslateCommands();
    // A further command at the foot of the popup menu.
    QAction* AddCommand(const char* name, const std::function<void()>& handler);
    // Puts the model in the view, with the list's look, popup and keys.
    void ShowList();
    // Sizes the columns for what the records hold now.
    void FitColumns();
    // True while the view shows this presenter's list.
    bool Driving() const;
    // The window the editors open over.
    QWidget* EditorParent() const;

    // Deletes record index of the list, with everything that depends on it
    // in the other lists only: each record deleted takes exactly its own row.
    virtual void DeleteRecord(int index) = 0;
    // After the editor saved the record of row: by default every row in view
    // is drawn again (an editor may change more than its own record, and
    // that costs no more than the rows on the page).
    virtual void RecordEdited(int row);
    // After the records were reloaded for one the editor added.
    virtual void RecordAdded() {}
    // After the selected records were deleted.
    virtual void RecordsDeleted() {}

    bool eventFilter(QObject* watched, QEvent* event) override;

    QTreeView* ListView = nullptr;
    TVexaComm* Comm = nullptr;
    TVexaData* Data = nullptr;
    RecordEditor Editor;
    QMenu* PopupMenu;

private:
    void ShowPopup(const QPoint& pos);

    Texts Text;
    QAction* CrearNuevoCanal1;
    QAction* BorrarCanal1;
    QAction* MoverCanal1;
    QAction* AgruparCanales1;
    RecordListModel* ListModel = nullptr;
    ListColumns* Sizes;
};
