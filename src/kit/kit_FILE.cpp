#include "kit_FILE.h"

#include "kit_Paths.h"
#include "kit_Platform.h"

namespace kit_FILE {

void prepareProcess()
{
    kit_Platform::prepareProcess();
}

bool CopyFileOver(const QString &source, const QString &destination)
{
    return kit::isUsablePath(source) && kit::isUsablePath(destination) &&
           kit_Platform::copyFile(source, destination);
}

bool SendToRecycleBin(const QString &path)
{
    return kit::isUsablePath(path) && kit_Platform::moveToTrash(path);
}

} // namespace kit_FILE
