#include "FileHelpers.h"
#include "FileSystemFaults.h"
#include "kit_FILE.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QProcess>
#include <QtTest>
#include <csignal>
#include <cstdarg>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

struct stat statOf(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        qFatal("cannot stat %s", qPrintable(path));
    return st;
}

QByteArray patterned(qsizetype size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char((i * 7) ^ (i >> 9));
    return data;
}

QByteArray readBytes(const QByteArray &path)
{
    QByteArray content;
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return "<unreadable>";
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        content.append(buffer, n);
    ::close(fd);
    return content;
}

// Every entry under a folder, by its bytes (a Latin-1 name stays itself), with its kind,
// identity, mode, time and content, so that a refused copy can be shown to have changed nothing.
QByteArrayList snapshot(const QString &root)
{
    static QByteArrayList *entries = nullptr;
    QByteArrayList result;
    entries = &result;
    ::nftw(
        QFile::encodeName(root).constData(),
        [](const char *path, const struct stat *st, int, struct FTW *) {
            QByteArray entry = QByteArray(path) + " ino=" + QByteArray::number(st->st_ino) +
                               " mode=" + QByteArray::number(st->st_mode, 8);
            // A folder's time tells that a temporary file came and went, which is no trace.
            if (!S_ISDIR(st->st_mode))
                entry += " mtime=" + QByteArray::number(st->st_mtim.tv_sec) + "." +
                         QByteArray::number(st->st_mtim.tv_nsec);
            if (S_ISREG(st->st_mode))
                entry +=
                    " sha1=" +
                    QCryptographicHash::hash(readBytes(path), QCryptographicHash::Sha1).toHex();
            entries->append(entry);
            return 0;
        },
        16, FTW_PHYS);
    std::sort(result.begin(), result.end());
    return result;
}

QStringList leftoverTemporaries(const QString &folder)
{
    return QDir(folder).entryList({".rangeur-*"}, QDir::Files | QDir::Hidden);
}

constexpr qint64 MiB = 1024 * 1024;

// A file of that size with a MiB of data at each offset given, and holes elsewhere. False when
// the file system does not report the holes.
bool makeSparseFile(const QString &path, qint64 size, const QList<qint64> &dataAt)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(size))
        return false;
    for (const qint64 offset : dataAt) {
        if (!file.seek(offset) || file.write(patterned(MiB)) != MiB)
            return false;
    }
    file.close();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    const off_t firstHole = ::lseek(fd, 0, SEEK_HOLE);
    ::close(fd);
    return firstHole >= 0 && firstHole < size;
}

// The contents of every file under the folder, and of every entry of the trash that trash-list
// lists as coming from it: where a version of a file must be, unless it was lost.
QByteArrayList keptContents(const QString &folder, QString *error)
{
    QByteArrayList kept;
    QDirIterator files(folder, QDir::Files | QDir::Hidden | QDir::System,
                       QDirIterator::Subdirectories);
    while (files.hasNext())
        kept << readAll(files.next());
    QStringList trashedFrom = trashListOriginalPaths(error);
    trashedFrom.removeDuplicates();
    for (const QString &original : std::as_const(trashedFrom)) {
        if (original.startsWith(folder + '/')) {
            for (const QString &entry : trashedEntriesFor(original))
                kept << readAll(entry);
        }
    }
    return kept;
}

// A copy that blocks (on a FIFO, say) must fail the test, not hang the suite.
void onAlarm(int)
{
    static const char message[] = "FAIL: CopyFileOver did not return\n";
    [[maybe_unused]] auto n = ::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(3);
}

bool guardedCopy(const QString &source, const QString &destination)
{
    std::signal(SIGALRM, onAlarm);
    ::alarm(20);
    const bool result = kit_FILE::CopyFileOver(source, destination);
    ::alarm(0);
    return result;
}

// A limit on the size of the files the process writes, as `ulimit -f` sets it, with SIGXFSZ
// ignored so that writing past it fails with EFBIG instead of killing the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_previousHandler);
    }

private:
    struct rlimit m_saved {};
    void (*m_previousHandler)(int) = nullptr;
};

