// MAX files of the Galaxis Editor. The file has no satellite or antenna
// records of its own: a transponder names one of 24 satellites by number, so
// the import lays those down first, each with an antenna at its position.
//
// The text is a nest of brace groups. Groups at depth 1 are sections (the
// first holds transponders, the second channels); groups at depth 2 inside
// them are records of comma-separated fields. Double quotes make blanks,
// commas and braces literal; "/*" ... "*/" comments hide field text but not
// quotes or braces.
#include "database/TVexaData.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/WaitBox.h"

namespace {

// LNB low, LNB high, angle in tenths, east/west, name, DiSEqC 1.2, antenna
// offset, LNB type: the satellites that MAX files number 1 to 24.
struct BuiltInSatelite {
    const char* fields[8];
};

constexpr BuiltInSatelite kBuiltInSatelites[] = {
    {{"9750", "10600", "130", "e", "Hotbird", "N", "0", "0"}},
    {{"9750", "10600", "192", "e", "Astra", "N", "0", "0"}},
    {{"9750", "10600", "160", "e", "Eutel W2", "N", "0", "0"}},
    {{"9750", "10600", "100", "e", "Eutel W1", "N", "0", "0"}},
    {{"9750", "10600", "70", "e", "Eutel W3", "N", "0", "0"}},
    {{"9750", "10600", "50", "e", "Sirius 2, 3", "N", "0", "0"}},
    {{"9750", "10600", "50", "w", "Telecom 2C", "N", "0", "0"}},
    {{"9750", "10600", "8", "w", "Thor 2,3", "N", "0", "0"}},
    {{"9750", "10600", "110", "w", "Express 3A", "N", "0", "0"}},
    {{"9750", "10600", "80", "w", "Telecom 2D", "N", "0", "0"}},
    {{"5150", "10750", "180", "w", "Intelsat 901", "N", "0", "0"}},
    {{"5150", "10600", "215", "w", "NSS K, 833, 7", "N", "0", "0"}},
    {{"9750", "10600", "275", "w", "Intelsat 907", "N", "0", "0"}},
    {{"9750", "10600", "300", "w", "Hispa", "N", "0", "0"}},
    {{"9750", "10600", "70", "w", "Nile 101,102", "N", "0", "0"}},
    {{"9750", "10600", "235", "e", "Astra 3A", "N", "0", "0"}},
    {{"9750", "10600", "260", "e", "Arab 2A, 3A", "N", "0", "0"}},
    {{"9750", "10600", "282", "e", "Astra 2A,2B,2D", "N", "0", "0"}},
    {{"9750", "10600", "285", "e", "Eurobird", "N", "0", "0"}},
    {{"9750", "10600", "305", "e", "Arabsat 2B", "N", "0", "0"}},
    {{"9750", "10600", "312", "e", "Turksat 1B", "N", "0", "0"}},
    {{"9750", "10600", "160", "e", "Turksat 1C", "N", "0", "0"}},
    {{"9750", "10600", "150", "w", "Telstar 12", "N", "0", "0"}},
    {{"9750", "10600", "1005", "e", "Asiasat 2", "N", "0", "0"}},
};

// Fields each section reads (the highest field number it reads, plus one).
constexpr std::size_t kTransponderFields = 11;
constexpr std::size_t kChannelFields = 7;

// How often the progress bar moves, in characters.
constexpr std::size_t kProgressStep = 300;

void AddBuiltInSatelites(TVexaData& data)
{
    for (const BuiltInSatelite& row : kBuiltInSatelites) {
        TSateliteRec* sat = data.Satelites.New();
        sat->LnbLow = static_cast<std::uint16_t>(SafeStrToInt(row.fields[0]));
        sat->LnbHigh = static_cast<std::uint16_t>(SafeStrToInt(row.fields[1]));
        sat->Angle = static_cast<std::uint16_t>(SafeStrToInt(row.fields[2]));
        sat->EastWest = row.fields[3][0];
        sat->Name = row.fields[4];
        sat->Diseqc12 = std::string(row.fields[5]) == "Y" ? 1 : 0;
        sat->AntennaOffset = SafeStrToInt(row.fields[6]);
        sat->LnbType = static_cast<std::uint8_t>(SafeStrToInt(row.fields[7]));

        TAntenaRec* ant = data.Antenas.New();
        ant->Satelite = sat;
        ant->LnbLow = 5150;
        ant->LnbHigh = 10750;
        ant->Universal = 0;
        ant->Diseqc = 'n';
        ant->Volt012 = "n";
        ant->Tone22K = "n";
        ant->AntennaType = 'a';
        ant->Volt1418 = "n";
    }
}

// The position a 1-based record number names; -1 (the default record) for
// any number out of the int range as well.
int ZeroBased(std::int32_t number)
{
    return number > 0 ? number - 1 : -1;
}

// Ends the wait on every way out, a thrown one included.
class WaitScope {
public:
    explicit WaitScope(IWaitBox& box) : box_(box) { box_.Start(); }
    ~WaitScope() { box_.FinSinDestruir(); }
    WaitScope(const WaitScope&) = delete;
    WaitScope& operator=(const WaitScope&) = delete;

private:
    IWaitBox& box_;
};

} // namespace

