// The main window driven as a user would: menus, option bar, dialogs
// answered from the event loop, files in a temporary folder and the
// receiver emulator on a pseudo-terminal.
#include "windows/TFMain.h"

#include "database/TVexaData.h"
#include "database/VexaSamples.h"
#include "foundation/TConfig.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "link/LinkTestSupport.h"
#include "link/TVexaComm.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/ScriptedWaitBox.h"
#include "support/TempDir.h"
#include "support/qt/ScriptedFileDialogs.h"
#include "windows/MainWindowTestSupport.h"
#include "windows/TFChooseData.h"

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
#include <map>
#include <optional>
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

std::string AsString(const std::vector<std::uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

QString Q(const fs::path& p)
{
    return QString::fromStdString(p.string());
}

QString Text(int n)
{
    return ToQt(LangText(n));
}

// Picks a choice in the data-source dialog and presses OK (or Cancel).
enum class Source { Receiver, TextList, TextListExtended, Binary, Cancel };

void ChooseSource(Source source)
{
    WhenShown<TFChooseData>([source](TFChooseData* d) {
        switch (source) {
        case Source::Receiver: d->RadioButton1->click(); break;
        case Source::TextList: d->RadioButton2->click(); break;
        case Source::TextListExtended:
            d->RadioButton2->click();
            d->CheckBox1->click();
            break;
        case Source::Binary: d->RadioButton3->click(); break;
        case Source::Cancel: d->BitBtn2->click(); return;
        }
        d->BitBtn1->click();
    });
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { SetFileDialogs(&files); }
    void TearDown() override
    {
        main.reset();
        SetFileDialogs(nullptr);
    }

    // Starts the program's main window with a settings file (written first
    // when given) and the language files of dir/lng.
    void Start(const QStringList& params = {}, const std::string& settings = {})
    {
        if (!settings.empty())
            WriteFileBytes(IniFile(), settings);
        fs::create_directories(dir / "lng");
        ports.emplace(portMap);
        TFMainSetup setup;
        setup.Params = params;
        setup.LanguageFolder = (dir / "lng").string();
        setup.ConfigFile = IniFile().string();
        main = std::make_unique<TFMain>(setup);
        main->show();
        ASSERT_TRUE(WaitUntil([this] { return main->Option() == 5; }));
    }

    fs::path IniFile() const { return dir / "vexautils.Ini"; }

    std::vector<std::string> ErrorTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& box : boxes.Boxes())
            if (box.kind == BoxKind::Error)
                texts.push_back(box.text);
        return texts;
    }

    // Reads a file through the menu as a user would.
    void Load(const fs::path& file, Source source = Source::Binary)
    {
        ChooseSource(source);
        files.AnswerNext(Q(file));
        main->Obtenerlistadecanales1->trigger();
    }
    void LoadBinary(const fs::path& file) { Load(file); }

    QtEventLoopScope loop;
    TempDir dir;
    std::map<int, std::string> portMap; // COMn -> device; every other port missing
    std::optional<PortEnv> ports;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs files;
    std::unique_ptr<TFMain> main;
};

} // namespace

// ---- Start-up

struct ParamsCase {
    QStringList params;
    int storedPort;
    int expected;
};

class MainWindowParams : public MainWindowTest, public ::testing::WithParamInterface<ParamsCase> {};

