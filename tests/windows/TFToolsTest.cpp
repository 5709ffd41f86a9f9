// The tools list in the main window, driven as a user would: a row is
// selected and opened with Enter or a double click; the receiver emulator
// answers on a pseudo-terminal.
#include "windows/TFTools.h"

#include "database/TVexaData.h"
#include "database/VexaSamples.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "link/LinkTestSupport.h"
#include "link/TVexaComm.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"
#include "support/qt/ModalDialogs.h"
#include "support/qt/ScriptedFileDialogs.h"
#include "windows/MainWindowTestSupport.h"
#include "windows/TFErrors.h"
#include "windows/TFMain.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace {

class ToolsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetFileDialogs(&files);
        for (int n : {2, 4, 5, 6})
            TFTools::SetTool(n, [this, n](QWidget*, TVexaComm*, TVexaData&) { ran.push_back(n); });
    }
    void TearDown() override
    {
        main.reset();
        for (int n : {2, 4, 5, 6})
            TFTools::SetTool(n, {});
        SetFileDialogs(nullptr);
    }

    void Start(const std::map<int, std::string>& portMap = {}, const QStringList& params = {})
    {
        ports.emplace(portMap);
        TFMainSetup setup;
        setup.Params = params;
        setup.LanguageFolder = "";
        setup.ConfigFile = (dir / "vexautils.Ini").string();
        main = std::make_unique<TFMain>(setup);
        main->show();
        ASSERT_TRUE(WaitUntil([this] { return main->Option() == 5; }));
    }

    void NewList()
    {
        main->Listadecanalesnueva1->trigger();
        main->SelectOption(5);
    }

    // Selects the tool's row and opens it: Return, keypad Enter for odd
    // tools, or a double click.
    void Open(int tool, bool doubleClick = false)
    {
        QTreeView* view = main->ListMain;
        const QModelIndex row = view->model()->index(tool, 0);
        view->selectionModel()->select(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        if (doubleClick)
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(row).center());
        else if (tool % 2)
            QTest::keyClick(view, Qt::Key_Enter, Qt::KeypadModifier);
        else
            QTest::keyClick(view, Qt::Key_Return);
    }

    std::vector<std::string> Texts(BoxKind kind) const
    {
        std::vector<std::string> texts;
        for (const auto& box : boxes.Boxes())
            if (box.kind == kind)
                texts.push_back(box.text);
        return texts;
    }

    QtEventLoopScope loop;
    TempDir dir;
    std::optional<PortEnv> ports;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs files;
    std::unique_ptr<TFMain> main;
    std::vector<int> ran; // the plugged tools that ran
};

} // namespace

// Before a list exists only the firmware tool (which asks whether to go on
// without a receiver) and the key sequence pass their guards; the factory
// data needs a receiver. With a list every list guard passes.
TEST_F(ToolsTest, EachToolRunsItsGuardFirst)
{
    Start();
    const std::string noList = LangText(1103);
    const std::string withoutList[9] = {LangText(1518), LangText(1102), noList, noList, noList, "", noList,
                                        noList, noList};
    for (int tool = 0; tool < 9; ++tool) {
        SCOPED_TRACE(tool);
        boxes.Clear();
        ran.clear();
        Open(tool, tool == 3);
        EXPECT_EQ(Texts(BoxKind::Error).size() + Texts(BoxKind::Confirm).size(), withoutList[tool].empty() ? 0u : 1u);
        EXPECT_EQ(boxes.Boxes().empty() ? "" : boxes.Boxes()[0].text, withoutList[tool]);
        EXPECT_EQ(ran, tool == 5 ? std::vector<int>{5} : std::vector<int>{});
    }

    NewList();
    boxes.Clear();
    ran.clear();
    for (int tool : {2, 4, 6})
        Open(tool);
    EXPECT_EQ(ran, (std::vector<int>{2, 4, 6}));
    EXPECT_TRUE(boxes.Boxes().empty());

    // Enter without a selected row runs nothing.
    main->ListMain->selectionModel()->clearSelection();
    QTest::keyClick(main->ListMain, Qt::Key_Return);
    EXPECT_EQ(ran.size(), 3u);
}

