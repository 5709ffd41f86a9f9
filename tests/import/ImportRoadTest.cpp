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
#include "support/qt/ScriptedFileDialogs.h"
#include "windows/MainWindowTestSupport.h"
#include "windows/TFErrors.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

namespace {

// A 127-column SDX line with the columns the reader takes.
std::string Sdx(int position, int frequency, const std::string& name = "Canal 1")
{
    std::string line(127, ' ');
    auto put = [&line](int column, const std::string& text) { line.replace(column - 1, text.size(), text); };
    auto digits = [](int value, int width) {
        std::string text = std::to_string(value);
        return std::string(static_cast<size_t>(width) - text.size(), '0') + text;
    };
    put(1, "SATCODX103");
    put(11, "Sat " + std::to_string(position));
    put(34, digits(frequency, 6));
    put(44, name.substr(0, 8));
    put(52, digits(position, 4));
    put(70, "27500");
    put(112, "___");
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

// Picks the source of a road code in the source dialog and presses OK; 0 cancels.
void ChooseSource(int code)
{
    WhenShown<TFChooseSrc>([code](TFChooseSrc* d) {
        QRadioButton* byCode[] = {d->RadioButton2, d->RadioButton3, d->RadioButton1, d->RadioButton4,
                                  d->RadioButton5};
        if (code > 0)
            byCode[code - 1]->click();
        (code > 0 ? d->BitBtn1 : d->BitBtn2)->click();
    });
}

class ImportRoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetFileDialogs(&files);
        ImportRoad::SetUpdateChooser([this](QWidget*, TVexaData& current, TVexaData& incoming) {
            EXPECT_EQ(&current, &this->current);
            merged.emplace();
            merged->Assign(incoming);
        });
        ImportRoad::SetListingSource([this](QWidget*, std::vector<std::string>& lines) {
            lines = listing;
            return !listing.empty();
        });
    }
    void TearDown() override
    {
        ImportRoad::SetUpdateChooser({});
        ImportRoad::SetListingSource({});
        SetFileDialogs(nullptr);
    }

    QtEventLoopScope loop;
    TempDir dir;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs files;
    TVexaData current;
    std::optional<TVexaData> merged; // what reached the update chooser
    std::vector<std::string> listing; // the download; empty: the dialog was closed
};

} // namespace

