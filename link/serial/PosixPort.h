#pragma once
// The device under a port: a non-blocking tty descriptor, locked against a
// second user, in raw mode with the line settings of a TAfDCB.
#include "link/serial/TAfDCB.h"

#include <cstddef>
#include <string>
#include <sys/types.h>

class PosixPort {
public:
    // Probe results.
    enum ProbeStatus { ProbeInUse = 0, ProbeUsable = 1, ProbeMissing = 2 };
    // Results of Open.
    enum OpenResult { Opened, Missing, CannotOpen };

    PosixPort() = default;
    ~PosixPort(); // closes
    PosixPort(const PosixPort&) = delete;
    PosixPort& operator=(const PosixPort&) = delete;

    // Opens read-write, not as controlling terminal, non-blocking, and takes
    // an exclusive lock: a device another user holds cannot be opened.
    OpenResult Open(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    int Handle() const { return fd_; }

    // Raw mode: no echo, no line editing, no character mapping; reads
    // return at once with what is waiting (VMIN = VTIME = 0).
    bool SetRawMode();
    // Applies rate, frame, flow control and the DTR/RTS lines of a DCB, in
    // place. False when the device refuses them or a value has no
    // equivalent here (for example a rate the system does not know).
    bool ApplyDCB(const TAfDCB& dcb);
    // The device's current settings as a DCB.
    TAfDCB ReadDCB() const;

    // read/write on the descriptor: bytes moved, 0 when nothing can move
    // now, -1 on a failure of the device (errno tells).
    ssize_t Read(void* buf, std::size_t count);
    ssize_t Write(const void* buf, std::size_t count);
    // Discards what the device holds in either direction.
    bool Purge();

    // Raises or drops DTR or RTS. A device without modem lines (a
    // pseudo-terminal) answers false, which is no error.
    bool SetLine(int line, bool on); // line: TIOCM_DTR or TIOCM_RTS
    // TIOCM_* bits of the modem lines, or -1 when the device has none.
    int ModemLines() const;
    // Frame, overrun, parity and break counts; false when the device keeps none.
    bool ErrorCounts(unsigned counts[4]) const;

    // Opens and closes the device again at once.
    static ProbeStatus Probe(const std::string& path);

private:
    int fd_ = -1;
};
