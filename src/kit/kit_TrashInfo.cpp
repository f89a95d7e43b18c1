#include "kit_TrashInfo.h"

namespace kit {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// QByteArray::fromPercentEncoding keeps a bad escape as it is; here it means a damaged file.
std::optional<QByteArray> percentDecoded(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        const int high = i + 2 < text.size() ? hexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(text[i + 2]) : -1;
        if (low < 0)
            return std::nullopt;
        out += char(high * 16 + low);
        i += 2;
    }
    if (out.isEmpty() || out.contains('\0'))
        return std::nullopt;
    return out;
}

} // namespace

std::optional<QByteArray> trashInfoOriginalPath(QByteArrayView text, QByteArrayView topFolder)
{
    bool inGroup = false;
    bool seenGroup = false;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf('\n', pos);
        if (end < 0)
            end = text.size();
        QByteArrayView line = text.sliced(pos, end - pos);
        pos = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.startsWith('[')) {
            // The group comes first; a second one ends it.
            if (seenGroup || line != "[Trash Info]")
                return std::nullopt;
            inGroup = seenGroup = true;
            continue;
        }
        if (!inGroup)
            return std::nullopt;
        if (!line.startsWith("Path="))
            continue;
        std::optional<QByteArray> path = percentDecoded(line.sliced(5));
        if (!path)
            return std::nullopt;
        if (path->startsWith('/'))
            return path;
        if (!topFolder.startsWith('/'))
            return std::nullopt;
        QByteArray absolute = topFolder.toByteArray();
        if (!absolute.endsWith('/'))
            absolute += '/';
        return absolute + *path;
    }
    return std::nullopt;
}

QByteArray trashInfoText(QByteArrayView originalPath, QByteArrayView deletionDate)
{
    // Everything but the unreserved characters and the separators is escaped.
    return "[Trash Info]\nPath=" + originalPath.toByteArray().toPercentEncoding("/") +
           "\nDeletionDate=" + deletionDate.toByteArray() + '\n';
}

QByteArray trashEntryName(QByteArrayView fileName, int attempt)
{
    const qsizetype firstDot = fileName.indexOf('.');
    QByteArrayView stem = firstDot < 0 ? fileName : fileName.first(firstDot);
    QByteArrayView rest = firstDot < 0 ? QByteArrayView() : fileName.sliced(firstDot);
    const QByteArray number = attempt > 1 ? '.' + QByteArray::number(attempt) : QByteArray();
    if (stem.size() + number.size() + rest.size() <= maxTrashEntryName)
        return stem.toByteArray() + number + rest.toByteArray();
    // Too long: the extension (after the last dot, when short) is kept and the rest is cut.
    const qsizetype lastDot = fileName.lastIndexOf('.');
    const bool keepExtension = lastDot > 0 && fileName.size() - lastDot <= 16;
    stem = keepExtension ? fileName.first(lastDot) : fileName;
    rest = keepExtension ? fileName.sliced(lastDot) : QByteArrayView();
    qsizetype keep = maxTrashEntryName - number.size() - rest.size();
    // Back to the start of a UTF-8 character: continuation bytes are 10xxxxxx.
    while (keep > 0 && (uchar(stem[keep]) & 0xC0) == 0x80)
        --keep;
    return stem.first(keep).toByteArray() + number + rest.toByteArray();
}

} // namespace kit
