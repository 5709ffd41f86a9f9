// The receiver protocol against the emulator on a real pseudo-terminal, through
// the real serial component: good exchanges byte for byte, and every fault
// switch giving a prompt false result after which the link works again.
#include "link/TVexaComm.h"

#include "LinkTestSupport.h"
#include "foundation/EventLoop.h"
#include "foundation/TLang.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <thread>

namespace {

using Steps = std::vector<std::pair<int, int>>;

Steps Scale(int max, int from, int to)
{
    Steps s{{-1, max}};
    for (int i = from; i <= to; ++i)
        s.emplace_back(i, 0);
    return s;
}

// A firmware file as the firmware dialog accepts it: a 40-character
// signature line, CR LF, then the 2 MiB image.
std::vector<std::uint8_t> FirmwareFile(std::size_t imageSize = TVexaComm::kFirmwareImageSize)
{
    std::string line(40, 'S');
    std::vector<std::uint8_t> file(line.begin(), line.end());
    file.push_back(0x0D);
    file.push_back(0x0A);
    for (std::size_t i = 0; i < imageSize; ++i)
        file.push_back(std::uint8_t(i * 13 + (i >> 11)));
    return file;
}

double ThreadCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

class VexaCommTest : public ::testing::Test {
protected:
    static constexpr int kPort = 5;

    void SetUp() override
    {
        env_ = std::make_unique<PortEnv>(std::map<int, std::string>{{kPort, emu.DevicePath()}});
        emu.SetImage(EveryByteImage());
        comm = std::make_unique<TVexaComm>(kPort);
        ASSERT_EQ(comm->Port(), kPort);
        // The first status query waits for the event loop.
        ASSERT_FALSE(comm->Connected());
        ProcessPendingEvents();
        ASSERT_TRUE(comm->Connected());
        Heal();
        comm->OnProgress = progress.Callback();
    }

    // Back to a well-behaved receiver and a quiet line.
    void Heal()
    {
        emu.AbandonExchange();
        ASSERT_TRUE(emu.WaitIdle(3000));
        emu.SetFaults({});
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
        while (std::chrono::steady_clock::now() < until)
            WaitForPendingEvents(20);
        emu.ClearLog();
        progress = {};
        comm->OnProgress = progress.Callback();
    }

    std::vector<EmulatorFrame> LinkFrames()
    {
        EXPECT_TRUE(emu.WaitIdle(3000));
        return FromLink(emu.Log());
    }

    void ExpectReadWorks()
    {
        std::vector<std::uint8_t> image;
        EXPECT_TRUE(comm->ReadData(image));
        EXPECT_TRUE(image == emu.Image());
    }

