#include "link/serial/PosixPort.h"

#include "link/serial/AfUtils.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

struct Speed {
    std::uint32_t rate;
    speed_t code;
};
constexpr Speed speeds[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

bool SpeedCode(std::uint32_t rate, speed_t& code)
{
    for (const Speed& s : speeds)
        if (s.rate == rate) {
            code = s.code;
            return true;
        }
    return false;
}

std::uint32_t SpeedRate(speed_t code)
{
    for (const Speed& s : speeds)
        if (s.code == code)
            return s.rate;
    return 0;
}

// Errors that mean there is no such device, as opposed to one we may not use.
bool IsMissing(int error)
{
    return error == ENOENT || error == ENXIO || error == ENODEV || error == ENOTDIR;
}

// The same open for the port and for the probe. The flock is what keeps a
// second user out: TIOCEXCL would not stop root.
int OpenLocked(const std::string& path, int& error)
{
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno;
        SafeCloseHandle(fd);
        return -1;
    }
    return fd;
}

} // namespace

PosixPort::~PosixPort()
{
    Close();
}

PosixPort::OpenResult PosixPort::Open(const std::string& path)
{
    Close();
    int error = 0;
    fd_ = OpenLocked(path, error);
    if (fd_ >= 0)
        return Opened;
    return IsMissing(error) ? Missing : CannotOpen;
}

void PosixPort::Close()
{
    if (fd_ >= 0) {
        // The lock goes with the descriptor.
        ::close(fd_);
        fd_ = -1;
    }
}

bool PosixPort::SetRawMode()
{
    termios t{};
    if (fd_ < 0 || ::tcgetattr(fd_, &t) != 0)
        return false;
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    // Reads return at once with whatever is waiting.
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return ::tcsetattr(fd_, TCSANOW, &t) == 0;
}

bool PosixPort::ApplyDCB(const TAfDCB& dcb)
{
    termios t{};
    if (fd_ < 0 || ::tcgetattr(fd_, &t) != 0)
        return false;

    speed_t code;
    if (!SpeedCode(dcb.BaudRate, code))
        return false;
    tcflag_t size;
    switch (dcb.ByteSize) {
    case 5: size = CS5; break;
    case 6: size = CS6; break;
    case 7: size = CS7; break;
    case 8: size = CS8; break;
    default: return false;
    }
    tcflag_t parity;
    switch (dcb.Parity) {
    case 0: parity = 0; break;
    case 1: parity = PARENB | PARODD; break;
    case 2: parity = PARENB; break;
    case 3: parity = PARENB | PARODD | CMSPAR; break;
    case 4: parity = PARENB | CMSPAR; break;
    default: return false;
    }
    tcflag_t stop;
    switch (dcb.StopBits) {
    case 0: stop = 0; break;
    case 2: stop = CSTOPB; break;
    default: return false; // one and a half stop bits do not exist here
    }
    // Hardware flow control by DTR/DSR does not exist here either.
    if (dcb.Flags & (DCB_OutxDsrFlow | DCB_DtrControlHandshake))
        return false;

    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= size | parity | stop | CLOCAL | CREAD;
    if (dcb.Flags & (DCB_OutxCtsFlow | DCB_RtsControlHandshake))
        t.c_cflag |= CRTSCTS;
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK | ISTRIP);
    if (dcb.Flags & DCB_OutX)
        t.c_iflag |= IXON;
    if (dcb.Flags & DCB_InX)
        t.c_iflag |= IXOFF;
    if (dcb.Flags & DCB_Parity)
        t.c_iflag |= INPCK;
    t.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
    if (::cfsetispeed(&t, code) != 0 || ::cfsetospeed(&t, code) != 0)
        return false;
    // In place: the line keeps its descriptor and what it holds.
    if (::tcsetattr(fd_, TCSANOW, &t) != 0)
        return false;

    // Lines that the driver does not steer follow the DCB; best effort.
    if (!(dcb.Flags & DCB_DtrControlHandshake))
        SetLine(TIOCM_DTR, (dcb.Flags & DCB_DtrControlEnable) != 0);
    if (!(dcb.Flags & DCB_RtsControlHandshake))
        SetLine(TIOCM_RTS, (dcb.Flags & DCB_RtsControlEnable) != 0);
    return true;
}

