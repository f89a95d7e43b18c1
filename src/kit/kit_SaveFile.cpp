#include "kit_SaveFile.h"

#include <QSaveFile>

namespace kit {

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

} // namespace kit