std::int32_t MaxNumber(int mode, const std::string& text)
{
    switch (mode) {
    case 1:
        if (text.size() < 2)
            return 0;
        if (text[1] == 'x' || text[1] == 'X')
            return SafeStrToInt("$" + text.substr(2));
        return SafeStrToInt(text);
    case 2:
        return text.size() > 4 ? SafeStrToInt(text.substr(2, text.size() - 4)) : 0;
    case 3:
        return text.size() > 3 ? SafeStrToInt(text.substr(2, text.size() - 3)) : 0;
    default:
        return SafeStrToInt(text);
    }
}

bool TVexaData::ParseMaxRecord(int section, const std::vector<std::string>& fields)
{
    if (section == 1) {
        if (fields.size() < kTransponderFields)
            return false;
        TTransponderRec* tp = Transponders.New();
        tp->Satelite = Satelites.Get(ZeroBased(MaxNumber(0, fields[0])));
        tp->Frequency = static_cast<std::uint16_t>(MaxNumber(2, fields[7]));
        tp->Symbol = static_cast<std::uint16_t>(MaxNumber(3, fields[8]));
        tp->Polar = (MaxNumber(1, fields[10]) & 0x200) ? 'v' : 'h';
        tp->Fec = "auto";
        tp->Volt1418 = "n";
        tp->Tone22K = "n";
        tp->Volt012 = "n";
    } else if (section == 2) {
        if (fields.size() < kChannelFields)
            return false;
        TChannelRec* ch = Channels.New();
        ch->Radio = fields[1] == "2" ? 1 : 0;
        ch->Name = fields[2];
        // A 0-based position; anything else is the default transponder.
        TTransponderRec* tp = Transponders.Get(MaxNumber(1, fields[3]));
        ch->Transponder = tp;
        ch->Satelite = tp->Satelite;
        // Antenna k was made for satellite k.
        ch->Antena = Antenas.Get(Satelites.IndexOf(tp->Satelite));
        ch->ServiceId = static_cast<std::uint16_t>(MaxNumber(1, fields[4]));
        ch->Lock = fields[5] != "0" ? 1 : 0;
        ch->Scramble = fields[6] != "0" ? 1 : 0;
    }
    return true;
}

int TVexaData::LoadFromMax(const std::vector<std::string>& lines)
{
    std::unique_ptr<IWaitBox> box = CreateWaitBox();
    box->ShowLabel(LangText(1413)); // "Cargando lista de Canales"
    WaitScope wait(*box);

    Clear();
    AddBuiltInSatelites(*this);

    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    const std::size_t length = text.size();
    box->SetMax(length > INT_MAX ? INT_MAX : static_cast<int>(length));

    std::vector<std::string> fields;
    std::string field;
    int depth = 0;
    int section = 0;
    bool inComment = false;
    bool inQuote = false;

    // i is the 1-based position; text[i - 1] its character.
    for (std::size_t i = 1; i <= length; ++i) {
        if (i % kProgressStep == 0)
            box->SetPosition(i > INT_MAX ? INT_MAX : static_cast<int>(i));
        box->ProcessEvents();
        if (box->Cancelled())
            return MaxFileCancelled;

        const char c = text[i - 1];
        const char next = i < length ? text[i] : '\0';
        if (c == '\r' || c == '\n')
            continue;
        if (c == '"') {
            inQuote = !inQuote;
            if (!inQuote) {
                // Whatever follows a closing quote up to the next comma is
                // dropped; without a comma the last character is still handled.
                while (i + 1 < length && text[i] != ',')
                    ++i;
            }
            continue;
        }
        if (!inQuote && c == '*' && next == '/') {
            inComment = false;
            ++i;
            continue;
        }
        if (!inQuote && c == '/' && next == '*') {
            inComment = true;
            ++i;
            continue;
        }
        if (!inQuote && c == '}') {
            if (--depth == 1) {
                if (!field.empty())
                    fields.push_back(field);
                if (!ParseMaxRecord(section, fields)) {
                    // A truncated record: nothing read from this file may pass.
                    Clear();
                    return MaxFileFormatError;
                }
                fields.clear();
                field.clear();
            }
            continue;
        }
        if (!inQuote && c == '{') {
            if (++depth == 1)
                ++section;
            continue;
        }
        if (depth != 2 || inComment)
            continue;
        if (!inQuote && c == ' ')
            continue;
        if (!inQuote && c == ',') {
            fields.push_back(field);
            field.clear();
            continue;
        }
        field += c;
    }

    Valid = true;
    return MaxFileRead;
}