// The other program of a race that no step of the copy reaches: it puts a file at a name while
// the system call that gives the copy that name is on its way (a rename, or a creation).
std::function<void()> s_atNameTaking;
QByteArray s_nameWatched;

void actIfTaking(const char *path)
{
    const char *slash = std::strrchr(path, '/');
    if (s_atNameTaking && s_nameWatched == (slash ? slash + 1 : path))
        std::exchange(s_atNameTaking, {})(); // once, and not for the act's own calls
}

} // namespace

// The program's calls go through these while a test watches a name; everything else goes on to
// the kernel as it would.
extern "C" int renameat(int fromFolder, const char *from, int toFolder, const char *to)
{
    actIfTaking(to);
    return int(::syscall(SYS_renameat2, fromFolder, from, toFolder, to, 0));
}

extern "C" int openat(int folder, const char *path, int flags, ...)
{
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list rest;
        va_start(rest, flags);
        mode = va_arg(rest, mode_t);
        va_end(rest);
    }
    if (flags & O_CREAT)
        actIfTaking(path);
    return int(::syscall(SYS_openat, folder, path, flags, mode));
}

class TestCopyFile : public QObject {
    Q_OBJECT
private slots:
    void copies_data();
    void copies();
    void refusesAndChangesNothing_data();
    void refusesAndChangesNothing();
    void racesWithAnotherProgramLoseNothing_data();
    void racesWithAnotherProgramLoseNothing();
    void endedMidCopyLeavesNoTemporaryFile_data();
    void endedMidCopyLeavesNoTemporaryFile();
    void staleTemporariesOfAKilledCopyAreRemoved();
    void keptFolderFollowsThePath();
    void ontoExfatNothingIsReplaced_data();
    void ontoExfatNothingIsReplaced();
    void ontoExfatAFailedCopyLeavesNoPartialFile_data();
    void ontoExfatAFailedCopyLeavesNoPartialFile();
};

void TestCopyFile::copies_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("new destination, several MiB") << "new";
    QTest::newRow("replaced destination goes to the trash") << "replace";
    QTest::newRow("empty source") << "empty";
    QTest::newRow("set-user-ID source gives a copy with its permission bits only") << "setuid";
    QTest::newRow("source through a symbolic link") << "source link";
    QTest::newRow("destination link replaced as a link, its target untouched") << "dest link";
    QTest::newRow("across file systems") << "tmpfs source";
    QTest::newRow("sparse source, from a hole to a hole, keeps its holes") << "sparse";
    QTest::newRow("sparse source, from data to data, keeps its holes") << "sparse ends";
}

