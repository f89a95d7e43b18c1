#include "kit_DIR.h"

#include "kit_Dialogs.h"
#include "kit_Error.h"
#include "kit_Paths.h"
#include "kit_Platform.h"

namespace kit_DIR {

namespace {

bool makeFolder(const QString &path)
{
    return kit::isUsablePath(path) && kit_Platform::makeFolder(path);
}

void reportFailure(const QString &path)
{
    kit_Dialogs::ShowPlainMessage(QStringLiteral("Echec de création du dossier \r\n\r\nDOSSIER=") +
                                  u'"' + path + u'"');
}

} // namespace

bool folderExists(const QString &path)
{
    return kit::isUsablePath(path) && kit_Platform::folderExists(path);
}

QString currentFolder()
{
    return kit_Platform::currentFolder();
}

bool UseExistingDir(const QString &path)
{
    if (folderExists(path))
        return true;
    reportFailure(path);
    return false;
}

bool CreateDir(const QString &path, QStringList *made)
{
    if (path.isEmpty()) {
        kit_Dialogs::ShowPlainMessage(
            QStringLiteral("KIT_DIR : CreateDir \r\nLe nom de dossier ne peut êre vide"));
        return false;
    }
    if (folderExists(path))
        return true;

    const auto makeAndNote = [made](const QString &level) {
        if (!makeFolder(level))
            return false;
        if (made)
            made->append(level);
        return true;
    };
    switch (kit::createFolderChain(path, kit::nativePathStyle, {folderExists, makeAndNote})) {
    case kit::FolderChainResult::Exists:
        return true;
    case kit::FolderChainResult::RelativeName:
        throw kit::Error(QStringLiteral("Impossible de créer le répertoire"));
    case kit::FolderChainResult::Failed:
        break;
    }
    reportFailure(path);
    return false;
}

} // namespace kit_DIR
