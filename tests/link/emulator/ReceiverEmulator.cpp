#include "ReceiverEmulator.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

namespace {

const uint8_t kMagic[9] = {'k', 'E', 'L', 'V', 'o', 'R', 'a', 'N', 0};

constexpr uint8_t kAck = 0x00, kReady = 0x04, kStatus = 0x10, kStatusEnd = 0x11, kAnnounce = 0x12,
                  kSendRequest = 0x1E, kReadRequest = 0x20, kReadEnd = 0x21, kBlock = 0x30;

// Bytes that belong to one frame must follow each other within this time.
constexpr int kInterByteMs = 2000;
// The receiver waits this long for the link's next frame within an exchange.
constexpr int kExchangeWaitMs = 3000;
// After its acknowledgement of a read request the receiver switches to 19200
// baud and starts sending soon after, whether or not the link has caught up:
// the first block goes out once the link's line shows 19200 baud, or at the
// latest this long after the acknowledgement (the link reopens its port in
// a few milliseconds; a link that takes longer misses the block).
constexpr int kSwitchMs = 250;
// And once the line shows 19200, a moment for the link to finish reopening
// before the first block (a real receiver pauses too).
constexpr int kSettleMs = 30;

bool IsCommand(uint8_t code)
{
    return code == kStatus || code == kReadRequest || code == kSendRequest || code == kAnnounce;
}

uint16_t Be16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }

uint32_t Be32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

void CloseFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

uint32_t ReceiverEmulator::Crc32(const uint8_t* data, size_t n)
{
    // Bit by bit on purpose: the program uses a table, this is the check on it.
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int b = 0; b < 8; ++b)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

ReceiverEmulator::ReceiverEmulator()
{
    image_.assign(kImageSize, 0);
    for (size_t i = 0; i < kImageSize; ++i)
        image_[i] = uint8_t(i * 7 + i / 256);
    image_[10] = 3;

    std::string pattern = "/tmp/vexa-emulator-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("emulator: mkdtemp failed");
    dir_ = pattern;
    link_ = dir_ + "/ttyVEXA";
    wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    abandon_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_ < 0 || abandon_ < 0)
        throw std::runtime_error("emulator: eventfd failed");
    OpenPty();
    thread_ = std::thread([this] { Run(); });
}

ReceiverEmulator::~ReceiverEmulator()
{
    stop_ = true;
    uint64_t one = 1;
    [[maybe_unused]] auto r = ::write(wake_, &one, sizeof one);
    if (thread_.joinable())
        thread_.join();
    ClosePty();
    CloseFd(wake_);
    CloseFd(abandon_);
    ::unlink(link_.c_str());
    ::rmdir(dir_.c_str());
}

void ReceiverEmulator::OpenPty()
{
    int m = -1, s = -1;
    char name[128] = {};
    if (openpty(&m, &s, name, nullptr, nullptr) != 0)
        throw std::runtime_error(std::string("emulator: openpty failed: ") + std::strerror(errno));
    fcntl(m, F_SETFD, FD_CLOEXEC);
    fcntl(s, F_SETFD, FD_CLOEXEC);
    fcntl(m, F_SETFL, fcntl(m, F_GETFL) | O_NONBLOCK);
    // Raw from the start: a pty begins in cooked mode and would echo and
    // rewrite the bytes until the program configures its end.
    termios t{};
    tcgetattr(s, &t);
    cfmakeraw(&t);
    cfsetispeed(&t, B115200);
    cfsetospeed(&t, B115200);
    tcsetattr(s, TCSANOW, &t);
    master_ = m;
    slave_ = s;
    Locked([&] { ptyName_ = name; });
    // Re-point the stable name atomically, so that an open never finds it missing.
    std::string tmp = link_ + ".new";
    ::unlink(tmp.c_str());
    if (::symlink(name, tmp.c_str()) != 0 || ::rename(tmp.c_str(), link_.c_str()) != 0)
        throw std::runtime_error("emulator: cannot create " + link_);
}

void ReceiverEmulator::ClosePty()
{
    CloseFd(master_);
    CloseFd(slave_);
}

void ReceiverEmulator::HangUp()
{
    // Closing the master is what a pulled cable looks like on a pty: the
    // program's descriptor reports a hang-up and reads fail from then on.
    ClosePty();
    in_.clear();
    OpenPty();
    Locked([&] { ++hangups_; });
}

std::string ReceiverEmulator::DevicePath() const { return link_; }

