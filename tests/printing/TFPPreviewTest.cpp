// The preview window with real reports: paging, zoom, printing to PDF (read
// back with poppler's tools), saving through the filters, and the rules
// that keep the report alive while it is in use.
#include "ReportTestSupport.h"

#include "support/ScriptedMessageBoxes.h"
#include "support/qt/ModalDialogs.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSlider>
#include <QThread>
#include <QToolButton>

namespace {

// Dark pixels with a page's white a little to the left and to the right:
// text drawn on a page, not the page's shadow or the view's ground.
int Ink(const QImage& shot)
{
    const QRgb white = qRgb(255, 255, 255);
    int ink = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 3; x + 3 < shot.width(); ++x)
            ink += qGray(shot.pixel(x, y)) < 128 && shot.pixel(x - 3, y) == white && shot.pixel(x + 3, y) == white;
    return ink;
}

int CsvFilter()
{
    const auto& writers = ReportFilters();
    return int(std::find_if(writers.begin(), writers.end(), [](auto& f) { return f.extension == "csv"; })
               - writers.begin());
}

class PreviewTest : public ::testing::Test {
protected:
    // A report of `rows` channels, one column block, 59 lines a page.
    void Show(int rows, const std::function<void(TFPPreview*)>& act, const std::function<void()>& before = {})
    {
        auto model = ChannelList(rows);
        TFQrManLst report;
        report.BeginRep({model.get(), {5000, 0, 1, 2}, QStringLiteral("Listado de Canales"), {}});
        WhenPreviewReady(&caller, act);
        if (before)
            before();
        ShowPreview(report, &caller);
        report.EndRep();
    }

    ~PreviewTest() override
    {
        TFPPreview::SetPrintSetup(nullptr);
        TFPPreview::SetSaveAsker(nullptr);
    }

    QWidget caller;
    TempDir dir;
    ScriptedMessageBoxes boxes;
};

} // namespace

TEST(PreviewPages, ThePagePanelAndTheTrackBarTicksFollowThePageCount)
{
    TFPPreview preview;
    // Halves go to the even neighbour; one page needs no panel.
    for (const auto& [pages, ticks] : {std::pair{1, 0}, {2, 1}, {11, 1}, {25, 2}, {35, 4}, {100, 10}}) {
        preview.Panel1->hide();
        preview.SetNumPages(pages);
        EXPECT_EQ(preview.Panel1->isHidden() ? 0 : preview.T1->tickInterval(), ticks) << pages;
        EXPECT_TRUE(preview.Panel1->isHidden() || preview.Label1->text() == QString::number(pages));
    }
}

TEST_F(PreviewTest, PagesZoomAndASecondRunStartsAfresh)
{
    Show(200, [this](TFPPreview* p) {
        EXPECT_FALSE(caller.isEnabled());
        ASSERT_EQ(p->Preview->pageCount(), 4);
        const struct { QToolButton* button; int from, to; } moves[] = {
            {p->FirstPage, 1, 1}, {p->PriorPage, 1, 1}, {p->NextPage, 1, 2}, {p->NextPage, 2, 3}, {p->LastPage, 3, 4},
            {p->LastPage, 4, 4},  {p->NextPage, 4, 4},  {p->PriorPage, 4, 3}, {p->FirstPage, 3, 1}};
        for (const auto& m : moves) {
            ASSERT_EQ(p->T1->value(), m.from);
            m.button->click();
            EXPECT_EQ(p->T1->value(), m.to) << m.button->objectName().toStdString() << " from " << m.from;
            EXPECT_EQ(p->Preview->currentPage(), m.to);
            EXPECT_EQ(p->StatusPanel->text(), ToQt(LangText(2108)) + " " + QString::number(m.to));
        }
        EXPECT_EQ(p->Zoom->currentText(), ToQt(LangText(2113)));
        EXPECT_EQ(p->Preview->zoomMode(), PageView::FitInView);
        p->Zoom->setCurrentText("200%");
        EXPECT_EQ(p->Preview->zoomMode(), PageView::CustomZoom);
        EXPECT_DOUBLE_EQ(p->Preview->zoomFactor(), 2.0);
        p->Zoom->setCurrentText(ToQt(LangText(2112)));
        EXPECT_EQ(p->Preview->zoomMode(), PageView::FitToWidth);
        p->LastPage->click();
        p->Cerrar->trigger();
    });
    EXPECT_TRUE(caller.isEnabled());
    // The pages went with the window.
    EXPECT_TRUE(FPPreview->Document.pages.empty() && FPPreview->Preview->pageCount() == 0);
    Show(30, [](TFPPreview* p) {
        EXPECT_EQ(p->Zoom->currentText(), ToQt(LangText(2113)));
        EXPECT_EQ(std::tuple(p->Preview->pageCount(), p->Panel1->isVisible(), p->T1->value()), std::tuple(1, false, 1));
        p->close();
    });
}

