#include "kit_Paths.h"
#include "kit_Platform.h"
#include "posix_files.h"

#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <linux/fs.h>
#include <linux/magic.h>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace kit_Platform {

using kit_FILE::Step;
using kit_FILE::TrashResult;
using posix::Fd;
using posix::sameFile;

namespace {

kit_FILE::TestSeams &testSeams()
{
    static kit_FILE::TestSeams seams;
    return seams;
}

bool sameTime(const struct timespec &a, const struct timespec &b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// Files there are made up as they are read: some never end (/proc/self/pagemap is a regular
// file of size 0 that reads on forever), none is a document to file.
bool isPseudoFileSystem(quint32 type)
{
    switch (type) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case SECURITYFS_MAGIC:
    case SELINUX_MAGIC:
    case SMACK_MAGIC:
    case PSTOREFS_MAGIC:
    case EFIVARFS_MAGIC:
    case BINFMTFS_MAGIC:
    case BPF_FS_MAGIC:
    case 0x62656570: // configfs
    case 0x65735543: // fusectl
        return true;
    default:
        return false;
    }
}

// Local disk file systems: a file's size is its end, and closing a file reports no error that
// writing did not.
bool isLocalDiskFileSystem(quint32 type)
{
    switch (type) {
    case EXT4_SUPER_MAGIC: // ext2 and ext3 too
    case BTRFS_SUPER_MAGIC:
    case XFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
    case F2FS_SUPER_MAGIC:
        return true;
    default:
        return false;
    }
}

// How a file system lets a copy take a name without ever replacing a file: by a rename that
// refuses a taken name or a hard link, or, where it has neither (exFAT through FUSE, some
// network shares), only by creating the file at its name. Learnt once per file system, the
// first time a copy needs a named temporary file there; unnamed ones are always linked.
enum class Naming { Unknown, Linked, Created };

// What the copy needs to know of a file system, asked once per device and run rather than for
// each file.
struct FileSystemFacts {
    bool known = false;
    bool pseudo = true;
    bool localDisk = false;
    bool clones = true; // until a clone is refused there
    Naming naming = Naming::Unknown;
};

class FactsByDevice {
public:
    FileSystemFacts of(dev_t device, int fd)
    {
        {
            const std::lock_guard lock(m_mutex);
            for (const auto &[known, facts] : m_known) {
                if (known == device)
                    return facts;
            }
        }
        struct statfs fs {};
        FileSystemFacts facts;
        if (::fstatfs(fd, &fs) != 0)
            return facts; // unknown: taken as the worst case, and asked again next time
        facts.known = true;
        facts.pseudo = isPseudoFileSystem(quint32(fs.f_type));
        facts.localDisk = isLocalDiskFileSystem(quint32(fs.f_type));
        const std::lock_guard lock(m_mutex);
        m_known.emplace_back(device, facts);
        return facts;
    }
    // What a copy learnt there, for the copies after it.
    void learn(dev_t device, const std::function<void(FileSystemFacts &)> &update)
    {
        const std::lock_guard lock(m_mutex);
        for (auto &[known, facts] : m_known) {
            if (known == device)
                update(facts);
        }
    }

private:
    std::mutex m_mutex;
    std::vector<std::pair<dev_t, FileSystemFacts>> m_known;
};

FactsByDevice &factsByDevice()
{
    static FactsByDevice known;
    return known;
}

bool writeAll(int fd, const char *data, size_t size, off_t offset)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= size_t(n);
        offset += n;
    }
    return true;
}

bool isHardWriteError(int error)
{
    return error == ENOSPC || error == EDQUOT || error == EFBIG || error == EIO;
}

