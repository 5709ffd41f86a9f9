// The BoxLoader-style text channel list: a commented banner, then one line per
// antenna, satellite (each followed by its transponders) and program.
#include "database/TVexaData.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <initializer_list>
#include <string_view>
#include <unordered_map>
#include <variant>

#include "database/RecordPositions.h"
#include "foundation/Libreria.h"
#include "foundation/TLang.h"
#include "foundation/WaitBox.h"

namespace {

// ---- Writing

using FormatArg = std::variant<long long, std::string_view>;

// printf-style %d, %Nd, %-Nd, %s, %-Ns over safe arguments: strings are taken
// whole (a NUL byte does not end them) and a longer value is never cut.
std::string Format(std::string_view format, std::initializer_list<FormatArg> args)
{
    std::string out;
    auto arg = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out += format[i];
            continue;
        }
        ++i;
        const bool left = i < format.size() && format[i] == '-';
        if (left)
            ++i;
        std::size_t width = 0;
        while (i < format.size() && format[i] >= '0' && format[i] <= '9')
            width = width * 10 + static_cast<std::size_t>(format[i++] - '0');
        std::string value;
        if (arg != args.end()) {
            if (const auto* n = std::get_if<long long>(&*arg))
                value = std::to_string(*n);
            else
                value = std::string(std::get<std::string_view>(*arg));
            ++arg;
        }
        const std::string pad(value.size() < width ? width - value.size() : 0, ' ');
        out += left ? value + pad : pad + value;
    }
    return out;
}

std::string Rule(std::size_t width)
{
    return std::string(width, '#');
}

// The text, blanks up to the last column, "#" there.
std::string Boxed(std::string_view text, std::size_t width)
{
    std::string line(text);
    if (line.size() + 1 < width)
        line.append(width - 1 - line.size(), ' ');
    return line + '#';
}

// A name as one quoted word. A double quote would end the word early and a
// line break would split the line, so neither may stand inside.
std::string Quoted(std::string_view name)
{
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            c = '\'';
        else if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
        out += c;
    }
    return out + '"';
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The codes below are written as the reader will take them: a value the
// reader would turn into its default is written as that default, so that an
// empty or odd value (of a record not yet filled in) cannot break the line
// into the wrong number of words.
std::string_view OneOf(std::string_view value, std::initializer_list<std::string_view> known, std::string_view other)
{
    for (std::string_view k : known)
        if (value == k)
            return k;
    return other;
}

std::string AntennaTypeWord(char type)
{
    const char c = AsciiLower(type);
    return std::string(1, c == 'd' || c == 'a' ? c : 'f');
}

std::string DiseqcWord(char diseqc)
{
    const char c = AsciiLower(diseqc);
    return std::string(1, c >= 'a' && c <= 'd' ? c : 'n');
}

std::string AngleText(std::uint16_t angle)
{
    // Tenths of a degree with one decimal and a point, whatever the locale.
    return Format("%-5s", {std::to_string(angle / 10) + "." + std::to_string(angle % 10)});
}

// The record's number as the list writes it, counted from 1; 0 for none.
template <class T>
long long NumberOf(const std::unordered_map<const T*, int>& positions, const TRef<T>& ref)
{
    return PositionOf(positions, ref) + 1;
}

// ---- Reading

const std::string& Token(const std::vector<std::string>& tokens, std::size_t k)
{
    static const std::string empty;
    return k >= 1 && k <= tokens.size() ? tokens[k - 1] : empty;
}

std::uint16_t Word16(const std::string& token)
{
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(SafeStrToInt(token)) & 0xFFFF);
}

// A number counted from 1 as a list index; -1 (no such record) for 0 and below.
int IndexFromNumber(const std::string& token)
{
    const std::int32_t n = SafeStrToInt(token);
    return n >= 1 ? n - 1 : -1;
}

char FirstLetter(const std::string& token)
{
    return static_cast<char>(FirstChar(token));
}

int ClampToInt(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, 0, INT_MAX));
}

} // namespace