// The first page shows at once and the others follow from the window's
// event loop. Meanwhile the page panel grows with the pages made, and
// nothing that needs the whole report goes: no print, no save, no close.
// Then every page is there, and every row is saved.
TEST_F(PreviewTest, TheFirstPageShowsWhileTheOthersAreMade)
{
    bool checked = false;
    TFPPreview::SetPrintSetup([](QPrinter&, int, QWidget*) {
        ADD_FAILURE() << "a print started before the last page was made";
        return false;
    });
    const QString csv = PathIn(dir, "all.csv");
    TFPPreview::SetSaveAsker([&](QWidget*, const QString&, const QStringList&, int* filter) {
        EXPECT_TRUE(FPPreview && !FPPreview->Generating);
        *filter = CsvFilter();
        return csv;
    });
    Show(2500, [&](TFPPreview* p) {
        EXPECT_EQ(std::tuple(p->Preview->pageCount(), p->T1->maximum(), p->Label1->text(), p->Panel1->isVisible()),
                  std::tuple(43, 43, QStringLiteral("43"), true));
        EXPECT_EQ(p->Preview->currentPage(), 1);
        p->LastPage->click();
        EXPECT_EQ(std::tuple(p->T1->value(), p->Preview->currentPage()), std::tuple(43, 43));
        p->Save->trigger();
        p->close();
    }, [&] {
        QTimer::singleShot(0, &caller, [&] {
            // The first event the window's loop runs: page 1 is on show, the
            // others are still to come.
            TFPPreview* p = FPPreview;
            ASSERT_TRUE(p && p->Generating);
            const int made = p->Preview->pageCount();
            EXPECT_TRUE(made >= 1 && made < 43) << made;
            EXPECT_EQ(p->Preview->currentPage(), 1);
            EXPECT_GT(Ink(p->Preview->viewport()->grab().toImage()), 100);
            EXPECT_EQ(p->T1->maximum(), std::max(1, made));
            p->Print->trigger();
            p->Save->trigger();
            p->close();
            checked = p->isVisible() && !caller.isEnabled() && !p->Print->isEnabled();
        });
    });
    EXPECT_TRUE(checked);
    EXPECT_TRUE(caller.isEnabled());
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count("\r\n"), 2501);
    EXPECT_TRUE(bytes.contains("Canal 2500"));
}

// Printing to PDF and saving, all from one preview: the chosen pages and
// copies, a refused set-up, Cancel in the progress window, each filter.
TEST_F(PreviewTest, PrintsAndSavesTheReport)
{
    const struct { bool accept; int from, to, copies; bool collate, cancel; std::vector<int> pages; } prints[] = {
        {true, 0, 0, 1, true, false, {1, 2, 3, 4}}, {true, 2, 3, 2, true, false, {2, 3, 2, 3}},
        {true, 3, 9, 2, false, false, {3, 3, 4, 4}}, {false, 0, 0, 1, true, false, {}},
        {true, 0, 0, 1, true, true, {}}};
    const QString pdf = PathIn(dir, "printed.pdf");
    const int csv = CsvFilter();
    const struct { QString name; int filter; } saves[] = {
        {PathIn(dir, "list.pdf"), 0}, {PathIn(dir, "list.csv"), csv}, {PathIn(dir, "missing/list.csv"), csv}, {{}, 0}};
    std::size_t next = 0;
    TFPPreview::SetSaveAsker([&](QWidget*, const QString& caption, const QStringList& offered, int* filter) {
        EXPECT_EQ(caption, ToQt(LangText(2109)));
        EXPECT_EQ(offered, ReportFilterStrings());
        *filter = saves[next].filter;
        return saves[next++].name;
    });
    Show(200, [&](TFPPreview* p) {
        for (const auto& c : prints) {
            SCOPED_TRACE(testing::Message() << c.from << "-" << c.to << " x" << c.copies
                                            << (c.cancel ? ", cancelled" : ""));
            QFile::remove(pdf);
            TFPPreview::SetPrintSetup([&](QPrinter& printer, int pageCount, QWidget*) {
                EXPECT_EQ(pageCount, 4);
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(pdf);
                printer.setPrintRange(c.from ? QPrinter::PageRange : QPrinter::AllPages);
                printer.setFromTo(c.from, c.to);
                printer.setCopyCount(c.copies);
                printer.setCollateCopies(c.collate);
                return c.accept;
            });
            if (c.cancel) {
                WhenModal(p, [](QWidget* progress) {
                    EXPECT_EQ(progress->windowTitle(), ToQt(LangText(2110)));
                    EXPECT_FALSE(progress->windowFlags() & Qt::WindowCloseButtonHint);
                    progress->findChild<QPushButton*>("PrintCancel")->click();
                });
                QThread::msleep(20); // the watch is due at the print's first look at its events
            }
            p->Print->trigger();
            EXPECT_FALSE(p->Printing);
            PdfFacts facts;
            EXPECT_EQ(QFile::exists(pdf), c.accept && !c.cancel);
            EXPECT_TRUE(c.pages.empty() || (ReadPdf(pdf, facts) && facts.PageNumbers() == c.pages));
        }
        for (std::size_t i = 0; i < std::size(saves); ++i)
            p->Save->trigger();
        p->close();
    });
    PdfFacts pdfSaved;
    EXPECT_TRUE(ReadPdf(saves[0].name, pdfSaved) && pdfSaved.pages == 4);
    QFile file(saves[1].name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.contains("Canal 200"));
    EXPECT_EQ(bytes.count("\r\n"), 201);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_NE(boxes.Boxes()[0].text.find("missing"), std::string::npos);
}
