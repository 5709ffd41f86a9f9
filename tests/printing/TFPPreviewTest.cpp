// The preview window with real reports: paging, zoom, printing to PDF (read
// back with poppler's tools), saving through the filters, and the rules
// that keep the report alive while it is in use.
#include "printing/TFPPreview.h"

#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "printing/PreviewTestSupport.h"
#include "printing/ReportExport.h"
#include "printing/ReportTestSupport.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"
#include "support/qt/ModalDialogs.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QThread>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class PreviewTest : public ::testing::Test {
protected:
    // A report of `rows` channels, one column block, 59 lines a page.
    void Show(int rows, const std::function<void(TFPPreview*)>& act, const std::function<void()>& before = {})
    {
        auto model = ChannelList(rows);
        TFQrManLst report;
        ReportRequest request;
        request.model = model.get();
        request.codes = {5000, 0, 1, 2};
        request.title = QStringLiteral("Listado de Canales");
        report.BeginRep(request);
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

    int PdfPages(const QString& path)
    {
        QByteArray info;
        if (!RunTool("pdfinfo", {path}, &info))
            return -1;
        const QRegularExpressionMatch m = QRegularExpression("Pages:\\s+(\\d+)").match(QString::fromUtf8(info));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }

    QString Path(const std::string& name) const { return QString::fromStdString((dir / name).string()); }

    QWidget caller;
    TempDir dir;
    ScriptedMessageBoxes boxes;
};

} // namespace

TEST(PreviewPages, ThePagePanelAndTheTrackBarTicksFollowThePageCount)
{
    // ticks 0: the panel is hidden.
    const struct {
        int pages, ticks;
    } cases[] = {{0, 0}, {1, 0}, {2, 1}, {10, 1}, {11, 1}, {15, 2}, {25, 2}, {35, 4}, {45, 4}, {100, 10}};
    TFPPreview preview;
    for (const auto& c : cases) {
        preview.Panel1->hide();
        preview.SetNumPages(c.pages);
        EXPECT_EQ(preview.Panel1->isHidden(), c.ticks == 0) << c.pages;
        if (c.ticks) {
            EXPECT_EQ(preview.T1->tickInterval(), c.ticks) << c.pages;
            EXPECT_EQ(preview.Label1->text(), QString::number(c.pages));
        }
    }
}

TEST_F(PreviewTest, PagesZoomAndASecondRunStartsAfresh)
{
    Show(200, [this](TFPPreview* p) {
        EXPECT_FALSE(caller.isEnabled());
        ASSERT_EQ(p->Preview->pageCount(), 4);
        EXPECT_TRUE(p->Panel1->isVisible());
        const struct {
            QToolButton* button;
            int from, to;
        } moves[] = {{p->FirstPage, 1, 1}, {p->PriorPage, 1, 1}, {p->NextPage, 1, 2}, {p->NextPage, 2, 3},
                     {p->LastPage, 3, 4}, {p->LastPage, 4, 4}, {p->NextPage, 4, 4}, {p->PriorPage, 4, 3},
                     {p->FirstPage, 3, 1}};
        for (const auto& m : moves) {
            ASSERT_EQ(p->T1->value(), m.from);
            m.button->click();
            EXPECT_EQ(p->T1->value(), m.to) << m.button->objectName().toStdString() << " from " << m.from;
            EXPECT_EQ(p->Preview->currentPage(), m.to);
            EXPECT_EQ(p->StatusPanel->text(), ToQt(LangText(2108)) + " " + QString::number(m.to));
        }
        ASSERT_EQ(p->Zoom->count(), 9);
        EXPECT_EQ(p->Zoom->currentText(), ToQt(LangText(2113)));
        EXPECT_EQ(p->Preview->zoomMode(), QPrintPreviewWidget::FitInView);
        p->Zoom->setCurrentText("200%");
        EXPECT_EQ(p->Preview->zoomMode(), QPrintPreviewWidget::CustomZoom);
        EXPECT_DOUBLE_EQ(p->Preview->zoomFactor(), 2.0);
        p->Zoom->setCurrentText(ToQt(LangText(2112)));
        EXPECT_EQ(p->Preview->zoomMode(), QPrintPreviewWidget::FitToWidth);
        p->LastPage->click();
        p->Cerrar->trigger();
    });
    EXPECT_TRUE(caller.isEnabled());
    Show(30, [](TFPPreview* p) {
        EXPECT_EQ(p->Zoom->currentText(), ToQt(LangText(2113)));
        EXPECT_EQ(p->Preview->pageCount(), 1);
        EXPECT_FALSE(p->Panel1->isVisible());
        EXPECT_EQ(p->T1->value(), 1);
        p->close();
    });
}

