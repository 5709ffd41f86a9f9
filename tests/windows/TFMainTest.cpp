// The main window driven as a user would: menus, option bar, dialogs
// answered from the event loop, files in a temporary folder and the
// receiver emulator on a pseudo-terminal.
#include "windows/TFMain.h"

#include "database/TVexaData.h"
#include "database/VexaSamples.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "link/TVexaComm.h"
#include "support/ScriptedWaitBox.h"
#include "support/qt/ColumnWidths.h"
#include "windows/MainWindowTestSupport.h"
#include "windows/lists/RecordListModel.h"
#include "windows/transfer/TFChooseData.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> SampleImage(int channels = 12)
{
    TVexaData data;
    samples::Build(data, 3, 6, 2, channels);
    std::vector<std::uint8_t> image;
    EXPECT_TRUE(data.SaveToImage(image));
    return image;
}

// The text list of data as the program writes it.
std::string TxtOf(const TVexaData& data, bool extended = false)
{
    std::vector<std::string> lines;
    data.SaveToTxt(extended, lines);
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

QString Q(const fs::path& p)
{
    return QString::fromStdString(p.string());
}

QString Text(int n)
{
    return ToQt(LangText(n));
}

// Picks a choice in the data-source dialog and presses OK.
enum class Source { Receiver, TextList, TextListExtended, Binary };

void ChooseSource(Source source)
{
    WhenShown<TFChooseData>([source](TFChooseData* d) {
        QRadioButton* const choices[] = {d->RadioButton1, d->RadioButton2, d->RadioButton2, d->RadioButton3};
        choices[static_cast<int>(source)]->click();
        if (source == Source::TextListExtended)
            d->CheckBox1->click();
        d->BitBtn1->click();
    });
}

class MainWindowTest : public MainWindowFixture {
protected:
    // Reads a file through the menu as a user would.
    void Load(const fs::path& file, Source source = Source::Binary)
    {
        ChooseSource(source);
        files.AnswerNext(Q(file));
        main->Obtenerlistadecanales1->trigger();
    }
    // Writes a sample list of that many channels to name and reads it.
    std::string LoadSample(const char* name = "list.Dat", int channels = 12)
    {
        const std::vector<std::uint8_t> image = SampleImage(channels);
        const std::string bytes(image.begin(), image.end());
        WriteFileBytes(dir / name, bytes);
        Load(dir / name);
        return bytes;
    }
};

} // namespace

TEST_F(MainWindowTest, PortComesFromTheLastComParameterUnlessTheSettingsHoldOne)
{
    const struct {
        QStringList params;
        int storedPort, expected;
    } cases[] = {
        {{"COM4", "com7"}, -1, 7}, {{"COM4", "com7"}, 2, 2}, {{"COM4", "x", "cOm12"}, -1, 12}, {{"COM4", "COMx"}, -1, 0},
        {{"COM"}, -1, 0},          {{"COM5"}, 0, 0},         {{}, -1, 0},
    };
    for (const auto& c : cases) {
        Start(c.params, "Language=Castellano\r\nComport=" + std::to_string(c.storedPort) + "\r\n");
        EXPECT_EQ(main->Port, c.expected) << c.params.join(' ').toStdString() << " " << c.storedPort;
    }
}

TEST_F(MainWindowTest, FreshStartOffersOnlyTheToolsAndNothingToConnectTo)
{
    Start();
    ASSERT_EQ(main->ListSel->count(), 1);
    EXPECT_FALSE(main->Guardarlistadecanales1->isEnabled());
    EXPECT_FALSE(main->NumeradoPor->menuAction()->isVisible());

    // No serial port anywhere: nothing to connect to.
    EXPECT_EQ(main->StatusPanels[0]->text(), "  " + Text(120) + ": " + Text(301));
    EXPECT_EQ(main->StatusPanels[2]->text(), "  " + Text(122));
    EXPECT_FALSE(main->Conectar->isEnabled());
    EXPECT_FALSE(main->ConfigurarPuerto1->isEnabled());
    WhenShown<QDialog>([](QDialog* about) {
        EXPECT_STREQ(about->metaObject()->className(), "TFAbout");
        about->reject();
    });
    main->Acercade1->trigger();
}