void TestCopyFile::copies()
{
    QFETCH(QString, kind);
    QTemporaryDir tmp;
    const QString out = tmp.filePath("out");
    QVERIFY(QDir().mkdir(out));
    QString source = tmp.filePath("source.bin");
    QString destination = out + "/copy.bin";
    QByteArray replacedContent;
    std::unique_ptr<Tmpfs> tmpfs;

    if (kind == "new") {
        makeFile(source, patterned(3 * 1024 * 1024 + 17), 0640);
    } else if (kind == "replace") {
        makeFile(source, "new content", 0600);
        replacedContent = "old content, longer than the new one";
        makeFile(destination, replacedContent, 0644, 1500000000);
    } else if (kind == "empty") {
        makeFile(source, {}, 0444);
    } else if (kind == "setuid") {
        makeFile(source, "#!/bin/sh\n", 06755);
    } else if (kind == "source link") {
        makeFile(tmp.filePath("real.bin"), "through a link", 0604);
        QVERIFY(QFile::link(tmp.filePath("real.bin"), source));
    } else if (kind == "dest link") {
        makeFile(source, "new content");
        makeFile(tmp.filePath("elsewhere.txt"), "must stay");
        QVERIFY(QFile::link(tmp.filePath("elsewhere.txt"), destination));
    } else if (kind == "tmpfs source") {
        tmpfs = std::make_unique<Tmpfs>(tmp.filePath("mnt"), "size=4m");
        if (!tmpfs->isMounted())
            QSKIP(qPrintable("cannot mount a tmpfs: " + tmpfs->errorText()));
        source = tmp.filePath("mnt/source.bin");
        makeFile(source, patterned(1024 * 1024 + 5), 0755);
    } else if (kind == "sparse" || kind == "sparse ends") {
        const QList<qint64> dataAt =
            kind == "sparse" ? QList<qint64>{8 * MiB, 40 * MiB} : QList<qint64>{0, 63 * MiB};
        if (!makeSparseFile(source, 64 * MiB, dataAt))
            QSKIP("this file system does not report holes");
    }

    const QByteArray expected = readAll(source);
    struct stat sourceStat {};
    QCOMPARE(::stat(QFile::encodeName(source).constData(), &sourceStat), 0);
    const int trashedBefore = trashEntryCount();

    QVERIFY(guardedCopy(source, destination));

    const struct stat copied = statOf(destination);
    QVERIFY2(S_ISREG(copied.st_mode), "the copy is a regular file");
    QCOMPARE(readAll(destination), expected);
    QCOMPARE(copied.st_mode & 07777, sourceStat.st_mode & 0777);
    QCOMPARE(copied.st_mtim.tv_sec, sourceStat.st_mtim.tv_sec);
    QCOMPARE(copied.st_mtim.tv_nsec, sourceStat.st_mtim.tv_nsec);
    QCOMPARE(leftoverTemporaries(out), QStringList{});
    QCOMPARE(readAll(source), expected);
    if (kind.startsWith("sparse"))
        QVERIFY2(copied.st_blocks <= sourceStat.st_blocks, "the copy takes no more room");

    if (kind == "replace" || kind == "dest link") {
        const QString entry = trashedEntryFor(destination);
        QVERIFY2(!entry.isEmpty(), "the replaced destination is in the trash");
        if (kind == "replace")
            QCOMPARE(readAll(entry), replacedContent);
        else
            QCOMPARE(QFileInfo(entry).symLinkTarget(), tmp.filePath("elsewhere.txt"));
        QString error;
        QVERIFY2(trashListOriginalPaths(&error).contains(destination), qPrintable(error));
    } else {
        QCOMPARE(trashEntryCount(), trashedBefore);
    }
    if (kind == "dest link")
        QCOMPARE(readAll(tmp.filePath("elsewhere.txt")), QByteArray("must stay"));
}

void TestCopyFile::refusesAndChangesNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing source") << "missing";
    QTest::newRow("source is a folder") << "folder";
    QTest::newRow("source is a FIFO, without waiting for a writer") << "fifo";
    QTest::newRow("onto itself by the same path") << "same path";
    QTest::newRow("onto itself by a hard link") << "hard link";
    QTest::newRow("onto itself through a linked folder") << "linked folder";
    QTest::newRow("destination folder missing") << "no folder";
    QTest::newRow("destination folder is a file") << "folder is file";
    QTest::newRow("destination is a folder") << "dest folder";
    QTest::newRow("destination folder cannot be written") << "read-only folder";
    QTest::newRow("name decoded with a replacement character") << "undecodable";
    QTest::newRow("file too large") << "too large";
    QTest::newRow("no room left") << "full";
    QTest::newRow("replaced file cannot go to the trash (none on tmpfs)") << "untrashable";
    QTest::newRow("pseudo-file whose size says 0") << "/proc/version";
    QTest::newRow("pseudo-file that never ends") << "/proc/self/pagemap";
    QTest::newRow("attribute of the kernel") << "/sys/kernel/address_bits";
}

