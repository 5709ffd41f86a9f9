// The transfer window against the receiver emulator on a pseudo-terminal.
#include "windows/transfer/TFTraspaso.h"

#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "link/LinkTestSupport.h"
#include "link/TVexaComm.h"
#include "support/ScriptedMessageBoxes.h"
#include "windows/MainWindowTestSupport.h"
#include "windows/controls/TL7Segment.h"
#include "windows/controls/Tdbmeter.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTime>

#include <gtest/gtest.h>

#include <memory>

namespace {

std::vector<std::uint8_t> PatternImage()
{
    std::vector<std::uint8_t> image(ReceiverEmulator::kImageSize);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 13 + i / 509);
    image[10] = 3;
    return image;
}

std::string Digits(const TFTraspaso& w)
{
    return {w.L7Segment1->DigitValue(), w.L7Segment2->DigitValue(), w.L7Segment4->DigitValue(),
            w.L7Segment5->DigitValue()};
}

std::string HourMinute(const QTime& t)
{
    return QStringLiteral("%1%2").arg(t.hour(), 2, 10, QLatin1Char('0')).arg(t.minute(), 2, 10, QLatin1Char('0')).toStdString();
}

class TransferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        emulator.SetImage(PatternImage());
        ports = std::make_unique<PortEnv>(std::map<int, std::string>{{2, emulator.DevicePath()}});
        comm = std::make_unique<TVexaComm>(2);
        ASSERT_TRUE(WaitUntil([this] { return comm->Connected(); }));
        emulator.ClearLog();
    }
    void TearDown() override { comm.reset(); }

    QtEventLoopScope loop;
    ReceiverEmulator emulator;
    std::unique_ptr<PortEnv> ports;
    std::unique_ptr<TVexaComm> comm;
    ScriptedMessageBoxes boxes;
};

} // namespace

TEST_F(TransferTest, ReadShowsTheClockAndClosesOnceTheImageIsIn)
{
    TFTraspaso w;
    std::vector<std::uint8_t> stream;
    const std::string before = HourMinute(QTime::currentTime());
    ASSERT_TRUE(w.TrespassData(comm.get(), TFTraspaso::ReadImage, stream));
    const std::string after = HourMinute(QTime::currentTime());

    EXPECT_EQ(stream, PatternImage());
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(w.ProgressBar->value(), 65);
    EXPECT_EQ(w.ProgressBar->maximum(), 65);
    // The minute may turn while the transfer runs.
    EXPECT_TRUE(Digits(w) == before || Digits(w) == after) << Digits(w);
    EXPECT_TRUE(comm->Connected());
    EXPECT_FALSE(comm->OnProgress); // the window's callback is gone
}

TEST_F(TransferTest, SentImageEndsWithGoodThenTheInformation)
{
    TFTraspaso w;
    std::vector<std::uint8_t> image = PatternImage();
    image[5] = 0x55;
    bool sawGood = false;
    QList<QSize> sizes; // every size the window took while shown
    auto* watch = new QTimer(&w);
    QObject::connect(watch, &QTimer::timeout, [&] {
        if (w.isVisible() && (sizes.isEmpty() || sizes.back() != w.size()))
            sizes << w.size();
        if (w.Phase == 4 && Digits(w) == "Good" && !w.ProgressBar->isVisible() && !w.CancelBtn->isEnabled() &&
            w.Label1->text() == ToQt(LangText(2203) + "\n" + LangText(2204) + "\n" + LangText(2205)))
            sawGood = true;
    });
    watch->start(20);

    ASSERT_TRUE(w.TrespassData(comm.get(), TFTraspaso::SendImage, image));
    EXPECT_TRUE(sawGood);
    EXPECT_EQ(sizes.size(), 1) << "the window changed its size when the bar went";
    EXPECT_EQ(emulator.Image(), image);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].kind, BoxKind::Info);
    EXPECT_EQ(boxes.Boxes()[0].text, LangText(2216));
}

// Cancel before the operation starts, by the button or by Escape: the link
// sees it at its first progress report, sends nothing and stays connected.
TEST_F(TransferTest, CancelBeforeTheStartSendsNothing)
{
    for (bool byEscape : {false, true}) {
        SCOPED_TRACE(byEscape);
        boxes.Clear();
        emulator.ClearLog();
        TFTraspaso w;
        QTimer::singleShot(200, &w, [&] {
            if (byEscape)
                QTest::keyClick(&w, Qt::Key_Escape);
            else
                w.CancelBtn->click();
        });
        std::vector<std::uint8_t> stream;
        EXPECT_FALSE(w.TrespassData(comm.get(), TFTraspaso::ReadImage, stream));
        EXPECT_TRUE(w.Cancelled);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, LangText(2201));
        RunEventsFor(100);
        EXPECT_TRUE(FromLink(emulator.Log()).empty());
        EXPECT_TRUE(comm->Connected());
    }
}

