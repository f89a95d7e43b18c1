#include "FileHelpers.h"
#include "FileSystemFaults.h"
#include "kit_FILE.h"

#include <QApplication>
#include <QtTest>
#include <sys/stat.h>

namespace {

bool presentAsIs(const QString &path)
{
    return QFileInfo(path).exists() || QFileInfo(path).isSymLink();
}

// What a copy records of the file it read.
kit_FILE::FileIdentity identityOf(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        qFatal("cannot stat %s", qPrintable(path));
    return {quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size), qint64(st.st_mtim.tv_sec),
            qint64(st.st_mtim.tv_nsec)};
}

} // namespace

// Every trash test uses the process's private home: GIO keeps the home it first saw.
class TestTrash : public QObject {
    Q_OBJECT
private slots:
    void trashesWithItsOriginalPath_data();
    void trashesWithItsOriginalPath();
    void linkIsTrashedAsALink();
    void dotDotIsResolvedThroughLinks();
    void refusedNamesStayInPlace_data();
    void refusedNamesStayInPlace();
    void untrashableFileStaysInPlace();
    void trashesOnlyTheFileRead_data();
    void trashesOnlyTheFileRead();
};

void TestTrash::trashesWithItsOriginalPath_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain name") << "plain.txt";
    QTest::newRow("spaces") << "a name with spaces.pdf";
    QTest::newRow("percent signs, as if already encoded") << "100% net %20 %C3%A9.txt";
    QTest::newRow("accents") << "Facture été n°3 — Noël.pdf";
}

void TestTrash::trashesWithItsOriginalPath()
{
    QFETCH(QString, name);
    QTemporaryDir tmp;
    const QString path = tmp.filePath(name);
    const QByteArray content = "content of " + name.toUtf8();
    makeFile(path, content);

    QVERIFY(kit_FILE::SendToRecycleBin(path));

    QVERIFY2(!QFileInfo::exists(path), "the file has left its folder");
    const QString entry = trashedEntryFor(path);
    QVERIFY2(!entry.isEmpty(), "the trash records the original path");
    QCOMPARE(readAll(entry), content);
    QString error;
    const QStringList listed = trashListOriginalPaths(&error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY2(listed.contains(path), qPrintable(listed.join('\n')));
}

void TestTrash::linkIsTrashedAsALink()
{
    QTemporaryDir tmp;
    const QString target = tmp.filePath("target.txt");
    const QString link = tmp.filePath("link.txt");
    makeFile(target, "the target");
    QVERIFY(QFile::link(target, link));

    QVERIFY(kit_FILE::SendToRecycleBin(link));

    QVERIFY2(!presentAsIs(link), "the link has left its folder");
    QCOMPARE(readAll(target), QByteArray("the target"));
    const QString entry = trashedEntryFor(link);
    QVERIFY2(QFileInfo(entry).isSymLink(), "the trash holds the link, not a copy of its target");
    QCOMPARE(QFileInfo(entry).symLinkTarget(), target);
    QString error;
    QVERIFY2(trashListOriginalPaths(&error).contains(link), qPrintable(error));
}

void TestTrash::dotDotIsResolvedThroughLinks()
{
    // a/link -> b/deep, so a/link/../victim.txt is b/victim.txt for the system, and would be
    // a/victim.txt if ".." were taken away by text.
    QTemporaryDir tmp;
    QVERIFY2(QDir(tmp.path()).mkpath("a"), "folder a");
    QVERIFY2(QDir(tmp.path()).mkpath("b/deep"), "folder b/deep");
    QVERIFY(QFile::link(tmp.filePath("b/deep"), tmp.filePath("a/link")));
    makeFile(tmp.filePath("a/victim.txt"), "must stay");
    makeFile(tmp.filePath("b/victim.txt"), "the one named");

    QVERIFY(kit_FILE::SendToRecycleBin(tmp.filePath("a/link/../victim.txt")));

    QCOMPARE(readAll(tmp.filePath("a/victim.txt")), QByteArray("must stay"));
    QVERIFY(!QFileInfo::exists(tmp.filePath("b/victim.txt")));
    QCOMPARE(readAll(trashedEntryFor(tmp.filePath("b/victim.txt"))), QByteArray("the one named"));
}

void TestTrash::refusedNamesStayInPlace_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing file") << "missing";
    QTest::newRow("empty path") << "empty";
    QTest::newRow("name decoded with a replacement character") << "undecodable";
    QTest::newRow("trailing separator after a file") << "slash";
}