TEST_P(MainWindowParams, PortComesFromTheLastComParameterUnlessTheSettingsHoldOne)
{
    const ParamsCase& c = GetParam();
    Start(c.params, "Language=Castellano\r\nComport=" + std::to_string(c.storedPort) + "\r\n");
    EXPECT_EQ(main->Port, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MainWindowParams,
    ::testing::Values(ParamsCase{{"COM4", "com7"}, -1, 7}, ParamsCase{{"COM4", "com7"}, 2, 2},
                      ParamsCase{{"COM4", "x", "cOm12"}, -1, 12}, ParamsCase{{"COM4", "COMx"}, -1, 0},
                      ParamsCase{{"COM"}, -1, 0}, ParamsCase{{"COM5"}, 0, 0}, ParamsCase{{}, -1, 0}));

TEST_F(MainWindowTest, FreshStartOffersOnlyTheToolsWithSaveAndPrintDisabled)
{
    Start();
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Vexa 4400 Utils"));
    ASSERT_EQ(main->ListSel->count(), 1);
    EXPECT_EQ(main->ListSel->item(0)->text(), Text(116));
    EXPECT_TRUE(main->ListSel->item(0)->isSelected());
    EXPECT_EQ(main->ListMain->property("Tag").toInt(), 5);
    EXPECT_FALSE(main->ListMain->Dragging());
    EXPECT_FALSE(main->Guardarlistadecanales1->isEnabled());
    EXPECT_FALSE(main->Imprimirdatos1->isEnabled());
    EXPECT_FALSE(main->ListLoaded());
    EXPECT_FALSE(main->NumeradoPor->menuAction()->isVisible());

    // No serial port anywhere: nothing to connect to.
    EXPECT_EQ(main->StatusPanels[0]->text(), "  " + Text(120) + ": " + Text(301));
    EXPECT_EQ(main->StatusPanels[1]->text(), "  " + Text(121) + ": " + Text(301));
    EXPECT_EQ(main->StatusPanels[2]->text(), "  " + Text(122));
    EXPECT_FALSE(main->Conectar->isEnabled());
    EXPECT_FALSE(main->Conectar1->isEnabled());
    EXPECT_FALSE(main->ConfigurarPuerto1->isEnabled());
    EXPECT_EQ(main->Conectar1->text(), Text(125));
    EXPECT_FALSE(main->ImageLed->property("Connected").toBool());

    // The window never gets smaller than its starting size.
    main->resize(500, 300);
    EXPECT_GE(main->width(), 608);
    EXPECT_GE(main->height(), 474);
}

// ---- Files

TEST_F(MainWindowTest, LoadedDatOpensAllFiveOptionsAndSavedAsBinWritesTheSameDat)
{
    Start();
    const std::vector<std::uint8_t> image = SampleImage();
    WriteFileBytes(dir / "list.Dat", AsString(image));

    LoadBinary(dir / "list.Dat");

    ASSERT_EQ(main->ListSel->count(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(main->ListSel->item(i)->text(), Text(112 + i));
    EXPECT_EQ(main->Option(), 1);
    EXPECT_EQ(main->ListMain->property("Tag").toInt(), 1);
    EXPECT_TRUE(main->ListMain->Dragging());
    EXPECT_TRUE(main->ListLoaded());
    EXPECT_EQ(main->Data->Channels.Count(), 12);
    EXPECT_TRUE(main->SavedData->Equals(*main->Data));
    EXPECT_TRUE(ErrorTexts().empty());
    ASSERT_EQ(files.Requests().size(), 1u);
    EXPECT_FALSE(files.Requests()[0].save);
    EXPECT_EQ(files.Requests()[0].filters.size(), 2);

    // Typed with ".Bin", written as ".Dat", byte for byte what was read.
    ChooseSource(Source::Binary);
    files.AnswerNext(Q(dir / "copy.Bin"));
    main->Guardarlistadecanales1->trigger();

    EXPECT_FALSE(fs::exists(dir / "copy.Bin"));
    ASSERT_TRUE(fs::exists(dir / "copy.Dat"));
    EXPECT_EQ(ReadFileBytes(dir / "copy.Dat"), AsString(image));
    EXPECT_EQ(files.Requests().back().extension, QStringLiteral("Dat"));
    // No temporary file is left beside it.
    int copies = 0;
    for (const auto& e : fs::directory_iterator(dir.path()))
        copies += e.path().filename().string().rfind("copy", 0) == 0;
    EXPECT_EQ(copies, 1);
}

TEST_F(MainWindowTest, TextListIsSavedWithTxtAndTheFavouritesOnlyWhenAskedFor)
{
    Start();
    WriteFileBytes(dir / "list.Dat", AsString(SampleImage()));
    LoadBinary(dir / "list.Dat");
    ASSERT_TRUE(main->ListLoaded());

    for (bool extended : {false, true}) {
        const fs::path typed = dir / (extended ? "long" : "short");
        ChooseSource(extended ? Source::TextListExtended : Source::TextList);
        files.AnswerNext(Q(typed));
        main->Guardarlistadecanales1->trigger();

        std::vector<std::string> lines;
        main->Data->SaveToTxt(extended, lines);
        std::string expected;
        for (const auto& line : lines)
            expected += line + "\r\n";
        const fs::path written = fs::path(typed.string() + ".Txt");
        ASSERT_TRUE(fs::exists(written)) << written;
        EXPECT_EQ(ReadFileBytes(written), expected) << "extended " << extended;
    }
    std::vector<std::string> plain, extended;
    main->Data->SaveToTxt(false, plain);
    main->Data->SaveToTxt(true, extended);
    EXPECT_NE(plain, extended); // the two cases above really differ

    // The text list reads back through the menu, over another list.
    WriteFileBytes(dir / "other.Dat", AsString(SampleImage(5)));
    LoadBinary(dir / "other.Dat");
    ASSERT_EQ(main->Data->Channels.Count(), 5);
    Load(dir / "long.Txt", Source::TextList);
    EXPECT_TRUE(ErrorTexts().empty());
    EXPECT_EQ(files.Requests().back().filters, QStringList{Text(128) + " (*.Txt)"});
    EXPECT_EQ(main->Data->Channels.Count(), 12);
    EXPECT_TRUE(main->SavedData->Equals(*main->Data));
}

enum class BadFile { Garbage, Short, Folder, TextGarbage, TextFolder, TextCancelled };

struct BadFileCase {
    const char* name;
    BadFile kind;
    int text;
};

class MainWindowBadFile : public MainWindowTest, public ::testing::WithParamInterface<BadFileCase> {};

// Whatever goes wrong, the list already open stays as it was.
TEST_P(MainWindowBadFile, IsReportedAndChangesNothing)
{
    const BadFileCase& c = GetParam();
    Start();
    const std::vector<std::uint8_t> image = SampleImage();
    WriteFileBytes(dir / "list.Dat", AsString(image));
    LoadBinary(dir / "list.Dat");
    ASSERT_EQ(main->ListSel->count(), 5);
    main->SelectOption(3);
    TVexaData loaded;
    ASSERT_TRUE(loaded.LoadFromImage(std::span<const std::uint8_t>(image)));

    const fs::path file = dir / c.name;
    std::vector<std::string> lines;
    loaded.SaveToTxt(false, lines);
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    switch (c.kind) {
    case BadFile::Garbage: WriteFileBytes(file, std::string(131072, 'x')); break;
    case BadFile::Short: WriteFileBytes(file, "kelvoran"); break;
    case BadFile::TextGarbage: WriteFileBytes(file, "no list here\r\n"); break;
    case BadFile::TextCancelled: WriteFileBytes(file, text); break;
    case BadFile::Folder:
    case BadFile::TextFolder: fs::create_directories(file); break;
    }
    const bool isText = c.kind == BadFile::TextGarbage || c.kind == BadFile::TextFolder || c.kind == BadFile::TextCancelled;
    std::optional<ScriptedWaitBoxes> waitBoxes;
    if (c.kind == BadFile::TextCancelled)
        waitBoxes.emplace(0); // the user cancels at the first chance
    Load(file, isText ? Source::TextList : Source::Binary);

    std::string expected = LangText(c.text);
    if (c.text == 130)
        expected += " " + file.string();
    EXPECT_EQ(ErrorTexts(), std::vector<std::string>{expected});
    EXPECT_EQ(main->ListSel->count(), 5);
    EXPECT_EQ(main->Option(), 3);
    EXPECT_TRUE(main->Data->Equals(loaded));
    EXPECT_TRUE(main->SavedData->Equals(loaded));
}

INSTANTIATE_TEST_SUITE_P(Rows, MainWindowBadFile,
                         ::testing::Values(BadFileCase{"garbage.Dat", BadFile::Garbage, 131},
                                           BadFileCase{"short.Dat", BadFile::Short, 131},
                                           BadFileCase{"folder.Dat", BadFile::Folder, 130},
                                           BadFileCase{"garbage.Txt", BadFile::TextGarbage, 133},
                                           BadFileCase{"folder.Txt", BadFile::TextFolder, 130},
                                           BadFileCase{"list.Txt", BadFile::TextCancelled, 132}));

TEST_F(MainWindowTest, FailedWriteKeepsThePreviousFileAndTheListCountsAsUnsaved)
{
    Start();
    WriteFileBytes(dir / "list.Dat", AsString(SampleImage()));
    LoadBinary(dir / "list.Dat");
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

    EXPECT_EQ(ErrorTexts().size(), 1u);
    EXPECT_EQ(ReadFileBytes(dir / "old.Dat"), "the previous file");
    EXPECT_FALSE(main->SavedData->Equals(*main->Data));
}

// ---- Unsaved changes

TEST_F(MainWindowTest, ClosingANewListAsksAndYesThenCancelKeepsTheWindowOpen)
{
    Start();
    main->Listadecanalesnueva1->trigger();
    ASSERT_EQ(main->ListSel->count(), 5);
    EXPECT_EQ(main->Option(), 1);
    EXPECT_TRUE(main->Data->Valid);
    EXPECT_FALSE(main->SavedData->Valid);

    // Yes, then Cancel in the destination dialog: the window stays.
    boxes.Answer(BoxAnswer::Yes);
    ChooseSource(Source::Cancel);
    EXPECT_FALSE(main->close());
    EXPECT_TRUE(main->isVisible());
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].kind, BoxKind::YesNoCancel);
    EXPECT_EQ(boxes.Boxes()[0].text, LangText(135));
    EXPECT_EQ(boxes.Boxes()[0].caption, LangText(136));

    // Yes and a save that succeeds: the window closes.
    boxes.Answer(BoxAnswer::Yes);
    ChooseSource(Source::Binary);
    files.AnswerNext(Q(dir / "new"));
    main->Salir1->trigger();
    EXPECT_FALSE(main->isVisible());
    EXPECT_TRUE(fs::exists(dir / "new.Dat"));
}

TEST_F(MainWindowTest, UnchangedListIsLeftWithoutAQuestion)
{
    Start();
    WriteFileBytes(dir / "list.Dat", AsString(SampleImage()));
    LoadBinary(dir / "list.Dat");
    EXPECT_TRUE(main->close());
    EXPECT_TRUE(boxes.Boxes().empty());
}

// Every road that would throw a changed list away asks first: Cancel keeps
// the list and ends the road there, No drops the changes and goes on.
enum class Road { NewList, GetList, Exit };

struct QuestionCase {
    Road road;
    BoxAnswer answer;
};

class MainWindowQuestion : public MainWindowTest, public ::testing::WithParamInterface<QuestionCase> {};

TEST_P(MainWindowQuestion, CancelKeepsTheChangedListAndNoDropsIt)
{
    const QuestionCase& c = GetParam();
    Start();
    WriteFileBytes(dir / "list.Dat", AsString(SampleImage()));
    WriteFileBytes(dir / "other.Dat", AsString(SampleImage(5)));
    LoadBinary(dir / "list.Dat");
    main->Data->ListNumber = 77; // an edit

    // The source dialog must not show after Cancel; after No the road reads other.Dat.
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
    if (c.road == Road::GetList && c.answer == BoxAnswer::No)
        files.AnswerNext(Q(dir / "other.Dat"));
    boxes.Answer(c.answer);
    switch (c.road) {
    case Road::NewList: main->Listadecanalesnueva1->trigger(); break;
    case Road::GetList: main->Obtenerlistadecanales1->trigger(); break;
    case Road::Exit: main->Salir1->trigger(); break;
    }

    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, LangText(135));
    if (c.answer == BoxAnswer::Cancel) {
        EXPECT_EQ(sourceDialogs, 0);
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
                                           QuestionCase{Road::Exit, BoxAnswer::No}));

