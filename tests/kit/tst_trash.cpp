#include "FileHelpers.h"
#include "FileSystemFaults.h"
#include "kit_FILE.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>
#include <algorithm>
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
    void strayFileInTheTrashIsNeverReplaced();
    void replacedDuringTheTrashStaysInPlace_data();
    void replacedDuringTheTrashStaysInPlace();
    void longNamesAreTrashed_data();
    void longNamesAreTrashed();
    void desktopTrashListsAndRestoresOurEntries();
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

void TestTrash::strayFileInTheTrashIsNeverReplaced()
{
    // Other tools leave files in the trash without an info file: their names are not free.
    QTemporaryDir tmp;
    const QString files = trashFolder() + QStringLiteral("/files/");
    QVERIFY(QDir().mkpath(files));
    makeFile(files + "stray report.pdf", "left by another tool");
    const QString path = tmp.filePath("stray report.pdf");
    makeFile(path, "the source");

    QCOMPARE(kit_FILE::SendToRecycleBin(path, identityOf(path)), kit_FILE::TrashResult::Trashed);

    QCOMPARE(readAll(files + "stray report.pdf"), QByteArray("left by another tool"));
    QCOMPARE(readAll(trashedEntryFor(path)), QByteArray("the source"));
    QString error;
    QVERIFY2(trashListOriginalPaths(&error).contains(path), qPrintable(error));
}

void TestTrash::replacedDuringTheTrashStaysInPlace_data()
{
    QTest::addColumn<bool>("throughLink");
    QTest::newRow("a file, saved again by rename") << false;
    QTest::newRow("a link, pointed elsewhere") << true;
}

void TestTrash::replacedDuringTheTrashStaysInPlace()
{
    // An editor saves between the last look at the file and its move: the new version must stay
    // where it is, and the trash gain nothing.
    QFETCH(bool, throughLink);
    QTemporaryDir tmp;
    const QString file = tmp.filePath("doc.txt");
    makeFile(file, "as read");
    const kit_FILE::FileIdentity read = identityOf(file);
    const QString path = throughLink ? tmp.filePath("link.txt") : file;
    if (throughLink)
        QVERIFY(QFile::link(file, path));
    const QString other = tmp.filePath("other.txt");
    makeFile(other, "saved again");
    const QString saving = tmp.filePath("saving");
    if (throughLink)
        QVERIFY(QFile::link(other, saving));
    else
        QVERIFY(QFile::copy(other, saving));
    const int trashedBefore = trashEntryCount();
    bool saved = false;

    const kit_FILE::TrashResult result = kit_FILE::SendToRecycleBin(
        path, read, [&](const kit_FILE::FileIdentity &, const QString &) {
            saved = ::rename(QFile::encodeName(saving).constData(),
                             QFile::encodeName(path).constData()) == 0;
        });

    QVERIFY(saved);
    QCOMPARE(result, kit_FILE::TrashResult::NotTheFileRead);
    QCOMPARE(readAll(path), QByteArray("saved again"));
    if (throughLink)
        QCOMPARE(QFileInfo(path).symLinkTarget(), other);
    QCOMPARE(trashEntryCount(), trashedBefore);
    QVERIFY(trashedEntriesFor(path).isEmpty());
}

void TestTrash::longNamesAreTrashed_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("250 ASCII characters and an extension") << QString(250, u'n') + ".pdf";
    QTest::newRow("accents, 254 bytes") << QString(125, u'\u00e9') + ".txt";
}

void TestTrash::longNamesAreTrashed()
{
    QFETCH(QString, name);
    QTemporaryDir tmp;
    const QString path = tmp.filePath(name);
    makeFile(path, "long");

    QCOMPARE(kit_FILE::SendToRecycleBin(path, identityOf(path)), kit_FILE::TrashResult::Trashed);

    QVERIFY(!QFileInfo::exists(path));
    const QString entry = trashedEntryFor(path);
    QVERIFY2(!entry.isEmpty(), "the info file keeps the whole path");
    QCOMPARE(readAll(entry), QByteArray("long"));
    QVERIFY(QFileInfo(entry).fileName().toUtf8().size() <= 245);
    QString error;
    QVERIFY2(trashListOriginalPaths(&error).contains(path), qPrintable(error));
}

namespace {

// GIO's own trash client, which needs the desktop's virtual file system on a session bus.
QString gioTrash(const QStringList &arguments, bool *ran)
{
    QProcess gio;
    gio.start(QStringLiteral("dbus-run-session"),
              QStringList{QStringLiteral("--"), QStringLiteral("gio"), QStringLiteral("trash")} +
                  arguments);
    *ran = gio.waitForFinished(30000) && gio.exitStatus() == QProcess::NormalExit &&
           gio.exitCode() == 0;
    return QString::fromUtf8(gio.readAllStandardOutput());
}

// gio prints the bytes of a path that are not ASCII as "\\xHH".
QString unescapedPath(const QString &printed)
{
    QByteArray bytes;
    const QByteArray text = printed.toUtf8();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.mid(i, 2) == "\\x" && i + 3 < text.size()) {
            bytes += char(text.mid(i + 2, 2).toInt(nullptr, 16));
            i += 3;
        } else {
            bytes += text[i];
        }
    }
    return QString::fromUtf8(bytes);
}

} // namespace

void TestTrash::desktopTrashListsAndRestoresOurEntries()
{
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-run-session")).isEmpty() ||
        !QFileInfo::exists(QStringLiteral("/usr/libexec/gvfsd-trash")))
        QSKIP("the desktop's trash service (gvfs-daemons, dbus-daemon) is not installed");
    QTemporaryDir tmp;
    const QStringList paths{tmp.filePath("facture n°3 100% été.pdf"),
                            tmp.filePath("100% net [2] #3.txt"),
                            tmp.filePath(QString(250, u'x') + ".txt")};
    for (const QString &path : paths) {
        makeFile(path, QFileInfo(path).fileName().toUtf8());
        QVERIFY(kit_FILE::SendToRecycleBin(path));
    }

    bool ran = false;
    const QStringList listed = gioTrash({QStringLiteral("--list")}, &ran).split(u'\n');
    QVERIFY2(ran, "gio trash --list ran");
    for (const QString &path : paths) {
        // Each line is "trash:///NAME<tab>/original/path".
        const auto line = std::find_if(listed.begin(), listed.end(), [&](const QString &l) {
            return unescapedPath(l.section(u'\t', 1)) == path;
        });
        QVERIFY2(line != listed.end(), qPrintable(listed.join('\n')));
        // This GLib's restore writes a name that is not ASCII escaped, whoever trashed it.
        if (std::any_of(path.begin(), path.end(), [](QChar c) { return c.unicode() > 0x7f; }))
            continue;
        gioTrash({QStringLiteral("--restore"), line->section(u'\t', 0, 0)}, &ran);
        QVERIFY2(ran, qPrintable("gio trash --restore " + *line));
        QCOMPARE(readAll(path), QFileInfo(path).fileName().toUtf8());
        QVERIFY(trashedEntriesFor(path).isEmpty());
    }
}

RANGEUR_FS_TEST_MAIN(TestTrash)
#include "tst_trash.moc"
