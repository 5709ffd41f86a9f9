#include "foundation/TConfig.h"

#include "foundation/Libreria.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

TConfig* TheConfig = nullptr;

TConfig::TConfig()
    : TConfig(SetExtension(ProgramFileName(), "Ini"))
{
}

TConfig::TConfig(std::string fileName)
    : FileName_(std::move(fileName))
{
    Dirty = !Load();
}

TConfig::~TConfig()
{
    if (Dirty)
        Save();
}

namespace {

bool WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

// Writes bytes to a fresh file beside fileName and renames it over
// fileName only when it is complete, so that a failure at any step leaves
// the old file as it was and no partial file behind.
bool ReplaceFile(const std::string& fileName, const std::string& bytes)
{
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = fileName + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        // 0666 lets the umask decide, as for any file the program creates.
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    struct stat old {};
    if (::stat(fileName.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd, old.st_mode & 07777); // keep the permissions the user gave it
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), fileName.c_str()) == 0;
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}

} // namespace

bool TConfig::Load()
{
    std::vector<std::string> lines;
    if (!LoadLines(FileName_, lines))
        return false;
    for (const std::string& line : lines) {
        if (StartsWithKey(line, "LANGUAGE"))
            Language = LineValue(line);
        if (StartsWithKey(line, "COMPORT"))
            ComPort = SafeStrToInt(LineValue(line));
    }
    return true;
}

bool TConfig::Save()
{
    std::string bytes = "Language=" + Language + "\r\nComport=" + std::to_string(ComPort) + "\r\n";
    if (!ReplaceFile(FileName_, bytes))
        return false;
    Dirty = false;
    return true;
}
