#pragma once
// A pseudo-terminal for the serial tests: the port opens the slave side
// (through VEXA_COM<n>), the test plays the other end on the master side.
// The test keeps its own descriptor on the slave, as a device emulator
// would, so the master stays usable while the port is closed.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class PseudoTerminal {
public:
    // Points COM<comNumber> at the new slave.
    explicit PseudoTerminal(int comNumber);
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int Master() const { return master_; }
    const std::string& SlavePath() const { return slavePath_; }
    // Closes the other end: the port sees a hang-up.
    void CloseMaster();

    // Writes all bytes to the master, waiting for room; false on a failure
    // or when `limitMs` passes.
    bool Send(const std::vector<std::uint8_t>& bytes, int limitMs = 10000);
    // Reads from the master until `count` bytes came or `limitMs` passed.
    std::vector<std::uint8_t> Receive(std::size_t count, int limitMs = 10000);
    // The speed the master's termios shows (the pair shares one setting).
    unsigned Speed() const;

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    int comNumber_;
};

// Lets pending events run until `done` holds or `limitMs` passes; the result of `done`.
bool PumpUntil(const std::function<bool()>& done, int limitMs = 5000);
// Lets pending events run for `ms` milliseconds.
void PumpFor(int ms);
// Waits, running no events, until a worker thread has handed a call to the
// main thread since the hand-off statistics showed `sentBefore` calls sent.
bool AwaitHandOff(std::uint64_t sentBefore);

// Deterministic test bytes.
std::vector<std::uint8_t> Pattern(std::size_t count, std::uint32_t seed);
