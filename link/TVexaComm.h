#pragma once
// The receiver link: speaks the Vexa 4400's serial protocol over one
// TCommUnit. Four operations: the status query (versions and the connected
// state), reading the 128 KiB data image, sending it back, and uploading a
// firmware or boot-loader image.
//
// Everything runs on the main thread. An operation blocks its caller until
// it ends, letting the application's events run in steps of at most 50 ms
// meanwhile, so progress callbacks and a Cancel button stay alive. One
// operation at a time: an operation asked for while another runs (from a
// callback, say) is refused. Nothing is thrown out of this class; every
// failure is a false result, and the caller tells the user.
#include "link/TCommUnit.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Fired when the connected state or the version texts may have changed.
using TLinkStatusEvent = std::function<void()>;
// Progress of an operation: Step -1 starts a scale of Max steps (Max is 0
// on every other step; keep the last one). Set Cancel to stop the operation
// at its next receive; nothing more is sent then.
using TLinkProgressEvent = std::function<void(std::int32_t Step, std::int32_t Max, bool& Cancel)>;

class TVexaComm {
public:
    static constexpr std::size_t kImageSize = 131072;       // the receiver's data image
    static constexpr std::size_t kFirmwareImageSize = 2097152; // a firmware image after its signature line

    // Scans COM1 to COM20, takes the first usable port, then APort if it is
    // usable. The first status query is posted to the event loop: it runs
    // once the application's events run, not inside the caller's set-up.
    explicit TVexaComm(std::int32_t APort);
    ~TVexaComm();
    TVexaComm(const TVexaComm&) = delete;
    TVexaComm& operator=(const TVexaComm&) = delete;

    // True only after a status query got a valid status reply; false after Reset.
    bool Connected() const { return FConnected; }
    // n of COMn in use; 0 when no usable port exists.
    std::int32_t Port() const { return FPort; }
    // The receiver's version texts, or text 301 ("Desconocida") while not connected.
    std::string GetHardVersion() const;
    std::string GetSoftVersion() const;
    // True while an operation runs.
    bool Busy() const { return FBusy; }

    // Not connected, versions unknown; fires the status callback.
    void Reset();
    // Moves to APort when it is usable (no query, Connected unchanged);
    // follow it with Refresh or Reset. Ignored while an operation runs.
    void SetPort(std::int32_t APort);
    // Stores the status callback and fires it once at once.
    void SetOnStatus(TLinkStatusEvent Event);
    // Runs the status query again.
    void Refresh();
    // The status query: resets, then asks the receiver; the outcome is Connected().
    void CheckConnection();

    // Appends the receiver's data image to Stream and pads it with zeros to
    // exactly 131072 bytes. False on any failure, cancel, or when the
    // receiver sends more than 131072 bytes; Stream keeps the blocks
    // received before the failure.
    bool ReadData(std::vector<std::uint8_t>& Stream);
    // Sends Stream as the data image in blocks of 2048 bytes at 115200 baud.
    bool SendData(const std::vector<std::uint8_t>& Stream);
    // Uploads a firmware file: a signature line ended by CR LF, then the
    // 2 MiB image. Kind 1 as software update, any other as boot loader.
    // Nothing is sent unless the file has a CR LF followed by exactly
    // 2,097,152 bytes.
    bool SendSoftFile(std::int32_t Kind, const std::vector<std::uint8_t>& FileStream);
    // Uploads a prepared firmware stream (the 4 bytes 00 20 00 00, then the
    // 2 MiB image) in blocks of 4084 bytes. Nothing is sent for a stream of
    // any other size.
    bool SendFirmware(std::int32_t Kind, const std::vector<std::uint8_t>& Stream);

    // The port access underneath (its usable-port list serves the port dialog).
    const TCommUnit& CommUnit() const { return *FCommUnit; }

    // Progress callback of the running operation; the transfer window sets
    // it before an operation and clears it when it closes.
    TLinkProgressEvent OnProgress;

private:
    void DoStatus();
    void DoProgress(std::int32_t Step, std::int32_t Max);
    bool RunOperation(const std::function<bool()>& body);
    bool SendCode(std::uint8_t Code);
    bool SendFirstCode(std::uint8_t Code);
    bool Expect(std::uint8_t Code);
    bool ReadDataBlock(std::vector<std::uint8_t>& Payload);
    bool SendBlocks(const std::vector<std::uint8_t>& Stream, std::size_t BlockSize, std::uint8_t EndCode);
    bool Query();
    bool DoReadData(std::vector<std::uint8_t>& Stream);
    bool DoSendData(const std::vector<std::uint8_t>& Stream);
    bool DoSendFirmware(std::int32_t Kind, const std::vector<std::uint8_t>& Stream);

    std::unique_ptr<TCommUnit> FCommUnit;
    bool FConnected = false;
    std::int32_t FPort = 0;
    std::string FHardVersion;
    std::string FSoftVersion;
    TLinkStatusEvent OnStatus;
    bool FBusy = false;
    // Lets the posted first status query know whether this link still exists.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
