#include "Pictures.h"

#include <QDir>

QString rangeurIconPath(const char *name)
{
    return QStringLiteral(":/icons/") + QLatin1String(name) + QStringLiteral(".png");
}

QIcon rangeurIcon(const char *name)
{
    return QIcon(rangeurIconPath(name));
}

QIcon rangeurIconSizes(const char *name)
{
    const QDir folder(QStringLiteral(":/icons"));
    QIcon icon;
    for (const QString &file :
         folder.entryList({QLatin1String(name) + QStringLiteral("-*.png")}, QDir::Files))
        icon.addFile(folder.filePath(file));
    return icon;
}
