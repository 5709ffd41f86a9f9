#include "link/TVexaComm.h"

#include "foundation/CRC32.h"
#include "foundation/EventLoop.h"
#include "foundation/TLang.h"
#include "link/VexaLib.h"

#include <algorithm>

namespace {

// Frame codes.
constexpr std::uint8_t cAck = 0x00;
constexpr std::uint8_t cReady = 0x04;
constexpr std::uint8_t cStatus = 0x10;
constexpr std::uint8_t cStatusEnd = 0x11;
constexpr std::uint8_t cAnnounce = 0x12;    // firmware announce, also the software upload's start
constexpr std::uint8_t cSoftwareEnd = 0x13;
constexpr std::uint8_t cSendRequest = 0x1E; // sent twice: request, then start of the data
constexpr std::uint8_t cSendEnd = 0x1F;
constexpr std::uint8_t cReadRequest = 0x20;
constexpr std::uint8_t cReadEnd = 0x21;
constexpr std::uint8_t cBootStart = 0x22;
constexpr std::uint8_t cBootEnd = 0x23;
constexpr std::uint8_t cBlock = 0x30;

constexpr int kTextUnknown = 301;             // "Desconocida"
constexpr std::uint16_t kMaxBlockLength = 5000; // the frame buffer a received block must fit
constexpr std::size_t kImageBlock = 2048;
constexpr std::size_t kFirmwareBlock = 4084;
constexpr std::uint8_t kFirmwareSize[4] = {0x00, 0x20, 0x00, 0x00}; // 2 MiB, big-endian

std::uint32_t Be32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// A zero-terminated text inside the payload; it ends at the payload's end at
// the latest, and is empty when the payload does not reach its start.
std::string TextAt(const std::vector<std::uint8_t>& payload, std::size_t offset)
{
    if (offset >= payload.size())
        return {};
    auto begin = payload.begin() + long(offset);
    return std::string(begin, std::find(begin, payload.end(), std::uint8_t(0)));
}

} // namespace

TVexaComm::TVexaComm(std::int32_t APort)
{
    FCommUnit = std::make_unique<TCommUnit>();
    FPort = 0;
    SetPort(FCommUnit->FirstPort());
    SetPort(APort);
    OnProgress = nullptr;
    Reset();
    // Querying here would block the caller's set-up (the main window's
    // construction) for up to half a second per attempt and pump events
    // into a half-built window; the event loop runs it once it starts.
    std::weak_ptr<bool> alive = FAlive;
    PostToMainThread([this, alive] {
        if (alive.lock())
            CheckConnection();
    });
}

TVexaComm::~TVexaComm()
{
    FAlive.reset();
    OnProgress = nullptr;
    OnStatus = nullptr;
}

std::string TVexaComm::GetHardVersion() const
{
    return FConnected ? FHardVersion : LangText(kTextUnknown);
}

std::string TVexaComm::GetSoftVersion() const
{
    return FConnected ? FSoftVersion : LangText(kTextUnknown);
}

void TVexaComm::Reset()
{
    FConnected = false;
    FHardVersion = LangText(kTextUnknown);
    FSoftVersion = FHardVersion;
    DoStatus();
}

void TVexaComm::SetPort(std::int32_t APort)
{
    if (FBusy)
        return;
    if (APort != FPort)
        FPort = FCommUnit->SetPort(APort);
}

void TVexaComm::SetOnStatus(TLinkStatusEvent Event)
{
    OnStatus = std::move(Event);
    DoStatus();
}

void TVexaComm::DoStatus()
{
    if (!OnStatus)
        return;
    auto callback = OnStatus; // the callback may replace itself
    try {
        callback();
    } catch (...) {
    }
}

void TVexaComm::DoProgress(std::int32_t Step, std::int32_t Max)
{
    if (Step == -1)
        FCommUnit->Abort = false;
    bool cancel = false;
    if (OnProgress) {
        auto callback = OnProgress; // the transfer window may clear it from inside
        try {
            callback(Step, Max, cancel);
        } catch (...) {
            cancel = true;
        }
    }
    if (cancel)
        FCommUnit->Abort = true;
}

void TVexaComm::Refresh()
{
    CheckConnection();
}

bool TVexaComm::RunOperation(const std::function<bool()>& body)
{
    // The waits inside an operation let events run, and an event may ask for
    // another operation: two exchanges interleaved on one line would both fail.
    if (FBusy)
        return false;
    FBusy = true;
    FCommUnit->ReleaseLostPort();
    bool ok = false;
    try {
        ok = body();
    } catch (...) {
        ok = false;
    }
    FBusy = false;
    return ok;
}

