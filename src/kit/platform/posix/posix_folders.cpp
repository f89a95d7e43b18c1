#include "kit_Platform.h"

#include <QFile>
#include <cerrno>
#include <sys/stat.h>

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

bool makeFolder(const QString &path)
{
    return ::mkdir(QFile::encodeName(path).constData(), 0777) == 0;
}

} // namespace kit_Platform