// ---- Languages

TEST_F(MainWindowTest, LanguageSwitchRecaptionsAndIsStoredOnce)
{
    fs::create_directories(dir / "lng");
    WriteFileBytes(dir / "lng" / "en.LNG",
                   "LANG=English\r\n0101 File\r\n0116 Tools\r\n0120 Software version\r\n0122 No link\r\n"
                   "0201 Channel name\r\n");
    Start({}, "Language=Castellano\r\nComport=-1\r\n");
    main->Listadecanalesnueva1->trigger(); // the channel list in view
    const QList<QAction*> items = main->Idioma->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Castellano"));
    EXPECT_TRUE(items[0]->isChecked());
    EXPECT_EQ(main->Fichero1->title(), Text(101));

    items[1]->trigger();
    EXPECT_EQ(main->Fichero1->title(), QStringLiteral("File"));
    EXPECT_EQ(main->ListSel->item(4)->text(), QStringLiteral("Tools"));
    // The list in view is rebuilt in the new language.
    EXPECT_EQ(main->ListMain->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Channel name"));
    EXPECT_EQ(main->StatusPanels[0]->text(), "  Software version: " + Text(301));
    EXPECT_EQ(main->StatusPanels[2]->text(), QStringLiteral("  No link"));
    EXPECT_EQ(main->Salir1->text(), Text(102)); // not in the file: the built-in text
    EXPECT_TRUE(items[1]->isChecked());
    EXPECT_FALSE(items[0]->isChecked());
    EXPECT_EQ(ReadFileBytes(IniFile()), "Language=English\r\nComport=-1\r\n");

    // The same language again: nothing is written, the tick stays.
    fs::remove(IniFile());
    items[1]->trigger();
    EXPECT_TRUE(items[1]->isChecked());
    EXPECT_FALSE(fs::exists(IniFile()));
}

TEST_F(MainWindowTest, SettingsLanguageInAnyCaseIsCurrentFromTheStart)
{
    fs::create_directories(dir / "lng");
    WriteFileBytes(dir / "lng" / "en.LNG", "LANG=English\r\n0101 File\r\n");
    Start({}, "Language=ENGLISH\r\nComport=-1\r\n");
    EXPECT_EQ(main->Fichero1->title(), QStringLiteral("File"));
    EXPECT_TRUE(main->Idioma->actions()[1]->isChecked());
    EXPECT_FALSE(main->Idioma->actions()[0]->isChecked());
}

// ---- Drag and drop

TEST_F(MainWindowTest, OnlyRowsOfTheMainListMayBeDropped)
{
    Start();
    QTreeView other;
    other.setObjectName(QStringLiteral("Other"));
    QListWidget sameName;
    sameName.setObjectName(QStringLiteral("ListMain"));
    EXPECT_TRUE(main->ListMainDragOver(main->ListMain));
    EXPECT_FALSE(main->ListMainDragOver(&other));
    EXPECT_TRUE(main->ListMainDragOver(&sameName)); // a list view of that name
    EXPECT_FALSE(main->ListMainDragOver(main->ListSel->viewport()));
    EXPECT_FALSE(main->ListMainDragOver(nullptr));
}

// ---- The receiver

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

TEST_F(MainWindowReceiverTest, ConnectedStatusShowsVersionsPortAndLight)
{
    StartConnected();
    EXPECT_EQ(main->StatusPanels[0]->text(), "  " + Text(120) + ": VX4400 SW 1.07");
    EXPECT_EQ(main->StatusPanels[1]->text(), "  " + Text(121) + ": VX4400 HW 2.1");
    EXPECT_EQ(main->StatusPanels[2]->text(), "  " + Text(123) + ": COM 3");
    EXPECT_EQ(main->Conectar->toolTip(), Text(124));
    EXPECT_EQ(main->Conectar1->text(), Text(124));
    EXPECT_TRUE(main->Conectar->isEnabled());
    EXPECT_TRUE(main->ConfigurarPuerto1->isEnabled());
    EXPECT_TRUE(main->ImageLed->property("Connected").toBool());
    const QImage lamp = main->ImageLed->pixmap().toImage();
    EXPECT_GT(lamp.pixelColor(8, 10).green(), 200);
}

TEST_F(MainWindowReceiverTest, ListReadFromTheReceiverIsSentBackUnchanged)
{
    StartConnected();
    ChooseSource(Source::Receiver);
    main->Obtenerlistadecanales1->trigger();
    ASSERT_TRUE(ErrorTexts().empty());
    ASSERT_EQ(main->ListSel->count(), 5);
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
    EXPECT_EQ(boxes.Boxes()[0].kind, BoxKind::Info);
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

    EXPECT_EQ(ErrorTexts(), std::vector<std::string>{LangText(2202)});
    EXPECT_FALSE(main->Comm->Connected());
    EXPECT_EQ(main->StatusPanels[0]->text(), "  " + Text(120) + ": " + Text(301));
    EXPECT_EQ(main->StatusPanels[1]->text(), "  " + Text(121) + ": " + Text(301));
    EXPECT_FALSE(main->ImageLed->property("Connected").toBool());
    EXPECT_LT(main->ImageLed->pixmap().toImage().pixelColor(8, 10).green(), 160); // the dark lamp
    EXPECT_EQ(main->Conectar1->text(), Text(125));
    EXPECT_EQ(main->ListSel->count(), 1);
    EXPECT_FALSE(main->ListLoaded());
    EXPECT_FALSE(main->Data->Valid);
}

TEST_F(MainWindowTest, ArrowKeysInTheOptionBarSwitchTheList)
{
    Start();
    main->Listadecanalesnueva1->trigger();
    ASSERT_EQ(main->Option(), 1);
    main->ListSel->setFocus();
    QTest::keyClick(main->ListSel, Qt::Key_Down);
    EXPECT_EQ(main->Option(), 2);
    EXPECT_EQ(main->ListMain->property("Tag").toInt(), 2);
    QTest::keyClick(main->ListSel, Qt::Key_End);
    EXPECT_EQ(main->Option(), 5);
    EXPECT_FALSE(main->ListMain->Dragging());
}

TEST_F(MainWindowTest, ClickingTheOptionInForceKeepsTheListAsItIs)
{
    Start();
    WriteFileBytes(dir / "list.Dat", AsString(SampleImage()));
    LoadBinary(dir / "list.Dat");
    ASSERT_EQ(main->Option(), 1);
    main->ListMain->selectionModel()->select(main->ListMain->model()->index(3, 0),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const QRect channels = main->ListSel->visualItemRect(main->ListSel->item(0));
    QTest::mouseClick(main->ListSel->viewport(), Qt::LeftButton, {}, channels.center());
    EXPECT_EQ(main->ListMain->selectionModel()->selectedRows().size(), 1);

    // Another option takes the list view over.
    const QRect satellites = main->ListSel->visualItemRect(main->ListSel->item(1));
    QTest::mouseClick(main->ListSel->viewport(), Qt::LeftButton, {}, satellites.center());
    EXPECT_EQ(main->Option(), 2);
}

TEST_F(MainWindowTest, PrintingNeedsAPrinterAndARecordListInView)
{
    struct Unset {
        ~Unset() { TFMain::SetListPrinter(nullptr); }
    } unset;
    std::vector<std::string> titles;
    TFMain::SetListPrinter([&](QTreeView* view, const std::string& title, const std::string& subtitle) {
        EXPECT_EQ(view->objectName(), QStringLiteral("ListMain"));
        EXPECT_TRUE(subtitle.empty());
        titles.push_back(title);
    });
    Start();
    EXPECT_FALSE(main->Imprimirdatos1->isEnabled());
    main->Listadecanalesnueva1->trigger();
    EXPECT_TRUE(main->Imprimirdatos1->isEnabled());
    main->SelectOption(2);
    main->Imprimirdatos1->trigger();
    main->SelectOption(5);
    EXPECT_FALSE(main->Imprimirdatos1->isEnabled());
    TFMain::SetListPrinter(nullptr);
    main->SelectOption(1);
    EXPECT_FALSE(main->Imprimirdatos1->isEnabled());
    EXPECT_EQ(titles, std::vector<std::string>{LangText(134) + " " + LangText(113)});
}

TEST_F(MainWindowTest, EachRecordListOpensItsOwnEditor)
{
    Start();
    WriteFileBytes(dir / "list.Dat", AsString(SampleImage()));
    LoadBinary(dir / "list.Dat");
    const TVexaData& data = *main->Data;
    const std::pair<int, QString> lists[] = {{data.Channels.Count(), "TFModCanal"},
                                             {data.Satelites.Count(), "TFModSatelite"},
                                             {data.Antenas.Count(), "TFModAntena"},
                                             {data.Transponders.Count(), "TFModTransponder"}};
    for (int option = 1; option <= 4; ++option) {
        main->SelectOption(option);
        ASSERT_EQ(main->ListMain->model()->rowCount(), lists[option - 1].first);
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
}
