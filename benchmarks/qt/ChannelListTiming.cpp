// Times the channel list with a full table of 2500 channels on a shown main
// list view: loading the view, selecting all, deleting all, moving and
// grouping blocks of 1000 rows, recounting the numbering; and counts the rows
// a scroll reads. Each figure is the median of several runs, painting
// included (the view is repainted before the clock stops), but for the
// sizing of the columns, timed alone.
//
//   channel_list_timing [runs]        (QT_QPA_PLATFORM=offscreen works)
#include "database/TVexaData.h"
#include "foundation/MessageBoxes.h"
#include "windows/lists/ChannelListModel.h"
#include "windows/lists/ListColumns.h"
#include "windows/lists/TFChannels.h"
#include "windows/lists/TFMover.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

class YesToEverything : public IMessageBoxes {
public:
    BoxAnswer Show(BoxKind, const std::string&, const std::string&) override { return BoxAnswer::Yes; }
};

void Fill(TVexaData& data)
{
    data.Clear();
    for (int s = 0; s < TVexaData::MaxSatelites; ++s)
        data.Satelites.New()->Name = "Sat " + std::to_string(s);
    for (int t = 0; t < TVexaData::MaxTransponders; ++t) {
        TTransponderRec* tp = data.Transponders.New();
        tp->Satelite = data.Satelites.Get(t % TVexaData::MaxSatelites);
        tp->Frequency = static_cast<std::uint16_t>(10700 + t);
        tp->Polar = t % 2 ? 'h' : 'v';
    }
    for (int c = 0; c < TVexaData::MaxChannels; ++c) {
        TChannelRec* ch = data.Channels.New();
        ch->Name = "Channel " + std::to_string(c);
        ch->Satelite = data.Satelites.Get(c % TVexaData::MaxSatelites);
        ch->Transponder = data.Transponders.Get(c % TVexaData::MaxTransponders);
        ch->ServiceId = static_cast<std::uint16_t>(c);
        ch->Favorites[c % 8] = 1;
        ch->Radio = c % 5 == 0;
    }
}

// The main window's part: a shown list view tagged with the channel option.
struct Stage {
    QTreeView view;
    QMenu numbering;
    TFChannels presenter;
    TVexaData data;

    Stage()
    {
        view.resize(800, 600);
        view.setProperty("Tag", 1);
        presenter.SetNumberingMenu(&numbering);
        Fill(data);
        view.show();
        QApplication::processEvents();
    }
    void Paint()
    {
        QApplication::processEvents();
        view.viewport()->repaint();
    }
    void Numbering(int mode) { numbering.actions()[mode]->trigger(); }
    void Select(const std::vector<int>& rows) { SelectRows(&view, rows); }
};