void TVexaData::SaveToTxt(bool favourites, std::vector<std::string>& lines) const
{
    lines.clear();
    lines.reserve(static_cast<std::size_t>(40 + Satelites.Count() + Transponders.Count() + Antenas.Count()
                                           + Channels.Count()));

    lines.push_back(Rule(122));
    lines.push_back(Boxed("#", 122));
    lines.push_back(Boxed("# Factory data of the digital satellite receiver.", 122));
    lines.push_back(Boxed("# DOS text file.", 122));
    lines.push_back(Boxed("#", 122));
    lines.push_back(Rule(122));

    lines.emplace_back();
    lines.push_back("L " + std::to_string(ListNumber));
    lines.emplace_back();
    lines.push_back("BOXP5000");
    lines.emplace_back();

    lines.push_back(Rule(115));
    lines.push_back(Boxed("# ant_tag ant_num universal_lnb   lnb_low  lnb_high  antenna_type          DiSEqC   22KHz    0/12V     14/18V", 115));
    lines.push_back(Boxed("# (a)      xx         u/n          xxxxx      xxxxx     f/d/a            n/a/b/c/d  n/0/22   n/0/12    n/0/18", 115));
    lines.push_back(Boxed("# a        1       universal(or u) 9750       10600  Fixed/DiSEqC/Actuator", 115));
    lines.push_back(Rule(115));
    for (int i = 0; i < Antenas.Count(); ++i) {
        const TAntenaRec& a = *Antenas.Get(i);
        lines.push_back(Format(
            "a   %8d       %s %11d %10d       %-2s                 %-2s         %-2s         %-2s         %-2s        ",
            {i + 1LL, a.Universal == 1 ? "universal" : "normal   ", static_cast<long long>(a.LnbLow),
             static_cast<long long>(a.LnbHigh), AntennaTypeWord(a.AntennaType), DiseqcWord(a.Diseqc),
             OneOf(a.Tone22K, {"0", "22"}, "n"), OneOf(a.Volt012, {"0", "12"}, "n"),
             OneOf(a.Volt1418, {"14", "18"}, "n")}));
    }
    lines.emplace_back();

    lines.push_back(Rule(111));
    lines.push_back(Boxed("# [satellite information]", 111));
    lines.push_back(Boxed("# tag     sat_name        lnb_low   lnb_high  lnb_type  angle     east_west   diseqc 1.2", 111));
    lines.push_back(Boxed("# (s)     \"ccccccccc\"     xxxxx     xxxxx     u/n       xxx.x     e/w         y/n", 109));
    lines.push_back(Boxed("# s       \"ASTRA DEF\"     9750      10600     universal 19.2      east         y", 109));
    lines.push_back(Boxed("#", 111));
    lines.push_back(Boxed("# tag     frequency       symbol    polar     22K       14/18V    0/12V     FEC", 111));
    lines.push_back(Boxed("# (t)     xxxxx           xxxxx     h/v       0/22      14/18     0/12      x/x", 111));
    lines.push_back(Boxed("# t       12663           22000     hor       0         14        0         3/4", 111));
    lines.push_back(Rule(111));

    // Each satellite's transponders in list order; those of a satellite the
    // list does not hold have no line to stand under and are left out.
    std::unordered_map<const TSateliteRec*, std::vector<const TTransponderRec*>> tpsOfSat;
    std::unordered_map<const TTransponderRec*, int> tpNumber;
    for (int i = 0; i < Transponders.Count(); ++i) {
        const TTransponderRec* t = Transponders.Get(i);
        auto& group = tpsOfSat[&Satelites.Resolve(t->Satelite)];
        group.push_back(t);
        tpNumber.emplace(t, static_cast<int>(group.size()));
    }
    for (int i = 0; i < Satelites.Count(); ++i) {
        const TSateliteRec& s = *Satelites.Get(i);
        lines.push_back(Format("  s       %-16s%-10d%-10d%s %s     %s      %s         %-5d     ",
                               {Quoted(s.Name), static_cast<long long>(s.LnbLow), static_cast<long long>(s.LnbHigh),
                                s.LnbType == 1 ? "universal" : "normal   ", AngleText(s.Angle),
                                s.EastWest == 'w' ? "west" : "east", s.Diseqc12 ? "y" : "n",
                                static_cast<long long>(s.AntennaOffset)}));
        auto group = tpsOfSat.find(&s);
        if (group == tpsOfSat.end())
            continue;
        for (const TTransponderRec* t : group->second) {
            lines.push_back(Format("      t   %-8d        %-6d    %s       %-2s        %-2s        %-2s        %s",
                                   {static_cast<long long>(t->Frequency), static_cast<long long>(t->Symbol),
                                    t->Polar == 'v' ? "ver" : "hor", OneOf(t->Tone22K, {"0", "22"}, "0"),
                                    OneOf(t->Volt1418, {"14", "18"}, "14"), OneOf(t->Volt012, {"0", "12"}, "0"),
                                    OneOf(t->Fec, {"1/2", "2/3", "3/4", "5/6", "7/8"}, "auto")}));
        }
    }
    lines.emplace_back();

    const std::size_t width = favourites ? 150 : 133;
    const std::string_view favTitle = favourites ? "  favorites (1-7)" : "";
    const std::string_view favSample = favourites ? "         NNNNNNNN" : "";
    lines.push_back(Rule(width));
    lines.push_back(Boxed("# [program information]", width));
    lines.push_back(Boxed("# tag   prog_name         ant_index sat_index tp_index  serviceID video_pid audio_pid pcr_pid   txt_pid   scramble  favorite  lock"
                              + std::string(favTitle), width));
    lines.push_back(Boxed("# (v/r) \"ccccccccccccc\" xx         xx        xxx       xxxxx     xxxx      xxxx      xxxx      xxxx      0/1       0/1       0/1", width));
    lines.push_back(Boxed("# v     \"ZDF On-line\"   1          1         2         2048      4096      4097      4096      4000      0         1         0"
                              + std::string(favSample), width));
    lines.push_back(Rule(width));

    const auto satPos = PositionMap<TSatelites, TSateliteRec>(Satelites);
    const auto antPos = PositionMap<TAntenas, TAntenaRec>(Antenas);
    for (int i = 0; i < Channels.Count(); ++i) {
        const TChannelRec& c = *Channels.Get(i);
        std::string favText;
        if (favourites) {
            favText = "         ";
            for (std::size_t k = 0; k < 7; ++k)
                favText += c.Favorites[k] ? 'Y' : 'N';
        }
        auto tp = tpNumber.find(c.Transponder.Get());
        lines.push_back(Format(
            "  %s       %-16s%-3d       %-3d       %-3d       %-6d    %-5d     %-5d     %-5d     %-5d     %d         %d         %d%s",
            {c.Radio ? "r" : "v", Quoted(c.Name), NumberOf(antPos, c.Antena), NumberOf(satPos, c.Satelite),
             tp != tpNumber.end() ? tp->second : 0LL, static_cast<long long>(c.ServiceId),
             static_cast<long long>(c.VideoPid), static_cast<long long>(c.AudioPid), static_cast<long long>(c.PcrPid),
             static_cast<long long>(c.TxtPid), c.Scramble ? 1LL : 0LL, c.Favorite ? 1LL : 0LL, c.Lock ? 1LL : 0LL,
             favText}));
    }
}

