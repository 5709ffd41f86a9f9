// The receiver protocol against the emulator on a real pseudo-terminal, through
// the real serial component: good exchanges byte for byte, and every fault
// switch giving a false result after which the link works again.
#include "link/TVexaComm.h"

#include "LinkTestSupport.h"
#include "foundation/EventLoop.h"
#include "foundation/TLang.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <stdexcept>
#include <sys/resource.h>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Steps = std::vector<std::pair<int, int>>;
using Bytes = std::vector<std::uint8_t>;

// A scale of `max` steps, then steps from..to.
Steps Scale(int max, int from, int to)
{
    Steps s{{-1, max}};
    for (int i = from; i <= to; ++i)
        s.emplace_back(i, 0);
    return s;
}

// `first`, then `rest` n times.
std::vector<int> Series(int first, int rest, std::size_t n)
{
    std::vector<int> v(n + 1, rest);
    v[0] = first;
    return v;
}

std::vector<int> Bauds(const std::vector<EmulatorFrame>& frames)
{
    std::vector<int> out;
    for (const auto& f : frames)
        out.push_back(f.baud);
    return out;
}

// A firmware file as the firmware dialog accepts it: a 40-character
// signature line, CR LF, then the 2 MiB image.
Bytes FirmwareFile(std::size_t imageSize = TVexaComm::kFirmwareImageSize)
{
    Bytes file(40, 'S');
    file.push_back(0x0D);
    file.push_back(0x0A);
    for (std::size_t i = 0; i < imageSize; ++i)
        file.push_back(std::uint8_t(i * 13 + (i >> 11)));
    return file;
}

// What the receiver gets of a firmware file: the image's size, then the image.
Bytes FirmwareStream(const Bytes& file)
{
    Bytes stream = {0x00, 0x20, 0x00, 0x00};
    stream.insert(stream.end(), file.begin() + 42, file.end());
    return stream;
}

enum class Op { Status, Read, Send, Firmware };

class VexaCommTest : public ::testing::Test {
protected:
    static constexpr int kPort = 5;

    void SetUp() override
    {
        ASSERT_EQ(comm.Port(), kPort);
        // The first status query waits for the event loop.
        ASSERT_FALSE(comm.Connected());
        ProcessPendingEvents();
        ASSERT_TRUE(comm.Connected());
        Heal();
    }

    // Back to a well-behaved receiver holding the every-byte image, and a quiet line.
    void Heal()
    {
        emu.AbandonExchange();
        ASSERT_TRUE(emu.WaitIdle(3000));
        emu.SetFaults({});
        emu.SetImage(image);
        const auto until = std::chrono::steady_clock::now() + 100ms;
        while (std::chrono::steady_clock::now() < until)
            WaitForPendingEvents(20);
        emu.ClearLog();
        progress = {};
        comm.OnProgress = progress.Callback();
    }

    // Runs one operation; its result. `arrived` tells whether its data arrived whole.
    bool Do(Op op)
    {
        Bytes got;
        const Bytes other(image.rbegin(), image.rend());
        bool ok = false;
        switch (op) {
        case Op::Status: comm.Refresh(); ok = comm.Connected(); break;
        case Op::Read: ok = comm.ReadData(got); break;
        case Op::Send: ok = comm.SendData(other); break;
        case Op::Firmware: ok = comm.SendSoftFile(1, firmware); break;
        }
        arrived = op == Op::Status ? ok
                  : op == Op::Read ? got == image
                  : op == Op::Send ? emu.Image() == other
                                   : emu.Firmware() == FirmwareStream(firmware);
        return ok;
    }
    bool Works(Op op) { return Do(op) && arrived; }

    // What the program sent, once the exchange is over.
    std::vector<EmulatorFrame> LinkFrames()
    {
        EXPECT_TRUE(emu.WaitIdle(3000));
        return FromLink(emu.Log());
    }

    const Bytes image = EveryByteImage();
    const Bytes firmware = FirmwareFile();
    ReceiverEmulator emu;
    PortEnv env{{{kPort, emu.DevicePath()}}};
    TVexaComm comm{kPort};
    ProgressRecorder progress;
    bool arrived = false;
};

