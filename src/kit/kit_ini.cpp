#include "kit_ini.h"

#include "kit_Paths.h"
#include "kit_Platform.h"

#include <QCoreApplication>
#include <QDir>

namespace kit_ini {

namespace {

QString &testFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString GetAppDir()
{
    if (!testFolder().isEmpty())
        return testFolder();
    return appDirFor(QCoreApplication::applicationFilePath());
}

QString appDirFor(const QString &executablePath)
{
    const QString own = kit::applicationDir(executablePath, kit::nativePathStyle);
    return kit_Platform::canCreateFilesIn(own) ? own : kit_Platform::perUserStateFolder();
}

void makeAppDir()
{
    const QString dir = GetAppDir();
    if (!kit_Platform::folderExists(dir))
        QDir().mkpath(dir);
}

void setAppDirForTests(const QString &folder)
{
    testFolder() = folder.isEmpty() || folder.endsWith(u'/') ? folder : folder + u'/';
}

} // namespace kit_ini
