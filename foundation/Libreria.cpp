#include "foundation/Libreria.h"

#include "foundation/MessageBoxes.h"
#include "foundation/TLang.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <new>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = AsciiUpper(c);
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "*" and "?" wildcards, ASCII case ignored.
bool WildMatch(const std::string& mask, const std::string& name)
{
    size_t m = 0, n = 0, starM = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starM = m++;
            starN = n;
        } else if (m < mask.size() && (mask[m] == '?' || AsciiUpper(mask[m]) == AsciiUpper(name[n]))) {
            ++m;
            ++n;
        } else if (starM != std::string::npos) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

} // namespace

std::int32_t SafeStrToInt(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= text.size())
        return 0; // no digits at all
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        int d = hex ? HexValue(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
        if (d < 0)
            return 0;
        value = value * (hex ? 16 : 10) + std::uint64_t(d);
        // Decimal must fit a signed 32-bit value; hexadecimal a 32-bit pattern.
        std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
        if (value > limit)
            return 0;
    }
    auto bits = static_cast<std::uint32_t>(value);
    if (negative)
        bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
}

unsigned char FirstChar(const std::string& text)
{
    return text.empty() ? 0 : static_cast<unsigned char>(text[0]);
}

std::string StripSeparators(const std::string& text)
{
    std::string out;
    for (char c : text)
        if (c != '.' && c != ',')
            out += c;
    return out.empty() ? "0" : out;
}

std::string TrimSpacesRight(const std::string& text)
{
    size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ')
        --end;
    return text.substr(0, end);
}

std::string TrimBlanksLeft(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n'))
        ++i;
    return text.substr(i);
}

std::string TrimAll(const std::string& text)
{
    return TrimBlanksLeft(TrimSpacesRight(text));
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool ByteToBool(std::uint8_t b)
{
    return b != 0;
}

std::string GetLine(const std::vector<std::string>& lines, int N)
{
    if (N < 1 || size_t(N) > lines.size())
        return {};
    return lines[size_t(N) - 1];
}

bool StartsWithKey(const std::string& line, const char* key)
{
    const size_t n = std::char_traits<char>::length(key);
    if (line.size() < n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (AsciiUpper(line[i]) != key[i])
            return false;
    return true;
}

std::string LineValue(const std::string& line)
{
    const size_t eq = line.find('=');
    return TrimAll(eq == std::string::npos ? line : line.substr(eq + 1));
}

void SplitWords(const std::string& text, std::vector<std::string>& words)
{
    words.clear();
    std::string word;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') {
            if (quoted) {
                words.push_back(word); // a quoted part is a word even when empty
                word.clear();
            }
            quoted = !quoted;
        } else if (quoted) {
            word += c;
        } else if (c == ' ') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += AsciiLower(c);
        }
    }
    if (!word.empty())
        words.push_back(word);
}

char FoldAccent(char c)
{
    switch (static_cast<unsigned char>(c)) {
    case 0xC0: case 0xC1: case 0xC2: case 0xC4:
    case 0xE0: case 0xE1: case 0xE2: case 0xE4:
        return 'A';
    case 0xC8: case 0xC9: case 0xCA: case 0xCB:
    case 0xE8: case 0xE9: case 0xEA: case 0xEB:
        return 'E';
    case 0xCC: case 0xCD: case 0xCE: case 0xCF:
    case 0xEC: case 0xED: case 0xEE: case 0xEF:
        return 'I';
    case 0xD2: case 0xD3: case 0xD4: case 0xD6:
    case 0xF2: case 0xF3: case 0xF4: case 0xF6:
        return 'O';
    case 0xD9: case 0xDA: case 0xDB: case 0xDC:
    case 0xF9: case 0xFA: case 0xFB: case 0xFC:
        return 'U';
    default:
        return c;
    }
}

std::string NameKey(std::string_view name)
{
    std::string key;
    key.reserve(name.size());
    for (char c : name)
        if (c != ' ')
            key += FoldAccent(AsciiUpper(c));
    return key;
}

bool SameName(const std::string& a, const std::string& b)
{
    return NameKey(a) == NameKey(b);
}

std::string YesNoText(bool value)
{
    return LangText(value ? 404 : 405);
}

std::string WithCount(std::string text, int count)
{
    const auto at = text.find("%d");
    if (at != std::string::npos)
        text.replace(at, 2, std::to_string(count));
    return text;
}