void TestCopyFile::refusesAndChangesNothing()
{
    QFETCH(QString, kind);
    QTemporaryDir tmp;
    const QString root = tmp.path();
    // Readable by the ordinary user that one row runs as.
    QCOMPARE(::chmod(QFile::encodeName(root).constData(), 0755), 0);
    const QString out = tmp.filePath("out");
    QVERIFY(QDir().mkdir(out));
    Latin1NamedFile latin1(root);
    const auto restore = qScopeGuard([&] { ::chmod(QFile::encodeName(out).constData(), 0755); });
    makeFile(tmp.filePath("source.txt"), "source content");
    makeFile(out + "/old.txt", "old destination");
    QString source = tmp.filePath("source.txt");
    QString destination = out + "/old.txt";
    std::unique_ptr<Tmpfs> tmpfs;
    bool sizeLimited = false;
    bool asOrdinaryUser = false;

    if (kind == "missing") {
        source = tmp.filePath("missing.txt");
    } else if (kind == "folder") {
        source = out;
        destination = out + "/new";
    } else if (kind == "fifo") {
        source = tmp.filePath("fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(source).constData(), 0644), 0);
    } else if (kind == "same path") {
        source = destination;
    } else if (kind == "hard link") {
        source = tmp.filePath("hard.txt");
        QCOMPARE(::link(QFile::encodeName(destination).constData(),
                        QFile::encodeName(source).constData()),
                 0);
    } else if (kind == "linked folder") {
        QVERIFY(QFile::link(out, tmp.filePath("outlink")));
        source = destination;
        destination = tmp.filePath("outlink/old.txt");
    } else if (kind == "no folder") {
        destination = tmp.filePath("nofolder/x.txt");
    } else if (kind == "folder is file") {
        destination = tmp.filePath("source.txt/x.txt");
    } else if (kind == "dest folder") {
        QVERIFY(QDir().mkdir(out + "/sub"));
        destination = out + "/sub";
    } else if (kind == "read-only folder") {
        QCOMPARE(::chmod(QFile::encodeName(out).constData(), 0555), 0);
        asOrdinaryUser = true;
    } else if (kind == "undecodable") {
        // The dropped file's name is Latin-1; its decoded text, written back as UTF-8, would
        // name this other file.
        QVERIFY2(latin1.create("latin-1 name"), qPrintable(latin1.errorText()));
        makeFile(latin1.decodedPath(), "another file");
        source = latin1.decodedPath();
        destination = out + "/cafe.txt";
    } else if (kind == "too large") {
        makeFile(tmp.filePath("big.bin"), patterned(1024 * 1024));
        source = tmp.filePath("big.bin");
        sizeLimited = true;
    } else if (kind == "full") {
        tmpfs = std::make_unique<Tmpfs>(tmp.filePath("small"), "size=128k");
        if (!tmpfs->isMounted())
            QSKIP(qPrintable("cannot mount a tmpfs: " + tmpfs->errorText()));
        makeFile(tmp.filePath("small/old.txt"), patterned(16 * 1024));
        makeFile(tmp.filePath("big.bin"), patterned(512 * 1024));
        source = tmp.filePath("big.bin");
        destination = tmp.filePath("small/old.txt");
    } else if (kind == "untrashable") {
        tmpfs = std::make_unique<Tmpfs>(tmp.filePath("mounted"), "size=4m");
        if (!tmpfs->isMounted())
            QSKIP(qPrintable("cannot mount a tmpfs: " + tmpfs->errorText()));
        makeFile(tmp.filePath("mounted/old.txt"), "old destination");
        destination = tmp.filePath("mounted/old.txt");
    } else if (kind.startsWith('/')) {
        if (!QFileInfo::exists(kind))
            QSKIP(qPrintable(kind + " is missing here"));
        source = kind;
    }

    const QByteArrayList before = snapshot(root);
    const int trashedBefore = trashEntryCount();
    QElapsedTimer timer;
    timer.start();
    bool result = true;
    {
        std::optional<AsOrdinaryUser> user;
        std::optional<FileSizeLimit> sizeLimit;
        if (asOrdinaryUser)
            user.emplace();
        if (sizeLimited)
            sizeLimit.emplace(64 * 1024);
        result = guardedCopy(source, destination);
    }
    const qint64 elapsed = timer.elapsed();

    QCOMPARE(result, false);
    QCOMPARE(snapshot(root), before);
    QCOMPARE(trashEntryCount(), trashedBefore);
    QVERIFY2(elapsed < 5000, "a refusal comes at once");
}

void TestCopyFile::racesWithAnotherProgramLoseNothing_data()
{
    using kit_FILE::TrashResult;
    QTest::addColumn<QString>("race");
    QTest::addColumn<bool>("namedTemporaryFile");
    QTest::addColumn<bool>("copied");
    QTest::addColumn<TrashResult>("sourceTrashed");
    struct Race {
        const char *name;
        bool copied;
        TrashResult sourceTrashed;
        bool publishing; // also with the named temporary file, which publishes another way
    };
    const Race races[] = {
        {"a file appears at the free name", true, TrashResult::Trashed, true},
        {"the folder is renamed during a replacing copy", false, TrashResult::Failed, true},
        {"a file takes the name again once it is freed", true, TrashResult::Trashed, true},
        {"a file takes the name again every time it is freed", false, TrashResult::Failed, true},
        {"the file looked at is swapped before it is trashed", true, TrashResult::Trashed, true},
        {"the replaced file is written in place before it is trashed", true, TrashResult::Trashed,
         false},
        {"the source is written in place during the copy", false, TrashResult::Failed, false},
        {"the source is saved again by rename during the copy", true, TrashResult::NotTheFileRead,
         false},
        {"the source is saved again just before it is trashed", true, TrashResult::NotTheFileRead,
         false},
    };
    for (const Race &race : races) {
        QTest::addRow("%s", race.name) << race.name << false << race.copied << race.sourceTrashed;
        if (race.publishing)
            QTest::addRow("%s, named temporary file", race.name)
                << race.name << true << race.copied << race.sourceTrashed;
    }
}

// Another program (an editor, a sync client, a second run) acts on the files between two steps
// of a move: copy, then source to the trash when the copy succeeded. Whatever it does, every
// version of every file is still somewhere: in place, or in the trash.
void TestCopyFile::racesWithAnotherProgramLoseNothing()
{
    using kit_FILE::Step;
    QFETCH(QString, race);
    QFETCH(bool, namedTemporaryFile);
    QFETCH(bool, copied);
    QFETCH(kit_FILE::TrashResult, sourceTrashed);
    QTemporaryDir tmp;
    const QString out = tmp.filePath("out");
    const QString movedOut = tmp.filePath("moved");
    QVERIFY(QDir().mkdir(out));
    const QString source = tmp.filePath("source.txt");
    const QString destination = out + "/copy.txt";

    // Contents of the row's own, since every row shares the trash.
    QByteArrayList versions;
    int written = 0;
    const auto write = [&](const QString &path, const char *what) {
        versions << what + QByteArray(" #") + QByteArray::number(++written) + " in " +
                        QTest::currentDataTag();
        makeFile(path, versions.last());
    };
    // As an editor saves: a new file renamed over the old one, which goes away.
    const auto saveByRename = [&](const QString &path, const char *what) {
        write(tmp.filePath("saving.tmp"), what);
        QVERIFY(::rename(QFile::encodeName(tmp.filePath("saving.tmp")).constData(),
                         QFile::encodeName(path).constData()) == 0);
    };
    const auto writeInPlace = [&](const QString &path, const QByteArray &text) {
        const QByteArray before = readAll(path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Append));
        QCOMPARE(file.write(text), text.size());
        file.close();
        versions.removeOne(before); // the other program changed it, not us
        versions << before + text;
    };
    write(source, "source");
    const QByteArray copiedVersion = versions.last();
    const bool replacing = !race.startsWith("a file appears") && !race.startsWith("the source");
    if (replacing)
        write(destination, "replaced");
    const QByteArray replaced = replacing ? versions.last() : QByteArray();

    Step step = Step::CopyWritten;
    bool everyTime = false;
    std::function<void()> act;
    if (race == "a file appears at the free name") {
        act = [&] { write(destination, "appeared"); };
    } else if (race == "the folder is renamed during a replacing copy") {
        act = [&] { QVERIFY(QDir().rename(out, movedOut)); };
    } else if (race.startsWith("a file takes the name again")) {
        step = Step::DestinationTrashed;
        everyTime = race.endsWith("every time it is freed");
        act = [&] { write(destination, "took the name"); };
    } else if (race == "the file looked at is swapped before it is trashed") {
        step = Step::DestinationLookedAt;
        act = [&] {
            QVERIFY(QDir().rename(destination, out + "/copy.txt.bak"));
            write(destination, "swapped in");
        };
    } else if (race == "the replaced file is written in place before it is trashed") {
        step = Step::DestinationLookedAt;
        act = [&] { writeInPlace(destination, " and more"); };
    } else if (race == "the source is written in place during the copy") {
        act = [&] { writeInPlace(source, " and more"); };
    } else if (race == "the source is saved again by rename during the copy") {
        act = [&] { saveByRename(source, "source saved again"); };
    } else if (race == "the source is saved again just before it is trashed") {
        step = Step::SourceToTrash;
        act = [&] { saveByRename(source, "source saved again"); };
    }
    int acted = 0;
    kit_FILE::setTestSeams({[&](Step reached) {
                                if (reached == step && (everyTime || acted == 0)) {
                                    ++acted;
                                    act();
                                }
                            },
                            namedTemporaryFile});
    const auto resetSeams = qScopeGuard([] { kit_FILE::setTestSeams(); });

    kit_FILE::FileIdentity read;
    QCOMPARE(kit_FILE::CopyFileOver(source, destination, &read), copied);
    if (copied) {
        QCOMPARE(readAll(destination), copiedVersion);
        QCOMPARE(kit_FILE::SendToRecycleBin(source, read), sourceTrashed);
        QCOMPARE(QFileInfo::exists(source), sourceTrashed != kit_FILE::TrashResult::Trashed);
    } else {
        QVERIFY2(QFileInfo::exists(source), "the source stays");
    }
    QVERIFY2(acted > 0, "the other program had its chance");
    if (race.startsWith("the folder is renamed"))
        QCOMPARE(readAll(movedOut + "/copy.txt"), replaced); // not trashed through another path

    QString error;
    const QByteArrayList kept = keptContents(tmp.path(), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    for (const QByteArray &version : std::as_const(versions))
        QVERIFY2(kept.contains(version), "lost: " + version);
    QCOMPARE(leftoverTemporaries(out), QStringList{});
    QCOMPARE(leftoverTemporaries(movedOut), QStringList{});
}

void TestCopyFile::endedMidCopyLeavesNoTemporaryFile_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("killed") << int(SIGKILL);
    QTest::newRow("ended by the end of the session") << int(SIGTERM);
}