    ReceiverEmulator emu;
    std::unique_ptr<PortEnv> env_;
    std::unique_ptr<TVexaComm> comm;
    ProgressRecorder progress;
};

TEST_F(VexaCommTest, StatusQueryReadsTheVersionsAndAnnouncesTwice)
{
    emu.SetVersions("HW 4400 rev B", "SW 2.17");
    std::vector<bool> announced;
    comm->SetOnStatus([&] { announced.push_back(comm->Connected()); });
    comm->Refresh();
    EXPECT_TRUE(comm->Connected());
    EXPECT_EQ(comm->GetHardVersion(), "HW 4400 rev B");
    EXPECT_EQ(comm->GetSoftVersion(), "SW 2.17");
    // Once on being set, then not connected, then connected.
    EXPECT_EQ(announced, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(progress.steps, Scale(4, 1, 4));
    auto frames = LinkFrames();
    EXPECT_EQ(Codes(frames), (std::vector<int>{0x10, 0x00, 0x00}));
    for (const auto& f : frames)
        EXPECT_EQ(f.baud, 115200);

    comm->Reset();
    EXPECT_FALSE(comm->Connected());
    EXPECT_EQ(comm->GetHardVersion(), LangText(301));
    EXPECT_EQ(comm->GetSoftVersion(), LangText(301));
}

TEST_F(VexaCommTest, StatusPayloadsThatEndEarlyGiveTextsFromInsideThePayload)
{
    emu.SetVersions("HARDWARE-1", "SOFTWARE-2");
    struct Row {
        const char* name;
        int size;
        bool noZero;
        std::string hard, soft;
    } rows[] = {
        {"ends inside the hardware text", 37, false, "HARDW", ""},
        {"ends inside the software text", 70, false, "HARDWARE-1", "SOFTWA"},
        {"has no zero byte at all", 0, true, "HARDWARE-1" + std::string(22, ' ') + "SOFTWARE-2" + std::string(54, ' '),
         "SOFTWARE-2" + std::string(54, ' ')},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EmulatorFaults f;
        f.statusPayloadSize = r.size;
        f.statusNoZero = r.noZero;
        emu.SetFaults(f);
        comm->Refresh();
        EXPECT_TRUE(comm->Connected());
        EXPECT_EQ(comm->GetHardVersion(), r.hard);
        EXPECT_EQ(comm->GetSoftVersion(), r.soft);
        Heal();
    }
}

TEST_F(VexaCommTest, StatusFaultsLeaveTheLinkNotConnectedUntilTheReceiverAnswersAgain)
{
    struct Row {
        const char* name;
        EmulatorFaults f;
        bool connected;
        std::vector<int> sent; // a failed step is not acknowledged
    } rows[] = {
        {"reply after the time-out", {.replyDelayMs = 800, .delayReply = 0}, false, {0x10}},
        {"bad magic on the status block", {.badMagicReply = 1}, false, {0x10}},
        {"wrong code", {.wrongCodeReply = 1}, false, {0x10}},
        {"bad CRC", {.badCrcBlock = 1}, false, {0x10}},
        {"length 3", {.forceLength = 3}, false, {0x10}},
        {"length 6000 with a correct CRC", {.forceLength = 6000}, false, {0x10}},
        // The versions are in by then; only the closing frames are wrong.
        {"wrong end of status", {.wrongCodeReply = 2}, true, {0x10, 0x00}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        emu.SetFaults(r.f);
        comm->Refresh();
        EXPECT_EQ(comm->Connected(), r.connected);
        // Give a frame sent after the failure the time to show up.
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        EXPECT_EQ(Codes(FromLink(emu.Log())), r.sent);
        Heal();
        comm->Refresh();
        EXPECT_TRUE(comm->Connected());
        Heal();
    }
}

TEST_F(VexaCommTest, SilentReceiverMeansNotConnectedAfterHalfASecondWithoutSpinning)
{
    emu.SetFaults({.silenceFromReply = 0});
    const double cpu0 = ThreadCpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    comm->Refresh();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = ThreadCpuSeconds() - cpu0;
    EXPECT_FALSE(comm->Connected());
    EXPECT_GE(wall, 0.45);
    EXPECT_LT(wall, 1.5);
    EXPECT_LT(cpu, 0.25 * wall) << "the wait should sleep, not spin";
    EXPECT_EQ(progress.steps, (Steps{{-1, 4}}));
}

TEST_F(VexaCommTest, ReadBringsBackTheImageByteForByte)
{
    std::vector<std::uint8_t> image;
    ASSERT_TRUE(comm->ReadData(image));
    EXPECT_TRUE(image == EveryByteImage());
    EXPECT_EQ(progress.steps, Scale(65, 1, 65));
    ASSERT_TRUE(emu.WaitIdle(3000));
    const auto log = emu.Log();
    auto frames = FromLink(log);
    ASSERT_EQ(frames.size(), 66u);
    EXPECT_EQ(frames[0].code, 0x20);
    EXPECT_EQ(frames[0].baud, 115200);
    for (std::size_t i = 1; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].code, 0x00);
        EXPECT_EQ(frames[i].baud, 19200) << "acknowledgement " << i;
    }
    int blocks = 0;
    for (const auto& e : log) {
        if (!e.fromLink && e.code == 0x30) {
            ++blocks;
            EXPECT_EQ(e.baud, 19200);
        }
    }
    EXPECT_EQ(blocks, 64);
    // The line stays slow, and the next operation speeds it up first.
    Heal();
    comm->Refresh();
    EXPECT_TRUE(comm->Connected());
    for (const auto& f : LinkFrames())
        EXPECT_EQ(f.baud, 115200);
}

TEST_F(VexaCommTest, ReadOfShortAndOddImages)
{
    const auto full = EveryByteImage();
    std::vector<std::uint8_t> half(full.begin(), full.begin() + 65536);
    half.resize(131072, 0);
    std::vector<std::uint8_t> shortFirst(full.begin(), full.begin() + 8);
    shortFirst.insert(shortFirst.end(), full.begin() + 2048, full.begin() + 2048 * 32);
    shortFirst.resize(131072, 0);
    struct Row {
        const char* name;
        EmulatorFaults f;
        std::vector<std::uint8_t> expected;
        Steps steps;
    } rows[] = {
        {"no block at all", {.blockCount = 0}, std::vector<std::uint8_t>(131072, 0), Scale(65, 1, 1)},
        {"half an image", {.firstBlockByte10 = 7, .blockCount = 32}, half, {}},
        {"first block too short for byte 10", {.firstBlockSize = 8, .blockCount = 32}, shortFirst, {}},
    };
    rows[1].expected[10] = 7;
    for (auto* r : {&rows[1], &rows[2]}) {
        r->steps = {{-1, 65}, {1, 0}, {-1, 33}};
        for (int i = 2; i <= 33; ++i)
            r->steps.emplace_back(i, 0);
    }
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        emu.SetFaults(r.f);
        std::vector<std::uint8_t> image;
        EXPECT_TRUE(comm->ReadData(image));
        EXPECT_TRUE(image == r.expected);
        EXPECT_EQ(progress.steps, r.steps);
        Heal();
    }
}