TEST_F(MainWindowTest, ALoadedListIsSavedAsDatOrTextAndReadBack)
{
    Start();
    const std::string image = LoadSample();
    ASSERT_EQ(main->ListSel->count(), 5);
    EXPECT_TRUE(main->ListMain->Dragging());
    EXPECT_EQ(main->Data->Channels.Count(), 12);
    EXPECT_TRUE(main->SavedData->Equals(*main->Data));
    EXPECT_TRUE(Shown(true).empty());

    // The name as typed gets the extension of its kind; the file holds
    // exactly the list.
    const struct {
        Source source;
        const char *typed, *written;
        std::string bytes;
    } saves[] = {
        {Source::Binary, "copy.Bin", "copy.Dat", image},
        {Source::Binary, "lista.dat", "lista.dat", image}, // has it already: as typed
        {Source::TextList, "short", "short.Txt", TxtOf(*main->Data)},
        {Source::TextListExtended, "long", "long.Txt", TxtOf(*main->Data, true)},
    };
    EXPECT_NE(saves[1].bytes, saves[2].bytes); // the favourites make a difference
    for (const auto& save : saves) {
        ChooseSource(save.source);
        files.AnswerNext(Q(dir / save.typed));
        main->Guardarlistadecanales1->trigger();
        EXPECT_EQ(ReadFileBytes(dir / save.written), save.bytes) << save.written;
    }
    EXPECT_EQ(files.Requests()[1].extension, QStringLiteral("Dat"));
    // Nothing else is left beside them: no ".Bin", no temporary file.
    int copies = 0;
    for (const auto& e : fs::directory_iterator(dir.path()))
        copies += e.path().filename().string().rfind("copy", 0) == 0;
    EXPECT_EQ(copies, 1);

    // The text list reads back through the menu, over another list.
    LoadSample("other.Dat", 5);
    Load(dir / "long.Txt", Source::TextList);
    EXPECT_TRUE(Shown(true).empty());
    EXPECT_EQ(files.Requests().back().filters, QStringList{Text(128) + " (*.Txt)"});
    EXPECT_EQ(main->Data->Channels.Count(), 12);
    EXPECT_TRUE(main->SavedData->Equals(*main->Data));

    // A list as read is left without a question.
    EXPECT_TRUE(main->close());
    EXPECT_TRUE(boxes.Boxes().empty());
}

// Whatever goes wrong, the list already open stays as it was.
TEST_F(MainWindowTest, ABadFileIsReportedAndChangesNothing)
{
    Start();
    LoadSample();
    main->SelectOption(3);
    TVexaData loaded;
    loaded.Assign(*main->Data);
    ScriptedWaitBoxes waitBoxes;
    const struct {
        const char* name;
        std::string bytes; // none: a folder of that name
        int text;
        bool cancel = false; // at the wait box's first chance
    } cases[] = {
        {"garbage.Dat", std::string(131072, 'x'), 131},
        {"folder.Dat", "", 130},
        {"garbage.Txt", "no list here\r\n", 133},
        {"folder.Txt", "", 130},
        {"list.Txt", TxtOf(loaded), 132, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = dir / c.name;
        if (c.bytes.empty())
            fs::create_directories(file);
        else
            WriteFileBytes(file, c.bytes);
        waitBoxes.SetCancelAfterPolls(c.cancel ? 0 : -1);
        Load(file, file.extension() == ".Txt" ? Source::TextList : Source::Binary);
        EXPECT_EQ(Shown(true), std::vector{LangText(c.text) + (c.text == 130 ? " " + file.string() : "")});
        EXPECT_EQ(main->ListSel->count(), 5);
        EXPECT_EQ(main->Option(), 3);
        EXPECT_TRUE(main->Data->Equals(loaded));
        EXPECT_TRUE(main->SavedData->Equals(loaded));
    }
}

TEST_F(MainWindowTest, FailedWriteKeepsThePreviousFileAndTheListCountsAsUnsaved)
{
    Start();
    LoadSample();
    ASSERT_TRUE(main->ListLoaded());
    main->Data->ListNumber = 77; // an edit
    WriteFileBytes(dir / "old.Dat", "the previous file");

    // Files may grow to 4 KiB only: the 128 KiB image cannot be written.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    ChooseSource(Source::Binary);
    files.AnswerNext(Q(dir / "old.Dat"));
    main->Guardarlistadecanales1->trigger();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    const std::vector<std::string> errors = Shown(true);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("File too large"), std::string::npos) << errors[0]; // the system's reason
    EXPECT_EQ(ReadFileBytes(dir / "old.Dat"), "the previous file");
    EXPECT_FALSE(main->SavedData->Equals(*main->Data));
}

