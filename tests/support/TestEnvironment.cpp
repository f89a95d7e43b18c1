#include "TestEnvironment.h"

#include "kit_ini.h"

#include <QDir>

namespace {

void pointHomeAt(const QString &home)
{
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/.config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home + QStringLiteral("/.local/share")).toUtf8());
    qputenv("XDG_CACHE_HOME", (home + QStringLiteral("/.cache")).toUtf8());
    qunsetenv("XDG_CONFIG_DIRS");
    QDir(home).mkpath(QStringLiteral(".config"));
    QDir(home).mkpath(QStringLiteral(".local/share"));
    QDir(home).mkpath(QStringLiteral("Desktop")); // the root folder a first run starts with
    // The program's own folder (settings and list files) is the home's, never the build's.
    QDir(home).mkpath(QStringLiteral("app"));
    kit_ini::setAppDirForTests(home + QStringLiteral("/app/"));
}

QString &processHome()
{
    static QString path;
    return path;
}

} // namespace

TestHome::TestHome()
{
    pointHomeAt(m_dir.path());
}

TestHome::~TestHome()
{
    if (!processHome().isEmpty())
        pointHomeAt(processHome());
}

void prepareTestProcess()
{
    static QTemporaryDir home;
    processHome() = home.path();
    pointHomeAt(home.path());
    const QString runtime = home.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    // No test speaks to the user's desktop: only a bus the test starts itself is used.
    if (qEnvironmentVariableIsEmpty("RANGEUR_TEST_PRIVATE_BUS"))
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

#include <QTest>
#include <QWindow>

void typeText(QWindow *window, const QString &text)
{
    for (QChar c : text) {
        const Qt::Key key = c.isLetterOrNumber() && c.unicode() < 128
                                ? Qt::Key(c.toUpper().unicode())
                                : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, window, key, QString(c), Qt::NoModifier);
    }
}
