#include "FileHelpers.h"
#include "OpenedUrls.h"
#include "TestEnvironment.h"
#include "kit_DIR.h"
#include "kit_Shell.h"
#include "kit_WIN.h"

#include <QApplication>
#include <QStandardPaths>
#include <QtTest>

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void desktopDir_data();
    void desktopDir();
    void windowsDesktopDir_data();
    void windowsDesktopDir();
    void openPath_data();
    void openPath();
    void currentFolderKeepsTheShellsLinks_data();
    void currentFolderKeepsTheShellsLinks();
};

void TestDesktop::desktopDir_data()
{
    // %1 is the private HOME.
    QTest::addColumn<QByteArray>("userDirs"); // empty: no user-dirs file
    QTest::addColumn<QString>("made");        // what is made at the desktop's path: dir, file, none
    QTest::addColumn<QString>("expected");
    QTest::newRow("no user-dirs file") << QByteArray() << "dir"
                                       << "%1/Desktop/";
    QTest::newRow("French desktop under HOME")
        << QByteArray("XDG_DOWNLOAD_DIR=\"$HOME/Téléchargements\"\n"
                      "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n")
        << "dir"
        << "%1/Bureau/";
    QTest::newRow("absolute folder")
        << QByteArray("XDG_DESKTOP_DIR=\"%1/ailleurs/desk\"\n") << "dir"
        << "%1/ailleurs/desk/";
    // Without a desktop folder the default root would be a missing folder on every start.
    QTest::newRow("no desktop folder: home") << QByteArray() << "none"
                                             << "%1/";
    QTest::newRow("named desktop missing: home")
        << QByteArray("XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n") << "none"
        << "%1/";
    QTest::newRow("a file where the desktop should be: home") << QByteArray() << "file"
                                                              << "%1/";
}

void TestDesktop::desktopDir()
{
    QFETCH(QByteArray, userDirs);
    QFETCH(QString, made);
    QFETCH(QString, expected);
    TestHome home;
    userDirs.replace("%1", QFile::encodeName(home.path()));
    expected = expected.arg(home.path());
    if (!userDirs.isEmpty())
        makeFile(home.filePath(".config/user-dirs.dirs"), userDirs);
    // Where the desktop would be had it existed.
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    QDir(home.filePath("Desktop")).removeRecursively(); // the private home comes with one
    if (made == "dir")
        QVERIFY(QDir().mkpath(desktop));
    else if (made == "file")
        makeFile(desktop, "not a folder");
    QCOMPARE(kit_WIN::GetDesktopDir(), expected);
}

void TestDesktop::windowsDesktopDir_data()
{
    QTest::addColumn<QString>("userProfile");
    QTest::addColumn<QString>("expected");
    QTest::newRow("profile") << R"(C:\Profiles\u1)"
                             << R"(C:\Profiles\u1\desktop\)";
    QTest::newRow("profile with trailing separator") << R"(C:\Profiles\u1\)"
                                                     << R"(C:\Profiles\u1\desktop\)";
    QTest::newRow("not set") << ""
                             << R"(\desktop\)";
}

void TestDesktop::windowsDesktopDir()
{
    QFETCH(QString, userProfile);
    QFETCH(QString, expected);
    QCOMPARE(kit_WIN::windowsDesktopDir(userProfile), expected);
}

void TestDesktop::openPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("opened"); // %1: the current folder
    QTest::newRow("folder with a trailing separator") << "/home/u/FACTURES/"
                                                      << "/home/u/FACTURES/";
    QTest::newRow("characters a URL or a shell would read")
        << "/tmp/a b #1 ?x=1 %20 $(rm) 'q' \"d\"/"
        << "/tmp/a b #1 ?x=1 %20 $(rm) 'q' \"d\"/";
    QTest::newRow("accents") << "/home/u/Bureau/Été 2024/"
                             << "/home/u/Bureau/Été 2024/";
    QTest::newRow("relative: made absolute") << "sub/REL/"
                                             << "%1/sub/REL/";
    QTest::newRow("relative with dots: kept as written") << "../x/./F/"
                                                         << "%1/../x/./F/";
}

void TestDesktop::openPath()
{
    QFETCH(QString, path);
    QFETCH(QString, opened);
    QTemporaryDir tmp;
    const QString here = QFileInfo(tmp.path()).canonicalFilePath();
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(here));
    OpenedUrls urls;
    kit_Shell::OpenPath(path);
    QDir::setCurrent(previous);
    QCOMPARE(urls.urls.size(), 1);
    QVERIFY2(urls.urls[0].isLocalFile(), qPrintable(urls.urls[0].toString()));
    QCOMPARE(urls.urls[0].toLocalFile(), opened.contains("%1") ? opened.arg(here) : opened);
}

void TestDesktop::currentFolderKeepsTheShellsLinks_data()
{
    // Inside a fixture folder: real/, link -> real, other/; the process stands in link.
    QTest::addColumn<QByteArray>("pwd"); // %1: the fixture folder; "-" unsets PWD
    QTest::addColumn<QString>("expected");
    QTest::newRow("PWD through a link is kept") << QByteArray("%1/link") << "%1/link";
    QTest::newRow("PWD naming another folder is stale") << QByteArray("%1/other") << "%1/real";
    QTest::newRow("relative PWD is ignored") << QByteArray("link") << "%1/real";
    QTest::newRow("PWD of a missing folder") << QByteArray("%1/gone") << "%1/real";
    QTest::newRow("no PWD") << QByteArray("-") << "%1/real";
}

void TestDesktop::currentFolderKeepsTheShellsLinks()
{
    QFETCH(QByteArray, pwd);
    QFETCH(QString, expected);
    QTemporaryDir tmp;
    // The fixture's own path without links, so that the expected texts are exact.
    const QString root = QFileInfo(tmp.path()).canonicalFilePath();
    QVERIFY(QDir(root).mkpath("real"));
    QVERIFY(QDir(root).mkpath("other"));
    QVERIFY(QFile::link(root + "/real", root + "/link"));
    const QString previous = QDir::currentPath();
    const QByteArray previousPwd = qgetenv("PWD");
    QVERIFY(QDir::setCurrent(root + "/link"));
    if (pwd == "-")
        qunsetenv("PWD");
    else
        qputenv("PWD", QString::fromUtf8(pwd).arg(root).toUtf8());
    const QString current = kit_DIR::currentFolder();
    QDir::setCurrent(previous);
    qputenv("PWD", previousPwd);
    QCOMPARE(current, expected.arg(root));
}

RANGEUR_TEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
