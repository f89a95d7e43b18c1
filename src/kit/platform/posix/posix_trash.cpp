#include "kit_Paths.h"
#include "kit_Platform.h"
#include "kit_TrashInfo.h"
#include "posix_files.h"

#include <QFile>
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <gio/gio.h>
#include <optional>
#include <sys/stat.h>

namespace kit_Platform {

using kit_FILE::TrashResult;
using posix::sameFile;

namespace {

bool hasDotComponent(const QString &path)
{
    for (const QStringView part : QStringView(path).split(u'/')) {
        if (kit::isDotName(part))
            return true;
    }
    return false;
}

// The path as GIO must be given it. GIO resolves "." and ".." by text, the system through
// links: such a path is first made absolute through the system, so that the file trashed is the
// one the path names.
std::optional<QByteArray> pathForTrash(const QString &path)
{
    QByteArray bytes = QFile::encodeName(path);
    if (!hasDotComponent(path))
        return bytes;
    const QString fileName = kit::fileNamePart(path, kit::nativePathStyle);
    if (fileName.isEmpty() || kit::isDotName(fileName))
        return std::nullopt;
    const QString folder = kit::folderPart(path, kit::nativePathStyle);
    char *real =
        ::realpath(folder.isEmpty() ? "." : QFile::encodeName(folder).constData(), nullptr);
    if (!real)
        return std::nullopt;
    bytes = QByteArray(real);
    std::free(real);
    if (!bytes.endsWith('/'))
        bytes += '/';
    bytes += QFile::encodeName(fileName);
    return bytes;
}

// GIO and the libraries it pulls in are loaded on the first trash (or by warmUpTrash), not by
// the dynamic linker at start: they cost more at start than the whole window. The pointers
// take their types from GIO's own headers, so that a changed prototype fails to build.
struct Gio {
    decltype(&g_vfs_get_local) vfsGetLocal;
    decltype(&g_vfs_get_default) vfsGetDefault;
    decltype(&g_vfs_get_file_for_path) vfsGetFileForPath;
    decltype(&g_file_trash) fileTrash;
    decltype(&g_error_free) errorFree;
    decltype(&g_object_unref) objectUnref;
};

template <typename Function> bool resolve(void *library, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

std::optional<Gio> loadGio()
{
    // Never closed: GLib's types cannot be unloaded.
    void *library = ::dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return std::nullopt;
    Gio gio{};
    // dlsym looks in the library's own dependencies too: GLib and GObject.
    if (!resolve(library, "g_vfs_get_local", gio.vfsGetLocal) ||
        !resolve(library, "g_vfs_get_default", gio.vfsGetDefault) ||
        !resolve(library, "g_vfs_get_file_for_path", gio.vfsGetFileForPath) ||
        !resolve(library, "g_file_trash", gio.fileTrash) ||
        !resolve(library, "g_error_free", gio.errorFree) ||
        !resolve(library, "g_object_unref", gio.objectUnref))
        return std::nullopt;
    // The local file system's types are set up here rather than on the first file trashed.
    gio.vfsGetLocal();
    return gio;
}

// Loaded once, whichever thread asks first; the others wait for it. Null when GIO is missing.
const Gio *gio()
{
    static const std::optional<Gio> loaded = loadGio();
    return loaded ? &*loaded : nullptr;
}

// The local file system directly: no GIO module or session bus is needed to trash a file.
bool trash(const QByteArray &path)
{
    const Gio *g = gio();
    if (!g)
        return false;
    GFile *file = g->vfsGetFileForPath(g->vfsGetLocal(), path.constData());
    GError *error = nullptr;
    const bool trashed = g->fileTrash(file, nullptr, &error);
    if (error)
        g->errorFree(error);
    g->objectUnref(file);
    return trashed;
}

bool notBefore(const struct timespec &t, const struct timespec &began)
{
    return t.tv_sec > began.tv_sec || (t.tv_sec == began.tv_sec && t.tv_nsec >= began.tv_nsec);
}

// Another program may put its file at the path between our look and GIO's move, which then
// trashes that file. The entry GIO made is found among the names it gives (the first with a free
// info file name wins), by the path its info file records and a time not before the trash
// began; anything but the entry meant goes back, never over a file.
TrashResult checkedAfterGio(const QByteArray &path, const struct stat &entry, bool versionToo,
                            const struct timespec &began)
{
    const QByteArray original = posix::withSingleSeparators(path);
    const QByteArray fileName = original.sliced(original.lastIndexOf('/') + 1);
    for (const TrashFolder &trash : trashFoldersFor(QFile::decodeName(original))) {
        const QByteArray folder = QFile::encodeName(trash.folder);
        const QByteArray top = QFile::encodeName(trash.top);
        for (int attempt = 1; attempt <= 1000; ++attempt) {
            const QByteArray name = kit::trashEntryName(fileName, attempt);
            const QByteArray infoPath = folder + "/info/" + name + ".trashinfo";
            struct stat info {};
            if (::lstat(infoPath.constData(), &info) != 0)
                break;
            if (!notBefore(info.st_ctim, began))
                continue;
            QFile infoFile(QFile::decodeName(infoPath));
            if (!infoFile.open(QIODevice::ReadOnly) ||
                kit::trashInfoOriginalPath(infoFile.read(64 * 1024), top) != original)
                continue;
            const QByteArray entryPath = folder + "/files/" + name;
            struct stat st {};
            if (::lstat(entryPath.constData(), &st) != 0)
                continue;
            if (posix::isTheEntry(st, entry, versionToo))
                return TrashResult::Trashed;
            if (::renameat2(AT_FDCWD, entryPath.constData(), AT_FDCWD, path.constData(),
                            RENAME_NOREPLACE) == 0)
                ::unlink(infoPath.constData());
            return TrashResult::NotTheFileRead;
        }
    }
    return TrashResult::Trashed;
}

// `entry` is what the path names now (lstat), told to the hook before it goes. Our own writer
// takes the common case; GIO the rest (links, other file systems, a trash we cannot use).
TrashResult trashChecked(const QString &path, bool stillMeant, const struct stat &entry,
                         bool versionToo, const kit_FILE::TrashHook &trashing)
{
    if (!stillMeant)
        return TrashResult::NotTheFileRead;
    const std::optional<QByteArray> bytes = pathForTrash(path);
    if (!bytes)
        return TrashResult::Failed;
    const kit_FILE::FileIdentity trashed = posix::identityOf(entry);
    const auto told = [&](const QByteArray &entryPath) {
        if (trashing)
            trashing(trashed, QFile::decodeName(entryPath));
    };
    switch (posix::trashIntoHome(*bytes, entry, versionToo, told)) {
    case posix::OwnTrash::Trashed:
        return TrashResult::Trashed;
    case posix::OwnTrash::NotTheFileRead:
        return TrashResult::NotTheFileRead;
    case posix::OwnTrash::NotTaken:
        break;
    }
    // The file system's clock, which is coarse: a finer one could run ahead of its times.
    struct timespec began {};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &began);
    told({}); // GIO names the entry itself
    if (!trash(*bytes))
        return TrashResult::Failed;
    return checkedAfterGio(*bytes, entry, versionToo, began);
}

bool sameVersion(const struct stat &st, const kit_FILE::FileIdentity &expected)
{
    return st.st_dev == expected.device && st.st_ino == expected.inode &&
           st.st_size == expected.size && st.st_mtim.tv_sec == expected.modifiedSeconds &&
           st.st_mtim.tv_nsec == expected.modifiedNanoseconds;
}

} // namespace

void warmUpTrash(const QStringList &files)
{
    // GIO costs memory for the whole run: it is loaded only when a file will need it.
    const std::optional<dev_t> trashDevice = posix::homeTrashDevice();
    if (std::none_of(files.begin(), files.end(), [&](const QString &file) {
            return posix::needsGio(QFile::encodeName(file), trashDevice);
        }))
        return;
    // A trash also tells the default file system that a file moved: getting it scans GIO's
    // modules, the larger part of a first trash's cost.
    if (const Gio *g = gio())
        g->vfsGetDefault();
}

bool moveToTrash(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return trashChecked(path, true, st, true, {}) == TrashResult::Trashed;
}

TrashResult moveToTrash(const QString &path, const kit_FILE::FileIdentity &expected,
                        const kit_FILE::TrashHook &trashing)
{
    posix::reachStep(kit_FILE::Step::SourceToTrash);
    const QByteArray bytes = QFile::encodeName(path);
    struct stat own {};
    if (::lstat(bytes.constData(), &own) != 0)
        return TrashResult::NotTheFileRead;
    // A source dropped as a link was read through it.
    struct stat pointed {};
    const bool meant = sameVersion(own, expected) ||
                       (S_ISLNK(own.st_mode) && ::stat(bytes.constData(), &pointed) == 0 &&
                        sameVersion(pointed, expected));
    return trashChecked(path, meant, own, true, trashing);
}

namespace posix {

TrashResult moveReplacedToTrash(const QString &path, const struct stat &folder,
                                const struct stat &entry, const kit_FILE::TrashHook &trashing)
{
    QString folderPath = kit::folderPart(path, kit::nativePathStyle);
    if (folderPath.isEmpty())
        folderPath = QStringLiteral(".");
    struct stat folderNow {};
    struct stat entryNow {};
    // The file replaced may have changed in place since: it is the file, not a version of it,
    // that must not be lost.
    const bool meant = ::stat(QFile::encodeName(folderPath).constData(), &folderNow) == 0 &&
                       sameFile(folderNow, folder) &&
                       ::lstat(QFile::encodeName(path).constData(), &entryNow) == 0 &&
                       sameFile(entryNow, entry);
    return trashChecked(path, meant, entryNow, false, trashing);
}

} // namespace posix

} // namespace kit_Platform