// Copies the bytes from offset to end (or to the end of the source, if it comes first) to the
// same place in the copy: in the kernel where it can, by plain reads and writes otherwise,
// which are needed across file systems.
bool copyRange(int in, int out, off_t offset, off_t end)
{
    bool inKernel = true;
    std::unique_ptr<char[]> buffer;
    constexpr size_t bufferSize = 256 * 1024;
    while (offset < end) {
        const size_t wanted = size_t(std::min<off_t>(end - offset, off_t(1) << 30));
        if (inKernel) {
            loff_t inOffset = offset;
            loff_t outOffset = offset;
            const ssize_t n = ::copy_file_range(in, &inOffset, out, &outOffset, wanted, 0);
            if (n > 0) {
                offset += n;
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && isHardWriteError(errno))
                return false;
            // Not offered here, or 0 where some file systems cannot copy in the kernel: reading
            // tells the end of the file from that.
            inKernel = false;
            continue;
        }
        if (!buffer)
            buffer.reset(new char[bufferSize]);
        const ssize_t n = ::pread(in, buffer.get(), std::min(wanted, bufferSize), offset);
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (!writeAll(out, buffer.get(), size_t(n), offset))
            return false;
        offset += n;
    }
    return true;
}

// Only the data of a file with holes, which stay holes in the copy, as cp keeps them.
bool copyDataSegments(int in, int out, off_t size)
{
    off_t offset = 0;
    while (offset < size) {
        const off_t data = ::lseek(in, offset, SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO) // nothing but a hole up to the end
                break;
            return false;
        }
        if (data >= size)
            break;
        const off_t hole = ::lseek(in, data, SEEK_HOLE);
        if (hole < 0)
            return false;
        offset = std::min(hole, size);
        if (!copyRange(in, out, data, offset))
            return false;
    }
    return ::ftruncate(out, size) == 0;
}

// How one copy goes, from what is known of both file systems.
struct CopyWay {
    bool tryClone = true;
    bool sizeIsEnd = false;    // the source's size is its end: nothing to read past it
    bool cloneRefused = false; // out: the file system of the copy does not clone
};

bool copyData(int in, int out, const struct stat &source, CopyWay &way)
{
    const off_t size = source.st_size;
    if (size > 0) {
        // A clone keeps the holes too.
        if (way.tryClone) {
            if (::ioctl(out, FICLONE, in) == 0)
                return true;
            way.cloneRefused = errno == EOPNOTSUPP || errno == ENOTTY || errno == EINVAL;
        }
        // Blocks that cover the whole size leave no room for a hole; otherwise the file system
        // tells where the holes are, and one that cannot says there are none.
        const bool mayHaveHoles = off_t(source.st_blocks) * 512 < size;
        const off_t firstHole = mayHaveHoles ? ::lseek(in, 0, SEEK_HOLE) : size;
        const bool copied = firstHole >= 0 && firstHole < size ? copyDataSegments(in, out, size)
                                                               : copyRange(in, out, 0, size);
        if (!copied)
            return false;
    }
    if (way.sizeIsEnd)
        return true;
    // On to the end of the source, whatever its size said: a size of 0 may be a file with
    // content.
    return copyRange(in, out, size, std::numeric_limits<off_t>::max());
}

const QByteArray kTemporaryPrefix = QByteArrayLiteral(".rangeur-");
const QByteArray kTemporarySuffix = QByteArrayLiteral(".tmp");

// The names TemporaryFile gives: ".rangeur-", base-36 digits, ".tmp".
bool isTemporaryName(const char *name)
{
    const QByteArrayView view(name);
    if (!view.startsWith(kTemporaryPrefix) || !view.endsWith(kTemporarySuffix))
        return false;
    const QByteArrayView digits = view.sliced(
        kTemporaryPrefix.size(), view.size() - kTemporaryPrefix.size() - kTemporarySuffix.size());
    if (digits.isEmpty())
        return false;
    for (const char c : digits) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')))
            return false;
    }
    return true;
}

enum class Publish { Done, NameTaken, Failed };

QByteArray newTemporaryName()
{
    return kTemporaryPrefix + QByteArray::number(QRandomGenerator::global()->generate64(), 36) +
           kTemporarySuffix;
}

// The copy's data before it takes its name. Unnamed where the file system allows it, so that
// nothing is left behind whatever ends the program; elsewhere a hidden file beside the
// destination, removed unless it was published.
class TemporaryFile {
public:
    explicit TemporaryFile(int dirFd) : m_dirFd(dirFd) {}

    bool openUnnamed()
    {
        const int fd = ::openat(m_dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0)
            m_fd = std::make_unique<Fd>(fd);
        return m_fd != nullptr;
    }

