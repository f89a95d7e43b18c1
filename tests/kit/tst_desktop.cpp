#include "FileHelpers.h"
#include "OpenedUrls.h"
#include "TestEnvironment.h"
#include "kit_Shell.h"
#include "kit_WIN.h"

#include <QApplication>
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
};

void TestDesktop::desktopDir_data()
{
    QTest::addColumn<QByteArray>("userDirs"); // empty: no user-dirs file
    QTest::addColumn<QString>("expected");    // relative to HOME when not absolute
    QTest::newRow("no user-dirs file") << QByteArray() << "Desktop/";
    QTest::newRow("French desktop under HOME")
        << QByteArray("XDG_DOWNLOAD_DIR=\"$HOME/Téléchargements\"\n"
                      "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n")
        << "Bureau/";
    QTest::newRow("absolute folder")
        << QByteArray("XDG_DESKTOP_DIR=\"/srv/desk\"\n") << "/srv/desk/";
}

void TestDesktop::desktopDir()
{
    QFETCH(QByteArray, userDirs);
    QFETCH(QString, expected);
    TestHome home;
    if (!userDirs.isEmpty())
        makeFile(home.filePath(".config/user-dirs.dirs"), userDirs);
    QCOMPARE(kit_WIN::GetDesktopDir(),
             expected.startsWith('/') ? expected : home.path() + '/' + expected);
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
    QTest::newRow("folder with a trailing separator") << "/home/u/FACTURES/";
    QTest::newRow("characters a URL or a shell would read")
        << "/tmp/a b #1 ?x=1 %20 $(rm) 'q' \"d\"/";
    QTest::newRow("accents") << "/home/u/Bureau/Été 2024/";
}

void TestDesktop::openPath()
{
    QFETCH(QString, path);
    OpenedUrls opened;
    kit_Shell::OpenPath(path);
    QCOMPARE(opened.urls.size(), 1);
    QVERIFY(opened.urls[0].isLocalFile());
    QCOMPARE(opened.urls[0].toLocalFile(), path);
}

RANGEUR_TEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
