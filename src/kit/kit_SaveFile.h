#pragma once

#include <QByteArray>
#include <QString>

namespace kit {

struct SaveResult {
    bool ok = false;
    QString errorText; // the system's reason when it failed, for the caller's own message
};

struct ReadResult {
    bool exists = false;
    bool ok = false;   // also true for a file that does not exist: there is nothing to read
    QByteArray data;   // empty unless ok
    QString errorText; // the system's reason when it failed
};

// Reads a file of our own whole. Only a regular file is read: a FIFO would block the window and
// a device might never end.
[[nodiscard]] ReadResult readWholeFile(const QString &path);

// Replaces the file's whole content through a temporary file renamed over it, so that a failed
// write (a full disk, an unwritable folder) leaves the old file as it was.
[[nodiscard]] SaveResult saveWholeFile(const QString &path, const QByteArray &data);

// The same, but a regular file that already holds exactly these bytes is left alone: each
// write waits for the disk, which is most of the cost of closing the window.
[[nodiscard]] SaveResult saveWholeFileIfChanged(const QString &path, const QByteArray &data);

} // namespace kit
