#include "kit_Journal.h"

#include "kit_Platform.h"
#include "kit_ini.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace kit_Journal {

namespace {

const QString kSuffix = QStringLiteral(".journal");

QStringList journalPathsIn(const QString &folderPath);

kit::JournalRecord record(kit::JournalRecord::Kind kind, int file = -1)
{
    kit::JournalRecord r;
    r.kind = kind;
    r.file = file;
    return r;
}

bool writeWhole(QFile &file, const QByteArray &bytes)
{
    // Unbuffered: one write of the whole text, on disk as far as the system is concerned once
    // it returns, whatever ends the program after.
    return file.write(bytes) == bytes.size();
}

void dropOldJournals(const QString &dir)
{
    const QStringList paths = journalPathsIn(dir);
    for (qsizetype i = kKeptRuns; i < paths.size(); ++i)
        QFile::remove(paths[i]);
}

} // namespace

QString folder()
{
    return kit_ini::GetAppDir() + QStringLiteral("JOURNAUX/");
}

kit::JournalIdentity toJournal(const kit_FILE::FileIdentity &id)
{
    return {id.device,
            id.inode,
            id.size,
            id.modifiedSeconds,
            id.modifiedNanoseconds,
            id.changedSeconds,
            id.changedNanoseconds};
}

kit_FILE::FileIdentity fromJournal(const kit::JournalIdentity &id)
{
    return {id.device,
            id.inode,
            id.size,
            id.modifiedSeconds,
            id.modifiedNanoseconds,
            id.changedSeconds,
            id.changedNanoseconds};
}

RunJournal::RunJournal(const QString &target, const QStringList &madeFolders)
    : m_folder(folder()) // here, on the window's thread: the records come from the queue's
{
    kit::JournalRecord run = record(kit::JournalRecord::Kind::Run);
    run.started = QDateTime::currentDateTime();
    run.path = target;
    m_opening = kit::journalHeader() + kit::journalLine(run);
    for (const QString &made : madeFolders) {
        const std::optional<kit_FILE::FileIdentity> id = kit_Platform::identityAt(made);
        if (!id)
            continue;
        kit::JournalRecord r = record(kit::JournalRecord::Kind::Folder);
        r.path = made;
        r.identity.device = id->device;
        r.identity.inode = id->inode;
        m_opening += kit::journalLine(r);
    }
}

RunJournal::~RunJournal() = default;

bool RunJournal::open()
{
    const QString &dir = m_folder;
    if (!QDir().mkpath(dir))
        return false;
    // Named by the time in UTC, so that the names sort as the runs began.
    const QString stem =
        dir + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) +
        u'-' + QString::number(QCoreApplication::applicationPid());
    for (int attempt = 0; attempt < 100 && !m_file; ++attempt) {
        const QString path =
            stem + (attempt ? u'-' + QString::number(attempt) : QString()) + kSuffix;
        auto file = std::make_unique<QFile>(path);
        if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered |
                        QIODevice::NewOnly)) {
            if (!file->exists())
                return false; // not a name already taken: the folder takes no file
            continue;
        }
        kit_Platform::lockOpenFile(int(file->handle()));
        m_file = std::move(file);
        m_path = path;
    }
    if (!m_file)
        return false;
    dropOldJournals(m_folder);
    return true;
}

void RunJournal::write(const kit::JournalRecord &r)
{
    const std::lock_guard lock(m_mutex);
    QByteArray bytes = kit::journalLine(r);
    if (!m_file) {
        if (m_failed)
            return; // no journal could be made: the run goes on without one
        if (!open()) {
            m_failed = true;
            return;
        }
        bytes.prepend(m_opening);
    }
    if (!writeWhole(*m_file, bytes))
        m_failed = true;
}

void RunJournal::copying(int file, const QString &source, const kit_FILE::FileIdentity &read,
                         const QString &destination, const kit_FILE::FileIdentity &copy)
{
    kit::JournalRecord r = record(kit::JournalRecord::Kind::Copying, file);
    r.path = source;
    r.identity = toJournal(read);
    r.destination = destination;
    r.copy = toJournal(copy);
    write(r);
}

void RunJournal::replacing(int file, const QString &destination,
                           const kit_FILE::FileIdentity &occupant)
{
    kit::JournalRecord r = record(kit::JournalRecord::Kind::Replacing, file);
    r.path = destination;
    r.identity = toJournal(occupant);
    write(r);
}

void RunJournal::trashing(int file, const kit_FILE::FileIdentity &entry,
                          const kit_FILE::FileIdentity &copy, const QString &trashEntry)
{
    kit::JournalRecord r = record(kit::JournalRecord::Kind::Trashing, file);
    r.identity = toJournal(entry);
    r.copy = toJournal(copy);
    r.trashEntry = trashEntry;
    write(r);
}

bool RunJournal::failed() const
{
    const std::lock_guard lock(m_mutex);
    return m_failed;
}

QString RunJournal::path() const
{
    const std::lock_guard lock(m_mutex);
    return m_path;
}

QStringList journalPaths()
{
    return journalPathsIn(folder());
}

namespace {

QStringList journalPathsIn(const QString &folderPath)
{
    const QDir dir(folderPath);
    QStringList names =
        dir.entryList({QStringLiteral("*") + kSuffix},
                      QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                      QDir::Name | QDir::Reversed);
    QStringList paths;
    for (const QString &name : names)
        paths << dir.filePath(name);
    return paths;
}

} // namespace

OpenedJournal openForUndo(const QString &path)
{
    OpenedJournal journal;
    journal.path = path;
    auto file = std::make_unique<QFile>(path);
    if (QFileInfo(path).isDir()) {
        journal.problem = QStringLiteral("un dossier porte son nom");
        return journal;
    }
    if (!file->open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered)) {
        journal.problem = file->errorString();
        return journal;
    }
    if (!kit_Platform::lockOpenFile(int(file->handle()))) {
        journal.state = OpenedJournal::State::Busy;
        return journal;
    }
    // A journal holds a few hundred bytes a file; anything much larger is not one of ours.
    constexpr qint64 largest = qint64(1) << 30;
    if (file->size() > largest) {
        journal.problem = QStringLiteral("il est bien trop grand pour être un journal");
        return journal;
    }
    // Opened for appending, it stands at its end.
    file->seek(0);
    const QByteArray text = file->readAll();
    journal.reading = kit::readJournal(text);
    if (!journal.reading.recognised) {
        journal.problem = QStringLiteral("ce n'est pas un journal de rangement");
        return journal;
    }
    // The undo's progress follows on a line of its own, even after a torn last line.
    if (!text.isEmpty() && !text.endsWith('\n') && !writeWhole(*file, QByteArrayLiteral("\n"))) {
        journal.problem = file->errorString();
        return journal;
    }
    journal.file = std::move(file);
    journal.state = OpenedJournal::State::Ready;
    return journal;
}

bool append(OpenedJournal &journal, const kit::JournalRecord &record)
{
    return journal.file && writeWhole(*journal.file, kit::journalLine(record));
}

void setAside(const QString &path)
{
    QDir().rename(path, path + QStringLiteral(".illisible"));
}

} // namespace kit_Journal