void TestCopyFile::endedMidCopyLeavesNoTemporaryFile()
{
    QFETCH(int, signal);
    QTemporaryDir tmp;
    const QString out = tmp.filePath("out");
    QVERIFY(QDir().mkdir(out));
    const QString source = tmp.filePath("large.bin");
    makeFile(source, QByteArray(32 * MiB, 'k'));

    QProcess copying;
    copying.start(QStringLiteral(COPY_THEN_WAIT), {source, out + "/large.bin"});
    QVERIFY2(copying.waitForReadyRead(30000), qPrintable(copying.errorString()));
    QCOMPARE(copying.readLine(), QByteArray("written\n"));
    QCOMPARE(::kill(pid_t(copying.processId()), signal), 0);
    QVERIFY(copying.waitForFinished(30000));
    QCOMPARE(copying.exitStatus(), QProcess::CrashExit);

    QCOMPARE(
        QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
        QStringList{});
}

// A run keeps the destination folder open from one copy to the next. Moved away, or removed and
// made again (which may give the new one the old one's inode number), it no longer takes the
// copies: a copy that succeeds is at the path it was given.
void TestCopyFile::keptFolderFollowsThePath()
{
    QTemporaryDir tmp;
    const QString out = tmp.filePath("out");
    QVERIFY(QDir().mkdir(out));
    for (const char *name : {"a", "b", "c"})
        makeFile(tmp.filePath(name), name);
    const kit_FILE::KeepFolders keep;
    QVERIFY(kit_FILE::CopyFileOver(tmp.filePath("a"), out + "/a"));

    QVERIFY(QDir().rename(out, tmp.filePath("moved")));
    QVERIFY(QDir().mkdir(out));
    QVERIFY(kit_FILE::CopyFileOver(tmp.filePath("b"), out + "/b"));
    QCOMPARE(QDir(out).entryList(QDir::Files), QStringList{"b"});
    QCOMPARE(QDir(tmp.filePath("moved")).entryList(QDir::Files), QStringList{"a"});

    QVERIFY(QDir(out).removeRecursively());
    QVERIFY(QDir().mkdir(out));
    // Through a folder that is gone the copy fails, and the next one opens the folder again.
    if (!kit_FILE::CopyFileOver(tmp.filePath("c"), out + "/c"))
        QVERIFY(kit_FILE::CopyFileOver(tmp.filePath("c"), out + "/c"));
    QCOMPARE(readBytes(QFile::encodeName(out + "/c")), QByteArray("c"));
}

