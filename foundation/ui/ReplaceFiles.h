#pragma once
// The all-or-nothing write of one file or of a set of files (a report's
// pages, a saved list), and the system's sentence for a failed call.
#include <QByteArray>
#include <QString>

#include <vector>

// One file to write and its whole content.
struct FileBytes {
    QString path;
    QByteArray bytes;
};

// Writes every file whole or none of them. Each goes first to a fresh file
// beside its target (with the target's permissions, else the umask's), every
// write's byte count checked and the data flushed to the disk; only when all
// are complete are they renamed over their targets (a symbolic link is
// followed, the file it names replaced). On any failure the targets keep
// what they held (those of the set already replaced are put back, where the
// file system allows a hard link to the old file), no temporary is left and
// *error holds the system's reason, after the failing file's name when that
// is not the first file of the set.
bool ReplaceFiles(const std::vector<FileBytes>& files, QString* error);

// The system's sentence for an errno value ("No space left on device").
QString SystemReason(int code);
