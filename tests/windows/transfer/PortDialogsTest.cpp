// The port dialog and the data-source dialog, with receiver emulators on
// pseudo-terminals standing in for the serial ports.
#include "windows/TFMain.h"
#include "windows/transfer/TFChooseData.h"
#include "windows/transfer/TFConfPuerto.h"

#include "foundation/TConfig.h"
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "link/LinkTestSupport.h"
#include "link/TVexaComm.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"
#include "windows/MainWindowTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

bool AskedForStatus(const ReceiverEmulator& emulator)
{
    const auto sent = Codes(FromLink(emulator.Log()));
    return std::find(sent.begin(), sent.end(), 0x10) != sent.end();
}

// COM1, COM3 and COM5 are usable; the receiver answers on COM5 unless told
// to keep silent. The link starts on COM1.
class PortDialogTest : public ::testing::Test {
protected:
    void Start(bool receiverOnCom5)
    {
        EmulatorFaults silent;
        silent.silenceFromReply = 0;
        com1.SetFaults(silent);
        com3.SetFaults(silent);
        if (!receiverOnCom5)
            com5.SetFaults(silent);
        ports = std::make_unique<PortEnv>(std::map<int, std::string>{
            {1, com1.DevicePath()}, {3, com3.DevicePath()}, {5, com5.DevicePath()}});
        comm = std::make_unique<TVexaComm>(1);
        // The first status query runs from the event loop; wait for its end.
        ASSERT_TRUE(WaitUntil([this] { return AskedForStatus(com1); }));
        ASSERT_TRUE(WaitUntil([this] { return com1.WaitIdle(0); }));
        RunEventsFor(700);
        ASSERT_EQ(comm->Port(), 1);
        ASSERT_FALSE(comm->Connected());
        for (ReceiverEmulator* com : {&com1, &com3, &com5})
            com->ClearLog();
        TheConfig = &config;
    }
    void TearDown() override
    {
        TheConfig = nullptr;
        comm.reset();
    }

    // Runs the dialog; `drive` presses its buttons once it shows.
    int Run(std::function<void(TFConfPuerto*)> drive)
    {
        WhenShown<TFConfPuerto>(std::move(drive));
        return dialog.ChangePort(comm.get());
    }

    QtEventLoopScope loop;
    TempDir dir;
    TConfig config{(dir / "vexautils.Ini").string()};
    ReceiverEmulator com1, com3, com5;
    std::unique_ptr<PortEnv> ports;
    std::unique_ptr<TVexaComm> comm;
    ScriptedMessageBoxes boxes;
    TFConfPuerto dialog;
};

} // namespace

// The dialog opens on the automatic search with the usable ports listed and
// the current one selected; Cancel stores nothing. The search asks every
// other port; without a receiver it goes back to the first port.
class PortSearch : public PortDialogTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PortSearch, SettlesOnThePortOfTheReceiver)
{
    const bool receiver = GetParam();
    Start(receiver);
    Run([](TFConfPuerto* d) {
        EXPECT_TRUE(d->Automatico->isChecked());
        EXPECT_FALSE(d->ComboBox->isEnabled());
        ASSERT_EQ(d->ComboBox->count(), 3);
        EXPECT_EQ(d->ComboBox->itemText(2), QStringLiteral("COM 5"));
        EXPECT_EQ(d->ComboBox->currentIndex(), 0);
        d->Automatico->click();
        EXPECT_TRUE(d->ComboBox->isEnabled());
        d->Automatico->click();
        d->BitBtn2->click();
    });
    EXPECT_FALSE(fs::exists(dir / "vexautils.Ini"));

    EXPECT_EQ(Run([](TFConfPuerto* d) { d->BitBtn1->click(); }), QDialog::Accepted);
    EXPECT_TRUE(AskedForStatus(com3));
    EXPECT_TRUE(AskedForStatus(com5));
    const int port = receiver ? 5 : 1;
    EXPECT_EQ(comm->Port(), port);
    EXPECT_EQ(comm->Connected(), receiver);
    if (receiver) {
        EXPECT_FALSE(AskedForStatus(com1)); // the port in force is not asked again
        EXPECT_TRUE(boxes.Boxes().empty());
    } else {
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, LangText(904));
    }
    EXPECT_EQ(ReadFileBytes(dir / "vexautils.Ini"), "Language=Castellano\r\nComport=" + std::to_string(port) + "\r\n");
    if (!receiver)
        return;

    // Once connected, OK leaves the link alone but still writes the settings.
    com3.ClearLog();
    fs::remove(dir / "vexautils.Ini");
    Run([](TFConfPuerto* d) {
        EXPECT_EQ(d->ComboBox->currentIndex(), 2);
        d->BitBtn1->click();
    });
    EXPECT_EQ(dialog.ChosenPort, 5);
    EXPECT_FALSE(AskedForStatus(com3));
    EXPECT_TRUE(comm->Connected());
    EXPECT_EQ(ReadFileBytes(dir / "vexautils.Ini"), "Language=Castellano\r\nComport=5\r\n");
}