int TVexaData::LoadFromTxt(const std::vector<std::string>& lines)
{
    const long long count = static_cast<long long>(lines.size());
    std::unique_ptr<IWaitBox> box = CreateWaitBox();
    box->ShowLabel(LangText(1401)); // "Cargando lista de Canales"
    box->SetMax(ClampToInt(3 * count));
    box->Start();

    int result = TxtFormatError;
    try {
        Clear();
        std::vector<std::string> tokens;
        bool stopped = false;
        for (int pass = 1; pass <= 3 && !stopped; ++pass) {
            for (long long i = 0; i < count; ++i) {
                SplitWords(lines[static_cast<std::size_t>(i)], tokens);
                if (!ParseTxtLine(pass, tokens)) {
                    stopped = true;
                    break;
                }
                if (i % 50 == 0)
                    box->SetPosition(ClampToInt(i + count * (pass - 1)));
                box->ProcessEvents();
                if (box->Cancelled()) {
                    result = TxtCancelled;
                    stopped = true;
                    break;
                }
            }
        }
        if (!stopped && Valid)
            result = TxtRead;
    } catch (const std::exception&) {
        // Out of memory on a huge file: a format error like any other.
    }
    box->FinSinDestruir();

    if (result != TxtRead)
        Clear(); // a half-read list must never pass for a good one
    return result;
}

