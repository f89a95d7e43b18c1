#include "kit_WIN.h"

#include "kit_Platform.h"

#include <QWidget>

namespace kit_WIN {

QString GetDesktopDir()
{
    QString dir = kit_Platform::desktopFolder();
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

bool WarmUpKeyInput(QWidget *window)
{
    if (!window || !window->isActiveWindow())
        return false;
    kit_Platform::warmUpKeyInput(window->windowHandle());
    return true;
}

} // namespace kit_WIN