TEST_F(VexaCommTest, ReadFaultsFailPromptlyAndTheNextReadWorks)
{
    struct Row {
        const char* name;
        EmulatorFaults f;
        int maxAcks; // acknowledgements of blocks the link may have sent
    } rows[] = {
        {"dropped block", {.dropBlock = 5}, 4},
        {"bad CRC", {.badCrcBlock = 5}, 4},
        {"wrong code", {.wrongCodeReply = 5}, 4},
        {"bad magic", {.badMagicReply = 5}, 4},
        {"length 3", {.forceLength = 3}, 0},
        {"length 6000 with a correct CRC", {.forceLength = 6000}, 0},
        {"hang-up", {.hangupAfterBlock = 5}, 4},
        {"65 blocks", {.blockCount = 65}, 64},
        {"silence", {.silenceFromReply = 0}, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        emu.SetFaults(r.f);
        std::vector<std::uint8_t> image;
        const auto t0 = std::chrono::steady_clock::now();
        EXPECT_FALSE(comm->ReadData(image));
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
        EXPECT_LE(image.size(), 131072u);
        auto frames = FromLink(emu.Log());
        ASSERT_FALSE(frames.empty());
        EXPECT_LE(int(frames.size()) - 1, r.maxAcks) << "a failed block must not be acknowledged";
        Heal();
        ExpectReadWorks();
        Heal();
    }
}

TEST_F(VexaCommTest, APortThatCannotBeReopenedAtTheSlowSpeedFailsTheReadWithoutThrowing)
{
    // The device goes away between the acknowledgement and the reopening at 19200 baud.
    const std::string variable = "VEXA_COM" + std::to_string(kPort);
    comm->OnProgress = [&](std::int32_t step, std::int32_t, bool&) {
        if (step == 1)
            setenv(variable.c_str(), "/nonexistent/vexa-test-unplugged", 1);
    };
    std::vector<std::uint8_t> image;
    EXPECT_FALSE(comm->ReadData(image));
    setenv(variable.c_str(), emu.DevicePath().c_str(), 1);
    Heal();
    ExpectReadWorks();
}

TEST_F(VexaCommTest, SendDeliversTheImageInBlocksOf2048)
{
    auto image = EveryByteImage();
    image[5] = 0xA5;
    ASSERT_TRUE(comm->SendData(image));
    EXPECT_TRUE(emu.Image() == image);
    EXPECT_EQ(progress.steps, Scale(67, 1, 67));
    auto frames = LinkFrames();
    ASSERT_EQ(frames.size(), 67u);
    EXPECT_EQ(frames[0].code, 0x1E);
    EXPECT_EQ(frames[1].code, 0x1E);
    for (int i = 2; i < 66; ++i) {
        EXPECT_EQ(frames[size_t(i)].code, 0x30);
        EXPECT_EQ(frames[size_t(i)].length, 2052);
        EXPECT_TRUE(frames[size_t(i)].crcOk);
    }
    EXPECT_EQ(frames[66].code, 0x1F);
    for (const auto& f : frames)
        EXPECT_EQ(f.baud, 115200);

    Heal();
    EXPECT_TRUE(comm->SendData({}));
    EXPECT_EQ(Codes(LinkFrames()), (std::vector<int>{0x1E, 0x1E, 0x1F}));
    EXPECT_TRUE(emu.Image().empty());
}

TEST_F(VexaCommTest, SendFaultsFailPromptlyAndTheNextSendWorks)
{
    struct Row {
        const char* name;
        EmulatorFaults f;
    } rows[] = {
        {"acknowledgements stop", {.ackStopAfterBlock = 10}},
        {"hang-up", {.hangupAfterBlock = 10}},
        {"wrong code for ready", {.wrongCodeReply = 1}},
        {"bad magic", {.badMagicReply = 4}},
    };
    const auto image = EveryByteImage();
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        emu.SetFaults(r.f);
        const auto t0 = std::chrono::steady_clock::now();
        EXPECT_FALSE(comm->SendData(image));
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
        Heal();
        std::vector<std::uint8_t> other(image.rbegin(), image.rend());
        EXPECT_TRUE(comm->SendData(other));
        EXPECT_TRUE(emu.Image() == other);
        Heal();
    }
}

