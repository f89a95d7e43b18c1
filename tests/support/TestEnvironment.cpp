#include "TestEnvironment.h"

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
}

} // namespace

TestHome::TestHome()
{
    pointHomeAt(m_dir.path());
}

TestHome::~TestHome() = default;

void prepareTestProcess()
{
    static QTemporaryDir processHome;
    pointHomeAt(processHome.path());
    const QString runtime = processHome.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
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
