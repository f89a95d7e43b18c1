#include "FileHelpers.h"
#include "FileSystemFaults.h"
#include "kit_SaveFile.h"

#include <QApplication>
#include <QtTest>
#include <sys/stat.h>

class TestSaveFile : public QObject {
    Q_OBJECT
private slots:
    void replacesWholeFile();
    void fullDiskKeepsOldFile_data();
    void fullDiskKeepsOldFile();
    void unwritableFolderIsReported();
    void unchangedBytesAreNotWrittenAgain_data();
    void unchangedBytesAreNotWrittenAgain();
};

void TestSaveFile::replacesWholeFile()
{
    QTemporaryDir tmp;
    const QString path = tmp.filePath("DOSSIERS.TXT");
    QVERIFY(kit::saveWholeFile(path, QByteArray(40000, 'a')).ok);
    const kit::SaveResult result = kit::saveWholeFile(path, "short\n");
    QVERIFY2(result.ok, qPrintable(result.errorText));
    QCOMPARE(readAll(path), QByteArray("short\n"));
    QCOMPARE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"DOSSIERS.TXT"});
}

void TestSaveFile::fullDiskKeepsOldFile_data()
{
    QTest::addColumn<int>("size");
    // Below 16 KiB everything stays in Qt's buffer until commit, which then missed the failure.
    QTest::newRow("small content, still buffered") << 4000;
    QTest::newRow("content larger than the buffer") << 300 * 1024;
}

void TestSaveFile::fullDiskKeepsOldFile()
{
    QFETCH(int, size);
    QTemporaryDir tmp;
    Tmpfs tmpfs(tmp.filePath("disk"), "size=128k");
    if (!tmpfs.isMounted())
        QSKIP(qPrintable("cannot mount a tmpfs: " + tmpfs.errorText()));
    const QString path = tmp.filePath("disk/rangeur.INI");
    const QByteArray old = "[OPTIONS]\nDOSSIER=/home/u/\n";
    QVERIFY(kit::saveWholeFile(path, old).ok);
    QVERIFY(fillUp(tmp.filePath("disk")));

    const kit::SaveResult result = kit::saveWholeFile(path, QByteArray(size, 'n'));

    QCOMPARE(result.ok, false);
    QVERIFY2(!result.errorText.isEmpty(), "the system's reason is handed back");
    QCOMPARE(readAll(path), old);
    QCOMPARE(QDir(tmp.filePath("disk")).entryList(QDir::Files | QDir::Hidden),
             (QStringList{"filler", "rangeur.INI"}));
}

void TestSaveFile::unwritableFolderIsReported()
{
    QTemporaryDir tmp;
    makeFile(tmp.filePath("file"), {});
    const kit::SaveResult result = kit::saveWholeFile(tmp.filePath("file/CHEMINS.TXT"), "x\n");
    QCOMPARE(result.ok, false);
    QVERIFY2(!result.errorText.isEmpty(), "the system's reason is handed back");
}

void TestSaveFile::unchangedBytesAreNotWrittenAgain_data()
{
    QTest::addColumn<QByteArray>("next");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("the same bytes: left alone") << QByteArray("A\r\nB\r\n") << false;
    QTest::newRow("same size, other bytes") << QByteArray("A\r\nC\r\n") << true;
    QTest::newRow("one more entry") << QByteArray("A\r\nB\r\nC\r\n") << true;
    QTest::newRow("empty") << QByteArray() << true;
}

void TestSaveFile::unchangedBytesAreNotWrittenAgain()
{
    QFETCH(QByteArray, next);
    QFETCH(bool, replaced);
    QTemporaryDir tmp;
    const QString path = tmp.filePath("DOSSIERS.TXT");
    makeFile(path, "A\r\nB\r\n");
    const auto inode = [&] {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
    };
    const auto before = inode();
    QVERIFY(kit::saveWholeFileIfChanged(path, next).ok);
    QCOMPARE(readAll(path), next);
    // A write replaces the file by another one; no write keeps it.
    QCOMPARE(inode() != before, replaced);
}

RANGEUR_FS_TEST_MAIN(TestSaveFile)
#include "tst_savefile.moc"