bool TVexaComm::SendCode(std::uint8_t Code)
{
    // A cancelled operation sends nothing more.
    if (FCommUnit->Abort)
        return false;
    std::uint8_t header[kHeaderSize];
    BuildHeader(Code, header);
    return FCommUnit->Write(header, kHeaderSize);
}

bool TVexaComm::SendFirstCode(std::uint8_t Code)
{
    // Whatever is still arriving from an earlier exchange must not be taken
    // for the answer to this one.
    ProcessPendingEvents();
    FCommUnit->Flush();
    return SendCode(Code);
}

bool TVexaComm::Expect(std::uint8_t Code)
{
    std::uint8_t header[kHeaderSize];
    return FCommUnit->Read(header, kHeaderSize) && CheckHeader(header) && header[9] == Code;
}

bool TVexaComm::ReadDataBlock(std::vector<std::uint8_t>& Payload)
{
    // Payload was sized from the header's length; the body is payload and
    // CRC. A length the frame buffer cannot hold fails without reading.
    std::uint16_t length = std::uint16_t(Payload.size());
    if (length < 4 || length > kMaxBlockLength)
        return false;
    return FCommUnit->Read(Payload.data(), length);
}

void TVexaComm::CheckConnection()
{
    if (FBusy)
        return;
    FCommUnit->Abort = false;
    Reset();
    if (FPort == 0)
        return;
    RunOperation([this] { return Query(); });
}

bool TVexaComm::Query()
{
    FCommUnit->SetTimeout(500);
    DoProgress(-1, 4);
    if (!FCommUnit->SetBaudRate(br115200))
        return false;
    if (!SendFirstCode(cStatus) || !Expect(cAck))
        return false;
    DoProgress(1, 0);

    std::uint8_t header[kHeaderSize];
    if (!FCommUnit->Read(header, kHeaderSize) || !CheckHeader(header) || header[9] != cBlock)
        return false;
    const std::uint16_t length = std::uint16_t(header[10] << 8 | header[11]);
    DoProgress(2, 0);
    std::vector<std::uint8_t> body(length);
    if (!ReadDataBlock(body))
        return false;
    const std::size_t size = length - 4u;
    if (Be32(&body[size]) != CalcCRC32(body.data(), std::int32_t(size)))
        return false;
    DoProgress(3, 0);

    body.resize(size);
    FHardVersion = TextAt(body, 32);
    FSoftVersion = TextAt(body, 64);
    FConnected = true;
    DoStatus();

    if (!SendCode(cAck) || !Expect(cStatusEnd))
        return false;
    DoProgress(4, 0);
    return SendCode(cAck);
}

bool TVexaComm::ReadData(std::vector<std::uint8_t>& Stream)
{
    if (FPort == 0)
        return false;
    return RunOperation([&] { return DoReadData(Stream); });
}

bool TVexaComm::DoReadData(std::vector<std::uint8_t>& Stream)
{
    DoProgress(-1, 65);
    FCommUnit->SetTimeout(1800);
    if (!FCommUnit->SetBaudRate(br115200))
        return false;
    if (!SendFirstCode(cReadRequest) || !Expect(cAck))
        return false;
    DoProgress(1, 0);
    // The receiver sends the image at 19200 baud.
    if (!FCommUnit->SetBaudRate(br19200))
        return false;

    for (int n = 0;;) {
        std::uint8_t header[kHeaderSize];
        if (!FCommUnit->Read(header, kHeaderSize) || !CheckHeader(header))
            return false;
        if (header[9] == cReadEnd) {
            if (!SendCode(cAck))
                return false;
            break;
        }
        if (header[9] != cBlock)
            return false;
        std::vector<std::uint8_t> body(std::uint16_t(header[10] << 8 | header[11]));
        if (!ReadDataBlock(body))
            return false;
        const std::size_t size = body.size() - 4;
        // A receiver whose first block does not carry 3 at byte 10 sends
        // half an image; a block too short to have that byte counts as such.
        if (n == 0 && (size < 11 || body[10] != 3))
            DoProgress(-1, 33);
        ++n;
        DoProgress(n + 1, 0);
        if (Be32(&body[size]) != CalcCRC32(body.data(), std::int32_t(size)))
            return false;
        if (Stream.size() + size > kImageSize)
            return false; // more than an image: not a receiver we understand
        Stream.insert(Stream.end(), body.begin(), body.begin() + long(size));
        if (!SendCode(cAck))
            return false;
    }
    if (Stream.size() < kImageSize)
        Stream.resize(kImageSize, 0);
    return true;
}

