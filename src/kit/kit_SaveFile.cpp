#include "kit_SaveFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

namespace kit {

ReadResult readWholeFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {false, true, {}, {}};
    if (!info.isFile())
        return {
            true, false, {}, QString::fromLocal8Bit(std::strerror(info.isDir() ? EISDIR : EINVAL))};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {true, false, {}, file.errorString()};
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {true, false, {}, file.errorString()};
    return {true, true, std::move(data), {}};
}

SaveResult saveWholeFile(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, file.errorString()};
    // Qt 6.4's commit() can miss a failure of the data still in its buffer and publish an empty
    // file, so the buffer is flushed and checked first.
    if (file.write(data) != data.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return {false, reason};
    }
    if (!file.commit())
        return {false, file.errorString()};
    return {true, {}};
}

SaveResult saveWholeFileIfChanged(const QString &path, const QByteArray &data)
{
    const QFileInfo info(path);
    // A size that differs already says the bytes do.
    if (info.isFile() && info.size() == data.size()) {
        const ReadResult present = readWholeFile(path);
        if (present.ok && present.data == data)
            return {true, {}};
    }
    return saveWholeFile(path, data);
}

} // namespace kit
