#include "kit_WIN.h"

#include <QStandardPaths>

namespace kit_WIN {

QString GetDesktopDir()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}

QString windowsDesktopDir(const QString &userProfile)
{
    QString dir = userProfile;
    if (!dir.endsWith(u'\\'))
        dir += u'\\';
    return dir + QStringLiteral("desktop\\");
}

} // namespace kit_WIN