void TestCopyFile::staleTemporariesOfAKilledCopyAreRemoved()
{
    // Where unnamed files are refused, a killed copy leaves its hidden temporary file; the next
    // run into the folder removes it, but never that of a copy still going on.
    QTemporaryDir tmp;
    const QString out = tmp.filePath("out");
    QVERIFY(QDir().mkdir(out));
    makeFile(tmp.filePath("a.bin"), QByteArray(4 * MiB, 'a'));
    makeFile(tmp.filePath("b.bin"), QByteArray(4 * MiB, 'b'));
    makeFile(out + "/.rangeur-notours.txt", "a name of the user's");
    const auto startCopy = [&](QProcess &copying, const QString &name) {
        copying.start(QStringLiteral(COPY_THEN_WAIT),
                      {tmp.filePath(name), out + "/" + name, "--named"});
        QVERIFY2(copying.waitForReadyRead(30000), qPrintable(copying.errorString()));
        QCOMPARE(copying.readLine(), QByteArray("written\n"));
    };
    const auto temporaries = [&] {
        return QDir(out).entryList({".rangeur-*.tmp"}, QDir::Files | QDir::Hidden);
    };
    QProcess killed;
    startCopy(killed, "a.bin");
    const QStringList left = temporaries();
    QCOMPARE(left.size(), 1);
    QCOMPARE(::kill(pid_t(killed.processId()), SIGKILL), 0);
    QVERIFY(killed.waitForFinished(30000));
    QProcess going;
    startCopy(going, "b.bin");
    QCOMPARE(temporaries().size(), 2);

    kit_FILE::RemoveStaleTemporaries(out);
    const QStringList kept = temporaries();
    QCOMPARE(kept.size(), 1);
    QVERIFY2(!kept.contains(left.first()), "the killed copy's file is gone");
    QVERIFY(QFileInfo::exists(out + "/.rangeur-notours.txt"));
    ::kill(pid_t(going.processId()), SIGKILL);
    QVERIFY(going.waitForFinished(30000));
}

