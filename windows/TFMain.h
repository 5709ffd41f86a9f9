#pragma once
// The main window: owns the settings, the receiver link and the two data
// sets (the working set and the copy as last loaded, saved or sent), shows
// the connection state, offers the language menu, and hands its one list
// view to the presenter of the option chosen in the option bar. Its menu
// roads read, save and send whole channel lists.
#include "windows/TPresenter.h"

#include <QMainWindow>
#include <QStringList>
#include <QTreeView>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QToolButton;
class TConfig;
class TVexaComm;
class TVexaData;

// The main list view. It starts a drag itself (the presenters' models need
// no drag support) and hands drops to the main window's handlers.
class TMainListView : public QTreeView {
public:
    explicit TMainListView(QWidget* parent = nullptr);

    // While on, pressing a row and moving the mouse drags the selected rows;
    // while off the view does not drag at all and refuses every drop.
    void SetDragging(bool on);
    bool Dragging() const { return DragOn; }

    // Whether a drag from `source` may be dropped here, and the drop on a row
    // (-1 below the last row).
    std::function<bool(QObject* source)> OnDragOver;
    std::function<void(int row)> OnDragDrop;

    // Frees the selection model that the view made for the previous model.
    void setModel(QAbstractItemModel* model) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool Accepts(QDropEvent* event) const;
    void MarkDropRow(int row);

    bool DragOn = false;
    bool PressOnRow = false;      // left press on a row that may start a drag
    bool PressedSelected = false; // ...on a row that was selected already
    QPoint PressPos;
    QPersistentModelIndex PressIndex;
    int DropRow = -1; // the row a drag would drop on, outlined while it hovers there
};

// What the main window takes from its surroundings; the defaults are the
// program's own (its command line, its folder).
struct TFMainSetup {
    std::optional<QStringList> Params;         // command-line parameters, without the program's name
    std::optional<std::string> LanguageFolder; // where "*.LNG" files are looked for; "" for the built-in language only
    std::optional<std::string> ConfigFile;     // the settings file
};

class TFMain : public QMainWindow {
    Q_OBJECT

public:
    explicit TFMain(const TFMainSetup& setup = {}, QWidget* parent = nullptr);
    ~TFMain() override;

    // Moves the selected rows of the list view to the drop row (the row
    // mover's drop). The main window calls it for a drop inside ListMain.
    using TRowDropper = std::function<void(QTreeView* ListView, TVexaData* Data, int DropRow)>;
    static void SetRowDropper(TRowDropper dropper);
    // Prints a list view with a title; while none is set, printing stays disabled.
    using TListPrinter = std::function<void(QTreeView* ListView, const std::string& Title, const std::string& Subtitle)>;
    static void SetListPrinter(TListPrinter printer);
    // The printer in force, for the other windows that print a list; empty while none is set.
    static const TListPrinter& GetListPrinter();

    // A channel list was made or loaded (the tools' guard reads this).
    bool ListLoaded() const;
    // The option in force (1 channels ... 5 tools); 0 before the first.
    int Option() const { return ListSelTag; }

    // ---- Start-up, status, options, languages
    void GetParams(const QStringList& params);
    void CheckSts();
    void SetLed(bool Connected);
    void ConectarClick();
    void ConfigurarPuerto1Click();
    void MenuClick(QAction* Sender);
    void Translate();
    void SetOpen();
    void SelectOption(int Option);
    void ListSelClick(bool Sender);
    void Salir1Click();

    // ---- Roads
    void Listadecanalesnueva1Click();
    void Obtenerlistadecanales1Click();
    void Guardarlistadecanales1Click();
    void GetDataFromVexa();
    void PutDataToVexa();
    void GetChnFromFile(bool IsTxt);
    void SaveChnToFile(bool IsTxt, bool Extended);
    bool SecuredLoadFile(int Kind, const QString& FileName);
    bool SecuredLoadBin(const std::vector<std::uint8_t>& Stream);
    bool SecuredLoadTxt(const std::vector<std::string>& Lines);
    // The unsaved-data question: true means abandon the action that asked.
    bool CancelarAccion();
    // Writes a user's file whole or not at all (beside it first, then renamed
    // over it); a failure is reported with the file's name and reason.
    static bool WriteFile(const QString& fileName, const QByteArray& bytes);
    void Imprimirdatos1Click();
    void Acercade1Click();
    bool ListMainDragOver(QObject* Source) const;
    void ListMainDragDrop(int DropRow);

    // ---- State
    QAction* LanguageItem = nullptr;
    std::unique_ptr<TVexaComm> Comm;
    std::unique_ptr<TVexaData> Data;
    std::unique_ptr<TVexaData> SavedData;
    bool FirstActivation = true;
    std::int32_t Port = 0;

    // ---- Controls
    QToolButton* Conectar;
    QFrame* LedPanel;
    QLabel* ImageLed;
    QListWidget* ListSel;
    TMainListView* ListMain;
    std::array<QLabel*, 3> StatusPanels;

    QMenu* Fichero1;
    QAction* Listadecanalesnueva1;
    QAction* Obtenerlistadecanales1;
    QAction* Guardarlistadecanales1;
    QAction* Imprimirdatos1;
    QAction* Salir1;
    QMenu* Conexin1;
    QAction* Conectar1;
    QAction* ConfigurarPuerto1;
    QMenu* Idioma;
    // Hidden; the channel presenter fills and shows it.
    QMenu* NumeradoPor;
    QAction* Acercade1;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate(const TFMainSetup& setup);
    void FormActivate();
    void BuildMenu();
    void BuildControls();
    void BuildLanguageMenu();
    TPresenter* CreatePresenter(int option);
    // Takes the list view away from the presenter in force, before the
    // records it shows change or another presenter takes over.
    void DetachPresenter();

    std::unique_ptr<TConfig> Config; // TheConfig while this window lives
    int ListSelTag = 0;
    std::array<TPresenter*, 6> Presenters{}; // by option number; [0] unused
    TPresenter* Active = nullptr;
};

// The main window of the run (nullptr before it exists and after it closed).
extern TFMain* FMain;