TEST_F(VexaCommTest, FirmwareUploadOfBothKinds)
{
    const auto file = FirmwareFile();
    std::vector<std::uint8_t> stream = {0x00, 0x20, 0x00, 0x00};
    stream.insert(stream.end(), file.begin() + 42, file.end());
    struct Row {
        int kind;
        std::vector<int> codes;
    } rows[] = {{1, {0x12, 0x12, 0x13}}, {2, {0x12, 0x22, 0x23}}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.kind);
        ASSERT_TRUE(comm->SendSoftFile(r.kind, file));
        EXPECT_TRUE(emu.Firmware() == stream);
        ASSERT_FALSE(progress.steps.empty());
        EXPECT_EQ(progress.steps.front(), (std::pair<int, int>{-1, 517}));
        EXPECT_EQ(progress.steps.back(), (std::pair<int, int>{517, 0}));
        auto frames = LinkFrames();
        ASSERT_EQ(frames.size(), 517u);
        EXPECT_EQ((std::vector<int>{frames[0].code, frames[1].code, frames[516].code}), r.codes);
        for (std::size_t i = 2; i < 516; ++i)
            EXPECT_EQ(frames[i].length, i == 515 ? 2068 : 4088);
        Heal();
    }
}

TEST_F(VexaCommTest, FirmwareFilesOfTheWrongShapeSendNothing)
{
    auto noLine = FirmwareFile();
    noLine[40] = ' ';
    auto shortImage = FirmwareFile(TVexaComm::kFirmwareImageSize - 1);
    auto longImage = FirmwareFile(TVexaComm::kFirmwareImageSize + 1);
    std::vector<std::uint8_t> onlyLine = {'a', 0x0D, 0x0A};
    for (const std::vector<std::uint8_t>* file : {&noLine, &shortImage, &longImage, &onlyLine})
        EXPECT_FALSE(comm->SendSoftFile(2, *file));
    // A prepared stream must carry exactly the 2 MiB image too.
    EXPECT_FALSE(comm->SendFirmware(1, std::vector<std::uint8_t>(100, 0)));
    EXPECT_TRUE(progress.steps.empty());
    EXPECT_TRUE(emu.Log().empty());
}