void TestCopyFile::ontoExfatNothingIsReplaced_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("free name") << "free";
    QTest::newRow("a file appears at the name as the copy takes it") << "appears";
    QTest::newRow("name taken before the copy") << "taken";
}

// exFAT through FUSE takes neither RENAME_NOREPLACE nor hard links: the copy still never
// replaces a file it did not send to the trash, and the journal can still tell the copy.
void TestCopyFile::ontoExfatNothingIsReplaced()
{
    QFETCH(QString, kind);
    QTemporaryDir tmp;
    const QString out = tmp.filePath("exfat");
    const FuseExfat exfat(out, 64 * MiB);
    if (!exfat.isMounted())
        QSKIP(qPrintable("cannot mount an exFAT file system: " + exfat.errorText()));
    const QString source = tmp.filePath("source.bin");
    const QString destination = out + "/copy.bin";
    const QByteArray content = patterned(2 * MiB + 3) + QTest::currentDataTag();
    makeFile(source, content, 0640, 1500000000);
    const QByteArray other = QByteArray("another program's file in ") + QTest::currentDataTag();
    if (kind == "taken")
        makeFile(destination, other);
    else if (kind == "appears") {
        s_nameWatched = "copy.bin";
        s_atNameTaking = [&] { makeFile(destination, other); };
    }
    const auto stopWatching = qScopeGuard([] { s_atNameTaking = {}; });

    std::optional<kit_FILE::FileIdentity> recorded;
    kit_FILE::CopyHooks hooks;
    hooks.publishing = [&](const kit_FILE::FileIdentity &, const kit_FILE::FileIdentity &copy) {
        QVERIFY2(!recorded, "the journal hears of the copy once");
        recorded = copy;
    };
    kit_FILE::FileIdentity read;
    kit_FILE::FileIdentity published;
    const bool copied = kit_FILE::CopyFileOver(source, destination, &read, &hooks, &published);
    QVERIFY2(!s_atNameTaking, "the other program had its chance");

    QCOMPARE(readAll(source), content);
    QCOMPARE(leftoverTemporaries(out), QStringList{});
    if (kind != "free") {
        QString error;
        QVERIFY2(keptContents(tmp.path(), &error).contains(other), "lost: " + other);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }
    if (!copied) {
        // The file in the way could not go to the trash: it keeps the name.
        QVERIFY2(kind != "free", "a copy to a free name succeeds");
        QCOMPARE(readAll(destination), other);
        return;
    }
    QCOMPARE(readAll(destination), content);
    const struct stat copy = statOf(destination);
    QCOMPARE(copy.st_mtim.tv_sec, 1500000000); // exFAT through FUSE keeps whole seconds
    // An undo removes a copy only while it is the file and version the journal was told of.
    const auto sameAsCopy = [&](const kit_FILE::FileIdentity &id, bool changeKnown) {
        return id.device == quint64(copy.st_dev) && id.inode == quint64(copy.st_ino) &&
               id.size == copy.st_size && id.modifiedSeconds == copy.st_mtim.tv_sec &&
               id.modifiedNanoseconds == copy.st_mtim.tv_nsec &&
               (!changeKnown || (id.changedSeconds == copy.st_ctim.tv_sec &&
                                 id.changedNanoseconds == copy.st_ctim.tv_nsec));
    };
    QVERIFY2(sameAsCopy(published, true), "the identity given is the copy's at its name");
    QVERIFY(recorded);
    if (kind == "free")
        QVERIFY2(sameAsCopy(*recorded, false), "the journal can tell the copy");
    QCOMPARE(read.size, qint64(content.size()));
}

