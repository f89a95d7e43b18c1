#include "kit_FILE.h"

#include "kit_Paths.h"
#include "kit_Platform.h"

#include <utility>

namespace kit_FILE {

void prepareProcess()
{
    kit_Platform::prepareProcess();
}

bool CopyFileOver(const QString &source, const QString &destination, FileIdentity *read,
                  const CopyHooks *hooks, FileIdentity *published)
{
    return kit::isUsablePath(source) && kit::isUsablePath(destination) &&
           kit_Platform::copyFile(source, destination, read, hooks, published);
}

KeepFolders::KeepFolders()
{
    kit_Platform::keepFolders(true);
}

KeepFolders::~KeepFolders()
{
    kit_Platform::keepFolders(false);
}

void RemoveStaleTemporaries(const QString &folder)
{
    if (kit::isUsablePath(folder))
        kit_Platform::removeStaleTemporaries(folder);
}

bool SendToRecycleBin(const QString &path)
{
    return kit::isUsablePath(path) && kit_Platform::moveToTrash(path);
}

void WarmUp(const QStringList &files)
{
    kit_Platform::warmUpTrash(files);
}

TrashResult SendToRecycleBin(const QString &path, const FileIdentity &expected,
                             const TrashHook &trashing)
{
    // A text that cannot name a file cannot name the file read either.
    if (!kit::isUsablePath(path))
        return TrashResult::NotTheFileRead;
    return kit_Platform::moveToTrash(path, expected, trashing);
}

void setTestSeams(TestSeams seams)
{
    kit_Platform::setTestSeams(std::move(seams));
}

} // namespace kit_FILE