bool TVexaComm::SendBlocks(const std::vector<std::uint8_t>& Stream, std::size_t BlockSize, std::uint8_t EndCode)
{
    std::vector<std::uint8_t> frame;
    frame.reserve(kHeaderSize + BlockSize + 4);
    std::size_t pos = 0;
    for (int k = 0;;) {
        const std::size_t m = std::min(BlockSize, Stream.size() - pos);
        if (m > 0) {
            if (FCommUnit->Abort)
                return false;
            const std::size_t length = m + 4;
            frame.assign(kHeaderSize, 0);
            BuildHeader(cBlock, frame.data());
            frame[10] = std::uint8_t(length >> 8);
            frame[11] = std::uint8_t(length);
            frame.insert(frame.end(), Stream.begin() + long(pos), Stream.begin() + long(pos + m));
            const std::uint32_t crc = CalcCRC32(Stream.data() + pos, std::int32_t(m));
            for (int shift = 24; shift >= 0; shift -= 8)
                frame.push_back(std::uint8_t(crc >> shift));
            if (!FCommUnit->Write(frame.data(), std::uint16_t(frame.size())))
                return false;
            pos += m;
            ++k;
            DoProgress(k + 3, 0);
        } else if (!SendCode(EndCode)) {
            return false;
        }
        if (!Expect(cAck))
            return false;
        if (m == 0)
            return true;
    }
}

bool TVexaComm::SendData(const std::vector<std::uint8_t>& Stream)
{
    if (FPort == 0)
        return false;
    return RunOperation([&] { return DoSendData(Stream); });
}

bool TVexaComm::DoSendData(const std::vector<std::uint8_t>& Stream)
{
    DoProgress(-1, 67);
    FCommUnit->SetTimeout(1500);
    if (!FCommUnit->SetBaudRate(br115200))
        return false;
    if (!SendFirstCode(cSendRequest) || !Expect(cAck))
        return false;
    DoProgress(1, 0);
    if (!Expect(cReady))
        return false;
    DoProgress(2, 0);
    if (!SendCode(cSendRequest))
        return false;
    DoProgress(3, 0);
    return SendBlocks(Stream, kImageBlock, cSendEnd);
}

bool TVexaComm::SendSoftFile(std::int32_t Kind, const std::vector<std::uint8_t>& FileStream)
{
    const std::int32_t p = PosAfterCRLF(FileStream);
    if (p < 0 || FileStream.size() - std::size_t(p) != kFirmwareImageSize)
        return false;
    std::vector<std::uint8_t> upload(std::begin(kFirmwareSize), std::end(kFirmwareSize));
    upload.insert(upload.end(), FileStream.begin() + p, FileStream.end());
    return SendFirmware(Kind, upload);
}

bool TVexaComm::SendFirmware(std::int32_t Kind, const std::vector<std::uint8_t>& Stream)
{
    if (FPort == 0)
        return false;
    // An upload of the wrong size can leave the receiver unable to start.
    if (Stream.size() != sizeof kFirmwareSize + kFirmwareImageSize ||
        !std::equal(std::begin(kFirmwareSize), std::end(kFirmwareSize), Stream.begin()))
        return false;
    return RunOperation([&] { return DoSendFirmware(Kind, Stream); });
}

bool TVexaComm::DoSendFirmware(std::int32_t Kind, const std::vector<std::uint8_t>& Stream)
{
    const std::uint8_t start = Kind == 1 ? cAnnounce : cBootStart;
    const std::uint8_t end = Kind == 1 ? cSoftwareEnd : cBootEnd;
    const std::int32_t blocks = std::int32_t((Stream.size() + kFirmwareBlock - 1) / kFirmwareBlock);
    DoProgress(-1, blocks + 3);
    FCommUnit->SetTimeout(1500);
    if (!FCommUnit->SetBaudRate(br115200))
        return false;
    if (!SendFirstCode(cAnnounce) || !Expect(cAck))
        return false;
    DoProgress(1, 0);
    if (!Expect(cReady))
        return false;
    DoProgress(2, 0);
    if (!SendCode(start))
        return false;
    DoProgress(3, 0);
    return SendBlocks(Stream, kFirmwareBlock, end);
}
