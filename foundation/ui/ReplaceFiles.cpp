#include "foundation/ui/ReplaceFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

void SetError(QString* error, const QString& message)
{
    if (error)
        *error = message;
}

// All of bytes, through short writes; false with errno set.
bool WriteAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO; // no progress and no reason: never loop on it
            return false;
        }
        done += n;
    }
    return true;
}

// A fresh name beside target: its name, ".~" and eight hex digits.
QByteArray SideName(const QByteArray& target)
{
    return target + ".~" + QByteArray::number(QRandomGenerator::global()->generate() | 0x10000000u, 16);
}

} // namespace

QString SystemReason(int code)
{
    return QString::fromStdString(std::generic_category().message(code));
}

bool ReplaceFiles(const std::vector<FileBytes>& files, QString* error)
{
    struct Pending {
        QByteArray target;
        QByteArray temp;
        QByteArray backup; // a hard link to the earlier file, "" for none
        bool existed = false;
        bool replaced = false;
    };
    std::vector<Pending> pending;
    pending.reserve(files.size());

    // Undoes what was done so far, newest first, and reports why file i failed.
    auto fail = [&](std::size_t i, int code) {
        for (auto p = pending.rbegin(); p != pending.rend(); ++p) {
            if (p->replaced) {
                // An earlier file that cannot be put back stays under its
                // second name rather than being lost.
                if (!p->backup.isEmpty())
                    ::rename(p->backup.constData(), p->target.constData());
                else if (!p->existed)
                    ::unlink(p->target.constData());
                continue;
            }
            ::unlink(p->temp.constData());
            if (!p->backup.isEmpty())
                ::unlink(p->backup.constData());
        }
        QString reason = SystemReason(code);
        if (i > 0)
            reason = QFileInfo(files[i].path).fileName() + QStringLiteral(": ") + reason;
        SetError(error, reason);
        return false;
    };

    for (std::size_t i = 0; i < files.size(); ++i) {
        Pending p;
        const QFileInfo info(files[i].path);
        const QString resolved = info.isSymLink() ? info.canonicalFilePath() : QString();
        p.target = QFile::encodeName(resolved.isEmpty() ? files[i].path : resolved);
        struct stat old {};
        p.existed = ::stat(p.target.constData(), &old) == 0;
        int fd = -1;
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            p.temp = SideName(p.target);
            // 0666 lets the umask decide, as for any file the program creates.
            fd = ::open(p.temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 && errno != EEXIST)
                break;
        }
        if (fd < 0)
            return fail(i, errno);
        if (p.existed && S_ISREG(old.st_mode))
            ::fchmod(fd, old.st_mode & 07777); // keep the permissions the user gave it
        pending.push_back(p);
        bool written = WriteAll(fd, files[i].bytes) && ::fsync(fd) == 0;
        int code = written ? 0 : errno;
        if (::close(fd) != 0 && written) {
            written = false;
            code = errno;
        }
        if (!written)
            return fail(i, code);
    }

    // A set is put back whole if a later rename fails: keep each earlier file
    // under a second name until every new one is in place. A file system
    // without hard links (FAT) gets no such way back.
    if (files.size() > 1) {
        for (Pending& p : pending) {
            if (!p.existed)
                continue;
            for (int attempt = 0; attempt < 100; ++attempt) {
                p.backup = SideName(p.target);
                if (::link(p.target.constData(), p.backup.constData()) == 0)
                    break;
                const bool taken = errno == EEXIST;
                p.backup.clear();
                if (!taken)
                    break;
            }
        }
    }
    for (std::size_t i = 0; i < pending.size(); ++i) {
        Pending& p = pending[i];
        if (::rename(p.temp.constData(), p.target.constData()) != 0)
            return fail(i, errno);
        p.replaced = true;
    }
    for (const Pending& p : pending)
        if (!p.backup.isEmpty())
            ::unlink(p.backup.constData());
    return true;
}
