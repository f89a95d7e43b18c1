// What the undo of a filing run asks of the system: entries put back from the trash, and the
// run's own copies and folders removed while they are still exactly what the run made.
#include "kit_Platform.h"
#include "posix_files.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kit_Platform {

namespace {

QByteArray bytesOf(const QString &path)
{
    return QFile::encodeName(path);
}

bool sameVersion(const struct stat &st, const kit_FILE::FileIdentity &expected)
{
    const bool changeKnown = expected.changedSeconds != 0 || expected.changedNanoseconds != 0;
    return st.st_dev == expected.device && st.st_ino == expected.inode &&
           st.st_size == expected.size && st.st_mtim.tv_sec == expected.modifiedSeconds &&
           st.st_mtim.tv_nsec == expected.modifiedNanoseconds &&
           (!changeKnown || (st.st_ctim.tv_sec == expected.changedSeconds &&
                             st.st_ctim.tv_nsec == expected.changedNanoseconds));
}

// The folder at the top of the file system that holds the path: the last folder upwards on the
// same device. A path whose folders are gone starts from the nearest one that is there.
QByteArray topOfFileSystem(QByteArray path)
{
    struct stat st {};
    while (::stat(path.constData(), &st) != 0) {
        const qsizetype slash = path.lastIndexOf('/');
        if (slash <= 0)
            return QByteArrayLiteral("/");
        path.truncate(slash);
    }
    for (;;) {
        const qsizetype slash = path.lastIndexOf('/');
        if (slash < 0)
            return path;
        const QByteArray parent = slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
        struct stat up {};
        if (parent == path || ::stat(parent.constData(), &up) != 0 || up.st_dev != st.st_dev)
            return path;
        path = parent;
    }
}

bool isRealFolder(const QByteArray &path, struct stat *st)
{
    return ::lstat(path.constData(), st) == 0 && S_ISDIR(st->st_mode);
}

} // namespace

std::optional<kit_FILE::FileIdentity> identityAt(const QString &path, bool followLinks)
{
    struct stat st {};
    const QByteArray bytes = bytesOf(path);
    if ((followLinks ? ::stat(bytes.constData(), &st) : ::lstat(bytes.constData(), &st)) != 0)
        return std::nullopt;
    return posix::identityOf(st);
}

Restore moveBackTo(const QString &from, const QString &to)
{
    const QByteArray source = bytesOf(from);
    const QByteArray target = bytesOf(to);
    const QString folder = to.left(to.lastIndexOf(u'/'));
    if (!folder.isEmpty() && !QDir().mkpath(folder))
        return Restore::Failed;
    posix::reachStep(kit_FILE::Step::EntryComingBack);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return Restore::Done;
    if (errno == EEXIST)
        return Restore::NameTaken;
    if (errno != EINVAL && errno != ENOSYS)
        return Restore::Failed;
    // Without RENAME_NOREPLACE a hard link refuses a taken name as well.
    if (::linkat(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), 0) == 0) {
        ::unlink(source.constData());
        return Restore::Done;
    }
    if (errno == EEXIST)
        return Restore::NameTaken;
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        return Restore::Failed;
    // Neither (some network and FUSE file systems): the name is looked at just before a plain
    // rename, which keeps the moment when a file appearing there could be lost as short as it
    // can be.
    struct stat there {};
    if (::lstat(target.constData(), &there) == 0)
        return Restore::NameTaken;
    if (errno != ENOENT)
        return Restore::Failed;
    return ::rename(source.constData(), target.constData()) == 0 ? Restore::Done : Restore::Failed;
}

bool removeIfUnchanged(const QString &path, const kit_FILE::FileIdentity &expected)
{
    const QByteArray bytes = bytesOf(path);
    struct stat st {};
    if (::lstat(bytes.constData(), &st) != 0 || !sameVersion(st, expected))
        return false;
    posix::reachStep(kit_FILE::Step::CopyLookedAt);
    // An editor saving by a rename over the name could put its file there between a look and
    // an unlink, which would then remove the new version. The entry is first taken aside under
    // a name of our own, looked at there, and only then removed; anything else goes back.
    const qsizetype slash = bytes.lastIndexOf('/');
    const QByteArray aside = bytes.left(slash + 1) + ".rangeur-undo-" +
                             QByteArray::number(QRandomGenerator::global()->generate64(), 36);
    if (::renameat2(AT_FDCWD, bytes.constData(), AT_FDCWD, aside.constData(), RENAME_NOREPLACE) !=
        0) {
        if (errno != EINVAL && errno != ENOSYS)
            return false;
        // Without RENAME_NOREPLACE: the look just made stands.
        return ::unlink(bytes.constData()) == 0;
    }
    // The move itself changed the time of change; the rest still tells the file and version.
    kit_FILE::FileIdentity moved = expected;
    moved.changedSeconds = moved.changedNanoseconds = 0;
    if (::lstat(aside.constData(), &st) == 0 && sameVersion(st, moved))
        return ::unlink(aside.constData()) == 0;
    ::renameat2(AT_FDCWD, aside.constData(), AT_FDCWD, bytes.constData(), RENAME_NOREPLACE);
    return false;
}

bool removeEmptyFolder(const QString &path, const kit_FILE::FileIdentity &expected)
{
    const QByteArray bytes = bytesOf(path);
    struct stat st {};
    // rmdir removes only an empty folder: a file put there meanwhile keeps it.
    return ::lstat(bytes.constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_dev == expected.device && st.st_ino == expected.inode &&
           ::rmdir(bytes.constData()) == 0;
}

bool removeFile(const QString &path)
{
    return ::unlink(bytesOf(path).constData()) == 0 || errno == ENOENT;
}

QList<TrashFolder> trashFoldersFor(const QString &path)
{
    QList<TrashFolder> folders;
    const QString home = QFile::decodeName(posix::homeTrashPath());
    struct stat st {};
    if (isRealFolder(bytesOf(home), &st))
        folders.append({home, QFile::decodeName(topOfFileSystem(bytesOf(home)))});
    const QByteArray top = topOfFileSystem(bytesOf(path));
    const QByteArray base = top == "/" ? QByteArray() : top;
    const QByteArray uid = QByteArray::number(::getuid());
    // The shared folder counts only as the freedesktop trash asks: a real folder, sticky.
    struct stat shared {};
    const QByteArray sharedTrash = base + "/.Trash";
    if (isRealFolder(sharedTrash, &shared) && (shared.st_mode & S_ISVTX) &&
        isRealFolder(sharedTrash + '/' + uid, &st))
        folders.append({QFile::decodeName(sharedTrash + '/' + uid), QFile::decodeName(top)});
    const QByteArray ownTrash = base + "/.Trash-" + uid;
    if (isRealFolder(ownTrash, &st))
        folders.append({QFile::decodeName(ownTrash), QFile::decodeName(top)});
    return folders;
}

bool lockOpenFile(int fd)
{
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

} // namespace kit_Platform