// Every road that would throw a changed list away asks first: Cancel keeps
// the list and ends the road there, No drops the changes and goes on, Yes
// goes on only once the list is saved.
enum class Road { NewList, GetList, Exit };

struct QuestionCase {
    Road road;
    BoxAnswer answer;
    bool saved = false; // after Yes: the file dialog answered, not cancelled
};

class MainWindowQuestion : public MainWindowTest, public ::testing::WithParamInterface<QuestionCase> {};

TEST_P(MainWindowQuestion, CancelKeepsTheChangedListNoDropsItYesSavesIt)
{
    const QuestionCase& c = GetParam();
    Start();
    LoadSample("other.Dat", 5);
    LoadSample();
    main->Data->ListNumber = 77; // an edit

    // Only a save (after Yes) or a read (after No) asks for the source.
    int sourceDialogs = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<TFChooseData*>(w); d && d->isVisible()) {
                ++sourceDialogs;
                d->RadioButton3->click();
                d->BitBtn1->click();
            }
    });
    watch.start(10);
    if (c.answer == BoxAnswer::Yes)
        c.saved ? files.AnswerNext(Q(dir / "new")) : files.CancelNext();
    if (c.road == Road::GetList && c.answer == BoxAnswer::No)
        files.AnswerNext(Q(dir / "other.Dat"));
    boxes.Answer(c.answer);
    switch (c.road) {
    case Road::NewList: main->Listadecanalesnueva1->trigger(); break;
    case Road::GetList: main->Obtenerlistadecanales1->trigger(); break;
    case Road::Exit: main->Salir1->trigger(); break;
    }

    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].kind, BoxKind::YesNoCancel);
    EXPECT_EQ(boxes.Boxes()[0].text, LangText(135));
    EXPECT_EQ(fs::exists(dir / "new.Dat"), c.saved);
    if (c.answer == BoxAnswer::Cancel || (c.answer == BoxAnswer::Yes && !c.saved)) {
        EXPECT_EQ(sourceDialogs, c.answer == BoxAnswer::Yes ? 1 : 0);
        EXPECT_TRUE(main->isVisible());
        EXPECT_EQ(main->Data->ListNumber, 77);
        EXPECT_EQ(main->Data->Channels.Count(), 12);
        return;
    }
    switch (c.road) {
    case Road::NewList:
        EXPECT_EQ(main->Data->Channels.Count(), 0);
        EXPECT_EQ(main->Data->ListNumber, 0);
        EXPECT_TRUE(main->Data->Valid);
        EXPECT_FALSE(main->SavedData->Valid); // a new list counts as unsaved
        break;
    case Road::GetList:
        EXPECT_EQ(sourceDialogs, 1);
        EXPECT_EQ(main->Data->Channels.Count(), 5);
        EXPECT_TRUE(main->SavedData->Equals(*main->Data));
        break;
    case Road::Exit: EXPECT_FALSE(main->isVisible()); break;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, MainWindowQuestion,
                         ::testing::Values(QuestionCase{Road::NewList, BoxAnswer::Cancel},
                                           QuestionCase{Road::NewList, BoxAnswer::No},
                                           QuestionCase{Road::GetList, BoxAnswer::Cancel},
                                           QuestionCase{Road::GetList, BoxAnswer::No},
                                           QuestionCase{Road::Exit, BoxAnswer::Cancel},
                                           QuestionCase{Road::Exit, BoxAnswer::No},
                                           QuestionCase{Road::Exit, BoxAnswer::Yes, false},
                                           QuestionCase{Road::Exit, BoxAnswer::Yes, true}));