// A receiver may take nearly the whole time-out to answer: on a real line a
// block of 2 KiB alone takes about a second at 19200 baud, which a pty never shows.
TEST_F(VexaCommTest, AnAnswerJustInsideTheTimeOutIsTaken)
{
    const auto image = EveryByteImage();
    const auto file = FirmwareFile();
    struct Row {
        const char* name;
        int timeoutMs;
        std::function<bool()> run;
    } rows[] = {
        {"status", 500, [&] { comm->Refresh(); return comm->Connected(); }},
        {"read", 1800, [&] { std::vector<std::uint8_t> got; return comm->ReadData(got); }},
        {"send", 1500, [&] { return comm->SendData(image); }},
        {"firmware", 1500, [&] { return comm->SendSoftFile(1, file); }},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        // Reply 1: the status block, the first image block, or "ready".
        emu.SetFaults({.replyDelayMs = r.timeoutMs - 250, .delayReply = 1});
        EXPECT_TRUE(r.run());
        Heal();
    }
}

TEST_F(VexaCommTest, CancelStopsTheTransferAndSendsNothingMore)
{
    struct Row {
        const char* name;
        bool read;
        int cancelAt;
        std::size_t linkFrames; // what the program sent in all
    } rows[] = {
        {"read, before anything is sent", true, -1, 0},
        {"read, after block 9", true, 10, 1 + 8},
        {"send, before the first block", false, 3, 2},
        {"send, with the last block", false, 67, 2 + 64},
    };
    const auto image = EveryByteImage();
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        progress.cancelAt = r.cancelAt;
        std::vector<std::uint8_t> got;
        EXPECT_FALSE(r.read ? comm->ReadData(got) : comm->SendData(image));
        EXPECT_TRUE(progress.cancelled);
        EXPECT_EQ(progress.steps.back().first, r.cancelAt) << "no progress after the cancel";
        // Give a late frame the time to show up before counting.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_EQ(FromLink(emu.Log()).size(), r.linkFrames);
        Heal();
        if (r.read)
            ExpectReadWorks();
        else
            EXPECT_TRUE(comm->SendData(image));
        Heal();
    }
}

TEST_F(VexaCommTest, OneOperationAtATime)
{
    bool nestedRead = true, nestedSend = true;
    bool nestedConnected = false;
    comm->OnProgress = [&](std::int32_t step, std::int32_t, bool&) {
        if (step == 2) {
            std::vector<std::uint8_t> inner;
            nestedRead = comm->ReadData(inner);
            nestedSend = comm->SendData({});
            comm->Refresh();
            nestedConnected = comm->Connected();
        }
    };
    std::vector<std::uint8_t> image;
    EXPECT_TRUE(comm->ReadData(image));
    EXPECT_FALSE(nestedRead);
    EXPECT_FALSE(nestedSend);
    EXPECT_TRUE(nestedConnected) << "a refused query must not reset the link";
    EXPECT_TRUE(image == EveryByteImage());
}

TEST(VexaCommPorts, TheRequestedPortWhenUsableElseTheFirstInTextOrder)
{
    ReceiverEmulator two, ten;
    PortEnv env({{2, two.DevicePath()}, {10, ten.DevicePath()}});
    struct Row {
        int requested, expected;
    } rows[] = {{2, 2}, {3, 10}, {0, 10}};
    for (const auto& r : rows) {
        TVexaComm comm(r.requested);
        EXPECT_EQ(comm.Port(), r.expected) << "COM" << r.requested << " asked for";
    }
    TVexaComm comm(2);
    comm.SetPort(7);
    EXPECT_EQ(comm.Port(), 2) << "a port that is not usable is not taken";
    comm.SetPort(10);
    EXPECT_EQ(comm.Port(), 10);
}

TEST(VexaCommNoPort, WithoutAUsablePortNothingTouchesTheLine)
{
    PortEnv env({});
    TVexaComm comm(3);
    ProcessPendingEvents();
    EXPECT_EQ(comm.Port(), 0);
    EXPECT_FALSE(comm.Connected());
    std::vector<std::uint8_t> image;
    EXPECT_FALSE(comm.ReadData(image));
    EXPECT_TRUE(image.empty());
    EXPECT_FALSE(comm.SendData(EveryByteImage()));
}

} // namespace