void TestCopyFile::ontoExfatAFailedCopyLeavesNoPartialFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("no room left") << "full";
    QTest::newRow("source written in place during the copy") << "source changed";
    QTest::newRow("partial copy swapped for another file before it is removed") << "swapped";
}

void TestCopyFile::ontoExfatAFailedCopyLeavesNoPartialFile()
{
    using kit_FILE::Step;
    QFETCH(QString, kind);
    QTemporaryDir tmp;
    const QString out = tmp.filePath("exfat");
    const FuseExfat exfat(out, kind == "full" ? 8 * MiB : 64 * MiB);
    if (!exfat.isMounted())
        QSKIP(qPrintable("cannot mount an exFAT file system: " + exfat.errorText()));
    const QString source = tmp.filePath("source.bin");
    const QString destination = out + "/copy.bin";
    makeFile(source, patterned(kind == "full" ? 16 * MiB : MiB));
    makeFile(out + "/kept.txt", "already there");
    const QByteArray other = "saved there by another program";

    std::function<void()> act;
    if (kind == "source changed" || kind == "swapped")
        act = [&] {
            QFile grown(source);
            QVERIFY(grown.open(QIODevice::Append));
            QCOMPARE(grown.write("more"), 4);
        };
    if (kind == "swapped")
        act = [&, append = act] {
            append();
            QVERIFY(QDir().rename(destination, out + "/aside.bin"));
            makeFile(destination, other);
        };
    kit_FILE::setTestSeams({[&](Step reached) {
        if (reached == Step::CopyWritten && act)
            std::exchange(act, {})();
    }});
    const auto resetSeams = qScopeGuard([] { kit_FILE::setTestSeams(); });
    const QByteArrayList before = snapshot(out);

    QCOMPARE(guardedCopy(source, destination), false);

    QVERIFY2(!act, "the other program had its chance");
    QCOMPARE(leftoverTemporaries(out), QStringList{});
    QCOMPARE(readAll(out + "/kept.txt"), QByteArray("already there"));
    if (kind == "swapped") {
        // The partial copy under another name is no longer the copy's to remove.
        QCOMPARE(readAll(destination), other);
        QVERIFY(QFileInfo::exists(out + "/aside.bin"));
        return;
    }
    QCOMPARE(snapshot(out), before);
}

RANGEUR_FS_TEST_MAIN(TestCopyFile)
#include "tst_copyfile.moc"