bool ReceiverEmulator::WaitIdle(int timeoutMs) const
{
    std::unique_lock lock(mu_);
    return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !busy_; });
}

void ReceiverEmulator::Record(const EmulatorFrame& e)
{
    auto obs = Locked([&] {
        log_.push_back(e);
        return observer_;
    });
    cv_.notify_all();
    if (obs)
        obs(e);
}

void ReceiverEmulator::SetBusy(bool busy)
{
    Locked([&] { busy_ = busy; });
    cv_.notify_all();
}

int ReceiverEmulator::CurrentBaud() const
{
    static const std::pair<speed_t, int> speeds[] = {{B0, 0},         {B1200, 1200},   {B2400, 2400},
                                                     {B4800, 4800},   {B9600, 9600},   {B19200, 19200},
                                                     {B38400, 38400}, {B57600, 57600}, {B115200, 115200},
                                                     {B230400, 230400}};
    termios t{};
    if (tcgetattr(slave_, &t) == 0)
        for (const auto& [code, baud] : speeds)
            if (cfgetospeed(&t) == code)
                return baud;
    return -1;
}

bool ReceiverEmulator::WaitForBaud(int baud, int timeoutMs)
{
    // Gives up waiting after timeoutMs and goes on, as a receiver would;
    // false only when the exchange was interrupted.
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (CurrentBaud() != baud && Clock::now() < deadline) {
        if (!Pause(1))
            return false;
    }
    return true;
}

void ReceiverEmulator::AbandonExchange()
{
    uint64_t one = 1;
    [[maybe_unused]] auto r = ::write(abandon_, &one, sizeof one);
}

int ReceiverEmulator::Poll(int fd, short events, int ms)
{
    pollfd p[3] = {{wake_, POLLIN, 0}, {abandon_, POLLIN, 0}, {fd, events, 0}};
    const int r = ::poll(p, fd >= 0 ? 3 : 2, ms);
    if (p[1].revents) {
        uint64_t count;
        [[maybe_unused]] auto n = ::read(abandon_, &count, sizeof count);
        return -1;
    }
    if (p[0].revents || stop_ || (r < 0 && errno != EINTR))
        return -1;
    return r > 0 ? p[2].revents : 0;
}

bool ReceiverEmulator::Fill(size_t n, Clock::time_point firstDeadline)
{
    while (in_.size() < n) {
        auto deadline = in_.empty() ? firstDeadline : Clock::now() + std::chrono::milliseconds(kInterByteMs);
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (firstDeadline == Clock::time_point::max() && in_.empty())
            left = -1;
        else if (left <= 0)
            return false;
        const int ready = Poll(master_, POLLIN, int(std::min<long long>(left, 1 << 30)));
        if (ready < 0)
            return false;
        if (ready & POLLIN) {
            uint8_t buf[4096];
            ssize_t got = ::read(master_, buf, sizeof buf);
            if (got > 0)
                in_.insert(in_.end(), buf, buf + got);
        } else if (ready & (POLLHUP | POLLERR)) {
            // Cannot happen while we hold the slave open; do not spin if it does.
            Pause(10);
        }
    }
    return true;
}

bool ReceiverEmulator::NextFrame(Frame& f, Clock::time_point deadline, EmulatorFrame& entry)
{
    for (;;) {
        if (!Fill(12, deadline))
            return false;
        if (std::memcmp(in_.data(), kMagic, sizeof kMagic) == 0)
            break;
        // Hunt for the next possible start of a frame.
        auto it = std::find(in_.begin() + 1, in_.end(), kMagic[0]);
        in_.erase(in_.begin(), it);
    }
    f = Frame{};
    f.code = in_[9];
    f.length = Be16(&in_[10]);
    entry = EmulatorFrame{.fromLink = true, .code = f.code, .length = f.length, .baud = CurrentBaud()};
    size_t body = f.code == kBlock ? f.length : 0;
    if (!Fill(12 + body, Clock::now() + std::chrono::milliseconds(kInterByteMs))) {
        entry.complete = false;
        entry.crcOk = false;
        in_.clear();
        Record(entry);
        return false;
    }
    f.body.assign(in_.begin() + 12, in_.begin() + 12 + long(body));
    in_.erase(in_.begin(), in_.begin() + 12 + long(body));
    if (f.code == kBlock)
        f.crcOk = entry.crcOk = body >= 4 && Be32(&f.body[body - 4]) == Crc32(f.body.data(), body - 4);
    return true;
}

