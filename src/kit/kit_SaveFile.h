#pragma once

#include <QByteArray>
#include <QString>

namespace kit {

struct SaveResult {
    bool ok = false;
    QString errorText; // the system's reason when it failed, for the caller's own message
};

// Replaces the file's whole content through a temporary file renamed over it, so that a failed
// write (a full disk, an unwritable folder) leaves the old file as it was.
[[nodiscard]] SaveResult saveWholeFile(const QString &path, const QByteArray &data);

} // namespace kit
