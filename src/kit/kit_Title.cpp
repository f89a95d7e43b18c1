#include "kit_Title.h"

namespace kit {

QString applicationTitle(const QString &executablePath)
{
    QString name = executablePath.mid(executablePath.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.indexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    if (name.isEmpty())
        return name;
    const qsizetype firstLen = name.front().isHighSurrogate() && name.size() > 1 ? 2 : 1;
    return name.left(firstLen) + name.mid(firstLen).toLower();
}

} // namespace kit

#include <QCoreApplication>

namespace kit {
QString programTitle()
{
    return applicationTitle(QCoreApplication::applicationFilePath());
}
} // namespace kit
