#pragma once

#include "TestEnvironment.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Faults that stop root, for tests that run as root: tiny or read-only file systems mounted in
// a mount namespace of the test's own (so a dying test leaves no mount behind), and steps run
// as an ordinary user.

// Moves the process into a private mount namespace. Call it first in main, while the process
// has one thread; false where mounting is not allowed.
bool enterPrivateMounts();
bool privateMountsAvailable();

// A tmpfs mounted over a folder for as long as it lives.
class Tmpfs {
public:
    Tmpfs(const QString &folder, const QByteArray &options);
    ~Tmpfs();
    Tmpfs(const Tmpfs &) = delete;
    Tmpfs &operator=(const Tmpfs &) = delete;
    bool isMounted() const { return m_mounted; }
    QString errorText() const { return m_error; }
    bool remountReadOnly();

private:
    QString m_folder;
    bool m_mounted = false;
    QString m_error;
};

// An exFAT file system of that size, made in an image file beside the folder and mounted over
// it through FUSE (exfat-fuse) for as long as it lives: a file system that takes neither
// RENAME_NOREPLACE nor hard links nor unnamed files. Needs root for its loop device.
class FuseExfat {
public:
    FuseExfat(const QString &folder, qint64 size);
    ~FuseExfat();
    FuseExfat(const FuseExfat &) = delete;
    FuseExfat &operator=(const FuseExfat &) = delete;
    bool isMounted() const { return m_mounted; }
    QString errorText() const { return m_error; }

private:
    QString m_folder;
    bool m_mounted = false;
    QString m_error;
};

// Fills a file system until it has no room left.
bool fillUp(const QString &folder);

// While it lives, permissions apply to the test: root acts as the user nobody, and an ordinary
// user puts aside the capabilities its private user namespace gave it.
class AsOrdinaryUser {
public:
    AsOrdinaryUser();
    ~AsOrdinaryUser();
    AsOrdinaryUser(const AsOrdinaryUser &) = delete;
    AsOrdinaryUser &operator=(const AsOrdinaryUser &) = delete;

private:
    bool m_wasRoot = false;
    bool m_switched = false;
};

// The trash as its clients see it. GIO remembers HOME from its first use, so trash tests use
// the process-wide private home made by prepareTestProcess(), never a TestHome.
QString trashFolder();
// The original paths that trash-list (trash-cli) reports; a failure to run it fails the test
// through the error text.
QStringList trashListOriginalPaths(QString *errorText);
// The entry in the trash's files folder that was trashed from this path, or empty.
QString trashedEntryFor(const QString &originalPath);
// Every entry trashed from this path, when several files left it for the trash.
QStringList trashedEntriesFor(const QString &originalPath);
int trashEntryCount();

// RANGEUR_TEST_MAIN in a private mount namespace.
#define RANGEUR_FS_TEST_MAIN(TestObject)                                                           \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        enterPrivateMounts();                                                                      \
        prepareTestProcess();                                                                      \
        QApplication app(argc, argv);                                                              \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