bool SameCode(const TTranslateEvent& a, const TTranslateEvent& b)
{
    return a.Code == b.Code;
}

void ReverseBytes(const void* source, void* destination, std::uint16_t N)
{
    const auto* src = static_cast<const unsigned char*>(source);
    auto* dst = static_cast<unsigned char*>(destination);
    for (size_t i = 0; i < N; ++i)
        dst[i] = src[N - 1 - i];
}

std::string ProgramFileName()
{
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.string();
}

std::string ProgramFolder()
{
    std::string exe = ProgramFileName();
    if (exe.empty())
        return ".";
    std::string folder = fs::path(exe).parent_path().string();
    return folder.empty() ? "/" : PathNoSlash(folder);
}

namespace {

std::string g_tempFolder;

void RemoveTempFolder()
{
    std::error_code ec;
    fs::remove_all(g_tempFolder, ec);
}

} // namespace

std::string GetDirTemp()
{
    static std::once_flag once;
    std::call_once(once, [] {
        std::error_code ec;
        fs::path base = fs::temp_directory_path(ec);
        if (ec)
            base = "/tmp";
        std::string pattern = (base / "vexautils-XXXXXX").string();
        if (mkdtemp(pattern.data())) {
            g_tempFolder = pattern;
            std::atexit(RemoveTempFolder);
        } else {
            g_tempFolder = base.string(); // better a shared folder than none
        }
        if (g_tempFolder.empty() || g_tempFolder.back() != '/')
            g_tempFolder += '/';
    });
    return g_tempFolder;
}

std::string PathNoSlash(const std::string& path)
{
    if (!path.empty() && path.back() == '/')
        return path.substr(0, path.size() - 1);
    return path;
}

std::string SetExtension(const std::string& fileName, const std::string& extension)
{
    size_t slash = fileName.rfind('/');
    size_t dot = fileName.rfind('.');
    bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExt ? fileName.substr(0, dot) : fileName) + "." + extension;
}

void SearchFil(const std::string& pattern, std::vector<std::string>& names)
{
    size_t slash = pattern.rfind('/');
    std::string folder = slash == std::string::npos ? "." : pattern.substr(0, slash + 1);
    std::string mask = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    std::vector<std::string> found;
    std::error_code ec;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (WildMatch(mask, name))
            found.push_back(name);
    }
    std::sort(found.begin(), found.end());
    names.insert(names.end(), found.begin(), found.end());
}

bool LoadLines(const std::string& fileName, std::vector<std::string>& lines, std::uint64_t maxBytes, NulByte nul)
{
    lines.clear();
    // Non-blocking, so that a FIFO or device under a text file's name cannot hang us.
    int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    std::string bytes;
    bool ok = false;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && std::uint64_t(st.st_size) <= maxBytes) {
        try {
            bytes.reserve(size_t(st.st_size));
            char buf[65536];
            ok = true;
            for (;;) {
                ssize_t n = ::read(fd, buf, sizeof buf);
                if (n < 0) {
                    ok = false;
                    break;
                }
                if (n == 0)
                    break;
                if (bytes.size() + size_t(n) > maxBytes) { // grew while we read
                    ok = false;
                    break;
                }
                bytes.append(buf, size_t(n));
            }
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    ::close(fd);
    if (!ok)
        return false;

    try {
        size_t end = nul == NulByte::EndsText ? bytes.find('\0') : std::string::npos;
        if (end == std::string::npos)
            end = bytes.size();
        size_t start = 0;
        size_t i = 0;
        while (i < end) {
            char c = bytes[i];
            if (c == '\r' || c == '\n') {
                lines.emplace_back(bytes, start, i - start);
                i += (c == '\r' && i + 1 < end && bytes[i + 1] == '\n') ? 2 : 1;
                start = i;
            } else {
                ++i;
            }
        }
        if (start < end)
            lines.emplace_back(bytes, start, end - start);
    } catch (const std::bad_alloc&) {
        lines.clear();
        return false;
    }
    return true;
}

void ShowError(const std::string& message)
{
    MessageBoxes().Show(BoxKind::Error, LangText(401), message);
}

void ShowInfo(const std::string& message)
{
    MessageBoxes().Show(BoxKind::Info, LangText(402), message);
}

bool Confirm(const std::string& question)
{
    IMessageBoxes& boxes = MessageBoxes();
    if (boxes.Terminating())
        return false;
    return boxes.Show(BoxKind::Confirm, LangText(403), question) == BoxAnswer::Yes;
}
