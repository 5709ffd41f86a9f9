#pragma once
// Test equipment: plays the receiver's side of the serial protocol on a
// pseudo-terminal, so that the link can be exercised without hardware.
//
// It is deliberately independent of the program: its own pty and termios
// handling, its own CRC-32, its own frame parser. A fault in the program's
// helpers therefore cannot cancel out against the same fault here.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <initializer_list>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Switches that make the emulated receiver misbehave. Reply indexes count the
// frames the emulator sends within one exchange, from 0 (the first reply to
// the command); block numbers count data blocks of one exchange from 1 (the
// status reply is block 1 of its exchange).
struct EmulatorFaults {
    int replyDelayMs = 0;        // wait this long before a reply...
    int delayReply = -1;         // ...before reply n only (-1: before every reply)
    int silenceFromReply = -1;   // send nothing from reply n on (-1: never)
    int badMagicReply = -1;      // reply n carries a damaged magic
    int wrongCodeReply = -1;     // reply n carries another code
    int badCrcBlock = 0;         // block k (sent) carries a wrong CRC
    int dropBlock = 0;           // block k (sent) never leaves
    int truncateBlock = 0;       // block k (sent) is cut off half-way
    int forceLength = 0;         // every data block sent has this L: L bytes follow, the last 4 a correct CRC when L >= 4
    int statusPayloadSize = 0;   // status payload of this size (0: 128 bytes)
    bool statusNoZero = false;   // status payload without any zero byte
    int firstBlockByte10 = -1;   // payload byte 10 of the first read block (-1: as in the image)
    int firstBlockSize = 0;      // payload size of the first read block (0: 2048)
    int blockCount = -1;         // blocks sent for a read (-1: the image's size / 2048)
    int ackStopAfterBlock = 0;   // when receiving: acknowledge blocks 1..k, then fall silent
    int hangupAfterBlock = 0;    // hang up after block k, sent or received
};

struct EmulatorFrame {
    bool fromLink = false;       // read from the program (else sent to it)
    uint8_t code = 0;
    uint16_t length = 0;         // L as it stood in the header
    bool magicOk = true;
    bool crcOk = true;           // data blocks read from the program only
    bool complete = true;        // the whole body arrived
    int baud = 0;                // line speed when the frame was read or sent
    bool speedOk = true;         // the speed the receiver expects at that point
};

class ReceiverEmulator {
public:
    static constexpr size_t kImageSize = 131072;
    static constexpr size_t kBlockSize = 2048;

    ReceiverEmulator();
    ~ReceiverEmulator();
    ReceiverEmulator(const ReceiverEmulator&) = delete;
    ReceiverEmulator& operator=(const ReceiverEmulator&) = delete;

    // A stable path to point VEXA_COM<n> at: a symbolic link to the current
    // pseudo-terminal, moved to the new one after a hang-up.
    std::string DevicePath() const;
    std::string PtyName() const { return Locked([&] { return ptyName_; }); }

    void SetFaults(const EmulatorFaults& f) { Locked([&] { faults_ = f; }); }
    void SetImage(std::vector<uint8_t> image) { Locked([&] { image_ = std::move(image); }); }
    std::vector<uint8_t> Image() const { return Locked([&] { return image_; }); }
    // Payload bytes of the last complete upload, and its start code (0x12 or 0x22; 0 before any).
    std::vector<uint8_t> Firmware() const { return Locked([&] { return firmware_; }); }
    uint8_t FirmwareStartCode() const { return Locked([&] { return firmwareStart_; }); }
    void SetVersions(const std::string& hard, const std::string& soft) { Locked([&] { hard_ = hard; soft_ = soft; }); }

    std::vector<EmulatorFrame> Log() const { return Locked([&] { return log_; }); }
    void ClearLog() { Locked([&] { log_.clear(); }); }
    // Waits (at most timeoutMs) until no exchange runs; true when idle.
    bool WaitIdle(int timeoutMs) const;
    // Gives up the exchange that runs (a receiver's own time-out, at once):
    // the emulator goes back to waiting for a command.
    void AbandonExchange();
    int Hangups() const { return Locked([&] { return hangups_; }); }
    // Exchanges completed as the protocol says.
    int Exchanges() const { return Locked([&] { return exchanges_; }); }

    // Called on the emulator's thread for every frame logged (the executable prints them).
    void SetObserver(std::function<void(const EmulatorFrame&)> f) { Locked([&] { observer_ = std::move(f); }); }

    static uint32_t Crc32(const uint8_t* data, size_t n);

private:
    struct Frame {
        uint8_t code = 0;
        uint16_t length = 0;
        std::vector<uint8_t> body;
        bool magicOk = true;
        bool crcOk = false;    // a data block whose CRC matches its payload
    };

    template <class Fn>
    auto Locked(Fn f) const -> decltype(f())
    {
        std::lock_guard lock(mu_);
        return f();
    }
    EmulatorFaults F() const { return Locked([&] { return faults_; }); }

    void Run();
    void OpenPty();
    void ClosePty();
    void HangUp();
    int CurrentBaud() const;
    bool WaitForBaud(int baud, int timeoutMs);
    using Clock = std::chrono::steady_clock;
    // Waits at most ms (-1: for ever) for `events` on fd (none when fd < 0);
    // the events that came, or -1 when stopping or abandoning.
    int Poll(int fd, short events, int ms);
    bool Pause(int ms) { return Poll(-1, 0, ms) >= 0; } // false when stopping or abandoning
    bool Fill(size_t n, Clock::time_point firstDeadline);
    bool NextFrame(Frame& f, Clock::time_point deadline, EmulatorFrame& entry);
    // Reads frames until one with a code in `codes` arrives at `baud`. A command
    // that arrives instead is kept for the main loop and ends the wait.
    bool Await(Frame& f, std::initializer_list<uint8_t> codes, int baud, int timeoutMs);
    bool WriteAll(const uint8_t* p, size_t n);
    // Sends one frame with the faults that apply to it; false when the
    // exchange should end (silenced, or the line failed).
    bool Reply(uint8_t code, const std::vector<uint8_t>* payload = nullptr, int blockNo = 0);
    void Record(const EmulatorFrame& e);
    void SetBusy(bool busy);

    void Dispatch(Frame f);
    void DoStatus();
    void DoRead();
    void DoReceive(bool firmware);

    mutable std::mutex mu_;
    mutable std::condition_variable cv_;
    EmulatorFaults faults_;
    std::vector<uint8_t> image_;
    std::vector<uint8_t> firmware_;
    uint8_t firmwareStart_ = 0;
    std::string hard_ = "VX4400 HW 2.1";
    std::string soft_ = "VX4400 SW 1.07";
    std::vector<EmulatorFrame> log_;
    std::function<void(const EmulatorFrame&)> observer_;
    int hangups_ = 0;
    int exchanges_ = 0;
    bool busy_ = false;
    std::string ptyName_;

    // Owned by the emulator thread once it runs.
    int master_ = -1;
    int slave_ = -1;                           // kept open so the master never sees a hang-up of its own
    int wake_ = -1;                            // eventfd that stops the thread
    int abandon_ = -1;                         // eventfd that ends the running exchange
    std::string dir_, link_;
    std::vector<uint8_t> in_;                  // bytes read but not yet parsed
    bool pendingValid_ = false;                // a command that arrived in place of an expected frame
    Frame pending_;
    int replyNo_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