// Median milliseconds of runs of setup (untimed) then work (timed).
double Median(int runs, const std::function<void(Stage&)>& setup, const std::function<void(Stage&)>& work)
{
    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
        Stage stage;
        setup(stage);
        stage.Paint();
        QElapsedTimer clock;
        clock.start();
        work(stage);
        stage.Paint();
        ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void Report(const char* what, double ms)
{
    std::printf("%-58s %8.2f ms\n", what, ms);
}

std::vector<int> Range(int first, int count, int step = 1)
{
    std::vector<int> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(first + i * step);
    return rows;
}

// Counts the rows whose cells a view asks for.
class CountingModel : public ChannelListModel {
public:
    using ChannelListModel::ChannelListModel;
    mutable std::set<int> rowsRead;
    QVariant data(const QModelIndex& index, int role) const override
    {
        rowsRead.insert(index.row());
        return ChannelListModel::data(index, role);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    YesToEverything yes;
    SetMessageBoxes(&yes);
    const auto nothing = [](Stage&) {};
    const auto started = [](Stage& s) { s.presenter.Start(&s.view, nullptr, &s.data); };

    std::printf("2500 channels, 127 satellites, median of %d runs, painting included\n", runs);
    Report("load the view (Start, numbering off)", Median(runs, nothing, started));
    Report("load the view (Start, numbered per satellite)",
           Median(runs, [&](Stage& s) { started(s); s.Numbering(2); }, [&](Stage& s) { started(s); }));
    Report("select all", Median(runs, started, [](Stage& s) { s.view.selectAll(); }));
    Report("delete all (one block)",
           Median(runs, [&](Stage& s) { started(s); s.view.selectAll(); },
                  [](Stage& s) { s.presenter.BorrarCanal1Click(); }));
    Report("delete every other channel (1250 blocks)",
           Median(runs, [&](Stage& s) { started(s); s.Select(Range(0, 1250, 2)); },
                  [](Stage& s) { s.presenter.BorrarCanal1Click(); }));
    const auto drop = [](int target) {
        return [target](Stage& s) {
            TFMover mover;
            mover.Inicia(&s.view, &s.data);
            mover.MoveDrop(target);
        };
    };
    Report("move a block of 1000 rows (rows 200-1199 dropped on 2400)",
           Median(runs, [&](Stage& s) { started(s); s.Numbering(2); s.Select(Range(200, 1000)); }, drop(2400)));
    Report("move a block of 1000 rows one place down (dialog's down)",
           Median(runs, [&](Stage& s) { started(s); s.Numbering(2); s.Select(Range(200, 1000)); },
                  [](Stage& s) {
                      TFMover mover;
                      mover.Inicia(&s.view, &s.data);
                      mover.Mueve(1);
                  }));
    Report("move 1000 scattered rows (every other) one place up",
           Median(runs, [&](Stage& s) { started(s); s.Numbering(2); s.Select(Range(1, 1000, 2)); },
                  [](Stage& s) {
                      TFMover mover;
                      mover.Inicia(&s.view, &s.data);
                      mover.Mueve(-1);
                  }));
    Report("group 1000 scattered rows (every other from row 1)",
           Median(runs, [&](Stage& s) { started(s); s.Numbering(2); s.Select(Range(1, 1000, 2)); },
                  [](Stage& s) {
                      TFMover mover;
                      mover.Inicia(&s.view, &s.data);
                      mover.Agrupa();
                  }));
    Report("recount the numbering, per satellite (SetCounters)",
           Median(runs, [&](Stage& s) { started(s); s.Numbering(2); }, [](Stage& s) { s.presenter.SetCounters(); }));
    Report("recount the numbering, favourites 1 (SetCounters)",
           Median(runs, [&](Stage& s) { started(s); s.Numbering(3); }, [](Stage& s) { s.presenter.SetCounters(); }));
    Report("switch numbering mode (menu: none -> per satellite)",
           Median(runs, started, [](Stage& s) { s.Numbering(2); }));

    {
        // Sizing the columns alone, without the repaint it brings: the texts
        // gathered from 2500 channels, then measured.
        Stage stage;
        started(stage);
        const auto* model = static_cast<const ChannelListModel*>(stage.view.model());
        std::vector<double> ms;
        for (int r = 0; r < runs; ++r) {
            QElapsedTimer clock;
            clock.start();
            ListColumns sizes;
            sizes.Fit(&stage.view, model->ColumnFits());
            ms.push_back(clock.nsecsElapsed() / 1e6);
        }
        std::sort(ms.begin(), ms.end());
        Report("size the columns to 2500 names (no painting)", ms[ms.size() / 2]);
    }

    // Which rows a view reads: a full table, shown, then scrolled to the middle and the end.
    Stage stage;
    CountingModel model;
    model.Rebuild(&stage.data, {});
    stage.view.setModel(&model);
    stage.view.setUniformRowHeights(true);
    stage.view.setRootIsDecorated(false);
    stage.Paint();
    const auto readAfter = [&](const char* what, const std::function<void()>& act) {
        model.rowsRead.clear();
        act();
        stage.Paint();
        const int lo = model.rowsRead.empty() ? -1 : *model.rowsRead.begin();
        const int hi = model.rowsRead.empty() ? -1 : *model.rowsRead.rbegin();
        std::printf("%-58s %4zu rows read (rows %d to %d)\n", what, model.rowsRead.size(), lo, hi);
    };
    QScrollBar* bar = stage.view.verticalScrollBar();
    readAfter("repaint at the top", [] {});
    readAfter("scroll to the middle", [&] { bar->setValue(bar->maximum() / 2); });
    readAfter("scroll to the end", [&] { bar->setValue(bar->maximum()); });
    SetMessageBoxes(nullptr);
    return 0;
}
