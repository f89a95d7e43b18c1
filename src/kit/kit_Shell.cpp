#include "kit_Shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace kit_Shell {

// A URL built from the path, never a command line: no character of the path is interpreted.
void OpenPath(const QString &path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace kit_Shell