TEST_F(ToolsTest, SummaryAndRemovalOfUnusedRecordsCountTheFourLists)
{
    Start();
    NewList();
    Open(7);
    EXPECT_EQ(Texts(BoxKind::Info),
              std::vector<std::string>{"Hay definidos\r\r0 Canales\r0 Sat\xE9lites\r0 Antenas\r0 Transponders"});

    // Three satellites, only the first used by the two channels.
    samples::Build(*main->Data, 3, 4, 2, 2);
    for (int i = 0; i < 2; ++i)
        main->Data->Channels.Get(i)->Satelite = main->Data->Satelites.Get(0);
    for (BoxAnswer answer : {BoxAnswer::No, BoxAnswer::Yes}) {
        boxes.Clear();
        boxes.Answer(answer);
        Open(8);
        EXPECT_EQ(Texts(BoxKind::Confirm), std::vector<std::string>{LangText(1908)});
    }
    EXPECT_EQ(Texts(BoxKind::Info),
              std::vector<std::string>{LangText(1907) + ": \r\r2 Canales\r1 Sat\xE9lites\r2 Antenas\r2 Transponders"});
}

// "Arreglar Errores" repairs the list and shows the repair log alone, in the
// same window without the button; closing the report otherwise changes nothing.
TEST_F(ToolsTest, CheckShowsTheErrorsAndRepairsOnlyWhenAsked)
{
    Start();
    NewList();
    Open(3);
    EXPECT_EQ(Texts(BoxKind::Info), std::vector<std::string>{LangText(1916)});

    for (bool repair : {false, true}) {
        SCOPED_TRACE(repair);
        samples::Build(*main->Data, 3, 6, 2, 8);
        main->Data->Satelites.Delete(1); // transponders, an antenna and channels lose their satellite
        TVexaData before, repaired;
        before.Assign(*main->Data);
        repaired.Assign(before);
        std::vector<std::string> errors, log;
        ASSERT_TRUE(repaired.Check(&errors));
        repaired.Repair(log);

        std::vector<std::string> seen, want = {LangText(1914), ToQt(errors.front()).toStdString()};
        auto look = [&](QWidget* modal) {
            auto* report = qobject_cast<TFErrors*>(modal);
            ASSERT_TRUE(report);
            const QStringList lines = report->R->toPlainText().split(QLatin1Char('\n'));
            seen.insert(seen.end(), {FromQt(report->windowTitle()), lines.first().toStdString()});
            EXPECT_EQ(lines.size(), static_cast<qsizetype>(report->BitBtn1->isVisible() ? errors.size() : log.size()));
        };
        WhenModal(main.get(), [&](QWidget* modal) {
            look(modal);
            if (!repair)
                return static_cast<QDialog*>(modal)->reject();
            WhenModal(main.get(), [&](QWidget* second) {
                look(second);
                QTest::keyClick(second, Qt::Key_Escape);
            });
            qobject_cast<TFErrors*>(modal)->BitBtn1->click();
        });
        Open(3);
        if (repair)
            want.insert(want.end(), {LangText(1915), ToQt(log.front()).toStdString()});
        EXPECT_EQ(seen, want);
        EXPECT_EQ(main->Data->Equals(before), !repair);
        EXPECT_EQ(main->Data->Check(), !repair);
    }
}

// The receiver's image is stored exactly as read, always as ".Dat", through
// the main window's all-or-nothing write; the lists stay as they were.
TEST_F(ToolsTest, FactoryDataIsSavedByteForByteAsDat)
{
    ReceiverEmulator emulator;
    std::vector<std::uint8_t> image(ReceiverEmulator::kImageSize);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + i / 251); // no channel list at all
    emulator.SetImage(image);
    Start({{3, emulator.DevicePath()}}, {"COM3"});
    ASSERT_TRUE(WaitUntil([this] { return main->Comm->Connected(); }));

    struct Row {
        std::string typed; // "" cancels the save dialog
        size_t errors;
    };
    for (const Row& row : {Row{"factory.Bin", 0}, Row{"", 0}, Row{"missing/factory.dat", 1}}) {
        SCOPED_TRACE(row.typed);
        boxes.Clear();
        files.AnswerNext(row.typed.empty() ? QString() : QString::fromStdString((dir / row.typed).string()));
        Open(1);
        EXPECT_EQ(files.Requests().back().extension, QStringLiteral("Dat"));
        EXPECT_EQ(Texts(BoxKind::Error).size(), row.errors);
    }
    EXPECT_EQ(ReadFileBytes(dir / "factory.Dat"), std::string(image.begin(), image.end()));
    EXPECT_FALSE(std::filesystem::exists(dir / "factory.Bin"));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
    EXPECT_FALSE(main->ListLoaded());
    EXPECT_EQ(main->Data->Channels.Count(), 0);
}
