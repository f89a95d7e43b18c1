#include "kit_Paths.h"
#include "kit_Platform.h"

#include <QFile>
#include <cstdlib>
#include <gio/gio.h>
#include <sys/stat.h>

namespace kit_Platform {

namespace {

bool hasDotComponent(const QString &path)
{
    for (const QStringView part : QStringView(path).split(u'/')) {
        if (kit::isDotName(part))
            return true;
    }
    return false;
}

} // namespace

bool moveToTrash(const QString &path)
{
    QByteArray bytes = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(bytes.constData(), &st) != 0)
        return false;

    // GIO resolves "." and ".." by text, the system through links: such a path is first made
    // absolute through the system, so that the file trashed is the one the path names.
    if (hasDotComponent(path)) {
        const QString fileName = kit::fileNamePart(path, kit::nativePathStyle);
        if (fileName.isEmpty() || kit::isDotName(fileName))
            return false;
        const QString folder = kit::folderPart(path, kit::nativePathStyle);
        char *real =
            ::realpath(folder.isEmpty() ? "." : QFile::encodeName(folder).constData(), nullptr);
        if (!real)
            return false;
        bytes = QByteArray(real);
        std::free(real);
        if (!bytes.endsWith('/'))
            bytes += '/';
        bytes += QFile::encodeName(fileName);
    }

    // The local file system directly: no GIO module or session bus is needed to trash a file.
    GFile *file = g_vfs_get_file_for_path(g_vfs_get_local(), bytes.constData());
    GError *error = nullptr;
    const bool trashed = g_file_trash(file, nullptr, &error);
    if (error)
        g_error_free(error);
    g_object_unref(file);
    return trashed;
}

} // namespace kit_Platform
