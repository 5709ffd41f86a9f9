// Times printing a list from the column dialog: from the press of Print to
// the first page painted in the preview window, and to every page made (the
// print and save commands usable), for lists of 200, 2500 and 10,000 rows
// with the dialog's defaults (every column, 10 points, one block, columns
// fitted to their content). Each figure is the median of several runs.
//
//   preview_timing [runs]        (QT_QPA_PLATFORM=offscreen works)
#include "foundation/ui/TFWait.h"
#include "printing/TFMainList.h"
#include "printing/TFPPreview.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// A list like the channel list: an icon and a name, a service id, a
// satellite, a frequency.
std::unique_ptr<QStandardItemModel> ChannelList(int rows)
{
    // Two icons shared by every row, as the program's lists have them.
    QPixmap tvPicture(16, 16), radioPicture(16, 16);
    tvPicture.fill(QColor(40, 90, 200));
    radioPicture.fill(QColor(200, 120, 40));
    const QIcon tv(tvPicture), radio(radioPicture);
    auto model = std::make_unique<QStandardItemModel>(rows, 4);
    model->setHorizontalHeaderLabels({"Nombre", "Sid", "Satélite", "Frecuencia"});
    for (int r = 0; r < rows; ++r) {
        auto* name = new QStandardItem(QStringLiteral("Channel %1").arg(r + 1));
        name->setIcon(r % 5 == 0 ? radio : tv);
        model->setItem(r, 0, name);
        model->setItem(r, 1, new QStandardItem(QString::number(28000 + r)));
        model->setItem(r, 2, new QStandardItem(QStringLiteral("Astra 19.2E")));
        model->setItem(r, 3, new QStandardItem(QString::number(10700 + r % 1200)));
    }
    return model;
}

// Sees the preview's pages painted and its commands come on.
class Watch : public QObject {
public:
    QElapsedTimer clock;
    double firstPage = -1;
    double allPages = -1;
    int pages = 0;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        TFPPreview* p = FPPreview;
        if (event->type() != QEvent::Paint || !p || firstPage >= 0 || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (!p->Preview->isAncestorOf(widget) || p->Preview->pageCount() < 1)
            return false;
        // The clock stops once the page has been drawn, not when asked to draw.
        qApp->removeEventFilter(this);
        QCoreApplication::sendEvent(widget, event);
        firstPage = clock.nsecsElapsed() / 1e6;
        return true;
    }

    void Poll()
    {
        TFPPreview* p = FPPreview;
        if (allPages < 0 && p && p->isVisible() && !p->Generating && p->Print->isEnabled())
            allPages = clock.nsecsElapsed() / 1e6;
        if (allPages >= 0 && firstPage >= 0 && p->isVisible()) {
            pages = p->Preview->pageCount();
            p->Cerrar->trigger();
        }
    }
};

struct Timing {
    double firstPage, allPages;
    int pages;
};

Timing PrintOnce(int rows)
{
    auto model = ChannelList(rows);
    QTreeView view;
    view.setModel(model.get());
    TFMainList dialog;
    Watch watch;
    // The commands are looked at after every event the preview's run lets
    // through, so the moment they come on is seen to within one event.
    QObject::connect(qApp->eventDispatcher(), &QAbstractEventDispatcher::awake, &watch, [&] { watch.Poll(); });
    QTimer::singleShot(0, &dialog, [&] {
        qApp->installEventFilter(&watch);
        watch.clock.start();
        dialog.BitBtn5->click();
        dialog.BitBtn6->click();
    });
    dialog.ListPrint(&view, "Listado de Canales", "");
    return {watch.firstPage, watch.allPages, watch.pages};
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    InstallWaitBoxFactory();
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    PrintOnce(50); // fonts and the preview window made once, as in a running program
    std::printf("Print pressed in the column dialog, median of %d runs\n", runs);
    std::printf("%8s %6s %16s %16s\n", "rows", "pages", "first page (ms)", "all pages (ms)");
    for (int rows : {200, 2500, 10000}) {
        std::vector<double> first, all;
        int pages = 0;
        for (int r = 0; r < runs; ++r) {
            const Timing t = PrintOnce(rows);
            first.push_back(t.firstPage);
            all.push_back(t.allPages);
            pages = t.pages;
        }
        std::printf("%8d %6d %16.2f %16.2f\n", rows, pages, Median(first), Median(all));
    }
    return 0;
}
