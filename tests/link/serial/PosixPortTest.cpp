#include "link/serial/PosixPort.h"

#include "PseudoTerminal.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Another process holding `path` under an exclusive flock while `check` runs.
void WhileAnotherProcessHolds(const std::string& path, const std::function<void()>& check)
{
    int ready[2], go[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(go), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(go[1]);
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        const char ok = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        pollfd parentGone = {go[0], POLLIN, 0};
        if (::write(ready[1], &ok, 1) == 1)
            ::poll(&parentGone, 1, 10000); // until the parent closes its end
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(go[0]);
    char ok = 0;
    const bool locked = ::read(ready[0], &ok, 1) == 1 && ok;
    if (locked)
        check();
    ::close(go[1]);
    ::close(ready[0]);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(locked);
}

} // namespace

TEST(PosixPortTest, ProbeTellsUsableMissingAndInUse)
{
    PseudoTerminal pty(31);
    EXPECT_EQ(PosixPort::Probe(pty.SlavePath()), PosixPort::ProbeUsable);
    EXPECT_EQ(PosixPort::Probe("/dev/no-such-serial-device"), PosixPort::ProbeMissing);
    WhileAnotherProcessHolds(pty.SlavePath(), [&] {
        EXPECT_EQ(PosixPort::Probe(pty.SlavePath()), PosixPort::ProbeInUse);
        PosixPort port;
        EXPECT_EQ(port.Open(pty.SlavePath()), PosixPort::CannotOpen);
    });
    // The lock went with the other process, and a probe holds nothing after it.
    EXPECT_EQ(PosixPort::Probe(pty.SlavePath()), PosixPort::ProbeUsable);
    PosixPort port;
    ASSERT_EQ(port.Open(pty.SlavePath()), PosixPort::Opened);
    EXPECT_EQ(PosixPort::Probe(pty.SlavePath()), PosixPort::ProbeInUse);
}

TEST(PosixPortTest, RawModeAndSettingsAsTheOtherEndSeesThem)
{
    TAfDCB dcb;
    dcb.DCBlength = DCB_Length;
    dcb.BaudRate = 115200;
    dcb.Flags = DCB_Binary;
    dcb.ByteSize = 8;
    PseudoTerminal pty(32);
    PosixPort port;
    ASSERT_EQ(port.Open(pty.SlavePath()), PosixPort::Opened);
    ASSERT_TRUE(port.SetRawMode());
    ASSERT_TRUE(port.ApplyDCB(dcb));
    termios t{};
    ASSERT_EQ(::tcgetattr(pty.Master(), &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), B115200);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | IXON | ISTRIP), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD),
              static_cast<tcflag_t>(CS8 | CLOCAL | CREAD));
    EXPECT_EQ(t.c_cc[VMIN] + t.c_cc[VTIME], 0);

    // In place, on the open descriptor; read back the same. (A
    // pseudo-terminal keeps 8 bits without parity whatever it is told.)
    TAfDCB changed = dcb;
    changed.BaudRate = 19200;
    changed.StopBits = 2;
    changed.Flags |= DCB_OutX | DCB_InX;
    changed.XonChar = 0x21;
    ASSERT_TRUE(port.ApplyDCB(changed));
    EXPECT_EQ(pty.Speed(), 19200u);
    EXPECT_EQ(port.ReadDCB(), changed);

    // Settings without an equivalent here are refused and change nothing.
    changed.BaudRate = 14400;
    EXPECT_FALSE(port.ApplyDCB(changed));
    EXPECT_EQ(pty.Speed(), 19200u);

    // A pseudo-terminal has no modem lines: that is reported, not an error.
    EXPECT_FALSE(port.SetLine(TIOCM_DTR, true));
    EXPECT_EQ(port.ModemLines(), -1);
}