// Every reader's result is honoured: a cancel ends the road silently, a
// failure is reported as what it is, and only a whole list is merged.
TEST_F(ImportRoadTest, OnlyAWholeListReachesTheChooser)
{
    TVexaData sample;
    samples::Build(sample, 3, 6, 2, 12);
    std::vector<std::string> txt, fullSatelites, fullTransponders;
    sample.SaveToTxt(true, txt);
    for (int p = 0; p <= TVexaData::MaxSatelites; ++p)
        fullSatelites.push_back(Sdx(p * 10, 11778));
    for (int f = 0; f <= TVexaData::MaxTransponders; ++f)
        fullTransponders.push_back(Sdx(192, 10000 + f));
    std::filesystem::create_directory(dir / "folder.Dat");
    const std::vector<std::string> download = {"header", Sdx(130, 11000), Sdx(282, 11000), Sdx(130, 12000)};

    struct Row {
        std::string name; // the file chosen; "" cancels the file dialog
        int source;       // 0 cancels the source dialog
        std::optional<std::string> content; // none: no such file (or a closed download dialog)
        int cancelAfterPolls;               // the wait box; -1 never
        std::vector<std::string> errors;
        int channels; // handed to the chooser; -1 when it was not reached
    };
    const std::string cannotOpen = LangText(130) + " " + dir.path().string() + "/";
    const Row rows[] = {
        {"list.Txt", ImportRoad::TextList, JoinLines(txt), -1, {}, 12},
        {"foreign.Txt", ImportRoad::TextList, "not a channel list\r\n", -1, {LangText(133)}, -1},
        {"cancelled.Txt", ImportRoad::TextList, JoinLines(txt), 0, {}, -1},
        {"gone.Txt", ImportRoad::TextList, std::nullopt, -1, {cannotOpen + "gone.Txt"}, -1},
        {"tail.Dat", ImportRoad::Binary, Image(sample) + std::string(70000, 'x'), -1, {}, 12},
        {"short.Dat", ImportRoad::Binary, Image(sample).substr(0, 1000), -1, {LangText(131)}, -1},
        {"folder.Dat", ImportRoad::Binary, std::nullopt, -1, {cannotOpen + "folder.Dat"}, -1},
        {"empty.Max", ImportRoad::Max, "", -1, {}, 0},
        {"short.Max", ImportRoad::Max, "{{1,2,3}}", -1, {LangText(1611)}, -1},
        {"cancelled.Max", ImportRoad::Max, "{{1,2,3,4,5,6,7,8,9,10,11}}", 0, {}, -1},
        {"", ImportRoad::Max, std::nullopt, -1, {}, -1},
        {"two.Sdx", ImportRoad::Sdx, JoinLines({Sdx(192, 11778, "Canal\xE9\xF1!"), Sdx(192, 11778)}), -1, {}, 2},
        {"satelites.Sdx", ImportRoad::Sdx, JoinLines(fullSatelites), -1, {LangText(3022)}, -1},
        {"transponders.Sdx", ImportRoad::Sdx, JoinLines(fullTransponders), -1, {LangText(3023)}, -1},
        {"", ImportRoad::Internet, "", -1, {}, 3},
        {"", ImportRoad::Internet, std::nullopt, -1, {}, -1},
        {"", 0, std::nullopt, -1, {}, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name + " from source " + std::to_string(row.source));
        boxes.Clear();
        merged.reset();
        ScriptedWaitBoxes waits(row.cancelAfterPolls);
        listing = row.content ? download : std::vector<std::string>{};
        if (row.content && !row.name.empty())
            WriteFileBytes(dir / row.name, *row.content);
        ChooseSource(row.source);
        if (row.source >= ImportRoad::TextList && row.source <= ImportRoad::Sdx)
            files.AnswerNext(row.name.empty() ? QString() : QString::fromStdString((dir / row.name).string()));
        ImportRoad::Run(nullptr, nullptr, current);

        EXPECT_EQ(files.Unanswered(), 0u);
        std::vector<std::string> shown;
        for (const auto& box : boxes.Boxes())
            shown.push_back(box.kind == BoxKind::Error ? box.text : "not an error: " + box.text);
        EXPECT_EQ(shown, row.errors);
        ASSERT_EQ(merged.has_value(), row.channels >= 0);
        if (merged) {
            EXPECT_EQ(merged->Channels.Count(), row.channels);
            EXPECT_TRUE(merged->Valid);
        }
        // SDX columns are cut from the bytes as read.
        if (merged && row.source == ImportRoad::Sdx) {
            EXPECT_EQ(merged->Channels.Get(0)->Name.str().substr(0, 8), "Canal\xE9\xF1!");
        }
    }
}

// A list that reads but fails the check is never merged; the user may look
// at the errors in a report that offers no repair.
TEST_F(ImportRoadTest, ListWithErrorsIsShownWithoutRepairAndNeverMerged)
{
    TVexaData broken;
    samples::Build(broken, 3, 6, 2, 12);
    broken.Satelites.Delete(0);
    const std::string image = Image(broken);
    WriteFileBytes(dir / "broken.Dat", image);
    TVexaData read;
    ASSERT_TRUE(read.LoadFromImage(std::span(reinterpret_cast<const std::uint8_t*>(image.data()), image.size())));
    std::vector<std::string> errors;
    ASSERT_TRUE(read.Check(&errors));

    boxes.Answer(BoxAnswer::Yes);
    std::string caption, firstLine;
    bool repairOffered = true;
    WhenShown<TFErrors>([&](TFErrors* report) {
        caption = FromQt(report->windowTitle());
        firstLine = FromQt(report->R->toPlainText().section(QLatin1Char('\n'), 0, 0));
        repairOffered = report->BitBtn1->isEnabled();
        report->reject();
    });
    ChooseSource(ImportRoad::Binary);
    files.AnswerNext(QString::fromStdString((dir / "broken.Dat").string()));
    ImportRoad::Run(nullptr, nullptr, current);

    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, LangText(1913));
    EXPECT_EQ(caption, LangText(1914));
    EXPECT_EQ(firstLine, errors.front());
    EXPECT_FALSE(repairOffered);
    EXPECT_FALSE(merged.has_value());
}