bool ReceiverEmulator::Await(Frame& f, std::initializer_list<uint8_t> codes, int baud, int timeoutMs)
{
    auto deadline = timeoutMs < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        EmulatorFrame entry;
        if (!NextFrame(f, deadline, entry))
            return false;
        bool expected = std::find(codes.begin(), codes.end(), f.code) != codes.end();
        entry.speedOk = entry.baud == (expected ? baud : 115200);
        Record(entry);
        if (expected && entry.speedOk)
            return true;
        if (IsCommand(f.code) && entry.baud == 115200) {
            pending_ = f;
            pendingValid_ = true;
            return false;
        }
        // Anything else (a frame at the wrong speed, a stray code) is what a
        // real receiver would not understand: it keeps listening.
    }
}

bool ReceiverEmulator::WriteAll(const uint8_t* p, size_t n)
{
    auto deadline = Clock::now() + std::chrono::milliseconds(kInterByteMs);
    while (n > 0) {
        ssize_t w = ::write(master_, p, n);
        if (w > 0) {
            p += w;
            n -= size_t(w);
            continue;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if ((w < 0 && errno != EAGAIN && errno != EINTR) || left <= 0 || Poll(master_, POLLOUT, int(left)) < 0)
            return false;
    }
    return true;
}

bool ReceiverEmulator::Reply(uint8_t code, const std::vector<uint8_t>* payload, int blockNo)
{
    const int r = replyNo_++;
    const EmulatorFaults fl = F();
    if (fl.silenceFromReply >= 0 && r >= fl.silenceFromReply)
        return false;
    if (fl.replyDelayMs > 0 && (fl.delayReply < 0 || fl.delayReply == r) && !Pause(fl.replyDelayMs))
        return false;

    std::vector<uint8_t> frame(kMagic, kMagic + sizeof kMagic);
    frame.insert(frame.end(), {code, 0, 0});
    if (r == fl.badMagicReply)
        frame[1] = 'X';
    if (r == fl.wrongCodeReply)
        frame[9] ^= 0x01;

    size_t bodyLen = 0;
    if (payload) {
        std::vector<uint8_t> body = *payload;
        // A forced length of 4 or more still closes with a correct CRC, so
        // that only the length is wrong; below 4 there is no room for one.
        if (fl.forceLength >= 4)
            body.resize(size_t(fl.forceLength) - 4, 0);
        uint32_t crc = Crc32(body.data(), body.size());
        if (blockNo != 0 && blockNo == fl.badCrcBlock)
            crc ^= 0x00010000u;
        for (int s = 24; s >= 0; s -= 8)
            body.push_back(uint8_t(crc >> s));
        if (fl.forceLength > 0)
            body.resize(size_t(fl.forceLength), 0);
        frame[10] = uint8_t(body.size() >> 8);
        frame[11] = uint8_t(body.size());
        bodyLen = body.size();
        frame.insert(frame.end(), body.begin(), body.end());
    }
    if (blockNo != 0 && blockNo == fl.dropBlock)
        return true; // lost on the line: the exchange goes on as if it had left
    size_t sendLen = frame.size();
    if (blockNo != 0 && blockNo == fl.truncateBlock)
        sendLen = 12 + bodyLen / 2;

    const EmulatorFrame e{.code = frame[9],
                          .length = Be16(&frame[10]),
                          .magicOk = std::memcmp(frame.data(), kMagic, sizeof kMagic) == 0,
                          .complete = sendLen == frame.size(),
                          .baud = CurrentBaud()};
    if (!WriteAll(frame.data(), sendLen))
        return false;
    Record(e);
    return true;
}

void ReceiverEmulator::Run()
{
    while (!stop_) {
        Frame f;
        if (pendingValid_) {
            f = pending_;
            pendingValid_ = false;
        } else if (!Await(f, {kStatus, kReadRequest, kSendRequest, kAnnounce}, 115200, -1)) {
            if (!pendingValid_)
                Pause(1);
            continue;
        }
        SetBusy(true);
        Dispatch(std::move(f));
        if (!pendingValid_)
            SetBusy(false);
    }
}

void ReceiverEmulator::Dispatch(Frame f)
{
    replyNo_ = 0;
    switch (f.code) {
    case kStatus: DoStatus(); break;
    case kReadRequest: DoRead(); break;
    case kSendRequest: DoReceive(false); break;
    case kAnnounce: DoReceive(true); break;
    default: break;
    }
}

void ReceiverEmulator::DoStatus()
{
    const EmulatorFaults fl = F();
    auto [hard, soft] = Locked([&] { return std::pair(hard_, soft_); });
    std::vector<uint8_t> payload(128, 0);
    for (int i = 0; i < 32; ++i)
        payload[size_t(i)] = uint8_t(0x41 + i % 26);
    if (fl.statusNoZero) {
        // Both texts run to the payload's end without a terminator.
        hard.resize(32, ' ');
        soft.resize(64, ' ');
    }
    std::copy_n(hard.begin(), std::min<size_t>(hard.size(), 31 + (fl.statusNoZero ? 1 : 0)), payload.begin() + 32);
    std::copy_n(soft.begin(), std::min<size_t>(soft.size(), 63 + (fl.statusNoZero ? 1 : 0)), payload.begin() + 64);
    if (fl.statusPayloadSize > 0)
        payload.resize(size_t(fl.statusPayloadSize), 0);

    Frame in;
    // The status reply is the exchange's only data block: block 1 for the faults.
    if (!Reply(kAck) || !Reply(kBlock, &payload, 1) || !Await(in, {kAck}, 115200, kExchangeWaitMs) ||
        !Reply(kStatusEnd) || !Await(in, {kAck}, 115200, kExchangeWaitMs))
        return;
    Locked([&] { ++exchanges_; });
}

void ReceiverEmulator::DoRead()
{
    if (!Reply(kAck))
        return;
    // The link reopens the line at 19200 baud before it listens for blocks.
    if (!WaitForBaud(19200, kSwitchMs) || !Pause(kSettleMs))
        return;

    const EmulatorFaults fl = F();
    const std::vector<uint8_t> image = Image();
    const int blocks = fl.blockCount >= 0 ? fl.blockCount : int(image.size() / kBlockSize);
    Frame in;
    for (int k = 1; k <= blocks; ++k) {
        size_t size = (k == 1 && fl.firstBlockSize > 0) ? size_t(fl.firstBlockSize) : kBlockSize;
        std::vector<uint8_t> payload(size, 0xEE);
        size_t from = size_t(k - 1) * kBlockSize;
        for (size_t i = 0; i < size && from + i < image.size(); ++i)
            payload[i] = image[from + i];
        if (k == 1 && fl.firstBlockByte10 >= 0 && payload.size() > 10)
            payload[10] = uint8_t(fl.firstBlockByte10);
        if (!Reply(kBlock, &payload, k))
            return;
        if (k == fl.hangupAfterBlock) {
            HangUp();
            return;
        }
        if (!Await(in, {kAck}, 19200, kExchangeWaitMs))
            return;
    }
    if (!Reply(kReadEnd) || !Await(in, {kAck}, 19200, kExchangeWaitMs))
        return;
    Locked([&] { ++exchanges_; });
}

void ReceiverEmulator::DoReceive(bool firmware)
{
    Frame f;
    if (!Reply(kAck) || !Reply(kReady))
        return;
    if (firmware) {
        if (!Await(f, {kAnnounce, 0x22}, 115200, kExchangeWaitMs))
            return;
    } else if (!Await(f, {kSendRequest}, 115200, kExchangeWaitMs)) {
        return;
    }
    const uint8_t start = f.code;
    const uint8_t end = firmware ? uint8_t(start + 1) : uint8_t(0x1F);
    const EmulatorFaults fl = F();
    std::vector<uint8_t> data;
    for (int k = 0;;) {
        if (!Await(f, {kBlock, end}, 115200, kExchangeWaitMs))
            return;
        if (f.code == end)
            break;
        if (!f.crcOk)
            return; // a damaged block is not acknowledged
        data.insert(data.end(), f.body.begin(), f.body.end() - 4);
        ++k;
        if (k == fl.hangupAfterBlock) {
            HangUp();
            return;
        }
        if (fl.ackStopAfterBlock > 0 && k > fl.ackStopAfterBlock)
            return;
        if (!Reply(kAck))
            return;
    }
    // Stored before the last acknowledgement, so that the program's success
    // and the stored data are never seen apart.
    Locked([&] {
        if (firmware) {
            firmware_ = std::move(data);
            firmwareStart_ = start;
        } else {
            image_ = std::move(data);
        }
    });
    if (Reply(kAck))
        Locked([&] { ++exchanges_; });
}