TEST_F(MainWindowTest, LanguageOfTheSettingsInAnyCaseAndASwitchStoredOnce)
{
    fs::create_directories(dir / "lng");
    WriteFileBytes(dir / "lng" / "en.LNG",
                   "LANG=English\r\n0101 File\r\n0116 Tools\r\n0120 Software version\r\n0122 No link\r\n"
                   "0201 Channel name\r\n");
    Start({}, "Language=ENGLISH\r\nComport=-1\r\n");
    const QList<QAction*> items = main->Idioma->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_TRUE(items[1]->isChecked());
    EXPECT_EQ(main->Fichero1->title(), QStringLiteral("File"));
    EXPECT_EQ(main->Salir1->text(), Text(102)); // not in the file: the built-in text

    main->Listadecanalesnueva1->trigger(); // the channel list in view
    EXPECT_EQ(main->ListMain->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Channel name"));
    EXPECT_EQ(main->ListSel->item(4)->text(), QStringLiteral("Tools"));
    DragColumnEdge(main->ListMain, 2, 30);
    const int dragged = main->ListMain->header()->sectionSize(2);
    items[0]->trigger();
    EXPECT_EQ(main->Fichero1->title(), Text(101));
    EXPECT_EQ(main->ListSel->item(4)->text(), Text(116));
    // The list in view is rebuilt in the new language.
    EXPECT_EQ(main->ListMain->model()->headerData(0, Qt::Horizontal).toString(), Text(201));
    EXPECT_EQ(main->ListMain->header()->sectionSize(2), dragged); // the user's width, whatever the language
    EXPECT_FALSE(items[1]->isChecked());
    EXPECT_EQ(ReadFileBytes(IniFile()), "Language=Castellano\r\nComport=-1\r\n");

    // The same language again: nothing is written.
    fs::remove(IniFile());
    items[0]->trigger();
    EXPECT_FALSE(fs::exists(IniFile()));
}

TEST_F(MainWindowTest, TheOptionBarSwitchesTheListByKeyAndClick)
{
    Start();
    LoadSample();
    ASSERT_EQ(main->Option(), 1);
    // Clicking the option in force keeps the list as it is.
    main->ListMain->selectionModel()->select(main->ListMain->model()->index(3, 0),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const auto clickOption = [this](int row) {
        const QRect option = main->ListSel->visualItemRect(main->ListSel->item(row));
        QTest::mouseClick(main->ListSel->viewport(), Qt::LeftButton, {}, option.center());
    };
    clickOption(0);
    EXPECT_EQ(main->ListMain->selectionModel()->selectedRows().size(), 1);
    clickOption(1);
    EXPECT_EQ(main->ListMain->property("Tag").toInt(), 2);

    main->ListSel->setFocus();
    QTest::keyClick(main->ListSel, Qt::Key_Down);
    EXPECT_EQ(main->Option(), 3);
    QTest::keyClick(main->ListSel, Qt::Key_End);
    EXPECT_EQ(main->Option(), 5);
    EXPECT_FALSE(main->ListMain->Dragging());
}

TEST_F(MainWindowTest, RowsDroppedOnTheMainListMoveThere)
{
    Start();
    LoadSample();
    QTreeView other;
    QListWidget sameName; // a list view of that name
    sameName.setObjectName(QStringLiteral("ListMain"));
    EXPECT_TRUE(main->ListMainDragOver(&sameName));
    EXPECT_FALSE(main->ListMainDragOver(&other));
    EXPECT_FALSE(main->ListMainDragOver(nullptr));

    const std::string first = main->Data->Channels.Get(0)->Name.str();
    SelectRows(main->ListMain, {0});
    main->ListMain->OnDragDrop(5); // what the view does with a drop on row 5
    EXPECT_EQ(main->ListMain->model()->index(5, 0).data().toString(), ToQt(first));
    EXPECT_FALSE(main->SavedData->Equals(*main->Data));
}

class MainWindowReceiverTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        image = SampleImage(20);
        emulator.SetImage(image);
        portMap = {{3, emulator.DevicePath()}};
    }

    void StartConnected()
    {
        Start({"COM3"});
        ASSERT_TRUE(WaitUntil([this] { return main->Comm->Connected(); }));
    }

    ReceiverEmulator emulator;
    std::vector<std::uint8_t> image;
};

