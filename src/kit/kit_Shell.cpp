#include "kit_Shell.h"

#include "kit_Paths.h"
#include "kit_Platform.h"

#include <QDesktopServices>
#include <QUrl>

namespace kit_Shell {

// A URL built from the path, never a command line: no character of the path is interpreted.
void OpenPath(const QString &path)
{
    // A relative path would give a relative URL, which no file manager opens.
    QDesktopServices::openUrl(QUrl::fromLocalFile(
        kit::absolutePath(path, kit_Platform::currentFolder(), kit::nativePathStyle)));
}

} // namespace kit_Shell
