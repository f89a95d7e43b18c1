#include "kit_DIR.h"

#include "kit_Dialogs.h"
#include "kit_Error.h"
#include "kit_Paths.h"

#include <QFile>
#include <cerrno>
#include <sys/stat.h>

namespace kit_DIR {

namespace {

// A NUL would cut the name short and make the system look at another path.
bool nameable(const QString &path)
{
    return !path.isEmpty() && !path.contains(QChar(0));
}

bool makeFolder(const QString &path)
{
    return nameable(path) && ::mkdir(QFile::encodeName(path).constData(), 0777) == 0;
}

} // namespace

// Links count when their target can be reached; an error other than "no such entry" (access
// denied, for instance) counts as an existing folder.
bool folderExists(const QString &path)
{
    if (!nameable(path))
        return false;
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

bool CreateDir(const QString &path)
{
    if (path.isEmpty()) {
        kit_Dialogs::ShowPlainMessage(
            QStringLiteral("KIT_DIR : CreateDir \r\nLe nom de dossier ne peut êre vide"));
        return false;
    }
    if (folderExists(path))
        return true;

    switch (kit::createFolderChain(path, kit::PathStyle::Posix, {folderExists, makeFolder})) {
    case kit::FolderChainResult::Exists:
        return true;
    case kit::FolderChainResult::RelativeName:
        throw kit::Error(QStringLiteral("Impossible de créer le répertoire"));
    case kit::FolderChainResult::Failed:
        break;
    }
    kit_Dialogs::ShowPlainMessage(QStringLiteral("Echec de création du dossier \r\n\r\nDOSSIER=") +
                                  u'"' + path + u'"');
    return false;
}

} // namespace kit_DIR