TEST_F(PreviewTest, ClosingIsRefusedWhileThePagesAreMade)
{
    bool refused = false;
    Show(200, [](TFPPreview* p) { p->close(); }, [&] {
        QTimer::singleShot(0, &caller, [&] {
            // Runs from the first page's events, before the last page exists.
            ASSERT_TRUE(FPPreview && FPPreview->Generating);
            FPPreview->close();
            refused = FPPreview->isVisible() && !caller.isEnabled();
        });
    });
    EXPECT_TRUE(refused);
    EXPECT_TRUE(caller.isEnabled());
}

TEST_F(PreviewTest, PrintsTheChosenPagesAndCopiesToPdf)
{
    const struct {
        bool accept;
        int from, to, copies;
        int pages; // -1: no file
    } cases[] = {{true, 0, 0, 1, 4}, {true, 2, 3, 1, 2}, {true, 2, 3, 2, 4}, {false, 0, 0, 1, -1}};
    for (const auto& c : cases) {
        const QString pdf = Path("printed.pdf");
        QFile::remove(pdf);
        TFPPreview::SetPrintSetup([&](QPrinter& printer, int pageCount, QWidget*) {
            EXPECT_EQ(pageCount, 4);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setPrintRange(c.from ? QPrinter::PageRange : QPrinter::AllPages);
            printer.setFromTo(c.from, c.to);
            printer.setCopyCount(c.copies);
            return c.accept;
        });
        Show(200, [](TFPPreview* p) {
            p->Print->trigger();
            p->close();
        });
        EXPECT_EQ(QFile::exists(pdf) ? PdfPages(pdf) : -1, c.pages) << c.from << "-" << c.to << " x" << c.copies;
        QByteArray text;
        if (c.pages == 4 && c.copies == 1) {
            ASSERT_TRUE(RunTool("pdftotext", {pdf, "-"}, &text));
            EXPECT_TRUE(text.contains("Canal 1\n") && text.contains("Canal 200"));
        }
    }
}

TEST_F(PreviewTest, CancelInTheProgressWindowLeavesNoFile)
{
    const QString pdf = Path("cancelled.pdf");
    TFPPreview::SetPrintSetup([&](QPrinter& printer, int, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    Show(200, [&](TFPPreview* p) {
        WhenModal(p, [](QWidget* progress) {
            EXPECT_EQ(progress->windowTitle(), ToQt(LangText(2110)));
            EXPECT_FALSE(progress->windowFlags() & Qt::WindowCloseButtonHint);
            progress->findChild<QPushButton*>("PrintCancel")->click();
        });
        QThread::msleep(20); // the watch is due at the print's first look at its events
        p->Print->trigger();
        EXPECT_FALSE(p->Printing);
        p->close();
    });
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(PreviewTest, SavesThroughTheChosenFilterAndReportsAFailure)
{
    const QStringList filters = ReportFilterStrings();
    const int csv = int(std::find_if(ReportFilters().begin(), ReportFilters().end(),
                                     [](const ReportFilter& f) { return f.extension == "csv"; }) -
                        ReportFilters().begin());
    ASSERT_LT(csv, filters.size());
    const struct {
        QString name;
        int filter;
    } saves[] = {{Path("list.pdf"), 0}, {Path("list.csv"), csv}, {Path("missing/list.csv"), csv}, {QString(), 0}};
    std::size_t next = 0;
    TFPPreview::SetSaveAsker([&](QWidget*, const QString& caption, const QStringList& offered, int* filter) {
        EXPECT_EQ(caption, ToQt(LangText(2109)));
        EXPECT_EQ(offered, filters);
        *filter = saves[next].filter;
        return saves[next++].name;
    });
    Show(200, [&](TFPPreview* p) {
        for (std::size_t i = 0; i < std::size(saves); ++i)
            p->Save->trigger();
        p->close();
    });
    EXPECT_EQ(PdfPages(saves[0].name), 4);
    QFile file(saves[1].name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.contains("Canal 200"));
    EXPECT_EQ(bytes.count("\r\n"), 201);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_NE(boxes.Boxes()[0].text.find("missing"), std::string::npos);
}
