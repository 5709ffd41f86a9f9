#pragma once
// The preview window: shows a generated report page by page, zooms, pages
// with a track bar and four page buttons, prints after the printer set-up
// and saves the report as PDF or through an export filter. One window serves
// the whole run: the first ShowPreview creates it, closing only hides it.
//
// The pages are made a few at a time from the window's event loop: the
// first page shows as soon as it exists, and the page count, the track bar
// and the page buttons grow with the pages made. Printing and saving wait
// until the last page is made, so they always get the whole report.
//
// While the preview shows, the window that asked for it stays disabled, and
// the preview refuses to close while it generates or prints, so the report
// it shows can never be freed under it. Printing shows the program's own
// progress window, whose Cancel stops the printer.
#include "printing/PageModel.h"
#include "printing/PageView.h"

#include <QEventLoop>
#include <QMainWindow>
#include <QPointer>

#include <functional>

class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPrinter;
class QProgressBar;
class QSlider;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class TFQrManLst;

class TFPPreview : public QMainWindow {
    Q_OBJECT
public:
    // The zoom list, in order: percentages, then the two modes.
    static constexpr int kZoomFit = -1;   // "Automático": the whole page
    static constexpr int kZoomWidth = -2; // "Ancho": the page's width
    static constexpr int kZooms[] = {200, 150, 100, 80, 60, 40, 20, kZoomFit, kZoomWidth};

    explicit TFPPreview(QWidget* parent = nullptr);
    ~TFPPreview() override;

    // Generates Report's pages into the window and shows them; Caller (may
    // be null) is disabled until the window closes. Returns once it closed.
    void ShowPrev(TFQrManLst& Report, QWidget* Caller);

    // The status-bar progress; all three 0 ends the generation.
    void Progreso(int Min, int Max, int Position);
    void Final();
    void EnableAll(bool Flag);
    void SetNumPages(int Count);
    void T1Change();
    void ZoomChange();
    void FirstPageClick();
    void PriorPageClick();
    void NextPageClick();
    void LastPageClick();
    void ToolButton2Click(); // print
    void SaveClick();
    void CerrarExecute();
    void Translate();

    // Tick spacing of the page track bar for Count pages: 1 below 11 pages,
    // else Count / 10 rounded to the nearest, halves to even.
    static int TickFrequency(int Count);

    // The printer set-up (printer, copies, orientation, page range); false
    // when the user cancelled. Tests put a scripted one in; null restores
    // Qt's print dialog.
    using TPrintSetup = std::function<bool(QPrinter& Printer, int PageCount, QWidget* Parent)>;
    static void SetPrintSetup(TPrintSetup setup);
    // The save dialog: the chosen file name (empty when cancelled) and, in
    // *Filter, the index of the chosen filter. Null restores Qt's dialog.
    using TSaveAsker =
        std::function<QString(QWidget* Parent, const QString& Caption, const QStringList& Filters, int* Filter)>;
    static void SetSaveAsker(TSaveAsker asker);

    // ---- State
    TFQrManLst* Report = nullptr;
    QPointer<QWidget> CallerForm;
    bool FirstPageSeen = false;
    ReportDocument Document; // the pages on show, printed and saved as they are
    bool Generating = false;
    bool Printing = false;

    // ---- Controls
    QToolBar* ToolBar1;
    QLabel* Label3;
    QComboBox* Zoom;
    PageView* Preview;
    QFrame* Panel1;
    QLabel* Label22;
    QLabel* Label2;
    QSlider* T1;
    QLabel* Label1;
    QToolButton* FirstPage;
    QToolButton* PriorPage;
    QToolButton* NextPage;
    QToolButton* LastPage;
    QStatusBar* StatusBar1;
    QLabel* StatusPanel;
    QProgressBar* ProgressBar;
    QMenu* PrepararPagina1;
    QMenu* PopupMenu1;
    QAction* Print;
    QAction* Save;
    QAction* Cerrar;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PlaceProgressBar();
    void ShowPageText();
    bool PrintPages(QPrinter& printer);
    // One slice of the generation, run from the event loop.
    void MakePages();
    void StopMaking();

    QPrinter* Printer = nullptr; // kept between prints, so the set-up is remembered
    QEventLoop RunLoop;
    bool Running = false;
    QTimer* Slices;        // zero-timer that runs MakePages until the last page
    int RowsDone = 0;      // the generation's progress, shown once per slice
    int RowsTotal = 0;
};

// The window of the run; null until the first preview.
extern TFPPreview* FPPreview;

// Shows Report in the preview window (created on first use); Caller stays
// disabled meanwhile. Returns when the preview window has closed.
void ShowPreview(TFQrManLst& Report, QWidget* Caller);