TAfDCB PosixPort::ReadDCB() const
{
    TAfDCB dcb;
    dcb.DCBlength = DCB_Length;
    termios t{};
    if (fd_ < 0 || ::tcgetattr(fd_, &t) != 0)
        return dcb;
    dcb.BaudRate = SpeedRate(::cfgetospeed(&t));
    switch (t.c_cflag & CSIZE) {
    case CS5: dcb.ByteSize = 5; break;
    case CS6: dcb.ByteSize = 6; break;
    case CS7: dcb.ByteSize = 7; break;
    default: dcb.ByteSize = 8; break;
    }
    if (t.c_cflag & PARENB) {
        const bool odd = t.c_cflag & PARODD;
        dcb.Parity = (t.c_cflag & CMSPAR) ? (odd ? 3 : 4) : (odd ? 1 : 2);
    }
    dcb.StopBits = (t.c_cflag & CSTOPB) ? 2 : 0;
    dcb.Flags = DCB_Binary;
    if (t.c_cflag & CRTSCTS)
        dcb.Flags |= DCB_OutxCtsFlow | DCB_RtsControlHandshake;
    if (t.c_iflag & IXON)
        dcb.Flags |= DCB_OutX;
    if (t.c_iflag & IXOFF)
        dcb.Flags |= DCB_InX;
    if (t.c_iflag & INPCK)
        dcb.Flags |= DCB_Parity;
    const int lines = ModemLines();
    if (lines >= 0 && (lines & TIOCM_DTR))
        dcb.Flags |= DCB_DtrControlEnable;
    if (lines >= 0 && (lines & TIOCM_RTS) && !(t.c_cflag & CRTSCTS))
        dcb.Flags |= DCB_RtsControlEnable;
    dcb.XonChar = static_cast<char>(t.c_cc[VSTART]);
    dcb.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
    return dcb;
}

ssize_t PosixPort::Read(void* buf, std::size_t count)
{
    const ssize_t n = ::read(fd_, buf, count);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return 0;
    return n;
}

ssize_t PosixPort::Write(const void* buf, std::size_t count)
{
    const ssize_t n = ::write(fd_, buf, count);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return 0;
    return n;
}

bool PosixPort::Purge()
{
    return fd_ >= 0 && ::tcflush(fd_, TCIOFLUSH) == 0;
}

bool PosixPort::SetLine(int line, bool on)
{
    return fd_ >= 0 && ::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) == 0;
}

int PosixPort::ModemLines() const
{
    int lines = 0;
    if (fd_ < 0 || ::ioctl(fd_, TIOCMGET, &lines) != 0)
        return -1;
    return lines;
}

bool PosixPort::ErrorCounts(unsigned counts[4]) const
{
    serial_icounter_struct icount{};
    if (fd_ < 0 || ::ioctl(fd_, TIOCGICOUNT, &icount) != 0)
        return false;
    counts[0] = static_cast<unsigned>(icount.frame);
    counts[1] = static_cast<unsigned>(icount.overrun) + static_cast<unsigned>(icount.buf_overrun);
    counts[2] = static_cast<unsigned>(icount.parity);
    counts[3] = static_cast<unsigned>(icount.brk);
    return true;
}

PosixPort::ProbeStatus PosixPort::Probe(const std::string& path)
{
    int error = 0;
    int fd = OpenLocked(path, error);
    if (fd >= 0) {
        SafeCloseHandle(fd);
        return ProbeUsable;
    }
    return IsMissing(error) ? ProbeMissing : ProbeInUse;
}