INSTANTIATE_TEST_SUITE_P(ReceiverOrNone, PortSearch, ::testing::Bool());

class PortCommand : public MainWindowFixture {};

TEST_F(PortCommand, ChoiceByHandMovesTheLinkAndQueriesTheReceiverThere)
{
    ReceiverEmulator com2, com6;
    portMap = {{2, com2.DevicePath()}, {6, com6.DevicePath()}};
    Start();
    ASSERT_TRUE(WaitUntil([&] { return main->Comm->Connected(); }));
    ASSERT_EQ(main->Comm->Port(), 2);

    WhenShown<TFConfPuerto>([](TFConfPuerto* d) {
        d->Automatico->click();
        d->ComboBox->setCurrentIndex(1);
        d->BitBtn1->click();
    });
    main->ConfigurarPuerto1->trigger();
    EXPECT_EQ(main->Comm->Port(), 6);
    EXPECT_TRUE(AskedForStatus(com6));
    EXPECT_EQ(main->StatusPanels[2]->text(), "  " + ToQt(LangText(123)) + ": COM 6");
    EXPECT_EQ(ReadFileBytes(IniFile()), "Language=Castellano\r\nComport=6\r\n");
    main.reset(); // before the receivers go
}

// ---- The data-source dialog

TEST(SourceDialog, WithoutTheReceiverTheBinaryFileIsPreselectedAndTheExtendedTickCountsForTextOnly)
{
    QtEventLoopScope loop;
    PortEnv ports{{}};
    TVexaComm comm{0}; // no port: never connected
    TFChooseData d;
    WhenShown<TFChooseData>([](TFChooseData* d) {
        EXPECT_FALSE(d->RadioButton1->isEnabled());
        EXPECT_TRUE(d->RadioButton3->isChecked());
        EXPECT_FALSE(d->CheckBox1->isVisible());
        // The receiver's picture and its greyed choice are no choice.
        QTest::mouseDClick(d->findChild<QLabel*>(QStringLiteral("Image1")), Qt::LeftButton);
        QTest::mouseDClick(d->RadioButton1, Qt::LeftButton);
        EXPECT_TRUE(d->isVisible());
        EXPECT_TRUE(d->RadioButton3->isChecked());
        // The text-list picture chooses the text list and closes with OK.
        QTest::mouseDClick(d->findChild<QLabel*>(QStringLiteral("Image2")), Qt::LeftButton);
    });
    EXPECT_TRUE(d.SetPrompt(&comm, LangText(126)));
    EXPECT_TRUE(d.RadioButton2->isChecked());

    d.CheckBox1->setVisible(true);
    WhenShown<TFChooseData>([](TFChooseData* d) {
        d->RadioButton3->click();
        EXPECT_FALSE(d->CheckBox1->isEnabled());
        d->RadioButton2->click();
        EXPECT_TRUE(d->CheckBox1->isEnabled());
        d->CheckBox1->click();
        d->RadioButton3->click();
        EXPECT_FALSE(d->CheckBox1->isEnabled());
        EXPECT_TRUE(d->CheckBox1->isChecked());
        d->BitBtn2->click();
    });
    EXPECT_FALSE(d.SetPrompt(&comm, LangText(127)));
}

TEST(SourceDialog, ConnectedReceiverIsOfferedFirstAndADoubleClickOnAChoiceAccepts)
{
    QtEventLoopScope loop;
    ReceiverEmulator emulator;
    PortEnv ports({{4, emulator.DevicePath()}});
    TVexaComm comm(4);
    ASSERT_TRUE(WaitUntil([&] { return comm.Connected(); }));
    TFChooseData d;
    WhenShown<TFChooseData>([](TFChooseData* d) {
        EXPECT_TRUE(d->RadioButton1->isEnabled());
        EXPECT_TRUE(d->RadioButton1->isChecked());
        // A double click: its first click chooses, the second closes.
        QTest::mouseClick(d->RadioButton3, Qt::LeftButton);
        QTest::mouseDClick(d->RadioButton3, Qt::LeftButton);
    });
    EXPECT_TRUE(d.SetPrompt(&comm, LangText(127)));
    EXPECT_TRUE(d.RadioButton3->isChecked());
}
