// Where the program keeps its state: beside the executable, or per user when it cannot.
#include "FileHelpers.h"
#include "FileSystemFaults.h"
#include "kit_Paths.h"
#include "kit_ini.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QtTest>

Q_DECLARE_METATYPE(kit::PathStyle)

class TestAppDir : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void fromTheExecutable_data();
    void fromTheExecutable();
    void besideTheExecutableWhenItCanTakeFiles();
    void perUserWhenTheFolderCannotTakeFiles_data();
    void perUserWhenTheFolderCannotTakeFiles();
};

void TestAppDir::cleanup()
{
    kit_ini::setAppDirForTests({});
}

void TestAppDir::fromTheExecutable_data()
{
    QTest::addColumn<kit::PathStyle>("style");
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("dir");
    const auto win = kit::PathStyle::Windows;
    const auto posix = kit::PathStyle::Posix;
    QTest::newRow("win: lower-cased") << win << R"(C:\Outils\Rangeur.exe)"
                                      << R"(c:\outils\)";
    QTest::newRow("win: no extension") << win << R"(C:\Mes.outils\Rangeur)"
                                       << R"(c:\mes.outils\)";
    QTest::newRow("win: only ASCII letters change") << win << R"(D:\ÉTÉ\R.exe)"
                                                    << R"(d:\ÉtÉ\)";
    QTest::newRow("linux: the case is kept") << posix << "/home/u/Outils/rangeur"
                                             << "/home/u/Outils/";
    QTest::newRow("linux: a colon is a character") << posix << "/a:b/rangeur"
                                                   << "/a:b/";
}

void TestAppDir::fromTheExecutable()
{
    QFETCH(kit::PathStyle, style);
    QFETCH(QString, executable);
    QFETCH(QString, dir);
    QCOMPARE(kit::applicationDir(executable, style), dir);
}

void TestAppDir::besideTheExecutableWhenItCanTakeFiles()
{
    kit_ini::setAppDirForTests({});
    QCOMPARE(kit_ini::GetAppDir(), QCoreApplication::applicationDirPath() + u'/');
}

void TestAppDir::perUserWhenTheFolderCannotTakeFiles_data()
{
    QTest::addColumn<QString>("where"); // "readonly", "underfile", "writable" or a fixed path
    QTest::addColumn<bool>("perUser");
    QTest::newRow("a writable folder: beside the executable") << "writable" << false;
    QTest::newRow("a read-only mount") << "readonly" << true;
    QTest::newRow("a path under a regular file") << "underfile" << true;
    QTest::newRow("the system's programs, even for root") << "/usr/bin" << true;
}

void TestAppDir::perUserWhenTheFolderCannotTakeFiles()
{
    QFETCH(QString, where);
    QFETCH(bool, perUser);
    TestHome home;
    QTemporaryDir tmp;
    std::unique_ptr<Tmpfs> mount;
    QString folder = where;
    if (where == QLatin1String("writable")) {
        folder = tmp.path();
    } else if (where == QLatin1String("readonly")) {
        folder = tmp.filePath("ro");
        mount = std::make_unique<Tmpfs>(folder, "size=64k");
        if (!mount->isMounted())
            QSKIP(qPrintable("cannot mount a tmpfs: " + mount->errorText()));
        QVERIFY(mount->remountReadOnly());
    } else if (where == QLatin1String("underfile")) {
        makeFile(tmp.filePath("file"), "x");
        folder = tmp.filePath("file/dir");
    }
    const QString perUserDir = home.path() + QStringLiteral("/.config/rangeur/");
    QCOMPARE(kit_ini::appDirFor(folder + QStringLiteral("/rangeur")),
             perUser ? perUserDir : folder + u'/');
    QVERIFY2(!QFileInfo::exists(perUserDir), "the per-user folder is made on the first write");
    kit_ini::setAppDirForTests(perUserDir);
    kit_ini::makeAppDir();
    QVERIFY2(QFileInfo(perUserDir).isDir(), "made before the first write");
}

RANGEUR_FS_TEST_MAIN(TestAppDir)
#include "tst_appdir.moc"