TEST_F(TransferTest, CancelAfterTheLastBlockIsNotReportedAsCancelled)
{
    // The receiver waits before its end-of-data frame: the user presses
    // Cancel once every block is in, too late to stop anything.
    EmulatorFaults faults;
    faults.delayReply = 65;
    faults.replyDelayMs = 600;
    emulator.SetFaults(faults);
    TFTraspaso w;
    auto* watch = new QTimer(&w);
    QObject::connect(watch, &QTimer::timeout, [&] {
        if (w.ProgressBar->maximum() == 65 && w.ProgressBar->value() == 65 && w.CancelBtn->isEnabled())
            w.CancelBtn->click();
    });
    watch->start(10);
    std::vector<std::uint8_t> stream;
    EXPECT_TRUE(w.TrespassData(comm.get(), TFTraspaso::ReadImage, stream));
    EXPECT_TRUE(w.Cancelled);
    EXPECT_EQ(stream, PatternImage());
    EXPECT_TRUE(boxes.Boxes().empty());
}

// ---- The display, without a transfer

// The counter is the rounded percent minus one, halves to the even
// neighbour: 2.5 gives 2 and 3.5 gives 4.
TEST(TransferDisplay, CounterAndMeterFollowTheProgress)
{
    const struct {
        int step, max, counter;
    } steps[] = {{45, 100, 44}, {100, 100, 99}, {5, 200, 1}, {7, 200, 3}, {1, 200, 0}, {0, 65, 0}, {65, 65, 99}, {33, 65, 50}};
    for (const auto& c : steps) {
        TFTraspaso w;
        bool cancel = true;
        w.Progreso(-1, c.max, cancel);
        EXPECT_FALSE(cancel);
        w.Progreso(c.step, 0, cancel);
        EXPECT_EQ(w.Counter, c.counter) << c.step << "/" << c.max;
        EXPECT_EQ(w.ProgressBar->maximum(), c.max);
        EXPECT_EQ(w.ProgressBar->value(), c.step);
    }

    // The light runs with the data: towards the computer (segment 1, at the
    // left) while reading, towards the receiver while sending, wrapping at the ends.
    const struct {
        int mode, from, to;
    } moves[] = {{TFTraspaso::ReadImage, 17, 16}, {TFTraspaso::ReadImage, 0, 17}, {TFTraspaso::SendImage, 16, 17},
                 {TFTraspaso::SendImage, 17, 0}, {TFTraspaso::SendSoftware, 0, 1}};
    TFTraspaso w;
    for (const auto& c : moves) {
        w.Mode = c.mode;
        w.MeterPos = c.from;
        w.TimerTimer();
        EXPECT_EQ(w.MeterPos, c.to) << c.mode << " from " << c.from;
        EXPECT_EQ(w.dbmeter->Position(), c.to);
    }
}

TEST(TransferDisplay, AfterAnUploadDashesThenTheFirmwareCountThenGood)
{
    ScriptedMessageBoxes boxes;
    TFTraspaso w;
    w.Mode = TFTraspaso::SendSoftware;
    w.Phase = 1;
    w.Counter = 44;
    w.RelojTimer();
    EXPECT_EQ(Digits(w), "d044");
    EXPECT_TRUE(w.L7Segment1->Punto());

    w.Phase = 2;
    w.Counter = 0;
    const struct {
        int ticks;
        const char* digits;
        int phase;
    } steps[] = {
        {34, "----", 2}, {1, "----", 3}, {1, "F002", 3}, {49, "F100", 3},
        {1, "F100", 4}, // past 100: on to "Good" without drawing
        {6, "Good", 4},
    };
    for (const auto& step : steps) {
        for (int tick = 0; tick < step.ticks; ++tick)
            w.RelojTimer();
        EXPECT_EQ(Digits(w), step.digits);
        EXPECT_EQ(w.Phase, step.phase);
    }
    EXPECT_EQ(w.Label1->text(), ToQt(LangText(2209) + "\n" + LangText(2210) + "\n" + LangText(2211)));
    EXPECT_FALSE(w.L7Segment1->Punto());
    EXPECT_TRUE(boxes.Boxes().empty());
    w.RelojTimer(); // the 7th "Good" tick ends it
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, LangText(2216));
}