void TestTrash::refusedNamesStayInPlace()
{
    QFETCH(QString, kind);
    QTemporaryDir tmp;
    Latin1NamedFile latin1(tmp.path());
    QString path;
    if (kind == "missing") {
        path = tmp.filePath("missing.txt");
    } else if (kind == "undecodable") {
        // The real file's name is Latin-1; its decoded text would name this other file.
        QVERIFY2(latin1.create(), qPrintable(latin1.errorText()));
        path = latin1.decodedPath();
        makeFile(path, "another file");
    } else if (kind == "slash") {
        makeFile(tmp.filePath("file.txt"), "a file");
        path = tmp.filePath("file.txt") + '/';
    }
    const QStringList before = QDir(tmp.path()).entryList(QDir::AllEntries | QDir::System);
    const int trashedBefore = trashEntryCount();

    QCOMPARE(kit_FILE::SendToRecycleBin(path), false);

    QCOMPARE(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::System), before);
    QCOMPARE(trashEntryCount(), trashedBefore);
}

void TestTrash::untrashableFileStaysInPlace()
{
    QTemporaryDir tmp;
    Tmpfs tmpfs(tmp.filePath("ro"), "size=64k");
    if (!tmpfs.isMounted())
        QSKIP(qPrintable("cannot mount a tmpfs: " + tmpfs.errorText()));
    const QString path = tmp.filePath("ro/kept.txt");
    makeFile(path, "kept");
    QVERIFY(tmpfs.remountReadOnly());

    QCOMPARE(kit_FILE::SendToRecycleBin(path), false);
    QCOMPARE(readAll(path), QByteArray("kept"));
}

void TestTrash::trashesOnlyTheFileRead_data()
{
    using kit_FILE::TrashResult;
    QTest::addColumn<QString>("change");
    QTest::addColumn<TrashResult>("result");
    QTest::newRow("unchanged") << "none" << TrashResult::Trashed;
    QTest::newRow("read through a link: the link goes, its target stays")
        << "link" << TrashResult::Trashed;
    QTest::newRow("saved again by rename") << "rename" << TrashResult::NotTheFileRead;
    QTest::newRow("written again in place, same size")
        << "same size" << TrashResult::NotTheFileRead;
    QTest::newRow("grown in place, its time put back")
        << "same time" << TrashResult::NotTheFileRead;
    QTest::newRow("removed") << "removed" << TrashResult::NotTheFileRead;
    QTest::newRow("on a file system without a trash") << "untrashable" << TrashResult::Failed;
}

void TestTrash::trashesOnlyTheFileRead()
{
    QFETCH(QString, change);
    QFETCH(kit_FILE::TrashResult, result);
    QTemporaryDir tmp;
    std::unique_ptr<Tmpfs> tmpfs;
    if (change == "untrashable") {
        tmpfs = std::make_unique<Tmpfs>(tmp.filePath("mounted"), "size=64k");
        if (!tmpfs->isMounted())
            QSKIP(qPrintable("cannot mount a tmpfs: " + tmpfs->errorText()));
    }
    const QString file = tmp.filePath(tmpfs ? "mounted/file.txt" : "file.txt");
    QString path = file;
    makeFile(file, "as read");
    const kit_FILE::FileIdentity read = identityOf(file);

    if (change == "link") {
        path = tmp.filePath("link.txt");
        QVERIFY(QFile::link(file, path));
    } else if (change == "rename") {
        makeFile(tmp.filePath("saving.tmp"), "saved again");
        QCOMPARE(::rename(QFile::encodeName(tmp.filePath("saving.tmp")).constData(),
                          QFile::encodeName(file).constData()),
                 0);
    } else if (change == "same size") {
        makeFile(file, "as READ", 0644, 1700000000);
    } else if (change == "same time") {
        makeFile(file, "as read, and more");
    } else if (change == "removed") {
        QVERIFY(QFile::remove(file));
    }
    const QByteArray before = readAll(path);
    const int trashedBefore = trashEntryCount();

    QCOMPARE(kit_FILE::SendToRecycleBin(path, read), result);

    if (result == kit_FILE::TrashResult::Trashed) {
        QVERIFY2(!presentAsIs(path), "gone from its folder");
        QCOMPARE(readAll(trashedEntryFor(path)), QByteArray("as read"));
        QString error;
        QVERIFY2(trashListOriginalPaths(&error).contains(path), qPrintable(error));
        if (change == "link")
            QCOMPARE(readAll(file), QByteArray("as read"));
    } else {
        QCOMPARE(readAll(path), before);
        QCOMPARE(trashEntryCount(), trashedBefore);
    }
}

RANGEUR_FS_TEST_MAIN(TestTrash)
#include "tst_trash.moc"
