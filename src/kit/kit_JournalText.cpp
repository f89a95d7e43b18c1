#include "kit_JournalText.h"

#include <QHash>
#include <array>

namespace kit {

namespace {

const QByteArray kHeader = QByteArrayLiteral("RANGEUR-JOURNAL 1");

struct KindName {
    JournalRecord::Kind kind;
    const char *name;
};
constexpr std::array<KindName, 7> kKinds{{
    {JournalRecord::Kind::Run, "run"},
    {JournalRecord::Kind::Folder, "folder"},
    {JournalRecord::Kind::Copying, "copying"},
    {JournalRecord::Kind::Replacing, "replacing"},
    {JournalRecord::Kind::Trashing, "trashing"},
    {JournalRecord::Kind::Undone, "undone"},
    {JournalRecord::Kind::Finished, "finished"},
}};

QByteArray nameOf(JournalRecord::Kind kind)
{
    for (const KindName &k : kKinds) {
        if (k.kind == kind)
            return k.name;
    }
    return {};
}

QByteArray checkOf(QByteArrayView text)
{
    return QByteArray::number(qChecksum(text), 16).rightJustified(4, '0');
}

QByteArray encodePath(const QString &path)
{
    // Only what can never end a field or a line stays as it is.
    return path.toUtf8().toPercentEncoding("/");
}

QByteArray encodeIdentity(const JournalIdentity &id)
{
    return QByteArray::number(id.device) + ':' + QByteArray::number(id.inode) + ':' +
           QByteArray::number(id.size) + ':' + QByteArray::number(id.modifiedSeconds) + ':' +
           QByteArray::number(id.modifiedNanoseconds) + ':' +
           QByteArray::number(id.changedSeconds) + ':' + QByteArray::number(id.changedNanoseconds);
}

QByteArray encodeTime(const QDateTime &time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs).toLatin1();
}

// The readers accept only what the writer writes, digit for digit: a line is either exactly a
// record or damaged.
template <typename T> bool readNumber(const QByteArray &field, T &value)
{
    bool ok = false;
    if constexpr (std::is_unsigned_v<T>)
        value = T(field.toULongLong(&ok));
    else
        value = T(field.toLongLong(&ok));
    return ok && QByteArray::number(value) == field;
}

bool readPath(const QByteArray &field, QString &path)
{
    if (field.isEmpty())
        return false;
    const QByteArray bytes = QByteArray::fromPercentEncoding(field);
    path = QString::fromUtf8(bytes);
    return encodePath(path) == field;
}

bool readIdentity(const QByteArray &field, JournalIdentity &id)
{
    const QList<QByteArray> parts = field.split(':');
    return parts.size() == 7 && readNumber(parts[0], id.device) && readNumber(parts[1], id.inode) &&
           readNumber(parts[2], id.size) && readNumber(parts[3], id.modifiedSeconds) &&
           readNumber(parts[4], id.modifiedNanoseconds) &&
           readNumber(parts[5], id.changedSeconds) && readNumber(parts[6], id.changedNanoseconds);
}

bool readTime(const QByteArray &field, QDateTime &time)
{
    time = QDateTime::fromString(QString::fromLatin1(field), Qt::ISODateWithMs);
    return time.isValid() && encodeTime(time) == field;
}

bool readFile(const QByteArray &field, int &file)
{
    return readNumber(field, file) && file >= 0;
}

std::optional<JournalRecord> readRecord(const QByteArray &payload)
{
    const QList<QByteArray> f = payload.split(' ');
    JournalRecord r;
    bool known = false;
    for (const KindName &k : kKinds) {
        if (f[0] == k.name) {
            r.kind = k.kind;
            known = true;
        }
    }
    if (!known)
        return std::nullopt;
    bool ok = false;
    switch (r.kind) {
    case JournalRecord::Kind::Run:
        ok = f.size() == 3 && readTime(f[1], r.started) && readPath(f[2], r.path);
        break;
    case JournalRecord::Kind::Folder:
        ok = f.size() == 4 && readPath(f[1], r.path) && readNumber(f[2], r.identity.device) &&
             readNumber(f[3], r.identity.inode);
        break;
    case JournalRecord::Kind::Copying:
        ok = f.size() == 6 && readFile(f[1], r.file) && readPath(f[2], r.path) &&
             readIdentity(f[3], r.identity) && readPath(f[4], r.destination) &&
             readIdentity(f[5], r.copy);
        break;
    case JournalRecord::Kind::Replacing:
        ok = f.size() == 4 && readFile(f[1], r.file) && readPath(f[2], r.path) &&
             readIdentity(f[3], r.identity);
        break;
    case JournalRecord::Kind::Trashing:
        ok = (f.size() == 4 || f.size() == 5) && readFile(f[1], r.file) &&
             readIdentity(f[2], r.identity) && readIdentity(f[3], r.copy) &&
             (f.size() == 4 || readPath(f[4], r.trashEntry));
        break;
    case JournalRecord::Kind::Undone:
        ok = f.size() == 2 && readFile(f[1], r.file);
        break;
    case JournalRecord::Kind::Finished:
        ok = f.size() == 1;
        break;
    }
    if (!ok)
        return std::nullopt;
    return r;
}

} // namespace

