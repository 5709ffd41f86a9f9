// vexa-emulator: a stand-in receiver on a pseudo-terminal, for trying the
// program by hand. Point VEXA_COM<n> at the path it prints and choose COM<n>.
#include "ReceiverEmulator.h"

#include "database/TVexaData.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t gStop = 0;
void OnSignal(int) { gStop = 1; }

void Usage()
{
    std::fprintf(stderr,
        "usage: vexa-emulator [options]\n"
        "  --image FILE        serve this 128 KiB image (default: a generated one)\n"
        "  --save FILE         write each image the program sends into FILE\n"
        "  --firmware FILE     write each uploaded firmware stream into FILE\n"
        "  --hard TEXT --soft TEXT   version texts of the status reply\n"
        "  --quiet             do not print the frames\n"
        "faults:\n"
        "  --delay MS [--delay-reply N]   wait before every reply (or reply N only)\n"
        "  --silence-from N    send nothing from reply N of an exchange on\n"
        "  --bad-magic N       damage the magic of reply N\n"
        "  --wrong-code N      change the code of reply N\n"
        "  --bad-crc K         wrong CRC on block K\n"
        "  --drop K            block K never leaves\n"
        "  --truncate K        block K is cut off half-way\n"
        "  --length L          every data header sent claims length L (e.g. 3, 6000)\n"
        "  --status-size N     status payload of N bytes\n"
        "  --status-no-zero    status payload without any zero byte\n"
        "  --byte10 V          payload byte 10 of the first read block\n"
        "  --first-size N      payload size of the first read block\n"
        "  --blocks N          blocks sent for a read (0, 32, 64, 65...)\n"
        "  --ack-stop K        stop acknowledging after received block K\n"
        "  --hangup K          hang up after block K\n");
}

// A small but real channel list, so that a person trying the program gets a
// list to look at: three satellites with an antenna each, a few transponders
// and channels of both kinds, some in favourites lists.
std::vector<uint8_t> SampleImage()
{
    struct Sat { const char* name; uint16_t angle; char ew; char diseqc; };
    static const Sat sats[] = {{"Astra 19.2E", 192, 'e', 'a'}, {"Hotbird 13.0E", 130, 'e', 'b'},
                               {"Hispasat 30.0W", 300, 'w', 'c'}};
    struct Tp { int sat; uint16_t freq; char polar; uint16_t symbol; const char* fec; };
    static const Tp tps[] = {{0, 11778, 'v', 27500, "3/4"}, {0, 12187, 'h', 27500, "3/4"},
                             {1, 11034, 'v', 27500, "3/4"}, {1, 12597, 'v', 27500, "3/4"},
                             {2, 11811, 'h', 27500, "3/4"}, {2, 12015, 'v', 27500, "5/6"}};
    static const char* const names[] = {"Canal Uno", "CANAL DOS", "Noticias 24", "Deportes",
                                        "Cine Clasico", "Musica Radio", "Mi canal", "Documentales",
                                        "Infantil", "Radio Nacional", "Teatro", "Viajes"};
    TVexaData d;
    for (const Sat& s : sats) {
        TSateliteRec* r = d.Satelites.New();
        r->Name = s.name;
        r->Angle = s.angle;
        r->EastWest = s.ew;
        r->LnbLow = 9750;
        r->LnbHigh = 10600;
        r->LnbType = 1;
        TAntenaRec* a = d.Antenas.New();
        a->Satelite = r;
        a->LnbLow = 9750;
        a->LnbHigh = 10600;
        a->Universal = 1;
        a->Diseqc = s.diseqc;
        a->AntennaType = 'd';
        a->Volt012 = "n";
        a->Tone22K = "n";
        a->Volt1418 = "n";
    }
    for (const Tp& t : tps) {
        TTransponderRec* r = d.Transponders.New();
        r->Satelite = d.Satelites.Get(t.sat);
        r->Frequency = t.freq;
        r->Polar = t.polar;
        r->Symbol = t.symbol;
        r->Fec = t.fec;
        r->Volt1418 = t.polar == 'h' ? "18" : "14";
        r->Tone22K = t.freq >= 11700 ? "22" : "0";
        r->Volt012 = "0";
    }
    int i = 0;
    for (const char* name : names) {
        TChannelRec* c = d.Channels.New();
        TTransponderRec* t = d.Transponders.Get(i % 6);
        c->Transponder = t;
        c->Satelite = t->Satelite.Get();
        c->Antena = d.Antenas.Get(d.Satelites.IndexOf(t->Satelite.Get()));
        c->Name = name;
        c->ServiceId = static_cast<uint16_t>(100 + i);
        c->Radio = (i == 5 || i == 9) ? 1 : 0;
        c->VideoPid = c->Radio ? 0 : static_cast<uint16_t>(160 + 10 * i);
        c->AudioPid = static_cast<uint16_t>(80 + 10 * i);
        c->PcrPid = c->VideoPid;
        c->Scramble = (i % 4 == 3) ? 1 : 0;
        c->Favorites[0] = (i % 3 == 0) ? 1 : 0;
        c->Favorites[1] = (i % 5 == 1) ? 1 : 0;
        ++i;
    }
    d.ListNumber = 1;
    d.Valid = true;
    std::vector<uint8_t> image;
    d.SaveToImage(image);
    return image;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

} // namespace