bool TVexaData::ParseTxtLine(int pass, const std::vector<std::string>& tokens)
{
    const std::string& tag = Token(tokens, 1);
    if (tag.empty() || tag[0] == '#')
        return true;
    const std::size_t n = tokens.size();
    auto tok = [&tokens](std::size_t k) -> const std::string& { return Token(tokens, k); };

    // The writer never puts a NUL byte in a list, so one on a line whose
    // words are read is damage: taken as a byte it would turn a number into 0
    // or a tag into none, and a record would change or vanish in silence.
    // Comments and lines of unknown tags are not read and may hold anything.
    auto hasNul = [](const std::string& word) { return word.find('\0') != std::string::npos; };
    if (hasNul(tag))
        return false;
    if ((tag == "l" || tag == "a" || tag == "s" || tag == "t" || tag == "v" || tag == "r")
        && std::any_of(tokens.begin(), tokens.end(), hasNul))
        return false;

    if (tag == "boxp5000") {
        if (pass == 1)
            Valid = true;
        return true;
    }
    if (tag == "l") {
        if (pass != 1)
            return true;
        if (n != 2)
            return false;
        ListNumber = Word16(tok(2));
        return true;
    }
    if (tag == "a") {
        if (pass != 2)
            return true;
        if (n != 10)
            return false;
        TAntenaRec* a = Antenas.New();
        // The line names no satellite: antenna N serves the N-th satellite.
        a->Satelite = Satelites.Get(IndexFromNumber(tok(2)));
        a->Universal = FirstLetter(tok(3)) == 'u' ? 1 : 0;
        a->LnbLow = Word16(tok(4));
        a->LnbHigh = Word16(tok(5));
        a->AntennaType = FirstLetter(tok(6));
        a->Diseqc = FirstLetter(tok(7));
        a->Tone22K = tok(8);
        a->Volt012 = tok(9);
        a->Volt1418 = tok(10);
        if (a->AntennaType != 'd' && a->AntennaType != 'a')
            a->AntennaType = 'f';
        if (a->Diseqc < 'a' || a->Diseqc > 'd')
            a->Diseqc = 'n';
        a->Tone22K = OneOf(a->Tone22K, {"0", "22"}, "n");
        a->Volt012 = OneOf(a->Volt012, {"0", "12"}, "n");
        a->Volt1418 = OneOf(a->Volt1418, {"14", "18"}, "n");
        return true;
    }
    if (tag == "s") {
        if (pass != 1)
            return true;
        if (n != 9)
            return false;
        TSateliteRec* s = Satelites.New();
        s->Name = tok(2);
        s->LnbLow = Word16(tok(3));
        s->LnbHigh = Word16(tok(4));
        s->LnbType = FirstLetter(tok(5)) == 'u' ? 1 : 0;
        // "19.2" and "19,2" are 192 tenths; "19" is read as 19 tenths.
        s->Angle = Word16(StripSeparators(tok(6)));
        s->EastWest = FirstLetter(tok(7));
        s->Diseqc12 = FirstLetter(tok(8)) == 'y' ? 1 : 0;
        s->AntennaOffset = SafeStrToInt(tok(9));
        return true;
    }
    if (tag == "t") {
        if (pass != 1)
            return true;
        if (n != 8)
            return false;
        TTransponderRec* t = Transponders.New();
        t->Frequency = Word16(tok(2));
        t->Symbol = Word16(tok(3));
        t->Polar = FirstLetter(tok(4));
        t->Satelite = Satelites.Get(Satelites.Count() - 1); // the "s" line above; the default before any
        t->Tone22K = tok(5);
        t->Volt1418 = tok(6);
        t->Volt012 = tok(7);
        t->Fec = tok(8);
        if (t->Polar != 'v' && t->Polar != 'h')
            return false;
        t->Tone22K = OneOf(t->Tone22K, {"0", "22"}, "0");
        t->Volt1418 = OneOf(t->Volt1418, {"14", "18"}, "14");
        t->Volt012 = OneOf(t->Volt012, {"0", "12"}, "0");
        t->Fec = OneOf(t->Fec, {"1/2", "2/3", "3/4", "5/6", "7/8"}, "auto");
        return true;
    }
    if (tag == "v" || tag == "r") {
        if (pass != 3)
            return true;
        if (n != 13 && n != 14)
            return false;
        TChannelRec* c = Channels.New();
        c->Radio = tag == "r" ? 1 : 0;
        c->Name = tok(2);
        c->Antena = Antenas.Get(IndexFromNumber(tok(3)));
        TSateliteRec* s = Satelites.Get(IndexFromNumber(tok(4)));
        c->Satelite = s;
        c->Transponder = GetTpOfSat(SafeStrToInt(tok(5)), s);
        c->ServiceId = Word16(tok(6));
        c->VideoPid = Word16(tok(7));
        c->AudioPid = Word16(tok(8));
        c->PcrPid = Word16(tok(9));
        c->TxtPid = Word16(tok(10));
        c->Scramble = FirstLetter(tok(11)) == '1' ? 1 : 0;
        c->Favorite = FirstLetter(tok(12)) == '1' ? 1 : 0;
        c->Lock = FirstLetter(tok(13)) == '1' ? 1 : 0;
        c->Favorites = {};
        c->Favorites[0] = c->Favorite;
        if (n == 14) {
            // Lists 1 to 7; list 1 follows this column, not the favourite mark.
            const std::string& favs = tok(14);
            for (std::size_t k = 0; k < 7; ++k)
                c->Favorites[k] = k < favs.size() && (favs[k] == 'Y' || favs[k] == 'y') ? 1 : 0;
        }
        return true;
    }
    return true; // a tag of no section
}
