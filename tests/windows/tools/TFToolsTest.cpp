// The tools list in the main window, driven as a user would: a row is
// selected and opened with Enter or a double click; the receiver emulator
// answers on a pseudo-terminal.
#include "windows/tools/TFTools.h"

#include "database/VexaSamples.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "link/TVexaComm.h"
#include "support/qt/ColumnWidths.h"
#include "support/qt/ModalDialogs.h"
#include "windows/MainWindowTestSupport.h"
#include "windows/tools/TFErrors.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using Texts = std::vector<std::string>;

std::string Joined(const Texts& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\n") + line;
    return text;
}

class ToolsTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        for (int n : {2, 4, 5, 6})
            TFTools::SetTool(n, [this, n](QWidget*, TVexaComm*, TVexaData&) { ran.push_back(n); });
    }
    void TearDown() override
    {
        MainWindowFixture::TearDown();
        for (int n : {2, 4, 5, 6})
            TFTools::SetTool(n, {});
    }
    void NewList() { main->Listadecanalesnueva1->trigger(); main->SelectOption(5); }

    // Selects the tool's row and opens it: Return, keypad Enter for odd tools, or a double click.
    void Open(int tool, bool doubleClick = false)
    {
        QTreeView* view = main->ListMain;
        const QModelIndex row = view->model()->index(tool, 0);
        view->selectionModel()->select(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        if (doubleClick) { // a first click, then the second press
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(row).center());
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(row).center());
        } else {
            QTest::keyClick(view, tool % 2 ? Qt::Key_Enter : Qt::Key_Return, tool % 2 ? Qt::KeypadModifier : Qt::NoModifier);
        }
    }

    std::vector<int> ran; // the plugged tools that ran
};

} // namespace

// Before a list exists only the firmware tool (which asks whether to go on
// without a receiver) and the key sequence pass their guards; the factory
// data needs a receiver. With a list every list guard passes; the summary
// and the removal count the four lists.
TEST_F(ToolsTest, EachToolRunsItsGuardFirst)
{
    Start();
    const std::string noList = LangText(1103);
    const std::string withoutList[9] = {LangText(1518), LangText(1102), noList, noList, noList, "", noList,
                                        noList, noList};
    for (int tool = 0; tool < 9; ++tool) {
        Open(tool, tool == 3);
        EXPECT_EQ(Shown(), withoutList[tool].empty() ? Texts{} : Texts{withoutList[tool]}) << tool;
    }
    EXPECT_EQ(ran, std::vector<int>{5});

    NewList();
    ran.clear();
    for (int tool : {2, 4, 6, 7})
        Open(tool);
    EXPECT_EQ(ran, (std::vector<int>{2, 4, 6}));
    boxes.Answer(BoxAnswer::No);
    Open(8);
    boxes.Answer(BoxAnswer::Yes);
    Open(8);
    const std::string counts = "\r\r0 Canales\r0 Sat\xE9lites\r0 Antenas\r0 Transponders";
    EXPECT_EQ(Shown(), (Texts{"Hay definidos" + counts, LangText(1908), LangText(1908), LangText(1907) + ": " + counts}));

    // Enter without a selected row runs nothing.
    main->ListMain->selectionModel()->clearSelection();
    QTest::keyClick(main->ListMain, Qt::Key_Return);
    EXPECT_EQ(ran.size(), 3u);

    // The one column shows the longest caption whole and follows the window as it grows.
    QTreeView* view = main->ListMain;
    EXPECT_GE(view->header()->sectionSize(0), CellNeeds(view, ToQt(LangText(1953)), true));
    main->resize(main->width() + 600, main->height());
    EXPECT_TRUE(WaitUntil([view] { return view->header()->sectionSize(0) == view->viewport()->width(); }));
}

// "Arreglar Errores" repairs the list and shows the repair log alone, in the
// same window without the button.
TEST_F(ToolsTest, CheckShowsTheErrorsAndRepairsWhenAsked)
{
    Start();
    NewList();
    Open(3);
    EXPECT_EQ(Shown(), Texts{LangText(1916)});
    samples::Build(*main->Data, 3, 6, 2, 8);
    main->Data->Satelites.Delete(1); // transponders, an antenna and channels lose their satellite
    TVexaData repaired;
    repaired.Assign(*main->Data);
    Texts errors, log, seen;
    repaired.Check(&errors);
    repaired.Repair(log);
    auto look = [&](QWidget* modal) { // caption, text, and whether repair is offered
        auto* report = qobject_cast<TFErrors*>(modal);
        ASSERT_TRUE(report);
        seen.insert(seen.end(), {FromQt(report->windowTitle()), FromQt(report->R->toPlainText()),
                                 report->BitBtn1->isVisible() ? "repair" : ""});
    };
    WhenModal(main.get(), [&](QWidget* modal) {
        look(modal);
        WhenModal(main.get(), [&](QWidget* second) {
            look(second);
            QTest::keyClick(second, Qt::Key_Escape);
        });
        qobject_cast<TFErrors*>(modal)->BitBtn1->click();
    });
    Open(3);
    EXPECT_EQ(seen, (Texts{LangText(1914), Joined(errors), "repair", LangText(1915), Joined(log), ""}));
    EXPECT_TRUE(main->Data->Equals(repaired));
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
    portMap = {{3, emulator.DevicePath()}};
    Start({"COM3"});
    ASSERT_TRUE(WaitUntil([this] { return main->Comm->Connected(); }));

    // Typed with ".Bin", cancelled, and in a folder that does not exist.
    for (const std::string typed : {"factory.Bin", "", "missing/factory.dat"}) {
        files.AnswerNext(typed.empty() ? QString() : QString::fromStdString((dir / typed).string()));
        Open(1);
        EXPECT_EQ(files.Requests().back().extension, QStringLiteral("Dat"));
        EXPECT_EQ(Shown().size(), typed.rfind("missing", 0) == 0 ? 1u : 0u) << typed;
    }
    EXPECT_EQ(ReadFileBytes(dir / "factory.Dat"), std::string(image.begin(), image.end()));
    EXPECT_FALSE(std::filesystem::exists(dir / "factory.Bin"));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
    EXPECT_FALSE(main->ListLoaded());
}
