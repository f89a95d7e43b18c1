#include "kit_Platform.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace kit_Platform {

bool folderExists(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        return S_ISDIR(st.st_mode);
    switch (errno) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return false;
    default:
        return true;
    }
}

QString currentFolder()
{
    // The shell's PWD keeps the links the user went through, where getcwd() resolves them;
    // it is trusted only while it still names the folder the process is in.
    const QByteArray pwd = qgetenv("PWD");
    struct stat fromPwd {};
    struct stat dot {};
    if (pwd.startsWith('/') && ::stat(pwd.constData(), &fromPwd) == 0 && ::stat(".", &dot) == 0 &&
        fromPwd.st_dev == dot.st_dev && fromPwd.st_ino == dot.st_ino)
        return QFile::decodeName(pwd);
    return QDir::currentPath();
}

bool canCreateFilesIn(const QString &folder)
{
    static const char *const systemFolders[] = {"/usr/", "/bin/", "/sbin/", "/lib/", "/opt/"};
    const QByteArray path = QFile::encodeName(folder);
    for (const char *system : systemFolders) {
        if (path.startsWith(system))
            return false;
    }
    return ::access(path.constData(), W_OK | X_OK) == 0;
}

QString perUserStateFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/rangeur/");
}

bool makeFolder(const QString &path)
{
    return ::mkdir(QFile::encodeName(path).constData(), 0777) == 0;
}

} // namespace kit_Platform