TEST_F(MainWindowReceiverTest, ListReadFromTheReceiverIsSentBackUnchanged)
{
    StartConnected();
    EXPECT_EQ(main->StatusPanels[1]->text(), "  " + Text(121) + ": VX4400 HW 2.1");
    EXPECT_EQ(main->Conectar1->text(), Text(124));
    EXPECT_GT(main->ImageLed->pixmap().toImage().pixelColor(8, 10).green(), 200); // the lit lamp
    ChooseSource(Source::Receiver);
    main->Obtenerlistadecanales1->trigger();
    ASSERT_TRUE(Shown(true).empty());
    TVexaData expected;
    ASSERT_TRUE(expected.LoadFromImage(std::span<const std::uint8_t>(image)));
    EXPECT_TRUE(main->Data->Equals(expected));
    EXPECT_TRUE(main->SavedData->Equals(expected));

    // Send it back after an edit: the receiver gets the edited image and
    // the list counts as saved.
    main->Data->ListNumber = 1234;
    emulator.SetImage(std::vector<std::uint8_t>(ReceiverEmulator::kImageSize, 0));
    ChooseSource(Source::Receiver);
    main->Guardarlistadecanales1->trigger();
    std::vector<std::uint8_t> sent;
    ASSERT_TRUE(main->Data->SaveToImage(sent));
    EXPECT_EQ(emulator.Image(), sent);
    EXPECT_TRUE(main->SavedData->Equals(*main->Data));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].kind, BoxKind::Info); // done, not cancelled
    EXPECT_EQ(boxes.Boxes()[0].text, LangText(2216));
}

TEST_F(MainWindowReceiverTest, ReceiverThatStopsAnsweringLeavesEverythingAsItWas)
{
    StartConnected();
    EmulatorFaults faults;
    faults.silenceFromReply = 10;
    emulator.SetFaults(faults);
    ChooseSource(Source::Receiver);
    main->Obtenerlistadecanales1->trigger();

    EXPECT_EQ(Shown(true), std::vector<std::string>{LangText(2202)});
    EXPECT_FALSE(main->Comm->Connected());
    EXPECT_LT(main->ImageLed->pixmap().toImage().pixelColor(8, 10).green(), 160); // the dark lamp
    EXPECT_EQ(main->Conectar1->text(), Text(125));
    EXPECT_EQ(main->ListSel->count(), 1);
    EXPECT_FALSE(main->Data->Valid);
}

// Each record list prints (given a printer) and opens its own editor.
TEST_F(MainWindowTest, EachRecordListPrintsAndOpensItsOwnEditor)
{
    struct Unset {
        ~Unset() { TFMain::SetListPrinter(nullptr); }
    } unset;
    std::vector<std::string> titles;
    TFMain::SetListPrinter([&](QTreeView* view, const std::string& title, const std::string& subtitle) {
        EXPECT_EQ(view, main->ListMain);
        EXPECT_TRUE(subtitle.empty());
        titles.push_back(title);
    });
    Start();
    EXPECT_FALSE(main->Imprimirdatos1->isEnabled());
    LoadSample();
    const TVexaData& data = *main->Data;
    const std::pair<int, QString> lists[] = {{data.Channels.Count(), "TFModCanal"},
                                             {data.Satelites.Count(), "TFModSatelite"},
                                             {data.Antenas.Count(), "TFModAntena"},
                                             {data.Transponders.Count(), "TFModTransponder"}};
    for (int option = 1; option <= 4; ++option) {
        main->SelectOption(option);
        ASSERT_EQ(main->ListMain->model()->rowCount(), lists[option - 1].first);
        main->Imprimirdatos1->trigger();
        EXPECT_EQ(titles.back(), LangText(134) + " " + LangText(111 + option));
        main->ListMain->setCurrentIndex(main->ListMain->model()->index(0, 0));
        QString shown;
        WhenShown<QDialog>([&](QDialog* editor) {
            shown = editor->metaObject()->className();
            editor->reject();
        });
        QTest::keyClick(main->ListMain, Qt::Key_Return);
        EXPECT_EQ(shown, lists[option - 1].second);
    }
    EXPECT_TRUE(main->SavedData->Equals(data)); // every editor was cancelled
    main->SelectOption(5);
    EXPECT_FALSE(main->Imprimirdatos1->isEnabled());
    TFMain::SetListPrinter(nullptr);
    main->SelectOption(1);
    EXPECT_FALSE(main->Imprimirdatos1->isEnabled());
}
