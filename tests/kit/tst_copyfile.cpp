#include "FileHelpers.h"
#include "FileSystemFaults.h"
#include "kit_FILE.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <ftw.h>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
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

} // namespace

class TestCopyFile : public QObject {
    Q_OBJECT
private slots:
    void copies_data();
    void copies();
    void refusesAndChangesNothing_data();
    void refusesAndChangesNothing();
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
    QTest::newRow("pseudo-file whose size says 0") << "proc";
    QTest::newRow("across file systems") << "tmpfs source";
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
    } else if (kind == "proc") {
        source = "/proc/version";
    } else if (kind == "tmpfs source") {
        tmpfs = std::make_unique<Tmpfs>(tmp.filePath("mnt"), "size=4m");
        if (!tmpfs->isMounted())
            QSKIP(qPrintable("cannot mount a tmpfs: " + tmpfs->errorText()));
        source = tmp.filePath("mnt/source.bin");
        makeFile(source, patterned(1024 * 1024 + 5), 0755);
    }

    // Held open so that a pseudo-file keeps the same inode, and times, while it is compared.
    QFile pin(source);
    QVERIFY(pin.open(QIODevice::ReadOnly));
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

RANGEUR_FS_TEST_MAIN(TestCopyFile)
#include "tst_copyfile.moc"
