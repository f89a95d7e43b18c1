#include "kit_Platform.h"

#include <QDir>
#include <QStandardPaths>
#include <csignal>

namespace kit_Platform {

void prepareProcess()
{
    // A file-size limit must make a copy fail and be reported, not kill the program.
    std::signal(SIGXFSZ, SIG_IGN);
}

QString desktopFolder()
{
    // xdg-user-dirs' name for it (~/Desktop, ~/Bureau, ...). Many homes have none (minimal
    // installs, desktops that hide it): the home folder stands in, so that the default root is
    // never a missing folder.
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (folderExists(desktop))
        return desktop;
    return QDir::homePath();
}

QStringList windowFontFiles()
{
    // Debian's fonts-wine ships a metric-compatible Tahoma in a folder fontconfig does not scan.
    // Its tahomabd.ttf is left out: only its small bitmaps are bold, its outlines (which Qt
    // draws) have the regular strokes. Without it Qt thickens the regular face for bold.
    return {QStringLiteral("/usr/share/wine/fonts/tahoma.ttf")};
}

} // namespace kit_Platform
