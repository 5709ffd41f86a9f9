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

int SpeedToBaud(speed_t s)
{
    switch (s) {
    case B0: return 0;
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    case B230400: return 230400;
    default: return -1;
    }
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
    {
        std::lock_guard lock(mu_);
        ptyName_ = name;
    }
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
    std::lock_guard lock(mu_);
    ++hangups_;
}

std::string ReceiverEmulator::DevicePath() const { return link_; }

std::string ReceiverEmulator::PtyName() const
{
    std::lock_guard lock(mu_);
    return ptyName_;
}

void ReceiverEmulator::SetFaults(const EmulatorFaults& f)
{
    std::lock_guard lock(mu_);
    faults_ = f;
}

EmulatorFaults ReceiverEmulator::F() const
{
    std::lock_guard lock(mu_);
    return faults_;
}

void ReceiverEmulator::SetImage(std::vector<uint8_t> image)
{
    std::lock_guard lock(mu_);
    image_ = std::move(image);
}

std::vector<uint8_t> ReceiverEmulator::Image() const
{
    std::lock_guard lock(mu_);
    return image_;
}

std::vector<uint8_t> ReceiverEmulator::Firmware() const
{
    std::lock_guard lock(mu_);
    return firmware_;
}

uint8_t ReceiverEmulator::FirmwareStartCode() const
{
    std::lock_guard lock(mu_);
    return firmwareStart_;
}

void ReceiverEmulator::SetVersions(const std::string& hard, const std::string& soft)
{
    std::lock_guard lock(mu_);
    hard_ = hard;
    soft_ = soft;
}

std::vector<EmulatorFrame> ReceiverEmulator::Log() const
{
    std::lock_guard lock(mu_);
    return log_;
}

void ReceiverEmulator::ClearLog()
{
    std::lock_guard lock(mu_);
    log_.clear();
}

bool ReceiverEmulator::WaitForLog(const std::function<bool(const std::vector<EmulatorFrame>&)>& pred,
                                  int timeoutMs) const
{
    std::unique_lock lock(mu_);
    return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return pred(log_); });
}

bool ReceiverEmulator::WaitIdle(int timeoutMs) const
{
    std::unique_lock lock(mu_);
    return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !busy_; });
}

int ReceiverEmulator::Hangups() const
{
    std::lock_guard lock(mu_);
    return hangups_;
}

int ReceiverEmulator::Exchanges() const
{
    std::lock_guard lock(mu_);
    return exchanges_;
}

void ReceiverEmulator::SetObserver(std::function<void(const EmulatorFrame&)> observer)
{
    std::lock_guard lock(mu_);
    observer_ = std::move(observer);
}

void ReceiverEmulator::Record(const EmulatorFrame& e)
{
    std::function<void(const EmulatorFrame&)> obs;
    {
        std::lock_guard lock(mu_);
        log_.push_back(e);
        obs = observer_;
    }
    cv_.notify_all();
    if (obs)
        obs(e);
}

void ReceiverEmulator::SetBusy(bool busy)
{
    {
        std::lock_guard lock(mu_);
        busy_ = busy;
    }
    cv_.notify_all();
}

int ReceiverEmulator::CurrentBaud() const
{
    termios t{};
    if (tcgetattr(slave_, &t) != 0)
        return -1;
    return SpeedToBaud(cfgetospeed(&t));
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

// p[0] is the stop eventfd, p[1] the abandon eventfd, both polled.
bool ReceiverEmulator::Interrupted(const pollfd* p)
{
    if (p[1].revents) {
        uint64_t count;
        [[maybe_unused]] auto r = ::read(abandon_, &count, sizeof count);
        return true;
    }
    return p[0].revents != 0 || stop_;
}

bool ReceiverEmulator::Pause(int ms)
{
    pollfd p[2] = {{wake_, POLLIN, 0}, {abandon_, POLLIN, 0}};
    ::poll(p, 2, ms);
    return !Interrupted(p);
}

bool ReceiverEmulator::Fill(size_t n, Clock::time_point firstDeadline)
{
    while (in_.size() < n) {
        if (stop_)
            return false;
        auto deadline = in_.empty() ? firstDeadline : Clock::now() + std::chrono::milliseconds(kInterByteMs);
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (firstDeadline == Clock::time_point::max() && in_.empty())
            left = -1;
        else if (left <= 0)
            return false;
        pollfd p[3] = {{wake_, POLLIN, 0}, {abandon_, POLLIN, 0}, {master_, POLLIN, 0}};
        int r = ::poll(p, 3, int(std::min<long long>(left, 1 << 30)));
        if (r < 0 && errno != EINTR)
            return false;
        if (Interrupted(p))
            return false;
        if (p[2].revents & POLLIN) {
            uint8_t buf[4096];
            ssize_t got = ::read(master_, buf, sizeof buf);
            if (got > 0)
                in_.insert(in_.end(), buf, buf + got);
        } else if (p[2].revents & (POLLHUP | POLLERR)) {
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
    entry = EmulatorFrame{};
    entry.fromLink = true;
    entry.code = f.code;
    entry.length = f.length;
    entry.baud = CurrentBaud();
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
        entry.crcOk = body >= 4 && Be32(&f.body[body - 4]) == Crc32(f.body.data(), body - 4);
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
        if (w < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd pf[3] = {{wake_, POLLIN, 0}, {abandon_, POLLIN, 0}, {master_, POLLOUT, 0}};
        ::poll(pf, 3, int(left));
        if (Interrupted(pf))
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
    frame.push_back(code);
    frame.push_back(0);
    frame.push_back(0);
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

    EmulatorFrame e;
    e.code = frame[9];
    e.length = Be16(&frame[10]);
    e.magicOk = std::memcmp(frame.data(), kMagic, sizeof kMagic) == 0;
    e.complete = sendLen == frame.size();
    e.baud = CurrentBaud();
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
    std::string hard, soft;
    {
        std::lock_guard lock(mu_);
        hard = hard_;
        soft = soft_;
    }
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
    std::lock_guard lock(mu_);
    ++exchanges_;
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
    std::lock_guard lock(mu_);
    ++exchanges_;
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
        bool crcOk = f.body.size() >= 4 &&
                     Be32(&f.body[f.body.size() - 4]) == Crc32(f.body.data(), f.body.size() - 4);
        if (!crcOk)
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
    if (!Reply(kAck))
        return;
    std::lock_guard lock(mu_);
    if (firmware) {
        firmware_ = std::move(data);
        firmwareStart_ = start;
    } else {
        image_ = std::move(data);
    }
    ++exchanges_;
}
