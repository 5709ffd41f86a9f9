#include "link/serial/PosixPort.h"

#include "PseudoTerminal.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A child process that holds `path` open under an exclusive flock until
// it is told to go (or killed).
class LockHolder {
public:
    explicit LockHolder(const std::string& path)
    {
        int ready[2], go[2];
        if (::pipe(ready) != 0 || ::pipe(go) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(go[1]);
            const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            const char ok = (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) ? 1 : 0;
            [[maybe_unused]] ssize_t w = ::write(ready[1], &ok, 1);
            char c;
            [[maybe_unused]] ssize_t r = ::read(go[0], &c, 1); // until the parent closes its end
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(go[0]);
        goFd_ = go[1];
        char ok = 0;
        locked_ = ::read(ready[0], &ok, 1) == 1 && ok == 1;
        ::close(ready[0]);
    }
    ~LockHolder()
    {
        if (goFd_ >= 0)
            ::close(goFd_);
        if (pid_ > 0) {
            int status;
            ::waitpid(pid_, &status, 0);
        }
    }
    bool Locked() const { return locked_; }

private:
    pid_t pid_ = -1;
    int goFd_ = -1;
    bool locked_ = false;
};

TAfDCB Dcb(std::uint32_t rate)
{
    TAfDCB dcb;
    dcb.DCBlength = DCB_Length;
    dcb.BaudRate = rate;
    dcb.Flags = DCB_Binary;
    dcb.ByteSize = 8;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    return dcb;
}

} // namespace

TEST(PosixPortTest, ProbeTellsUsableMissingAndInUse)
{
    PseudoTerminal pty(31);
    EXPECT_EQ(PosixPort::Probe(pty.SlavePath()), PosixPort::ProbeUsable);
    EXPECT_EQ(PosixPort::Probe("/dev/no-such-serial-device"), PosixPort::ProbeMissing);
    {
        LockHolder other(pty.SlavePath());
        ASSERT_TRUE(other.Locked());
        EXPECT_EQ(PosixPort::Probe(pty.SlavePath()), PosixPort::ProbeInUse);
        PosixPort port;
        EXPECT_EQ(port.Open(pty.SlavePath()), PosixPort::CannotOpen);
    }
    // The lock went with the other process: usable again, and a probe
    // leaves nothing held behind it.
    EXPECT_EQ(PosixPort::Probe(pty.SlavePath()), PosixPort::ProbeUsable);
    PosixPort port;
    ASSERT_EQ(port.Open(pty.SlavePath()), PosixPort::Opened);
    EXPECT_EQ(PosixPort::Probe(pty.SlavePath()), PosixPort::ProbeInUse);
}

TEST(PosixPortTest, RawModeAndSettingsAsTheOtherEndSeesThem)
{
    PseudoTerminal pty(32);
    PosixPort port;
    ASSERT_EQ(port.Open(pty.SlavePath()), PosixPort::Opened);
    ASSERT_TRUE(port.SetRawMode());
    ASSERT_TRUE(port.ApplyDCB(Dcb(115200)));
    termios t{};
    ASSERT_EQ(::tcgetattr(pty.Master(), &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), B115200);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | IXON | ISTRIP), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);

    // In place, on the open descriptor; read back the same. (A
    // pseudo-terminal keeps 8 bits without parity whatever it is told.)
    TAfDCB changed = Dcb(19200);
    changed.StopBits = 2;
    changed.Flags |= DCB_OutX | DCB_InX;
    changed.XonChar = 0x21;
    ASSERT_TRUE(port.ApplyDCB(changed));
    EXPECT_EQ(pty.Speed(), 19200u);
    const TAfDCB back = port.ReadDCB();
    EXPECT_EQ(back.BaudRate, 19200u);
    EXPECT_EQ(back.ByteSize, 8);
    EXPECT_EQ(back.StopBits, 2);
    EXPECT_EQ(back.Flags, DCB_Binary | DCB_OutX | DCB_InX);
    EXPECT_EQ(back.XonChar, 0x21);
    EXPECT_EQ(back.DCBlength, DCB_Length);

    // Settings without an equivalent here are refused and change nothing.
    EXPECT_FALSE(port.ApplyDCB(Dcb(14400)));
    TAfDCB dsr = Dcb(9600);
    dsr.Flags |= DCB_OutxDsrFlow | DCB_DtrControlHandshake;
    EXPECT_FALSE(port.ApplyDCB(dsr));
    EXPECT_EQ(pty.Speed(), 19200u);

    // A pseudo-terminal has no modem lines: that is reported, not an error.
    EXPECT_FALSE(port.SetLine(TIOCM_DTR, true));
    EXPECT_EQ(port.ModemLines(), -1);
}

TEST(PosixPortTest, BytesBothWaysAndNonBlockingReads)
{
    PseudoTerminal pty(33);
    PosixPort port;
    ASSERT_EQ(port.Open(pty.SlavePath()), PosixPort::Opened);
    ASSERT_TRUE(port.SetRawMode());
    std::uint8_t buf[16];
    EXPECT_EQ(port.Read(buf, sizeof buf), 0); // nothing waiting: 0 at once, not a failure

    const std::vector<std::uint8_t> sent = {0x0D, 0x0A, 0x11, 0x13, 0x00, 0xFF, 0x03, 0x7F};
    ASSERT_EQ(port.Write(sent.data(), sent.size()), static_cast<ssize_t>(sent.size()));
    EXPECT_EQ(pty.Receive(sent.size(), 2000), sent);

    ASSERT_TRUE(pty.Send(sent));
    std::vector<std::uint8_t> got;
    for (int i = 0; i < 200 && got.size() < sent.size(); ++i) {
        const ssize_t n = port.Read(buf, sizeof buf);
        ASSERT_GE(n, 0);
        got.insert(got.end(), buf, buf + n);
        if (n == 0)
            ::usleep(5000);
    }
    EXPECT_EQ(got, sent);
}
