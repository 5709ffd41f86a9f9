#include "link/serial/PosixPort.h"

#include "PseudoTerminal.h"

#include <gtest/gtest.h>

#include <sys/ioctl.h>
#include <termios.h>

TEST(PosixPortTest, SettingsAsTheOtherEndSeesThem)
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
    // Raw mode shows in every byte value passing the link unchanged; the line set-up a device needs shows here.
    termios t{};
    ASSERT_EQ(::tcgetattr(pty.Master(), &t), 0);
    EXPECT_EQ(pty.Speed(), 115200u);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD),
              static_cast<tcflag_t>(CS8 | CLOCAL | CREAD));

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