TEST_F(VexaCommTest, StatusQueryReadsTheVersionsAndAnnouncesTwice)
{
    emu.SetVersions("HW 4400 rev B", "SW 2.17");
    std::vector<bool> announced;
    comm.SetOnStatus([&] { announced.push_back(comm.Connected()); });
    comm.Refresh();
    EXPECT_TRUE(comm.Connected());
    EXPECT_EQ(comm.GetHardVersion(), "HW 4400 rev B");
    EXPECT_EQ(comm.GetSoftVersion(), "SW 2.17");
    // Once on being set, then not connected, then connected.
    EXPECT_EQ(announced, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(progress.steps, Scale(4, 1, 4));
    auto frames = LinkFrames();
    EXPECT_EQ(Codes(frames), (std::vector<int>{0x10, 0x00, 0x00}));
    EXPECT_EQ(Bauds(frames), Series(115200, 115200, 2));

    comm.Reset();
    EXPECT_FALSE(comm.Connected());
    EXPECT_EQ(comm.GetHardVersion(), LangText(301));
    EXPECT_EQ(comm.GetSoftVersion(), LangText(301));
}

TEST_F(VexaCommTest, StatusPayloadsThatEndEarlyGiveTextsFromInsideThePayload)
{
    emu.SetVersions("HARDWARE-1", "SOFTWARE-2");
    const std::string hard32 = "HARDWARE-1" + std::string(22, ' '), soft64 = "SOFTWARE-2" + std::string(54, ' ');
    struct Row {
        const char* name;
        EmulatorFaults f;
        std::string hard, soft;
    } rows[] = {
        {"ends inside the hardware text", {.statusPayloadSize = 37}, "HARDW", ""},
        {"ends inside the software text", {.statusPayloadSize = 70}, "HARDWARE-1", "SOFTWA"},
        {"has no zero byte at all", {.statusNoZero = true}, hard32 + soft64, soft64},
        {"is empty", {.forceLength = 4}, "", ""},
        {"is as long as a block may be", {.forceLength = 5000}, "HARDWARE-1", "SOFTWARE-2"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        emu.SetFaults(r.f);
        comm.Refresh();
        EXPECT_TRUE(comm.Connected());
        EXPECT_EQ(comm.GetHardVersion(), r.hard);
        EXPECT_EQ(comm.GetSoftVersion(), r.soft);
        Heal();
    }
}

class VexaCommFaults : public VexaCommTest, public ::testing::WithParamInterface<Op> {};

// Every fault switch, and a cancel, fails the operation at its step, with
// nothing sent after it (a failed step is not acknowledged); the operation
// works again once the receiver behaves.
TEST_P(VexaCommFaults, FailAtTheirStepAndTheLinkWorksAgain)
{
    struct Row {
        const char* name;
        Op op;
        EmulatorFaults f;
        std::size_t sent; // the most frames the program may have sent
        bool ok = false;
        std::optional<int> cancelAt = {}; // the progress step the user cancels at
    } rows[] = {
        {"silence", Op::Status, {.silenceFromReply = 0}, 1},
        {"reply after the time-out", Op::Status, {.replyDelayMs = 800, .delayReply = 0}, 1},
        {"bad magic on the status block", Op::Status, {.badMagicReply = 1}, 1},
        {"wrong code", Op::Status, {.wrongCodeReply = 1}, 1},
        {"bad CRC", Op::Status, {.badCrcBlock = 1}, 1},
        {"length 3", Op::Status, {.forceLength = 3}, 1},
        {"length 6000 with a correct CRC", Op::Status, {.forceLength = 6000}, 1},
        // The versions are in by then; only the closing frames are wrong.
        {"wrong closing code", Op::Status, {.wrongCodeReply = 2}, 2, true},
        {"silence", Op::Read, {.silenceFromReply = 0}, 1},
        {"dropped block", Op::Read, {.dropBlock = 5}, 5},
        {"bad CRC", Op::Read, {.badCrcBlock = 5}, 5},
        {"block cut short", Op::Read, {.truncateBlock = 5}, 5},
        {"wrong code", Op::Read, {.wrongCodeReply = 5}, 5},
        {"bad magic", Op::Read, {.badMagicReply = 5}, 5},
        {"length 3", Op::Read, {.forceLength = 3}, 1},
        {"length 6000 with a correct CRC", Op::Read, {.forceLength = 6000}, 1},
        {"hang-up", Op::Read, {.hangupAfterBlock = 5}, 5},
        {"65 blocks", Op::Read, {.blockCount = 65}, 65},
        {"wrong code for ready", Op::Send, {.wrongCodeReply = 1}, 1},
        {"bad magic", Op::Send, {.badMagicReply = 4}, 5},
        {"acknowledgements stop", Op::Send, {.ackStopAfterBlock = 10}, 13},
        {"hang-up", Op::Send, {.hangupAfterBlock = 10}, 12},
        {"acknowledgements stop", Op::Firmware, {.ackStopAfterBlock = 10}, 13},
        // A receiver may take nearly the whole time-out to answer (reply 1: the
        // status block, the first image block, or "ready"): on a real line a
        // block of 2 KiB alone takes about a second at 19200 baud.
        {"answer just inside the time-out", Op::Status, {.replyDelayMs = 500 - 250, .delayReply = 1}, 3, true},
        {"answer just inside the time-out", Op::Read, {.replyDelayMs = 1800 - 250, .delayReply = 1}, 66, true},
        {"answer just inside the time-out", Op::Send, {.replyDelayMs = 1500 - 250, .delayReply = 1}, 67, true},
        {"answer just inside the time-out", Op::Firmware, {.replyDelayMs = 1500 - 250, .delayReply = 1}, 517, true},
        {"cancel before anything is sent", Op::Read, {}, 0, false, -1},
        {"cancel after block 9", Op::Read, {}, 1 + 8, false, 10},
        {"cancel before the data starts", Op::Send, {}, 1, false, 2},
        {"cancel before the first block", Op::Send, {}, 2, false, 3},
        {"cancel with the last block", Op::Send, {}, 2 + 64, false, 67},
    };
    for (const auto& r : rows) {
        if (r.op != GetParam())
            continue;
        SCOPED_TRACE(r.name);
        emu.SetFaults(r.f);
        progress.cancelAt = r.cancelAt;
        EXPECT_EQ(Do(r.op), r.ok);
        EXPECT_TRUE(arrived || !r.ok);
        if (r.cancelAt) {
            EXPECT_EQ(progress.steps.back().first, *r.cancelAt) << "no progress after the cancel";
        }
        std::this_thread::sleep_for(200ms); // time for a frame sent after the failure to show up
        EXPECT_LE(FromLink(emu.Log()).size(), r.sent);
        Heal();
        EXPECT_TRUE(Works(r.op));
        Heal();
    }
}

std::string OpName(const ::testing::TestParamInfo<Op>& op)
{
    const char* const names[] = {"Status", "Read", "Send", "Firmware"};
    return names[int(op.param)];
}

INSTANTIATE_TEST_SUITE_P(EachOperation, VexaCommFaults,
                         ::testing::Values(Op::Status, Op::Read, Op::Send, Op::Firmware), OpName);

// The waits sleep: a silent receiver costs the whole program (the link,
// the port's threads) hardly any processor time.
TEST_F(VexaCommTest, WaitingForASilentReceiverDoesNotSpin)
{
    emu.SetFaults({.silenceFromReply = 0});
    auto cpuSeconds = [] {
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    };
    const double cpu0 = cpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(Do(Op::Status));
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_EQ(progress.steps, (Steps{{-1, 4}}));
    EXPECT_LT(cpuSeconds() - cpu0, 0.25 * wall);
}

TEST_F(VexaCommTest, ReadBringsBackTheImageByteForByte)
{
    ASSERT_TRUE(Works(Op::Read));
    EXPECT_EQ(progress.steps, Scale(65, 1, 65));
    // The request at 115200 baud; the blocks and their acknowledgements at 19200.
    const auto frames = LinkFrames();
    EXPECT_EQ(Codes(frames), Series(0x20, 0x00, 65));
    EXPECT_EQ(Bauds(frames), Series(115200, 19200, 65));
    std::vector<int> blocks;
    for (const auto& e : emu.Log())
        if (!e.fromLink && e.code == 0x30)
            blocks.push_back(e.baud);
    EXPECT_EQ(blocks, std::vector<int>(64, 19200));
    // The line stays slow, and the next operation speeds it up first.
    Heal();
    EXPECT_TRUE(Works(Op::Status));
    EXPECT_EQ(Bauds(LinkFrames()), Series(115200, 115200, 2));
}

// A first block without 3 at byte 10 announces half an image (33 steps).
TEST_F(VexaCommTest, ReadOfShortAndOddImages)
{
    auto halfOf = [&](std::size_t firstSize, int byte10) {
        Bytes half(image.begin(), image.begin() + long(firstSize));
        half.insert(half.end(), image.begin() + 2048, image.begin() + 2048 * 32);
        half.resize(131072, 0);
        if (byte10 >= 0)
            half[10] = std::uint8_t(byte10);
        return half;
    };
    Steps halfSteps = {{-1, 65}, {1, 0}, {-1, 33}};
    for (int i = 2; i <= 33; ++i)
        halfSteps.emplace_back(i, 0);
    struct Row {
        const char* name;
        EmulatorFaults f;
        Bytes expected;
        Steps steps;
    } rows[] = {
        {"no block at all", {.blockCount = 0}, Bytes(131072, 0), Scale(65, 1, 1)},
        {"half an image", {.firstBlockByte10 = 7, .blockCount = 32}, halfOf(2048, 7), halfSteps},
        {"first block too short for byte 10", {.firstBlockSize = 10, .blockCount = 32}, halfOf(10, -1), halfSteps},
        {"first block just long enough", {.firstBlockSize = 11, .blockCount = 32}, halfOf(11, -1), Scale(65, 1, 33)},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        emu.SetFaults(r.f);
        Bytes got;
        EXPECT_TRUE(comm.ReadData(got));
        EXPECT_TRUE(got == r.expected);
        EXPECT_EQ(progress.steps, r.steps);
        Heal();
    }
}

TEST_F(VexaCommTest, APortThatCannotBeReopenedAtTheOtherSpeedFailsTheReadWithoutThrowing)
{
    const std::string variable = "VEXA_COM" + std::to_string(kPort);
    auto plug = [&](bool in) { setenv(variable.c_str(), in ? emu.DevicePath().c_str() : "/nonexistent/unplugged", 1); };
    // The device goes away between the acknowledgement and the reopening at 19200 baud...
    comm.OnProgress = [&](std::int32_t step, std::int32_t, bool&) {
        if (step == 1)
            plug(false);
    };
    Bytes got;
    EXPECT_FALSE(comm.ReadData(got));
    plug(true);
    Heal();
    // ...or while the line is still open at 19200 from the last read.
    ASSERT_TRUE(Works(Op::Read));
    plug(false);
    EXPECT_FALSE(comm.ReadData(got));
    plug(true);
    Heal();
    EXPECT_TRUE(Works(Op::Read));
}

TEST_F(VexaCommTest, SendDeliversTheImageInBlocksOf2048)
{
    ASSERT_TRUE(Works(Op::Send));
    EXPECT_EQ(progress.steps, Scale(67, 1, 67));
    auto frames = LinkFrames();
    ASSERT_EQ(frames.size(), 67u);
    auto codes = Series(0x1E, 0x30, 66);
    codes[1] = 0x1E;
    codes.back() = 0x1F;
    EXPECT_EQ(Codes(frames), codes);
    EXPECT_EQ(Bauds(frames), Series(115200, 115200, 66));
    for (int i = 2; i < 66; ++i) {
        EXPECT_EQ(frames[size_t(i)].length, 2052);
        EXPECT_TRUE(frames[size_t(i)].crcOk);
    }

    Heal();
    EXPECT_TRUE(comm.SendData({}));
    EXPECT_EQ(Codes(LinkFrames()), (std::vector<int>{0x1E, 0x1E, 0x1F}));
    EXPECT_TRUE(emu.Image().empty());
}

TEST_F(VexaCommTest, FirmwareUploadOfBothKinds)
{
    const std::vector<int> rows[] = {{1, 0x12, 0x12, 0x13}, {2, 0x12, 0x22, 0x23}}; // kind, then the frame codes
    for (const auto& r : rows) {
        SCOPED_TRACE(r[0]);
        ASSERT_TRUE(comm.SendSoftFile(r[0], firmware));
        EXPECT_TRUE(emu.Firmware() == FirmwareStream(firmware));
        EXPECT_EQ(progress.steps, Scale(517, 1, 517));
        auto frames = LinkFrames();
        ASSERT_EQ(frames.size(), 517u);
        EXPECT_EQ((std::vector<int>{r[0], frames[0].code, frames[1].code, frames[516].code}), r);
        for (std::size_t i = 2; i < 516; ++i)
            EXPECT_EQ(frames[i].length, i == 515 ? 2068 : 4088);
        Heal();
    }
}

TEST_F(VexaCommTest, FirmwareFilesOfTheWrongShapeSendNothing)
{
    auto noLine = firmware;
    noLine[40] = ' ';
    const Bytes files[] = {noLine, FirmwareFile(TVexaComm::kFirmwareImageSize - 1),
                           FirmwareFile(TVexaComm::kFirmwareImageSize + 1), {'a', 0x0D, 0x0A}};
    for (const auto& file : files)
        EXPECT_FALSE(comm.SendSoftFile(2, file));
    // A prepared stream must carry exactly the 2 MiB image too.
    EXPECT_FALSE(comm.SendFirmware(1, Bytes(100, 0)));
    EXPECT_TRUE(progress.steps.empty());
    EXPECT_TRUE(emu.Log().empty());
}

// A progress callback that throws cancels, and nothing escapes.
TEST_F(VexaCommTest, AProgressCallbackThatThrowsCancels)
{
    comm.OnProgress = [](std::int32_t, std::int32_t, bool&) { throw std::runtime_error("window gone"); };
    EXPECT_FALSE(Do(Op::Read));
    EXPECT_TRUE(emu.Log().empty());
}

TEST_F(VexaCommTest, OneOperationAtATime)
{
    bool nestedRead = true, nestedSend = true;
    bool nestedConnected = false;
    comm.OnProgress = [&](std::int32_t step, std::int32_t, bool&) {
        if (step == 2) {
            Bytes inner;
            nestedRead = comm.ReadData(inner);
            nestedSend = comm.SendData({});
            comm.Refresh();
            nestedConnected = comm.Connected();
        }
    };
    EXPECT_TRUE(Works(Op::Read));
    EXPECT_FALSE(nestedRead);
    EXPECT_FALSE(nestedSend);
    EXPECT_TRUE(nestedConnected) << "a refused query must not reset the link";
}

TEST(VexaCommPorts, TheRequestedPortWhenUsableElseTheFirstInTextOrder)
{
    ReceiverEmulator two, ten;
    PortEnv env({{2, two.DevicePath()}, {10, ten.DevicePath()}});
    const std::pair<int, int> rows[] = {{2, 2}, {3, 10}, {0, 10}};
    for (const auto& [requested, expected] : rows)
        EXPECT_EQ(TVexaComm(requested).Port(), expected) << "COM" << requested << " asked for";
    TVexaComm comm(2);
    comm.SetPort(7);
    EXPECT_EQ(comm.Port(), 2) << "a port that is not usable is not taken";
    comm.SetPort(10);
    EXPECT_EQ(comm.Port(), 10);

    // Without a usable port there is none, and no operation even starts.
    PortEnv none({});
    TVexaComm idle(3);
    ProgressRecorder progress;
    idle.OnProgress = progress.Callback();
    Bytes image;
    ProcessPendingEvents();
    EXPECT_EQ(idle.Port(), 0);
    EXPECT_FALSE(idle.Connected());
    EXPECT_FALSE(idle.ReadData(image) || idle.SendData(image) || idle.SendFirmware(1, FirmwareStream(FirmwareFile())));
    EXPECT_TRUE(progress.steps.empty());
}

} // namespace