int main(int argc, char** argv)
{
    EmulatorFaults f;
    std::string imagePath, savePath, firmwarePath, hard, soft;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                Usage();
                std::exit(2);
            }
            return argv[++i];
        };
        auto number = [&]() { return std::atoi(value().c_str()); };
        if (a == "--image") imagePath = value();
        else if (a == "--save") savePath = value();
        else if (a == "--firmware") firmwarePath = value();
        else if (a == "--hard") hard = value();
        else if (a == "--soft") soft = value();
        else if (a == "--quiet") quiet = true;
        else if (a == "--delay") f.replyDelayMs = number();
        else if (a == "--delay-reply") f.delayReply = number();
        else if (a == "--silence-from") f.silenceFromReply = number();
        else if (a == "--bad-magic") f.badMagicReply = number();
        else if (a == "--wrong-code") f.wrongCodeReply = number();
        else if (a == "--bad-crc") f.badCrcBlock = number();
        else if (a == "--drop") f.dropBlock = number();
        else if (a == "--truncate") f.truncateBlock = number();
        else if (a == "--length") f.forceLength = number();
        else if (a == "--status-size") f.statusPayloadSize = number();
        else if (a == "--status-no-zero") f.statusNoZero = true;
        else if (a == "--byte10") f.firstBlockByte10 = number();
        else if (a == "--first-size") f.firstBlockSize = number();
        else if (a == "--blocks") f.blockCount = number();
        else if (a == "--ack-stop") f.ackStopAfterBlock = number();
        else if (a == "--hangup") f.hangupAfterBlock = number();
        else {
            Usage();
            return a == "--help" || a == "-h" ? 0 : 2;
        }
    }

    ReceiverEmulator emu;
    emu.SetFaults(f);
    if (!hard.empty() || !soft.empty())
        emu.SetVersions(hard.empty() ? "VX4400 HW 2.1" : hard, soft.empty() ? "VX4400 SW 1.07" : soft);
    if (!imagePath.empty()) {
        std::ifstream in(imagePath, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "vexa-emulator: cannot read %s\n", imagePath.c_str());
            return 1;
        }
        emu.SetImage(std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    } else {
        emu.SetImage(SampleImage());
    }
    // Every completed send is saved, also one that sends the image unchanged.
    static std::atomic<int> sendsEnded{0};
    emu.SetObserver([quiet](const EmulatorFrame& e) {
        if (e.fromLink && e.code == 0x1F)
            ++sendsEnded;
        if (!quiet) {
            std::printf("%s code %02X L %5u%s%s%s%s @%d\n", e.fromLink ? "<- program " : "-> program ", e.code,
                        unsigned(e.length), e.magicOk ? "" : " bad-magic", e.crcOk ? "" : " bad-crc",
                        e.complete ? "" : " cut-short", e.speedOk ? "" : " WRONG-SPEED", e.baud);
            std::fflush(stdout);
        }
    });

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::printf("Receiver emulator on %s (now %s)\n", emu.DevicePath().c_str(), emu.PtyName().c_str());
    std::printf("Run the program with VEXA_COM1=%s and choose COM1. Ctrl-C ends.\n", emu.DevicePath().c_str());
    std::fflush(stdout);

    int sendsSaved = 0;
    auto firmware = emu.Firmware();
    while (!gStop) {
        ::usleep(200 * 1000);
        if (int ended = sendsEnded.load(); ended != sendsSaved && emu.WaitIdle(1000)) {
            sendsSaved = ended;
            auto image = emu.Image();
            if (!savePath.empty() && WriteFile(savePath, image))
                std::printf("image of %zu bytes saved to %s\n", image.size(), savePath.c_str());
        }
        auto fw = emu.Firmware();
        if (fw != firmware) {
            firmware = fw;
            std::printf("firmware upload of %zu bytes (start code %02X)\n", fw.size(), emu.FirmwareStartCode());
            if (!firmwarePath.empty())
                WriteFile(firmwarePath, fw);
        }
        std::fflush(stdout);
    }
    return 0;
}