QByteArray journalHeader()
{
    return kHeader + '\n';
}

QByteArray journalLine(const JournalRecord &r)
{
    QByteArray line = nameOf(r.kind);
    const auto add = [&line](const QByteArray &field) { line += ' ' + field; };
    switch (r.kind) {
    case JournalRecord::Kind::Run:
        add(encodeTime(r.started));
        add(encodePath(r.path));
        break;
    case JournalRecord::Kind::Folder:
        add(encodePath(r.path));
        add(QByteArray::number(r.identity.device));
        add(QByteArray::number(r.identity.inode));
        break;
    case JournalRecord::Kind::Copying:
        add(QByteArray::number(r.file));
        add(encodePath(r.path));
        add(encodeIdentity(r.identity));
        add(encodePath(r.destination));
        add(encodeIdentity(r.copy));
        break;
    case JournalRecord::Kind::Replacing:
        add(QByteArray::number(r.file));
        add(encodePath(r.path));
        add(encodeIdentity(r.identity));
        break;
    case JournalRecord::Kind::Trashing:
        add(QByteArray::number(r.file));
        add(encodeIdentity(r.identity));
        add(encodeIdentity(r.copy));
        if (!r.trashEntry.isEmpty())
            add(encodePath(r.trashEntry));
        break;
    case JournalRecord::Kind::Undone:
        add(QByteArray::number(r.file));
        break;
    case JournalRecord::Kind::Finished:
        break;
    }
    return line + ' ' + checkOf(line) + '\n';
}

JournalReading readJournal(const QByteArray &text)
{
    JournalReading reading;
    qsizetype pos = 0;
    int lineNumber = 0;
    while (pos < text.size()) {
        ++lineNumber;
        const qsizetype end = text.indexOf('\n', pos);
        if (end < 0) { // torn: a record is written in one piece, with its line end
            if (reading.damagedLine == 0)
                reading.damagedLine = lineNumber;
            return reading;
        }
        const QByteArray line = text.mid(pos, end - pos);
        pos = end + 1;
        if (lineNumber == 1) {
            if (line != kHeader) {
                reading.damagedLine = 1;
                return reading;
            }
            reading.recognised = true;
            continue;
        }
        const qsizetype space = line.lastIndexOf(' ');
        const QByteArray payload = space > 0 ? line.left(space) : QByteArray();
        std::optional<JournalRecord> record;
        if (space > 0 && line.mid(space + 1) == checkOf(payload))
            record = readRecord(payload);
        // Every line carries its own check: the whole lines after a damaged one still count.
        if (!record) {
            if (reading.damagedLine == 0)
                reading.damagedLine = lineNumber;
            continue;
        }
        reading.records << *record;
    }
    if (lineNumber == 0)
        reading.damagedLine = 1; // empty: not even the header
    return reading;
}

std::optional<RunSummary> summariseRun(const JournalReading &reading)
{
    if (!reading.recognised || reading.records.isEmpty() ||
        reading.records.first().kind != JournalRecord::Kind::Run)
        return std::nullopt;
    RunSummary run;
    run.damagedLine = reading.damagedLine;
    QHash<int, qsizetype> index; // file number -> position in run.files
    for (const JournalRecord &r : reading.records) {
        RunSummary::File *file = nullptr;
        if (r.file >= 0 && index.contains(r.file))
            file = &run.files[index.value(r.file)];
        switch (r.kind) {
        case JournalRecord::Kind::Run:
            if (run.started.isValid())
                break; // only the first one counts
            run.started = r.started;
            run.target = r.path;
            break;
        case JournalRecord::Kind::Folder:
            run.folders.append({r.path, r.identity});
            break;
        case JournalRecord::Kind::Copying:
            if (file)
                break; // a file is copied once
            index.insert(r.file, run.files.size());
            run.files.append(
                {r.file, r.path, r.identity, r.destination, r.copy, false, {}, {}, {}, false});
            break;
        case JournalRecord::Kind::Replacing:
            if (file && !file->trashing)
                file->replaced.append({r.path, r.identity});
            break;
        case JournalRecord::Kind::Trashing:
            if (file && !file->trashing) {
                file->trashing = true;
                file->trashed = r.identity;
                file->copy = r.copy;
                file->trashEntry = r.trashEntry;
            } else if (file && file->trashed == r.identity) {
                file->trashEntry = r.trashEntry; // the same step, taken another way
            }
            break;
        case JournalRecord::Kind::Undone:
            if (file)
                file->undone = true;
            break;
        case JournalRecord::Kind::Finished:
            run.finished = true;
            break;
        }
    }
    return run;
}

} // namespace kit
