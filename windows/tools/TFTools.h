#pragma once
// The tools option's presenter: turns the main list view into the list of
// nine tools and runs the one the user opens (double click or Enter). Each
// tool runs its guard first; tools that live in other windows are plugged in
// with SetTool.
#include "windows/TPresenter.h"

#include <array>
#include <functional>
#include <string>

class QWidget;
class ListColumns;
class ToolListModel;

class TFTools : public TPresenter {
    Q_OBJECT
public:
    static constexpr int ToolCount = 9;

    explicit TFTools(QObject* parent = nullptr);
    ~TFTools() override;

    void Start(QTreeView* listView, TVexaComm* comm, TVexaData* data) override;

    // A tool that another part of the program provides, run after the tool's
    // guard with the window to own its dialogs, the link and the working set.
    // Tools 2 (import), 4 (channel wizard), 5 (key sequence) and 6
    // (favourites) do nothing but their guard until one is set; other
    // indexes are ignored. An empty function removes the tool.
    using TTool = std::function<void(QWidget* Parent, TVexaComm* Comm, TVexaData& Data)>;
    static void SetTool(int n, TTool tool);

    void Translate();

    // Runs the tool of the first selected row, if any.
    void ListViewDblClick();

    void Option00(); // firmware upload
    void Option01(); // factory data to a file
    void Option02(); // import
    void Option03(); // check and repair
    void Option04(); // channel wizard
    void Option05(); // key sequence
    void Option06(); // favourites
    void Option07(); // summary
    void Option08(); // removal of records that no channel uses

    // The tools' captions in the language in force.
    static const std::array<std::string, ToolCount>& Captions();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Driving() const;
    QWidget* Owner() const;
    void RunPlugged(int n);
    std::string Counts() const;

    QTreeView* ListView = nullptr;
    TVexaComm* Comm = nullptr;
    TVexaData* Data = nullptr;
    ToolListModel* Model;
    ListColumns* Sizes;
};