    bool openNamed()
    {
        for (int attempt = 0; attempt < 100 && !m_fd; ++attempt) {
            m_name = newTemporaryName();
            const int fd = ::openat(m_dirFd, m_name.constData(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
            if (fd >= 0) {
                m_fd = std::make_unique<Fd>(fd);
                // Held while the copy lives: a later run tells a killed copy's leftover from a
                // copy still going on by this lock alone.
                ::flock(fd, LOCK_EX | LOCK_NB);
            } else if (errno != EEXIST)
                break;
        }
        // A name that is not ours must never be removed.
        if (!m_fd)
            m_name.clear();
        return m_fd != nullptr;
    }

    // Tried on the named file while it is still empty: renamed to another name of ours without
    // replacing, else linked to one.
    Naming tryNaming()
    {
        const QByteArray other = newTemporaryName();
        if (::renameat2(m_dirFd, m_name.constData(), m_dirFd, other.constData(),
                        RENAME_NOREPLACE) == 0) {
            m_name = other;
            return Naming::Linked;
        }
        if (errno != EINVAL && errno != ENOSYS)
            return Naming::Unknown;
        if (::linkat(m_dirFd, m_name.constData(), m_dirFd, other.constData(), 0) == 0) {
            ::unlinkat(m_dirFd, other.constData(), 0);
            return Naming::Linked;
        }
        return errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS ? Naming::Created
                                                                        : Naming::Unknown;
    }

    ~TemporaryFile()
    {
        m_fd.reset();
        if (!m_published && !m_name.isEmpty())
            ::unlinkat(m_dirFd, m_name.constData(), 0);
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    int fd() const { return m_fd->get(); }

    // The write errors that some file systems only report when a file is closed. A duplicate
    // is closed: an unnamed file lives only as long as a descriptor does.
    bool flush() const
    {
        const int duplicate = ::dup(fd());
        return duplicate >= 0 && (::close(duplicate) == 0 || errno == EINTR);
    }

    // Gives the copy its name only while the name is free: it never replaces a file.
    Publish publishAs(const QByteArray &name)
    {
        const Publish result = m_name.isEmpty() ? linkUnnamed(name) : renameNamed(name);
        m_published = result == Publish::Done;
        return result;
    }

private:
    static Publish linkFailure() { return errno == EEXIST ? Publish::NameTaken : Publish::Failed; }

    Publish linkUnnamed(const QByteArray &name)
    {
        // Through /proc, which needs no privilege; with AT_EMPTY_PATH where /proc is missing.
        char procPath[64];
        std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", fd());
        if (::linkat(AT_FDCWD, procPath, m_dirFd, name.constData(), AT_SYMLINK_FOLLOW) == 0)
            return Publish::Done;
        if (errno == EEXIST)
            return Publish::NameTaken;
        if (::linkat(fd(), "", m_dirFd, name.constData(), AT_EMPTY_PATH) == 0)
            return Publish::Done;
        return linkFailure();
    }

    Publish renameNamed(const QByteArray &name)
    {
        if (::renameat2(m_dirFd, m_name.constData(), m_dirFd, name.constData(), RENAME_NOREPLACE) ==
            0)
            return Publish::Done;
        if (errno != EINVAL && errno != ENOSYS)
            return linkFailure();
        // Without RENAME_NOREPLACE, a hard link refuses a taken name as well.
        if (::linkat(m_dirFd, m_name.constData(), m_dirFd, name.constData(), 0) == 0) {
            ::unlinkat(m_dirFd, m_name.constData(), 0);
            return Publish::Done;
        }
        // Neither, though trying said otherwise: a plain rename could replace a file that
        // appeared there, so the copy fails rather than take that chance.
        return linkFailure();
    }

    int m_dirFd;
    QByteArray m_name;
    std::unique_ptr<Fd> m_fd;
    bool m_published = false;
};

enum class Target { Absent, Replaceable, Refused };

// What holds the destination name: nothing, a file (or a link, which is replaced as a link), or
// something the copy must leave alone: the source itself, a folder, a device.
Target inspectTarget(int dirFd, const QByteArray &name, const struct stat &source, struct stat *own)
{
    if (::fstatat(dirFd, name.constData(), own, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? Target::Absent : Target::Refused;
    struct stat pointed = *own;
    if (S_ISLNK(own->st_mode) && ::fstatat(dirFd, name.constData(), &pointed, 0) != 0)
        return errno == ENOENT ? Target::Replaceable : Target::Refused; // a dangling link
    if (sameFile(pointed, source) || !S_ISREG(pointed.st_mode))
        return Target::Refused;
    return Target::Replaceable;
}

// Another program may put a file at the name at any moment; each time the name is found taken,
// that file goes to the trash before the name is tried again, up to this many times.
constexpr int publishAttempts = 8;

// The source as the journal and the trash know it: a version is its size and time.
kit_FILE::FileIdentity versionRead(const struct stat &source)
{
    kit_FILE::FileIdentity read = posix::identityOf(source);
    read.changedSeconds = read.changedNanoseconds = 0;
    return read;
}

// A copy written straight at its name, which it took by creating the file. Removed unless it is
// kept, and then only while the name still holds that very file: one that another program put
// there meanwhile is its own.
class CreatedFile {
public:
    CreatedFile(int dirFd, const QByteArray &name, int fd) : m_dirFd(dirFd), m_name(name), m_fd(fd)
    {
        if (::fstat(fd, &m_created) != 0)
            m_created.st_ino = 0; // matches no file: nothing is removed
    }
    ~CreatedFile()
    {
        if (m_kept)
            return;
        if (m_fd)
            m_fd.close();
        struct stat named {};
        if (m_created.st_ino != 0 &&
            ::fstatat(m_dirFd, m_name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            sameFile(named, m_created))
            ::unlinkat(m_dirFd, m_name.constData(), 0);
    }
    CreatedFile(const CreatedFile &) = delete;
    CreatedFile &operator=(const CreatedFile &) = delete;

    int fd() const { return m_fd.get(); }
    bool keep()
    {
        m_kept = m_fd.close();
        return m_kept;
    }

private:
    int m_dirFd;
    QByteArray m_name;
    Fd m_fd;
    struct stat m_created {};
    bool m_kept = false;
};

// The trash step's hook for what holds a destination's name: the journal's replacing record.
kit_FILE::TrashHook replacingHook(const kit_FILE::CopyHooks *hooks)
{
    if (!hooks || !hooks->replacing)
        return {};
    return [hooks](const kit_FILE::FileIdentity &occupant, const QString &) {
        hooks->replacing(occupant);
    };
}

// Where a name can only be taken by creating the file, the copy is written straight into it,
// created with O_EXCL: it never replaces a file. A run ended half-way may leave a partial copy
// under the name, which loses nothing (its source only goes to the trash after a whole copy);
// a copy that fails removes its own.
bool copyIntoCreatedFile(int in, const struct stat &before, int dirFd, const struct stat &dirStat,
                         const QByteArray &name, const QString &destination,
                         kit_FILE::FileIdentity *read, const kit_FILE::CopyHooks *hooks,
                         kit_FILE::FileIdentity *publishedAs)
{
    const kit_FILE::FileIdentity sourceRead = versionRead(before);
    const bool recording = hooks && hooks->publishing;
    const kit_FILE::TrashHook replacing = replacingHook(hooks);
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    bool recorded = false;
    std::optional<CreatedFile> copy;
    for (int attempt = 0; attempt < publishAttempts && !copy; ++attempt) {
        const int fd =
            ::openat(dirFd, name.constData(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
        if (fd >= 0) {
            copy.emplace(dirFd, name, fd);
            break;
        }
        if (errno != EEXIST)
            return false;
        struct stat there {};
        const Target target = inspectTarget(dirFd, name, before, &there);
        if (target == Target::Refused)
            return false;
        if (target == Target::Absent) // gone meanwhile
            continue;
        // The journal hears of the copy before what it replaces, though the copy has no file
        // yet: an undo then finds no copy of it, keeps whatever holds the name, and brings the
        // replaced file back only to a free name.
        if (recording && !recorded) {
            hooks->publishing(sourceRead, kit_FILE::FileIdentity());
            recorded = true;
        }
        posix::reachStep(Step::DestinationLookedAt);
        switch (posix::moveReplacedToTrash(destination, dirStat, there, replacing)) {
        case TrashResult::Trashed:
            posix::reachStep(Step::DestinationTrashed);
            break;
        case TrashResult::NotTheFileRead:
            break;
        case TrashResult::Failed:
            return false;
        }
    }
    if (!copy)
        return false;
    if (recording && !recorded) {
        // Told while the file is still empty, as it will be once whole: the source's size, and
        // its time as this file system keeps it (exFAT drops part of it).
        struct stat empty {};
        if (::futimens(copy->fd(), times) != 0 || ::fstat(copy->fd(), &empty) != 0)
            return false;
        kit_FILE::FileIdentity whole = posix::identityOf(empty);
        whole.size = qint64(before.st_size);
        whole.changedSeconds = whole.changedNanoseconds = 0;
        hooks->publishing(sourceRead, whole);
    }
    CopyWay way;
    if (!copyData(in, copy->fd(), before, way) ||
        ::fchmod(copy->fd(), before.st_mode & 0777) != 0 || ::futimens(copy->fd(), times) != 0)
        return false;
    posix::reachStep(Step::CopyWritten);
    struct stat after {};
    if (::fstat(in, &after) != 0 || after.st_size != before.st_size ||
        !sameTime(after.st_mtim, before.st_mtim))
        return false;
    struct stat written {};
    if (::fstat(copy->fd(), &written) != 0 || !copy->keep())
        return false;
    if (read)
        *read = sourceRead;
    if (publishedAs)
        *publishedAs = posix::identityOf(written);
    return true;
}

} // namespace

namespace posix {

void reachStep(Step step)
{
    if (testSeams().atStep)
        testSeams().atStep(step);
}

bool namedTemporaryFileForced()
{
    return testSeams().namedTemporaryFile;
}

} // namespace posix

void setTestSeams(kit_FILE::TestSeams seams)
{
    testSeams() = std::move(seams);
}

kit_FILE::FileIdentity posix::identityOf(const struct stat &st)
{
    return {quint64(st.st_dev),        quint64(st.st_ino),         qint64(st.st_size),
            qint64(st.st_mtim.tv_sec), qint64(st.st_mtim.tv_nsec), qint64(st.st_ctim.tv_sec),
            qint64(st.st_ctim.tv_nsec)};
}

void removeStaleTemporaries(const QString &folder)
{
    const Fd dir(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir)
        return;
    DIR *listing = ::fdopendir(::dup(dir.get()));
    if (!listing)
        return;
    while (const struct dirent *entry = ::readdir(listing)) {
        if (!isTemporaryName(entry->d_name))
            continue;
        // Only a regular file of our own that no copy holds any more.
        Fd file(::openat(dir.get(), entry->d_name,
                         O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        struct stat opened {};
        struct stat named {};
        if (!file || ::fstat(file.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
            ::flock(file.get(), LOCK_EX | LOCK_NB) != 0)
            continue;
        if (::fstatat(dir.get(), entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            sameFile(named, opened))
            ::unlinkat(dir.get(), entry->d_name, 0);
    }
    ::closedir(listing);
}

bool copyFile(const QString &source, const QString &destination, kit_FILE::FileIdentity *read,
              const kit_FILE::CopyHooks *hooks, kit_FILE::FileIdentity *publishedAs)
{
    const QString fileName = kit::fileNamePart(destination, kit::nativePathStyle);
    if (fileName.isEmpty() || kit::isDotName(fileName))
        return false;
    const QByteArray sourcePath = QFile::encodeName(source);
    const QByteArray name = QFile::encodeName(fileName);
    QString folder = kit::folderPart(destination, kit::nativePathStyle);
    if (folder.isEmpty())
        folder = QStringLiteral(".");

    // Looked at before opening, so that a device is never opened at all; opening without
    // blocking keeps a FIFO from waiting for a writer if it was swapped in meanwhile.
    struct stat before {};
    if (::stat(sourcePath.constData(), &before) != 0 || !S_ISREG(before.st_mode))
        return false;
    Fd in(::open(sourcePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!in || ::fstat(in.get(), &before) != 0 || !S_ISREG(before.st_mode))
        return false;
    const FileSystemFacts sourceFs = factsByDevice().of(before.st_dev, in.get());
    if (sourceFs.pseudo)
        return false;
    // Below that, the kernel's read-ahead alone reads the whole file in a few steps.
    if (before.st_size >= (off_t(1) << 20))
        ::posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    struct stat dirStat {};
    posix::FolderHandle dir(QFile::encodeName(folder), posix::FolderUse::CopyInto, &dirStat);
    if (!dir)
        return false;
    const FileSystemFacts targetFs = factsByDevice().of(dirStat.st_dev, dir.get());
    struct stat there {};
    if (inspectTarget(dir.get(), name, before, &there) == Target::Refused)
        return false;

    // The usual file systems take an unnamed file, and never need to know more.
    std::optional<TemporaryFile> temp(std::in_place, dir.get());
    if (posix::namedTemporaryFileForced() || !temp->openUnnamed()) {
        Naming naming = targetFs.naming;
        if (naming != Naming::Created) {
            if (!temp->openNamed())
                return false;
            if (naming == Naming::Unknown) {
                naming = temp->tryNaming();
                factsByDevice().learn(dirStat.st_dev,
                                      [naming](FileSystemFacts &facts) { facts.naming = naming; });
            }
        }
        if (naming == Naming::Created) {
            temp.reset();
            if (!copyIntoCreatedFile(in.get(), before, dir.get(), dirStat, name, destination, read,
                                     hooks, publishedAs))
                return false;
            dir.worked();
            return true;
        }
    }
    CopyWay way{targetFs.clones, sourceFs.localDisk};
    const bool copied = copyData(in.get(), temp->fd(), before, way);
    if (way.cloneRefused)
        factsByDevice().learn(dirStat.st_dev, [](FileSystemFacts &facts) { facts.clones = false; });
    if (!copied)
        return false;
    // Permission bits only: a set-user-ID bit must not survive a copy now owned by us.
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    if (::fchmod(temp->fd(), before.st_mode & 0777) != 0 || ::futimens(temp->fd(), times) != 0 ||
        (!targetFs.localDisk && !temp->flush()))
        return false;
    posix::reachStep(Step::CopyWritten);

    // A source that changed while it was read would leave a copy of neither version.
    struct stat after {};
    if (::fstat(in.get(), &after) != 0 || after.st_size != before.st_size ||
        !sameTime(after.st_mtim, before.st_mtim))
        return false;
    const kit_FILE::FileIdentity sourceRead = versionRead(before);
    if (hooks && hooks->publishing) {
        struct stat copy {};
        if (::fstat(temp->fd(), &copy) != 0)
            return false;
        kit_FILE::FileIdentity copyNow = posix::identityOf(copy);
        copyNow.changedSeconds = copyNow.changedNanoseconds = 0; // taking the name changes it
        hooks->publishing(sourceRead, copyNow);
    }
    const kit_FILE::TrashHook replacing = replacingHook(hooks);

    for (int attempt = 0; attempt < publishAttempts; ++attempt) {
        const Publish outcome = temp->publishAs(name);
        if (outcome == Publish::Done) {
            if (read)
                *read = sourceRead;
            struct stat copy {};
            if (publishedAs && ::fstat(temp->fd(), &copy) == 0)
                *publishedAs = posix::identityOf(copy);
            dir.worked();
            return true;
        }
        if (outcome == Publish::Failed)
            return false;
        const Target target = inspectTarget(dir.get(), name, before, &there);
        if (target == Target::Refused)
            return false;
        if (target == Target::Absent) // gone meanwhile
            continue;
        posix::reachStep(Step::DestinationLookedAt);
        // The replaced file is kept in the trash; one that cannot be kept is not replaced.
        switch (posix::moveReplacedToTrash(destination, dirStat, there, replacing)) {
        case TrashResult::Trashed:
            posix::reachStep(Step::DestinationTrashed);
            break;
        case TrashResult::NotTheFileRead: // replaced meanwhile: looked at again
            break;
        case TrashResult::Failed:
            return false;
        }
    }
    return false;
}

} // namespace kit_Platform
