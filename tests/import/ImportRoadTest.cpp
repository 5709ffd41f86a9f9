// The import road from the source dialog to the merge: files in a temporary
// folder, the listing service and the update chooser scripted away.
#include "import/ImportRoad.h"

#include "database/TVexaData.h"
#include "database/VexaSamples.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "import/TFChooseSrc.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/ScriptedWaitBox.h"
#include "support/TempDir.h"
#include "support/qt/ModalDialogs.h"
#include "support/qt/ScriptedFileDialogs.h"
#include "windows/MainWindowTestSupport.h"
#include "windows/tools/TFErrors.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>

namespace {

// A 127-column SDX line: satellite name, frequency, channel name, position,
// symbol rate and a free service in their columns.
std::string Sdx(int position, int frequency, const char* name = "Canal 1")
{
    char line[128];
    std::snprintf(line, sizeof line, "SATCODX103Sat %-14d%5s%06d    %-8.8s%04d%14s27500%37s___%13s", position, "",
                  frequency, name, position, "", "", "");
    return line;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::string Image(TVexaData& data)
{
    std::vector<std::uint8_t> image;
    EXPECT_TRUE(data.SaveToImage(image));
    return std::string(image.begin(), image.end());
}

// Picks the source of a road code as a user would (0 cancels): a click on
// the choice and OK (way 0), or a double click on its picture (1) or on the
// choice itself (2). OK stays disabled until something is chosen.
void ChooseSource(int code, int way = 0)
{
    WhenModal(qApp, [code, way](QWidget* modal) {
        auto* d = qobject_cast<TFChooseSrc*>(modal);
        ASSERT_TRUE(d);
        QRadioButton* choices[] = {d->RadioButton2, d->RadioButton3, d->RadioButton1, d->RadioButton4,
                                   d->RadioButton5};
        QLabel* pictures[] = {d->Image2, d->Image3, d->Image1, d->Image4, d->Image5};
        EXPECT_FALSE(d->BitBtn1->isEnabled());
        if (code == 0)
            return d->BitBtn2->click();
        QWidget* target = way == 1 ? static_cast<QWidget*>(pictures[code - 1]) : choices[code - 1];
        if (way > 0)
            return QTest::mouseDClick(target, Qt::LeftButton, {}, target->rect().center());
        choices[code - 1]->click();
        d->BitBtn1->click();
    });
}

} // namespace

// Every reader's result is honoured: a cancel ends the road silently, a
// failure is reported as what it is, and only a whole list is merged. A list
// that fails the check is never merged; the user may look at its errors in a
// report that offers no repair.
TEST(ImportRoad, OnlyAWholeListReachesTheChooser)
{
    QtEventLoopScope loop;
    TempDir dir;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs files;
    SetFileDialogs(&files);
    TVexaData current;
    std::optional<TVexaData> merged;  // what reached the update chooser
    std::vector<std::string> listing; // the download; empty: its dialog was closed
    ImportRoad::SetUpdateChooser([&](QWidget*, TVexaData& into, TVexaData& incoming) {
        EXPECT_EQ(&into, &current);
        merged.emplace().Assign(incoming);
    });
    ImportRoad::SetListingSource([&](QWidget*, std::vector<std::string>& lines) {
        lines = listing;
        return !lines.empty();
    });

    TVexaData sample;
    samples::Build(sample, 3, 6, 2, 12);
    std::vector<std::string> txt, fullSatelites, fullTransponders;
    sample.SaveToTxt(true, txt);
    for (int p = 0; p <= TVexaData::MaxSatelites; ++p)
        fullSatelites.push_back(Sdx(p * 10, 11778));
    for (int f = 0; f <= TVexaData::MaxTransponders; ++f)
        fullTransponders.push_back(Sdx(192, 10000 + f));
    const std::string question = "? " + LangText(1913);
    const std::vector<std::string> download = {"header", Sdx(130, 11000), Sdx(282, 11000), Sdx(130, 12000)};
    const std::string nuls(20, '\0'); // TVs fill unused columns with them
    std::vector<std::string> nulComment = txt, nulChannel = txt;
    nulComment[1][5] = '\0';
    nulChannel[nulChannel.size() - 6] += '\0';
    TVexaData broken; // reads, but fails the check
    samples::Build(broken, 3, 6, 2, 12);
    broken.Satelites.Delete(0);

    struct Row {
        std::string name; // the file chosen; "" cancels the file dialog
        int source;       // 0 cancels the source dialog
        std::optional<std::string> content; // none: no such file (or a closed download dialog)
        int cancelAfterPolls;               // the wait box; -1 never
        std::vector<std::string> errors; // also questions ("? ") and error reports ("[caption]")
        int channels; // handed to the chooser; -1 when it was not reached
    };
    const std::string cannotOpen = LangText(130) + " " + dir.path().string() + "/";
    const Row rows[] = {
        {"list.Txt", ImportRoad::TextList, JoinLines(txt), -1, {}, 12},
        {"foreign.Txt", ImportRoad::TextList, "not a channel list\r\n", -1, {LangText(133)}, -1},
        {"cancelled.Txt", ImportRoad::TextList, JoinLines(txt), 0, {}, -1},
        {"gone.Txt", ImportRoad::TextList, std::nullopt, -1, {cannotOpen + "gone.Txt"}, -1},
        {"tail.Dat", ImportRoad::Binary, Image(sample) + std::string(70000, 'x'), -1, {}, 12},
        {"broken.Dat", ImportRoad::Binary, Image(broken), -1, {question, "[" + LangText(1914) + "]"}, -1},
        {"short.Dat", ImportRoad::Binary, Image(sample).substr(0, 1000), -1, {LangText(131)}, -1},
        {"empty.Max", ImportRoad::Max, "", -1, {}, 0},
        {"short.Max", ImportRoad::Max, "{{1,2,3}}", -1, {LangText(1611)}, -1},
        {"cancelled.Max", ImportRoad::Max, "{{1,2,3,4,5,6,7,8,9,10,11}}", 0, {}, -1},
        {"", ImportRoad::Max, std::nullopt, -1, {}, -1},
        {"two.Sdx", ImportRoad::Sdx, JoinLines({Sdx(192, 11778, "Canal\xE9\xF1!"), Sdx(192, 11778)}), -1, {}, 2},
        {"nul.Sdx", ImportRoad::Sdx, JoinLines({Sdx(192, 11778, "Canal\xE9\xF1!") + nuls, Sdx(130, 1) + nuls, Sdx(192, 2)}),
         -1, {}, 3},
        {"nul comment.Txt", ImportRoad::TextList, JoinLines(nulComment), -1, {}, 12},
        {"nul.Txt", ImportRoad::TextList, JoinLines(nulChannel), -1, {LangText(133)}, -1},
        {"nul.Max", ImportRoad::Max, "{{1,0,0,0,0,0,0,0,0,0,0}}" + nuls + "{{0,1,\"A\",0,0,0,0}}", -1, {}, 1},
        {"satelites.Sdx", ImportRoad::Sdx, JoinLines(fullSatelites), -1, {LangText(3022)}, -1},
        {"transponders.Sdx", ImportRoad::Sdx, JoinLines(fullTransponders), -1, {LangText(3023)}, -1},
        {"", ImportRoad::Internet, "", -1, {}, 3},
        {"", ImportRoad::Internet, std::nullopt, -1, {}, -1},
        {"", 0, std::nullopt, -1, {}, -1},
    };
    int way = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name + " from source " + std::to_string(row.source));
        boxes.Clear();
        merged.reset();
        ScriptedWaitBoxes waits(row.cancelAfterPolls);
        listing = row.content ? download : std::vector<std::string>{};
        if (row.content && !row.name.empty())
            WriteFileBytes(dir / row.name, *row.content);
        ChooseSource(row.source, way++ % 3);
        std::string report;
        if (!row.errors.empty() && row.errors[0] == question) {
            boxes.Answer(BoxAnswer::Yes);
            WhenShown<TFErrors>([&](TFErrors* shown) {
                const bool offered = shown->BitBtn1->isEnabled() || shown->R->toPlainText().isEmpty();
                report = "[" + FromQt(shown->windowTitle()) + (offered ? " with repair" : "") + "]";
                shown->reject();
            });
        }
        if (row.source >= ImportRoad::TextList && row.source <= ImportRoad::Sdx)
            files.AnswerNext(row.name.empty() ? QString() : QString::fromStdString((dir / row.name).string()));
        ImportRoad::Run(nullptr, nullptr, current);

        EXPECT_EQ(files.Unanswered(), 0u);
        std::vector<std::string> shown;
        for (const auto& box : boxes.Boxes())
            shown.push_back((box.kind == BoxKind::Error ? "" : "? ") + box.text);
        if (!report.empty())
            shown.push_back(report);
        EXPECT_EQ(shown, row.errors);
        EXPECT_EQ(merged.has_value(), row.channels >= 0);
        if (merged) {
            EXPECT_TRUE(merged->Channels.Count() == row.channels && merged->Valid);
        }
        if (merged && row.source == ImportRoad::Sdx) { // columns cut from the bytes as read
            EXPECT_EQ(merged->Channels.Get(0)->Name.str().substr(0, 8), "Canal\xE9\xF1!");
        }
    }
    ImportRoad::SetUpdateChooser({});
    ImportRoad::SetListingSource({});
    SetFileDialogs(nullptr);
}
